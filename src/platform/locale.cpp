#include "platform/locale.h"

#include <langinfo.h>

#include <cstdio>
#include <ctime>

namespace platform {
namespace {

std::string Printf(const char* format, int a, int b, int c) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, a, b, c);
  return buffer;
}

// 0 -> 12 AM, 12 -> 12 PM, 13 -> 1 PM.
int Hour12(int hour) {
  const int h = ((hour % 12) + 12) % 12;
  return h == 0 ? 12 : h;
}

bool IsPm(int hour) { return ((hour % 24) + 24) % 24 >= 12; }

std::string Strftime(const char* format, const tm& value) {
  char buffer[128];
  const size_t n = std::strftime(buffer, sizeof buffer, format, &value);
  return std::string(buffer, n);
}

}  // namespace

std::string FixedLocale::FormatTime(int hour, int minute, int second) const {
  if (kind_ == Kind::k24Hour) return Printf("%02d:%02d:%02d", hour, minute, second);
  return Printf("%d:%02d:%02d", Hour12(hour), minute, second) + (IsPm(hour) ? " PM" : " AM");
}

std::string FixedLocale::FormatShortDate(int year, int month, int day) const {
  if (kind_ == Kind::k24Hour) return Printf("%02d.%02d.%04d", day, month, year);
  return Printf("%02d/%02d/%04d", month, day, year);
}

std::string SystemLocale::FormatTime(int hour, int minute, int second) const {
  tm value{};
  value.tm_hour = hour;
  value.tm_min = minute;
  value.tm_sec = second;
  return Strftime(nl_langinfo(T_FMT), value);
}

std::string SystemLocale::FormatShortDate(int year, int month, int day) const {
  tm value{};
  value.tm_year = year - 1900;
  value.tm_mon = month - 1;
  value.tm_mday = day;
  // Some locales' formats name the weekday; let the C library work it out.
  tm normalised = value;
  normalised.tm_hour = 12;
  if (timegm(&normalised) != static_cast<time_t>(-1)) {
    value.tm_wday = normalised.tm_wday;
    value.tm_yday = normalised.tm_yday;
  }
  return Strftime(nl_langinfo(D_FMT), value);
}

std::string SystemLocale::AmDesignator() const { return nl_langinfo(AM_STR); }
std::string SystemLocale::PmDesignator() const { return nl_langinfo(PM_STR); }

}  // namespace platform
