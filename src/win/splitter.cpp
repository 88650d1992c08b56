#include "win/splitter.h"

#include <algorithm>

#include "gfx/canvas.h"
#include "win/control_drawing.h"
#include "win/system_metrics.h"

namespace win {

bool Splitter::CreateSplitter(Window& parent, const gfx::Rect& rect, int id, Orientation orientation,
                              uint32_t style) {
  orientation_ = orientation;
  dragging_ = false;
  if (!Create(&parent, rect, kWsChild | style, id)) return false;
  SetBackground(GetSysColor(SysColor::kBtnFace));
  pos_ = Clamp(pos_);
  return true;
}

void Splitter::SetPanes(Window* first, Window* second) {
  first_ = first;
  second_ = second;
  LayoutPanes();
}

void Splitter::SetMinPaneSizes(int first, int second) {
  min_first_ = std::max(first, 0);
  min_second_ = std::max(second, 0);
  SetBarPosition(pos_);
}

int Splitter::Length() const {
  const gfx::Rect client = GetClientRect();
  return orientation_ == Orientation::kSideBySide ? client.Width() : client.Height();
}

int Splitter::Clamp(int pos) const {
  const int room = std::max(0, Length() - kBarWidth);
  const int low = std::min(min_first_, room);
  const int high = std::max(low, room - min_second_);
  return std::clamp(pos, low, high);
}

gfx::Rect Splitter::Part(int from, int to) const {
  const gfx::Rect client = GetClientRect();
  return orientation_ == Orientation::kSideBySide ? gfx::Rect{from, 0, to, client.bottom}
                                                  : gfx::Rect{0, from, client.right, to};
}

gfx::Rect Splitter::BarRect() const { return Part(pos_, pos_ + kBarWidth); }

void Splitter::SetBarPosition(int pos) {
  const int clamped = IsWindow() ? Clamp(pos) : pos;
  if (clamped == pos_) return;
  if (IsWindow()) InvalidateRect(BarRect());
  pos_ = clamped;
  LayoutPanes();
  if (IsWindow()) InvalidateRect(BarRect());
}

void Splitter::LayoutPanes() {
  if (!IsWindow()) return;
  const WindowHandle handle = Handle();
  if (first_ != nullptr && first_->IsWindow()) first_->MoveWindow(Part(0, pos_));
  if (Windows().FromHandle(handle) != this) return;
  if (second_ != nullptr && second_->IsWindow())
    second_->MoveWindow(Part(pos_ + kBarWidth, std::max(pos_ + kBarWidth, Length())));
}

void Splitter::OnSize(int, int, int) {
  pos_ = Clamp(pos_);
  LayoutPanes();
  Invalidate();
}

void Splitter::OnPaint(gfx::Canvas& canvas, const gfx::Rect&) {
  const gfx::Rect bar = BarRect();
  DrawButtonFace(canvas, bar, dragging_);
}

void Splitter::OnLButtonDown(unsigned, gfx::Point point) {
  if (!BarRect().Contains(point)) return;
  dragging_ = true;
  grab_offset_ = Along(point) - pos_;
  SetCapture();
  InvalidateRect(BarRect());
}

void Splitter::OnMouseMove(unsigned, gfx::Point point) {
  if (dragging_) SetBarPosition(Along(point) - grab_offset_);
}

void Splitter::OnLButtonUp(unsigned, gfx::Point point) {
  if (!dragging_) return;
  SetBarPosition(Along(point) - grab_offset_);
  if (!IsWindow()) return;
  dragging_ = false;
  InvalidateRect(BarRect());
  if (Windows().GetCapture() == this) Windows().ReleaseCapture();
}

void Splitter::OnCaptureChanged(Window* new_capture) {
  if (new_capture == this || !dragging_) return;
  dragging_ = false;
  InvalidateRect(BarRect());
}

}  // namespace win
