// Every built-in screen of the main view as the Qt host shows it offscreen, on an analysed
// synthetic recording, at the smallest size the screens are made for and at full HD: PNG files
// under the build folder for a reviewer, and a check that each screen reached the picture.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <string>

#include "app/qt_app_fixture.h"
#include "core/main_frame.h"
#include "core/splash_window.h"
#include "core/test_recordings.h"
#include "core/zk470_view.h"
#include "layouts/default_layouts.h"
#include "platform/ids.h"
#include "qt/screenshot.h"
#include "views/layout_tree.h"

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
  void Show(const Screen& screen) {
    Doc().SetDisplayMode(screen.mode);
    Doc().SetDisplaySubMode(screen.sub_mode);
    Doc().SetLargeTemplateViewFlag(screen.large_templates);
    Doc().UpdateAllViews(nullptr, screen.hint);
    Settle();
  }
};

// Layout 19 is the online screen of a three-channel recorder; all others show two channels.
TEST_P(LayoutScreensTest, EveryScreenReachesThePictureAtBothSizes) {
  const int channels = GetParam();
  const fs::path qrs =
      coretest::MakeAnalysedRecording(Folder("rec") / "00001", 60, channels, {"Eva", "Berg", "55"});
  ASSERT_TRUE(Start({qrs.string()}));
  Settle();
  if (CSplashWindow::Current() != nullptr) CSplashWindow::PreTranslateAppMessage(win::kWmLButtonDown);
  Settle();
  ASSERT_NE(GetActiveZK470View(), nullptr);
  CZK470View& view = *GetActiveZK470View();

  for (const Size size : kSizes) {
    Frame().MoveWindow({0, 0, size.width, size.height});
    Settle();
    for (const Screen& screen : kScreens) {
      if ((screen.layout == 19) != (channels == 3)) continue;
      SCOPED_TRACE(testing::Message()
                   << "layout " << screen.layout << " at " << size.width << "x" << size.height);
      Show(screen);
      ASSERT_EQ(view.GetSelector()->GetCurrentIndex(), screen.layout);

      const QImage* image = canvas_host_->BackingStore(Frame());
      ASSERT_NE(image, nullptr);
      char name[64];
      std::snprintf(name, sizeof name, "layout_%02d_%dx%d", screen.layout, size.width, size.height);
      qthost::testing_support::SaveScreenshot(*image, name);

      // Each screen fills the view with more than its background.
      const gfx::Rect place = view.GetWindowRectInParent();
      ASSERT_GT(place.Width(), 0);
      EXPECT_GT(Colours(*image, QRect(place.left, place.top, place.Width(), place.Height())), 2u);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Channels, LayoutScreensTest, ::testing::Values(2, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::to_string(info.param) + "Channels";
                         });

}  // namespace
}  // namespace apptest
