#include "dialogs/patient_dialog_resources.h"

#include "dialogs/assignment_page.h"
#include "dialogs/diagnosis_page.h"
#include "dialogs/findings_dlg.h"
#include "dialogs/hrv_time_dlg.h"
#include "dialogs/patient_dialog_ids.h"
#include "dialogs/patient_narrative_page.h"
#include "dialogs/patient_property_page.h"
#include "dialogs/record_property_page.h"
#include "dialogs/recording_browser_dlg.h"
#include "platform/resources.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"

namespace {

using win::ControlKind;
using win::ControlLayout;
using win::ControlTemplate;
using win::DialogLayout;
using win::DialogTemplate;
using win::LocalizeControls;
using win::LocalizeDialog;
namespace ids = dialogs::ids;

constexpr uint32_t kMultiline = win::kEsMultiline;
constexpr uint32_t kReadOnly = win::kEsReadOnly;

constexpr platform::StringEntry kEnglishStrings[] = {
    {ids::kPatientSheetCaption, "Patient Data"},
    {ids::kStopButton, "Stop"},
    {ids::kHeightUnitImperial, "in"},
    {ids::kHintYear, "yy"},
    {ids::kHintMonth, "mm"},
    {ids::kHintDay, "dd"},
    {ids::kHintHour, "hh"},
    {ids::kHintMinute, "mm"},
    {ids::kHintSecond, "ss"},
    {ids::kSexNone, "-"},
    {ids::kSexFemale, "female"},
    {ids::kSexMale, "male"},
    {ids::kBrowserNameColumn, "Name"},
    {ids::kBrowserDateColumn, "Date"},
    {ids::kBrowserFolderTitle, "Choose a folder"},
    {ids::kBrowserFinalizedMark, "F"},
    {ids::kBrowserArchivedMark, "A"},
    {ids::kBrowserFilterFirst + 0, "All files"},
    {ids::kBrowserFilterFirst + 1, "Finalized"},
    {ids::kBrowserFilterFirst + 2, "Not finalized"},
    {ids::kBrowserFilterFirst + 3, "Archived"},
    {ids::kBrowserFilterFirst + 4, "Not archived"},
    {ids::kArchiveCopyToCaption, "Copy Recordings to the Archive"},
    {ids::kArchiveCopyFromCaption, "Copy Recordings from the Archive"},
    {ids::kOpenCaption, "Open"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {ids::kPatientSheetCaption, "Patientendaten"},
    {ids::kStopButton, "Stopp"},
    {ids::kHeightUnitImperial, "in"},
    {ids::kHintYear, "JJ"},
    {ids::kHintMonth, "MM"},
    {ids::kHintDay, "TT"},
    {ids::kHintHour, "hh"},
    {ids::kHintMinute, "mm"},
    {ids::kHintSecond, "ss"},
    {ids::kSexNone, "-"},
    {ids::kSexFemale, "weiblich"},
    {ids::kSexMale, "männlich"},
    {ids::kBrowserNameColumn, "Name"},
    {ids::kBrowserDateColumn, "Datum"},
    {ids::kBrowserFolderTitle, "Ordner wählen"},
    {ids::kBrowserFinalizedMark, "V"},
    {ids::kBrowserArchivedMark, "A"},
    {ids::kBrowserFilterFirst + 0, "Alle Dateien"},
    {ids::kBrowserFilterFirst + 1, "Abgeschlossen"},
    {ids::kBrowserFilterFirst + 2, "Nicht abgeschlossen"},
    {ids::kBrowserFilterFirst + 3, "Archiviert"},
    {ids::kBrowserFilterFirst + 4, "Nicht archiviert"},
    {ids::kArchiveCopyToCaption, "Aufzeichnungen ins Archiv kopieren"},
    {ids::kArchiveCopyFromCaption, "Aufzeichnungen aus dem Archiv kopieren"},
    {ids::kOpenCaption, "Öffnen"},
};

using P = CPatientPropertyPage;
using R = CRecordPropertyPage;
using N = CPatientNarrativePage;
using B = TRecordingBrowserDlg;

// Each dialog's geometry once, then its caption and texts per language in the order of its controls.
// Pages are 300 x 200 dialog units; labels at the left, fields from x 75.
constexpr DialogLayout kPatientPage{CPatientPropertyPage::kTemplateId, 300, 200, true};
constexpr ControlLayout kPatientControls[] = {
    {-1, ControlKind::kStatic, 7, 9, 65, 10},
    {P::kFirstNameId, ControlKind::kEdit, 75, 7, 120, 12},
    {-1, ControlKind::kStatic, 7, 25, 65, 10},
    {P::kLastNameId, ControlKind::kEdit, 75, 23, 120, 12},
    {-1, ControlKind::kStatic, 7, 41, 65, 10},
    {P::kPatientIdId, ControlKind::kEdit, 75, 39, 90, 12},
    {-1, ControlKind::kStatic, 7, 57, 65, 10},
    {P::kBirthDateId, ControlKind::kEdit, 75, 55, 60, 12},
    {P::kBirthDateHintId, ControlKind::kStatic, 140, 57, 110, 10},
    {-1, ControlKind::kStatic, 7, 73, 65, 10},
    {P::kSexId, ControlKind::kComboDropList, 75, 71, 60, 14},
    {-1, ControlKind::kStatic, 7, 89, 65, 10},
    {P::kHeightId, ControlKind::kEdit, 75, 87, 40, 12},
    {P::kHeightUnitId, ControlKind::kStatic, 119, 89, 30, 10},
    {-1, ControlKind::kStatic, 7, 105, 65, 10},
    {P::kWeightId, ControlKind::kEdit, 75, 103, 40, 12},
    {P::kWeightUnitId, ControlKind::kStatic, 119, 105, 30, 10},
    {P::kPacemakerId, ControlKind::kCheckBox, 180, 89, 100, 10},
    {-1, ControlKind::kStatic, 7, 121, 65, 10},
    {P::kAddressId, ControlKind::kEdit, 75, 119, 210, 40, kMultiline},
    {-1, ControlKind::kStatic, 7, 165, 65, 10},
    {P::kPhoneId, ControlKind::kEdit, 75, 163, 100, 12},
    {-1, ControlKind::kStatic, 7, 181, 65, 10},
    {P::kStationId, ControlKind::kEdit, 75, 179, 24, 12},
};
constexpr auto kPatientEnglish = LocalizeControls(kPatientControls, {"&First name:",
                                                                     "",
                                                                     "&Last name:",
                                                                     "",
                                                                     "Patient &ID:",
                                                                     "",
                                                                     "&Birth date:",
                                                                     "",
                                                                     "",
                                                                     "&Sex:",
                                                                     "",
                                                                     "&Height:",
                                                                     "",
                                                                     "",
                                                                     "&Weight:",
                                                                     "",
                                                                     "",
                                                                     "Pace&maker",
                                                                     "&Address:",
                                                                     "",
                                                                     "&Phone:",
                                                                     "",
                                                                     "S&tation:",
                                                                     ""});
constexpr auto kPatientGerman = LocalizeControls(kPatientControls, {"&Vorname:",
                                                                    "",
                                                                    "&Nachname:",
                                                                    "",
                                                                    "Patienten-&Nr.:",
                                                                    "",
                                                                    "&Geburtsdatum:",
                                                                    "",
                                                                    "",
                                                                    "Ge&schlecht:",
                                                                    "",
                                                                    "&Größe:",
                                                                    "",
                                                                    "",
                                                                    "Ge&wicht:",
                                                                    "",
                                                                    "",
                                                                    "&Schrittmacher",
                                                                    "&Adresse:",
                                                                    "",
                                                                    "&Telefon:",
                                                                    "",
                                                                    "S&tation:",
                                                                    ""});

constexpr DialogLayout kRecordPage{CRecordPropertyPage::kTemplateId, 300, 200, true};
constexpr ControlLayout kRecordControls[] = {
    {-1, ControlKind::kStatic, 7, 9, 65, 10},
    {R::kStartDateId, ControlKind::kEdit, 75, 7, 60, 12},
    {R::kDateHintId, ControlKind::kStatic, 140, 9, 110, 10},
    {-1, ControlKind::kStatic, 7, 25, 65, 10},
    {R::kStartTimeId, ControlKind::kEdit, 75, 23, 60, 12},
    {R::kTimeHintId, ControlKind::kStatic, 140, 25, 110, 10},
    {R::kPacemakerId, ControlKind::kCheckBox, 7, 41, 200, 10},
    {-1, ControlKind::kGroupBox, 7, 57, 140, 136},
    {-1, ControlKind::kStatic, 12, 70, 95, 10},
    {R::kLowerRateId, ControlKind::kStatic, 110, 70, 32, 10},
    {-1, ControlKind::kStatic, 12, 84, 95, 10},
    {R::kUpperRateId, ControlKind::kStatic, 110, 84, 32, 10},
    {-1, ControlKind::kStatic, 12, 98, 95, 10},
    {R::kPauseId, ControlKind::kStatic, 110, 98, 32, 10},
    {-1, ControlKind::kStatic, 12, 112, 95, 10},
    {R::kSvesPrematurityId, ControlKind::kStatic, 110, 112, 32, 10},
    {-1, ControlKind::kStatic, 12, 126, 95, 10},
    {R::kArrhythmiaPrematurityId, ControlKind::kStatic, 110, 126, 32, 10},
    {-1, ControlKind::kStatic, 12, 140, 80, 10},
    {R::kArrhythmiaDurationId, ControlKind::kStatic, 95, 140, 14, 10},
    {R::kArrhythmiaDurationUnitId, ControlKind::kStatic, 110, 140, 32, 10},
    {-1, ControlKind::kGroupBox, 153, 57, 140, 136},
    {-1, ControlKind::kStatic, 158, 70, 60, 10},
    {R::kRecorderTextId, ControlKind::kStatic, 220, 70, 70, 10},
    {-1, ControlKind::kStatic, 158, 84, 60, 10},
    {R::kProgramId, ControlKind::kStatic, 220, 84, 70, 10},
    {-1, ControlKind::kStatic, 158, 98, 60, 10},
    {R::kEngineId, ControlKind::kStatic, 220, 98, 70, 10},
    {-1, ControlKind::kStatic, 158, 112, 60, 10},
    {R::kAnalysisDateId, ControlKind::kStatic, 220, 112, 40, 10},
    {R::kAnalysisTimeId, ControlKind::kStatic, 262, 112, 30, 10},
    {-1, ControlKind::kStatic, 158, 126, 60, 10},
    {R::kSTPointId, ControlKind::kStatic, 220, 126, 70, 10},
    {-1, ControlKind::kStatic, 158, 140, 60, 10},
    {R::kSTLimitFirstId, ControlKind::kStatic, 220, 140, 20, 10},
    {R::kSTLimitFirstId + 1, ControlKind::kStatic, 243, 140, 20, 10},
    {R::kSTLimitFirstId + 2, ControlKind::kStatic, 266, 140, 20, 10},
    {-1, ControlKind::kStatic, 158, 154, 60, 10},
    {R::kSTMarkFirstId, ControlKind::kStatic, 220, 154, 20, 10},
    {R::kSTMarkFirstId + 1, ControlKind::kStatic, 243, 154, 20, 10},
    {R::kSTMarkFirstId + 2, ControlKind::kStatic, 266, 154, 20, 10},
    {-1, ControlKind::kStatic, 158, 168, 60, 10},
    {R::kLengthId, ControlKind::kStatic, 220, 168, 70, 10},
};
constexpr auto kRecordEnglish = LocalizeControls(kRecordControls, {"Start &date:",
                                                                   "",
                                                                   "",
                                                                   "Start &time:",
                                                                   "",
                                                                   "",
                                                                   "&Pacemaker detection",
                                                                   "Analysis limits",
                                                                   "Lower heart rate [bpm]:",
                                                                   "",
                                                                   "Upper heart rate [bpm]:",
                                                                   "",
                                                                   "Pause [s]:",
                                                                   "",
                                                                   "SVES prematurity [%]:",
                                                                   "",
                                                                   "Arrhythmia prematurity [%]:",
                                                                   "",
                                                                   "Arrhythmia duration:",
                                                                   "",
                                                                   "",
                                                                   "Last analysis",
                                                                   "Recorder:",
                                                                   "",
                                                                   "Program:",
                                                                   "",
                                                                   "Engine:",
                                                                   "",
                                                                   "Analysed on:",
                                                                   "",
                                                                   "",
                                                                   "ST point [ms]:",
                                                                   "",
                                                                   "ST limits [mm]:",
                                                                   "",
                                                                   "",
                                                                   "",
                                                                   "ST channels:",
                                                                   "",
                                                                   "",
                                                                   "",
                                                                   "Length [h:mm]:",
                                                                   ""});
constexpr auto kRecordGerman = LocalizeControls(kRecordControls, {"Start&datum:",
                                                                  "",
                                                                  "",
                                                                  "Start&zeit:",
                                                                  "",
                                                                  "",
                                                                  "&Schrittmachererkennung",
                                                                  "Analysegrenzen",
                                                                  "Untere Herzfrequenz [1/min]:",
                                                                  "",
                                                                  "Obere Herzfrequenz [1/min]:",
                                                                  "",
                                                                  "Pause [s]:",
                                                                  "",
                                                                  "SVES-Vorzeitigkeit [%]:",
                                                                  "",
                                                                  "Arrhythmie-Vorzeitigkeit [%]:",
                                                                  "",
                                                                  "Arrhythmie-Dauer:",
                                                                  "",
                                                                  "",
                                                                  "Letzte Analyse",
                                                                  "Rekorder:",
                                                                  "",
                                                                  "Programm:",
                                                                  "",
                                                                  "Verfahren:",
                                                                  "",
                                                                  "Analysiert am:",
                                                                  "",
                                                                  "",
                                                                  "ST-Punkt [ms]:",
                                                                  "",
                                                                  "ST-Grenzen [mm]:",
                                                                  "",
                                                                  "",
                                                                  "",
                                                                  "ST-Kanäle:",
                                                                  "",
                                                                  "",
                                                                  "",
                                                                  "Dauer [h:mm]:",
                                                                  ""});

constexpr DialogLayout kAssignmentPageLayout{TAssignmentPage::kTemplateId, 300, 200, true};
constexpr ControlLayout kAssignmentControls[] = {
    {-1, ControlKind::kStatic, 7, 7, 200, 10},
    {TAssignmentPage::kText1Id, ControlKind::kEdit, 7, 18, 286, 12},
    {-1, ControlKind::kStatic, 7, 36, 200, 10},
    {TAssignmentPage::kText2Id, ControlKind::kEdit, 7, 47, 286, 66, kMultiline},
    {-1, ControlKind::kStatic, 7, 119, 200, 10},
    {TAssignmentPage::kText3Id, ControlKind::kEdit, 7, 130, 286, 63, kMultiline},
};
constexpr auto kAssignmentEnglish =
    LocalizeControls(kAssignmentControls, {"&Question:", "", "&Assignment:", "", "&Medication:", ""});
constexpr auto kAssignmentGerman =
    LocalizeControls(kAssignmentControls, {"&Fragestellung:", "", "&Auftrag:", "", "&Medikation:", ""});

constexpr DialogLayout kDiagnosisPageLayout{TDiagnosisPage::kTemplateId, 300, 200, true};
constexpr ControlLayout kDiagnosisControls[] = {
    {-1, ControlKind::kStatic, 7, 7, 200, 10},
    {TDiagnosisPage::kTextId, ControlKind::kEdit, 7, 18, 286, 175, kMultiline},
};
constexpr auto kDiagnosisEnglish = LocalizeControls(kDiagnosisControls, {"&Diagnosis:", ""});
constexpr auto kDiagnosisGerman = LocalizeControls(kDiagnosisControls, {"&Diagnose:", ""});

constexpr DialogLayout kHrvPage{THRVTimeDlg::kTemplateId, 300, 200, true};
constexpr ControlLayout kHrvControls[] = {
    {-1, ControlKind::kStatic, 7, 7, 286, 10},
    {-1, ControlKind::kStatic, 7, 29, 65, 10},
    {THRVTimeDlg::kFirstTimeId, ControlKind::kEdit, 75, 27, 60, 12},
    {-1, ControlKind::kStatic, 7, 45, 65, 10},
    {THRVTimeDlg::kSecondTimeId, ControlKind::kEdit, 75, 43, 60, 12},
    {THRVTimeDlg::kHintId, ControlKind::kStatic, 140, 29, 110, 10},
};
constexpr auto kHrvEnglish = LocalizeControls(
    kHrvControls,
    {"The HRV statistics count the intervals of this time of day separately.", "&From:", "", "&To:", "", ""});
constexpr auto kHrvGerman =
    LocalizeControls(kHrvControls, {"Die HRV-Statistik wertet die Intervalle dieser Tageszeit gesondert aus.",
                                    "&Von:", "", "&Bis:", "", ""});

constexpr DialogLayout kNarrativePage{CPatientNarrativePage::kTemplateId, 300, 200, true};
constexpr ControlLayout kNarrativeControls[] = {
    {1371, ControlKind::kGroupBox, 7, 4, 140, 58},
    {1378, ControlKind::kCheckBox, 12, 15, 130, 10},
    {1377, ControlKind::kCheckBox, 12, 26, 130, 10},
    {1379, ControlKind::kCheckBox, 12, 37, 130, 10},
    {1380, ControlKind::kCheckBox, 12, 48, 130, 10},
    {1372, ControlKind::kGroupBox, 153, 4, 140, 110},
    {1355, ControlKind::kCheckBox, 158, 15, 130, 10},
    {1356, ControlKind::kCheckBox, 158, 26, 130, 10},
    {1357, ControlKind::kCheckBox, 158, 37, 130, 10},
    {1358, ControlKind::kCheckBox, 158, 48, 130, 10},
    {1359, ControlKind::kCheckBox, 158, 59, 130, 10},
    {1360, ControlKind::kCheckBox, 158, 70, 130, 10},
    {1364, ControlKind::kCheckBox, 158, 81, 130, 10},
    {1361, ControlKind::kCheckBox, 158, 92, 130, 10},
    {1362, ControlKind::kCheckBox, 158, 103, 130, 10},
    {-1, ControlKind::kStatic, 7, 66, 140, 10},
    {N::kReferredByAddressId, ControlKind::kEdit, 7, 76, 140, 32, kMultiline},
    {-1, ControlKind::kStatic, 7, 111, 140, 10},
    {N::kReferToAddressId, ControlKind::kEdit, 7, 121, 140, 32, kMultiline},
    {-1, ControlKind::kStatic, 7, 156, 140, 10},
    {N::kInsuranceAddressId, ControlKind::kEdit, 7, 166, 140, 28, kMultiline},
    {-1, ControlKind::kStatic, 153, 116, 140, 10},
    {N::kNameAndAddressId, ControlKind::kEdit, 153, 126, 140, 24, kMultiline | kReadOnly},
    {-1, ControlKind::kGroupBox, 153, 153, 140, 44},
    {N::kEnvelopeFirstId, ControlKind::kRadioButton, 158, 164, 130, 9, 0, win::kCtlGroup},
    {N::kEnvelopeFirstId + 2, ControlKind::kRadioButton, 158, 174, 130, 9},
    {N::kEnvelopeFirstId + 3, ControlKind::kRadioButton, 158, 184, 130, 9},
};
constexpr auto kNarrativeEnglish = LocalizeControls(kNarrativeControls, {"Letters",
                                                                         "To the &referring physician",
                                                                         "To the referred-to p&hysician",
                                                                         "To the &insurance",
                                                                         "To the &patient",
                                                                         "Sections",
                                                                         "Recording &overview",
                                                                         "&Markers and pauses",
                                                                         "&Tachycardias, bradycardias",
                                                                         "&VES",
                                                                         "&SVES",
                                                                         "&Absolute arrhythmia",
                                                                         "ST &episodes",
                                                                         "&Medication",
                                                                         "&Diagnosis",
                                                                         "Referring physician:",
                                                                         "",
                                                                         "Referred-to physician:",
                                                                         "",
                                                                         "Insurance:",
                                                                         "",
                                                                         "Patient:",
                                                                         "",
                                                                         "Envelope",
                                                                         "C5, window on the right",
                                                                         "C5, window on the left",
                                                                         "American block"});
constexpr auto kNarrativeGerman = LocalizeControls(kNarrativeControls, {"Briefe",
                                                                        "An den &Überweiser",
                                                                        "An den &Mitbehandler",
                                                                        "An die &Versicherung",
                                                                        "An den &Patienten",
                                                                        "Abschnitte",
                                                                        "Aufzeichnungs&übersicht",
                                                                        "Mar&ker und Pausen",
                                                                        "&Tachykardien, Bradykardien",
                                                                        "&VES",
                                                                        "&SVES",
                                                                        "&Absolute Arrhythmie",
                                                                        "ST-&Episoden",
                                                                        "&Medikation",
                                                                        "&Diagnose",
                                                                        "Überweiser:",
                                                                        "",
                                                                        "Mitbehandler:",
                                                                        "",
                                                                        "Versicherung:",
                                                                        "",
                                                                        "Patient:",
                                                                        "",
                                                                        "Umschlag",
                                                                        "C5, Fenster rechts",
                                                                        "C5, Fenster links",
                                                                        "Amerikanischer Block"});

constexpr DialogLayout kBrowser{TRecordingBrowserDlg::kTemplateId, 330, 228};
constexpr ControlLayout kBrowserControls[] = {
    {-1, ControlKind::kStatic, 7, 9, 35, 10},
    {B::kFolderTextId, ControlKind::kEdit, 45, 7, 220, 12, kReadOnly},
    {B::kFolderButtonId, ControlKind::kPushButton, 270, 6, 53, 14},
    {-1, ControlKind::kStatic, 7, 25, 35, 10},
    {B::kFilterId, ControlKind::kComboDropList, 45, 23, 120, 14},
    {B::kListId, ControlKind::kListView, 7, 41, 316, 160, win::kLvsReport | win::kLvsShowSelAlways},
    {win::kIdOk, ControlKind::kDefPushButton, 219, 207, 50, 14},
    {win::kIdCancel, ControlKind::kPushButton, 273, 207, 50, 14},
};
constexpr auto kBrowserEnglish =
    LocalizeControls(kBrowserControls, {"Folder:", "", "&Folder...", "&Show:", "", "", "OK", "Cancel"});
constexpr auto kBrowserGerman =
    LocalizeControls(kBrowserControls, {"Ordner:", "", "&Ordner...", "&Zeigen:", "", "", "OK", "Abbrechen"});
constexpr DialogLayout kFindingsLayout{TFindingsDlg::kTemplateId, 214, 202};
constexpr ControlTemplate kFindings[] = {
    {TFindingsDlg::kTextIds[0], ControlKind::kEdit, "", 7, 7, 200, 12, kMultiline},
    {TFindingsDlg::kTextIds[1], ControlKind::kEdit, "", 7, 23, 200, 40, kMultiline},
    {TFindingsDlg::kTextIds[2], ControlKind::kEdit, "", 7, 67, 200, 40, kMultiline},
    {TFindingsDlg::kTextIds[3], ControlKind::kEdit, "", 7, 111, 200, 40, kMultiline},
    {TFindingsDlg::kTextIds[4], ControlKind::kEdit, "", 7, 155, 200, 40, kMultiline},
};

constexpr DialogTemplate kEnglishTemplates[] = {
    LocalizeDialog(kPatientPage, "Patient", kPatientEnglish),
    LocalizeDialog(kRecordPage, "Recording", kRecordEnglish),
    LocalizeDialog(kAssignmentPageLayout, "Assignment", kAssignmentEnglish),
    LocalizeDialog(kDiagnosisPageLayout, "Diagnosis", kDiagnosisEnglish),
    LocalizeDialog(kHrvPage, "HRV Time", kHrvEnglish),
    LocalizeDialog(kNarrativePage, "Letter", kNarrativeEnglish),
    LocalizeDialog(kFindingsLayout, "Findings", kFindings),
    LocalizeDialog(kBrowser, "Open", kBrowserEnglish),
};
constexpr DialogTemplate kGermanTemplates[] = {
    LocalizeDialog(kPatientPage, "Patient", kPatientGerman),
    LocalizeDialog(kRecordPage, "Aufzeichnung", kRecordGerman),
    LocalizeDialog(kAssignmentPageLayout, "Auftrag", kAssignmentGerman),
    LocalizeDialog(kDiagnosisPageLayout, "Diagnose", kDiagnosisGerman),
    LocalizeDialog(kHrvPage, "HRV-Zeit", kHrvGerman),
    LocalizeDialog(kNarrativePage, "Arztbrief", kNarrativeGerman),
    LocalizeDialog(kFindingsLayout, "Befund", kFindings),
    LocalizeDialog(kBrowser, "Öffnen", kBrowserGerman),
};

}  // namespace

void AddPatientDialogResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack)) {
    pack.AddStrings(kGermanStrings);
    win::Templates().Add(pack, kGermanTemplates);
  } else {
    pack.AddStrings(kEnglishStrings);
    win::Templates().Add(pack, kEnglishTemplates);
  }
}
