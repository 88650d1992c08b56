#include "dialogs/optiontree/option_tree_static.h"

#include "dialogs/optiontree/option_tree.h"
#include "gfx/canvas.h"
#include "win/system_metrics.h"

namespace dialogs {

bool COptionTreeStaticItem::SetOptions(uint32_t options) {
  if (GetOptionTree() == nullptr) return false;
  options_ = options;
  return true;
}

void COptionTreeStaticItem::SetOption(uint32_t bits, int flag) {
  if (flag == 1)
    options_ |= bits;
  else
    options_ &= ~bits;
}

void COptionTreeStaticItem::DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) {
  COptionTree* tree = GetOptionTree();
  if (tree == nullptr || text_.empty()) return;
  const int saved = canvas.SaveDC();
  canvas.SelectFont(COptionTree::GetNormalFont());
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  canvas.SetBkColor(GetValueBackColor());
  canvas.SetTextColor(IsReadOnly() || !tree->IsWindowEnabled() ? win::GetSysColor(win::SysColor::kGrayText)
                                                               : GetValueTextColor());
  gfx::Rect text = value_rect;
  canvas.DrawText(text_, text, gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix);
  canvas.RestoreDC(saved);
}

}  // namespace dialogs
