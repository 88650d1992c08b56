#pragma once

#include <array>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/core_resources.h"
#include "gfx/drawing_types.h"
#include "win/controls.h"
#include "win/toolbar_model.h"
#include "win/window.h"

namespace win {
class FrameWindow;
}

// A toolbar drawn in its own child window of the frame: the buttons of a win::ToolBarModel with
// their pictures, pressed and disabled looks, and drop-down arrows on chosen buttons. A click on
// a button sends kWmCommand with its id to the frame; a click on an arrow calls the drop-down
// handler with the id and the button's screen rectangle. Commands of controls placed on the bar
// go on to the frame as well.
//
// Tool tips and fly-by prompts: while the pointer rests on a button or a control of the bar, its
// tool tip (the part of the command's string after the line end) shows after kToolTipDelayMs as
// the host's pop-up, and the frame's message pane shows the command's prompt (the part before
// the line end) after kFlyByDelayMs; moving on to the next button changes both at once. Leaving
// the bar, or releasing a click, sets the pane back to "Ready". User-interface thread only.
class ToolBarWnd : public win::Window {
 public:
  static constexpr int kFlyByDelayMs = 300;
  static constexpr int kToolTipDelayMs = 500;
  // A tool tip goes by itself after this long.
  static constexpr int kToolTipShowMs = 5000;
  static constexpr int kButtonWidth = 24;
  static constexpr int kButtonHeight = 22;
  static constexpr int kArrowWidth = 12;
  static constexpr int kSeparatorWidth = 8;
  static constexpr int kBarHeight = kButtonHeight + 6;
  using DropDownHandler = std::function<void(int id, const gfx::Rect& button_on_screen)>;

  // Creates the bar in the frame from toolbar resource resource_id; false when it cannot be
  // created.
  bool CreateBar(win::FrameWindow& frame, int resource_id, const gfx::Rect& rect, int id);

  win::ToolBarModel& Model() { return model_; }
  const win::ToolBarModel& Model() const { return model_; }
  void SetDropDownArrow(int id, bool on = true);
  bool HasDropDownArrow(int id) const { return drop_down_.contains(id); }
  void SetDropDownHandler(DropDownHandler handler) { drop_down_handler_ = std::move(handler); }
  // Gives a separator a width of its own (a place for a control).
  void SetSeparatorWidth(int id, int width);
  // Where button index lies in the bar's client area; its arrow part is the right kArrowWidth
  // pixels when it has one.
  gfx::Rect ButtonRect(size_t index) const;
  // The width the buttons need.
  int NeededWidth() const;
  // Takes the states from the model (after its update pass) and repaints when something changed.
  void Refresh();
  // The command under the point (client coordinates): a control of the bar, else a button
  // (enabled or not); 0 over separators and empty parts.
  int ToolHitTest(gfx::Point point) const;

  // Mouse messages of the bar and of its controls pass here: the tool under the pointer.
  bool PreTranslateMessage(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  void OnMouseLeave() override;
  void OnTimer(uintptr_t id) override;
  void OnDestroy() override;
  bool OnCommand(win::WParam wparam, win::LParam lparam) override;

 private:
  int ButtonWidth(const win::ToolButton& button) const;
  void TrackTool(uint32_t message);
  // The frame's message pane: the prompt of id, or "Ready" for 0.
  void SetStatusText(int id);
  void ShowToolTip();
  void HideToolTip();

  win::FrameWindow* frame_ = nullptr;
  win::ToolBarModel model_;
  std::vector<ToolGlyph> glyphs_;
  std::set<int> drop_down_;
  std::vector<std::pair<int, int>> separator_widths_;
  DropDownHandler drop_down_handler_;
  int pressed_ = -1;
  std::vector<std::pair<bool, bool>> painted_states_;
  int hover_tool_ = 0;     // the tool under the pointer, 0 none
  bool status_set_ = false;  // the message pane shows a prompt of this bar
  bool tip_shown_ = false;
  int tip_suppressed_ = 0;  // a click hid this tool's tip: none until the pointer moves on
};

// The main toolbar (resource 306): open, save, recorder, analysis, print, send and About, with
// drop-down arrows on 32821, 57601, 57603, 33216, 32817 and 32816.
class CMainToolBar : public ToolBarWnd {
 public:
  // 1, or -1 when the bar cannot be created.
  int CreateBar(win::FrameWindow& frame, const gfx::Rect& rect);
};

// The combo box of the time-span toolbar: a click opens its entries as a pop-up list.
class TimeSpanCombo : public win::ComboBox {
 public:
  TimeSpanCombo() : win::ComboBox(win::ControlKind::kComboDropList) {}
  // Opens the list as a click does; returns the index chosen, -1 for none. on_open lets tests
  // drive the list.
  int DropDown(const std::function<void(class PopupMenuWnd&)>& on_open = {});

 protected:
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
};

// The time-span toolbar (resource 326): its button 33312 is the place of a static control and a
// drop-down combo box (both id 33312) with the spans of the recording. The combo and the table of
// span codes behind its entries are the program's one instance (the last bar created).
class CTimeSpanToolBar : public ToolBarWnd {
 public:
  // Span codes: 0 all, 1 24 h, 2 12 h, 3 6 h, 4 3 h.
  static constexpr int kSpanAll = 0;
  static constexpr int kComboWidth = 80;

  ~CTimeSpanToolBar() override;
  // 1, or -1 when the bar cannot be created.
  int CreateBar(win::FrameWindow& frame, const gfx::Rect& rect);

  // The code of the selected entry (0 when there is none).
  static int GetSelectedSpan();
  // Whether the combo offers more than one entry.
  static bool HasSpanChoice();
  // The choices for a recording of this many minutes: "All", and "24h", "12h", " 6h", " 3h" for
  // each span the recording is longer than; the first is selected.
  static void FillSpans(int minutes);
  // The live bar, nullptr when none.
  static CTimeSpanToolBar* Current();

  TimeSpanCombo& Combo() { return combo_; }
  const std::vector<int>& SpanCodes() const { return codes_; }

 protected:
  void OnDestroy() override;

 private:
  void AddSpan(std::string_view text, int code);

  win::StaticControl label_;
  TimeSpanCombo combo_;
  std::vector<int> codes_;
  gfx::Font font_;
};
