#include "dialogs/optiontree/option_tree_radio.h"

#include <algorithm>

#include "dialogs/optiontree/option_tree.h"
#include "gfx/canvas.h"
#include "win/system_metrics.h"

namespace dialogs {

namespace {

using win::GetSysColor;
using win::SysColor;

constexpr int kBandTop = 2;
constexpr int kBandStep = 16;
constexpr int kBandHeight = 14;
constexpr int kButtonWidth = 14;
constexpr int kTextGap = 5;

gfx::Rect ButtonRect(const gfx::Rect& area, int index) {
  const int top = area.top + kBandTop + kBandStep * index;
  return {area.left, top, area.left + kButtonWidth, top + kBandHeight};
}

// The platform's radio-button frame: a sunken double ring, or one flat ring for the row picture,
// with the dot in the window-text colour.
void DrawRadioFrame(gfx::Canvas& canvas, const gfx::Rect& button, bool checked, bool flat) {
  const int size = std::min(button.Width(), button.Height()) - 1;
  const gfx::Rect ring{button.left, button.top, button.left + size, button.top + size};
  const gfx::Brush old_brush = canvas.SelectBrush({gfx::BrushStyle::kSolid, GetSysColor(SysColor::kWindow)});
  const gfx::Pen old_pen = canvas.SelectPen({gfx::PenStyle::kSolid, 1, GetSysColor(SysColor::kBtnShadow)});
  canvas.Ellipse(ring);
  if (!flat) {
    canvas.SelectBrush({gfx::BrushStyle::kNull, 0});
    canvas.SelectPen({gfx::PenStyle::kSolid, 1, GetSysColor(SysColor::k3dDkShadow)});
    canvas.Ellipse({ring.left + 1, ring.top + 1, ring.right - 1, ring.bottom - 1});
  }
  if (checked) {
    const gfx::Color dot = GetSysColor(SysColor::kWindowText);
    canvas.SelectPen({gfx::PenStyle::kSolid, 1, dot});
    canvas.SelectBrush({gfx::BrushStyle::kSolid, dot});
    canvas.Ellipse({ring.left + 4, ring.top + 4, ring.right - 4, ring.bottom - 4});
  }
  canvas.SelectPen(old_pen);
  canvas.SelectBrush(old_brush);
}

}  // namespace

COptionTreeRadioButton::~COptionTreeRadioButton() {
  // Unlinked one by one: a long list must not recurse through its links.
  while (first_) first_ = std::move(first_->next);
}

void COptionTreeRadioButton::AddChoice(std::string_view text, int checked) {
  auto choice = std::make_unique<COptionTreeRadioChoice>();
  choice->text = text;
  choice->checked = checked;
  std::unique_ptr<COptionTreeRadioChoice>* link = &first_;
  while (*link) link = &(*link)->next;
  *link = std::move(choice);
}

COptionTreeRadioChoice* COptionTreeRadioButton::GetChoice(int index) const {
  if (index < 0) return nullptr;
  COptionTreeRadioChoice* choice = first_.get();
  for (; choice != nullptr && index > 0; --index) choice = choice->next.get();
  return choice;
}

COptionTreeRadioChoice* COptionTreeRadioButton::FindChoice(std::string_view text) const {
  for (COptionTreeRadioChoice* c = first_.get(); c != nullptr; c = c->next.get()) {
    if (c->text == text) return c;
  }
  return nullptr;
}

void COptionTreeRadioButton::UncheckAll() {
  for (COptionTreeRadioChoice* c = first_.get(); c != nullptr; c = c->next.get()) c->checked = 0;
}

int COptionTreeRadioButton::GetCheckedIndex() const {
  int index = 0;
  for (const COptionTreeRadioChoice* c = first_.get(); c != nullptr; c = c->next.get(), ++index) {
    if (c->checked == 1) return index;
  }
  return -1;
}

int COptionTreeRadioButton::GetChoiceCount() const {
  int count = 0;
  for (const COptionTreeRadioChoice* c = first_.get(); c != nullptr; c = c->next.get()) ++count;
  return count;
}

void COptionTreeRadioButton::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  if (owner_tree_ == nullptr) return;
  const gfx::Rect client = GetClientRect();
  const int saved = canvas.SaveDC();
  canvas.FillSolidRect(client,
                       GetSysColor(owner_tree_->IsWindowEnabled() ? SysColor::kWindow : SysColor::kBtnFace));
  canvas.SetTextColor(GetSysColor(SysColor::kWindowText));
  canvas.SelectFont(COptionTree::GetNormalFont());
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  int index = 0;
  for (COptionTreeRadioChoice* c = first_.get(); c != nullptr; c = c->next.get(), ++index) {
    const gfx::Rect button = ButtonRect(client, index);
    DrawRadioFrame(canvas, button, c->checked == 1, false);
    constexpr uint32_t kFormat = gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix;
    gfx::Rect text{button.right + kTextGap, button.top, client.right, button.bottom};
    canvas.DrawText(c->text, text, kFormat);
    gfx::Rect measured = text;
    canvas.DrawText(c->text, measured, kFormat | gfx::kDtCalcRect);
    c->hit_rect = {button.left, button.top, measured.right, button.bottom};
  }
  canvas.RestoreDC(saved);
}

void COptionTreeRadioButton::OnLButtonUp(unsigned flags, gfx::Point point) {
  for (COptionTreeRadioChoice* c = first_.get(); c != nullptr; c = c->next.get()) {
    if (!c->hit_rect.Contains(point)) continue;
    UncheckAll();
    c->checked = 1;
    Invalidate();
    return;
  }
}

COptionTreeRadioItem::COptionTreeRadioItem() { SetItemKind(kOptionItemRadio); }

COptionTreeRadioItem::~COptionTreeRadioItem() { DestroyWindow(); }

bool COptionTreeRadioItem::CreateRadioWindow() {
  COptionTree* tree = COptionTreeItem::GetOptionTree();
  if (tree == nullptr || IsWindow()) return false;
  if (!Create(&tree->GetListWindow(), GetValueRect(),
              win::kWsChild | win::kWsVisible | win::kWsClipSiblings | win::kWsClipChildren, GetItemID())) {
    return false;
  }
  SetLabelAtTop(true);
  SetFont(COptionTree::GetNormalFont());
  COptionTreeRadioButton::SetOptionTree(tree);
  MoveToValueRect();
  ShowWindow(win::kSwHide);
  return true;
}

void COptionTreeRadioItem::AddRadio(std::string_view text, int checked) {
  if (checked == 1) UncheckAll();
  AddChoice(text, checked);
  UpdateHeight();
  if (IsWindow()) Invalidate();
}

void COptionTreeRadioItem::MoveToValueRect() {
  if (GetWindowRectInParent() != GetValueRect()) MoveWindow(GetValueRect());
}

void COptionTreeRadioItem::DrawValue(gfx::Canvas& canvas, const gfx::Rect& r) {
  COptionTree* tree = COptionTreeItem::GetOptionTree();
  if (in_use_ || tree == nullptr || !IsWindow()) return;
  MoveToValueRect();
  ShowWindow(win::kSwHide);
  const int saved = canvas.SaveDC();
  canvas.SetTextColor(IsReadOnly() || !tree->IsWindowEnabled() ? GetSysColor(SysColor::kGrayText)
                                                               : GetValueTextColor());
  canvas.SetBkColor(GetValueBackColor());
  canvas.SelectFont(COptionTree::GetNormalFont());
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  for (int index = 0; const COptionTreeRadioChoice* c = GetChoice(index); ++index) {
    const gfx::Rect button = ButtonRect(r, index);
    DrawRadioFrame(canvas, button, c->checked == 1, true);
    gfx::Rect text{button.right + kTextGap, button.top, r.right, button.bottom};
    canvas.DrawText(c->text, text, gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix);
  }
  canvas.RestoreDC(saved);
}

void COptionTreeRadioItem::OnActivate() {
  if (!IsWindow()) return;
  MoveToValueRect();
  ShowWindow(win::kSwShowNoActivate);
  SetFocus();
}

void COptionTreeRadioItem::OnMove() {
  if (!IsWindow()) return;
  MoveToValueRect();
  if (!in_use_) ShowWindow(win::kSwHide);
  UpdateHeight();
  Invalidate();
}

void COptionTreeRadioItem::OnRefresh() {
  if (IsWindow()) MoveToValueRect();
}

void COptionTreeRadioItem::OnCommit() {
  if (IsWindow()) ShowWindow(win::kSwHide);
}

void COptionTreeRadioItem::OnDeleteItem() {
  if (IsWindow()) DestroyWindow();
}

void COptionTreeRadioItem::OnSetFocus(win::Window* old_focus) {
  COptionTreeRadioButton::OnSetFocus(old_focus);
  in_use_ = true;
}

void COptionTreeRadioItem::OnKillFocus(win::Window* new_focus) {
  COptionTree* tree = COptionTreeItem::GetOptionTree();
  // Focus that leaves the control (a message box, another application) comes back here.
  if (tree == nullptr || new_focus == nullptr || !new_focus->IsSelfOrDescendantOf(tree)) return;
  in_use_ = false;
  CommitChanges();
}

}  // namespace dialogs
