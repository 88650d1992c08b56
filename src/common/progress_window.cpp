#include "common/progress_window.h"

#include <cstdarg>
#include <cstdio>

#include "gfx/recording_canvas.h"
#include "platform/resources.h"
#include "win/system_metrics.h"
#include "win/win_strings.h"

namespace {

constexpr int kMargin = 10;

}  // namespace

CProgressWindow::CProgressWindow() { SetDefaults(); }

CProgressWindow::CProgressWindow(win::Window* parent, std::string_view caption, bool smooth) {
  SetDefaults();
  caption_ = std::string(caption);
  CreatePopup(parent, caption_, smooth);
}

CProgressWindow::~CProgressWindow() { DestroyWindow(); }

void CProgressWindow::SetDefaults() {
  text_lines_ = 4;
  position_ = 0;
  last_percent_ = 0;
  step_ = 1;
  lower_ = 0;
  upper_ = 100;
  caption_ = "Progress";
  // The platform's own button text of the chosen language, a blank on each side.
  const std::string cancel = platform::LoadString(win::kIdsSheetCancel);
  button_text_ = " " + (cancel.empty() ? std::string("Cancel") : cancel) + " ";
  cancelled_ = 0;
  modal_ = 0;
  AddCommand(kCancelId, [this] { OnCancel(); });
}

bool CProgressWindow::CreatePopup(win::Window* parent, std::string_view caption, bool smooth) {
  if (IsWindow()) return true;
  win::WindowSystem& windows = win::Windows();
  font_ = win::MessageFont();
  caption_ = std::string(caption);
  win::Window* owner = parent != nullptr ? parent : windows.MainWindow();
  SetBackground(win::GetSysColor(win::SysColor::kBtnFace));
  if (!Create(owner, {0, 0, kDefaultWidth, 130}, win::kWsPopup | win::kWsCaption, 0, caption_,
              win::kWsExDlgModalFrame | win::kWsExTopMost)) {
    return false;
  }
  SetFont(font_, false);
  const bool created =
      text_.CreateControl(this, {}, kTextId, "", win::kWsChild | win::kWsVisible | win::kSsNoPrefix) &&
      bar_.CreateControl(this, {}, kBarId, "", win::kWsChild | win::kWsVisible | (smooth ? win::kPbsSmooth : 0)) &&
      button_.CreateControl(this, {}, kCancelId, button_text_, win::kWsChild | win::kWsVisible | win::kWsTabStop);
  if (!created) {
    win::Window::DestroyWindow();
    return false;
  }
  bar_.SetRange32(lower_, upper_);
  bar_.SetStep(step_);
  Layout(text_lines_, kDefaultWidth);
  CenterWindow();
  Show();
  return true;
}

void CProgressWindow::Layout(int lines, int width) {
  gfx::RecordingCanvas measure;
  measure.SelectFont(font_);
  std::string sample = "M";
  for (int i = 1; i < lines; ++i) sample += "\nM";
  gfx::Rect text_box{kMargin, kMargin, kMargin + width, kMargin};
  measure.DrawText(sample, text_box, gfx::kDtCalcRect);
  text_box.left = kMargin;
  text_box.right = kMargin + width;

  const gfx::Size extent = measure.GetTextExtent(button_text_ + "  ");
  const int button_width = extent.cx + 4 * win::kEdgeWidth;
  const int button_height = extent.cy + 3 * win::kEdgeHeight;
  const gfx::Rect button{text_box.right - button_width, text_box.bottom + kMargin, text_box.right,
                         text_box.bottom + kMargin + button_height};
  const gfx::Rect bar{text_box.left, button.top + win::kEdgeHeight, button.left - kMargin,
                      button.bottom - win::kEdgeHeight};
  text_.MoveWindow(text_box);
  button_.MoveWindow(button);
  bar_.MoveWindow(bar);
  const gfx::Rect window = GetWindowRectInParent();
  MoveWindow({window.left, window.top, window.left + width + 2 * kMargin, window.top + button.bottom + kMargin});
}

bool CProgressWindow::BeginModal(std::string_view caption, bool smooth) {
  if (!IsWindow() && !CreatePopup(nullptr, caption, smooth)) return false;
  win::Window* main = win::Windows().MainWindow();
  if (main != nullptr && main != this && main->IsWindowEnabled()) {
    main->EnableWindow(false);
    disabled_main_ = true;
  }
  EnableWindow(true);
  modal_ = 1;
  return true;
}

void CProgressWindow::SetRange(int32_t lower, int32_t upper, int32_t step) {
  if (!IsWindow()) return;
  bar_.SetRange32(lower, upper);
  bar_.SetStep(step);
  lower_ = lower;
  upper_ = upper;
  step_ = step;
}

int32_t CProgressWindow::SetPos(int32_t position) {
  if (!IsWindow()) return position_;
  if (!IsWindowVisible()) Show();
  position_ = position;
  // 64-bit: a position near the top of the 32-bit range times 100 must not overflow.
  const int32_t percent =
      lower_ < upper_ ? static_cast<int32_t>(int64_t{position} * 100 / (int64_t{upper_} - lower_)) : 0;
  if (percent != last_percent_) {
    last_percent_ = percent;
    char title[600];
    std::snprintf(title, sizeof title, "%s [%d%%]", caption_.c_str(), percent);
    SetWindowText(title);
  }
  return bar_.SetPos(position);
}

int32_t CProgressWindow::OffsetPos(int32_t delta) { return SetPos(static_cast<int32_t>(int64_t{position_} + delta)); }

int32_t CProgressWindow::StepIt() { return SetPos(static_cast<int32_t>(int64_t{position_} + step_)); }

int32_t CProgressWindow::SetStep(int32_t step) {
  const int32_t previous = step_;
  step_ = step;
  if (IsWindow()) bar_.SetStep(step);
  return previous;
}

bool CProgressWindow::SetText(const char* format, ...) {
  if (!IsWindow()) return false;
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  text_.SetWindowText(text);
  return true;
}

void CProgressWindow::Clear() {
  SetText("%s", "");
  SetPos(0);
  cancelled_ = 0;
  position_ = 0;
  if (IsWindow()) RedrawWindow();
}

void CProgressWindow::Hide() {
  if (IsWindow() && IsWindowVisible()) ShowWindow(win::kSwHide);
}

void CProgressWindow::Show() {
  if (!IsWindow() || (GetStyle() & win::kWsVisible) != 0) return;
  ShowWindow(win::kSwShowNoActivate);
  RedrawWindow();
}

void CProgressWindow::OnCancel() {
  cancelled_ = 1;
  Hide();
  win::WindowSystem& windows = win::Windows();
  const bool was_modal = modal_ != 0;
  if (was_modal && IsWindow()) SendMessage(win::kWmClose);
  if (win::Window* main = windows.MainWindow()) {
    windows.SetActiveWindow(main);
    if (win::Host* host = windows.HostOf(*main)) host->BringToForeground(*main);
  }
}

int CProgressWindow::PumpMessages(bool esc_cancels) {
  win::WindowSystem& windows = win::Windows();
  if (modal_ != 0 && IsWindow() && windows.GetFocus() != this) SetFocus();
  if (cancelled_ != 0) return cancelled_;
  const int filter = windows.AddInputFilter([this, esc_cancels](const win::InputMessage& input) {
    if (cancelled_ != 0) return;
    const bool esc = esc_cancels && input.message == win::kWmChar && input.wparam == 27;
    const bool released_on_cancel = modal_ != 0 && input.message == win::kWmLButtonUp && button_.IsWindow() &&
                                    button_.GetWindowRect().Contains(input.screen_point);
    if (esc || released_on_cancel) OnCancel();
  });
  windows.ProcessEvents();
  windows.RemoveInputFilter(filter);
  // A quit stays set for the program's own loop; it is no cancel.
  if (windows.QuitRequested()) return 0;
  return cancelled_;
}

bool CProgressWindow::DestroyWindow() {
  if (modal_ != 0 && disabled_main_) {
    if (win::Window* main = win::Windows().MainWindow()) main->EnableWindow(true);
    disabled_main_ = false;
  }
  return win::Window::DestroyWindow();
}
