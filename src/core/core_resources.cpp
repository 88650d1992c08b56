#include "core/core_resources.h"

#include <map>
#include <string>
#include <vector>

#include "analysis/editing/beat_editor.h"
#include "analysis/st/st_progress_dlg.h"
#include "core/about_dlg.h"
#include "core/analysis_dialogs.h"
#include "core/core_ids.h"
#include "core/document_sheets.h"
#include "core/pdf_convert_wait_dlg.h"
#include "core/view_exports.h"
#include "core/view_pages.h"
#include "core/zk470_view_letter_export.h"
#include "platform/process_context.h"
#include "platform/resource_lookups.h"
#include "platform/resources.h"
#include "recorder/recorder_area.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"
#include "win/messages.h"

namespace {

using win::ControlKind;
using win::ControlLayout;
using win::DialogLayout;
using win::DialogTemplate;
using win::kIdCancel;
using win::kIdOk;
using win::LocalizeControls;
using win::LocalizeDialog;
namespace ids = core_ids;

// --- Strings ---------------------------------------------------------------------------------------

constexpr platform::StringEntry kOwnStrings[] = {
    {ids::kIdsDocumentString,
     "KESTROVA ZK-470 Holter-ECG\n\n ZK-470 Holter\nZK-470 Files (*.qrs)\n.QRS\nZK-470.Document\nZK-470 "
     "Document"},
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
    {cmd::kFileNew, "Starts a new recording\nNew"},
    {cmd::kFileOpen, "Opens a recording\nOpen"},
    {cmd::kFileClose, "Closes the recording\nClose"},
    {cmd::kFileSave, "Saves the recording\nSave"},
    {cmd::kFileSaveAs, "Saves the recording under a new name\nSave as"},
    {cmd::kAppAbout, "Shows the program version\nAbout"},
    {cmd::kAppExit, "Ends the program\nExit"},
    {cmd::kPrintWholeReport, "Prints the whole report\nPrint report"},
    {cmd::kAnalyzeRecording, "Analyses the recording\nAnalyse"},
    {cmd::kAnalysisOptions, "Changes the analysis settings\nAnalysis settings"},
    {cmd::kReadRecorder, "Reads a recording out of the recorder\nRead recorder"},
    {cmd::kReadTape, "Reads a recording from tape\nRead tape"},
    {cmd::kChannelView, "Shows the chosen channels\nChannel view"},
    {cmd::kRecomputeEvents, "Detects the events again\nRecompute events"},
    {cmd::kOptions, "Changes the settings of the workstation\nOptions"},
    {cmd::kRepeatSTAnalysis, "Repeats the ST analysis\nST analysis"},
    {cmd::kPatientData, "Edits the patient data\nPatient data"},
    {cmd::kPatientDataAlt, "Edits the patient data\nPatient data"},
    {cmd::kEditDiagnosis, "Edits the diagnosis of the recording\nDiagnosis"},
    {cmd::kPacemakerAnalysis, "Repeats the pacemaker analysis\nPacemaker analysis"},
    {cmd::kNarrativeTest, "Tests the narrative letter with chosen values\nNarrative test"},
    {cmd::kSendReportPdf, "Sends the report as PDF by e-mail\nSend report"},
    {cmd::kExportReportPdf, "Saves the whole report as a PDF file beside the recording\nReport as PDF"},
    {export_cmd::kRRExport,
     "Writes the RR intervals of the recording into a text file\nRR intervals as text"},
    {cmd::kSendRecording, "Sends the recording by e-mail\nSend recording"},
    {cmd::kSend, "Sends the report or the recording by e-mail\nSend"},
    {cmd::kImportRawFile, "Imports the recording of an SD card\nImport SD card"},
    {cmd::kImportRawFiles, "Imports several recordings of SD cards\nImport SD cards"},
    {cmd::kBatchAnalysis, "Analyses chosen recordings one after the other\nBatch analysis"},
    {cmd::kDiscardAnalysis, "Discards the analysis of the recording\nDiscard analysis"},
    {cmd::kExportBin, "Writes the ECG of the recording into a BIN file\nBIN export"},
    {cmd::kExportBinMultiple,
     "Writes the ECG of chosen recordings into BIN files\nBIN export of several recordings"},
    {cmd::kExportRRMultiple,
     "Writes the RR intervals of chosen recordings into text files\nRR export of several recordings"},
    {cmd::kImportAhaFiles, "Imports chosen AHA database records\nImport AHA files"},
    {cmd::kImportKEKGFiles, "Imports chosen KEKG signal files\nImport KEKG files"},
    {cmd::kDumpDocument,
     "Writes the lists of the recording into diagnostic list files\nDiagnostic list files"},
    {cmd::kSaveOldFormat, "Saves the recording in the old file format\nSave in old format"},
    {cmd::kRecorderTest, "Tests a recorder\nRecorder test"},
    {cmd::kZK131Test, "Sends single commands to a ZK-131 recorder\nZK-131 command tester"},
    {cmd::kUsbTest, "Tests the USB converter\nUSB test"},
    {cmd::kRawDataTest, "Writes a RAW card image of test data\nRaw data test"},
    {cmd::kWriteRecordingRawFile, "Writes the recording as a RAW card image\nRecording as RAW image"},
    {cmd::kCheckRawFile, "Checks a RAW card image and lists what it holds\nCheck RAW file"},
    {cmd::kCheckCmpFile, "Checks a compressed sample file and writes a report beside it\nCheck CMP file"},
    {cmd::kRepairFiles, "Checks chosen compressed sample files\nRepair files"},
    {cmd::kConvertAhaSignalFile, "Widens a reference signal file\nWiden reference signal file"},
    {cmd::kValidationBatchAHA,
     "Analyses and saves the AHA reference records of the data folder\nAnalyse AHA records"},
    {cmd::kValidationBatchMIT,
     "Analyses and saves the MIT reference records of the data folder\nAnalyse MIT records"},
    {cmd::kValidationBatchESC,
     "Analyses and saves the ST-T reference records of the data folder\nAnalyse ST-T records"},
    {cmd::kTimeSpan, "Chooses the time span shown\nTime span"},
    {cmd::kNavigation, "Shows the navigation screen\nNavigation"},
    {cmd::kTrendBelow, "Shows the heart-rate trend below\nTrend below"},
    {cmd::kStripBelow, "Shows an ECG strip below\nStrip below"},
    {cmd::kHourlyBarGraphs, "Shows the hourly bar graphs\nBar graphs"},
    {cmd::kSTTrend, "Shows the ST trend\nST trend"},
    {cmd::kTemplateBrowser, "Shows the template classes\nTemplates"},
    {cmd::kSampleWindows, "Shows the ECG samples\nSamples"},
    {cmd::kHeartRateVariability, "Shows the heart-rate variability\nHRV"},
    {cmd::kPacemakerTemplates, "Shows the pacemaker templates\nPacemaker templates"},
    {cmd::kStatistics, "Shows the statistics\nStatistics"},
    {cmd::kHeartRateNavigator, "Shows the heart-rate navigator\nHeart-rate navigator"},
    {cmd::kFirstSpan, "Shows the first time span\nFirst span"},
    {cmd::kPreviousSpan, "Shows the previous time span\nPrevious span"},
    {cmd::kNextSpan, "Shows the next time span\nNext span"},
    {cmd::kLastSpan, "Shows the last time span\nLast span"},
    {cmd::kNextPage, "Shows the next page\nNext page"},
    {cmd::kPreviousPage, "Shows the previous page\nPrevious page"},
    {cmd::kThreeTexts, "Edits the three texts of the recording\nTexts"},
    {cmd::kUserId, "User ID"},
    {cmd::kPacemakerTexts, "Edits the names of the pacemaker templates\nPacemaker names"},
    {cmd::kUndoEdits, "Undoes the edits\nUndo"},
    {cmd::kArchiveCopy, "Copies the recording to the archive\nArchive copy"},
    {cmd::kArchiveCopyAll, "Copies recordings to the archive\nArchive copies"},
    {cmd::kAnnotationStatisticAHA, "Compares the beats with an AHA annotation\nAHA statistic"},
    {cmd::kAnnotationStatisticMIT, "Compares the beats with an MIT annotation\nMIT statistic"},
    {cmd::kSTStatistic, "Compares the ST values with an annotation\nST statistic"},
    {cmd::kGDTSendResult, "Sends the result to the practice software\nGDT send"},
    {cmd::kGDTTakePatient, "Takes the patient data from the practice software\nGDT patient"},
    {cmd::kPrintOptions, "Chooses what the report prints\nPrint options"},
    {cmd::kFilePrint, "Prints the chosen report\nPrint"},
    {cmd::kFilePrintPreview, "Shows the report as it will print\nPrint preview"},
    {cmd::kPrintSamples, "Prints the strips of the user events\nPrint user event strips"},
    {cmd::kPrintFullDisclosure, "Prints the full disclosure\nPrint full disclosure"},
    {cmd::kPrintTemplates, "Prints the templates\nPrint templates"},
    {cmd::kPrintEnvelopes, "Prints the envelopes of the letters\nEnvelopes"},
    {cmd::kGoToStart, "Goes to the start of the recording\nStart of the recording"},
    {cmd::kRemoveUserEvents, "Removes every user event of the recording\nRemove user events"},
    {document_sheets::kDisplaySpeedSheet,
     "Sets the speed and amplitude of the ECG screens\nECG speed and amplitude"},
    {document_sheets::kHeartRateSheet, "Sets how the heart-rate trend is averaged\nHeart-rate averaging"},
    {export_cmd::kLetterExport, "Writes the narrative letters as RTF files\nLetters as RTF"},
    {export_cmd::kArchiveCopyTo, "Copies chosen recordings to the archive\nTo the archive"},
    {export_cmd::kArchiveCopyFrom, "Copies chosen recordings back from the archive\nFrom the archive"},
    {cmd::kPrint33218, "Prints the narrative letters\nPrint letters"},
    {cmd::kPrint32885, "Prints the summary report\nPrint summary"},
    {cmd::kPrint32989, "Prints the heart-rate events\nPrint heart-rate events"},
    {cmd::kPrint32886, "Prints the hourly tables\nPrint hourly tables"},
    {cmd::kPrint32790, "Prints the event chart\nPrint event chart"},
    {cmd::kPrint32876, "Prints the strips of the heart-rate and RR extremes\nPrint extremes"},
    {cmd::kPrint33203, "Prints the strips of the sinus-rate and NN extremes\nPrint sinus extremes"},
    {cmd::kPrint32987, "Prints the ECG examples\nPrint examples"},
    {cmd::kPrint32956, "Prints the marker strips\nPrint marker strips"},
    {cmd::kPrint32912, "Prints the ST page\nPrint ST page"},
    {cmd::kPrint32911, "Prints the ST episodes\nPrint ST episodes"},
    {cmd::kPrint32996, "Prints the pacemaker templates\nPrint pacemaker templates"},
    {cmd::kPrint33007, "Prints the heart-rate variability\nPrint HRV"},
    {CRecorderArea::kCmdStartMonitor, "Starts the live ECG of the connected recorder\nStart monitor"},
    {ids::kIdsPrintOptionsCaption, "Print options"},
    {ids::kIdsPacemakerTextsCaption, "Pacemaker names"},
    {ids::kIdsArchiveCopyFailed,
     "The copy to the archive did not complete: there was nothing to copy, a file could not be copied, "
     "or the copy was cancelled."},
    {ids::kIdsFullDisclosureDay, "Full disclosure:"},
    {ids::kIdsGdtAskAnswer, "The request went to the practice software.\nTake over the patient data now?"},
    {ids::kIdsGdtNoAnswer, "No patient data came from the practice software."},
    {ids::kIdsGdtNotSent, "The result could not be written to the GDT exchange folder."},
    {ids::kIdsMenuScreens, "&View"},
    {ids::kIdsSpanAll, "All"},
    {cmd::kFileMruFirst, "Opens this recording"},
    {cmd::kFileMruFirst + 1, "Opens this recording"},
    {cmd::kFileMruFirst + 2, "Opens this recording"},
    {cmd::kFileMruLast, "Opens this recording"},
    {analysis::kStringRedoSTQuestion,
     "The beats of a range of a minute or more were relabelled, which changes the ST measurements.\n"
     "Do you want to run the ST analysis again now?\n"
     "No marks the ST results as out of date."},
    // The lock-key panes of the status bar.
    {ids::kIndicatorCaps, "CAP"},
    {ids::kIndicatorNum, "NUM"},
    {ids::kIndicatorScroll, "SCRL"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {analysis::kStringRedoSTQuestion,
     "Die Schläge eines Bereichs von einer Minute oder mehr wurden neu klassifiziert; das ändert die "
     "ST-Messungen.\nMöchten Sie die ST-Analyse jetzt erneut durchführen?\n"
     "Mit Nein werden die ST-Ergebnisse als veraltet markiert."},
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
    {cmd::kFileNew, "Beginnt eine neue Aufzeichnung\nNeu"},
    {cmd::kFileOpen, "Öffnet eine Aufzeichnung\nÖffnen"},
    {cmd::kFileClose, "Schließt die Aufzeichnung\nSchließen"},
    {cmd::kFileSave, "Speichert die Aufzeichnung\nSpeichern"},
    {cmd::kFileSaveAs, "Speichert die Aufzeichnung unter einem neuen Namen\nSpeichern unter"},
    {cmd::kAppAbout, "Zeigt die Programmversion\nInfo"},
    {cmd::kAppExit, "Beendet das Programm\nBeenden"},
    {cmd::kPrintWholeReport, "Druckt den ganzen Bericht\nBericht drucken"},
    {cmd::kAnalyzeRecording, "Analysiert die Aufzeichnung\nAnalysieren"},
    {cmd::kAnalysisOptions, "Ändert die Analyseeinstellungen\nAnalyseeinstellungen"},
    {cmd::kReadRecorder, "Liest eine Aufzeichnung aus dem Rekorder\nRekorder auslesen"},
    {cmd::kReadTape, "Liest eine Aufzeichnung von Kassette\nKassette einlesen"},
    {cmd::kChannelView, "Zeigt die gewählten Kanäle\nKanalansicht"},
    {cmd::kRecomputeEvents, "Bestimmt die Ereignisse neu\nEreignisse neu berechnen"},
    {cmd::kOptions, "Ändert die Einstellungen des Arbeitsplatzes\nOptionen"},
    {cmd::kRepeatSTAnalysis, "Wiederholt die ST-Analyse\nST-Analyse"},
    {cmd::kPatientData, "Bearbeitet die Patientendaten\nPatientendaten"},
    {cmd::kPatientDataAlt, "Bearbeitet die Patientendaten\nPatientendaten"},
    {cmd::kEditDiagnosis, "Bearbeitet die Diagnose der Aufzeichnung\nDiagnose"},
    {cmd::kPacemakerAnalysis, "Wiederholt die Schrittmacheranalyse\nSchrittmacheranalyse"},
    {cmd::kNarrativeTest, "Prüft den Arztbrief mit gewählten Werten\nArztbrief testen"},
    {cmd::kSendReportPdf, "Versendet den Bericht als PDF per E-Mail\nBericht senden"},
    {cmd::kExportReportPdf,
     "Speichert den ganzen Bericht als PDF-Datei neben der Aufzeichnung\nBericht als PDF"},
    {export_cmd::kRRExport,
     "Schreibt die RR-Intervalle der Aufzeichnung in eine Textdatei\nRR-Intervalle als Text"},
    {cmd::kSendRecording, "Versendet die Aufzeichnung per E-Mail\nAufzeichnung senden"},
    {cmd::kSend, "Versendet den Bericht oder die Aufzeichnung per E-Mail\nSenden"},
    {cmd::kImportRawFile, "Liest die Aufzeichnung einer SD-Karte ein\nSD-Karte einlesen"},
    {cmd::kImportRawFiles, "Liest mehrere Aufzeichnungen von SD-Karten ein\nSD-Karten einlesen"},
    {cmd::kBatchAnalysis, "Analysiert gewählte Aufzeichnungen nacheinander\nBatch-Analyse"},
    {cmd::kDiscardAnalysis, "Verwirft die Analyse der Aufzeichnung\nAnalyse verwerfen"},
    {cmd::kExportBin, "Schreibt das EKG der Aufzeichnung in eine BIN-Datei\nBIN-Export"},
    {cmd::kExportBinMultiple,
     "Schreibt das EKG gewählter Aufzeichnungen in BIN-Dateien\nBIN-Export mehrerer Aufzeichnungen"},
    {cmd::kExportRRMultiple,
     "Schreibt die RR-Intervalle gewählter Aufzeichnungen in Textdateien\nRR-Export mehrerer Aufzeichnungen"},
    {cmd::kImportAhaFiles, "Importiert gewählte AHA-Datensätze\nAHA-Dateien importieren"},
    {cmd::kImportKEKGFiles, "Importiert gewählte KEKG-Signaldateien\nKEKG-Dateien importieren"},
    {cmd::kDumpDocument, "Schreibt die Listen der Aufzeichnung in Diagnoselisten\nDiagnoselisten"},
    {cmd::kSaveOldFormat, "Speichert die Aufzeichnung im alten Dateiformat\nAltes Dateiformat"},
    {cmd::kRecorderTest, "Testet einen Rekorder\nRekordertest"},
    {cmd::kZK131Test, "Sendet einzelne Befehle an einen ZK-131-Rekorder\nZK-131-Befehlstester"},
    {cmd::kUsbTest, "Testet den USB-Konverter\nUSB-Test"},
    {cmd::kRawDataTest, "Schreibt ein RAW-Kartenbild mit Testdaten\nRohdatentest"},
    {cmd::kWriteRecordingRawFile, "Schreibt die Aufzeichnung als RAW-Kartenbild\nAufzeichnung als RAW-Bild"},
    {cmd::kCheckRawFile, "Prüft ein RAW-Kartenbild und listet seinen Inhalt\nRAW-Datei prüfen"},
    {cmd::kCheckCmpFile,
     "Prüft eine komprimierte EKG-Datei und schreibt einen Bericht daneben\nCMP-Datei prüfen"},
    {cmd::kRepairFiles, "Prüft gewählte komprimierte EKG-Dateien\nDateien reparieren"},
    {cmd::kConvertAhaSignalFile, "Erweitert eine Referenzsignaldatei\nReferenzsignaldatei erweitern"},
    {cmd::kValidationBatchAHA,
     "Wertet die AHA-Referenzaufzeichnungen des Datenordners aus und speichert sie\nAHA-Aufzeichnungen "
     "auswerten"},
    {cmd::kValidationBatchMIT,
     "Wertet die MIT-Referenzaufzeichnungen des Datenordners aus und speichert sie\nMIT-Aufzeichnungen "
     "auswerten"},
    {cmd::kValidationBatchESC,
     "Wertet die ST-T-Referenzaufzeichnungen des Datenordners aus und speichert sie\nST-T-Aufzeichnungen "
     "auswerten"},
    {cmd::kTimeSpan, "Wählt die angezeigte Zeitspanne\nZeitspanne"},
    {cmd::kNavigation, "Zeigt die Navigation\nNavigation"},
    {cmd::kTrendBelow, "Zeigt den Herzfrequenztrend darunter\nTrend darunter"},
    {cmd::kStripBelow, "Zeigt einen EKG-Streifen darunter\nStreifen darunter"},
    {cmd::kHourlyBarGraphs, "Zeigt die stündlichen Balkengrafiken\nBalkengrafiken"},
    {cmd::kSTTrend, "Zeigt den ST-Trend\nST-Trend"},
    {cmd::kTemplateBrowser, "Zeigt die Schlagklassen\nKlassen"},
    {cmd::kSampleWindows, "Zeigt die EKG-Beispiele\nBeispiele"},
    {cmd::kHeartRateVariability, "Zeigt die Herzfrequenzvariabilität\nHRV"},
    {cmd::kPacemakerTemplates, "Zeigt die Schrittmacherklassen\nSchrittmacherklassen"},
    {cmd::kStatistics, "Zeigt die Statistik\nStatistik"},
    {cmd::kHeartRateNavigator, "Zeigt den Herzfrequenznavigator\nHerzfrequenznavigator"},
    {cmd::kFirstSpan, "Zeigt die erste Zeitspanne\nErste Zeitspanne"},
    {cmd::kPreviousSpan, "Zeigt die vorige Zeitspanne\nVorige Zeitspanne"},
    {cmd::kNextSpan, "Zeigt die nächste Zeitspanne\nNächste Zeitspanne"},
    {cmd::kLastSpan, "Zeigt die letzte Zeitspanne\nLetzte Zeitspanne"},
    {cmd::kNextPage, "Zeigt die nächste Seite\nNächste Seite"},
    {cmd::kPreviousPage, "Zeigt die vorige Seite\nVorige Seite"},
    {cmd::kThreeTexts, "Bearbeitet die drei Texte der Aufzeichnung\nTexte"},
    {cmd::kUserId, "Benutzerkennung"},
    {cmd::kPacemakerTexts, "Bearbeitet die Namen der Schrittmacherklassen\nSchrittmachernamen"},
    {cmd::kUndoEdits, "Macht die Änderungen rückgängig\nRückgängig"},
    {cmd::kArchiveCopy, "Kopiert die Aufzeichnung ins Archiv\nArchivkopie"},
    {cmd::kArchiveCopyAll, "Kopiert Aufzeichnungen ins Archiv\nArchivkopien"},
    {cmd::kAnnotationStatisticAHA, "Vergleicht die Schläge mit einer AHA-Annotation\nAHA-Statistik"},
    {cmd::kAnnotationStatisticMIT, "Vergleicht die Schläge mit einer MIT-Annotation\nMIT-Statistik"},
    {cmd::kSTStatistic, "Vergleicht die ST-Werte mit einer Annotation\nST-Statistik"},
    {cmd::kGDTSendResult, "Sendet den Befund an die Praxissoftware\nGDT senden"},
    {cmd::kGDTTakePatient, "Übernimmt die Patientendaten der Praxissoftware\nGDT-Patient"},
    {cmd::kPrintOptions, "Wählt, was der Bericht druckt\nDruckoptionen"},
    {cmd::kFilePrint, "Druckt den gewählten Bericht\nDrucken"},
    {cmd::kFilePrintPreview, "Zeigt den Bericht, wie er gedruckt wird\nSeitenansicht"},
    {cmd::kPrintSamples, "Druckt die Streifen der Benutzerereignisse\nBenutzerereignisse drucken"},
    {cmd::kPrintFullDisclosure, "Druckt das Voll-EKG\nVoll-EKG drucken"},
    {cmd::kPrintTemplates, "Druckt die Klassen\nKlassen drucken"},
    {cmd::kPrintEnvelopes, "Druckt die Briefumschläge der Arztbriefe\nUmschläge"},
    {cmd::kGoToStart, "Geht zum Anfang der Aufzeichnung\nAnfang der Aufzeichnung"},
    {cmd::kRemoveUserEvents,
     "Entfernt alle Benutzerereignisse der Aufzeichnung\nBenutzerereignisse entfernen"},
    {document_sheets::kDisplaySpeedSheet,
     "Stellt Geschwindigkeit und Amplitude der EKG-Ansichten ein\nEKG-Geschwindigkeit und -Amplitude"},
    {document_sheets::kHeartRateSheet,
     "Stellt die Mittelung des Herzfrequenztrends ein\nHerzfrequenz-Mittelung"},
    {export_cmd::kLetterExport, "Schreibt die Arztbriefe als RTF-Dateien\nArztbriefe als RTF"},
    {export_cmd::kArchiveCopyTo, "Kopiert gewählte Aufzeichnungen ins Archiv\nIns Archiv"},
    {export_cmd::kArchiveCopyFrom, "Kopiert gewählte Aufzeichnungen aus dem Archiv zurück\nAus dem Archiv"},
    {cmd::kPrint33218, "Druckt die Arztbriefe\nArztbriefe drucken"},
    {cmd::kPrint32885, "Druckt den Befundbericht\nBefundbericht drucken"},
    {cmd::kPrint32989, "Druckt die Herzfrequenzereignisse\nHerzfrequenzereignisse drucken"},
    {cmd::kPrint32886, "Druckt die Stundentabellen\nStundentabellen drucken"},
    {cmd::kPrint32790, "Druckt die Ereignisgrafik\nEreignisgrafik drucken"},
    {cmd::kPrint32876, "Druckt die Streifen der Herzfrequenz- und RR-Extreme\nExtreme drucken"},
    {cmd::kPrint33203, "Druckt die Streifen der Sinusfrequenz- und NN-Extreme\nSinus-Extreme drucken"},
    {cmd::kPrint32987, "Druckt die EKG-Beispiele\nBeispiele drucken"},
    {cmd::kPrint32956, "Druckt die Markerstreifen\nMarkerstreifen drucken"},
    {cmd::kPrint32912, "Druckt die ST-Seite\nST-Seite drucken"},
    {cmd::kPrint32911, "Druckt die ST-Episoden\nST-Episoden drucken"},
    {cmd::kPrint32996, "Druckt die Schrittmacherklassen\nSchrittmacherklassen drucken"},
    {cmd::kPrint33007, "Druckt die Herzfrequenzvariabilität\nHRV drucken"},
    {CRecorderArea::kCmdStartMonitor, "Startet das Live-EKG des angeschlossenen Rekorders\nMonitor starten"},
    {ids::kIdsPrintOptionsCaption, "Druckoptionen"},
    {ids::kIdsPacemakerTextsCaption, "Schrittmachernamen"},
    {ids::kIdsArchiveCopyFailed,
     "Das Kopieren ins Archiv wurde nicht abgeschlossen: Es gab nichts zu kopieren, eine Datei konnte nicht "
     "kopiert werden, oder das Kopieren wurde abgebrochen."},
    {ids::kIdsFullDisclosureDay, "Voll-EKG:"},
    {ids::kIdsGdtAskAnswer, "Die Anfrage ging an die Praxissoftware.\nPatientendaten jetzt übernehmen?"},
    {ids::kIdsGdtNoAnswer, "Von der Praxissoftware kamen keine Patientendaten."},
    {ids::kIdsGdtNotSent, "Der Befund konnte nicht in den GDT-Austauschordner geschrieben werden."},
    {ids::kIdsMenuScreens, "A&nsicht"},
    {ids::kIdsSpanAll, "Alle"},
    {cmd::kFileMruFirst, "Öffnet diese Aufzeichnung"},
    {cmd::kFileMruFirst + 1, "Öffnet diese Aufzeichnung"},
    {cmd::kFileMruFirst + 2, "Öffnet diese Aufzeichnung"},
    {cmd::kFileMruLast, "Öffnet diese Aufzeichnung"},
    {ids::kIndicatorCaps, "UF"},
    {ids::kIndicatorNum, "NUM"},
    {ids::kIndicatorScroll, "RF"},
};

// --- Menus -----------------------------------------------------------------------------------------

constexpr MenuLine kMainMenuEnglish[] = {
    {0, 0, "&File"},
    {1, cmd::kFileNew, "&New\tCtrl+N"},
    {1, cmd::kFileOpen, "&Open...\tCtrl+O"},
    {1, cmd::kFileClose, "&Close"},
    {1, cmd::kFileSave, "&Save\tCtrl+S"},
    {1, -1, nullptr},
    {1, cmd::kFileMruFirst, "Recent file"},
    {1, -1, nullptr},
    {1, cmd::kAppExit, "E&xit"},
    {0, 0, "&Recorder"},
    {1, cmd::kReadRecorder, "&Read recorder..."},
    {1, cmd::kImportRawFile, "Import &SD card..."},
    {1, cmd::kImportRawFiles, "Import several SD &cards..."},
    {1, cmd::kReadTape, "Read &tape..."},
    {1, -1, nullptr},
    {1, 0, "&Monitor"},
    {2, CRecorderArea::kCmdStartMonitor, "&Start monitor"},
    {2, CRecorderArea::kCmdMonitor, "Monitor &on (MON)"},
    {2, CRecorderArea::kCmdStartStream, "Request &data (0x15)"},
    {2, CRecorderArea::kCmdExitMonitor, "Monitor o&ff (ExMON)"},
    {2, -1, nullptr},
    {2, CRecorderArea::kCmdReset, "&Reset"},
    {2, CRecorderArea::kCmdSetup, "Set&up mode (SET)"},
    {2, CRecorderArea::kCmdExitSetup, "&Leave setup mode (ExSET)"},
    {2, CRecorderArea::kCmdRecord, "Start re&cording (REC)"},
    {2, CRecorderArea::kCmdReview, "Re&view mode (REV)"},
    {2, CRecorderArea::kCmdExitReview, "Leave review mode (E&xREV)"},
    {2, CRecorderArea::kCmdTest, "&Test (TST)"},
    {2, CRecorderArea::kCmdPowerOff, "&Power off (POff)"},
    {0, 0, "&Analysis"},
    {1, cmd::kAnalyzeRecording, "&Analyse recording"},
    {1, cmd::kRecomputeEvents, "Recompute &events"},
    {1, cmd::kRepeatSTAnalysis, "Repeat &ST analysis"},
    {1, cmd::kPacemakerAnalysis, "Repeat &pacemaker analysis"},
    {1, cmd::kRemoveUserEvents, "Remove &user events"},
    {1, -1, nullptr},
    {1, cmd::kAnalysisOptions, "Analysis se&ttings..."},
    {0, 0, "&View"},
    {1, cmd::kNavigation, "&Navigation"},
    {1, cmd::kChannelView, "&ECG page"},
    {1, cmd::kTrendBelow, "Heart-rate &trend below"},
    {1, cmd::kStripBelow, "ECG &strip below"},
    {1, -1, nullptr},
    {1, cmd::kHourlyBarGraphs, "Hourly &bar graphs"},
    {1, cmd::kSTTrend, "ST t&rend"},
    {1, cmd::kTemplateBrowser, "Te&mplate classes"},
    {1, cmd::kSampleWindows, "ECG s&amples"},
    {1, cmd::kHeartRateVariability, "Heart-rate &variability"},
    {1, cmd::kPacemakerTemplates, "&Pacemaker templates"},
    {1, cmd::kStatistics, "St&atistics"},
    {1, cmd::kHeartRateNavigator, "Heart-rate na&vigator"},
    {1, -1, nullptr},
    {1, cmd::kFirstSpan, "&First time span"},
    {1, cmd::kPreviousSpan, "Pre&vious time span"},
    {1, cmd::kNextSpan, "Ne&xt time span"},
    {1, cmd::kLastSpan, "&Last time span"},
    {1, -1, nullptr},
    {1, 0, "&Go to"},
    {2, cmd::kGoToStart, "&Start\tCtrl+Home"},
    {2, -1, nullptr},
    {2, cmd::kPreviousEvent, "&Previous event\tShift+F3"},
    {2, cmd::kNextEvent, "&Next event\tF3"},
    {2, -1, nullptr},
    {2, cmd::kSetMark, "Set &mark\tCtrl+M"},
    {2, cmd::kReturnToMark, "&Return to mark\tCtrl+G"},
    {2, -1, nullptr},
    {2, cmd::kGoToHRMin, "Lowest &heart rate\tCtrl+1"},
    {2, cmd::kGoToHRMax, "Highest heart rate\tCtrl+2"},
    {2, cmd::kGoToSinusHRMin, "Lowest s&inus rate\tCtrl+3"},
    {2, cmd::kGoToSinusHRMax, "Highest sinus rate\tCtrl+4"},
    {2, cmd::kGoToRRMin, "Shortest R&R interval\tCtrl+5"},
    {2, cmd::kGoToRRMax, "Longest RR interval\tCtrl+6"},
    {2, cmd::kGoToNNMin, "Shortest N&N interval\tCtrl+7"},
    {2, cmd::kGoToNNMax, "Longest NN interval\tCtrl+8"},
    {0, 0, "Re&port"},
    {1, cmd::kPrintWholeReport, "&Print report..."},
    {1, cmd::kFilePrint, "Print &directly...\tCtrl+P"},
    {1, 0, "Print p&art"},
    {2, cmd::kPrint33218, "&Narrative letters"},
    {2, cmd::kPrint32885, "&Summary report"},
    {2, cmd::kPrint32989, "&Heart-rate events"},
    {2, cmd::kPrint32886, "Hourly &tables"},
    {2, cmd::kPrint32790, "&Event chart"},
    {2, cmd::kPrint32876, "Heart-rate and RR e&xtremes"},
    {2, cmd::kPrint33203, "S&inus-rate and NN extremes"},
    {2, cmd::kPrint32987, "ECG &examples"},
    {2, cmd::kPrintSamples, "&User event strips"},
    {2, cmd::kPrint32956, "&Marker strips"},
    {2, cmd::kPrintFullDisclosure, "&Full disclosure"},
    {2, cmd::kPrint32912, "S&T page"},
    {2, cmd::kPrint32911, "ST e&pisodes"},
    {2, cmd::kPrintTemplates, "Te&mplates"},
    {2, cmd::kPrint32996, "Pa&cemaker templates"},
    {2, cmd::kPrint33007, "Heart-rate &variability"},
    {1, cmd::kFilePrintPreview, "Print pre&view"},
    {1, cmd::kExportReportPdf, "Report as P&DF"},
    {1, export_cmd::kRRExport, "&RR intervals as text..."},
    {1, export_cmd::kLetterExport, "&Letters as RTF..."},
    {1, cmd::kPrintOptions, "Print &options..."},
    {1, cmd::kPrintEnvelopes, "&Envelopes..."},
    {1, cmd::kNarrativeTest, "&Narrative test..."},
    {1, cmd::kSend, "S&end..."},
    {1, -1, nullptr},
    {1, cmd::kArchiveCopy, "&Archive copy..."},
    {1, cmd::kArchiveCopyAll, "Archive copy of &new recordings..."},
    {1, export_cmd::kArchiveCopyTo, "Chosen recordings &to the archive..."},
    {1, export_cmd::kArchiveCopyFrom, "Chosen recordings &from the archive..."},
    {1, -1, nullptr},
    {1, cmd::kGDTSendResult, "&GDT: send result"},
    {1, cmd::kGDTTakePatient, "GDT: &take patient data"},
    {0, 0, "&Tools"},
    {1, cmd::kBatchAnalysis, "&Batch analysis..."},
    {1, cmd::kDiscardAnalysis, "Discard anal&ysis"},
    {1, -1, nullptr},
    {1, cmd::kExportBin, "BIN &export..."},
    {1, cmd::kExportBinMultiple, "BIN export of se&veral recordings..."},
    {1, cmd::kExportRRMultiple, "&RR export of several recordings..."},
    {1, cmd::kImportAhaFiles, "Import &AHA files..."},
    {1, cmd::kImportKEKGFiles, "Import &KEKG files..."},
    {1, -1, nullptr},
    {1, cmd::kDumpDocument, "Dia&gnostic list files"},
    {1, cmd::kSaveOldFormat, "Save in &old file format"},
    {1, -1, nullptr},
    {1, cmd::kRecorderTest, "Re&corder test..."},
    {1, cmd::kZK131Test, "ZK-131 command &tester..."},
    {1, cmd::kUsbTest, "&USB test..."},
    {1, cmd::kRawDataTest, "Ra&w data test..."},
    {1, cmd::kWriteRecordingRawFile, "Recording as RAW &image..."},
    {1, -1, nullptr},
    {1, cmd::kCheckRawFile, "C&heck RAW file..."},
    {1, cmd::kCheckCmpFile, "Check C&MP file..."},
    {1, cmd::kRepairFiles, "Re&pair files..."},
    {1, cmd::kConvertAhaSignalFile, "Widen re&ference signal file..."},
    {1, -1, nullptr},
    {1, cmd::kValidationBatchAHA, "Analyse AHA reference records"},
    {1, cmd::kValidationBatchMIT, "Analyse MIT reference records"},
    {1, cmd::kValidationBatchESC, "Analyse ST-T reference records"},
    {1, cmd::kAnnotationStatisticAHA, "AHA statistic"},
    {1, cmd::kAnnotationStatisticMIT, "MIT statistic"},
    {1, cmd::kSTStatistic, "ST-T statistic"},
    {0, 0, "&Options"},
    {1, cmd::kPatientData, "&Patient data..."},
    {1, cmd::kEditDiagnosis, "&Diagnosis..."},
    {1, cmd::kThreeTexts, "&Texts..."},
    {1, cmd::kPacemakerTexts, "Pacemaker &names..."},
    {1, cmd::kUserId, "&User ID..."},
    {1, -1, nullptr},
    {1, document_sheets::kDisplaySpeedSheet, "ECG &speed and amplitude..."},
    {1, document_sheets::kHeartRateSheet, "Heart-rate &averaging..."},
    {1, document_sheets::kChannelsSheet, "&Channels..."},
    {1, -1, nullptr},
    {1, cmd::kOptions, "&Options..."},
    {0, 0, "&Help"},
    {1, cmd::kAppAbout, "&About ZK-470..."},
};

constexpr MenuLine kMainMenuGerman[] = {
    {0, 0, "&Datei"},
    {1, cmd::kFileNew, "&Neu\tStrg+N"},
    {1, cmd::kFileOpen, "Ö&ffnen...\tStrg+O"},
    {1, cmd::kFileClose, "S&chließen"},
    {1, cmd::kFileSave, "&Speichern\tStrg+S"},
    {1, -1, nullptr},
    {1, cmd::kFileMruFirst, "Zuletzt geöffnete Datei"},
    {1, -1, nullptr},
    {1, cmd::kAppExit, "&Beenden"},
    {0, 0, "&Rekorder"},
    {1, cmd::kReadRecorder, "Rekorder &auslesen..."},
    {1, cmd::kImportRawFile, "&SD-Karte einlesen..."},
    {1, cmd::kImportRawFiles, "Mehrere SD-Karten &einlesen..."},
    {1, cmd::kReadTape, "&Kassette einlesen..."},
    {1, -1, nullptr},
    {1, 0, "&Monitor"},
    {2, CRecorderArea::kCmdStartMonitor, "Monitor &starten"},
    {2, CRecorderArea::kCmdMonitor, "Monitor &ein (MON)"},
    {2, CRecorderArea::kCmdStartStream, "&Daten anfordern (0x15)"},
    {2, CRecorderArea::kCmdExitMonitor, "Monitor &aus (ExMON)"},
    {2, -1, nullptr},
    {2, CRecorderArea::kCmdReset, "&Zurücksetzen (Reset)"},
    {2, CRecorderArea::kCmdSetup, "Ei&nstellmodus (SET)"},
    {2, CRecorderArea::kCmdExitSetup, "Einstellmodus &verlassen (ExSET)"},
    {2, CRecorderArea::kCmdRecord, "Aufzeichnung s&tarten (REC)"},
    {2, CRecorderArea::kCmdReview, "&Wiedergabemodus (REV)"},
    {2, CRecorderArea::kCmdExitReview, "Wiedergabemodus ver&lassen (ExREV)"},
    {2, CRecorderArea::kCmdTest, "T&est (TST)"},
    {2, CRecorderArea::kCmdPowerOff, "A&usschalten (POff)"},
    {0, 0, "&Analyse"},
    {1, cmd::kAnalyzeRecording, "Aufzeichnung &analysieren"},
    {1, cmd::kRecomputeEvents, "&Ereignisse neu berechnen"},
    {1, cmd::kRepeatSTAnalysis, "&ST-Analyse wiederholen"},
    {1, cmd::kPacemakerAnalysis, "Schritt&macheranalyse wiederholen"},
    {1, cmd::kRemoveUserEvents, "&Benutzerereignisse entfernen"},
    {1, -1, nullptr},
    {1, cmd::kAnalysisOptions, "Analyse&einstellungen..."},
    {0, 0, "A&nsicht"},
    {1, cmd::kNavigation, "&Navigation"},
    {1, cmd::kChannelView, "&EKG-Seite"},
    {1, cmd::kTrendBelow, "Herzfrequenz&trend darunter"},
    {1, cmd::kStripBelow, "EKG-&Streifen darunter"},
    {1, -1, nullptr},
    {1, cmd::kHourlyBarGraphs, "Stündliche &Balkengrafiken"},
    {1, cmd::kSTTrend, "ST-T&rend"},
    {1, cmd::kTemplateBrowser, "Schlag&klassen"},
    {1, cmd::kSampleWindows, "EKG-Beis&piele"},
    {1, cmd::kHeartRateVariability, "Herzfrequenz&variabilität"},
    {1, cmd::kPacemakerTemplates, "Schritt&macherklassen"},
    {1, cmd::kStatistics, "St&atistik"},
    {1, cmd::kHeartRateNavigator, "Herzfrequenzna&vigator"},
    {1, -1, nullptr},
    {1, cmd::kFirstSpan, "&Erste Zeitspanne"},
    {1, cmd::kPreviousSpan, "V&orige Zeitspanne"},
    {1, cmd::kNextSpan, "Nä&chste Zeitspanne"},
    {1, cmd::kLastSpan, "&Letzte Zeitspanne"},
    {1, -1, nullptr},
    {1, 0, "&Gehe zu"},
    {2, cmd::kGoToStart, "&Anfang\tStrg+Pos1"},
    {2, -1, nullptr},
    {2, cmd::kPreviousEvent, "&Voriges Ereignis\tUmschalt+F3"},
    {2, cmd::kNextEvent, "&Nächstes Ereignis\tF3"},
    {2, -1, nullptr},
    {2, cmd::kSetMark, "&Marke setzen\tStrg+M"},
    {2, cmd::kReturnToMark, "&Zurück zur Marke\tStrg+G"},
    {2, -1, nullptr},
    {2, cmd::kGoToHRMin, "Niedrigste &Herzfrequenz\tStrg+1"},
    {2, cmd::kGoToHRMax, "Höchste Herzfrequenz\tStrg+2"},
    {2, cmd::kGoToSinusHRMin, "Niedrigste &Sinusfrequenz\tStrg+3"},
    {2, cmd::kGoToSinusHRMax, "Höchste Sinusfrequenz\tStrg+4"},
    {2, cmd::kGoToRRMin, "Kürzestes &RR-Intervall\tStrg+5"},
    {2, cmd::kGoToRRMax, "Längstes RR-Intervall\tStrg+6"},
    {2, cmd::kGoToNNMin, "Kürzestes N&N-Intervall\tStrg+7"},
    {2, cmd::kGoToNNMax, "Längstes NN-Intervall\tStrg+8"},
    {0, 0, "&Bericht"},
    {1, cmd::kPrintWholeReport, "Bericht &drucken..."},
    {1, cmd::kFilePrint, "Dru&cken...\tStrg+P"},
    {1, 0, "&Teil drucken"},
    {2, cmd::kPrint33218, "&Arztbriefe"},
    {2, cmd::kPrint32885, "&Befundbericht"},
    {2, cmd::kPrint32989, "&Herzfrequenzereignisse"},
    {2, cmd::kPrint32886, "&Stundentabellen"},
    {2, cmd::kPrint32790, "&Ereignisgrafik"},
    {2, cmd::kPrint32876, "Herzfrequenz- und RR-E&xtreme"},
    {2, cmd::kPrint33203, "S&inusfrequenz- und NN-Extreme"},
    {2, cmd::kPrint32987, "EKG-&Beispiele"},
    {2, cmd::kPrintSamples, "Ben&utzerereignisse"},
    {2, cmd::kPrint32956, "&Markerstreifen"},
    {2, cmd::kPrintFullDisclosure, "&Voll-EKG"},
    {2, cmd::kPrint32912, "S&T-Seite"},
    {2, cmd::kPrint32911, "ST-E&pisoden"},
    {2, cmd::kPrintTemplates, "&Klassen"},
    {2, cmd::kPrint32996, "S&chrittmacherklassen"},
    {2, cmd::kPrint33007, "Herzfrequenz&variabilität"},
    {1, cmd::kFilePrintPreview, "&Seitenansicht"},
    {1, cmd::kExportReportPdf, "Bericht als &PDF"},
    {1, export_cmd::kRRExport, "&RR-Intervalle als Text..."},
    {1, export_cmd::kLetterExport, "Arzt&briefe als RTF..."},
    {1, cmd::kPrintOptions, "Druck&optionen..."},
    {1, cmd::kPrintEnvelopes, "&Umschläge..."},
    {1, cmd::kNarrativeTest, "&Arztbrief testen..."},
    {1, cmd::kSend, "&Senden..."},
    {1, -1, nullptr},
    {1, cmd::kArchiveCopy, "Ar&chivkopie..."},
    {1, cmd::kArchiveCopyAll, "Archivkopie &neuer Aufzeichnungen..."},
    {1, export_cmd::kArchiveCopyTo, "Gewählte Aufzeichnungen &ins Archiv..."},
    {1, export_cmd::kArchiveCopyFrom, "Gewählte Aufzeichnungen a&us dem Archiv..."},
    {1, -1, nullptr},
    {1, cmd::kGDTSendResult, "&GDT: Befund senden"},
    {1, cmd::kGDTTakePatient, "GDT: &Patientendaten übernehmen"},
    {0, 0, "E&xtras"},
    {1, cmd::kBatchAnalysis, "&Batch-Analyse..."},
    {1, cmd::kDiscardAnalysis, "Analyse &verwerfen"},
    {1, -1, nullptr},
    {1, cmd::kExportBin, "BI&N-Export..."},
    {1, cmd::kExportBinMultiple, "BIN-Export &mehrerer Aufzeichnungen..."},
    {1, cmd::kExportRRMultiple, "&RR-Export mehrerer Aufzeichnungen..."},
    {1, cmd::kImportAhaFiles, "&AHA-Dateien importieren..."},
    {1, cmd::kImportKEKGFiles, "&KEKG-Dateien importieren..."},
    {1, -1, nullptr},
    {1, cmd::kDumpDocument, "Dia&gnoselisten schreiben"},
    {1, cmd::kSaveOldFormat, "Im alten &Dateiformat speichern"},
    {1, -1, nullptr},
    {1, cmd::kRecorderTest, "Rekorder&test..."},
    {1, cmd::kZK131Test, "&ZK-131-Befehlstester..."},
    {1, cmd::kUsbTest, "&USB-Test..."},
    {1, cmd::kRawDataTest, "R&ohdatentest..."},
    {1, cmd::kWriteRecordingRawFile, "Aufzeichnung als RAW-Bi&ld..."},
    {1, -1, nullptr},
    {1, cmd::kCheckRawFile, "RAW-Datei &prüfen..."},
    {1, cmd::kCheckCmpFile, "&CMP-Datei prüfen..."},
    {1, cmd::kRepairFiles, "Date&ien reparieren..."},
    {1, cmd::kConvertAhaSignalFile, "Referenzsignaldatei &erweitern..."},
    {1, -1, nullptr},
    {1, cmd::kValidationBatchAHA, "AHA-Referenzaufzeichnungen auswerten"},
    {1, cmd::kValidationBatchMIT, "MIT-Referenzaufzeichnungen auswerten"},
    {1, cmd::kValidationBatchESC, "ST-T-Referenzaufzeichnungen auswerten"},
    {1, cmd::kAnnotationStatisticAHA, "AHA-Statistik"},
    {1, cmd::kAnnotationStatisticMIT, "MIT-Statistik"},
    {1, cmd::kSTStatistic, "ST-T-Statistik"},
    {0, 0, "&Optionen"},
    {1, cmd::kPatientData, "&Patientendaten..."},
    {1, cmd::kEditDiagnosis, "&Diagnose..."},
    {1, cmd::kThreeTexts, "&Texte..."},
    {1, cmd::kPacemakerTexts, "Schrittmacher&namen..."},
    {1, cmd::kUserId, "&Benutzerkennung..."},
    {1, -1, nullptr},
    {1, document_sheets::kDisplaySpeedSheet, "EKG-&Geschwindigkeit und -Amplitude..."},
    {1, document_sheets::kHeartRateSheet, "Herzfrequenz-&Mittelung..."},
    {1, document_sheets::kChannelsSheet, "&Kanäle..."},
    {1, -1, nullptr},
    {1, cmd::kOptions, "&Optionen..."},
    {0, 0, "&Hilfe"},
    {1, cmd::kAppAbout, "&Info über ZK-470..."},
};

// The drop-down menus of the main toolbar: the first pop-up is what the arrow shows.
constexpr MenuLine kOpenMenuEnglish[] = {
    {0, 0, "Open"},
    {1, cmd::kFileOpen, "&Open..."},
    {1, cmd::kFileNew, "&New"},
    {1, cmd::kFileClose, "&Close"},
};
constexpr MenuLine kOpenMenuGerman[] = {
    {0, 0, "Öffnen"},
    {1, cmd::kFileOpen, "Ö&ffnen..."},
    {1, cmd::kFileNew, "&Neu"},
    {1, cmd::kFileClose, "S&chließen"},
};
constexpr MenuLine kRecorderMenuEnglish[] = {
    {0, 0, "Recorder"},
    {1, cmd::kReadRecorder, "&Read recorder..."},
    {1, cmd::kReadTape, "Read &tape..."},
    {1, cmd::kImportRawFile, "Import &SD card..."},
    {1, cmd::kImportRawFiles, "Import several SD &cards..."},
};
constexpr MenuLine kRecorderMenuGerman[] = {
    {0, 0, "Rekorder"},
    {1, cmd::kReadRecorder, "Rekorder &auslesen..."},
    {1, cmd::kReadTape, "&Kassette einlesen..."},
    {1, cmd::kImportRawFile, "&SD-Karte einlesen..."},
    {1, cmd::kImportRawFiles, "Mehrere SD-Karten &einlesen..."},
};
constexpr MenuLine kPrintMenuEnglish[] = {
    {0, 0, "Print"},
    {1, cmd::kPrintWholeReport, "&Print report..."},
    {1, cmd::kNarrativeTest, "&Narrative test..."},
};
constexpr MenuLine kPrintMenuGerman[] = {
    {0, 0, "Drucken"},
    {1, cmd::kPrintWholeReport, "Bericht &drucken..."},
    {1, cmd::kNarrativeTest, "&Arztbrief testen..."},
};
constexpr MenuLine kSaveMenuEnglish[] = {
    {0, 0, "Save"},
    {1, cmd::kFileSave, "&Save"},
    {1, cmd::kFileSaveAs, "Save &as..."},
};
constexpr MenuLine kSaveMenuGerman[] = {
    {0, 0, "Speichern"},
    {1, cmd::kFileSave, "&Speichern"},
    {1, cmd::kFileSaveAs, "Speichern &unter..."},
};
constexpr MenuLine kSendMenuEnglish[] = {
    {0, 0, "Send"},
    {1, cmd::kSendReportPdf, "Send &report as PDF..."},
    {1, cmd::kSendRecording, "Send r&ecording..."},
};
constexpr MenuLine kSendMenuGerman[] = {
    {0, 0, "Senden"},
    {1, cmd::kSendReportPdf, "&Bericht als PDF senden..."},
    {1, cmd::kSendRecording, "&Aufzeichnung senden..."},
};
constexpr MenuLine kAnalysisMenuEnglish[] = {
    {0, 0, "Analysis"},
    {1, cmd::kAnalyzeRecording, "&Analyse recording"},
    {1, cmd::kRecomputeEvents, "Recompute &events"},
    {1, cmd::kRepeatSTAnalysis, "Repeat &ST analysis"},
    {1, cmd::kPacemakerAnalysis, "Repeat &pacemaker analysis"},
};
constexpr MenuLine kAnalysisMenuGerman[] = {
    {0, 0, "Analyse"},
    {1, cmd::kAnalyzeRecording, "Aufzeichnung &analysieren"},
    {1, cmd::kRecomputeEvents, "&Ereignisse neu berechnen"},
    {1, cmd::kRepeatSTAnalysis, "&ST-Analyse wiederholen"},
    {1, cmd::kPacemakerAnalysis, "Schritt&macheranalyse wiederholen"},
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

// The keys the main menu shows after its entries. Ctrl with a digit and F3 are taken by no screen.
constexpr int kVkF3 = win::kVkF1 + 2;
constexpr Accelerator kMainAccelerators[] = {
    {'N', true, false, cmd::kFileNew},
    {'O', true, false, cmd::kFileOpen},
    {'S', true, false, cmd::kFileSave},
    {'P', true, false, cmd::kFilePrint},
    {win::kVkHome, true, false, cmd::kGoToStart},
    {kVkF3, false, true, cmd::kPreviousEvent},
    {kVkF3, false, false, cmd::kNextEvent},
    {'M', true, false, cmd::kSetMark},
    {'G', true, false, cmd::kReturnToMark},
    {'1', true, false, cmd::kGoToHRMin},
    {'2', true, false, cmd::kGoToHRMax},
    {'3', true, false, cmd::kGoToSinusHRMin},
    {'4', true, false, cmd::kGoToSinusHRMax},
    {'5', true, false, cmd::kGoToRRMin},
    {'6', true, false, cmd::kGoToRRMax},
    {'7', true, false, cmd::kGoToNNMin},
    {'8', true, false, cmd::kGoToNNMax},
};

// --- Toolbars --------------------------------------------------------------------------------------

// Index 4 is the separator of the GDT group: the main view deletes it with the group's buttons
// when the GDT link is off.
constexpr ToolbarButtonTemplate kMainToolbar[] = {
    {cmd::kFileOpen, ToolGlyph::kOpen},
    {cmd::kFileSave, ToolGlyph::kSave},
    {0, ToolGlyph::kNone},
    {cmd::kReadRecorder, ToolGlyph::kRecorder},
    {0, ToolGlyph::kNone},
    {cmd::kGDTTakePatient, ToolGlyph::kGdtTake},
    {cmd::kGDTSendResult, ToolGlyph::kGdtSend},
    {0, ToolGlyph::kNone},
    {cmd::kAnalyzeRecording, ToolGlyph::kAnalysis},
    {cmd::kPreviousPage, ToolGlyph::kPagePrevious},
    {cmd::kNextPage, ToolGlyph::kPageNext},
    {cmd::kPrintWholeReport, ToolGlyph::kPrint},
    {cmd::kSend, ToolGlyph::kMail},
    {cmd::kSendRecording, ToolGlyph::kQrs},
    {0, ToolGlyph::kNone},
    {cmd::kAppAbout, ToolGlyph::kAbout},
};
// Button 33312 becomes the place of the time-span combo box.
constexpr ToolbarButtonTemplate kTimeSpanToolbar[] = {
    {cmd::kTimeSpan, ToolGlyph::kNone},
};
// The images the menus show beside their entries.
constexpr ToolbarButtonTemplate kMenuImages[] = {
    {cmd::kFileOpen, ToolGlyph::kOpen},          {cmd::kFileSave, ToolGlyph::kSave},
    {cmd::kReadRecorder, ToolGlyph::kRecorder},  {cmd::kAnalyzeRecording, ToolGlyph::kAnalysis},
    {cmd::kPrintWholeReport, ToolGlyph::kPrint}, {cmd::kSend, ToolGlyph::kMail},
    {cmd::kAppAbout, ToolGlyph::kAbout},         {cmd::kPdfImage, ToolGlyph::kPdf},
    {cmd::kQrsImage, ToolGlyph::kQrs},
};

// --- Dialog templates ------------------------------------------------------------------------------

// Each dialog's geometry once, then its caption and texts per language in the order of its controls.
constexpr DialogLayout kAbout{CAboutDlg::kTemplateId, 243, 93};
constexpr ControlLayout kAboutControls[] = {
    {CAboutDlg::kLogoId, ControlKind::kStatic, 7, 7, 60, 60},
    {CAboutDlg::kTitleId, ControlKind::kStatic, 76, 10, 160, 10},
    {-1, ControlKind::kStatic, 76, 26, 70, 8},
    {CAboutDlg::kVersionId, ControlKind::kStatic, 150, 26, 60, 8},
    {-1, ControlKind::kStatic, 76, 38, 70, 8},
    {CAboutDlg::kBuildId, ControlKind::kStatic, 150, 38, 60, 8},
    {CAboutDlg::kLinkId, ControlKind::kStatic, 76, 54, 160, 8},
    {kIdOk, ControlKind::kDefPushButton, 186, 72, 50, 14},
};
constexpr auto kAboutEnglish =
    LocalizeControls(kAboutControls, {"", "", "Analysis version:", "", "Build:", "", "", "OK"});
constexpr auto kAboutGerman =
    LocalizeControls(kAboutControls, {"", "", "Analyseversion:", "", "Build:", "", "", "OK"});

// The three engine progress dialogs share one layout; Cancel is button 1060.
constexpr DialogLayout kProgress{TAnalysisProgressDlg::kTemplateId, 240, 70};
constexpr DialogLayout kProgress2{TAnalysisProgressDlg2::kTemplateId, 240, 70};
constexpr DialogLayout kVraProgress{TVraProgressDlg::kTemplateId, 240, 70};
constexpr ControlLayout kProgressControls[] = {
    {-1, ControlKind::kStatic, 7, 7, 50, 8},
    {AnalysisProgressIds::kPath, ControlKind::kStatic, 60, 7, 173, 8, win::kSsNoPrefix},
    {AnalysisProgressIds::kProgress, ControlKind::kProgressBar, 7, 22, 226, 10, win::kPbsSmooth},
    {-1, ControlKind::kStatic, 7, 40, 70, 8},
    {AnalysisProgressIds::kNormalCount, ControlKind::kStatic, 80, 40, 50, 8, win::kSsRight},
    {-1, ControlKind::kStatic, 7, 52, 70, 8},
    {AnalysisProgressIds::kVentricularCount, ControlKind::kStatic, 80, 52, 50, 8, win::kSsRight},
    {AnalysisProgressIds::kCancel, ControlKind::kPushButton, 183, 48, 50, 14},
};
constexpr auto kProgressEnglish = LocalizeControls(
    kProgressControls, {"Recording:", "", "", "Normal beats:", "0", "Ventricular beats:", "0", "Cancel"});
constexpr auto kProgressGerman = LocalizeControls(
    kProgressControls,
    {"Aufzeichnung:", "", "", "Normalschläge:", "0", "Ventrikuläre Schläge:", "0", "Abbrechen"});

// The ST analysis's progress: the recording, the minutes measured and Cancel (button 1060).
constexpr DialogLayout kSTProgress{analysis::TSTProgressDlg::kTemplateId, 240, 56};
constexpr ControlLayout kSTProgressControls[] = {
    {-1, ControlKind::kStatic, 7, 7, 50, 8},
    {AnalysisProgressIds::kPath, ControlKind::kStatic, 60, 7, 173, 8, win::kSsNoPrefix},
    {AnalysisProgressIds::kProgress, ControlKind::kProgressBar, 7, 22, 226, 10, win::kPbsSmooth},
    {AnalysisProgressIds::kCancel, ControlKind::kPushButton, 183, 38, 50, 14},
};
constexpr auto kSTProgressEnglish = LocalizeControls(kSTProgressControls, {"Recording:", "", "", "Cancel"});
constexpr auto kSTProgressGerman =
    LocalizeControls(kSTProgressControls, {"Aufzeichnung:", "", "", "Abbrechen"});

// The wait dialogs of the analysis and the PDF export: one line of text.
constexpr ControlLayout kWaitControls[] = {
    {-1, ControlKind::kStatic, 10, 12, 180, 20},
};
constexpr DialogLayout kSVRebuild{TSVTemplateRebuildDlg::kTemplateId, 200, 44};
constexpr auto kSVRebuildEnglish = LocalizeControls(
    kWaitControls, {"The supraventricular template classes are being rebuilt. Please wait ..."});
constexpr auto kSVRebuildGerman =
    LocalizeControls(kWaitControls, {"Die supraventrikulären Klassen werden neu gebildet. Bitte warten ..."});
constexpr DialogLayout kRhythm{TRhythmDetectionDlg::kTemplateId, 200, 44};
constexpr auto kRhythmEnglish =
    LocalizeControls(kWaitControls, {"The rhythm events are being detected. Please wait ..."});
constexpr auto kRhythmGerman =
    LocalizeControls(kWaitControls, {"Die Rhythmusereignisse werden bestimmt. Bitte warten ..."});
constexpr DialogLayout kPdfWait{TPdfConvertWaitDlg::kTemplateId, 200, 44};
constexpr auto kPdfWaitEnglish =
    LocalizeControls(kWaitControls, {"The report is being converted into a PDF file. Please wait ..."});
constexpr auto kPdfWaitGerman =
    LocalizeControls(kWaitControls, {"Der Bericht wird in eine PDF-Datei umgewandelt. Bitte warten ..."});

// The pages of the main view's small sheets.
constexpr DialogLayout kUserIdPage{TUserIDPage::kTemplateId, 220, 50, true};
constexpr ControlLayout kUserIdControls[] = {
    {-1, ControlKind::kStatic, 10, 12, 60, 8},
    {TUserIDPage::kTextId, ControlKind::kEdit, 75, 10, 135, 12},
};
constexpr auto kUserIdEnglish = LocalizeControls(kUserIdControls, {"User ID:", ""});
constexpr auto kUserIdGerman = LocalizeControls(kUserIdControls, {"Benutzerkennung:", ""});

constexpr DialogLayout kPacemakerTextPage{TPMTextDlg::kTemplateId, 250, 130, true};
// Two columns of labelled fields, one per pacemaker class.
constexpr ControlLayout PacemakerLabel(int row) {
  return {-1, ControlKind::kStatic, 10 + (row / 7) * 120, 10 + (row % 7) * 16, 25, 8};
}
constexpr ControlLayout PacemakerField(int row) {
  return {TPMTextDlg::kTextIds[static_cast<size_t>(row)],
          ControlKind::kEdit,
          38 + (row / 7) * 120,
          8 + (row % 7) * 16,
          85,
          12};
}
constexpr ControlLayout kPacemakerTextControls[] = {
    PacemakerLabel(0),  PacemakerField(0),  PacemakerLabel(1),  PacemakerField(1),  PacemakerLabel(2),
    PacemakerField(2),  PacemakerLabel(3),  PacemakerField(3),  PacemakerLabel(4),  PacemakerField(4),
    PacemakerLabel(5),  PacemakerField(5),  PacemakerLabel(6),  PacemakerField(6),  PacemakerLabel(7),
    PacemakerField(7),  PacemakerLabel(8),  PacemakerField(8),  PacemakerLabel(9),  PacemakerField(9),
    PacemakerLabel(10), PacemakerField(10), PacemakerLabel(11), PacemakerField(11), PacemakerLabel(12),
    PacemakerField(12),
};
constexpr auto kPacemakerTextTexts = LocalizeControls(
    kPacemakerTextControls, {"1A:", "", "1B:", "", "2A:", "", "2B:", "", "2C:", "", "3A:", "", "3B:", "",
                             "4A:", "", "4B:", "", "4C:", "", "5A:", "", "5B:", "", "6:",  ""});

constexpr DialogTemplate kEnglishDialogs[] = {
    LocalizeDialog(kUserIdPage, "User ID", kUserIdEnglish),
    LocalizeDialog(kPacemakerTextPage, "Pacemaker names", kPacemakerTextTexts),
    LocalizeDialog(kAbout, "About", kAboutEnglish),
    LocalizeDialog(kProgress, "Analysis", kProgressEnglish),
    LocalizeDialog(kProgress2, "Analysis", kProgressEnglish),
    LocalizeDialog(kVraProgress, "Analysis (external library)", kProgressEnglish),
    LocalizeDialog(kSTProgress, "ST analysis", kSTProgressEnglish),
    LocalizeDialog(kSVRebuild, "Analysis", kSVRebuildEnglish),
    LocalizeDialog(kRhythm, "Analysis", kRhythmEnglish),
    LocalizeDialog(kPdfWait, "PDF", kPdfWaitEnglish),
};
constexpr DialogTemplate kGermanDialogs[] = {
    LocalizeDialog(kUserIdPage, "Benutzerkennung", kUserIdGerman),
    LocalizeDialog(kPacemakerTextPage, "Schrittmachernamen", kPacemakerTextTexts),
    LocalizeDialog(kAbout, "Info", kAboutGerman),
    LocalizeDialog(kProgress, "Analyse", kProgressGerman),
    LocalizeDialog(kProgress2, "Analyse", kProgressGerman),
    LocalizeDialog(kVraProgress, "Analyse (externe Bibliothek)", kProgressGerman),
    LocalizeDialog(kSTProgress, "ST-Analyse", kSTProgressGerman),
    LocalizeDialog(kSVRebuild, "Analyse", kSVRebuildGerman),
    LocalizeDialog(kRhythm, "Analyse", kRhythmGerman),
    LocalizeDialog(kPdfWait, "PDF", kPdfWaitGerman),
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

std::vector<int> MenuIdsIn(std::string_view pack) {
  std::vector<int> ids;
  const auto& registry = MenuRegistry();
  if (const auto found = registry.find(pack); found != registry.end())
    for (const auto& [id, menu] : found->second) ids.push_back(id);
  return ids;
}

std::optional<win::Menu> LoadMenuResource(int id) {
  platform::ResourceContext& resources = platform::Resources();
  const platform::ResourcePack* language = resources.LanguagePack();
  const std::string& own = resources.ExePack().Name();
  const MenuTemplate* found = nullptr;
  if (resources.UsingExeResources() || language == nullptr) {
    found = FindMenuIn(own, id);
    if (found == nullptr && language != nullptr) {
      platform::NoteResourceLookup(*language, platform::ResourceLookup::kMenu, id);
      found = FindMenuIn(language->Name(), id);
    }
  } else {
    platform::NoteResourceLookup(*language, platform::ResourceLookup::kMenu, id);
    found = FindMenuIn(language->Name(), id);
    if (found == nullptr) found = FindMenuIn(own, id);
  }
  if (found == nullptr) return std::nullopt;
  return BuildMenu(found->lines);
}

std::span<const Accelerator> MainAccelerators() { return kMainAccelerators; }

int FindAccelerator(int key, bool control, bool shift) {
  for (const Accelerator& accelerator : kMainAccelerators) {
    if (accelerator.key == key && accelerator.control == control && accelerator.shift == shift)
      return accelerator.command;
  }
  return 0;
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

namespace {

// A fresh process has no menus registered.
[[maybe_unused]] const bool kResetRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kCore, [] { ResetMenuTemplates(); });

}  // namespace
