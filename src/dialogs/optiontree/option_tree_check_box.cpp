#include "dialogs/optiontree/option_tree_check_box.h"

#include "dialogs/optiontree/option_tree.h"
#include "gfx/canvas.h"
#include "win/control_drawing.h"
#include "win/system_metrics.h"

namespace dialogs {

namespace {

using win::GetSysColor;
using win::SysColor;

// The platform's check-box frame: a two-pixel sunken edge, or one flat line for the row picture,
// with the tick in the window-text colour.
void DrawCheckFrame(gfx::Canvas& canvas, const gfx::Rect& box, bool checked, bool flat) {
  canvas.FillSolidRect(box, GetSysColor(SysColor::kWindow));
  if (flat) {
    canvas.FrameRect(box, {gfx::BrushStyle::kSolid, GetSysColor(SysColor::kBtnShadow)});
  } else {
    win::Draw3dFrame(canvas, box, GetSysColor(SysColor::kBtnShadow), GetSysColor(SysColor::kBtnHighlight));
    win::Draw3dFrame(canvas, {box.left + 1, box.top + 1, box.right - 1, box.bottom - 1},
                     GetSysColor(SysColor::k3dDkShadow), GetSysColor(SysColor::kBtnFace));
  }
  if (!checked) return;
  const gfx::Pen old = canvas.SelectPen({gfx::PenStyle::kSolid, 2, GetSysColor(SysColor::kWindowText)});
  canvas.MoveTo(box.left + 3, box.top + 7);
  canvas.LineTo(box.left + 6, box.top + 10);
  canvas.LineTo(box.left + 11, box.top + 4);
  canvas.SelectPen(old);
}

}  // namespace

void COptionTreeCheckButton::SetStateTexts(std::string_view checked, std::string_view unchecked) {
  checked_text_ = checked;
  unchecked_text_ = unchecked;
}

void COptionTreeCheckButton::SetOption(uint32_t bits, int flag) {
  if (flag == 1)
    options_ |= bits;
  else
    options_ &= ~bits;
}

void COptionTreeCheckButton::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  if (owner_tree_ == nullptr) return;
  const gfx::Rect client = GetClientRect();
  const int saved = canvas.SaveDC();
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  canvas.SetTextColor(GetSysColor(SysColor::kWindowText));
  canvas.SelectFont(COptionTree::GetNormalFont());
  canvas.FillSolidRect(client,
                       GetSysColor(owner_tree_->IsWindowEnabled() ? SysColor::kWindow : SysColor::kBtnFace));
  const gfx::Rect box{client.left + 1, client.top + 4, client.left + 15, client.top + 18};
  DrawCheckFrame(canvas, box, check_ == 1, false);
  click_rect_ = box;
  if (HasOption(CheckOptionDrawText)) {
    gfx::Rect text{box.right + 5, client.top, client.right, client.bottom};
    canvas.DrawText(check_ == 1 ? checked_text_ : unchecked_text_, text,
                    gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix);
    click_rect_.right = client.right;
  }
  canvas.RestoreDC(saved);
}

void COptionTreeCheckButton::OnLButtonUp(unsigned flags, gfx::Point point) {
  if (click_rect_.Contains(point)) {
    check_ = check_ == 1 ? 0 : 1;
    Invalidate();
  }
}

COptionTreeCheckItem::COptionTreeCheckItem() { SetItemKind(kOptionItemCheckBox); }

COptionTreeCheckItem::~COptionTreeCheckItem() { DestroyWindow(); }

bool COptionTreeCheckItem::CreateCheckWindow(int check, uint32_t options) {
  COptionTree* tree = COptionTreeItem::GetOptionTree();
  if (tree == nullptr || IsWindow()) return false;
  if (!Create(&tree->GetListWindow(), GetValueRect(),
              win::kWsChild | win::kWsVisible | win::kWsClipSiblings | win::kWsClipChildren, GetItemID())) {
    return false;
  }
  SetFont(COptionTree::GetNormalFont());
  SetOption(~0u, 0);
  SetOption(options, 1);
  SetCheck(check);
  COptionTreeCheckButton::SetOptionTree(tree);
  MoveToValueRect();
  ShowWindow(win::kSwHide);
  return true;
}

void COptionTreeCheckItem::MoveToValueRect() {
  if (GetWindowRectInParent() != GetValueRect()) MoveWindow(GetValueRect());
}

void COptionTreeCheckItem::DrawValue(gfx::Canvas& canvas, const gfx::Rect& r) {
  COptionTree* tree = COptionTreeItem::GetOptionTree();
  if (focus_ || tree == nullptr || !IsWindow()) return;
  MoveToValueRect();
  const int saved = canvas.SaveDC();
  canvas.SelectFont(COptionTree::GetNormalFont());
  canvas.SetTextColor(IsReadOnly() || !tree->IsWindowEnabled() ? GetSysColor(SysColor::kGrayText)
                                                               : GetValueTextColor());
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  canvas.SetBkColor(GetValueBackColor());
  const gfx::Rect box{r.left, r.top + 3, r.left + 14, r.top + 17};
  if (HasOption(CheckOptionDrawBox)) DrawCheckFrame(canvas, box, GetCheck() == 1, true);
  if (HasOption(CheckOptionDrawText)) {
    gfx::Rect text = r;
    if (HasOption(CheckOptionDrawBox)) text.left = box.right + 5;
    canvas.DrawText(GetCheck() == 1 ? GetCheckedText() : GetUncheckedText(), text,
                    gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix);
  }
  canvas.RestoreDC(saved);
}

void COptionTreeCheckItem::OnActivate() {
  if (!IsWindow()) return;
  ShowWindow(win::kSwShow);
  MoveToValueRect();
  SetFocus();
}

void COptionTreeCheckItem::OnMove() {
  if (!IsWindow()) return;
  MoveToValueRect();
  if (!focus_) ShowWindow(win::kSwHide);
}

void COptionTreeCheckItem::OnRefresh() {
  if (IsWindow()) MoveToValueRect();
}

void COptionTreeCheckItem::OnCommit() {
  if (IsWindow()) ShowWindow(win::kSwHide);
}

void COptionTreeCheckItem::OnDeleteItem() {
  if (IsWindow()) DestroyWindow();
}

void COptionTreeCheckItem::OnSetFocus(win::Window* old_focus) {
  COptionTreeCheckButton::OnSetFocus(old_focus);
  focus_ = true;
}

void COptionTreeCheckItem::OnKillFocus(win::Window* new_focus) {
  COptionTree* tree = COptionTreeItem::GetOptionTree();
  // Focus that leaves for another window (a message box, another application) comes back here.
  if (tree == nullptr || new_focus == nullptr || !new_focus->IsSelfOrDescendantOf(tree)) return;
  focus_ = false;
  CommitChanges();
}

}  // namespace dialogs
