#include "win/toolbar_window.h"

#include <algorithm>

#include "gfx/canvas.h"
#include "win/command_target.h"
#include "win/control_drawing.h"
#include "win/image_list.h"
#include "win/system_metrics.h"

namespace win {
namespace {

constexpr uintptr_t kFlyByTimer = 1;
constexpr uintptr_t kToolTipTimer = 2;
constexpr uintptr_t kToolTipShowTimer = 3;

bool IsMouseMessage(uint32_t message) { return message >= kWmMouseMove && message <= kWmMButtonUp; }

bool IsButtonDown(uint32_t message) {
  return message == kWmLButtonDown || message == kWmRButtonDown || message == kWmMButtonDown ||
         message == kWmLButtonDblClk;
}

bool IsPushable(const ToolButton& button) {
  return !button.hidden && button.style != ToolButtonStyle::kSeparator;
}

}  // namespace

bool ToolBarWindow::CreateToolBar(Window& parent, const gfx::Rect& rect, int id, uint32_t style,
                                  Window* command_window) {
  command_window_ = command_window != nullptr ? command_window : &parent;
  if (!Create(&parent, rect, kWsChild | kWsVisible | style, id)) return false;
  SetBackground(GetSysColor(SysColor::kBtnFace));
  SetAcceptsFocus(false);
  return true;
}

void ToolBarWindow::SetDropDownArrow(int id, bool on) {
  if (on) {
    drop_down_.insert(id);
  } else {
    drop_down_.erase(id);
  }
  Invalidate();
}

void ToolBarWindow::SetSeparatorWidth(int id, int width) {
  separator_widths_.emplace_back(id, width);
  Invalidate();
}

int ToolBarWindow::ButtonWidth(const ToolButton& button) const {
  if (button.hidden) return 0;
  for (const auto& [id, width] : separator_widths_) {
    if (id == button.id && button.style == ToolButtonStyle::kSeparator) return width;
  }
  if (button.style == ToolButtonStyle::kSeparator) return kSeparatorWidth;
  return kButtonWidth + (drop_down_.contains(button.id) ? kArrowWidth : 0);
}

gfx::Rect ToolBarWindow::ButtonRect(size_t index) const {
  int x = 4;
  for (size_t i = 0; i < model_.Count(); ++i) {
    const int width = ButtonWidth(model_.At(i));
    if (i == index) return {x, 3, x + width, 3 + kButtonHeight};
    x += width;
  }
  return {};
}

int ToolBarWindow::NeededWidth() const {
  int width = 8;
  for (size_t i = 0; i < model_.Count(); ++i) width += ButtonWidth(model_.At(i));
  return width;
}

void ToolBarWindow::Refresh() {
  std::vector<std::pair<bool, bool>> states;
  for (size_t i = 0; i < model_.Count(); ++i) states.emplace_back(model_.At(i).enabled, model_.At(i).checked);
  if (states != painted_states_) Invalidate();
}

void ToolBarWindow::UpdateButtons() {
  if (command_window_ != nullptr && command_window_->IsWindow()) model_.Update(*command_window_);
  if (hot_index_ >= 0 && (static_cast<size_t>(hot_index_) >= model_.Count() ||
                          !model_.At(static_cast<size_t>(hot_index_)).enabled)) {
    SetHot(-1);
  }
  Refresh();
}

void ToolBarWindow::DrawButtonImage(gfx::Canvas& canvas, const ToolButton& button, const gfx::Rect& box,
                                    bool enabled) {
  if (images_ == nullptr || button.image < 0) return;
  const gfx::Size size = images_->ImageSize();
  images_->Draw(canvas, button.image,
                {box.left + (box.Width() - size.cx) / 2, box.top + (box.Height() - size.cy) / 2}, !enabled,
                GetSysColor(SysColor::kBtnFace));
}

std::string ToolBarWindow::ToolTipText(int id) const {
  const std::optional<size_t> index = model_.CommandToIndex(id);
  return index ? model_.At(*index).tooltip : std::string();
}

void ToolBarWindow::OnPaint(gfx::Canvas& canvas, const gfx::Rect&) {
  const gfx::Rect client = GetClientRect();
  canvas.FillSolidRect(client, GetSysColor(SysColor::kBtnFace));
  DrawEdge3d(canvas, client, false);
  // The gripper of a docked bar.
  canvas.FillSolidRect({2, 4, 3, client.bottom - 4}, GetSysColor(SysColor::kBtnShadow));
  painted_states_.clear();
  for (size_t i = 0; i < model_.Count(); ++i) {
    const ToolButton& button = model_.At(i);
    painted_states_.emplace_back(button.enabled, button.checked);
    if (!IsPushable(button)) {
      if (!button.hidden && button.id == 0) {
        const gfx::Rect r = ButtonRect(i);
        const int mid = (r.left + r.right) / 2;
        canvas.FillSolidRect({mid - 1, r.top + 2, mid, r.bottom - 2}, GetSysColor(SysColor::kBtnShadow));
        canvas.FillSolidRect({mid, r.top + 2, mid + 1, r.bottom - 2}, GetSysColor(SysColor::kBtnHighlight));
      }
      continue;
    }
    const gfx::Rect r = ButtonRect(i);
    const bool pressed = static_cast<int>(i) == pressed_ || button.checked;
    if (pressed) {
      DrawEdge3d(canvas, r, true);
    } else if (IsFlat() && static_cast<int>(i) == hot_index_) {
      DrawEdge3d(canvas, r, false);
    }
    gfx::Rect image{r.left, r.top, r.left + kButtonWidth, r.bottom};
    if (pressed) image = image.Offset(1, 1);
    DrawButtonImage(canvas, button, image, button.enabled);
    if (drop_down_.contains(button.id)) {
      const int ax = r.right - kArrowWidth / 2 - 1;
      const int ay = (r.top + r.bottom) / 2;
      const gfx::Color color =
          button.enabled ? GetSysColor(SysColor::kBtnText) : GetSysColor(SysColor::kGrayText);
      for (int row = 0; row < 3; ++row) {
        canvas.FillSolidRect({ax - 2 + row, ay - 1 + row, ax + 3 - row, ay + row}, color);
      }
    }
  }
}

int ToolBarWindow::ButtonAt(gfx::Point point) const {
  for (size_t i = 0; i < model_.Count(); ++i) {
    const ToolButton& button = model_.At(i);
    if (IsPushable(button) && button.enabled && ButtonRect(i).Contains(point)) return static_cast<int>(i);
  }
  return -1;
}

void ToolBarWindow::SetHot(int index) {
  if (index == hot_index_) return;
  hot_index_ = index;
  if (IsFlat()) Invalidate();
}

void ToolBarWindow::OnLButtonDown(unsigned, gfx::Point point) {
  for (size_t i = 0; i < model_.Count(); ++i) {
    const ToolButton& button = model_.At(i);
    const gfx::Rect r = ButtonRect(i);
    if (!r.Contains(point) || !IsPushable(button)) continue;
    if (!button.enabled) return;
    if (drop_down_.contains(button.id) && point.x >= r.right - kArrowWidth) {
      if (drop_down_handler_) drop_down_handler_(button.id, ClientToScreen(r));
      return;
    }
    pressed_ = static_cast<int>(i);
    SetCapture();
    Invalidate();
    return;
  }
}

void ToolBarWindow::ApplyCheckStyle(size_t index) {
  ToolButton& button = model_.At(index);
  if (button.style == ToolButtonStyle::kCheck) {
    button.checked = !button.checked;
  } else if (button.style == ToolButtonStyle::kCheckGroup) {
    size_t first = index;
    while (first > 0 && model_.At(first - 1).style == ToolButtonStyle::kCheckGroup) --first;
    for (size_t i = first; i < model_.Count() && model_.At(i).style == ToolButtonStyle::kCheckGroup; ++i) {
      model_.At(i).checked = i == index;
    }
  }
}

void ToolBarWindow::OnLButtonUp(unsigned, gfx::Point point) {
  if (pressed_ < 0) return;
  const size_t index = static_cast<size_t>(pressed_);
  pressed_ = -1;
  if (Windows().GetCapture() == this) Windows().ReleaseCapture();
  Invalidate();
  if (index >= model_.Count() || !ButtonRect(index).Contains(point) || !model_.At(index).enabled) return;
  ApplyCheckStyle(index);
  if (command_window_ != nullptr && command_window_->IsWindow()) {
    command_window_->PostMessage(kWmCommand, static_cast<WParam>(model_.At(index).id), 0);
  }
}

int ToolBarWindow::ToolHitTest(gfx::Point point) const {
  for (const Window* child : Children()) {
    if (child->GetDlgCtrlID() != 0 && child->IsWindowVisible() &&
        child->GetWindowRectInParent().Contains(point)) {
      return child->GetDlgCtrlID();
    }
  }
  for (size_t i = 0; i < model_.Count(); ++i) {
    const ToolButton& button = model_.At(i);
    if (!IsPushable(button) || button.id == 0) continue;
    if (ButtonRect(i).Contains(point)) return button.id;
  }
  return 0;
}

bool ToolBarWindow::PreTranslateMessage(uint32_t message, WParam, LParam) {
  if (IsMouseMessage(message)) TrackTool(message);
  return false;
}

void ToolBarWindow::TrackTool(uint32_t message) {
  const gfx::Point point = ScreenToClient(Windows().CursorPos());
  SetHot(ButtonAt(point));
  const int hit = ToolHitTest(point);
  if (IsButtonDown(message)) {
    // A click puts the tip away; it comes back only on another tool.
    HideToolTip();
    KillTimer(kToolTipTimer);
    tip_suppressed_ = hit;
  }
  if (hit != hover_tool_) {
    hover_tool_ = hit;
    if (hit != tip_suppressed_) tip_suppressed_ = 0;
    if (hit == 0) {
      HideToolTip();
      KillTimer(kToolTipTimer);
      KillTimer(kFlyByTimer);
      SetStatusText(0);
    } else {
      // Once a tip or a prompt shows, the next tool's follow without the wait.
      if (tip_shown_) {
        ShowToolTip();
      } else if (hit != tip_suppressed_) {
        SetTimer(kToolTipTimer, kToolTipDelayMs);
      }
      if (status_set_) {
        SetStatusText(hit);
      } else {
        SetTimer(kFlyByTimer, kFlyByDelayMs);
      }
    }
  }
  if (message == kWmLButtonUp && hit != 0) {
    KillTimer(kFlyByTimer);
    SetStatusText(0);
  }
}

void ToolBarWindow::OnMouseLeave() {
  SetHot(-1);
  hover_tool_ = 0;
  tip_suppressed_ = 0;
  HideToolTip();
  KillTimer(kToolTipTimer);
  KillTimer(kFlyByTimer);
  SetStatusText(0);
}

void ToolBarWindow::OnTimer(uintptr_t id) {
  if (id != kFlyByTimer && id != kToolTipTimer && id != kToolTipShowTimer) return;
  KillTimer(id);
  // Nothing pops up over a window that a modal dialog holds.
  const Window* top = GetTopLevel();
  const bool usable = top != nullptr && top->IsInputEnabled() && hover_tool_ != 0;
  if (id == kFlyByTimer) {
    if (usable) SetStatusText(hover_tool_);
  } else if (id == kToolTipTimer) {
    if (usable && hover_tool_ != tip_suppressed_) ShowToolTip();
  } else {
    HideToolTip();
    tip_suppressed_ = hover_tool_;
  }
}

void ToolBarWindow::OnDestroy() {
  HideToolTip();
  hover_tool_ = 0;
  hot_index_ = -1;
  pressed_ = -1;
  status_set_ = false;
}

void ToolBarWindow::SetStatusText(int id) {
  if (command_window_ == nullptr || !command_window_->IsWindow()) return;
  if (id == 0) {
    if (!status_set_) return;
    status_set_ = false;
    command_window_->SendMessage(kWmSetMessageString, static_cast<WParam>(idle_message_));
    return;
  }
  status_set_ = true;
  command_window_->SendMessage(kWmSetMessageString, static_cast<WParam>(id));
}

void ToolBarWindow::ShowToolTip() {
  if (hover_tool_ == 0) return;
  const std::string text = ToolTipText(hover_tool_);
  if (text.empty()) {
    HideToolTip();
    return;
  }
  Windows().ShowToolTip(*this, Windows().CursorPos(), text);
  tip_shown_ = true;
  SetTimer(kToolTipShowTimer, kToolTipShowMs);
}

void ToolBarWindow::HideToolTip() {
  if (!tip_shown_) return;
  tip_shown_ = false;
  KillTimer(kToolTipShowTimer);
  const auto& tip = Windows().CurrentToolTip();
  if (tip && tip->owner == Handle()) Windows().HideToolTip();
}

bool ToolBarWindow::OnCommand(WParam wparam, LParam lparam) {
  // The controls on the bar talk to the command window, as docked control bars pass them on.
  if (command_window_ != nullptr && command_window_->IsWindow()) {
    return command_window_->SendMessage(kWmCommand, wparam, lparam) != 0;
  }
  return false;
}

void TextToolBarWindow::DrawButtonImage(gfx::Canvas& canvas, const ToolButton& button, const gfx::Rect& box,
                                        bool enabled) {
  const auto found = std::find_if(texts_.begin(), texts_.end(),
                                  [&](const ButtonText& entry) { return entry.id == button.id; });
  if (found == texts_.end()) return;
  gfx::Font font;
  font.height = 13;
  const gfx::Font old_font = canvas.SelectFont(font);
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  canvas.SetTextColor(GetSysColor(enabled ? SysColor::kBtnText : SysColor::kGrayText));
  gfx::Rect r = box;
  canvas.DrawText(found->text, r, gfx::kDtCenter | gfx::kDtVCenter | gfx::kDtSingleLine);
  canvas.SelectFont(old_font);
}

}  // namespace win
