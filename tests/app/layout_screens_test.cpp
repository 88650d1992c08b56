// Every built-in screen of the main view as the Qt host shows it offscreen, on an analysed
// synthetic recording, at the smallest size the screens are made for and at full HD: PNG files
// under the build folder for a reviewer, and a check that each screen reached the picture.
#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/qt_app_fixture.h"
#include "core/main_frame.h"
#include "core/splash_window.h"
#include "core/zk470_view.h"
#include "dialogs/auto_scroll_dlg.h"
#include "document/qrs_list.h"
#include "document/update_hints.h"
#include "layouts/beat_page_area.h"
#include "layouts/beat_page_window.h"
#include "layouts/default_layouts.h"
#include "layouts/template_browser_area.h"
#include "platform/ids.h"
#include "qt/screenshot.h"
#include "support/test_recordings.h"
#include "views/area_messages.h"
#include "views/ecg_strip_edit_window.h"
#include "views/layout_tree.h"
#include "views/online_ecg_area.h"
#include "views/window_area.h"
#include "win/command_target.h"

namespace apptest {
namespace {

namespace fs = std::filesystem;

// The display mode (and sub-mode, and hint) that shows each layout; modes that no command reaches
// yet are set on the document directly, as the commands will.
// The full-ECG screen's mode has no name of its own yet.
constexpr DisplayMode kFullEcgMode = static_cast<DisplayMode>(16);

struct Screen {
  int layout;
  DisplayMode mode;
  int16_t sub_mode;
  int hint;
  bool large_templates;
};
constexpr Screen kScreens[] = {
    {0, DisplayMode::kNavigation, 1, 0, false},
    {1, DisplayMode::kEcgPage, 1, 0, false},
    {2, DisplayMode::kNavigation, 0, 0, false},
    {3, DisplayMode::kEcgPage, 2, 0, false},
    {4, DisplayMode::kHourlyBarGraphs, 0, 0, false},
    {5, DisplayMode::kNone, 0, 0, false},
    {6, DisplayMode::kOnlineEcg, 0, 0, false},
    {7, DisplayMode::kStTrend, 0, 0, false},
    {8, DisplayMode::kTemplateClasses, 0, 0, false},
    {9, DisplayMode::kTemplateBeats, 0, hint::kArea1101, false},
    {10, DisplayMode::kTemplateClasses, 0, 0, true},
    {11, DisplayMode::kEcgPage, 0, 0, false},
    {12, DisplayMode::kSampleWindows, 0, 0, false},
    {13, DisplayMode::kHrv10, 0, 0, false},
    {14, DisplayMode::kHrv11, 0, 0, false},
    {15, DisplayMode::kHrv12, 0, 0, false},
    {16, DisplayMode::kPacemakerTemplates, 0, hint::kDisplayMode13, false},
    {17, DisplayMode::kStatistics, 0, 0, false},
    {18, DisplayMode::kPdf, 0, 0, false},
    {19, DisplayMode::kOnlineEcg, 0, 0, false},
    {20, kFullEcgMode, 0, 0, false},
    {21, DisplayMode::kHeartRateNavigator, 0, 0, false},
};

struct Size {
  int width;
  int height;
};
constexpr Size kSizes[] = {{1000, 700}, {1920, 1080}};

class LayoutScreensTest : public ScreenshotTest, public ::testing::WithParamInterface<int> {
 protected:
  void StartOnRecording(int channels) {
    const fs::path qrs =
        coretest::MakeAnalysedRecording(Folder("rec") / "00001", 60, channels, {"Eva", "Berg", "55"});
    ASSERT_TRUE(Start({qrs.string()}));
    Settle();
    if (CSplashWindow::Current() != nullptr) CSplashWindow::PreTranslateAppMessage(win::kWmLButtonDown);
    Settle();
    ASSERT_NE(GetActiveZK470View(), nullptr);
  }

  void Show(const Screen& screen) {
    Doc().SetDisplayMode(screen.mode);
    Doc().SetDisplaySubMode(screen.sub_mode);
    Doc().SetLargeTemplateViewFlag(screen.large_templates);
    Doc().UpdateAllViews(nullptr, screen.hint);
    Settle();
  }
};

// Every screen with two and with three channels; layout 6 is the online screen of a two-channel
// recorder, 19 of a three-channel one.
TEST_P(LayoutScreensTest, EveryScreenReachesThePictureAtBothSizes) {
  const int channels = GetParam();
  ASSERT_NO_FATAL_FAILURE(StartOnRecording(channels));
  CZK470View& view = *GetActiveZK470View();

  for (const Size size : kSizes) {
    Frame().MoveWindow({0, 0, size.width, size.height});
    Settle();
    for (const Screen& screen : kScreens) {
      // The online screens follow the recorder's channel count.
      if ((screen.layout == 6 && channels == 3) || (screen.layout == 19 && channels == 2)) continue;
      SCOPED_TRACE(testing::Message()
                   << "layout " << screen.layout << " at " << size.width << "x" << size.height);
      Show(screen);
      ASSERT_EQ(view.GetSelector()->GetCurrentIndex(), screen.layout);

      const QImage* image = canvas_host_->BackingStore(Frame());
      ASSERT_NE(image, nullptr);
      char name[64];
      std::snprintf(name, sizeof name, "layout_%02d_%dx%d", screen.layout, size.width, size.height);
      qthost::testing_support::SaveScreenshot(*image, name);

      // Each screen fills the view with more than its background. The start screen's logos are
      // files of the main folder, and the PDF screen shows its file in a widget of its own; both
      // are shown with their contents by the panel screens' tests.
      if (screen.layout == 5 || screen.layout == 18) continue;
      const gfx::Rect place = view.GetWindowRectInParent();
      ASSERT_GT(place.Width(), 0);
      EXPECT_GT(Colours(*image, QRect(place.left, place.top, place.Width(), place.Height())), 2u);
    }
  }
}

// The areas of the screen shown now that are of type T, in tree order.
template <typename T>
std::vector<T*> AreasOf(CViewAreaConfig* node) {
  std::vector<T*> found;
  if (node == nullptr) return found;
  if (auto* area = dynamic_cast<T*>(node->GetArea())) found.push_back(area);
  for (int i = 0; i < node->GetChildCount(); ++i) {
    for (T* area : AreasOf<T>(node->GetChild(i))) found.push_back(area);
  }
  return found;
}

// The windows that change the screen from their own commands: the count button of a template
// browser opens the beat page, whose first button leads back; each window goes with its screen.
TEST_F(LayoutScreensTest, WindowsThatChangeTheScreenFromTheirOwnCommands) {
  ASSERT_NO_FATAL_FAILURE(StartOnRecording(2));
  CZK470View& view = *GetActiveZK470View();
  Show(kScreens[8]);
  const std::vector<CTemplateBrowserArea*> browsers =
      AreasOf<CTemplateBrowserArea>(view.GetSelector()->GetCurrent());
  ASSERT_FALSE(browsers.empty());
  browsers.front()->CountButton().Click();
  Settle();
  EXPECT_EQ(view.GetSelector()->GetCurrentIndex(), 9);
  const std::vector<CWindowArea*> windows = AreasOf<CWindowArea>(view.GetSelector()->GetCurrent());
  CBeatPageWnd* page = nullptr;
  for (CWindowArea* area : windows) {
    if (auto* found = dynamic_cast<CBeatPageWnd*>(area->GetHostedWindow())) page = found;
  }
  ASSERT_NE(page, nullptr);
  page->SendMessage(win::kWmCommand, static_cast<win::WParam>(CBeatPageWnd::kCmdTemplateClasses));
  Settle();
  EXPECT_EQ(view.GetSelector()->GetCurrentIndex(), 8);
}

// What a user sees beyond the still screens: the caliper on the current strip, the auto-scroll
// dialog over the ECG page, and the online sweep fed from a recorder for a few seconds.
TEST_P(LayoutScreensTest, CaliperAutoScrollAndAFedSweep) {
  const int channels = GetParam();
  ASSERT_NO_FATAL_FAILURE(StartOnRecording(channels));
  CZK470View& view = *GetActiveZK470View();
  for (const Size size : kSizes) {
    Frame().MoveWindow({0, 0, size.width, size.height});
    Settle();
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "_%dch_%dx%d", channels, size.width, size.height);

    // The caliper on the navigation screen's strip.
    Show(kScreens[0]);
    ASSERT_TRUE(win::ExecuteCommand(Frame(), CECGStripWnd::kCmdCaliper));
    Settle();
    EXPECT_EQ(Doc().GetViewFields().caliper, 1);
    qthost::testing_support::SaveScreenshot(*canvas_host_->BackingStore(Frame()),
                                            std::string("caliper") + suffix);
    ASSERT_TRUE(win::ExecuteCommand(Frame(), CECGStripWnd::kCmdCaliper));
    Settle();

    // The beat page of the largest normal class with three beats chosen, one with a click and
    // two with Ctrl.
    Show(kScreens[9]);
    const std::vector<CBeatPageArea*> pages = AreasOf<CBeatPageArea>(view.GetSelector()->GetCurrent());
    ASSERT_EQ(pages.size(), 1u);
    CBeatPageArea& page = *pages.front();
    for (const auto& [cell, flags] : {std::pair{3, 0u}, {4, win::kMkControl}, {27, win::kMkControl}}) {
      const gfx::Rect r = page.StoredRect();
      gfx::Point p{r.left + cell % 20 * page.CellWidth() + 10, r.top + cell / 20 * page.CellHeight() + 10};
      page.OnMessage(areamsg::kLeftButtonDown, flags, reinterpret_cast<win::LParam>(&p));
      page.OnMessage(areamsg::kLeftButtonUp, flags, reinterpret_cast<win::LParam>(&p));
    }
    Settle();
    EXPECT_EQ(page.SelectedCells().size(), 3u);
    qthost::testing_support::SaveScreenshot(*canvas_host_->BackingStore(Frame()),
                                            std::string("beat_page_selection") + suffix);

    // Auto-scroll over the ECG page alone: the dialog opens beside the page.
    Show(kScreens[11]);
    ASSERT_TRUE(win::ExecuteCommand(Frame(), cmd::kAutoScroll));
    Settle();
    TAutoScrollDlg* dialog = nullptr;
    for (win::Window* window : win::Windows().TopLevelWindows()) {
      if (auto* found = dynamic_cast<TAutoScrollDlg*>(window); found != nullptr && found->IsWindowVisible())
        dialog = found;
    }
    ASSERT_NE(dialog, nullptr) << "the auto-scroll dialog is open";
    qthost::testing_support::SaveScreenshot(*canvas_host_->BackingStore(Frame()),
                                            std::string("autoscroll_page") + suffix);
    if (QWidget* widget = dialog_host_->WidgetOf(*dialog)) {
      qthost::testing_support::SaveScreenshot(widget->grab().toImage(),
                                              std::string("autoscroll_dialog") + suffix);
    }
    ASSERT_TRUE(win::ExecuteCommand(Frame(), cmd::kAutoScroll));
    Settle();

    // Eight seconds of a recorder's ECG in batches of a fifth of a second: a 1.2 mV beat every
    // 0.8 s on every channel (the recorder's values grow downwards).
    Show(kScreens[channels == 2 ? 6 : 19]);
    const std::vector<COnlineECGArea*> sweeps = AreasOf<COnlineECGArea>(view.GetSelector()->GetCurrent());
    ASSERT_EQ(static_cast<int>(sweeps.size()), channels);
    std::vector<int32_t> batch(25);
    for (int sample = 0; sample < 8 * COnlineECGArea::kSampleRate; sample += 25) {
      for (int i = 0; i < 25; ++i) {
        const int phase = (sample + i) % 100;
        batch[static_cast<size_t>(i)] =
            phase == 50 ? -240 : (phase == 49 || phase == 51 ? -80 : (phase == 53 ? 40 : 0));
      }
      for (COnlineECGArea* sweep : sweeps) sweep->EraseAhead(25);
      for (int channel = 0; channel < channels; ++channel) {
        EXPECT_EQ(sweeps[static_cast<size_t>(channel)]->AddSamples(batch, channel), 25);
      }
      Settle();
    }
    EXPECT_GT(sweeps[0]->GetSweepPos(), 0);
    const QImage* image = canvas_host_->BackingStore(Frame());
    ASSERT_NE(image, nullptr);
    qthost::testing_support::SaveScreenshot(*image, std::string("online_sweep") + suffix);
    const gfx::Rect place = view.GetWindowRectInParent();
    EXPECT_GT(Colours(*image, QRect(place.left, place.top, place.Width(), place.Height())), 3u);
  }
}

INSTANTIATE_TEST_SUITE_P(Channels, LayoutScreensTest, ::testing::Values(2, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::to_string(info.param) + "Channels";
                         });

}  // namespace
}  // namespace apptest

namespace apptest {
namespace {

// A screen shown after another is pixel for pixel what a full repaint of it gives: nothing of
// the screen before stays in the seams between its windows.
TEST_F(LayoutScreensTest, ASwitchedScreenEqualsAFreshPaint) {
  ASSERT_NO_FATAL_FAILURE(StartOnRecording(3));
  Frame().MoveWindow({0, 0, 1000, 700});
  Settle();
  const std::function<void(win::Window&)> invalidate_all = [&](win::Window& window) {
    window.Invalidate(true);
    for (win::Window* child : window.Children()) invalidate_all(*child);
  };
  constexpr std::pair<int, int> kSwitches[] = {{0, 12}, {12, 0}, {1, 8}, {20, 2}};
  for (const auto& [from, to] : kSwitches) {
    SCOPED_TRACE(testing::Message() << "layout " << from << " to " << to);
    Show(kScreens[from]);
    Show(kScreens[to]);
    const QImage switched = canvas_host_->BackingStore(Frame())->copy();
    invalidate_all(Frame());
    Settle();
    const QImage fresh = canvas_host_->BackingStore(Frame())->copy();
    ASSERT_EQ(switched.size(), fresh.size());
    int first_row = -1;
    for (int y = 0; y < fresh.height() && first_row < 0; ++y) {
      for (int x = 0; x < fresh.width(); ++x) {
        if (fresh.pixel(x, y) != switched.pixel(x, y)) {
          first_row = y;
          break;
        }
      }
    }
    EXPECT_EQ(first_row, -1) << "the first row that differs";
  }
}

// The program's edits go through its editing engine: the VES command on the strip of the
// navigation screen, with the position on a normal beat, makes that beat a VES.
TEST_F(LayoutScreensTest, AVESCommandOnTheStripRelabelsTheBeatUnderTheCursor) {
  ASSERT_NO_FATAL_FAILURE(StartOnRecording(2));
  Frame().MoveWindow({0, 0, 1000, 700});
  Settle();
  Show(kScreens[0]);
  const TQRSList& beats = Doc().GetQRSList();
  int index = -1;
  for (int i = 10; i < beats.GetSize() && index < 0; ++i) {
    if (beats.GetAt(i).GetClass() == kClassNormal) index = i;
  }
  ASSERT_GE(index, 0);
  const int beats_before = beats.GetSize();
  const int32_t ms = static_cast<int32_t>(static_cast<int64_t>(beats.GetAt(index).GetPosition()) * 1000 /
                                          static_cast<int64_t>(Doc().GetSampleRate()));
  Doc().SetCurrentPosition(ms, 0);
  Doc().UpdateAllViews(nullptr, hint::kPositionMoved);
  Settle();
  ASSERT_TRUE(win::UpdateCommand(Frame(), CECGStripWnd::kCmdVES).Enabled().value_or(false));
  // The class choice asks through the editor's dialogs, which the program installs.
  EXPECT_TRUE(win::UpdateCommand(Frame(), CECGStripWnd::kCmdClassChoice).Enabled().value_or(false));
  ASSERT_TRUE(win::ExecuteCommand(Frame(), CECGStripWnd::kCmdVES));
  Settle();
  EXPECT_EQ(beats.GetSize(), beats_before) << "relabelled, not inserted";
  EXPECT_EQ(beats.GetAt(index).GetClass(), kClassVES);
  EXPECT_TRUE(Doc().IsModified());
}

}  // namespace
}  // namespace apptest
