#include "analysis/st/st_progress_dlg.h"

#include <algorithm>

#include "document/raw_ecg_data.h"
#include "document/zk470_doc.h"
#include "platform/worker.h"
#include "win/prompt.h"

namespace analysis {

TSTProgressDlg::TSTProgressDlg(CZK470Doc& doc, int mode)
    : doc_(doc), mode_(mode), worker_(std::make_unique<platform::WorkerThread>()) {}

TSTProgressDlg::~TSTProgressDlg() {
  control_.stop.store(true);
  worker_->Join();
}

int TSTProgressDlg::GetMinuteCount() const {
  return mode_ == 1 ? std::min(doc_.GetRawECGData()->GetWholeMinutes(), 0xFFFF) : 1;
}

std::string TSTProgressDlg::GetSampleFilePath() const { return {}; }

void TSTProgressDlg::Start(std::function<void()> end_notice) {
  doc_.SetSTStopFlag(0);
  control_.counts_progress = true;
  const int mode = mode_;
  worker_->Start(
      [this, mode](const platform::WorkerThread&) {
        if (mode == 1)
          RunSTAnalysis(doc_, &control_);
        else
          RedetectSTEpisodes(doc_, &control_);
      },
      [end_notice](const platform::WorkerResult&) { end_notice(); });
}

AnalysisProgress::Display TSTProgressDlg::OnTimer() { return {control_.steps.load(), 0, 0, !IsEnded()}; }

bool TSTProgressDlg::OnCancel() {
  if (IsEnded()) return false;
  control_.stop.store(true);
  // The worker may still be writing the ST result record: nothing reads it before it has ended.
  worker_->Join();
  doc_.SetSTStopFlag(1);
  End(kResultCancelled);
  return true;
}

int TSTProgressDlg::OnEndMessage() {
  if (IsEnded()) return GetResult();
  worker_->Join();
  const platform::WorkerResult result = worker_->Result();
  if (!result.ok) {
    // A run that broke off left a partial record: the caller keeps the previous results.
    win::CurrentPrompt().MessageBox("The ST analysis failed.\n" + result.error, "ZK-470",
                                    win::kMbOk | win::kMbIconExclamation);
    End(kResultCancelled);
  } else {
    End(kResultFinished);
  }
  return GetResult();
}

int RunSTAnalysisDialog(AnalysisDialogs& dialogs, CZK470Doc& doc, int mode) {
  TSTProgressDlg dialog(doc, mode);
  return dialogs.RunProgressDialog(dialog);
}

}  // namespace analysis
