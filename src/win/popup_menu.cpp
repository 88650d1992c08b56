#include "win/popup_menu.h"

#include <algorithm>

#include "win/command_target.h"
#include "win/frame_window.h"
#include "win/window.h"

namespace win {
namespace {

// One axis of the placement: start is where the alignment puts the menu's first edge.
int Place(int point, int length, int start, bool from_start, bool from_end, int screen) {
  if (from_start && start + length > screen) start = point - length;
  if (from_end && start < 0) start = point;
  return std::clamp(start, 0, std::max(0, screen - length));
}

}  // namespace

gfx::Rect PopupMenuRect(gfx::Point point, gfx::Size size, unsigned flags, gfx::Size screen) {
  int left = point.x;
  if ((flags & kTpmCenterAlign) != 0) {
    left -= size.cx / 2;
  } else if ((flags & kTpmRightAlign) != 0) {
    left -= size.cx;
  }
  int top = point.y;
  if ((flags & kTpmVCenterAlign) != 0) {
    top -= size.cy / 2;
  } else if ((flags & kTpmBottomAlign) != 0) {
    top -= size.cy;
  }
  const bool centred_x = (flags & kTpmCenterAlign) != 0;
  const bool right = !centred_x && (flags & kTpmRightAlign) != 0;
  const bool centred_y = (flags & kTpmVCenterAlign) != 0;
  const bool bottom = !centred_y && (flags & kTpmBottomAlign) != 0;
  left = Place(point.x, size.cx, left, !centred_x && !right, right, screen.cx);
  top = Place(point.y, size.cy, top, !centred_y && !bottom, bottom, screen.cy);
  return {left, top, left + size.cx, top + size.cy};
}

int TrackPopupMenu(const Menu& menu, unsigned flags, int x, int y, Window& owner, CommandTarget* route) {
  if (!owner.IsWindow()) return 0;
  const WindowHandle owner_handle = owner.Handle();
  const bool notify = (flags & kTpmNoNotify) == 0;
  Menu shown = menu;
  if (notify) {
    owner.SendMessage(kWmInitMenuPopup, reinterpret_cast<WParam>(&shown), MakeLParam(0, 0));
    if (Window::FromHandle(owner_handle) != &owner) return 0;
    if (route != nullptr) {
      shown.UpdateItems(*route);
    } else if (auto* frame = dynamic_cast<FrameWindow*>(&owner)) {
      frame->OnInitMenuPopup(shown);
    }
  }
  PopupRequest request;
  request.owner = &owner;
  request.screen_point = {x, y};
  request.flags = flags;
  request.menu = &shown;
  int chosen = Windows().ShowPopupMenu(request);
  const MenuItem* item = chosen != 0 ? shown.FindItem(chosen) : nullptr;
  if (item == nullptr || !item->enabled) chosen = 0;
  if (Window::FromHandle(owner_handle) != &owner) return (flags & kTpmReturnCmd) != 0 ? chosen : 0;
  if (notify) owner.SendMessage(kWmMenuSelect, MakeWParam(0, kMfMenuClosed), 0);
  if ((flags & kTpmReturnCmd) != 0) return chosen;
  if (chosen != 0 && Window::FromHandle(owner_handle) == &owner) {
    owner.PostMessage(kWmCommand, MakeWParam(chosen, 0), 0);
  }
  return 1;
}

// ---------------------------------------------------------------------------------------------
// The window system's side: the host, or the scripted answers.

std::optional<int> WindowSystem::NextPopupAnswer(const PopupRequest& request) {
  if (popup_answers_.empty()) return std::nullopt;
  PopupAnswer answer = std::move(popup_answers_.front());
  popup_answers_.pop_front();
  return answer(request);
}

int WindowSystem::ShowPopupMenu(const PopupRequest& request) {
  Host* host = request.owner != nullptr ? HostOf(*request.owner) : host_;
  if (host != nullptr) {
    if (const std::optional<int> chosen = host->TrackPopupMenu(request)) return *chosen;
  }
  return NextPopupAnswer(request).value_or(0);
}

int WindowSystem::ShowDropDownList(const PopupRequest& request) {
  Host* host = request.owner != nullptr ? HostOf(*request.owner) : host_;
  if (host != nullptr) {
    if (const std::optional<int> chosen = host->ShowDropDownList(request)) return *chosen;
  }
  return NextPopupAnswer(request).value_or(-1);
}

bool IsContextMenuRequest(uint32_t message, WParam wparam) {
  const bool key = message == kWmKeyDown || message == kWmSysKeyDown;
  const int virtual_key = static_cast<int>(wparam);
  const bool shift_f10 = key && virtual_key == kVkF10 && Windows().IsKeyDown(kVkShift);
  return shift_f10 || (key && virtual_key == kVkApps) || message == kWmContextMenu;
}

}  // namespace win
