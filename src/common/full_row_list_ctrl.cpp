#include "common/full_row_list_ctrl.h"

#include <algorithm>

#include "gfx/canvas.h"
#include "win/system_metrics.h"

namespace {

// Two blank widths in the canvas's font.
int Margin(gfx::Canvas& canvas) { return 2 * canvas.GetTextExtent(" ").cx; }

}  // namespace

int CFullRowListCtrl::SetHighlightMode(int mode) {
  const int previous = highlight_mode_;
  if (mode <= 3) {
    highlight_mode_ = mode;
    Invalidate(true);
  }
  return previous;
}

void CFullRowListCtrl::SetRedraw(bool redraw) {
  if (!redraw) {
    if (redraw_lock_++ == 0) SendMessage(win::kWmSetRedraw, 0);
    return;
  }
  if (redraw_lock_ == 0) return;
  if (--redraw_lock_ == 0) {
    SendMessage(win::kWmSetRedraw, 1);
    Invalidate(true);
  }
}

bool CFullRowListCtrl::ShowsAsSelected(int item) const {
  const unsigned state = GetItemState(item, win::kLvisSelected | win::kLvisDropHilited);
  return (state & win::kLvisDropHilited) != 0 ||
         ((state & win::kLvisSelected) != 0 && (HasFocus() || ShowsSelectionAlways()));
}

gfx::Rect CFullRowListCtrl::HighlightRect(gfx::Canvas& canvas, int item) const {
  const gfx::Rect label = ItemLabelRect(item);
  const gfx::Rect bounds = ItemBounds(item);
  const gfx::Rect client = GetClientRect();
  switch (highlight_mode_) {
    case 0: {
      const int width = canvas.GetTextExtent(GetItemText(item, 0)).cx + Margin(canvas);
      return {label.left, label.top, std::min(label.left + width, label.right), label.bottom};
    }
    case 1:
      return {label.left, bounds.top, bounds.right, bounds.bottom};
    case 2:
      return {label.left, bounds.top, client.right, bounds.bottom};
    case 3: {
      const win::ListView::Column* first = GetColumn(0);
      const int first_right = bounds.left + (first != nullptr ? first->width : bounds.Width());
      return {first_right, bounds.top, client.right, bounds.bottom};
    }
    default:
      return label;
  }
}

void CFullRowListCtrl::DrawItem(gfx::Canvas& canvas, int item) {
  if (item < 0 || item >= GetItemCount()) return;
  const int saved = canvas.SaveDC();
  canvas.SelectFont(GetFont());
  const int margin = Margin(canvas);
  const bool selected = ShowsAsSelected(item);
  const unsigned state = GetItemState(item, ~0u);
  const gfx::Rect area = HighlightRect(canvas, item);
  const gfx::Rect bounds = ItemBounds(item);
  const gfx::Rect label = ItemLabelRect(item);
  const gfx::Color window = win::GetSysColor(win::SysColor::kWindow);
  const gfx::Color window_text = win::GetSysColor(win::SysColor::kWindowText);
  if (selected) {
    canvas.SetTextColor(win::GetSysColor(win::SysColor::kHighlightText));
    canvas.SetBkColor(win::GetSysColor(win::SysColor::kHighlight));
    canvas.FillSolidRect(area, win::GetSysColor(win::SysColor::kHighlight));
  } else {
    canvas.SetTextColor(window_text);
    canvas.SetBkColor(window);
    canvas.FillSolidRect(area, window);
  }

  // The first column: state image, icon and label.
  const win::ListView::Column* first = GetColumn(0);
  const gfx::Rect first_column{bounds.left, bounds.top, bounds.left + (first != nullptr ? first->width : bounds.Width()),
                               bounds.bottom};
  canvas.SaveDC();
  canvas.IntersectClipRect(first_column);
  const unsigned state_image = (state & win::kLvisStateImageMask) >> 12;
  if (state_image != 0) {
    if (const win::ImageList* list = GetImageList(win::kLvsilState)) {
      list->Draw(canvas, static_cast<int>(state_image) - 1, {first_column.left, first_column.top});
    }
  }
  if (const win::ImageList* list = GetImageList(win::kLvsilSmall)) {
    const gfx::Rect icon = ItemIconRect(item);
    list->Draw(canvas, GetItemImage(item), {icon.left, icon.top}, selected && highlight_mode_ != 3,
               win::GetSysColor(win::SysColor::kHighlight));
  }
  gfx::Rect text{label.left + margin / 2, label.top, label.right - margin, label.bottom};
  canvas.DrawText(GetItemText(item, 0), text,
                  gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix | gfx::kDtNoClip | gfx::kDtEndEllipsis);
  canvas.RestoreDC(-1);

  if (highlight_mode_ == 0) {
    canvas.SetTextColor(window_text);
    canvas.SetBkColor(window);
  }
  // The other columns, clipped to the row widened to the highlighted area.
  canvas.SaveDC();
  canvas.IntersectClipRect({std::min(bounds.left, area.left), bounds.top, std::max(bounds.right, area.right),
                            bounds.bottom});
  int left = first_column.right;
  for (int column = 1; column < GetColumnCount(); ++column) {
    const win::ListView::Column& c = *GetColumn(column);
    const gfx::Rect cell{left, bounds.top, left + c.width, bounds.bottom};
    left = cell.right;
    if (highlight_mode_ == 0) canvas.FillSolidRect(cell, window);
    const std::string sub = GetItemText(item, column);
    if (sub.empty()) continue;
    uint32_t format = gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix | gfx::kDtEndEllipsis;
    if (c.format == win::kLvcfmtRight) format |= gfx::kDtRight;
    if (c.format == win::kLvcfmtCenter) format |= gfx::kDtCenter;
    gfx::Rect sub_rect{cell.left + margin, cell.top, cell.right - margin, cell.bottom};
    canvas.DrawText(sub, sub_rect, format);
  }
  canvas.RestoreDC(-1);

  if ((state & win::kLvisFocused) != 0 && HasFocus()) canvas.DrawFocusRect(area);
  canvas.RestoreDC(saved);
}

void CFullRowListCtrl::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  // The whole client area is painted, so a full-row highlight always reaches the right edge.
  const gfx::Rect client = GetClientRect();
  canvas.FillSolidRect(client, win::GetSysColor(win::SysColor::kWindow));
  int x = 2;
  for (int column = 0; column < GetColumnCount(); ++column) {
    const win::ListView::Column& c = *GetColumn(column);
    gfx::Rect cell{x, 2, x + c.width, 2 + kRowHeight};
    canvas.FillSolidRect(cell, win::GetSysColor(win::SysColor::kBtnFace));
    canvas.SelectFont(GetFont());
    const gfx::BkMode old = canvas.SetBkMode(gfx::BkMode::kTransparent);
    gfx::Rect text{cell.left + 4, cell.top, cell.right - 4, cell.bottom};
    canvas.DrawText(c.text, text, gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix | gfx::kDtEndEllipsis);
    canvas.SetBkMode(old);
    x = cell.right;
  }
  for (int item = 0; item < GetItemCount(); ++item) {
    if (ItemBounds(item).top >= client.bottom) break;
    DrawItem(canvas, item);
  }
}

void CFullRowListCtrl::OnSetFocus(win::Window* old_focus) {
  win::ListView::OnSetFocus(old_focus);
  // The selection shows only with the focus (unless always): repaint it, unless the focus came
  // from a child of the list (its label editor).
  if (old_focus == nullptr || old_focus->GetParent() != this) Invalidate(false);
}

void CFullRowListCtrl::OnKillFocus(win::Window* new_focus) { Invalidate(false); }
