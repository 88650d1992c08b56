#include "core/about_dlg.h"

#include <cstring>
#include <filesystem>

#include "core/core_ids.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/dynamic_library.h"
#include "platform/ids.h"
#include "platform/io_error.h"
#include "platform/resources.h"
#include "win/data_exchange.h"

namespace {

std::string OwnString(int id) {
  platform::ScopedExeResources own;
  return platform::LoadString(id);
}

}  // namespace

// --- Logo frame ------------------------------------------------------------------------------------------

void CLogoFrame::OnPaint(gfx::Canvas& canvas, const gfx::Rect&) {
  if (logo_ == nullptr || GetParent() == nullptr) return;
  // The logo's top-left corner lies at the dialog's top-left corner; only the part under the
  // frame shows.
  const gfx::Rect in_dialog = GetWindowRectInParent();
  logo_->Draw(canvas, -in_dialog.left, -in_dialog.top);
}

// --- About box -------------------------------------------------------------------------------------------

CAboutDlg::CAboutDlg(std::string main_directory, win::Window* parent)
    : win::Dialog(kTemplateId, parent),
      main_directory_(std::move(main_directory)),
      version_(kBuiltInEngineVersion) {
  title_ = OwnString(core_ids::kIdsAppTitle);
  build_ = OwnString(core_ids::kIdsBuild);
  link_ = std::string(kWebAddress);
}

void CAboutDlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxControl(dx, kLogoId, logo_frame_);
  win::DdxText(dx, kVersionId, version_);
  win::DdxText(dx, kBuildId, build_);
  win::DdxText(dx, kTitleId, title_);
  win::DdxText(dx, kLinkId, link_);
}

bool CAboutDlg::OnInitDialog() {
  const bool result = win::Dialog::OnInitDialog();
  SetWindowText(GetWindowText() + " " + OwnString(core_ids::kIdsShortTitle));
  const std::string file = CZK470Doc::JoinPath(main_directory_, kLogoFile);
  try {
    CDIB logo;
    logo.Read(file);
    logo_ = std::move(logo);
    logo_loaded_ = true;
    has_palette_ = palette_.CreateFromDIB(logo_);
    logo_width_ = logo_.GetWidth();
    logo_height_ = std::abs(logo_.GetHeight());
    logo_frame_.SetLogo(&logo_);
    logo_frame_.Invalidate();
  } catch (const platform::IoError&) {
    // No logo: the frame stays empty.
  }
  return result;
}

// --- Module version ------------------------------------------------------------------------------------------

bool CModuleVersion::GetFileVersionInfo(std::string_view module_name) {
  fixed_ = FixedFileInfo{};
  language_ = 0;
  code_page_ = 1252;
  own_ = module_name.empty();
  if (!own_) return false;
  // Version 2.4.0.0 of build "2.04", US English in the Windows Latin-1 code page.
  fixed_.signature = kSignature;
  fixed_.struct_version = 0x00010000;
  fixed_.file_version_ms = 0x00020004;
  fixed_.product_version_ms = 0x00020004;
  fixed_.file_os = 0x00040004;
  fixed_.file_type = 1;
  language_ = 0x0409;
  code_page_ = 1252;
  return fixed_.signature == kSignature;
}

std::string CModuleVersion::GetValue(std::string_view name) const {
  if (!own_) return {};
  if (name == "FileVersion" || name == "ProductVersion") return OwnString(core_ids::kIdsBuild);
  if (name == "ProductName" || name == "FileDescription") return OwnString(core_ids::kIdsAppTitle);
  if (name == "CompanyName") return "KESTROVA AG";
  if (name == "InternalName") return OwnString(core_ids::kIdsShortTitle);
  return {};
}

std::optional<int> CModuleVersion::GetDllVersion(std::string_view library) {
  platform::DynamicLibrary module;
  if (!module.Open(std::string(library))) return std::nullopt;
  // The version record: size, major, minor, build number, platform id (five 32-bit fields).
  using DllGetVersionEntry = int(uint32_t*);
  auto* entry = module.Function<DllGetVersionEntry>("DllGetVersion");
  if (entry == nullptr) return std::nullopt;
  uint32_t info[5] = {sizeof info, 0, 0, 0, 0};
  if (entry(info) != 0) return std::nullopt;
  return static_cast<int>(info[1] * 100 + info[2]);
}
