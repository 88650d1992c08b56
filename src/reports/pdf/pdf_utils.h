#pragma once

#include <string>

#include "platform/clock.h"

// Time stamps, calendar arithmetic and small numeric helpers of the PDF writer. Calendar times
// are platform::LocalDateTime (month 1..12); fields out of their range are carried over when a
// time is normalised (minute 75 is the next hour's minute 15).

// Affine matrix in PDF order: x' = a x + c y + e, y' = b x + d y + f.
struct tvk_Matrix {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

  bool operator==(const tvk_Matrix&) const = default;
};

// The clock's local time: flag 0 "YYYYMMDDhhmmss", otherwise "YYYY-MM-DD hh:mm:ss".
std::string tvk_timeStamp(int flag, const platform::Clock& clock);
// Writes "YYYY-MM-DD hh:mm:ss" and a line feed to standard output.
void tvk_printTime(const platform::LocalDateTime& time);
// Days from t1 to t2 (fractional, negative when t2 is earlier).
double tvk_daysBetween(const platform::LocalDateTime& t1, const platform::LocalDateTime& t2);
int tvk_isLeapYear(int year);
// m becomes n × m.
void tvk_concatMatrix(tvk_Matrix& m, const tvk_Matrix& n);
// Mantissa with 1 <= |mantissa| < 10 and x = mantissa × 10^exponent; 0 gives 0 and exponent 0.
double tvk_splitDecimal(double x, int* exponent);

// Carries out-of-range fields into the larger ones (seconds into minutes ... months into years).
platform::LocalDateTime tvk_normalizeTime(platform::LocalDateTime time);
int tvk_daysInMonth(int year, int month);
// Day of the year, 0 for 1 January.
int tvk_dayOfYear(const platform::LocalDateTime& time);
