#pragma once

#include <memory>
#include <optional>

#include "dialogs/options_pages.h"
#include "dialogs/print_setup_page.h"
#include "win/property_sheet.h"

class CZK470Doc;
class TAutoDeletePage;
class TGDTPage;
class TIOPortPage;
class OfficeAddressDlg;
class TTapeSettingsPage;

// The options sheet of the workstation: owns its pages, each built on the document's settings. OK
// is taken only when every folder of the directories page and the GDT exchange folder exist or
// could be made; otherwise that page is shown with a message naming the folder and why. The
// owner copies the pages back.
class TOptionsSheet : public win::PropertySheet {
 public:
  static constexpr int kCaptionId = 32781;

  TOptionsSheet(int caption_id, win::Window* parent, int select_page, CZK470Doc& doc);
  ~TOptionsSheet() override;

  TPrintSetupPage& PrintSetup() { return *print_setup_; }
  TUnitsPage& Units() { return *units_; }
  TDirectoriesPage& Directories() { return *directories_; }
  TAutoDeletePage& AutoDelete() { return *auto_delete_; }
  TIOPortPage& IOPort() { return *io_port_; }
  TGDTPage& GDT() { return *gdt_; }
  OfficeAddressDlg& OfficeAddress() { return *office_address_; }
  TTapeSettingsPage& TapeSettings() { return *tape_; }

 protected:
  void OnOK() override;

 private:
  // False, with the page shown and the message given, when a folder was refused.
  bool TakeFolders(win::PropertyPage& page, const std::optional<TDirectoriesPage::FolderFault>& fault);

  std::unique_ptr<TPrintSetupPage> print_setup_;
  std::unique_ptr<TUnitsPage> units_;
  std::unique_ptr<TDirectoriesPage> directories_;
  std::unique_ptr<TAutoDeletePage> auto_delete_;
  std::unique_ptr<TIOPortPage> io_port_;
  std::unique_ptr<TGDTPage> gdt_;
  std::unique_ptr<OfficeAddressDlg> office_address_;
  std::unique_ptr<TTapeSettingsPage> tape_;
};
