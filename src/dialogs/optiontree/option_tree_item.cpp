#include "dialogs/optiontree/option_tree_item.h"

#include "dialogs/optiontree/option_tree.h"
#include "gfx/canvas.h"
#include "win/system_metrics.h"

namespace dialogs {

namespace {

using win::GetSysColor;
using win::SysColor;

// Start of the code point before end (UTF-8), so that a cut never splits a character.
size_t PreviousCharStart(std::string_view text, size_t end) {
  size_t i = end - 1;
  while (i > 0 && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) --i;
  return i;
}

}  // namespace

COptionTreeItem::COptionTreeItem()
    : value_back_(GetSysColor(SysColor::kWindow)),
      value_text_(GetSysColor(SysColor::kBtnText)),
      category_back_(GetSysColor(SysColor::kBtnFace)),
      label_text_color_(GetSysColor(SysColor::kBtnText)),
      label_back_(GetSysColor(SysColor::kWindow)) {}

int COptionTreeItem::GetTotalHeight() const {
  int total = height_;
  if (expanded_) {
    for (const COptionTreeItem* c = child_; c != nullptr; c = c->sibling_) total += c->GetTotalHeight();
  }
  return total;
}

void COptionTreeItem::Select(bool select) {
  selected_ = select;
  if (select)
    OnSelect();
  else
    OnDeselect();
}

void COptionTreeItem::Expand(bool expand) {
  if (tree_ == nullptr) return;
  expanded_ = expand;
  tree_->EnumItems(
      this,
      [expand](COptionTree&, COptionTreeItem& item, intptr_t) {
        item.OnExpand(expand);
        return 1;
      },
      0);
}

void COptionTreeItem::Activate() {
  activated_ = true;
  committed_ = false;
  OnActivate();
}

void COptionTreeItem::CommitChanges() {
  activated_ = false;
  if (committed_) return;
  committed_ = true;
  if (tree_ == nullptr) return;
  OnCommit();
  tree_->SendNotify(NotifyItemChanged, this);
  tree_->RefreshItems(this);
}

bool COptionTreeItem::IsCategory() const { return tree_ != nullptr && parent_ == tree_->GetRootItem(); }

bool COptionTreeItem::IsBlankText(std::string_view text) {
  for (const char c : text) {
    if (c != ' ') return false;
  }
  return true;
}

void COptionTreeItem::DrawExpandBox(gfx::Canvas& canvas, int left, int top, bool expanded, bool filled) {
  const gfx::Pen old_pen =
      canvas.SelectPen(gfx::Pen{gfx::PenStyle::kSolid, 1, GetSysColor(SysColor::kBtnShadow)});
  const gfx::Brush old_brush =
      canvas.SelectBrush(filled ? gfx::Brush{gfx::BrushStyle::kSolid, GetSysColor(SysColor::kWindow)}
                                : gfx::Brush{gfx::BrushStyle::kNull, 0});
  canvas.Rectangle(left, top, left + 9, top + 9);
  canvas.SelectPen(gfx::Pen{gfx::PenStyle::kSolid, 1, gfx::Rgb(0, 0, 0)});
  canvas.MoveTo(left + 2, top + 4);
  canvas.LineTo(left + 7, top + 4);
  if (!expanded) {
    canvas.MoveTo(left + 4, top + 2);
    canvas.LineTo(left + 4, top + 7);
  }
  canvas.SelectBrush(old_brush);
  canvas.SelectPen(old_pen);
}

int COptionTreeItem::DrawItem(gfx::Canvas& canvas, const gfx::Rect& client, int x, int y) {
  if (tree_ == nullptr) return 0;
  const int d = tree_->GetColumn();
  const int v = y - tree_->GetOrigin().y;
  const int h = height_;
  const bool category = IsCategory();
  const bool enabled = tree_->IsWindowEnabled();

  tree_->AddShownItem(this);
  position_ = {x, y};
  value_rect_ = {d + 5, v, client.right, v + h - 1};
  const gfx::Rect label_rect{x + 16, v, category ? client.right : d, v + h};

  if (category) {
    const gfx::Color fill =
        (tree_->AreCategoriesShaded() || !enabled) ? category_back_ : GetSysColor(SysColor::kWindow);
    canvas.FillSolidRect({client.left + 16, v, client.left + 16 + client.Width() + 1, v + h}, fill);
  } else {
    canvas.FillSolidRect({d, v, client.right - 2, v + h - 1}, value_back_);
  }

  if (child_ != nullptr) {
    expand_box_ = {4, y + 5, 12, y + 13};
    DrawExpandBox(canvas, 4, v + 5, expanded_, !category);
  } else {
    expand_box_ = {};
  }

  const int saved = canvas.SaveDC();
  if (!category) {
    canvas.IntersectClipRect(label_rect);
    canvas.FillSolidRect(label_rect, label_back_);
  }
  if (!IsBlankText(label_text_)) {
    canvas.SelectFont(category ? COptionTree::GetBoldFont() : COptionTree::GetNormalFont());
    gfx::Color text_color = label_text_color_;
    canvas.SetBkMode(gfx::BkMode::kTransparent);
    if (selected_) {
      canvas.FillSolidRect({16, v, label_rect.right + 5, v + h}, GetSysColor(SysColor::kHighlight));
      text_color = GetSysColor(SysColor::kBtnHighlight);
    }
    if (!enabled) text_color = GetSysColor(SysColor::kGrayText);
    canvas.SetTextColor(text_color);
    gfx::Rect text_rect = label_rect;
    text_rect.left += 5;
    const std::string shown = ShortenText(canvas, label_text_, text_rect.Width(), 1);
    uint32_t format = gfx::kDtSingleLine | gfx::kDtNoPrefix;
    if (label_at_top_)
      text_rect.top += 5;
    else
      format |= gfx::kDtVCenter;
    gfx::Rect measured = text_rect;
    canvas.DrawText(shown, text_rect, format);
    canvas.DrawText(shown, measured, format | gfx::kDtCalcRect);
    label_rect_ = measured;
  }
  canvas.RestoreDC(saved);

  DrawHorizontalLine(canvas, 16, v + h - 1, client.right);
  if (category) DrawHorizontalLine(canvas, 16, v - 1, client.right);
  DrawVerticalLine(canvas, 16, client.top, client.bottom);
  if (!category) DrawVerticalLine(canvas, d, v, h);

  if (!category) {
    const int value_saved = canvas.SaveDC();
    canvas.IntersectClipRect(value_rect_);
    DrawValue(canvas, value_rect_);
    canvas.RestoreDC(value_saved);
  }

  int used = h;
  if (child_ != nullptr && expanded_) {
    const int child_x = category ? x : x + 16;
    for (COptionTreeItem* c = child_; c != nullptr; c = c->sibling_)
      used += c->DrawItem(canvas, client, child_x, y + used);
  }
  return used;
}

std::string ShortenText(const gfx::Canvas& canvas, std::string_view text, int width, int margin) {
  if (text.empty() || canvas.GetTextExtent(text).cx + margin <= width) return std::string(text);
  const int dots = canvas.GetTextExtent("...").cx;
  // Cut character by character from the end; one character always stays.
  size_t keep = PreviousCharStart(text, text.size());
  while (keep > 0 && canvas.GetTextExtent(text.substr(0, keep)).cx + dots + margin > width) {
    const size_t shorter = PreviousCharStart(text, keep);
    if (shorter == 0) break;
    keep = shorter;
  }
  if (keep == 0) keep = text.size();
  return std::string(text.substr(0, keep)) + "...";
}

void DrawHorizontalLine(gfx::Canvas& canvas, int x, int y, int length) {
  canvas.FillSolidRect({x, y, x + length, y + 1}, GetSysColor(SysColor::kBtnShadow));
}

void DrawVerticalLine(gfx::Canvas& canvas, int x, int y, int length) {
  canvas.FillSolidRect({x, y, x + 1, y + length}, GetSysColor(SysColor::kBtnShadow));
}

}  // namespace dialogs
