#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "gfx/bitmap.h"
#include "win/controls.h"
#include "win/repeat_button.h"

// The tool tip of one button: after the pointer has rested on the button for kDelayMs the host
// shows the text; a press, the pointer leaving or the window ending takes it away. The button
// relays its mouse messages and timer here. User-interface thread only.
class ButtonToolTip {
 public:
  static constexpr int kDelayMs = 500;
  static constexpr uintptr_t kTimerId = 0x7170;

  explicit ButtonToolTip(std::string text) : text_(std::move(text)) {}
  const std::string& Text() const { return text_; }
  void SetText(std::string text) { text_ = std::move(text); }

  void Relay(win::Window& button, uint32_t message);
  // True when the timer was the tip's.
  bool OnTimer(win::Window& button, uintptr_t id);
  void Hide(win::Window& button);
  bool IsShown() const { return shown_; }

 private:
  std::string text_;
  bool shown_ = false;
};

// A push button with a tool tip.
class CTipButton : public win::Button {
 public:
  explicit CTipButton(std::string tip) : tip_(std::move(tip)) {}
  const ButtonToolTip& ToolTip() const { return tip_; }

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 private:
  ButtonToolTip tip_;
};

// The PREV / NEXT button of the template screens: drawn from four pictures of its own (up, down,
// focus, disabled; an arrow to the left for value 0, to the right otherwise) with a tool tip. A
// press sends kStepMessage (wparam the command id, lparam the value) to the target at once and
// then every kRepeatMs on the window system's clock until the release. Without a target it sends
// nothing.
class CRepeatButton : public win::RepeatButton {
 public:
  static constexpr uint32_t kStepMessage = 1046;
  static constexpr int kRepeatMs = 300;
  static constexpr int kBitmapWidth = 19;
  static constexpr int kBitmapHeight = 21;
  enum Face { kUp, kDown, kFocus, kDisabled };

  CRepeatButton(std::string tip, int value);
  void SetTarget(win::Window* target) { target_ = target; }
  void SetCommandId(int id) { command_id_ = id; }
  int GetCommandId() const { return command_id_; }
  int GetValue() const { return value_; }
  const ButtonToolTip& ToolTip() const { return tip_; }
  // The picture the button shows now.
  Face CurrentFace() const;
  const gfx::Bitmap& Picture(Face face) const { return pictures_[face]; }
  // Resizes the window to its pictures.
  void SizeToContent();

 protected:
  void OnRepeat() override;
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 private:
  ButtonToolTip tip_;
  int command_id_ = -1;
  int value_ = 0;
  win::Window* target_ = nullptr;
  std::array<gfx::Bitmap, 4> pictures_;
};
