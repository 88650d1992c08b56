#pragma once

#include "win/controls.h"

namespace win {

// A push button that acts while it is held: a press sends kBnClicked to the parent at once, again
// after the first delay and then at every interval, wherever the pointer goes, until the button
// is released, loses the capture or is disabled. The release sends nothing more; Space sends one
// click as on any button. The timers run on the window system's clock. User-interface thread only.
class RepeatButton : public Button {
 public:
  static constexpr int kDefaultFirstDelayMs = 500;
  static constexpr int kDefaultIntervalMs = 200;

  RepeatButton() : Button(ControlKind::kPushButton) {}
  void SetRepeatTiming(int first_delay_ms, int interval_ms);
  int FirstDelayMs() const { return first_delay_ms_; }
  int IntervalMs() const { return interval_ms_; }
  bool IsRepeating() const { return repeating_; }

 protected:
  // One step of the held button: kBnClicked to the parent.
  virtual void OnRepeat();

  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnLButtonDblClk(unsigned flags, gfx::Point point) override { OnLButtonDown(flags, point); }
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  void OnTimer(uintptr_t id) override;
  void OnCaptureChanged(Window* new_capture) override;

 private:
  void Stop();

  int first_delay_ms_ = kDefaultFirstDelayMs;
  int interval_ms_ = kDefaultIntervalMs;
  bool repeating_ = false;
};

}  // namespace win
