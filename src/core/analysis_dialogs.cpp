#include "core/analysis_dialogs.h"

#include <string>

#include "platform/worker.h"
#include "win/data_exchange.h"

TAnalysisProgressDlg::TAnalysisProgressDlg(analysis::AnalysisProgress& progress, win::Window* parent)
    : win::Dialog(progress.GetTemplateId(), parent), progress_(progress) {
  AddCommand(AnalysisProgressIds::kCancel, [this] { Cancel(); });
}

void TAnalysisProgressDlg::DoDataExchange(win::DataExchange& dx) { win::DdxControl(dx, AnalysisProgressIds::kProgress, bar_); }

bool TAnalysisProgressDlg::OnInitDialog() {
  win::Dialog::OnInitDialog();
  bar_.SetRange32(0, progress_.GetMinuteCount());
  bar_.SetStep(1);
  SetDlgItemText(AnalysisProgressIds::kPath, progress_.GetSampleFilePath());
  SetTimer(kTimerId, analysis::kProgressTimerMs);
  // The worker ends with one message to this window; it is dropped when the window is gone.
  const win::WindowHandle target = Handle();
  const uint32_t end_message = progress_.GetEndMessage();
  progress_.Start([target, end_message] { platform::UiThreadQueue().PostMessage(target, end_message); });
  return true;
}

void TAnalysisProgressDlg::Show(const analysis::AnalysisProgress::Display& display) {
  bar_.SetPos(display.minute);
  SetDlgItemText(AnalysisProgressIds::kVentricularCount, std::to_string(display.ventricular));
  SetDlgItemText(AnalysisProgressIds::kNormalCount, std::to_string(display.normal));
  if (cancel_enabled_ && !display.cancel_enabled) {
    cancel_enabled_ = false;
    if (win::Window* cancel = GetDlgItem(AnalysisProgressIds::kCancel)) cancel->EnableWindow(false);
  }
}

void TAnalysisProgressDlg::OnTimer(uintptr_t id) {
  if (id != kTimerId || progress_.IsEnded()) return;
  Show(progress_.OnTimer());
}

void TAnalysisProgressDlg::Cancel() {
  if (progress_.IsEnded() || !progress_.OnCancel()) return;
  KillTimer(kTimerId);
  EndDialog(progress_.GetResult());
}

win::LResult TAnalysisProgressDlg::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == progress_.GetEndMessage()) {
    KillTimer(kTimerId);
    const int result = progress_.OnEndMessage();
    if (IsWindow()) {
      Show(progress_.OnTimer());
      EndDialog(result);
    }
    return 0;
  }
  return win::Dialog::WindowProc(message, wparam, lparam);
}

int WindowAnalysisDialogs::RunProgressDialog(analysis::AnalysisProgress& progress) {
  TAnalysisProgressDlg dialog(progress, win::Windows().MainWindow());
  const int result = dialog.DoModal();
  if (progress.IsEnded()) return progress.GetResult();
  // The dialog could not be shown (or a quit ended its loop): the run still has to end, with the
  // worker stopped, before the run control goes on.
  if (result == -1 && !progress.OnCancel()) return progress.OnEndMessage();
  return progress.IsEnded() ? progress.GetResult() : analysis::kResultFailed;
}

int WindowAnalysisDialogs::RunWaitDialog(const analysis::WaitDialogKind& kind, const std::function<void()>& work) {
  win::Window* parent = win::Windows().MainWindow();
  if (kind.template_id == TRhythmDetectionDlg::kTemplateId) {
    TRhythmDetectionDlg dialog(work, parent);
    dialog.DoModal();
  } else if (kind.template_id == TSVTemplateRebuildDlg::kTemplateId) {
    TSVTemplateRebuildDlg dialog(work, parent);
    dialog.DoModal();
  } else {
    TRecalcProgressDlg dialog(parent, work);
    dialog.DoModal();
  }
  return analysis::kResultFinished;
}
