#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/drawing_types.h"
#include "gfx/geometry.h"
#include "win/window.h"

namespace gfx {
class Canvas;
}

namespace dialogs {

// Messages the colour picker sends to its owner; wparam is the colour as 0x00BBGGRR, lparam 0.
inline constexpr uint32_t kWmColorPickerSelChange = 2025;
inline constexpr uint32_t kWmColorPickerSelEnd = 2028;
inline constexpr uint32_t kWmColorPickerSelCancel = 2029;

// Drawing pieces of the option tree's pop-ups, in the system colours.
// A 50 percent halftone of the button highlight on the button face: a pressed entry's background.
void FillHalftone(gfx::Canvas& canvas, const gfx::Rect& r);
// One-pixel frames: raised (light top-left) and sunken (dark top-left).
void DrawRaisedInnerEdge(gfx::Canvas& canvas, const gfx::Rect& r);
void DrawSunkenOuterEdge(gfx::Canvas& canvas, const gfx::Rect& r);
// The two-pixel raised border of a pop-up window.
void DrawRaisedEdge(gfx::Canvas& canvas, const gfx::Rect& r);

// The tool tips of a pop-up: one text per rectangle (client coordinates). After the pointer has
// rested on a tool for kDelayMs (window-system clock) the host shows its text; moving to another
// tool, a click, a key or the window's end takes it away. The pop-up relays every message here
// first. User-interface thread only.
class PopupToolTips {
 public:
  static constexpr int kDelayMs = 500;
  static constexpr uintptr_t kTimerId = 0x7172;

  void AddTool(const gfx::Rect& rect, std::string text);
  void Activate(bool active) { active_ = active; }
  size_t ToolCount() const { return tools_.size(); }
  // The first tool under point; -1 for none.
  int ToolAt(gfx::Point point) const;
  // True when the message was the tips' own timer.
  bool Relay(win::Window& window, uint32_t message, win::WParam wparam, win::LParam lparam);

 private:
  void Hide(win::Window& window);

  struct Tool {
    gfx::Rect rect;
    std::string text;
  };
  std::vector<Tool> tools_;
  bool active_ = false;
  int current_ = -1;
  bool shown_ = false;
};

// The drop-down colour chooser of the option tree: a frameless pop-up with a grid of 40 named
// colours, an optional default entry above it and an optional custom entry below it that opens
// the prompt's colour chooser. It holds the mouse capture and the focus while the user browses,
// reports every change of the entry under the pointer or the keys (2025), then the choice (2028)
// or the cancellation (2029) to its owner, and destroys its window. Made on the heap: the object
// deletes itself when its window is gone, and its owner keeps no pointer. Pixels; the window
// rectangle is in screen coordinates. User-interface thread only.
class COptionTreeColorPicker : public win::Window {
 public:
  static constexpr int kColorCount = 40;
  static constexpr int kColumns = 8;
  static constexpr int kCellSize = 18;
  static constexpr int kMargin = 2;
  // Entry numbers besides the cells 0..39.
  static constexpr int kEntryNone = -1;
  static constexpr int kEntryCustom = -2;
  static constexpr int kEntryDefault = -3;

  struct NamedColor {
    const char* name;
    gfx::Color color;
  };
  static const std::array<NamedColor, kColorCount>& ColorTable();

  COptionTreeColorPicker();
  // Creates the window at once, top-left at the screen point (x, y).
  COptionTreeColorPicker(int x, int y, gfx::Color initial, gfx::Color default_color, win::Window* owner,
                         std::string_view default_text = {}, std::string_view custom_text = {});

  // color becomes the initial and the current colour; an empty text leaves its entry out.
  bool Create(int x, int y, gfx::Color color, win::Window* owner, std::string_view default_text,
              std::string_view custom_text);

  std::string_view ClassName() const override { return "COptionTreeColorPicker"; }

  int GetHotEntry() const { return hot_; }
  int GetChosenEntry() const { return chosen_; }
  gfx::Color GetInitialColor() const { return initial_; }
  gfx::Color GetCurrentColor() const { return current_; }
  // Client coordinates.
  gfx::Rect GetCellRect(int index) const;
  const gfx::Rect& GetDefaultBox() const { return default_box_; }
  const gfx::Rect& GetCustomBox() const { return custom_box_; }
  const PopupToolTips& ToolTips() const { return tips_; }

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnMouseMove(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  void OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) override;
  void OnKillFocus(win::Window* new_focus) override;
  void OnDestroy() override;
  void PostNcDestroy() override;

 private:
  bool HasDefault() const { return !default_text_.empty(); }
  bool HasCustom() const { return !custom_text_.empty(); }
  void Layout(int x, int y);
  void CreateToolTips();
  int FindChosenEntry() const;
  void ChangeHot(int entry);
  void InvalidateEntry(int entry);
  int EntryForKey(int virtual_key) const;
  void End(uint32_t message);
  void DrawCell(gfx::Canvas& canvas, int index) const;
  void DrawDefaultEntry(gfx::Canvas& canvas) const;
  void DrawCustomEntry(gfx::Canvas& canvas) const;

  int rows_ = 5;
  int hot_ = kEntryNone;
  int chosen_ = kEntryNone;
  std::string default_text_;
  std::string custom_text_;
  gfx::Rect custom_box_;
  gfx::Rect default_box_;
  gfx::Rect window_rect_;
  gfx::Font font_;
  gfx::Color initial_ = 0;
  gfx::Color current_ = 0;
  gfx::Color default_color_ = 0;
  PopupToolTips tips_;
  // Kept by handle: the owner may end before the pick does.
  win::WindowHandle owner_ = 0;
  win::WindowHandle previous_focus_ = 0;
  bool color_dialog_open_ = false;
  bool ending_ = false;
};

}  // namespace dialogs
