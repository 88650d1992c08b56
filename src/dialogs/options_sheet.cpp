#include "dialogs/options_sheet.h"

#include "dialogs/gdt_page.h"
#include "dialogs/io_port_page.h"
#include "dialogs/options_pages.h"
#include "dialogs/small_value_dlgs.h"
#include "win/controls.h"
#include "win/prompt.h"
#include "win/window.h"

TOptionsSheet::TOptionsSheet(int caption_id, win::Window* parent, int select_page, CZK470Doc& doc)
    : win::PropertySheet(caption_id, parent, select_page),
      print_setup_(std::make_unique<TPrintSetupPage>(doc)),
      units_(std::make_unique<TUnitsPage>(doc)),
      directories_(std::make_unique<TDirectoriesPage>(doc)),
      auto_delete_(std::make_unique<TAutoDeletePage>(doc)),
      io_port_(std::make_unique<TIOPortPage>(doc)),
      gdt_(std::make_unique<TGDTPage>(doc)),
      office_address_(std::make_unique<OfficeAddressDlg>(doc)),
      tape_(std::make_unique<TTapeSettingsPage>(doc)) {
  AddPage(*print_setup_);
  AddPage(*units_);
  AddPage(*directories_);
  AddPage(*auto_delete_);
  AddPage(*io_port_);
  AddPage(*gdt_);
  AddPage(*office_address_);
  AddPage(*tape_);
  SetHelpButton(false);
}

// The sheet's window goes before the pages it shows.
TOptionsSheet::~TOptionsSheet() { DestroyWindow(); }

void TOptionsSheet::OnOK() {
  if (win::PropertyPage* current = GetActivePage(); current != nullptr && !current->OnKillActive()) return;
  if (!TakeFolders(*directories_, directories_->CheckFolders()) || !TakeFolders(*gdt_, gdt_->CheckFolder()))
    return;
  win::PropertySheet::OnOK();
}

bool TOptionsSheet::TakeFolders(win::PropertyPage& page,
                                const std::optional<TDirectoriesPage::FolderFault>& fault) {
  if (fault) {
    if (GetActivePage() != &page && !SetActivePage(page)) return false;
    win::CurrentPrompt().MessageBox(fault->message, win::Windows().AppTitle(),
                                    win::kMbOk | win::kMbIconExclamation);
    if (win::Window* edit = page.GetDlgItem(fault->edit_id)) page.GotoDlgCtrl(edit);
    return false;
  }
  // The fields now hold the expanded folders; the controls must not bring back what was typed.
  if (page.IsWindow()) page.UpdateData(false);
  return true;
}
