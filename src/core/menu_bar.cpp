#include "core/menu_bar.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/core_ids.h"
#include "core/tool_glyphs.h"
#include "gfx/canvas.h"
#include "gfx/font_metrics.h"
#include "win/frame_window.h"
#include "win/system_metrics.h"

namespace {

constexpr int kImageColumn = 24;  // the image and check column left of the texts
constexpr int kTextPadding = 8;
constexpr int kAcceleratorGap = 24;
constexpr int kTitlePadding = 8;

int TextWidth(std::string_view text) {
  return static_cast<int>(std::ceil(gfx::StandardTextWidth(win::MessageFont(), text)));
}

void SplitAccelerator(const std::string& text, std::string& label, std::string& accelerator) {
  const size_t tab = text.find('\t');
  label = MenuDisplayText(text.substr(0, tab));
  accelerator = tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

void WriteText(gfx::Canvas& canvas, std::string_view text, gfx::Rect rect, uint32_t format, gfx::Color color) {
  const gfx::Font old_font = canvas.SelectFont(win::MessageFont());
  const gfx::BkMode old_mode = canvas.SetBkMode(gfx::BkMode::kTransparent);
  const gfx::Color old_color = canvas.SetTextColor(color);
  canvas.DrawText(text, rect, format | gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix);
  canvas.SetTextColor(old_color);
  canvas.SetBkMode(old_mode);
  canvas.SelectFont(old_font);
}

bool IsMnemonicKey(int key) { return (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'); }

}  // namespace

std::string MenuDisplayText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') out += '&', ++i;
      continue;
    }
    out += text[i];
  }
  return out;
}

char MenuMnemonic(std::string_view text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    const auto c = static_cast<unsigned char>(text[i + 1]);
    // Mnemonics are typed keys: letters and digits of the keyboard's own row.
    if (c >= 0x80) return 0;
    return static_cast<char>(std::toupper(c));
  }
  return 0;
}

// --- Pop-up menu ---------------------------------------------------------------------------------------

PopupMenuWnd::PopupMenuWnd(const win::Menu& menu, MenuImageLookup images, PopupMenuOptions options)
    : menu_(menu), images_(std::move(images)), options_(options) {
  int label_width = 0;
  int accelerator_width = 0;
  int y = 2;
  for (size_t i = 0; i < menu_.Count(); ++i) {
    const win::MenuItem& item = menu_.At(i);
    item_tops_.push_back(y);
    if (item.separator) {
      y += kSeparatorHeight;
      continue;
    }
    std::string label;
    std::string accelerator;
    SplitAccelerator(item.text, label, accelerator);
    label_width = std::max(label_width, TextWidth(label));
    if (!accelerator.empty()) accelerator_width = std::max(accelerator_width, TextWidth(accelerator));
    y += kItemHeight;
  }
  item_tops_.push_back(y);
  width_ = kImageColumn + kTextPadding + label_width + (accelerator_width > 0 ? kAcceleratorGap + accelerator_width : 0) +
           kTextPadding * 2;
  width_ = std::max(width_, 120);
  height_ = y + 2;
}

bool PopupMenuWnd::Open(win::Window* owner, gfx::Point screen_point) {
  const gfx::Size screen = win::Windows().ScreenSize();
  const int x = std::clamp(screen_point.x, 0, std::max(0, screen.cx - width_));
  const int y = std::clamp(screen_point.y, 0, std::max(0, screen.cy - height_));
  if (!Create(owner, {x, y, x + width_, y + height_}, win::kWsPopup | win::kWsVisible | win::kWsBorder)) return false;
  SetBackground(win::GetSysColor(win::SysColor::kMenu));
  SetFocus();
  SetCapture();
  if (options_.keyboard) {
    MoveHighlight(1);
  } else {
    // Nothing lit yet: the pop-up itself is what is selected.
    NotifyOwner(0, win::kMfPopup);
  }
  return true;
}

gfx::Rect PopupMenuWnd::ItemRect(size_t index) const {
  if (index + 1 >= item_tops_.size()) return {};
  return {2, item_tops_[index], width_ - 2, item_tops_[index + 1]};
}

bool PopupMenuWnd::Selectable(size_t index) const {
  if (index >= menu_.Count()) return false;
  const win::MenuItem& item = menu_.At(index);
  return !item.separator && item.popup == nullptr && item.enabled && item.id != 0;
}

int PopupMenuWnd::ItemAt(gfx::Point point) const {
  for (size_t i = 0; i < menu_.Count(); ++i) {
    if (ItemRect(i).Contains(point)) return static_cast<int>(i);
  }
  return -1;
}

void PopupMenuWnd::ChooseItem(size_t index) {
  if (Selectable(index)) Finish(Ending::kChosen, menu_.At(index).id);
}

void PopupMenuWnd::Close(int chosen) { Finish(chosen != 0 ? Ending::kChosen : Ending::kDismissed, chosen); }

void PopupMenuWnd::Finish(Ending how, int chosen) {
  if (closed_) return;
  closed_ = true;
  ending_ = how;
  chosen_ = chosen;
  if (win::Windows().GetCapture() == this) win::Windows().ReleaseCapture();
  NotifyOwner(0, win::kMfMenuClosed);
  DestroyWindow();
}

void PopupMenuWnd::NotifyOwner(int id, int flags) {
  win::Window* owner = GetOwner();
  if (!options_.notify_owner || owner == nullptr || !owner->IsWindow()) return;
  owner->SendMessage(win::kWmMenuSelect, win::MakeWParam(id, flags), 0);
}

void PopupMenuWnd::SetHighlight(int index) {
  if (index == highlighted_) return;
  highlighted_ = index;
  Invalidate();
  if (index < 0 || static_cast<size_t>(index) >= menu_.Count()) {
    NotifyOwner(0, win::kMfPopup);
    return;
  }
  const win::MenuItem& item = menu_.At(static_cast<size_t>(index));
  int flags = item.enabled ? 0 : win::kMfGrayed;
  if (item.separator) flags |= win::kMfSeparator;
  if (item.popup != nullptr) flags |= win::kMfPopup;
  NotifyOwner(item.separator || item.popup != nullptr ? 0 : item.id, flags);
}

void PopupMenuWnd::MoveHighlight(int step) {
  const int count = static_cast<int>(menu_.Count());
  if (count == 0) return;
  int index = highlighted_;
  for (int tries = 0; tries < count; ++tries) {
    index = index < 0 ? (step > 0 ? 0 : count - 1) : (index + step + count) % count;
    if (!menu_.At(static_cast<size_t>(index)).separator) break;
  }
  SetHighlight(index);
}

void PopupMenuWnd::OnMnemonic(char letter) {
  std::vector<int> matches;
  for (size_t i = 0; i < menu_.Count(); ++i) {
    const win::MenuItem& item = menu_.At(i);
    if (!item.separator && MenuMnemonic(item.text) == letter) matches.push_back(static_cast<int>(i));
  }
  if (matches.empty()) {
    win::Windows().MessageBeep();
    return;
  }
  if (matches.size() == 1) {
    // The one entry with the letter runs at once; a disabled one is only lit.
    SetHighlight(matches.front());
    ChooseItem(static_cast<size_t>(matches.front()));
    return;
  }
  // Several entries share the letter: each press lights the next of them.
  const auto next = std::upper_bound(matches.begin(), matches.end(), highlighted_);
  SetHighlight(next != matches.end() ? *next : matches.front());
}

void PopupMenuWnd::OnPaint(gfx::Canvas& canvas, const gfx::Rect&) {
  const gfx::Rect client = GetClientRect();
  canvas.FillSolidRect(client, win::GetSysColor(win::SysColor::kMenu));
  DrawEdge3d(canvas, client, false);
  for (size_t i = 0; i < menu_.Count(); ++i) {
    const win::MenuItem& item = menu_.At(i);
    const gfx::Rect r = ItemRect(i);
    if (item.separator) {
      const int mid = (r.top + r.bottom) / 2;
      canvas.FillSolidRect({r.left + 2, mid - 1, r.right - 2, mid}, win::GetSysColor(win::SysColor::kBtnShadow));
      canvas.FillSolidRect({r.left + 2, mid, r.right - 2, mid + 1}, win::GetSysColor(win::SysColor::kBtnHighlight));
      continue;
    }
    const bool lit = static_cast<int>(i) == highlighted_ && item.enabled;
    if (lit) canvas.FillSolidRect(r, win::GetSysColor(win::SysColor::kHighlight));
    const gfx::Color color = !item.enabled ? win::GetSysColor(win::SysColor::kGrayText)
                             : lit         ? win::GetSysColor(win::SysColor::kHighlightText)
                                           : win::GetSysColor(win::SysColor::kMenuText);
    const gfx::Rect image{r.left + 2, r.top + 2, r.left + kImageColumn - 2, r.bottom - 2};
    if (item.check != 0) {
      WriteText(canvas, item.radio ? "\xE2\x80\xA2" : "\xE2\x9C\x93", image, gfx::kDtCenter, color);
    } else if (images_) {
      DrawToolGlyph(canvas, images_(item.id), image, item.enabled);
    }
    std::string label;
    std::string accelerator;
    SplitAccelerator(item.text, label, accelerator);
    const gfx::Rect text{r.left + kImageColumn + kTextPadding, r.top, r.right - kTextPadding, r.bottom};
    WriteText(canvas, label, text, gfx::kDtLeft, color);
    if (!accelerator.empty()) WriteText(canvas, accelerator, text, gfx::kDtRight, color);
    if (item.popup != nullptr) WriteText(canvas, "\xE2\x96\xB8", text, gfx::kDtRight, color);
  }
}

void PopupMenuWnd::OnMouseMove(unsigned, gfx::Point point) {
  const int index = ItemAt(point);
  if (index >= 0 || !GetClientRect().Contains(point)) SetHighlight(index);
}

void PopupMenuWnd::OnLButtonDown(unsigned, gfx::Point point) {
  pressed_inside_ = GetClientRect().Contains(point);
  if (!pressed_inside_) Close(0);
}

void PopupMenuWnd::OnLButtonUp(unsigned, gfx::Point point) {
  const int index = ItemAt(point);
  // The release of the click that opened the menu lands here too: only a press inside chooses.
  if (index >= 0 && pressed_inside_) ChooseItem(static_cast<size_t>(index));
}

void PopupMenuWnd::OnRButtonDown(unsigned, gfx::Point point) {
  if (!GetClientRect().Contains(point)) Close(0);
}

void PopupMenuWnd::OnKeyDown(int virtual_key, unsigned, unsigned) {
  switch (virtual_key) {
    case win::kVkEscape:
      Finish(Ending::kEscape, 0);
      return;
    case win::kVkMenu:
    case win::kVkF10:
      // The menu keys end menu handling altogether.
      Close(0);
      return;
    case win::kVkDown:
      MoveHighlight(1);
      return;
    case win::kVkUp:
      MoveHighlight(-1);
      return;
    case win::kVkLeft:
      if (options_.neighbours) Finish(Ending::kLeft, 0);
      return;
    case win::kVkRight:
      if (options_.neighbours) Finish(Ending::kRight, 0);
      return;
    case win::kVkReturn:
    case win::kVkSpace:
      if (highlighted_ >= 0) ChooseItem(static_cast<size_t>(highlighted_));
      return;
    default:
      if (IsMnemonicKey(virtual_key)) OnMnemonic(static_cast<char>(virtual_key));
      return;
  }
}

void PopupMenuWnd::OnCaptureChanged(win::Window* new_capture) {
  // Another window took the mouse (a dialog, the window system): the menu gives up.
  if (new_capture != this && !closed_) Close(0);
}

PopupMenuResult TrackPopupMenuEx(const win::Menu& menu, gfx::Point screen_point, win::Window* owner,
                                 win::CommandTarget& target, const MenuImageLookup& images,
                                 const std::function<void(PopupMenuWnd&)>& on_open,
                                 PopupMenuOptions options) {
  win::Menu updated = menu;
  updated.UpdateItems(target);
  // The menu takes the keys while it is open; they go back to where they went before.
  win::Window* focus = win::Windows().GetFocus();
  const win::WindowHandle focus_handle = focus != nullptr ? focus->Handle() : 0;
  PopupMenuWnd popup(updated, images, options);
  if (!popup.Open(owner, screen_point)) return {};
  if (on_open) on_open(popup);
  if (!popup.Closed()) win::Windows().RunModalLoop([&] { return popup.Closed(); }, &popup);
  if (!popup.Closed()) popup.Close(0);
  if (win::Window* back = win::Window::FromHandle(focus_handle);
      back != nullptr && win::Windows().GetFocus() == nullptr) {
    back->SetFocus();
  }
  return {popup.Chosen(), popup.HowEnded()};
}

int TrackPopupMenu(const win::Menu& menu, gfx::Point screen_point, win::Window* owner, win::CommandTarget& target,
                   const MenuImageLookup& images, const std::function<void(PopupMenuWnd&)>& on_open,
                   PopupMenuOptions options) {
  return TrackPopupMenuEx(menu, screen_point, owner, target, images, on_open, options).chosen;
}

// --- Menu bar -------------------------------------------------------------------------------------------

MenuBarWnd::MenuBarWnd(win::FrameWindow& frame, MenuImageLookup images) : frame_(frame), images_(std::move(images)) {}

bool MenuBarWnd::Create(const gfx::Rect& rect) {
  if (!Window::Create(&frame_, rect, win::kWsChild | win::kWsVisible, core_ids::kMenuBarId)) return false;
  SetBackground(win::GetSysColor(win::SysColor::kMenu));
  SetAcceptsFocus(false);
  return true;
}

void MenuBarWnd::OnDestroy() {
  if (mouse_filter_ != 0) win::Windows().RemoveInputFilter(mouse_filter_);
  mouse_filter_ = 0;
  keyboard_mode_ = false;
}

std::vector<gfx::Rect> MenuBarWnd::Titles() const {
  std::vector<gfx::Rect> titles;
  const win::Menu* menu = frame_.GetMenu();
  if (menu == nullptr) return titles;
  int x = 2;
  for (size_t i = 0; i < menu->Count(); ++i) {
    const int width = TextWidth(MenuDisplayText(menu->At(i).text)) + 2 * kTitlePadding;
    titles.push_back({x, 1, x + width, kHeight - 1});
    x += width;
  }
  return titles;
}

size_t MenuBarWnd::TitleCount() const {
  const win::Menu* menu = frame_.GetMenu();
  return menu != nullptr ? menu->Count() : 0;
}

gfx::Rect MenuBarWnd::TitleRect(size_t index) const {
  const std::vector<gfx::Rect> titles = Titles();
  return index < titles.size() ? titles[index] : gfx::Rect{};
}

int MenuBarWnd::FindTitle(int key) const {
  const win::Menu* menu = frame_.GetMenu();
  if (menu == nullptr || !IsMnemonicKey(std::toupper(key))) return -1;
  for (size_t i = 0; i < menu->Count(); ++i) {
    if (MenuMnemonic(menu->At(i).text) == static_cast<char>(std::toupper(key))) return static_cast<int>(i);
  }
  return -1;
}

int MenuBarWnd::OpenPopup(size_t index, const std::function<void(PopupMenuWnd&)>& on_open) {
  return Track(index, false, on_open);
}

int MenuBarWnd::OpenPopupFromKeyboard(size_t index, const std::function<void(PopupMenuWnd&)>& on_open) {
  return Track(index, true, on_open);
}

int MenuBarWnd::Track(size_t index, bool keyboard, const std::function<void(PopupMenuWnd&)>& on_open) {
  win::Menu* menu = frame_.GetMenu();
  if (menu == nullptr || index >= menu->Count()) return 0;
  const size_t count = menu->Count();
  // The pop-up takes the keys now; Esc brings the mode back.
  DropKeyboardMode(false);
  // Left and Right walk along the titles with a pop-up open, as long as the user goes on.
  for (size_t steps = 0; steps <= 64; ++steps) {
    menu = frame_.GetMenu();
    if (menu == nullptr || index >= menu->Count() || menu->SubMenu(index) == nullptr || !IsWindow()) break;
    win::Menu popup = *menu->SubMenu(index);
    if (prepare_) prepare_(popup);
    const gfx::Rect title = TitleRect(index);
    open_index_ = static_cast<int>(index);
    Invalidate();
    PopupMenuOptions options;
    options.keyboard = keyboard;
    options.neighbours = true;
    const gfx::Point below = ClientToScreen(gfx::Point{title.left, title.bottom + 1});
    std::optional<PopupMenuResult> shown;
    // A caller that drives the pop-up itself gets the drawn one.
    if (!on_open) shown = TrackHostPopup(popup, below, keyboard);
    win::CommandTarget& states = route_ != nullptr ? *route_ : static_cast<win::CommandTarget&>(frame_);
    const PopupMenuResult result =
        shown ? *shown : TrackPopupMenuEx(popup, below, &frame_, states, images_, on_open, options);
    if (!IsWindow()) return result.chosen;
    open_index_ = -1;
    Invalidate();
    switch (result.how) {
      case PopupMenuWnd::Ending::kLeft:
        index = (index + count - 1) % count;
        keyboard = true;
        continue;
      case PopupMenuWnd::Ending::kRight:
        index = (index + 1) % count;
        keyboard = true;
        continue;
      case PopupMenuWnd::Ending::kEscape:
        // Back to the title, in keyboard mode.
        EnterKeyboardMode(index);
        return 0;
      default:
        LeaveKeyboardMode();
        if (result.chosen != 0 && frame_.IsWindow()) {
          if (send_) {
            send_(result.chosen);
          } else {
            frame_.PostMessage(win::kWmCommand, static_cast<win::WParam>(result.chosen), 0);
          }
        }
        return result.chosen;
    }
  }
  LeaveKeyboardMode();
  return 0;
}

std::optional<PopupMenuResult> MenuBarWnd::TrackHostPopup(const win::Menu& popup, gfx::Point screen_point,
                                                          bool keyboard) {
  win::Host* host = win::Windows().HostOf(frame_);
  if (host == nullptr) return std::nullopt;
  win::Menu updated = popup;
  // The sub-menus too: the host opens them without asking again.
  updated.UpdateAll(route_ != nullptr ? *route_ : static_cast<win::CommandTarget&>(frame_));
  win::PopupRequest request;
  request.owner = &frame_;
  request.screen_point = screen_point;
  request.menu = &updated;
  request.menu_bar = true;
  request.keyboard = keyboard;
  const std::optional<int> answer = host->TrackPopupMenu(request);
  if (!answer) return std::nullopt;
  PopupMenuResult result;
  switch (*answer) {
    case win::kPopupEndedLeft:
      result.how = PopupMenuWnd::Ending::kLeft;
      break;
    case win::kPopupEndedRight:
      result.how = PopupMenuWnd::Ending::kRight;
      break;
    case win::kPopupEndedEscape:
      result.how = PopupMenuWnd::Ending::kEscape;
      break;
    default:
      // Only an enabled command entry counts as a choice.
      if (const win::MenuItem* item = *answer > 0 ? updated.FindItem(*answer) : nullptr;
          item != nullptr && item->enabled) {
        result.chosen = *answer;
        result.how = PopupMenuWnd::Ending::kChosen;
      }
      break;
  }
  if (frame_.IsWindow()) frame_.SendMessage(win::kWmMenuSelect, win::MakeWParam(0, win::kMfMenuClosed), 0);
  return result;
}

void MenuBarWnd::SetHot(int index) {
  if (index == hot_index_) return;
  hot_index_ = index;
  Invalidate();
  // A lit title is a pop-up: the status bar shows no prompt for it.
  if (index >= 0) frame_.SendMessage(win::kWmMenuSelect, win::MakeWParam(0, win::kMfPopup), 0);
}

void MenuBarWnd::EnterKeyboardMode(size_t index) {
  if (!IsWindow() || TitleCount() == 0) return;
  leave_on_alt_up_ = false;
  if (!keyboard_mode_) {
    keyboard_mode_ = true;
    // Any click ends the mode; a click on a title then opens it as usual.
    mouse_filter_ = win::Windows().AddInputFilter([this](const win::InputMessage& input) {
      if (input.message == win::kWmLButtonDown || input.message == win::kWmRButtonDown ||
          input.message == win::kWmMButtonDown) {
        LeaveKeyboardMode();
      }
    });
  }
  SetHot(static_cast<int>(std::min(index, TitleCount() - 1)));
}

void MenuBarWnd::LeaveKeyboardMode() { DropKeyboardMode(true); }

void MenuBarWnd::DropKeyboardMode(bool notify) {
  if (!keyboard_mode_) return;
  keyboard_mode_ = false;
  leave_on_alt_up_ = false;
  hot_index_ = -1;
  if (mouse_filter_ != 0) win::Windows().RemoveInputFilter(mouse_filter_);
  mouse_filter_ = 0;
  if (IsWindow()) Invalidate();
  if (notify && frame_.IsWindow()) {
    frame_.SendMessage(win::kWmMenuSelect, win::MakeWParam(0, win::kMfMenuClosed), 0);
  }
}

bool MenuBarWnd::HandleKey(uint32_t message, int key) {
  if (!keyboard_mode_) return false;
  const size_t count = TitleCount();
  if (count == 0) {
    LeaveKeyboardMode();
    return false;
  }
  const bool down = message == win::kWmKeyDown || message == win::kWmSysKeyDown;
  if (message == win::kWmSysKeyUp && key == win::kVkMenu) {
    if (leave_on_alt_up_) LeaveKeyboardMode();
    return true;
  }
  if (!down) return true;  // key ups and characters of the mode's keys
  leave_on_alt_up_ = key == win::kVkMenu;
  const auto hot = static_cast<size_t>(std::max(hot_index_, 0));
  switch (key) {
    case win::kVkMenu:
      return true;
    case win::kVkEscape:
    case win::kVkF10:
      LeaveKeyboardMode();
      return true;
    case win::kVkLeft:
      SetHot(static_cast<int>((hot + count - 1) % count));
      return true;
    case win::kVkRight:
      SetHot(static_cast<int>((hot + 1) % count));
      return true;
    case win::kVkDown:
    case win::kVkUp:
    case win::kVkReturn:
      OpenPopupFromKeyboard(hot);
      return true;
    default:
      break;
  }
  if (IsMnemonicKey(key)) {
    const int title = FindTitle(key);
    if (title >= 0) {
      OpenPopupFromKeyboard(static_cast<size_t>(title));
    } else {
      win::Windows().MessageBeep();
    }
  }
  return true;
}

void MenuBarWnd::OnPaint(gfx::Canvas& canvas, const gfx::Rect&) {
  const gfx::Rect client = GetClientRect();
  canvas.FillSolidRect(client, win::GetSysColor(win::SysColor::kMenu));
  const win::Menu* menu = frame_.GetMenu();
  if (menu == nullptr) return;
  const std::vector<gfx::Rect> titles = Titles();
  for (size_t i = 0; i < titles.size(); ++i) {
    const bool lit = static_cast<int>(i) == open_index_ || static_cast<int>(i) == HotTitle();
    if (lit) canvas.FillSolidRect(titles[i], win::GetSysColor(win::SysColor::kHighlight));
    const gfx::Color color = lit ? win::GetSysColor(win::SysColor::kHighlightText)
                                 : win::GetSysColor(win::SysColor::kMenuText);
    WriteText(canvas, MenuDisplayText(menu->At(i).text), titles[i], gfx::kDtCenter, color);
  }
}

void MenuBarWnd::OnLButtonDown(unsigned, gfx::Point point) {
  const std::vector<gfx::Rect> titles = Titles();
  for (size_t i = 0; i < titles.size(); ++i) {
    if (titles[i].Contains(point)) {
      OpenPopup(i);
      return;
    }
  }
}
