#include "win/tip_button.h"

#include "gfx/canvas.h"
#include "win/system_metrics.h"

namespace {

bool IsRelayedMouseMessage(uint32_t message) {
  // Double clicks do not reach the tip, as with the platform's relay.
  return message >= win::kWmMouseMove && message <= win::kWmMButtonUp && message != win::kWmLButtonDblClk &&
         message != win::kWmRButtonDblClk;
}

// An arrow of `rows` rows pointing left (value 0) or right, its tip at (tip_x, centre_y).
void DrawArrow(gfx::Bitmap& picture, int tip_x, int centre_y, bool left, gfx::Color colour) {
  constexpr int kRows = 5;
  for (int d = 0; d < kRows; ++d) {
    const int x = left ? tip_x + d : tip_x - d;
    for (int y = centre_y - d; y <= centre_y + d; ++y) picture.SetPixel(x, y, colour);
  }
}

gfx::Bitmap MakePicture(CRepeatButton::Face face, bool left) {
  using win::GetSysColor;
  using win::SysColor;
  const int w = CRepeatButton::kBitmapWidth;
  const int h = CRepeatButton::kBitmapHeight;
  gfx::Bitmap picture(w, h, GetSysColor(SysColor::kBtnFace));
  const bool down = face == CRepeatButton::kDown;
  const gfx::Color light = down ? GetSysColor(SysColor::k3dDkShadow) : GetSysColor(SysColor::kBtnHighlight);
  const gfx::Color dark = down ? GetSysColor(SysColor::kBtnHighlight) : GetSysColor(SysColor::k3dDkShadow);
  for (int x = 0; x < w; ++x) {
    picture.SetPixel(x, 0, light);
    picture.SetPixel(x, h - 1, dark);
  }
  for (int y = 0; y < h; ++y) {
    picture.SetPixel(0, y, light);
    picture.SetPixel(w - 1, y, dark);
  }
  // Pressed, the arrow sinks by one pixel.
  const int shift = down ? 1 : 0;
  const int tip_x = (left ? 6 : w - 7) + shift;
  const int centre_y = h / 2 + shift;
  if (face == CRepeatButton::kDisabled) {
    DrawArrow(picture, tip_x + 1, centre_y + 1, left, GetSysColor(SysColor::kBtnHighlight));
    DrawArrow(picture, tip_x, centre_y, left, GetSysColor(SysColor::kBtnShadow));
  } else {
    DrawArrow(picture, tip_x, centre_y, left, gfx::Rgb(0, 0, 0));
  }
  if (face == CRepeatButton::kFocus) {
    // A dotted frame inside the border.
    for (int x = 2; x < w - 2; x += 2) {
      picture.SetPixel(x, 2, gfx::Rgb(0, 0, 0));
      picture.SetPixel(x, h - 3, gfx::Rgb(0, 0, 0));
    }
    for (int y = 2; y < h - 2; y += 2) {
      picture.SetPixel(2, y, gfx::Rgb(0, 0, 0));
      picture.SetPixel(w - 3, y, gfx::Rgb(0, 0, 0));
    }
  }
  return picture;
}

}  // namespace

void ButtonToolTip::Relay(win::Window& button, uint32_t message) {
  if (message == win::kWmMouseLeave || message == win::kWmDestroy) {
    Hide(button);
    return;
  }
  if (!IsRelayedMouseMessage(message)) return;
  if (message == win::kWmMouseMove) {
    if (!shown_ && !text_.empty()) button.SetTimer(kTimerId, kDelayMs);
    return;
  }
  // A press or release puts the tip away.
  Hide(button);
}

bool ButtonToolTip::OnTimer(win::Window& button, uintptr_t id) {
  if (id != kTimerId) return false;
  button.KillTimer(kTimerId);
  const win::Window* top = button.GetTopLevel();
  if (text_.empty() || top == nullptr || !top->IsInputEnabled()) return true;
  win::Windows().ShowToolTip(button, win::Windows().CursorPos(), text_);
  shown_ = true;
  return true;
}

void ButtonToolTip::Hide(win::Window& button) {
  if (button.IsWindow()) button.KillTimer(kTimerId);
  if (!shown_) return;
  shown_ = false;
  const auto& tip = win::Windows().CurrentToolTip();
  if (tip && tip->owner == button.Handle()) win::Windows().HideToolTip();
}

win::LResult CTipButton::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  tip_.Relay(*this, message);
  if (message == win::kWmTimer && tip_.OnTimer(*this, static_cast<uintptr_t>(wparam))) return 0;
  return win::Button::WindowProc(message, wparam, lparam);
}

CRepeatButton::CRepeatButton(std::string tip, int value) : tip_(std::move(tip)), value_(value) {
  SetRepeatTiming(kRepeatMs, kRepeatMs);
  for (Face face : {kUp, kDown, kFocus, kDisabled}) pictures_[face] = MakePicture(face, value == 0);
}

CRepeatButton::Face CRepeatButton::CurrentFace() const {
  if (!IsWindowEnabled()) return kDisabled;
  if (IsPressed()) return kDown;
  if (HasFocus()) return kFocus;
  return kUp;
}

void CRepeatButton::SizeToContent() {
  if (IsWindow()) SetWindowSize(kBitmapWidth, kBitmapHeight);
}

void CRepeatButton::OnRepeat() {
  if (target_ != nullptr && target_->IsWindow())
    target_->SendMessage(kStepMessage, static_cast<win::WParam>(command_id_),
                         static_cast<win::LParam>(value_));
}

void CRepeatButton::OnPaint(gfx::Canvas& canvas, const gfx::Rect&) {
  const gfx::Bitmap& picture = pictures_[CurrentFace()];
  canvas.DrawBitmap({0, 0, picture.Width(), picture.Height()}, picture,
                    {0, 0, picture.Width(), picture.Height()});
}

win::LResult CRepeatButton::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  tip_.Relay(*this, message);
  if (message == win::kWmTimer && tip_.OnTimer(*this, static_cast<uintptr_t>(wparam))) return 0;
  return win::RepeatButton::WindowProc(message, wparam, lparam);
}
