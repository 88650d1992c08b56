#include "win/splitter.h"

#include <gtest/gtest.h>

#include "win/win_fixture.h"

namespace win {
namespace {

using testing_support::WinTest;

// A 400 x 300 splitter at (10, 10) of its parent with two panes.
class SplitterTest : public WinTest {
 protected:
  void Make(Splitter::Orientation orientation) {
    ASSERT_TRUE(parent_.Create(nullptr, {0, 0, 500, 400}, kWsPopup | kWsVisible));
    ASSERT_TRUE(splitter_.CreateSplitter(parent_, {10, 10, 410, 310}, 5, orientation));
    ASSERT_TRUE(first_.Create(&splitter_, {}, kWsChild | kWsVisible));
    ASSERT_TRUE(second_.Create(&splitter_, {}, kWsChild | kWsVisible));
    splitter_.SetMinPaneSizes(50, 80);
    splitter_.SetPanes(&first_, &second_);
    splitter_.SetBarPosition(150);
  }
  // A mouse message at a point of the splitter's client area.
  void Mouse(uint32_t message, gfx::Point point) {
    Windows().MouseInput(parent_, message, {point.x + 10, point.y + 10});
  }

  Window parent_;
  Splitter splitter_;
  Window first_;
  Window second_;
};

TEST_F(SplitterTest, TheBarPositionKeepsBothMinimumsAndThePanesFillTheRest) {
  Make(Splitter::Orientation::kSideBySide);
  struct Case {
    const char* name;
    int width;  // of the splitter
    int asked;
    int want;
  };
  constexpr int kBar = Splitter::kBarWidth;
  constexpr Case kCases[] = {
      {"inside the limits", 400, 150, 150},
      {"below the first pane's minimum", 400, 10, 50},
      {"past the second pane's minimum", 400, 390, 400 - kBar - 80},
      {"no room for both: the first keeps its minimum", 120, 100, 50},
      {"not even the first fits", 40, 100, 40 - kBar},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    splitter_.MoveWindow({10, 10, 10 + c.width, 310});
    splitter_.SetBarPosition(c.asked);
    EXPECT_EQ(splitter_.GetBarPosition(), c.want);
    EXPECT_EQ(first_.GetWindowRectInParent(), (gfx::Rect{0, 0, c.want, 300}));
    EXPECT_EQ(second_.GetWindowRectInParent(),
              (gfx::Rect{c.want + kBar, 0, std::max(c.want + kBar, c.width), 300}));
    EXPECT_EQ(splitter_.BarRect(), (gfx::Rect{c.want, 0, c.want + kBar, 300}));
  }
}

TEST_F(SplitterTest, ResizingKeepsTheFirstPaneUntilTheSecondWouldGoBelowItsMinimum) {
  Make(Splitter::Orientation::kStacked);
  EXPECT_EQ(first_.GetWindowRectInParent(), (gfx::Rect{0, 0, 400, 150}));
  splitter_.MoveWindow({10, 10, 310, 510});
  EXPECT_EQ(splitter_.GetBarPosition(), 150);
  EXPECT_EQ(second_.GetWindowRectInParent(), (gfx::Rect{0, 156, 300, 500}));
  splitter_.MoveWindow({10, 10, 310, 210});
  EXPECT_EQ(splitter_.GetBarPosition(), 200 - Splitter::kBarWidth - 80);
  EXPECT_EQ(second_.GetWindowRectInParent(), (gfx::Rect{0, 120, 300, 200}));
}

TEST_F(SplitterTest, DraggingTheBarMovesThePanesAsItGoesAndHoldsTheCapture) {
  Make(Splitter::Orientation::kSideBySide);
  // A press beside the bar does nothing.
  Mouse(kWmLButtonDown, {100, 50});
  EXPECT_FALSE(splitter_.IsDragging());
  Mouse(kWmLButtonUp, {100, 50});
  // Grabbed 2 pixels into the bar; the bar keeps that offset under the pointer.
  Mouse(kWmLButtonDown, {152, 50});
  EXPECT_TRUE(splitter_.IsDragging());
  EXPECT_EQ(Windows().GetCapture(), &splitter_);
  Mouse(kWmMouseMove, {202, 60});
  EXPECT_EQ(splitter_.GetBarPosition(), 200);
  EXPECT_EQ(first_.GetWindowRectInParent().right, 200);
  EXPECT_EQ(second_.GetWindowRectInParent().left, 206);
  // Dragged out of the splitter (the capture keeps the mouse): stopped by the minimum.
  Mouse(kWmMouseMove, {-300, 60});
  EXPECT_EQ(splitter_.GetBarPosition(), 50);
  Mouse(kWmLButtonUp, {262, 60});
  EXPECT_EQ(splitter_.GetBarPosition(), 260);
  EXPECT_FALSE(splitter_.IsDragging());
  EXPECT_EQ(Windows().GetCapture(), nullptr);
  // After the drag the pointer moves the bar no more.
  Mouse(kWmMouseMove, {100, 60});
  EXPECT_EQ(splitter_.GetBarPosition(), 260);
}

TEST_F(SplitterTest, LosingTheCaptureEndsTheDragWhereTheBarIs) {
  Make(Splitter::Orientation::kStacked);
  Mouse(kWmLButtonDown, {50, 151});
  Mouse(kWmMouseMove, {50, 181});
  Window other;
  ASSERT_TRUE(other.Create(nullptr, {0, 0, 10, 10}, kWsPopup));
  other.SetCapture();
  EXPECT_FALSE(splitter_.IsDragging());
  EXPECT_EQ(splitter_.GetBarPosition(), 180);
  Windows().ReleaseCapture();
  Mouse(kWmMouseMove, {50, 250});
  EXPECT_EQ(splitter_.GetBarPosition(), 180);
}

}  // namespace
}  // namespace win
