#include "dialogs/recording_prompt_dlgs.h"

#include <span>

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

using Prompt = TRecordingPromptDlg;
using Length = TRecordingLengthDlg;

// Every prompt has the same frame: six lines of text over OK and Cancel.
constexpr int kPromptWidth = 250;
constexpr int kPromptHeight = 120;
constexpr ControlLayout kPromptControls[] = {
    {-1, ControlKind::kStatic, 10, 8, 230, 10},
    {-1, ControlKind::kStatic, 16, 24, 224, 10},
    {-1, ControlKind::kStatic, 16, 36, 224, 10},
    {-1, ControlKind::kStatic, 16, 48, 224, 10},
    {-1, ControlKind::kStatic, 10, 64, 230, 26},
    {win::kIdOk, ControlKind::kDefPushButton, 70, 98, 50, 14},
    {win::kIdCancel, ControlKind::kPushButton, 130, 98, 50, 14},
};
constexpr DialogLayout kZK130Layout{Prompt::kZK130TemplateId, kPromptWidth, kPromptHeight};
constexpr DialogLayout kZK133Layout{Prompt::kZK133TemplateId, kPromptWidth, kPromptHeight};
constexpr DialogLayout kZK131Layout{Prompt::kZK131TemplateId, kPromptWidth, kPromptHeight};
constexpr DialogLayout kZK131UnitsLayout{Prompt::kZK131UnitsTemplateId, kPromptWidth, kPromptHeight};

constexpr auto kZK130English = LocalizeControls(
    kPromptControls,
    {"Prepare the ZK-130 for the new recording:", "1. Insert a new battery.",
     "2. Connect the recorder and the PC with the opto-cable.", "3. Switch the recorder on (LED flashing).",
     "Attach the electrodes of the two channels, then press OK to program the recorder.", "OK", "Cancel"});
constexpr auto kZK133English = LocalizeControls(
    kPromptControls,
    {"Prepare the ZK-130/3 for the new recording:", "1. Insert a new battery.",
     "2. Connect the recorder and the PC with the opto-cable.", "3. Switch the recorder on (LED flashing).",
     "Attach the electrodes of the three channels, then press OK to program the recorder.", "OK", "Cancel"});
constexpr auto kZK131English = LocalizeControls(
    kPromptControls,
    {"Prepare the ZK-131 for the new recording:", "1. Insert a new battery and the SD card.",
     "2. Connect the recorder and the PC with the USB cable.", "3. Switch the recorder on (LED flashing).",
     "Attach the electrodes of the three channels (IEC colours), then press OK to program the "
     "recorder.",
     "OK", "Cancel"});
constexpr auto kZK131UnitsEnglish = LocalizeControls(
    kPromptControls,
    {"Prepare the ZK-131 for the new recording:", "1. Insert a new battery and the SD card.",
     "2. Connect the recorder and the PC with the USB cable.", "3. Switch the recorder on (LED flashing).",
     "Attach the electrodes of the three channels (AHA colours), then press OK to program the "
     "recorder.",
     "OK", "Cancel"});

constexpr auto kZK130German = LocalizeControls(
    kPromptControls,
    {"Bereiten Sie den ZK-130 für die neue Aufnahme vor:", "1. Legen Sie eine neue Batterie ein.",
     "2. Verbinden Sie Rekorder und PC mit dem Optokabel.", "3. Schalten Sie den Rekorder ein (LED blinkt).",
     "Legen Sie die Elektroden der zwei Kanäle an und drücken Sie OK, um den Rekorder zu "
     "programmieren.",
     "OK", "Abbrechen"});
constexpr auto kZK133German = LocalizeControls(
    kPromptControls,
    {"Bereiten Sie den ZK-130/3 für die neue Aufnahme vor:", "1. Legen Sie eine neue Batterie ein.",
     "2. Verbinden Sie Rekorder und PC mit dem Optokabel.", "3. Schalten Sie den Rekorder ein (LED blinkt).",
     "Legen Sie die Elektroden der drei Kanäle an und drücken Sie OK, um den Rekorder zu "
     "programmieren.",
     "OK", "Abbrechen"});
constexpr auto kZK131German = LocalizeControls(
    kPromptControls,
    {"Bereiten Sie den ZK-131 für die neue Aufnahme vor:",
     "1. Legen Sie eine neue Batterie und die SD-Karte ein.",
     "2. Verbinden Sie Rekorder und PC mit dem USB-Kabel.", "3. Schalten Sie den Rekorder ein (LED blinkt).",
     "Legen Sie die Elektroden der drei Kanäle an (IEC-Farben) und drücken Sie OK, um den "
     "Rekorder zu programmieren.",
     "OK", "Abbrechen"});
constexpr auto kZK131UnitsGerman = LocalizeControls(
    kPromptControls,
    {"Bereiten Sie den ZK-131 für die neue Aufnahme vor:",
     "1. Legen Sie eine neue Batterie und die SD-Karte ein.",
     "2. Verbinden Sie Rekorder und PC mit dem USB-Kabel.", "3. Schalten Sie den Rekorder ein (LED blinkt).",
     "Legen Sie die Elektroden der drei Kanäle an (AHA-Farben) und drücken Sie OK, um den "
     "Rekorder zu programmieren.",
     "OK", "Abbrechen"});

constexpr DialogLayout kLengthLayout{Length::kTemplateId, 160, 92};
constexpr ControlLayout kLengthControls[] = {
    {-1, ControlKind::kGroupBox, 8, 6, 144, 58},
    {Length::kLengthId, ControlKind::kRadioButton, 20, 20, 120, 10, 0, win::kCtlGroup},
    {Length::kLengthId + 1, ControlKind::kRadioButton, 20, 34, 120, 10},
    {Length::kLengthId + 2, ControlKind::kRadioButton, 20, 48, 120, 10},
    {win::kIdOk, ControlKind::kDefPushButton, 22, 70, 50, 14},
    {win::kIdCancel, ControlKind::kPushButton, 88, 70, 50, 14},
};
constexpr auto kLengthEnglish = LocalizeControls(
    kLengthControls, {"Length of the recording", "&24 hours", "&48 hours", "&72 hours", "OK", "Cancel"});
constexpr auto kLengthGerman = LocalizeControls(
    kLengthControls, {"Dauer der Aufnahme", "&24 Stunden", "&48 Stunden", "&72 Stunden", "OK", "Abbrechen"});

constexpr win::DialogTemplate kEnglishDialogs[] = {
    LocalizeDialog(kZK130Layout, "New recording", kZK130English),
    LocalizeDialog(kZK133Layout, "New recording", kZK133English),
    LocalizeDialog(kZK131Layout, "New recording", kZK131English),
    LocalizeDialog(kZK131UnitsLayout, "New recording", kZK131UnitsEnglish),
    LocalizeDialog(kLengthLayout, "Recording length", kLengthEnglish),
};
constexpr win::DialogTemplate kGermanDialogs[] = {
    LocalizeDialog(kZK130Layout, "Neue Aufnahme", kZK130German),
    LocalizeDialog(kZK133Layout, "Neue Aufnahme", kZK133German),
    LocalizeDialog(kZK131Layout, "Neue Aufnahme", kZK131German),
    LocalizeDialog(kZK131UnitsLayout, "Neue Aufnahme", kZK131UnitsGerman),
    LocalizeDialog(kLengthLayout, "Aufnahmedauer", kLengthGerman),
};

}  // namespace

int TRecordingPromptDlg::TemplateFor(int recorder_kind, int units) {
  switch (recorder_kind) {
    case 2:
      return kZK130TemplateId;
    case 3:
      return kZK133TemplateId;
    case 4:
      return units == 1 ? kZK131UnitsTemplateId : kZK131TemplateId;
    default:
      return 0;
  }
}

void TRecordingLengthDlg::DoDataExchange(win::DataExchange& dx) { win::DdxRadio(dx, kLengthId, choice); }

void AddRecordingPromptResources(platform::ResourcePack& pack) {
  win::Templates().Add(pack, win::IsGermanPack(pack) ? std::span<const win::DialogTemplate>(kGermanDialogs)
                                                     : std::span<const win::DialogTemplate>(kEnglishDialogs));
}
