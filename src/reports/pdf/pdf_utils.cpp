#include "reports/pdf/pdf_utils.h"

#include <cmath>
#include <cstdio>

#include "reports/pdf/pdf_format.h"

namespace {

// Floor division that also works for negative counts.
int FloorDiv(int value, int divisor, int* remainder) {
  int q = value / divisor;
  int r = value % divisor;
  if (r < 0) {
    r += divisor;
    --q;
  }
  *remainder = r;
  return q;
}

}  // namespace

std::string tvk_timeStamp(int flag, const platform::Clock& clock) {
  const platform::LocalDateTime t = clock.Now();
  return tvk_format(flag == 0 ? "%04d%02d%02d%02d%02d%02d" : "%04d-%02d-%02d %02d:%02d:%02d", t.year,
                    t.month, t.day, t.hour, t.minute, t.second);
}

void tvk_printTime(const platform::LocalDateTime& time) {
  const std::string text = tvk_format("%04d-%02d-%02d %02d:%02d:%02d\n", time.year, time.month,
                                      time.day, time.hour, time.minute, time.second);
  std::fputs(text.c_str(), stdout);
}

int tvk_isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 1 : 0; }

int tvk_daysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && tvk_isLeapYear(year) ? 29 : kDays[month - 1];
}

int tvk_dayOfYear(const platform::LocalDateTime& time) {
  int days = time.day - 1;
  for (int m = 1; m < time.month; ++m) days += tvk_daysInMonth(time.year, m);
  return days;
}

platform::LocalDateTime tvk_normalizeTime(platform::LocalDateTime t) {
  int r = 0;
  t.minute += FloorDiv(t.second, 60, &r);
  t.second = r;
  t.hour += FloorDiv(t.minute, 60, &r);
  t.minute = r;
  int carry_days = FloorDiv(t.hour, 24, &r);
  t.hour = r;
  t.year += FloorDiv(t.month - 1, 12, &r);
  t.month = r + 1;
  int day = t.day + carry_days;
  while (day < 1) {
    if (--t.month < 1) {
      t.month = 12;
      --t.year;
    }
    day += tvk_daysInMonth(t.year, t.month);
  }
  while (day > tvk_daysInMonth(t.year, t.month)) {
    day -= tvk_daysInMonth(t.year, t.month);
    if (++t.month > 12) {
      t.month = 1;
      ++t.year;
    }
  }
  t.day = day;
  return t;
}

double tvk_daysBetween(const platform::LocalDateTime& t1, const platform::LocalDateTime& t2) {
  const platform::LocalDateTime a = tvk_normalizeTime(t1);
  const platform::LocalDateTime b = tvk_normalizeTime(t2);
  auto value = [](const platform::LocalDateTime& t) {
    return tvk_dayOfYear(t) + t.hour / 24.0 + t.minute / 1440.0 + t.second / 86400.0;
  };
  double years = 0;
  for (int y = a.year; y < b.year; ++y) years += tvk_isLeapYear(y) ? 366 : 365;
  for (int y = b.year; y < a.year; ++y) years -= tvk_isLeapYear(y) ? 366 : 365;
  return value(b) + years - value(a);
}

void tvk_concatMatrix(tvk_Matrix& m, const tvk_Matrix& n) {
  const tvk_Matrix r{n.a * m.a + n.b * m.c,       n.a * m.b + n.b * m.d,
                     n.c * m.a + n.d * m.c,       n.c * m.b + n.d * m.d,
                     n.e * m.a + n.f * m.c + m.e, n.e * m.b + n.f * m.d + m.f};
  m = r;
}

double tvk_splitDecimal(double x, int* exponent) {
  int e = 0;
  if (x != 0.0 && std::isfinite(x)) {
    // Division, not × 0.1: 1000 / 10 / 10 / 10 is exactly 1.
    while (std::fabs(x) >= 10.0) {
      x /= 10.0;
      ++e;
    }
    while (std::fabs(x) < 1.0) {
      x *= 10.0;
      --e;
    }
  }
  if (exponent != nullptr) *exponent = e;
  return x;
}
