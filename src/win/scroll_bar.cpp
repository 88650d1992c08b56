#include "win/scroll_bar.h"

#include <algorithm>

#include "gfx/canvas.h"
#include "gfx/recording_canvas.h"
#include "win/control_drawing.h"
#include "win/system_metrics.h"

namespace win {
namespace {

// Positions along the bar and rectangles across it, for either direction.
struct Axis {
  bool vertical;
  int Start(const gfx::Rect& r) const { return vertical ? r.top : r.left; }
  int End(const gfx::Rect& r) const { return vertical ? r.bottom : r.right; }
  int Along(gfx::Point p) const { return vertical ? p.y : p.x; }
  int Breadth(const gfx::Rect& r) const { return vertical ? r.Width() : r.Height(); }
  gfx::Rect Span(const gfx::Rect& bar, int from, int to) const {
    return vertical ? gfx::Rect{bar.left, from, bar.right, to} : gfx::Rect{from, bar.top, to, bar.bottom};
  }
};

bool IsMouseMessage(uint32_t message) {
  return message >= kWmMouseMove && message <= kWmMButtonUp && message != kWmMouseWheel;
}

uint32_t StyleBit(int bar) { return bar == kSbVert ? kWsVScroll : kWsHScroll; }

bool Alive(const Window& window, WindowHandle handle) { return Windows().FromHandle(handle) == &window; }

void RedrawBars(Window& window, WindowScrollBars& bars) {
  bars.dirty = true;
  if (!window.IsWindow()) return;
  if (Host* host = Windows().HostOf(window)) host->InvalidateRequested(*window.GetTopLevel());
}

// One of a window's own bars: it talks to the window itself.
class WindowBarSite : public ScrollBarSite {
 public:
  WindowBarSite(Window& window, WindowScrollBars& bars, int bar) : window_(window), bars_(bars), bar_(bar) {}
  Window& SiteWindow() override { return window_; }
  gfx::Rect SiteRect() const override { return window_.ScrollBarRect(bar_); }
  uintptr_t RepeatTimerId() const override { return kScrollBarRepeatTimer; }
  void SendRequest(int code, int pos) override {
    window_.SendMessage(bar_ == kSbVert ? kWmVScroll : kWmHScroll, MakeWParam(code, pos), 0);
  }
  void Redraw() override { RedrawBars(window_, bars_); }
  void TrackingEnded() override { bars_.tracking_bar = -1; }

 private:
  Window& window_;
  WindowScrollBars& bars_;
  int bar_;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// ScrollBarCore

int ScrollBarCore::MaxPos() const { return max_ - std::max(page_ - 1, 0); }

ScrollBarCore::Visibility ScrollBarCore::Set(const ScrollInfo& info) {
  if ((info.mask & kSifPage) != 0) page_ = info.page;
  if ((info.mask & kSifRange) != 0) {
    if (info.min > info.max || static_cast<int64_t>(info.max) - info.min > INT32_MAX) {
      min_ = 0;
      max_ = 0;
    } else {
      min_ = info.min;
      max_ = info.max;
    }
  }
  if ((info.mask & kSifPos) != 0) pos_ = info.pos;
  page_ = static_cast<int>(std::clamp<int64_t>(page_, 0, static_cast<int64_t>(max_) - min_ + 1));
  pos_ = std::clamp(pos_, min_, MaxPos());
  if ((info.mask & (kSifRange | kSifPage | kSifDisableNoScroll)) == 0) return Visibility::kKeep;
  if (!CanScroll()) {
    if ((info.mask & kSifDisableNoScroll) != 0) {
      disabled_ = true;
      return Visibility::kKeep;
    }
    return Visibility::kHide;
  }
  // A new page alone does not bring a bar back.
  if ((info.mask & ~kSifDisableNoScroll) == kSifPage) return Visibility::kKeep;
  disabled_ = false;
  return Visibility::kShow;
}

void ScrollBarCore::Get(ScrollInfo& info) const {
  if ((info.mask & kSifRange) != 0) {
    info.min = min_;
    info.max = max_;
  }
  if ((info.mask & kSifPage) != 0) info.page = page_;
  if ((info.mask & kSifPos) != 0) info.pos = pos_;
  if ((info.mask & kSifTrackPos) != 0) info.track_pos = tracking_ == Part::kThumb ? track_pos_ : pos_;
}

ScrollBarCore::Lengths ScrollBarCore::Measure(const gfx::Rect& bar) const {
  const Axis axis{vertical_};
  Lengths lengths;
  const int length = std::max(0, axis.End(bar) - axis.Start(bar));
  // Arrows are square; on a short bar they share its length and leave no shaft.
  lengths.arrow = std::min(axis.Breadth(bar), length / 2);
  lengths.shaft = length - 2 * lengths.arrow;
  if (disabled_ || !CanScroll() || lengths.shaft < kMinThumbSize) return lengths;
  int thumb = lengths.arrow;
  if (page_ > 0) {
    const int64_t range = static_cast<int64_t>(max_) - min_ + 1;
    thumb = static_cast<int>(static_cast<int64_t>(lengths.shaft) * page_ / range);
  }
  lengths.thumb = std::clamp(thumb, kMinThumbSize, lengths.shaft);
  return lengths;
}

ScrollBarParts ScrollBarCore::Layout(const gfx::Rect& bar) const {
  const Axis axis{vertical_};
  const Lengths lengths = Measure(bar);
  const int start = axis.Start(bar);
  const int end = axis.End(bar);
  ScrollBarParts parts;
  parts.first_arrow = axis.Span(bar, start, start + lengths.arrow);
  parts.second_arrow = axis.Span(bar, end - lengths.arrow, end);
  parts.shaft = axis.Span(bar, start + lengths.arrow, end - lengths.arrow);
  if (lengths.thumb == 0) return parts;
  const int shown = tracking_ == Part::kThumb ? track_pos_ : pos_;
  const int64_t span = static_cast<int64_t>(MaxPos()) - min_;
  const int64_t room = lengths.shaft - lengths.thumb;
  const int offset = static_cast<int>((room * (static_cast<int64_t>(shown) - min_) + span / 2) / span);
  const int thumb_start = start + lengths.arrow + offset;
  parts.thumb = axis.Span(bar, thumb_start, thumb_start + lengths.thumb);
  return parts;
}

ScrollBarCore::Part ScrollBarCore::HitTest(const gfx::Rect& bar, gfx::Point point) const {
  if (!bar.Contains(point)) return Part::kNone;
  const ScrollBarParts parts = Layout(bar);
  if (parts.first_arrow.Contains(point)) return Part::kFirstArrow;
  if (parts.second_arrow.Contains(point)) return Part::kSecondArrow;
  if (parts.thumb.IsEmpty()) return Part::kNone;
  const Axis axis{vertical_};
  const int along = axis.Along(point);
  if (along < axis.Start(parts.thumb)) return Part::kFirstPage;
  if (along >= axis.End(parts.thumb)) return Part::kSecondPage;
  return Part::kThumb;
}

int ScrollBarCore::PosAt(const gfx::Rect& bar, gfx::Point point) const {
  const Axis axis{vertical_};
  const Lengths lengths = Measure(bar);
  const int64_t room = lengths.shaft - lengths.thumb;
  if (lengths.thumb == 0 || room <= 0) return pos_;
  const int64_t offset =
      std::clamp<int64_t>(axis.Along(point) - grab_offset_ - (axis.Start(bar) + lengths.arrow), 0, room);
  const int64_t span = static_cast<int64_t>(MaxPos()) - min_;
  return static_cast<int>(std::clamp<int64_t>(min_ + (offset * span + room / 2) / room, min_, MaxPos()));
}

int ScrollBarCore::RequestOf(Part part) {
  switch (part) {
    case Part::kFirstArrow:
      return kSbLineUp;
    case Part::kSecondArrow:
      return kSbLineDown;
    case Part::kFirstPage:
      return kSbPageUp;
    case Part::kSecondPage:
      return kSbPageDown;
    default:
      return kSbEndScroll;
  }
}

int ScrollBarCore::KeyRequest(int virtual_key) {
  switch (virtual_key) {
    case kVkUp:
    case kVkLeft:
      return kSbLineUp;
    case kVkDown:
    case kVkRight:
      return kSbLineDown;
    case kVkPrior:
      return kSbPageUp;
    case kVkNext:
      return kSbPageDown;
    case kVkHome:
      return kSbTop;
    case kVkEnd:
      return kSbBottom;
    default:
      return -1;
  }
}

bool ScrollBarCore::ButtonDown(ScrollBarSite& site, gfx::Point point) {
  const gfx::Rect bar = site.SiteRect();
  if (!bar.Contains(point)) return false;
  if (Tracking()) return true;
  const Part part = HitTest(bar, point);
  if (disabled_ || !CanScroll() || part == Part::kNone) return true;
  Window& window = site.SiteWindow();
  tracking_ = part;
  over_tracked_part_ = true;
  last_point_ = point;
  window.SetCapture();
  if (part == Part::kThumb) {
    track_pos_ = pos_;
    grab_offset_ = Axis{vertical_}.Along(point) - Axis{vertical_}.Start(Layout(bar).thumb);
    site.Redraw();
    return true;
  }
  site.Redraw();
  window.SetTimer(site.RepeatTimerId(), kFirstRepeatMs);
  site.SendRequest(RequestOf(part), 0);
  return true;
}

void ScrollBarCore::MouseMove(ScrollBarSite& site, gfx::Point point) {
  if (!Tracking()) return;
  last_point_ = point;
  const gfx::Rect bar = site.SiteRect();
  if (tracking_ == Part::kThumb) {
    const int pos = PosAt(bar, point);
    if (pos == track_pos_) return;
    track_pos_ = pos;
    site.Redraw();
    site.SendRequest(kSbThumbTrack, pos);
    return;
  }
  const bool over = HitTest(bar, point) == tracking_;
  if (over == over_tracked_part_) return;
  over_tracked_part_ = over;
  site.Redraw();
}

void ScrollBarCore::RepeatTimer(ScrollBarSite& site) {
  Window& window = site.SiteWindow();
  if (tracking_ == Part::kNone || tracking_ == Part::kThumb) {
    window.KillTimer(site.RepeatTimerId());
    return;
  }
  window.SetTimer(site.RepeatTimerId(), kRepeatMs);
  // A page area stops once the thumb has come under the pointer; an arrow while the pointer is off it.
  const bool over = HitTest(site.SiteRect(), last_point_) == tracking_;
  if (over != over_tracked_part_) {
    over_tracked_part_ = over;
    site.Redraw();
  }
  if (over) site.SendRequest(RequestOf(tracking_), 0);
}

void ScrollBarCore::StopTracking(ScrollBarSite& site) {
  Window& window = site.SiteWindow();
  tracking_ = Part::kNone;
  over_tracked_part_ = false;
  window.KillTimer(site.RepeatTimerId());
  site.TrackingEnded();
  site.Redraw();
  if (Windows().GetCapture() == &window) Windows().ReleaseCapture();
}

void ScrollBarCore::ButtonUp(ScrollBarSite& site, gfx::Point point) {
  if (!Tracking()) return;
  last_point_ = point;
  Window& window = site.SiteWindow();
  const WindowHandle handle = window.Handle();
  if (tracking_ == Part::kThumb) {
    // The handler may still read the track position, as during the drag.
    site.SendRequest(kSbThumbPosition, track_pos_);
    if (!Alive(window, handle) || !Tracking()) return;
  }
  StopTracking(site);
  if (Alive(window, handle)) site.SendRequest(kSbEndScroll, 0);
}

void ScrollBarCore::CaptureLost(ScrollBarSite& site) {
  if (!Tracking()) return;
  Window& window = site.SiteWindow();
  const WindowHandle handle = window.Handle();
  StopTracking(site);
  if (Alive(window, handle)) site.SendRequest(kSbEndScroll, 0);
}

void ScrollBarCore::Paint(gfx::Canvas& canvas, const gfx::Rect& bar, bool enabled) const {
  const Axis axis{vertical_};
  const ScrollBarParts parts = Layout(bar);
  const bool active = enabled && !disabled_ && CanScroll();
  canvas.FillSolidRect(parts.shaft, GetSysColor(SysColor::kScrollBar));
  if (over_tracked_part_ && !parts.thumb.IsEmpty() &&
      (tracking_ == Part::kFirstPage || tracking_ == Part::kSecondPage)) {
    const gfx::Rect held = tracking_ == Part::kFirstPage
                               ? axis.Span(bar, axis.Start(parts.shaft), axis.Start(parts.thumb))
                               : axis.Span(bar, axis.End(parts.thumb), axis.End(parts.shaft));
    canvas.FillSolidRect(held, GetSysColor(SysColor::k3dDkShadow));
  }
  const gfx::Color glyph = active ? GetSysColor(SysColor::kBtnText) : GetSysColor(SysColor::kGrayText);
  const auto arrow = [&](const gfx::Rect& r, Part part, ArrowDirection direction) {
    if (r.IsEmpty()) return;
    const bool pushed = tracking_ == part && over_tracked_part_;
    DrawButtonFace(canvas, r, pushed);
    DrawArrowGlyph(canvas, pushed ? r.Offset(1, 1) : r, direction, glyph);
  };
  arrow(parts.first_arrow, Part::kFirstArrow, vertical_ ? ArrowDirection::kUp : ArrowDirection::kLeft);
  arrow(parts.second_arrow, Part::kSecondArrow, vertical_ ? ArrowDirection::kDown : ArrowDirection::kRight);
  if (!parts.thumb.IsEmpty()) DrawButtonFace(canvas, parts.thumb, false);
}

// ---------------------------------------------------------------------------------------------
// The window's own bars

WindowScrollBars& Window::Bars() {
  if (!scroll_bars_) scroll_bars_ = std::make_unique<WindowScrollBars>();
  return *scroll_bars_;
}

gfx::Rect Window::ScrollBarRect(int bar) const {
  const gfx::Rect client = GetClientRect();
  if (bar == kSbVert && (style_ & kWsVScroll) != 0) return {client.right, 0, rect_.Width(), client.bottom};
  if (bar == kSbHorz && (style_ & kWsHScroll) != 0) return {0, client.bottom, client.right, rect_.Height()};
  return {};
}

int Window::SetScrollInfo(int bar, const ScrollInfo& info, bool redraw) {
  if (bar == kSbCtl) {
    auto* control = dynamic_cast<ScrollBar*>(this);
    return control != nullptr ? control->SetScrollInfo(info, redraw) : 0;
  }
  if (!IsWindow() || (bar != kSbHorz && bar != kSbVert)) return 0;
  ScrollBarCore& core = Bars().Bar(bar);
  const ScrollBarCore::Visibility visibility = core.Set(info);
  const int pos = core.Pos();
  const bool shown = (style_ & StyleBit(bar)) != 0;
  if (visibility == ScrollBarCore::Visibility::kShow && !shown) {
    ShowScrollBar(bar, true);
  } else if (visibility == ScrollBarCore::Visibility::kHide && shown) {
    ShowScrollBar(bar, false);
  } else if (redraw && shown) {
    RedrawBars(*this, *scroll_bars_);
  }
  return pos;
}

bool Window::GetScrollInfo(int bar, ScrollInfo& info) const {
  if (bar == kSbCtl) {
    const auto* control = dynamic_cast<const ScrollBar*>(this);
    if (control != nullptr) control->GetScrollInfo(info);
    return control != nullptr;
  }
  if ((bar != kSbHorz && bar != kSbVert) || !scroll_bars_) return false;
  scroll_bars_->Bar(bar).Get(info);
  return true;
}

int Window::SetScrollPos(int bar, int pos, bool redraw) {
  const int old = GetScrollPos(bar);
  ScrollInfo info;
  info.mask = kSifPos;
  info.pos = pos;
  SetScrollInfo(bar, info, redraw);
  return old;
}

int Window::GetScrollPos(int bar) const {
  ScrollInfo info;
  info.mask = kSifPos;
  return GetScrollInfo(bar, info) ? info.pos : 0;
}

void Window::SetScrollRange(int bar, int min, int max, bool redraw) {
  ScrollInfo info;
  info.mask = kSifRange;
  info.min = min;
  info.max = max;
  SetScrollInfo(bar, info, redraw);
}

void Window::GetScrollRange(int bar, int* min, int* max) const {
  ScrollInfo info;
  info.mask = kSifRange;
  if (!GetScrollInfo(bar, info)) info.min = info.max = 0;
  if (min != nullptr) *min = info.min;
  if (max != nullptr) *max = info.max;
}

void Window::ShowScrollBar(int bar, bool show) {
  if (!IsWindow()) return;
  const uint32_t bits = bar == kSbBoth                     ? (kWsHScroll | kWsVScroll)
                        : bar == kSbHorz || bar == kSbVert ? StyleBit(bar)
                                                           : 0;
  const uint32_t old = style_;
  style_ = show ? (style_ | bits) : (style_ & ~bits);
  if (style_ == old) return;
  Bars();
  ClientSizeChanged();
}

void Window::ClientSizeChanged() {
  RedrawBars(*this, *scroll_bars_);
  const gfx::Rect client = GetClientRect();
  SendMessage(kWmSize, kSizeRestored, MakeLParam(client.Width(), client.Height()));
  if (IsWindow()) Invalidate(true);
}

bool Window::ScrollBarMessage(uint32_t message, WParam wparam, LParam lparam) {
  WindowScrollBars& bars = *scroll_bars_;
  if (message == kWmTimer && wparam == kScrollBarRepeatTimer) {
    if (bars.tracking_bar < 0) {
      KillTimer(kScrollBarRepeatTimer);
    } else {
      WindowBarSite site(*this, bars, bars.tracking_bar);
      bars.Bar(bars.tracking_bar).RepeatTimer(site);
    }
    return true;
  }
  if (message == kWmCaptureChanged) {
    if (bars.tracking_bar >= 0 && FromHandle(static_cast<WindowHandle>(lparam)) != this) {
      WindowBarSite site(*this, bars, bars.tracking_bar);
      bars.Bar(bars.tracking_bar).CaptureLost(site);
    }
    return false;
  }
  if (!IsMouseMessage(message)) return false;
  const gfx::Point point{GetXLParam(lparam), GetYLParam(lparam)};
  // A drag that the client area holds the capture for goes on over the bars.
  if (bars.tracking_bar < 0 && Windows().GetCapture() == this) return false;
  if (bars.tracking_bar >= 0) {
    WindowBarSite site(*this, bars, bars.tracking_bar);
    ScrollBarCore& core = bars.Bar(bars.tracking_bar);
    if (message == kWmMouseMove) core.MouseMove(site, point);
    if (message == kWmLButtonUp) core.ButtonUp(site, point);
    return true;
  }
  for (const int bar : {kSbVert, kSbHorz}) {
    if (!ScrollBarRect(bar).Contains(point)) continue;
    if (message == kWmLButtonDown || message == kWmLButtonDblClk) {
      WindowBarSite site(*this, bars, bar);
      bars.tracking_bar = bar;
      const WindowHandle handle = Handle();
      bars.Bar(bar).ButtonDown(site, point);
      if (Alive(*this, handle) && !bars.Bar(bar).Tracking()) bars.tracking_bar = -1;
    }
    return true;
  }
  // The corner between two bars belongs to neither the bars nor the client area.
  return !GetClientRect().Contains(point) && point.x >= 0 && point.y >= 0 && point.x < rect_.Width() &&
         point.y < rect_.Height();
}

void WindowSystem::PaintScrollBars(Window& window) {
  WindowScrollBars& bars = *window.scroll_bars_;
  bars.dirty = false;
  const gfx::Rect vert = window.ScrollBarRect(kSbVert);
  const gfx::Rect horz = window.ScrollBarRect(kSbHorz);
  if (vert.IsEmpty() && horz.IsEmpty()) return;
  const gfx::Rect client = window.GetClientRect();
  const gfx::Rect whole{0, 0, window.rect_.Width(), window.rect_.Height()};
  std::unique_ptr<gfx::Canvas> canvas;
  if (Host* host = HostOf(window)) canvas = host->CreateWindowCanvas(window, whole);
  std::unique_ptr<gfx::RecordingCanvas> recording;
  if (!canvas) recording = std::make_unique<gfx::RecordingCanvas>();
  gfx::Canvas& target = canvas ? *canvas : *recording;
  const bool enabled = window.IsInputEnabled();
  if (!vert.IsEmpty()) bars.Bar(kSbVert).Paint(target, vert, enabled);
  if (!horz.IsEmpty()) bars.Bar(kSbHorz).Paint(target, horz, enabled);
  if (!vert.IsEmpty() && !horz.IsEmpty()) {
    target.FillSolidRect({client.right, client.bottom, whole.right, whole.bottom},
                         GetSysColor(SysColor::kBtnFace));
  }
  if (recording) RecordFor(window.Handle()).scroll_bars = std::move(recording);
}

// ---------------------------------------------------------------------------------------------
// ScrollBar control

class ScrollBar::Site : public ScrollBarSite {
 public:
  explicit Site(ScrollBar& bar) : bar_(bar) {}
  Window& SiteWindow() override { return bar_; }
  gfx::Rect SiteRect() const override { return bar_.GetClientRect(); }
  uintptr_t RepeatTimerId() const override { return 1; }
  void SendRequest(int code, int pos) override {
    if (Window* parent = bar_.GetParent()) {
      parent->SendMessage(bar_.IsVertical() ? kWmVScroll : kWmHScroll, MakeWParam(code, pos),
                          static_cast<LParam>(bar_.Handle()));
    }
  }
  void Redraw() override { bar_.Invalidate(true); }

 private:
  ScrollBar& bar_;
};

bool ScrollBar::CreateControl(Window* parent, const gfx::Rect& rect, int id, uint32_t style) {
  return Create(parent, rect, style | kWsChild, id);
}

int ScrollBar::OnCreate() {
  core_ = ScrollBarCore(IsVertical());
  return 0;
}

int ScrollBar::SetScrollInfo(const ScrollInfo& info, bool redraw) {
  core_.Set(info);
  NotifyChanged(kChangedState);
  if (redraw) Invalidate(true);
  return core_.Pos();
}

int ScrollBar::SetScrollPos(int pos, bool redraw) {
  const int old = core_.Pos();
  ScrollInfo info;
  info.mask = kSifPos;
  info.pos = pos;
  SetScrollInfo(info, redraw);
  return old;
}

void ScrollBar::SetScrollRange(int min, int max, bool redraw) {
  ScrollInfo info;
  info.mask = kSifRange;
  info.min = min;
  info.max = max;
  SetScrollInfo(info, redraw);
}

void ScrollBar::OnPaint(gfx::Canvas& canvas, const gfx::Rect&) {
  core_.Paint(canvas, GetClientRect(), IsInputEnabled());
}

void ScrollBar::OnLButtonDown(unsigned, gfx::Point point) {
  if ((GetStyle() & kWsTabStop) != 0) SetFocus();
  if (!IsWindow()) return;
  Site site(*this);
  core_.ButtonDown(site, point);
}

void ScrollBar::OnMouseMove(unsigned, gfx::Point point) {
  Site site(*this);
  core_.MouseMove(site, point);
}

void ScrollBar::OnLButtonUp(unsigned, gfx::Point point) {
  Site site(*this);
  core_.ButtonUp(site, point);
}

void ScrollBar::OnTimer(uintptr_t id) {
  Site site(*this);
  if (id == site.RepeatTimerId()) core_.RepeatTimer(site);
}

void ScrollBar::OnCaptureChanged(Window* new_capture) {
  if (new_capture == this) return;
  Site site(*this);
  core_.CaptureLost(site);
}

void ScrollBar::OnKeyDown(int virtual_key, unsigned, unsigned) {
  const int code = ScrollBarCore::KeyRequest(virtual_key);
  if (code < 0) return;
  Site site(*this);
  site.SendRequest(code, 0);
}

void ScrollBar::OnKeyUp(int virtual_key, unsigned, unsigned) {
  if (ScrollBarCore::KeyRequest(virtual_key) < 0) return;
  Site site(*this);
  site.SendRequest(kSbEndScroll, 0);
}

}  // namespace win
