#include "dialogs/auto_close_notice_dlg.h"

bool TAutoCloseNoticeDlg::OnInitDialog() {
  const bool result = win::Dialog::OnInitDialog();
  timer_ = SetTimer(kTimerId, kShowMs);
  return result;
}

void TAutoCloseNoticeDlg::OnTimer(uintptr_t id) {
  KillTimer(timer_);
  EndDialog(win::kIdOk);
  win::Dialog::OnTimer(id);
}
