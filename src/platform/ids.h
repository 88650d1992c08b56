#pragma once

#include <cstdint>

// The numbers every layer of the system shares: commands, private messages, update hints, display
// modes and the built-in engine's version. Each is defined here once. Menus, stored toolbars,
// automation callers and other programs rely on these numbers; never renumber one.

// Command ids.
namespace cmd {

// Framework commands.
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileClose = 57602;
inline constexpr int kFileSave = 57603;
inline constexpr int kFileSaveAs = 57604;
inline constexpr int kFilePrintSetup = 57606;
inline constexpr int kFileMruFirst = 57616;  // the four recent files: 57616 .. 57619
inline constexpr int kFileMruLast = 57619;
inline constexpr int kAppAbout = 57664;
inline constexpr int kAppExit = 57665;

// Commands of the system.
inline constexpr int kPreviousEvent = 32803;
inline constexpr int kNextEvent = 32804;
inline constexpr int kPrintWholeReport = 32816;
inline constexpr int kAnalyzeRecording = 32817;
inline constexpr int kAnalysisOptions = 32818;
inline constexpr int kReadRecorder = 32821;
inline constexpr int kReadTape = 32822;
inline constexpr int kChannelView = 32833;
inline constexpr int kDisplaySpeed = 32837;
inline constexpr int kChannels = 32838;
inline constexpr int kNoAction32840 = 32840;
inline constexpr int kRecomputeEvents = 32844;
inline constexpr int kReturnToMark = 32860;
inline constexpr int kRemoveUserEvents = 32873;
inline constexpr int kOptions = 32897;
inline constexpr int kRepeatSTAnalysis = 32907;
inline constexpr int kNothing = 32910;
inline constexpr int kPatientData = 32922;
inline constexpr int kPacemakerAnalysis = 32986;
inline constexpr int kGoToStart = 33018;
inline constexpr int kNarrativeTest = 33034;
// The document's validation batches. 32952 is also the template windows' "to SVES", which those
// windows take while they have the focus.
inline constexpr int kValidationBatchAHA = 32815;
inline constexpr int kValidationBatchMIT = 32843;
inline constexpr int kValidationBatchESC = 32952;
// Recorder service dialogs.
inline constexpr int kRecorderTest = 33033;
inline constexpr int kZK131Test = 33035;
inline constexpr int kUsbTest = 33036;
inline constexpr int kRawDataTest = 33043;
// The main frame's tool commands: batch runs, exports and imports of chosen recordings, test data,
// diagnostic files and the checkers of sample files and card images. The kNoAction ids are taken
// by handlers that do nothing; menus may still carry them.
inline constexpr int kBatchAnalysis = 33030;
inline constexpr int kDumpDocument = 33037;
inline constexpr int kNoAction33038 = 33038;
inline constexpr int kSaveOldFormat = 33039;
inline constexpr int kExportBin = 33040;
inline constexpr int kNoAction33041 = 33041;
inline constexpr int kNoAction33042 = 33042;
inline constexpr int kNoAction33045 = 33045;
inline constexpr int kNoAction33046 = 33046;
inline constexpr int kDiscardAnalysis = 33047;
inline constexpr int kImportAhaFiles = 33048;
inline constexpr int kNoAction33049 = 33049;
inline constexpr int kNoAction33050 = 33050;
inline constexpr int kNoAction33051 = 33051;
inline constexpr int kRepairFiles = 33053;
inline constexpr int kImportKEKGFiles = 33054;
inline constexpr int kExportBinMultiple = 33055;
inline constexpr int kExportRRMultiple = 33056;
inline constexpr int kCheckRawFile = 33057;
inline constexpr int kCheckCmpFile = 33058;
inline constexpr int kConvertAhaSignalFile = 33060;
inline constexpr int kNoAction33061 = 33061;
inline constexpr int kNoAction33062 = 33062;
inline constexpr int kSendReportPdf = 33213;
inline constexpr int kSendRecording = 33214;
inline constexpr int kExportReportPdf = 33215;
inline constexpr int kSend = 33216;
inline constexpr int kPdfImage = 33231;  // only its toolbar image: recent PDF files
inline constexpr int kQrsImage = 33232;  // only its toolbar image: recent recordings
inline constexpr int kRefreshStatus = 33235;
inline constexpr int kPrintNarrative = 33236;
inline constexpr int kImportRawFile = 33237;
inline constexpr int kImportRawFiles = 33238;
inline constexpr int kTimeSpan = 33312;
inline constexpr int kPatientDataAlt = 33315;  // a second command of the patient sheet
inline constexpr int kEditDiagnosis = 33316;   // the patient sheet at its diagnosis page

// Commands of the main view: screens, spans, sheets, printing, GDT and mail.
inline constexpr int kHourlyBarGraphs = 32771;
inline constexpr int kPrintOptions = 32778;
inline constexpr int kNextPage = 32783;
inline constexpr int kPreviousPage = 32784;
inline constexpr int kPrint32790 = 32790;
inline constexpr int kAnnotationStatisticAHA = 32814;
inline constexpr int kDisabled32819 = 32819;
inline constexpr int kThreeTexts = 32825;
inline constexpr int kNavigation = 32834;
inline constexpr int kTrendBelow = 32835;
inline constexpr int kStripBelow = 32836;
inline constexpr int kAnnotationStatisticMIT = 32842;
inline constexpr int kPrintSamples = 32863;
inline constexpr int kPrint32876 = 32876;
inline constexpr int kPrint32885 = 32885;
inline constexpr int kPrint32886 = 32886;
inline constexpr int kUserId = 32892;
inline constexpr int kUndoEdits = 32894;
inline constexpr int kHeartRateNavigator = 32904;
inline constexpr int kSTTrend = 32905;
inline constexpr int kPrint32911 = 32911;
inline constexpr int kPrint32912 = 32912;
inline constexpr int kArchiveCopy = 32918;
inline constexpr int kArchiveCopyAll = 32919;
inline constexpr int kTemplateBrowser = 32924;
inline constexpr int kSTStatistic = 32951;
inline constexpr int kPrint32956 = 32956;
inline constexpr int kGDTSendResult = 32961;
inline constexpr int kGDTTakePatient = 32962;
inline constexpr int kPacemakerTexts = 32985;
inline constexpr int kPrint32987 = 32987;
inline constexpr int kPrintFullDisclosure = 32988;
inline constexpr int kPrint32989 = 32989;
inline constexpr int kSampleWindows = 32991;
inline constexpr int kPrintTemplates = 32992;
inline constexpr int kNoAction32993 = 32993;
inline constexpr int kHeartRateVariability = 32994;
inline constexpr int kPacemakerTemplates = 32995;
inline constexpr int kPrint32996 = 32996;
inline constexpr int kPrint33007 = 33007;
inline constexpr int kPrint33203 = 33203;
inline constexpr int kStatistics = 33206;
inline constexpr int kNoAction33207 = 33207;
inline constexpr int kNoAction33211 = 33211;
inline constexpr int kNoAction32953 = 32953;
inline constexpr int kDisabled33210 = 33210;  // never enabled
inline constexpr int kWriteRecordingRawFile = 33044;
inline constexpr int kPrint33218 = 33218;
inline constexpr int kPrintEnvelopes = 33219;
inline constexpr int kFirstSpan = 33310;
inline constexpr int kPreviousSpan = 33311;
inline constexpr int kNextSpan = 33313;
inline constexpr int kLastSpan = 33314;
inline constexpr int kFilePrint = 57607;
inline constexpr int kFilePrintPreview = 57609;

// Navigation through the recording: kinds, the user's mark, the stored extremes and ST positions.
inline constexpr int kSelectOccurringKinds = 32805;
inline constexpr int kClearKindSelection = 32806;
inline constexpr int kSetMark = 32859;
inline constexpr int kGoToHRMin = 32861;
inline constexpr int kGoToHRMax = 32862;
inline constexpr int kGoToSinusHRMin = 32864;
inline constexpr int kGoToSinusHRMax = 32865;
inline constexpr int kGoToRRMin = 32877;
inline constexpr int kGoToRRMax = 32878;
inline constexpr int kGoToST1 = 32915;
inline constexpr int kGoToST2 = 32916;
inline constexpr int kGoToNNMin = 32999;
inline constexpr int kGoToNNMax = 33000;
inline constexpr int kGoToST3 = 33004;

// The ECG page window: paging by page and row, scale steps, centring, the channel choices and
// auto-scroll.
inline constexpr int kCentrePage = 32498;
inline constexpr int kNextPageOfPage = 32807;
inline constexpr int kPreviousPageOfPage = 32808;
inline constexpr int kNextRow = 32809;
inline constexpr int kPreviousRow = 32810;
inline constexpr int kAnalysedChannels = 32832;
inline constexpr int kStartStopAutoScroll = 32963;
inline constexpr int kAutoScroll = 32990;
inline constexpr int kPageFaster = 33012;
inline constexpr int kPageSlower = 33013;
inline constexpr int kPageLarger = 33014;
inline constexpr int kPageSmaller = 33015;

}  // namespace cmd

// Private messages. Those from 0x401 up belong to the window they are sent to: two windows may
// give one number different meanings, so a number is named once and each window keeps its own
// alias for what it means there.
namespace msg {

// To the main frame.
inline constexpr uint32_t kStartupCommand = 2024;
inline constexpr uint32_t kStatusRefresh = 2025;
inline constexpr uint32_t kTableTabChosen = 2026;  // to the parent of a table tab window

// The end of the patient sheet's voice-diary playback, posted to the sheet.
inline constexpr uint32_t kPlaybackEnded = 1265;

// The end of a worker's run, posted to the dialog that waits for it.
inline constexpr uint32_t kWorkerEnd = 0x401;  // rhythm detection, pacemaker recalculation, PDF conversion
inline constexpr uint32_t kEngineEnd = 0x402;  // wparam 0 finished, 1 failed
inline constexpr uint32_t kSVTemplateRebuildEnd = 0x40A;
inline constexpr uint32_t kAutoDeleteEnd = 0x40D;
inline constexpr uint32_t kTapeEnd = 0x40F;  // wparam: the tape program's exit code
inline constexpr uint32_t kLibraryEnd = 0x414;
// The hidden date window takes its new value under the number the library's dialog ends with.
inline constexpr uint32_t kDateInputSetValue = kLibraryEnd;

}  // namespace msg

// The hint numbers that travel with the document's view updates. A view decides from the number
// what to reload or redraw.
namespace hint {
inline constexpr int kDisplayModeChanged = 0;
inline constexpr int kDisplayMode13 = 13;
inline constexpr int kDisplaySettings = 1000;
inline constexpr int kPositionMoved = 1002;
inline constexpr int kDocumentChanged = 1005;
inline constexpr int kCountsChanged = 1010;  // with TCountsHint
inline constexpr int kHeartRateAveraging = 1011;
inline constexpr int kNavigationRebuild = 1016;
inline constexpr int kPatientData = 1017;
inline constexpr int kArea1019 = 1019;
inline constexpr int kPrintEventStrips = 1021;
inline constexpr int kExtremeShown = 1025;
inline constexpr int kMouse1026 = 1026;  // with TMouseHint
inline constexpr int kMouse1027 = 1027;
inline constexpr int kMouse1028 = 1028;
inline constexpr int kEditsChanged = 1031;
inline constexpr int kArea1100 = 1100;
inline constexpr int kArea1101 = 1101;
inline constexpr int kBeatsEdited = 1110;
inline constexpr int kArea1111 = 1111;
inline constexpr int kEditsUndone = 1113;
inline constexpr int kArea1143 = 1143;
inline constexpr int kArea1144 = 1144;
inline constexpr int kSpanMoved = 2057;
inline constexpr int kPatientDataEdited = 3467;
inline constexpr int kHrv3468 = 3468;
inline constexpr int kArea20000 = 20000;
inline constexpr int kArea20003 = 20003;
inline constexpr int kTrend22222 = 22222;
inline constexpr int kTrend22224 = 22224;
inline constexpr int kPrintPreparation = 32939;
inline constexpr int kCaliperOff = 32957;
}  // namespace hint

// The screen the main view shows, kept by the document as a 16-bit number (0..17). The views may
// set values without a name here; the type holds every int16_t.
enum class DisplayMode : int16_t {
  kNone = 0,        // empty document, the start screen
  kNavigation = 1,  // a recording opened
  kEcgPage = 2,
  kHourlyBarGraphs = 4,
  kOnlineEcg = 5,  // a connected recorder, or a recording prepared for one
  kStTrend = 6,
  kTemplateClasses = 7,
  kTemplateBeats = 8,  // the beats of one template class
  kSampleWindows = 9,
  kHrv10 = 10,
  kHrv11 = 11,
  kHrv12 = 12,
  kPacemakerTemplates = 13,
  kStatistics = 14,
  kPdf = 15,  // a PDF document, no recording
  kHeartRateNavigator = 17,
};

// The version the built-in beat engine reports in the analysis results and the About box.
inline constexpr const char* kBuiltInEngineVersion = "1.78";
