#pragma once

#include <functional>
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

// A pop-up menu as its own borderless top-level window: the entries of one win::Menu, the
// highlighted entry following the mouse and the arrow keys. Clicking an enabled command entry,
// or Enter on it, chooses it; Esc, or a click outside, closes the menu with nothing chosen.
// The menu holds the mouse capture while it is open. User-interface thread only.
class PopupMenuWnd : public win::Window {
 public:
  static constexpr int kItemHeight = 20;
  static constexpr int kSeparatorHeight = 8;

  PopupMenuWnd(const win::Menu& menu, MenuImageLookup images);

  // Creates and shows the window with its top-left corner at the screen point, kept on the screen.
  bool Open(win::Window* owner, gfx::Point screen_point);
  bool Closed() const { return closed_; }
  // The command chosen, 0 when none.
  int Chosen() const { return chosen_; }
  // Index of the highlighted entry, -1 when none.
  int Highlighted() const { return highlighted_; }
  // The rectangle of entry index in client coordinates.
  gfx::Rect ItemRect(size_t index) const;
  // Chooses entry index as a click on it would (nothing for separators, pop-ups and disabled
  // entries).
  void ChooseItem(size_t index);
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

  win::Menu menu_;
  MenuImageLookup images_;
  std::vector<int> item_tops_;
  int width_ = 0;
  int height_ = 0;
  int highlighted_ = -1;
  bool closed_ = false;
  int chosen_ = 0;
  bool pressed_inside_ = false;
};

// Shows menu as a modal pop-up at the screen point (its top-left corner) and returns the command
// chosen, 0 when the menu was closed without a choice. The entries take their states from the
// update handlers along target's route first. on_open, when given, gets the window after it was
// shown (tests drive the menu from there).
int TrackPopupMenu(const win::Menu& menu, gfx::Point screen_point, win::Window* owner,
                   win::CommandTarget& target, const MenuImageLookup& images,
                   const std::function<void(PopupMenuWnd&)>& on_open = {});

// The menu bar of a frame: a strip at the top of its client area that shows the titles of the
// frame's menu. Clicking a title opens its pop-up under it; the chosen command goes to the frame
// as kWmCommand. Before a pop-up opens, the frame's prepare hook may change it (the recent-file
// entries) and its entries take their states from the frame's update handlers.
class MenuBarWnd : public win::Window {
 public:
  static constexpr int kHeight = 20;

  MenuBarWnd(win::FrameWindow& frame, MenuImageLookup images);
  bool Create(const gfx::Rect& rect);

  // Called with each pop-up before it opens.
  void SetPreparePopup(std::function<void(win::Menu&)> prepare) { prepare_ = std::move(prepare); }
  // The rectangle of title index in client coordinates; empty past the last title.
  gfx::Rect TitleRect(size_t index) const;
  // Opens pop-up index as a click on its title does and returns the command chosen (0 none).
  int OpenPopup(size_t index, const std::function<void(PopupMenuWnd&)>& on_open = {});

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnLButtonDown(unsigned flags, gfx::Point point) override;

 private:
  std::vector<gfx::Rect> Titles() const;

  win::FrameWindow& frame_;
  MenuImageLookup images_;
  std::function<void(win::Menu&)> prepare_;
  int open_index_ = -1;
};

// The text of a menu entry as shown: the "&" marks removed ("&&" stays one "&").
std::string MenuDisplayText(std::string_view text);
