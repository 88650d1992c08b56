#include "dialogs/optiontree/option_tree_spinner_edit.h"

#include <algorithm>

#include "dialogs/optiontree/option_tree_spinner_button.h"
#include "win/menu.h"
#include "win/popup_menu.h"

namespace dialogs {

bool COptionTreeSpinnerEdit::DirectEditing() const {
  return spinner_ == nullptr || spinner_->GetOption(kSpinnerOptionDirectEdit);
}

bool COptionTreeSpinnerEdit::HasSelection() const {
  const auto [start, end] = ClampedSel();
  return start != end;
}

std::pair<int, int> COptionTreeSpinnerEdit::ClampedSel() const {
  const int size = static_cast<int>(GetWindowText().size());
  const auto [start, end] = GetSel();
  return {std::clamp(start, 0, size), std::clamp(end, std::clamp(start, 0, size), size)};
}

void COptionTreeSpinnerEdit::WriteValueText(std::string_view text) {
  writing_ = true;
  SetWindowText(text);
  writing_ = false;
}

void COptionTreeSpinnerEdit::UserEdit(const std::string& text, int caret) {
  const std::string before = GetWindowText();
  if (text == before) return;
  undo_text_ = before;
  WriteValueText(text);
  SetSel(caret, caret);
}

win::LResult COptionTreeSpinnerEdit::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == win::kWmSetText) {
    // A host that shows the field as a widget hands typed text in as a new text: refused unless
    // the spinner lets the user type.
    if (!writing_ && !DirectEditing()) {
      NotifyChanged(win::kChangedText);
      return 0;
    }
    const std::string before = GetWindowText();
    const win::LResult result = win::Edit::WindowProc(message, wparam, lparam);
    if (spinner_ != nullptr && spinner_->IsWindow() && before != GetWindowText())
      spinner_->PostMessage(kSpinnerMsgTextChanged);
    return result;
  }
  return win::Edit::WindowProc(message, wparam, lparam);
}

void COptionTreeSpinnerEdit::OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) {
  if (spinner_ != nullptr && virtual_key == win::kVkUp) spinner_->SendMessage(kSpinnerMsgStepUp);
  if (spinner_ != nullptr && virtual_key == win::kVkDown) spinner_->SendMessage(kSpinnerMsgStepDown);
  if (!IsWindow() || IsReadOnly()) return;
  // The field's own keys: the caret keys and Delete, which is no typed character.
  const std::string text = GetWindowText();
  const int size = static_cast<int>(text.size());
  const auto [start, end] = ClampedSel();
  switch (virtual_key) {
    case win::kVkLeft:
    case win::kVkUp:
      SetSel(std::max(0, start - (start == end ? 1 : 0)), std::max(0, start - (start == end ? 1 : 0)));
      break;
    case win::kVkRight:
    case win::kVkDown:
      SetSel(std::min(size, end + (start == end ? 1 : 0)), std::min(size, end + (start == end ? 1 : 0)));
      break;
    case win::kVkHome:
      SetSel(0, 0);
      break;
    case win::kVkEnd:
      SetSel(size, size);
      break;
    case win::kVkDelete: {
      if (start == end && start >= size) break;
      std::string edited = text;
      edited.erase(static_cast<size_t>(start), static_cast<size_t>(std::max(end - start, 1)));
      UserEdit(edited, start);
      break;
    }
    default:
      break;
  }
}

void COptionTreeSpinnerEdit::OnChar(int character, unsigned repeat, unsigned flags) {
  if (!DirectEditing()) return;
  const std::string before = GetWindowText();
  writing_ = true;
  win::Edit::OnChar(character, repeat, flags);
  writing_ = false;
  if (GetWindowText() != before) undo_text_ = before;
}

void COptionTreeSpinnerEdit::OnKillFocus(win::Window* new_focus) {
  if (spinner_ != nullptr && spinner_->IsWindow() && new_focus != spinner_)
    spinner_->PostMessage(kSpinnerMsgCommit);
  win::Edit::OnKillFocus(new_focus);
}

void COptionTreeSpinnerEdit::OnRButtonUp(unsigned flags, gfx::Point point) {
  const gfx::Point screen = ClientToScreen(point);
  SendMessage(win::kWmContextMenu, static_cast<win::WParam>(Handle()), win::MakeLParam(screen.x, screen.y));
}

void COptionTreeSpinnerEdit::OnContextMenu(win::Window* window, gfx::Point screen_point) {
  if (spinner_ == nullptr) return;
  const bool direct = DirectEditing();
  const bool writable = direct && !IsReadOnly();
  const bool selection = HasSelection();
  const TextClipboard* clipboard = win::CurrentClipboard();
  const bool clipboard_text = clipboard != nullptr && clipboard->GetText().has_value();
  win::Menu menu;
  const auto add = [&menu](int id, std::string_view text, bool enabled) {
    menu.AppendItem(id, text);
    menu.At(menu.Count() - 1).enabled = enabled;
  };
  add(kEditCommandUndo, "&Undo", writable && CanUndo());
  menu.AppendSeparator();
  add(kEditCommandCut, "Cu&t", writable && selection);
  add(kEditCommandCopy, "&Copy", selection);
  add(kEditCommandPaste, "&Paste", writable && clipboard_text);
  add(kEditCommandClear, "&Delete", writable && selection);
  menu.AppendSeparator();
  // Select All follows Paste, as the menu always did.
  add(kEditCommandSelectAll, "Select &All", writable && clipboard_text);
  win::TrackPopupMenu(menu, win::kTpmLeftAlign | win::kTpmRightButton, screen_point.x, screen_point.y, *this);
}

bool COptionTreeSpinnerEdit::OnCommand(win::WParam wparam, win::LParam lparam) {
  if (spinner_ == nullptr || !DirectEditing()) return true;
  TextClipboard* clipboard = win::CurrentClipboard();
  const std::string text = GetWindowText();
  const auto [start, end] = ClampedSel();
  const std::string selected = text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
  const auto without_selection = [&, start = start, end = end] {
    std::string edited = text;
    edited.erase(static_cast<size_t>(start), static_cast<size_t>(end - start));
    return edited;
  };
  switch (win::LoWord(wparam)) {
    case kEditCommandUndo:
      if (undo_text_ && !IsReadOnly()) {
        const std::string previous = *undo_text_;
        undo_text_ = text;
        WriteValueText(previous);
      }
      return true;
    case kEditCommandCut:
      if (start == end || IsReadOnly()) return true;
      if (clipboard != nullptr) clipboard->SetText(selected);
      UserEdit(without_selection(), start);
      return true;
    case kEditCommandCopy:
      if (start != end && clipboard != nullptr) clipboard->SetText(selected);
      return true;
    case kEditCommandPaste: {
      if (clipboard == nullptr || IsReadOnly()) return true;
      const std::optional<std::string> pasted = clipboard->GetText();
      if (!pasted) return true;
      std::string edited = without_selection();
      std::string digits = *pasted;
      // The field takes digits only, as typing does.
      if ((ControlStyle() & win::kEsNumber) != 0)
        std::erase_if(digits, [](char c) { return c < '0' || c > '9'; });
      edited.insert(static_cast<size_t>(start), digits);
      UserEdit(edited, start + static_cast<int>(digits.size()));
      return true;
    }
    case kEditCommandClear:
      if (start != end && !IsReadOnly()) UserEdit(without_selection(), start);
      return true;
    case kEditCommandSelectAll:
      SetSel(0, -1);
      return true;
    default:
      return win::Edit::OnCommand(wparam, lparam);
  }
}

}  // namespace dialogs
