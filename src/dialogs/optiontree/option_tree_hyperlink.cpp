#include "dialogs/optiontree/option_tree_hyperlink.h"

#include "dialogs/optiontree/option_tree.h"
#include "gfx/canvas.h"
#include "win/prompt.h"
#include "win/system_metrics.h"

namespace dialogs {

namespace {

using win::GetSysColor;
using win::SysColor;

constexpr gfx::Color kLinkBlue = gfx::Rgb(0, 0, 255);

}  // namespace

COptionTreeHyperlinkItem::COptionTreeHyperlinkItem()
    : normal_color_(kLinkBlue), hover_color_(kLinkBlue), visited_color_(kLinkBlue) {}

COptionTreeHyperlinkItem::~COptionTreeHyperlinkItem() { DestroyWindow(); }

bool COptionTreeHyperlinkItem::CreateHyperlinkWindow(uint32_t options, std::string_view text,
                                                     gfx::Color normal, gfx::Color hover,
                                                     gfx::Color visited) {
  COptionTree* tree = GetOptionTree();
  if (tree == nullptr || IsWindow()) return false;
  if (!Create(&tree->GetListWindow(), GetValueRect(),
              win::kWsChild | win::kWsVisible | win::kWsClipSiblings | win::kWsClipChildren, GetItemID())) {
    return false;
  }
  SetFont(COptionTree::GetNormalFont());
  underline_font_ = COptionTree::GetNormalFont();
  underline_font_.underline = true;
  normal_color_ = normal;
  hover_color_ = hover;
  visited_color_ = visited;
  text_ = text;
  if (!link_cursor_) link_cursor_ = win::CursorShape::kHand;
  options_ = options;
  MoveToValueRect();
  ShowWindow(win::kSwHide);
  return true;
}

void COptionTreeHyperlinkItem::SetOption(uint32_t bits, int flag) {
  if (flag == 1)
    options_ |= bits;
  else
    options_ &= ~bits;
}

void COptionTreeHyperlinkItem::SetLinkCursor(std::optional<win::CursorShape> cursor) {
  link_cursor_ = cursor.value_or(win::CursorShape::kHand);
}

void COptionTreeHyperlinkItem::MoveToValueRect() {
  if (IsWindow() && GetWindowRectInParent() != GetValueRect()) MoveWindow(GetValueRect());
}

void COptionTreeHyperlinkItem::OpenText() const { win::CurrentPrompt().OpenExternal(text_); }

void COptionTreeHyperlinkItem::DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) {
  if (GetOptionTree() != nullptr) MoveToValueRect();
}

void COptionTreeHyperlinkItem::OnActivate() {
  if (!IsWindow()) return;
  MoveToValueRect();
  SetFocus();
  if (!IsReadOnly()) OpenText();
}

void COptionTreeHyperlinkItem::OnDeleteItem() {
  if (IsWindow()) DestroyWindow();
}

void COptionTreeHyperlinkItem::OnExpand(bool expand) {
  if (IsWindow()) ShowWindow(expand ? win::kSwShow : win::kSwHide);
}

win::CursorShape COptionTreeHyperlinkItem::PointerShapeAt(gfx::Point point) {
  if (IsReadOnly() || !link_cursor_ || !text_rect_.Contains(point)) return win::CursorShape::kArrow;
  return *link_cursor_;
}

void COptionTreeHyperlinkItem::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  const gfx::Rect client = GetClientRect();
  const int saved = canvas.SaveDC();
  canvas.FillSolidRect(client, GetSysColor(SysColor::kWindow));
  const bool underline =
      HasOption(HyperlinkOptionUnderline) || (HasOption(HyperlinkOptionUnderlineHover) && hover_);
  canvas.SelectFont(underline ? underline_font_ : COptionTree::GetNormalFont());
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  canvas.SetBkColor(GetValueBackColor());
  gfx::Color color = normal_color_;
  if (IsReadOnly())
    color = GetSysColor(SysColor::kGrayText);
  else if (hover_ && HasOption(HyperlinkOptionHoverColor))
    color = hover_color_;
  else if (visited_ && HasOption(HyperlinkOptionVisitedColor))
    color = visited_color_;
  canvas.SetTextColor(color);
  constexpr uint32_t kFormat = gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix;
  gfx::Rect text = client;
  canvas.DrawText(text_, text, kFormat);
  gfx::Rect measured = client;
  canvas.DrawText(text_, measured, kFormat | gfx::kDtCalcRect);
  text_rect_ = measured;
  canvas.RestoreDC(saved);
}

void COptionTreeHyperlinkItem::OnMouseMove(unsigned flags, gfx::Point point) {
  if (IsReadOnly()) return;
  hover_ = false;
  KillTimer(kHyperlinkHoverTimer);
  if (text_rect_.Contains(point)) {
    hover_ = true;
    SetTimer(kHyperlinkHoverTimer, kHyperlinkHoverMs);
  }
  Invalidate();
}

void COptionTreeHyperlinkItem::OnTimer(uintptr_t id) {
  if (id != kHyperlinkHoverTimer || IsReadOnly()) return;
  if (ClientToScreen(text_rect_).Contains(win::Windows().CursorPos())) return;
  KillTimer(kHyperlinkHoverTimer);
  hover_ = false;
  Invalidate();
}

void COptionTreeHyperlinkItem::OnLButtonUp(unsigned flags, gfx::Point point) {
  if (IsReadOnly()) return;
  KillTimer(kHyperlinkHoverTimer);
  if (text_rect_.Contains(point)) {
    visited_ = true;
    OpenText();
    SetTimer(kHyperlinkHoverTimer, kHyperlinkHoverMs);
  }
  Invalidate();
}

void COptionTreeHyperlinkItem::OnSetFocus(win::Window* old_focus) {
  win::Window::OnSetFocus(old_focus);
  in_use_ = true;
}

void COptionTreeHyperlinkItem::OnKillFocus(win::Window* new_focus) {
  COptionTree* tree = GetOptionTree();
  if (tree == nullptr || new_focus == nullptr || !new_focus->IsSelfOrDescendantOf(tree)) return;
  in_use_ = false;
  CommitChanges();
}

}  // namespace dialogs
