#pragma once

#include <cstdint>

#include "dialogs/optiontree/option_tree_item.h"
#include "dialogs/optiontree/option_tree_spinner_button.h"

namespace dialogs {

class COptionTreeSpinnerItem;

// The spinner window of a spinner item: tells the item of focus changes and of the field's commit.
class COptionTreeSpinnerWindow : public COptionTreeSpinnerButton {
 public:
  explicit COptionTreeSpinnerWindow(COptionTreeSpinnerItem& item) : item_(item) {}

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;
  void OnSetFocus(win::Window* old_focus) override;
  void OnKillFocus(win::Window* new_focus) override;

 private:
  COptionTreeSpinnerItem& item_;
};

// The numeric up/down row: the value column shows the spinner's text, and the spinner window
// opens over it while the row is edited. Range, options and value live in the spinner window
// (GetSpinner). User-interface thread only.
class COptionTreeSpinnerItem : public COptionTreeItem {
 public:
  COptionTreeSpinnerItem();
  ~COptionTreeSpinnerItem() override;

  // After insertion into a control; false when not inserted or the window exists already.
  bool CreateSpinnerWindow(uint32_t options, double value, double minimum, double maximum);
  COptionTreeSpinnerButton& GetSpinner() { return window_; }
  bool IsInUse() const { return in_use_; }

  void DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) override;
  void OnActivate() override;
  void OnMove() override;
  void OnRefresh() override;
  void OnCommit() override;
  void OnDeleteItem() override;
  void OnDeselect() override;

 private:
  friend class COptionTreeSpinnerWindow;
  void SetInUse(bool in_use) { in_use_ = in_use; }
  void CommitFromWindow();

  bool in_use_ = false;
  COptionTreeSpinnerWindow window_;
};

}  // namespace dialogs
