#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/dib.h"
#include "common/dib_palette.h"
#include "core/core_ids.h"
#include "win/controls.h"
#include "win/dialog.h"

// The frame of the maker's logo in the About box: it shows the part of the logo that lies under
// it when the logo's top-left corner sits at the dialog's top-left corner.
class CLogoFrame : public win::StaticControl {
 public:
  void SetLogo(const CDIB* logo) { logo_ = logo; }
  // The frame shows the logo it paints, not a label's text.
  bool IsOwnerDrawn() const override { return true; }

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;

 private:
  const CDIB* logo_ = nullptr;
};

// The About box of the application's about command (57664): program title, the analysis
// version "1.78", the build, the maker's web address and the logo "Main_Logp.bmp" of the main
// directory. A missing or unreadable logo leaves the frame empty. User-interface thread only.
class CAboutDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = core_ids::kAboutTemplate;
  static constexpr int kLogoId = 1029;
  static constexpr int kVersionId = 1206;
  static constexpr int kBuildId = 1207;
  static constexpr int kTitleId = 1208;
  static constexpr int kLinkId = 1234;
  static constexpr std::string_view kLogoFile = "Main_Logp.bmp";
  static constexpr std::string_view kWebAddress = "https://www.kestrova.example/";

  // main_directory: the setting "Directories" / "Main".
  CAboutDlg(std::string main_directory, win::Window* parent = nullptr);

  const std::string& VersionText() const { return version_; }
  const std::string& BuildText() const { return build_; }
  const std::string& TitleText() const { return title_; }
  bool HasLogo() const { return logo_loaded_; }
  bool HasPalette() const { return has_palette_; }
  int LogoWidth() const { return logo_width_; }
  int LogoHeight() const { return logo_height_; }

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  std::string main_directory_;
  std::string version_;
  std::string build_;
  std::string title_;
  std::string link_;
  CLogoFrame logo_frame_;
  CDIB logo_;
  CDIBPalette palette_;
  bool logo_loaded_ = false;
  bool has_palette_ = false;
  int logo_width_ = 0;
  int logo_height_ = 0;
};

// The version information of a module. The program's own version block is compiled in (no
// version resources exist on this platform); other modules have none. A library's "DllGetVersion"
// entry can still be asked.
class CModuleVersion {
 public:
  static constexpr uint32_t kSignature = 0xFEEF04BD;

  // The fixed version block as the version resource stores it (52 bytes).
  struct FixedFileInfo {
    uint32_t signature = 0;
    uint32_t struct_version = 0;
    uint32_t file_version_ms = 0;
    uint32_t file_version_ls = 0;
    uint32_t product_version_ms = 0;
    uint32_t product_version_ls = 0;
    uint32_t file_flags_mask = 0;
    uint32_t file_flags = 0;
    uint32_t file_os = 0;
    uint32_t file_type = 0;
    uint32_t file_subtype = 0;
    uint32_t file_date_ms = 0;
    uint32_t file_date_ls = 0;
  };

  // The version information of a module by name; an empty name is the program itself. True when
  // the block carries the signature.
  bool GetFileVersionInfo(std::string_view module_name);
  // A value of the string table ("FileVersion", "CompanyName" ...) in the first translation; empty
  // when there is none.
  std::string GetValue(std::string_view name) const;
  const FixedFileInfo& Fixed() const { return fixed_; }
  uint16_t Language() const { return language_; }
  uint16_t CodePage() const { return code_page_; }

  // Loads the library, calls its "DllGetVersion" with a 20-byte version record and returns
  // major x 100 + minor; nullopt when the library or the entry is missing or the call fails.
  static std::optional<int> GetDllVersion(std::string_view library);

 private:
  FixedFileInfo fixed_;
  uint16_t language_ = 0;
  uint16_t code_page_ = 1252;
  bool own_ = false;
};
