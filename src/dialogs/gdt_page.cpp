#include "dialogs/gdt_page.h"

#include "document/zk470_doc.h"
#include "platform/resources.h"
#include "tools/gdt/gdt_names.h"
#include "win/data_exchange.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"
#include "win/prompt.h"

namespace {

using win::ControlKind;
using win::ControlLayout;
using win::DialogLayout;
using win::DialogTemplate;

// Wide enough for the sheet's six tabs in German.
constexpr DialogLayout kGdt{TGDTPage::kTemplateId, 330, 100, true};
constexpr ControlLayout kGdtControls[] = {
    {TGDTPage::kSwitchId, ControlKind::kCheckBox, 10, 10, 200, 10},
    {-1, ControlKind::kStatic, 10, 32, 85, 8},
    {TGDTPage::kFolderId, ControlKind::kEdit, 100, 30, 195, 12},
    {TGDTPage::kBrowseId, ControlKind::kPushButton, 300, 30, 20, 12},
    {-1, ControlKind::kStatic, 10, 52, 85, 8},
    {TGDTPage::kOwnShortNameId, ControlKind::kEdit, 100, 50, 50, 12},
    {-1, ControlKind::kStatic, 10, 72, 85, 8},
    {TGDTPage::kPracticeShortNameId, ControlKind::kEdit, 100, 70, 50, 12},
};
constexpr auto kGdtEnglish =
    LocalizeControls(kGdtControls, {"Exchange data with the practice software (GDT)", "Exchange folder:", "",
                                    "...", "Own short name:", "", "Practice software:", ""});
constexpr auto kGdtGerman =
    LocalizeControls(kGdtControls, {"Daten mit der Praxissoftware austauschen (GDT)", "Austauschordner:", "",
                                    "...", "Eigenes Kürzel:", "", "Praxissoftware:", ""});

constexpr DialogTemplate kEnglishDialogs[] = {LocalizeDialog(kGdt, "GDT", kGdtEnglish)};
constexpr DialogTemplate kGermanDialogs[] = {LocalizeDialog(kGdt, "GDT", kGdtGerman)};

constexpr platform::StringEntry kEnglishStrings[] = {
    {TGDTPage::kBadShortNameId,
     "\"%1\" cannot be a short name.\nA short name becomes part of the exchange file names: it must not "
     "contain /, .. or control characters."},
};
constexpr platform::StringEntry kGermanStrings[] = {
    {TGDTPage::kBadShortNameId,
     "\"%1\" kann kein Kürzel sein.\nEin Kürzel wird Teil der Namen der Austauschdateien: es darf kein /, "
     "kein .. und keine Steuerzeichen enthalten."},
};

// Refuses a short name that would not stay a plain part of a file name in the exchange folder.
void DdvShortName(win::DataExchange& dx, const std::string& name) {
  if (!dx.Saving() || dx.Failed() || gdt::IsSafeShortName(name)) return;
  std::string message = platform::LoadString(TGDTPage::kBadShortNameId);
  std::string shown;
  for (const char c : name) shown += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
  if (const size_t at = message.find("%1"); at != std::string::npos) message.replace(at, 2, shown);
  dx.Fail(message);
}

}  // namespace

TGDTPage::TGDTPage(CZK470Doc& doc)
    : win::PropertyPage(kTemplateId),
      folder(doc.GetGDTDirectory()),
      switch_on(doc.GetSettings().Int(SettingKey::kGDTOn)),
      own_short_name(doc.GetSettings().Text(SettingKey::kGDTZK470Shorty)),
      practice_short_name(doc.GetSettings().Text(SettingKey::kGDTEDVShorty)),
      doc_(doc) {
  AddCommand(kBrowseId, [this] { OnBrowse(); });
  AddCommand(kSwitchId, [this] { OnSwitchClicked(); });
}

void TGDTPage::DoDataExchange(win::DataExchange& dx) {
  win::DdxText(dx, kFolderId, folder);
  win::DdxCheck(dx, kSwitchId, switch_on);
  win::DdxText(dx, kOwnShortNameId, own_short_name);
  // Names are used only while the link is on; greyed, they could not be mended here.
  if (switch_on != 0) DdvShortName(dx, own_short_name);
  win::DdxText(dx, kPracticeShortNameId, practice_short_name);
  if (switch_on != 0) DdvShortName(dx, practice_short_name);
}

bool TGDTPage::OnSetActive() {
  EnableLinkControls();
  return win::PropertyPage::OnSetActive();
}

void TGDTPage::EnableLinkControls() {
  for (const int id : {kFolderId, kBrowseId, kOwnShortNameId, kPracticeShortNameId}) {
    if (win::Window* control = GetDlgItem(id)) control->EnableWindow(switch_on != 0);
  }
}

void TGDTPage::OnSwitchClicked() {
  switch_on = switch_on != 0 ? 0 : 1;
  EnableLinkControls();
  SetModified(true);
}

std::string TGDTPage::BrowseForFolder() {
  browse_result =
      win::CurrentPrompt().ChooseFolder(platform::LoadString(kBrowseTitleId), folder).value_or("");
  return browse_result;
}

void TGDTPage::OnBrowse() {
  // What was typed in the other fields must survive the refill below.
  UpdateData(true);
  if (const std::string chosen = BrowseForFolder(); !chosen.empty()) folder = chosen;
  UpdateData(false);
}

std::optional<TDirectoriesPage::FolderFault> TGDTPage::CheckFolder() {
  return TDirectoriesPage::CheckFolder(kFolderId, folder, doc_.GetSettings().Defaults().home);
}

void AddGDTPageResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack)) {
    win::Templates().Add(pack, kGermanDialogs);
    pack.AddStrings(kGermanStrings);
  } else {
    win::Templates().Add(pack, kEnglishDialogs);
    pack.AddStrings(kEnglishStrings);
  }
}
