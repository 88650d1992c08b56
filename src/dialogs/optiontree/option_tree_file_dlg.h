#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace win {
class Window;
}

namespace dialogs {

// File dialog flags the file item passes on.
inline constexpr uint32_t kOfnAllowMultiSelect = 0x00000200;
inline constexpr uint32_t kOfnExplorer = 0x00080000;

// The file-open, file-save and folder dialogs of a file item, run through the current prompt,
// and what the user chose in the last one. Paths of any length. User-interface thread only.
class COptionTreeFileDlg {
 public:
  // Prepares the next DoModal: an open or a save dialog, preset with initial_path; filter is
  // "description|pattern|...". The explorer style is always added to flags. The prompt places its
  // dialogs itself: owner is not needed.
  void Setup(bool open, std::string_view default_extension, std::string_view initial_path, uint32_t flags,
             std::string_view filter, win::Window* owner);
  // 1 when the user chose a file (several with kOfnAllowMultiSelect in an open dialog), 2 otherwise.
  int DoModal();
  // 1 when a folder was chosen (then GetFolderPath), 2 when the user cancelled.
  int BrowseForFolder(std::string_view title, std::string_view initial_folder, uint32_t flags,
                      win::Window* owner);
  // The preset path of the next DoModal, as Setup gave it.
  const std::string& GetInitialPath() const { return initial_path_; }

  bool IsOpenDialog() const { return open_; }
  uint32_t GetFlags() const { return flags_; }
  const std::string& GetFilter() const { return filter_; }
  const std::string& GetDefaultExtension() const { return default_extension_; }

  // The parts of the first chosen path; each empty when there is none.
  std::string GetPathName() const;
  // Name with extension.
  std::string GetFileName() const;
  // Name without extension.
  std::string GetFileTitle() const;
  // Extension without its point.
  std::string GetFileExt() const;
  // Drive (when the path has one) and folder, ending in its separator.
  std::string GetFileDir() const;
  std::string GetFileDrive() const;
  const std::string& GetFolderPath() const { return folder_; }

  // Walks the chosen paths: 0 is the end. Without kOfnAllowMultiSelect there is one path.
  size_t GetStartPosition() const { return paths_.empty() ? 0 : 1; }
  std::string GetNextPathName(size_t& position) const;

 private:
  bool open_ = false;
  uint32_t flags_ = 0;
  std::string default_extension_;
  std::string filter_;
  std::string initial_path_;
  // What the user chose in the last dialog.
  std::vector<std::string> paths_;
  std::string folder_;
};

// Parts of a stored path as the file item shows them; the drive is a letter and colon at the
// start ("C:"), none for other paths.
std::string PathDrive(std::string_view path);
// Drive and folder, ending in its separator ("/" or "\").
std::string PathFolder(std::string_view path);
std::string PathName(std::string_view path);
std::string PathTitle(std::string_view path);
std::string PathExtension(std::string_view path);

}  // namespace dialogs
