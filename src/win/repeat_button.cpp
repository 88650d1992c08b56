#include "win/repeat_button.h"

#include <algorithm>

namespace win {
namespace {

constexpr uintptr_t kRepeatTimer = 1;

}  // namespace

void RepeatButton::SetRepeatTiming(int first_delay_ms, int interval_ms) {
  first_delay_ms_ = std::max(first_delay_ms, 1);
  interval_ms_ = std::max(interval_ms, 1);
}

void RepeatButton::OnRepeat() { NotifyParent(kBnClicked); }

void RepeatButton::OnLButtonDown(unsigned flags, gfx::Point point) {
  if (!IsInputEnabled() || repeating_) return;
  const WindowHandle handle = Handle();
  Button::OnLButtonDown(flags, point);
  if (Windows().FromHandle(handle) != this || Windows().GetCapture() != this) return;
  repeating_ = true;
  SetTimer(kRepeatTimer, first_delay_ms_);
  OnRepeat();
}

void RepeatButton::OnLButtonUp(unsigned, gfx::Point) {
  // The press did the work; unlike a plain button the release clicks nothing.
  Stop();
  SetPressed(false);
  if (Windows().GetCapture() == this) Windows().ReleaseCapture();
}

void RepeatButton::OnTimer(uintptr_t id) {
  if (id != kRepeatTimer) return;
  if (!repeating_) {
    KillTimer(kRepeatTimer);
    return;
  }
  SetTimer(kRepeatTimer, interval_ms_);
  OnRepeat();
}

void RepeatButton::OnCaptureChanged(Window* new_capture) {
  if (new_capture == this) return;
  Stop();
  SetPressed(false);
}

void RepeatButton::Stop() {
  repeating_ = false;
  KillTimer(kRepeatTimer);
}

}  // namespace win
