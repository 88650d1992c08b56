#include "dialogs/optiontree/option_tree_spinner_button.h"

#include <climits>

#include "dialogs/optiontree/option_tree.h"
#include "dialogs/optiontree/option_tree_edit_number.h"
#include "gfx/canvas.h"
#include "win/control_drawing.h"
#include "win/system_metrics.h"

namespace dialogs {

namespace {

using win::GetSysColor;
using win::SysColor;

void DrawArrowButton(gfx::Canvas& canvas, const gfx::Rect& rect, win::ArrowDirection direction, bool pushed,
                     bool inactive) {
  win::DrawButtonFace(canvas, rect, pushed);
  const gfx::Rect glyph = pushed ? rect.Offset(1, 1) : rect;
  win::DrawArrowGlyph(canvas, glyph, direction,
                      GetSysColor(inactive ? SysColor::kGrayText : SysColor::kBtnText));
}

}  // namespace

COptionTreeSpinnerButton::RepeatTiming COptionTreeSpinnerButton::KeyboardRepeatTiming(
    std::optional<int> delay_setting, std::optional<int> speed_setting) {
  if (!delay_setting || !speed_setting) return {500, 200};
  return {250 * (*delay_setting + 1), 400 - 12 * *speed_setting};
}

COptionTreeSpinnerButton::COptionTreeSpinnerButton() = default;

COptionTreeSpinnerButton::~COptionTreeSpinnerButton() { DestroyWindow(); }

void COptionTreeSpinnerButton::SetRange(double minimum, double maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  Invalidate();
}

void COptionTreeSpinnerButton::GetRange(double& minimum, double& maximum) const {
  minimum = minimum_;
  maximum = maximum_;
}

void COptionTreeSpinnerButton::SetOption(uint32_t bits, bool on) {
  options_ = on ? (options_ | bits) : (options_ & ~bits);
  Invalidate();
}

void COptionTreeSpinnerButton::SetDoubleValue(double value) {
  if (edit_.IsWindow()) edit_.WriteValueText(FormatFixed(value, 0));
}

void COptionTreeSpinnerButton::SetFloatValue(float value) { SetDoubleValue(static_cast<double>(value)); }

void COptionTreeSpinnerButton::SetLongValue(long value) {
  if (edit_.IsWindow()) edit_.WriteValueText(std::to_string(value));
}

void COptionTreeSpinnerButton::SetIntValue(int value) {
  if (edit_.IsWindow()) edit_.WriteValueText(std::to_string(value));
}

void COptionTreeSpinnerButton::SetUIntValue(uint32_t value) {
  if (edit_.IsWindow()) edit_.WriteValueText(std::to_string(value));
}

bool COptionTreeSpinnerButton::GetDoubleValue(double& value) const {
  value = 0;
  if (!edit_.IsWindow()) return false;
  const std::optional<double> read = ReadLeadingDouble(edit_.GetWindowText());
  if (!read) return false;
  value = *read;
  return true;
}

bool COptionTreeSpinnerButton::GetFloatValue(float& value) const {
  value = 0;
  double wide = 0;
  if (!GetDoubleValue(wide)) return false;
  value = static_cast<float>(wide);
  return true;
}

bool COptionTreeSpinnerButton::GetLongValue(long& value) const {
  value = 0;
  if (!edit_.IsWindow()) return false;
  const std::optional<int64_t> read = ReadIntegerText(edit_.GetWindowText(), LONG_MIN, LONG_MAX, true);
  if (!read) return false;
  value = static_cast<long>(*read);
  return true;
}

bool COptionTreeSpinnerButton::GetIntValue(int& value) const {
  value = 0;
  if (!edit_.IsWindow()) return false;
  const std::optional<int64_t> read = ReadIntegerText(edit_.GetWindowText(), INT_MIN, INT_MAX, true);
  if (!read) return false;
  value = static_cast<int>(*read);
  return true;
}

bool COptionTreeSpinnerButton::GetUIntValue(uint32_t& value) const {
  value = 0;
  if (!edit_.IsWindow()) return false;
  const std::optional<int64_t> read = ReadIntegerText(edit_.GetWindowText(), 0, UINT32_MAX, false);
  if (!read) return false;
  value = static_cast<uint32_t>(*read);
  return true;
}

std::string COptionTreeSpinnerButton::GetText() const {
  return edit_.IsWindow() ? edit_.GetWindowText() : std::string();
}

double COptionTreeSpinnerButton::StepValue() const { return ReadLeadingDouble(GetText()).value_or(0.0); }

void COptionTreeSpinnerButton::WriteStep(double value) {
  SetDoubleValue(value);
  Invalidate();
}

void COptionTreeSpinnerButton::StepUp() {
  const double next = StepValue() + 1;
  if (GetOption(kSpinnerOptionWrapAround))
    WriteStep(next > maximum_ ? minimum_ : next);
  else if (next <= maximum_)
    WriteStep(next);
}

void COptionTreeSpinnerButton::StepDown() {
  const double next = StepValue() - 1;
  if (GetOption(kSpinnerOptionWrapAround))
    WriteStep(next >= minimum_ ? next : maximum_);
  else if (next >= minimum_)
    WriteStep(next);
}

win::LResult COptionTreeSpinnerButton::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  switch (message) {
    case kSpinnerMsgTextChanged:
      Invalidate();
      return 0;
    case kSpinnerMsgStepUp:
      StepUp();
      return 0;
    case kSpinnerMsgStepDown:
      StepDown();
      return 0;
    default:
      return win::Window::WindowProc(message, wparam, lparam);
  }
}

int COptionTreeSpinnerButton::OnCreate() {
  const gfx::Rect client = GetClientRect();
  if (!edit_.CreateControl(this, {0, 0, client.right - kSpinnerButtonWidth, client.bottom}, kSpinnerEditId,
                           {}, win::kWsChild | win::kWsVisible | win::kEsNumber)) {
    return -1;
  }
  edit_.SetSel(0, 0);
  edit_.SetFont(COptionTree::GetNormalFont(), false);
  edit_.SetSpinner(this);
  // This system offers no keyboard settings to read.
  timing_ = KeyboardRepeatTiming(std::nullopt, std::nullopt);
  return 0;
}

void COptionTreeSpinnerButton::OnDestroy() {
  KillTimer(kSpinnerRepeatTimer);
  edit_.DestroyWindow();
}

void COptionTreeSpinnerButton::LayoutEdit() {
  if (!edit_.IsWindow()) return;
  const gfx::Rect client = GetClientRect();
  edit_.MoveWindow({0, 0, client.right - kSpinnerButtonWidth, client.bottom});
  edit_.ShowWindow(win::kSwShow);
}

void COptionTreeSpinnerButton::OnSize(int type, int cx, int cy) { LayoutEdit(); }

void COptionTreeSpinnerButton::OnMove(int x, int y) { LayoutEdit(); }

void COptionTreeSpinnerButton::ComputeButtonRects() {
  const gfx::Rect client = GetClientRect();
  const int w = client.Width();
  const int h = client.Height();
  up_rect_ = {w - kSpinnerButtonWidth, 0, w - 2, h / 2};
  down_rect_ = {w - kSpinnerButtonWidth, h / 2, w - 2, h};
}

void COptionTreeSpinnerButton::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  ComputeButtonRects();
  if (tree_ == nullptr) return;
  canvas.FillSolidRect(GetClientRect(), GetSysColor(SysColor::kBtnFace));
  if (GetOption(kSpinnerOptionWrapAround)) {
    DrawArrowButton(canvas, up_rect_, win::ArrowDirection::kUp, up_pressed_, false);
    DrawArrowButton(canvas, down_rect_, win::ArrowDirection::kDown, down_pressed_, false);
    return;
  }
  const double value = StepValue();
  const bool up_inactive = value >= maximum_;
  const bool down_inactive = !(value > minimum_);
  DrawArrowButton(canvas, up_rect_, win::ArrowDirection::kUp, up_pressed_ && !up_inactive, up_inactive);
  DrawArrowButton(canvas, down_rect_, win::ArrowDirection::kDown, down_pressed_ && !down_inactive,
                  down_inactive);
}

void COptionTreeSpinnerButton::PressAt(gfx::Point point) {
  ComputeButtonRects();
  if (up_rect_.Contains(point)) {
    up_pressed_ = true;
    StepUp();
  } else if (down_rect_.Contains(point)) {
    down_pressed_ = true;
    StepDown();
  }
}

void COptionTreeSpinnerButton::OnLButtonDown(unsigned flags, gfx::Point point) {
  up_pressed_ = false;
  down_pressed_ = false;
  press_point_ = point;
  PressAt(point);
  Invalidate();
  SetCapture();
  SetTimer(kSpinnerRepeatTimer, timing_.delay_ms);
  first_repeat_ = true;
}

void COptionTreeSpinnerButton::OnLButtonUp(unsigned flags, gfx::Point point) {
  KillTimer(kSpinnerRepeatTimer);
  win::Windows().ReleaseCapture();
  up_pressed_ = false;
  down_pressed_ = false;
  Invalidate();
}

void COptionTreeSpinnerButton::OnTimer(uintptr_t id) {
  if (id != kSpinnerRepeatTimer) return;
  if (first_repeat_) {
    SetTimer(kSpinnerRepeatTimer, timing_.interval_ms);
    first_repeat_ = false;
  }
  // The press point, not the pointer: the repeat goes on wherever the pointer has moved.
  PressAt(press_point_);
  Invalidate();
}

}  // namespace dialogs
