#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "analysis/analysis_dialogs.h"
#include "analysis/document_engine_adapters.h"
#include "analysis/vra_analysis.h"

class BeatEngine;
class BeatEngineWorker;
class BeatSampleSource;
class CVRAInterface;
class CZK470Doc;

namespace platform {
class WorkerThread;
}

namespace analysis {

// The progress dialog's run logic for the built-in engine (template 154 in mode 0, 30749 in
// mode 2). The engine delivers into the document only at the end of a finished run. Cancel stops
// the engine and waits for its thread before the dialog ends, so nothing writes the document once
// the run control goes on; while the engine consolidates its templates (running flag 0) Cancel and
// the close request are disabled and do nothing.
class BuiltInEngineProgress : public AnalysisProgress {
 public:
  static constexpr int kTemplateMode0 = 154;
  static constexpr int kTemplateMode2 = 30749;

  BuiltInEngineProgress(CZK470Doc& doc, BeatEngine& engine, std::unique_ptr<BeatSampleSource> source, int template_id);
  ~BuiltInEngineProgress() override;

  int GetTemplateId() const override { return template_id_; }
  uint32_t GetEndMessage() const override { return kEngineEndMessage; }
  int GetMinuteCount() const override;
  std::string GetSampleFilePath() const override;
  void Start(std::function<void()> end_notice) override;
  Display OnTimer() override;
  bool OnCancel() override;
  int OnEndMessage() override;

 private:
  CZK470Doc& doc_;
  std::unique_ptr<BeatSampleSource> source_;
  DocumentEngineOutput output_;
  std::unique_ptr<BeatEngineWorker> worker_;
  int template_id_;
  bool cancel_enabled_ = true;
  std::atomic<bool> finished_{false};
  std::string error_;  // written by the worker before its end notice
};

// The progress dialog's run logic for the external library (template 30750). Cancel only raises
// the flag: the worker completes the minute under way, closes the library and reports; the
// dialog then ends with the cancel result (cancel wins over an error).
class LibraryProgress : public AnalysisProgress {
 public:
  static constexpr int kTemplate = 30750;

  LibraryProgress(CZK470Doc& doc, CVRAInterface& library);
  ~LibraryProgress() override;

  int GetTemplateId() const override { return kTemplate; }
  uint32_t GetEndMessage() const override { return kLibraryEndMessage; }
  int GetMinuteCount() const override;
  std::string GetSampleFilePath() const override;
  void Start(std::function<void()> end_notice) override;
  Display OnTimer() override;
  bool OnCancel() override;
  int OnEndMessage() override;

  const VraRunState& GetState() const { return state_; }

 private:
  CZK470Doc& doc_;
  CVRAInterface& library_;
  VraRunState state_;
  std::unique_ptr<platform::WorkerThread> worker_;
  bool cancel_enabled_ = true;
};

}  // namespace analysis
