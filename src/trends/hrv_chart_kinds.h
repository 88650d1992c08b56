#pragma once

#include <memory>
#include <string_view>

#include "trends/hrv_chart_area.h"

// Title strings of the five charts and the histogram's x-axis caption.
inline constexpr int kRRTrendTitle = 24015;
inline constexpr int kRRDifferenceTitle = 24016;
inline constexpr int kRRSegmentMeanTitle = 24017;
inline constexpr int kRRSegmentSDTitle = 24018;
inline constexpr int kRRHistogramTitle = 24019;
inline constexpr int kRRHistogramCaption = 24020;

// The RR interval of every used pair of beats as a red pixel, 200 ms up to 1000 ms per scale step
// above it. Used pairs: both beats normal or SVES, no recorder marker between them, no episode of
// absolute arrhythmia, fibrillation, flutter, lead-off or battery-off touching them, inside a
// 5-minute window with at most 20 percent pairs of other beats.
class CRRTrendArea : public CHRVChartArea {
 public:
  static constexpr gfx::Color kColour = gfx::Rgb(255, 0, 0);
  CRRTrendArea(CViewAreaConfig* config, CZK470Doc* document);
  void DrawData(gfx::Canvas& dc) override;
};

// The difference of successive used intervals (positive when the rhythm speeds up) as a blue
// pixel, within +-250, 500, 1000 or 1500 ms by scale step.
class CRRDifferenceArea : public CHRVChartArea {
 public:
  static constexpr gfx::Color kColour = gfx::Rgb(0, 0, 255);
  static constexpr int kHalfRangesMs[4] = {250, 500, 1000, 1500};
  CRRDifferenceArea(CViewAreaConfig* config, CZK470Doc* document);
  void DrawData(gfx::Canvas& dc) override;
};

// The mean interval of every accepted 5-minute segment of the selected day as a cross, on the RR
// trend's scale; from the HRV table's statistics.
class CRRSegmentMeanArea : public CHRVChartArea {
 public:
  static constexpr gfx::Color kColour = gfx::Rgb(0, 128, 128);
  CRRSegmentMeanArea(CViewAreaConfig* config, CZK470Doc* document);
  void DrawData(gfx::Canvas& dc) override;
};

// The standard deviation of every 5-minute segment as a cross, 0 up to 100 ms per scale step.
class CRRSegmentSDArea : public CHRVChartArea {
 public:
  static constexpr gfx::Color kColour = gfx::Rgb(255, 0, 255);
  CRRSegmentSDArea(CViewAreaConfig* config, CZK470Doc* document);
  void DrawData(gfx::Canvas& dc) override;
};

// The two histograms of the intervals' deviation from the mean NN of the selected day: longer
// intervals right of the centre, shorter ones left, percent of the intervals up to 5, 15, 30 or
// 60 percent by scale step, deviations up to 100, 80, 60, 40 or 20 percent by zoom level. Answers
// the jumps without moving its cursor or the visible range.
class CRRDifferenceHistogramArea : public CHRVChartArea {
 public:
  static constexpr int kPlotBottomMargin = 35;
  static constexpr gfx::Color kColour = gfx::Rgb(0, 0, 255);
  static constexpr int kMaxPercent[4] = {5, 15, 30, 60};
  static constexpr int kDeviationRange[5] = {100, 80, 60, 40, 20};
  CRRDifferenceHistogramArea(CViewAreaConfig* config, CZK470Doc* document);
  void DrawFrame(gfx::Canvas& dc) override;
  void DrawData(gfx::Canvas& dc) override;
};

class CRRTrendAreaConfig : public CHRVChartAreaConfig {
 public:
  using CHRVChartAreaConfig::CHRVChartAreaConfig;
  std::string_view GetClassName() const override { return "CRRTrendAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

class CRRDifferenceAreaConfig : public CHRVChartAreaConfig {
 public:
  using CHRVChartAreaConfig::CHRVChartAreaConfig;
  std::string_view GetClassName() const override { return "CRRDifferenceAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

class CRRSegmentMeanAreaConfig : public CHRVChartAreaConfig {
 public:
  using CHRVChartAreaConfig::CHRVChartAreaConfig;
  std::string_view GetClassName() const override { return "CRRSegmentMeanAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

class CRRSegmentSDAreaConfig : public CHRVChartAreaConfig {
 public:
  using CHRVChartAreaConfig::CHRVChartAreaConfig;
  std::string_view GetClassName() const override { return "CRRSegmentSDAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

class CRRDifferenceHistogramAreaConfig : public CHRVChartAreaConfig {
 public:
  using CHRVChartAreaConfig::CHRVChartAreaConfig;
  std::string_view GetClassName() const override { return "CRRDifferenceHistogramAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};
