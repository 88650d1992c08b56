#include "dialogs/small_dlgs.h"

#include "win/data_exchange.h"

TDateInputDlg::TDateInputDlg(win::Window* parent)
    : win::Dialog(kTemplateId, parent), value_(platform::LocalDateTime{1970, 1, 1, 0, 0, 0, 0}) {}

void TDateInputDlg::DoDataExchange(win::DataExchange& dx) { win::DdxDateTimeCtrl(dx, kFieldId, value_); }

win::LResult TDateInputDlg::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == kSetValueMessage) {
    if (const auto* value = reinterpret_cast<const DateTimeValue*>(wparam)) SetValue(*value);
    return 0;
  }
  return win::Dialog::WindowProc(message, wparam, lparam);
}

void TDateInputDlg::SetValue(const DateTimeValue& value) {
  value_ = value;
  if (IsWindow()) UpdateData(false);
}

void TThreeTextDlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxText(dx, kFirstId, first);
  win::DdxText(dx, kSecondId, second);
  win::DdxText(dx, kThirdId, third);
}

DeleteDialog::DeleteDialog(int template_id, win::Window* parent) : win::Dialog(template_id, parent) {
  AddCommand(kDeleteId, [this] { EndDialog(kDeleteId); });
}

bool DeleteDialog::OnInitDialog() {
  win::Dialog::OnInitDialog();
  SetFocus();
  return false;
}
