#pragma once

#include <optional>
#include <string>

#include "dialogs/options_pages.h"
#include "dialogs/patient_dialog_ids.h"
#include "win/property_sheet.h"

class CZK470Doc;
namespace platform {
class ResourcePack;
}

// The GDT link of the options sheet: its switch, the exchange folder and the two short names the
// exchange file names are built from. The page holds the values while the sheet is open; the
// owner stores them on OK. The folder and the controls of the names are greyed while the link is
// off. While the link is on, a short name that could lead a file name out of the exchange folder
// ("/", "..", control characters) keeps the page open with a message. The owner makes the folder
// the way the directories page does.
class TGDTPage : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 190;
  static constexpr int kFolderId = 1152;
  static constexpr int kSwitchId = 1064;
  static constexpr int kOwnShortNameId = 1343;
  static constexpr int kPracticeShortNameId = 1342;
  static constexpr int kBrowseId = 1218;
  static constexpr int kBrowseTitleId = dialogs::ids::kBrowserFolderTitle;
  // "%1" is the refused name.
  static constexpr int kBadShortNameId = 15190;

  explicit TGDTPage(CZK470Doc& doc);

  std::string folder;
  int switch_on = 0;
  std::string own_short_name;
  std::string practice_short_name;
  // The folder last picked with the browse button; empty when the user cancelled.
  std::string browse_result;

  bool OnSetActive() override;

  // The folder chooser, titled with string 15002: the path picked, or empty.
  std::string BrowseForFolder();

  // Expands "~" and makes the exchange folder. On failure the message naming it and why, and the
  // field keeps its text.
  std::optional<TDirectoriesPage::FolderFault> CheckFolder();

 protected:
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  void OnSwitchClicked();
  void OnBrowse();
  void EnableLinkControls();

  CZK470Doc& doc_;
};

// Adds the page's template and message: German to the German pack, English to every other one.
void AddGDTPageResources(platform::ResourcePack& pack);
