#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/number_formatter.h"
#include "common/time_formatter.h"
#include "platform/resources.h"
#include "support/comma_decimal_locale.h"

namespace {

// A locale whose texts are fixed here, so the tests check the formatter and not a locale.
class FakeLocale : public platform::Locale {
 public:
  explicit FakeLocale(bool twelve_hour) : twelve_hour_(twelve_hour) {}
  std::string FormatTime(int hour, int minute, int second) const override {
    char buf[32];
    if (twelve_hour_) {
      std::snprintf(buf, sizeof buf, "%d:%02d:%02d %s", hour % 12 == 0 ? 12 : hour % 12, minute, second,
                    hour < 12 ? "AM" : "PM");
    } else {
      std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", hour, minute, second);
    }
    return buf;
  }
  std::string FormatShortDate(int year, int month, int day) const override {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", day, month, year);
    return buf;
  }
  std::string AmDesignator() const override { return twelve_hour_ ? "AM" : ""; }
  std::string PmDesignator() const override { return twelve_hour_ ? "PM" : ""; }

 private:
  bool twelve_hour_;
};

constexpr int kHour = 3'600'000;
constexpr int kMinute = 60'000;

TEST(TTimeFormatter, FormatHMSIgnoresLocaleAndDropsMilliseconds) {
  const FakeLocale twelve(true);
  const TTimeFormatter f(twelve);
  EXPECT_EQ(f.FormatHMS(0), "00:00:00");
  EXPECT_EQ(f.FormatHMS(86'399'999), "23:59:59");
  EXPECT_EQ(f.FormatHMS(13 * kHour + 5 * kMinute + 9'999), "13:05:09");
}

TEST(TTimeFormatter, HourLabelsByModeAndClock) {
  struct Case {
    const char* name;
    int time_ms;
    int mode;
    const char* want24;
    const char* want12;
  };
  constexpr Case kCases[] = {
      {"axis hour afternoon", 13 * kHour, 1, "13", "1 PM"},
      {"axis hour midnight", 0, 1, "0", "12 AM"},
      {"axis hour noon", 12 * kHour, 1, "12", "12 PM"},
      {"hour and minute", 13 * kHour + 5 * kMinute, 2, "13:05", "01:05 PM"},
      {"hour and minute morning", 9 * kHour + 30 * kMinute, 2, "09:30", "09:30 AM"},
      {"bare hour", 23 * kHour, 3, "23", "11"},
      {"designator line", 13 * kHour, 4, "", "PM"},
      {"designator line morning", 1 * kHour, 4, "", "AM"},
      {"other mode gives locale text", 13 * kHour + 5 * kMinute + 9'000, 7, "13:05:09", "1:05:09 PM"},
  };
  const FakeLocale l24(false), l12(true);
  const TTimeFormatter f24(l24), f12(l12);
  EXPECT_FALSE(f24.UsesAmPm());
  EXPECT_TRUE(f12.UsesAmPm());
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(f24.FormatHourLabel(c.time_ms, c.mode), c.want24);
    EXPECT_EQ(f12.FormatHourLabel(c.time_ms, c.mode), c.want12);
  }
}

// The platform's own fixed locales, as other subsystems' tests will inject them.
TEST(TTimeFormatter, WorksWithPlatformFixedLocales) {
  const platform::FixedLocale l24(platform::FixedLocale::Kind::k24Hour);
  const platform::FixedLocale l12(platform::FixedLocale::Kind::k12Hour);
  const TTimeFormatter f24(l24), f12(l12);
  EXPECT_FALSE(f24.UsesAmPm());
  EXPECT_TRUE(f12.UsesAmPm());
  EXPECT_EQ(f24.FormatHourLabel(13 * kHour, 1), "13");
  EXPECT_EQ(f12.FormatHourLabel(13 * kHour, 1), "1 PM");
  EXPECT_EQ(f12.FormatDate({2026, 12, 24, 0, 0, 0, 0}, 1), "12/25/2026");
}

TEST(TTimeFormatter, FormatDateAddsOnlyPositiveDays) {
  const FakeLocale l24(false);
  const TTimeFormatter f(l24);
  const platform::LocalDateTime date{2024, 2, 28, 23, 59, 59, 0};
  EXPECT_EQ(f.FormatDate(date, 0), "28.02.2024");
  EXPECT_EQ(f.FormatDate(date, -3), "28.02.2024");
  EXPECT_EQ(f.FormatDate(date, 1), "29.02.2024");
  EXPECT_EQ(f.FormatDate(date, 2), "01.03.2024");
  EXPECT_EQ(f.FormatDate({2026, 12, 31, 0, 0, 0, 0}, 1), "01.01.2027");
}

struct FixedCase {
  double x;
  int decimals;
  const char* want;
};
constexpr FixedCase kFixedCases[] = {
    {12.34, 1, "12.3"}, {0.05, 2, "0.05"},   {-0.5, 1, "-0.5"},  {0.96, 1, "1.0"},
    {9.96, 1, "10.0"},  {99.96, 1, "100.0"}, {0.5, 1, "0.5"},    {0.04, 1, "0.0"},
    {0.0, 1, "0.0"},    {0.0, 2, "0.00"},    {0.004, 2, "0.00"}, {1e-12, 2, "0.00"},
    {0.25, 1, "0.3"},   {0.125, 2, "0.13"},  {-1.25, 1, "-1.3"}, {0.15, 1, "0.1"},
    {0.05, 1, "0.1"},   {0.005, 2, "0.01"},  {3.0, 2, "3.00"},   {1234567.891, 2, "1234567.89"},
    {-0.04, 1, "-0.0"},
};

TEST(TNumberFormatter, FormatFixedRoundsLikeFixedPointConversion) {
  const TNumberFormatter f;
  for (const FixedCase& c : kFixedCases) {
    SCOPED_TRACE(testing::Message() << c.x << " with " << c.decimals);
    EXPECT_EQ(f.FormatFixed(c.x, c.decimals), c.want);
  }
}

// The Qt host runs with the user's C locale; the texts keep their point and their digits.
TEST(TNumberFormatter, FormatFixedIgnoresACommaDecimalLocale) {
  const testsupport::ScopedCommaDecimalLocale comma;
  ASSERT_TRUE(comma.Active());
  const TNumberFormatter f;
  for (const FixedCase& c : kFixedCases) {
    SCOPED_TRACE(testing::Message() << c.x << " with " << c.decimals);
    EXPECT_EQ(f.FormatFixed(c.x, c.decimals), c.want);
  }
  EXPECT_EQ(f.FormatInt(1234567), "1234567");
}

TEST(TNumberFormatter, FormatIntAndCountWithUnit) {
  platform::Resources().Reset();
  const platform::StringEntry unit[] = {{TNumberFormatter::kCountUnitString, " beats"}};
  platform::Resources().ExePack().AddStrings(unit);
  const TNumberFormatter f;
  EXPECT_EQ(f.FormatInt(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(f.FormatCount(-1), "-- beats");
  EXPECT_EQ(f.FormatCount(0), "0 beats");
  EXPECT_EQ(f.FormatCount(-2), "-2 beats");
  platform::Resources().Reset();
}

}  // namespace
