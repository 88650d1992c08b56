#include "dialogs/recording_browser_dlg.h"

#include "dialogs/date_time_text.h"
#include "dialogs/dialog_resources.h"
#include "dialogs/patient_dialog_ids.h"
#include "document/zk470_doc.h"
#include "platform/resources.h"
#include "win/data_exchange.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

std::string FolderOf(const CZK470Doc* document, int folder_mode) {
  if (document == nullptr) return {};
  switch (folder_mode) {
    case 2: return document->GetExportDirectory();
    case 3: return document->GetExport24HDirectory();
    case 4: return document->GetSDCardDirectory();
    default: return document->GetDataDirectory();
  }
}

}  // namespace

TRecordingBrowserDlg::TRecordingBrowserDlg(CZK470Doc* document, int caption_id, int folder_mode)
    : win::Dialog(kTemplateId),
      list_(),
      filter_(win::ControlKind::kComboDropList),
      document_(document),
      folder_mode_(folder_mode),
      listing_(dialogs::DialogLocale()),
      caption_(platform::LoadString(caption_id)),
      images_(16, 16, kDialogIconMask) {
  folder_ = FolderOf(document, folder_mode);
  folder_text_ = folder_;
  AddNotification(kFilterId, win::kCbnSelChange, [this] { OnFilterChanged(); });
  AddNotification(kListId, win::kNmDblClk, [this] { OnOK(); });
  AddCommand(kFolderButtonId, [this] { OnChangeFolder(); });
}

bool TRecordingBrowserDlg::OnInitDialog() {
  const bool result = win::Dialog::OnInitDialog();
  SetWindowText(caption_);
  if (filter_.GetCount() == 0) {
    for (int i = 0; i < dialogs::kFilterCount; ++i) filter_.AddString(platform::LoadString(dialogs::ids::kBrowserFilterFirst + i));
  }
  filter_.SetCurSel(0);
  if (images_.Count() == 0) {
    for (const int id : kKindIconIds) images_.Add(LoadDialogIcon(id));
  }
  list_.SetImageList(&images_, win::kLvsilSmall);
  list_.InsertColumn(0, platform::LoadString(dialogs::ids::kBrowserNameColumn), win::kLvcfmtLeft, 300);
  list_.InsertColumn(1, platform::LoadString(dialogs::ids::kBrowserFinalizedMark), win::kLvcfmtLeft, 20);
  list_.InsertColumn(2, platform::LoadString(dialogs::ids::kBrowserArchivedMark), win::kLvcfmtLeft, 20);
  list_.InsertColumn(3, platform::LoadString(dialogs::ids::kBrowserDateColumn), win::kLvcfmtLeft, 115);
  Fill();
  return result;
}

void TRecordingBrowserDlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxControl(dx, kListId, list_);
  win::DdxControl(dx, kFilterId, filter_);
  win::DdxText(dx, kFolderTextId, folder_text_);
}

void TRecordingBrowserDlg::Fill() {
  win::Windows().BeginWaitCursor();
  const std::vector<dialogs::RecordingRow> rows = listing_.Fill(folder_, filter_.GetCurSel());
  for (const dialogs::RecordingRow& row : rows) {
    // The image index is the kind: recording, PDF, KZT.
    const int item = list_.InsertItem(list_.GetItemCount(), row.name_part, static_cast<int>(row.kind));
    list_.SetItemData(item, static_cast<uintptr_t>(row.path_index));
    list_.SetItemText(item, 1, row.finalized_text);
    list_.SetItemText(item, 2, row.archived_text);
    list_.SetItemText(item, 3, row.date_text);
  }
  win::Windows().EndWaitCursor();
}

void TRecordingBrowserDlg::Refill() {
  list_.DeleteAllItems();
  results_.clear();
  Fill();
  UpdateData(false);
}

void TRecordingBrowserDlg::OnFilterChanged() { Refill(); }

void TRecordingBrowserDlg::OnChangeFolder() {
  const std::optional<std::string> chosen =
      win::CurrentPrompt().ChooseFolder(platform::LoadString(dialogs::ids::kBrowserFolderTitle), folder_);
  if (!chosen) return;
  std::string folder = *chosen;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  folder_ = folder;
  folder_text_ = *chosen;
  Refill();
}

void TRecordingBrowserDlg::OnOK() {
  const std::vector<std::string>& paths = listing_.Paths();
  for (int item = list_.GetNextItem(-1, win::kLvniSelected); item >= 0;
       item = list_.GetNextItem(item, win::kLvniSelected)) {
    const uintptr_t index = list_.GetItemData(item);
    if (index < paths.size()) results_.push_back(paths[index]);
  }
  win::Dialog::OnOK();
}

std::vector<std::string> ChooseRecordingsToOpen(CZK470Doc& document) {
  TRecordingBrowserDlg browser(&document, dialogs::ids::kOpenCaption, 0);
  if (browser.DoModal() != win::kIdOk) return {};
  return browser.Results();
}
