#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <locale>
#include <string>

namespace testsupport {

// Makes a German locale, which writes numbers with a decimal comma, the process's C and C++ locale
// (the Qt host takes the C locale from the user's environment) and restores both when it goes.
// scripts/setup generates de_DE.UTF-8; without it the test fails naming the locale instead of
// passing without having checked anything.
class ScopedCommaDecimalLocale {
 public:
  ScopedCommaDecimalLocale() : old_c_(std::setlocale(LC_ALL, nullptr)) {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8"}) {
      try {
        std::locale::global(std::locale(name));
      } catch (const std::runtime_error&) {
        continue;
      }
      std::setlocale(LC_ALL, name);
      active_ = std::strcmp(std::localeconv()->decimal_point, ",") == 0;
      break;
    }
    if (!active_)
      ADD_FAILURE() << "the locale de_DE.UTF-8 is missing or has no decimal comma; run scripts/setup";
  }
  ~ScopedCommaDecimalLocale() {
    std::locale::global(old_cpp_);
    std::setlocale(LC_ALL, old_c_.c_str());
  }
  ScopedCommaDecimalLocale(const ScopedCommaDecimalLocale&) = delete;
  ScopedCommaDecimalLocale& operator=(const ScopedCommaDecimalLocale&) = delete;

  bool Active() const { return active_; }

 private:
  std::string old_c_;
  std::locale old_cpp_;
  bool active_ = false;
};

}  // namespace testsupport
