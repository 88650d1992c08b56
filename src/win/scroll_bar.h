#pragma once

#include <cstdint>

#include "gfx/geometry.h"
#include "win/window.h"

namespace gfx {
class Canvas;
}

namespace win {

// Width of a vertical scroll bar and height of a horizontal one; also the length of its arrows.
inline constexpr int kScrollBarSize = 17;
// A thumb is never drawn shorter than this.
inline constexpr int kMinThumbSize = 8;
// The timer id a window's own scroll bars repeat on while an arrow or page area is held.
inline constexpr uintptr_t kScrollBarRepeatTimer = 0xFFFF5CB0;

// Where the parts of a scroll bar lie, in the coordinates of the rectangle it was laid out in.
struct ScrollBarParts {
  gfx::Rect first_arrow;   // up or left
  gfx::Rect second_arrow;  // down or right
  gfx::Rect shaft;         // between the arrows
  gfx::Rect thumb;         // empty when there is nothing to scroll or no room for it
};

// What a scroll bar's mouse tracking needs of the window that holds the bar.
class ScrollBarSite {
 public:
  virtual ~ScrollBarSite() = default;
  // Holds the capture and the repeat timer; mouse points are in its client coordinates.
  virtual Window& SiteWindow() = 0;
  // Where the bar lies in SiteWindow's client coordinates.
  virtual gfx::Rect SiteRect() const = 0;
  virtual uintptr_t RepeatTimerId() const = 0;
  // Sends kWmHScroll or kWmVScroll with the code and position to whoever handles it (the
  // handler may end the window).
  virtual void SendRequest(int code, int pos) = 0;
  virtual void Redraw() = 0;
  // The press ended (released, or the capture went elsewhere).
  virtual void TrackingEnded() {}
};

// One scroll bar: its range, page and position under the platform's rules, its drawing, and the
// tracking of a press on an arrow, a page area or the thumb. It never moves its own position:
// the handler of the requests does. User-interface thread only.
class ScrollBarCore {
 public:
  enum class Part { kNone, kFirstArrow, kFirstPage, kThumb, kSecondPage, kSecondArrow };
  // A held arrow or page area repeats its request after the first delay, then at each interval.
  static constexpr int kFirstRepeatMs = 250;
  static constexpr int kRepeatMs = 50;

  explicit ScrollBarCore(bool vertical) : vertical_(vertical) {}
  bool Vertical() const { return vertical_; }

  // What a set call means for a window's bar.
  enum class Visibility { kKeep, kShow, kHide };
  // Takes the fields of info.mask: an inverted range (or one wider than 2^31 - 1) becomes 0..0,
  // the page is kept within 0..max - min + 1, the position within min..max - max(page - 1, 0).
  // When the range or page was set, a bar with nothing to scroll is to hide (disabled instead
  // with kSifDisableNoScroll) and one with something to scroll to show, unless only the page
  // changed.
  Visibility Set(const ScrollInfo& info);
  // Fills the fields of info.mask.
  void Get(ScrollInfo& info) const;
  int Pos() const { return pos_; }
  // The highest position: max - max(page - 1, 0).
  int MaxPos() const;
  // Whether the thumb can move at all.
  bool CanScroll() const { return min_ < MaxPos(); }
  bool Disabled() const { return disabled_; }

  ScrollBarParts Layout(const gfx::Rect& bar) const;
  Part HitTest(const gfx::Rect& bar, gfx::Point point) const;
  void Paint(gfx::Canvas& canvas, const gfx::Rect& bar, bool enabled) const;

  // Mouse tracking: a press starts it (and takes the capture), the release ends it with
  // kSbThumbPosition (after a thumb drag) and kSbEndScroll. A press on an arrow or page area
  // sends its request at once and repeats it on the site's timer while the pointer stays on that
  // part; dragging the thumb sends kSbThumbTrack for each new position. Each returns whether the
  // bar took the message.
  bool Tracking() const { return tracking_ != Part::kNone; }
  bool ButtonDown(ScrollBarSite& site, gfx::Point point);
  void MouseMove(ScrollBarSite& site, gfx::Point point);
  void ButtonUp(ScrollBarSite& site, gfx::Point point);
  void RepeatTimer(ScrollBarSite& site);
  // The capture went elsewhere: the tracking ends with kSbEndScroll.
  void CaptureLost(ScrollBarSite& site);
  // The request of a key on a focused scroll-bar control; -1 for other keys.
  static int KeyRequest(int virtual_key);

 private:
  static int RequestOf(Part part);
  // The arrows' length along the bar, the shaft's and the thumb's (0: no thumb).
  struct Lengths {
    int arrow = 0;
    int shaft = 0;
    int thumb = 0;
  };
  Lengths Measure(const gfx::Rect& bar) const;
  int PosAt(const gfx::Rect& bar, gfx::Point point) const;
  // Ends the tracking: timer, capture, look.
  void StopTracking(ScrollBarSite& site);

  bool vertical_;
  int min_ = 0;
  int max_ = 100;
  int page_ = 0;
  int pos_ = 0;
  bool disabled_ = false;
  Part tracking_ = Part::kNone;
  bool over_tracked_part_ = false;  // the pointer is on the held arrow or page area
  int track_pos_ = 0;
  int grab_offset_ = 0;  // from the thumb's start to where it was grabbed
  gfx::Point last_point_;
};

// A window's own two scroll bars; the window keeps them once it has any.
class WindowScrollBars {
 public:
  WindowScrollBars() : horz_(false), vert_(true) {}
  ScrollBarCore& Bar(int bar) { return bar == kSbVert ? vert_ : horz_; }
  const ScrollBarCore& Bar(int bar) const { return bar == kSbVert ? vert_ : horz_; }
  // The bar that tracks the mouse now, -1 none.
  int tracking_bar = -1;
  // Something of them needs painting.
  bool dirty = true;

 private:
  ScrollBarCore horz_;
  ScrollBarCore vert_;
};

// The scroll-bar control: a child window that is one bar (vertical with kSbsVert) and tells its
// parent with kWmHScroll or kWmVScroll, lparam its handle. With the focus, the arrow keys, Page
// Up and Down, Home and End send their requests, each followed by kSbEndScroll when the key is
// released.
class ScrollBar : public Window {
 public:
  bool CreateControl(Window* parent, const gfx::Rect& rect, int id, uint32_t style);
  bool IsVertical() const { return (GetStyle() & kSbsVert) != 0; }
  // As Window::SetScrollInfo for kSbCtl; the control never hides itself.
  int SetScrollInfo(const ScrollInfo& info, bool redraw = true);
  void GetScrollInfo(ScrollInfo& info) const { core_.Get(info); }
  int SetScrollPos(int pos, bool redraw = true);
  int GetScrollPos() const { return core_.Pos(); }
  void SetScrollRange(int min, int max, bool redraw = true);
  const ScrollBarCore& Core() const { return core_; }
  std::string_view ClassName() const override { return "ScrollBar"; }

 protected:
  int OnCreate() override;
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnLButtonDblClk(unsigned flags, gfx::Point point) override { OnLButtonDown(flags, point); }
  void OnMouseMove(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  void OnTimer(uintptr_t id) override;
  void OnCaptureChanged(Window* new_capture) override;
  void OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) override;
  void OnKeyUp(int virtual_key, unsigned repeat, unsigned flags) override;

 private:
  class Site;
  ScrollBarCore core_{true};
};

}  // namespace win
