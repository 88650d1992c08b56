#pragma once

#include <cstdint>

// Numbers of the application core: commands, private messages, control ids and the string,
// menu, toolbar and bitmap resources of the main frame, the About box and the start-up. Menus,
// stored toolbars and other programs' expectations rely on them; never renumber one.
namespace core_ids {

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

// Commands of the system that the main frame's menus and toolbars carry.
inline constexpr int kPrintWholeReport = 32816;
inline constexpr int kAnalyzeRecording = 32817;
inline constexpr int kAnalysisOptions = 32818;
inline constexpr int kReadRecorder = 32821;
inline constexpr int kReadTape = 32822;
inline constexpr int kChannelView = 32833;
inline constexpr int kNoAction32840 = 32840;
inline constexpr int kRecomputeEvents = 32844;
inline constexpr int kOptions = 32897;
inline constexpr int kRepeatSTAnalysis = 32907;
inline constexpr int kPatientData = 32922;
inline constexpr int kPacemakerAnalysis = 32986;
inline constexpr int kNarrativeTest = 33034;
inline constexpr int kSendReportPdf = 33213;
inline constexpr int kSendRecording = 33214;
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

// Private messages to the main frame.
inline constexpr uint32_t kStartupCommandMessage = 2024;
inline constexpr uint32_t kStatusRefreshMessage = 2025;
inline constexpr uint32_t kTableTabMessage = 2026;

// Windows of the frame.
inline constexpr int kToolBarId = 59392;
inline constexpr int kStatusBarId = 59393;
inline constexpr int kMenuBarId = 59394;
inline constexpr int kMainViewId = 59648;

// Status-bar indicators (pane order 0 .. 6).
inline constexpr int kIndicatorSeparator = 0;
inline constexpr int kIndicatorViewChannels = 59144;
inline constexpr int kIndicatorChannels = 59143;
inline constexpr int kIndicatorEngine = 59145;
inline constexpr int kIndicatorCaps = 59137;
inline constexpr int kIndicatorNum = 59138;
inline constexpr int kIndicatorScroll = 59139;

// Resources: the document template (main menu, icon, document string), the toolbars, the
// drop-down menus of the main toolbar and the splash bitmap.
inline constexpr int kDocumentResource = 305;
inline constexpr int kMainToolbarResource = 306;
inline constexpr int kTimeSpanToolbarResource = 326;
inline constexpr int kOpenMenu = 130;
inline constexpr int kRecorderMenu = 212;
inline constexpr int kPrintMenu = 213;
inline constexpr int kSaveMenu = 291;
inline constexpr int kSendMenu = 292;
inline constexpr int kAnalysisMenu = 293;
inline constexpr int kSplashBitmap = 146;

// Strings.
inline constexpr int kIdsDocumentString = 305;      // program's own
inline constexpr int kIdsBuild = 30000;             // program's own
inline constexpr int kIdsShortTitle = 30001;        // program's own
inline constexpr int kIdsAppTitle = 57344;          // program's own
inline constexpr int kIdsReady = 57345;
inline constexpr int kIdsChannels = 21107;
inline constexpr int kIdsAnalysed = 21108;
inline constexpr int kIdsView = 21109;
inline constexpr int kIdsNoRecordingFound = 24029;
// Menu titles and entries of the main menu that carry no command prompt of their own.
inline constexpr int kIdsMenuFile = 20100;
inline constexpr int kIdsMenuRecorder = 20101;
inline constexpr int kIdsMenuAnalysis = 20102;
inline constexpr int kIdsMenuReport = 20103;
inline constexpr int kIdsMenuOptions = 20104;
inline constexpr int kIdsMenuHelp = 20105;
inline constexpr int kIdsRecentFileEmpty = 20106;
inline constexpr int kIdsMenuView = 20107;

// Dialog templates of this library.
inline constexpr int kAboutTemplate = 100;
inline constexpr int kPdfConvertWaitTemplate = 30739;

}  // namespace core_ids
