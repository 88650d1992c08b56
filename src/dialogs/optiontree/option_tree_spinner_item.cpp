#include "dialogs/optiontree/option_tree_spinner_item.h"

#include "dialogs/optiontree/option_tree.h"
#include "gfx/canvas.h"
#include "win/system_metrics.h"

namespace dialogs {

win::LResult COptionTreeSpinnerWindow::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == kSpinnerMsgCommit) {
    item_.CommitFromWindow();
    return 0;
  }
  return COptionTreeSpinnerButton::WindowProc(message, wparam, lparam);
}

void COptionTreeSpinnerWindow::OnSetFocus(win::Window* old_focus) {
  COptionTreeSpinnerButton::OnSetFocus(old_focus);
  if (HasFocus()) item_.SetInUse(true);
}

void COptionTreeSpinnerWindow::OnKillFocus(win::Window* new_focus) {
  COptionTree* tree = item_.GetOptionTree();
  if (tree == nullptr || new_focus == nullptr || new_focus == &GetEdit() ||
      !new_focus->IsSelfOrDescendantOf(tree))
    return;
  item_.CommitFromWindow();
}

COptionTreeSpinnerItem::COptionTreeSpinnerItem() : window_(*this) { SetItemKind(kOptionItemSpinner); }

COptionTreeSpinnerItem::~COptionTreeSpinnerItem() { window_.DestroyWindow(); }

bool COptionTreeSpinnerItem::CreateSpinnerWindow(uint32_t options, double value, double minimum,
                                                 double maximum) {
  COptionTree* tree = GetOptionTree();
  if (tree == nullptr || window_.IsWindow()) return false;
  if (!window_.Create(&tree->GetListWindow(), GetValueRect(),
                      win::kWsChild | win::kWsVisible | win::kWsClipSiblings | win::kWsClipChildren,
                      GetItemID())) {
    return false;
  }
  window_.SetOption(~0u, false);
  window_.SetOption(options, true);
  window_.SetRange(minimum, maximum);
  window_.SetDoubleValue(value);
  window_.SetOptionTree(tree);
  window_.SetFont(COptionTree::GetNormalFont(), false);
  window_.MoveWindow(GetValueRect(), false);
  window_.ShowWindow(win::kSwHide);
  return true;
}

void COptionTreeSpinnerItem::CommitFromWindow() {
  in_use_ = false;
  CommitChanges();
}

void COptionTreeSpinnerItem::DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) {
  COptionTree* tree = GetOptionTree();
  if (in_use_ || tree == nullptr || !window_.IsWindow()) return;
  window_.MoveWindow(value_rect, false);
  window_.ShowWindow(win::kSwHide);
  const bool grey = IsReadOnly() || !tree->IsWindowEnabled();
  const int saved = canvas.SaveDC();
  canvas.SelectFont(COptionTree::GetNormalFont());
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  canvas.SetBkColor(GetValueBackColor());
  canvas.SetTextColor(grey ? win::GetSysColor(win::SysColor::kGrayText) : GetValueTextColor());
  gfx::Rect rect = value_rect;
  canvas.DrawText(window_.GetText(), rect, gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix);
  canvas.RestoreDC(saved);
}

void COptionTreeSpinnerItem::OnActivate() {
  if (!window_.IsWindow()) return;
  window_.MoveWindow(GetValueRect());
  window_.ShowWindow(win::kSwShow);
  window_.SetFocus();
}

void COptionTreeSpinnerItem::OnMove() {
  if (!window_.IsWindow()) return;
  window_.MoveWindow(GetValueRect());
  if (!in_use_) window_.ShowWindow(win::kSwHide);
}

void COptionTreeSpinnerItem::OnRefresh() {
  if (window_.IsWindow()) window_.MoveWindow(GetValueRect());
}

void COptionTreeSpinnerItem::OnCommit() {
  if (window_.IsWindow()) window_.ShowWindow(win::kSwHide);
}

void COptionTreeSpinnerItem::OnDeleteItem() { window_.DestroyWindow(); }

void COptionTreeSpinnerItem::OnDeselect() {
  if (window_.IsWindow()) window_.ShowWindow(win::kSwHide);
}

}  // namespace dialogs
