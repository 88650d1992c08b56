#include "common/text_view_dlg.h"

#include "win/data_exchange.h"

TTextViewDlg::TTextViewDlg(std::vector<std::string> lines, std::string caption, bool auto_scroll,
                           win::Window* parent)
    : win::Dialog(kTextViewTemplate, parent),
      caption_(std::move(caption)),
      lines_(std::move(lines)),
      auto_scroll_(auto_scroll ? 1 : 0) {}

void TTextViewDlg::DoDataExchange(win::DataExchange& dx) { win::DdxControl(dx, kLogEditId, log_edit_); }

bool TTextViewDlg::OnInitDialog() {
  win::Dialog::OnInitDialog();
  // "Courier new", 11 pixels, weight 100: a fixed-pitch face so columns line up.
  font_ = gfx::Font{-11, 0, 0, 100, false, false, false, "Courier new"};
  log_edit_.SetFont(font_, false);
  log_edit_.SetAutoScroll(auto_scroll_ != 0);
  for (const std::string& line : lines_) log_edit_.AddLine(line);
  SetWindowText(caption_);
  return true;
}
