// An analysis started from the main frame's menu, through the command routing, on a synthetic
// recording: the progress dialog shows the minutes and counts, Cancel stops the run without a
// trace, and a finished run shows in the status bar and the title.
#include <gtest/gtest.h>

#include "analysis/analysis_dialogs.h"
#include "core/analysis_dialogs.h"
#include "core/app_fixture.h"
#include "core/core_ids.h"
#include "core/test_recordings.h"
#include "win/controls.h"

namespace coretest {
namespace {

namespace fs = std::filesystem;

class AnalysisMenuTest : public AppTest {
 protected:
  // Steps of the progress dialog: one timer tick (500 ms of the manual clock) per idle round,
  // with the real time between rounds left to the engine's worker.
  void DriveProgress(const std::function<bool(TAnalysisProgressDlg&)>& on_tick) {
    on_idle_ = [this, on_tick](win::Window* modal) {
      auto* dialog = dynamic_cast<TAnalysisProgressDlg*>(modal);
      if (dialog == nullptr) return false;
      if (!advanced_) {
        clock_.Advance(analysis::kProgressTimerMs);
        advanced_ = true;
        return true;
      }
      advanced_ = false;
      ++ticks_;
      if (on_tick(*dialog)) return true;
      // Nothing to do this round: let the modal loop wait for the worker a moment.
      return false;
    };
  }

  void StartOn(const fs::path& qrs) {
    ASSERT_TRUE(Start({qrs.string()}));
    Pump();
    ASSERT_EQ(Pane(CMainFrame::kPaneChannels), " 2 Channels : - analysed");
  }

  // The analysis command as the menu entry sends it.
  void ChooseAnalyseFromMenu() {
    const win::CmdUI state = win::UpdateCommand(Frame(), core_ids::kAnalyzeRecording);
    ASSERT_TRUE(state.Enabled().value_or(false));
    Frame().SendMessage(win::kWmCommand, core_ids::kAnalyzeRecording);
    Pump();
  }

  bool advanced_ = false;
  int ticks_ = 0;
};

TEST_F(AnalysisMenuTest, RunShowsProgressAndTheResult) {
  const fs::path qrs = MakeSyntheticRecording(Folder("rec") / "00001", 3);
  StartOn(qrs);
  std::vector<int> positions;
  int ventricular = 0;
  int normal = 0;
  DriveProgress([&](TAnalysisProgressDlg& dialog) {
    positions.push_back(dialog.Bar().GetPos());
    EXPECT_EQ(dialog.Bar().GetRange().second, 3);
    EXPECT_EQ(dialog.GetDlgItemText(analysis::kSampleFileTextId), (Folder("rec") / "00001.CMP").string());
    normal = std::stoi(dialog.GetDlgItemText(analysis::kNormalCountId));
    ventricular = std::stoi(dialog.GetDlgItemText(analysis::kVentricularCountId));
    return false;
  });
  ChooseAnalyseFromMenu();

  ASSERT_FALSE(positions.empty());
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
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
  const fs::path qrs = MakeSyntheticRecording(Folder("rec") / "00001", 60);
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
