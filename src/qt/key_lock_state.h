#pragma once

#include <array>

#include "win/window.h"

namespace qthost {

// Where the lock keys stand, read from the keyboard's indicators ("Caps Lock", "Num Lock",
// "Scroll Lock", by name) of the X server the Qt application runs on. Other platforms (Wayland,
// offscreen) offer programs no way to read them: every lock then reads as off. Made after the
// QApplication; user-interface thread only.
class KeyLockState : public win::KeyStateSource {
 public:
  KeyLockState();
  bool IsKeyToggled(int virtual_key) const override;
  // Whether the locks can be read at all.
  bool Available() const { return display_ != nullptr; }

 private:
  void* display_ = nullptr;               // the X display, when there is one
  std::array<unsigned long, 3> names_{};  // the indicators' atoms: caps, num, scroll
};

}  // namespace qthost
