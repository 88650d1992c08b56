#pragma once

#include <functional>

#include "analysis/analysis_dialogs.h"
#include "dialogs/wait_dlgs.h"
#include "win/controls.h"
#include "win/dialog.h"

// Control ids of the engine progress dialogs.
struct AnalysisProgressIds {
  static constexpr int kProgress = analysis::kProgressBarId;
  static constexpr int kVentricularCount = analysis::kVentricularCountId;
  static constexpr int kNormalCount = analysis::kNormalCountId;
  static constexpr int kPath = analysis::kSampleFileTextId;
  static constexpr int kCancel = analysis::kCancelButtonId;
};

// The progress dialog of an engine run: a bar over the minutes of the recording, the running
// counts of normal and ventricular beats, the sample file, and Cancel. Its 500 ms timer shows
// what the run logic reports; Cancel, Enter, Escape and closing the window all go to the run
// logic, which decides whether the dialog ends (the run has stopped by then); the worker's end
// message ends it with the run's result. User-interface thread only.
class TAnalysisProgressDlg : public win::Dialog {
 public:
  // Templates: the built-in engine (mode 0), the built-in engine's second dialog (mode 2) and the
  // external library (mode 1).
  static constexpr int kTemplateId = 154;
  static constexpr uintptr_t kTimerId = 1;

  TAnalysisProgressDlg(analysis::AnalysisProgress& progress, win::Window* parent = nullptr);

  win::ProgressBar& Bar() { return bar_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override { Cancel(); }
  void OnCancel() override { Cancel(); }
  void OnClose() override { Cancel(); }
  void OnTimer(uintptr_t id) override;
  void DoDataExchange(win::DataExchange& dx) override;
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 private:
  void Cancel();
  void Show(const analysis::AnalysisProgress::Display& display);

  analysis::AnalysisProgress& progress_;
  win::ProgressBar bar_;
  bool cancel_enabled_ = true;
};

// The names the run's dialogs have by their templates.
struct TAnalysisProgressDlg2 {
  static constexpr int kTemplateId = 30749;
};
struct TVraProgressDlg {
  static constexpr int kTemplateId = 30750;
};

// The self-closing wait dialogs of the post-analysis steps: the user cannot close them; the
// worker's message ends them with 1.
class TSVTemplateRebuildDlg : public WorkerWaitDialog {
 public:
  static constexpr int kTemplateId = 30728;
  TSVTemplateRebuildDlg(std::function<void()> work, win::Window* parent = nullptr)
      : WorkerWaitDialog(kTemplateId, analysis::kSVTemplateRebuildEndMessage, std::move(work), parent) {}
};

class TRhythmDetectionDlg : public WorkerWaitDialog {
 public:
  static constexpr int kTemplateId = 189;
  TRhythmDetectionDlg(std::function<void()> work, win::Window* parent = nullptr)
      : WorkerWaitDialog(kTemplateId, analysis::kRhythmDetectionEndMessage, std::move(work), parent) {}
};

// The analysis run's dialogs as windows of the program.
class WindowAnalysisDialogs : public analysis::AnalysisDialogs {
 public:
  int RunProgressDialog(analysis::AnalysisProgress& progress) override;
  int RunWaitDialog(const analysis::WaitDialogKind& kind, const std::function<void()>& work) override;
};
