#include "dialogs/small_value_dlgs.h"

#include <cstdio>

#include "dialogs/select_folder_dialog.h"
#include "document/document_context.h"
#include "document/zk470_doc.h"
#include "platform/resources.h"
#include "win/data_exchange.h"
#include "win/dialog_template.h"

namespace {

using win::ControlKind;
using win::ControlTemplate;
using win::DialogTemplate;
using win::kIdCancel;
using win::kIdOk;

constexpr const char* kKeepChoices[] = {"5", "10", "20", "50", "100"};

// --- Templates ---------------------------------------------------------------------------------------------

constexpr ControlTemplate kHRValues[] = {
    {-1, ControlKind::kStatic, "RR:", 4, 3, 22, 8},
    {TCaliperHRValuesDlg::kFirstId, ControlKind::kStatic, "", 28, 3, 40, 8, win::kSsRight},
    {-1, ControlKind::kStatic, "HR:", 4, 13, 22, 8},
    {TCaliperHRValuesDlg::kSecondId, ControlKind::kStatic, "", 28, 13, 40, 8, win::kSsRight},
    {-1, ControlKind::kStatic, "n:", 4, 23, 22, 8},
    {TCaliperHRValuesDlg::kThirdId, ControlKind::kStatic, "", 28, 23, 40, 8, win::kSsRight},
};
constexpr ControlTemplate kHRValuesGerman[] = {
    {-1, ControlKind::kStatic, "RR:", 4, 3, 22, 8},
    {TCaliperHRValuesDlg::kFirstId, ControlKind::kStatic, "", 28, 3, 40, 8, win::kSsRight},
    {-1, ControlKind::kStatic, "HF:", 4, 13, 22, 8},
    {TCaliperHRValuesDlg::kSecondId, ControlKind::kStatic, "", 28, 13, 40, 8, win::kSsRight},
    {-1, ControlKind::kStatic, "n:", 4, 23, 22, 8},
    {TCaliperHRValuesDlg::kThirdId, ControlKind::kStatic, "", 28, 23, 40, 8, win::kSsRight},
};
constexpr ControlTemplate kTime[] = {
    {TCaliperTimeDlg::kTextId, ControlKind::kStatic, "", 4, 3, 64, 8, win::kSsCenter},
};
constexpr ControlTemplate kAmplitude2[] = {
    {TCaliperAmplitude2Dlg::kFirstLabelId, ControlKind::kStatic, "", 4, 3, 24, 8},
    {TCaliperAmplitude2Dlg::kFirstValueId, ControlKind::kStatic, "", 30, 3, 40, 8, win::kSsRight},
    {TCaliperAmplitude2Dlg::kSecondLabelId, ControlKind::kStatic, "", 4, 13, 24, 8},
    {TCaliperAmplitude2Dlg::kSecondValueId, ControlKind::kStatic, "", 30, 13, 40, 8, win::kSsRight},
    {-1, ControlKind::kStatic, "ms:", 4, 23, 24, 8},
    {TCaliperAmplitude2Dlg::kTimeId, ControlKind::kStatic, "", 30, 23, 40, 8, win::kSsRight},
};
constexpr ControlTemplate kNumberInputEnglish[] = {
    {-1, ControlKind::kStatic, "Number of template classes:", 7, 9, 100, 8},
    {TNumberInputDlg::kTextId, ControlKind::kEdit, "", 110, 7, 30, 12, win::kEsNumber},
    {kIdOk, ControlKind::kDefPushButton, "OK", 40, 28, 50, 14},
    {kIdCancel, ControlKind::kPushButton, "Cancel", 95, 28, 50, 14},
};
constexpr ControlTemplate kNumberInputGerman[] = {
    {-1, ControlKind::kStatic, "Anzahl der Klassen:", 7, 9, 100, 8},
    {TNumberInputDlg::kTextId, ControlKind::kEdit, "", 110, 7, 30, 12, win::kEsNumber},
    {kIdOk, ControlKind::kDefPushButton, "OK", 40, 28, 50, 14},
    {kIdCancel, ControlKind::kPushButton, "Abbrechen", 95, 28, 50, 14},
};
constexpr ControlTemplate kAutoDeleteEnglish[] = {
    {TAutoDeletePage::kSwitchId, ControlKind::kCheckBox, "Delete the oldest recordings automatically", 10, 12, 200,
     10},
    {-1, ControlKind::kStatic, "Recordings to keep:", 22, 32, 90, 8},
    {TAutoDeletePage::kChoiceId, ControlKind::kComboDropList, "", 115, 30, 50, 80},
};
constexpr ControlTemplate kAutoDeleteGerman[] = {
    {TAutoDeletePage::kSwitchId, ControlKind::kCheckBox, "Älteste Aufzeichnungen automatisch löschen", 10, 12, 200,
     10},
    {-1, ControlKind::kStatic, "Aufzeichnungen behalten:", 22, 32, 90, 8},
    {TAutoDeletePage::kChoiceId, ControlKind::kComboDropList, "", 115, 30, 50, 80},
};
constexpr ControlTemplate kFolderEnglish[] = {
    {-1, ControlKind::kStatic, "Folder:", 7, 9, 30, 8},
    {CSelectFolderDialog::kFolderEditId, ControlKind::kEdit, "", 40, 7, 200, 12},
    {CSelectFolderDialog::kFolderListId, ControlKind::kListBox, "", 40, 24, 200, 110},
    {CSelectFolderDialog::kSelectId, ControlKind::kDefPushButton, "Select", 246, 7, 50, 14},
    {kIdCancel, ControlKind::kPushButton, "Cancel", 246, 25, 50, 14},
};
constexpr ControlTemplate kFolderGerman[] = {
    {-1, ControlKind::kStatic, "Ordner:", 7, 9, 30, 8},
    {CSelectFolderDialog::kFolderEditId, ControlKind::kEdit, "", 40, 7, 200, 12},
    {CSelectFolderDialog::kFolderListId, ControlKind::kListBox, "", 40, 24, 200, 110},
    {CSelectFolderDialog::kSelectId, ControlKind::kDefPushButton, "Auswählen", 246, 7, 50, 14},
    {kIdCancel, ControlKind::kPushButton, "Abbrechen", 246, 25, 50, 14},
};

constexpr DialogTemplate kEnglishDialogs[] = {
    {TCaliperHRValuesDlg::kTemplateId, "", 72, 34, kHRValues},
    {TCaliperTimeDlg::kTemplateId, "", 72, 14, kTime},
    {TCaliperAmplitude2Dlg::kTemplateId, "", 74, 34, kAmplitude2},
    {TNumberInputDlg::kTemplateId, "Template classes", 150, 48, kNumberInputEnglish},
    {TAutoDeletePage::kTemplateId, "Automatic deletion", 230, 60, kAutoDeleteEnglish, true},
    {CSelectFolderDialog::kTemplateId, "Choose folder", 303, 140, kFolderEnglish},
};
constexpr DialogTemplate kGermanDialogs[] = {
    {TCaliperHRValuesDlg::kTemplateId, "", 72, 34, kHRValuesGerman},
    {TCaliperTimeDlg::kTemplateId, "", 72, 14, kTime},
    {TCaliperAmplitude2Dlg::kTemplateId, "", 74, 34, kAmplitude2},
    {TNumberInputDlg::kTemplateId, "Klassen", 150, 48, kNumberInputGerman},
    {TAutoDeletePage::kTemplateId, "Automatisches Löschen", 230, 60, kAutoDeleteGerman, true},
    {CSelectFolderDialog::kTemplateId, "Ordner wählen", 303, 140, kFolderGerman},
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
