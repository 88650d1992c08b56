#pragma once

#include <memory>
#include <string>

#include "analysis/analysis_dialogs.h"
#include "analysis/st/st_analyzer.h"

class CZK470Doc;

namespace platform {
class WorkerThread;
}

namespace analysis {

inline constexpr uint32_t kSTAnalysisEndMessage = 0x405;

// The run logic of the ST progress dialog (template 30725): mode 1 the full ST analysis, mode 0
// the episodes again. Every way of leaving early (Cancel, OK, Escape, closing the window) stops
// the worker and waits for it, and ends with the cancel result, so the caller never takes over a
// half-written ST result record. A worker that failed also ends as cancelled, after telling why.
class TSTProgressDlg : public AnalysisProgress {
 public:
  static constexpr int kTemplateId = 30725;

  TSTProgressDlg(CZK470Doc& doc, int mode);
  ~TSTProgressDlg() override;

  int GetTemplateId() const override { return kTemplateId; }
  uint32_t GetEndMessage() const override { return kSTAnalysisEndMessage; }
  // The progress range: whole minutes in mode 1 (16-bit bound), 1 in mode 0.
  int GetMinuteCount() const override;
  std::string GetSampleFilePath() const override;
  void Start(std::function<void()> end_notice) override;
  Display OnTimer() override;
  bool OnCancel() override;
  int OnEndMessage() override;

 private:
  CZK470Doc& doc_;
  int mode_;
  STRunControl control_;
  std::unique_ptr<platform::WorkerThread> worker_;
};

// The ST analysis under its dialog, as the analysis run's service wants it; returns the dialog's
// result (1 finished, 1060 cancelled or failed).
int RunSTAnalysisDialog(AnalysisDialogs& dialogs, CZK470Doc& doc, int mode);

}  // namespace analysis
