#include "common/progress_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win/win_fixture.h"

namespace {

using win::testing_support::WinTest;

// Counts the caption changes.
class CountingProgressWindow : public CProgressWindow {
 public:
  using CProgressWindow::CProgressWindow;
  int title_changes = 0;

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override {
    if (message == win::kWmSetText) ++title_changes;
    return CProgressWindow::WindowProc(message, wparam, lparam);
  }
};

class ProgressWindowTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
  }
  win::Window main_;
};

TEST_F(ProgressWindowTest, TheTitleShowsTheIntegerPercentageOnlyWhenItChanges) {
  struct Case {
    const char* name;
    int32_t upper;
    int32_t pos;
    const char* title;
  };
  const Case cases[] = {
      {"50 of 101 is 49 %", 101, 50, "Export [49%]"},
      {"equal bounds show 0 % (title untouched)", 0, 70, "Export"},
      {"the whole range", 100, 100, "Export [100%]"},
      {"near the top of the 32-bit range", 2147483647, 2147483600, "Export [99%]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CountingProgressWindow progress(nullptr, "Export", false);
    progress.SetRange(0, c.upper, 1);
    progress.SetPos(c.pos);
    EXPECT_EQ(progress.GetWindowText(), c.title);
  }
  CountingProgressWindow progress(nullptr, "Export", false);
  progress.SetRange(0, 1000, 1);
  for (int i = 0; i <= 25; ++i) progress.StepIt();  // 0.1 % steps: 1 % and 2 % only
  EXPECT_EQ(progress.GetWindowText(), "Export [2%]");
  EXPECT_EQ(progress.title_changes, 2);
  EXPECT_EQ(progress.Bar().GetPos(), 26);
  EXPECT_EQ(progress.OffsetPos(-6), 26);
  EXPECT_EQ(progress.GetPos(), 20);
}

TEST_F(ProgressWindowTest, ItLaysOutTextButtonAndBarAndCentresOverItsParent) {
  CProgressWindow progress(&main_, "Writing...", false);
  ASSERT_TRUE(progress.IsWindow());
  EXPECT_TRUE(progress.IsWindowVisible());
  EXPECT_EQ(progress.GetExStyle() & win::kWsExTopMost, win::kWsExTopMost);
  const gfx::Rect text = progress.TextControl().GetWindowRectInParent();
  const gfx::Rect button = progress.CancelButton().GetWindowRectInParent();
  const gfx::Rect bar = progress.Bar().GetWindowRectInParent();
  EXPECT_EQ(text.left, 10);
  EXPECT_EQ(text.top, 10);
  EXPECT_EQ(text.Width(), 390);
  EXPECT_GT(text.Height(), 4 * 12);  // four lines of the message font
  EXPECT_EQ(button.right, text.right);
  EXPECT_EQ(button.top, text.bottom + 10);
  EXPECT_EQ(bar.left, 10);
  EXPECT_EQ(bar.right, button.left - 10);
  EXPECT_EQ(bar.top, button.top + 2);
  EXPECT_EQ(bar.bottom, button.bottom - 2);
  const gfx::Rect client = progress.GetClientRect();
  EXPECT_EQ(client.Width(), 410);
  EXPECT_EQ(client.Height(), button.bottom + 10);
  const gfx::Rect window = progress.GetWindowRect();
  EXPECT_EQ(window.left, (1000 - 410) / 2);
  EXPECT_EQ(progress.CancelButton().GetWindowText(), " Cancel ");
  EXPECT_TRUE(progress.SetText("File %d of %d", 3, 7));
  EXPECT_EQ(progress.TextControl().GetWindowText(), "File 3 of 7");
}

TEST_F(ProgressWindowTest, EscCancelsOnlyWhenThePumpIsAskedToAndCancelAlwaysDoes) {
  CProgressWindow progress(&main_, "Export", false);
  progress.BeginModal("Progress", false);
  EXPECT_FALSE(main_.IsWindowEnabled());

  platform::UiThreadQueue().PostTask([] { win::Windows().PressKey(win::kVkEscape); });
  EXPECT_EQ(progress.PumpMessages(false), 0);
  EXPECT_FALSE(progress.IsCancelled());
  EXPECT_EQ(win::Windows().GetFocus(), &progress);  // a modal window takes the focus to pump

  platform::UiThreadQueue().PostTask([] { win::Windows().PressKey(win::kVkEscape); });
  EXPECT_NE(progress.PumpMessages(true), 0);
  EXPECT_TRUE(progress.IsCancelled());
  // Cancelled while modal: hidden and closed; the main window waits for the owner.
  EXPECT_FALSE(progress.IsWindow());
  EXPECT_FALSE(main_.IsWindowEnabled());
  EXPECT_NE(progress.PumpMessages(false), 0);  // stays cancelled
  EXPECT_EQ(progress.SetPos(40), 0);             // no window: the stored position
  EXPECT_FALSE(progress.SetText("x"));
  progress.DestroyWindow();
  EXPECT_TRUE(main_.IsWindowEnabled());
}

TEST_F(ProgressWindowTest, AClickOnCancelCancelsWithoutEsc) {
  CProgressWindow progress(&main_, "Reading", false);
  progress.BeginModal("Progress", false);
  const gfx::Rect button = progress.CancelButton().GetWindowRectInParent();
  platform::UiThreadQueue().PostTask([&] {
    const gfx::Point at{button.left + 5, button.top + 5};
    win::Windows().MouseInput(progress, win::kWmLButtonDown, at, win::kMkLButton);
    win::Windows().MouseInput(progress, win::kWmLButtonUp, at);
  });
  EXPECT_NE(progress.PumpMessages(false), 0);
  EXPECT_FALSE(progress.IsWindow());
}

TEST_F(ProgressWindowTest, NonModalCancelOnlyHidesAndClearStartsOver) {
  CProgressWindow progress(&main_, "SD-Card", false);
  progress.SetRange(0, 10, 1);
  progress.SetPos(5);
  progress.CancelButton().Click();
  EXPECT_TRUE(progress.IsCancelled());
  EXPECT_TRUE(progress.IsWindow());
  EXPECT_FALSE(progress.IsWindowVisible());
  progress.StepIt();  // stepping shows it again
  EXPECT_TRUE(progress.IsWindowVisible());
  progress.Clear();
  EXPECT_FALSE(progress.IsCancelled());
  EXPECT_EQ(progress.GetPos(), 0);
  EXPECT_EQ(progress.TextControl().GetWindowText(), "");
}

TEST_F(ProgressWindowTest, AQuitDuringThePumpIsNoCancelAndStaysForTheMainLoop) {
  CProgressWindow progress(&main_, "Export", false);
  platform::UiThreadQueue().PostTask([] { win::Windows().PostQuitMessage(3); });
  EXPECT_EQ(progress.PumpMessages(true), 0);
  EXPECT_FALSE(progress.IsCancelled());
  EXPECT_TRUE(win::Windows().QuitRequested());
  EXPECT_EQ(win::Windows().QuitCode(), 3);
}

TEST_F(ProgressWindowTest, AMainWindowDisabledByADialogStaysDisabled) {
  main_.EnableWindow(false);  // a modal dialog runs
  {
    CProgressWindow progress(&main_, "Export", false);
    progress.BeginModal("Progress", false);
  }
  EXPECT_FALSE(main_.IsWindowEnabled());
}

TEST_F(ProgressWindowTest, WithoutAWindowEverythingReturnsTheStoredValues) {
  CProgressWindow progress;
  EXPECT_FALSE(progress.IsWindow());
  EXPECT_EQ(progress.Caption(), "Progress");
  progress.SetRange(0, 50, 5);  // ignored without a window
  EXPECT_EQ(progress.GetRange(), (std::pair<int32_t, int32_t>{0, 100}));
  EXPECT_EQ(progress.StepIt(), 0);
  EXPECT_EQ(progress.SetStep(3), 1);
  EXPECT_FALSE(progress.SetText("%d", 1));
  EXPECT_EQ(progress.PumpMessages(true), 0);
}

}  // namespace
