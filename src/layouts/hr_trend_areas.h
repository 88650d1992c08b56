#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "document/update_hints.h"
#include "gfx/geometry.h"
#include "layouts/plot_drag.h"
#include "views/caliper_variants.h"
#include "views/layout_tree.h"
#include "views/view_area.h"
#include "win/window.h"

// String ids of the trend group's texts.
inline constexpr int kHRScaleTitleString = 14376;
inline constexpr int kHRScaleTrendString = 14377;
inline constexpr int kHRLegendMinString = 14378;
inline constexpr int kHRLegendMeanString = 14379;
inline constexpr int kHRLegendMaxString = 14380;
inline constexpr int kHRScaleUnitString = 14389;

// The heart-rate axis in bpm; 40 .. 100 until a recording gives its own.
struct HRTrendAxis {
  int bottom = 40;
  int top = 100;
  int Span() const { return top - bottom; }
  friend bool operator==(const HRTrendAxis&, const HRTrendAxis&) = default;
};

// The axis of a recording's lowest and highest rate: whole tens around them, at least 40 wide.
HRTrendAxis HRTrendAxisOf(int lowest, int highest);

// Per-bin lowest, mean and highest rate of the trend calculation (0 in bins without beats).
struct HRTrendBins {
  std::vector<int> min;
  std::vector<int> mean;
  std::vector<int> max;
};

// The three polylines of the plot and the values of each pixel column (index = column from the
// plot's left edge), which the caliper reads.
struct HRTrendPlot {
  std::vector<gfx::Point> min_points;
  std::vector<gfx::Point> mean_points;
  std::vector<gfx::Point> max_points;
  std::vector<int> column_min;
  std::vector<int> column_mean;
  std::vector<int> column_max;
};

// The y of a rate on a plot of the rectangle's height over the axis.
int HRTrendY(const gfx::Rect& rect, const HRTrendAxis& axis, int rate);

// The bins first_bin .. first_bin + bins_in_span - 1 over the columns of rect. More bins than
// columns: each column takes its share of whole bins (the fraction carried on) and shows their
// lowest, mean and highest rate. Fewer: one point per bin, the columns up to a bin's column take
// its values; a single bin is one flat value over the whole width. Bins outside the list are 0.
HRTrendPlot BuildHRTrendPlot(const HRTrendBins& bins, int first_bin, int bins_in_span, const gfx::Rect& rect,
                             const HRTrendAxis& axis);

// The heart-rate trend plot: lowest, mean and highest rate of each time bin over the displayed
// span, a vertical cursor at the current position that the left button moves, and the follow
// caliper. Every rebuild hands the recording's rate and RR extremes to the document and tells the
// layout its axis (area message 1015). User-interface thread only.
class CHRTrendArea : public CViewArea, public CFollowCaliperHost {
 public:
  // Rows of GetColumnValue, as the heart-rate caliper reads them.
  enum Row : int { kRowMean = 0, kRowMin = 1, kRowMax = 2 };

  CHRTrendArea(CViewAreaConfig* config, CZK470Doc* document);
  ~CHRTrendArea() override;

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;

  // Rebuilds bins, axis and plot from the document.
  void Recompute();
  // The column of the current position, kept for the cursor (0 without a span or two columns).
  int UpdateCursor();
  // Moves the current position to the time under x, for left < x < right only.
  void SetPositionFromX(int x);

  gfx::Rect GetCaliperRect() const override { return rect_; }
  win::Window* GetCaliperWindow() const override;
  int GetCursorColumn() const override { return cursor_column_; }
  double GetColumnValue(int row, int column) const override;

  const HRTrendAxis& Axis() const { return axis_; }
  const HRTrendPlot& Plot() const { return plot_; }
  int BinCount() const { return static_cast<int>(bins_.mean.size()); }
  bool IsDragging() const { return drag_.IsDragging(); }
  CHRTrendCaliper* GetCaliper() const { return caliper_.get(); }

 private:
  void FlatPlot();
  void DrawCursor(gfx::Canvas& dc) const;
  // Erases the line at the stored column, recomputes the column and draws it again.
  void RedrawCursor(gfx::Canvas& dc);
  void RedrawCursorOnHost();

  std::unique_ptr<CHRTrendCaliper> caliper_;
  std::optional<TMouseHint> last_hint_;
  HRTrendAxis axis_;
  HRTrendBins bins_;
  HRTrendPlot plot_;
  int plot_width_ = 0;
  int cursor_column_ = 0;
  CPlotDrag drag_;
};

class CHRTrendAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CHRTrendAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// The vertical scale left of the plot: ticks every 10 bpm of the axis the plot last told (area
// message 1015), labels, the unit and the title.
class CHRScaleArea : public CViewArea {
 public:
  using CViewArea::CViewArea;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;

  const HRTrendAxis& Axis() const { return axis_; }

 private:
  HRTrendAxis axis_;
};

class CHRScaleAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CHRScaleAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// The three line colours of the plot with their names, right of it.
class CHRTrendLegendArea : public CViewArea {
 public:
  using CViewArea::CViewArea;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
};

class CHRTrendLegendAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CHRTrendLegendAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// The framed caption under the scale (and under the navigator's min/max scale).
class CTrendCaptionArea : public CViewArea {
 public:
  using CViewArea::CViewArea;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
};

class CTrendCaptionAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CTrendCaptionAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// The empty framed box under the legend.
class CTrendBorderArea : public CViewArea {
 public:
  using CViewArea::CViewArea;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
};

class CTrendBorderAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CTrendBorderAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};
