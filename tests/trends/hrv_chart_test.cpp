#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/beat_class.h"
#include "document/event.h"
#include "document/qrs_complex.h"
#include "document/zk470_doc.h"
#include "gfx/recording_canvas.h"
#include "layouts/trend_screen_fixture.h"
#include "support/screen_golden.h"
#include "trends/hrv_chart_kinds.h"
#include "trends/hrv_screen_factories.h"
#include "trends/hrv_table_factories.h"
#include "trends/hrv_trend_window.h"

namespace {

constexpr int kSecond = 125;

class HRVCharts : public trendtest::TrendScreen {
 protected:
  void SetUp() override {
    TrendScreen::SetUp();
    AddHRVScreenResources(platform::Resources().ExePack());
    AddHRVTableResources(platform::Resources().ExePack());
    RegisterHRVScreenFactories();
    RegisterHRVTableFactories();
    Record(30);
    Plant();
  }

  // Twenty minutes of normal beats a second apart, with the cases the charts must leave out:
  // minute 2: an interval of exactly 1.2 s (not drawn at scale 0) next to one of 149 samples;
  // minute 3: intervals of 125 and 250 samples (a difference of exactly 1000 ms, not drawn at
  // scale 2) next to 125 and 249; minutes 10 to 15 every fourth beat a VES (segment rejected);
  // minutes 15 to 20 exactly 125 samples (standard deviation 0).
  void Plant() {
    TQRSList& beats = Doc().GetQRSList();
    beats.RemoveAll();
    Doc().GetEventList().RemoveAll();
    Doc().GetRecordingData().recorder_markers.clear();
    int32_t at = kSecond;
    int n = 0;
    const auto add = [&](int rr, int beat_class = kClassNormal) {
      at += rr;
      beats.Append(TQRSComplex(at, static_cast<uint8_t>(beat_class)));
      ++n;
    };
    beats.Append(TQRSComplex(at, kClassNormal));
    while (at < 120 * kSecond) add(kSecond + (n % 3) - 1);
    rr_12_at_ = at;
    add(150);
    add(kSecond);
    add(149);
    while (at < 180 * kSecond) add(kSecond);
    add(kSecond);
    add(250);
    add(kSecond);
    add(249);
    while (at < 600 * kSecond) add(kSecond + (n % 5) - 2);
    while (at < 900 * kSecond) add(kSecond, n % 4 == 0 ? kClassVES : kClassNormal);
    while (at < 1200 * kSecond) add(kSecond);
    Doc().SetExtremesValid(0);
  }

  std::vector<std::string> DrawChart(std::string_view class_name) {
    auto& chart = AreaOf<CHRVChartArea>(class_name);
    gfx::RecordingCanvas canvas;
    chart.Draw(canvas, chart.GetRect());
    return canvas.Lines();
  }

  int32_t rr_12_at_ = 0;
};

TEST_F(HRVCharts, KindsOnPlantedBeatsGolden) {
  struct Case {
    int layout;
    const char* class_name;
    int scale_step;
    const char* golden;
  };
  const Case cases[] = {
      {13, "CRRTrendAreaConfig", 0, "hrv_rr_trend_scale0"},
      {13, "CRRDifferenceAreaConfig", 2, "hrv_rr_difference_scale2"},
      {14, "CRRSegmentMeanAreaConfig", 0, "hrv_segment_mean"},
      {14, "CRRSegmentSDAreaConfig", 0, "hrv_segment_sd"},
      {15, "CRRDifferenceHistogramAreaConfig", 0, "hrv_histogram"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.golden);
    Show(c.layout);
    Doc().SetHRVScaleStep(c.scale_step);
    testsupport::ExpectScreenGolden("trends", c.golden, DrawChart(c.class_name));
  }
}

TEST_F(HRVCharts, IntervalOfExactlyTheScaleTopIsNotDrawn) {
  Show(13);
  // Zoomed in, a second is several pixels wide: each beat has its own column.
  Doc().SetCurrentPosition(Doc().SamplesToMs(rr_12_at_));
  Doc().SetHRVZoomLevel(4);
  WindowOf<CHRVTrendWnd>("CHRVTrendWindowConfig").ComputeVisibleRange();
  auto& chart = AreaOf<CRRTrendArea>("CRRTrendAreaConfig");
  const std::string colour_red =
      "SetPixel " + std::to_string(chart.GetPlot().left + chart.XOfSample(rr_12_at_)) + ",";
  const std::string colour_next =
      "SetPixel " + std::to_string(chart.GetPlot().left + chart.XOfSample(rr_12_at_ + 150 + kSecond)) + ",";
  int at_12 = 0;
  int at_149 = 0;
  for (const std::string& line : DrawChart("CRRTrendAreaConfig")) {
    at_12 += line.rfind(colour_red, 0) == 0;
    at_149 += line.rfind(colour_next, 0) == 0;
  }
  EXPECT_EQ(at_12, 0);
  EXPECT_EQ(at_149, 1);
}

TEST_F(HRVCharts, HistogramBinZeroOfShorterIntervalsLiesLeftOfTheCentre) {
  Show(15);
  auto& chart = AreaOf<CRRDifferenceHistogramArea>("CRRDifferenceHistogramAreaConfig");
  const gfx::Rect plot = chart.GetPlot();
  const int centre = plot.left + plot.Width() / 2;
  const int bin = (plot.Width() / 2) / CRRDifferenceHistogramArea::kDeviationRange[0];
  std::vector<int> bar_lefts;
  for (const std::string& line : DrawChart("CRRDifferenceHistogramAreaConfig")) {
    if (line.rfind("FillRect", 0) != 0 || line.find("0xFF0000") == std::string::npos) continue;
    bar_lefts.push_back(std::stoi(line.substr(line.find(' ') + 1)));
  }
  // The planted beats lie within 1 percent of the mean on both sides: bin 0 of each side.
  EXPECT_NE(std::find(bar_lefts.begin(), bar_lefts.end(), centre), bar_lefts.end());
  EXPECT_NE(std::find(bar_lefts.begin(), bar_lefts.end(), centre - bin), bar_lefts.end());
}

}  // namespace
