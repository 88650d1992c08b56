#include "dialogs/optiontree/option_tree_info.h"

#include "dialogs/optiontree/option_tree.h"
#include "gfx/canvas.h"
#include "win/control_drawing.h"
#include "win/system_metrics.h"

namespace dialogs {

void COptionTreeInfo::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  if (tree_ == nullptr) return;
  const gfx::Rect client = GetClientRect();
  canvas.FillSolidRect(client, win::GetSysColor(win::SysColor::kBtnFace));
  win::DrawEdge3d(canvas, client, true);
  const gfx::Rect inner{client.left + 4, client.top + 4, client.right - 4, client.bottom - 4};

  std::string title;
  std::string description;
  if (const COptionTreeItem* focused = tree_->GetFocusedItem()) {
    title = focused->GetLabelText();
    description = focused->GetInfoText();
  } else if (tree_->HasDefaultInfoText()) {
    title = "No Item Selected";
    description = "Select an item to see its description.";
  }

  const int saved = canvas.SaveDC();
  canvas.SetTextColor(
      win::GetSysColor(tree_->IsWindowEnabled() ? win::SysColor::kBtnText : win::SysColor::kGrayText));
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  canvas.SelectFont(COptionTree::GetBoldFont());
  gfx::Rect title_rect = inner;
  canvas.DrawText(title, title_rect, gfx::kDtSingleLine | gfx::kDtNoPrefix | gfx::kDtCalcRect);
  if (!title.empty()) canvas.DrawText(title, title_rect, gfx::kDtSingleLine | gfx::kDtNoPrefix);
  canvas.SelectFont(COptionTree::GetNormalFont());
  gfx::Rect text_rect{inner.left, title_rect.bottom, inner.right, inner.bottom};
  // Cut at the pane's bottom edge rather than spilling over the frame.
  canvas.IntersectClipRect(text_rect);
  if (!description.empty()) canvas.DrawText(description, text_rect, gfx::kDtWordBreak | gfx::kDtNoPrefix);
  canvas.RestoreDC(saved);
}

}  // namespace dialogs
