#include "dialogs/dialog_resources.h"

#include <array>
#include <string_view>

#include "dialogs/auto_close_notice_dlg.h"
#include "dialogs/busy_dlg.h"
#include "dialogs/comm_error_dlg.h"
#include "dialogs/items_dlg.h"
#include "dialogs/property_sheet.h"
#include "dialogs/small_dlgs.h"
#include "dialogs/wait_dlgs.h"
#include "platform/resources.h"
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

constexpr platform::StringEntry kEnglishStrings[] = {
    {TBusyDlg::kOpeningCaption, "Opening the recording ..."},
    {TBusyDlg::kBusyCaption, "Please wait ..."},
    {TPropertySheet::kExtraButtonText, "Play"},
    {TDeleteChoiceDlg::kConfirmQuestion, "Do you really want to delete this recording and all its files?"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {TBusyDlg::kOpeningCaption, "Aufzeichnung wird geöffnet ..."},
    {TBusyDlg::kBusyCaption, "Bitte warten ..."},
    {TPropertySheet::kExtraButtonText, "Abspielen"},
    {TDeleteChoiceDlg::kConfirmQuestion,
     "Wollen Sie diese Aufzeichnung mit allen ihren Dateien wirklich löschen?"},
};

// Each dialog's geometry once, then its caption and texts per language in the order of its controls.

// Busy dialog: the caption tells what is going on; animation, bar and Cancel stay hidden.
constexpr DialogLayout kBusy{TBusyDlg::kTemplateId, 180, 64};
constexpr ControlLayout kBusyControls[] = {
    {-1, ControlKind::kStatic, 10, 12, 160, 10},
    {TBusyDlg::kAnimationId, ControlKind::kAnimation, 10, 26, 160, 20},
    {TBusyDlg::kProgressId, ControlKind::kProgressBar, 10, 48, 100, 8},
    {TBusyDlg::kCancelId, ControlKind::kPushButton, 120, 45, 50, 14},
};
constexpr auto kBusyEnglish =
    LocalizeControls(kBusyControls, {"The program is busy. Please wait ...", "", "", "Cancel"});
constexpr auto kBusyGerman =
    LocalizeControls(kBusyControls, {"Das Programm arbeitet. Bitte warten ...", "", "", "Abbrechen"});

constexpr DialogLayout kNotice{TAutoCloseNoticeDlg::kTemplateId, 160, 38};
constexpr ControlLayout kNoticeControls[] = {
    {-1, ControlKind::kStatic, 10, 14, 140, 10, win::kSsCenter},
};
constexpr auto kNoticeEnglish = LocalizeControls(kNoticeControls, {"The recording has been saved."});
constexpr auto kNoticeGerman = LocalizeControls(kNoticeControls, {"Die Aufzeichnung wurde gespeichert."});

constexpr DialogLayout kRecalc{TRecalcProgressDlg::kTemplateId, 200, 44};
constexpr ControlLayout kRecalcControls[] = {
    {-1, ControlKind::kStatic, 10, 14, 180, 20},
};
constexpr auto kRecalcEnglish =
    LocalizeControls(kRecalcControls, {"The pacemaker beats are being analysed. Please wait ..."});
constexpr auto kRecalcGerman =
    LocalizeControls(kRecalcControls, {"Die Schrittmacherschläge werden ausgewertet. Bitte warten ..."});

constexpr DialogLayout kWorkWait{TWorkWaitDlg::kTemplateId, 200, 44};
constexpr ControlLayout kWorkWaitControls[] = {
    {-1, ControlKind::kStatic, 10, 14, 180, 20},
};
constexpr auto kWorkWaitEnglish =
    LocalizeControls(kWorkWaitControls, {"Old recordings are being deleted. Please wait ..."});
constexpr auto kWorkWaitGerman =
    LocalizeControls(kWorkWaitControls, {"Alte Aufzeichnungen werden gelöscht. Bitte warten ..."});

constexpr DialogLayout kDateInputLayout{TDateInputDlg::kTemplateId, 114, 26};
constexpr ControlTemplate kDateInput[] = {
    {TDateInputDlg::kFieldId, ControlKind::kEdit, "", 7, 7, 100, 12},
};

constexpr DialogLayout kThreeText{TThreeTextDlg::kTemplateId, 237, 81};
constexpr ControlLayout kThreeTextControls[] = {
    {-1, ControlKind::kStatic, 7, 9, 50, 8},
    {TThreeTextDlg::kFirstId, ControlKind::kEdit, 60, 7, 170, 12},
    {-1, ControlKind::kStatic, 7, 25, 50, 8},
    {TThreeTextDlg::kSecondId, ControlKind::kEdit, 60, 23, 170, 12},
    {-1, ControlKind::kStatic, 7, 41, 50, 8},
    {TThreeTextDlg::kThirdId, ControlKind::kEdit, 60, 39, 170, 12},
    {kIdOk, ControlKind::kDefPushButton, 125, 60, 50, 14},
    {kIdCancel, ControlKind::kPushButton, 180, 60, 50, 14},
};
constexpr auto kThreeTextEnglish = LocalizeControls(
    kThreeTextControls, {"First line:", "", "Second line:", "", "Third line:", "", "OK", "Cancel"});
constexpr auto kThreeTextGerman = LocalizeControls(
    kThreeTextControls, {"Erste Zeile:", "", "Zweite Zeile:", "", "Dritte Zeile:", "", "OK", "Abbrechen"});

// Delete dialogs: "Delete" is no default button, so Enter deletes nothing.
constexpr DialogLayout kDeleteChoice{TDeleteChoiceDlg::kTemplateId, 180, 53};
constexpr ControlLayout kDeleteChoiceControls[] = {
    {-1, ControlKind::kStatic, 10, 12, 160, 10},
    {DeleteDialog::kDeleteId, ControlKind::kPushButton, 65, 32, 50, 14},
    {kIdCancel, ControlKind::kPushButton, 120, 32, 50, 14},
};
constexpr auto kDeleteChoiceEnglish =
    LocalizeControls(kDeleteChoiceControls, {"Delete the recording shown?", "&Delete", "Cancel"});
constexpr auto kDeleteChoiceGerman = LocalizeControls(
    kDeleteChoiceControls, {"Die angezeigte Aufzeichnung löschen?", "&Löschen", "Abbrechen"});

constexpr DialogLayout kDeleteConfirm{TDeleteConfirmDlg::kTemplateId, 180, 57};
constexpr ControlLayout kDeleteConfirmControls[] = {
    {-1, ControlKind::kStatic, 10, 12, 160, 18},
    {DeleteDialog::kDeleteId, ControlKind::kPushButton, 65, 36, 50, 14},
    {kIdCancel, ControlKind::kPushButton, 120, 36, 50, 14},
};
// The automation's choice when a folder holds a recording and its PDF: 1245 opens the PDF.
constexpr auto kDeleteConfirmEnglish = LocalizeControls(
    kDeleteConfirmControls,
    {"The folder holds a recording and its PDF document. Which one is to be opened?", "&PDF", "&Recording"});
constexpr auto kDeleteConfirmGerman = LocalizeControls(
    kDeleteConfirmControls,
    {"Der Ordner enthält eine Aufzeichnung und ihr PDF-Dokument. Welches soll geöffnet werden?", "&PDF",
     "&Aufzeichnung"});

constexpr DialogLayout kInterfaceTest{TInterfaceTestDlg::kTemplateId, 200, 59};
constexpr ControlLayout kInterfaceTestControls[] = {
    {-1, ControlKind::kStatic, 10, 10, 180, 20},
    {kIdOk, ControlKind::kDefPushButton, 85, 38, 50, 14},
    {kIdCancel, ControlKind::kPushButton, 140, 38, 50, 14},
};
constexpr auto kInterfaceTestEnglish = LocalizeControls(
    kInterfaceTestControls,
    {"Connect the recorder to the interface and switch it on. Press OK to test the connection.", "OK",
     "Cancel"});
constexpr auto kInterfaceTestGerman = LocalizeControls(
    kInterfaceTestControls,
    {"Verbinden Sie den Rekorder mit der Schnittstelle und schalten Sie ihn ein. Mit OK wird die "
     "Verbindung geprüft.",
     "OK", "Abbrechen"});

constexpr DialogTemplate kEnglishDialogs[] = {
    LocalizeDialog(kBusy, "", kBusyEnglish),
    LocalizeDialog(kNotice, "Save", kNoticeEnglish),
    LocalizeDialog(kRecalc, "Pacemaker analysis", kRecalcEnglish),
    LocalizeDialog(kWorkWait, "Deleting old recordings", kWorkWaitEnglish),
    LocalizeDialog(kDateInputLayout, "Date", kDateInput),
    LocalizeDialog(kThreeText, "Texts", kThreeTextEnglish),
    LocalizeDialog(kDeleteChoice, "Delete recording", kDeleteChoiceEnglish),
    LocalizeDialog(kDeleteConfirm, "Delete recording", kDeleteConfirmEnglish),
    LocalizeDialog(kInterfaceTest, "Interface test", kInterfaceTestEnglish),
};

constexpr DialogTemplate kGermanDialogs[] = {
    LocalizeDialog(kBusy, "", kBusyGerman),
    LocalizeDialog(kNotice, "Speichern", kNoticeGerman),
    LocalizeDialog(kRecalc, "Schrittmacheranalyse", kRecalcGerman),
    LocalizeDialog(kWorkWait, "Alte Aufzeichnungen löschen", kWorkWaitGerman),
    LocalizeDialog(kDateInputLayout, "Datum", kDateInput),
    LocalizeDialog(kThreeText, "Texte", kThreeTextGerman),
    LocalizeDialog(kDeleteChoice, "Aufzeichnung löschen", kDeleteChoiceGerman),
    LocalizeDialog(kDeleteConfirm, "Aufzeichnung löschen", kDeleteConfirmGerman),
    LocalizeDialog(kInterfaceTest, "Schnittstellentest", kInterfaceTestGerman),
};

// The program's own templates, in English only.
constexpr ControlTemplate kItems[] = {
    {TItemsDlg::kListId, ControlKind::kListView, "", 7, 7, 200, 120,
     win::kLvsReport | win::kLvsShowSelAlways},
    {kIdOk, ControlKind::kDefPushButton, "Select", 214, 7, 60, 14},
    {kIdCancel, ControlKind::kPushButton, "Cancel", 214, 25, 60, 14},
    {TItemsDlg::kSearchAgainId, ControlKind::kPushButton, "Search again", 214, 113, 60, 14},
};

constexpr ControlTemplate kCommError[] = {
    {1, ControlKind::kDefPushButton, "Retry", 176, 195, 50, 14},
    {2, ControlKind::kPushButton, "Cancel", 238, 195, 50, 14},
    {-1, ControlKind::kPicture, "#232", 7, 7, 21, 20},
    {-1, ControlKind::kGroupBox, "Possible causes :", 35, 7, 253, 180},
    {-1, ControlKind::kStatic, "1.", 42, 20, 10, 8},
    {-1, ControlKind::kStatic, "The opto-cable or the USB-Converter is not plugged in :", 54, 20, 230, 8},
    {-1, ControlKind::kStatic, "- AT-Card : Connect the Holter and the PC with the opto-cable.", 54, 32, 230,
     8},
    {-1, ControlKind::kStatic, "- USB: Connect the Holter and the USB-Converter with the opto-cable", 54, 42,
     230, 8},
    {-1, ControlKind::kStatic, "  and connect the USB-Converter with the PC.", 54, 52, 230, 8},
    {-1, ControlKind::kStatic, "2.", 42, 68, 10, 8},
    {-1, ControlKind::kStatic, "The Holter is switched off (LED off):", 54, 68, 230, 8},
    {-1, ControlKind::kStatic, "- Press the event button once shortly (LED flashing).", 54, 80, 230, 8},
    {-1, ControlKind::kStatic, "3.", 42, 96, 10, 8},
    {-1, ControlKind::kStatic, "The Holter is still in recording mode (LED flashing slowly) :", 54, 96, 230,
     8},
    {-1, ControlKind::kStatic, "- Hold the event button pressed for approximately 4 seconds until the", 54,
     108, 230, 8},
    {-1, ControlKind::kStatic, "  LED lights continuously, then release the button. The Holter is now", 54,
     118, 230, 8},
    {-1, ControlKind::kStatic, "  switched off. ", 54, 128, 230, 8},
    {-1, ControlKind::kStatic, "- To turn on the Holter again press the event button once", 54, 144, 230, 8},
    {-1, ControlKind::kStatic, "  shortly (LED flashing).", 54, 154, 230, 8},
};

// German clinics choose their recorder with it: the German pack carries its own copy.
constexpr ControlTemplate kItemsGerman[] = {
    {TItemsDlg::kListId, ControlKind::kListView, "", 7, 7, 200, 120,
     win::kLvsReport | win::kLvsShowSelAlways},
    {kIdOk, ControlKind::kDefPushButton, "Auswählen", 214, 7, 60, 14},
    {kIdCancel, ControlKind::kPushButton, "Abbrechen", 214, 25, 60, 14},
    {TItemsDlg::kSearchAgainId, ControlKind::kPushButton, "Erneut suchen", 214, 113, 60, 14},
};

constexpr DialogTemplate kOwnDialogs[] = {
    {TItemsDlg::kTemplateId, "Items", 281, 134, kItems},
    {TCommErrorDlg::kTemplateId, "Communication error !", 295, 216, kCommError},
};

// The file icons as pixel maps: a sheet with a dog-ear, and what marks the kind on it.
// '.' background, 'k' outline, 'w' paper, 'g' grey text, 'r' red, 'b' blue.
using IconRows = std::array<std::string_view, 16>;

// clang-format off
constexpr IconRows kRecordingIcon = {
    "..kkkkkkkk......",
    "..kwwwwwwkk.....",
    "..kwwwwwwkwk....",
    "..kwwwwwwkwwk...",
    "..kwwwwwwkkkkk..",
    "..kwwwwwwrwwwk..",
    "..kwwwwwwrwwwk..",
    "..kwwwwwrwrwwk..",
    "..kwwwwwrwrwwk..",
    "..kwrrwwrwrwwk..",
    "..krwwrrrwrrrk..",
    "..kwwwwwwwrwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kkkkkkkkkkkk..",
};

constexpr IconRows kPdfIcon = {
    "..kkkkkkkk......",
    "..kwwwwwwkk.....",
    "..kwggggwkwk....",
    "..kwwwwwwkwwk...",
    "..kwggggwkkkkk..",
    "..kwwwwwwwwwwk..",
    "..kwggggggggwk..",
    "..kwwwwwwwwwwk..",
    "..kwggggggwwwk..",
    "..kwwwwwwwwwwk..",
    "..krrrrrrrrrrk..",
    "..krrrrrrrrrrk..",
    "..krrrrrrrrrrk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kkkkkkkkkkkk..",
};

constexpr IconRows kKztIcon = {
    "..kkkkkkkk......",
    "..kwwwwwwkk.....",
    "..kwwwwwwkwk....",
    "..kwwwwwwkwwk...",
    "..kwwwwwwkkkkk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwbwwwk..",
    "..kwbbbbbbbwwk..",
    "..kwwwwwwbwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwbwwwwwwk..",
    "..kwwbbbbbbbwk..",
    "..kwwwbwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kkkkkkkkkkkk..",
};
// clang-format on

gfx::Color IconColor(char code) {
  switch (code) {
    case 'k':
      return gfx::Rgb(64, 64, 64);
    case 'w':
      return gfx::Rgb(255, 255, 255);
    case 'g':
      return gfx::Rgb(160, 160, 160);
    case 'r':
      return gfx::Rgb(200, 0, 0);
    case 'b':
      return gfx::Rgb(0, 64, 192);
    default:
      return kDialogIconMask;
  }
}

gfx::Bitmap IconFromRows(const IconRows& rows) {
  gfx::Bitmap icon(16, 16, kDialogIconMask);
  for (int y = 0; y < 16; ++y) {
    const std::string_view row = rows[static_cast<size_t>(y)];
    for (int x = 0; x < 16 && x < static_cast<int>(row.size()); ++x) {
      icon.SetPixel(x, y, IconColor(row[static_cast<size_t>(x)]));
    }
  }
  return icon;
}

}  // namespace

void AddDialogResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack)) {
    pack.AddStrings(kGermanStrings);
    win::Templates().Add(pack, kGermanDialogs);
    static constexpr DialogTemplate kGermanItems[] = {
        {TItemsDlg::kTemplateId, "Einträge", 281, 134, kItemsGerman}};
    win::Templates().Add(pack, kGermanItems);
    return;
  }
  pack.AddStrings(kEnglishStrings);
  win::Templates().Add(pack, kEnglishDialogs);
  // The list's own template is English; the English pack holds it as the German one holds its copy.
  static constexpr DialogTemplate kEnglishItems[] = {kOwnDialogs[0]};
  win::Templates().Add(pack, kEnglishItems);
  if (win::IsExePack(pack)) win::Templates().Add(pack, kOwnDialogs);
}

gfx::Bitmap LoadDialogIcon(int id) {
  switch (id) {
    case 305:
      return IconFromRows(kRecordingIcon);
    case 131:
      return IconFromRows(kPdfIcon);
    case 132:
      return IconFromRows(kKztIcon);
    default:
      return {};
  }
}
