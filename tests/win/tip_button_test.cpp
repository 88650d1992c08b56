#include "win/tip_button.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "win/system_metrics.h"
#include "win/win_fixture.h"

namespace {

using win::Windows;

// Records the step messages its buttons send.
class StepTarget : public win::Window {
 public:
  std::vector<std::pair<int, int>> steps;  // (command id, value)

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override {
    if (message == CRepeatButton::kStepMessage)
      steps.emplace_back(static_cast<int>(wparam), static_cast<int>(lparam));
    return win::Window::WindowProc(message, wparam, lparam);
  }
};

class TipButtonTest : public win::testing_support::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    ASSERT_TRUE(parent_.Create(nullptr, {0, 0, 300, 100}, win::kWsPopup | win::kWsVisible));
    ASSERT_TRUE(next_.CreateControl(&parent_, {10, 10, 61, 31}, 35201, "", win::kWsVisible));
    next_.SizeToContent();
    ASSERT_TRUE(count_.CreateControl(&parent_, {100, 10, 151, 31}, 35001, "3", win::kWsVisible));
  }
  void Mouse(uint32_t message, gfx::Point point) { Windows().MouseInput(parent_, message, point); }
  void Advance(int ms) {
    clock_.Advance(ms);
    Windows().FireDueTimers();
  }

  StepTarget parent_;
  CRepeatButton next_{"Next member", 1};
  CTipButton count_{"Beats of the class"};
};

// Held down, the button steps at the press and then every 300 ms; the release ends it.
TEST_F(TipButtonTest, HeldRepeatButtonStepsAtThePressAndEvery300Ms) {
  next_.SetTarget(&parent_);
  next_.SetCommandId(5);
  Mouse(win::kWmLButtonDown, {15, 15});
  ASSERT_EQ(parent_.steps.size(), 1u);
  EXPECT_EQ(parent_.steps[0], std::make_pair(5, 1));
  std::vector<size_t> counts;
  for (int i = 0; i < 7; ++i) {
    Advance(100);
    counts.push_back(parent_.steps.size());
  }
  EXPECT_EQ(counts, (std::vector<size_t>{1, 1, 2, 2, 2, 3, 3}));
  Mouse(win::kWmLButtonUp, {15, 15});
  Advance(1000);
  EXPECT_EQ(parent_.steps.size(), 3u);
  EXPECT_FALSE(next_.IsRepeating());
}

TEST_F(TipButtonTest, RepeatButtonWithoutTargetSendsNothing) {
  Mouse(win::kWmLButtonDown, {15, 15});
  Advance(700);
  Mouse(win::kWmLButtonUp, {15, 15});
  EXPECT_TRUE(parent_.steps.empty());
  EXPECT_EQ(next_.GetCommandId(), -1);
}

// The tip shows once the pointer has rested; a press or leaving the button puts it away.
TEST_F(TipButtonTest, ToolTipsShowAfterTheDelayAndGoOnPressOrLeave) {
  struct Case {
    const char* name;
    gfx::Point at;
    const char* text;
  };
  const Case cases[] = {{"count button", {120, 20}, "Beats of the class"},
                        {"repeat button", {15, 15}, "Next member"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Mouse(win::kWmMouseMove, c.at);
    Advance(ButtonToolTip::kDelayMs - 1);
    EXPECT_FALSE(Windows().CurrentToolTip().has_value());
    Advance(1);
    ASSERT_TRUE(Windows().CurrentToolTip().has_value());
    EXPECT_EQ(Windows().CurrentToolTip()->text, c.text);
    Mouse(win::kWmLButtonDown, c.at);
    EXPECT_FALSE(Windows().CurrentToolTip().has_value());
    Mouse(win::kWmLButtonUp, c.at);

    Mouse(win::kWmMouseMove, c.at);
    Advance(ButtonToolTip::kDelayMs);
    ASSERT_TRUE(Windows().CurrentToolTip().has_value());
    Mouse(win::kWmMouseMove, {250, 80});
    EXPECT_FALSE(Windows().CurrentToolTip().has_value());
  }
  // A button without a text shows no tip.
  CTipButton silent{""};
  ASSERT_TRUE(silent.CreateControl(&parent_, {200, 10, 251, 31}, 35002, "0", win::kWsVisible));
  Mouse(win::kWmMouseMove, {210, 20});
  Advance(ButtonToolTip::kDelayMs * 2);
  EXPECT_FALSE(Windows().CurrentToolTip().has_value());
}

// The four pictures: pressed while held, disabled when the window is, PREV the mirror of NEXT.
TEST_F(TipButtonTest, PicturesFollowTheButtonStateAndPointTheirWay) {
  EXPECT_EQ(next_.GetWindowRectInParent().Width(), CRepeatButton::kBitmapWidth);
  EXPECT_EQ(next_.GetWindowRectInParent().Height(), CRepeatButton::kBitmapHeight);
  EXPECT_EQ(next_.CurrentFace(), CRepeatButton::kUp);
  Mouse(win::kWmLButtonDown, {15, 15});
  EXPECT_EQ(next_.CurrentFace(), CRepeatButton::kDown);
  Mouse(win::kWmLButtonUp, {15, 15});
  EXPECT_EQ(next_.CurrentFace(), CRepeatButton::kFocus);
  next_.EnableWindow(false);
  EXPECT_EQ(next_.CurrentFace(), CRepeatButton::kDisabled);

  const CRepeatButton previous{"", 0};
  const int w = CRepeatButton::kBitmapWidth;
  for (auto face : {CRepeatButton::kUp, CRepeatButton::kDown, CRepeatButton::kFocus}) {
    SCOPED_TRACE(face);
    // Inside the 3-D border the pictures are mirror images of each other (the pressed arrows
    // both sink to the right, so they are compared two pixels apart).
    const int shift = face == CRepeatButton::kDown ? 2 : 0;
    int arrow_pixels = 0;
    for (int y = 2; y < CRepeatButton::kBitmapHeight - 2; ++y) {
      for (int x = 3; x < w - 3; ++x) {
        EXPECT_EQ(previous.Picture(face).GetPixel(x, y), next_.Picture(face).GetPixel(w - 1 - x + shift, y))
            << x << "," << y;
        if (next_.Picture(face).GetPixel(x, y) == gfx::Rgb(0, 0, 0)) ++arrow_pixels;
      }
    }
    EXPECT_GE(arrow_pixels, 25);
  }
  EXPECT_NE(next_.Picture(CRepeatButton::kUp), next_.Picture(CRepeatButton::kDown));
  // The disabled arrow is grey, nothing black.
  const std::vector<gfx::Color>& disabled = next_.Picture(CRepeatButton::kDisabled).Pixels();
  EXPECT_EQ(std::count(disabled.begin(), disabled.end(), gfx::Rgb(0, 0, 0)), 0);
  EXPECT_GE(std::count(disabled.begin(), disabled.end(), win::GetSysColor(win::SysColor::kBtnShadow)), 20);
}

}  // namespace
