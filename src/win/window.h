#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "gfx/drawing_types.h"
#include "gfx/geometry.h"
#include "gfx/recording_canvas.h"
#include "win/command_target.h"
#include "win/messages.h"

namespace gfx {
class Canvas;
}
namespace platform {
class Clock;
}

namespace win {

class Menu;
class Window;
class WindowScrollBars;

// The header of a kWmNotify message; lparam points to it (or to a larger record that begins
// with it). Lives only for the call.
struct NotifyHeader {
  WindowHandle from = 0;
  int id_from = 0;
  int code = 0;
};

// What changed about a window, for the host that shows it.
enum WindowChange : unsigned {
  kChangedRect = 1u << 0,
  kChangedVisible = 1u << 1,
  kChangedEnabled = 1u << 2,
  kChangedText = 1u << 3,
  kChangedState = 1u << 4,  // a control's own state: check, items, selection, position, range
  kChangedCreated = 1u << 5,
  kChangedDestroyed = 1u << 6,
  kChangedFocus = 1u << 7,
  kChangedFont = 1u << 8,
  kChangedAcceptFiles = 1u << 9,  // kWsExAcceptFiles was switched (DragAcceptFiles)
};

enum class CursorShape { kArrow, kWait, kAppStarting, kHand, kSizeWE, kSizeNS, kIBeam };

// The range, page and position of a scroll bar. mask (kSif...) says which fields a call sets or
// reads. The position runs from min to max - page + 1 (to max without a page).
struct ScrollInfo {
  unsigned mask = kSifAll;
  int min = 0;
  int max = 0;
  int page = 0;
  int pos = 0;
  int track_pos = 0;  // where the thumb is dragged to; pos when no drag is on
};

// A pop-up that the host shows for the program and waits on: a menu or a combo box's drop-down
// list. Lives only for the call.
struct PopupRequest {
  Window* owner = nullptr;  // the menu's owner, or the combo box
  // A menu: the point and kTpm alignment flags (see PopupMenuRect). A list: the combo box's
  // rectangle on the screen; the list opens below it (above when the screen ends).
  gfx::Point screen_point;
  gfx::Rect screen_rect;
  unsigned flags = 0;
  const Menu* menu = nullptr;      // a menu's entries after their update pass
  std::vector<std::string> items;  // a list's entries
  int current = -1;                // a list's lit entry, -1 none
  // A pull-down of a menu bar: opened from the keyboard, its first entry is lit; Left and Right
  // (where no sub-menu takes them) and Esc end it with the answers below, so that the bar opens
  // the title beside it or lights its own title again.
  bool menu_bar = false;
  bool keyboard = false;
};

// What a host answers for a menu bar's pull-down that a key ended without a choice.
inline constexpr int kPopupEndedLeft = -1;
inline constexpr int kPopupEndedRight = -2;
inline constexpr int kPopupEndedEscape = -3;

// A display host: the Qt host implements it. Headless runs have none: painting goes to
// recordings the tests read, and modal loops run the posted queue and the timers themselves.
// The window system holds two: the canvas host shows top-level windows whose content is drawn
// (frames, views, the splash), the widget host those rendered as real widgets (dialogs, property
// sheets, the progress window; Window::RenderedAsWidgets). User-interface thread only.
class Host {
 public:
  virtual ~Host() = default;
  // After the top-level window's creation (WM_CREATE has run) / before its destruction begins.
  virtual void TopLevelCreated(Window& top_level) {}
  virtual void TopLevelDestroyed(Window& top_level) {}
  // Something of a window of one of this host's top-level windows changed (WindowChange bits).
  virtual void WindowChanged(Window& window, unsigned what) {}
  // Part of a top-level window needs painting: schedule a call of WindowSystem::RunPending.
  virtual void InvalidateRequested(Window& top_level) {}
  // A canvas on the window's client area, origin at its top-left, clipped to its visible part
  // and to clip (client coordinates). nullptr: the window system records the drawing instead.
  // Used both for painting (clip = the update rectangle) and for drawing outside painting.
  virtual std::unique_ptr<gfx::Canvas> CreateCanvas(Window& window, const gfx::Rect& clip) { return nullptr; }
  // The same for drawing outside painting (ClientDc): what is drawn must reach the screen at once,
  // also while the canvas stays open across events.
  virtual std::unique_ptr<gfx::Canvas> CreateClientCanvas(Window& window, const gfx::Rect& clip) {
    return CreateCanvas(window, clip);
  }
  // Runs the host's event loop until done() holds; false when the host has no loop of its own.
  virtual bool RunModalLoop(const std::function<bool()>& done) { return false; }
  // Shows at once what was painted into the top-level window (the caller blocks the loop next).
  virtual void Flush(Window& top_level) {}
  // Lets the host deliver the input and events it holds (a progress window pumps this way while
  // its owner works on the user-interface thread).
  virtual void ProcessEvents() {}
  virtual void SetCursor(CursorShape shape) {}
  // The pointer's shape over the top-level window, as the window under it asked for on the last
  // mouse move (Window::PointerShapeAt); the wait cursor of SetCursor stays above it.
  virtual void SetPointerShape(Window& top_level, CursorShape shape) {}
  virtual void Beep() {}
  virtual void BringToForeground(Window& top_level) {}
  // A tool tip as the host's own pop-up, its top-left corner near the screen point (the host
  // keeps it clear of the pointer). A second call replaces the text; HideToolTip removes it.
  virtual void ShowToolTip(Window& owner, gfx::Point screen_point, std::string_view text) {}
  virtual void HideToolTip() {}
  // A pop-up menu as the host's own pop-up (kTpm flags place it, as PopupMenuRect does); waits,
  // painting the program's windows meanwhile, until the user chooses an entry or dismisses the
  // menu, and returns the command id chosen, 0 for none. Separators, sub-menu titles and disabled
  // entries cannot be chosen. The host neither sends the command nor changes the menu; it may send
  // kWmMenuSelect to the owner as entries light up. nullopt: the host has no pop-up menus, and the
  // window system's scripted answers serve (WindowSystem::QueuePopupAnswer).
  virtual std::optional<int> TrackPopupMenu(const PopupRequest& request) { return std::nullopt; }
  // A combo box's drop-down list as the host's own pop-up, at least as wide as the box, the
  // current entry lit; waits as above and returns the index chosen, -1 when dismissed. nullopt as
  // above.
  virtual std::optional<int> ShowDropDownList(const PopupRequest& request) { return std::nullopt; }
  // A canvas on the window's whole rectangle, its scroll bars included (origin at the client
  // area's top-left, which the bars lie right of and below), clipped to what the ancestors leave
  // visible (VisibleWindowRect) and to clip. The window system draws the scroll bars with it.
  // nullptr: the drawing is recorded instead.
  virtual std::unique_ptr<gfx::Canvas> CreateWindowCanvas(Window& window, const gfx::Rect& clip) {
    return nullptr;
  }
};

// Where the lock keys stand (Caps Lock, Num Lock, Scroll Lock): the keyboard's state, which the
// program only reads. The program's host implements it; without one every lock reads as off.
class KeyStateSource {
 public:
  virtual ~KeyStateSource() = default;
  // kVkCapital, kVkNumLock or kVkScroll: whether the lock is on.
  virtual bool IsKeyToggled(int virtual_key) const = 0;
};

// The lparam of kWmDropFiles: the dropped files' paths in the order given, and where they were
// dropped (the receiving window's client coordinates). Lives only for the call.
struct DropFiles {
  std::vector<std::string> paths;
  gfx::Point point;
};

// One window of the tree: a top-level window (no kWsChild) or a child inside its parent's client
// area. The object and the window are separate, as in the platform the program was written for:
// Create makes the window, DestroyWindow (or the destructor) ends it, and the object may live on
// without one. Children are kept in z-order, which is their order of creation: the first child is
// the top one, hit first by the mouse and offered commands first. Child objects are not owned by
// the tree (they are usually members of their parent's object); destroying a parent destroys the
// children's windows. User-interface thread only.
class Window : public CommandTarget {
 public:
  Window();
  ~Window() override;

  // A child window when style has kWsChild (parent required), otherwise a top-level window owned
  // by parent (may be nullptr). rect is in the parent's client coordinates, or in screen
  // coordinates for a top-level window (whose client area is the whole rectangle). Sends
  // kWmCreate (OnCreate returning -1 fails the creation) and then kWmSize. False when the window
  // exists already or creation failed.
  bool Create(Window* parent, const gfx::Rect& rect, uint32_t style, int id = 0, std::string_view text = {},
              uint32_t ex_style = 0);
  // Ends the window and its children's windows; the object stays. False when there is no window.
  bool DestroyWindow();

  WindowHandle Handle() const { return handle_; }
  bool IsWindow() const { return handle_ != 0; }
  static Window* FromHandle(WindowHandle handle);

  // Tree
  Window* GetParent() const { return parent_; }
  Window* GetOwner() const { return owner_; }
  // The top-level window that holds this one (itself when it is top-level).
  Window* GetTopLevel();
  const std::vector<Window*>& Children() const { return children_; }
  bool IsChild() const { return (style_ & kWsChild) != 0; }
  // Whether this window is other or lies below it.
  bool IsSelfOrDescendantOf(const Window* other) const;
  int GetDlgCtrlID() const { return id_; }
  void SetDlgCtrlID(int id) { id_ = id; }
  // First child with this control id; nullptr when none.
  Window* GetDlgItem(int id) const;

  // Messages
  LResult SendMessage(uint32_t message, WParam wparam = 0, LParam lparam = 0);
  // Queued on the user-interface queue; any thread may post with the handle through
  // platform::UiThreadQueue().PostMessage(handle, ...). Dropped when the window is gone by then.
  bool PostMessage(uint32_t message, WParam wparam = 0, LParam lparam = 0) const;

  // Styles
  uint32_t GetStyle() const { return style_; }
  uint32_t GetExStyle() const { return ex_style_; }
  // Changes the bits directly, without repainting or messages (the host still learns of a
  // changed visible or disabled bit).
  void ModifyStyle(uint32_t remove, uint32_t add);
  void ModifyStyleEx(uint32_t remove, uint32_t add) { ex_style_ = (ex_style_ & ~remove) | add; }

  // Geometry
  // In the parent's client coordinates (screen coordinates for a top-level window).
  gfx::Rect GetWindowRectInParent() const { return rect_; }
  gfx::Rect GetWindowRect() const;  // screen coordinates
  // The window's rectangle less its scroll bars.
  gfx::Rect GetClientRect() const;
  gfx::Point ClientToScreen(gfx::Point p) const;
  gfx::Point ScreenToClient(gfx::Point p) const;
  gfx::Rect ClientToScreen(const gfx::Rect& r) const;
  // Where the client area's origin lies in the client area of the top-level window.
  gfx::Point OffsetInTopLevel() const;
  // The part of the client area that the ancestors leave visible, in client coordinates.
  gfx::Rect VisibleClientRect() const;
  // The same for the whole window, its scroll bars included.
  gfx::Rect VisibleWindowRect() const;
  // Sends kWmMove and kWmSize when they change; repaint invalidates the window.
  void MoveWindow(const gfx::Rect& rect, bool repaint = true);
  void SetWindowSize(int cx, int cy);
  // Centres over the owner (or parent, or alternate) or, without one, over the screen.
  void CenterWindow(Window* alternate = nullptr);

  // Visibility and state
  // kSwHide, kSwShow, kSwShowNoActivate, kSwShowNormal, kSwMinimize, kSwRestore. Returns whether
  // it was visible before.
  bool ShowWindow(int command);
  // Own visible bit and those of all ancestors.
  bool IsWindowVisible() const;
  bool IsMinimized() const { return minimized_; }
  // Returns whether the window was disabled before.
  bool EnableWindow(bool enable = true);
  bool IsWindowEnabled() const { return IsWindow() && (style_ & kWsDisabled) == 0; }
  // Own enabled state and that of every ancestor: whether input reaches the window.
  bool IsInputEnabled() const;

  void SetWindowText(std::string_view text);
  const std::string& GetWindowText() const { return text_; }
  // Sets or clears kWsExAcceptFiles: files dropped on the window then arrive as kWmDropFiles.
  void DragAcceptFiles(bool accept = true);
  void SetFont(const gfx::Font& font, bool redraw = true);
  // The window's font, or the parent's when it has none of its own.
  const gfx::Font& GetFont() const;

  // Focus and capture (see WindowSystem)
  Window* SetFocus();
  bool HasFocus() const;
  Window* SetCapture();
  // False makes the window give the focus straight back to the window that had it.
  void SetAcceptsFocus(bool accepts) { accepts_focus_ = accepts; }
  bool AcceptsFocus() const { return accepts_focus_; }

  // Painting
  void Invalidate(bool erase = true);
  void InvalidateRect(const gfx::Rect& rect, bool erase = true);
  void ValidateRect(const gfx::Rect* rect = nullptr);
  // Paints at once when something is invalid (synchronous repaint).
  void UpdateWindow();
  // Invalidate and UpdateWindow.
  void RedrawWindow();
  const gfx::Rect& UpdateRect() const { return update_rect_; }
  // kWmSetRedraw: while off the window is not painted (what is invalid waits).
  bool RedrawEnabled() const { return redraw_; }
  // The colour the default erase fills the client area with; none leaves it unpainted.
  void SetBackground(std::optional<uint32_t> color) { background_ = color; }
  const std::optional<uint32_t>& Background() const { return background_; }
  // Paints this window (not its children) into canvas: erase when asked, then OnPaint. What
  // WM_PAINT does; hosts and tests call it with their own canvas.
  void PaintInto(gfx::Canvas& canvas, const gfx::Rect& update, bool erase = true);

  // The window's own scroll bars (kSbHorz, kSbVert), below and right of the client area, which
  // they take from it. A bar shows while the window has kWsHScroll or kWsVScroll; setting a
  // range or page shows it when there is something to scroll and hides it (or, with
  // kSifDisableNoScroll, disables it) when not; the window then gets kWmSize. The position is
  // kept between min and max - page + 1. The user's clicks arrive as kWmHScroll and kWmVScroll
  // (lparam 0); the window moves the position itself. Each returns the position after the call.
  int SetScrollInfo(int bar, const ScrollInfo& info, bool redraw = true);
  // False when the window has no such bar.
  bool GetScrollInfo(int bar, ScrollInfo& info) const;
  // Returns the previous position.
  int SetScrollPos(int bar, int pos, bool redraw = true);
  int GetScrollPos(int bar) const;
  void SetScrollRange(int bar, int min, int max, bool redraw = true);
  void GetScrollRange(int bar, int* min, int* max) const;
  // kSbHorz, kSbVert or kSbBoth.
  void ShowScrollBar(int bar, bool show = true);
  // Where a shown bar lies, in client coordinates (right of or below the client area); empty
  // when it is hidden.
  gfx::Rect ScrollBarRect(int bar) const;

  // Timers on the window system's clock; kWmTimer with the id. Setting an existing id restarts it.
  uintptr_t SetTimer(uintptr_t id, int elapse_ms);
  bool KillTimer(uintptr_t id);

  // Dialog item helpers on the children.
  void SetDlgItemText(int id, std::string_view text);
  std::string GetDlgItemText(int id) const;
  void SetDlgItemInt(int id, int value);
  void CheckDlgButton(int id, int check);
  int IsDlgButtonChecked(int id) const;
  // Checks id and clears the other radio buttons first..last.
  void CheckRadioButton(int first, int last, int id);

  // Whether the host renders this top-level window with real widgets rather than by painting.
  virtual bool RenderedAsWidgets() const { return false; }
  // A name of the kind of window, for hosts and diagnostics.
  virtual std::string_view ClassName() const { return "Window"; }

  // Key and mouse messages pass here, from the target up to its top-level window, before they
  // are delivered; true consumes the message (dialogs take Tab, Enter and Esc this way).
  virtual bool PreTranslateMessage(uint32_t message, WParam wparam, LParam lparam) { return false; }

  // Tells the host that something it shows changed.
  void NotifyChanged(unsigned what);

 protected:
  // All messages arrive here; the base dispatches to the handlers below and DefWindowProc.
  virtual LResult WindowProc(uint32_t message, WParam wparam, LParam lparam);
  // The platform's default for a message nobody handled.
  LResult DefWindowProc(uint32_t message, WParam wparam, LParam lparam);

  virtual int OnCreate() { return 0; }
  virtual void OnDestroy() {}
  // The last message of a window; an object that owns itself may delete itself here.
  virtual void PostNcDestroy() {}
  virtual void OnSize(int type, int cx, int cy) {}
  virtual void OnMove(int x, int y) {}
  virtual void OnShowWindow(bool show) {}
  virtual void OnEnable(bool enable) {}
  virtual void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {}
  // True when the background was erased; the base fills it with the background colour.
  virtual bool OnEraseBackground(gfx::Canvas& canvas);
  virtual void OnMouseMove(unsigned flags, gfx::Point point) {}
  // The pointer's shape over the client point, asked before each mouse move is delivered (also to
  // the window holding the capture).
  virtual CursorShape PointerShapeAt(gfx::Point point) { return CursorShape::kArrow; }
  virtual void OnLButtonDown(unsigned flags, gfx::Point point) {}
  virtual void OnLButtonUp(unsigned flags, gfx::Point point) {}
  virtual void OnLButtonDblClk(unsigned flags, gfx::Point point) {}
  virtual void OnRButtonDown(unsigned flags, gfx::Point point) {}
  virtual void OnRButtonUp(unsigned flags, gfx::Point point) {}
  virtual void OnMButtonDown(unsigned flags, gfx::Point point) {}
  virtual void OnMouseWheel(unsigned flags, int delta, gfx::Point screen_point) {}
  // The pointer left the window and its children.
  virtual void OnMouseLeave() {}
  virtual void OnDropFiles(const DropFiles& drop) {}
  virtual void OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) {}
  virtual void OnKeyUp(int virtual_key, unsigned repeat, unsigned flags) {}
  virtual void OnChar(int character, unsigned repeat, unsigned flags) {}
  virtual void OnTimer(uintptr_t id) {}
  // The base hands the focus straight back when the window does not accept it.
  virtual void OnSetFocus(Window* old_focus);
  virtual void OnKillFocus(Window* new_focus) {}
  virtual void OnCaptureChanged(Window* new_capture) {}
  // kWmContextMenu: window is the one the request came from (this or a child), screen_point
  // where the menu opens. The base passes it on to the parent.
  virtual void OnContextMenu(Window* window, gfx::Point screen_point);
  // kWmCommand: the base routes it through OnCmdMsg; true when handled.
  virtual bool OnCommand(WParam wparam, LParam lparam);
  // kWmNotify: the base routes (id_from, code) through OnCmdMsg like a command notification.
  virtual bool OnNotify(const NotifyHeader& header, LResult* result);
  // kWmClose: the base destroys the window.
  virtual void OnClose() { DestroyWindow(); }

  // Sets the text without messages (a combo box's edit part following its list); tells the host.
  void SetTextSilently(std::string text);
  // Appends to the text without copying it (a log that grows line by line); tells the host.
  void AppendTextSilently(std::string_view text);

 private:
  friend class WindowSystem;

  void DestroyTree();
  void LinkChild(Window* child);
  void UnlinkChild(Window* child);
  // The scroll bars' share of the messages (mouse input on them or while they track, their
  // repeat timer, a lost capture): true when the bars took the message.
  bool ScrollBarMessage(uint32_t message, WParam wparam, LParam lparam);
  // The scroll bars, made on first use.
  WindowScrollBars& Bars();
  // kWmSize with the client size, after the scroll bars came or went.
  void ClientSizeChanged();

  WindowHandle handle_ = 0;
  Window* parent_ = nullptr;  // child windows only
  Window* owner_ = nullptr;   // top-level windows only
  std::vector<Window*> children_;
  uint32_t style_ = 0;
  uint32_t ex_style_ = 0;
  int id_ = 0;
  gfx::Rect rect_;
  std::string text_;
  std::optional<gfx::Font> font_;
  std::optional<uint32_t> background_;
  std::unique_ptr<WindowScrollBars> scroll_bars_;
  gfx::Rect update_rect_;
  bool erase_pending_ = false;
  bool minimized_ = false;
  bool accepts_focus_ = true;
  bool redraw_ = true;
  uint32_t context_menus_ = 0;  // kWmContextMenu messages received, to tell a handler raised one
  bool top_level_announced_ = false;
};

// A window's client-area canvas for drawing outside painting: a cursor moved with the mouse, a
// trace drawn as data arrive. Comes from the host, or is recorded headless. Release it before the
// window goes away.
class ClientDc {
 public:
  explicit ClientDc(Window& window);
  ~ClientDc();
  ClientDc(const ClientDc&) = delete;
  ClientDc& operator=(const ClientDc&) = delete;
  gfx::Canvas& Canvas() { return *canvas_; }
  gfx::Canvas* operator->() { return canvas_; }

 private:
  std::unique_ptr<gfx::Canvas> owned_;
  gfx::Canvas* canvas_ = nullptr;
};

// The lparam of kWmPaint as the window system sends it: the canvas to draw on and the part of the
// client area to paint. A kWmPaint without it validates the window and draws nothing.
struct PaintContext {
  gfx::Canvas* canvas = nullptr;
  gfx::Rect update;
  bool erase = true;
};

// An input message as the host or a test hands it in.
struct InputMessage {
  uint32_t message = 0;
  WParam wparam = 0;
  LParam lparam = 0;
  gfx::Point screen_point;  // mouse messages: where the pointer is on the screen
};

// The process-wide window state: handles, focus, capture, the active window, timers, painting,
// input routing and modal loops. User-interface thread only, except that workers post messages
// through platform::UiThreadQueue().
class WindowSystem {
 public:
  WindowSystem();
  ~WindowSystem();
  WindowSystem(const WindowSystem&) = delete;
  WindowSystem& operator=(const WindowSystem&) = delete;

  Window* FromHandle(WindowHandle handle) const;
  const std::vector<Window*>& TopLevelWindows() const { return top_levels_; }

  // The application's main window (the main frame); nullptr when none.
  Window* MainWindow() const { return main_window_; }
  void SetMainWindow(Window* window) { main_window_ = window; }
  // The application's command target, last on every frame's route; not owned, nullptr for none.
  CommandTarget* AppCommandTarget() const { return app_target_; }
  void SetAppCommandTarget(CommandTarget* target) { app_target_ = target; }
  // The caption of the program's message boxes.
  const std::string& AppTitle() const { return app_title_; }
  void SetAppTitle(std::string title) { app_title_ = std::move(title); }
  gfx::Size ScreenSize() const { return screen_size_; }
  void SetScreenSize(gfx::Size size) { screen_size_ = size; }

  // Focus: kWmKillFocus to the old window, kWmSetFocus to the new one, each with the other's
  // handle. nullptr takes the focus away. Returns the previous focus window.
  Window* SetFocus(Window* window);
  Window* GetFocus() const { return focus_; }
  // The active top-level window: the one that last took the focus or was shown activated.
  Window* GetActiveWindow() const { return active_; }
  void SetActiveWindow(Window* top_level);

  // Mouse messages go to the capture window while it is set, wherever the pointer is.
  Window* SetCapture(Window* window);
  void ReleaseCapture();
  Window* GetCapture() const { return capture_; }

  // The clock that timers run on; nullptr restores the system clock. Not owned.
  void SetClock(const platform::Clock* clock);
  const platform::Clock& Clock() const;
  // Sends kWmTimer once to every timer that is due (a late timer fires once, not once per
  // period missed) and schedules its next period from now. Returns how many fired.
  size_t FireDueTimers();
  // Milliseconds until the next timer is due (0 when one is due); none without timers.
  std::optional<int64_t> NextTimerDelayMs() const;
  size_t TimerCount() const { return timers_.size(); }

  // Paints every visible window that has something invalid, parents before children.
  size_t PaintPending();
  // One round of the work that waits: posted messages, due timers, pending paints.
  size_t RunPending();
  // The host's events (input) and then RunPending.
  size_t ProcessEvents();

  // Input from the host or from tests. A mouse message goes to the capture window, or to the
  // deepest visible, enabled window of top_level under point (top_level's client coordinates);
  // a window that is disabled, or lies in a disabled window, gets nothing. Returns the window
  // that received it.
  Window* MouseInput(Window& top_level, uint32_t message, gfx::Point point, unsigned flags = 0);
  // Key messages go to the focus window, or to the active window when nothing has the focus,
  // after PreTranslateMessage of the target and its ancestors.
  Window* KeyInput(uint32_t message, int key, unsigned flags = 0);
  // Key down, char (for keys that type one) and key up, as one key press.
  void PressKey(int virtual_key);
  // Where the pointer was at the last mouse input, in screen coordinates.
  gfx::Point CursorPos() const { return cursor_pos_; }
  // The pointer shape the last mouse move asked for.
  CursorShape PointerShape() const { return pointer_shape_; }
  // The window the pointer is over (the receiver of the last mouse input); nullptr when none.
  // When it changes, each window that held the pointer and does not hold the new one (the old
  // window and its ancestors) gets kWmMouseLeave.
  Window* HoverWindow() const { return FromHandle(hover_); }
  // The host: the pointer left the top-level window.
  void MouseLeft(Window& top_level);
  // The window of top_level that takes files dropped at point (top_level's client coordinates):
  // the window there, or its nearest ancestor, with kWsExAcceptFiles, when input reaches it;
  // nullptr when none.
  Window* DropTarget(Window& top_level, gfx::Point point);
  // Sends kWmDropFiles to the drop target; returns it, nullptr when none took the files.
  Window* DeliverDroppedFiles(Window& top_level, gfx::Point point, std::vector<std::string> paths);
  // The state of the modifier keys as the host last reported it (kVkShift, kVkControl, kVkMenu).
  void SetKeyDown(int virtual_key, bool down);
  bool IsKeyDown(int virtual_key) const;
  // The lock keys, from the host's source; all off without one. Not owned; nullptr removes it.
  void SetKeyStateSource(const KeyStateSource* source) { key_state_ = source; }
  bool IsKeyToggled(int virtual_key) const {
    return key_state_ != nullptr && key_state_->IsKeyToggled(virtual_key);
  }

  // The one tool tip: shown through the host of owner's top-level window, and kept here (tests
  // read it headless). Goes when owner's window ends.
  struct ToolTip {
    WindowHandle owner = 0;
    gfx::Point screen_point;
    std::string text;
  };
  void ShowToolTip(Window& owner, gfx::Point screen_point, std::string text);
  void HideToolTip();
  const std::optional<ToolTip>& CurrentToolTip() const { return tool_tip_; }

  // Pop-up menus and drop-down lists: shown by the host of the owner's top-level window and
  // waited on. Returns the command id (0 none) or the index (-1 none) as the host answered.
  int ShowPopupMenu(const PopupRequest& request);
  int ShowDropDownList(const PopupRequest& request);
  // Headless, or with a host that has no pop-ups of its own: each pop-up takes the next answer
  // queued here, in order (a command id for a menu, an index for a list); with none left, nothing
  // is chosen. A function answer sees the request (the menu as it would show).
  using PopupAnswer = std::function<int(const PopupRequest&)>;
  void QueuePopupAnswer(PopupAnswer answer) { popup_answers_.push_back(std::move(answer)); }
  void QueuePopupAnswer(int answer) {
    popup_answers_.push_back([answer](const PopupRequest&) { return answer; });
  }
  size_t PendingPopupAnswers() const { return popup_answers_.size(); }
  // Filters see every mouse and key message before it is routed (the splash window closes this
  // way, a progress window watches for Esc). Returns an id for RemoveInputFilter.
  int AddInputFilter(std::function<void(const InputMessage&)> filter);
  void RemoveInputFilter(int id);

  // The modal loop: runs until done() holds or a quit is posted; returns false when it ended by
  // a quit or stalled. With a host that has a loop, the host runs it; headless it pumps the
  // posted queue, fires timers and paints, asks the idle handler when nothing else is to do and
  // otherwise waits for posts from workers.
  bool RunModalLoop(const std::function<bool()>& done, Window* modal = nullptr);
  // Headless: called whenever the modal loop has nothing to do; returns true when it did
  // something (a test presses a key, advances the manual clock). nullptr removes it.
  void SetModalIdleHandler(std::function<bool(Window* modal)> handler) { idle_handler_ = std::move(handler); }
  // Headless: how long a modal loop may see no activity at all before it gives up, so that a
  // test that forgot to drive a dialog fails instead of hanging.
  void SetStallLimitMs(int ms) { stall_limit_ms_ = ms; }
  // Called when a modal loop gives up (the stall limit in ms); kept across Reset, so that a test
  // program can turn every stall into a failure once. nullptr: a line on stderr.
  void SetStallHandler(std::function<void(int stall_ms)> handler) { stall_handler_ = std::move(handler); }
  int ModalDepth() const { return modal_depth_; }

  void PostQuitMessage(int exit_code);
  bool QuitRequested() const { return quit_requested_; }
  int QuitCode() const { return quit_code_; }
  void ClearQuit() { quit_requested_ = false; }

  void BeginWaitCursor();
  void EndWaitCursor();
  int WaitCursorDepth() const { return wait_cursor_depth_; }
  void MessageBeep();
  int BeepCount() const { return beeps_; }

  void SetHost(Host* host) { host_ = host; }
  void SetWidgetHost(Host* host) { widget_host_ = host; }
  Host* CanvasHost() const { return host_; }
  Host* WidgetHost() const { return widget_host_; }
  // The host that shows window's top-level window; nullptr headless.
  Host* HostOf(Window& window);

  // Headless record of drawing: what the last paint of a window drew, and what was drawn on its
  // client canvases since (the newest last, at most a few dozen kept). Empty with a host that
  // supplies canvases.
  struct Record {
    std::unique_ptr<gfx::RecordingCanvas> paint;
    std::deque<std::unique_ptr<gfx::RecordingCanvas>> client;
    std::unique_ptr<gfx::RecordingCanvas> scroll_bars;  // their last painting
  };
  const Record* RecordOf(const Window& window) const;
  void ClearRecords() { records_.clear(); }

  // Back to the state at start. Every window must have been destroyed.
  void Reset();

 private:
  friend class Window;
  friend class ClientDc;
  struct Timer {
    WindowHandle window;
    uintptr_t id;
    int64_t interval_ms;
    int64_t due_ms;
  };

  WindowHandle Register(Window* window);
  void Unregister(Window* window);
  void InstallRouter();
  void WindowDestroyed(Window* window);
  void PaintWindow(Window& window);
  // The headless record of the window, made on first use.
  Record& RecordFor(WindowHandle handle);
  void PaintTree(Window& window, size_t& painted);
  void PaintScrollBars(Window& window);
  std::optional<int> NextPopupAnswer(const PopupRequest& request);
  Window* HitTest(Window& window, gfx::Point point_in_client);
  void RunInputFilters(const InputMessage& input);
  void SetHover(Window* window);
  std::unique_ptr<gfx::Canvas> MakeCanvas(Window& window, const gfx::Rect& clip, bool for_paint);
  void SetTimer(Window& window, uintptr_t id, int elapse_ms);
  bool KillTimer(Window& window, uintptr_t id);

  std::unordered_map<WindowHandle, Window*> handles_;
  std::vector<Window*> top_levels_;
  WindowHandle next_handle_ = 0x1000;
  Window* main_window_ = nullptr;
  CommandTarget* app_target_ = nullptr;
  Window* focus_ = nullptr;
  Window* active_ = nullptr;
  Window* capture_ = nullptr;
  const platform::Clock* clock_ = nullptr;
  std::vector<Timer> timers_;
  std::vector<std::pair<int, std::function<void(const InputMessage&)>>> input_filters_;
  int next_filter_id_ = 1;
  std::function<bool(Window*)> idle_handler_;
  int stall_limit_ms_ = 20000;
  std::function<void(int)> stall_handler_;
  int modal_depth_ = 0;
  bool quit_requested_ = false;
  int quit_code_ = 0;
  int wait_cursor_depth_ = 0;
  int beeps_ = 0;
  unsigned modifiers_ = 0;  // bit 0 shift, 1 control, 2 alt
  const KeyStateSource* key_state_ = nullptr;
  gfx::Point cursor_pos_;
  CursorShape pointer_shape_ = CursorShape::kArrow;
  WindowHandle pointer_top_ = 0;  // the top-level window the shape was last set for
  WindowHandle hover_ = 0;
  std::optional<ToolTip> tool_tip_;
  std::deque<PopupAnswer> popup_answers_;
  std::string app_title_ = "ZK-470";
  gfx::Size screen_size_{1280, 1024};
  Host* host_ = nullptr;
  Host* widget_host_ = nullptr;
  std::vector<std::pair<WindowHandle, std::unique_ptr<Record>>> records_;
};

WindowSystem& Windows();

}  // namespace win
