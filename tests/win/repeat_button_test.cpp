#include "win/repeat_button.h"

#include <gtest/gtest.h>

#include "win/win_fixture.h"

namespace win {
namespace {

using testing_support::WinTest;

// Counts the clicks its buttons report.
class ClickCounter : public Window {
 public:
  int clicks = 0;

 protected:
  LResult WindowProc(uint32_t message, WParam wparam, LParam lparam) override {
    if (message == kWmCommand && HiWord(wparam) == kBnClicked) ++clicks;
    return Window::WindowProc(message, wparam, lparam);
  }
};

class RepeatButtonTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    ASSERT_TRUE(parent_.Create(nullptr, {0, 0, 200, 100}, kWsPopup | kWsVisible));
    ASSERT_TRUE(button_.CreateControl(&parent_, {10, 10, 60, 31}, 35100, "Next", kWsVisible | kWsTabStop));
  }
  void Mouse(uint32_t message, gfx::Point point) { Windows().MouseInput(parent_, message, point); }
  // Advances the clock in steps of step_ms and returns the clicks counted after each.
  std::vector<int> Hold(int steps, int step_ms) {
    std::vector<int> counts;
    for (int i = 0; i < steps; ++i) {
      clock_.Advance(step_ms);
      Windows().FireDueTimers();
      counts.push_back(parent_.clicks);
    }
    return counts;
  }

  ClickCounter parent_;
  RepeatButton button_;
};

TEST_F(RepeatButtonTest, APressClicksAtOnceThenAfterTheFirstDelayThenAtEachInterval) {
  struct Case {
    const char* name;
    int first_delay_ms;
    int interval_ms;
    int step_ms;
    std::vector<int> want;  // the count after each step of the held button
  };
  const Case cases[] = {
      {"the default timing",
       RepeatButton::kDefaultFirstDelayMs,
       RepeatButton::kDefaultIntervalMs,
       100,
       {1, 1, 1, 1, 2, 2, 3, 3, 4}},
      {"equal delay and interval", 300, 300, 100, {1, 1, 2, 2, 2, 3, 3, 3, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    parent_.clicks = 0;
    button_.SetRepeatTiming(c.first_delay_ms, c.interval_ms);
    Mouse(kWmLButtonDown, {20, 20});
    EXPECT_EQ(parent_.clicks, 1);
    EXPECT_TRUE(button_.IsRepeating());
    // The pointer may wander off while the button is held.
    Mouse(kWmMouseMove, {150, 80});
    EXPECT_EQ(Hold(static_cast<int>(c.want.size()), c.step_ms), c.want);
    // The release adds no click of its own and stops the repeat.
    Mouse(kWmLButtonUp, {20, 20});
    EXPECT_EQ(Hold(10, c.step_ms).back(), c.want.back());
    EXPECT_FALSE(button_.IsRepeating());
    EXPECT_EQ(Windows().TimerCount(), 0u);
    EXPECT_EQ(Windows().GetCapture(), nullptr);
  }
}

TEST_F(RepeatButtonTest, LosingTheCaptureOrBeingDisabledStopsTheRepeat) {
  Window other;
  ASSERT_TRUE(other.Create(nullptr, {300, 0, 400, 100}, kWsPopup | kWsVisible));
  Mouse(kWmLButtonDown, {20, 20});
  other.SetCapture();
  EXPECT_EQ(Hold(10, 100).back(), 1);
  Windows().ReleaseCapture();

  Mouse(kWmLButtonDown, {20, 20});
  button_.EnableWindow(false);
  EXPECT_EQ(Hold(10, 100).back(), 2);
  EXPECT_FALSE(button_.IsRepeating());
  // A disabled button is not pressed at all.
  Windows().MouseInput(parent_, kWmLButtonDown, {20, 20});
  EXPECT_EQ(parent_.clicks, 2);
}

TEST_F(RepeatButtonTest, SpaceClicksOnce) {
  button_.SetFocus();
  Windows().PressKey(kVkSpace);
  EXPECT_EQ(parent_.clicks, 1);
  EXPECT_EQ(Windows().TimerCount(), 0u);
}

}  // namespace
}  // namespace win
