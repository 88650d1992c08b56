#include "win/window.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>

#include "gfx/canvas.h"
#include "platform/clock.h"
#include "platform/process_context.h"
#include "platform/worker.h"
#include "win/popup_menu.h"
#include "win/scroll_bar.h"

namespace win {

namespace {

constexpr size_t kClientRecordsKept = 64;
constexpr int kTimerMinimumMs = 10;

const gfx::Font& DefaultWindowFont() {
  static const gfx::Font font{-11, 0, 0, gfx::kFwNormal, false, false, false, "Arial"};
  return font;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Window

Window::Window() = default;

Window::~Window() { DestroyWindow(); }

bool Window::Create(Window* parent, const gfx::Rect& rect, uint32_t style, int id, std::string_view text,
                    uint32_t ex_style) {
  if (handle_ != 0) return false;
  if ((style & kWsChild) != 0 && (parent == nullptr || !parent->IsWindow())) return false;
  WindowSystem& ws = Windows();
  style_ = style;
  ex_style_ = ex_style;
  id_ = id;
  rect_ = rect;
  text_ = std::string(text);
  update_rect_ = {};
  erase_pending_ = false;
  minimized_ = false;
  top_level_announced_ = false;
  redraw_ = true;
  scroll_bars_.reset();
  if ((style & (kWsHScroll | kWsVScroll)) != 0) Bars();
  handle_ = ws.Register(this);
  if ((style & kWsChild) != 0) {
    parent_ = parent;
    owner_ = nullptr;
    parent->LinkChild(this);
  } else {
    parent_ = nullptr;
    owner_ = parent != nullptr && parent->IsWindow() ? parent->GetTopLevel() : nullptr;
    ws.top_levels_.push_back(this);
  }
  const WindowHandle handle = handle_;
  if (SendMessage(kWmCreate) == -1) {
    DestroyWindow();
    return false;
  }
  if (Windows().FromHandle(handle) != this) return false;  // it ended itself while being created
  SendMessage(kWmSize, kSizeRestored, MakeLParam(GetClientRect().Width(), GetClientRect().Height()));
  SendMessage(kWmMove, 0, MakeLParam(rect_.left, rect_.top));
  if (!IsWindow()) return false;
  if (parent_ == nullptr) {
    top_level_announced_ = true;
    if (Host* host = ws.HostOf(*this)) host->TopLevelCreated(*this);
    if ((style_ & kWsVisible) != 0) ws.SetActiveWindow(this);
  } else {
    NotifyChanged(kChangedCreated);
  }
  if ((style_ & kWsVisible) != 0) Invalidate(true);
  return IsWindow();
}

bool Window::DestroyWindow() {
  if (handle_ == 0) return false;
  WindowSystem& ws = Windows();
  // Owned top-level windows go first, as the platform ends them with their owner.
  const std::vector<Window*> top_levels = ws.top_levels_;
  for (Window* w : top_levels) {
    if (w != this && w->owner_ == this && w->IsWindow()) w->DestroyWindow();
  }
  if (!IsWindow()) return false;
  if (parent_ == nullptr) {
    if (top_level_announced_) {
      if (Host* host = ws.HostOf(*this)) host->TopLevelDestroyed(*this);
    }
  } else {
    NotifyChanged(kChangedDestroyed);
    if ((style_ & kWsVisible) != 0) parent_->InvalidateRect(rect_, true);
  }
  DestroyTree();
  return true;
}

void Window::DestroyTree() {
  WindowSystem& ws = Windows();
  SendMessage(kWmDestroy);
  const std::vector<Window*> children = children_;
  for (Window* child : children) {
    // A child's own destruction (from a handler above) unlinks it; only those still linked go.
    if (std::find(children_.begin(), children_.end(), child) != children_.end() && child->IsWindow()) {
      child->DestroyTree();
    }
  }
  ws.WindowDestroyed(this);
  if (parent_ != nullptr) parent_->UnlinkChild(this);
  parent_ = nullptr;
  owner_ = nullptr;
  handle_ = 0;
  update_rect_ = {};
  top_level_announced_ = false;
  PostNcDestroy();  // may delete this
}

void Window::LinkChild(Window* child) { children_.push_back(child); }

void Window::UnlinkChild(Window* child) { std::erase(children_, child); }

Window* Window::FromHandle(WindowHandle handle) { return Windows().FromHandle(handle); }

Window* Window::GetTopLevel() {
  Window* w = this;
  while (w->parent_ != nullptr) w = w->parent_;
  return w;
}

bool Window::IsSelfOrDescendantOf(const Window* other) const {
  if (other == nullptr) return false;
  for (const Window* w = this; w != nullptr; w = w->parent_) {
    if (w == other) return true;
  }
  return false;
}

Window* Window::GetDlgItem(int id) const {
  for (Window* child : children_) {
    if (child->id_ == id) return child;
  }
  return nullptr;
}

LResult Window::SendMessage(uint32_t message, WParam wparam, LParam lparam) {
  if (handle_ == 0) return 0;
  return WindowProc(message, wparam, lparam);
}

bool Window::PostMessage(uint32_t message, WParam wparam, LParam lparam) const {
  if (handle_ == 0) return false;
  platform::UiThreadQueue().PostMessage(handle_, message, wparam, lparam);
  return true;
}

LResult Window::WindowProc(uint32_t message, WParam wparam, LParam lparam) {
  if (scroll_bars_ && ScrollBarMessage(message, wparam, lparam)) return 0;
  const WindowHandle handle = handle_;
  const gfx::Point point{GetXLParam(lparam), GetYLParam(lparam)};
  const auto flags = static_cast<unsigned>(wparam);
  switch (message) {
    case kWmCreate:
      return OnCreate();
    case kWmDestroy:
      OnDestroy();
      return 0;
    case kWmSize:
      OnSize(static_cast<int>(wparam), LoWord(static_cast<uintptr_t>(lparam)), HiWord(static_cast<uintptr_t>(lparam)));
      return 0;
    case kWmMove:
      OnMove(point.x, point.y);
      return 0;
    case kWmShowWindow:
      OnShowWindow(wparam != 0);
      return 0;
    case kWmEnable:
      OnEnable(wparam != 0);
      return 0;
    case kWmPaint: {
      const auto* context = reinterpret_cast<const PaintContext*>(lparam);
      if (context == nullptr || context->canvas == nullptr) {
        ValidateRect();
        return 0;
      }
      if (context->erase) SendMessage(kWmEraseBkgnd, reinterpret_cast<WParam>(context->canvas));
      if (IsWindow()) OnPaint(*context->canvas, context->update);
      return 0;
    }
    case kWmEraseBkgnd:
      return wparam != 0 && OnEraseBackground(*reinterpret_cast<gfx::Canvas*>(wparam)) ? 1 : 0;
    case kWmMouseMove:
      OnMouseMove(flags, point);
      return 0;
    case kWmLButtonDown:
      OnLButtonDown(flags, point);
      return 0;
    case kWmLButtonUp:
      OnLButtonUp(flags, point);
      return 0;
    case kWmLButtonDblClk:
      OnLButtonDblClk(flags, point);
      return 0;
    case kWmRButtonDown:
      OnRButtonDown(flags, point);
      return 0;
    case kWmRButtonUp: {
      const uint32_t menus_before = context_menus_;
      OnRButtonUp(flags, point);
      // The platform's default: a released right button asks for the context menu at the
      // pointer, unless the handler raised it already.
      if (FromHandle(handle) == this && context_menus_ == menus_before) {
        const gfx::Point screen = ClientToScreen(point);
        SendMessage(kWmContextMenu, handle, MakeLParam(screen.x, screen.y));
      }
      return 0;
    }
    case kWmMButtonDown:
      OnMButtonDown(flags, point);
      return 0;
    case kWmMouseWheel:
      OnMouseWheel(LoWord(wparam), static_cast<int16_t>(HiWord(wparam)), point);
      return 0;
    case kWmMouseLeave:
      OnMouseLeave();
      return 0;
    case kWmDropFiles:
      if (const auto* drop = reinterpret_cast<const DropFiles*>(lparam)) OnDropFiles(*drop);
      return 0;
    case kWmKeyDown:
    case kWmSysKeyDown: {
      const uint32_t menus_before = context_menus_;
      OnKeyDown(static_cast<int>(wparam), LoWord(static_cast<uintptr_t>(lparam)),
                HiWord(static_cast<uintptr_t>(lparam)));
      // Shift+F10 and the Menu key ask for the context menu near the client's top-left corner.
      if (IsContextMenuRequest(message, wparam) && FromHandle(handle) == this &&
          context_menus_ == menus_before) {
        const gfx::Point screen = ClientToScreen(gfx::Point{kKeyboardMenuInset, kKeyboardMenuInset});
        SendMessage(kWmContextMenu, handle, MakeLParam(screen.x, screen.y));
      }
      return 0;
    }
    case kWmKeyUp:
    case kWmSysKeyUp:
      OnKeyUp(static_cast<int>(wparam), LoWord(static_cast<uintptr_t>(lparam)), HiWord(static_cast<uintptr_t>(lparam)));
      return 0;
    case kWmChar:
      OnChar(static_cast<int>(wparam), LoWord(static_cast<uintptr_t>(lparam)), HiWord(static_cast<uintptr_t>(lparam)));
      return 0;
    case kWmTimer:
      OnTimer(wparam);
      return 0;
    case kWmSetFocus:
      OnSetFocus(FromHandle(wparam));
      return 0;
    case kWmKillFocus:
      OnKillFocus(FromHandle(wparam));
      return 0;
    case kWmCaptureChanged:
      OnCaptureChanged(FromHandle(static_cast<WindowHandle>(lparam)));
      return 0;
    case kWmContextMenu:
      ++context_menus_;
      OnContextMenu(FromHandle(wparam), point);
      return 0;
    case kWmCommand:
      return OnCommand(wparam, lparam) ? 1 : 0;
    case kWmNotify: {
      const auto* header = reinterpret_cast<const NotifyHeader*>(lparam);
      if (header == nullptr) return 0;
      LResult result = 0;
      OnNotify(*header, &result);
      return result;
    }
    case kWmClose:
      OnClose();
      return 0;
    default:
      return DefWindowProc(message, wparam, lparam);
  }
}

LResult Window::DefWindowProc(uint32_t message, WParam wparam, LParam lparam) {
  switch (message) {
    case kWmSetText: {
      const auto* text = reinterpret_cast<const std::string*>(lparam);
      const std::string value = text != nullptr ? *text : std::string();
      if (value != text_) {
        text_ = value;
        NotifyChanged(kChangedText);
        Invalidate(true);
      }
      return 1;
    }
    case kWmSetFont:
      return 0;
    case kWmSetRedraw:
      if (redraw_ != (wparam != 0)) {
        redraw_ = wparam != 0;
        NotifyChanged(kChangedState);
      }
      return 0;
    default:
      return 0;
  }
}

void Window::OnContextMenu(Window* window, gfx::Point screen_point) {
  // Unanswered, the request goes on to the parent, naming the window it came from.
  if (parent_ != nullptr && window != nullptr) {
    parent_->SendMessage(kWmContextMenu, window->Handle(), MakeLParam(screen_point.x, screen_point.y));
  }
}

void Window::OnSetFocus(Window* old_focus) {
  if (!accepts_focus_ && old_focus != nullptr && old_focus != this && old_focus->IsWindow()) {
    Windows().SetFocus(old_focus);
  }
}

bool Window::OnEraseBackground(gfx::Canvas& canvas) {
  if (!background_) return false;
  canvas.FillSolidRect(GetClientRect(), *background_);
  return true;
}

bool Window::OnCommand(WParam wparam, LParam lparam) {
  CommandMessage message{LoWord(wparam), HiWord(wparam), CommandMessage::Kind::kExecute, nullptr,
                         static_cast<WindowHandle>(lparam)};
  return OnCmdMsg(message);
}

bool Window::OnNotify(const NotifyHeader& header, LResult* result) {
  CommandMessage message{header.id_from, header.code, CommandMessage::Kind::kExecute, nullptr, header.from};
  return OnCmdMsg(message);
}

void Window::ModifyStyle(uint32_t remove, uint32_t add) {
  const uint32_t old = style_;
  style_ = (style_ & ~remove) | add;
  if (((old ^ style_) & kWsVisible) != 0) NotifyChanged(kChangedVisible);
  if (((old ^ style_) & kWsDisabled) != 0) NotifyChanged(kChangedEnabled);
}

gfx::Rect Window::GetClientRect() const {
  int cx = rect_.Width();
  int cy = rect_.Height();
  if ((style_ & kWsVScroll) != 0) cx -= kScrollBarSize;
  if ((style_ & kWsHScroll) != 0) cy -= kScrollBarSize;
  return {0, 0, std::max(cx, 0), std::max(cy, 0)};
}

gfx::Rect Window::GetWindowRect() const {
  const gfx::Point origin = parent_ != nullptr ? parent_->ClientToScreen(gfx::Point{}) : gfx::Point{};
  return rect_.Offset(origin.x, origin.y);
}

gfx::Point Window::ClientToScreen(gfx::Point p) const {
  for (const Window* w = this; w != nullptr; w = w->parent_) {
    p.x += w->rect_.left;
    p.y += w->rect_.top;
  }
  return p;
}

gfx::Point Window::ScreenToClient(gfx::Point p) const {
  const gfx::Point origin = ClientToScreen(gfx::Point{});
  return {p.x - origin.x, p.y - origin.y};
}

gfx::Rect Window::ClientToScreen(const gfx::Rect& r) const {
  const gfx::Point origin = ClientToScreen(gfx::Point{});
  return r.Offset(origin.x, origin.y);
}

gfx::Point Window::OffsetInTopLevel() const {
  gfx::Point p;
  for (const Window* w = this; w->parent_ != nullptr; w = w->parent_) {
    p.x += w->rect_.left;
    p.y += w->rect_.top;
  }
  return p;
}

gfx::Rect Window::VisibleClientRect() const { return gfx::Intersect(GetClientRect(), VisibleWindowRect()); }

gfx::Rect Window::VisibleWindowRect() const {
  gfx::Rect visible{0, 0, rect_.Width(), rect_.Height()};
  gfx::Point offset;  // of this window's client origin in the ancestor's client area
  for (const Window* w = this; w->parent_ != nullptr; w = w->parent_) {
    offset.x += w->rect_.left;
    offset.y += w->rect_.top;
    const gfx::Rect parent_client = w->parent_->GetClientRect().Offset(-offset.x, -offset.y);
    visible = gfx::Intersect(visible, parent_client);
  }
  return visible;
}

void Window::MoveWindow(const gfx::Rect& rect, bool repaint) {
  const gfx::Rect old = rect_;
  rect_ = rect;
  if (!IsWindow()) return;
  if (repaint && parent_ != nullptr && (style_ & kWsVisible) != 0 && old != rect) parent_->InvalidateRect(old, true);
  if (old.left != rect.left || old.top != rect.top) SendMessage(kWmMove, 0, MakeLParam(rect.left, rect.top));
  // The bars move with the window; they are drawn outside the client area's invalidation.
  if (scroll_bars_ && old != rect) scroll_bars_->dirty = true;
  if (old.Width() != rect.Width() || old.Height() != rect.Height()) {
    SendMessage(kWmSize, kSizeRestored, MakeLParam(GetClientRect().Width(), GetClientRect().Height()));
  }
  if (!IsWindow()) return;
  if (repaint) Invalidate(true);
  if (old != rect) NotifyChanged(kChangedRect);
}

void Window::SetWindowSize(int cx, int cy) { MoveWindow({rect_.left, rect_.top, rect_.left + cx, rect_.top + cy}); }

void Window::CenterWindow(Window* alternate) {
  if (!IsWindow()) return;
  gfx::Rect area;
  const gfx::Size screen = Windows().ScreenSize();
  Window* reference = alternate != nullptr ? alternate : (parent_ != nullptr ? parent_ : owner_);
  if (parent_ != nullptr) {
    area = reference == parent_ ? parent_->GetClientRect()
                                : gfx::Rect(reference->GetWindowRect()).Offset(-parent_->ClientToScreen(gfx::Point{}).x,
                                                                               -parent_->ClientToScreen(gfx::Point{}).y);
  } else if (reference != nullptr && reference->IsWindow() && reference->IsWindowVisible() && !reference->IsMinimized()) {
    area = reference->GetWindowRect();
  } else {
    area = {0, 0, screen.cx, screen.cy};
  }
  int left = area.left + (area.Width() - rect_.Width()) / 2;
  int top = area.top + (area.Height() - rect_.Height()) / 2;
  if (parent_ == nullptr) {
    // Keep a top-level window on the screen.
    left = std::max(0, std::min(left, screen.cx - rect_.Width()));
    top = std::max(0, std::min(top, screen.cy - rect_.Height()));
  }
  MoveWindow({left, top, left + rect_.Width(), top + rect_.Height()});
}

bool Window::ShowWindow(int command) {
  const bool was_visible = (style_ & kWsVisible) != 0;
  if (!IsWindow()) return was_visible;
  WindowSystem& ws = Windows();
  switch (command) {
    case kSwHide:
      if (!was_visible) return false;
      style_ &= ~kWsVisible;
      SendMessage(kWmShowWindow, 0);
      if (!IsWindow()) return true;
      if (ws.GetFocus() != nullptr && ws.GetFocus()->IsSelfOrDescendantOf(this)) ws.SetFocus(nullptr);
      if (parent_ != nullptr) {
        parent_->InvalidateRect(rect_, true);
      } else if (ws.GetActiveWindow() == this) {
        ws.SetActiveWindow(owner_ != nullptr && owner_->IsWindowVisible() ? owner_ : nullptr);
      }
      NotifyChanged(kChangedVisible);
      return true;
    case kSwMinimize:
      if (!minimized_) {
        minimized_ = true;
        SendMessage(kWmSize, kSizeMinimized, 0);
        NotifyChanged(kChangedVisible);
      }
      return was_visible;
    case kSwRestore:
      if (minimized_) {
        minimized_ = false;
        SendMessage(kWmSize, kSizeRestored, MakeLParam(rect_.Width(), rect_.Height()));
        Invalidate(true);
        NotifyChanged(kChangedVisible);
      }
      [[fallthrough]];
    default:
      if (!IsWindow()) return was_visible;
      if (!was_visible) {
        style_ |= kWsVisible;
        SendMessage(kWmShowWindow, 1);
        if (!IsWindow()) return false;
        if (scroll_bars_) scroll_bars_->dirty = true;
        Invalidate(true);
        NotifyChanged(kChangedVisible);
      }
      if (parent_ == nullptr && command != kSwShowNoActivate) ws.SetActiveWindow(this);
      return was_visible;
  }
}

bool Window::IsWindowVisible() const {
  if (!IsWindow()) return false;
  for (const Window* w = this; w != nullptr; w = w->parent_) {
    if ((w->style_ & kWsVisible) == 0) return false;
  }
  return true;
}

bool Window::EnableWindow(bool enable) {
  const bool was_disabled = (style_ & kWsDisabled) != 0;
  if (!IsWindow() || enable == !was_disabled) return was_disabled;
  WindowSystem& ws = Windows();
  if (!enable) {
    if (ws.GetCapture() != nullptr && ws.GetCapture()->IsSelfOrDescendantOf(this)) ws.ReleaseCapture();
    if (ws.GetFocus() == this) ws.SetFocus(nullptr);
    style_ |= kWsDisabled;
  } else {
    style_ &= ~kWsDisabled;
  }
  SendMessage(kWmEnable, enable ? 1 : 0);
  if (!IsWindow()) return was_disabled;
  if (scroll_bars_) scroll_bars_->dirty = true;
  NotifyChanged(kChangedEnabled);
  Invalidate(true);
  return was_disabled;
}

bool Window::IsInputEnabled() const {
  if (!IsWindow()) return false;
  for (const Window* w = this; w != nullptr; w = w->parent_) {
    if ((w->style_ & kWsDisabled) != 0) return false;
  }
  return true;
}

void Window::SetWindowText(std::string_view text) {
  const std::string value(text);
  if (!IsWindow()) {
    text_ = value;
    return;
  }
  SendMessage(kWmSetText, 0, reinterpret_cast<LParam>(&value));
}

void Window::SetTextSilently(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  NotifyChanged(kChangedText);
  Invalidate(true);
}

void Window::AppendTextSilently(std::string_view text) {
  if (text.empty()) return;
  text_.append(text);
  NotifyChanged(kChangedText);
  Invalidate(true);
}

void Window::DragAcceptFiles(bool accept) {
  const uint32_t old = ex_style_;
  ex_style_ = accept ? (ex_style_ | kWsExAcceptFiles) : (ex_style_ & ~kWsExAcceptFiles);
  if (old != ex_style_) NotifyChanged(kChangedAcceptFiles);
}

void Window::SetFont(const gfx::Font& font, bool redraw) {
  font_ = font;
  if (!IsWindow()) return;
  SendMessage(kWmSetFont, 0, redraw ? 1 : 0);
  NotifyChanged(kChangedFont);
  if (redraw) Invalidate(true);
}

const gfx::Font& Window::GetFont() const {
  for (const Window* w = this; w != nullptr; w = w->parent_) {
    if (w->font_) return *w->font_;
  }
  return DefaultWindowFont();
}

Window* Window::SetFocus() { return Windows().SetFocus(this); }

bool Window::HasFocus() const { return IsWindow() && Windows().GetFocus() == this; }

Window* Window::SetCapture() { return Windows().SetCapture(this); }

void Window::Invalidate(bool erase) { InvalidateRect(GetClientRect(), erase); }

void Window::InvalidateRect(const gfx::Rect& rect, bool erase) {
  if (!IsWindow()) return;
  const gfx::Rect part = gfx::Intersect(rect.Normalized(), GetClientRect());
  if (part.IsEmpty()) return;
  const bool was_valid = update_rect_.IsEmpty();
  update_rect_ = gfx::Union(update_rect_, part);
  erase_pending_ = erase_pending_ || erase;
  if (was_valid) {
    if (Host* host = Windows().HostOf(*this)) host->InvalidateRequested(*GetTopLevel());
  }
}

void Window::ValidateRect(const gfx::Rect* rect) {
  if (rect == nullptr) {
    update_rect_ = {};
    erase_pending_ = false;
    return;
  }
  // A bounding rectangle cannot lose a piece in the middle; it shrinks only when covered.
  const gfx::Rect r = rect->Normalized();
  if (r.left <= update_rect_.left && r.top <= update_rect_.top && r.right >= update_rect_.right &&
      r.bottom >= update_rect_.bottom) {
    update_rect_ = {};
    erase_pending_ = false;
  }
}

void Window::UpdateWindow() {
  if (!IsWindow()) return;
  size_t painted = 0;
  WindowSystem& ws = Windows();
  if (IsWindowVisible()) ws.PaintTree(*this, painted);
  if (Host* host = ws.HostOf(*this)) host->Flush(*GetTopLevel());
}

void Window::RedrawWindow() {
  Invalidate(true);
  UpdateWindow();
}

void Window::PaintInto(gfx::Canvas& canvas, const gfx::Rect& update, bool erase) {
  PaintContext context{&canvas, update, erase};
  SendMessage(kWmPaint, 0, reinterpret_cast<LParam>(&context));
}

uintptr_t Window::SetTimer(uintptr_t id, int elapse_ms) {
  if (!IsWindow()) return 0;
  Windows().SetTimer(*this, id, elapse_ms);
  return id;
}

bool Window::KillTimer(uintptr_t id) { return IsWindow() && Windows().KillTimer(*this, id); }

void Window::SetDlgItemText(int id, std::string_view text) {
  if (Window* item = GetDlgItem(id)) item->SetWindowText(text);
}

std::string Window::GetDlgItemText(int id) const {
  const Window* item = GetDlgItem(id);
  return item != nullptr ? item->GetWindowText() : std::string();
}

void Window::SetDlgItemInt(int id, int value) { SetDlgItemText(id, std::to_string(value)); }

void Window::CheckDlgButton(int id, int check) {
  if (Window* item = GetDlgItem(id)) item->SendMessage(kBmSetCheck, static_cast<WParam>(check));
}

int Window::IsDlgButtonChecked(int id) const {
  Window* item = GetDlgItem(id);
  return item != nullptr ? static_cast<int>(item->SendMessage(kBmGetCheck)) : 0;
}

void Window::CheckRadioButton(int first, int last, int id) {
  for (int i = first; i <= last; ++i) CheckDlgButton(i, i == id ? kBstChecked : kBstUnchecked);
}

void Window::NotifyChanged(unsigned what) {
  if (!IsWindow()) return;
  if (Host* host = Windows().HostOf(*this)) host->WindowChanged(*this, what);
}

// ---------------------------------------------------------------------------------------------
// ClientDc

ClientDc::ClientDc(Window& window) {
  owned_ = Windows().MakeCanvas(window, window.GetClientRect(), false);
  canvas_ = owned_.get();
  if (canvas_ == nullptr) {
    // Headless: the canvas is kept in the window's record.
    auto recording = std::make_unique<gfx::RecordingCanvas>();
    canvas_ = recording.get();
    WindowSystem::Record& record = Windows().RecordFor(window.Handle());
    record.client.push_back(std::move(recording));
    if (record.client.size() > kClientRecordsKept) record.client.pop_front();
  }
}

ClientDc::~ClientDc() = default;

// ---------------------------------------------------------------------------------------------
// WindowSystem

WindowSystem::WindowSystem() { InstallRouter(); }

WindowSystem::~WindowSystem() = default;

void WindowSystem::InstallRouter() {
  platform::UiThreadQueue().SetRouter([this](const platform::PostedMessage& message) {
    if (message.message == kWmQuit && message.target == 0) {
      PostQuitMessage(static_cast<int>(message.wparam));
      return;
    }
    if (Window* window = FromHandle(message.target)) {
      window->SendMessage(message.message, message.wparam, message.lparam);
    }
  });
}

WindowHandle WindowSystem::Register(Window* window) {
  const WindowHandle handle = next_handle_;
  next_handle_ += 4;
  handles_[handle] = window;
  return handle;
}

Window* WindowSystem::FromHandle(WindowHandle handle) const {
  if (handle == 0) return nullptr;
  const auto it = handles_.find(handle);
  return it == handles_.end() ? nullptr : it->second;
}

void WindowSystem::WindowDestroyed(Window* window) {
  const WindowHandle handle = window->Handle();
  std::erase_if(timers_, [handle](const Timer& t) { return t.window == handle; });
  if (capture_ == window) capture_ = nullptr;
  if (focus_ == window) focus_ = nullptr;
  if (main_window_ == window) main_window_ = nullptr;
  if (tool_tip_ && tool_tip_->owner == handle) HideToolTip();
  if (hover_ == handle) hover_ = 0;
  if (active_ == window) {
    Window* owner = window->GetOwner();
    active_ = owner != nullptr && owner->IsWindow() && owner->IsWindowVisible() ? owner : nullptr;
  }
  std::erase(top_levels_, window);
  std::erase_if(records_, [handle](const auto& entry) { return entry.first == handle; });
  handles_.erase(handle);
}

Host* WindowSystem::HostOf(Window& window) {
  Window* top = window.GetTopLevel();
  return top->RenderedAsWidgets() ? widget_host_ : host_;
}

Window* WindowSystem::SetFocus(Window* window) {
  if (window != nullptr && !window->IsWindow()) return nullptr;
  Window* old = focus_;
  if (window == old) return old;
  const WindowHandle old_handle = old != nullptr ? old->Handle() : 0;
  if (window != nullptr) {
    Window* top = window->GetTopLevel();
    if (top != active_) active_ = top;
  }
  focus_ = window;
  const WindowHandle new_handle = window != nullptr ? window->Handle() : 0;
  if (Window* o = FromHandle(old_handle)) {
    o->SendMessage(kWmKillFocus, new_handle);
    o->NotifyChanged(kChangedFocus);
  }
  if (Window* n = FromHandle(new_handle); n != nullptr && focus_ == n) {
    n->SendMessage(kWmSetFocus, FromHandle(old_handle) != nullptr ? old_handle : 0);
    if (n->IsWindow()) n->NotifyChanged(kChangedFocus);
  }
  return FromHandle(old_handle);
}

void WindowSystem::SetActiveWindow(Window* top_level) {
  if (top_level != nullptr) top_level = top_level->GetTopLevel();
  if (active_ == top_level) return;
  active_ = top_level;
  if (focus_ != nullptr && top_level != nullptr && focus_->GetTopLevel() != top_level) SetFocus(nullptr);
}

Window* WindowSystem::SetCapture(Window* window) {
  Window* old = capture_;
  capture_ = window;
  if (old != nullptr && old != window && old->IsWindow()) {
    old->SendMessage(kWmCaptureChanged, 0, static_cast<LParam>(window != nullptr ? window->Handle() : 0));
  }
  return old;
}

void WindowSystem::ReleaseCapture() {
  Window* old = capture_;
  if (old == nullptr) return;
  capture_ = nullptr;
  if (old->IsWindow()) old->SendMessage(kWmCaptureChanged, 0, 0);
}

void WindowSystem::SetClock(const platform::Clock* clock) { clock_ = clock; }

const platform::Clock& WindowSystem::Clock() const {
  static const platform::SystemClock system_clock;
  return clock_ != nullptr ? *clock_ : system_clock;
}

void WindowSystem::SetTimer(Window& window, uintptr_t id, int elapse_ms) {
  const int64_t interval = std::max(elapse_ms, kTimerMinimumMs);
  const int64_t due = Clock().TickMs() + interval;
  for (Timer& t : timers_) {
    if (t.window == window.Handle() && t.id == id) {
      t.interval_ms = interval;
      t.due_ms = due;
      return;
    }
  }
  timers_.push_back({window.Handle(), id, interval, due});
}

bool WindowSystem::KillTimer(Window& window, uintptr_t id) {
  const size_t before = timers_.size();
  std::erase_if(timers_, [&](const Timer& t) { return t.window == window.Handle() && t.id == id; });
  return timers_.size() != before;
}

size_t WindowSystem::FireDueTimers() {
  const int64_t now = Clock().TickMs();
  std::vector<Timer> due;
  for (const Timer& t : timers_) {
    if (t.due_ms <= now) due.push_back(t);
  }
  std::stable_sort(due.begin(), due.end(), [](const Timer& a, const Timer& b) { return a.due_ms < b.due_ms; });
  size_t fired = 0;
  for (const Timer& t : due) {
    // A handler before this one may have killed or restarted it.
    auto it = std::find_if(timers_.begin(), timers_.end(),
                           [&](const Timer& x) { return x.window == t.window && x.id == t.id; });
    if (it == timers_.end() || it->due_ms > now) continue;
    it->due_ms = now + it->interval_ms;
    if (Window* window = FromHandle(t.window)) {
      window->SendMessage(kWmTimer, t.id);
      ++fired;
    }
  }
  return fired;
}

std::optional<int64_t> WindowSystem::NextTimerDelayMs() const {
  if (timers_.empty()) return std::nullopt;
  const int64_t now = Clock().TickMs();
  int64_t next = timers_.front().due_ms;
  for (const Timer& t : timers_) next = std::min(next, t.due_ms);
  return std::max<int64_t>(0, next - now);
}

std::unique_ptr<gfx::Canvas> WindowSystem::MakeCanvas(Window& window, const gfx::Rect& clip, bool for_paint) {
  if (Host* host = HostOf(window))
    return for_paint ? host->CreateCanvas(window, clip) : host->CreateClientCanvas(window, clip);
  return nullptr;
}

void WindowSystem::PaintWindow(Window& window) {
  const gfx::Rect update = window.update_rect_;
  const bool erase = window.erase_pending_;
  window.update_rect_ = {};
  window.erase_pending_ = false;
  std::unique_ptr<gfx::Canvas> canvas = MakeCanvas(window, update, true);
  if (canvas) {
    window.PaintInto(*canvas, update, erase);
    return;
  }
  auto recording = std::make_unique<gfx::RecordingCanvas>();
  window.PaintInto(*recording, update, erase);
  if (!window.IsWindow()) return;
  Record& record = RecordFor(window.Handle());
  record.paint = std::move(recording);
  record.client.clear();
}

WindowSystem::Record& WindowSystem::RecordFor(WindowHandle handle) {
  for (auto& [h, record] : records_) {
    if (h == handle) return *record;
  }
  return *records_.emplace_back(handle, std::make_unique<Record>()).second;
}

void WindowSystem::PaintTree(Window& window, size_t& painted) {
  if (!window.IsWindow() || (window.style_ & kWsVisible) == 0 || window.minimized_ || !window.redraw_) return;
  const WindowHandle handle = window.Handle();
  if (!window.update_rect_.IsEmpty()) {
    const gfx::Rect update = window.update_rect_;
    const bool erase = window.erase_pending_;
    PaintWindow(window);
    ++painted;
    if (FromHandle(handle) != &window) return;
    // Painting the parent covers the children it overlaps; they paint again on top.
    for (Window* child : window.children_) {
      const gfx::Rect in_child = gfx::Intersect(update, child->rect_).Offset(-child->rect_.left, -child->rect_.top);
      if (in_child.IsEmpty()) continue;
      child->InvalidateRect(in_child, erase);
      if (child->scroll_bars_) child->scroll_bars_->dirty = true;
    }
  }
  if (window.scroll_bars_ && window.scroll_bars_->dirty) {
    PaintScrollBars(window);
    ++painted;
  }
  // Bottom of the z-order first, so the top child ends up drawn over the others.
  const std::vector<Window*> children = window.children_;
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    if (FromHandle(handle) != &window) return;
    if (std::find(window.children_.begin(), window.children_.end(), *it) != window.children_.end()) {
      PaintTree(**it, painted);
    }
  }
}

size_t WindowSystem::PaintPending() {
  size_t painted = 0;
  const std::vector<Window*> tops = top_levels_;
  for (Window* top : tops) {
    if (std::find(top_levels_.begin(), top_levels_.end(), top) != top_levels_.end()) PaintTree(*top, painted);
  }
  return painted;
}

size_t WindowSystem::RunPending() {
  InstallRouter();
  size_t ran = platform::UiThreadQueue().PumpPosted();
  ran += FireDueTimers();
  ran += PaintPending();
  return ran;
}

size_t WindowSystem::ProcessEvents() {
  if (host_ != nullptr) host_->ProcessEvents();
  if (widget_host_ != nullptr && widget_host_ != host_) widget_host_->ProcessEvents();
  return RunPending();
}

int WindowSystem::AddInputFilter(std::function<void(const InputMessage&)> filter) {
  input_filters_.emplace_back(next_filter_id_, std::move(filter));
  return next_filter_id_++;
}

void WindowSystem::RemoveInputFilter(int id) {
  std::erase_if(input_filters_, [id](const auto& entry) { return entry.first == id; });
}

void WindowSystem::RunInputFilters(const InputMessage& input) {
  // A filter may remove itself (or another) while it runs.
  const auto filters = input_filters_;
  for (const auto& [id, filter] : filters) filter(input);
}

Window* WindowSystem::HitTest(Window& window, gfx::Point point) {
  // The first child in z-order whose rectangle holds the point; disabled children let the
  // click through to their parent. The window's scroll bars lie over its children.
  if (window.scroll_bars_ && !window.GetClientRect().Contains(point)) return &window;
  for (Window* child : window.children_) {
    if ((child->style_ & kWsVisible) == 0 || (child->style_ & kWsDisabled) != 0) continue;
    if (child->rect_.Contains(point)) {
      return HitTest(*child, {point.x - child->rect_.left, point.y - child->rect_.top});
    }
  }
  return &window;
}

void WindowSystem::SetHover(Window* window) {
  const WindowHandle handle = window != nullptr ? window->Handle() : 0;
  if (handle == hover_) return;
  Window* old = FromHandle(hover_);
  hover_ = handle;
  // The old window and those of its ancestors that do not hold the new one lost the pointer;
  // each is looked up again, since a leave handler may end windows.
  std::vector<WindowHandle> left;
  for (Window* w = old; w != nullptr; w = w->GetParent()) {
    if (window != nullptr && window->IsSelfOrDescendantOf(w)) break;
    left.push_back(w->Handle());
  }
  for (const WindowHandle h : left) {
    if (Window* w = FromHandle(h)) w->SendMessage(kWmMouseLeave);
  }
}

void WindowSystem::MouseLeft(Window& top_level) {
  // The window that holds the capture keeps the pointer wherever it goes.
  if (capture_ != nullptr) return;
  Window* hover = FromHandle(hover_);
  if (hover != nullptr && hover->IsSelfOrDescendantOf(&top_level)) SetHover(nullptr);
}

Window* WindowSystem::DropTarget(Window& top_level, gfx::Point point) {
  if (!top_level.IsWindow() || !top_level.IsWindowVisible() || !top_level.IsInputEnabled()) return nullptr;
  for (Window* w = HitTest(top_level, point); w != nullptr; w = w->GetParent()) {
    if ((w->GetExStyle() & kWsExAcceptFiles) != 0) return w->IsInputEnabled() ? w : nullptr;
  }
  return nullptr;
}

Window* WindowSystem::DeliverDroppedFiles(Window& top_level, gfx::Point point,
                                          std::vector<std::string> paths) {
  Window* target = DropTarget(top_level, point);
  if (target == nullptr || paths.empty()) return nullptr;
  const WindowHandle handle = target->Handle();
  DropFiles drop{std::move(paths), target->ScreenToClient(top_level.ClientToScreen(point))};
  target->SendMessage(kWmDropFiles, 0, reinterpret_cast<LParam>(&drop));
  return FromHandle(handle);
}

void WindowSystem::ShowToolTip(Window& owner, gfx::Point screen_point, std::string text) {
  if (!owner.IsWindow()) return;
  tool_tip_ = ToolTip{owner.Handle(), screen_point, std::move(text)};
  if (Host* host = HostOf(owner)) host->ShowToolTip(owner, screen_point, tool_tip_->text);
}

void WindowSystem::HideToolTip() {
  if (!tool_tip_) return;
  tool_tip_.reset();
  if (host_ != nullptr) host_->HideToolTip();
  if (widget_host_ != nullptr && widget_host_ != host_) widget_host_->HideToolTip();
}

Window* WindowSystem::MouseInput(Window& top_level, uint32_t message, gfx::Point point, unsigned flags) {
  InputMessage input{message, flags, MakeLParam(point.x, point.y), top_level.ClientToScreen(point)};
  const WindowHandle top_handle = top_level.Handle();
  cursor_pos_ = input.screen_point;
  RunInputFilters(input);
  if (FromHandle(top_handle) != &top_level) return nullptr;
  Window* target = nullptr;
  gfx::Point client;
  const gfx::Point screen = input.screen_point;
  if (capture_ != nullptr) {
    target = capture_;
    client = capture_->ScreenToClient(screen);
  } else {
    if (!top_level.IsWindowVisible() || !top_level.IsInputEnabled()) {
      if (message != kWmMouseMove) MessageBeep();
      return nullptr;
    }
    target = HitTest(top_level, point);
    client = target->ScreenToClient(screen);
  }
  const WindowHandle handle = target->Handle();
  SetHover(target);
  if (FromHandle(handle) != target) return nullptr;
  const LParam lparam = MakeLParam(client.x, client.y);
  if (message == kWmMouseMove) {
    const CursorShape shape = target->PointerShapeAt(client);
    if (FromHandle(handle) != target) return nullptr;
    if (shape != pointer_shape_ || top_handle != pointer_top_) {
      pointer_shape_ = shape;
      pointer_top_ = top_handle;
      if (Host* host = HostOf(top_level)) host->SetPointerShape(top_level, shape);
    }
  }
  for (Window* w = target; w != nullptr; w = w->GetParent()) {
    if (w->PreTranslateMessage(message, flags, lparam)) return target;
    if (FromHandle(handle) != target) return nullptr;
  }
  target->SendMessage(message, flags, lparam);
  return FromHandle(handle);
}

Window* WindowSystem::KeyInput(uint32_t message, int key, unsigned flags) {
  InputMessage input{message, static_cast<WParam>(key), MakeLParam(1, static_cast<int>(flags)), {}};
  RunInputFilters(input);
  Window* target = focus_ != nullptr ? focus_ : active_;
  if (target == nullptr) return nullptr;
  const WindowHandle handle = target->Handle();
  for (Window* w = target; w != nullptr; w = w->GetParent()) {
    if (w->PreTranslateMessage(message, static_cast<WParam>(key), input.lparam)) return nullptr;
    if (FromHandle(handle) != target) return nullptr;
  }
  target->SendMessage(message, static_cast<WParam>(key), input.lparam);
  return target;
}

void WindowSystem::PressKey(int virtual_key) {
  Window* target = KeyInput(kWmKeyDown, virtual_key);
  // A key taken by a dialog (Enter, Esc, Tab) produces no character.
  if (target != nullptr) {
    int character = 0;
    if (virtual_key == kVkReturn) character = '\r';
    else if (virtual_key == kVkEscape) character = 27;
    else if (virtual_key == kVkTab) character = '\t';
    else if (virtual_key == kVkBack) character = 8;
    else if (virtual_key == kVkSpace) character = ' ';
    else if ((virtual_key >= '0' && virtual_key <= '9') || (virtual_key >= 'A' && virtual_key <= 'Z')) character = virtual_key;
    if (character != 0) KeyInput(kWmChar, character);
  }
  KeyInput(kWmKeyUp, virtual_key);
}

namespace {
unsigned ModifierBit(int virtual_key) {
  switch (virtual_key) {
    case kVkShift: return 1;
    case kVkControl: return 2;
    case kVkMenu: return 4;
    default: return 0;
  }
}
}  // namespace

void WindowSystem::SetKeyDown(int virtual_key, bool down) {
  const unsigned bit = ModifierBit(virtual_key);
  modifiers_ = down ? (modifiers_ | bit) : (modifiers_ & ~bit);
}

bool WindowSystem::IsKeyDown(int virtual_key) const {
  const unsigned bit = ModifierBit(virtual_key);
  return bit != 0 && (modifiers_ & bit) != 0;
}

bool WindowSystem::RunModalLoop(const std::function<bool()>& done, Window* modal) {
  ++modal_depth_;
  struct DepthGuard {
    int& depth;
    ~DepthGuard() { --depth; }
  } guard{modal_depth_};
  Host* host = modal != nullptr ? HostOf(*modal) : host_;
  if (host == nullptr) host = host_ != nullptr ? host_ : widget_host_;
  if (host != nullptr && host->RunModalLoop([&] { return done() || quit_requested_; })) {
    return !quit_requested_;
  }
  using SteadyClock = std::chrono::steady_clock;
  auto last_activity = SteadyClock::now();
  while (!done() && !quit_requested_) {
    if (RunPending() > 0) {
      last_activity = SteadyClock::now();
      continue;
    }
    if (done() || quit_requested_) break;
    if (idle_handler_ && idle_handler_(modal)) {
      last_activity = SteadyClock::now();
      continue;
    }
    int wait_ms = 20;
    if (clock_ == nullptr) {
      if (const std::optional<int64_t> next = NextTimerDelayMs()) wait_ms = static_cast<int>(std::min<int64_t>(*next, 20));
    }
    if (platform::UiThreadQueue().WaitAndPump(wait_ms) > 0) {
      last_activity = SteadyClock::now();
      continue;
    }
    // Timers on the system clock count as activity when they are due; on a manual clock only
    // the idle handler can move time.
    if (clock_ == nullptr && NextTimerDelayMs().has_value()) last_activity = SteadyClock::now();
    if (SteadyClock::now() - last_activity > std::chrono::milliseconds(stall_limit_ms_)) {
      if (stall_handler_) {
        stall_handler_(stall_limit_ms_);
      } else {
        std::fprintf(stderr, "modal loop: nothing happened for %d ms; giving up\n", stall_limit_ms_);
      }
      return false;
    }
  }
  return !quit_requested_;
}

void WindowSystem::PostQuitMessage(int exit_code) {
  quit_requested_ = true;
  quit_code_ = exit_code;
}

void WindowSystem::BeginWaitCursor() {
  if (wait_cursor_depth_++ == 0) {
    if (host_ != nullptr) host_->SetCursor(CursorShape::kWait);
    if (widget_host_ != nullptr && widget_host_ != host_) widget_host_->SetCursor(CursorShape::kWait);
  }
}

void WindowSystem::EndWaitCursor() {
  if (wait_cursor_depth_ == 0) return;
  if (--wait_cursor_depth_ == 0) {
    if (host_ != nullptr) host_->SetCursor(CursorShape::kArrow);
    if (widget_host_ != nullptr && widget_host_ != host_) widget_host_->SetCursor(CursorShape::kArrow);
  }
}

void WindowSystem::MessageBeep() {
  ++beeps_;
  if (host_ != nullptr) host_->Beep();
}

const WindowSystem::Record* WindowSystem::RecordOf(const Window& window) const {
  for (const auto& [handle, record] : records_) {
    if (handle == window.Handle()) return record.get();
  }
  return nullptr;
}

void WindowSystem::Reset() {
  const std::vector<Window*> tops = top_levels_;
  for (Window* top : tops) top->DestroyWindow();
  handles_.clear();
  top_levels_.clear();
  main_window_ = nullptr;
  app_target_ = nullptr;
  focus_ = nullptr;
  active_ = nullptr;
  capture_ = nullptr;
  clock_ = nullptr;
  timers_.clear();
  input_filters_.clear();
  idle_handler_ = nullptr;
  stall_limit_ms_ = 20000;
  modal_depth_ = 0;
  quit_requested_ = false;
  quit_code_ = 0;
  wait_cursor_depth_ = 0;
  beeps_ = 0;
  modifiers_ = 0;
  key_state_ = nullptr;
  cursor_pos_ = {};
  hover_ = 0;
  tool_tip_.reset();
  popup_answers_.clear();
  app_title_ = "ZK-470";
  screen_size_ = {1280, 1024};
  host_ = nullptr;
  widget_host_ = nullptr;
  records_.clear();
  InstallRouter();
}

WindowSystem& Windows() {
  static WindowSystem system;
  return system;
}

}  // namespace win

namespace {

// A fresh process has no windows, timers, capture or hosts.
[[maybe_unused]] const bool kResetRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kWin, [] { win::Windows().Reset(); });

}  // namespace
