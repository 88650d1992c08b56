#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/time_axis_mark.h"
#include "views/caliper_variants.h"
#include "views/layout_tree.h"
#include "views/view_area.h"
#include "win/window.h"

class CHRVTableArea;
class CHRVTrendWnd;
class THRVStatistics;

// Jump to the deepest ST depression of the ST channel index in wparam (area message).
inline constexpr uint32_t kHRVGoToSTPosition = 32913;

// What the plot of an HRV chart shows, worked out without a window: the visible range (ms from
// the recording start), the plot's width in pixels, the recording's start clock time and the
// sample rate.
struct HRVTimeAxisSpan {
  int64_t visible_start_ms = 0;
  int64_t visible_end_ms = 0;
  int plot_width = 0;
  int area_width = 0;
  int start_clock_seconds = 0;  // second of the day at the recording start
};

// Marks every 10 minutes (20 from a range of two days on), labelled hours every P hours, P
// doubling while labels of label_width pixels do not fit into the area. day_label_at gives the
// day text of a second from the recording start. No marks for a range under one second or a plot
// without width.
std::vector<TTimeAxisMark> BuildHRVTimeAxis(const HRVTimeAxisSpan& span, int label_width,
                                            const TTimeFormatter& times,
                                            const std::function<std::string(int seconds)>& day_label_at);

// The part all HRV charts share: the plot rectangle inside the area, the frame with the title,
// the time axis and the shading of the HRV time window, a vertical cursor at the current position
// that the user drags, and the jump commands (extremes, ST positions, next longer or shorter NN
// interval). The cursor's x is kept in the document so that every chart of the screen draws it at
// the same place. The visible range and the NN search state are the hosting CHRVTrendWnd's; the
// statistics are the HRV table area's. User-interface thread only.
class CHRVChartArea : public CViewArea, public CFollowCaliperHost {
 public:
  static constexpr int kPlotLeft = 50;
  static constexpr int kPlotTop = 20;
  static constexpr int kPlotRight = 20;
  static constexpr int kPlotBottom = 20;
  static constexpr gfx::Color kWindowShade = gfx::Rgb(240, 240, 240);
  static constexpr gfx::Color kGridGrey = gfx::Rgb(192, 192, 192);

  CHRVChartArea(CViewAreaConfig* config, CZK470Doc* document, int title_string,
                int plot_bottom = kPlotBottom);
  ~CHRVChartArea() override;

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;

  virtual void DrawFrame(gfx::Canvas& dc);
  virtual void DrawData(gfx::Canvas& dc) {}
  // The cursor's x in the plot from the current position, stored in the document. False, the
  // stored x left alone, when the plot is under 2 pixels wide or the range under a second.
  virtual bool ComputeCursorX();
  // Moves the current position to the time under x, for plot left < x < plot right only.
  virtual void SetCursorAt(gfx::Point point);
  virtual void MoveCursor(gfx::Canvas& dc);
  virtual void DrawCursor(gfx::Canvas& dc);
  virtual void Rebuild();
  virtual void BuildTimeAxis();

  gfx::Rect GetCaliperRect() const override { return rect_; }
  gfx::Rect GetReferenceRect() const override { return plot_; }
  win::Window* GetCaliperWindow() const override;
  int GetCursorColumn() const override;

  const gfx::Rect& GetPlot() const { return plot_; }
  const std::string& GetTitle() const { return title_; }
  const std::vector<TTimeAxisMark>& GetMarks() const { return marks_; }
  bool IsDragging() const { return dragging_; }
  CHRVTableArea* GetTableArea() const { return table_; }
  // The table area's statistics; nullptr without a table area.
  THRVStatistics* GetStatistics() const;
  // The range every chart draws: the window's, or the whole recording without one.
  int64_t VisibleStartMs() const;
  int64_t VisibleEndMs() const;
  // x in the plot of a sample position: nearest((p - start) / rate x W / visible seconds); 0 for
  // an empty range.
  int XOfSample(int64_t position) const;

 protected:
  int ScaleStep() const;
  int ZoomLevel() const;
  // The y of a fraction of the plot height above the plot bottom, rounded to the nearest pixel.
  int YOfFraction(double fraction) const;
  // The y-axis grid: a dotted grey level across the plot with a black tick left of the axis, and a
  // label right-aligned left of the axis, centred on its level.
  void DrawGridLevel(gfx::Canvas& dc, int y);
  void DrawYLabel(gfx::Canvas& dc, int y, const std::string& text);
  // Visible range in samples, truncate(ms x 0.001 x rate).
  int64_t VisibleStartSamples() const;
  int64_t VisibleEndSamples() const;
  double SampleRate() const;
  // The histogram answers the jumps without moving its cursor or the visible range, and draws the
  // cursor one pixel lower.
  bool jumps_move_cursor_ = true;
  int cursor_bottom_extra_ = 0;
  // A short line with its end pixel excluded, as every chart's frame and data use.
  static void Line(gfx::Canvas& dc, int x0, int y0, int x1, int y1);

  gfx::Rect plot_;
  gfx::Rect full_;
  int plot_bottom_margin_ = kPlotBottom;

 private:
  // The jump commands; true when the message was one.
  bool Jump(uint32_t msg, win::WParam wparam);
  void MoveCursorOnWindow();
  void StartDrag();
  void EndDrag();

  std::string title_;
  bool dragging_ = false;
  std::optional<win::ClientDc> drag_dc_;
  win::Window* capture_window_ = nullptr;
  std::unique_ptr<CHRVTrendCaliper> caliper_;
  unsigned last_flags_ = 0;
  int last_x_ = 0;
  int last_y_ = 0;
  bool cursor_valid_ = false;
  // Where this chart last drew its cursor in XOR mode: the shared x may already be the new one.
  std::optional<int> drawn_x_;
  std::vector<TTimeAxisMark> marks_;
  bool two_day_labels_ = false;
  CHRVTableArea* table_ = nullptr;
};

class CHRVChartAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CHRVChartAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};
