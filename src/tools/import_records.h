#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/archive.h"

class TPatientData;
class TRecordingData;

// Pieces shared by the importers of foreign recordings and exchange files.
namespace tools {

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The number of the leading decimal digits, 0 without any; held at 999999999 (no overflow).
int LeadingNumber(std::string_view text);

// Up to count characters from offset, as much as there is (empty past the end).
std::string_view Field(std::string_view text, size_t offset, size_t count);

// A date the calendar of the records holds (the years 100 to 9999).
bool IsCalendarDate(int year, int month, int day);

// The value marked invalid.
platform::OleDateTime Invalid(platform::OleDateTime value);

// A new recording document: the two records, an empty beat list and an empty event list, in the
// given file version.
std::vector<uint8_t> StoreNewRecording(const TPatientData& patient, const TRecordingData& recording,
                                       int32_t version);

// The first count characters of UTF-8 text, never cutting a character in two.
std::string FirstCharacters(std::string_view utf8, size_t count);

}  // namespace tools
