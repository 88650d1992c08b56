#include "dialogs/options_pages.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "dialogs/gdt_page.h"
#include "dialogs/print_setup_page.h"
#include "dialogs/qx99_extra_dlg.h"
#include "document/zk470_doc.h"
#include "platform/resources.h"
#include "win/data_exchange.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"
#include "win/messages.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

using win::ControlKind;
using win::ControlLayout;
using win::DialogLayout;
using win::DialogTemplate;

// Each language under its own name, in the order of the "Language" values.
constexpr const char* kLanguageNames[] = {"English",    "Deutsch", "Français", "Italiano", "Español",
                                          "Nederlands", "Русский", "Polski",   "Čeština",  "Svenska"};
constexpr const char* kUnitChoices[] = {"cm / kg", "in / lb"};
constexpr const char* kCableSetChoices[] = {"1", "2"};
constexpr const char* kTapeSpeedChoices[] = {"1:1", "1:2"};

constexpr DialogLayout kUnits{TUnitsPage::kTemplateId, 230, 90, true};
constexpr ControlLayout kUnitsControls[] = {
    {-1, ControlKind::kStatic, 10, 12, 90, 8},
    {TUnitsPage::kLanguageId, ControlKind::kComboDropList, 105, 10, 110, 100},
    {-1, ControlKind::kStatic, 10, 32, 90, 8},
    {TUnitsPage::kUnitsId, ControlKind::kComboDropList, 105, 30, 110, 60},
    {-1, ControlKind::kStatic, 10, 52, 90, 8},
    {TUnitsPage::kCableSetId, ControlKind::kComboDropList, 105, 50, 110, 60},
};
constexpr auto kUnitsEnglish =
    LocalizeControls(kUnitsControls, {"Language:", "", "Units:", "", "Cable set:", ""});
constexpr auto kUnitsGerman =
    LocalizeControls(kUnitsControls, {"Sprache:", "", "Einheiten:", "", "Kabelsatz:", ""});

constexpr DialogLayout kDirectories{TDirectoriesPage::kTemplateId, 300, 120, true};
constexpr ControlLayout kDirectoriesControls[] = {
    {-1, ControlKind::kStatic, 10, 12, 80, 8},
    {TDirectoriesPage::kDataId, ControlKind::kEdit, 95, 10, 170, 12},
    {TDirectoriesPage::kBrowseDataId, ControlKind::kPushButton, 270, 10, 20, 12},
    {-1, ControlKind::kStatic, 10, 32, 80, 8},
    {TDirectoriesPage::kExportId, ControlKind::kEdit, 95, 30, 170, 12},
    {TDirectoriesPage::kBrowseExportId, ControlKind::kPushButton, 270, 30, 20, 12},
    {TDirectoriesPage::kExport24HLabelId, ControlKind::kCheckBox, 10, 52, 80, 8},
    {TDirectoriesPage::kExport24HId, ControlKind::kEdit, 95, 50, 170, 12},
    {TDirectoriesPage::kBrowseExport24HId, ControlKind::kPushButton, 270, 50, 20, 12},
    {-1, ControlKind::kStatic, 10, 72, 80, 8},
    {TDirectoriesPage::kSDCardId, ControlKind::kEdit, 95, 70, 170, 12},
    {TDirectoriesPage::kBrowseSDCardId, ControlKind::kPushButton, 270, 70, 20, 12},
};
constexpr auto kDirectoriesEnglish = LocalizeControls(
    kDirectoriesControls,
    {"Recordings:", "", "...", "Export:", "", "...", "24-hour export:", "", "...", "SD card:", "", "..."});
constexpr auto kDirectoriesGerman =
    LocalizeControls(kDirectoriesControls, {"Aufzeichnungen:", "", "...", "Export:", "", "...",
                                            "24-Stunden-Export:", "", "...", "SD-Karte:", "", "..."});

constexpr DialogLayout kOffice{OfficeAddressDlg::kTemplateId, 230, 100, true};
constexpr ControlLayout kOfficeControls[] = {
    {-1, ControlKind::kStatic, 10, 10, 200, 8},
    {OfficeAddressDlg::kAddressId, ControlKind::kEdit, 10, 22, 210, 68,
     win::kEsMultiline | win::kEsWantReturn},
};
constexpr auto kOfficeEnglish = LocalizeControls(kOfficeControls, {"Address of the office:", ""});
constexpr auto kOfficeGerman = LocalizeControls(kOfficeControls, {"Anschrift der Praxis:", ""});

constexpr DialogLayout kTape{TTapeSettingsPage::kTemplateId, 230, 60, true};
constexpr ControlLayout kTapeControls[] = {
    {-1, ControlKind::kStatic, 10, 12, 120, 8},
    {TTapeSettingsPage::kCalDataLenId, ControlKind::kEdit, 135, 10, 40, 12},
    {-1, ControlKind::kStatic, 10, 32, 120, 8},
    {TTapeSettingsPage::kSpeedId, ControlKind::kComboDropList, 135, 30, 40, 60},
};
constexpr auto kTapeEnglish = LocalizeControls(kTapeControls, {"Calibration blocks:", "", "Speed:", ""});
constexpr auto kTapeGerman =
    LocalizeControls(kTapeControls, {"Kalibrierblöcke:", "", "Geschwindigkeit:", ""});

constexpr DialogTemplate kEnglishDialogs[] = {
    LocalizeDialog(kUnits, "Units", kUnitsEnglish),
    LocalizeDialog(kDirectories, "Directories", kDirectoriesEnglish),
    LocalizeDialog(kOffice, "Office", kOfficeEnglish),
    LocalizeDialog(kTape, "Tape", kTapeEnglish),
};
constexpr DialogTemplate kGermanDialogs[] = {
    LocalizeDialog(kUnits, "Einheiten", kUnitsGerman),
    LocalizeDialog(kDirectories, "Verzeichnisse", kDirectoriesGerman),
    LocalizeDialog(kOffice, "Praxis", kOfficeGerman),
    LocalizeDialog(kTape, "Band", kTapeGerman),
};

// 32781: the options sheet's caption.
constexpr platform::StringEntry kEnglishStrings[] = {
    {32781, "Options"},
    {TDirectoriesPage::kRelativeFolderId, "%1\nPlease enter a full path beginning with / or ~."},
    {TDirectoriesPage::kFolderNotMadeId, "%1\nThis folder cannot be created: %2"},
};
constexpr platform::StringEntry kGermanStrings[] = {
    {32781, "Optionen"},
    {TDirectoriesPage::kRelativeFolderId,
     "%1\nBitte einen vollständigen Pfad eingeben, der mit / oder ~ beginnt."},
    {TDirectoriesPage::kFolderNotMadeId, "%1\nDieser Ordner kann nicht angelegt werden: %2"},
};

template <size_t N>
void FillCombo(win::Dialog& page, int id, const char* const (&entries)[N]) {
  if (auto* combo = page.Item<win::ComboBox>(id)) {
    combo->ResetContent();
    for (const char* entry : entries) combo->AddString(entry);
  }
}

std::string Fill(std::string text, std::string_view first, std::string_view second = {}) {
  for (auto [mark, value] : {std::pair{"%1", first}, std::pair{"%2", second}}) {
    if (const size_t at = text.find(mark); at != std::string::npos) text.replace(at, 2, value);
  }
  return text;
}

}  // namespace

// --- Units ---------------------------------------------------------------------------------------------

TUnitsPage::TUnitsPage() : win::PropertyPage(kTemplateId) {}

TUnitsPage::TUnitsPage(CZK470Doc& doc) : TUnitsPage() {
  language = doc.GetSettings().Int(SettingKey::kLanguage);
  units = doc.GetSettings().Int(SettingKey::kUnits);
  cable_set = doc.GetSettings().Int(SettingKey::kCableSet);
}

bool TUnitsPage::OnInitDialog() {
  FillCombo(*this, kLanguageId, kLanguageNames);
  FillCombo(*this, kUnitsId, kUnitChoices);
  FillCombo(*this, kCableSetId, kCableSetChoices);
  return win::PropertyPage::OnInitDialog();
}

void TUnitsPage::DoDataExchange(win::DataExchange& dx) {
  win::DdxCBIndex(dx, kLanguageId, language);
  win::DdxCBIndex(dx, kUnitsId, units);
  win::DdxCBIndex(dx, kCableSetId, cable_set);
}

// --- Directories -----------------------------------------------------------------------------------------

TDirectoriesPage::TDirectoriesPage(CZK470Doc& doc)
    : win::PropertyPage(kTemplateId),
      data_directory(doc.GetDataDirectory()),
      export_directory(doc.GetExportDirectory()),
      export24h_directory(doc.GetExport24HDirectory()),
      sd_card_directory(doc.GetSDCardDirectory()),
      doc_(doc) {
  AddCommand(kBrowseDataId, [this] { Browse(data_directory); });
  AddCommand(kBrowseExportId, [this] { Browse(export_directory); });
  AddCommand(kBrowseExport24HId, [this] { Browse(export24h_directory); });
  AddCommand(kBrowseSDCardId, [this] { Browse(sd_card_directory); });
}

bool TDirectoriesPage::OnInitDialog() {
  const bool result = win::PropertyPage::OnInitDialog();
  for (int id : {kExport24HLabelId, kExport24HId, kBrowseExport24HId}) {
    if (win::Window* control = GetDlgItem(id)) {
      control->EnableWindow(false);
      control->ShowWindow(win::kSwHide);
    }
  }
  if (auto* check = Item<win::Button>(kExport24HLabelId)) check->SetCheck(0);
  return result;
}

void TDirectoriesPage::DoDataExchange(win::DataExchange& dx) {
  win::DdxText(dx, kDataId, data_directory);
  win::DdxText(dx, kExportId, export_directory);
  win::DdxText(dx, kExport24HId, export24h_directory);
  win::DdxText(dx, kSDCardId, sd_card_directory);
}

void TDirectoriesPage::Browse(std::string& folder) {
  UpdateData(true);
  const std::optional<std::string> chosen =
      win::CurrentPrompt().ChooseFolder(platform::LoadString(kBrowseTitleId), folder);
  if (!chosen) return;
  last_chosen = *chosen;
  if (!last_chosen.empty()) folder = last_chosen;
  UpdateData(false);
}

std::string TDirectoriesPage::ExpandHome(std::string_view folder, std::string_view home) {
  if (folder == "~") return std::string(home);
  if (folder.starts_with("~/")) {
    std::string expanded(home);
    if (!expanded.ends_with('/')) expanded += '/';
    expanded += folder.substr(2);
    return expanded;
  }
  return std::string(folder);
}

std::string TDirectoriesPage::MakeFolderChain(const std::string& folder) {
  size_t end = 0;
  while (end < folder.size()) {
    end = folder.find('/', end + 1);
    if (end == std::string::npos) end = folder.size();
    const std::string prefix = folder.substr(0, end);
    struct stat info {};
    if (::stat(prefix.c_str(), &info) == 0) {
      if (!S_ISDIR(info.st_mode)) return prefix + ": " + std::strerror(ENOTDIR);
      continue;
    }
    if (::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) return std::strerror(errno);
  }
  return {};
}

std::optional<TDirectoriesPage::FolderFault> TDirectoriesPage::CheckFolder(int edit_id, std::string& folder,
                                                                           std::string_view home) {
  if (folder.empty()) return std::nullopt;
  const std::string expanded = ExpandHome(folder, home);
  if (!expanded.starts_with('/'))
    return FolderFault{edit_id, Fill(platform::LoadString(kRelativeFolderId), folder)};
  if (std::string why = MakeFolderChain(expanded); !why.empty())
    return FolderFault{edit_id, Fill(platform::LoadString(kFolderNotMadeId), expanded, why)};
  folder = expanded;
  return std::nullopt;
}

std::optional<TDirectoriesPage::FolderFault> TDirectoriesPage::CheckFolders() {
  const std::string& home = doc_.GetSettings().Defaults().home;
  for (auto [id, folder] : {std::pair{kDataId, &data_directory}, std::pair{kExportId, &export_directory},
                            std::pair{kSDCardId, &sd_card_directory}}) {
    if (auto fault = CheckFolder(id, *folder, home)) return fault;
  }
  return std::nullopt;
}

// --- Office address ---------------------------------------------------------------------------------------

OfficeAddressDlg::OfficeAddressDlg() : win::PropertyPage(kTemplateId) {}

OfficeAddressDlg::OfficeAddressDlg(CZK470Doc& doc) : OfficeAddressDlg() {
  address = doc.GetSettings().Text(SettingKey::kUserOfficeAddress);
}

void OfficeAddressDlg::DoDataExchange(win::DataExchange& dx) { win::DdxText(dx, kAddressId, address); }

// --- Tape
// ---------------------------------------------------------------------------------------------------

TTapeSettingsPage::TTapeSettingsPage() : win::PropertyPage(kTemplateId) {}

TTapeSettingsPage::TTapeSettingsPage(CZK470Doc& doc) : TTapeSettingsPage() {
  cal_data_len = doc.GetSettings().Int(SettingKey::kTapeCalDataLen);
  speed = doc.GetSettings().Int(SettingKey::kTapeSpeed);
}

bool TTapeSettingsPage::OnInitDialog() {
  FillCombo(*this, kSpeedId, kTapeSpeedChoices);
  return win::PropertyPage::OnInitDialog();
}

void TTapeSettingsPage::DoDataExchange(win::DataExchange& dx) {
  win::DdxText(dx, kCalDataLenId, cal_data_len);
  win::DdvMinMaxInt(dx, cal_data_len, 0, kMaxCalDataLen);
  win::DdxCBIndex(dx, kSpeedId, speed);
}

void AddOptionsPageResources(platform::ResourcePack& pack) {
  AddPrintSetupPageResources(pack);
  AddGDTPageResources(pack);
  // The extras dialog belongs to no sheet; its template travels with the settings pages.
  AddQX99ExtraDlgResources(pack);
  if (win::IsGermanPack(pack)) {
    win::Templates().Add(pack, kGermanDialogs);
    pack.AddStrings(kGermanStrings);
  } else {
    win::Templates().Add(pack, kEnglishDialogs);
    pack.AddStrings(kEnglishStrings);
  }
}
