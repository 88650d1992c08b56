#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "win/clipboard.h"
#include "win/controls.h"

namespace dialogs {

class COptionTreeSpinnerButton;

// Private messages from the spinner's edit field to its spinner window.
inline constexpr uint32_t kSpinnerMsgCommit = win::kWmUser + 0x102;       // posted: the field lost the focus
inline constexpr uint32_t kSpinnerMsgTextChanged = win::kWmUser + 0x103;  // posted
inline constexpr uint32_t kSpinnerMsgStepUp = win::kWmUser + 0x104;       // sent
inline constexpr uint32_t kSpinnerMsgStepDown = win::kWmUser + 0x105;     // sent

// The editing commands of the field's context menu, sent to the field itself.
inline constexpr int kEditCommandUndo = 0xC7;
inline constexpr int kEditCommandCut = 0x300;
inline constexpr int kEditCommandCopy = 0x301;
inline constexpr int kEditCommandPaste = 0x302;
inline constexpr int kEditCommandClear = 0x303;
inline constexpr int kEditCommandSelectAll = 0x7400;

using TextClipboard = win::TextClipboard;

// The edit field inside a spinner window: shows the value, steps it with Up and Down and offers
// the editing commands in its context menu. Unless the spinner allows direct editing it takes no
// typing and no text from outside: only the spinner writes it. User-interface thread only.
class COptionTreeSpinnerEdit : public win::Edit {
 public:
  void SetSpinner(COptionTreeSpinnerButton* spinner) { spinner_ = spinner; }
  COptionTreeSpinnerButton* GetSpinner() const { return spinner_; }
  // Writes the text as the spinner's own value, whatever the direct-editing option says.
  void WriteValueText(std::string_view text);
  bool CanUndo() const { return undo_text_.has_value(); }

  bool HasOwnContextMenu() const override { return true; }

  // The process-wide clipboard (win::SetClipboard); not owned, nullptr removes it.
  static void SetClipboard(TextClipboard* clipboard) { win::SetClipboard(clipboard); }
  static TextClipboard* GetClipboard() { return win::CurrentClipboard(); }

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;
  void OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) override;
  void OnChar(int character, unsigned repeat, unsigned flags) override;
  void OnKillFocus(win::Window* new_focus) override;
  void OnContextMenu(win::Window* window, gfx::Point screen_point) override;
  void OnRButtonUp(unsigned flags, gfx::Point point) override;
  bool OnCommand(win::WParam wparam, win::LParam lparam) override;

 private:
  bool DirectEditing() const;
  bool HasSelection() const;
  // The selection inside the text, start not after end.
  std::pair<int, int> ClampedSel() const;
  // Replaces the text as the user's own change, remembering the old text for Undo.
  void UserEdit(const std::string& text, int caret);

  COptionTreeSpinnerButton* spinner_ = nullptr;
  std::optional<std::string> undo_text_;
  bool writing_ = false;
};

}  // namespace dialogs
