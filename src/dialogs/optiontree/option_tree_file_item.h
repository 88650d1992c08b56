#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/optiontree/option_tree_file_dlg.h"
#include "dialogs/optiontree/option_tree_item.h"

namespace dialogs {

// Display options of the file item; the first of the form bits that is set decides the form.
inline constexpr uint32_t kFileShowFullPath = 0x40000;
inline constexpr uint32_t kFileShowName = 0x400;
inline constexpr uint32_t kFileShowTitle = 0x200;
inline constexpr uint32_t kFileShowExtension = 0x100;
inline constexpr uint32_t kFileShowFolder = 0x800;
inline constexpr uint32_t kFileShowDrive = 0x1000;
inline constexpr uint32_t kFileChooseFolder = 0x8000;
inline constexpr uint32_t kFileOpenDialog = 0x20000;

// A row holding one or more file paths, or one folder path, shown one per line in the value
// column. Activating it runs the file or folder dialog at once; a choice replaces the paths and
// grows the row to fit them. There is no editor window, and a choice is not committed (no change
// notification follows). Pixels. User-interface thread only.
class COptionTreeFileItem : public COptionTreeItem {
 public:
  COptionTreeFileItem();

  // Needs the owning control (false without one). Stores the options and flags, the initial path
  // as the first path, extension and filter, and the row height as the base height.
  bool CreateFileItem(std::string_view initial_path, std::string_view default_extension,
                      std::string_view filter, uint32_t options, uint32_t dialog_flags);
  void AddPath(std::string_view path) { paths_.emplace_back(path); }
  const std::vector<std::string>& GetPaths() const { return paths_; }

  uint32_t GetOption() const { return options_; }
  void SetOption(uint32_t options) { options_ = options; }
  uint32_t GetDialogFlags() const { return dialog_flags_; }
  void SetDialogFlags(uint32_t flags) { dialog_flags_ = flags; }
  bool IsDialogFlagSet(uint32_t flag) const { return (dialog_flags_ & flag) != 0; }
  void SetDialogFlag(uint32_t flag, bool set) {
    dialog_flags_ = set ? (dialog_flags_ | flag) : (dialog_flags_ & ~flag);
  }
  void SetDefaultExtension(std::string_view extension) { default_extension_ = extension; }
  const std::string& GetDefaultExtension() const { return default_extension_; }
  void SetFilter(std::string_view filter) { filter_ = filter; }
  const std::string& GetFilter() const { return filter_; }
  void SetFolderTitle(std::string_view title) { folder_title_ = title; }
  const std::string& GetFolderTitle() const { return folder_title_; }

  // What the last dialog gave.
  const COptionTreeFileDlg& GetFileDialog() const { return dialog_; }
  std::string GetPathName() const { return dialog_.GetPathName(); }
  std::string GetFileName() const { return dialog_.GetFileName(); }
  std::string GetFileTitle() const { return dialog_.GetFileTitle(); }
  std::string GetFileExt() const { return dialog_.GetFileExt(); }
  std::string GetFileDir() const { return dialog_.GetFileDir(); }
  std::string GetFileDrive() const { return dialog_.GetFileDrive(); }
  size_t GetStartPosition() const { return dialog_.GetStartPosition(); }
  std::string GetNextPathName(size_t& position) const { return dialog_.GetNextPathName(position); }
  const std::string& GetFolderPath() const { return dialog_.GetFolderPath(); }

  // The value column's text: each path in the display form, one per line, or the text for none.
  std::string DisplayText() const;

  void DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) override;
  void OnActivate() override;

 private:
  uint32_t options_ = 0;
  uint32_t dialog_flags_ = 0;
  int base_height_ = 0;
  COptionTreeFileDlg dialog_;
  std::vector<std::string> paths_;
  std::string default_extension_;
  std::string filter_;
  std::string folder_title_ = "Select Folder";
};

// The row height for count paths in lines of a font of font_height (either sign): the base
// height when they fit, else the lines plus 5. The label then moves to the top.
int FileRowHeight(int count, int font_height, int base_height);

}  // namespace dialogs
