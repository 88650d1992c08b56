#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "analysis/st/st_trend_builder.h"
#include "gfx/drawing_types.h"
#include "layouts/plot_drag.h"
#include "views/caliper_variants.h"
#include "views/layout_tree.h"
#include "views/view_area.h"
#include "views/window_area.h"
#include "win/drawn_check_box.h"

// The four curves of the ST trend, in the order of the vertex and column arrays (and of the
// caliper's rows): level of ST channel index 0 and 1, slope of index 0 and 1.
enum STCurve : int { kSTLevel0 = 0, kSTLevel1 = 1, kSTSlope0 = 2, kSTSlope1 = 3 };
inline constexpr int kSTCurves = 4;

// Area message: a curve switch changed, the trend is built again.
inline constexpr uint32_t kSTCurvesSwitched = 2000;
// Commands of the trend window: how the trend is shown (kept in the window, read by nobody else).
inline constexpr int kSTTrendRadio0 = 32908;
inline constexpr int kSTTrendRadio1 = 32909;
// The legend's check boxes, in the order of the curve switches Level 1, Slope 1, Level 2, Slope 2.
inline constexpr int kSTLegendFirstBox = 1327;
inline constexpr int kSTLegendLastBox = 1330;
inline constexpr int kSTLevelString = 14397;
inline constexpr int kSTSlopeString = 14398;

// Whether a curve is drawn: its switch is on and its ST channel index was analysed.
bool IsSTCurveShown(const CZK470Doc& doc, int curve);
// The display colour of a curve from its colour setting.
gfx::Color STCurveColour(const CZK470Doc& doc, int curve);

// The ST trend graph: the stored ST series reduced to five-minute points over the displayed span,
// up to four curves scaled symmetrically around zero, the depression limits, and a vertical cursor
// at the current position that the user drags. At most kMaxColumns pixel columns are used; columns
// past the points of the span show 0. User-interface thread only.
class CSTTrendArea : public CViewArea, public CFollowCaliperHost {
 public:
  static constexpr int kMaxColumns = 3000;
  static constexpr int kSecondsPerPoint = 300;

  CSTTrendArea(CViewAreaConfig* config, CZK470Doc* document);
  ~CSTTrendArea() override;

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;

  void Recompute();
  void BuildPoints();
  void ResetPoints();
  void ResetScale();
  void Refresh();
  // The column of the current position (0 when the span or the area leaves none defined).
  int UpdateCursor();
  void MoveCursor(gfx::Canvas& dc);
  // Moves the current position to the time under x, for left < x < right only.
  void SetPositionFromX(int x);
  void DrawCursor(gfx::Canvas& dc);

  gfx::Rect GetCaliperRect() const override { return rect_; }
  win::Window* GetCaliperWindow() const override;
  int GetCursorColumn() const override { return cursor_column_; }
  double GetColumnValue(int row, int column) const override;

  // The y of a value on the graph.
  int ValueY(double value) const;
  int Columns() const { return width_; }
  int VertexCount() const { return vertex_count_; }
  const gfx::Point& Vertex(int curve, int i) const { return vertices_[curve][static_cast<size_t>(i)]; }
  double LowestValue() const { return lowest_; }
  double HighestValue() const { return highest_; }
  int Range() const { return range_; }
  int ReducedPoints() const { return reduced_points_; }
  bool IsDragging() const { return drag_.IsDragging(); }
  CSTTrendCaliper* GetCaliper() const { return caliper_.get(); }

 private:
  int Mid() const { return rect_.top + (rect_.bottom - rect_.top) / 2; }
  double ReducedValue(int curve, int point) const;
  void MakeCaliper();

  std::unique_ptr<CSTTrendCaliper> caliper_;
  CPlotDrag drag_;
  unsigned last_flags_ = 0;
  int last_x_ = 0;
  int last_y_ = 0;
  int width_ = 0;
  int vertex_count_ = 0;
  int cursor_column_ = 0;
  std::array<std::array<gfx::Point, kMaxColumns>, kSTCurves> vertices_{};
  std::array<std::array<double, kMaxColumns>, kSTCurves> column_values_{};
  analysis::TSTTrendBuilder::Output reduced_levels_{};
  analysis::TSTTrendBuilder::Output reduced_slopes_{};
  double lowest_ = -3.0;
  double highest_ = 3.0;
  int range_ = 6;
  int reduced_points_ = 0;
};

class CSTTrendAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CSTTrendAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// The legend right of the trend: a check box per curve, a sample line of the curve's pen under it;
// a curve's boxes are enabled only when its ST channel index was analysed.
class CSTLegendArea : public CViewArea {
 public:
  CSTLegendArea(CViewAreaConfig* config, CZK470Doc* document);
  ~CSTLegendArea() override;

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;

  // The box of id 1327..1330; nullptr before Attach or outside the range.
  win::DrawnCheckBox* Box(int id) const;

 private:
  std::array<std::unique_ptr<win::DrawnCheckBox>, 4> boxes_;
  gfx::Font font_;
};

class CSTLegendAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CSTLegendAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// The window of the ST group: passes the mouse to its areas, turns the legend's boxes into curve
// switches, keeps the trend's radio flag, and owns the ST episode dialog.
class CSTTrendWnd : public CAreaWnd {
 public:
  // Makes the episode dialog as a child of the window; nullptr for none.
  using EpisodeDialogFactory = std::function<std::unique_ptr<win::Window>(CSTTrendWnd&)>;

  CSTTrendWnd(CWindowAreaConfig* config, CZK470Doc* document);
  ~CSTTrendWnd() override;

  void Attach(CBaseView* view) override;
  // Destroys the episode dialog (its window when it exists) and makes a new one.
  void RecreateEpisodeDialog();
  win::Window* GetEpisodeDialog() const { return episode_dialog_.get(); }
  int GetRadioFlag() const { return radio_flag_; }

  // The window of the ST layout now shown; nullptr without one.
  static CSTTrendWnd* Current();
  static void SetEpisodeDialogFactory(EpisodeDialogFactory factory);

 protected:
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnMouseMove(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;

 private:
  void DestroyEpisodeDialog();

  std::unique_ptr<win::Window> episode_dialog_;
  int radio_flag_ = 1;
};

class CSTTrendWindowConfig : public CWindowAreaConfig {
 public:
  using CWindowAreaConfig::CWindowAreaConfig;
  std::string_view GetClassName() const override { return "CSTTrendWindowConfig"; }
  std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc* document) override;
};
