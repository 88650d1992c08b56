#include "analysis/analysis_progress.h"

#include <utility>

#include "analysis/engine/beat_engine.h"
#include "analysis/engine/beat_engine_worker.h"
#include "analysis/vra_interface.h"
#include "document/raw_ecg_data.h"
#include "document/zk470_doc.h"
#include "platform/worker.h"
#include "win/prompt.h"

namespace analysis {

namespace {

constexpr const char* kCaption = "ZK-470";

std::string SampleFileOf(const CZK470Doc& doc) {
  const TRawECGData* store = doc.GetRawECGData();
  return store != nullptr ? store->GetFileName() : std::string();
}

}  // namespace

// --- Built-in engine -------------------------------------------------------------------------------

BuiltInEngineProgress::BuiltInEngineProgress(CZK470Doc& doc, BeatEngine& engine,
                                             std::unique_ptr<BeatSampleSource> source, int template_id)
    : doc_(doc),
      source_(std::move(source)),
      output_(doc),
      worker_(std::make_unique<BeatEngineWorker>(engine)),
      template_id_(template_id) {}

// The worker's destructor stops and joins: the engine never outlives the source and the output.
BuiltInEngineProgress::~BuiltInEngineProgress() = default;

int BuiltInEngineProgress::GetMinuteCount() const { return doc_.GetRecordingMinutes(); }

std::string BuiltInEngineProgress::GetSampleFilePath() const { return SampleFileOf(doc_); }

void BuiltInEngineProgress::Start(std::function<void()> end_notice) {
  const bool started = worker_->Start(*source_, &output_, [this, end_notice](BeatEngineEnd end, const std::string& error) {
    finished_.store(end == BeatEngineEnd::kFinished);
    error_ = error;
    end_notice();
  });
  if (!started) {
    error_ = "The analysis engine is still busy with another recording.";
    end_notice();
  }
}

AnalysisProgress::Display BuiltInEngineProgress::OnTimer() {
  if (cancel_enabled_ && !worker_->IsRunning()) cancel_enabled_ = false;
  return {worker_->MinutesReported(), worker_->VentricularCount(), worker_->NormalCount(), cancel_enabled_};
}

bool BuiltInEngineProgress::OnCancel() {
  if (IsEnded() || !worker_->IsRunning()) return false;
  worker_->RequestStop();
  // Nothing may write the document once the dialog has ended: wait for the engine to stop.
  worker_->Join();
  End(kResultCancelled);
  return true;
}

int BuiltInEngineProgress::OnEndMessage() {
  if (IsEnded()) return GetResult();
  worker_->Join();
  if (finished_.load()) {
    End(kResultFinished);
  } else {
    win::CurrentPrompt().MessageBox("The analysis failed.\n" + error_, kCaption, win::kMbOk | win::kMbIconExclamation);
    End(kResultFailed);
  }
  return GetResult();
}

// --- External library ------------------------------------------------------------------------------

LibraryProgress::LibraryProgress(CZK470Doc& doc, CVRAInterface& library) : doc_(doc), library_(library) {
  state_.error_number.store(0);
}

LibraryProgress::~LibraryProgress() {
  if (worker_) {
    state_.cancel.store(1);
    worker_->Join();
  }
}

int LibraryProgress::GetMinuteCount() const { return doc_.GetRecordingMinutes(); }

std::string LibraryProgress::GetSampleFilePath() const { return SampleFileOf(doc_); }

void LibraryProgress::Start(std::function<void()> end_notice) {
  state_.running.store(1);
  state_.cancel.store(0);
  state_.error.store(0);
  worker_ = std::make_unique<platform::WorkerThread>();
  worker_->Start([this](const platform::WorkerThread&) { VraAnalysisThread(doc_, library_, state_); },
                 [end_notice](const platform::WorkerResult&) { end_notice(); });
}

AnalysisProgress::Display LibraryProgress::OnTimer() {
  if (cancel_enabled_ && state_.running.load() == 0) cancel_enabled_ = false;
  return {state_.current_minute.load(), state_.ventricular_count.load(), state_.normal_count.load(), cancel_enabled_};
}

bool LibraryProgress::OnCancel() {
  if (!IsEnded() && state_.running.load() != 0) state_.cancel.store(1);
  return false;
}

int LibraryProgress::OnEndMessage() {
  if (IsEnded()) return GetResult();
  if (worker_) worker_->Join();
  // A missing library or entry point is reported under the caption "Error", refused calls under
  // the program's name.
  const char* caption = state_.error_number.load() == kVraLibraryMissing ? "Error" : kCaption;
  for (const std::string& message : state_.messages) win::CurrentPrompt().MessageBox(message, caption, win::kMbOk);
  if (state_.cancel.load() != 0) {
    End(kResultCancelled);
  } else if (state_.error.load() != 0) {
    End(kResultFailed);
  } else {
    End(kResultFinished);
  }
  return GetResult();
}

}  // namespace analysis
