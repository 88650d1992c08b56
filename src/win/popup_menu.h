#pragma once

#include <cstdint>

#include "gfx/geometry.h"
#include "win/menu.h"
#include "win/messages.h"

namespace win {

class CommandTarget;
class Window;

// Where a pop-up menu of this size lands: the kTpm alignment flags say which corner or edge
// midpoint of it lies at the point; a menu that would leave the screen on one side opens on the
// other side of the point instead, and is then kept on the screen.
gfx::Rect PopupMenuRect(gfx::Point point, gfx::Size size, unsigned flags, gfx::Size screen);

// A context or pop-up menu: shows menu at the screen point (x, y) and waits until the user chooses
// an entry or dismisses it. Before it shows, the owner gets kWmInitMenuPopup (it may still change
// the menu) and the entries take enabled, check, radio and text from the update handlers along
// route, or, without one, along the owner's route when the owner is a frame (other owners leave
// the entries as they are); kTpmNoNotify leaves out both, and the kWmMenuSelect that tells the
// owner the menu closed. The host shows the menu (headless: the window system's scripted answers);
// an answer that is no enabled command entry counts as none. With kTpmReturnCmd the command chosen
// is returned (0 none) and nothing is sent; otherwise the command is posted to the owner as
// kWmCommand and the result is nonzero when the menu was shown. An owner that is no window shows
// nothing and returns 0. User-interface thread only.
int TrackPopupMenu(const Menu& menu, unsigned flags, int x, int y, Window& owner,
                   CommandTarget* route = nullptr);

// Shift+F10 or the Menu key (as a key or a system key) or a context-menu message: the keyboard
// asks for the window's context menu, which then opens near the client's top-left corner.
bool IsContextMenuRequest(uint32_t message, WParam wparam);
// How far from the client's top-left corner a menu asked for from the keyboard opens.
inline constexpr int kKeyboardMenuInset = 5;

}  // namespace win
