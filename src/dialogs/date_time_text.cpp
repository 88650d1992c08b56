#include "dialogs/date_time_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <vector>

#include "document/record_format.h"
#include "platform/clock.h"
#include "platform/locale.h"
#include "platform/process_context.h"
#include "win/data_exchange.h"
#include "win/window.h"

namespace dialogs {
namespace {

const platform::Locale* g_locale = nullptr;

enum class Field { kDay, kMonth, kYear };

// The order of day, month and year in the locale's short date, found from a probe date whose
// three numbers cannot be mistaken for one another.
std::array<Field, 3> DateOrder(const platform::Locale& locale) {
  const std::string probe = locale.FormatShortDate(2033, 11, 22);
  const size_t year = probe.find("33");
  const size_t month = probe.find("11");
  const size_t day = probe.find("22");
  std::array<std::pair<size_t, Field>, 3> at = {{{day, Field::kDay}, {month, Field::kMonth}, {year, Field::kYear}}};
  std::sort(at.begin(), at.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return {at[0].second, at[1].second, at[2].second};
}

std::optional<int> ParseNumber(std::string_view text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

std::vector<std::string_view> SplitOn(std::string_view text, std::string_view separators) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || separators.find(text[i]) != std::string_view::npos) {
      parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

// The locale's short date with a two-digit year widened to four digits. The year is the digit run
// that stands where "33" stands in the probe date 22 November 2033.
std::string ShortDateWithFullYear(const platform::Locale& locale, int year, int month, int day) {
  std::string text = locale.FormatShortDate(year, month, day);
  const std::string probe = locale.FormatShortDate(2033, 11, 22);
  const size_t probe_year = probe.find("33");
  if (year < 1000 || probe_year == std::string::npos || probe.find("2033") != std::string::npos) return text;
  const auto is_digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
  int run = 0;
  for (size_t i = 0; i < probe_year; ++i)
    if (is_digit(probe[i]) && (i == 0 || !is_digit(probe[i - 1]))) ++run;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!is_digit(text[i]) || (i > 0 && is_digit(text[i - 1]))) continue;
    size_t end = i;
    while (end < text.size() && is_digit(text[end])) ++end;
    if (run-- == 0) {
      if (end - i == 2) text.replace(i, 2, std::to_string(year));
      break;
    }
  }
  return text;
}

std::optional<platform::LocalDateTime> ParseDate(std::string_view text, const platform::Locale& locale,
                                                 const std::optional<platform::LocalDateTime>& latest) {
  const std::vector<std::string_view> parts = SplitOn(text, "./-");
  if (parts.size() != 3) return std::nullopt;
  const std::array<Field, 3> order = DateOrder(locale);
  platform::LocalDateTime date;
  bool two_digit_year = false;
  for (size_t i = 0; i < 3; ++i) {
    const std::optional<int> number = ParseNumber(parts[i]);
    if (!number) return std::nullopt;
    switch (order[i]) {
      case Field::kDay: date.day = *number; break;
      case Field::kMonth: date.month = *number; break;
      case Field::kYear:
        if (parts[i].size() <= 2) {
          date.year = *number < 30 ? 2000 + *number : 1900 + *number;
          two_digit_year = true;
        } else if (parts[i].size() == 4) {
          date.year = *number;
        } else {
          return std::nullopt;
        }
        break;
    }
  }
  if (two_digit_year && latest) {
    date.year = latest->year / 100 * 100 + date.year % 100;
    const auto key = [](const platform::LocalDateTime& d) { return (d.year * 100 + d.month) * 100 + d.day; };
    if (key(date) > key(*latest)) date.year -= 100;
  }
  if (date.year < 100 || date.month < 1 || date.month > 12 || date.day < 1 ||
      date.day > DaysInMonth(date.year, date.month)) {
    return std::nullopt;
  }
  return date;
}

struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
};

std::optional<TimeOfDay> ParseTime(std::string_view text, int designator) {
  const std::vector<std::string_view> parts = SplitOn(text, ":");
  if (parts.size() < 2 || parts.size() > 3) return std::nullopt;
  TimeOfDay t;
  const std::optional<int> hour = ParseNumber(parts[0]);
  const std::optional<int> minute = ParseNumber(parts[1]);
  const std::optional<int> second = parts.size() == 3 ? ParseNumber(parts[2]) : std::optional<int>(0);
  if (!hour || !minute || !second || parts[1].size() != 2 || (parts.size() == 3 && parts[2].size() != 2)) {
    return std::nullopt;
  }
  t.hour = *hour;
  t.minute = *minute;
  t.second = *second;
  if (designator != 0) {
    // 12-hour clock: 12 AM is midnight, 12 PM noon.
    if (t.hour < 1 || t.hour > 12) return std::nullopt;
    t.hour = t.hour % 12 + (designator == 2 ? 12 : 0);
  }
  if (t.hour > 23 || t.minute > 59 || t.second > 59) return std::nullopt;
  return t;
}

}  // namespace

const platform::Locale& DialogLocale() {
  static const platform::SystemLocale system_locale;
  return g_locale != nullptr ? *g_locale : system_locale;
}

void SetDialogLocale(const platform::Locale* locale) { g_locale = locale; }

std::string FormatDateText(const platform::OleDateTime& value, const platform::Locale& locale) {
  const std::optional<platform::LocalDateTime> local = document::ToLocalDateTime(value);
  if (!local) return {};
  return ShortDateWithFullYear(locale, local->year, local->month, local->day);
}

std::string FormatTimeText(const platform::OleDateTime& value, const platform::Locale& locale) {
  const std::optional<platform::LocalDateTime> local = document::ToLocalDateTime(value);
  if (!local) return {};
  return locale.FormatTime(local->hour, local->minute, local->second);
}

std::string FormatDateTimeText(const platform::OleDateTime& value, const platform::Locale& locale) {
  const std::optional<platform::LocalDateTime> local = document::ToLocalDateTime(value);
  if (!local) return {};
  const bool day_zero = std::trunc(value.days) == 0;
  const bool midnight = local->hour == 0 && local->minute == 0 && local->second == 0;
  if (day_zero) return locale.FormatTime(local->hour, local->minute, local->second);
  std::string text = ShortDateWithFullYear(locale, local->year, local->month, local->day);
  if (!midnight) text += " " + locale.FormatTime(local->hour, local->minute, local->second);
  return text;
}

std::optional<platform::OleDateTime> ParseDateTimeText(std::string_view text, const platform::Locale& locale,
                                                       const std::optional<platform::LocalDateTime>& latest) {
  std::optional<platform::LocalDateTime> date;
  std::string_view time_text;
  int designator = 0;  // 1 AM, 2 PM
  bool any = false;
  for (std::string_view token : SplitOn(text, " \t")) {
    if (token.empty()) continue;
    any = true;
    const std::string am = locale.AmDesignator();
    const std::string pm = locale.PmDesignator();
    if (designator == 0 && !am.empty() && EqualNoCase(token, am)) {
      designator = 1;
    } else if (designator == 0 && !pm.empty() && EqualNoCase(token, pm)) {
      designator = 2;
    } else if (token.find(':') != std::string_view::npos && time_text.empty()) {
      time_text = token;
    } else if (!date) {
      date = ParseDate(token, locale, latest);
      if (!date) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  if (!any || (designator != 0 && time_text.empty())) return std::nullopt;
  platform::OleDateTime result{0, 0.0};
  if (date) result = document::OleDateOnly(*date);
  if (!time_text.empty()) {
    const std::optional<TimeOfDay> time = ParseTime(time_text, designator);
    if (!time) return std::nullopt;
    platform::LocalDateTime t;
    t.hour = time->hour;
    t.minute = time->minute;
    t.second = time->second;
    const double fraction = document::OleTimeOnly(t).days;
    // Before the epoch the fraction counts forward from the whole day, as the framework does.
    result.days = result.days >= 0 ? result.days + fraction : result.days - fraction;
  }
  return result;
}

void DdxDateTimeText(win::DataExchange& dx, int id, platform::OleDateTime& value,
                     const std::optional<platform::LocalDateTime>& latest) {
  if (!dx.Active()) return;
  win::Window* control = dx.PrepareEditCtrl(id);
  if (control == nullptr) return;
  if (!dx.Saving()) {
    control->SetWindowText(FormatDateTimeText(value, DialogLocale()));
    return;
  }
  const std::optional<platform::OleDateTime> parsed =
      ParseDateTimeText(control->GetWindowText(), DialogLocale(), latest);
  if (!parsed) {
    dx.Fail(win::FormatStandardMessage(win::kIdsParseDateTime, ""));
    return;
  }
  value = *parsed;
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  if (from.empty()) return text;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string DateEntryHint(const platform::Locale& locale, std::string_view year, std::string_view month,
                          std::string_view day) {
  std::string hint = "[ " + ShortDateWithFullYear(locale, 1996, 12, 30) + " ]";
  hint = ReplaceAll(std::move(hint), "19", year);
  hint = ReplaceAll(std::move(hint), "96", year);
  hint = ReplaceAll(std::move(hint), "12", month);
  return ReplaceAll(std::move(hint), "30", day);
}

std::string TimeEntryHint(const platform::Locale& locale, std::string_view hour, std::string_view minute,
                          std::string_view second) {
  std::string hint = "[ " + locale.FormatTime(6, 29, 11) + " ]";
  hint = ReplaceAll(std::move(hint), "11", second);
  hint = ReplaceAll(std::move(hint), "29", minute);
  hint = ReplaceAll(std::move(hint), "06", hour);
  hint = ReplaceAll(std::move(hint), "6", hour);
  hint = ReplaceAll(std::move(hint), "18", hour);
  hint = ReplaceAll(std::move(hint), " AM", "");
  return ReplaceAll(std::move(hint), " PM", "");
}

}  // namespace dialogs

namespace {

// A fresh process formats dates by the program's own default locale.
[[maybe_unused]] const bool kResetRegistered = platform::RegisterProcessReset(
    platform::ProcessLayer::kDialogs, [] { dialogs::SetDialogLocale(nullptr); });

}  // namespace
