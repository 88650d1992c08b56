#include "document/profile_keys.h"

#include <array>
#include <cassert>

namespace {

constexpr ProfileKey Int(SettingKey key, const char* section, const char* name, int default_value,
                         const char* meaning) {
  return {key, section, name, SettingKind::kInt, default_value, nullptr, TextDefault::kAsWritten, meaning};
}

constexpr ProfileKey Text(SettingKey key, const char* section, const char* name, const char* default_text,
                          const char* meaning) {
  return {key, section, name, SettingKind::kText, 0, default_text, TextDefault::kAsWritten, meaning};
}

// default_text starts with "~/": the home folder takes the place of the drive root.
constexpr ProfileKey Folder(SettingKey key, const char* section, const char* name, const char* default_text,
                            const char* meaning) {
  return {key, section, name, SettingKind::kText, 0, default_text, TextDefault::kUnderHome, meaning};
}

constexpr const char* kAnalyze = "Analyze";
constexpr const char* kAnalyzeST = "Analyze\\ST";
constexpr const char* kSTTrend = "ST-Trend";
constexpr const char* kECGView = "ECG\\View";
constexpr const char* kResolution = "ECG\\Resolution";
constexpr const char* kECGTemplates = "ECG\\Templates";
constexpr const char* kECGPM = "ECG\\PM";
constexpr const char* kHeartrate = "ECG\\Heartrate";
constexpr const char* kPrintUser = "Print\\User";
constexpr const char* kPrintSamples = "Print\\Samples";
constexpr const char* kECGSamples = "ECG\\Samples";
// Misspelt since the first release; profiles out there carry it so.
constexpr const char* kFullDisclosure = "Print\\Full_Dislcosure";
constexpr const char* kPrintTemplates = "Print\\Templates";
constexpr const char* kPrintSetup = "Print\\Setup";
constexpr const char* kColors = "Colors";
constexpr const char* kDirectories = "Directories";
constexpr const char* kGDT = "GDT";
constexpr const char* kAutoDelete = "Auto Delete";
constexpr const char* kIOPort = "I/O-Port";
constexpr const char* kUser = "User";
constexpr const char* kTemplates = "Templates";
constexpr const char* kTape = "Tape";
constexpr const char* kHRV = "HRV";
constexpr const char* kPacemaker = "Pacemaker";

using K = SettingKey;

constexpr std::array<ProfileKey, kSettingKeyCount> kProfileKeys = {{
    Int(K::kAnalyzeBradycardia, kAnalyze, "Bradycardia", 2, "bradycardia limit index: (index + 6) x 5 bpm"),
    Int(K::kAnalyzeTachycardia, kAnalyze, "Tachycardia", 2, "tachycardia limit index: (index + 8) x 10 bpm"),
    Int(K::kAnalyzeSVESPrematurity, kAnalyze, "SVES-Prematurity", 1,
        "SVES prematurity index: (index + 3) x 5 percent"),
    Int(K::kAnalyzePauseA, kAnalyze, "PauseA", 99,
        "pause limit index: 1.0 + 0.5 x index seconds; 99 = not set, taken from \"Pause\""),
    Int(K::kAnalyzePause, kAnalyze, "Pause", 99,
        "older pause key (pause index - 2); read only when \"PauseA\" is not set, never saved"),
    Int(K::kAnalyzeArrhyPrematurity, kAnalyze, "Arrhy-Prematurity", 1,
        "RR deviation index of the absolute-arrhythmia detection: (index + 3) x 5 percent"),
    Int(K::kAnalyzeSVAnalysisOn, kAnalyze, "Abs.-Arrhythmia ON", 1,
        "switch of the supraventricular analysis (despite the key's name)"),
    Int(K::kAnalyzeAbsArrhythmiaOn, kAnalyze, "SVES ON", 1,
        "switch of the absolute-arrhythmia detection (despite the key's name)"),
    Int(K::kAnalyzeArrhyDuration, kAnalyze, "Arrhy-Duration", 0,
        "minimum absolute-arrhythmia duration index: 10, 20, 30, 60, 120, 180, 300, 600 s"),

    // Read and saved under "Unit" alike. Older builds saved it under "Beats Per Unit", which nothing
    // read, so the choice was lost at every restart; such a leftover key is left alone.
    Int(K::kSTUnit, kAnalyzeST, "Unit", 0, "ST unit index: (index + 3) x 5"),
    Int(K::kSTLimit0, kAnalyzeST, "Limit 0", 2, "ST episode limit index of ST channel 1: (index + 2) x 5"),
    Int(K::kSTLimit1, kAnalyzeST, "Limit 1", 2, "ST episode limit index of ST channel 2: (index + 2) x 5"),
    Int(K::kSTLimit2, kAnalyzeST, "Limit 2", 2, "ST episode limit index of ST channel 3: (index + 2) x 5"),
    Int(K::kSTTrendOn0, kAnalyzeST, "ST Trend ON 0", 1, "ST analysis switch of ST channel 1"),
    Int(K::kSTTrendOn1, kAnalyzeST, "ST Trend ON 1", 1, "ST analysis switch of ST channel 2"),
    Int(K::kSTTrendOn2, kAnalyzeST, "ST Trend ON 2", 1, "ST analysis switch of ST channel 3"),
    Int(K::kSTWindow, kAnalyzeST, "Window", 30, "ST window value"),
    Int(K::kSTPoint, kAnalyzeST, "ST Point", 5, "ST measuring point index after the J point"),

    Int(K::kSTTrendLevel1, kSTTrend, "Level 1", 1, "show the ST level curve of ST channel 1"),
    Int(K::kSTTrendSlope1, kSTTrend, "Slope 1", 1, "show the ST slope curve of ST channel 1"),
    Int(K::kSTTrendLevel2, kSTTrend, "Level 2", 1, "show the ST level curve of ST channel 2"),
    Int(K::kSTTrendSlope2, kSTTrend, "Slope 2", 1, "show the ST slope curve of ST channel 2"),

    Int(K::kECGViewMode, kECGView, "ViewMode", 0, "view mode of the ECG window"),
    Int(K::kECGViewChannel, kECGView, "Channel", 2, "channel setting of the ECG window"),
    Int(K::kECGViewScrollSpeed, kECGView, "Scroll-Speed", 5, "scroll speed of the ECG window"),

    Int(K::kResECGSpeed, kResolution, "ECG-Speed", 2, "ECG paper speed index: 3, 4, 6.25, 12.5 mm/s"),
    Int(K::kResECGAmplitude, kResolution, "ECG-Amplitude", 2, "ECG gain index: 1.25, 2.5, 2.5, 5 mm/mV"),
    Int(K::kResZoomSpeed, kResolution, "Zoom-Speed", 1, "zoom paper speed index: 12.5, 25, 50 mm/s"),
    Int(K::kResZoomAmplitude, kResolution, "Zoom-Amplitude", 1, "zoom gain index: 5, 10, 20 mm/mV"),
    Int(K::kResSampleSpeed, kResolution, "Sample-Speed", 1, "strip paper speed index: 12.5, 25, 50 mm/s"),
    Int(K::kResSampleAmplitude, kResolution, "Sample-Amplitude", 1, "strip gain index: 2.5, 5, 10 mm/mV"),
    Int(K::kResRealTimeSpeed, kResolution, "RealTime-Speed", 0, "real-time paper speed index: 25, 50 mm/s"),
    Int(K::kResRealTimeAmplitude, kResolution, "RealTime-Amplitude", 1, "real-time gain index: 5, 10 mm/mV"),
    Int(K::kResRRMode, kResolution, "RR-Mode", 1, "RR display mode"),
    Int(K::kResRRModeMin, kResolution, "RR-Mode Min", 1, "RR display mode of the minimum view"),
    Int(K::kResTemplatesSpeed, kResolution, "Templates-Speed", 1,
        "template paper speed index: 12.5, 25, 50, 100 mm/s"),
    Int(K::kResTemplatesAmplitude, kResolution, "Templates-Amplitude", 1,
        "template gain index: 5, 10, 20 mm/mV"),
    Int(K::kResDetailsSpeed, kResolution, "Details-Speed", 1,
        "detail paper speed index: 6.25, 12.5, 25, 50 mm/s"),
    Int(K::kResDetailsAmplitude, kResolution, "Details-Amplitude", 1,
        "detail gain index: 1.25, 2.5, 5, 10 mm/mV"),
    Int(K::kResPatternSpeed, kResolution, "Pattern-Speed", 1,
        "pattern paper speed index: 12.5, 25, 50, 100 mm/s"),
    Int(K::kResPatternAmplitude, kResolution, "Pattern-Amplitude", 1, "pattern gain index: 5, 10, 20 mm/mV"),
    Int(K::kResPMSpeed, kResolution, "PM-Speed", 1, "pacemaker paper speed index: 12.5, 25, 50 mm/s"),
    Int(K::kResPMAmplitude, kResolution, "PM-Amplitude", 1, "pacemaker gain index: 2.5, 5, 10, 20 mm/mV"),

    Int(K::kTemplatesOverviewDistance, kECGTemplates, "Overview-Distance", 2,
        "spacing index of the template overview"),
    Int(K::kTemplatesDetailsDistance, kECGTemplates, "Details-Distance", 1,
        "spacing index of the template details"),
    Int(K::kPMDistance, kECGPM, "Distance", 2, "spacing index of the pacemaker templates"),

    Int(K::kHeartrateTrendAverage, kHeartrate, "Trend-Average", 1,
        "heart-rate averaging index into 4, 8, 16, 60, 120, 300, 600 beats"),
    Int(K::kHeartrateTrendMiddleAverage, kHeartrate, "Trend-Middle-Average", 2,
        "heart-rate trend averaging index into 60, 120, 300, 600 beats"),

    Int(K::kPrintLetter, kPrintUser, "Letter", 1, "print the narrative letter"),
    Int(K::kPrintReport, kPrintUser, "Report", 1, "print the report page"),
    Int(K::kPrintSummary, kPrintUser, "Summary", 1, "print the summary"),
    Int(K::kPrintSamples, kPrintUser, "Samples", 1, "print the example strips"),
    Int(K::kPrintFull, kPrintUser, "Full", 0, "print the full disclosure"),
    Int(K::kPrintMinMaxHR_RR, kPrintUser, "MinMaxHR_RR", 1, "print the heart-rate and RR extremes"),
    Int(K::kPrintMinMaxSinusHR_RR, kPrintUser, "MinMaxSinusHR_RR", 1,
        "print the sinus heart-rate and RR extremes"),
    Int(K::kPrintHREvents, kPrintUser, "HR-Events", 1, "print the heart-rate events"),
    Int(K::kPrintEventChart, kPrintUser, "Event-Chart", 1, "print the event chart"),
    Int(K::kPrintUserSections, kPrintUser, "User-Sections", 1, "print the user sections"),
    Int(K::kPrintSTEpisodes, kPrintUser, "ST-Episodes", 1, "print the ST episodes"),
    Int(K::kPrintSTTrends, kPrintUser, "ST-Trends", 1, "print the ST trends"),
    Int(K::kPrintMarker, kPrintUser, "Marker", 1, "print the markers"),
    Int(K::kPrintTemplates, kPrintUser, "Templates", 1, "print the templates"),
    Int(K::kPrintPMTemplates, kPrintUser, "PM Templates", 1, "print the pacemaker templates"),
    Int(K::kPrintHRV, kPrintUser, "HRV", 1, "print the heart-rate variability"),
    Int(K::kPrintNoGrid, kPrintUser, "NoGrid", 0, "1 prints the strips without the paper grid"),

    Int(K::kSamplesBradycardia, kPrintSamples, "Bradycardia", 1, "print example strips of bradycardia"),
    Int(K::kSamplesTachycardia, kPrintSamples, "Tachycardia", 1, "print example strips of tachycardia"),
    Int(K::kSamplesPause, kPrintSamples, "Pause", 1, "print example strips of pauses"),
    Int(K::kSamplesArrhythmia, kPrintSamples, "Arrhythmia", 1, "print example strips of absolute arrhythmia"),
    Int(K::kSamplesSVES, kPrintSamples, "SVES", 1, "print example strips of SVES"),
    Int(K::kSamplesSVCouplet, kPrintSamples, "SVCouplet", 1, "print example strips of SV couplets"),
    Int(K::kSamplesSVTriplet, kPrintSamples, "SVTriplet", 1, "print example strips of SV triplets"),
    Int(K::kSamplesSVTachycardia, kPrintSamples, "SVTachycardia", 1, "print example strips of SV tachycardia"),
    Int(K::kSamplesSVBigeminy, kPrintSamples, "SVBigeminy", 1, "print example strips of SV bigeminy"),
    Int(K::kSamplesSVTrigeminy, kPrintSamples, "SVTrigeminy", 1, "print example strips of SV trigeminy"),
    Int(K::kSamplesVES, kPrintSamples, "VES", 1, "print example strips of VES"),
    Int(K::kSamplesVCouplet, kPrintSamples, "VCouplet", 1, "print example strips of V couplets"),
    Int(K::kSamplesVTriplet, kPrintSamples, "VTriplet", 1, "print example strips of V triplets"),
    Int(K::kSamplesVTachycardia, kPrintSamples, "VTachycardia", 1, "print example strips of V tachycardia"),
    Int(K::kSamplesVBigeminy, kPrintSamples, "VBigeminy", 1, "print example strips of V bigeminy"),
    Int(K::kSamplesVTrigeminy, kPrintSamples, "VTrigeminy", 1, "print example strips of V trigeminy"),
    Int(K::kSamplesRonT, kPrintSamples, "RonT", 1, "print example strips of R-on-T"),
    Int(K::kSamplesAutoAmplitude, kPrintSamples, "Auto_Amplitude", 1, "automatic gain of printed strips"),
    Int(K::kSamplesAmplitude, kPrintSamples, "Amplitude", 1, "gain index of printed strips"),
    Int(K::kSamplesSpeed, kPrintSamples, "Speed", 1, "paper speed index of printed strips"),

    Int(K::kECGSamplesLast, kECGSamples, "Last", 6, "event kind the example strips show first"),

    Int(K::kFullDisclosureAmplitude, kFullDisclosure, "Amplitude", 1, "gain index of the full disclosure"),
    Int(K::kFullDisclosureChannels, kFullDisclosure, "Channels", 2, "channels of the full disclosure"),

    Int(K::kPrintTemplatesNormal, kPrintTemplates, "Normal", 1, "print the normal templates"),
    Int(K::kPrintTemplatesVES, kPrintTemplates, "VES", 1, "print the VES templates"),
    Int(K::kPrintTemplatesSVES, kPrintTemplates, "SVES", 1, "print the SVES templates"),
    Int(K::kPrintTemplatesArtefact, kPrintTemplates, "Artefact", 1, "print the artefact templates"),

    Text(K::kSetupMarginsLeft, kPrintSetup, "MarginsLeft", "0.4", "left print margin"),
    Text(K::kSetupMarginsTop, kPrintSetup, "MarginsTop", "0.5", "top print margin"),
    Int(K::kSetupFontSize, kPrintSetup, "FontSize", 4, "print font size index"),
    Int(K::kSetupShowPrintDlg, kPrintSetup, "ShowPrintDlg", 1, "1 shows the print option sheet first"),

    Int(K::kColorPaceMaker, kColors, "PaceMaker", 5, "colour number of code 0"),
    Int(K::kColorNormal, kColors, "Normal", 14, "colour number of code 1"),
    Int(K::kColorATypical, kColors, "ATypical", 14, "colour number of code 2"),
    Int(K::kColorMarker, kColors, "Marker", 14, "colour number of code 3"),
    Int(K::kColorLeadOff, kColors, "LeadOff", 6, "colour number of code 4"),
    Int(K::kColorArtefakt, kColors, "Artefakt", 10, "colour number of code 5"),
    Int(K::kColorPause, kColors, "Pause", 8, "colour number of code 6"),
    Int(K::kColorBradycardia, kColors, "Bradycardia", 11, "colour number of code 7"),
    Int(K::kColorTachycardia, kColors, "Tachycardia", 5, "colour number of code 8"),
    Int(K::kColorSVES, kColors, "SVES", 3, "colour number of code 9"),
    Int(K::kColorSVCouplet, kColors, "SVCouplet", 3, "colour number of code 10"),
    Int(K::kColorSVTriplet, kColors, "SVTriplet", 3, "colour number of code 11"),
    Int(K::kColorSVTachycardia, kColors, "SVTachycardia", 3, "colour number of code 12"),
    Int(K::kColorSVBigeminy, kColors, "SVBigeminy", 3, "colour number of code 13"),
    Int(K::kColorSVTrigeminy, kColors, "SVTrigeminy", 3, "colour number of code 14"),
    Int(K::kColorVES, kColors, "VES", 7, "colour number of code 15"),
    Int(K::kColorVCouplet, kColors, "VCouplet", 7, "colour number of code 16"),
    Int(K::kColorVTriplet, kColors, "VTriplet", 7, "colour number of code 17"),
    Int(K::kColorVTachycardia, kColors, "VTachycardia", 7, "colour number of code 18"),
    Int(K::kColorVBigeminy, kColors, "VBigeminy", 7, "colour number of code 19"),
    Int(K::kColorVTrigeminy, kColors, "VTrigeminy", 7, "colour number of code 20"),
    Int(K::kColorUser, kColors, "User", 3, "colour number of code 21"),
    Int(K::kColorUndefined, kColors, "Undefined", 14, "colour number of code 22"),
    Int(K::kColorRonT, kColors, "RonT", 7, "colour number of code 23"),
    Int(K::kColorArrhythmia, kColors, "Arrhythmia", 10, "colour number of code 24"),
    Int(K::kColorSTEpisode1, kColors, "ST Episode 1", 3, "colour number of code 25"),
    Int(K::kColorSTEpisode2, kColors, "ST Episode 2", 3, "colour number of code 26"),
    Int(K::kColorSTEpisode3, kColors, "ST Episode 3", 3, "colour number of code 27"),
    Int(K::kColorZeroSet, kColors, "ZeroSet", 5, "colour number of code 28"),
    Int(K::kColorPacedBeats, kColors, "PacedBeats", 8, "colour number of code 29"),
    Int(K::kColorAtrialFibrillation, kColors, "Atrial Fibrillation", 10, "colour number of code 30"),
    Int(K::kColorAtrialFlutter, kColors, "Atrial Flutter", 10, "colour number of code 31"),
    Int(K::kColorBattOff, kColors, "BattOff", 9, "colour number of code 34"),
    Int(K::kColorDebugS, kColors, "DebugS", 7, "colour number of code 38"),

    Int(K::kColorHRTrendMax, kColors, "HRTrendMax", 7, "colour number of the maximum heart-rate trend"),
    Int(K::kColorHRTrendAverage, kColors, "HRTrendAverage", 14, "colour number of the mean heart-rate trend"),
    Int(K::kColorHRTrendMin, kColors, "HRTrendMin", 3, "colour number of the minimum heart-rate trend"),
    Int(K::kColorSTTrendCh1, kColors, "STTrendCh1", 11, "colour number of the ST level trend, channel 1"),
    Int(K::kColorSTTrendCh2, kColors, "STTrendCh2", 6, "colour number of the ST level trend, channel 2"),
    Int(K::kColorSTTrendCh1Slope, kColors, "STTrendCh1Slope", 2,
        "colour number of the ST slope trend, channel 1"),
    Int(K::kColorSTTrendCh2Slope, kColors, "STTrendCh2Slope", 8,
        "colour number of the ST slope trend, channel 2"),

    Folder(K::kDirData, kDirectories, "Data", "~/ZK-470/Data",
        "data directory of the recordings; also the work directory"),
    Folder(K::kDirMain, kDirectories, "Main", "~/ZK-470", "main directory"),
    Folder(K::kDirExport, kDirectories, "Export", "~/", "export directory"),
    Folder(K::kDirExport24H, kDirectories, "Export24H", "~/ZK-490/24HData", "directory of the 24-hour exports"),
    Folder(K::kDirGDT, kDirectories, "GDT", "~/", "directory of the GDT exchange files"),
    Folder(K::kDirSDCard, kDirectories, "SDCard", "~/", "path of the recorder's SD card"),

    Int(K::kGDTOn, kGDT, "On", 0, "switch of the GDT link"),
    Int(K::kGDTReadNr, kGDT, "ReadNr", 0, "GDT read number"),
    Int(K::kGDTWriteNr, kGDT, "WriteNr", 0,
        "number of the next GDT file written: advanced per file, 999 followed by 0"),
    Text(K::kGDTZK470Shorty, kGDT, "ZK470 Shorty", "ZK4", "GDT short name of this program"),
    Text(K::kGDTEDVShorty, kGDT, "EDV Shorty", "EDV", "GDT short name of the practice software"),

    Int(K::kAutoDeleteOn, kAutoDelete, "On", 0, "switch of the automatic deletion of the oldest recordings"),
    Int(K::kAutoDeleteFiles, kAutoDelete, "Files", 2,
        "index 0..4: the automatic deletion keeps the newest 5, 10, 20, 50 or 100 recordings"),

    Int(K::kIOPortBaseAdr, kIOPort, "BaseAdr", 768, "port address of the recorder interface card"),
    Int(K::kIOPortMode, kIOPort, "Mode", 1, "recorder interface: 0 USB converter, 1 interface card"),
    Int(K::kIOPortDoAskPatData, kIOPort, "DoAskPatData", 0,
        "1: after a read-out with empty patient fields, offer the patient data sheet"),

    {K::kUserName, kUser, "User", SettingKind::kText, 0, "", TextDefault::kUserNameString,
     "user name; default the text of string 32892"},
    Text(K::kUserOfficeAddress, kUser, "OfficeAddress", "", "office address"),
    Int(K::kUserAnalyzeModus, kUser, "AnalyzeModus", 0,
        "analysis engine mode: 0 built-in, 1 external library, 2 built-in variant"),

    Int(K::kLanguage, "Language", "Language", 0, "language pack"),
    Int(K::kCableSet, "CableSet", "CableSet", 0, "cable set of the recorder connection pictures"),
    Int(K::kUnits, "Units", "Units", 0, "which pair of unit labels the narrative letter uses (0 or 1)"),
    Int(K::kTemplatesView, kTemplates, "View", 1, "1: template list pages of 24 rows instead of 16"),
    Int(K::kTemplatesVESTemplates, kTemplates, "VES-Templates", 32,
        "number of VES template classes kept, 0 to 300"),
    Int(K::kTapeCalDataLen, kTape, "Cal-Data-Len", 10, "tape conversion setting"),
    Int(K::kTapeSpeed, kTape, "Speed", 0, "speed of the tape conversion"),
    Int(K::kZK130AutoDelete, "ZK-130", "Auto Delete", 0, "recorder read-out setting"),
    Int(K::kHRVXIndex, kHRV, "X-Index", 0, "selected x axis of the heart-rate-variability views"),
    Int(K::kHRVYIndex, kHRV, "Y-Index", 0, "selected y axis of the heart-rate-variability views"),

    Text(K::kPM1A, kPacemaker, "PM1A", "PM Template 1A", "name of pacemaker template class 1A"),
    Text(K::kPM1B, kPacemaker, "PM1B", "PM Template 1B", "name of pacemaker template class 1B"),
    Text(K::kPM2A, kPacemaker, "PM2A", "PM Template 2A", "name of pacemaker template class 2A"),
    Text(K::kPM2B, kPacemaker, "PM2B", "PM Template 2B", "name of pacemaker template class 2B"),
    Text(K::kPM2C, kPacemaker, "PM2C", "PM Template 2C", "name of pacemaker template class 2C"),
    Text(K::kPM3A, kPacemaker, "PM3A", "PM Template 3A", "name of pacemaker template class 3A"),
    Text(K::kPM3B, kPacemaker, "PM3B", "PM Template 3B", "name of pacemaker template class 3B"),
    Text(K::kPM4A, kPacemaker, "PM4A", "PM Template 4A", "name of pacemaker template class 4A"),
    Text(K::kPM4B, kPacemaker, "PM4B", "PM Template 4B", "name of pacemaker template class 4B"),
    Text(K::kPM4C, kPacemaker, "PM4C", "PM Template 4C", "name of pacemaker template class 4C"),
    Text(K::kPM5A, kPacemaker, "PM5A", "PM Template 5A", "name of pacemaker template class 5A"),
    Text(K::kPM5B, kPacemaker, "PM5B", "PM Template 5B", "name of pacemaker template class 5B"),
    Text(K::kPM6, kPacemaker, "PM6", "PM Template 6", "name of pacemaker template class 6"),
}};

constexpr bool RowsFollowTheKeys() {
  for (std::size_t i = 0; i < kProfileKeys.size(); ++i) {
    if (static_cast<std::size_t>(kProfileKeys[i].key) != i) return false;
  }
  return true;
}
static_assert(RowsFollowTheKeys(), "every SettingKey needs its row, in enum order");

constexpr std::array<std::optional<SettingKey>, kColorCodeCount> kColorKeys = [] {
  std::array<std::optional<SettingKey>, kColorCodeCount> keys{};
  constexpr SettingKey kByCode[] = {
      K::kColorPaceMaker,     K::kColorNormal,       K::kColorATypical,      K::kColorMarker,
      K::kColorLeadOff,       K::kColorArtefakt,     K::kColorPause,         K::kColorBradycardia,
      K::kColorTachycardia,   K::kColorSVES,         K::kColorSVCouplet,     K::kColorSVTriplet,
      K::kColorSVTachycardia, K::kColorSVBigeminy,   K::kColorSVTrigeminy,   K::kColorVES,
      K::kColorVCouplet,      K::kColorVTriplet,     K::kColorVTachycardia,  K::kColorVBigeminy,
      K::kColorVTrigeminy,    K::kColorUser,         K::kColorUndefined,     K::kColorRonT,
      K::kColorArrhythmia,    K::kColorSTEpisode1,   K::kColorSTEpisode2,    K::kColorSTEpisode3,
      K::kColorZeroSet,       K::kColorPacedBeats,   K::kColorAtrialFibrillation,
      K::kColorAtrialFlutter};
  for (std::size_t code = 0; code < std::size(kByCode); ++code) keys[code] = kByCode[code];
  keys[34] = K::kColorBattOff;
  keys[38] = K::kColorDebugS;
  return keys;
}();

}  // namespace

std::span<const ProfileKey> ProfileKeys() { return kProfileKeys; }

const ProfileKey& GetProfileKey(SettingKey key) {
  assert(key < SettingKey::kCount);
  return kProfileKeys[static_cast<std::size_t>(key)];
}

std::optional<SettingKey> ColorKey(int code) {
  if (code < 0 || code >= kColorCodeCount) return std::nullopt;
  return kColorKeys[static_cast<std::size_t>(code)];
}
