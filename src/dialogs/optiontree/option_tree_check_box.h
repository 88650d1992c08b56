#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dialogs/optiontree/option_tree_item.h"
#include "gfx/geometry.h"
#include "win/window.h"

namespace dialogs {

class COptionTree;

// Option word bits of COptionTreeCheckButton.
inline constexpr uint32_t CheckOptionDrawBox = 0x400;
inline constexpr uint32_t CheckOptionDrawText = 0x40000;

// A small painted window with a check box and, optionally, the state text after it; a click on
// the box (or, with the text, anywhere right of it) toggles the state. Holds the state the dialog
// reads back. Paints nothing until it knows its control. User-interface thread only.
class COptionTreeCheckButton : public win::Window {
 public:
  std::string_view ClassName() const override { return "COptionTreeCheckButton"; }

  void SetStateTexts(std::string_view checked, std::string_view unchecked);
  const std::string& GetCheckedText() const { return checked_text_; }
  const std::string& GetUncheckedText() const { return unchecked_text_; }
  void SetCheck(int check) { check_ = check != 0 ? 1 : 0; }
  int GetCheck() const { return check_; }
  void SetOptionTree(COptionTree* tree) { owner_tree_ = tree; }
  COptionTree* GetOwnerTree() const { return owner_tree_; }
  // True when any of the bits is set.
  bool HasOption(uint32_t bits) const { return (options_ & bits) != 0; }
  // A flag of 1 sets the bits, anything else clears them.
  void SetOption(uint32_t bits, int flag);
  uint32_t GetOptions() const { return options_; }
  // Client coordinates, as the last paint left it.
  const gfx::Rect& GetClickRect() const { return click_rect_; }

 protected:
  bool OnEraseBackground(gfx::Canvas& canvas) override { return false; }
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;

 private:
  std::string unchecked_text_ = "UnChecked";
  std::string checked_text_ = "Checked";
  int check_ = 0;
  gfx::Rect click_rect_;
  COptionTree* owner_tree_ = nullptr;
  uint32_t options_ = 0;
};

// The yes/no row: the row shows the state flat in its value column; activation shows the check
// window there, and the item commits when the focus moves on inside the control. The window is
// created after insertion and destroyed with the item. User-interface thread only.
class COptionTreeCheckItem : public COptionTreeCheckButton, public COptionTreeItem {
 public:
  COptionTreeCheckItem();
  ~COptionTreeCheckItem() override;

  // After InsertItem. False when the item is in no control yet or the window exists.
  bool CreateCheckWindow(int check, uint32_t options);
  bool HasFocusFlag() const { return focus_; }

  void DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) override;
  void OnActivate() override;
  void OnMove() override;
  void OnRefresh() override;
  void OnCommit() override;
  void OnDeleteItem() override;
  void OnDeselect() override { CommitChanges(); }
  void OnSelect() override { CommitChanges(); }

 protected:
  void OnSetFocus(win::Window* old_focus) override;
  void OnKillFocus(win::Window* new_focus) override;

 private:
  void MoveToValueRect();

  bool focus_ = false;
};

}  // namespace dialogs
