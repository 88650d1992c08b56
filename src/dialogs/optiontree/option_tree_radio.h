#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "dialogs/optiontree/option_tree_item.h"
#include "gfx/geometry.h"
#include "win/window.h"

namespace dialogs {

class COptionTree;

// One choice of a radio group; the hit rectangle is where the window's last paint drew the button
// and its text (empty before the first paint).
struct COptionTreeRadioChoice {
  std::string text;
  int checked = 0;
  gfx::Rect hit_rect;
  std::unique_ptr<COptionTreeRadioChoice> next;
};

// A painted window listing choices one below the other, each a radio button and its text in a
// 16-pixel band; a click on a button or its text checks that choice alone. Owns the choices.
// Paints nothing until it knows its control. User-interface thread only.
class COptionTreeRadioButton : public win::Window {
 public:
  ~COptionTreeRadioButton() override;
  std::string_view ClassName() const override { return "COptionTreeRadioButton"; }

  void AddChoice(std::string_view text, int checked);
  // None past the end.
  COptionTreeRadioChoice* GetChoice(int index) const;
  // The first choice with exactly this text, or none.
  COptionTreeRadioChoice* FindChoice(std::string_view text) const;
  void UncheckAll();
  // -1 when none is checked.
  int GetCheckedIndex() const;
  int GetChoiceCount() const;
  void SetOptionTree(COptionTree* tree) { owner_tree_ = tree; }
  COptionTree* GetOwnerTree() const { return owner_tree_; }

 protected:
  bool OnEraseBackground(gfx::Canvas& canvas) override { return false; }
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;

 private:
  std::unique_ptr<COptionTreeRadioChoice> first_;
  COptionTree* owner_tree_ = nullptr;
};

// The one-of-many row: as tall as its choices, label at the top; the row shows the choices flat
// and activation lays the live radio window over them until the focus moves on inside the
// control. The window is created after insertion and destroyed with the item. User-interface
// thread only.
class COptionTreeRadioItem : public COptionTreeRadioButton, public COptionTreeItem {
 public:
  COptionTreeRadioItem();
  ~COptionTreeRadioItem() override;

  // After InsertItem. False when the item is in no control yet or the window exists.
  bool CreateRadioWindow();
  // A checked choice unchecks the others first; the row grows by one band.
  void AddRadio(std::string_view text, int checked);
  int GetCheckedIndex() const { return COptionTreeRadioButton::GetCheckedIndex(); }
  bool IsInUse() const { return in_use_; }

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
  void UpdateHeight() { SetHeight(16 * GetChoiceCount() + 2); }

  bool in_use_ = false;
};

}  // namespace dialogs
