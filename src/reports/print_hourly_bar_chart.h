#pragma once

#include <vector>

#include "gfx/drawing_types.h"
#include "reports/printer_base.h"

// A bar chart of one value per hour of the recording in a box of the owner's page (0.01 mm from
// the owner's block origin, y downward): a scale column at the left, label rows under the bars.
// A drawing element: the owner places it with SetOffset, lets it draw and deletes it.
class TPrintBarChart : public TPrinter {
 public:
  static constexpr int kAxisWidth = 1000;
  static constexpr int kTopMargin = 500;

  TPrintBarChart(CZK470Doc* doc, TReportValues* report_values, int left, int top, int right, int bottom,
                 int label_every_second);

  virtual void Draw(gfx::Canvas& dc, win::CPrintInfo& info);

  // Sets the counts, the scale maximum and the bars.
  void SetCounts(std::vector<int> counts);
  const std::vector<int>& Counts() const { return counts_; }
  // Bars in the owner's 0.01 mm, y downward.
  const std::vector<gfx::Rect>& Bars() const { return bars_; }
  int ScaleMaximum() const { return maximum_; }
  // The distance of scale lines for a maximum and the number of steps that reach it.
  static int ScaleStep(int maximum);
  static int ScaleSteps(int maximum);
  int BottomMargin() const { return bottom_margin_; }
  // Hours between labelled bars.
  int LabelInterval() const;

 protected:
  int FrameBottom() const { return bottom_ - bottom_margin_; }
  int PlotHeight() const { return bottom_ - bottom_margin_ - top_ - kTopMargin; }

  int left_;
  int top_;
  int right_;
  int bottom_;
  gfx::Brush bar_brush_{gfx::BrushStyle::kSolid, 0xFFFFFF};

 private:
  void DrawScale(gfx::Canvas& dc);
  void DrawHourLabels(gfx::Canvas& dc);

  int label_every_second_ = 0;
  int bottom_margin_ = 500;
  bool am_pm_ = false;
  bool long_span_ = false;
  std::vector<int> counts_;
  std::vector<gfx::Rect> bars_;
  int maximum_ = 0;
};

// The hourly bar chart of one beat class or event kind: how many began in each hour, in the
// kind's colour, titled with the kind's name.
class TPrintHourlyBarChart : public TPrintBarChart {
 public:
  // The report values hold this many hours.
  static constexpr int kMaxHours = 72;

  TPrintHourlyBarChart(CZK470Doc* doc, TReportValues* report_values, int kind, int left, int top, int right,
                       int bottom, int no_title, int label_every_second);

  void Draw(gfx::Canvas& dc, win::CPrintInfo& info) override;
  int Kind() const { return kind_; }

 private:
  void Build();

  int no_title_ = 0;
  int kind_ = 0;
};
