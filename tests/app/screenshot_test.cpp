// The main frame and the analysis progress dialog as the Qt host shows them offscreen, saved as
// PNG files under the build folder for a reviewer.
#include "qt/screenshot.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QWidget>
#include <set>

#include "analysis/analysis_dialogs.h"
#include "app/qt_app_fixture.h"
#include "core/analysis_dialogs.h"
#include "core/splash_window.h"
#include "support/test_recordings.h"
#include "win/system_metrics.h"

namespace apptest {
namespace {

namespace fs = std::filesystem;

TEST_F(ScreenshotTest, MainFrameWithAnOpenRecording) {
  const fs::path qrs = coretest::MakeSyntheticRecording(Folder("rec") / "00001", 200, {"Eva", "Berg", "55"});
  ASSERT_TRUE(Start({qrs.string()}));
  Settle();
  if (CSplashWindow* splash = CSplashWindow::Current()) {
    const QImage* picture = canvas_host_->BackingStore(*splash);
    ASSERT_NE(picture, nullptr);
    qthost::testing_support::SaveScreenshot(*picture, "splash_window");
    CSplashWindow::PreTranslateAppMessage(win::kWmLButtonDown);
  }
  // The recording is longer than three hours: the time-span box offers "All" and "3h".
  EXPECT_EQ(Frame().GetTimeSpanToolBar()->Combo().GetCount(), 2);
  EXPECT_EQ(Pane(CMainFrame::kPaneEngine), "  Olvek 1.78");
  EXPECT_EQ(Pane(CMainFrame::kPaneChannels), " 2 Channels : - analysed");
  Settle();

  const QImage* image = canvas_host_->BackingStore(Frame());
  ASSERT_NE(image, nullptr);
  qthost::testing_support::SaveScreenshot(*image, "main_frame");
  const gfx::Rect client = Frame().GetClientRect();
  ASSERT_EQ(image->width(), client.Width());
  ASSERT_EQ(image->height(), client.Height());

  // Menu bar, toolbars and the status panes hold drawing; the view is its grey work area.
  const gfx::Rect menu = Frame().GetMenuBar().GetWindowRectInParent();
  EXPECT_GT(Colours(*image, QRect(menu.left, menu.top, menu.Width(), menu.Height())), 2u);
  const gfx::Rect bar = Frame().GetMainToolBar()->GetWindowRectInParent();
  EXPECT_GT(Colours(*image, QRect(bar.left, bar.top, bar.Width(), bar.Height())), 8u);
  const gfx::Rect spans = Frame().GetTimeSpanToolBar()->GetWindowRectInParent();
  EXPECT_GT(Colours(*image, QRect(spans.left, spans.top, spans.Width(), spans.Height())), 2u);
  const gfx::Rect status = Frame().GetStatusBar().GetWindowRectInParent();
  for (const size_t pane : {CMainFrame::kPaneChannels, CMainFrame::kPaneEngine}) {
    const gfx::Rect r = Frame().GetStatusBar().GetItemRect(pane).Offset(status.left, status.top);
    EXPECT_GT(Colours(*image, QRect(r.left + 3, r.top + 3, r.Width() - 6, r.Height() - 6)), 2u) << pane;
  }
  // The main view shows the screen of the opened recording.
  EXPECT_EQ(Frame().GetView()->ClassName(), "ZK470View");
  const gfx::Rect view = Frame().GetView()->GetWindowRectInParent();
  EXPECT_GT(Colours(*image, QRect(view.left, view.top, view.Width(), view.Height())), 2u);
}

// A run logic for the picture: 7 of 24 minutes, counts on the way.
class PictureProgress : public analysis::AnalysisProgress {
 public:
  int GetTemplateId() const override { return TAnalysisProgressDlg::kTemplateId; }
  uint32_t GetEndMessage() const override { return analysis::kEngineEndMessage; }
  int GetMinuteCount() const override { return 24; }
  std::string GetSampleFilePath() const override { return "/home/zk470/ZK-470/Data/00001.CMP"; }
  void Start(std::function<void()> end_notice) override { end_notice_ = std::move(end_notice); }
  Display OnTimer() override { return {7, 12, 8431, true}; }
  bool OnCancel() override {
    End(analysis::kResultCancelled);
    return true;
  }
  int OnEndMessage() override {
    End(analysis::kResultFinished);
    return GetResult();
  }
  void Finish() { end_notice_(); }

 private:
  std::function<void()> end_notice_;
};

TEST_F(ScreenshotTest, AnalysisProgressDialog) {
  ASSERT_TRUE(Start({}));
  CSplashWindow::Reset();
  Settle();
  PictureProgress progress;
  WindowAnalysisDialogs dialogs;
  bool shot = false;
  // Once the dialog is up: one timer tick, then the picture, then the end of the run.
  platform::UiThreadQueue().PostTask([&] {
    clock_.Advance(analysis::kProgressTimerMs);
    platform::UiThreadQueue().PostTask([&] {
      TAnalysisProgressDlg* dialog = nullptr;
      for (win::Window* window : win::Windows().TopLevelWindows()) {
        if (auto* found = dynamic_cast<TAnalysisProgressDlg*>(window)) dialog = found;
      }
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->Bar().GetPos(), 7);
      QWidget* widget = dialog_host_->WidgetOf(*dialog);
      ASSERT_NE(widget, nullptr);
      QCoreApplication::processEvents();
      qthost::testing_support::SaveScreenshot(*widget, "analysis_progress_dialog");
      if (const auto* bar = widget->findChild<QProgressBar*>()) {
        EXPECT_EQ(bar->maximum(), 24);
        EXPECT_EQ(bar->value(), 7);
      }
      shot = true;
      progress.Finish();
    });
  });
  EXPECT_EQ(dialogs.RunProgressDialog(progress), analysis::kResultFinished);
  EXPECT_TRUE(shot);
}

}  // namespace
}  // namespace apptest
