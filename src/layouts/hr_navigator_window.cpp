#include "layouts/hr_navigator_window.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "common/number_formatter.h"
#include "gfx/canvas.h"
#include "layouts/hr_navigator_area.h"
#include "layouts/legend_items.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "views/preset_font.h"
#include "win/command_target.h"
#include "win/control_drawing.h"
#include "win/messages.h"
#include "win/system_metrics.h"

namespace {

constexpr uint32_t kBarStyle = win::kWsChild | win::kWsVisible;
constexpr int kBarPadding = 2;

}  // namespace

// ---------------------------------------------------------------------------------------------
// CHRNavigatorBar

CHRNavigatorBar::CHRNavigatorBar(std::vector<Button> buttons) : buttons_(std::move(buttons)) {
  font_.height = 13;
  font_.face = "Arial";
  for (const Button& button : buttons_) {
    if (button.id == 0) {
      model_.AddSeparator();
    } else {
      model_.AddButton(button.id, -1, win::ToolButtonStyle::kButton, button.text);
    }
  }
  SetBackground(win::GetSysColor(win::SysColor::kBtnFace));
}

bool CHRNavigatorBar::CreateBar(win::Window& parent, win::Window& measure_on, win::Window& command_window) {
  command_window_ = &command_window;
  // Every button takes the widest text's width; the first of equally wide texts decides.
  int widest = 0;
  {
    win::ClientDc dc(measure_on);
    const gfx::Font old = dc->SelectFont(font_);
    for (const Button& button : buttons_) widest = std::max(widest, dc->GetTextExtent(button.text).cx);
    dc->SelectFont(old);
  }
  button_width_ = widest + 2 * kTextMargin;
  int height = 2 * kBarPadding;
  for (const Button& button : buttons_) height += button.id == 0 ? kGap : kButtonHeight;
  if (!Create(&parent, {0, 0, button_width_ + 2 * kBarPadding, height}, kBarStyle, kBarId)) return false;
  UpdateButtons();
  return true;
}

int CHRNavigatorBar::ButtonHeight() const {
  if (!IsWindow()) return kButtonHeight;
  // A low window (the screen at 700 pixels) must still reach the last buttons.
  int room = GetClientRect().Height() - 2 * kBarPadding;
  int count = 0;
  for (const Button& button : buttons_) {
    if (button.id == 0) {
      room -= kGap;
    } else {
      ++count;
    }
  }
  if (count == 0) return kButtonHeight;
  return std::clamp(room / count, kMinButtonHeight, kButtonHeight);
}

gfx::Rect CHRNavigatorBar::ButtonRect(int id) const {
  const int row = ButtonHeight();
  int y = kBarPadding;
  for (const Button& button : buttons_) {
    const int h = button.id == 0 ? kGap : row;
    if (button.id != 0 && button.id == id) return {kBarPadding, y, kBarPadding + button_width_, y + h};
    y += h;
  }
  return {};
}

int CHRNavigatorBar::ButtonAt(gfx::Point point) const {
  for (size_t i = 0; i < model_.Count(); ++i) {
    const win::ToolButton& button = model_.At(i);
    if (button.id != 0 && ButtonRect(button.id).Contains(point)) return static_cast<int>(i);
  }
  return -1;
}

void CHRNavigatorBar::UpdateButtons() {
  if (command_window_ == nullptr || !command_window_->IsWindow()) return;
  std::vector<bool> before;
  for (size_t i = 0; i < model_.Count(); ++i) before.push_back(model_.At(i).enabled);
  model_.Update(*command_window_);
  for (size_t i = 0; i < model_.Count(); ++i) {
    if (model_.At(i).enabled != before[i]) {
      if (IsWindow()) Invalidate();
      break;
    }
  }
}

void CHRNavigatorBar::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  const gfx::Font old_font = canvas.SelectFont(font_);
  for (size_t i = 0; i < model_.Count(); ++i) {
    const win::ToolButton& button = model_.At(i);
    if (button.id == 0) continue;
    const gfx::Rect r = ButtonRect(button.id);
    win::DrawButtonFace(canvas, r, pressed_ == static_cast<int>(i));
    canvas.SetBkMode(gfx::BkMode::kTransparent);
    canvas.SetTextColor(
        win::GetSysColor(button.enabled ? win::SysColor::kBtnText : win::SysColor::kGrayText));
    gfx::Rect text = r;
    canvas.DrawText(button.tooltip, text, gfx::kDtCenter | gfx::kDtVCenter | gfx::kDtSingleLine);
  }
  canvas.SelectFont(old_font);
}

void CHRNavigatorBar::OnLButtonDown(unsigned, gfx::Point point) {
  const int index = ButtonAt(point);
  if (index < 0 || !model_.At(static_cast<size_t>(index)).enabled) return;
  pressed_ = index;
  SetCapture();
  Invalidate();
}

void CHRNavigatorBar::OnLButtonUp(unsigned, gfx::Point point) {
  if (pressed_ < 0) return;
  const auto index = static_cast<size_t>(pressed_);
  pressed_ = -1;
  if (win::Windows().GetCapture() == this) win::Windows().ReleaseCapture();
  Invalidate();
  const win::ToolButton& button = model_.At(index);
  if (!ButtonRect(button.id).Contains(point) || !button.enabled) return;
  if (command_window_ != nullptr && command_window_->IsWindow())
    command_window_->PostMessage(win::kWmCommand, static_cast<win::WParam>(button.id), 0);
}

// ---------------------------------------------------------------------------------------------
// CHRNavigatorWnd

CHRNavigatorWnd::CHRNavigatorWnd(CWindowAreaConfig* config, CZK470Doc* document)
    : CAreaWnd(config, document) {
  AddCommandRange(navcmd::kFirst, navcmd::kLast, [this](int id) {
    GetConfig()->BroadcastAll(static_cast<uint32_t>(id), 0, 0);
    if (CHRNavigatorBar* bar = GetBar()) bar->UpdateButtons();
  });
  const auto enable_unless = [](bool NavigatorEndFlags::*flag) {
    return [flag](win::CmdUI& ui) { ui.Enable(!(CHRNavigatorArea::GetEndFlags().*flag)); };
  };
  AddUpdateRange(navcmd::kRateHighest, navcmd::kRateNextHigher,
                 enable_unless(&NavigatorEndFlags::rateAtHighest));
  AddUpdateRange(navcmd::kRateNextLower, navcmd::kRateLowest,
                 enable_unless(&NavigatorEndFlags::rateAtLowest));
  AddUpdateRange(navcmd::kNNLongest, navcmd::kNNNextLonger, enable_unless(&NavigatorEndFlags::nnAtLongest));
  AddUpdateRange(navcmd::kNNNextShorter, navcmd::kNNShortest,
                 enable_unless(&NavigatorEndFlags::nnAtShortest));
  // The store and go-to buttons are never disabled.
  const auto always = [](win::CmdUI& ui) { ui.Enable(true); };
  AddUpdateRange(navcmd::kStoreHRMax, navcmd::kGoToHRMin, always);
  AddUpdateRange(navcmd::kStoreNNMax, navcmd::kGoToNNMin, always);
}

CHRNavigatorWnd::~CHRNavigatorWnd() = default;

CHRNavigatorBar* CHRNavigatorWnd::GetBar() const {
  return dynamic_cast<CHRNavigatorBar*>(win::Window::FromHandle(bar_handle_));
}

std::unique_ptr<win::Window> CHRNavigatorWnd::CreateToolBar(CAreaFrameWnd& frame, uint32_t* style,
                                                            int* dock_bar) {
  std::vector<CHRNavigatorBar::Button> buttons;
  for (int id = navcmd::kFirst; id <= navcmd::kLast; ++id) {
    int string_id = kFirstButtonString + (id - navcmd::kFirst);
    if (id == navcmd::kGoToNNMax) string_id = kGoToNNMaxString;
    if (id == navcmd::kGoToNNMin) string_id = kGoToNNMinString;
    buttons.push_back({id, platform::LoadString(string_id)});
    if (id == navcmd::kGoToHRMin) buttons.push_back({0, {}});
  }
  auto bar = std::make_unique<CHRNavigatorBar>(std::move(buttons));
  win::Window* measure_on = GetConfig()->GetParentWindow();
  if (measure_on == nullptr || !measure_on->IsWindow()) measure_on = &frame;
  if (!bar->CreateBar(frame, *measure_on, *this)) return nullptr;
  bar_handle_ = bar->Handle();
  *dock_bar = kDockBarLeft;
  return bar;
}

void CHRNavigatorWnd::OnAreaNotify(document::DocumentView* sender, int hint, THintObject* object) {
  // Mouse hints and rebuilds move the navigator's cursors; its end flags decide the buttons.
  if (CHRNavigatorBar* bar = GetBar()) bar->UpdateButtons();
}

void CHRNavigatorWnd::OnLButtonDown(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kLeftButtonDown, flags, reinterpret_cast<win::LParam>(&point));
  CAreaWnd::OnLButtonDown(flags, point);
}

void CHRNavigatorWnd::OnMouseMove(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastUntilHandled(areamsg::kMouseMove, flags, reinterpret_cast<win::LParam>(&point));
}

void CHRNavigatorWnd::OnLButtonUp(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kLeftButtonUp, flags, reinterpret_cast<win::LParam>(&point));
  if (CHRNavigatorBar* bar = GetBar()) bar->UpdateButtons();
}

std::unique_ptr<CAreaWnd> CHRNavigatorWindowConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<CHRNavigatorWnd>(this, document);
}

// ---------------------------------------------------------------------------------------------
// CMinMaxScaleArea

CMinMaxScaleArea::CMinMaxScaleArea(CViewAreaConfig* config, CZK470Doc* document)
    : CViewArea(config, document) {}

CMinMaxScaleArea::~CMinMaxScaleArea() = default;

std::vector<int> CMinMaxScaleArea::TickLabels() const {
  std::vector<int> labels;
  const int step = axis_span_ > 50 ? 2 : 1;
  for (int i = 1; i < axis_span_ / 10; i += step) labels.push_back(axis_min_ + 10 * i);
  return labels;
}

void CMinMaxScaleArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  const int h = rect_.bottom - rect_.top;
  const int tens = axis_span_ / 10;
  const double per_ten = tens > 0 ? static_cast<double>(h) / tens : 0.0;
  dc.Rectangle(rect_.left, rect_.top, rect_.right + 1, rect_.bottom);

  CPresetFont fonts(1);
  const gfx::Font old_font = dc.SelectFont(*fonts.Select(2));
  for (int i = 1; i < tens; ++i) {
    const int y = static_cast<int>(rect_.bottom - i * per_ten);
    dc.MoveTo(rect_.right, y);
    dc.LineTo(rect_.right - 8, y);
  }
  const TNumberFormatter numbers;
  const int step = axis_span_ > 50 ? 2 : 1;
  for (int i = 1; i < tens; i += step) {
    const double y = rect_.bottom - i * per_ten;
    gfx::Rect r{rect_.right - 40, static_cast<int>(y - 10.0) + 1, rect_.right - 10,
                static_cast<int>(y + 10.0) + 1};
    dc.DrawText(numbers.FormatInt(axis_min_ + 10 * i), r,
                gfx::kDtRight | gfx::kDtVCenter | gfx::kDtSingleLine);
  }
  constexpr uint32_t kCentred = gfx::kDtCenter | gfx::kDtVCenter | gfx::kDtSingleLine;
  gfx::Rect title{rect_.left, rect_.top, rect_.right, rect_.top + 20};
  dc.DrawText(platform::LoadString(kTitleString), title, kCentred);

  dc.SelectFont(*fonts.Select(4));
  gfx::Rect caption{rect_.left, rect_.top + h / 4, rect_.right - 20, rect_.bottom - h / 4};
  dc.DrawText(platform::LoadString(kHeartRateString), caption, kCentred);
  char text[32];
  std::snprintf(text, sizeof text, "Max: %3d", stored_max_rate_);
  gfx::Rect max_box{rect_.left, rect_.top + h / 8, rect_.right - 20, rect_.bottom - 5 * h / 8};
  dc.DrawText(text, max_box, kCentred);
  std::snprintf(text, sizeof text, "Min: %3d", stored_min_rate_);
  gfx::Rect min_box{rect_.left, rect_.top + 5 * h / 8, rect_.right - 20, rect_.bottom - h / 8};
  dc.DrawText(text, min_box, kCentred);
  dc.SelectFont(old_font);
}

int CMinMaxScaleArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  if (msg != areamsg::kHeartRateRange || lparam == 0) return 0;
  const auto* block = reinterpret_cast<const int*>(lparam);
  axis_min_ = block[0];
  axis_max_ = block[1];
  axis_span_ = axis_max_ - axis_min_;
  stored_min_rate_ = block[2];
  stored_max_rate_ = block[3];
  InvalidateArea(*this, rect_);
  return 1;
}

std::unique_ptr<CViewArea> CMinMaxScaleAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CMinMaxScaleArea>(this, doc);
}
