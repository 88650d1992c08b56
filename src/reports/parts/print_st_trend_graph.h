#pragma once

#include <array>
#include <vector>

#include "gfx/geometry.h"
#include "reports/printer_base.h"

// The printed ST trend of one ST channel (index 0 or 1 of the ST channel set): its ST level and ST
// slope reduced to one value per five minutes, drawn over one day of a multi-day recording or over
// the whole recording, on a value axis in whole units with the channel's limit lines and a legend.
// The graph rectangle is in 0.01 mm from the margin corner. Recomputed on every PrintPage (page =
// day from 1). A drawing element of the ST page.
class TPrinterSTTrend : public TPrinter {
 public:
  static constexpr int kSecondsPerValue = 300;
  static constexpr int kCurveLeft = 2650;
  static constexpr int kLegendWidth = 1500;

  TPrinterSTTrend();
  TPrinterSTTrend(CZK470Doc* doc, int st_index, int x, int y, int width, int height);
  ~TPrinterSTTrend() override;

  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int day) override;

  // Reduces the series and finds the common value range; nothing without beats.
  void Compute(int day);
  void MapCurves(int day);
  void Draw(gfx::Canvas& dc);
  void DrawAxis(gfx::Canvas& dc);
  void PrintSTDescr(gfx::Canvas& dc);

  int GetRangeMin() const { return range_min_; }
  int GetRangeMax() const { return range_max_; }
  // The axis Compute would find; lets a caller draw a range no data gives.
  void SetRange(int minimum, int maximum);
  int GetValueCount() const { return value_count_; }
  // Device points (0.01 mm, y up) of ST channel index 0 or 1.
  const std::vector<gfx::Point>& LevelPoints(int st_index) const;
  const std::vector<gfx::Point>& SlopePoints(int st_index) const;

 private:
  bool HasValidIndex() const { return st_index_ == 0 || st_index_ == 1; }
  bool IsChannelFlagged(int st_index) const;
  int ValueToY(double value) const;
  gfx::Pen CurvePen(bool level) const;

  int st_index_ = 0;
  int x_ = 0;
  int y_ = 0;
  int width_ = 0;
  int height_ = 0;
  // Per ST channel index: reduced level and slope values, and their polyline points.
  std::array<std::vector<double>, 2> levels_;
  std::array<std::vector<double>, 2> slopes_;
  std::array<std::vector<gfx::Point>, 2> level_points_;
  std::array<std::vector<gfx::Point>, 2> slope_points_;
  int value_count_ = 0;
  std::array<std::array<double, 2>, 2> level_bounds_{};  // [channel] = {lowest, highest}
  std::array<std::array<double, 2>, 2> slope_bounds_{};
  int range_max_ = 4;
  int range_min_ = -4;
  int range_ = 8;
};
