#include "dialogs/small_value_dlgs.h"

#include <cstdio>

#include "dialogs/select_folder_dialog.h"
#include "document/document_context.h"
#include "document/zk470_doc.h"
#include "platform/resources.h"
#include "win/data_exchange.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"

namespace {

using win::ControlKind;
using win::ControlLayout;
using win::ControlTemplate;
using win::DialogLayout;
using win::DialogTemplate;
using win::kIdCancel;
using win::kIdOk;
using win::LocalizeControls;
using win::LocalizeDialog;

constexpr const char* kKeepChoices[] = {"5", "10", "20", "50", "100"};

// --- Templates ---------------------------------------------------------------------------------------------

// Each dialog's geometry once, then its caption and texts per language in the order of its controls.
constexpr DialogLayout kHRValuesLayout{TCaliperHRValuesDlg::kTemplateId, 72, 34};
constexpr ControlLayout kHRValuesControls[] = {
    {-1, ControlKind::kStatic, 4, 3, 22, 8},
    {TCaliperHRValuesDlg::kFirstId, ControlKind::kStatic, 28, 3, 40, 8, win::kSsRight},
    {-1, ControlKind::kStatic, 4, 13, 22, 8},
    {TCaliperHRValuesDlg::kSecondId, ControlKind::kStatic, 28, 13, 40, 8, win::kSsRight},
    {-1, ControlKind::kStatic, 4, 23, 22, 8},
    {TCaliperHRValuesDlg::kThirdId, ControlKind::kStatic, 28, 23, 40, 8, win::kSsRight},
};
constexpr auto kHRValuesEnglish = LocalizeControls(kHRValuesControls, {"RR:", "", "HR:", "", "n:", ""});
constexpr auto kHRValuesGerman = LocalizeControls(kHRValuesControls, {"RR:", "", "HF:", "", "n:", ""});

constexpr DialogLayout kTimeLayout{TCaliperTimeDlg::kTemplateId, 72, 14};
constexpr ControlTemplate kTime[] = {
    {TCaliperTimeDlg::kTextId, ControlKind::kStatic, "", 4, 3, 64, 8, win::kSsCenter},
};
constexpr DialogLayout kAmplitude2Layout{TCaliperAmplitude2Dlg::kTemplateId, 74, 34};
constexpr ControlTemplate kAmplitude2[] = {
    {TCaliperAmplitude2Dlg::kFirstLabelId, ControlKind::kStatic, "", 4, 3, 24, 8},
    {TCaliperAmplitude2Dlg::kFirstValueId, ControlKind::kStatic, "", 30, 3, 40, 8, win::kSsRight},
    {TCaliperAmplitude2Dlg::kSecondLabelId, ControlKind::kStatic, "", 4, 13, 24, 8},
    {TCaliperAmplitude2Dlg::kSecondValueId, ControlKind::kStatic, "", 30, 13, 40, 8, win::kSsRight},
    {-1, ControlKind::kStatic, "ms:", 4, 23, 24, 8},
    {TCaliperAmplitude2Dlg::kTimeId, ControlKind::kStatic, "", 30, 23, 40, 8, win::kSsRight},
};

constexpr DialogLayout kNumberInput{TNumberInputDlg::kTemplateId, 150, 48};
constexpr ControlLayout kNumberInputControls[] = {
    {-1, ControlKind::kStatic, 7, 9, 100, 8},
    {TNumberInputDlg::kTextId, ControlKind::kEdit, 110, 7, 30, 12, win::kEsNumber},
    {kIdOk, ControlKind::kDefPushButton, 40, 28, 50, 14},
    {kIdCancel, ControlKind::kPushButton, 95, 28, 50, 14},
};
constexpr auto kNumberInputEnglish =
    LocalizeControls(kNumberInputControls, {"Number of template classes:", "", "OK", "Cancel"});
constexpr auto kNumberInputGerman =
    LocalizeControls(kNumberInputControls, {"Anzahl der Klassen:", "", "OK", "Abbrechen"});

constexpr DialogLayout kAutoDelete{TAutoDeletePage::kTemplateId, 230, 60, true};
constexpr ControlLayout kAutoDeleteControls[] = {
    {TAutoDeletePage::kSwitchId, ControlKind::kCheckBox, 10, 12, 200, 10},
    {-1, ControlKind::kStatic, 22, 32, 90, 8},
    {TAutoDeletePage::kChoiceId, ControlKind::kComboDropList, 115, 30, 50, 80},
};
constexpr auto kAutoDeleteEnglish = LocalizeControls(
    kAutoDeleteControls, {"Delete the oldest recordings automatically", "Recordings to keep:", ""});
constexpr auto kAutoDeleteGerman = LocalizeControls(
    kAutoDeleteControls, {"Älteste Aufzeichnungen automatisch löschen", "Aufzeichnungen behalten:", ""});

constexpr DialogLayout kFolder{CSelectFolderDialog::kTemplateId, 303, 140};
constexpr ControlLayout kFolderControls[] = {
    {-1, ControlKind::kStatic, 7, 9, 30, 8},
    {CSelectFolderDialog::kFolderEditId, ControlKind::kEdit, 40, 7, 200, 12},
    {CSelectFolderDialog::kFolderListId, ControlKind::kListBox, 40, 24, 200, 110},
    {CSelectFolderDialog::kSelectId, ControlKind::kDefPushButton, 246, 7, 50, 14},
    {kIdCancel, ControlKind::kPushButton, 246, 25, 50, 14},
};
constexpr auto kFolderEnglish = LocalizeControls(kFolderControls, {"Folder:", "", "", "Select", "Cancel"});
constexpr auto kFolderGerman =
    LocalizeControls(kFolderControls, {"Ordner:", "", "", "Auswählen", "Abbrechen"});

constexpr DialogTemplate kEnglishDialogs[] = {
    LocalizeDialog(kHRValuesLayout, "", kHRValuesEnglish),
    LocalizeDialog(kTimeLayout, "", kTime),
    LocalizeDialog(kAmplitude2Layout, "", kAmplitude2),
    LocalizeDialog(kNumberInput, "Template classes", kNumberInputEnglish),
    LocalizeDialog(kAutoDelete, "Automatic deletion", kAutoDeleteEnglish),
    LocalizeDialog(kFolder, "Choose folder", kFolderEnglish),
};
constexpr DialogTemplate kGermanDialogs[] = {
    LocalizeDialog(kHRValuesLayout, "", kHRValuesGerman),
    LocalizeDialog(kTimeLayout, "", kTime),
    LocalizeDialog(kAmplitude2Layout, "", kAmplitude2),
    LocalizeDialog(kNumberInput, "Klassen", kNumberInputGerman),
    LocalizeDialog(kAutoDelete, "Automatisches Löschen", kAutoDeleteGerman),
    LocalizeDialog(kFolder, "Ordner wählen", kFolderGerman),
};

}  // namespace

// --- Caliper read-outs -------------------------------------------------------------------------------------

TCaliperHRValuesDlg::TCaliperHRValuesDlg(win::Window* parent) : win::Dialog(kTemplateId, parent) {
  CreateModeless(parent);
}

void TCaliperHRValuesDlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxText(dx, kFirstId, first);
  win::DdxText(dx, kSecondId, second);
  win::DdxText(dx, kThirdId, third);
}

TCaliperTimeDlg::TCaliperTimeDlg(win::Window* parent) : win::Dialog(kTemplateId, parent) { CreateModeless(parent); }

void TCaliperTimeDlg::DoDataExchange(win::DataExchange& dx) { win::DdxText(dx, kTextId, text); }

TCaliperAmplitude2Dlg::TCaliperAmplitude2Dlg(win::Window* parent) : win::Dialog(kTemplateId, parent) {
  CreateModeless(parent);
}

void TCaliperAmplitude2Dlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxText(dx, kFirstValueId, first_value);
  win::DdxText(dx, kTimeId, time);
  win::DdxText(dx, kSecondValueId, second_value);
}

bool TCaliperAmplitude2Dlg::OnInitDialog() {
  win::Dialog::OnInitDialog();
  const document::ChannelSet& shown = document::Context().g_DisplayChannels;
  const int labels[] = {kFirstLabelId, kSecondLabelId};
  for (int i = 0; i < 2 && i < shown.count; ++i) {
    char text[16];
    std::snprintf(text, sizeof text, "Ch.%d", shown.channels[static_cast<size_t>(i)] + 1);
    SetDlgItemText(labels[i], text);
  }
  return true;
}

// --- Number input ------------------------------------------------------------------------------------------

TNumberInputDlg::TNumberInputDlg(std::string initial_text) : win::Dialog(kTemplateId), text(std::move(initial_text)) {}

TNumberInputDlg::TNumberInputDlg(win::Window* parent) : win::Dialog(kTemplateId, parent) {}

void TNumberInputDlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxText(dx, kTextId, text);
  win::DdvMaxChars(dx, text, kMaxDigits);
}

// --- Automatic deletion page ------------------------------------------------------------------------------------

TAutoDeletePage::TAutoDeletePage() : win::PropertyPage(kTemplateId) {
  AddCommand(kSwitchId, [this] { OnSwitchClicked(); });
}

TAutoDeletePage::TAutoDeletePage(CZK470Doc& doc) : TAutoDeletePage() {
  switch_on = doc.GetSettings().Int(SettingKey::kAutoDeleteOn);
  choice = doc.GetSettings().Int(SettingKey::kAutoDeleteFiles);
}

void TAutoDeletePage::DoDataExchange(win::DataExchange& dx) {
  win::DdxCBIndex(dx, kChoiceId, choice);
  win::DdxCheck(dx, kSwitchId, switch_on);
}

bool TAutoDeletePage::OnInitDialog() {
  if (auto* combo = Item<win::ComboBox>(kChoiceId)) {
    combo->ResetContent();
    for (const char* entry : kKeepChoices) combo->AddString(entry);
  }
  const bool result = win::PropertyPage::OnInitDialog();
  if (win::Window* combo = GetDlgItem(kChoiceId)) combo->EnableWindow(switch_on != 0);
  return result;
}

bool TAutoDeletePage::OnSetActive() {
  const bool result = win::PropertyPage::OnSetActive();
  if (win::Window* combo = GetDlgItem(kChoiceId)) combo->EnableWindow(switch_on != 0);
  return result;
}

void TAutoDeletePage::OnSwitchClicked() {
  switch_on = switch_on != 0 ? 0 : 1;
  if (win::Window* combo = GetDlgItem(kChoiceId)) combo->EnableWindow(switch_on != 0);
  SetModified(true);
}

void AddSmallValueDialogResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack)) {
    win::Templates().Add(pack, kGermanDialogs);
  } else {
    win::Templates().Add(pack, kEnglishDialogs);
  }
  AddSelectFolderStrings(pack);
}
