#include "dialogs/optiontree/option_tree_list.h"

#include <algorithm>

#include "dialogs/optiontree/option_tree.h"
#include "gfx/canvas.h"
#include "win/control_drawing.h"
#include "win/system_metrics.h"

namespace dialogs {

namespace {

using win::GetSysColor;
using win::SysColor;

constexpr int kLineHeight = 21;
constexpr int kPageRows = 6;
// The dropped divider keeps this much of the label and the value column.
constexpr int kMinDivider = 41;
constexpr int kValueReserve = 25;

}  // namespace

bool COptionTreeList::InputAllowed() const {
  return tree_ != nullptr && !tree_->IsInputDisabled() && tree_->IsWindowEnabled();
}

void COptionTreeList::UpdateScrollBars() {
  if (tree_ == nullptr) return;
  int total = 0;
  for (COptionTreeItem* item = tree_->GetRootItem()->GetChild(); item != nullptr; item = item->GetSibling())
    total += item->GetTotalHeight();
  win::ScrollInfo info;
  info.mask = win::kSifRange | win::kSifPage;
  info.min = 0;
  info.max = total;
  info.page = GetClientRect().Height() + 1;
  SetScrollInfo(win::kSbVert, info);
  if (total < info.page) tree_->SetScrollOffset(0);
  tree_->SetColumn(tree_->GetColumn());
}

void COptionTreeList::ValidateFocusedItem() {
  if (tree_ == nullptr) return;
  COptionTreeItem* focused = tree_->GetFocusedItem();
  if (focused == nullptr || tree_->IsItemShown(focused)) return;
  focused->Select(false);
  tree_->SetFocusedItem(nullptr);
  tree_->SendNotify(NotifySelectionChanged, nullptr);
  Invalidate();
}

void COptionTreeList::OnSize(int type, int cx, int cy) {
  if (tree_ == nullptr) return;
  UpdateScrollBars();
  tree_->MoveEditors();
  Invalidate();
}

void COptionTreeList::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  if (tree_ == nullptr) return;
  // The host's backing store already keeps the rows from flickering; drawing straight onto the
  // canvas keeps the headless record readable.
  const gfx::Rect client = GetClientRect();
  const bool enabled = tree_->IsWindowEnabled();
  canvas.FillSolidRect(client, GetSysColor(SysColor::kBtnFace));
  canvas.FillSolidRect({client.left + 2, client.top + 2, client.right - 2, client.bottom - 2},
                       GetSysColor(enabled ? SysColor::kWindow : SysColor::kBtnFace));
  const bool plain_column = enabled && !tree_->IsExpandColumnShaded();
  canvas.FillSolidRect({0, client.top, 16, client.bottom},
                       GetSysColor(plain_column ? SysColor::kWindow : SysColor::kBtnFace));
  tree_->ClearShownItems();
  tree_->ClearLabelRects();
  const int saved = canvas.SaveDC();
  canvas.IntersectClipRect(client);
  int y = 0;
  for (COptionTreeItem* item = tree_->GetRootItem()->GetChild(); item != nullptr; item = item->GetSibling())
    y += item->DrawItem(canvas, client, 0, y);
  canvas.RestoreDC(saved);
  DrawVerticalLine(canvas, 16, client.top, client.Height());
  win::DrawEdge3d(canvas, client, true);
  if (dragging_) canvas.InvertRect({drag_position_ - 2, client.top, drag_position_ + 2, client.bottom});
}

win::CursorShape COptionTreeList::PointerShapeAt(gfx::Point point) {
  if (dragging_) return win::CursorShape::kSizeWE;
  if (tree_ == nullptr) return win::CursorShape::kArrow;
  switch (tree_->HitTest(point)) {
    case HitDivider:
      return win::CursorShape::kSizeWE;
    case HitExpandBox:
      return win::CursorShape::kHand;
    default:
      return win::CursorShape::kArrow;
  }
}

bool COptionTreeList::ToggleExpand(COptionTreeItem* item, bool expand) {
  if (tree_->SendNotify(NotifyExpanding, item) != 0) return false;
  item->Expand(expand);
  UpdateScrollBars();
  Invalidate();
  ValidateFocusedItem();
  return true;
}

void COptionTreeList::OpenFocusedEditor() {
  COptionTreeItem* focused = tree_->GetFocusedItem();
  if (focused != nullptr && !focused->IsCategory() && !focused->IsReadOnly()) focused->Activate();
}

void COptionTreeList::OnLButtonDown(unsigned flags, gfx::Point point) {
  if (!InputAllowed()) return;
  SetFocus();
  const int code = tree_->HitTest(point);
  if (code == HitDivider) {
    if (tree_->SendNotify(NotifyDividerDrag, nullptr) != 0) return;
    dragging_ = true;
    SetCapture();
    drag_position_ = tree_->GetColumn();
  } else if (code == HitExpandBox) {
    COptionTreeItem* item = tree_->FindShownItemAt(point);
    if (item != nullptr && item->GetChild() != nullptr) ToggleExpand(item, !item->IsExpanded());
    return;
  } else if (COptionTreeItem* item = tree_->FindShownItemAt(point)) {
    COptionTreeItem* before = tree_->GetFocusedItem();
    tree_->SelectItems(nullptr, false);
    item->Select(true);
    if (item != before) tree_->SendNotify(NotifySelectionChanged, item);
    if (code == HitValue && !item->IsCategory() && tree_->SendNotify(NotifyActivating, item) == 0 &&
        !item->IsReadOnly()) {
      item->Activate();
    }
    tree_->SetFocusedItem(item);
  } else {
    tree_->SelectItems(nullptr, false);
    tree_->SetFocusedItem(nullptr);
    tree_->SendNotify(NotifySelectionChanged, nullptr);
  }
  Invalidate();
}

void COptionTreeList::OnLButtonUp(unsigned flags, gfx::Point point) {
  if (!InputAllowed() || !dragging_) return;
  dragging_ = false;
  win::Windows().ReleaseCapture();
  const int x = std::max(std::min(point.x, GetClientRect().right - kValueReserve), kMinDivider);
  tree_->SetColumn(x);
  tree_->MoveEditors();
  Invalidate();
}

void COptionTreeList::OnMouseMove(unsigned flags, gfx::Point point) {
  if (tree_ == nullptr || !dragging_) return;
  drag_position_ = point.x;
  Invalidate();
}

void COptionTreeList::OnLButtonDblClk(unsigned flags, gfx::Point point) {
  if (!InputAllowed()) return;
  COptionTreeItem* item = tree_->FindShownItemAt(point);
  const int code = tree_->HitTest(point);
  if (item != nullptr && item->GetChild() != nullptr && code != HitDivider) {
    if (code == HitValue && !item->IsCategory()) return;
    if (code != HitExpandBox) {
      COptionTreeItem* before = tree_->GetFocusedItem();
      tree_->SelectItems(nullptr, false);
      tree_->SetFocusedItem(item);
      item->Select(true);
      if (item != before) tree_->SendNotify(NotifySelectionChanged, item);
    }
    ToggleExpand(item, !item->IsExpanded());
    return;
  }
  if (code != HitDivider) return;
  const int x = std::min(tree_->GetWidestLabelRect().right + 5, GetClientRect().right - kValueReserve);
  tree_->SetColumn(x);
  tree_->MoveEditors();
  Invalidate();
}

void COptionTreeList::OnMouseWheel(unsigned flags, int delta, gfx::Point screen_point) {
  if (tree_ == nullptr) return;
  int min = 0;
  int max = 0;
  GetScrollRange(win::kSbVert, &min, &max);
  if (max - min < GetClientRect().Height()) return;
  // One line per message, however far the wheel turned.
  if (delta > 0)
    OnVScroll(win::kSbLineUp, 0);
  else if (delta < 0)
    OnVScroll(win::kSbLineDown, 0);
}

void COptionTreeList::OnVScroll(int code, int position) {
  if (tree_ == nullptr) return;
  SetFocus();
  const int page = GetClientRect().Height() + 1;
  int min = 0;
  int max = 0;
  GetScrollRange(win::kSbVert, &min, &max);
  int offset = tree_->GetOrigin().y;
  switch (code) {
    case win::kSbLineUp:
      offset -= kLineHeight;
      break;
    case win::kSbLineDown:
      offset += kLineHeight;
      break;
    case win::kSbPageUp:
      offset -= page;
      break;
    case win::kSbPageDown:
      offset += page;
      break;
    case win::kSbThumbTrack:
      offset = position;
      break;
    default:
      break;
  }
  offset = std::min(std::max(offset, min), max - page);
  // Rows that all fit would otherwise scroll to a negative offset, below the top.
  offset = std::max(offset, min);
  tree_->SetScrollOffset(offset);
  SetScrollPos(win::kSbVert, offset);
  tree_->MoveEditors();
  Invalidate();
}

win::LResult COptionTreeList::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == win::kWmVScroll) {
    OnVScroll(static_cast<int>(wparam & 0xFFFF), static_cast<int>((wparam >> 16) & 0xFFFF));
    return 0;
  }
  return win::Window::WindowProc(message, wparam, lparam);
}

void COptionTreeList::OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) {
  if (!InputAllowed()) return;
  COptionTreeItem* focused = tree_->GetFocusedItem();
  const auto move_rows = [this](bool down, int rows) {
    bool first_found = false;
    for (int i = 0; i < rows; ++i) {
      COptionTreeItem* moved = down ? tree_->FocusNext() : tree_->FocusPrevious();
      if (i == 0) first_found = moved != nullptr;
    }
    if (first_found) Invalidate();
  };
  switch (virtual_key) {
    case win::kVkTab:
      if (focused != nullptr && !focused->IsCategory()) {
        if (win::Windows().IsKeyDown(win::kVkShift))
          tree_->FocusPrevious();
        else
          tree_->FocusNext();
      }
      OpenFocusedEditor();
      Invalidate();
      break;
    case win::kVkReturn:
      OpenFocusedEditor();
      break;
    case win::kVkPrior:
      move_rows(false, kPageRows);
      break;
    case win::kVkNext:
      move_rows(true, kPageRows);
      break;
    case win::kVkHome:
      if (tree_->FocusFirst() != nullptr) Invalidate();
      break;
    case win::kVkEnd:
      if (tree_->FocusLast() != nullptr) Invalidate();
      break;
    case win::kVkUp:
      move_rows(false, 1);
      break;
    case win::kVkDown:
      move_rows(true, 1);
      break;
    case win::kVkLeft:
      if (focused == nullptr) break;
      if (focused->GetChild() != nullptr && focused->IsExpanded() && ToggleExpand(focused, false)) break;
      move_rows(false, 1);
      break;
    case win::kVkRight:
      if (focused == nullptr) break;
      if (focused->GetChild() != nullptr && !focused->IsExpanded() && ToggleExpand(focused, true)) break;
      move_rows(true, kPageRows);
      break;
    default:
      break;
  }
}

void COptionTreeList::OnSetFocus(win::Window* old_focus) {
  win::Window::OnSetFocus(old_focus);
  Invalidate();
}

}  // namespace dialogs
