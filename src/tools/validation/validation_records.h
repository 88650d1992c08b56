#pragma once

#include <string>
#include <string_view>
#include <vector>

// The reference records of the three validation sets, as they lie in the data directory.
namespace tools {

enum class ValidationSet { kAha, kMit, kEsc };

// The record numbers of a set, in the order the batches and statistics take them: AHA 1201..1210,
// 2201..2210, ... 8201..8210; MIT 100..899; ESC 100..1399.
std::vector<int> ValidationRecordNumbers(ValidationSet set);

// A record's file name: the set's prefix, the number (ESC below 1000 with a leading "0") and the
// extension with its point, e.g. "AHA1201.QRS", "MIT100.ANO", "ESC0103.STT".
std::string ValidationRecordFileName(ValidationSet set, int number, std::string_view extension);

// The record's file in the folder: under the converted record's name, or under the name that
// finalizing gave it ("MIT100 V----.ANO") when only that one holds a ".QRS".
std::string ValidationRecordPath(std::string_view folder, ValidationSet set, int number,
                                 std::string_view extension);

// A number of the statistics files: printf's "%<width>.<decimals>f" in the C locale, whatever the
// process locale; a value that is no number (a ratio over an empty denominator, a value past the
// stored ones) is "-" at the same width.
std::string StatisticField(double value, int width, int decimals);

}  // namespace tools
