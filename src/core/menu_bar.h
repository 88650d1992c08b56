#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/core_resources.h"
#include "gfx/geometry.h"
#include "win/menu.h"
#include "win/window.h"

namespace win {
class FrameWindow;
}

// Which image a menu entry shows beside its text; kNone for none.
using MenuImageLookup = std::function<ToolGlyph(int command_id)>;

// How a pop-up menu opens and ends.
struct PopupMenuOptions {
  // Opened from the keyboard: the first entry is lit at once.
  bool keyboard = false;
  // A pop-up of the menu bar: Left and Right end it, asking for the title beside it.
  bool neighbours = false;
  // Tells the owner which entry is lit (kWmMenuSelect), and that the menu closed, for the
  // status-bar prompts. Off for lists that only look like menus.
  bool notify_owner = true;
};

// A pop-up menu as its own borderless top-level window: the entries of one win::Menu, the
// highlighted entry following the mouse, the arrow keys and the mnemonics ("&" letters; one
// entry with the letter is chosen, several are lit in turn). Clicking an enabled command entry,
// or Enter on it, chooses it; Esc, Alt, or a click outside, closes the menu with nothing chosen.
// The menu holds the mouse capture while it is open. User-interface thread only.
class PopupMenuWnd : public win::Window {
 public:
  static constexpr int kItemHeight = 20;
  static constexpr int kSeparatorHeight = 8;

  // Why the menu ended.
  enum class Ending { kOpen, kChosen, kEscape, kLeft, kRight, kDismissed };

  PopupMenuWnd(const win::Menu& menu, MenuImageLookup images, PopupMenuOptions options = {});

  // Creates and shows the window with its top-left corner at the screen point, kept on the screen.
  bool Open(win::Window* owner, gfx::Point screen_point);
  bool Closed() const { return closed_; }
  // The command chosen, 0 when none.
  int Chosen() const { return chosen_; }
  Ending HowEnded() const { return ending_; }
  // Index of the highlighted entry, -1 when none.
  int Highlighted() const { return highlighted_; }
  // The rectangle of entry index in client coordinates.
  gfx::Rect ItemRect(size_t index) const;
  // Chooses entry index as a click on it would (nothing for separators, pop-ups and disabled
  // entries).
  void ChooseItem(size_t index);
  // Ends the menu with the command chosen; 0 dismisses it.
  void Close(int chosen);

  std::string_view ClassName() const override { return "#32768"; }

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnMouseMove(unsigned flags, gfx::Point point) override;
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  void OnRButtonDown(unsigned flags, gfx::Point point) override;
  void OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) override;
  void OnCaptureChanged(win::Window* new_capture) override;

 private:
  int ItemAt(gfx::Point point) const;
  bool Selectable(size_t index) const;
  void MoveHighlight(int step);
  void SetHighlight(int index);
  void OnMnemonic(char letter);
  void Finish(Ending how, int chosen);
  void NotifyOwner(int id, int flags);

  win::Menu menu_;
  MenuImageLookup images_;
  PopupMenuOptions options_;
  std::vector<int> item_tops_;
  int width_ = 0;
  int height_ = 0;
  int highlighted_ = -1;
  bool closed_ = false;
  int chosen_ = 0;
  Ending ending_ = Ending::kOpen;
  bool pressed_inside_ = false;
};

// What a tracked menu ended with: the command chosen (0 none) and how.
struct PopupMenuResult {
  int chosen = 0;
  PopupMenuWnd::Ending how = PopupMenuWnd::Ending::kDismissed;
};

// Shows menu as a modal pop-up at the screen point (its top-left corner) and returns the command
// chosen, 0 when the menu was closed without a choice. The entries take their states from the
// update handlers along target's route first. on_open, when given, gets the window after it was
// shown (tests drive the menu from there). The keyboard focus goes back where it was.
int TrackPopupMenu(const win::Menu& menu, gfx::Point screen_point, win::Window* owner,
                   win::CommandTarget& target, const MenuImageLookup& images,
                   const std::function<void(PopupMenuWnd&)>& on_open = {}, PopupMenuOptions options = {});
PopupMenuResult TrackPopupMenuEx(const win::Menu& menu, gfx::Point screen_point, win::Window* owner,
                                 win::CommandTarget& target, const MenuImageLookup& images,
                                 const std::function<void(PopupMenuWnd&)>& on_open, PopupMenuOptions options);

// The menu bar of a frame: a strip at the top of its client area that shows the titles of the
// frame's menu. Clicking a title opens its pop-up under it; the chosen command goes to the frame
// as kWmCommand. A host with pop-ups of its own shows the pop-ups; headless they are drawn
// windows (PopupMenuWnd). Before a pop-up opens, the frame's prepare hook may change it (the recent-file
// entries) and its entries take their states from the frame's update handlers. Left and Right in
// an open pop-up move to the pop-up beside it.
//
// Keyboard access: in keyboard mode (Alt or F10, which the frame passes on) a title is lit and
// the bar takes the frame's keys through HandleKey: Left and Right move along the titles, Down,
// Up and Enter open the lit one, a title's mnemonic letter opens it, Esc, Alt or F10 leave the
// mode, and so does any mouse click. Esc in a pop-up opened this way returns to its lit title.
class MenuBarWnd : public win::Window {
 public:
  static constexpr int kHeight = 20;

  MenuBarWnd(win::FrameWindow& frame, MenuImageLookup images);
  bool Create(const gfx::Rect& rect);

  // Called with each pop-up before it opens.
  void SetPreparePopup(std::function<void(win::Menu&)> prepare) { prepare_ = std::move(prepare); }
  // Where the pop-ups' entries take their states from and where a chosen command goes; without
  // it the frame's route and kWmCommand to the frame.
  void SetCommandRoute(win::CommandTarget* states, std::function<void(int id)> send) {
    route_ = states;
    send_ = std::move(send);
  }
  // The rectangle of title index in client coordinates; empty past the last title.
  gfx::Rect TitleRect(size_t index) const;
  // Opens pop-up index as a click on its title does and returns the command chosen (0 none).
  // on_open gets each pop-up the user opens on the way (Left and Right); given, the pop-ups are
  // the drawn windows even with a host.
  int OpenPopup(size_t index, const std::function<void(PopupMenuWnd&)>& on_open = {});
  // Opens pop-up index from the keyboard: its first entry lit.
  int OpenPopupFromKeyboard(size_t index, const std::function<void(PopupMenuWnd&)>& on_open = {});

  bool InKeyboardMode() const { return keyboard_mode_; }
  // The lit title, -1 outside keyboard mode.
  int HotTitle() const { return keyboard_mode_ ? hot_index_ : -1; }
  void EnterKeyboardMode(size_t index = 0);
  void LeaveKeyboardMode();
  // A key message for the bar in keyboard mode; true when the bar took it (in keyboard mode it
  // takes every key, so that none reaches the view underneath).
  bool HandleKey(uint32_t message, int key);
  // The title whose mnemonic is the key ('A'..'Z', '0'..'9', any case); -1 when none.
  int FindTitle(int key) const;

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnDestroy() override;

 private:
  std::vector<gfx::Rect> Titles() const;
  size_t TitleCount() const;
  int Track(size_t index, bool keyboard, const std::function<void(PopupMenuWnd&)>& on_open);
  // The pull-down as the host's own pop-up; nullopt when the host has none (headless).
  std::optional<PopupMenuResult> TrackHostPopup(const win::Menu& popup, gfx::Point screen_point,
                                                bool keyboard);
  void SetHot(int index);
  void DropKeyboardMode(bool notify);

  win::FrameWindow& frame_;
  MenuImageLookup images_;
  std::function<void(win::Menu&)> prepare_;
  win::CommandTarget* route_ = nullptr;
  std::function<void(int)> send_;
  int open_index_ = -1;
  bool keyboard_mode_ = false;
  int hot_index_ = -1;
  bool leave_on_alt_up_ = false;
  int mouse_filter_ = 0;
};

// The text of a menu entry as shown: the "&" marks removed ("&&" stays one "&").
std::string MenuDisplayText(std::string_view text);
// The mnemonic of a menu text: the upper-case letter after its first single "&"; 0 when none.
char MenuMnemonic(std::string_view text);
