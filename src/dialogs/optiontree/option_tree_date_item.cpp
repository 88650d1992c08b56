#include "dialogs/optiontree/option_tree_date_item.h"

#include "dialogs/optiontree/option_tree.h"
#include "dialogs/optiontree/option_tree_combo_item.h"

namespace dialogs {

COptionTreeDateItem::COptionTreeDateItem() { SetItemKind(kOptionItemDate); }

bool COptionTreeDateItem::CreateDateWindow(std::string_view format, uint32_t extra_style) {
  COptionTree* tree = GetOptionTree();
  if (tree == nullptr || IsWindow()) return false;
  const uint32_t style = extra_style | win::kWsChild | win::kWsVisible;
  if (!CreateControl(&tree->GetListWindow(), GetValueRect(), GetItemID(), {}, style)) return false;
  SetFont(COptionTree::GetNormalFont(), false);
  SetFormat(format);
  MoveWindow(GetValueRect());
  ShowWindow(win::kSwHide);
  return true;
}

void COptionTreeDateItem::DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) {
  if (focus_ || GetOptionTree() == nullptr || !IsWindow()) return;
  MoveWindow(value_rect, false);
  DrawEditorValueText(canvas, *this, value_rect, Text());
}

void COptionTreeDateItem::OnActivate() {
  if (!IsWindow()) return;
  ShowWindow(win::kSwShow);
  MoveWindow(GetValueRect());
  SetFocus();
}

void COptionTreeDateItem::OnMove() {
  if (!IsWindow()) return;
  MoveWindow(GetValueRect());
  if (!focus_) ShowWindow(win::kSwHide);
}

void COptionTreeDateItem::OnRefresh() {
  if (IsWindow()) MoveWindow(GetValueRect());
}

void COptionTreeDateItem::OnCommit() {
  if (IsWindow()) ShowWindow(win::kSwHide);
}

void COptionTreeDateItem::OnDeselect() {
  if (IsWindow()) ShowWindow(win::kSwHide);
}

void COptionTreeDateItem::OnDeleteItem() { DestroyWindow(); }

void COptionTreeDateItem::OnSetFocus(win::Window* old_focus) {
  win::DateTimePicker::OnSetFocus(old_focus);
  focus_ = true;
}

void COptionTreeDateItem::OnKillFocus(win::Window* new_focus) {
  win::DateTimePicker::OnKillFocus(new_focus);
  COptionTree* tree = GetOptionTree();
  if (tree == nullptr || new_focus == nullptr || !new_focus->IsSelfOrDescendantOf(tree)) return;
  // The month calendar the picker drops down lies inside it (or is owned by it): choosing a day
  // there is still editing.
  if (new_focus != this && (new_focus->IsSelfOrDescendantOf(this) || new_focus->GetOwner() == this)) return;
  focus_ = false;
  CommitChanges();
}

}  // namespace dialogs
