#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/locale.h"

// Times of day, hour labels of time axes and dates as screens and printed pages show them.
// Times are milliseconds of the day (0 .. 86 399 999); milliseconds are dropped, never rounded.
// Keeps a reference to the locale, which must outlive the formatter.
class TTimeFormatter {
 public:
  explicit TTimeFormatter(const platform::Locale& locale) : locale_(locale) {}

  // "HH:MM:SS", 24-hour, whatever the locale.
  std::string FormatHMS(int time_ms) const;
  // True when the locale writes times with an AM/PM designator (a 12-hour clock).
  bool UsesAmPm() const;
  // Mode 1 axis hour ("13" / "1 PM"), 2 hour and minute ("13:05" / "01:05 PM"), 3 bare hour
  // ("13" / "1"), 4 the designator line under bare hours ("" / "PM"); other modes give the
  // locale's own time text.
  std::string FormatHourLabel(int time_ms, int mode) const;
  // The date part in the locale's short form, advanced by days when days > 0.
  std::string FormatDate(const platform::LocalDateTime& date, int days) const;

 private:
  const platform::Locale& locale_;
};
