#include "dialogs/optiontree/option_tree_edit_item.h"

#include <climits>
#include <optional>
#include <string>

#include "dialogs/optiontree/option_tree.h"
#include "dialogs/optiontree/option_tree_edit_number.h"
#include "gfx/canvas.h"
#include "win/system_metrics.h"

namespace dialogs {

namespace {

// Integers of the field: no sign (a minus makes the text invalid), up to max.
std::optional<int64_t> ReadInteger(const win::Edit& edit, int64_t max) {
  return ReadIntegerText(edit.GetWindowText(), 0, max, false);
}

}  // namespace

bool COptionTreeEditField::PreTranslateMessage(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message != win::kWmKeyDown) return false;
  const int key = static_cast<int>(wparam);
  if (key != win::kVkReturn && key != win::kVkTab && key != win::kVkEscape) return false;
  OnKeyDown(key, 1, 0);
  return true;
}

void COptionTreeEditField::OnSetFocus(win::Window* old_focus) {
  win::Edit::OnSetFocus(old_focus);
  if (HasFocus()) item_.FieldGotFocus();
}

void COptionTreeEditField::OnKillFocus(win::Window* new_focus) {
  win::Edit::OnKillFocus(new_focus);
  item_.FieldLostFocus(new_focus);
}

void COptionTreeEditField::OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) {
  if (virtual_key == win::kVkReturn && (ControlStyle() & win::kEsWantReturn) == 0) {
    item_.FieldEnter();
    return;
  }
  win::Edit::OnKeyDown(virtual_key, repeat, flags);
}

COptionTreeEditItem::COptionTreeEditItem() : edit_(*this) { SetItemKind(kOptionItemEdit); }

COptionTreeEditItem::~COptionTreeEditItem() { edit_.DestroyWindow(); }

bool COptionTreeEditItem::CreateEditWindow(uint32_t options, uint32_t extra_style) {
  COptionTree* tree = GetOptionTree();
  if (tree == nullptr || edit_.IsWindow()) return false;
  uint32_t style = win::kWsChild | win::kWsVisible;
  if ((options & kEditOptionMultiline) != 0) style |= win::kEsMultiline;
  if ((options & kEditOptionPassword) != 0) style |= win::kEsPassword;
  if ((options & kEditOptionInteger) != 0) style |= win::kEsNumber;
  style |= extra_style;
  if (!edit_.CreateControl(&tree->GetListWindow(), GetValueRect(), GetItemID(), {}, style)) return false;
  edit_.SetFont(COptionTree::GetNormalFont(), false);
  options_ = options;
  edit_.SetSel(0, 0);
  if ((options & kEditOptionMultiline) != 0) SetHeight(kEditItemMultilineHeight);
  edit_.MoveWindow(GetValueRect(), false);
  edit_.ShowWindow(win::kSwHide);
  return true;
}

void COptionTreeEditItem::SetOption(uint32_t bits, bool on) {
  options_ = on ? (options_ | bits) : (options_ & ~bits);
  ApplyOptions();
}

void COptionTreeEditItem::ApplyOptions() {
  const bool multiline = GetOption(kEditOptionMultiline);
  SetLabelAtTop(multiline);
  SetHeight(multiline ? kEditItemMultilineHeight : 21);
  if (!edit_.IsWindow()) return;
  const auto toggle = [this](bool on, uint32_t style) { edit_.ModifyStyle(on ? 0 : style, on ? style : 0); };
  toggle(multiline, win::kEsMultiline);
  toggle(GetOption(kEditOptionPassword), win::kEsPassword);
  toggle(GetOption(kEditOptionInteger), win::kEsNumber);
  edit_.NotifyChanged(win::kChangedState);
  edit_.Invalidate();
}

bool COptionTreeEditItem::GetDoubleValue(double& value) const {
  value = 0;
  if (!edit_.IsWindow() || !GetOption(kEditOptionDecimal)) return false;
  const std::optional<double> read = ReadDecimalText(edit_.GetWindowText());
  if (!read) return false;
  value = *read;
  return true;
}

bool COptionTreeEditItem::GetFloatValue(float& value) const {
  value = 0;
  double wide = 0;
  if (!GetDoubleValue(wide)) return false;
  value = static_cast<float>(wide);
  return true;
}

bool COptionTreeEditItem::GetLongValue(long& value) const {
  value = 0;
  if (!edit_.IsWindow() || !GetOption(kEditOptionInteger)) return false;
  const std::optional<int64_t> read = ReadInteger(edit_, LONG_MAX);
  if (!read) return false;
  value = static_cast<long>(*read);
  return true;
}

bool COptionTreeEditItem::GetIntValue(int& value) const {
  value = 0;
  if (!edit_.IsWindow() || !GetOption(kEditOptionInteger)) return false;
  const std::optional<int64_t> read = ReadInteger(edit_, INT_MAX);
  if (!read) return false;
  value = static_cast<int>(*read);
  return true;
}

bool COptionTreeEditItem::GetUIntValue(uint32_t& value) const {
  value = 0;
  if (!edit_.IsWindow() || !GetOption(kEditOptionInteger)) return false;
  const std::optional<int64_t> read = ReadInteger(edit_, UINT32_MAX);
  if (!read) return false;
  value = static_cast<uint32_t>(*read);
  return true;
}

void COptionTreeEditItem::SetDoubleValue(double value) {
  if (edit_.IsWindow()) edit_.SetWindowText(FormatFixed(value, 3));
}

void COptionTreeEditItem::SetFloatValue(float value) { SetDoubleValue(static_cast<double>(value)); }

void COptionTreeEditItem::SetLongValue(long value) {
  if (edit_.IsWindow()) edit_.SetWindowText(std::to_string(value));
}

void COptionTreeEditItem::SetIntValue(int value) {
  if (edit_.IsWindow()) edit_.SetWindowText(std::to_string(value));
}

void COptionTreeEditItem::SetUIntValue(uint32_t value) {
  if (edit_.IsWindow()) edit_.SetWindowText(std::to_string(value));
}

void COptionTreeEditItem::DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) {
  COptionTree* tree = GetOptionTree();
  if (in_use_ || tree == nullptr || !edit_.IsWindow()) return;
  // Keeps the hidden field on its row while the rows scroll or the divider moves.
  edit_.MoveWindow(value_rect, false);
  std::string text = edit_.GetWindowText();
  if (GetOption(kEditOptionPassword)) text.assign(win::Utf8Length(text), '*');
  const bool grey = IsReadOnly() || !tree->IsWindowEnabled();
  const int saved = canvas.SaveDC();
  canvas.SelectFont(COptionTree::GetNormalFont());
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  canvas.SetBkColor(GetValueBackColor());
  canvas.SetTextColor(grey ? win::GetSysColor(win::SysColor::kGrayText) : GetValueTextColor());
  gfx::Rect rect = value_rect;
  if (GetOption(kEditOptionMultiline))
    canvas.DrawText(text, rect, gfx::kDtWordBreak | gfx::kDtNoPrefix);
  else
    canvas.DrawText(text, rect, gfx::kDtSingleLine | gfx::kDtVCenter | gfx::kDtNoPrefix);
  canvas.RestoreDC(saved);
}

void COptionTreeEditItem::OnActivate() {
  if (!edit_.IsWindow()) return;
  edit_.ShowWindow(win::kSwShow);
  edit_.SetSel(0, 0);
  edit_.MoveWindow(GetValueRect());
  edit_.SetFocus();
}

void COptionTreeEditItem::OnMove() {
  if (!edit_.IsWindow()) return;
  edit_.MoveWindow(GetValueRect());
  if (!in_use_) edit_.ShowWindow(win::kSwHide);
}

void COptionTreeEditItem::OnRefresh() {
  if (edit_.IsWindow()) edit_.MoveWindow(GetValueRect());
}

void COptionTreeEditItem::OnCommit() {
  if (edit_.IsWindow()) edit_.ShowWindow(win::kSwHide);
}

void COptionTreeEditItem::OnDeleteItem() { edit_.DestroyWindow(); }

void COptionTreeEditItem::OnDeselect() {
  if (edit_.IsWindow()) edit_.ShowWindow(win::kSwHide);
}

void COptionTreeEditItem::FieldGotFocus() { in_use_ = true; }

void COptionTreeEditItem::FieldLostFocus(win::Window* new_focus) {
  COptionTree* tree = GetOptionTree();
  // Focus leaving the control (another dialog control, another program) leaves the edit open.
  if (tree == nullptr || new_focus == nullptr || !new_focus->IsSelfOrDescendantOf(tree)) return;
  in_use_ = false;
  CommitChanges();
}

void COptionTreeEditItem::FieldEnter() {
  // The row shows the committed value at once; the rows take the keys from here on, so that
  // nothing is typed into a hidden field.
  in_use_ = false;
  CommitChanges();
  if (COptionTree* tree = GetOptionTree()) {
    tree->GetListWindow().SetFocus();
    tree->GetListWindow().Invalidate();
  }
}

}  // namespace dialogs
