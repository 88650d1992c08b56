#pragma once

#include <vector>

#include "gfx/geometry.h"
#include "reports/printer_base.h"

// The printed heart-rate trend: the highest, mean and lowest rate per trend bin over the print
// span (or one day of it) as three polylines, a rate scale left, a legend right and the clock-time
// axis below. The plot runs from x 2650 to width - 1500 and from y 0 to height - 500 of the
// chart's corner; the curves hold at most one point per 0.01-mm column. Computed once per object,
// on its first PrintPage (page = day + 1); later pages only draw. A drawing element of a part.
class TPrintHRTrendChart : public TPrinter {
 public:
  static constexpr int kMaxPoints = 8640;

  // The rectangle in 0.01 mm from the margin corner (parts pass x = 0).
  TPrintHRTrendChart(CZK470Doc* doc, int x, int y, int width, int height);
  ~TPrintHRTrendChart() override;

  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) override;

  void Compute(int day);
  void DrawFrame(gfx::Canvas& dc, win::CPrintInfo& info);

  int GetScaleBottom() const { return scale_bottom_; }
  int GetScaleTop() const { return scale_top_; }
  int GetScaleRange() const { return scale_range_; }
  int GetPointCount() const { return point_count_; }
  int GetBinCount() const { return bin_count_; }
  // Device points of the curves (0.01 mm, y up), GetPointCount() of each.
  const std::vector<gfx::Point>& MaxCurve() const { return max_curve_; }
  const std::vector<gfx::Point>& MeanCurve() const { return mean_curve_; }
  const std::vector<gfx::Point>& MinCurve() const { return min_curve_; }

 private:
  int PlotHeight() const { return height_ - 500; }
  void BuildPolylines(int day);
  void DrawScale(gfx::Canvas& dc);
  void DrawLegend(gfx::Canvas& dc);
  void DrawCurves(gfx::Canvas& dc);

  int x_;
  int y_;
  int width_;
  int height_;
  int scale_bottom_ = 40;
  int scale_top_ = 100;
  int scale_range_ = 60;
  std::vector<gfx::Point> max_curve_;
  std::vector<gfx::Point> mean_curve_;
  std::vector<gfx::Point> min_curve_;
  int plot_columns_ = 0;
  int point_count_ = 0;
  int needs_computing_ = 1;
  std::vector<int> bin_min_;
  std::vector<int> bin_mean_;
  std::vector<int> bin_max_;
  int bin_count_ = 0;
};
