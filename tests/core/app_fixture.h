#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/analysis_dialogs.h"
#include "core/automation_command_line_info.h"
#include "core/automation_dispatcher.h"
#include "core/core_resources.h"
#include "core/main_frame.h"
#include "core/splash_window.h"
#include "core/zk470_app.h"
#include "dialogs/wait_dlgs.h"
#include "document/document_context.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/io_error.h"
#include "platform/process_context.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "platform/worker.h"
#include "win/dialog_template.h"
#include "win/prompt.h"
#include "win/window.h"

namespace coretest {

// The application headless: a memory profile, a manual clock (modal loops move it on when they
// have nothing else to do, so timers of dialogs fire), its folders under a temp home, a scripted
// prompt, and the process-wide state of a fresh start. The current directory is restored after
// each test (the document makes the data directory current).
class AppTest : public ::testing::Test {
 protected:
  AppTest() : clock_(platform::LocalDateTime{2024, 3, 5, 10, 0, 0, 0}) {
    static std::atomic<int> counter{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("core_") + (info ? info->name() : "x") + "_" + std::to_string(::getpid()) + "_" +
                       std::to_string(counter++);
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    root_ = std::filesystem::path(::testing::TempDir()) / name;
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "home");
  }

  void SetUp() override {
    cwd_ = std::filesystem::current_path();
    ResetProcessState();
    win::Windows().SetClock(&clock_);
    win::Windows().SetStallLimitMs(20000);
    win::Windows().SetModalIdleHandler([this](win::Window* modal) { return Idle(modal); });
  }

  void TearDown() override {
    app_.reset();
    platform::ResetProcessState();
    std::filesystem::current_path(cwd_);
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }

  // Back to the process state of a fresh start, this fixture's prompt answering.
  void ResetProcessState() {
    platform::ResetProcessState();
    win::SetPrompt(&prompt_);
  }

  // Starts the application with these arguments; whether the start-up succeeded.
  bool Start(std::vector<std::string> args) {
    app_ = std::make_unique<CZK470App>(profile_);
    if (pack_source_) app_->SetLanguagePackSource(pack_source_);
    CZK470App::StartupOptions options;
    options.args = std::move(args);
    options.clock = &clock_;
    options.settings_defaults.home = (root_ / "home").string();
    options.library_version = library_version_;
    options.analysis_dialogs = analysis_dialogs_;
    options.analysis_sample_source = analysis_sample_source_;
    options.narrative_test = narrative_test_;
    if (!options.library_version) {
      options.library_version = []() -> uint32_t { throw platform::IoError("libVRA.so", "not installed"); };
    }
    return app_->InitInstance(std::move(options));
  }

  // Runs what start-up and commands posted (status refresh, start-up command, commands).
  void Pump() {
    for (int i = 0; i < 20 && win::Windows().RunPending() > 0;) ++i;
  }

  CMainFrame& Frame() { return *app_->GetMainFrame(); }
  CZK470Doc& Doc() { return *app_->GetDocument(); }
  std::string Pane(size_t index) { return Frame().GetStatusBar().GetPaneText(index); }
  std::filesystem::path Folder(const std::string& name) {
    std::filesystem::create_directories(root_ / name);
    return root_ / name;
  }

  // What a modal loop does when it has nothing else to do: the test's step first, else the
  // clock moves on by 100 ms (2000 times at most, then the loop may give up). A dialog that
  // waits for its worker ends by the worker's message alone: the loop waits for that message
  // rather than spin the clock, which would use up the budget while the worker runs.
  bool Idle(win::Window* modal) {
    if (on_idle_ && on_idle_(modal)) return true;
    if (dynamic_cast<WorkerWaitDialog*>(modal) != nullptr) return false;
    if (idle_ticks_ >= 2000) return false;
    ++idle_ticks_;
    clock_.Advance(100);
    return true;
  }

  platform::ManualClock clock_;
  platform::MemoryProfileStore profile_;
  win::ScriptedPrompt prompt_;
  CZK470App::LibraryVersionReader library_version_;
  // Where the language packs come from; the program's own when empty.
  CZK470App::LanguagePackSource pack_source_;
  // The analysis run's dialogs; the program's own when null.
  analysis::AnalysisDialogs* analysis_dialogs_ = nullptr;
  // The narrative test-data dialog (its result); without it the narrative test is off.
  std::function<int()> narrative_test_;
  // Where the built-in engine reads the recording; the document's sample store when empty.
  std::function<std::unique_ptr<BeatSampleSource>(CZK470Doc&)> analysis_sample_source_;
  std::function<bool(win::Window*)> on_idle_;
  int idle_ticks_ = 0;
  std::unique_ptr<CZK470App> app_;
  std::filesystem::path root_;
  std::filesystem::path cwd_;
};

}  // namespace coretest
