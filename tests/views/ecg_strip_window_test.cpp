#include "views/ecg_strip_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/update_hints.h"
#include "platform/clock.h"
#include "platform/worker.h"
#include "support/screen_golden.h"
#include "views/strip_recording.h"
#include "win/menu.h"
#include "win/messages.h"
#include "win/toolbar_window.h"

namespace {

using views::CECGStripWindow;

// A two-minute recording in a 1000 x 700 strip window, painted headless.
class StripWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    platform::UiThreadQueue().Reset();
    win::Windows().Reset();
    win::Windows().SetClock(&clock_);
    ASSERT_TRUE(window_.CreateStrip(recording_.Doc(), nullptr, {0, 0, 1000, 700}, win::kWsVisible));
    win::Windows().RunPending();
  }
  void TearDown() override {
    window_.DestroyWindow();
    win::Windows().Reset();
    platform::UiThreadQueue().Reset();
  }

  win::ScrollInfo Info() const {
    win::ScrollInfo info;
    EXPECT_TRUE(window_.GetScrollInfo(win::kSbHorz, info));
    return info;
  }

  // The rows painted last must be exactly the seconds the scroll bar says.
  void ExpectRowsMatchScrollInfo() {
    const win::ScrollInfo info = Info();
    const std::vector<CECGStripWindow::PaintedRow>& rows = window_.PaintedRows();
    ASSERT_EQ(static_cast<int>(rows.size()), window_.RowCount());
    EXPECT_EQ(info.page, window_.RowCount() * window_.RowSeconds());
    for (size_t i = 0; i < rows.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(rows[i].start_ms, (info.pos + static_cast<int>(i) * window_.RowSeconds()) * 1000);
      EXPECT_EQ(rows[i].end_ms, rows[i].start_ms + window_.RowSeconds() * 1000);
    }
    EXPECT_EQ(rows.back().end_ms, (info.pos + info.page) * 1000);
  }

  platform::ManualClock clock_;
  viewstest::StripRecording recording_;
  CECGStripWindow window_;
};

TEST_F(StripWindowTest, LaysOutWholeSecondRowsOverTheRecording) {
  // 926 free pixels at 75 per second: 12 s rows (900 pixels); 4 rows of 2 x 70 pixels and a gap.
  EXPECT_EQ(window_.RowSeconds(), 12);
  EXPECT_EQ(window_.RowCount(), 4);
  EXPECT_EQ(window_.TotalSeconds(), 120);
  const win::ScrollInfo info = Info();
  EXPECT_EQ(info.min, 0);
  EXPECT_EQ(info.max, 119);
  EXPECT_EQ(info.page, 48);
  EXPECT_EQ(info.pos, 0);
  ExpectRowsMatchScrollInfo();
}

TEST_F(StripWindowTest, ScrollingByLineAndPageShowsExactlyTheScrollPosition) {
  struct Case {
    const char* name;
    int code;
    int want_pos;
  };
  // The last position is 120 - 48 = 72.
  const Case cases[] = {
      {"line right", win::kSbLineRight, 1},
      {"line right again", win::kSbLineRight, 2},
      {"page right", win::kSbPageRight, 50},
      {"page right stops at the end", win::kSbPageRight, 72},
      {"line right at the end stays", win::kSbLineRight, 72},
      {"line left", win::kSbLineLeft, 71},
      {"page left", win::kSbPageLeft, 23},
      {"page left stops at the start", win::kSbPageLeft, 0},
      {"line left at the start stays", win::kSbLineLeft, 0},
      {"to the right end", win::kSbRight, 72},
      {"to the left end", win::kSbLeft, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    window_.SendMessage(win::kWmHScroll, win::MakeWParam(c.code, 0), 0);
    win::Windows().RunPending();
    EXPECT_EQ(Info().pos, c.want_pos);
    ExpectRowsMatchScrollInfo();
  }
}

TEST_F(StripWindowTest, AClickOnTheBarsRightArrowScrollsOneSecond) {
  const gfx::Rect bar = window_.ScrollBarRect(win::kSbHorz);
  ASSERT_FALSE(bar.IsEmpty());
  const gfx::Point arrow{bar.right - 3, (bar.top + bar.bottom) / 2};
  win::Windows().MouseInput(window_, win::kWmLButtonDown, arrow);
  win::Windows().MouseInput(window_, win::kWmLButtonUp, arrow);
  win::Windows().RunPending();
  EXPECT_EQ(Info().pos, 1);
  ExpectRowsMatchScrollInfo();
}

TEST_F(StripWindowTest, ContextMenuChangesTheGain) {
  bool current_ticked = false;
  win::Windows().QueuePopupAnswer([&](const win::PopupRequest& request) {
    // The menu shows the current gain (10 mm/mV, the second entry) and speed (25 mm/s) ticked.
    const win::Menu& menu = *request.menu;
    current_ticked = menu.Count() == 7 && menu.At(0).check == 0 && menu.At(1).check == 1 &&
                     menu.At(2).check == 0 && menu.At(5).check == 1 && menu.At(1).radio;
    return CECGStripWindow::kCmdGainFirst + 2;
  });
  const int paints = window_.PaintCount();
  window_.SendMessage(win::kWmContextMenu, window_.Handle(), win::MakeLParam(300, 200));
  win::Windows().RunPending();
  EXPECT_TRUE(current_ticked);
  EXPECT_EQ(window_.Gain(), 20.0);
  EXPECT_GT(window_.PaintCount(), paints) << "the new gain shows at once";
  EXPECT_EQ(win::Windows().PendingPopupAnswers(), 0u);
}

TEST_F(StripWindowTest, ToolbarButtonsStepGainAndSpeedWithinTheirChoices) {
  struct Case {
    const char* name;
    int command;
    double want_gain;
    double want_speed;
    int want_row_seconds;
  };
  const Case cases[] = {
      {"faster paper: rows of 4 s (a reference on a sample)", CECGStripWindow::kCmdSpeedUp, 10.0, 50.0, 4},
      {"fastest paper stays", CECGStripWindow::kCmdSpeedUp, 10.0, 50.0, 4},
      {"slower paper again", CECGStripWindow::kCmdSpeedDown, 10.0, 25.0, 12},
      {"slowest paper: rows of 24 s", CECGStripWindow::kCmdSpeedDown, 10.0, 12.5, 24},
      {"smaller amplitude", CECGStripWindow::kCmdGainDown, 5.0, 12.5, 24},
      {"smallest amplitude stays", CECGStripWindow::kCmdGainDown, 5.0, 12.5, 24},
  };
  auto& bar = static_cast<win::ToolBarWindow&>(window_.ToolBar());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<size_t> index = bar.Model().CommandToIndex(c.command);
    ASSERT_TRUE(index.has_value());
    const gfx::Rect button = bar.ButtonRect(*index);
    const gfx::Point at =
        window_.ScreenToClient(bar.ClientToScreen(gfx::Point{button.left + 5, button.top + 5}));
    win::Windows().MouseInput(window_, win::kWmLButtonDown, at);
    win::Windows().MouseInput(window_, win::kWmLButtonUp, at);
    win::Windows().RunPending();
    EXPECT_EQ(window_.Gain(), c.want_gain);
    EXPECT_EQ(window_.Speed(), c.want_speed);
    EXPECT_EQ(window_.RowSeconds(), c.want_row_seconds);
    ExpectRowsMatchScrollInfo();
  }
}

TEST_F(StripWindowTest, RepaintsWhenTheDocumentContentChanges) {
  struct Case {
    const char* name;
    int hint;
    bool repaints;
  };
  const Case cases[] = {
      {"document changed", hint::kDocumentChanged, true},
      {"patient data", hint::kPatientData, false},
      {"position moved", hint::kPositionMoved, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    win::Windows().RunPending();
    const int paints = window_.PaintCount();
    recording_.Doc().UpdateAllViews(nullptr, c.hint);
    win::Windows().RunPending();
    EXPECT_EQ(window_.PaintCount() > paints, c.repaints);
  }
}

TEST_F(StripWindowTest, PaintingEqualsTheGoldenDisplayList) {
  window_.SendMessage(win::kWmHScroll, win::MakeWParam(win::kSbLineRight, 0), 0);
  win::Windows().RunPending();
  testsupport::ExpectScreenGolden("views", "ecg_strip_window", testsupport::RecordedScreen(window_));
}

}  // namespace
