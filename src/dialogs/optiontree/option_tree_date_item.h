#pragma once

#include <cstdint>
#include <string_view>

#include "dialogs/optiontree/option_tree_item.h"
#include "win/controls.h"

namespace dialogs {

// Picker styles the dialogs pass with their formats.
inline constexpr uint32_t kDtsLongDateFormat = 0x0004;
inline constexpr uint32_t kDtsTimeFormat = 0x0009;

// A row holding a date or a time. The picker window is the item's editor: a child of the
// control's list window with the item id as its child id, hidden until the row is activated; the
// row draws the picker's formatted text meanwhile. The caller sets and reads the value through
// the picker's own interface. Pixels. User-interface thread only.
class COptionTreeDateItem : public win::DateTimePicker, public COptionTreeItem {
 public:
  COptionTreeDateItem();

  // format: the picker's display format ("ddd, MMM d, yyyy", "hh:mm tt"); extra_style: style
  // bits added to the child and visible bits. False without an owning control or when the window
  // exists already.
  bool CreateDateWindow(std::string_view format, uint32_t extra_style = 0);

  void DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) override;
  void OnActivate() override;
  void OnMove() override;
  void OnRefresh() override;
  void OnCommit() override;
  void OnDeselect() override;
  void OnDeleteItem() override;

 protected:
  using win::DateTimePicker::OnMove;
  void OnSetFocus(win::Window* old_focus) override;
  void OnKillFocus(win::Window* new_focus) override;

 private:
  bool focus_ = false;
};

}  // namespace dialogs
