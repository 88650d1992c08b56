// An analysis started from the main frame's menu, through the command routing, on a synthetic
// recording: the progress dialog shows the minutes and counts, Cancel stops the run without a
// trace, and a finished run shows in the status bar and the title.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "analysis/analysis_dialogs.h"
#include "analysis/document_engine_adapters.h"
#include "analysis/engine/beat_engine.h"
#include "analysis/gated_sample_source.h"
#include "core/analysis_dialogs.h"
#include "core/app_fixture.h"
#include "core/core_ids.h"
#include "support/test_recordings.h"
#include "win/controls.h"

namespace coretest {
namespace {

namespace fs = std::filesystem;

// The program's run logic of the progress dialog with the worker's end notice held back until
// the test lets it through, so that the test sees the dialog once more after the worker has
// ended and before the end message closes it, however fast the engine is.
class HeldEndProgress : public analysis::AnalysisProgress {
 public:
  explicit HeldEndProgress(analysis::AnalysisProgress& run) : run_(run) {}

  int GetTemplateId() const override { return run_.GetTemplateId(); }
  uint32_t GetEndMessage() const override { return run_.GetEndMessage(); }
  int GetMinuteCount() const override { return run_.GetMinuteCount(); }
  std::string GetSampleFilePath() const override { return run_.GetSampleFilePath(); }
  void Start(std::function<void()> end_notice) override {
    run_.Start([this, end_notice = std::move(end_notice)] {
      std::lock_guard lock(mutex_);
      notice_ = end_notice;
      worker_ended_ = true;
      ended_.notify_all();
    });
  }
  Display OnTimer() override { return run_.OnTimer(); }
  bool OnCancel() override {
    const bool ends = run_.OnCancel();
    if (run_.IsEnded()) End(run_.GetResult());
    return ends;
  }
  int OnEndMessage() override {
    const int result = run_.OnEndMessage();
    End(result);
    return result;
  }

  // Whether the worker has ended, waiting up to wait_ms for it (the run's own thread goes on).
  bool WaitForWorkerEnd(int wait_ms) {
    std::unique_lock lock(mutex_);
    return ended_.wait_for(lock, std::chrono::milliseconds(wait_ms), [this] { return worker_ended_; });
  }
  // Sends the held end notice on (user-interface thread); nothing when none is held.
  void ReleaseEnd() {
    std::function<void()> notice;
    {
      std::lock_guard lock(mutex_);
      notice = std::move(notice_);
      notice_ = nullptr;
    }
    if (notice) notice();
  }

 private:
  analysis::AnalysisProgress& run_;
  std::mutex mutex_;
  std::condition_variable ended_;
  bool worker_ended_ = false;
  std::function<void()> notice_;
};

// The program's dialogs of the run, with the progress's end held as above.
class HeldEndDialogs : public WindowAnalysisDialogs {
 public:
  int RunProgressDialog(analysis::AnalysisProgress& progress) override {
    HeldEndProgress held(progress);
    held_ = &held;
    const int result = WindowAnalysisDialogs::RunProgressDialog(held);
    held_ = nullptr;
    return result;
  }
  HeldEndProgress* Held() const { return held_; }

 private:
  HeldEndProgress* held_ = nullptr;
};

class AnalysisMenuTest : public AppTest {
 protected:
  AnalysisMenuTest() {
    analysis_dialogs_ = &dialogs_;
    analysis_sample_source_ = [this](CZK470Doc& doc) -> std::unique_ptr<BeatSampleSource> {
      auto gated = std::make_unique<analysis_test::GatedSource>(
          std::make_unique<analysis::DocumentSampleSource>(*doc.GetRawECGData()), BeatEngine::Process(),
          gate_minute_);
      gate_ = gated.get();
      return gated;
    };
  }

  // Steps of the progress dialog: one timer tick (500 ms of the manual clock) per idle round.
  // While the worker runs, a round waits for it a moment rather than spinning; once it has ended,
  // one more tick shows its final state and then its end notice goes on.
  void DriveProgress(const std::function<bool(TAnalysisProgressDlg&)>& on_tick) {
    on_idle_ = [this, on_tick](win::Window* modal) {
      auto* dialog = dynamic_cast<TAnalysisProgressDlg*>(modal);
      HeldEndProgress* held = dialogs_.Held();
      if (dialog == nullptr || held == nullptr) return false;
      if (!advanced_) {
        // Looked at before the clock moves, so that the tick below shows an ended worker.
        ended_before_tick_ = held->WaitForWorkerEnd(0);
        clock_.Advance(analysis::kProgressTimerMs);
        advanced_ = true;
        return true;
      }
      advanced_ = false;
      // The ST analysis after the engine shows a progress of its own; it runs as it comes.
      if (dialog->TemplateId() == TAnalysisProgressDlg::kTemplateId && on_tick(*dialog)) return true;
      if (ended_before_tick_) {
        held->ReleaseEnd();
        return true;
      }
      // A worker that does not end soon gets the fixture's clock steps, which run out in time.
      return held->WaitForWorkerEnd(kWorkerWaitMs);
    };
  }

  void StartOn(const fs::path& qrs) {
    ASSERT_TRUE(Start({qrs.string()}));
    Pump();
    ASSERT_EQ(Pane(CMainFrame::kPaneChannels), " 2 Channels : - analysed");
  }

  // The analysis command as the menu entry sends it.
  void ChooseAnalyseFromMenu() {
    const win::CmdUI state = win::UpdateCommand(Frame(), cmd::kAnalyzeRecording);
    ASSERT_TRUE(state.Enabled().value_or(false));
    Frame().SendMessage(win::kWmCommand, cmd::kAnalyzeRecording);
    Pump();
  }

  static constexpr int kWorkerWaitMs = 50;

  HeldEndDialogs dialogs_;
  // The engine stops before reading this minute until a stop or the test lets it go.
  int gate_minute_ = 1;
  analysis_test::GatedSource* gate_ = nullptr;
  bool advanced_ = false;
  bool ended_before_tick_ = false;
};

TEST_F(AnalysisMenuTest, RunShowsProgressAndTheResult) {
  const fs::path qrs = MakeSyntheticRecording(Folder("rec") / "00001", 3);
  gate_minute_ = 2;
  StartOn(qrs);
  std::vector<int> positions;
  bool cancel_enabled_while_held = false;
  bool cancel_enabled_at_end = true;
  int ventricular = 0;
  int normal = 0;
  DriveProgress([&](TAnalysisProgressDlg& dialog) {
    const int position = dialog.Bar().GetPos();
    positions.push_back(position);
    EXPECT_EQ(dialog.Bar().GetRange().second, 3);
    EXPECT_EQ(dialog.GetDlgItemText(analysis::kSampleFileTextId), (Folder("rec") / "00001.CMP").string());
    const bool cancel_enabled = dialog.GetDlgItem(analysis::kCancelButtonId)->IsWindowEnabled();
    if (position == 2) {
      // Two minutes read, the engine held before the third.
      cancel_enabled_while_held = cancel_enabled;
      gate_->Release();
    }
    cancel_enabled_at_end = cancel_enabled;
    normal = std::stoi(dialog.GetDlgItemText(analysis::kNormalCountId));
    ventricular = std::stoi(dialog.GetDlgItemText(analysis::kVentricularCountId));
    return false;
  });
  ChooseAnalyseFromMenu();

  ASSERT_FALSE(positions.empty());
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
  EXPECT_TRUE(std::ranges::find(positions, 2) != positions.end());
  EXPECT_EQ(positions.back(), 3);
  EXPECT_TRUE(cancel_enabled_while_held);
  // The worker has ended before the last look: nothing is left to cancel.
  EXPECT_FALSE(cancel_enabled_at_end);
  EXPECT_GT(normal, 0);
  EXPECT_GT(ventricular, 0);
  EXPECT_GT(Doc().GetQRSList().GetSize(), 150);
  EXPECT_EQ(IsAnalysisAborted(), 0);
  // The first analysis saved the recording; the status bar and the title show it analysed.
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_GE(Doc().GetRecordingData().pause_threshold, 0);
  EXPECT_EQ(Pane(CMainFrame::kPaneChannels), " 2 Channels : analysed (1) + (2)");
  EXPECT_EQ(Pane(CMainFrame::kPaneEngine), "  Olvek 1.78");
  EXPECT_EQ(Frame().GetWindowText(), "KESTROVA ZK-470 Holter-ECG - 00001.QRS");
}

TEST_F(AnalysisMenuTest, CancelStopsTheRunWithoutATrace) {
  // The engine is held before its second minute, so the run is still going when Escape comes.
  const fs::path qrs = MakeSyntheticRecording(Folder("rec") / "00001", 3);
  StartOn(qrs);
  const std::vector<uint8_t> before = platform::ReadFileBytes(qrs);
  bool cancelled = false;
  DriveProgress([&](TAnalysisProgressDlg& dialog) {
    if (cancelled || dialog.Bar().GetPos() < 1) return false;
    cancelled = true;
    // Escape is the dialog's Cancel.
    win::Windows().SetFocus(&dialog);
    win::Windows().PressKey(win::kVkEscape);
    return true;
  });
  ChooseAnalyseFromMenu();

  EXPECT_TRUE(cancelled) << "the run ended before it showed a minute";
  EXPECT_EQ(IsAnalysisAborted(), 1);
  EXPECT_EQ(Doc().GetQRSList().GetSize(), 0);
  EXPECT_EQ(Doc().GetEngineQRSList().GetSize(), 0);
  EXPECT_EQ(Doc().GetRecordingData().pause_threshold, -1);
  EXPECT_EQ(platform::ReadFileBytes(qrs), before);
  EXPECT_EQ(Pane(CMainFrame::kPaneChannels), " 2 Channels : - analysed");
}

// A run logic the test steers: what the progress dialog shows and how it ends.
class ScriptedProgress : public analysis::AnalysisProgress {
 public:
  int GetTemplateId() const override { return TVraProgressDlg::kTemplateId; }
  uint32_t GetEndMessage() const override { return analysis::kLibraryEndMessage; }
  int GetMinuteCount() const override { return 24; }
  std::string GetSampleFilePath() const override { return "/data/00001.CMP"; }
  void Start(std::function<void()> end_notice) override { end_notice_ = std::move(end_notice); }
  Display OnTimer() override { return display; }
  bool OnCancel() override {
    ++cancels;
    if (!display.cancel_enabled) return false;
    End(analysis::kResultCancelled);
    return true;
  }
  int OnEndMessage() override {
    End(analysis::kResultFinished);
    return GetResult();
  }
  void Finish() { end_notice_(); }

  Display display;
  int cancels = 0;

 private:
  std::function<void()> end_notice_;
};

TEST_F(AnalysisMenuTest, ProgressDialogFollowsItsRunLogic) {
  ASSERT_TRUE(Start({}));
  Pump();
  WindowAnalysisDialogs dialogs;
  ScriptedProgress progress;
  int step = 0;
  on_idle_ = [&](win::Window* modal) {
    auto* dialog = dynamic_cast<TAnalysisProgressDlg*>(modal);
    if (dialog == nullptr) return false;
    switch (step++) {
      case 0:
        EXPECT_EQ(dialog->GetWindowText(), "Analysis (external library)");
        EXPECT_EQ(dialog->GetDlgItemText(analysis::kSampleFileTextId), "/data/00001.CMP");
        progress.display = {7, 3, 400, true};
        clock_.Advance(500);
        return true;
      case 1:
        EXPECT_EQ(dialog->Bar().GetPos(), 7);
        EXPECT_EQ(dialog->GetDlgItemText(analysis::kNormalCountId), "400");
        EXPECT_EQ(dialog->GetDlgItemText(analysis::kVentricularCountId), "3");
        // The engine consolidates: Cancel goes grey and Enter does nothing.
        progress.display.cancel_enabled = false;
        clock_.Advance(500);
        return true;
      case 2:
        EXPECT_FALSE(dialog->GetDlgItem(analysis::kCancelButtonId)->IsWindowEnabled());
        win::Windows().SetFocus(dialog);
        win::Windows().PressKey(win::kVkReturn);
        EXPECT_FALSE(dialog->Ended());
        EXPECT_EQ(progress.cancels, 1);
        progress.Finish();
        return true;
      default:
        return false;
    }
  };
  EXPECT_EQ(dialogs.RunProgressDialog(progress), analysis::kResultFinished);
  EXPECT_EQ(step, 3);
}

}  // namespace
}  // namespace coretest
