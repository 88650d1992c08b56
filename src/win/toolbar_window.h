#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "gfx/geometry.h"
#include "win/toolbar_model.h"
#include "win/window.h"

namespace win {

class ImageList;

// A toolbar drawn in its own child window: the buttons of a ToolBarModel with their images,
// separators, pushed-in check buttons, greyed disabled buttons, the pressed look while the mouse
// holds a button and drop-down arrows on chosen buttons. With kTbStyleFlat the buttons lie flat
// and the one under the pointer shows raised. A click on an enabled button posts kWmCommand with
// its id to the command window (given at creation: the frame, or the parent); a check button
// toggles first, and a button of a check group goes down while the others of its group (the
// neighbouring buttons of that style) come up. A click on an arrow calls the drop-down handler
// with the id and the button's screen rectangle. Commands of controls placed on the bar go on to
// the command window as well.
//
// Tool tips and fly-by prompts: while the pointer rests on a button or a control of the bar, its
// tool tip shows after kToolTipDelayMs as the host's pop-up, and the command window's message
// pane (kWmSetMessageString) shows the command's prompt after kFlyByDelayMs; moving on to the
// next button changes both at once. Leaving the bar, or releasing a click, sets the pane back to
// the idle message. User-interface thread only.
class ToolBarWindow : public Window {
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

  // Creates the bar as a visible child of parent; style may add kTbStyleFlat. Commands and
  // prompts go to command_window, or to the parent when it is nullptr.
  bool CreateToolBar(Window& parent, const gfx::Rect& rect, int id, uint32_t style = 0,
                     Window* command_window = nullptr);

  ToolBarModel& Model() { return model_; }
  const ToolBarModel& Model() const { return model_; }
  // Button pictures by the buttons' image index; not owned, nullptr for none.
  void SetImageList(const ImageList* images) { images_ = images; }
  void SetDropDownArrow(int id, bool on = true);
  bool HasDropDownArrow(int id) const { return drop_down_.contains(id); }
  void SetDropDownHandler(DropDownHandler handler) { drop_down_handler_ = std::move(handler); }
  // Gives a separator a width of its own (a place for a control).
  void SetSeparatorWidth(int id, int width);
  // The string id the message pane shows when no tool is under the pointer (0: empty).
  void SetIdleMessage(int string_id) { idle_message_ = string_id; }
  // Where button index lies in the bar's client area; its arrow part is the right kArrowWidth
  // pixels when it has one.
  gfx::Rect ButtonRect(size_t index) const;
  // The width the buttons need.
  int NeededWidth() const;
  // Takes the states from the model (after its update pass) and repaints when something changed.
  void Refresh();
  // The update pass: the buttons take their states from the update handlers along the command
  // window's route (a button nobody handles is disabled), then Refresh.
  void UpdateButtons();
  // The command under the point (client coordinates): a control of the bar, else a button
  // (enabled or not); 0 over separators and empty parts.
  int ToolHitTest(gfx::Point point) const;
  // The enabled button under the pointer, -1 none.
  int GetHotItem() const { return hot_index_; }
  Window* CommandWindow() const { return command_window_; }

  // Mouse messages of the bar and of its controls pass here: the tool under the pointer.
  bool PreTranslateMessage(uint32_t message, WParam wparam, LParam lparam) override;
  std::string_view ClassName() const override { return "ToolbarWindow32"; }

 protected:
  // Draws the picture of a button into box: the image list's picture, centred.
  virtual void DrawButtonImage(gfx::Canvas& canvas, const ToolButton& button, const gfx::Rect& box,
                               bool enabled);
  // The tool tip of a tool of the bar: the button's own.
  virtual std::string ToolTipText(int id) const;

  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  void OnMouseLeave() override;
  void OnTimer(uintptr_t id) override;
  void OnDestroy() override;
  bool OnCommand(WParam wparam, LParam lparam) override;

 private:
  int ButtonWidth(const ToolButton& button) const;
  bool IsFlat() const { return (GetStyle() & kTbStyleFlat) != 0; }
  // The enabled button at the point, -1 none.
  int ButtonAt(gfx::Point point) const;
  void SetHot(int index);
  // A check button toggles, a check-group button goes down with the rest of its group up.
  void ApplyCheckStyle(size_t index);
  void TrackTool(uint32_t message);
  // The command window's message pane: the prompt of id, or the idle message for 0.
  void SetStatusText(int id);
  void ShowToolTip();
  void HideToolTip();

  Window* command_window_ = nullptr;
  ToolBarModel model_;
  const ImageList* images_ = nullptr;
  std::set<int> drop_down_;
  std::vector<std::pair<int, int>> separator_widths_;
  DropDownHandler drop_down_handler_;
  int idle_message_ = 0;
  int pressed_ = -1;
  int hot_index_ = -1;
  std::vector<std::pair<bool, bool>> painted_states_;
  int hover_tool_ = 0;       // the tool under the pointer, 0 none
  bool status_set_ = false;  // the message pane shows a prompt of this bar
  bool tip_shown_ = false;
  int tip_suppressed_ = 0;  // a click hid this tool's tip: none until the pointer moves on
};

// A bar whose buttons show a short text each in place of a picture (the review windows' bars,
// which have no bitmaps of their own); a button without a text stays blank.
class TextToolBarWindow : public ToolBarWindow {
 public:
  struct ButtonText {
    int id = 0;
    const char* text = "";
  };
  explicit TextToolBarWindow(std::span<const ButtonText> texts) : texts_(texts.begin(), texts.end()) {}

 protected:
  void DrawButtonImage(gfx::Canvas& canvas, const ToolButton& button, const gfx::Rect& box,
                       bool enabled) override;

 private:
  std::vector<ButtonText> texts_;
};

}  // namespace win
