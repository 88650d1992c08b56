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
#include "win/dialog_template.h"

namespace {

using win::ControlKind;
using win::ControlTemplate;
using win::DialogTemplate;
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
    {ids::kBrowserFolderTitle, "Choose the folder of the recordings"},
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
    {ids::kBrowserFolderTitle, "Ordner der Aufzeichnungen wählen"},
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

// Pages are 300 x 200 dialog units; labels at the left, fields from x 75.
#define PATIENT_PAGE(first, last, id, birth, sex, height, weight, address, phone, station, pacemaker)          \
  {-1, ControlKind::kStatic, first, 7, 9, 65, 10},                                                           \
      {P::kFirstNameId, ControlKind::kEdit, "", 75, 7, 120, 12},                                             \
      {-1, ControlKind::kStatic, last, 7, 25, 65, 10},                                                       \
      {P::kLastNameId, ControlKind::kEdit, "", 75, 23, 120, 12},                                             \
      {-1, ControlKind::kStatic, id, 7, 41, 65, 10},                                                         \
      {P::kPatientIdId, ControlKind::kEdit, "", 75, 39, 90, 12},                                             \
      {-1, ControlKind::kStatic, birth, 7, 57, 65, 10},                                                      \
      {P::kBirthDateId, ControlKind::kEdit, "", 75, 55, 60, 12},                                             \
      {P::kBirthDateHintId, ControlKind::kStatic, "", 140, 57, 110, 10},                                     \
      {-1, ControlKind::kStatic, sex, 7, 73, 65, 10},                                                        \
      {P::kSexId, ControlKind::kComboDropList, "", 75, 71, 60, 14},                                          \
      {-1, ControlKind::kStatic, height, 7, 89, 65, 10},                                                     \
      {P::kHeightId, ControlKind::kEdit, "", 75, 87, 40, 12},                                                \
      {P::kHeightUnitId, ControlKind::kStatic, "", 119, 89, 30, 10},                                         \
      {-1, ControlKind::kStatic, weight, 7, 105, 65, 10},                                                    \
      {P::kWeightId, ControlKind::kEdit, "", 75, 103, 40, 12},                                               \
      {P::kWeightUnitId, ControlKind::kStatic, "", 119, 105, 30, 10},                                        \
      {P::kPacemakerId, ControlKind::kCheckBox, pacemaker, 180, 89, 100, 10},                                \
      {-1, ControlKind::kStatic, address, 7, 121, 65, 10},                                                   \
      {P::kAddressId, ControlKind::kEdit, "", 75, 119, 210, 40, kMultiline},                                 \
      {-1, ControlKind::kStatic, phone, 7, 165, 65, 10},                                                     \
      {P::kPhoneId, ControlKind::kEdit, "", 75, 163, 100, 12},                                               \
      {-1, ControlKind::kStatic, station, 7, 181, 65, 10}, {                                                 \
    P::kStationId, ControlKind::kEdit, "", 75, 179, 24, 12                                                   \
  }

constexpr ControlTemplate kPatientEnglish[] = {PATIENT_PAGE("&First name:", "&Last name:", "Patient &ID:",
                                                            "&Birth date:", "&Sex:", "&Height:", "&Weight:",
                                                            "&Address:", "&Phone:", "S&tation:", "Pace&maker")};
constexpr ControlTemplate kPatientGerman[] = {PATIENT_PAGE("&Vorname:", "&Nachname:", "Patienten-&Nr.:",
                                                           "&Geburtsdatum:", "Ge&schlecht:", "&Größe:", "Ge&wicht:",
                                                           "&Adresse:", "&Telefon:", "S&tation:", "&Schrittmacher")};

#define LABEL(text, x, y, cx) {-1, ControlKind::kStatic, text, x, y, cx, 10}
#define VALUE(id, x, y, cx) {id, ControlKind::kStatic, "", x, y, cx, 10}

#define RECORD_PAGE(date, time, pacemaker, limits, lower, upper, pause, sves, arrhythmia, duration, analysis,       \
                    recorder, program, engine, analysed, st_point, st_limits, st_channels, length)                 \
  LABEL(date, 7, 9, 65), {R::kStartDateId, ControlKind::kEdit, "", 75, 7, 60, 12}, VALUE(R::kDateHintId, 140, 9, 110),   \
      LABEL(time, 7, 25, 65), {R::kStartTimeId, ControlKind::kEdit, "", 75, 23, 60, 12},                                 \
      VALUE(R::kTimeHintId, 140, 25, 110), {R::kPacemakerId, ControlKind::kCheckBox, pacemaker, 7, 41, 200, 10},          \
      {-1, ControlKind::kGroupBox, limits, 7, 57, 140, 136}, LABEL(lower, 12, 70, 95), VALUE(R::kLowerRateId, 110, 70, 32), \
      LABEL(upper, 12, 84, 95), VALUE(R::kUpperRateId, 110, 84, 32), LABEL(pause, 12, 98, 95),                            \
      VALUE(R::kPauseId, 110, 98, 32), LABEL(sves, 12, 112, 95), VALUE(R::kSvesPrematurityId, 110, 112, 32),              \
      LABEL(arrhythmia, 12, 126, 95), VALUE(R::kArrhythmiaPrematurityId, 110, 126, 32), LABEL(duration, 12, 140, 80),     \
      VALUE(R::kArrhythmiaDurationId, 95, 140, 14), VALUE(R::kArrhythmiaDurationUnitId, 110, 140, 32),                    \
      {-1, ControlKind::kGroupBox, analysis, 153, 57, 140, 136}, LABEL(recorder, 158, 70, 60),                              \
      VALUE(R::kRecorderTextId, 220, 70, 70), LABEL(program, 158, 84, 60), VALUE(R::kProgramId, 220, 84, 70),               \
      LABEL(engine, 158, 98, 60), VALUE(R::kEngineId, 220, 98, 70), LABEL(analysed, 158, 112, 60),                          \
      VALUE(R::kAnalysisDateId, 220, 112, 40), VALUE(R::kAnalysisTimeId, 262, 112, 30), LABEL(st_point, 158, 126, 60),      \
      VALUE(R::kSTPointId, 220, 126, 70), LABEL(st_limits, 158, 140, 60), VALUE(R::kSTLimitFirstId, 220, 140, 20),          \
      VALUE(R::kSTLimitFirstId + 1, 243, 140, 20), VALUE(R::kSTLimitFirstId + 2, 266, 140, 20),                            \
      LABEL(st_channels, 158, 154, 60), VALUE(R::kSTMarkFirstId, 220, 154, 20), VALUE(R::kSTMarkFirstId + 1, 243, 154, 20), \
      VALUE(R::kSTMarkFirstId + 2, 266, 154, 20), LABEL(length, 158, 168, 60), VALUE(R::kLengthId, 220, 168, 70)

constexpr ControlTemplate kRecordEnglish[] = {RECORD_PAGE(
    "Start &date:", "Start &time:", "&Pacemaker detection", "Analysis limits", "Lower heart rate [bpm]:",
    "Upper heart rate [bpm]:", "Pause [s]:", "SVES prematurity [%]:", "Arrhythmia prematurity [%]:",
    "Arrhythmia duration:", "Last analysis", "Recorder:", "Program:", "Engine:", "Analysed on:", "ST point [ms]:",
    "ST limits [mm]:", "ST channels:", "Length [h:mm]:")};
constexpr ControlTemplate kRecordGerman[] = {RECORD_PAGE(
    "Start&datum:", "Start&zeit:", "&Schrittmachererkennung", "Analysegrenzen", "Untere Herzfrequenz [1/min]:",
    "Obere Herzfrequenz [1/min]:", "Pause [s]:", "SVES-Vorzeitigkeit [%]:", "Arrhythmie-Vorzeitigkeit [%]:",
    "Arrhythmie-Dauer:", "Letzte Analyse", "Rekorder:", "Programm:", "Verfahren:", "Analysiert am:",
    "ST-Punkt [ms]:", "ST-Grenzen [mm]:", "ST-Kanäle:", "Dauer [h:mm]:")};

#define ASSIGNMENT_PAGE(heading, text, medication)                                                        \
  LABEL(heading, 7, 7, 200), {TAssignmentPage::kText1Id, ControlKind::kEdit, "", 7, 18, 286, 12},        \
      LABEL(text, 7, 36, 200),                                                                            \
      {TAssignmentPage::kText2Id, ControlKind::kEdit, "", 7, 47, 286, 66, kMultiline},                    \
      LABEL(medication, 7, 119, 200), {                                                                   \
    TAssignmentPage::kText3Id, ControlKind::kEdit, "", 7, 130, 286, 63, kMultiline                        \
  }

constexpr ControlTemplate kAssignmentEnglish[] = {ASSIGNMENT_PAGE("&Question:", "&Assignment:", "&Medication:")};
constexpr ControlTemplate kAssignmentGerman[] = {ASSIGNMENT_PAGE("&Fragestellung:", "&Auftrag:", "&Medikation:")};

constexpr ControlTemplate kDiagnosisEnglish[] = {
    LABEL("&Diagnosis:", 7, 7, 200),
    {TDiagnosisPage::kTextId, ControlKind::kEdit, "", 7, 18, 286, 175, kMultiline},
};
constexpr ControlTemplate kDiagnosisGerman[] = {
    LABEL("&Diagnose:", 7, 7, 200),
    {TDiagnosisPage::kTextId, ControlKind::kEdit, "", 7, 18, 286, 175, kMultiline},
};

#define HRV_PAGE(intro, from, to)                                                                      \
  LABEL(intro, 7, 7, 286), LABEL(from, 7, 29, 65),                                                     \
      {THRVTimeDlg::kFirstTimeId, ControlKind::kEdit, "", 75, 27, 60, 12}, LABEL(to, 7, 45, 65),       \
      {THRVTimeDlg::kSecondTimeId, ControlKind::kEdit, "", 75, 43, 60, 12}, VALUE(THRVTimeDlg::kHintId, 140, 29, 110)

constexpr ControlTemplate kHrvEnglish[] = {
    HRV_PAGE("The HRV statistics count the intervals of this time of day separately.", "&From:", "&To:")};
constexpr ControlTemplate kHrvGerman[] = {
    HRV_PAGE("Die HRV-Statistik wertet die Intervalle dieser Tageszeit gesondert aus.", "&Von:", "&Bis:")};

#define CHECK(id, text, x, y) {id, ControlKind::kCheckBox, text, x, y, 130, 10}
#define NARRATIVE_PAGE(letters, referred_by, refer_to, insurance, patient, sections, overview, markers, rates, ves,  \
                       sves, arrhythmia, st, medication, diagnosis, referred_by_address, refer_to_address,          \
                       insurance_address, patient_address, envelope, right_window, left_window, american)            \
  {1371, ControlKind::kGroupBox, letters, 7, 4, 140, 58}, CHECK(1378, referred_by, 12, 15),                           \
      CHECK(1377, refer_to, 12, 26), CHECK(1379, insurance, 12, 37), CHECK(1380, patient, 12, 48),                   \
      {1372, ControlKind::kGroupBox, sections, 153, 4, 140, 110}, CHECK(1355, overview, 158, 15),                    \
      CHECK(1356, markers, 158, 26), CHECK(1357, rates, 158, 37), CHECK(1358, ves, 158, 48), CHECK(1359, sves, 158, 59), \
      CHECK(1360, arrhythmia, 158, 70), CHECK(1364, st, 158, 81), CHECK(1361, medication, 158, 92),                 \
      CHECK(1362, diagnosis, 158, 103), LABEL(referred_by_address, 7, 66, 140),                                      \
      {N::kReferredByAddressId, ControlKind::kEdit, "", 7, 76, 140, 32, kMultiline},                                 \
      LABEL(refer_to_address, 7, 111, 140),                                                                           \
      {N::kReferToAddressId, ControlKind::kEdit, "", 7, 121, 140, 32, kMultiline},                                   \
      LABEL(insurance_address, 7, 156, 140),                                                                          \
      {N::kInsuranceAddressId, ControlKind::kEdit, "", 7, 166, 140, 28, kMultiline},                                 \
      LABEL(patient_address, 153, 116, 140),                                                                          \
      {N::kNameAndAddressId, ControlKind::kEdit, "", 153, 126, 140, 24, kMultiline | kReadOnly},                     \
      {-1, ControlKind::kGroupBox, envelope, 153, 153, 140, 44},                                                      \
      {N::kEnvelopeFirstId, ControlKind::kRadioButton, right_window, 158, 164, 130, 9, 0, win::kCtlGroup},          \
      {N::kEnvelopeFirstId + 2, ControlKind::kRadioButton, left_window, 158, 174, 130, 9}, {                         \
    N::kEnvelopeFirstId + 3, ControlKind::kRadioButton, american, 158, 184, 130, 9                                    \
  }

constexpr ControlTemplate kNarrativeEnglish[] = {NARRATIVE_PAGE(
    "Letters", "To the &referring physician", "To the referred-to p&hysician", "To the &insurance",
    "To the &patient", "Sections", "Recording &overview", "&Markers and pauses", "&Tachycardias, bradycardias",
    "&VES", "&SVES", "&Absolute arrhythmia", "ST &episodes", "&Medication", "&Diagnosis", "Referring physician:",
    "Referred-to physician:", "Insurance:", "Patient:", "Envelope", "C5, window on the right",
    "C5, window on the left", "American block")};
constexpr ControlTemplate kNarrativeGerman[] = {NARRATIVE_PAGE(
    "Briefe", "An den &Überweiser", "An den &Mitbehandler", "An die &Versicherung", "An den &Patienten",
    "Abschnitte", "Aufzeichnungs&übersicht", "Mar&ker und Pausen", "&Tachykardien, Bradykardien", "&VES", "&SVES",
    "&Absolute Arrhythmie", "ST-&Episoden", "&Medikation", "&Diagnose", "Überweiser:", "Mitbehandler:",
    "Versicherung:", "Patient:", "Umschlag", "C5, Fenster rechts", "C5, Fenster links", "Amerikanischer Block")};

constexpr ControlTemplate kFindings[] = {
    {TFindingsDlg::kTextIds[0], ControlKind::kEdit, "", 7, 7, 200, 12, kMultiline},
    {TFindingsDlg::kTextIds[1], ControlKind::kEdit, "", 7, 23, 200, 40, kMultiline},
    {TFindingsDlg::kTextIds[2], ControlKind::kEdit, "", 7, 67, 200, 40, kMultiline},
    {TFindingsDlg::kTextIds[3], ControlKind::kEdit, "", 7, 111, 200, 40, kMultiline},
    {TFindingsDlg::kTextIds[4], ControlKind::kEdit, "", 7, 155, 200, 40, kMultiline},
};

#define BROWSER(folder, change, show, ok, cancel)                                                             \
  LABEL(folder, 7, 9, 35), {B::kFolderTextId, ControlKind::kEdit, "", 45, 7, 220, 12, kReadOnly},            \
      {B::kFolderButtonId, ControlKind::kPushButton, change, 270, 6, 53, 14}, LABEL(show, 7, 25, 35),         \
      {B::kFilterId, ControlKind::kComboDropList, "", 45, 23, 120, 14},                                         \
      {B::kListId, ControlKind::kListView, "", 7, 41, 316, 160, win::kLvsReport | win::kLvsShowSelAlways},      \
      {win::kIdOk, ControlKind::kDefPushButton, ok, 219, 207, 50, 14}, {                                       \
    win::kIdCancel, ControlKind::kPushButton, cancel, 273, 207, 50, 14                                         \
  }

constexpr ControlTemplate kBrowserEnglish[] = {BROWSER("Folder:", "&Folder...", "&Show:", "OK", "Cancel")};
constexpr ControlTemplate kBrowserGerman[] = {BROWSER("Ordner:", "&Ordner...", "&Zeigen:", "OK", "Abbrechen")};

constexpr DialogTemplate kEnglishTemplates[] = {
    {CPatientPropertyPage::kTemplateId, "Patient", 300, 200, kPatientEnglish, true},
    {CRecordPropertyPage::kTemplateId, "Recording", 300, 200, kRecordEnglish, true},
    {TAssignmentPage::kTemplateId, "Assignment", 300, 200, kAssignmentEnglish, true},
    {TDiagnosisPage::kTemplateId, "Diagnosis", 300, 200, kDiagnosisEnglish, true},
    {THRVTimeDlg::kTemplateId, "HRV Time", 300, 200, kHrvEnglish, true},
    {CPatientNarrativePage::kTemplateId, "Letter", 300, 200, kNarrativeEnglish, true},
    {TFindingsDlg::kTemplateId, "Findings", 214, 202, kFindings},
    {TRecordingBrowserDlg::kTemplateId, "Open", 330, 228, kBrowserEnglish},
};
constexpr DialogTemplate kGermanTemplates[] = {
    {CPatientPropertyPage::kTemplateId, "Patient", 300, 200, kPatientGerman, true},
    {CRecordPropertyPage::kTemplateId, "Aufzeichnung", 300, 200, kRecordGerman, true},
    {TAssignmentPage::kTemplateId, "Auftrag", 300, 200, kAssignmentGerman, true},
    {TDiagnosisPage::kTemplateId, "Diagnose", 300, 200, kDiagnosisGerman, true},
    {THRVTimeDlg::kTemplateId, "HRV-Zeit", 300, 200, kHrvGerman, true},
    {CPatientNarrativePage::kTemplateId, "Arztbrief", 300, 200, kNarrativeGerman, true},
    {TFindingsDlg::kTemplateId, "Befund", 214, 202, kFindings},
    {TRecordingBrowserDlg::kTemplateId, "Öffnen", 330, 228, kBrowserGerman},
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
