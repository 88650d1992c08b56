#include "core/core_resources.h"

#include <map>
#include <string>
#include <vector>

#include "core/analysis_dialogs.h"
#include "core/core_ids.h"
#include "core/about_dlg.h"
#include "core/pdf_convert_wait_dlg.h"
#include "platform/resources.h"
#include "win/dialog_template.h"

namespace {

using win::ControlKind;
using win::ControlTemplate;
using win::DialogTemplate;
using win::kIdCancel;
using win::kIdOk;
namespace ids = core_ids;

// --- Strings ---------------------------------------------------------------------------------------

constexpr platform::StringEntry kOwnStrings[] = {
    {ids::kIdsDocumentString,
     "KESTROVA ZK-470 Holter-ECG\n\n ZK-470 Holter\nZK-470 Files (*.qrs)\n.QRS\nZK-470.Document\nZK-470 Document"},
    {ids::kIdsBuild, "2.04"},
    {ids::kIdsShortTitle, "ZK-470"},
    {ids::kIdsAppTitle, "KESTROVA ZK-470 Holter-ECG"},
};

constexpr platform::StringEntry kEnglishStrings[] = {
    {ids::kIdsReady, "Ready"},
    {ids::kIdsChannels, "Channels"},
    {ids::kIdsAnalysed, "analysed"},
    {ids::kIdsView, "View"},
    {ids::kIdsNoRecordingFound, "No recording was found in the given folder.\nDo you want to choose one?"},
    {ids::kIdsMenuFile, "&File"},
    {ids::kIdsMenuRecorder, "&Recorder"},
    {ids::kIdsMenuAnalysis, "&Analysis"},
    {ids::kIdsMenuReport, "Re&port"},
    {ids::kIdsMenuOptions, "&Options"},
    {ids::kIdsMenuHelp, "&Help"},
    {ids::kIdsRecentFileEmpty, "Recent file"},
    {ids::kIdsMenuView, "&View"},
    // Command prompts: the status-bar text, a line end, the tool tip.
    {ids::kFileNew, "Starts a new recording\nNew"},
    {ids::kFileOpen, "Opens a recording\nOpen"},
    {ids::kFileClose, "Closes the recording\nClose"},
    {ids::kFileSave, "Saves the recording\nSave"},
    {ids::kFileSaveAs, "Saves the recording under a new name\nSave as"},
    {ids::kAppAbout, "Shows the program version\nAbout"},
    {ids::kAppExit, "Ends the program\nExit"},
    {ids::kPrintWholeReport, "Prints the whole report\nPrint report"},
    {ids::kAnalyzeRecording, "Analyses the recording\nAnalyse"},
    {ids::kAnalysisOptions, "Changes the analysis settings\nAnalysis settings"},
    {ids::kReadRecorder, "Reads a recording out of the recorder\nRead recorder"},
    {ids::kReadTape, "Reads a recording from tape\nRead tape"},
    {ids::kChannelView, "Shows the chosen channels\nChannel view"},
    {ids::kRecomputeEvents, "Detects the events again\nRecompute events"},
    {ids::kOptions, "Changes the settings of the workstation\nOptions"},
    {ids::kRepeatSTAnalysis, "Repeats the ST analysis\nST analysis"},
    {ids::kPatientData, "Edits the patient data\nPatient data"},
    {ids::kPatientDataAlt, "Edits the patient data\nPatient data"},
    {ids::kEditDiagnosis, "Edits the diagnosis of the recording\nDiagnosis"},
    {ids::kPacemakerAnalysis, "Repeats the pacemaker analysis\nPacemaker analysis"},
    {ids::kNarrativeTest, "Tests the narrative letter with chosen values\nNarrative test"},
    {ids::kSendReportPdf, "Sends the report as PDF by e-mail\nSend report"},
    {ids::kSendRecording, "Sends the recording by e-mail\nSend recording"},
    {ids::kSend, "Sends the report or the recording by e-mail\nSend"},
    {ids::kImportRawFile, "Imports the recording of an SD card\nImport SD card"},
    {ids::kImportRawFiles, "Imports several recordings of SD cards\nImport SD cards"},
    {ids::kTimeSpan, "Chooses the time span shown\nTime span"},
    {ids::kFileMruFirst, "Opens this recording"},
    {ids::kFileMruFirst + 1, "Opens this recording"},
    {ids::kFileMruFirst + 2, "Opens this recording"},
    {ids::kFileMruLast, "Opens this recording"},
    // The lock-key panes of the status bar.
    {ids::kIndicatorCaps, "CAP"},
    {ids::kIndicatorNum, "NUM"},
    {ids::kIndicatorScroll, "SCRL"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {ids::kIdsReady, "Bereit"},
    {ids::kIdsChannels, "Kanäle"},
    {ids::kIdsAnalysed, "analysiert"},
    {ids::kIdsView, "Ansicht"},
    {ids::kIdsNoRecordingFound,
     "Im angegebenen Ordner wurde keine Aufzeichnung gefunden.\nMöchten Sie eine auswählen?"},
    {ids::kIdsMenuFile, "&Datei"},
    {ids::kIdsMenuRecorder, "&Rekorder"},
    {ids::kIdsMenuAnalysis, "&Analyse"},
    {ids::kIdsMenuReport, "&Bericht"},
    {ids::kIdsMenuOptions, "&Optionen"},
    {ids::kIdsMenuHelp, "&Hilfe"},
    {ids::kIdsRecentFileEmpty, "Zuletzt geöffnete Datei"},
    {ids::kIdsMenuView, "A&nsicht"},
    {ids::kFileNew, "Beginnt eine neue Aufzeichnung\nNeu"},
    {ids::kFileOpen, "Öffnet eine Aufzeichnung\nÖffnen"},
    {ids::kFileClose, "Schließt die Aufzeichnung\nSchließen"},
    {ids::kFileSave, "Speichert die Aufzeichnung\nSpeichern"},
    {ids::kFileSaveAs, "Speichert die Aufzeichnung unter einem neuen Namen\nSpeichern unter"},
    {ids::kAppAbout, "Zeigt die Programmversion\nInfo"},
    {ids::kAppExit, "Beendet das Programm\nBeenden"},
    {ids::kPrintWholeReport, "Druckt den ganzen Bericht\nBericht drucken"},
    {ids::kAnalyzeRecording, "Analysiert die Aufzeichnung\nAnalysieren"},
    {ids::kAnalysisOptions, "Ändert die Analyseeinstellungen\nAnalyseeinstellungen"},
    {ids::kReadRecorder, "Liest eine Aufzeichnung aus dem Rekorder\nRekorder auslesen"},
    {ids::kReadTape, "Liest eine Aufzeichnung von Kassette\nKassette einlesen"},
    {ids::kChannelView, "Zeigt die gewählten Kanäle\nKanalansicht"},
    {ids::kRecomputeEvents, "Bestimmt die Ereignisse neu\nEreignisse neu berechnen"},
    {ids::kOptions, "Ändert die Einstellungen des Arbeitsplatzes\nOptionen"},
    {ids::kRepeatSTAnalysis, "Wiederholt die ST-Analyse\nST-Analyse"},
    {ids::kPatientData, "Bearbeitet die Patientendaten\nPatientendaten"},
    {ids::kPatientDataAlt, "Bearbeitet die Patientendaten\nPatientendaten"},
    {ids::kEditDiagnosis, "Bearbeitet die Diagnose der Aufzeichnung\nDiagnose"},
    {ids::kPacemakerAnalysis, "Wiederholt die Schrittmacheranalyse\nSchrittmacheranalyse"},
    {ids::kNarrativeTest, "Prüft den Arztbrief mit gewählten Werten\nArztbrief testen"},
    {ids::kSendReportPdf, "Versendet den Bericht als PDF per E-Mail\nBericht senden"},
    {ids::kSendRecording, "Versendet die Aufzeichnung per E-Mail\nAufzeichnung senden"},
    {ids::kSend, "Versendet den Bericht oder die Aufzeichnung per E-Mail\nSenden"},
    {ids::kImportRawFile, "Liest die Aufzeichnung einer SD-Karte ein\nSD-Karte einlesen"},
    {ids::kImportRawFiles, "Liest mehrere Aufzeichnungen von SD-Karten ein\nSD-Karten einlesen"},
    {ids::kTimeSpan, "Wählt die angezeigte Zeitspanne\nZeitspanne"},
    {ids::kFileMruFirst, "Öffnet diese Aufzeichnung"},
    {ids::kFileMruFirst + 1, "Öffnet diese Aufzeichnung"},
    {ids::kFileMruFirst + 2, "Öffnet diese Aufzeichnung"},
    {ids::kFileMruLast, "Öffnet diese Aufzeichnung"},
    {ids::kIndicatorCaps, "UF"},
    {ids::kIndicatorNum, "NUM"},
    {ids::kIndicatorScroll, "RF"},
};

// --- Menus -----------------------------------------------------------------------------------------

constexpr MenuLine kMainMenuEnglish[] = {
    {0, 0, "&File"},
    {1, ids::kFileNew, "&New\tCtrl+N"},
    {1, ids::kFileOpen, "&Open...\tCtrl+O"},
    {1, ids::kFileClose, "&Close"},
    {1, ids::kFileSave, "&Save\tCtrl+S"},
    {1, -1, nullptr},
    {1, ids::kFileMruFirst, "Recent file"},
    {1, -1, nullptr},
    {1, ids::kAppExit, "E&xit"},
    {0, 0, "&Recorder"},
    {1, ids::kReadRecorder, "&Read recorder..."},
    {1, ids::kImportRawFile, "Import &SD card..."},
    {1, ids::kReadTape, "Read &tape..."},
    {0, 0, "&Analysis"},
    {1, ids::kAnalyzeRecording, "&Analyse recording"},
    {1, ids::kRecomputeEvents, "Recompute &events"},
    {1, ids::kRepeatSTAnalysis, "Repeat &ST analysis"},
    {1, ids::kPacemakerAnalysis, "Repeat &pacemaker analysis"},
    {1, -1, nullptr},
    {1, ids::kAnalysisOptions, "Analysis se&ttings..."},
    {0, 0, "Re&port"},
    {1, ids::kPrintWholeReport, "&Print report..."},
    {1, ids::kNarrativeTest, "&Narrative test..."},
    {1, ids::kSend, "S&end..."},
    {0, 0, "&Options"},
    {1, ids::kPatientData, "&Patient data..."},
    {1, ids::kEditDiagnosis, "&Diagnosis..."},
    {1, ids::kOptions, "&Options..."},
    {0, 0, "&Help"},
    {1, ids::kAppAbout, "&About ZK-470..."},
};

constexpr MenuLine kMainMenuGerman[] = {
    {0, 0, "&Datei"},
    {1, ids::kFileNew, "&Neu\tStrg+N"},
    {1, ids::kFileOpen, "Ö&ffnen...\tStrg+O"},
    {1, ids::kFileClose, "S&chließen"},
    {1, ids::kFileSave, "&Speichern\tStrg+S"},
    {1, -1, nullptr},
    {1, ids::kFileMruFirst, "Zuletzt geöffnete Datei"},
    {1, -1, nullptr},
    {1, ids::kAppExit, "&Beenden"},
    {0, 0, "&Rekorder"},
    {1, ids::kReadRecorder, "Rekorder &auslesen..."},
    {1, ids::kImportRawFile, "&SD-Karte einlesen..."},
    {1, ids::kReadTape, "&Kassette einlesen..."},
    {0, 0, "&Analyse"},
    {1, ids::kAnalyzeRecording, "Aufzeichnung &analysieren"},
    {1, ids::kRecomputeEvents, "&Ereignisse neu berechnen"},
    {1, ids::kRepeatSTAnalysis, "&ST-Analyse wiederholen"},
    {1, ids::kPacemakerAnalysis, "Schritt&macheranalyse wiederholen"},
    {1, -1, nullptr},
    {1, ids::kAnalysisOptions, "Analyse&einstellungen..."},
    {0, 0, "&Bericht"},
    {1, ids::kPrintWholeReport, "Bericht &drucken..."},
    {1, ids::kNarrativeTest, "&Arztbrief testen..."},
    {1, ids::kSend, "&Senden..."},
    {0, 0, "&Optionen"},
    {1, ids::kPatientData, "&Patientendaten..."},
    {1, ids::kEditDiagnosis, "&Diagnose..."},
    {1, ids::kOptions, "&Optionen..."},
    {0, 0, "&Hilfe"},
    {1, ids::kAppAbout, "&Info über ZK-470..."},
};

// The drop-down menus of the main toolbar: the first pop-up is what the arrow shows.
constexpr MenuLine kOpenMenuEnglish[] = {
    {0, 0, "Open"},
    {1, ids::kFileOpen, "&Open..."},
    {1, ids::kFileNew, "&New"},
    {1, ids::kFileClose, "&Close"},
};
constexpr MenuLine kOpenMenuGerman[] = {
    {0, 0, "Öffnen"},
    {1, ids::kFileOpen, "Ö&ffnen..."},
    {1, ids::kFileNew, "&Neu"},
    {1, ids::kFileClose, "S&chließen"},
};
constexpr MenuLine kRecorderMenuEnglish[] = {
    {0, 0, "Recorder"},
    {1, ids::kReadRecorder, "&Read recorder..."},
    {1, ids::kReadTape, "Read &tape..."},
    {1, ids::kImportRawFile, "Import &SD card..."},
    {1, ids::kImportRawFiles, "Import several SD &cards..."},
};
constexpr MenuLine kRecorderMenuGerman[] = {
    {0, 0, "Rekorder"},
    {1, ids::kReadRecorder, "Rekorder &auslesen..."},
    {1, ids::kReadTape, "&Kassette einlesen..."},
    {1, ids::kImportRawFile, "&SD-Karte einlesen..."},
    {1, ids::kImportRawFiles, "Mehrere SD-Karten &einlesen..."},
};
constexpr MenuLine kPrintMenuEnglish[] = {
    {0, 0, "Print"},
    {1, ids::kPrintWholeReport, "&Print report..."},
    {1, ids::kNarrativeTest, "&Narrative test..."},
};
constexpr MenuLine kPrintMenuGerman[] = {
    {0, 0, "Drucken"},
    {1, ids::kPrintWholeReport, "Bericht &drucken..."},
    {1, ids::kNarrativeTest, "&Arztbrief testen..."},
};
constexpr MenuLine kSaveMenuEnglish[] = {
    {0, 0, "Save"},
    {1, ids::kFileSave, "&Save"},
    {1, ids::kFileSaveAs, "Save &as..."},
};
constexpr MenuLine kSaveMenuGerman[] = {
    {0, 0, "Speichern"},
    {1, ids::kFileSave, "&Speichern"},
    {1, ids::kFileSaveAs, "Speichern &unter..."},
};
constexpr MenuLine kSendMenuEnglish[] = {
    {0, 0, "Send"},
    {1, ids::kSendReportPdf, "Send &report as PDF..."},
    {1, ids::kSendRecording, "Send r&ecording..."},
};
constexpr MenuLine kSendMenuGerman[] = {
    {0, 0, "Senden"},
    {1, ids::kSendReportPdf, "&Bericht als PDF senden..."},
    {1, ids::kSendRecording, "&Aufzeichnung senden..."},
};
constexpr MenuLine kAnalysisMenuEnglish[] = {
    {0, 0, "Analysis"},
    {1, ids::kAnalyzeRecording, "&Analyse recording"},
    {1, ids::kRecomputeEvents, "Recompute &events"},
    {1, ids::kRepeatSTAnalysis, "Repeat &ST analysis"},
    {1, ids::kPacemakerAnalysis, "Repeat &pacemaker analysis"},
};
constexpr MenuLine kAnalysisMenuGerman[] = {
    {0, 0, "Analyse"},
    {1, ids::kAnalyzeRecording, "Aufzeichnung &analysieren"},
    {1, ids::kRecomputeEvents, "&Ereignisse neu berechnen"},
    {1, ids::kRepeatSTAnalysis, "&ST-Analyse wiederholen"},
    {1, ids::kPacemakerAnalysis, "Schritt&macheranalyse wiederholen"},
};

constexpr MenuTemplate kEnglishMenus[] = {
    {ids::kDocumentResource, kMainMenuEnglish}, {ids::kOpenMenu, kOpenMenuEnglish},
    {ids::kRecorderMenu, kRecorderMenuEnglish}, {ids::kPrintMenu, kPrintMenuEnglish},
    {ids::kSaveMenu, kSaveMenuEnglish},         {ids::kSendMenu, kSendMenuEnglish},
    {ids::kAnalysisMenu, kAnalysisMenuEnglish},
};
constexpr MenuTemplate kGermanMenus[] = {
    {ids::kDocumentResource, kMainMenuGerman}, {ids::kOpenMenu, kOpenMenuGerman},
    {ids::kRecorderMenu, kRecorderMenuGerman}, {ids::kPrintMenu, kPrintMenuGerman},
    {ids::kSaveMenu, kSaveMenuGerman},         {ids::kSendMenu, kSendMenuGerman},
    {ids::kAnalysisMenu, kAnalysisMenuGerman},
};

// --- Toolbars --------------------------------------------------------------------------------------

constexpr ToolbarButtonTemplate kMainToolbar[] = {
    {ids::kFileOpen, ToolGlyph::kOpen},
    {ids::kFileSave, ToolGlyph::kSave},
    {0, ToolGlyph::kNone},
    {ids::kReadRecorder, ToolGlyph::kRecorder},
    {ids::kAnalyzeRecording, ToolGlyph::kAnalysis},
    {ids::kPrintWholeReport, ToolGlyph::kPrint},
    {ids::kSend, ToolGlyph::kMail},
    {0, ToolGlyph::kNone},
    {ids::kAppAbout, ToolGlyph::kAbout},
};
// Button 33312 becomes the place of the time-span combo box.
constexpr ToolbarButtonTemplate kTimeSpanToolbar[] = {
    {ids::kTimeSpan, ToolGlyph::kNone},
};
// The images the menus show beside their entries.
constexpr ToolbarButtonTemplate kMenuImages[] = {
    {ids::kFileOpen, ToolGlyph::kOpen},      {ids::kFileSave, ToolGlyph::kSave},
    {ids::kReadRecorder, ToolGlyph::kRecorder}, {ids::kAnalyzeRecording, ToolGlyph::kAnalysis},
    {ids::kPrintWholeReport, ToolGlyph::kPrint}, {ids::kSend, ToolGlyph::kMail},
    {ids::kAppAbout, ToolGlyph::kAbout},     {ids::kPdfImage, ToolGlyph::kPdf},
    {ids::kQrsImage, ToolGlyph::kQrs},
};

// --- Dialog templates ------------------------------------------------------------------------------

constexpr ControlTemplate kAboutEnglish[] = {
    {CAboutDlg::kLogoId, ControlKind::kStatic, "", 7, 7, 60, 60},
    {CAboutDlg::kTitleId, ControlKind::kStatic, "", 76, 10, 160, 10},
    {-1, ControlKind::kStatic, "Analysis version:", 76, 26, 70, 8},
    {CAboutDlg::kVersionId, ControlKind::kStatic, "", 150, 26, 60, 8},
    {-1, ControlKind::kStatic, "Build:", 76, 38, 70, 8},
    {CAboutDlg::kBuildId, ControlKind::kStatic, "", 150, 38, 60, 8},
    {CAboutDlg::kLinkId, ControlKind::kStatic, "", 76, 54, 160, 8},
    {kIdOk, ControlKind::kDefPushButton, "OK", 186, 72, 50, 14},
};
constexpr ControlTemplate kAboutGerman[] = {
    {CAboutDlg::kLogoId, ControlKind::kStatic, "", 7, 7, 60, 60},
    {CAboutDlg::kTitleId, ControlKind::kStatic, "", 76, 10, 160, 10},
    {-1, ControlKind::kStatic, "Analyseversion:", 76, 26, 70, 8},
    {CAboutDlg::kVersionId, ControlKind::kStatic, "", 150, 26, 60, 8},
    {-1, ControlKind::kStatic, "Build:", 76, 38, 70, 8},
    {CAboutDlg::kBuildId, ControlKind::kStatic, "", 150, 38, 60, 8},
    {CAboutDlg::kLinkId, ControlKind::kStatic, "", 76, 54, 160, 8},
    {kIdOk, ControlKind::kDefPushButton, "OK", 186, 72, 50, 14},
};

// The three engine progress dialogs share one layout; Cancel is button 1060.
constexpr ControlTemplate kProgressEnglish[] = {
    {-1, ControlKind::kStatic, "Recording:", 7, 7, 50, 8},
    {AnalysisProgressIds::kPath, ControlKind::kStatic, "", 60, 7, 173, 8, win::kSsNoPrefix},
    {AnalysisProgressIds::kProgress, ControlKind::kProgressBar, "", 7, 22, 226, 10, win::kPbsSmooth},
    {-1, ControlKind::kStatic, "Normal beats:", 7, 40, 70, 8},
    {AnalysisProgressIds::kNormalCount, ControlKind::kStatic, "0", 80, 40, 50, 8, win::kSsRight},
    {-1, ControlKind::kStatic, "Ventricular beats:", 7, 52, 70, 8},
    {AnalysisProgressIds::kVentricularCount, ControlKind::kStatic, "0", 80, 52, 50, 8, win::kSsRight},
    {AnalysisProgressIds::kCancel, ControlKind::kPushButton, "Cancel", 183, 48, 50, 14},
};
constexpr ControlTemplate kProgressGerman[] = {
    {-1, ControlKind::kStatic, "Aufzeichnung:", 7, 7, 50, 8},
    {AnalysisProgressIds::kPath, ControlKind::kStatic, "", 60, 7, 173, 8, win::kSsNoPrefix},
    {AnalysisProgressIds::kProgress, ControlKind::kProgressBar, "", 7, 22, 226, 10, win::kPbsSmooth},
    {-1, ControlKind::kStatic, "Normalschläge:", 7, 40, 70, 8},
    {AnalysisProgressIds::kNormalCount, ControlKind::kStatic, "0", 80, 40, 50, 8, win::kSsRight},
    {-1, ControlKind::kStatic, "Ventrikuläre Schläge:", 7, 52, 70, 8},
    {AnalysisProgressIds::kVentricularCount, ControlKind::kStatic, "0", 80, 52, 50, 8, win::kSsRight},
    {AnalysisProgressIds::kCancel, ControlKind::kPushButton, "Abbrechen", 183, 48, 50, 14},
};

constexpr ControlTemplate kSVRebuildEnglish[] = {
    {-1, ControlKind::kStatic, "The supraventricular template classes are being rebuilt. Please wait ...", 10, 12,
     180, 20},
};
constexpr ControlTemplate kSVRebuildGerman[] = {
    {-1, ControlKind::kStatic, "Die supraventrikulären Klassen werden neu gebildet. Bitte warten ...", 10, 12,
     180, 20},
};
constexpr ControlTemplate kRhythmEnglish[] = {
    {-1, ControlKind::kStatic, "The rhythm events are being detected. Please wait ...", 10, 12, 180, 20},
};
constexpr ControlTemplate kRhythmGerman[] = {
    {-1, ControlKind::kStatic, "Die Rhythmusereignisse werden bestimmt. Bitte warten ...", 10, 12, 180, 20},
};
constexpr ControlTemplate kPdfWaitEnglish[] = {
    {-1, ControlKind::kStatic, "The report is being converted into a PDF file. Please wait ...", 10, 12, 180, 20},
};
constexpr ControlTemplate kPdfWaitGerman[] = {
    {-1, ControlKind::kStatic, "Der Bericht wird in eine PDF-Datei umgewandelt. Bitte warten ...", 10, 12, 180, 20},
};

constexpr DialogTemplate kEnglishDialogs[] = {
    {CAboutDlg::kTemplateId, "About", 243, 93, kAboutEnglish},
    {TAnalysisProgressDlg::kTemplateId, "Analysis", 240, 70, kProgressEnglish},
    {TAnalysisProgressDlg2::kTemplateId, "Analysis", 240, 70, kProgressEnglish},
    {TVraProgressDlg::kTemplateId, "Analysis (external library)", 240, 70, kProgressEnglish},
    {TSVTemplateRebuildDlg::kTemplateId, "Analysis", 200, 44, kSVRebuildEnglish},
    {TRhythmDetectionDlg::kTemplateId, "Analysis", 200, 44, kRhythmEnglish},
    {TPdfConvertWaitDlg::kTemplateId, "PDF", 200, 44, kPdfWaitEnglish},
};
constexpr DialogTemplate kGermanDialogs[] = {
    {CAboutDlg::kTemplateId, "Info", 243, 93, kAboutGerman},
    {TAnalysisProgressDlg::kTemplateId, "Analyse", 240, 70, kProgressGerman},
    {TAnalysisProgressDlg2::kTemplateId, "Analyse", 240, 70, kProgressGerman},
    {TVraProgressDlg::kTemplateId, "Analyse (externe Bibliothek)", 240, 70, kProgressGerman},
    {TSVTemplateRebuildDlg::kTemplateId, "Analyse", 200, 44, kSVRebuildGerman},
    {TRhythmDetectionDlg::kTemplateId, "Analyse", 200, 44, kRhythmGerman},
    {TPdfConvertWaitDlg::kTemplateId, "PDF", 200, 44, kPdfWaitGerman},
};

// --- Menu registry -----------------------------------------------------------------------------------

std::map<std::string, std::map<int, const MenuTemplate*>, std::less<>>& MenuRegistry() {
  static std::map<std::string, std::map<int, const MenuTemplate*>, std::less<>> registry;
  return registry;
}

const MenuTemplate* FindMenuIn(std::string_view pack, int id) {
  const auto& registry = MenuRegistry();
  const auto found = registry.find(pack);
  if (found == registry.end()) return nullptr;
  const auto it = found->second.find(id);
  return it == found->second.end() ? nullptr : it->second;
}

win::Menu BuildMenu(std::span<const MenuLine> lines) {
  win::Menu root;
  // The menu that receives lines of each depth; a pop-up line opens the next depth.
  std::vector<win::Menu*> levels = {&root};
  for (const MenuLine& line : lines) {
    const size_t depth = static_cast<size_t>(line.depth);
    if (depth >= levels.size()) continue;  // a line below no pop-up: a table error, skipped
    levels.resize(depth + 1);
    win::Menu& menu = *levels[depth];
    if (line.id == -1) {
      menu.AppendSeparator();
    } else if (line.id == 0) {
      levels.push_back(&menu.AppendPopup(line.text != nullptr ? line.text : ""));
    } else {
      menu.AppendItem(line.id, line.text != nullptr ? line.text : "");
    }
  }
  return root;
}

}  // namespace

void AddMenuTemplates(const platform::ResourcePack& pack, std::span<const MenuTemplate> menus) {
  auto& entries = MenuRegistry()[pack.Name()];
  for (const MenuTemplate& menu : menus) entries[menu.id] = &menu;
}

void ResetMenuTemplates() { MenuRegistry().clear(); }

std::optional<win::Menu> LoadMenuResource(int id) {
  platform::ResourceContext& resources = platform::Resources();
  const platform::ResourcePack* language = resources.LanguagePack();
  const std::string& own = resources.ExePack().Name();
  const MenuTemplate* found = nullptr;
  if (resources.UsingExeResources() || language == nullptr) {
    found = FindMenuIn(own, id);
    if (found == nullptr && language != nullptr) found = FindMenuIn(language->Name(), id);
  } else {
    found = FindMenuIn(language->Name(), id);
    if (found == nullptr) found = FindMenuIn(own, id);
  }
  if (found == nullptr) return std::nullopt;
  return BuildMenu(found->lines);
}

std::span<const ToolbarButtonTemplate> FindToolbarResource(int id) {
  switch (id) {
    case ids::kMainToolbarResource:
      return kMainToolbar;
    case ids::kTimeSpanToolbarResource:
      return kTimeSpanToolbar;
    case ids::kDocumentResource:
      return kMenuImages;
    default:
      return {};
  }
}

std::string CommandToolTip(int id) {
  const std::string prompt = platform::LoadString(id);
  const size_t line_end = prompt.find('\n');
  return line_end == std::string::npos ? prompt : prompt.substr(line_end + 1);
}

void AddCoreResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack)) {
    pack.AddStrings(kGermanStrings);
    win::Templates().Add(pack, kGermanDialogs);
    AddMenuTemplates(pack, kGermanMenus);
    return;
  }
  pack.AddStrings(kEnglishStrings);
  win::Templates().Add(pack, kEnglishDialogs);
  AddMenuTemplates(pack, kEnglishMenus);
  if (win::IsExePack(pack)) pack.AddStrings(kOwnStrings);
}
