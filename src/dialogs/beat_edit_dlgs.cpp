#include "dialogs/beat_edit_dlgs.h"

#include <span>

#include "analysis/editing/beat_editor.h"
#include "platform/resources.h"
#include "win/data_exchange.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"

namespace {

using win::ControlKind;
using win::ControlLayout;
using win::DialogLayout;
using win::LocalizeControls;
using win::LocalizeDialog;

using Edit = TBeatEditDlg;
static_assert(Edit::kDeleteBeatId == analysis::kBeatDlgDeleteBeat &&
                  Edit::kDeleteEventId == analysis::kBeatDlgDeleteEvent,
              "the editor acts on the dialog's end codes");
using Choice = TBeatEditChoiceDlg;

constexpr DialogLayout kEditLayout{Edit::kTemplateId, 196, 96};
constexpr ControlLayout kEditControls[] = {
    {-1, ControlKind::kGroupBox, 7, 4, 80, 66},
    {Edit::kNormalId, ControlKind::kRadioButton, 14, 16, 68, 10, 0, win::kCtlGroup},
    {Edit::kSVESId, ControlKind::kRadioButton, 14, 29, 68, 10},
    {Edit::kVESId, ControlKind::kRadioButton, 14, 42, 68, 10},
    {Edit::kArtefactId, ControlKind::kRadioButton, 14, 55, 68, 10},
    {Edit::kDeleteBeatId, ControlKind::kPushButton, 95, 8, 94, 14, 0, win::kCtlGroup},
    {Edit::kDeleteBeatNoteId, ControlKind::kStatic, 95, 24, 94, 8},
    {Edit::kDeleteEventId, ControlKind::kPushButton, 95, 38, 94, 14},
    {Edit::kDeleteEventNoteId, ControlKind::kStatic, 95, 54, 94, 8},
    {win::kIdOk, ControlKind::kDefPushButton, 41, 76, 50, 14},
    {win::kIdCancel, ControlKind::kPushButton, 105, 76, 50, 14},
};
constexpr auto kEditEnglish = LocalizeControls(
    kEditControls, {"Class", "&Normal", "&SVES", "&VES", "&Artefact", "&Delete beat", "Removes the beat",
                    "Delete &event", "Removes the event here", "OK", "Cancel"});
constexpr auto kEditGerman = LocalizeControls(
    kEditControls, {"Klasse", "&Normal", "&SVES", "&VES", "&Artefakt", "Schlag &löschen",
                    "Entfernt den Schlag", "&Ereignis löschen", "Entfernt das Ereignis", "OK", "Abbrechen"});

constexpr DialogLayout kChoiceLayout{Choice::kTemplateId, 130, 96};
constexpr ControlLayout kChoiceControls[] = {
    {-1, ControlKind::kGroupBox, 7, 4, 116, 66},
    {Choice::kNormalId, ControlKind::kRadioButton, 14, 16, 100, 10, 0, win::kCtlGroup},
    {Choice::kSVESId, ControlKind::kRadioButton, 14, 29, 100, 10},
    {Choice::kVESId, ControlKind::kRadioButton, 14, 42, 100, 10},
    {Choice::kArtefactId, ControlKind::kRadioButton, 14, 55, 100, 10},
    {win::kIdOk, ControlKind::kDefPushButton, 7, 76, 50, 14, 0, win::kCtlGroup},
    {win::kIdCancel, ControlKind::kPushButton, 73, 76, 50, 14},
};
constexpr auto kChoiceEnglish = LocalizeControls(
    kChoiceControls, {"Class of the new beat", "&Normal", "&SVES", "&VES", "&Artefact", "OK", "Cancel"});
constexpr auto kChoiceGerman = LocalizeControls(
    kChoiceControls,
    {"Klasse des neuen Schlags", "&Normal", "&SVES", "&VES", "&Artefakt", "OK", "Abbrechen"});

constexpr win::DialogTemplate kEnglishDialogs[] = {
    LocalizeDialog(kEditLayout, "Edit beat", kEditEnglish),
    LocalizeDialog(kChoiceLayout, "Insert beat", kChoiceEnglish),
};
constexpr win::DialogTemplate kGermanDialogs[] = {
    LocalizeDialog(kEditLayout, "Schlag bearbeiten", kEditGerman),
    LocalizeDialog(kChoiceLayout, "Schlag einfügen", kChoiceGerman),
};

}  // namespace

TBeatEditDlg::TBeatEditDlg(int32_t choice, int32_t event_flag, win::Window* parent)
    : win::Dialog(kTemplateId, parent), choice(choice), event_flag(event_flag) {
  for (const int id : {kNormalId, kSVESId, kVESId}) AddCommand(id, [this] { OnClassClicked(); });
  AddCommand(kDeleteBeatId, [this] { EndDialog(kDeleteBeatId); });
  AddCommand(kDeleteEventId, [this] { EndDialog(kDeleteEventId); });
}

bool TBeatEditDlg::OnInitDialog() {
  win::Dialog::OnInitDialog();
  if (event_flag == 0) {
    if (win::Window* button = GetDlgItem(kDeleteEventId)) button->EnableWindow(false);
  }
  return true;
}

void TBeatEditDlg::DoDataExchange(win::DataExchange& dx) { win::DdxRadio(dx, kNormalId, choice); }

void TBeatEditDlg::OnClassClicked() {
  for (const int id : {kDeleteBeatNoteId, kDeleteEventNoteId}) {
    if (win::Window* note = GetDlgItem(id)) note->EnableWindow(false);
  }
}

TBeatEditChoiceDlg::TBeatEditChoiceDlg(int32_t choice, win::Window* parent)
    : win::Dialog(kTemplateId, parent), choice(choice) {}

void TBeatEditChoiceDlg::DoDataExchange(win::DataExchange& dx) { win::DdxRadio(dx, kNormalId, choice); }

void InstallBeatEditDialogs() {
  TBeatEditor::Hooks& hooks = TBeatEditor::DefaultHooks();
  hooks.beat_dialog = [](int initial_choice, int event_flag, int& choice) {
    TBeatEditDlg dialog(initial_choice, event_flag);
    const int result = dialog.DoModal();
    if (result == win::kIdOk) choice = dialog.choice;
    return result;
  };
  hooks.choice_dialog = [](int& choice) {
    TBeatEditChoiceDlg dialog(choice);
    const int result = dialog.DoModal();
    if (result == win::kIdOk) choice = dialog.choice;
    return result;
  };
}

void AddBeatEditDialogResources(platform::ResourcePack& pack) {
  win::Templates().Add(pack, win::IsGermanPack(pack) ? std::span<const win::DialogTemplate>(kGermanDialogs)
                                                     : std::span<const win::DialogTemplate>(kEnglishDialogs));
}
