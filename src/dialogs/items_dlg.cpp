#include "dialogs/items_dlg.h"

#include "platform/resources.h"
#include "win/data_exchange.h"

TItemsDlg::TItemsDlg(win::CommandTarget* wait_cursor_target, int title_id, int column_id, int mode)
    : TItemsDlg(wait_cursor_target, platform::LoadString(title_id), platform::LoadString(column_id), mode) {}

TItemsDlg::TItemsDlg(win::CommandTarget* wait_cursor_target, std::string title, std::string column, int mode)
    : win::Dialog(kTemplateId),
      wait_cursor_target_(wait_cursor_target),
      mode_(mode),
      title_(std::move(title)),
      column_(std::move(column)) {
  AddCommand(kSearchAgainId, [this] {
    end_reason = kSearchAgain;
    EndDialog(win::kIdOk);
  });
  AddNotification(kListId, win::kNmDblClk, [this] { OnOK(); });
}

void TItemsDlg::DoDataExchange(win::DataExchange& dx) { win::DdxControl(dx, kListId, list_); }

bool TItemsDlg::OnInitDialog() {
  win::Dialog::OnInitDialog();
  SetWindowText(title_);
  list_.SetImageList(&images_, win::kLvsilSmall);
  if (mode_ == 0 || mode_ == 1) {
    list_.InsertColumn(0, column_, win::kLvcfmtLeft, list_.GetClientRect().Width());
    if (mode_ == 1) {
      if (win::Window* again = GetDlgItem(kSearchAgainId)) again->EnableWindow(false);
    }
    Fill();
  }
  return true;
}

void TItemsDlg::Fill() {
  win::WindowSystem& windows = win::Windows();
  if (wait_cursor_target_ != nullptr) windows.BeginWaitCursor();
  for (size_t i = 0; i < input.size(); ++i) {
    const int row = list_.InsertItem(list_.GetItemCount(), input[i]);
    list_.SetItemData(row, i);
  }
  // The rows carry their input index: sorted by it they keep the input order.
  list_.SortItems([](uintptr_t a, uintptr_t b) { return a < b ? -1 : (a > b ? 1 : 0); });
  if (list_.GetItemCount() > 0) {
    list_.SetItemState(0, win::kLvisSelected | win::kLvisFocused, win::kLvisSelected | win::kLvisFocused);
  }
  if (wait_cursor_target_ != nullptr) windows.EndWaitCursor();
}

void TItemsDlg::OnOK() {
  for (int row = list_.GetNextItem(-1, win::kLvniSelected); row >= 0; row = list_.GetNextItem(row, win::kLvniSelected)) {
    const uintptr_t index = list_.GetItemData(row);
    if (index < input.size()) selected.push_back(input[index]);
    last_selected = row;
  }
  end_reason = kSelected;
  EndDialog(win::kIdOk);
}

void TItemsDlg::OnCancel() {
  end_reason = kCancelled;
  EndDialog(win::kIdCancel);
}
