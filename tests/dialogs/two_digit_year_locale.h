#pragma once

#include <cstdio>
#include <string>

#include "platform/locale.h"

namespace dialogs_test {

// A 12-hour locale whose short date has a two-digit year, as the C locale writes it ("%m/%d/%y").
class TwoDigitYearLocale : public platform::FixedLocale {
 public:
  TwoDigitYearLocale() : FixedLocale(Kind::k12Hour) {}
  std::string FormatShortDate(int year, int month, int day) const override {
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d", month, day, year % 100);
    return text;
  }
};

}  // namespace dialogs_test
