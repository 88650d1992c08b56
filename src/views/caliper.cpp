#include "views/caliper.h"

#include <algorithm>

#include "gfx/canvas.h"
#include "platform/process_context.h"
#include "win/window.h"

namespace {

// The host height at the last placement of any readout; 0 at program start.
int g_placement_height = 0;

[[maybe_unused]] const bool kResetRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kViews, [] { g_placement_height = 0; });

constexpr gfx::Color kTrueColourPen = gfx::Rgb(255, 255, 0);
constexpr gfx::Color kPalettePen = gfx::Rgb(128, 128, 0);

// A readout that lies off-screen to the right for a moment repaints whole when it comes back.
constexpr int kRepaintShift = 5000;

}  // namespace

CCaliper::CCaliper(CCaliperHost* host) : host_(host) {
  gfx::Color colour = kTrueColourPen;
  if (win::Window* window = host_ != nullptr ? host_->GetCaliperWindow() : nullptr;
      window && window->IsWindow()) {
    win::ClientDc dc(*window);
    if (dc->GetDeviceCaps(gfx::DeviceCap::kNumColors) != -1) colour = kPalettePen;
  }
  pen_ = gfx::Pen{gfx::PenStyle::kSolid, 1, colour};
}

CCaliper::~CCaliper() = default;

int CCaliper::SharedPlacementHeight() { return g_placement_height; }

void CCaliper::ResetSharedPlacementHeight() { g_placement_height = 0; }

void CCaliper::SetReadout(std::unique_ptr<CCaliperReadout> readout) { readout_ = std::move(readout); }

gfx::Rect CCaliper::InfoSize() const { return size_rect_.value_or(gfx::Rect{0, 0, 0, 0}); }

void CCaliper::SetState(int on) {
  state_ = on;
  if (on == kStateOn) {
    Start();
  } else if (on == kStateOff) {
    Close();
  }
}

void CCaliper::Start() {
  state_ = kStateOn;
  a_active_ = true;
  slot_x_ = {-10, -10};
  last_input_ = 0;
  if (readout_) readout_->UpdateData();
  const gfx::Rect area = host_->GetCaliperRect();
  b_ = {area.left + 100, 0};
  a_ = {area.left + 150, 0};
  // A Track may run before any mouse message (switching on does): it then finds A where it is.
  mouse_ = a_;
  working_rect_ = gfx::Rect{0, 0, 0, 0};
  size_rect_ = gfx::Rect{0, 0, 0, 0};
  if (readout_) {
    const gfx::Rect screen = readout_->GetWindow().GetWindowRect();
    size_rect_ = gfx::Rect{0, 0, screen.Width(), screen.Height()};
  }
}

void CCaliper::Close() {
  state_ = kStateClosed;
  working_rect_.reset();
  size_rect_.reset();
  readout_.reset();
}

void CCaliper::ShowValues() {
  if (state_ != kStateOn) return;
  UpdateValues();
  if (!readout_) return;
  readout_->UpdateData();
  readout_->GetWindow().ShowWindow(win::kSwShow);
}

void CCaliper::ShowInfo() {
  if (readout_) readout_->GetWindow().ShowWindow(win::kSwShow);
}

void CCaliper::HideInfo() {
  if (readout_) readout_->GetWindow().ShowWindow(win::kSwHide);
}

void CCaliper::ReleaseMouse() {
  if (win::Windows().GetCapture() != nullptr) win::Windows().ReleaseCapture();
}

void CCaliper::DragMouse(const gfx::Point& point) {
  if ((a_active_ && point.x > b_.x) || (!a_active_ && point.x < a_.x)) mouse_ = point;
}

void CCaliper::TrackOnWindow(int mode) {
  win::Window* window = host_->GetCaliperWindow();
  if (window == nullptr || !window->IsWindow()) return;
  win::ClientDc dc(*window);
  Track(dc.Canvas(), mode);
}

void CCaliper::Track(gfx::Canvas& dc, int mode) {
  int bias = 1;
  if (last_input_ == static_cast<int>(win::kWmMouseMove)) bias = a_active_ ? -50 : 50;
  if (state_ != kStateOn) return;

  const gfx::Rect area = host_->GetCaliperRect();
  const int info_width = InfoSize().Width();
  const int info_height = InfoSize().Height();
  mouse_.y = std::max(std::min(mouse_.y, area.bottom - info_height), area.top);

  const int right_limit = area.right - right_margin_;
  const int left_limit = area.left + left_margin_;
  if (mode == kMoveBoth) {
    const int distance = a_.x - b_.x;
    a_ = mouse_;
    a_active_ = true;
    a_.x = std::min(a_.x, right_limit);
    if (a_.x < left_limit + distance) a_.x = left_limit + distance + 1;
    mouse_.x = a_.x;
    b_.x = a_.x - distance;
  } else {
    if (!SyncCursors()) {
      if (mouse_.x > (a_.x + b_.x) / 2 + bias) {
        a_ = mouse_;
        a_active_ = true;
      } else {
        b_ = mouse_;
        a_active_ = false;
      }
    }
    a_.x = std::min(a_.x, right_limit);
    if (b_.x > right_limit) b_.x = right_limit - 1;
    b_.x = std::max(b_.x, left_limit);
    if (a_.x < left_limit) a_.x = left_limit + 1;
  }

  if (follow_) {
    SyncCursors();
    PlaceInfoWindow(b_.x, b_.y);
    return;
  }

  // The readout sits right of A, else left of B, else left of A; the second line slot is the
  // cursor beside it.
  if (a_.x + 7 < area.right - info_width) {
    PlaceInfoWindow(a_.x + 7, a_.y);
    DrawCursorLine(0, b_.x, dc, mode);
    DrawCursorLine(1, a_.x, dc, mode);
  } else if (b_.x - 7 > area.left + info_width) {
    PlaceInfoWindow(b_.x - info_width - 6, b_.y);
    DrawCursorLine(0, a_.x, dc, mode);
    DrawCursorLine(1, b_.x, dc, mode);
  } else {
    PlaceInfoWindow(a_.x - info_width - 6, a_.y);
    DrawCursorLine(0, b_.x, dc, mode);
    DrawCursorLine(1, a_.x, dc, mode);
  }
}

void CCaliper::DrawCursorLine(int slot, int x, gfx::Canvas& dc, int mode) {
  const gfx::Rect area = host_->GetCaliperRect();
  int& remembered = slot_x_[static_cast<size_t>(slot)];
  const gfx::Pen old_pen = dc.SelectPen(pen_);
  const gfx::Rop2 old_rop = dc.SetROP2(gfx::Rop2::kXorPen);
  if (mode == kRedraw || x != remembered) {
    dc.MoveTo(x, area.top + 6);
    dc.LineTo(x, area.bottom - 5);
  }
  if (mode != kRedraw && x != remembered) {
    dc.MoveTo(remembered, area.top + 6);
    dc.LineTo(remembered, area.bottom - 5);
  }
  remembered = x;
  dc.SetROP2(old_rop);
  dc.SelectPen(old_pen);
}

void CCaliper::PlaceInfoWindow(int x, int y) {
  const gfx::Rect size = InfoSize();
  working_rect_ = gfx::Rect{x, y, x + size.Width(), y + size.Height()};
  const gfx::Rect area = host_->GetCaliperRect();
  const int height = area.Height();
  win::Window* host_window = host_->GetCaliperWindow();
  if (readout_ && host_window != nullptr && host_window->IsWindow()) {
    // The readout is a top-level window: its place is on the screen.
    win::Window& info = readout_->GetWindow();
    const gfx::Rect screen = host_window->ClientToScreen(*working_rect_);
    if (height != g_placement_height) {
      info.MoveWindow({screen.left + kRepaintShift, screen.top, screen.right + kRepaintShift, screen.bottom},
                      true);
    }
    info.MoveWindow(screen, true);
  }
  g_placement_height = height;
}
