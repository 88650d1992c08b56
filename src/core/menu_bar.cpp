#include "core/menu_bar.h"

#include <algorithm>
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

// --- Pop-up menu ---------------------------------------------------------------------------------------

PopupMenuWnd::PopupMenuWnd(const win::Menu& menu, MenuImageLookup images)
    : menu_(menu), images_(std::move(images)) {
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
  if (Selectable(index)) Close(menu_.At(index).id);
}

void PopupMenuWnd::Close(int chosen) {
  if (closed_) return;
  closed_ = true;
  chosen_ = chosen;
  if (win::Windows().GetCapture() == this) win::Windows().ReleaseCapture();
  DestroyWindow();
}

void PopupMenuWnd::MoveHighlight(int step) {
  const int count = static_cast<int>(menu_.Count());
  if (count == 0) return;
  int index = highlighted_;
  for (int tries = 0; tries < count; ++tries) {
    index = index < 0 ? (step > 0 ? 0 : count - 1) : (index + step + count) % count;
    if (!menu_.At(static_cast<size_t>(index)).separator) break;
  }
  if (index != highlighted_) {
    highlighted_ = index;
    Invalidate();
  }
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
  if (index != highlighted_ && (index >= 0 || !GetClientRect().Contains(point))) {
    highlighted_ = index;
    Invalidate();
  }
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
      Close(0);
      return;
    case win::kVkDown:
      MoveHighlight(1);
      return;
    case win::kVkUp:
      MoveHighlight(-1);
      return;
    case win::kVkReturn:
    case win::kVkSpace:
      if (highlighted_ >= 0) ChooseItem(static_cast<size_t>(highlighted_));
      return;
    default:
      return;
  }
}

void PopupMenuWnd::OnCaptureChanged(win::Window* new_capture) {
  // Another window took the mouse (a dialog, the window system): the menu gives up.
  if (new_capture != this && !closed_) Close(0);
}

int TrackPopupMenu(const win::Menu& menu, gfx::Point screen_point, win::Window* owner, win::CommandTarget& target,
                   const MenuImageLookup& images, const std::function<void(PopupMenuWnd&)>& on_open) {
  win::Menu updated = menu;
  updated.UpdateItems(target);
  PopupMenuWnd popup(updated, images);
  if (!popup.Open(owner, screen_point)) return 0;
  if (on_open) on_open(popup);
  if (!popup.Closed()) win::Windows().RunModalLoop([&] { return popup.Closed(); }, &popup);
  if (!popup.Closed()) popup.Close(0);
  return popup.Chosen();
}

// --- Menu bar -------------------------------------------------------------------------------------------

MenuBarWnd::MenuBarWnd(win::FrameWindow& frame, MenuImageLookup images) : frame_(frame), images_(std::move(images)) {}

bool MenuBarWnd::Create(const gfx::Rect& rect) {
  if (!Window::Create(&frame_, rect, win::kWsChild | win::kWsVisible, core_ids::kMenuBarId)) return false;
  SetBackground(win::GetSysColor(win::SysColor::kMenu));
  SetAcceptsFocus(false);
  return true;
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

gfx::Rect MenuBarWnd::TitleRect(size_t index) const {
  const std::vector<gfx::Rect> titles = Titles();
  return index < titles.size() ? titles[index] : gfx::Rect{};
}

int MenuBarWnd::OpenPopup(size_t index, const std::function<void(PopupMenuWnd&)>& on_open) {
  win::Menu* menu = frame_.GetMenu();
  if (menu == nullptr || index >= menu->Count() || menu->SubMenu(index) == nullptr) return 0;
  win::Menu popup = *menu->SubMenu(index);
  if (prepare_) prepare_(popup);
  const gfx::Rect title = TitleRect(index);
  open_index_ = static_cast<int>(index);
  Invalidate();
  const int chosen = TrackPopupMenu(popup, ClientToScreen(gfx::Point{title.left, title.bottom + 1}), &frame_, frame_,
                                    images_, on_open);
  if (IsWindow()) {
    open_index_ = -1;
    Invalidate();
  }
  if (chosen != 0 && frame_.IsWindow()) frame_.PostMessage(win::kWmCommand, static_cast<win::WParam>(chosen), 0);
  return chosen;
}

void MenuBarWnd::OnPaint(gfx::Canvas& canvas, const gfx::Rect&) {
  const gfx::Rect client = GetClientRect();
  canvas.FillSolidRect(client, win::GetSysColor(win::SysColor::kMenu));
  const win::Menu* menu = frame_.GetMenu();
  if (menu == nullptr) return;
  const std::vector<gfx::Rect> titles = Titles();
  for (size_t i = 0; i < titles.size(); ++i) {
    const bool open = static_cast<int>(i) == open_index_;
    if (open) canvas.FillSolidRect(titles[i], win::GetSysColor(win::SysColor::kHighlight));
    const gfx::Color color = open ? win::GetSysColor(win::SysColor::kHighlightText)
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
