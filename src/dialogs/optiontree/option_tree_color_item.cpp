#include "dialogs/optiontree/option_tree_color_item.h"

#include <cstdio>

#include "dialogs/optiontree/option_tree.h"
#include "dialogs/optiontree/option_tree_color_picker.h"
#include "gfx/canvas.h"
#include "win/system_metrics.h"

namespace dialogs {

using win::GetSysColor;
using win::SysColor;

COptionTreeColorItem::COptionTreeColorItem() { SetItemKind(kOptionItemColor); }

COptionTreeColorItem::~COptionTreeColorItem() = default;

bool COptionTreeColorItem::CreateColorWindow(uint32_t options, gfx::Color color, gfx::Color automatic_color) {
  COptionTree* tree = GetOptionTree();
  if (tree == nullptr || IsWindow()) return false;
  if (!Create(&tree->GetListWindow(), GetValueRect(),
              win::kWsChild | win::kWsVisible | win::kWsClipSiblings | win::kWsClipChildren, GetItemID())) {
    return false;
  }
  SetFont(COptionTree::GetNormalFont(), false);
  color_ = color;
  automatic_color_ = automatic_color;
  options_ = options;
  MoveToValueRect();
  ShowWindow(win::kSwHide);
  return true;
}

void COptionTreeColorItem::SetOption(uint32_t bits, int flag) {
  if (flag == 1)
    options_ |= bits;
  else
    options_ &= ~bits;
}

std::string COptionTreeColorItem::GetValueText() const {
  char text[40];
  // Red first, as colours are written everywhere else.
  if (HasOption(ColorOptionHexText))
    std::snprintf(text, sizeof text, "#%02X%02X%02X", gfx::RedOf(color_), gfx::GreenOf(color_),
                  gfx::BlueOf(color_));
  else
    std::snprintf(text, sizeof text, "RGB (%d, %d, %d)", gfx::RedOf(color_), gfx::GreenOf(color_),
                  gfx::BlueOf(color_));
  return text;
}

void COptionTreeColorItem::MoveToValueRect() {
  if (IsWindow() && GetWindowRectInParent() != GetValueRect()) MoveWindow(GetValueRect(), false);
}

void COptionTreeColorItem::UpdateTreeList() {
  if (COptionTree* tree = GetOptionTree()) tree->UpdateList();
}

void COptionTreeColorItem::DrawColorValue(gfx::Canvas& canvas, const gfx::Rect& r) {
  COptionTree* tree = GetOptionTree();
  const int saved = canvas.SaveDC();
  canvas.SelectFont(COptionTree::GetNormalFont());
  const bool grey = IsReadOnly() || (tree != nullptr && !tree->IsWindowEnabled());
  canvas.SetTextColor(grey ? GetSysColor(SysColor::kGrayText) : GetValueTextColor());
  canvas.SetBkColor(GetValueBackColor());
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  canvas.FillSolidRect({r.left, r.top + 2, r.left + 16, r.top + 18}, GetSysColor(SysColor::kBtnShadow));
  canvas.FillSolidRect({r.left + 1, r.top + 3, r.left + 15, r.top + 17}, color_);
  gfx::Rect text_rect{r.left + 20, r.top, r.right, r.bottom};
  canvas.DrawText(GetValueText(), text_rect, gfx::kDtSingleLine | gfx::kDtVCenter);
  canvas.RestoreDC(saved);
}

void COptionTreeColorItem::DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) {
  if (focus_ || GetOptionTree() == nullptr || !IsWindow()) return;
  MoveToValueRect();
  DrawColorValue(canvas, value_rect);
}

void COptionTreeColorItem::OnActivate() {
  if (!IsWindow()) return;
  ShowWindow(win::kSwShow);
  MoveToValueRect();
  SetFocus();
}

void COptionTreeColorItem::OnMove() {
  MoveToValueRect();
  if (!focus_ && IsWindow()) ShowWindow(win::kSwHide);
}

void COptionTreeColorItem::OnRefresh() { MoveToValueRect(); }

void COptionTreeColorItem::OnCommit() {
  if (IsWindow()) ShowWindow(win::kSwHide);
}

void COptionTreeColorItem::OnDeselect() {
  if (IsWindow()) ShowWindow(win::kSwHide);
}

void COptionTreeColorItem::OnDeleteItem() { DestroyWindow(); }

win::LResult COptionTreeColorItem::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  const auto color = static_cast<gfx::Color>(wparam);
  switch (message) {
    case kWmColorPickerSelEnd:
      picking_ = false;
      color_ = color;
      CommitChanges();
      UpdateTreeList();
      return 0;
    case kWmColorPickerSelCancel:
      picking_ = false;
      // A tracked preview must not outlive the cancellation: back to the colour the pick began with.
      if (HasOption(ColorOptionTrack)) color_ = color;
      ShowWindow(win::kSwHide);
      UpdateTreeList();
      return 0;
    case kWmColorPickerSelChange:
      if (HasOption(ColorOptionTrack)) color_ = color;
      ShowWindow(win::kSwHide);
      UpdateTreeList();
      return 0;
    default:
      return win::Window::WindowProc(message, wparam, lparam);
  }
}

void COptionTreeColorItem::OnSetFocus(win::Window* old_focus) { focus_ = true; }

void COptionTreeColorItem::OnKillFocus(win::Window* new_focus) {
  focus_ = false;
  if (!picking_) CommitChanges();
}

void COptionTreeColorItem::OnLButtonUp(unsigned flags, gfx::Point point) {
  const gfx::Point at = win::Windows().CursorPos();
  picking_ = true;
  ShowWindow(win::kSwHide);
  // The picker owns itself: it deletes itself when its window ends.
  new COptionTreeColorPicker(at.x, at.y, color_, automatic_color_, this, "Automatic", "More Colors...");
  UpdateTreeList();
}

void COptionTreeColorItem::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  if (focus_) DrawColorValue(canvas, GetClientRect());
}

}  // namespace dialogs
