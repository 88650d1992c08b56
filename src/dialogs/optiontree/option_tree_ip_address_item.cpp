#include "dialogs/optiontree/option_tree_ip_address_item.h"

#include <algorithm>
#include <string>

#include "dialogs/optiontree/option_tree.h"
#include "dialogs/optiontree/option_tree_edit_number.h"
#include "gfx/canvas.h"
#include "win/system_metrics.h"

namespace dialogs {

namespace {

constexpr int kFieldDigits = 3;
constexpr int kFieldGap = 5;

}  // namespace

void COptionTreeIPAddressEdit::OnKillFocus(win::Window* new_focus) {
  win::Edit::OnKillFocus(new_focus);
  if (owner_ != nullptr && owner_->IsWindow())
    owner_->SendMessage(kIPAddressFieldLeft, new_focus != nullptr ? new_focus->Handle() : 0);
}

void COptionTreeIPAddressEdit::OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) {
  if (virtual_key == win::kVkDelete && owner_ != nullptr && owner_->IsWindow())
    owner_->SendMessage(kIPAddressFieldFull, Handle());
  win::Edit::OnKeyDown(virtual_key, repeat, flags);
}

void COptionTreeIPAddressEdit::OnChar(int character, unsigned repeat, unsigned flags) {
  const auto [start, end] = GetSel();
  const bool full = static_cast<int>(win::Utf8Length(GetWindowText())) - (end - start) >= GetLimitText();
  // A character that no longer fits is the edit's maximum-text notice: the caret moves on.
  if (full && character >= '0' && character <= '9' && owner_ != nullptr && owner_->IsWindow()) {
    owner_->SendMessage(kIPAddressFieldFull, Handle());
    return;
  }
  win::Edit::OnChar(character, repeat, flags);
}

std::array<uint8_t, 4> COptionTreeIPAddressWindow::GetAddress() const {
  std::array<uint8_t, 4> address{};
  for (int i = 0; i < 4; ++i) {
    const std::optional<int64_t> value = ReadIntegerText(fields_[3 - i].GetWindowText(), 0, INT64_MAX, false);
    address[i] = static_cast<uint8_t>(std::min<int64_t>(value.value_or(0), 255));
  }
  return address;
}

void COptionTreeIPAddressWindow::SetAddress(const std::array<uint8_t, 4>& address) {
  for (int i = 0; i < 4; ++i) Field(i).SetWindowText(std::to_string(address[i]));
  Invalidate();
}

bool COptionTreeIPAddressWindow::IsField(const win::Window* window) const {
  return std::any_of(fields_.begin(), fields_.end(), [window](const auto& f) { return &f == window; });
}

void COptionTreeIPAddressWindow::LayoutFields() {
  const int b = FieldWidth();
  const int h = GetClientRect().Height();
  for (int k = 0; k < 4; ++k) {
    if (Field(k).IsWindow())
      Field(k).MoveWindow({kFieldGap + k * (b + kFieldGap), 0, kFieldGap + k * (b + kFieldGap) + b, h});
  }
}

win::LResult COptionTreeIPAddressWindow::WindowProc(uint32_t message, win::WParam wparam,
                                                    win::LParam lparam) {
  if (message == kIPAddressFieldFull) {
    if (item_.GetOptionTree() == nullptr) return 1;
    for (int k = 0; k < 3; ++k) {
      if (Field(k).Handle() == static_cast<win::WindowHandle>(wparam)) {
        Field(k + 1).SetFocus();
        break;
      }
    }
    return 1;
  }
  if (message == kIPAddressFieldLeft) {
    win::Window* gaining = win::Window::FromHandle(static_cast<win::WindowHandle>(wparam));
    if (IsField(gaining)) return 0;
    FocusLeft(gaining);
    return 1;
  }
  return win::Window::WindowProc(message, wparam, lparam);
}

int COptionTreeIPAddressWindow::OnCreate() {
  // Created from the fourth field to the first, so that the window order runs right to left.
  for (int k = 3; k >= 0; --k) {
    COptionTreeIPAddressEdit& field = Field(k);
    if (!field.CreateControl(this, {}, 0, {}, win::kWsChild | win::kWsVisible | win::kEsNumber)) return -1;
    field.SetLimitText(kFieldDigits);
    field.SetOwner(this);
  }
  LayoutFields();
  return 0;
}

void COptionTreeIPAddressWindow::OnDestroy() {
  for (COptionTreeIPAddressEdit& field : fields_) {
    field.SetOwner(nullptr);
    field.DestroyWindow();
  }
}

void COptionTreeIPAddressWindow::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  const gfx::Rect client = GetClientRect();
  canvas.FillSolidRect(client, win::GetSysColor(win::SysColor::kWindow));
  const int saved = canvas.SaveDC();
  canvas.SelectFont(COptionTree::GetBoldFont());
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  canvas.SetTextColor(item_.GetValueTextColor());
  const int b = FieldWidth();
  for (int k = 1; k <= 3; ++k) {
    const int x = k * (b + kFieldGap);
    gfx::Rect gap{x, client.top, x + kFieldGap, client.bottom};
    canvas.DrawText(".", gap,
                    gfx::kDtCenter | gfx::kDtTop | gfx::kDtSingleLine | gfx::kDtNoPrefix | gfx::kDtNoClip);
  }
  canvas.RestoreDC(saved);
}

void COptionTreeIPAddressWindow::OnSetFocus(win::Window* old_focus) {
  win::Window::OnSetFocus(old_focus);
  if (!HasFocus()) return;
  item_.in_use_ = true;
  // As the platform's address control does, the caret goes to the first field.
  if (Field(0).IsWindow()) Field(0).SetFocus();
}

void COptionTreeIPAddressWindow::OnKillFocus(win::Window* new_focus) {
  if (!IsField(new_focus)) FocusLeft(new_focus);
}

void COptionTreeIPAddressWindow::FocusLeft(win::Window* new_focus) {
  COptionTree* tree = item_.GetOptionTree();
  if (tree == nullptr || new_focus == nullptr || !new_focus->IsSelfOrDescendantOf(tree)) return;
  item_.in_use_ = false;
  item_.CommitChanges();
}

COptionTreeIPAddressItem::COptionTreeIPAddressItem() : window_(*this) { SetItemKind(kOptionItemIPAddress); }

COptionTreeIPAddressItem::~COptionTreeIPAddressItem() { window_.DestroyWindow(); }

bool COptionTreeIPAddressItem::CreateIPAddressWindow(uint32_t extra_style) {
  COptionTree* tree = GetOptionTree();
  if (tree == nullptr || window_.IsWindow()) return false;
  if (!window_.Create(&tree->GetListWindow(), GetValueRect(), extra_style | win::kWsChild | win::kWsVisible,
                      GetItemID())) {
    return false;
  }
  window_.SetFont(COptionTree::GetNormalFont(), false);
  for (int k = 0; k < 4; ++k) window_.Field(k).SetFont(COptionTree::GetNormalFont(), false);
  PlaceWindow();
  window_.ShowWindow(win::kSwHide);
  return true;
}

void COptionTreeIPAddressItem::PlaceWindow() {
  window_.MoveWindow(GetValueRect(), false);
  window_.LayoutFields();
}

void COptionTreeIPAddressItem::DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) {
  COptionTree* tree = GetOptionTree();
  if (in_use_ || tree == nullptr || !window_.IsWindow()) return;
  window_.ShowWindow(win::kSwHide);
  window_.MoveWindow(value_rect, false);
  window_.LayoutFields();
  const std::array<uint8_t, 4> a = window_.GetAddress();
  const std::string text = std::to_string(a[0]) + "." + std::to_string(a[1]) + "." + std::to_string(a[2]) +
                           "." + std::to_string(a[3]);
  const bool grey = IsReadOnly() || !tree->IsWindowEnabled();
  const int saved = canvas.SaveDC();
  canvas.SelectFont(COptionTree::GetNormalFont());
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  canvas.SetBkColor(GetValueBackColor());
  canvas.SetTextColor(win::GetSysColor(grey ? win::SysColor::kGrayText : win::SysColor::kWindowText));
  gfx::Rect rect = value_rect;
  canvas.DrawText(text, rect, gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix);
  canvas.RestoreDC(saved);
}

void COptionTreeIPAddressItem::OnActivate() {
  if (!window_.IsWindow()) return;
  PlaceWindow();
  window_.ShowWindow(win::kSwShow);
  window_.SetFocus();
}

void COptionTreeIPAddressItem::OnMove() {
  if (!window_.IsWindow()) return;
  PlaceWindow();
  if (!in_use_) window_.ShowWindow(win::kSwHide);
}

void COptionTreeIPAddressItem::OnRefresh() {
  if (window_.IsWindow()) PlaceWindow();
}

void COptionTreeIPAddressItem::OnCommit() {
  if (window_.IsWindow()) window_.ShowWindow(win::kSwHide);
}

void COptionTreeIPAddressItem::OnDeleteItem() { window_.DestroyWindow(); }

void COptionTreeIPAddressItem::OnDeselect() {
  if (window_.IsWindow()) window_.ShowWindow(win::kSwHide);
}

}  // namespace dialogs
