#pragma once

// String ids of the patient data sheet, its pages and the recording browser (texts in the
// resource packs, see patient_dialog_resources.h).
namespace dialogs::ids {

inline constexpr int kPatientSheetCaption = 175;
inline constexpr int kPlayButton = 30002;
inline constexpr int kStopButton = 30003;

// Units of height and weight: "Units" 0 metric, 1 imperial.
inline constexpr int kHeightUnitMetric = 14383;
inline constexpr int kWeightUnitMetric = 14384;
inline constexpr int kHeightUnitImperial = 14386;
inline constexpr int kWeightUnitImperial = 14387;

// Markers of the typing patterns of dates and times.
inline constexpr int kHintYear = 33224;
inline constexpr int kHintMonth = 33225;
inline constexpr int kHintDay = 33226;
inline constexpr int kHintHour = 33227;
inline constexpr int kHintMinute = 33228;
inline constexpr int kHintSecond = 33229;

// The entries of the sex choice: not given, female, male.
inline constexpr int kSexNone = 15115;
inline constexpr int kSexFemale = 15116;
inline constexpr int kSexMale = 15117;

// Recording browser.
inline constexpr int kBrowserNameColumn = 15000;
inline constexpr int kBrowserDateColumn = 15001;
inline constexpr int kBrowserFolderTitle = 15002;
inline constexpr int kBrowserFinalizedMark = 15100;
inline constexpr int kBrowserArchivedMark = 15101;
inline constexpr int kBrowserFilterFirst = 15110;  // the five filter entries 15110..15114
inline constexpr int kArchiveCopyToCaption = 15203;
inline constexpr int kArchiveCopyFromCaption = 15205;
inline constexpr int kOpenCaption = 61440;

}  // namespace dialogs::ids
