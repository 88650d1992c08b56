#include "common/time_formatter.h"

#include <chrono>
#include <cstdio>

namespace {

constexpr int kMsPerSecond = 1000;
constexpr int kMsPerMinute = 60 * kMsPerSecond;
constexpr int kMsPerHour = 60 * kMsPerMinute;
constexpr int kMsPerDay = 24 * kMsPerHour;

struct TimeOfDay {
  int hour;
  int minute;
  int second;
};

// Callers pass a time of day; anything outside is wrapped onto the day rather than producing an
// hour 24 or a negative one.
TimeOfDay SplitTime(int time_ms) {
  int t = time_ms % kMsPerDay;
  if (t < 0) t += kMsPerDay;
  return {t / kMsPerHour, (t % kMsPerHour) / kMsPerMinute, (t % kMsPerMinute) / kMsPerSecond};
}

bool ContainsAsciiLetter(const std::string& text) {
  for (const char c : text) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  }
  return false;
}

int TwelveHour(int hour) {
  const int h = hour % 12;
  return h == 0 ? 12 : h;
}

std::string TwoDigits(int value) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", value);
  return buf;
}

}  // namespace

std::string TTimeFormatter::FormatHMS(int time_ms) const {
  const TimeOfDay t = SplitTime(time_ms);
  return TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second);
}

bool TTimeFormatter::UsesAmPm() const { return ContainsAsciiLetter(locale_.FormatTime(9, 10, 1)); }

std::string TTimeFormatter::FormatHourLabel(int time_ms, int mode) const {
  const TimeOfDay t = SplitTime(time_ms);
  std::string locale_text = locale_.FormatTime(t.hour, t.minute, t.second);
  const bool twelve_hour = ContainsAsciiLetter(locale_text);
  const std::string designator = t.hour < 12 ? locale_.AmDesignator() : locale_.PmDesignator();
  switch (mode) {
    case 1:
      return twelve_hour ? std::to_string(TwelveHour(t.hour)) + " " + designator : std::to_string(t.hour);
    case 2:
      return twelve_hour ? TwoDigits(TwelveHour(t.hour)) + ":" + TwoDigits(t.minute) + " " + designator
                         : TwoDigits(t.hour) + ":" + TwoDigits(t.minute);
    case 3:
      return std::to_string(twelve_hour ? TwelveHour(t.hour) : t.hour);
    case 4:
      return twelve_hour ? designator : std::string();
    default:
      return locale_text;
  }
}

std::string TTimeFormatter::FormatDate(const platform::LocalDateTime& date, int days) const {
  using namespace std::chrono;
  sys_days day = sys_days(year_month_day(year(date.year), month(static_cast<unsigned>(date.month)),
                                         std::chrono::day(static_cast<unsigned>(date.day))));
  if (days > 0) day += std::chrono::days(days);
  const year_month_day ymd(day);
  return locale_.FormatShortDate(static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                                 static_cast<int>(static_cast<unsigned>(ymd.day())));
}
