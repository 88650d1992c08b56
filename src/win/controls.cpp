#include "win/controls.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "gfx/canvas.h"
#include "win/control_drawing.h"
#include "win/system_metrics.h"

namespace win {
namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      size_t end = i;
      if (end > start && text[end - 1] == '\r') --end;
      lines.push_back(text.substr(start, end - start));
      start = i + 1;
    }
  }
  lines.push_back(text.substr(start));
  return lines;
}

constexpr int kRowHeight = 17;

}  // namespace

std::string WithoutMnemonic(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += text[i];
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// Control

std::string_view Control::ClassName() const {
  switch (kind_) {
    case ControlKind::kStatic:
    case ControlKind::kPicture:
      return "Static";
    case ControlKind::kGroupBox:
    case ControlKind::kPushButton:
    case ControlKind::kDefPushButton:
    case ControlKind::kCheckBox:
    case ControlKind::kRadioButton:
      return "Button";
    case ControlKind::kEdit:
      return "Edit";
    case ControlKind::kComboBox:
    case ControlKind::kComboDropList:
      return "ComboBox";
    case ControlKind::kListBox:
      return "ListBox";
    case ControlKind::kListView:
      return "SysListView32";
    case ControlKind::kProgressBar:
      return "msctls_progress32";
    case ControlKind::kSlider:
      return "msctls_trackbar32";
    case ControlKind::kAnimation:
      return "SysAnimate32";
    case ControlKind::kDateTimePicker:
      return "SysDateTimePick32";
    case ControlKind::kSpin:
      return "msctls_updown32";
    case ControlKind::kTab:
      return "SysTabControl32";
  }
  return "Control";
}

bool Control::CreateControl(Window* parent, const gfx::Rect& rect, int id, std::string_view text, uint32_t style) {
  return Create(parent, rect, style | kWsChild, id, text);
}

void Control::NotifyParent(int code) {
  if (Window* parent = GetParent()) {
    parent->SendMessage(kWmCommand, MakeWParam(GetDlgCtrlID(), code), static_cast<LParam>(Handle()));
  }
}

LResult Control::NotifyParent(NotifyHeader& header, int code) {
  header.from = Handle();
  header.id_from = GetDlgCtrlID();
  header.code = code;
  Window* parent = GetParent();
  return parent != nullptr ? parent->SendMessage(kWmNotify, static_cast<WParam>(GetDlgCtrlID()),
                                                 reinterpret_cast<LParam>(&header))
                           : 0;
}

gfx::Color Control::TextColor() const {
  return IsWindowEnabled() ? GetSysColor(SysColor::kWindowText) : GetSysColor(SysColor::kGrayText);
}

void Control::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {}

// ---------------------------------------------------------------------------------------------
// StaticControl

void StaticControl::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  const gfx::Rect client = GetClientRect();
  if (Kind() == ControlKind::kGroupBox) {
    const gfx::Rect frame{client.left, client.top + 6, client.right, client.bottom};
    Draw3dFrame(canvas, frame, GetSysColor(SysColor::kBtnShadow), GetSysColor(SysColor::kBtnShadow));
    const std::string text = WithoutMnemonic(GetWindowText());
    if (!text.empty()) {
      canvas.SelectFont(GetFont());
      const gfx::Size extent = canvas.GetTextExtent(text);
      canvas.FillSolidRect({client.left + 6, client.top, client.left + 10 + extent.cx, client.top + extent.cy},
                           GetSysColor(SysColor::kBtnFace));
      WriteText(canvas, *this, text, {client.left + 8, client.top, client.right, client.top + extent.cy},
                gfx::kDtSingleLine | gfx::kDtNoPrefix, TextColor());
    }
    return;
  }
  if (Kind() == ControlKind::kPicture) {
    Draw3dFrame(canvas, client, GetSysColor(SysColor::kBtnShadow), GetSysColor(SysColor::kBtnShadow));
    return;
  }
  uint32_t format = gfx::kDtWordBreak | gfx::kDtNoPrefix;
  if ((ControlStyle() & kSsCenter) != 0) format |= gfx::kDtCenter;
  if ((ControlStyle() & kSsRight) != 0) format |= gfx::kDtRight;
  const std::string text = (ControlStyle() & kSsNoPrefix) != 0 ? GetWindowText() : WithoutMnemonic(GetWindowText());
  WriteText(canvas, *this, text, client, format, TextColor());
}

// ---------------------------------------------------------------------------------------------
// Button

void Button::SetCheck(int check) {
  if (check == check_) return;
  check_ = check;
  NotifyChanged(kChangedState);
  Invalidate(true);
}

void Button::SetDefault(bool is_default) {
  if (default_ == is_default) return;
  default_ = is_default;
  NotifyChanged(kChangedState);
  Invalidate(true);
}

void Button::Click() {
  if (!IsInputEnabled()) return;
  const WindowHandle handle = Handle();
  if (Kind() == ControlKind::kCheckBox) {
    SetCheck(check_ == kBstChecked ? kBstUnchecked : kBstChecked);
  } else if (Kind() == ControlKind::kRadioButton) {
    // Clear the other radio buttons of the group: from the group start to the next group start.
    if (Window* parent = GetParent()) {
      const std::vector<Window*>& siblings = parent->Children();
      const auto self = std::find(siblings.begin(), siblings.end(), this);
      auto first = self;
      while (first != siblings.begin() && ((*first)->GetStyle() & kWsGroup) == 0) --first;
      for (auto it = first; it != siblings.end(); ++it) {
        if (it != first && ((*it)->GetStyle() & kWsGroup) != 0) break;
        auto* radio = dynamic_cast<Button*>(*it);
        if (radio != nullptr && radio != this && radio->Kind() == ControlKind::kRadioButton) {
          radio->SetCheck(kBstUnchecked);
        }
      }
    }
    SetCheck(kBstChecked);
  }
  if (Windows().FromHandle(handle) == this) NotifyParent(kBnClicked);
}

LResult Button::WindowProc(uint32_t message, WParam wparam, LParam lparam) {
  switch (message) {
    case kBmGetCheck:
      return check_;
    case kBmSetCheck:
      SetCheck(static_cast<int>(wparam));
      return 0;
    case kBmClick:
      Click();
      return 0;
    default:
      return Control::WindowProc(message, wparam, lparam);
  }
}

void Button::SetPressed(bool pressed) {
  if (pressed_ == pressed) return;
  pressed_ = pressed;
  Invalidate(true);
}

void Button::OnLButtonDown(unsigned flags, gfx::Point point) {
  if (IsTabStop() || Kind() != ControlKind::kGroupBox) SetFocus();
  pressed_ = true;
  SetCapture();
  Invalidate(true);
}

void Button::OnLButtonUp(unsigned flags, gfx::Point point) {
  if (Windows().GetCapture() == this) Windows().ReleaseCapture();
  const bool was_pressed = pressed_;
  pressed_ = false;
  Invalidate(true);
  if (was_pressed && GetClientRect().Contains(point)) Click();
}

void Button::OnKeyUp(int virtual_key, unsigned repeat, unsigned flags) {
  if (virtual_key == kVkSpace) Click();
}

void Button::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  const gfx::Rect client = GetClientRect();
  const std::string text = WithoutMnemonic(GetWindowText());
  if (Kind() == ControlKind::kCheckBox || Kind() == ControlKind::kRadioButton) {
    const int box = 13;
    const int top = (client.Height() - box) / 2;
    const gfx::Rect mark{0, top, box, top + box};
    if (Kind() == ControlKind::kCheckBox) {
      DrawSunken(canvas, mark, GetSysColor(SysColor::kWindow));
      if (check_ != kBstUnchecked) {
        const gfx::Pen old = canvas.SelectPen({gfx::PenStyle::kSolid, 2, TextColor()});
        canvas.MoveTo(3, top + 6);
        canvas.LineTo(5, top + 9);
        canvas.LineTo(10, top + 3);
        canvas.SelectPen(old);
      }
    } else {
      const gfx::Pen old_pen = canvas.SelectPen({gfx::PenStyle::kSolid, 0, GetSysColor(SysColor::kBtnShadow)});
      const gfx::Brush old_brush = canvas.SelectBrush({gfx::BrushStyle::kSolid, GetSysColor(SysColor::kWindow)});
      canvas.Ellipse(mark);
      if (check_ != kBstUnchecked) {
        canvas.SelectBrush({gfx::BrushStyle::kSolid, TextColor()});
        canvas.Ellipse({4, top + 4, box - 4, top + box - 4});
      }
      canvas.SelectBrush(old_brush);
      canvas.SelectPen(old_pen);
    }
    WriteText(canvas, *this, text, {box + 4, client.top, client.right, client.bottom},
              gfx::kDtSingleLine | gfx::kDtVCenter, TextColor());
    if (HasFocus()) canvas.DrawFocusRect({box + 2, client.top, client.right, client.bottom});
    return;
  }
  canvas.FillSolidRect(client, GetSysColor(SysColor::kBtnFace));
  if (pressed_) {
    Draw3dFrame(canvas, client, GetSysColor(SysColor::k3dDkShadow), GetSysColor(SysColor::kBtnHighlight));
  } else {
    Draw3dFrame(canvas, client, GetSysColor(SysColor::kBtnHighlight), GetSysColor(SysColor::k3dDkShadow));
  }
  if (IsDefault()) {
    canvas.FrameRect(client, {gfx::BrushStyle::kSolid, GetSysColor(SysColor::kWindowFrame)});
  }
  gfx::Rect text_rect = client;
  if (pressed_) text_rect = text_rect.Offset(1, 1);
  WriteText(canvas, *this, text, text_rect, gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtCenter, TextColor());
  if (HasFocus()) canvas.DrawFocusRect({client.left + 3, client.top + 3, client.right - 3, client.bottom - 3});
}

// ---------------------------------------------------------------------------------------------
// Edit

void Edit::SetLimitText(int max_chars) {
  limit_ = max_chars <= 0 ? 30000 : max_chars;
  NotifyChanged(kChangedState);
}

void Edit::SetReadOnly(bool read_only) {
  ModifyStyle(read_only ? 0 : kEsReadOnly, read_only ? kEsReadOnly : 0);
  NotifyChanged(kChangedState);
  Invalidate(true);
}

void Edit::SetSel(int start, int end) {
  const int size = static_cast<int>(GetWindowText().size());
  if (start < 0) start = size;  // the platform's -1 start removes the selection
  if (end < 0 || end > size) end = size;
  start = std::min(start, size);
  sel_start_ = std::min(start, end);
  sel_end_ = std::max(start, end);
  NotifyChanged(kChangedState);
}

void Edit::ReplaceSel(std::string_view text) {
  std::string value = GetWindowText();
  const int size = static_cast<int>(value.size());
  const int start = std::clamp(sel_start_, 0, size);
  const int end = std::clamp(sel_end_, start, size);
  value.replace(static_cast<size_t>(start), static_cast<size_t>(end - start), text);
  SetWindowText(value);
  sel_start_ = sel_end_ = start + static_cast<int>(text.size());
}

void Edit::AppendText(std::string_view text) {
  if (text.empty()) return;
  line_count_ += static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  AppendTextSilently(text);
  sel_start_ = sel_end_ = static_cast<int>(GetWindowText().size());
  if (!IsMultiline()) NotifyParent(kEnChange);
}

int Edit::VisibleLineCount() const {
  const int line_height = std::max(1, -GetFont().height + 3);
  return std::max(1, (GetClientRect().Height() - 4) / line_height);
}

void Edit::LineScroll(int lines) {
  const int last = std::max(0, GetLineCount() - VisibleLineCount());
  const int first = std::clamp(first_visible_line_ + lines, 0, last);
  if (first == first_visible_line_) return;
  first_visible_line_ = first;
  NotifyChanged(kChangedState);
  Invalidate(true);
}

void Edit::SetTextFromUser(std::string_view text) {
  if (IsReadOnly() || !IsInputEnabled()) return;
  std::string value(Utf8Prefix(text, static_cast<size_t>(limit_)));
  if ((ControlStyle() & kEsNumber) != 0) std::erase_if(value, [](char c) { return c < '0' || c > '9'; });
  SetWindowText(value);
  sel_start_ = sel_end_ = static_cast<int>(value.size());
  // Single-line fields have told the parent already through the text change.
  if (IsMultiline()) NotifyParent(kEnChange);
}

LResult Edit::WindowProc(uint32_t message, WParam wparam, LParam lparam) {
  if (message == kWmSetText) {
    const std::string before = GetWindowText();
    const LResult result = Control::WindowProc(message, wparam, lparam);
    const std::string& text = GetWindowText();
    line_count_ = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    const int size = static_cast<int>(text.size());
    sel_start_ = std::min(sel_start_, size);
    sel_end_ = std::min(sel_end_, size);
    if (first_visible_line_ >= GetLineCount()) first_visible_line_ = std::max(0, GetLineCount() - 1);
    // The platform tells the parent of a new text of a single-line field, not of a multi-line one.
    if (!IsMultiline() && before != GetWindowText()) NotifyParent(kEnChange);
    return result;
  }
  return Control::WindowProc(message, wparam, lparam);
}

void Edit::OnChar(int character, unsigned repeat, unsigned flags) {
  if (IsReadOnly()) return;
  std::string value = GetWindowText();
  if (character == 8) {
    if (sel_end_ > sel_start_) {
      ReplaceSel("");
    } else if (sel_start_ > 0) {
      SetSel(sel_start_ - 1, sel_start_);
      ReplaceSel("");
    }
  } else if (character == '\r') {
    if (!IsMultiline()) return;
    ReplaceSel("\r\n");
  } else if (character >= 32 && character < 256) {
    if ((ControlStyle() & kEsNumber) != 0 && (character < '0' || character > '9')) {
      Windows().MessageBeep();
      return;
    }
    if (static_cast<int>(Utf8Length(value)) - (sel_end_ - sel_start_) >= limit_) {
      Windows().MessageBeep();
      return;
    }
    ReplaceSel(std::string(1, static_cast<char>(character)));
  } else {
    return;
  }
  if (IsMultiline()) NotifyParent(kEnChange);
}

void Edit::OnLButtonDown(unsigned flags, gfx::Point point) { SetFocus(); }

int Edit::OnCreate() {
  const std::string& text = GetWindowText();
  line_count_ = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  return Control::OnCreate();
}

void Edit::OnSetFocus(Window* old_focus) {
  Control::OnSetFocus(old_focus);
  if (HasFocus()) NotifyParent(kEnSetFocus);
}

void Edit::OnKillFocus(Window* new_focus) { NotifyParent(kEnKillFocus); }

void Edit::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  const gfx::Rect client = GetClientRect();
  const bool gray = IsReadOnly() || !IsWindowEnabled();
  DrawSunken(canvas, client, gray ? GetSysColor(SysColor::kBtnFace) : GetSysColor(SysColor::kWindow));
  std::string shown = GetWindowText();
  if ((ControlStyle() & kEsPassword) != 0) shown.assign(shown.size(), '*');
  const gfx::Rect inner{client.left + 3, client.top + 2, client.right - 3, client.bottom - 2};
  canvas.SaveDC();
  canvas.IntersectClipRect(inner);
  if (IsMultiline()) {
    const std::vector<std::string_view> lines = SplitLines(shown);
    const int line_height = std::max(1, -GetFont().height + 3);
    int y = inner.top;
    for (size_t i = static_cast<size_t>(first_visible_line_); i < lines.size() && y < inner.bottom; ++i) {
      WriteText(canvas, *this, lines[i], {inner.left, y, inner.right, y + line_height},
                gfx::kDtSingleLine | gfx::kDtNoPrefix | gfx::kDtExpandTabs, TextColor());
      y += line_height;
    }
  } else {
    WriteText(canvas, *this, shown, inner, gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix, TextColor());
  }
  canvas.RestoreDC(-1);
}

// ---------------------------------------------------------------------------------------------
// RowChangeLog

void RowChangeLog::Add(Kind kind, int row) {
  ++revision_;
  if (kind == Kind::kReset || changes_.size() >= kCapacity) {
    // What came before a reset no longer matters; a reader behind it rebuilds anyway.
    changes_.clear();
    first_ = revision_ - 1;
  }
  changes_.push_back({kind, kind == Kind::kReset ? -1 : row});
}

bool RowChangeLog::Since(uint64_t since, std::vector<Change>& out) const {
  out.clear();
  if (since < first_ || since > revision_) return false;
  out.assign(changes_.begin() + static_cast<std::ptrdiff_t>(since - first_), changes_.end());
  return true;
}

// ---------------------------------------------------------------------------------------------
// ListControl

int ListControl::AddString(std::string_view text) { return InsertString(-1, text); }

int ListControl::InsertString(int index, std::string_view text) {
  if (index < 0 || index > GetCount()) index = GetCount();
  items_.insert(items_.begin() + index, ListEntry{std::string(text), 0, false});
  row_changes_.Add(RowChangeLog::Kind::kInserted, index);
  if (cur_sel_ >= index) {
    ++cur_sel_;
    SelectionChanged();
  }
  NotifyChanged(kChangedState);
  Invalidate(true);
  return index;
}

int ListControl::DeleteString(int index) {
  if (!IsIndex(index)) return -1;
  const bool selected = items_[static_cast<size_t>(index)].selected;
  items_.erase(items_.begin() + index);
  row_changes_.Add(RowChangeLog::Kind::kDeleted, index);
  if (selected || cur_sel_ >= index) SelectionChanged();
  if (cur_sel_ == index) cur_sel_ = -1;
  else if (cur_sel_ > index) --cur_sel_;
  NotifyChanged(kChangedState);
  Invalidate(true);
  return GetCount();
}

void ListControl::ResetContent() {
  items_.clear();
  cur_sel_ = -1;
  row_changes_.Add(RowChangeLog::Kind::kReset, -1);
  SelectionChanged();
  NotifyChanged(kChangedState);
  Invalidate(true);
}

std::string ListControl::EntryText(int index) const {
  return IsIndex(index) ? items_[static_cast<size_t>(index)].text : std::string();
}

uintptr_t ListControl::GetItemData(int index) const {
  return IsIndex(index) ? items_[static_cast<size_t>(index)].data : 0;
}

int ListControl::SetItemData(int index, uintptr_t data) {
  if (!IsIndex(index)) return -1;
  items_[static_cast<size_t>(index)].data = data;
  return 0;
}

// ---------------------------------------------------------------------------------------------
// ComboBox

int ComboBox::SetCurSel(int index) {
  cur_sel_ = IsIndex(index) ? index : -1;
  SelectionChanged();
  if (Kind() == ControlKind::kComboBox && cur_sel_ >= 0) {
    // The edit part takes the entry's text without telling the parent.
    SetTextSilently(items_[static_cast<size_t>(cur_sel_)].text);
  }
  NotifyChanged(kChangedState);
  Invalidate(true);
  return cur_sel_;
}

int ComboBox::FindStringExact(int start_after, std::string_view text) const {
  const int count = GetCount();
  for (int n = 0; n < count; ++n) {
    const int i = (start_after + 1 + n) % count;
    if (EqualNoCase(items_[static_cast<size_t>(i)].text, text)) return i;
  }
  return -1;
}

int ComboBox::SelectString(int start_after, std::string_view text) {
  const int count = GetCount();
  for (int n = 0; n < count; ++n) {
    const int i = ((start_after < 0 ? -1 : start_after) + 1 + n) % count;
    if (StartsWithNoCase(items_[static_cast<size_t>(i)].text, text)) return SetCurSel(i);
  }
  return -1;
}

void ComboBox::SetEditTextFromUser(std::string_view text) {
  SetCurSel(-1);
  SetTextSilently(std::string(text));
  NotifyParent(kCbnEditUpdate);
  NotifyParent(kCbnEditChange);
}

void ComboBox::SelectFromUser(int index) {
  if (!IsInputEnabled() || !IsIndex(index)) return;
  SetCurSel(index);
  NotifyParent(kCbnSelChange);
}

int ComboBox::DropDown() {
  if (dropped_ || !IsInputEnabled()) return -1;
  const WindowHandle handle = Handle();
  DroppedDownFromUser();
  if (Windows().FromHandle(handle) != this || !dropped_) return -1;
  const gfx::Rect box = GetWindowRect();
  PopupRequest request;
  request.owner = this;
  request.screen_rect = box;
  request.screen_point = {box.left, box.bottom};
  request.items.reserve(items_.size());
  for (const ListEntry& entry : items_) request.items.push_back(entry.text);
  request.current = cur_sel_;
  int chosen = Windows().ShowDropDownList(request);
  if (Windows().FromHandle(handle) != this) return -1;
  if (!IsIndex(chosen)) chosen = -1;
  ClosedUpFromUser(chosen);
  return chosen;
}

void ComboBox::DroppedDownFromUser() {
  if (dropped_ || !IsInputEnabled()) return;
  const WindowHandle handle = Handle();
  // The parent hears of it while the list is still up to be filled.
  NotifyParent(kCbnDropDown);
  if (Windows().FromHandle(handle) != this) return;
  dropped_ = true;
  NotifyChanged(kChangedState);
  Invalidate(true);
}

void ComboBox::ClosedUpFromUser(int index) {
  if (!dropped_) return;
  const WindowHandle handle = Handle();
  const bool chosen = IsIndex(index);
  if (chosen) SetCurSel(index);
  NotifyParent(chosen ? kCbnSelEndOk : kCbnSelEndCancel);
  if (Windows().FromHandle(handle) != this) return;
  dropped_ = false;
  NotifyChanged(kChangedState);
  Invalidate(true);
  NotifyParent(kCbnCloseUp);
  if (chosen && Windows().FromHandle(handle) == this) NotifyParent(kCbnSelChange);
}

void ComboBox::StepSelection(int index) {
  index = std::clamp(index, 0, GetCount() - 1);
  if (index == cur_sel_) return;
  SetCurSel(index);
  NotifyParent(kCbnSelChange);
}

// The window a click at point (client coordinates of window) lands on when skip is not there: the
// first visible, enabled child in z-order that holds it, or window itself.
static Window* WindowBelow(Window& window, gfx::Point& point, const Window* skip) {
  for (Window* child : window.Children()) {
    if (child == skip || (child->GetStyle() & kWsVisible) == 0 || (child->GetStyle() & kWsDisabled) != 0)
      continue;
    const gfx::Rect r = child->GetWindowRectInParent();
    if (!r.Contains(point)) continue;
    point = {point.x - r.left, point.y - r.top};
    return WindowBelow(*child, point, nullptr);
  }
  return &window;
}

void ComboBox::OnLButtonDown(unsigned flags, gfx::Point point) {
  const gfx::Rect closed = GetClientRect();
  if (Window* parent = GetParent();
      parent != nullptr && point.y >= std::min(closed.Height(), kClosedHeight)) {
    // The rectangle reaches down over the list's height, but only the closed box is the box: a
    // click below it belongs to what lies there.
    const gfx::Rect r = GetWindowRectInParent();
    gfx::Point at{point.x + r.left, point.y + r.top};
    Window* below = WindowBelow(*parent, at, this);
    below->SendMessage(kWmLButtonDown, flags, MakeLParam(at.x, at.y));
    return;
  }
  const WindowHandle handle = Handle();
  SetFocus();
  if (Windows().FromHandle(handle) != this) return;
  const gfx::Rect client = GetClientRect();
  const gfx::Rect button{client.right - kButtonWidth, client.top, client.right,
                         client.top + std::min(client.Height(), 21)};
  // A box with an edit field drops down from its button only; a click in the field edits.
  if (Kind() == ControlKind::kComboBox && !button.Contains(point)) return;
  DropDown();
}

void ComboBox::OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) {
  const bool alt = Windows().IsKeyDown(kVkMenu);
  if (virtual_key == kVkF4 || (alt && (virtual_key == kVkDown || virtual_key == kVkUp))) {
    DropDown();
    return;
  }
  if (GetCount() == 0 || alt) return;
  // In a box with an edit field Left and Right move the caret, not the choice.
  const bool edit = Kind() == ControlKind::kComboBox;
  switch (virtual_key) {
    case kVkLeft:
      if (edit) return;
      [[fallthrough]];
    case kVkUp:
      StepSelection(cur_sel_ < 0 ? 0 : cur_sel_ - 1);
      return;
    case kVkRight:
      if (edit) return;
      [[fallthrough]];
    case kVkDown:
      StepSelection(cur_sel_ < 0 ? 0 : cur_sel_ + 1);
      return;
    case kVkHome:
      if (!edit) StepSelection(0);
      return;
    case kVkEnd:
      if (!edit) StepSelection(GetCount() - 1);
      return;
    default:
      return;
  }
}

void ComboBox::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  const gfx::Rect client = GetClientRect();
  const int height = std::min(client.Height(), 21);
  const gfx::Rect box{client.left, client.top, client.right, client.top + height};
  DrawSunken(canvas, box, IsWindowEnabled() ? GetSysColor(SysColor::kWindow) : GetSysColor(SysColor::kBtnFace));
  const gfx::Rect arrow{box.right - 17, box.top + 2, box.right - 2, box.bottom - 2};
  canvas.FillSolidRect(arrow, GetSysColor(SysColor::kBtnFace));
  const gfx::Point tri[] = {{arrow.left + 4, arrow.top + 7}, {arrow.right - 4, arrow.top + 7},
                            {(arrow.left + arrow.right) / 2, arrow.top + 11}};
  const gfx::Pen old_pen = canvas.SelectPen({gfx::PenStyle::kNull, 0, 0});
  const gfx::Brush old_brush = canvas.SelectBrush({gfx::BrushStyle::kSolid, TextColor()});
  canvas.Polygon(tri);
  canvas.SelectBrush(old_brush);
  canvas.SelectPen(old_pen);
  const std::string text = Kind() == ControlKind::kComboBox ? GetWindowText() : GetLBText(cur_sel_);
  WriteText(canvas, *this, text, {box.left + 3, box.top, arrow.left - 2, box.bottom},
            gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix, TextColor());
}

// ---------------------------------------------------------------------------------------------
// ListBox

int ListBox::SetCurSel(int index) {
  cur_sel_ = IsIndex(index) ? index : -1;
  SelectionChanged();
  if (!IsMultiSelect()) {
    for (size_t i = 0; i < items_.size(); ++i) items_[i].selected = static_cast<int>(i) == cur_sel_;
  }
  NotifyChanged(kChangedState);
  Invalidate(true);
  return cur_sel_;
}

int ListBox::SetSel(int index, bool select) {
  if (!IsMultiSelect()) return -1;
  if (index == -1) {
    for (ListEntry& e : items_) e.selected = select;
  } else if (IsIndex(index)) {
    items_[static_cast<size_t>(index)].selected = select;
  } else {
    return -1;
  }
  SelectionChanged();
  NotifyChanged(kChangedState);
  Invalidate(true);
  return 0;
}

int ListBox::GetSel(int index) const {
  if (!IsIndex(index)) return -1;
  return items_[static_cast<size_t>(index)].selected ? 1 : 0;
}

std::vector<int> ListBox::GetSelItems() const {
  std::vector<int> rows;
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].selected) rows.push_back(static_cast<int>(i));
  }
  return rows;
}

void ListBox::SelectFromUser(int index) {
  if (!IsInputEnabled() || !IsIndex(index)) return;
  if (IsMultiSelect()) {
    items_[static_cast<size_t>(index)].selected = !items_[static_cast<size_t>(index)].selected;
    cur_sel_ = index;
    SelectionChanged();
    NotifyChanged(kChangedState);
  } else {
    SetCurSel(index);
  }
  NotifyParent(kLbnSelChange);
}

void ListBox::DoubleClickFromUser(int index) {
  if (!IsInputEnabled() || !IsIndex(index)) return;
  SelectFromUser(index);
  NotifyParent(kLbnDblClk);
}

void ListBox::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  const gfx::Rect client = GetClientRect();
  DrawSunken(canvas, client, GetSysColor(SysColor::kWindow));
  int y = client.top + 2;
  for (const ListEntry& entry : items_) {
    if (y >= client.bottom) break;
    const gfx::Rect row{client.left + 2, y, client.right - 2, y + kRowHeight};
    if (entry.selected) canvas.FillSolidRect(row, GetSysColor(SysColor::kHighlight));
    WriteText(canvas, *this, entry.text, {row.left + 2, row.top, row.right, row.bottom},
              gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix,
              entry.selected ? GetSysColor(SysColor::kHighlightText) : TextColor());
    y += kRowHeight;
  }
}

// ---------------------------------------------------------------------------------------------
// ListView

int ListView::InsertColumn(int index, std::string_view text, int format, int width) {
  if (index < 0 || index > GetColumnCount()) index = GetColumnCount();
  columns_.insert(columns_.begin() + index, Column{std::string(text), format, width < 0 ? 100 : width});
  for (Item& item : items_) {
    if (static_cast<int>(item.texts.size()) > index) item.texts.insert(item.texts.begin() + index, std::string());
  }
  ++column_revision_;
  row_changes_.Add(RowChangeLog::Kind::kReset, -1);
  NotifyChanged(kChangedState);
  Invalidate(true);
  return index;
}

const ListView::Column* ListView::GetColumn(int index) const {
  return index >= 0 && index < GetColumnCount() ? &columns_[static_cast<size_t>(index)] : nullptr;
}

bool ListView::SetColumnWidth(int index, int width) {
  if (index < 0 || index >= GetColumnCount()) return false;
  columns_[static_cast<size_t>(index)].width = width;
  ++column_revision_;
  NotifyChanged(kChangedState);
  Invalidate(true);
  return true;
}

int ListView::InsertItem(int index, std::string_view text, int image) {
  if (index < 0 || index > GetItemCount()) index = GetItemCount();
  Item item;
  item.texts.emplace_back(text);
  item.image = image;
  items_.insert(items_.begin() + index, std::move(item));
  row_changes_.Add(RowChangeLog::Kind::kInserted, index);
  NotifyChanged(kChangedState);
  Invalidate(true);
  return index;
}

bool ListView::SetItemText(int item, int sub_item, std::string_view text) {
  if (item < 0 || item >= GetItemCount() || sub_item < 0) return false;
  std::vector<std::string>& texts = items_[static_cast<size_t>(item)].texts;
  if (static_cast<int>(texts.size()) <= sub_item) texts.resize(static_cast<size_t>(sub_item) + 1);
  texts[static_cast<size_t>(sub_item)] = std::string(text);
  row_changes_.Add(RowChangeLog::Kind::kChanged, item);
  NotifyChanged(kChangedState);
  Invalidate(true);
  return true;
}

std::string ListView::GetItemText(int item, int sub_item) const {
  if (item < 0 || item >= GetItemCount() || sub_item < 0) return {};
  const std::vector<std::string>& texts = items_[static_cast<size_t>(item)].texts;
  return sub_item < static_cast<int>(texts.size()) ? texts[static_cast<size_t>(sub_item)] : std::string();
}

bool ListView::SetItemData(int item, uintptr_t data) {
  if (item < 0 || item >= GetItemCount()) return false;
  items_[static_cast<size_t>(item)].data = data;
  return true;
}

uintptr_t ListView::GetItemData(int item) const {
  return item >= 0 && item < GetItemCount() ? items_[static_cast<size_t>(item)].data : 0;
}

int ListView::GetItemImage(int item) const {
  return item >= 0 && item < GetItemCount() ? items_[static_cast<size_t>(item)].image : -1;
}

void ListView::SetStateNotify(int item, unsigned state, unsigned mask) {
  Item& it = items_[static_cast<size_t>(item)];
  const unsigned old_state = it.state;
  const unsigned new_state = (old_state & ~mask) | (state & mask);
  if (new_state == old_state) return;
  it.state = new_state;
  if (((new_state ^ old_state) & (kLvisSelected | kLvisFocused)) != 0) row_changes_.SelectionChanged();
  NmListView nm;
  nm.item = item;
  nm.new_state = new_state;
  nm.old_state = old_state;
  nm.data = it.data;
  NotifyParent(nm.header, kLvnItemChanged);
}

bool ListView::SetItemState(int item, unsigned state, unsigned mask) {
  if (item == -1) {
    for (int i = 0; i < GetItemCount(); ++i) SetStateNotify(i, state, mask);
  } else if (item >= 0 && item < GetItemCount()) {
    // One focused row and, with single selection, one selected row at a time.
    if ((mask & state & kLvisFocused) != 0) {
      for (int i = 0; i < GetItemCount(); ++i) {
        if (i != item) SetStateNotify(i, 0, kLvisFocused);
      }
    }
    if (IsSingleSelection() && (mask & state & kLvisSelected) != 0) {
      for (int i = 0; i < GetItemCount(); ++i) {
        if (i != item) SetStateNotify(i, 0, kLvisSelected);
      }
    }
    SetStateNotify(item, state, mask);
  } else {
    return false;
  }
  NotifyChanged(kChangedState);
  Invalidate(true);
  return true;
}

unsigned ListView::GetItemState(int item, unsigned mask) const {
  return item >= 0 && item < GetItemCount() ? items_[static_cast<size_t>(item)].state & mask : 0;
}

int ListView::GetSelectedCount() const {
  return static_cast<int>(std::count_if(items_.begin(), items_.end(),
                                        [](const Item& i) { return (i.state & kLvisSelected) != 0; }));
}

int ListView::GetNextItem(int start, unsigned flags) const {
  const unsigned wanted = flags & (kLvniFocused | kLvniSelected);
  for (int i = std::max(0, start + 1); i < GetItemCount(); ++i) {
    if ((items_[static_cast<size_t>(i)].state & wanted) == wanted) return i;
  }
  return -1;
}

bool ListView::DeleteItem(int item) {
  if (item < 0 || item >= GetItemCount()) return false;
  if ((items_[static_cast<size_t>(item)].state & (kLvisSelected | kLvisFocused)) != 0)
    row_changes_.SelectionChanged();
  items_.erase(items_.begin() + item);
  row_changes_.Add(RowChangeLog::Kind::kDeleted, item);
  NotifyChanged(kChangedState);
  Invalidate(true);
  return true;
}

bool ListView::DeleteAllItems() {
  items_.clear();
  row_changes_.Add(RowChangeLog::Kind::kReset, -1);
  row_changes_.SelectionChanged();
  NotifyChanged(kChangedState);
  Invalidate(true);
  return true;
}

void ListView::SortItems(const std::function<int(uintptr_t, uintptr_t)>& compare) {
  std::stable_sort(items_.begin(), items_.end(),
                   [&](const Item& a, const Item& b) { return compare(a.data, b.data) < 0; });
  row_changes_.Add(RowChangeLog::Kind::kReset, -1);
  row_changes_.SelectionChanged();
  NotifyChanged(kChangedState);
  Invalidate(true);
}

void ListView::SelectFromUser(const std::vector<int>& rows) {
  if (!IsInputEnabled()) return;
  std::vector<int> chosen;
  for (int row : rows) {
    if (row >= 0 && row < GetItemCount()) chosen.push_back(row);
  }
  if (IsSingleSelection() && chosen.size() > 1) chosen.resize(1);
  for (int i = 0; i < GetItemCount(); ++i) {
    if (std::find(chosen.begin(), chosen.end(), i) == chosen.end()) SetStateNotify(i, 0, kLvisSelected);
  }
  for (size_t n = 0; n < chosen.size(); ++n) {
    const unsigned state = kLvisSelected | (n == 0 ? kLvisFocused : 0);
    SetItemState(chosen[n], state, state);
  }
  NotifyChanged(kChangedState);
  Invalidate(true);
}

void ListView::DoubleClickFromUser(int row) {
  if (!IsInputEnabled()) return;
  if (row >= 0 && row < GetItemCount()) SelectFromUser({row});
  NmListView nm;
  nm.item = row;
  NotifyParent(nm.header, kNmDblClk);
}

const ImageList* ListView::SetImageList(const ImageList* list, int which) {
  const ImageList* old = GetImageList(which);
  if (which == kLvsilSmall) small_images_ = list;
  else if (which == kLvsilState) state_images_ = list;
  else if (which == kLvsilNormal) normal_images_ = list;
  if (which == kLvsilSmall && old != list) row_changes_.Add(RowChangeLog::Kind::kReset, -1);
  NotifyChanged(kChangedState);
  Invalidate(true);
  return old;
}

const ImageList* ListView::GetImageList(int which) const {
  if (which == kLvsilSmall) return small_images_;
  if (which == kLvsilState) return state_images_;
  if (which == kLvsilNormal) return normal_images_;
  return nullptr;
}

gfx::Rect ListView::ItemBounds(int item) const {
  int width = 0;
  for (const Column& column : columns_) width += column.width;
  const int top = 2 + kRowHeight + item * kRowHeight;
  return {2, top, 2 + width, top + kRowHeight};
}

gfx::Rect ListView::ItemIconRect(int item) const {
  const gfx::Rect bounds = ItemBounds(item);
  int left = bounds.left;
  if (state_images_ != nullptr) left += state_images_->ImageSize().cx;
  const int icon = small_images_ != nullptr ? small_images_->ImageSize().cx : 0;
  return {left, bounds.top, left + icon, bounds.bottom};
}

gfx::Rect ListView::ItemLabelRect(int item) const {
  const gfx::Rect bounds = ItemBounds(item);
  const int first = columns_.empty() ? bounds.Width() : columns_.front().width;
  const int left = ItemIconRect(item).right;
  return {left, bounds.top, std::max(left, bounds.left + first), bounds.bottom};
}

int ListView::RowAt(gfx::Point point) const {
  const int row = (point.y - 2 - kRowHeight) / kRowHeight;
  return point.y >= 2 + kRowHeight && row < GetItemCount() ? row : -1;
}

void ListView::OnLButtonDown(unsigned flags, gfx::Point point) {
  SetFocus();
  const int row = RowAt(point);
  if (row >= 0) SelectFromUser({row});
}

void ListView::OnLButtonDblClk(unsigned flags, gfx::Point point) { DoubleClickFromUser(RowAt(point)); }

void ListView::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  const gfx::Rect client = GetClientRect();
  DrawSunken(canvas, client, GetSysColor(SysColor::kWindow));
  int x = client.left + 2;
  const int header_bottom = client.top + 2 + kRowHeight;
  for (const Column& column : columns_) {
    const gfx::Rect cell{x, client.top + 2, x + column.width, header_bottom};
    canvas.FillSolidRect(cell, GetSysColor(SysColor::kBtnFace));
    Draw3dFrame(canvas, cell, GetSysColor(SysColor::kBtnHighlight), GetSysColor(SysColor::kBtnShadow));
    WriteText(canvas, *this, column.text, {cell.left + 4, cell.top, cell.right - 4, cell.bottom},
              gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix | gfx::kDtEndEllipsis, TextColor());
    x += column.width;
  }
  int y = header_bottom;
  for (const Item& item : items_) {
    if (y >= client.bottom) break;
    const bool selected = (item.state & kLvisSelected) != 0 && (HasFocus() || (ControlStyle() & kLvsShowSelAlways) != 0);
    const gfx::Rect row{client.left + 2, y, client.right - 2, y + kRowHeight};
    if (selected) canvas.FillSolidRect(row, GetSysColor(SysColor::kHighlight));
    int cx = client.left + 2;
    for (size_t c = 0; c < std::max<size_t>(1, columns_.size()); ++c) {
      const int width = columns_.empty() ? row.Width() : columns_[c].width;
      const std::string text = c < item.texts.size() ? item.texts[c] : std::string();
      WriteText(canvas, *this, text, {cx + 4, y, cx + width - 4, y + kRowHeight},
                gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix | gfx::kDtEndEllipsis,
                selected ? GetSysColor(SysColor::kHighlightText) : TextColor());
      cx += width;
    }
    y += kRowHeight;
  }
}

// ---------------------------------------------------------------------------------------------
// ProgressBar

int ProgressBar::Clamp(int pos) const {
  return lower_ <= upper_ ? std::clamp(pos, lower_, upper_) : std::clamp(pos, upper_, lower_);
}

void ProgressBar::SetRange32(int lower, int upper) {
  lower_ = lower;
  upper_ = upper;
  pos_ = Clamp(pos_);
  NotifyChanged(kChangedState);
  Invalidate(true);
}

int ProgressBar::SetPos(int pos) {
  const int previous = pos_;
  pos_ = Clamp(pos);
  if (pos_ != previous) {
    NotifyChanged(kChangedState);
    Invalidate(false);
  }
  return previous;
}

int ProgressBar::OffsetPos(int delta) { return SetPos(pos_ + delta); }

int ProgressBar::SetStep(int step) {
  const int previous = step_;
  step_ = step;
  return previous;
}

int ProgressBar::StepIt() {
  const int previous = pos_;
  int next = pos_ + step_;
  if (next > std::max(lower_, upper_)) next = std::min(lower_, upper_) + (next - std::max(lower_, upper_));
  SetPos(next);
  return previous;
}

void ProgressBar::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  const gfx::Rect client = GetClientRect();
  DrawSunken(canvas, client, GetSysColor(SysColor::kBtnFace));
  const int64_t span = static_cast<int64_t>(upper_) - lower_;
  if (span <= 0) return;
  const gfx::Rect inner{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
  const int filled = static_cast<int>(static_cast<int64_t>(inner.Width()) * (pos_ - lower_) / span);
  if (IsSmooth()) {
    canvas.FillSolidRect({inner.left, inner.top, inner.left + filled, inner.bottom}, GetSysColor(SysColor::kHighlight));
    return;
  }
  const int block = std::max(2, inner.Height() * 2 / 3);
  for (int x = inner.left; x + block <= inner.left + filled; x += block + 2) {
    canvas.FillSolidRect({x, inner.top + 1, x + block, inner.bottom - 1}, GetSysColor(SysColor::kHighlight));
  }
}

// ---------------------------------------------------------------------------------------------
// Slider

void Slider::SetRange(int min, int max, bool redraw) {
  min_ = min;
  max_ = max;
  pos_ = std::clamp(pos_, std::min(min_, max_), std::max(min_, max_));
  NotifyChanged(kChangedState);
  if (redraw) Invalidate(true);
}

void Slider::SetPos(int pos) {
  pos_ = std::clamp(pos, std::min(min_, max_), std::max(min_, max_));
  NotifyChanged(kChangedState);
  Invalidate(true);
}

void Slider::SetPosFromUser(int pos) {
  if (!IsInputEnabled()) return;
  SetPos(pos);
  constexpr int kTbThumbPosition = 4;
  if (Window* parent = GetParent()) {
    parent->SendMessage(kWmHScroll, MakeWParam(kTbThumbPosition, pos_), static_cast<LParam>(Handle()));
  }
}

void Slider::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  const gfx::Rect client = GetClientRect();
  const int mid = client.Height() / 2;
  DrawSunken(canvas, {client.left + 8, mid - 2, client.right - 8, mid + 2}, GetSysColor(SysColor::kWindow));
  const int span = std::max(1, max_ - min_);
  const int x = client.left + 8 + (client.Width() - 16) * (pos_ - min_) / span;
  const gfx::Rect thumb{x - 5, mid - 9, x + 6, mid + 9};
  canvas.FillSolidRect(thumb, GetSysColor(SysColor::kBtnFace));
  Draw3dFrame(canvas, thumb, GetSysColor(SysColor::kBtnHighlight), GetSysColor(SysColor::k3dDkShadow));
}

// ---------------------------------------------------------------------------------------------
// Animation

bool Animation::Open(std::string_view path) {
  std::error_code error;
  if (path.empty() || !std::filesystem::is_regular_file(std::filesystem::path(path), error)) {
    Close();
    return false;
  }
  clip_ = std::string(path);
  playing_ = false;
  NotifyChanged(kChangedState);
  return true;
}

void Animation::Close() {
  clip_.clear();
  playing_ = false;
  NotifyChanged(kChangedState);
}

bool Animation::Play() {
  if (!IsOpen()) return false;
  playing_ = true;
  NotifyChanged(kChangedState);
  return true;
}

// ---------------------------------------------------------------------------------------------
// DateTimePicker

void DateTimePicker::SetTime(std::optional<platform::LocalDateTime> value) {
  value_ = value;
  NotifyChanged(kChangedState);
  Invalidate(true);
}

void DateTimePicker::SetTimeFromUser(std::optional<platform::LocalDateTime> value) {
  if (!IsInputEnabled()) return;
  SetTime(value);
  NotifyHeader header;
  NotifyParent(header, kDtnDateTimeChange);
}

namespace {

// 0 for Sunday (Sakamoto's rule, proleptic Gregorian calendar).
int DayOfWeek(int year, int month, int day) {
  static constexpr int kOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) year -= 1;
  const int index = std::clamp(month, 1, 12) - 1;
  return ((year + year / 4 - year / 100 + year / 400 + kOffsets[index] + day) % 7 + 7) % 7;
}

std::string FormatPickerTime(std::string_view format, const platform::LocalDateTime& t) {
  static constexpr const char* kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};
  static constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                            "May",       "June",     "July",     "August",
                                            "September", "October",  "November", "December"};
  const auto number = [](int value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", digits, value);
    return std::string(text);
  };
  const std::string month_name = kMonths[std::clamp(t.month, 1, 12) - 1];
  const std::string day_name = kDays[DayOfWeek(t.year, t.month, t.day)];
  const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
  const char* designator = t.hour < 12 ? "AM" : "PM";
  std::string out;
  size_t i = 0;
  while (i < format.size()) {
    const char c = format[i];
    if (c == '\'') {
      // Quoted text; '' inside or outside quotes is one quote.
      ++i;
      if (i < format.size() && format[i] == '\'') {
        out += '\'';
        ++i;
        continue;
      }
      while (i < format.size()) {
        if (format[i] == '\'') {
          if (i + 1 < format.size() && format[i + 1] == '\'') {
            out += '\'';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        out += format[i++];
      }
      continue;
    }
    size_t run = 1;
    while (i + run < format.size() && format[i + run] == c) ++run;
    i += run;
    switch (c) {
      case 'd':
        out += run == 1   ? std::to_string(t.day)
               : run == 2 ? number(t.day, 2)
               : run == 3 ? day_name.substr(0, 3)
                          : day_name;
        break;
      case 'M':
        out += run == 1   ? std::to_string(t.month)
               : run == 2 ? number(t.month, 2)
               : run == 3 ? month_name.substr(0, 3)
                          : month_name;
        break;
      case 'y':
        out += run == 1   ? std::to_string(t.year % 10)
               : run == 2 ? number(t.year % 100, 2)
                          : std::to_string(t.year);
        break;
      case 'h':
        out += run == 1 ? std::to_string(hour12) : number(hour12, 2);
        break;
      case 'H':
        out += run == 1 ? std::to_string(t.hour) : number(t.hour, 2);
        break;
      case 'm':
        out += run == 1 ? std::to_string(t.minute) : number(t.minute, 2);
        break;
      case 's':
        out += run == 1 ? std::to_string(t.second) : number(t.second, 2);
        break;
      case 't':
        out += run == 1 ? std::string(1, designator[0]) : std::string(designator);
        break;
      default:
        out.append(run, c);
        break;
    }
  }
  return out;
}

}  // namespace

void DateTimePicker::SetFormat(std::string_view format) {
  format_ = format;
  NotifyChanged(kChangedState);
  Invalidate(true);
}

std::string DateTimePicker::Text() const {
  if (!value_) return {};
  if (!format_.empty()) return FormatPickerTime(format_, *value_);
  char text[64];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d:%02d", value_->day, value_->month, value_->year,
                value_->hour, value_->minute, value_->second);
  return text;
}

void DateTimePicker::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  const gfx::Rect client = GetClientRect();
  DrawSunken(canvas, client, IsWindowEnabled() ? GetSysColor(SysColor::kWindow) : GetSysColor(SysColor::kBtnFace));
  WriteText(canvas, *this, Text(), {client.left + 3, client.top, client.right - 3, client.bottom},
            gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix, TextColor());
}

// ---------------------------------------------------------------------------------------------
// SpinButton

void SpinButton::SetRange32(int lower, int upper) {
  lower_ = lower;
  upper_ = upper;
  NotifyChanged(kChangedState);
}

int SpinButton::SetPos32(int pos) {
  const int previous = pos_;
  pos_ = std::clamp(pos, std::min(lower_, upper_), std::max(lower_, upper_));
  NotifyChanged(kChangedState);
  return previous;
}

// ---------------------------------------------------------------------------------------------
// TabControl

int TabControl::InsertItem(int index, std::string_view text) {
  if (index < 0 || index > GetItemCount()) index = GetItemCount();
  items_.insert(items_.begin() + index, std::string(text));
  if (cur_sel_ < 0) cur_sel_ = 0;
  else if (cur_sel_ >= index && GetItemCount() > 1) ++cur_sel_;
  NotifyChanged(kChangedState);
  Invalidate(true);
  return index;
}

std::string TabControl::GetItemText(int index) const {
  return index >= 0 && index < GetItemCount() ? items_[static_cast<size_t>(index)] : std::string();
}

int TabControl::SetCurSel(int index) {
  const int previous = cur_sel_;
  if (index < 0 || index >= GetItemCount()) return -1;
  cur_sel_ = index;
  if (previous != index) {
    NotifyChanged(kChangedState);
    Invalidate(true);
  }
  return previous;
}

bool TabControl::SelectFromUser(int index) {
  if (!IsInputEnabled() || index < 0 || index >= GetItemCount()) return false;
  if (index == cur_sel_) return true;
  const WindowHandle handle = Handle();
  NotifyHeader changing;
  if (NotifyParent(changing, kTcnSelChanging) != 0) {
    // Refused: the host shows the old tab again.
    NotifyChanged(kChangedState);
    return false;
  }
  if (Windows().FromHandle(handle) != this) return false;
  SetCurSel(index);
  NotifyHeader change;
  NotifyParent(change, kTcnSelChange);
  return true;
}

gfx::Rect TabControl::TabRect(int index) const {
  constexpr int kTabWidth = 90;
  const int left = 2 + index * kTabWidth;
  return {left, 0, left + kTabWidth, kHeaderHeight};
}

void TabControl::OnLButtonDown(unsigned flags, gfx::Point point) {
  for (int i = 0; i < GetItemCount(); ++i) {
    if (TabRect(i).Contains(point)) {
      SelectFromUser(i);
      return;
    }
  }
}

void TabControl::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  const gfx::Rect client = GetClientRect();
  canvas.FillSolidRect(client, GetSysColor(SysColor::kBtnFace));
  Draw3dFrame(canvas, {client.left, client.top + kHeaderHeight - 1, client.right, client.bottom},
              GetSysColor(SysColor::kBtnHighlight), GetSysColor(SysColor::k3dDkShadow));
  for (int i = 0; i < GetItemCount(); ++i) {
    gfx::Rect tab = TabRect(i);
    if (i != cur_sel_) tab.top += 2;
    canvas.FillSolidRect(tab, GetSysColor(SysColor::kBtnFace));
    Draw3dFrame(canvas, tab, GetSysColor(SysColor::kBtnHighlight), GetSysColor(SysColor::k3dDkShadow));
    WriteText(canvas, *this, WithoutMnemonic(items_[static_cast<size_t>(i)]), tab,
              gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtCenter, TextColor());
  }
}

// ---------------------------------------------------------------------------------------------

size_t Utf8Length(std::string_view text) {
  size_t count = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

std::string_view Utf8Prefix(std::string_view text, size_t max_chars) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (count == max_chars) return text.substr(0, i);
      ++count;
    }
  }
  return text;
}

std::unique_ptr<Control> MakeControl(ControlKind kind) {
  switch (kind) {
    case ControlKind::kStatic:
    case ControlKind::kPicture:
    case ControlKind::kGroupBox:
      return std::make_unique<StaticControl>(kind);
    case ControlKind::kPushButton:
    case ControlKind::kDefPushButton:
    case ControlKind::kCheckBox:
    case ControlKind::kRadioButton:
      return std::make_unique<Button>(kind);
    case ControlKind::kEdit:
      return std::make_unique<Edit>();
    case ControlKind::kComboBox:
    case ControlKind::kComboDropList:
      return std::make_unique<ComboBox>(kind);
    case ControlKind::kListBox:
      return std::make_unique<ListBox>();
    case ControlKind::kListView:
      return std::make_unique<ListView>();
    case ControlKind::kProgressBar:
      return std::make_unique<ProgressBar>();
    case ControlKind::kSlider:
      return std::make_unique<Slider>();
    case ControlKind::kAnimation:
      return std::make_unique<Animation>();
    case ControlKind::kDateTimePicker:
      return std::make_unique<DateTimePicker>();
    case ControlKind::kSpin:
      return std::make_unique<SpinButton>();
    case ControlKind::kTab:
      return std::make_unique<TabControl>();
  }
  return nullptr;
}

uint32_t TemplateControlStyle(const ControlTemplate& control) {
  uint32_t style = kWsChild | (control.style & 0xFFFF);
  if ((control.flags & kCtlHidden) == 0) style |= kWsVisible;
  if ((control.flags & kCtlDisabled) != 0) style |= kWsDisabled;
  if ((control.flags & kCtlGroup) != 0) style |= kWsGroup;
  switch (control.kind) {
    case ControlKind::kStatic:
    case ControlKind::kPicture:
    case ControlKind::kGroupBox:
    case ControlKind::kAnimation:
    case ControlKind::kProgressBar:
      break;
    default:
      if ((control.flags & kCtlNoTabStop) == 0) style |= kWsTabStop;
  }
  return style;
}

}  // namespace win
