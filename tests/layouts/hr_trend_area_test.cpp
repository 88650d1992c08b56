#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "document/profile_keys.h"
#include "document/qrs_list.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "gfx/recording_canvas.h"
#include "layouts/hr_trend_areas.h"
#include "platform/ids.h"
#include "support/screen_golden.h"
#include "trend_screen_fixture.h"
#include "views/area_messages.h"
#include "views/window_area.h"
#include "win/messages.h"

namespace {

using trendtest::Lines;

TEST(HRTrendAxis, WholeTensAroundTheExtremesAtLeastFortyWide) {
  struct Case {
    const char* name;
    int lowest, highest;
    HRTrendAxis want;
  };
  const Case cases[] = {
      {"wide", 57, 118, {50, 120}},
      {"twenty wide is widened", 62, 75, {50, 90}},
      {"ten wide is widened", 71, 79, {60, 90}},
      {"thirty wide stays", 60, 81, {60, 90}},
      {"on a ten", 60, 100, {60, 110}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(HRTrendAxisOf(c.lowest, c.highest), c.want);
  }
}

// The scale takes the axis the plot tells (1015) and labels every tick up to 50 bpm of span,
// every second one from the first above.
TEST(HRScaleArea, LabelsTheTicksOfTheToldAxis) {
  struct Case {
    std::array<int, 2> range;
    std::vector<std::string> labels;
  };
  const Case cases[] = {
      {{50, 120}, {"60", "80", "100"}},
      {{50, 90}, {"60", "70", "80"}},
      {{40, 100}, {"50", "70", "90"}},
  };
  CHRScaleAreaConfig node;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.range[0]);
    CHRScaleArea scale(&node, nullptr);
    scale.SetRect({0, 0, 108, 200});
    std::array<int, 2> range = c.range;
    EXPECT_EQ(scale.OnMessage(areamsg::kHeartRateRange, 0, reinterpret_cast<win::LParam>(range.data())), 1);
    EXPECT_EQ(scale.Axis(), (HRTrendAxis{c.range[0], c.range[1]}));
    gfx::RecordingCanvas dc;
    scale.Draw(dc, {0, 0, 108, 200});
    std::vector<std::string> numbers;
    for (const std::string& text : trendtest::Texts(dc.Lines()))
      if (!text.empty() && std::isdigit(static_cast<unsigned char>(text[0]))) numbers.push_back(text);
    EXPECT_EQ(numbers, c.labels);
  }
  CHRScaleArea scale(&node, nullptr);
  EXPECT_EQ(scale.OnMessage(areamsg::kHeartRateRange + 1, 0, 0), 0);
  EXPECT_EQ(scale.Axis(), HRTrendAxis{});
}

// Bins whose lowest and highest value is their own index, so that a column shows which bins it took.
HRTrendBins IndexBins(int count) {
  HRTrendBins bins;
  for (int k = 0; k < count; ++k) {
    bins.min.push_back(k);
    bins.mean.push_back(k);
    bins.max.push_back(k);
  }
  return bins;
}

TEST(HRTrendPlot, FewerBinsThanColumnsJoinOnePointPerBin) {
  const gfx::Rect rect{108, 0, 1108, 200};
  const HRTrendAxis axis{40, 100};
  HRTrendBins bins;
  for (int k = 0; k < 288; ++k) {
    bins.min.push_back(50 + k % 7);
    bins.mean.push_back(70 + k % 5);
    bins.max.push_back(90 + k % 3);
  }
  const HRTrendPlot plot = BuildHRTrendPlot(bins, 0, 288, rect, axis);
  ASSERT_EQ(plot.mean_points.size(), 288u);
  ASSERT_EQ(plot.min_points.size(), 288u);
  const double step = 1000.0 / 287.0;
  for (const int k : {0, 1, 143, 286}) {
    SCOPED_TRACE(k);
    EXPECT_EQ(plot.mean_points[static_cast<size_t>(k)].x, 108 + static_cast<int>(k * step) + 1);
    EXPECT_EQ(plot.max_points[static_cast<size_t>(k)].y,
              HRTrendY(rect, axis, bins.max[static_cast<size_t>(k)]));
  }
  // The last bin keeps to the last column of the plot.
  EXPECT_EQ(plot.mean_points.back().x, 108 + 999 + 1);
  EXPECT_EQ(plot.column_mean[999], bins.mean[287]);
  // Columns up to a bin's column show that bin: column 1 lies before bin 1's column 3.
  EXPECT_EQ(plot.column_min[1], bins.min[1]);
  EXPECT_EQ(plot.column_min[4], bins.min[2]);
  EXPECT_EQ(HRTrendY(rect, axis, 40), 200);
  EXPECT_EQ(HRTrendY(rect, axis, 100), 0);
}

TEST(HRTrendPlot, MoreBinsThanColumnsTakeEachBinOnce) {
  const gfx::Rect rect{0, 0, 1000, 300};
  HRTrendBins bins = IndexBins(1500);
  for (int k = 0; k < 1500; ++k) bins.min[static_cast<size_t>(k)] = 40 + k / 10;
  const HRTrendPlot plot = BuildHRTrendPlot(bins, 30, 1440, rect, {0, 1500});
  ASSERT_EQ(plot.mean_points.size(), 1000u);
  EXPECT_EQ(plot.column_max.back(), 30 + 1439);
  // Column c took the bins after the previous column's last up to its own highest.
  int two = 0;
  int last = 29;
  for (size_t c = 0; c < 1000; ++c) {
    const int taken = plot.column_max[c] - last;
    ASSERT_TRUE(taken == 1 || taken == 2) << c;
    two += taken == 2 ? 1 : 0;
    EXPECT_EQ(plot.column_mean[c], (last + 1 + plot.column_max[c]) / 2) << c;
    EXPECT_EQ(plot.column_min[c], 40 + (last + 1) / 10) << c;
    last = plot.column_max[c];
  }
  EXPECT_EQ(two, 440);
}

TEST(HRTrendPlot, DegenerateSpansStayDefined) {
  const gfx::Rect rect{10, 0, 410, 100};
  const HRTrendAxis axis{40, 100};
  HRTrendBins bins = IndexBins(10);
  bins.mean[4] = 72;
  // One bin: a flat line of its value over the whole width, no column left at 0.
  const HRTrendPlot one = BuildHRTrendPlot(bins, 4, 1, rect, axis);
  ASSERT_EQ(one.mean_points.size(), 2u);
  EXPECT_EQ(one.mean_points[0], (gfx::Point{11, HRTrendY(rect, axis, 72)}));
  EXPECT_EQ(one.mean_points[1], (gfx::Point{410, HRTrendY(rect, axis, 72)}));
  EXPECT_EQ(one.column_mean[0], 72);
  EXPECT_EQ(one.column_mean[399], 72);

  // No bin in the span: no points, every column 0.
  const HRTrendPlot none = BuildHRTrendPlot(bins, 0, 0, rect, axis);
  EXPECT_TRUE(none.mean_points.empty());
  EXPECT_EQ(none.column_mean.size(), 400u);

  // A span past the computed bins shows 0 there.
  const HRTrendPlot past = BuildHRTrendPlot(bins, 8, 4, rect, axis);
  ASSERT_EQ(past.max_points.size(), 4u);
  EXPECT_EQ(past.column_max[0], 8);
  EXPECT_EQ(past.column_max[399], 0);
  EXPECT_EQ(past.max_points[3].y, HRTrendY(rect, axis, 0));

  // A plot wider than any fixed table.
  const HRTrendPlot wide = BuildHRTrendPlot(IndexBins(20000), 0, 20000, {0, 0, 12000, 100}, axis);
  EXPECT_EQ(wide.column_max.size(), 12000u);
  EXPECT_EQ(wide.column_max.back(), 19999);
}

// Layout 2 over a two-hour recording with one-minute bins.
class HRTrendScreen : public trendtest::TrendScreen {
 protected:
  void ShowTrend(int width = 1000, int height = 700) {
    Record(120);
    Doc().GetSettings().SetInt(SettingKey::kHeartrateTrendMiddleAverage, 0);
    ASSERT_EQ(Doc().GetHRTrendAverage(), 60);
    ASSERT_NO_FATAL_FAILURE(Show(2, width, height));
  }
  CHRTrendArea& Trend() { return AreaOf<CHRTrendArea>("CHRTrendAreaConfig"); }
  CHRScaleArea& Scale() { return AreaOf<CHRScaleArea>("CHRScaleAreaConfig"); }
  CHRTrendWnd& Window() { return WindowOf<CHRTrendWnd>("CHRTrendWindowConfig"); }
};

TEST_F(HRTrendScreen, PlotShowsTheRecordingsBinsAndTellsTheScaleAndDocument) {
  ASSERT_NO_FATAL_FAILURE(ShowTrend());
  CHRTrendArea& trend = Trend();
  EXPECT_EQ(trend.BinCount(), 120);
  // One point per minute bin across the plot between the 108-pixel scale and the 53-pixel legend.
  EXPECT_EQ(trend.GetCaliperRect().left, 108);
  EXPECT_EQ(trend.GetCaliperRect().right, Window().GetClientRect().right - 53);
  EXPECT_EQ(trend.Plot().mean_points.size(), 120u);
  EXPECT_EQ(Scale().Axis(), trend.Axis());
  EXPECT_EQ(trend.Axis(), HRTrendAxisOf(Doc().GetHRMinValue(), Doc().GetHRMaxValue()));
  EXPECT_LT(Doc().GetHRMinValue(), Doc().GetHRMaxValue());
  EXPECT_GT(Doc().GetRRMaxValue(), Doc().GetRRMinValue());
  // The caliper reads the column values: mean between lowest and highest.
  const int column = 400;
  EXPECT_LE(trend.GetColumnValue(CHRTrendArea::kRowMin, column),
            trend.GetColumnValue(CHRTrendArea::kRowMean, column));
  EXPECT_LE(trend.GetColumnValue(CHRTrendArea::kRowMean, column),
            trend.GetColumnValue(CHRTrendArea::kRowMax, column));
  EXPECT_GT(trend.GetColumnValue(CHRTrendArea::kRowMin, column), 30.0);
  EXPECT_NE(trend.GetCaliper(), nullptr);
}

TEST_F(HRTrendScreen, TooFewBeatsDrawAFlatLineAndTheScaleReturnsToFortyToHundred) {
  ASSERT_NO_FATAL_FAILURE(ShowTrend());
  ASSERT_NE(Scale().Axis(), HRTrendAxis{});
  TQRSList& beats = Doc().GetQRSList();
  while (beats.GetSize() > Doc().GetHRAverageBeats()) beats.RemoveAt(beats.GetSize() - 1);
  Doc().UpdateAllViews(nullptr, hint::kDocumentChanged);
  CHRTrendArea& trend = Trend();
  EXPECT_EQ(trend.Axis(), HRTrendAxis{});
  EXPECT_EQ(Scale().Axis(), HRTrendAxis{});
  const gfx::Rect rect = trend.GetCaliperRect();
  ASSERT_EQ(trend.Plot().mean_points.size(), static_cast<size_t>(rect.Width()));
  for (const gfx::Point& p : trend.Plot().max_points) ASSERT_EQ(p.y, rect.bottom - 1);
  EXPECT_EQ(trend.GetColumnValue(CHRTrendArea::kRowMax, 10), 0.0);
}

// A click in a three-hour span from hour 6 moves the position to the clicked part of the span, and
// the drag reports itself to the document.
TEST_F(HRTrendScreen, ClickAndDragMoveThePositionUnderTheMouse) {
  ASSERT_NO_FATAL_FAILURE(ShowTrend());
  constexpr int32_t kHourMs = 3600 * 1000;
  Doc().SetSpanStartMs(6 * kHourMs);
  Doc().SetSpanEndMs(9 * kHourMs);
  Doc().SetSpanLength(180);
  Doc().SetCurrentPosition(7 * kHourMs);
  Doc().UpdateAllViews(nullptr, hint::kSpanMoved);
  win::Windows().RunPending();
  trendtest::HintSpy spy;
  Doc().AddView(&spy);
  CHRTrendWnd& window = Window();
  CHRTrendArea& trend = Trend();
  const gfx::Rect rect = trend.GetCaliperRect();
  const int64_t ms_per_pixel = int64_t{3 * kHourMs} / (rect.Width() - 1);
  const size_t canvases = trendtest::ClientCanvases(window);

  const gfx::Point click{rect.left + 300, 40};
  window.SendMessage(win::kWmLButtonDown, 0, win::MakeLParam(click.x, click.y));
  EXPECT_EQ(Doc().GetCurrentPosition(), 6 * kHourMs + ms_per_pixel * 300);
  EXPECT_TRUE(trend.IsDragging());
  EXPECT_EQ(win::Windows().GetCapture(), &window);
  EXPECT_LE(std::abs(rect.left + trend.GetCursorColumn() + 1 - click.x), 1);
  // The old line erased and the new one drawn on the drag canvas, where the mouse is.
  const Lines drawn = trendtest::ClientDrawing(window, canvases);
  const std::string line_at = "MoveTo " + std::to_string(rect.left + trend.GetCursorColumn() + 1) + ",1";
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), line_at), drawn.end()) << line_at;

  window.SendMessage(win::kWmMouseMove, win::kMkLButton, win::MakeLParam(rect.left + 500, 40));
  EXPECT_EQ(Doc().GetCurrentPosition(), 6 * kHourMs + ms_per_pixel * 500);
  // Outside the plot the position stays.
  window.SendMessage(win::kWmMouseMove, win::kMkLButton, win::MakeLParam(rect.left - 5, 40));
  EXPECT_EQ(Doc().GetCurrentPosition(), 6 * kHourMs + ms_per_pixel * 500);
  window.SendMessage(win::kWmLButtonUp, 0, win::MakeLParam(rect.left + 500, 40));
  EXPECT_FALSE(trend.IsDragging());
  EXPECT_EQ(win::Windows().GetCapture(), nullptr);
  const std::vector<int> want = {hint::kMouse1026, hint::kMouse1027, hint::kMouse1027, hint::kEditsChanged,
                                 hint::kMouse1028};
  EXPECT_EQ(spy.hints, want);
  Doc().RemoveView(&spy);
}

TEST_F(HRTrendScreen, CursorFollowsPositionHintsAndIgnoresARepeatedMouseHint) {
  ASSERT_NO_FATAL_FAILURE(ShowTrend());
  CHRTrendWnd& window = Window();
  CHRTrendArea& trend = Trend();
  Doc().SetCurrentPosition(30 * 60000);
  const size_t before = trendtest::ClientCanvases(window);
  Doc().UpdateAllViews(nullptr, hint::kPositionMoved);
  const int column = trend.GetCursorColumn();
  EXPECT_EQ(column, 30 * 60 * (trend.GetCaliperRect().Width() - 1) / (120 * 60));
  // One canvas: the old line erased (R2_NOT), the new one drawn.
  EXPECT_EQ(trendtest::ClientCanvases(window), before + 1);
  const Lines drawn = trendtest::ClientDrawing(window, before);
  EXPECT_EQ(std::count_if(drawn.begin(), drawn.end(),
                          [](const std::string& l) { return l.rfind("LineTo", 0) == 0; }),
            2);

  TMouseHint mouse(0, 300, 20);
  Doc().UpdateAllViews(nullptr, hint::kMouse1027, &mouse);
  Doc().UpdateAllViews(nullptr, hint::kMouse1027, &mouse);
  EXPECT_EQ(trendtest::ClientCanvases(window), before + 2);
  TMouseHint moved(0, 301, 20);
  Doc().UpdateAllViews(nullptr, hint::kMouse1027, &moved);
  EXPECT_EQ(trendtest::ClientCanvases(window), before + 3);
}

TEST_F(HRTrendScreen, PaintingEqualsTheGoldenDisplayList) {
  ASSERT_NO_FATAL_FAILURE(ShowTrend());
  Doc().SetCurrentPosition(45 * 60000);
  CWindowArea* area = dynamic_cast<CWindowArea*>(Node("CHRTrendWindowConfig")->GetArea());
  area->GetFrame()->RedrawWindow();
  win::Windows().RunPending();
  const Lines lines = testsupport::RecordedScreen(*area->GetFrame());
  const std::vector<std::string> texts = trendtest::Texts(lines);
  for (const char* text : {"Heart rate", "Trend", "Max", "Avg", "Min", "Time of day"})
    EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end()) << text;
  testsupport::ExpectScreenGolden("layouts", "hr_trend_window", lines);
}

// Layouts 3 and 7 carry the same group with a left column of 123 pixels.
TEST_F(HRTrendScreen, GroupSitsInTheEcgPageAndSTLayouts) {
  Record(120);
  for (const int layout : {3, 7}) {
    SCOPED_TRACE(layout);
    ASSERT_NO_FATAL_FAILURE(Show(layout));
    CHRTrendArea& trend = Trend();
    EXPECT_EQ(trend.GetCaliperRect().left, 123);
    EXPECT_FALSE(trend.Plot().mean_points.empty());
    EXPECT_EQ(Scale().Axis(), trend.Axis());
    EXPECT_NE(Node("CTrendCaptionAreaConfig")->GetArea(), nullptr);
    EXPECT_NE(dynamic_cast<CTrendBorderArea*>(Node("CTrendBorderAreaConfig")->GetArea()), nullptr);
    EXPECT_NE(dynamic_cast<CHRTrendLegendArea*>(Node("CHRTrendLegendAreaConfig")->GetArea()), nullptr);
  }
}

}  // namespace
