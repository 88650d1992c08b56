#include "dialogs/optiontree/option_tree_file_item.h"

#include <fnmatch.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

#include "dialogs/optiontree/option_tree.h"
#include "gfx/canvas.h"
#include "platform/file_system.h"
#include "win/system_metrics.h"

namespace dialogs {

namespace {

constexpr uint32_t kFormBits[] = {kFileShowFullPath,  kFileShowName,   kFileShowTitle,
                                  kFileShowExtension, kFileShowFolder, kFileShowDrive};

// The name of the file a path names on disk, as the folder spells it, ignoring case as the
// system's file names did; with wild cards the first match in byte order. None when nothing is
// there.
std::optional<std::string> FindFileName(const std::string& path) {
  namespace fs = std::filesystem;
  const std::string name = PathName(path);
  if (name.empty()) return std::nullopt;
  std::string folder = PathFolder(path);
  if (folder.empty()) folder = ".";
  if (name.find_first_of("*?") == std::string::npos) {
    const std::optional<fs::path> found = platform::FindFileNoCase(folder, name);
    if (!found) return std::nullopt;
    std::error_code ec;
    if (!fs::is_regular_file(*found, ec)) return std::nullopt;
    return found->filename().string();
  }
  std::vector<std::string> matches;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (::fnmatch(name.c_str(), entry.c_str(), FNM_CASEFOLD) == 0 && it->is_regular_file(ec))
      matches.push_back(entry);
  }
  if (matches.empty()) return std::nullopt;
  return *std::min_element(matches.begin(), matches.end());
}

}  // namespace

int FileRowHeight(int count, int font_height, int base_height) {
  const int needed = count * (std::abs(font_height) + 3);
  return base_height < needed ? needed + 5 : base_height;
}

COptionTreeFileItem::COptionTreeFileItem() { SetItemKind(kOptionItemFile); }

bool COptionTreeFileItem::CreateFileItem(std::string_view initial_path, std::string_view default_extension,
                                         std::string_view filter, uint32_t options, uint32_t dialog_flags) {
  if (GetOptionTree() == nullptr) return false;
  dialog_flags_ = dialog_flags;
  options_ = options;
  paths_.emplace_back(initial_path);
  default_extension_ = default_extension;
  filter_ = filter;
  base_height_ = GetHeight();
  return true;
}

std::string COptionTreeFileItem::DisplayText() const {
  uint32_t form = kFileShowFullPath;
  for (const uint32_t bit : kFormBits) {
    if ((options_ & bit) != 0) {
      form = bit;
      break;
    }
  }
  std::string text;
  for (const std::string& path : paths_) {
    std::optional<std::string> part;
    switch (form) {
      case kFileShowName:
        part = FindFileName(path);
        break;
      case kFileShowTitle:
        if (const std::optional<std::string> name = FindFileName(path)) part = PathTitle(*name);
        break;
      case kFileShowExtension:
        if (const std::optional<std::string> name = FindFileName(path)) part = PathExtension(*name);
        break;
      case kFileShowFolder:
        part = PathFolder(path);
        break;
      case kFileShowDrive:
        part = PathDrive(path);
        break;
      default:
        part = path;
        break;
    }
    // A file that is not there adds no line.
    if (part) text += *part + "\n";
  }
  return text.empty() ? "No selection made." : text;
}

void COptionTreeFileItem::DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) {
  const COptionTree* tree = GetOptionTree();
  const bool grey = IsReadOnly() || tree == nullptr || !tree->IsWindowEnabled();
  const int saved = canvas.SaveDC();
  canvas.SelectFont(COptionTree::GetNormalFont());
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  canvas.SetBkColor(GetValueBackColor());
  canvas.SetTextColor(grey ? win::GetSysColor(win::SysColor::kGrayText) : GetValueTextColor());
  gfx::Rect rect{value_rect.left + 1, value_rect.top + 1, value_rect.right + 1, value_rect.bottom + 1};
  canvas.DrawText(DisplayText(), rect, gfx::kDtTop | gfx::kDtLeft | gfx::kDtNoPrefix);
  canvas.RestoreDC(saved);
}

void COptionTreeFileItem::OnActivate() {
  COptionTree* tree = GetOptionTree();
  if (tree == nullptr) return;
  const std::string first = paths_.empty() ? std::string() : paths_.front();
  int count = 0;
  if ((options_ & kFileChooseFolder) != 0) {
    if (dialog_.BrowseForFolder(folder_title_, first, dialog_flags_, tree) == 1) {
      paths_ = {dialog_.GetFolderPath()};
      count = 1;
    }
  } else {
    dialog_.Setup((options_ & kFileOpenDialog) != 0, default_extension_, first, dialog_flags_, filter_, tree);
    if (dialog_.DoModal() == 1) {
      paths_.clear();
      for (size_t pos = dialog_.GetStartPosition(); pos != 0;) paths_.push_back(dialog_.GetNextPathName(pos));
      count = static_cast<int>(paths_.size());
    }
  }
  if (count > 0) {
    const int height = FileRowHeight(count, COptionTree::GetNormalFont().height, base_height_);
    SetHeight(height);
    SetLabelAtTop(height != base_height_);
  }
  tree->UpdateList();
}

}  // namespace dialogs
