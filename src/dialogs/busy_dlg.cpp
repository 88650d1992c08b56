#include "dialogs/busy_dlg.h"

#include "platform/process_context.h"
#include "platform/resources.h"
#include "win/data_exchange.h"

namespace {

// The one busy dialog of the program: the newest constructor's mode and text.
struct BusyState {
  int mode = 0;
  std::string text;
};

BusyState& State() {
  static BusyState state;
  return state;
}

}  // namespace

TBusyDlg::TBusyDlg(int mode, std::string text) : win::Dialog(kTemplateId), mode_(mode) {
  State().mode = mode;
  cancel_allowed_ = 0;
  State().text = std::move(text);
}

TBusyDlg::~TBusyDlg() {
  EndBusy();
  DestroyWindow();
}

int TBusyDlg::CurrentMode() { return State().mode; }

const std::string& TBusyDlg::CurrentText() { return State().text; }

void TBusyDlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxControl(dx, kAnimationId, animation_);
  win::DdxControl(dx, kProgressId, progress_);
}

bool TBusyDlg::OnInitDialog() {
  win::Dialog::OnInitDialog();
  // The text is kept but never shown: mode 0 shows its caption, not the path being opened.
  SetWindowText(platform::LoadString(CurrentMode() == 0 ? kOpeningCaption : kBusyCaption));
  if (cancel_allowed_ == 0) {
    if (win::Window* cancel = GetDlgItem(kCancelId)) cancel->EnableWindow(false);
  }
  animation_.Open(kClip);
  progress_.SetRange32(0, 2);
  progress_.SetStep(1);
  return true;
}

void TBusyDlg::ShowBusy() {
  if (!CreateModeless(nullptr, false)) return;
  if (CurrentMode() == 0) {
    ShowWindow(win::kSwShow);
    CenterWindow();
  } else {
    CenterWindow();
    ShowWindow(win::kSwShow);
  }
  for (const int id : {kCancelId, kProgressId, kAnimationId}) {
    win::Window* control = GetDlgItem(id);
    if (control == nullptr) continue;
    control->EnableWindow(false);
    control->SendMessage(win::kBmSetCheck, win::kBstUnchecked);
    control->ModifyStyle(win::kWsVisible, 0);
  }
  win::Windows().BeginWaitCursor();
  wait_cursor_ = true;
  // The caller's work blocks the loop next: paint now.
  UpdateWindow();
}

void TBusyDlg::EndBusy() {
  if (!wait_cursor_) return;
  wait_cursor_ = false;
  win::Windows().EndWaitCursor();
}

namespace {

// A fresh process has shown no busy dialog.
[[maybe_unused]] const bool kResetRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kDialogs, [] { State() = {}; });

}  // namespace
