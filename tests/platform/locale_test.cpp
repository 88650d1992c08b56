#include "platform/locale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <ctime>

#include "platform/clock.h"

namespace platform {
namespace {

TEST(FixedLocale, FormatsTimesAndDatesOfBothKinds) {
  struct Case {
    FixedLocale::Kind kind;
    int hour, minute, second;
    const char* time;
  };
  const Case times[] = {
      {FixedLocale::Kind::k24Hour, 0, 0, 0, "00:00:00"},     {FixedLocale::Kind::k24Hour, 13, 5, 9, "13:05:09"},
      {FixedLocale::Kind::k24Hour, 23, 59, 59, "23:59:59"},  {FixedLocale::Kind::k12Hour, 0, 5, 9, "12:05:09 AM"},
      {FixedLocale::Kind::k12Hour, 11, 59, 59, "11:59:59 AM"}, {FixedLocale::Kind::k12Hour, 12, 0, 0, "12:00:00 PM"},
      {FixedLocale::Kind::k12Hour, 13, 5, 9, "1:05:09 PM"},  {FixedLocale::Kind::k12Hour, 23, 0, 1, "11:00:01 PM"},
  };
  for (const Case& c : times) {
    SCOPED_TRACE(c.time);
    EXPECT_EQ(FixedLocale(c.kind).FormatTime(c.hour, c.minute, c.second), c.time);
  }
  EXPECT_EQ(FixedLocale(FixedLocale::Kind::k24Hour).FormatShortDate(2026, 12, 24), "24.12.2026");
  EXPECT_EQ(FixedLocale(FixedLocale::Kind::k24Hour).FormatShortDate(2001, 2, 3), "03.02.2001");
  EXPECT_EQ(FixedLocale(FixedLocale::Kind::k12Hour).FormatShortDate(2026, 12, 24), "12/24/2026");
  EXPECT_EQ(FixedLocale(FixedLocale::Kind::k12Hour).FormatShortDate(2001, 2, 3), "02/03/2001");
  EXPECT_EQ(FixedLocale(FixedLocale::Kind::k12Hour).PmDesignator(), "PM");
  EXPECT_EQ(FixedLocale(FixedLocale::Kind::k24Hour).AmDesignator(), "");
}

TEST(SystemLocale, FollowsTheCLocale) {
  const char* current = std::setlocale(LC_TIME, nullptr);
  if (!current || std::strcmp(current, "C") != 0) GTEST_SKIP() << "LC_TIME is " << current << ", not C";
  SystemLocale locale;
  EXPECT_EQ(locale.FormatTime(13, 5, 9), "13:05:09");
  EXPECT_EQ(locale.FormatShortDate(2026, 12, 24), "12/24/26");
  EXPECT_EQ(locale.AmDesignator(), "AM");
  EXPECT_EQ(locale.PmDesignator(), "PM");
}

TEST(SystemClock, AgreesWithTheCLibrary) {
  SystemClock clock;
  const time_t before = std::time(nullptr);
  const LocalDateTime now = clock.Now();
  tm local{};
  localtime_r(&before, &local);
  EXPECT_EQ(now.year, local.tm_year + 1900);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_GE(now.millisecond, 0);
  EXPECT_LT(now.millisecond, 1000);
  const int64_t first = clock.TickMs();
  EXPECT_GE(clock.TickMs(), first);
}

}  // namespace
}  // namespace platform
