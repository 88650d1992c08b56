#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "dialogs/optiontree/option_tree_spinner_edit.h"
#include "win/window.h"

namespace dialogs {

class COptionTree;

// Option bits of the spinner.
inline constexpr uint32_t kSpinnerOptionDirectEdit = 0x400;
inline constexpr uint32_t kSpinnerOptionWrapAround = 0x40000;

inline constexpr int kSpinnerEditId = 1000;
inline constexpr uintptr_t kSpinnerRepeatTimer = 1000;
// Width of the arrow button column at the right edge.
inline constexpr int kSpinnerButtonWidth = 17;

// A number field with two arrow buttons at its right edge: the value is the text of its edit
// field, stepped by one between a minimum and a maximum (wrapping round when asked) by the
// buttons, held buttons repeating on the window system's timers, and the arrow keys of the field.
// Values written by the setters or typed are not held to the range until the next step.
// Pixels; user-interface thread only.
class COptionTreeSpinnerButton : public win::Window {
 public:
  struct RepeatTiming {
    int delay_ms;
    int interval_ms;
  };
  // The platform's keyboard settings (delay 0..3, speed 0..31) as the auto-repeat timing; a
  // setting that cannot be read gives the defaults of 500 and 200 ms.
  static RepeatTiming KeyboardRepeatTiming(std::optional<int> delay_setting,
                                           std::optional<int> speed_setting);

  COptionTreeSpinnerButton();
  ~COptionTreeSpinnerButton() override;
  std::string_view ClassName() const override { return "COptionTreeSpinnerButton"; }

  void SetRange(double minimum, double maximum);
  void GetRange(double& minimum, double& maximum) const;
  bool GetOption(uint32_t bit) const { return (options_ & bit) != 0; }
  void SetOption(uint32_t bits, bool on);

  // Write the field's text when it exists: whole numbers, a fraction rounded away.
  void SetDoubleValue(double value);
  void SetFloatValue(float value);
  void SetLongValue(long value);
  void SetIntValue(int value);
  void SetUIntValue(uint32_t value);
  // Each sets the output to 0 first; false without the field or when the text holds no number
  // of the type (integers: digits with blanks around them and, for the signed ones, a minus, in
  // range; decimals: a finite leading number).
  bool GetDoubleValue(double& value) const;
  bool GetFloatValue(float& value) const;
  bool GetLongValue(long& value) const;
  bool GetIntValue(int& value) const;
  bool GetUIntValue(uint32_t& value) const;

  // The field's text, empty without the field.
  std::string GetText() const;
  COptionTreeSpinnerEdit& GetEdit() { return edit_; }
  void SetOptionTree(COptionTree* tree) { tree_ = tree; }
  COptionTree* GetOptionTree() const { return tree_; }

  void StepUp();
  void StepDown();
  const RepeatTiming& GetRepeatTiming() const { return timing_; }
  const gfx::Rect& GetUpButtonRect() const { return up_rect_; }
  const gfx::Rect& GetDownButtonRect() const { return down_rect_; }
  bool IsUpPressed() const { return up_pressed_; }
  bool IsDownPressed() const { return down_pressed_; }

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;
  int OnCreate() override;
  void OnDestroy() override;
  void OnSize(int type, int cx, int cy) override;
  void OnMove(int x, int y) override;
  bool OnEraseBackground(gfx::Canvas& canvas) override { return false; }
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  void OnTimer(uintptr_t id) override;

 private:
  // The current value as stepping reads it: 0 for an empty or non-numeric text.
  double StepValue() const;
  void WriteStep(double value);
  void LayoutEdit();
  void ComputeButtonRects();
  // Steps by the button under the press point and marks it pressed.
  void PressAt(gfx::Point point);

  COptionTree* tree_ = nullptr;
  double maximum_ = 100;
  double minimum_ = 0;
  gfx::Rect up_rect_;
  gfx::Rect down_rect_;
  bool down_pressed_ = false;
  bool up_pressed_ = false;
  gfx::Point press_point_;
  bool first_repeat_ = false;
  COptionTreeSpinnerEdit edit_;
  RepeatTiming timing_{500, 200};
  uint32_t options_ = 0;
};

}  // namespace dialogs
