#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/archive.h"
#include "platform/clock.h"

// Date-time and number helpers of the patient and recording records.
namespace document {

// The framework's date-time of a local date and time (seconds resolution), status valid.
platform::OleDateTime ToOleDateTime(const platform::LocalDateTime& local);
// The date-time with its time of day cut off (whole days only).
platform::OleDateTime OleDateOnly(const platform::LocalDateTime& local);
// The time of day alone: a fraction of one day.
platform::OleDateTime OleTimeOnly(const platform::LocalDateTime& local);
// Broken down to the second; nullopt when the status is not valid or the day number lies outside
// the years 100 to 9999 (a damaged file must not reach the calendar arithmetic).
std::optional<platform::LocalDateTime> ToLocalDateTime(const platform::OleDateTime& value);
// strftime-like text with %d %m %Y %H %M %S %%; empty for a date-time that ToLocalDateTime refuses.
std::string FormatOleDateTime(const platform::OleDateTime& value, std::string_view format);

// Fixed-point text without sign and without a leading zero: 1.5 -> "1.5", 0.05 (2) -> ".05",
// 175 (0) -> "175", 0.3 (0) -> "".
std::string FormatFixedNumber(double value, int decimals);

// printf's "%.<decimals>f" as the C locale writes it, whatever the process locale: a point, no
// grouping, every digit of the largest double, "inf" and "nan" as they are.
std::string FormatFixedPoint(double value, int decimals);

}  // namespace document
