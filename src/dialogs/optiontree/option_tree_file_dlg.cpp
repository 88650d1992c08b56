#include "dialogs/optiontree/option_tree_file_dlg.h"

#include <optional>

#include "win/prompt.h"

namespace dialogs {

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Where the name begins: after the last separator, or after a drive.
size_t NameStart(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  if (slash != std::string_view::npos) return slash + 1;
  return PathDrive(path).size();
}

}  // namespace

std::string PathDrive(std::string_view path) {
  const bool letter = path.size() >= 2 && path[1] == ':' &&
                      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return letter ? std::string(path.substr(0, 2)) : std::string();
}

std::string PathFolder(std::string_view path) { return std::string(path.substr(0, NameStart(path))); }

std::string PathName(std::string_view path) { return std::string(path.substr(NameStart(path))); }

std::string PathTitle(std::string_view path) {
  const std::string name = PathName(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string PathExtension(std::string_view path) {
  const std::string name = PathName(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

void COptionTreeFileDlg::Setup(bool open, std::string_view default_extension, std::string_view initial_path,
                               uint32_t flags, std::string_view filter, win::Window* /*owner*/) {
  open_ = open;
  default_extension_ = default_extension;
  // The whole path, however long: a fixed buffer would cut it.
  initial_path_ = initial_path;
  flags_ = flags | kOfnExplorer;
  filter_ = filter;
}

int COptionTreeFileDlg::DoModal() {
  win::FileDialogRequest request;
  request.open = open_;
  request.file_name = initial_path_;
  request.initial_folder = PathFolder(initial_path_);
  // A folder without its final separator, except for the root itself.
  while (request.initial_folder.size() > 1 && IsSeparator(request.initial_folder.back()))
    request.initial_folder.pop_back();
  request.filter = filter_;
  request.default_extension = default_extension_;
  if (open_ && (flags_ & kOfnAllowMultiSelect) != 0) {
    std::optional<std::vector<std::string>> chosen = win::CurrentPrompt().ChooseFiles(request);
    if (!chosen || chosen->empty()) return 2;
    paths_ = std::move(*chosen);
    return 1;
  }
  std::optional<std::string> chosen = win::CurrentPrompt().ChooseFile(request);
  if (!chosen || chosen->empty()) return 2;
  paths_ = {std::move(*chosen)};
  return 1;
}

int COptionTreeFileDlg::BrowseForFolder(std::string_view title, std::string_view initial_folder,
                                        uint32_t /*flags*/, win::Window* /*owner*/) {
  std::optional<std::string> chosen = win::CurrentPrompt().ChooseFolder(title, initial_folder);
  if (!chosen || chosen->empty()) return 2;
  folder_ = std::move(*chosen);
  return 1;
}

std::string COptionTreeFileDlg::GetPathName() const {
  return paths_.empty() ? std::string() : paths_.front();
}
std::string COptionTreeFileDlg::GetFileName() const { return PathName(GetPathName()); }
std::string COptionTreeFileDlg::GetFileTitle() const { return PathTitle(GetPathName()); }
std::string COptionTreeFileDlg::GetFileExt() const { return PathExtension(GetPathName()); }
std::string COptionTreeFileDlg::GetFileDir() const { return PathFolder(GetPathName()); }
std::string COptionTreeFileDlg::GetFileDrive() const { return PathDrive(GetPathName()); }

std::string COptionTreeFileDlg::GetNextPathName(size_t& position) const {
  if (position == 0 || position > paths_.size()) {
    position = 0;
    return {};
  }
  std::string path = paths_[position - 1];
  position = position < paths_.size() ? position + 1 : 0;
  return path;
}

}  // namespace dialogs
