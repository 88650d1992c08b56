#include "recorder/search_status_dlg.h"

#include "win/messages.h"
#include "win/window.h"

void TSearchStatusDlg::Show(std::string_view title, std::string_view text) {
  if (!shown_) {
    if (!CreateModeless(nullptr, false)) return;
    shown_ = true;
  }
  SetWindowText(title);
  ShowWindow(win::kSwShow);
  SetDlgItemText(kTextId, text);
  // The search blocks the message loop: paint now or the window stays blank.
  UpdateWindow();
}

void TSearchStatusDlg::Close() {
  if (!shown_) return;
  shown_ = false;
  DestroyWindow();
}
