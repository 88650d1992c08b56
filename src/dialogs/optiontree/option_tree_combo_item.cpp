#include "dialogs/optiontree/option_tree_combo_item.h"

#include "dialogs/optiontree/option_tree.h"
#include "gfx/canvas.h"
#include "win/system_metrics.h"

namespace dialogs {

void DrawEditorValueText(gfx::Canvas& canvas, const COptionTreeItem& item, const gfx::Rect& value_rect,
                         std::string_view text) {
  const COptionTree* tree = item.GetOptionTree();
  const bool grey = item.IsReadOnly() || tree == nullptr || !tree->IsWindowEnabled();
  const int saved = canvas.SaveDC();
  canvas.SelectFont(COptionTree::GetNormalFont());
  canvas.SetTextColor(grey ? win::GetSysColor(win::SysColor::kGrayText) : item.GetValueTextColor());
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  canvas.SetBkColor(item.GetValueBackColor());
  gfx::Rect rect = value_rect;
  canvas.DrawText(text, rect, gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix);
  canvas.RestoreDC(saved);
}

COptionTreeComboItem::COptionTreeComboItem() : win::ComboBox(win::ControlKind::kComboDropList) {
  SetItemKind(kOptionItemComboBox);
}

bool COptionTreeComboItem::CreateComboWindow(uint32_t extra_style) {
  COptionTree* tree = GetOptionTree();
  if (tree == nullptr || IsWindow()) return false;
  // The list's scroll bar is the drop-down's own: a scroll bar style here would take it from the
  // box itself.
  const uint32_t style = extra_style | win::kWsChild | win::kWsVisible;
  if (!CreateControl(&tree->GetListWindow(), GetValueRect(), GetItemID(), {}, style)) return false;
  SetFont(COptionTree::GetNormalFont(), false);
  MoveWindow(GetValueRect());
  ShowWindow(win::kSwHide);
  return true;
}

void COptionTreeComboItem::DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) {
  if (focus_ || GetOptionTree() == nullptr || !IsWindow()) return;
  MoveWindow(value_rect, false);
  DrawEditorValueText(canvas, *this, value_rect, GetLBText(GetCurSel()));
}

void COptionTreeComboItem::OnActivate() {
  if (!IsWindow()) return;
  ShowWindow(win::kSwShow);
  gfx::Rect rect = GetValueRect();
  rect.bottom += drop_down_height_;
  MoveWindow(rect);
  SetFocus();
}

void COptionTreeComboItem::OnMove() {
  if (!IsWindow()) return;
  MoveWindow(GetValueRect());
  if (!focus_) ShowWindow(win::kSwHide);
}

void COptionTreeComboItem::OnRefresh() {
  if (IsWindow()) MoveWindow(GetValueRect());
}

void COptionTreeComboItem::OnCommit() {
  if (IsWindow()) ShowWindow(win::kSwHide);
}

void COptionTreeComboItem::OnDeselect() {
  if (IsWindow()) ShowWindow(win::kSwHide);
}

void COptionTreeComboItem::OnDeleteItem() { DestroyWindow(); }

void COptionTreeComboItem::OnSetFocus(win::Window* old_focus) {
  win::ComboBox::OnSetFocus(old_focus);
  focus_ = true;
}

void COptionTreeComboItem::OnKillFocus(win::Window* new_focus) {
  win::ComboBox::OnKillFocus(new_focus);
  // Focus leaving the control altogether keeps the editor open until it comes back.
  COptionTree* tree = GetOptionTree();
  if (tree == nullptr || new_focus == nullptr || !new_focus->IsSelfOrDescendantOf(tree)) return;
  focus_ = false;
  CommitChanges();
}

}  // namespace dialogs
