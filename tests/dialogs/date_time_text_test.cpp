#include "dialogs/date_time_text.h"

#include <gtest/gtest.h>

#include <string>

#include "dialogs/round_to_decimals.h"
#include "dialogs/two_digit_year_locale.h"
#include "document/record_format.h"
#include "platform/locale.h"

namespace {

using platform::FixedLocale;
using platform::LocalDateTime;

const FixedLocale k24{FixedLocale::Kind::k24Hour};
const FixedLocale k12{FixedLocale::Kind::k12Hour};

platform::OleDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return document::ToOleDateTime(LocalDateTime{y, mo, d, h, mi, s});
}
platform::OleDateTime TimeOfDay(int h, int mi, int s) { return document::OleTimeOnly(LocalDateTime{1970, 1, 1, h, mi, s}); }

TEST(DateTimeText, FormatsDateTimeDateOrTimeAsTheFrameworkDid) {
  struct Case {
    const char* name;
    platform::OleDateTime value;
    const char* want24;
    const char* want12;
  };
  const Case cases[] = {
      {"date and time", At(2026, 12, 24, 13, 5, 9), "24.12.2026 13:05:09", "12/24/2026 1:05:09 PM"},
      {"midnight: date alone", At(2026, 12, 24), "24.12.2026", "12/24/2026"},
      {"day 0: time alone", TimeOfDay(6, 29, 11), "06:29:11", "6:29:11 AM"},
      {"day 0 at midnight", TimeOfDay(0, 0, 0), "00:00:00", "12:00:00 AM"},
      {"invalid", {1, 1000.0}, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(dialogs::FormatDateTimeText(c.value, k24), c.want24);
    EXPECT_EQ(dialogs::FormatDateTimeText(c.value, k12), c.want12);
  }
}

TEST(DateTimeText, ReadsWhatTheUserTyped) {
  struct Case {
    const char* text;
    const platform::Locale* locale;
    std::optional<platform::OleDateTime> want;
  };
  const Case cases[] = {
      {"24.12.2026", &k24, At(2026, 12, 24)},
      {" 1.1.20 ", &k24, At(2020, 1, 1)},
      {"1-1-30", &k24, At(1930, 1, 1)},
      {"29.02.2024", &k24, At(2024, 2, 29)},
      {"13:05", &k24, TimeOfDay(13, 5, 0)},
      {"13:05:09", &k24, TimeOfDay(13, 5, 9)},
      {"24.12.2026 13:05:09", &k24, At(2026, 12, 24, 13, 5, 9)},
      {"12/24/2026 1:05:09 PM", &k12, At(2026, 12, 24, 13, 5, 9)},
      {"12:00 am", &k12, TimeOfDay(0, 0, 0)},
      {"12:30 PM", &k12, TimeOfDay(12, 30, 0)},
      {"", &k24, std::nullopt},
      {"29.02.2023", &k24, std::nullopt},
      {"31.04.2024", &k24, std::nullopt},
      {"25:00", &k24, std::nullopt},
      {"12:5", &k24, std::nullopt},
      {"1.1", &k24, std::nullopt},
      {"tomorrow", &k24, std::nullopt},
      {"1.1.2020 2.2.2020", &k24, std::nullopt},
      {"13:00 PM", &k12, std::nullopt},
      {"PM", &k12, std::nullopt},
      {"24/12/2026", &k12, std::nullopt},  // month 24
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<platform::OleDateTime> got = dialogs::ParseDateTimeText(c.text, *c.locale);
    ASSERT_EQ(got.has_value(), c.want.has_value());
    if (got) {
      EXPECT_NEAR(got->days, c.want->days, 0.5 / 86400);
    }
  }
}

TEST(DateTimeText, TwoDigitYearLocalesShowAndReadTheRightCentury) {
  const dialogs_test::TwoDigitYearLocale locale;
  // What the field shows reads back as the same day, a century ago or not.
  for (const platform::OleDateTime& value : {At(1925, 3, 15), At(2025, 3, 15), At(1899, 12, 31)}) {
    const std::string text = dialogs::FormatDateText(value, locale);
    SCOPED_TRACE(text);
    EXPECT_EQ(text.size(), 10u);
    const std::optional<platform::OleDateTime> back =
        dialogs::ParseDateTimeText(text, locale, LocalDateTime{2026, 12, 11});
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->days, value.days);
  }
  EXPECT_EQ(dialogs::FormatDateTimeText(At(1925, 3, 15, 8, 30, 0), locale), "03/15/1925 8:30:00 AM");
  EXPECT_EQ(dialogs::DateEntryHint(locale, "yy", "mm", "dd"), "[ mm/dd/yyyy ]");

  // Typed two-digit years: the latest date not after the given day, else the fixed window.
  struct Case {
    const char* text;
    std::optional<LocalDateTime> latest;
    platform::OleDateTime want;
  };
  const LocalDateTime today{2026, 12, 11, 9, 0, 0};
  const Case cases[] = {
      {"03/15/25", today, At(2025, 3, 15)},        {"12/11/26", today, At(2026, 12, 11)},
      {"12/12/26", today, At(1926, 12, 12)},       {"03/15/45", today, At(1945, 3, 15)},
      {"02/29/00", today, At(2000, 2, 29)},        {"03/15/1925", today, At(1925, 3, 15)},
      {"03/15/25", std::nullopt, At(2025, 3, 15)}, {"03/15/45", std::nullopt, At(1945, 3, 15)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<platform::OleDateTime> got = dialogs::ParseDateTimeText(c.text, locale, c.latest);
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->days, c.want.days);
  }
}

TEST(DateTimeText, EntryHintsShowTheLocalesPattern) {
  EXPECT_EQ(dialogs::DateEntryHint(k24, "yy", "mm", "dd"), "[ dd.mm.yyyy ]");
  EXPECT_EQ(dialogs::DateEntryHint(k12, "yy", "mm", "dd"), "[ mm/dd/yyyy ]");
  EXPECT_EQ(dialogs::DateEntryHint(k24, "JJ", "MM", "TT"), "[ TT.MM.JJJJ ]");
  // A 12-hour clock without a leading zero gives the same pattern.
  EXPECT_EQ(dialogs::TimeEntryHint(k24, "hh", "mm", "ss"), "[ hh:mm:ss ]");
  EXPECT_EQ(dialogs::TimeEntryHint(k12, "hh", "mm", "ss"), "[ hh:mm:ss ]");
}

TEST(RoundToDecimals, CutsLikeTheIntConversion) {
  struct Case {
    double value;
    int decimals;
    double want;
  };
  constexpr Case kCases[] = {
      {1.25, 1, 1.3}, {-1.7, 0, -1.0}, {1.24, 1, 1.2}, {0.5, 0, 1.0}, {123.456, 2, 123.46}, {7.0, 0, 7.0},
      {1e300, 2, 1e300},  // beyond int: unrounded rather than undefined
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.value);
    EXPECT_DOUBLE_EQ(RoundToDecimals(c.value, c.decimals), c.want);
  }
}

}  // namespace
