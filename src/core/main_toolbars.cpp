#include "core/main_toolbars.h"

#include <algorithm>

#include "core/core_ids.h"
#include "core/menu_bar.h"
#include "core/tool_glyphs.h"
#include "gfx/canvas.h"
#include "win/frame_window.h"
#include "win/system_metrics.h"

namespace {

CTimeSpanToolBar* g_time_span_bar = nullptr;

constexpr uintptr_t kFlyByTimer = 1;
constexpr uintptr_t kToolTipTimer = 2;
constexpr uintptr_t kToolTipShowTimer = 3;

bool IsMouseMessage(uint32_t message) { return message >= win::kWmMouseMove && message <= win::kWmMButtonUp; }

bool IsButtonDown(uint32_t message) {
  return message == win::kWmLButtonDown || message == win::kWmRButtonDown || message == win::kWmMButtonDown ||
         message == win::kWmLButtonDblClk;
}

}  // namespace

// --- ToolBarWnd -----------------------------------------------------------------------------------------

bool ToolBarWnd::CreateBar(win::FrameWindow& frame, int resource_id, const gfx::Rect& rect, int id) {
  const std::span<const ToolbarButtonTemplate> buttons = FindToolbarResource(resource_id);
  if (buttons.empty()) return false;
  frame_ = &frame;
  model_ = win::ToolBarModel();
  glyphs_.clear();
  for (const ToolbarButtonTemplate& button : buttons) {
    if (button.id == 0) {
      model_.AddSeparator();
    } else {
      model_.AddButton(button.id, static_cast<int>(glyphs_.size()), win::ToolButtonStyle::kButton,
                       CommandToolTip(button.id));
    }
    glyphs_.push_back(button.glyph);
  }
  if (!Create(&frame, rect, win::kWsChild | win::kWsVisible, id)) return false;
  SetBackground(win::GetSysColor(win::SysColor::kBtnFace));
  SetAcceptsFocus(false);
  return true;
}

void ToolBarWnd::SetDropDownArrow(int id, bool on) {
  if (on) {
    drop_down_.insert(id);
  } else {
    drop_down_.erase(id);
  }
  Invalidate();
}

void ToolBarWnd::SetSeparatorWidth(int id, int width) {
  separator_widths_.emplace_back(id, width);
  Invalidate();
}

int ToolBarWnd::ButtonWidth(const win::ToolButton& button) const {
  if (button.hidden) return 0;
  for (const auto& [id, width] : separator_widths_) {
    if (id == button.id && button.style == win::ToolButtonStyle::kSeparator) return width;
  }
  if (button.style == win::ToolButtonStyle::kSeparator) return kSeparatorWidth;
  return kButtonWidth + (drop_down_.contains(button.id) ? kArrowWidth : 0);
}

gfx::Rect ToolBarWnd::ButtonRect(size_t index) const {
  int x = 4;
  for (size_t i = 0; i < model_.Count(); ++i) {
    const int width = ButtonWidth(model_.At(i));
    if (i == index) return {x, 3, x + width, 3 + kButtonHeight};
    x += width;
  }
  return {};
}

int ToolBarWnd::NeededWidth() const {
  int width = 8;
  for (size_t i = 0; i < model_.Count(); ++i) width += ButtonWidth(model_.At(i));
  return width;
}

void ToolBarWnd::Refresh() {
  std::vector<std::pair<bool, bool>> states;
  for (size_t i = 0; i < model_.Count(); ++i) states.emplace_back(model_.At(i).enabled, model_.At(i).checked);
  if (states != painted_states_) Invalidate();
}

void ToolBarWnd::OnPaint(gfx::Canvas& canvas, const gfx::Rect&) {
  const gfx::Rect client = GetClientRect();
  canvas.FillSolidRect(client, win::GetSysColor(win::SysColor::kBtnFace));
  DrawEdge3d(canvas, client, false);
  // The gripper of a docked bar.
  canvas.FillSolidRect({2, 4, 3, client.bottom - 4}, win::GetSysColor(win::SysColor::kBtnShadow));
  painted_states_.clear();
  for (size_t i = 0; i < model_.Count(); ++i) {
    const win::ToolButton& button = model_.At(i);
    painted_states_.emplace_back(button.enabled, button.checked);
    if (button.hidden || button.style == win::ToolButtonStyle::kSeparator) {
      if (!button.hidden && button.id == 0) {
        const gfx::Rect r = ButtonRect(i);
        const int mid = (r.left + r.right) / 2;
        canvas.FillSolidRect({mid - 1, r.top + 2, mid, r.bottom - 2}, win::GetSysColor(win::SysColor::kBtnShadow));
        canvas.FillSolidRect({mid, r.top + 2, mid + 1, r.bottom - 2}, win::GetSysColor(win::SysColor::kBtnHighlight));
      }
      continue;
    }
    const gfx::Rect r = ButtonRect(i);
    const bool pressed = static_cast<int>(i) == pressed_ || button.checked;
    if (pressed) DrawEdge3d(canvas, r, true);
    gfx::Rect image{r.left, r.top, r.left + kButtonWidth, r.bottom};
    if (pressed) image = image.Offset(1, 1);
    const ToolGlyph glyph = button.image >= 0 && static_cast<size_t>(button.image) < glyphs_.size()
                                ? glyphs_[static_cast<size_t>(button.image)]
                                : ToolGlyph::kNone;
    DrawToolGlyph(canvas, glyph, image, button.enabled);
    if (drop_down_.contains(button.id)) {
      const int ax = r.right - kArrowWidth / 2 - 1;
      const int ay = (r.top + r.bottom) / 2;
      const gfx::Color color = button.enabled ? win::GetSysColor(win::SysColor::kBtnText)
                                              : win::GetSysColor(win::SysColor::kGrayText);
      for (int row = 0; row < 3; ++row) {
        canvas.FillSolidRect({ax - 2 + row, ay - 1 + row, ax + 3 - row, ay + row}, color);
      }
    }
  }
}

void ToolBarWnd::OnLButtonDown(unsigned, gfx::Point point) {
  for (size_t i = 0; i < model_.Count(); ++i) {
    const win::ToolButton& button = model_.At(i);
    const gfx::Rect r = ButtonRect(i);
    if (!r.Contains(point) || button.hidden || button.style == win::ToolButtonStyle::kSeparator) continue;
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

void ToolBarWnd::OnLButtonUp(unsigned, gfx::Point point) {
  if (pressed_ < 0) return;
  const size_t index = static_cast<size_t>(pressed_);
  pressed_ = -1;
  if (win::Windows().GetCapture() == this) win::Windows().ReleaseCapture();
  Invalidate();
  if (index < model_.Count() && ButtonRect(index).Contains(point) && model_.At(index).enabled && frame_ != nullptr) {
    frame_->PostMessage(win::kWmCommand, static_cast<win::WParam>(model_.At(index).id), 0);
  }
}

int ToolBarWnd::ToolHitTest(gfx::Point point) const {
  for (const win::Window* child : Children()) {
    if (child->GetDlgCtrlID() != 0 && child->IsWindowVisible() &&
        child->GetWindowRectInParent().Contains(point)) {
      return child->GetDlgCtrlID();
    }
  }
  for (size_t i = 0; i < model_.Count(); ++i) {
    const win::ToolButton& button = model_.At(i);
    if (button.hidden || button.id == 0 || button.style == win::ToolButtonStyle::kSeparator) continue;
    if (ButtonRect(i).Contains(point)) return button.id;
  }
  return 0;
}

bool ToolBarWnd::PreTranslateMessage(uint32_t message, win::WParam, win::LParam) {
  if (IsMouseMessage(message)) TrackTool(message);
  return false;
}

void ToolBarWnd::TrackTool(uint32_t message) {
  const int hit = ToolHitTest(ScreenToClient(win::Windows().CursorPos()));
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
  if (message == win::kWmLButtonUp && hit != 0) {
    KillTimer(kFlyByTimer);
    SetStatusText(0);
  }
}

void ToolBarWnd::OnMouseLeave() {
  hover_tool_ = 0;
  tip_suppressed_ = 0;
  HideToolTip();
  KillTimer(kToolTipTimer);
  KillTimer(kFlyByTimer);
  SetStatusText(0);
}

void ToolBarWnd::OnTimer(uintptr_t id) {
  if (id != kFlyByTimer && id != kToolTipTimer && id != kToolTipShowTimer) return;
  KillTimer(id);
  // Nothing pops up over a frame that a modal dialog holds.
  const win::Window* top = GetTopLevel();
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

void ToolBarWnd::OnDestroy() {
  HideToolTip();
  hover_tool_ = 0;
  status_set_ = false;
}

void ToolBarWnd::SetStatusText(int id) {
  if (frame_ == nullptr || !frame_->IsWindow()) return;
  if (id == 0) {
    if (!status_set_) return;
    status_set_ = false;
    frame_->SendMessage(win::kWmSetMessageString, static_cast<win::WParam>(core_ids::kIdsReady));
    return;
  }
  status_set_ = true;
  frame_->SendMessage(win::kWmSetMessageString, static_cast<win::WParam>(id));
}

void ToolBarWnd::ShowToolTip() {
  if (hover_tool_ == 0) return;
  const win::ToolButton* button = model_.Find(hover_tool_);
  const std::string text = button != nullptr ? button->tooltip : CommandToolTip(hover_tool_);
  if (text.empty()) {
    HideToolTip();
    return;
  }
  win::Windows().ShowToolTip(*this, win::Windows().CursorPos(), text);
  tip_shown_ = true;
  SetTimer(kToolTipShowTimer, kToolTipShowMs);
}

void ToolBarWnd::HideToolTip() {
  if (!tip_shown_) return;
  tip_shown_ = false;
  KillTimer(kToolTipShowTimer);
  const auto& tip = win::Windows().CurrentToolTip();
  if (tip && tip->owner == Handle()) win::Windows().HideToolTip();
}

bool ToolBarWnd::OnCommand(win::WParam wparam, win::LParam lparam) {
  // The controls on the bar talk to the frame, as the framework's control bars pass them on.
  if (frame_ != nullptr && frame_->IsWindow()) return frame_->SendMessage(win::kWmCommand, wparam, lparam) != 0;
  return false;
}

// --- CMainToolBar -----------------------------------------------------------------------------------------

int CMainToolBar::CreateBar(win::FrameWindow& frame, const gfx::Rect& rect) {
  if (!ToolBarWnd::CreateBar(frame, core_ids::kMainToolbarResource, rect, core_ids::kToolBarId)) return -1;
  for (const int id : {core_ids::kReadRecorder, core_ids::kFileOpen, core_ids::kFileSave, core_ids::kSend,
                       core_ids::kAnalyzeRecording, core_ids::kPrintWholeReport}) {
    SetDropDownArrow(id);
  }
  return 1;
}

// --- Time-span combo and toolbar ---------------------------------------------------------------------------

int TimeSpanCombo::DropDown(const std::function<void(PopupMenuWnd&)>& on_open) {
  if (!IsWindowEnabled() || GetCount() == 0) return -1;
  // The entries as a menu whose command ids are index + 1.
  win::Menu list;
  for (int i = 0; i < GetCount(); ++i) {
    list.AppendItem(i + 1, GetLBText(i));
    list.At(static_cast<size_t>(i)).check = i == GetCurSel() ? 1 : 0;
    list.At(static_cast<size_t>(i)).radio = true;
  }
  // No update pass: the entries are not commands.
  struct NoRoute : win::CommandTarget {
    bool OnCmdMsg(win::CommandMessage& message) override {
      if (message.kind == win::CommandMessage::Kind::kUpdate && message.ui != nullptr) message.ui->Enable(true);
      return true;
    }
  } route;
  const gfx::Rect client = GetClientRect();
  // A list, not a menu: no status-bar prompts for its entries.
  PopupMenuOptions options;
  options.notify_owner = false;
  const int chosen = TrackPopupMenu(list, ClientToScreen(gfx::Point{0, std::min(client.Height(), 24)}),
                                    GetTopLevel(), route, {}, on_open, options);
  if (chosen <= 0) return -1;
  SelectFromUser(chosen - 1);
  return chosen - 1;
}

void TimeSpanCombo::OnLButtonDown(unsigned, gfx::Point) { DropDown(); }

CTimeSpanToolBar::~CTimeSpanToolBar() {
  if (g_time_span_bar == this) g_time_span_bar = nullptr;
}

int CTimeSpanToolBar::CreateBar(win::FrameWindow& frame, const gfx::Rect& rect) {
  if (!ToolBarWnd::CreateBar(frame, core_ids::kTimeSpanToolbarResource, rect, core_ids::kToolBarId + 1)) return -1;
  // The button becomes a separator that keeps the place of the controls.
  const std::optional<size_t> index = Model().CommandToIndex(core_ids::kTimeSpan);
  if (!index) return -1;
  Model().At(*index).style = win::ToolButtonStyle::kSeparator;
  SetSeparatorWidth(core_ids::kTimeSpan, kComboWidth + 10);
  gfx::Rect place = ButtonRect(*index).Offset(10, 0);
  place.right = place.left + kComboWidth;
  // The combo first: the first child lies on top, and the empty static under it must not take the
  // clicks. The list opens as a pop-up, so the box is only as high as a button.
  if (!combo_.CreateControl(this, {place.left, place.top, place.right, place.top + kButtonHeight},
                            core_ids::kTimeSpan, "", win::kWsChild | win::kWsVisible | win::kWsTabStop)) {
    return -1;
  }
  label_.CreateControl(this, place, core_ids::kTimeSpan, "", win::kWsChild | win::kWsVisible);
  font_ = gfx::Font{};
  font_.height = 22;
  font_.weight = 600;
  font_.face = "Arial";
  combo_.SetFont(font_, false);
  codes_.clear();
  for (const auto& [text, code] : {std::pair<const char*, int>{"All", 0}, {"24h", 1}, {"12h", 2}, {"  6h", 3},
                                   {"  3h", 4}}) {
    AddSpan(text, code);
  }
  combo_.SetCurSel(0);
  g_time_span_bar = this;
  return 1;
}

void CTimeSpanToolBar::OnDestroy() {
  ToolBarWnd::OnDestroy();
  if (g_time_span_bar == this) g_time_span_bar = nullptr;
}

void CTimeSpanToolBar::AddSpan(std::string_view text, int code) {
  combo_.AddString(text);
  codes_.push_back(code);
}

CTimeSpanToolBar* CTimeSpanToolBar::Current() { return g_time_span_bar; }

int CTimeSpanToolBar::GetSelectedSpan() {
  const CTimeSpanToolBar* bar = g_time_span_bar;
  if (bar == nullptr) return kSpanAll;
  const int index = bar->combo_.GetCurSel();
  if (index < 0 || static_cast<size_t>(index) >= bar->codes_.size()) return kSpanAll;
  return bar->codes_[static_cast<size_t>(index)];
}

bool CTimeSpanToolBar::HasSpanChoice() {
  return g_time_span_bar != nullptr && g_time_span_bar->combo_.GetCount() > 1;
}

void CTimeSpanToolBar::FillSpans(int minutes) {
  CTimeSpanToolBar* bar = g_time_span_bar;
  if (bar == nullptr) return;
  bar->combo_.ResetContent();
  bar->codes_.clear();
  bar->AddSpan("All", 0);
  if (minutes > 1440) bar->AddSpan("24h", 1);
  if (minutes > 720) bar->AddSpan("12h", 2);
  if (minutes > 360) bar->AddSpan(" 6h", 3);
  if (minutes > 180) bar->AddSpan(" 3h", 4);
  bar->combo_.SetCurSel(0);
  bar->combo_.Invalidate();
}
