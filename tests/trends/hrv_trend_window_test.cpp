#include "trends/hrv_trend_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/time_formatter.h"
#include "document/qrs_complex.h"
#include "document/zk470_doc.h"
#include "gfx/recording_canvas.h"
#include "layouts/trend_screen_fixture.h"
#include "platform/ids.h"
#include "platform/locale.h"
#include "trends/hrv_chart_kinds.h"
#include "trends/hrv_screen_factories.h"
#include "trends/hrv_table_factories.h"
#include "views/area_messages.h"
#include "views/strip_recording.h"
#include "win/command_target.h"

namespace {

constexpr int64_t kDayMs = 86'400'000;

class HRVScreen : public trendtest::TrendScreen {
 protected:
  void SetUp() override {
    TrendScreen::SetUp();
    AddHRVScreenResources(platform::Resources().ExePack());
    AddHRVTableResources(platform::Resources().ExePack());
    RegisterHRVScreenFactories();
    RegisterHRVTableFactories();
  }

  CHRVTrendWnd& Window() { return WindowOf<CHRVTrendWnd>("CHRVTrendWindowConfig"); }
  bool Enabled(int id) { return win::UpdateCommand(Window(), id).Enabled().value_or(false); }
  void Run(int id) {
    win::ExecuteCommand(Window(), id);
    win::Windows().RunPending();
  }
};

TEST_F(HRVScreen, OneDayRecordingRangesZoomAndDays) {
  Record(1440);
  Show(13);
  CHRVTrendWnd& window = Window();
  EXPECT_EQ(Doc().GetHRVSelectedDay(), 99);
  EXPECT_EQ(window.GetVisibleStart(), 0);
  EXPECT_EQ(window.GetVisibleEnd(), kDayMs);
  EXPECT_TRUE(Enabled(CHRVTrendWnd::kCmdDay0));
  EXPECT_FALSE(Enabled(CHRVTrendWnd::kCmdDay0 + 1));
  EXPECT_FALSE(Enabled(CHRVTrendWnd::kCmdDay0 + 2));
  EXPECT_TRUE(Enabled(CHRVTrendWnd::kCmdWholeRecording));
  Run(CHRVTrendWnd::kCmdDay0);
  EXPECT_EQ(Doc().GetHRVSelectedDay(), 0);
  EXPECT_EQ(window.GetVisibleStart(), 0);
  EXPECT_EQ(window.GetVisibleEnd(), kDayMs);

  // Zoom 4 is a sixteenth of the day, centred on the position and kept inside the day.
  EXPECT_FALSE(Enabled(CHRVTrendWnd::kCmdZoomOut));
  Doc().SetCurrentPosition(12 * 3'600'000);
  for (int i = 0; i < 5; ++i) Run(CHRVTrendWnd::kCmdZoomIn);
  EXPECT_EQ(Doc().GetHRVZoomLevel(), 4);
  EXPECT_FALSE(Enabled(CHRVTrendWnd::kCmdZoomIn));
  const int64_t width = kDayMs / 16;
  struct Case {
    const char* name;
    int32_t position;
    int64_t start;
  };
  const Case cases[] = {{"centred", 12 * 3'600'000, 12 * 3'600'000 - width / 2},
                        {"at the start", 1000, 0},
                        {"at the end", static_cast<int32_t>(kDayMs - 1000), kDayMs - width}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Doc().SetCurrentPosition(c.position);
    window.ComputeVisibleRange();
    EXPECT_EQ(window.GetVisibleStart(), c.start);
    EXPECT_EQ(window.GetVisibleEnd(), c.start + width);
  }
  for (int i = 0; i < 5; ++i) Run(CHRVTrendWnd::kCmdZoomOut);
  EXPECT_EQ(Doc().GetHRVZoomLevel(), 0);
  EXPECT_EQ(window.GetVisibleEnd() - window.GetVisibleStart(), kDayMs);

  // The scale stays within 0..3; a day choice puts zoom and scale back to 0.
  for (int i = 0; i < 5; ++i) Run(CHRVTrendWnd::kCmdScaleUp);
  EXPECT_EQ(Doc().GetHRVScaleStep(), 3);
  EXPECT_FALSE(Enabled(CHRVTrendWnd::kCmdScaleUp));
  Run(CHRVTrendWnd::kCmdZoomIn);
  Run(CHRVTrendWnd::kCmdWholeRecording);
  EXPECT_EQ(Doc().GetHRVScaleStep(), 0);
  EXPECT_EQ(Doc().GetHRVZoomLevel(), 0);
}

TEST_F(HRVScreen, ClickMovesThePositionOnlyInsideThePlot) {
  Record(30);
  Show(13);
  auto& chart = AreaOf<CRRTrendArea>("CRRTrendAreaConfig");
  const gfx::Rect plot = chart.GetPlot();
  struct Case {
    const char* name;
    int x;
    bool moves;
  };
  const Case cases[] = {{"left of the plot", plot.left - 10, false},
                        {"on the axis", plot.left, false},
                        {"right of the plot", plot.right + 5, false},
                        {"inside", plot.left + plot.Width() / 2, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Doc().SetCurrentPosition(1234);
    gfx::Point point{c.x, plot.top + 10};
    chart.OnMessage(areamsg::kLeftButtonDown, 0, reinterpret_cast<win::LParam>(&point));
    chart.OnMessage(areamsg::kLeftButtonUp, 0, reinterpret_cast<win::LParam>(&point));
    const int64_t ms_per_pixel = (Window().GetVisibleEnd() - Window().GetVisibleStart()) / (plot.Width() - 1);
    EXPECT_EQ(Doc().GetCurrentPosition(), c.moves ? ms_per_pixel * (c.x - plot.left) : 1234);
    EXPECT_FALSE(chart.IsDragging());
  }
}

TEST_F(HRVScreen, OneJumpMovesThePositionOnceAndBothCursorsFollow) {
  Record(30);
  Show(13);
  trendtest::HintSpy spy;
  Doc().AddView(&spy);
  const int32_t longest = Doc().GetNNMaxPosition();
  ASSERT_NE(longest, -1);
  Doc().SetCurrentPosition(0);
  Run(cmd::kGoToNNMax);
  const int32_t at = Doc().SamplesToMs(longest);
  EXPECT_EQ(Doc().GetCurrentPosition(), at);
  EXPECT_EQ(std::count(spy.hints.begin(), spy.hints.end(), hint::kNavigationRebuild), 1);
  auto& trend = AreaOf<CRRTrendArea>("CRRTrendAreaConfig");
  auto& difference = AreaOf<CRRDifferenceArea>("CRRDifferenceAreaConfig");
  EXPECT_EQ(trend.GetCursorColumn(), difference.GetCursorColumn());
  EXPECT_GT(trend.GetCursorColumn(), 0);
  EXPECT_EQ(Window().GetSearchBeat(), Doc().GetNNMaxBeat());

  // Both charts erase their old cursor and draw the new one: four lines, two per chart.
  const size_t first = trendtest::ClientCanvases(Window());
  Doc().SetCurrentPosition(0);
  Run(cmd::kGoToNNMax);
  int lines = 0;
  for (const std::string& line : trendtest::ClientDrawing(Window(), first))
    lines += line.rfind("LineTo", 0) == 0;
  EXPECT_EQ(lines, 4);

  // Intervals as long as the longest come first, in beat order; after them nothing is longer: the
  // position stays and no hint goes out.
  int32_t last = Doc().GetCurrentPosition();
  for (int i = 0; i < 100; ++i) {
    Run(CHRVTrendWnd::kCmdNextLongerNN);
    if (Doc().GetCurrentPosition() == last) break;
    last = Doc().GetCurrentPosition();
  }
  const TQRSList& beats = Doc().GetQRSList();
  const int found = Window().GetSearchBeat();
  EXPECT_EQ(beats.GetAt(found + 1).GetPosition() - beats.GetAt(found).GetPosition(), Doc().GetNNMaxValue());
  spy.hints.clear();
  Run(CHRVTrendWnd::kCmdNextLongerNN);
  EXPECT_EQ(Doc().GetCurrentPosition(), last);
  EXPECT_EQ(std::count(spy.hints.begin(), spy.hints.end(), hint::kNavigationRebuild), 0);
  // The next shorter one moves once.
  Run(CHRVTrendWnd::kCmdNextShorterNN);
  EXPECT_EQ(std::count(spy.hints.begin(), spy.hints.end(), hint::kNavigationRebuild), 1);
  Doc().RemoveView(&spy);
}

TEST(HRVTimeAxis, TwoDaysSwitchToTwentyMinuteMarks) {
  platform::FixedLocale locale{platform::FixedLocale::Kind::k24Hour};
  const TTimeFormatter times(locale);
  struct Case {
    const char* name;
    int64_t range_ms;
    int step_minutes;
  };
  const Case cases[] = {{"exactly two days", 2 * kDayMs, 20}, {"a second less", 2 * kDayMs - 1000, 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HRVTimeAxisSpan span;
    span.visible_end_ms = c.range_ms;
    span.plot_width = 1000;
    span.area_width = 1070;
    span.start_clock_seconds = 9 * 3600 + 5 * 60;
    const auto marks = BuildHRVTimeAxis(span, 30, times, [](int) { return std::string(); });
    ASSERT_GE(marks.size(), 2u);
    // The first mark lies at the next step of the clock after 09:05.
    EXPECT_EQ(marks[0].position, static_cast<int>(1000.0 / (c.range_ms / 1000) * (c.step_minutes - 5) * 60));
    EXPECT_EQ(static_cast<int64_t>(marks.size()), (c.range_ms / 1000 / 60 + 5) / c.step_minutes);
  }
}

TEST(HRVChart, NoCursorWithoutTwoColumnsOrASecond) {
  platform::MemoryProfileStore profile;
  platform::ManualClock clock;
  viewstest::StripRecording recording(2);
  CZK470Doc empty(CZK470Doc::NoUserInterface{}, profile, clock);
  CRRTrendAreaConfig node;
  struct Case {
    const char* name;
    CZK470Doc* doc;
    int width;
  };
  const Case cases[] = {{"plot one pixel wide", &recording.Doc(), CHRVChartArea::kPlotLeft + 1 + 20},
                        {"no recorded second", &empty, 600}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CRRTrendArea area(&node, c.doc);
    area.SetRect({0, 0, c.width, 200});
    area.OnLayout(0, 0, c.width, 200);
    c.doc->SetHRVCursorX(7);
    c.doc->SetCurrentPosition(500);
    EXPECT_FALSE(area.ComputeCursorX());
    area.SetCursorAt({CHRVChartArea::kPlotLeft + 1, 50});
    EXPECT_EQ(c.doc->GetCurrentPosition(), 500);
    EXPECT_EQ(c.doc->GetHRVCursorX(), 7);
    gfx::RecordingCanvas canvas;
    area.Draw(canvas, area.GetRect());
    // The cursor would be the one line drawn in inverting mode.
    bool inverting = false;
    int cursor_lines = 0;
    for (const std::string& line : canvas.Lines()) {
      if (line.rfind("SetROP2", 0) == 0) inverting = line == "SetROP2 not";
      if (inverting && line.rfind("LineTo", 0) == 0) ++cursor_lines;
    }
    EXPECT_EQ(cursor_lines, 0);
  }
}

}  // namespace
