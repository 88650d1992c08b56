#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "dialogs/patient_dialog_ids.h"
#include "win/property_sheet.h"

class CZK470Doc;
namespace platform {
class ResourcePack;
}

// Language, units and cable set of the workstation: list indexes of combos 271, 1186 and 1606,
// stored as they stand.
class TUnitsPage : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 30724;
  static constexpr int kLanguageId = 271;
  static constexpr int kUnitsId = 1186;
  static constexpr int kCableSetId = 1606;

  TUnitsPage();
  explicit TUnitsPage(CZK470Doc& doc);

  int language = -1;
  int units = -1;
  int cable_set = -1;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;
};

// The data, export, 24-hour export and SD-card folders. The 24-hour folder is kept but never shown.
// Folders are POSIX paths; "~" stands for the home folder. CheckFolders makes every folder the
// owner will store, so that OK can refuse a folder that cannot be made.
class TDirectoriesPage : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 156;
  static constexpr int kDataId = 1150;
  static constexpr int kExportId = 1151;
  static constexpr int kExport24HId = 1152;
  static constexpr int kSDCardId = 1406;
  static constexpr int kBrowseDataId = 1216;
  static constexpr int kBrowseExportId = 1217;
  static constexpr int kBrowseExport24HId = 1218;
  static constexpr int kBrowseSDCardId = 1407;
  static constexpr int kExport24HLabelId = 1365;
  // The folder chooser's title, shared with the recording browser's.
  static constexpr int kBrowseTitleId = dialogs::ids::kBrowserFolderTitle;
  static constexpr int kRelativeFolderId = 15010;
  static constexpr int kFolderNotMadeId = 15011;

  explicit TDirectoriesPage(CZK470Doc& doc);

  std::string data_directory;
  std::string export_directory;
  std::string export24h_directory;
  std::string sd_card_directory;
  std::string last_chosen;

  // "~" and "~/..." under home; an empty text stays empty.
  static std::string ExpandHome(std::string_view folder, std::string_view home);
  // Makes the folder and every missing parent, one component after the other. Empty when done,
  // else why not.
  static std::string MakeFolderChain(const std::string& folder);

  // Expands the three stored folders and makes them. On failure: the edit id of the first folder
  // that cannot be made and the message naming it and why; the fields keep their texts.
  struct FolderFault {
    int edit_id;
    std::string message;
  };
  std::optional<FolderFault> CheckFolders();
  // The same for one folder shown in edit_id: "~" expanded, a relative path refused, the chain
  // made; on success the folder takes the expanded path. An empty folder passes as it is.
  static std::optional<FolderFault> CheckFolder(int edit_id, std::string& folder, std::string_view home);

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  void Browse(std::string& folder);

  CZK470Doc& doc_;
};

// The office address lines of the narrative letter (User/OfficeAddress).
class OfficeAddressDlg : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 295;
  static constexpr int kAddressId = 1354;

  OfficeAddressDlg();
  explicit OfficeAddressDlg(CZK470Doc& doc);

  std::string address;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};

// The tape conversion: leading blocks skipped (0..30) and the speed choice (any index but 0 halves
// the rate of the converted data).
class TTapeSettingsPage : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 277;
  static constexpr int kCalDataLenId = 1226;
  static constexpr int kSpeedId = 1182;
  static constexpr int kMaxCalDataLen = 30;

  TTapeSettingsPage();
  explicit TTapeSettingsPage(CZK470Doc& doc);

  int cal_data_len = 0;
  int speed = -1;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;
};

// Adds the templates and texts of these pages and of the options sheet: German to the German pack,
// English to every other one.
void AddOptionsPageResources(platform::ResourcePack& pack);
