#include "dialogs/optiontree/option_tree.h"

#include <algorithm>

#include "gfx/canvas.h"

namespace dialogs {

namespace {

// The label fonts are shared by every control; the first one made sets them.
struct SharedFonts {
  gfx::Font normal;
  gfx::Font bold;
  int instances = 0;
  std::function<bool(std::string_view)> family_query;
};

SharedFonts& Fonts() {
  static SharedFonts fonts;
  return fonts;
}

void CreateSharedFonts() {
  SharedFonts& fonts = Fonts();
  gfx::Font font;
  font.height = -11;  // the menu font: 8 points at 96 dpi
  const bool has_tahoma = fonts.family_query && fonts.family_query("Tahoma");
  font.face = has_tahoma ? "Tahoma" : "MS Sans Serif";
  fonts.normal = font;
  font.weight = gfx::kFwBold;
  fonts.bold = font;
}

bool IsTreeNotification(int code) {
  switch (code) {
    case NotifyItemInserted:
    case NotifyItemDeleting:
    case NotifyItemChanged:
    case NotifySelectionChanged:
    case NotifyExpanding:
    case NotifyDividerDrag:
    case NotifyActivating:
      return true;
    default:
      return false;
  }
}

}  // namespace

COptionTree::COptionTree() {
  root_.SetOptionTree(this);
  if (Fonts().instances++ == 0) CreateSharedFonts();
}

COptionTree::~COptionTree() {
  // The notify window may already be half gone while its dialog is torn down.
  notify_window_ = nullptr;
  DeleteAllItems();
  --Fonts().instances;
}

const gfx::Font& COptionTree::GetNormalFont() { return Fonts().normal; }
const gfx::Font& COptionTree::GetBoldFont() { return Fonts().bold; }

void COptionTree::SetFontFamilyQuery(std::function<bool(std::string_view)> query) {
  Fonts().family_query = std::move(query);
  CreateSharedFonts();
}

bool COptionTree::Create(uint32_t style, const gfx::Rect& rect, win::Window* parent, uint32_t options,
                         int id) {
  options_ = options;
  return win::Window::Create(parent, rect, style | win::kWsClipChildren | win::kWsClipSiblings, id);
}

int COptionTree::OnCreate() {
  const gfx::Rect client = GetClientRect();
  info_.SetOptionTree(this);
  if (!info_.Create(this, client, win::kWsChild | win::kWsVisible, kOptionTreeInfoId)) return -1;
  list_.SetOptionTree(this);
  if (!list_.Create(this, client, win::kWsChild | win::kWsVisible | win::kWsVScroll, kOptionTreeListId))
    return -1;
  info_.ShowWindow(IsInfoPaneShown() ? win::kSwShow : win::kSwHide);
  LayoutChildren(client.Width(), client.Height());
  Invalidate();
  return 0;
}

void COptionTree::OnSize(int type, int cx, int cy) { LayoutChildren(cx, cy); }

void COptionTree::OnEnable(bool enable) { Invalidate(); }

void COptionTree::OnSetFocus(win::Window* old_focus) {
  win::Window::OnSetFocus(old_focus);
  Invalidate();
}

void COptionTree::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  // Draws nothing itself: its two children paint everything.
  if (list_.IsWindow()) list_.Invalidate(false);
  if (info_.IsWindow()) info_.Invalidate(false);
}

void COptionTree::LayoutChildren(int width, int height) {
  if (width <= 0 || height <= 0) return;
  int list_height = height;
  if (IsInfoPaneShown()) {
    list_height -= kOptionTreeInfoHeight;
    if (info_.IsWindow()) info_.MoveWindow({0, height - kOptionTreeInfoHeight, width, height});
  }
  if (list_.IsWindow()) list_.MoveWindow({0, 0, width, list_height});
  Invalidate();
}

void COptionTree::SetOptionBit(uint32_t bit, int flag) {
  if (flag == 1)
    options_ |= bit;
  else
    options_ &= ~bit;
  if (!IsWindow()) return;
  const gfx::Rect client = GetClientRect();
  LayoutChildren(client.Width(), client.Height());
  Invalidate();
}

void COptionTree::ShowInfoPane(int flag) {
  if (info_.IsWindow()) info_.ShowWindow(flag == 1 ? win::kSwShow : win::kSwHide);
  SetOptionBit(OptionShowInfoPane, flag);
}

void COptionTree::SetNotifyWindow(int flag, win::Window* window) {
  notify_window_ = window;
  SetOptionBit(OptionNotify, flag);
}

void COptionTree::SetDefaultInfoText(int flag) { SetOptionBit(OptionDefaultInfoText, flag); }
void COptionTree::SetShadeExpandColumn(int flag) { SetOptionBit(OptionShadeExpandColumn, flag); }
void COptionTree::SetShadeCategories(int flag) { SetOptionBit(OptionShadeCategories, flag); }

COptionTreeItem* COptionTree::InsertItem(COptionTreeItem* item, COptionTreeItem* parent) {
  if (item == nullptr) return nullptr;
  if (parent == nullptr) parent = &root_;
  if (parent->GetChild() == nullptr) {
    parent->SetChild(item);
  } else {
    COptionTreeItem* last = parent->GetChild();
    while (last->GetSibling() != nullptr) last = last->GetSibling();
    last->SetSibling(item);
  }
  item->SetItemID(++item_counter_);
  item->SetParentItem(parent);
  item->SetOptionTree(this);
  SendNotify(NotifyItemInserted, item);
  UpdateList();
  return item;
}

void COptionTree::DeleteItem(COptionTreeItem* item) {
  RemoveItem(item);
  UpdateList();
}

void COptionTree::RemoveItem(COptionTreeItem* item) {
  ClearShownItems();
  SendNotify(NotifyItemDeleting, item);
  COptionTreeItem* target = item != nullptr ? item : &root_;
  // Each deletion unlinks the child, so the first child is always the next one.
  while (COptionTreeItem* child = target->GetChild()) DeleteItem(child);
  if (COptionTreeItem* parent = target->GetParentItem()) {
    if (parent->GetChild() == target) {
      parent->SetChild(target->GetSibling());
    } else {
      COptionTreeItem* previous = parent->GetChild();
      while (previous != nullptr && previous->GetSibling() != target) previous = previous->GetSibling();
      if (previous != nullptr) previous->SetSibling(target->GetSibling());
    }
  }
  if (target == &root_) return;
  if (focused_ == target) SetFocusedItem(nullptr);
  target->OnDeleteItem();
  delete target;
}

void COptionTree::ExpandAll() {
  EnumItems(
      &root_,
      [](COptionTree&, COptionTreeItem& item, intptr_t) {
        item.Expand(true);
        return 1;
      },
      0);
  UpdateList();
}

COptionTreeItem* COptionTree::FindItem(int id) {
  COptionTreeItem* found = nullptr;
  EnumItems(
      &root_,
      [id, &found](COptionTree&, COptionTreeItem& item, intptr_t) {
        if (item.GetItemID() != id) return 1;
        found = &item;
        return 0;
      },
      0);
  return found;
}

int COptionTree::EnumItems(COptionTreeItem* start, const EnumCallback& callback, intptr_t user) {
  if (start == nullptr || !callback) return 0;
  if (start != &root_ && callback(*this, *start, user) == 0) return 0;
  int answer = 1;
  for (COptionTreeItem* child = start->GetChild(); child != nullptr; child = child->GetSibling()) {
    if (EnumItems(child, callback, user) == 0) answer = 0;
  }
  return answer;
}

void COptionTree::SelectItems(COptionTreeItem* start, bool select) {
  EnumItems(
      start != nullptr ? start : &root_,
      [select](COptionTree&, COptionTreeItem& item, intptr_t) {
        item.Select(select);
        return 1;
      },
      0);
}

void COptionTree::MoveEditors() {
  EnumItems(
      &root_,
      [](COptionTree&, COptionTreeItem& item, intptr_t) {
        item.OnMove();
        return 1;
      },
      0);
}

void COptionTree::RefreshItems(COptionTreeItem* item) {
  EnumItems(
      item != nullptr ? item : &root_,
      [](COptionTree&, COptionTreeItem& i, intptr_t) {
        i.OnRefresh();
        return 1;
      },
      0);
  UpdateList();
}

void COptionTree::UpdateList() {
  if (!IsWindow()) return;
  list_.UpdateScrollBars();
  Invalidate();
}

void COptionTree::SetFocusedItem(COptionTreeItem* item) {
  focused_ = item;
  EnsureVisible(item);
  if (IsWindow()) Invalidate();
}

COptionTreeItem* COptionTree::FinishFocusMove(COptionTreeItem* before) {
  if (focused_ != nullptr) {
    SelectItems(nullptr, false);
    focused_->Select(true);
  }
  if (focused_ != before) SendNotify(NotifySelectionChanged, focused_);
  return focused_;
}

COptionTreeItem* COptionTree::FocusFirst() {
  COptionTreeItem* before = focused_;
  if (first_shown_ == nullptr) return nullptr;
  SetFocusedItem(first_shown_);
  return FinishFocusMove(before);
}

COptionTreeItem* COptionTree::FocusLast() {
  if (first_shown_ == nullptr) return nullptr;
  COptionTreeItem* before = focused_;
  COptionTreeItem* last = first_shown_;
  while (last->GetNextShown() != nullptr) last = last->GetNextShown();
  SetFocusedItem(last);
  return FinishFocusMove(before);
}

COptionTreeItem* COptionTree::FocusPrevious() {
  if (focused_ == nullptr) return FocusLast();
  COptionTreeItem* previous = first_shown_;
  while (previous != nullptr && previous->GetNextShown() != focused_) previous = previous->GetNextShown();
  if (previous == nullptr) return nullptr;
  COptionTreeItem* before = focused_;
  SetFocusedItem(previous);
  return FinishFocusMove(before);
}

COptionTreeItem* COptionTree::FocusNext() {
  if (focused_ == nullptr) return FocusFirst();
  if (!IsItemShown(focused_) || focused_->GetNextShown() == nullptr) return nullptr;
  COptionTreeItem* before = focused_;
  SetFocusedItem(focused_->GetNextShown());
  return FinishFocusMove(before);
}

void COptionTree::EnsureVisible(COptionTreeItem* item) {
  if (item == nullptr) return;
  if (!IsItemShown(item)) {
    for (COptionTreeItem* p = item->GetParentItem(); p != nullptr; p = p->GetParentItem()) p->Expand(true);
    UpdateList();
    if (!IsItemShown(item)) return;
  }
  if (!list_.IsWindow()) return;
  const gfx::Rect client = list_.GetClientRect();
  const int s = origin_.y;
  const int h = item->GetHeight();
  const gfx::Rect visible{client.left, client.top + s, client.right, client.bottom + s - h};
  const gfx::Point at = item->GetPosition();
  if (visible.Contains(at)) return;
  const int target = at.y < visible.top ? at.y : at.y + 2 * h - client.Height();
  list_.OnVScroll(win::kSbThumbTrack, target);
}

void COptionTree::SetColumn(int x) {
  const gfx::Rect client = GetClientRect();
  const int wanted = std::max(x, 16);
  origin_.x = client.IsEmpty() ? wanted : std::min(wanted, client.Width() - 16);
  if (IsWindow()) Invalidate();
}

COptionTreeItem* COptionTree::FindShownItemAt(gfx::Point list_point) {
  const int y = list_point.y + origin_.y;
  for (COptionTreeItem* item = first_shown_; item != nullptr; item = item->GetNextShown()) {
    const int top = item->GetPosition().y;
    if (y >= top && y < top + item->GetHeight()) return item;
  }
  return nullptr;
}

int COptionTree::HitTest(gfx::Point p) {
  COptionTreeItem* item = FindShownItemAt(p);
  if (item == nullptr) return HitNowhere;
  const int d = origin_.x;
  if (!item->IsCategory() && p.x >= d - 5 && p.x <= d + 5) return HitDivider;
  if (p.x > d + 5) return HitValue;
  return item->IsInExpandBox({p.x, p.y + origin_.y}) ? HitExpandBox : HitLabel;
}

void COptionTree::AddShownItem(COptionTreeItem* item) {
  item->SetNextShown(nullptr);
  if (first_shown_ == nullptr) {
    first_shown_ = item;
  } else {
    COptionTreeItem* last = first_shown_;
    while (last->GetNextShown() != nullptr) last = last->GetNextShown();
    last->SetNextShown(item);
  }
}

void COptionTree::ClearShownItems() { first_shown_ = nullptr; }

bool COptionTree::IsItemShown(const COptionTreeItem* item) const {
  for (const COptionTreeItem* i = first_shown_; i != nullptr; i = i->GetNextShown()) {
    if (i == item) return true;
  }
  return false;
}

void COptionTree::ClearLabelRects() {
  EnumItems(
      &root_,
      [](COptionTree&, COptionTreeItem& item, intptr_t) {
        item.SetLabelRect({});
        return 1;
      },
      0);
}

gfx::Rect COptionTree::GetWidestLabelRect() {
  gfx::Rect widest;
  EnumItems(
      &root_,
      [&widest](COptionTree&, COptionTreeItem& item, intptr_t) {
        const COptionTreeItem* parent = item.GetParentItem();
        if (!item.IsCategory() && parent != nullptr && parent->IsExpanded() &&
            item.GetLabelRect().right > widest.right) {
          widest = item.GetLabelRect();
        }
        return 1;
      },
      0);
  return widest;
}

int COptionTree::SendNotify(int code, COptionTreeItem* item) {
  if (!IsWindow() || !IsNotifyOn() || notify_window_ == nullptr || !notify_window_->IsWindow() ||
      !IsTreeNotification(code)) {
    return 0;
  }
  COptionTreeNotify record;
  record.header = {Handle(), GetDlgCtrlID(), code};
  record.item = item;
  return static_cast<int>(notify_window_->SendMessage(
      win::kWmNotify, static_cast<win::WParam>(GetDlgCtrlID()), reinterpret_cast<win::LParam>(&record)));
}

void COptionTree::DisableInput(bool disable) {
  input_disabled_ = disable;
  if (win::Window* parent = GetParent()) parent->EnableWindow(!disable);
}

}  // namespace dialogs
