#pragma once

#include "platform/ids.h"

// Numbers of the application core: the control ids and the string, menu, toolbar and bitmap
// resources of the main frame, the About box and the start-up; its commands and messages are in
// the shared registry. Menus, stored toolbars and other programs' expectations rely on them;
// never renumber one.
namespace core_ids {

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

// The frame's own message: a command chosen in the main menu or by an accelerator (wparam the id).
inline constexpr uint32_t kMsgMainMenuCommand = 0x0430;

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
// Captions and messages of the main view.
inline constexpr int kIdsPrintOptionsCaption = 32811;
inline constexpr int kIdsPacemakerTextsCaption = 32895;
inline constexpr int kIdsArchiveCopyFailed = 15202;
inline constexpr int kIdsFullDisclosureDay = 21069;
inline constexpr int kIdsGdtAskAnswer = 23017;
inline constexpr int kIdsGdtNoAnswer = 23018;
inline constexpr int kIdsGdtNotSent = 23019;
inline constexpr int kIdsMenuScreens = 20108;
inline constexpr int kIdsSpanAll = 20109;

// Dialog templates of this library.
inline constexpr int kAboutTemplate = 100;
inline constexpr int kPdfConvertWaitTemplate = 30739;

}  // namespace core_ids
