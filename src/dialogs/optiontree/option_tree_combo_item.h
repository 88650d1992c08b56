#pragma once

#include <cstdint>
#include <string_view>

#include "dialogs/optiontree/option_tree_item.h"
#include "win/controls.h"

namespace dialogs {

// A row whose value is chosen from a drop-down list. The list box window is the item's editor:
// a child of the control's list window with the item id as its child id, hidden until the row is
// activated; the row draws the chosen text meanwhile. The caller fills and selects the list
// through the combo box's own interface after CreateComboWindow. Pixels. User-interface thread only.
class COptionTreeComboItem : public win::ComboBox, public COptionTreeItem {
 public:
  COptionTreeComboItem();

  // extra_style: window style bits added to the child and visible bits. False without an owning
  // control or when the window exists already.
  bool CreateComboWindow(uint32_t extra_style = 0);
  // How far the opened list reaches below the row.
  void SetDropDownHeight(int height) { drop_down_height_ = height; }
  int GetDropDownHeight() const { return drop_down_height_; }

  void DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) override;
  void OnActivate() override;
  void OnMove() override;
  void OnRefresh() override;
  void OnCommit() override;
  void OnDeselect() override;
  void OnDeleteItem() override;

 protected:
  using win::ComboBox::OnMove;
  void OnSetFocus(win::Window* old_focus) override;
  void OnKillFocus(win::Window* new_focus) override;

 private:
  bool focus_ = false;
  int drop_down_height_ = 100;
};

// The value text of a row whose editor is a platform control, as the row shows it while the
// editor is hidden: one line, centred vertically, in the item's value colours (grey when the item
// is read-only or the control disabled).
void DrawEditorValueText(gfx::Canvas& canvas, const COptionTreeItem& item, const gfx::Rect& value_rect,
                         std::string_view text);

}  // namespace dialogs
