#pragma once

#include "gfx/geometry.h"
#include "win/window.h"

namespace win {

// Two panes and a bar between them that the user drags: side by side (a vertical bar between a
// left and a right pane) or stacked (a horizontal bar between an upper and a lower pane). The
// panes are windows the caller makes as children of the splitter; the splitter moves them to fill
// its client area whenever it is resized or the bar moves, and the panes follow the bar while it
// is dragged. The bar position is the first pane's size in pixels; each pane keeps at least its
// minimum while there is room, and when there is not, the first pane keeps its minimum and the
// second gets what is left. A drag holds the mouse capture; losing the capture ends it where the
// bar is. User-interface thread only.
class Splitter : public Window {
 public:
  enum class Orientation { kSideBySide, kStacked };
  static constexpr int kBarWidth = 6;

  bool CreateSplitter(Window& parent, const gfx::Rect& rect, int id, Orientation orientation,
                      uint32_t style = kWsVisible);
  Orientation GetOrientation() const { return orientation_; }
  // Not owned; either may be nullptr (its part stays empty).
  void SetPanes(Window* first, Window* second);
  void SetMinPaneSizes(int first, int second);
  void SetBarPosition(int pos);
  int GetBarPosition() const { return pos_; }
  // Where the bar lies in the client area.
  gfx::Rect BarRect() const;
  bool IsDragging() const { return dragging_; }
  std::string_view ClassName() const override { return "Splitter"; }

 protected:
  void OnSize(int type, int cx, int cy) override;
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnMouseMove(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  void OnCaptureChanged(Window* new_capture) override;

 private:
  // The client area's length across the bar.
  int Length() const;
  int Along(gfx::Point point) const { return orientation_ == Orientation::kSideBySide ? point.x : point.y; }
  int Clamp(int pos) const;
  // The part from..to along the splitter, across all of it.
  gfx::Rect Part(int from, int to) const;
  void LayoutPanes();

  Orientation orientation_ = Orientation::kSideBySide;
  Window* first_ = nullptr;
  Window* second_ = nullptr;
  int min_first_ = 0;
  int min_second_ = 0;
  int pos_ = 0;
  bool dragging_ = false;
  int grab_offset_ = 0;  // from the bar's start to where it was grabbed
};

}  // namespace win
