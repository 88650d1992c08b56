#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "analysis/analysis_dialogs.h"
#include "analysis/analysis_run.h"
#include "analysis/document_engine_adapters.h"
#include "analysis/engine/beat_engine.h"
#include "document/document_context.h"
#include "document/document_host.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "planted_ecg.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "support/test_files.h"
#include "win/prompt.h"

namespace analysis_test {

// A folder of its own per test, removed afterwards.
using testsupport::TempFolder;

// The application as the document sees it, recording what it was asked.
class RecordingHost : public document::DocumentHost {
 public:
  void SetBatchFileResult(int result) override { batch_file_result = result; }
  void PostMainFrameMessage(uint32_t message) override { posted.push_back(message); }
  void ShowSaveNotice() override { ++saves; }
  int batch_file_result = 0;
  std::vector<uint32_t> posted;
  int saves = 0;
};

class HintLog : public document::DocumentView {
 public:
  void OnUpdate(document::DocumentView*, int hint, THintObject*) override { hints.push_back(hint); }
  std::vector<int> hints;
};

// The dialogs as a test drives them: the progress dialog follows the script (by default it waits
// for the end, as the headless one does); every dialog shown is logged.
class ScriptedDialogs : public analysis::AnalysisDialogs {
 public:
  int RunProgressDialog(analysis::AnalysisProgress& progress) override {
    progress_templates.push_back(progress.GetTemplateId());
    return progress_script ? progress_script(progress) : headless_.RunProgressDialog(progress);
  }
  int RunWaitDialog(const analysis::WaitDialogKind& kind, const std::function<void()>& work) override {
    wait_dialogs.push_back(kind.name);
    return headless_.RunWaitDialog(kind, work);
  }

  std::function<int(analysis::AnalysisProgress&)> progress_script;
  std::vector<int> progress_templates;
  std::vector<std::string> wait_dialogs;

 private:
  analysis::HeadlessAnalysisDialogs headless_{nullptr, 20};
};

// Holds the built-in engine at the start of one minute until the engine is asked to stop (or the
// test lets it go); tells the test when it got there.
class GatedSource : public BeatSampleSource {
 public:
  GatedSource(std::unique_ptr<BeatSampleSource> inner, BeatEngine& engine, int gate_minute)
      : inner_(std::move(inner)), engine_(engine), gate_minute_(gate_minute) {}

  void Reopen() override { inner_->Reopen(); }
  int32_t GetWholeMinutes() const override { return inner_->GetWholeMinutes(); }
  int GetAnalysedChannelCount() const override { return inner_->GetAnalysedChannelCount(); }
  void GetAnalysisMinute(std::span<int16_t, beat_engine::kSamplesPerMinute> samples, int lead, int32_t minute,
                         bool report_markers) override {
    if (lead == 0 && minute == gate_minute_) {
      std::unique_lock<std::mutex> lock(mutex_);
      if (!reached_) {
        reached_ = true;
        changed_.notify_all();
        // The stop request does not signal: look at it now and then.
        while (!released_ && !engine_.StopRequested()) changed_.wait_for(lock, std::chrono::milliseconds(1));
      }
    }
    inner_->GetAnalysisMinute(samples, lead, minute, report_markers);
  }

  void WaitReached() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return reached_; });
  }
  void Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  std::unique_ptr<BeatSampleSource> inner_;
  BeatEngine& engine_;
  int gate_minute_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool reached_ = false;
  bool released_ = false;
};

// A document with user interface on a memory profile, a manual clock and a temp home, with the
// analysis run installed as its hooks.
class AnalysisRunFixture : public ::testing::Test {
 protected:
  AnalysisRunFixture() : clock_(platform::LocalDateTime{2024, 3, 5, 10, 0, 0, 0}), prompt_guard_(prompt_) {}

  void SetUp() override {
    document::Context().Reset();
    const int32_t channels[] = {0, 1};
    document::Context().g_AnalysisChannels.Assign(channels);
    document::Context().g_RecordingChannels.Assign(channels);
    document::Context().g_DisplayChannels.Assign(channels);
    document::Context().g_STChannels.Assign(channels);
    cwd_ = std::filesystem::current_path();
    SettingsDefaults defaults;
    defaults.home = temp_.Path().string();
    doc_ = std::make_unique<CZK470Doc>(profile_, clock_, defaults);
    doc_->SetHost(&host_);
    doc_->AddView(&hints_);
    analysis::AnalysisRun::Services services;
    services.dialogs = &dialogs_;
    services.engine = &engine_;
    services.sample_source = [this](CZK470Doc& doc) -> std::unique_ptr<BeatSampleSource> {
      auto inner = std::make_unique<analysis::DocumentSampleSource>(*doc.GetRawECGData());
      if (gate_minute_ < 0) return inner;
      auto gated = std::make_unique<GatedSource>(std::move(inner), engine_, gate_minute_);
      gate_ = gated.get();
      return gated;
    };
    services.library_version_text = [] { return std::string("1.23.4."); };
    run_ = std::make_unique<analysis::AnalysisRun>(std::move(services));
    doc_->SetAnalysisHooks(run_.get());
  }

  void TearDown() override {
    if (doc_) {
      doc_->RemoveView(&hints_);
      doc_->SetAnalysisHooks(nullptr);
    }
    doc_.reset();
    std::filesystem::current_path(cwd_);
    document::Context().Reset();
  }

  // Writes and opens a recording of the planted rhythm.
  std::string Open(const RhythmScript& script, int minutes) {
    const std::string path = WritePlantedRecording(temp_.File("00001"), script.Beats(), minutes, clock_);
    EXPECT_TRUE(doc_->OnOpenDocument(path));
    return path;
  }

  CZK470Doc& Doc() { return *doc_; }

  TempFolder temp_;
  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_;
  win::ScriptedPrompt prompt_;
  win::ScopedPrompt prompt_guard_;
  RecordingHost host_;
  HintLog hints_;
  ScriptedDialogs dialogs_;
  BeatEngine engine_;
  int gate_minute_ = -1;
  GatedSource* gate_ = nullptr;
  std::unique_ptr<analysis::AnalysisRun> run_;
  std::unique_ptr<CZK470Doc> doc_;
  std::filesystem::path cwd_;
};

}  // namespace analysis_test
