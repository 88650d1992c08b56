#include "win/drawn_check_box.h"

#include "gfx/canvas.h"
#include "win/system_metrics.h"

namespace win {

void DrawnCheckBox::Click() {
  if (!IsInputEnabled()) return;
  const WindowHandle handle = Handle();
  if (IsAutomatic()) SetCheck(GetCheck() == kBstChecked ? kBstUnchecked : kBstChecked);
  if (Windows().FromHandle(handle) == this) NotifyParent(kBnClicked);
}

void DrawnCheckBox::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  std::optional<uint32_t> background = Background();
  if (!background && GetParent() != nullptr) background = GetParent()->Background();
  canvas.FillSolidRect(GetClientRect(), background.value_or(GetSysColor(SysColor::kBtnFace)));
  Button::OnPaint(canvas, update);
}

void DrawnCheckBox::OnSetFocus(Window* old_focus) {
  Button::OnSetFocus(old_focus);
  if (HasFocus()) Invalidate(true);
}

void DrawnCheckBox::OnKillFocus(Window* new_focus) {
  Button::OnKillFocus(new_focus);
  Invalidate(true);
}

}  // namespace win
