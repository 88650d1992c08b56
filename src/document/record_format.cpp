#include "document/record_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace document {
namespace {

constexpr int64_t kSecondsPerDay = 86400;
// Day numbers of 1 January 100 and 31 December 9999, the framework's valid range.
constexpr double kMinDay = -657434.0;
constexpr double kMaxDay = 2958466.0;

// Days from 1970-01-01 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(era * 400 + yoe + (month <= 2));
}

const int64_t kOleEpoch = DaysFromCivil(1899, 12, 30);

void Append2(std::string& out, int value) {
  out += static_cast<char>('0' + value / 10 % 10);
  out += static_cast<char>('0' + value % 10);
}

}  // namespace

platform::OleDateTime OleDateOnly(const platform::LocalDateTime& local) {
  return {0, static_cast<double>(DaysFromCivil(local.year, local.month, local.day) - kOleEpoch)};
}

platform::OleDateTime OleTimeOnly(const platform::LocalDateTime& local) {
  const int64_t seconds = local.hour * 3600 + local.minute * 60 + local.second;
  return {0, static_cast<double>(seconds) / kSecondsPerDay};
}

platform::OleDateTime ToOleDateTime(const platform::LocalDateTime& local) {
  // Before the epoch the fraction counts forward from the (negative) whole day, as the framework does.
  const double date = OleDateOnly(local).days;
  const double time = OleTimeOnly(local).days;
  return {0, date >= 0 ? date + time : date - time};
}

std::optional<platform::LocalDateTime> ToLocalDateTime(const platform::OleDateTime& value) {
  if (value.status != 0 || !(value.days >= kMinDay && value.days < kMaxDay)) return std::nullopt;
  const double whole = std::trunc(value.days);
  int64_t date = static_cast<int64_t>(whole);
  int64_t seconds = std::llround(std::fabs(value.days - whole) * kSecondsPerDay);
  if (seconds >= kSecondsPerDay) {
    seconds -= kSecondsPerDay;
    date += 1;
  }
  platform::LocalDateTime local;
  CivilFromDays(date + kOleEpoch, local.year, local.month, local.day);
  local.hour = static_cast<int>(seconds / 3600);
  local.minute = static_cast<int>(seconds / 60 % 60);
  local.second = static_cast<int>(seconds % 60);
  return local;
}

std::string FormatOleDateTime(const platform::OleDateTime& value, std::string_view format) {
  const std::optional<platform::LocalDateTime> local = ToLocalDateTime(value);
  if (!local) return {};
  std::string out;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 == format.size()) {
      out += format[i];
      continue;
    }
    switch (format[++i]) {
      case 'd': Append2(out, local->day); break;
      case 'm': Append2(out, local->month); break;
      case 'Y': out += std::to_string(local->year); break;
      case 'H': Append2(out, local->hour); break;
      case 'M': Append2(out, local->minute); break;
      case 'S': Append2(out, local->second); break;
      default: out += format[i]; break;
    }
  }
  return out;
}

std::string FormatFixedPoint(double value, int decimals) {
  if (decimals < 0) decimals = 0;
  // 309 digits before the point at most, a sign and the point.
  std::string text(static_cast<size_t>(decimals) + 320, '\0');
  const auto [end, error] =
      std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, decimals);
  if (error != std::errc()) return {};
  text.resize(static_cast<size_t>(end - text.data()));
  return text;
}

std::string FormatFixedNumber(double value, int decimals) {
  if (decimals < 0) decimals = 0;
  const std::string text = FormatFixedPoint(std::fabs(value), decimals);
  const size_t point = text.find('.');
  std::string whole = text.substr(0, point);
  const size_t first = whole.find_first_not_of('0');
  whole = first == std::string::npos ? std::string() : whole.substr(first);
  if (decimals == 0 || point == std::string::npos) return whole;
  return whole + text.substr(point);
}

}  // namespace document
