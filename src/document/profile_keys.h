#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/ids.h"

// Every setting the program keeps in the user profile, in the order the settings are read.
// The enumerator names say what a value means; the profile key names (in the table) are the
// program's historic spellings and must not be "corrected": other installations read them.
enum class SettingKey : uint16_t {
  // "Analyze"
  kAnalyzeBradycardia,
  kAnalyzeTachycardia,
  kAnalyzeSVESPrematurity,
  kAnalyzePauseA,
  kAnalyzePause,
  kAnalyzeArrhyPrematurity,
  kAnalyzeSVAnalysisOn,      // stored as "Abs.-Arrhythmia ON"
  kAnalyzeAbsArrhythmiaOn,   // stored as "SVES ON"
  kAnalyzeArrhyDuration,
  // "Analyze\ST"
  kSTUnit,
  kSTLimit0,
  kSTLimit1,
  kSTLimit2,
  kSTTrendOn0,
  kSTTrendOn1,
  kSTTrendOn2,
  kSTWindow,
  kSTPoint,
  // "ST-Trend"
  kSTTrendLevel1,
  kSTTrendSlope1,
  kSTTrendLevel2,
  kSTTrendSlope2,
  // "ECG\View"
  kECGViewMode,
  kECGViewChannel,
  kECGViewScrollSpeed,
  // "ECG\Resolution"
  kResECGSpeed,
  kResECGAmplitude,
  kResZoomSpeed,
  kResZoomAmplitude,
  kResSampleSpeed,
  kResSampleAmplitude,
  kResRealTimeSpeed,
  kResRealTimeAmplitude,
  kResRRMode,
  kResRRModeMin,
  kResTemplatesSpeed,
  kResTemplatesAmplitude,
  kResDetailsSpeed,
  kResDetailsAmplitude,
  kResPatternSpeed,
  kResPatternAmplitude,
  kResPMSpeed,
  kResPMAmplitude,
  // "ECG\Templates", "ECG\PM"
  kTemplatesOverviewDistance,
  kTemplatesDetailsDistance,
  kPMDistance,
  // "ECG\Heartrate"
  kHeartrateTrendAverage,
  kHeartrateTrendMiddleAverage,
  // "Print\User"
  kPrintLetter,
  kPrintReport,
  kPrintSummary,
  kPrintSamples,
  kPrintFull,
  kPrintMinMaxHR_RR,
  kPrintMinMaxSinusHR_RR,
  kPrintHREvents,
  kPrintEventChart,
  kPrintUserSections,
  kPrintSTEpisodes,
  kPrintSTTrends,
  kPrintMarker,
  kPrintTemplates,
  kPrintPMTemplates,
  kPrintHRV,
  kPrintNoGrid,
  // "Print\Samples"
  kSamplesBradycardia,
  kSamplesTachycardia,
  kSamplesPause,
  kSamplesArrhythmia,
  kSamplesSVES,
  kSamplesSVCouplet,
  kSamplesSVTriplet,
  kSamplesSVTachycardia,
  kSamplesSVBigeminy,
  kSamplesSVTrigeminy,
  kSamplesVES,
  kSamplesVCouplet,
  kSamplesVTriplet,
  kSamplesVTachycardia,
  kSamplesVBigeminy,
  kSamplesVTrigeminy,
  kSamplesRonT,
  kSamplesAutoAmplitude,
  kSamplesAmplitude,
  kSamplesSpeed,
  // "ECG\Samples"
  kECGSamplesLast,
  // "Print\Full_Dislcosure"
  kFullDisclosureAmplitude,
  kFullDisclosureChannels,
  // "Print\Templates"
  kPrintTemplatesNormal,
  kPrintTemplatesVES,
  kPrintTemplatesSVES,
  kPrintTemplatesArtefact,
  // "Print\Setup"
  kSetupMarginsLeft,
  kSetupMarginsTop,
  kSetupFontSize,
  kSetupShowPrintDlg,
  // "Colors", by beat-class and event-kind code
  kColorPaceMaker,
  kColorNormal,
  kColorATypical,
  kColorMarker,
  kColorLeadOff,
  kColorArtefakt,
  kColorPause,
  kColorBradycardia,
  kColorTachycardia,
  kColorSVES,
  kColorSVCouplet,
  kColorSVTriplet,
  kColorSVTachycardia,
  kColorSVBigeminy,
  kColorSVTrigeminy,
  kColorVES,
  kColorVCouplet,
  kColorVTriplet,
  kColorVTachycardia,
  kColorVBigeminy,
  kColorVTrigeminy,
  kColorUser,
  kColorUndefined,
  kColorRonT,
  kColorArrhythmia,
  kColorSTEpisode1,
  kColorSTEpisode2,
  kColorSTEpisode3,
  kColorZeroSet,
  kColorPacedBeats,
  kColorAtrialFibrillation,
  kColorAtrialFlutter,
  kColorBattOff,
  kColorDebugS,
  // "Colors" of the trends
  kColorHRTrendMax,
  kColorHRTrendAverage,
  kColorHRTrendMin,
  kColorSTTrendCh1,
  kColorSTTrendCh2,
  kColorSTTrendCh1Slope,
  kColorSTTrendCh2Slope,
  // "Directories"
  kDirData,
  kDirMain,
  kDirExport,
  kDirExport24H,
  kDirGDT,
  kDirSDCard,
  // "GDT"
  kGDTOn,
  kGDTReadNr,
  kGDTWriteNr,
  kGDTZK470Shorty,
  kGDTEDVShorty,
  // "Auto Delete"
  kAutoDeleteOn,
  kAutoDeleteFiles,
  // "I/O-Port"
  kIOPortBaseAdr,
  kIOPortMode,
  kIOPortDoAskPatData,
  // "User"
  kUserName,
  kUserOfficeAddress,
  kUserAnalyzeModus,
  // single keys
  kLanguage,
  kCableSet,
  kUnits,
  kTemplatesView,
  kTemplatesVESTemplates,
  kTapeCalDataLen,
  kTapeSpeed,
  kZK130AutoDelete,
  kHRVXIndex,
  kHRVYIndex,
  // "Pacemaker": names of the pacemaker template classes
  kPM1A,
  kPM1B,
  kPM2A,
  kPM2B,
  kPM2C,
  kPM3A,
  kPM3B,
  kPM4A,
  kPM4B,
  kPM4C,
  kPM5A,
  kPM5B,
  kPM6,

  kCount
};

inline constexpr std::size_t kSettingKeyCount = static_cast<std::size_t>(SettingKey::kCount);

enum class SettingKind : uint8_t { kInt, kText };

// Where the default of a text comes from.
enum class TextDefault : uint8_t {
  kAsWritten,
  // A folder: the text after "~/" lies under the home folder, which stands in for "C:\".
  kUnderHome,
  // The text of string kDefaultUserNameStringId, supplied by whoever loads the settings.
  kUserNameString,
};

// The user-id command's own text.
inline constexpr int kDefaultUserNameStringId = cmd::kUserId;

// One profile value: section (backslashes kept), key, kind, default and what it means.
struct ProfileKey {
  SettingKey key;
  const char* section;
  const char* name;
  SettingKind kind;
  int default_int;           // kInt only
  const char* default_text;  // kText only
  TextDefault text_default;  // kText only
  const char* meaning;
};

// The whole table, indexed by SettingKey, in the order the settings are read.
std::span<const ProfileKey> ProfileKeys();
const ProfileKey& GetProfileKey(SettingKey key);

// Codes of beat classes and event kinds that have a colour key; every other code keeps colour 3.
inline constexpr int kColorCodeCount = 40;
inline constexpr int kColorWithoutKey = 3;
std::optional<SettingKey> ColorKey(int code);
