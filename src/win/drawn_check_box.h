#pragma once

#include "win/controls.h"

namespace win {

// A check box for windows whose content is painted on the canvas (the areas of a view). It
// paints its whole rectangle, the background in its own background colour, else its parent's,
// else the button face, so that it can repaint alone over the parent's picture; and it repaints
// when the focus comes or goes. A click or Space sends kBnClicked to the parent; with
// kBsAutoCheckBox the box toggles first, with kBsCheckBox the parent sets the check itself.
// User-interface thread only.
class DrawnCheckBox : public Button {
 public:
  DrawnCheckBox() : Button(ControlKind::kCheckBox) {}
  bool IsAutomatic() const { return (ControlStyle() & 0x000F) == kBsAutoCheckBox; }
  void Click() override;

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnSetFocus(Window* old_focus) override;
  void OnKillFocus(Window* new_focus) override;
};

}  // namespace win
