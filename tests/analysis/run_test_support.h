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
#include "analysis/gated_sample_source.h"
#include "document/document_context.h"
#include "document/document_host.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "planted_ecg.h"
#include "platform/clock.h"
#include "platform/process_context.h"
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

// A document with user interface on a memory profile, a manual clock and a temp home, with the
// analysis run installed as its hooks.
class AnalysisRunFixture : public ::testing::Test {
 protected:
  AnalysisRunFixture() : clock_(platform::LocalDateTime{2024, 3, 5, 10, 0, 0, 0}), prompt_guard_(prompt_) {}

  void SetUp() override {
    platform::ResetProcessState();
    win::SetPrompt(&prompt_);
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
    platform::ResetProcessState();
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
