#pragma once

#include <string>
#include <vector>

#include "common/log_edit.h"
#include "win/dialog.h"

// Template numbers of the small utility dialogs.
inline constexpr int kTextViewTemplate = 218;
// The plain notice that the free disk space is below its minimum (no data of its own); run it
// as win::Dialog(kLowDiskSpaceTemplate).
inline constexpr int kLowDiskSpaceTemplate = 234;

// A modal dialog that shows lines of text in a fixed-pitch font: results of imports, batch runs,
// file checks and read-outs. It keeps its own copy of the lines. User-interface thread only.
class TTextViewDlg : public win::Dialog {
 public:
  static constexpr int kLogEditId = 1383;

  TTextViewDlg(std::vector<std::string> lines, std::string caption, bool auto_scroll, win::Window* parent = nullptr);

  const std::vector<std::string>& Lines() const { return lines_; }
  CLogEdit& LogEdit() { return log_edit_; }

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  std::string caption_;
  std::vector<std::string> lines_;
  CLogEdit log_edit_;
  gfx::Font font_;
  int auto_scroll_ = 0;
};
