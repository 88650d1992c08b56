#include "dialogs/optiontree/option_tree_color_picker.h"

#include <algorithm>

#include "gfx/bitmap.h"
#include "gfx/canvas.h"
#include "win/control_drawing.h"
#include "win/prompt.h"
#include "win/system_metrics.h"

namespace dialogs {

namespace {

using win::GetSysColor;
using win::SysColor;

// The platform's 3-D light colour, between the button face and the highlight.
constexpr gfx::Color k3dLight = gfx::Rgb(227, 227, 227);

bool IsMouseMessage(uint32_t message) {
  return message >= win::kWmMouseMove && message <= win::kWmMouseWheel;
}
bool IsInputMessage(uint32_t message) {
  return IsMouseMessage(message) || message == win::kWmKeyDown || message == win::kWmKeyUp ||
         message == win::kWmChar;
}

gfx::Rect Shrunk(const gfx::Rect& r, int by) {
  return {r.left + by, r.top + by, r.right - by, r.bottom - by};
}

// A swatch filled with color and outlined in the button shadow.
void DrawSwatch(gfx::Canvas& canvas, const gfx::Rect& r, gfx::Color color) {
  const gfx::Pen old_pen = canvas.SelectPen({gfx::PenStyle::kSolid, 1, GetSysColor(SysColor::kBtnShadow)});
  const gfx::Brush old_brush = canvas.SelectBrush({gfx::BrushStyle::kSolid, color});
  canvas.Rectangle(r);
  canvas.SelectBrush(old_brush);
  canvas.SelectPen(old_pen);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Drawing pieces of the pop-ups

void FillHalftone(gfx::Canvas& canvas, const gfx::Rect& r) {
  if (r.IsEmpty()) return;
  gfx::Bitmap pattern(r.Width(), r.Height(), GetSysColor(SysColor::kBtnFace));
  for (int y = 0; y < r.Height(); ++y) {
    for (int x = 0; x < r.Width(); ++x) {
      if (((r.left + x + r.top + y) & 1) == 0) pattern.SetPixel(x, y, GetSysColor(SysColor::kBtnHighlight));
    }
  }
  canvas.DrawBitmap(r, pattern, {0, 0, r.Width(), r.Height()});
}

void DrawRaisedInnerEdge(gfx::Canvas& canvas, const gfx::Rect& r) {
  win::Draw3dFrame(canvas, r, GetSysColor(SysColor::kBtnHighlight), GetSysColor(SysColor::kBtnShadow));
}

void DrawSunkenOuterEdge(gfx::Canvas& canvas, const gfx::Rect& r) {
  win::Draw3dFrame(canvas, r, GetSysColor(SysColor::kBtnShadow), GetSysColor(SysColor::kBtnHighlight));
}

void DrawRaisedEdge(gfx::Canvas& canvas, const gfx::Rect& r) {
  win::Draw3dFrame(canvas, r, k3dLight, GetSysColor(SysColor::k3dDkShadow));
  DrawRaisedInnerEdge(canvas, Shrunk(r, 1));
}

// ---------------------------------------------------------------------------------------------
// PopupToolTips

void PopupToolTips::AddTool(const gfx::Rect& rect, std::string text) {
  tools_.push_back({rect, std::move(text)});
}

int PopupToolTips::ToolAt(gfx::Point point) const {
  for (size_t i = 0; i < tools_.size(); ++i) {
    if (tools_[i].rect.Contains(point)) return static_cast<int>(i);
  }
  return -1;
}

bool PopupToolTips::Relay(win::Window& window, uint32_t message, win::WParam wparam, win::LParam lparam) {
  switch (message) {
    case win::kWmMouseMove: {
      const int tool = ToolAt({win::GetXLParam(lparam), win::GetYLParam(lparam)});
      if (tool == current_) return false;
      Hide(window);
      current_ = tool;
      if (tool >= 0 && active_) window.SetTimer(kTimerId, kDelayMs);
      return false;
    }
    case win::kWmLButtonDown:
    case win::kWmLButtonUp:
    case win::kWmRButtonDown:
    case win::kWmKeyDown:
    case win::kWmDestroy:
      Hide(window);
      current_ = -1;
      return false;
    case win::kWmTimer:
      if (wparam != kTimerId) return false;
      window.KillTimer(kTimerId);
      if (current_ >= 0 && active_) {
        win::Windows().ShowToolTip(window, win::Windows().CursorPos(),
                                   tools_[static_cast<size_t>(current_)].text);
        shown_ = true;
      }
      return true;
    default:
      return false;
  }
}

void PopupToolTips::Hide(win::Window& window) {
  if (window.IsWindow()) window.KillTimer(kTimerId);
  if (!shown_) return;
  shown_ = false;
  const auto& tip = win::Windows().CurrentToolTip();
  if (tip && tip->owner == window.Handle()) win::Windows().HideToolTip();
}

// ---------------------------------------------------------------------------------------------
// COptionTreeColorPicker

const std::array<COptionTreeColorPicker::NamedColor, COptionTreeColorPicker::kColorCount>&
COptionTreeColorPicker::ColorTable() {
  static const std::array<NamedColor, kColorCount> table = {{
      {"Black", gfx::Rgb(0x00, 0x00, 0x00)},
      {"Brown", gfx::Rgb(0xA5, 0x2A, 0x00)},
      {"Dark Olive Green", gfx::Rgb(0x00, 0x40, 0x40)},
      {"Dark Green", gfx::Rgb(0x00, 0x55, 0x00)},
      {"Dark Teal", gfx::Rgb(0x00, 0x00, 0x5E)},
      {"Dark Blue", gfx::Rgb(0x00, 0x00, 0x8B)},
      {"Indigo", gfx::Rgb(0x4B, 0x00, 0x82)},
      {"Gray-80%", gfx::Rgb(0x28, 0x28, 0x28)},
      {"Dark Red", gfx::Rgb(0x8B, 0x00, 0x00)},
      {"Orange", gfx::Rgb(0xFF, 0x68, 0x20)},
      {"Dark Yellow", gfx::Rgb(0x8B, 0x8B, 0x00)},
      {"Green", gfx::Rgb(0x00, 0x93, 0x00)},
      {"Teal", gfx::Rgb(0x38, 0x8E, 0x8E)},
      {"Blue", gfx::Rgb(0x00, 0x00, 0xFF)},
      {"Blue-Gray", gfx::Rgb(0x7B, 0x7B, 0xC0)},
      {"Gray-50%", gfx::Rgb(0x66, 0x66, 0x66)},
      {"Red", gfx::Rgb(0xFF, 0x00, 0x00)},
      {"Light Orange", gfx::Rgb(0xFF, 0xAD, 0x5B)},
      {"Lime", gfx::Rgb(0x32, 0xCD, 0x32)},
      {"Sea Green", gfx::Rgb(0x3C, 0xB3, 0x71)},
      {"Aqua", gfx::Rgb(0x7F, 0xFF, 0xD4)},
      {"Light Blue", gfx::Rgb(0x7D, 0x9E, 0xC0)},
      {"Violet", gfx::Rgb(0x80, 0x00, 0x80)},
      {"Gray-40%", gfx::Rgb(0x7F, 0x7F, 0x7F)},
      {"Pink", gfx::Rgb(0xFF, 0xC0, 0xCB)},
      {"Gold", gfx::Rgb(0xFF, 0xD7, 0x00)},
      {"Yellow", gfx::Rgb(0xFF, 0xFF, 0x00)},
      {"Bright Green", gfx::Rgb(0x00, 0xFF, 0x00)},
      {"Turquoise", gfx::Rgb(0x40, 0xE0, 0xD0)},
      {"Skyblue", gfx::Rgb(0xC0, 0xFF, 0xFF)},
      {"Plum", gfx::Rgb(0x48, 0x00, 0x48)},
      {"Gray-25%", gfx::Rgb(0xC0, 0xC0, 0xC0)},
      {"Rose", gfx::Rgb(0xFF, 0xE4, 0xE1)},
      {"Tan", gfx::Rgb(0xD2, 0xB4, 0x8C)},
      {"Light Yellow", gfx::Rgb(0xFF, 0xFF, 0xE0)},
      {"Pale Green ", gfx::Rgb(0x98, 0xFB, 0x98)},
      {"Pale Turquoise", gfx::Rgb(0xAF, 0xEE, 0xEE)},
      {"Pale Blue", gfx::Rgb(0x68, 0x83, 0x8B)},
      {"Lavender", gfx::Rgb(0xE6, 0xE6, 0xFA)},
      {"White", gfx::Rgb(0xFF, 0xFF, 0xFF)},
  }};
  return table;
}

COptionTreeColorPicker::COptionTreeColorPicker()
    : rows_((kColorCount + kColumns - 1) / kColumns), font_(win::MessageFont()) {}

COptionTreeColorPicker::COptionTreeColorPicker(int x, int y, gfx::Color initial, gfx::Color default_color,
                                               win::Window* owner, std::string_view default_text,
                                               std::string_view custom_text)
    : COptionTreeColorPicker() {
  default_color_ = default_color;
  Create(x, y, initial, owner, default_text, custom_text);
}

bool COptionTreeColorPicker::Create(int x, int y, gfx::Color color, win::Window* owner,
                                    std::string_view default_text, std::string_view custom_text) {
  initial_ = color;
  current_ = color;
  owner_ = owner != nullptr ? owner->Handle() : 0;
  default_text_ = default_text;
  custom_text_ = custom_text;
  win::Window* focus = win::Windows().GetFocus();
  previous_focus_ = focus != nullptr ? focus->Handle() : 0;
  if (!win::Window::Create(owner, {x, y, x + 100, y + 100}, win::kWsPopup)) return false;
  SetBackground(GetSysColor(SysColor::kBtnFace));
  SetFont(font_, false);
  Layout(x, y);
  CreateToolTips();
  chosen_ = FindChosenEntry();
  ShowWindow(win::kSwShowNoActivate);
  // Keys come to the pop-up while it is open; the window under it keeps its look.
  SetFocus();
  SetCapture();
  return IsWindow();
}

void COptionTreeColorPicker::Layout(int x, int y) {
  int text_height = 0;
  int text_width = 0;
  if (HasDefault() || HasCustom()) {
    win::ClientDc dc(*this);
    dc->SelectFont(font_);
    for (const std::string* text : {&default_text_, &custom_text_}) {
      const gfx::Size extent = dc->GetTextExtent(*text);
      text_width = std::max(text_width, extent.cx);
      text_height = std::max(text_height, extent.cy);
    }
    text_width += 2 * kMargin;
    text_height += 4 * kMargin + 2;
  }
  gfx::Rect rect{x, y, x + 2 * kMargin + kColumns * kCellSize, y + rows_ * kCellSize + 2 * kMargin};
  if (HasDefault()) {
    rect.right = rect.left + std::max(rect.Width(), text_width);
    default_box_ = {kMargin, kMargin, rect.Width() - kMargin, text_height + 2 * kMargin};
    rect.bottom += 2 * kMargin + default_box_.Height();
  }
  if (HasCustom()) {
    rect.right = rect.left + std::max(rect.Width(), text_width);
    const int h = rect.Height();
    custom_box_ = {kMargin, h, rect.Width() - kMargin, h + kMargin + text_height};
    rect.bottom += 2 * kMargin + custom_box_.Height();
  }
  const gfx::Size screen = win::Windows().ScreenSize();
  if (rect.right > screen.cx) rect = rect.Offset(screen.cx - rect.right, 0);
  if (rect.left < 0) rect = rect.Offset(-rect.left, 0);
  if (rect.bottom > screen.cy) {
    // Opened below its owner near the screen's bottom: end where the owner begins.
    win::Window* owner = win::Windows().FromHandle(owner_);
    const int owner_height = owner != nullptr ? owner->GetWindowRect().Height() : 0;
    rect = rect.Offset(0, -(rect.Height() + owner_height));
  }
  window_rect_ = rect;
  MoveWindow(rect, true);
}

void COptionTreeColorPicker::CreateToolTips() {
  for (int i = 0; i < kColorCount; ++i)
    tips_.AddTool(GetCellRect(i), ColorTable()[static_cast<size_t>(i)].name);
  tips_.Activate(true);
}

gfx::Rect COptionTreeColorPicker::GetCellRect(int index) const {
  if (index < 0 || index >= kColorCount) return {};
  const int left = (index % kColumns) * kCellSize + kMargin;
  int top = (index / kColumns) * kCellSize + kMargin;
  if (HasDefault()) top += default_box_.Height() + kMargin;
  return {left, top, left + kCellSize, top + kCellSize};
}

int COptionTreeColorPicker::FindChosenEntry() const {
  if (HasDefault() && initial_ == default_color_) return kEntryDefault;
  for (int i = 0; i < kColorCount; ++i) {
    if (ColorTable()[static_cast<size_t>(i)].color == initial_) return i;
  }
  return HasCustom() ? kEntryCustom : kEntryNone;
}

win::LResult COptionTreeColorPicker::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (tips_.Relay(*this, message, wparam, lparam)) return 0;
  if (IsInputMessage(message) && !ending_) {
    win::Window* capture = win::Windows().GetCapture();
    if (capture != nullptr && capture != this) SetCapture();
  }
  if (message == win::kWmActivate) {
    // Another program took the activation.
    if (wparam == 0) End(kWmColorPickerSelCancel);
    return 0;
  }
  return win::Window::WindowProc(message, wparam, lparam);
}

void COptionTreeColorPicker::OnMouseMove(unsigned flags, gfx::Point point) {
  const gfx::Point p{point.x - kMargin, point.y - kMargin};
  int entry = hot_;
  if (HasCustom() && custom_box_.Contains(p)) {
    entry = kEntryCustom;
  } else if (HasDefault() && default_box_.Contains(p)) {
    entry = kEntryDefault;
  } else {
    int y = point.y - kMargin;
    if (HasDefault()) y -= default_box_.Height();
    const int x = point.x - kMargin;
    if (x < 0 || y < 0) return;
    const int row = y / kCellSize;
    const int column = x / kCellSize;
    if (row >= rows_ || column >= kColumns || row * kColumns + column >= kColorCount) return;
    entry = row * kColumns + column;
  }
  if (entry != hot_) ChangeHot(entry);
}

void COptionTreeColorPicker::ChangeHot(int entry) {
  if (entry > kColorCount) entry = kEntryCustom;
  InvalidateEntry(hot_);
  hot_ = entry;
  InvalidateEntry(hot_);
  win::Window* owner = win::Windows().FromHandle(owner_);
  if (entry == kEntryCustom) {
    if (owner != nullptr) owner->SendMessage(kWmColorPickerSelChange, initial_, 0);
    return;
  }
  if (entry == kEntryDefault)
    current_ = default_color_;
  else if (entry >= 0)
    current_ = ColorTable()[static_cast<size_t>(entry)].color;
  if (owner != nullptr) owner->SendMessage(kWmColorPickerSelChange, current_, 0);
}

void COptionTreeColorPicker::InvalidateEntry(int entry) {
  if (entry == kEntryDefault)
    InvalidateRect(default_box_, false);
  else if (entry == kEntryCustom)
    InvalidateRect(custom_box_, false);
  else if (entry >= 0)
    InvalidateRect(GetCellRect(entry), false);
}

int COptionTreeColorPicker::EntryForKey(int virtual_key) const {
  const int last = kColorCount - 1;
  // Where a step off the grid goes: backwards (Left, Up) the default entry comes first, forwards
  // (Right, Down) the custom entry.
  const int backward = HasDefault() ? kEntryDefault : HasCustom() ? kEntryCustom : last;
  const int forward = HasCustom() ? kEntryCustom : HasDefault() ? kEntryDefault : 0;
  const bool in_cell = hot_ >= 0;
  switch (virtual_key) {
    case win::kVkLeft:
    case win::kVkUp: {
      const int step = virtual_key == win::kVkLeft ? 1 : kColumns;
      if (in_cell && hot_ >= step) return hot_ - step;
      if (in_cell || hot_ == kEntryNone) return backward;
      if (hot_ == kEntryDefault) return HasCustom() ? kEntryCustom : last;
      return last;
    }
    case win::kVkRight:
    case win::kVkDown: {
      const int step = virtual_key == win::kVkRight ? 1 : kColumns;
      if (in_cell && hot_ + step < kColorCount) return hot_ + step;
      if (in_cell || hot_ == kEntryNone) return forward;
      if (hot_ == kEntryDefault) return 0;
      return HasDefault() ? kEntryDefault : 0;
    }
    default:
      return hot_;
  }
}

void COptionTreeColorPicker::OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) {
  switch (virtual_key) {
    case win::kVkReturn:
    case win::kVkSpace:
      End(kWmColorPickerSelEnd);
      return;
    case win::kVkEscape:
      current_ = initial_;
      End(kWmColorPickerSelCancel);
      return;
    case win::kVkLeft:
    case win::kVkUp:
    case win::kVkRight:
    case win::kVkDown:
      ChangeHot(EntryForKey(virtual_key));
      return;
    default:
      return;
  }
}

void COptionTreeColorPicker::OnLButtonUp(unsigned flags, gfx::Point point) {
  End(GetWindowRect().Contains(ClientToScreen(point)) ? kWmColorPickerSelEnd : kWmColorPickerSelCancel);
}

void COptionTreeColorPicker::OnKillFocus(win::Window* new_focus) {
  if (win::Windows().GetCapture() == this) win::Windows().ReleaseCapture();
}

void COptionTreeColorPicker::End(uint32_t message) {
  const win::WindowHandle self = Handle();
  ending_ = true;
  if (win::Windows().GetCapture() == this) win::Windows().ReleaseCapture();
  if (message == kWmColorPickerSelCancel) current_ = initial_;
  if (message == kWmColorPickerSelEnd && hot_ == kEntryCustom) {
    color_dialog_open_ = true;
    const std::optional<uint32_t> picked = win::CurrentPrompt().ChooseColor(initial_);
    color_dialog_open_ = false;
    if (picked) {
      current_ = *picked;
    } else {
      message = kWmColorPickerSelCancel;
      current_ = initial_;
    }
  }
  if (win::Window* owner = win::Windows().FromHandle(owner_)) owner->SendMessage(message, current_, 0);
  if (win::Windows().FromHandle(self) != this) return;
  if (color_dialog_open_) {
    ending_ = false;
    return;
  }
  DestroyWindow();
}

void COptionTreeColorPicker::OnDestroy() {
  win::Window* previous = win::Windows().FromHandle(previous_focus_);
  if (win::Windows().GetFocus() == this && previous != nullptr && previous->IsWindowVisible())
    previous->SetFocus();
}

void COptionTreeColorPicker::PostNcDestroy() { delete this; }

void COptionTreeColorPicker::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  const int saved = canvas.SaveDC();
  canvas.SelectFont(font_);
  if (HasDefault()) DrawDefaultEntry(canvas);
  for (int i = 0; i < kColorCount; ++i) DrawCell(canvas, i);
  if (HasCustom()) DrawCustomEntry(canvas);
  const gfx::Rect client = GetClientRect();
  DrawRaisedEdge(canvas, client);
  canvas.RestoreDC(saved);
}

void COptionTreeColorPicker::DrawCell(gfx::Canvas& canvas, int index) const {
  const gfx::Rect rect = GetCellRect(index);
  const bool hot = index == hot_;
  const bool pressed = index == chosen_ && !hot;
  if (pressed)
    FillHalftone(canvas, rect);
  else
    canvas.FillSolidRect(rect, GetSysColor(SysColor::kBtnFace));
  if (hot) DrawRaisedInnerEdge(canvas, rect);
  if (pressed) DrawSunkenOuterEdge(canvas, rect);
  DrawSwatch(canvas, Shrunk(rect, kMargin + 1), ColorTable()[static_cast<size_t>(index)].color);
}

void COptionTreeColorPicker::DrawDefaultEntry(gfx::Canvas& canvas) const {
  canvas.FillSolidRect(default_box_, GetSysColor(SysColor::kBtnFace));
  const gfx::Rect inner = Shrunk(default_box_, 1);
  const bool hot = hot_ == kEntryDefault;
  const bool pressed = chosen_ == kEntryDefault && !hot;
  if (pressed) FillHalftone(canvas, inner);
  const gfx::Pen old_pen = canvas.SelectPen({gfx::PenStyle::kSolid, 1, GetSysColor(SysColor::kBtnShadow)});
  const gfx::Brush old_brush = canvas.SelectBrush({gfx::BrushStyle::kNull, 0});
  canvas.Rectangle(inner.left + 3, inner.top + 2, inner.right - 3, inner.bottom - 3);
  canvas.SelectBrush(old_brush);
  canvas.SelectPen(old_pen);
  if (hot) DrawRaisedInnerEdge(canvas, inner);
  if (pressed) DrawSunkenOuterEdge(canvas, inner);
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  canvas.SetTextColor(GetSysColor(SysColor::kBtnText));
  gfx::Rect text_rect = inner;
  canvas.DrawText(default_text_, text_rect, gfx::kDtCenter | gfx::kDtVCenter | gfx::kDtSingleLine);
  const gfx::Rect square{inner.left + 3, inner.top + 2, inner.left + 3 + kCellSize,
                         inner.top + 2 + kCellSize};
  DrawSwatch(canvas, Shrunk(square, 3), default_color_);
}

void COptionTreeColorPicker::DrawCustomEntry(gfx::Canvas& canvas) const {
  const gfx::Rect area{custom_box_.left, custom_box_.top + 2 * kMargin, custom_box_.right,
                       custom_box_.bottom};
  canvas.FillSolidRect(area, GetSysColor(SysColor::kBtnFace));
  const int line_left = custom_box_.left + 2 * kMargin;
  const int line_length = custom_box_.Width() - 4 * kMargin;
  canvas.FillSolidRect({line_left, custom_box_.top, line_left + line_length, custom_box_.top + 1},
                       GetSysColor(SysColor::kBtnShadow));
  canvas.FillSolidRect({line_left, custom_box_.top + 1, line_left + line_length, custom_box_.top + 2},
                       GetSysColor(SysColor::kBtnHighlight));
  const gfx::Rect inner = Shrunk(area, 1);
  const bool hot = hot_ == kEntryCustom;
  canvas.FillSolidRect(inner, chosen_ == kEntryCustom && !hot ? k3dLight : GetSysColor(SysColor::kBtnFace));
  if (hot) DrawRaisedInnerEdge(canvas, inner);
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  canvas.SetTextColor(GetSysColor(SysColor::kBtnText));
  gfx::Rect text_rect = inner;
  canvas.DrawText(custom_text_, text_rect, gfx::kDtCenter | gfx::kDtVCenter | gfx::kDtSingleLine);
}

}  // namespace dialogs
