#include "layouts/hr_navigator_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "document/profile_keys.h"
#include "document/qrs_complex.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "gfx/recording_canvas.h"
#include "layouts/hr_navigator_area.h"
#include "layouts/hr_navigator_factories.h"
#include "layouts/layout_harness.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "support/screen_golden.h"
#include "views/base_view.h"
#include "views/window_area.h"
#include "win/command_target.h"
#include "win/messages.h"
#include "win/window.h"

namespace {

constexpr int kWindowRow = 1;
constexpr int kScaleRow = 3;
constexpr int kPlotRow = 4;

// The navigator screen (layout 21) with the navigator's classes and texts, over beats whose
// rates the test knows: beats 0..5 at 100 bpm (the highest), 9..18 at 50 (the lowest).
class NavigatorScreen : public testing::Test {
 protected:
  void SetUp() override {
    RegisterHRNavigatorFactories();
    before_ = platform::Resources().LanguagePack();
  }
  void TearDown() override {
    harness_.reset();
    platform::Resources().SetLanguagePack(before_);
  }
  void Show(const char* pack_name = "ZK470Eng", int width = 1000, int height = 700) {
    harness_.reset();
    harness_ = std::make_unique<layouttest::LayoutHarness>(21, width, height);
    // The harness starts from a fresh process state: the texts come in after it, and the screen
    // is built again to take them.
    pack_ = std::make_unique<platform::ResourcePack>(pack_name);
    AddHRNavigatorResources(*pack_);
    platform::Resources().SetLanguagePack(pack_.get());
    ASSERT_TRUE(dynamic_cast<CViewConfiguration*>(harness_->Node(0))->GetView()->GetSelector()->Rebuild());
    CZK470Doc& doc = harness_->Doc();
    doc.GetSettings().SetInt(SettingKey::kHeartrateTrendAverage, 0);
    int32_t at = 7500;
    doc.GetQRSList().Append(TQRSComplex(at, 1));
    for (const int interval :
         {75, 75, 75, 75, 75, 75, 75, 75, 75, 150, 150, 150, 150, 150, 150, 150, 150, 150, 150})
      doc.GetQRSList().Append(TQRSComplex(at += interval, 1));
    doc.SetSpanStartMinute(0);
    doc.SetSpanLength(2);
    doc.SetSpanStartMs(0);
    doc.SetSpanEndMs(120000);
    doc.SetCurrentPosition(60000);
    doc.UpdateAllViews(nullptr, hint::kDocumentChanged);
    win::Windows().RunPending();
  }
  CHRNavigatorWnd& Window() {
    return *dynamic_cast<CHRNavigatorWnd*>(
        dynamic_cast<CWindowArea*>(harness_->Node(kWindowRow)->GetArea())->GetHostedWindow());
  }
  CHRNavigatorArea& Plot() { return *dynamic_cast<CHRNavigatorArea*>(harness_->Node(kPlotRow)->GetArea()); }
  CMinMaxScaleArea& Scale() { return *dynamic_cast<CMinMaxScaleArea*>(harness_->Node(kScaleRow)->GetArea()); }
  bool Enabled(int id) { return win::UpdateCommand(Window(), id).Enabled().value_or(false); }
  void Click(win::Window& window, gfx::Point point) {
    win::Window& top = *window.GetTopLevel();
    const gfx::Point offset = window.OffsetInTopLevel();
    const gfx::Point at{point.x + offset.x, point.y + offset.y};
    win::Windows().MouseInput(top, win::kWmLButtonDown, at);
    win::Windows().MouseInput(top, win::kWmLButtonUp, at);
    win::Windows().RunPending();
  }

  std::unique_ptr<platform::ResourcePack> pack_;
  const platform::ResourcePack* before_ = nullptr;
  std::unique_ptr<layouttest::LayoutHarness> harness_;
};

TEST_F(NavigatorScreen, BarDocksLeftWithEveryButtonAsWideAsTheWidestText) {
  for (const char* pack : {"ZK470Eng", "ZK470Ger"}) {
    SCOPED_TRACE(pack);
    Show(pack);
    CHRNavigatorBar* bar = Window().GetBar();
    ASSERT_NE(bar, nullptr);
    gfx::RecordingCanvas measure;
    measure.SelectFont(bar->GetFont());
    int widest = 0;
    for (int id = navcmd::kFirst; id <= navcmd::kLast; ++id) {
      const std::string text = bar->Model().At(*bar->Model().CommandToIndex(id)).tooltip;
      EXPECT_FALSE(text.empty()) << id;
      widest = std::max(widest, measure.GetTextExtent(text).cx);
    }
    EXPECT_EQ(bar->GetButtonWidth(), widest + 2 * CHRNavigatorBar::kTextMargin);
    for (int id = navcmd::kFirst; id <= navcmd::kLast; ++id)
      EXPECT_EQ(bar->ButtonRect(id).Width(), bar->GetButtonWidth());
    // The NN group starts below a gap.
    EXPECT_EQ(bar->ButtonRect(navcmd::kNNLongest).top - bar->ButtonRect(navcmd::kGoToHRMin).bottom,
              CHRNavigatorBar::kGap);
    // The bar lies at the frame's left edge, the window right of it.
    EXPECT_EQ(bar->GetWindowRectInParent().left, 1);
    EXPECT_EQ(Window().GetWindowRectInParent().left, bar->GetWindowRectInParent().right);
  }
}

// In a low view (the program on a 1000 x 700 screen) every button stays inside the bar.
TEST_F(NavigatorScreen, EveryButtonFitsTheBarOfALowView) {
  struct Case {
    int view_height;
    int button_height;
  };
  for (const Case c : {Case{540, 20}, Case{1000, CHRNavigatorBar::kButtonHeight}}) {
    SCOPED_TRACE(c.view_height);
    Show("ZK470Eng", 1000, c.view_height);
    CHRNavigatorBar* bar = Window().GetBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->ButtonHeight(), c.button_height);
    EXPECT_LE(bar->ButtonRect(navcmd::kLast).bottom, bar->GetClientRect().bottom);
    for (int id = navcmd::kFirst; id <= navcmd::kLast; ++id)
      EXPECT_EQ(bar->ButtonRect(id).Height(), c.button_height) << id;
  }
}

TEST_F(NavigatorScreen, ListButtonsFollowTheEndFlagsStoreAndGoToNever) {
  Show();
  CHRNavigatorBar& bar = *Window().GetBar();
  const gfx::Rect highest = bar.ButtonRect(navcmd::kRateHighest);
  Click(bar, {highest.left + 5, highest.top + 5});
  EXPECT_EQ(Plot().GetRateSorted()[static_cast<size_t>(Plot().GetRateCursor())].beatIndex, 5);
  struct Expect {
    int id;
    bool enabled;
  };
  const Expect at_highest[] = {{navcmd::kRateHighest, false},  {navcmd::kRateNextHigher, false},
                               {navcmd::kRateNextLower, true}, {navcmd::kRateLowest, true},
                               {navcmd::kStoreHRMax, true},    {navcmd::kGoToNNMin, true}};
  for (const Expect& e : at_highest) {
    SCOPED_TRACE(e.id);
    EXPECT_EQ(Enabled(e.id), e.enabled);
    EXPECT_EQ(bar.Model().At(*bar.Model().CommandToIndex(e.id)).enabled, e.enabled);
  }
  // A disabled button takes no click.
  harness_->Doc().SetCurrentPosition(1000);
  Click(bar, {highest.left + 5, highest.top + 5});
  EXPECT_EQ(harness_->Doc().GetCurrentPosition(), 1000);
  Window().SendMessage(win::kWmCommand, navcmd::kRateLowest, 0);
  EXPECT_FALSE(Enabled(navcmd::kRateLowest));
  EXPECT_TRUE(Enabled(navcmd::kRateHighest));
  EXPECT_TRUE(bar.Model().At(*bar.Model().CommandToIndex(navcmd::kRateHighest)).enabled);
}

TEST_F(NavigatorScreen, DraggingInThePlotMovesThePositionAndReleaseTheCursor) {
  Show();
  const gfx::Rect plot = harness_->RectOf(kPlotRow);
  win::Window& top = *Window().GetTopLevel();
  const gfx::Point offset = Window().OffsetInTopLevel();
  const int width = plot.Width();
  const int64_t ms_per_pixel = 120000 / (width - 1);
  win::Windows().MouseInput(top, win::kWmLButtonDown, gfx::Point{plot.left + 10 + offset.x, 40 + offset.y});
  EXPECT_TRUE(Plot().IsDragging());
  EXPECT_EQ(harness_->Doc().GetCurrentPosition(), 10 * ms_per_pixel);
  // Beat 12 lies at 7500 + 675 + 450 samples: 69.0 s.
  const int x = static_cast<int>(69000 / ms_per_pixel);
  win::Windows().MouseInput(top, win::kWmMouseMove, gfx::Point{plot.left + x + offset.x, 40 + offset.y});
  EXPECT_EQ(harness_->Doc().GetCurrentPosition(), x * ms_per_pixel);
  win::Windows().MouseInput(top, win::kWmLButtonUp, gfx::Point{plot.left + x + offset.x, 40 + offset.y});
  win::Windows().RunPending();
  EXPECT_FALSE(Plot().IsDragging());
  EXPECT_EQ(Plot().GetRateSorted()[static_cast<size_t>(Plot().GetRateCursor())].beatIndex, 12);
  EXPECT_EQ(Plot().GetCursorColumn(), x * ms_per_pixel / 1000 * (width - 1) / 120);
}

TEST_F(NavigatorScreen, ScaleTakesThePlotsRangeAndPaintingEqualsTheGolden) {
  Show();
  EXPECT_EQ(Scale().GetAxisMin(), 50);
  EXPECT_EQ(Scale().GetAxisMax(), 110);
  EXPECT_EQ(Scale().TickLabels(), (std::vector<int>{60, 80, 100}));
  Window().RedrawWindow();
  testsupport::ExpectScreenGolden("layouts", "hr_navigator_window", testsupport::RecordedScreen(Window()));
}

}  // namespace
