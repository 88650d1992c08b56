#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/resources.h"

namespace document {

// String ids of the texts the document shows.
namespace strings {
inline constexpr int kKindNameFirst = 4100;  // + beat-class / event-kind code
inline constexpr int kUnknownPatientVersion = 10001;
inline constexpr int kNoFurtherEvent = 14381;
// Height (A) and weight (B) units: metric (0) and imperial (1) "Units".
inline constexpr int kUnitLabelA0 = 14383;
inline constexpr int kUnitLabelB0 = 14384;
inline constexpr int kUnitLabelA1 = 14385;
inline constexpr int kUnitLabelB1 = 14387;
inline constexpr int kFinalizeQuestion = 15204;
inline constexpr int kDayLabel = 30004;
inline constexpr int kCannotOpenFile = 32263;
inline constexpr int kRestoredFromBackup = 32265;
inline constexpr int kWrongFileType = 32898;
inline constexpr int kChannelLabel = 33217;
inline constexpr int kUndeletedFilesTitle = 33222;
inline constexpr int kNoWholeMinute = 33230;
inline constexpr int kSaveChangesQuestion = 61446;
inline constexpr int kUntitled = 61443;
}  // namespace strings

// The document's texts in English (the program's own pack and "ZK470Eng") or German ("ZK470Ger").
std::span<const platform::StringEntry> DocumentStrings(bool german = false);

// The text of a string id from the current resources, else the document's English text.
std::string DocString(int id);

// The text with its first "%s" replaced by the argument (a text without "%s" stays as it is).
std::string FormatText(std::string_view format, std::string_view argument);

}  // namespace document
