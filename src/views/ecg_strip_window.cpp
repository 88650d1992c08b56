#include "views/ecg_strip_window.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "views/ecg_strip_painter.h"
#include "win/menu.h"
#include "win/popup_menu.h"
#include "win/system_metrics.h"
#include "win/toolbar_window.h"

namespace views {

// The toolbar's buttons have no pictures of their own: each shows a short text.
constexpr win::TextToolBarWindow::ButtonText kToolBarTexts[] = {
    {CECGStripWindow::kCmdGainDown, "A-"},
    {CECGStripWindow::kCmdGainUp, "A+"},
    {CECGStripWindow::kCmdSpeedDown, "S-"},
    {CECGStripWindow::kCmdSpeedUp, "S+"},
};

namespace {

// "h:mm:ss" from the recording start.
std::string ElapsedText(int seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return text;
}

}  // namespace

CECGStripWindow::CECGStripWindow() {
  SetBackground(0xFFFFFF);
  AddCommand(kCmdGainDown, [this] { SetGain(gain_index_ == 0 ? 0 : static_cast<int>(gain_index_) - 1); });
  AddCommand(kCmdGainUp, [this] { SetGain(static_cast<int>(gain_index_) + 1); });
  AddCommand(kCmdSpeedDown, [this] { SetSpeed(speed_index_ == 0 ? 0 : static_cast<int>(speed_index_) - 1); });
  AddCommand(kCmdSpeedUp, [this] { SetSpeed(static_cast<int>(speed_index_) + 1); });
  AddUpdate(kCmdGainDown, [this](win::CmdUI& ui) { ui.Enable(gain_index_ > 0); });
  AddUpdate(kCmdGainUp, [this](win::CmdUI& ui) { ui.Enable(gain_index_ + 1 < kGainsMmPerMv.size()); });
  AddUpdate(kCmdSpeedDown, [this](win::CmdUI& ui) { ui.Enable(speed_index_ > 0); });
  AddUpdate(kCmdSpeedUp, [this](win::CmdUI& ui) { ui.Enable(speed_index_ + 1 < kSpeedsMmPerS.size()); });
  const int last_gain = kCmdGainFirst + static_cast<int>(kGainsMmPerMv.size()) - 1;
  const int last_speed = kCmdSpeedFirst + static_cast<int>(kSpeedsMmPerS.size()) - 1;
  AddCommandRange(kCmdGainFirst, last_gain, [this](int id) { SetGain(id - kCmdGainFirst); });
  AddCommandRange(kCmdSpeedFirst, last_speed, [this](int id) { SetSpeed(id - kCmdSpeedFirst); });
  AddUpdateRange(kCmdGainFirst, last_gain, [this](win::CmdUI& ui) {
    ui.SetRadio(ui.Id() - kCmdGainFirst == static_cast<int>(gain_index_));
  });
  AddUpdateRange(kCmdSpeedFirst, last_speed, [this](win::CmdUI& ui) {
    ui.SetRadio(ui.Id() - kCmdSpeedFirst == static_cast<int>(speed_index_));
  });
}

CECGStripWindow::~CECGStripWindow() {
  DestroyWindow();
  if (document_ != nullptr) document_->RemoveView(this);
}

bool CECGStripWindow::CreateStrip(CZK470Doc& document, win::Window* parent, const gfx::Rect& rect,
                                  uint32_t style, int id) {
  document_ = &document;
  return Create(parent, rect, style | win::kWsHScroll, id, "ECG");
}

win::Window& CECGStripWindow::ToolBar() { return *toolbar_; }

int CECGStripWindow::OnCreate() {
  document_->AddView(this);
  toolbar_ = std::make_unique<win::TextToolBarWindow>(kToolBarTexts);
  toolbar_->Model().AddButton(kCmdGainDown, -1, win::ToolButtonStyle::kButton, "Smaller amplitude");
  toolbar_->Model().AddButton(kCmdGainUp, -1, win::ToolButtonStyle::kButton, "Larger amplitude");
  toolbar_->Model().AddSeparator();
  toolbar_->Model().AddButton(kCmdSpeedDown, -1, win::ToolButtonStyle::kButton, "Slower paper");
  toolbar_->Model().AddButton(kCmdSpeedUp, -1, win::ToolButtonStyle::kButton, "Faster paper");
  const gfx::Rect client = GetClientRect();
  if (!toolbar_->CreateToolBar(*this, {0, 0, client.right, win::ToolBarWindow::kBarHeight}, 1,
                               win::kTbStyleFlat, this))
    return -1;
  toolbar_->UpdateButtons();
  Layout();
  return 0;
}

void CECGStripWindow::OnDestroy() {
  if (document_ != nullptr) document_->RemoveView(this);
}

void CECGStripWindow::OnSize(int, int cx, int) {
  if (toolbar_ && toolbar_->IsWindow()) toolbar_->MoveWindow({0, 0, cx, win::ToolBarWindow::kBarHeight});
  Layout();
}

gfx::Rect CECGStripWindow::RowsRect() const {
  gfx::Rect r = GetClientRect();
  r.top = win::ToolBarWindow::kBarHeight;
  return r;
}

void CECGStripWindow::Layout() {
  if (document_ == nullptr || !toolbar_) return;
  const double pixels_per_second = document_->GetViewFields().screen_scale * Speed() * 0.1;
  const double rate = document_->GetSampleRate();
  const gfx::Rect rows = RowsRect();
  const int strip_width = rows.Width() - kTimeMargin - kRowGap;
  // A row is whole seconds of whole pixels, and the painter's reference (35 % into the row)
  // must fall on a sample, so that the row starts exactly on its second.
  row_seconds_ = 1;
  for (int s = std::max(1, static_cast<int>(strip_width / pixels_per_second)); s >= 1; --s) {
    const double width = s * pixels_per_second;
    const int window_ms = s * 1000;
    const int offset_ms = static_cast<int>(window_ms * CECGStripPainter::kReferenceFraction);
    const double offset_samples = offset_ms * rate / 1000.0;
    if (width <= strip_width && width == static_cast<int>(width) &&
        offset_samples == static_cast<int>(offset_samples)) {
      row_seconds_ = s;
      break;
    }
  }
  const int channels = std::clamp(document_->GetChannelCount(), 1, 3);
  row_count_ = std::max(1, rows.Height() / (channels * kChannelHeight + kRowGap));
  total_seconds_ = std::max(0, document_->GetSpanEndMs() / 1000);

  win::ScrollInfo info;
  info.mask = win::kSifRange | win::kSifPage;
  info.min = 0;
  info.max = std::max(0, total_seconds_ - 1);
  info.page = row_seconds_ * row_count_;
  SetScrollInfo(win::kSbHorz, info);
  Invalidate();
}

win::LResult CECGStripWindow::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == win::kWmHScroll && lparam == 0) {
    OnHScroll(win::LoWord(wparam));
    return 0;
  }
  return Window::WindowProc(message, wparam, lparam);
}

void CECGStripWindow::OnHScroll(int code) {
  win::ScrollInfo info;
  GetScrollInfo(win::kSbHorz, info);
  switch (code) {
    case win::kSbLineLeft:
      ScrollTo(info.pos - 1);
      break;
    case win::kSbLineRight:
      ScrollTo(info.pos + 1);
      break;
    case win::kSbPageLeft:
      ScrollTo(info.pos - info.page);
      break;
    case win::kSbPageRight:
      ScrollTo(info.pos + info.page);
      break;
    case win::kSbThumbTrack:
    case win::kSbThumbPosition:
      ScrollTo(info.track_pos);
      break;
    case win::kSbLeft:
      ScrollTo(info.min);
      break;
    case win::kSbRight:
      ScrollTo(info.max);
      break;
    default:
      break;
  }
}

void CECGStripWindow::ScrollTo(int pos) {
  const int old = GetScrollPos(win::kSbHorz);
  // The bar keeps the position inside its range.
  if (SetScrollPos(win::kSbHorz, pos) != old || GetScrollPos(win::kSbHorz) != old) Invalidate();
}

void CECGStripWindow::SetGain(int index) {
  gain_index_ = static_cast<size_t>(std::clamp(index, 0, static_cast<int>(kGainsMmPerMv.size()) - 1));
  if (toolbar_) toolbar_->UpdateButtons();
  Invalidate();
}

void CECGStripWindow::SetSpeed(int index) {
  speed_index_ = static_cast<size_t>(std::clamp(index, 0, static_cast<int>(kSpeedsMmPerS.size()) - 1));
  if (toolbar_) toolbar_->UpdateButtons();
  Layout();
}

void CECGStripWindow::OnContextMenu(win::Window*, gfx::Point screen_point) {
  // One flat menu: the update pass ticks the current gain and speed before it shows.
  win::Menu menu;
  for (size_t i = 0; i < kGainsMmPerMv.size(); ++i)
    menu.AppendItem(kCmdGainFirst + static_cast<int>(i),
                    std::to_string(static_cast<int>(kGainsMmPerMv[i])) + " mm/mV");
  menu.AppendSeparator();
  for (size_t i = 0; i < kSpeedsMmPerS.size(); ++i) {
    char text[32];
    std::snprintf(text, sizeof text, "%g mm/s", kSpeedsMmPerS[i]);
    menu.AppendItem(kCmdSpeedFirst + static_cast<int>(i), text);
  }
  win::TrackPopupMenu(menu, win::kTpmLeftAlign | win::kTpmRightButton, screen_point.x, screen_point.y, *this,
                      this);
}

void CECGStripWindow::OnUpdate(document::DocumentView*, int hint_number, THintObject*) {
  // The recording itself changed: its length may have too.
  if (hint_number == hint::kDocumentChanged && IsWindow()) Layout();
}

void CECGStripWindow::OnPaint(gfx::Canvas& canvas, const gfx::Rect&) {
  ++paint_count_;
  painted_rows_.clear();
  if (document_ == nullptr) return;
  const gfx::Rect rows = RowsRect();
  const int channels = std::clamp(document_->GetChannelCount(), 1, 3);
  const int row_height = channels * kChannelHeight + kRowGap;
  const double pixels_per_second = document_->GetViewFields().screen_scale * Speed() * 0.1;
  const int strip_width = static_cast<int>(row_seconds_ * pixels_per_second);
  const int first_second = GetScrollPos(win::kSbHorz);
  const double rate = document_->GetSampleRate();

  gfx::Font font;
  font.height = 14;
  const gfx::Font old_font = canvas.SelectFont(font);
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  canvas.SetTextColor(0x000000);
  for (int row = 0; row < row_count_; ++row) {
    const int start_second = first_second + row * row_seconds_;
    if (start_second + row_seconds_ > total_seconds_) break;
    const int top = rows.top + row * row_height + kRowGap / 2;
    const gfx::Rect strip{kTimeMargin, top, kTimeMargin + strip_width, top + channels * kChannelHeight};
    gfx::Rect label{0, top, kTimeMargin - 4, top + 20};
    canvas.DrawText(ElapsedText(start_second), label, gfx::kDtRight | gfx::kDtTop | gfx::kDtSingleLine);
    canvas.FrameRect(strip, gfx::Brush{gfx::BrushStyle::kSolid, kFrameColour});

    const int window_ms = row_seconds_ * 1000;
    const int reference_ms =
        start_second * 1000 + static_cast<int>(window_ms * CECGStripPainter::kReferenceFraction);
    const int reference = static_cast<int>(reference_ms * rate / 1000.0);
    CECGStripPainter painter(*document_, &canvas, kTraceColour, strip.left, strip.top, strip.right,
                             strip.bottom, -1, Speed(), Gain(), 0.0, false, reference);
    painter.Prepare();
    painter.DrawTo(&canvas, false, true, true, false);
    painted_rows_.push_back({painter.WindowStartMs(), painter.WindowEndMs()});
  }
  canvas.SelectFont(old_font);
}

}  // namespace views
