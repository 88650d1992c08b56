#include "views/view_resources.h"

#include "platform/ids.h"
#include "platform/resources.h"
#include "views/caption_areas.h"
#include "views/ecg_page_window.h"
#include "views/ecg_sample_window.h"
#include "views/ecg_strip_edit_window.h"
#include "win/dialog_template.h"

namespace {

struct Prompt {
  int id;
  const char* english;
  const char* german;
};

// Command prompts: the status-bar text, a line end, the tool tip. The English tool tips are the
// texts the toolbars always showed.
constexpr Prompt kPrompts[] = {
    // Beat-editing strip window: toolbar 1025 and context menu 184.
    {CECGStripWnd::kCmdTakeCursor,
     "Moves the current position to the strip cursor\nCurrent position to the cursor",
     "Setzt die aktuelle Position auf den Streifencursor\nAktuelle Position auf den Cursor"},
    {CECGStripWnd::kCmdUserMarker, "Sets or removes a user marker at the cursor\nUser marker",
     "Setzt oder entfernt eine Benutzermarke am Cursor\nBenutzermarke"},
    {CECGStripWnd::kCmdSlower, "Lowers the paper speed of the strip\nSlower paper",
     "Verringert die Papiergeschwindigkeit des Streifens\nLangsamer"},
    {CECGStripWnd::kCmdFaster, "Raises the paper speed of the strip\nFaster paper",
     "Erhöht die Papiergeschwindigkeit des Streifens\nSchneller"},
    {CECGStripWnd::kCmdLarger, "Raises the amplitude of the strip\nLarger amplitude",
     "Vergrößert die Amplitude des Streifens\nGrößere Amplitude"},
    {CECGStripWnd::kCmdSmaller, "Lowers the amplitude of the strip\nSmaller amplitude",
     "Verkleinert die Amplitude des Streifens\nKleinere Amplitude"},
    {CECGStripWnd::kCmdNormal, "Labels the beat at the cursor normal\nNormal",
     "Klassifiziert den Schlag am Cursor als normal\nNormal"},
    {CECGStripWnd::kCmdSVES, "Labels the beat at the cursor SVES\nSVES",
     "Klassifiziert den Schlag am Cursor als SVES\nSVES"},
    {CECGStripWnd::kCmdVES, "Labels the beat at the cursor VES\nVES",
     "Klassifiziert den Schlag am Cursor als VES\nVES"},
    {CECGStripWnd::kCmdArtefact, "Labels the beat at the cursor artefact\nArtefact",
     "Klassifiziert den Schlag am Cursor als Artefakt\nArtefakt"},
    {CECGStripWnd::kCmdClassChoice, "Chooses the class of the beat at the cursor\nClass",
     "Wählt die Klasse des Schlags am Cursor\nKlasse"},
    {CECGStripWnd::kCmdDeleteBeat, "Deletes the beat at the cursor\nDelete beat",
     "Löscht den Schlag am Cursor\nSchlag löschen"},
    {CECGStripWnd::kCmdDeleteEvent, "Deletes the event at the cursor\nDelete event",
     "Löscht das Ereignis am Cursor\nEreignis löschen"},
    {CECGStripWnd::kCmdMarkRangeStart,
     "Marks the beat at the cursor as the start of a range\nMark range start",
     "Markiert den Schlag am Cursor als Anfang eines Bereichs\nBereichsanfang markieren"},
    {CECGStripWnd::kCmdRangeNormal, "Labels every beat of the range normal\nRange: normal",
     "Klassifiziert alle Schläge des Bereichs als normal\nBereich: Normal"},
    {CECGStripWnd::kCmdRangeSVES, "Labels every beat of the range SVES\nRange: SVES",
     "Klassifiziert alle Schläge des Bereichs als SVES\nBereich: SVES"},
    {CECGStripWnd::kCmdRangeVES, "Labels every beat of the range VES\nRange: VES",
     "Klassifiziert alle Schläge des Bereichs als VES\nBereich: VES"},
    {CECGStripWnd::kCmdRangeArtefact, "Labels every beat of the range artefact\nRange: artefact",
     "Klassifiziert alle Schläge des Bereichs als Artefakt\nBereich: Artefakt"},
    {CECGStripWnd::kCmdRangeUnlabel,
     "Takes the VES and SVES labels off the beats of the range\nRange: ectopic beats off",
     "Hebt die VES- und SVES-Klassifikation der Schläge des Bereichs auf\nBereich: Extrasystolen aufheben"},
    {CECGStripWnd::kCmdRangeFibrillation,
     "Marks the range as atrial fibrillation\nRange: atrial fibrillation",
     "Markiert den Bereich als Vorhofflimmern\nBereich: Vorhofflimmern"},
    {CECGStripWnd::kCmdRangeFlutter, "Marks the range as atrial flutter\nRange: atrial flutter",
     "Markiert den Bereich als Vorhofflattern\nBereich: Vorhofflattern"},
    {CECGStripWnd::kCmdShowBeatTemplate,
     "Shows the template class of the beat at the cursor\nShow template class",
     "Zeigt die Templateklasse des Schlags am Cursor\nTemplateklasse anzeigen"},
    {CECGStripWnd::kCmdShowPacemakerTemplate,
     "Shows the pacemaker class of the event at the cursor\nShow pacemaker class",
     "Zeigt die Schrittmacherklasse des Ereignisses am Cursor\nSchrittmacherklasse anzeigen"},
    {CECGStripWnd::kCmdCaliper, "Switches the measuring caliper on or off\nCaliper",
     "Schaltet den Messzirkel ein oder aus\nZirkel"},
    // ECG page window: toolbar 1026.
    {cmd::kCentrePage, "Centres the page on the current position\nCentre the page on the current position",
     "Zentriert die Seite auf die aktuelle Position\nSeite auf die aktuelle Position zentrieren"},
    {ecgpage::kPrintEventStripsCommand, "Prints the event strips\nPrint the event strips",
     "Druckt die Ereignisstreifen\nEreignisstreifen drucken"},
    {cmd::kPreviousPageOfPage, "Shows the previous page of ECG\nPrevious page",
     "Zeigt die vorige EKG-Seite\nVorige Seite"},
    {cmd::kNextPageOfPage, "Shows the next page of ECG\nNext page",
     "Zeigt die nächste EKG-Seite\nNächste Seite"},
    {cmd::kPageSlower, "Lowers the paper speed of the page\nSlower paper",
     "Verringert die Papiergeschwindigkeit der Seite\nLangsamer"},
    {cmd::kPageFaster, "Raises the paper speed of the page\nFaster paper",
     "Erhöht die Papiergeschwindigkeit der Seite\nSchneller"},
    {cmd::kPageLarger, "Raises the amplitude of the page\nLarger amplitude",
     "Vergrößert die Amplitude der Seite\nGrößere Amplitude"},
    {cmd::kPageSmaller, "Lowers the amplitude of the page\nSmaller amplitude",
     "Verkleinert die Amplitude der Seite\nKleinere Amplitude"},
    {cmd::kChannels, "Chooses the channels the page shows\nChannels shown",
     "Wählt die Kanäle, die die Seite zeigt\nAngezeigte Kanäle"},
    {cmd::kAnalysedChannels, "Chooses the channels to analyse and analyses again\nAnalysed channels",
     "Wählt die auszuwertenden Kanäle und wertet neu aus\nAusgewertete Kanäle"},
    {cmd::kAutoScroll, "Pages through the recording by itself\nAuto-scroll",
     "Blättert selbsttätig durch die Aufzeichnung\nAutomatisch blättern"},
    // ECG sample windows: toolbar 178.
    {CECGSampleWnd::kCmdTakeExample, "Takes the current position as the example\nTake the current position",
     "Übernimmt die aktuelle Position als Beispiel\nAktuelle Position übernehmen"},
    {CECGSampleWnd::kCmdNextExample, "Shows the next example of the kind\nNext example",
     "Zeigt das nächste Beispiel dieser Art\nNächstes Beispiel"},
    // Navigation commands of the navigation window.
    {cmd::kPreviousEvent, "Goes to the previous event of the chosen kinds\nPrevious event",
     "Geht zum vorigen Ereignis der gewählten Arten\nVoriges Ereignis"},
    {cmd::kNextEvent, "Goes to the next event of the chosen kinds\nNext event",
     "Geht zum nächsten Ereignis der gewählten Arten\nNächstes Ereignis"},
    {cmd::kSelectOccurringKinds, "Chooses every kind that occurs in the recording\nChoose occurring kinds",
     "Wählt alle Arten, die in der Aufzeichnung vorkommen\nVorkommende Arten wählen"},
    {cmd::kClearKindSelection, "Clears the choice of kinds\nClear choice",
     "Hebt die Auswahl der Arten auf\nAuswahl aufheben"},
    {cmd::kSetMark, "Marks the current position\nSet mark", "Markiert die aktuelle Position\nMarke setzen"},
    {cmd::kReturnToMark, "Returns to the marked position\nReturn to mark",
     "Kehrt zur markierten Position zurück\nZurück zur Marke"},
    {cmd::kGoToHRMin, "Goes to the lowest heart rate\nMinimum heart rate",
     "Geht zur niedrigsten Herzfrequenz\nMinimale Herzfrequenz"},
    {cmd::kGoToHRMax, "Goes to the highest heart rate\nMaximum heart rate",
     "Geht zur höchsten Herzfrequenz\nMaximale Herzfrequenz"},
    {cmd::kGoToSinusHRMin, "Goes to the lowest sinus rate\nMinimum sinus rate",
     "Geht zur niedrigsten Sinusfrequenz\nMinimale Sinusfrequenz"},
    {cmd::kGoToSinusHRMax, "Goes to the highest sinus rate\nMaximum sinus rate",
     "Geht zur höchsten Sinusfrequenz\nMaximale Sinusfrequenz"},
    {cmd::kGoToRRMin, "Goes to the shortest RR interval\nShortest RR",
     "Geht zum kürzesten RR-Intervall\nKürzestes RR"},
    {cmd::kGoToRRMax, "Goes to the longest RR interval\nLongest RR",
     "Geht zum längsten RR-Intervall\nLängstes RR"},
    {cmd::kGoToNNMin, "Goes to the shortest NN interval\nShortest NN",
     "Geht zum kürzesten NN-Intervall\nKürzestes NN"},
    {cmd::kGoToNNMax, "Goes to the longest NN interval\nLongest NN",
     "Geht zum längsten NN-Intervall\nLängstes NN"},
    {cmd::kGoToST1, "Goes to the deepest ST depression of channel 1\nST channel 1",
     "Geht zur tiefsten ST-Senkung von Kanal 1\nST Kanal 1"},
    {cmd::kGoToST2, "Goes to the deepest ST depression of channel 2\nST channel 2",
     "Geht zur tiefsten ST-Senkung von Kanal 2\nST Kanal 2"},
    {cmd::kGoToST3, "Goes to the deepest ST depression of channel 3\nST channel 3",
     "Geht zur tiefsten ST-Senkung von Kanal 3\nST Kanal 3"},
};

constexpr platform::StringEntry kEnglishStrings[] = {
    {kCaptionStringId, "Time of day"},
};
constexpr platform::StringEntry kGermanStrings[] = {
    {kCaptionStringId, "Uhrzeit"},
};

}  // namespace

void AddViewResources(platform::ResourcePack& pack) {
  const bool german = win::IsGermanPack(pack);
  pack.AddStrings(SampleWindowStrings(german));
  pack.AddStrings(CECGStripWnd::ContextMenuStrings(german));
  pack.AddStrings(german ? std::span<const platform::StringEntry>(kGermanStrings)
                         : std::span<const platform::StringEntry>(kEnglishStrings));
  for (const Prompt& prompt : kPrompts) {
    const platform::StringEntry entry{prompt.id, german ? prompt.german : prompt.english};
    pack.AddStrings({&entry, 1});
  }
}

std::string ToolTipOfCommand(int id) {
  const std::string prompt = platform::LoadString(id);
  const size_t line_end = prompt.find('\n');
  return line_end == std::string::npos ? prompt : prompt.substr(line_end + 1);
}
