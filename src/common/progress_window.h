#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "gfx/drawing_types.h"
#include "win/controls.h"
#include "win/window.h"

// The shared progress indicator of long operations that run on the user-interface thread: a
// small top-most pop-up with a text line, a progress bar and a Cancel button, driven by its owner
// step by step; PumpMessages between steps keeps the program responsive and lets the user cancel.
// Without a window (creation failed, or destroyed) every operation returns the stored values.
// User-interface thread only.
class CProgressWindow : public win::Window {
 public:
  static constexpr int kTextId = 11;
  static constexpr int kBarId = 12;
  static constexpr int kCancelId = 10;
  static constexpr int kDefaultWidth = 390;

  CProgressWindow();
  // Sets the caption and creates the window at once.
  CProgressWindow(win::Window* parent, std::string_view caption, bool smooth);
  // Destroys the window, re-enabling the main window when modal.
  ~CProgressWindow() override;

  void SetDefaults();
  // Creates and shows the window over parent (else the main window). False when the window or a
  // control cannot be created.
  bool CreatePopup(win::Window* parent, std::string_view caption, bool smooth);
  // Creates the window when there is none, disables the main window and enables itself.
  bool BeginModal(std::string_view caption, bool smooth);
  void SetRange(int32_t lower, int32_t upper, int32_t step);
  // Shows a hidden window, sets the position and, when the percentage changed, the title
  // "caption [n%]". Returns the bar's previous position.
  int32_t SetPos(int32_t position);
  int32_t OffsetPos(int32_t delta);
  int32_t StepIt();
  // Returns the previous step.
  int32_t SetStep(int32_t step);
  // The text line (at most 511 bytes); false without a window.
  bool SetText(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void Clear();
  void Hide();
  void Show();
  // Runs the input and the posted work that wait. With esc_cancels an Esc typed meanwhile
  // cancels; while modal a click released over Cancel does. Returns non-zero when cancelled; 0
  // when a quit arrived (left for the program's own loop).
  int PumpMessages(bool esc_cancels);
  // Re-enables the main window when modal, then destroys the window.
  bool DestroyWindow();
  // Sizes the text box for lines lines, places button and bar, and fits the window around them.
  void Layout(int lines, int width);

  bool IsCancelled() const { return cancelled_ != 0; }
  bool IsModal() const { return modal_ != 0; }
  int32_t GetPos() const { return position_; }
  int32_t GetStep() const { return step_; }
  std::pair<int32_t, int32_t> GetRange() const { return {lower_, upper_}; }
  const std::string& Caption() const { return caption_; }
  win::StaticControl& TextControl() { return text_; }
  win::ProgressBar& Bar() { return bar_; }
  win::Button& CancelButton() { return button_; }

  bool RenderedAsWidgets() const override { return true; }
  std::string_view ClassName() const override { return "ProgressWindow"; }

 protected:
  void OnCancel();

 private:
  win::StaticControl text_;
  win::ProgressBar bar_;
  win::Button button_;
  int32_t cancelled_ = 0;
  int32_t modal_ = 0;
  int32_t position_ = 0;
  int32_t last_percent_ = 0;
  int32_t step_ = 1;
  int32_t upper_ = 100;
  int32_t lower_ = 0;
  int32_t text_lines_ = 4;
  std::string caption_;
  std::string button_text_;
  gfx::Font font_;
  // Whether BeginModal disabled the main window (and so must enable it again): a main window
  // that a modal dialog had disabled already stays as that dialog wants it.
  bool disabled_main_ = false;
};
