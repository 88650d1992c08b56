#pragma once

#include <string>

namespace platform {

// What locale-dependent formatting asks of the user's locale. Tests use FixedLocale.
class Locale {
 public:
  virtual ~Locale() = default;
  // The locale's own time text, e.g. "13:05:09" or "1:05:09 PM".
  virtual std::string FormatTime(int hour, int minute, int second) const = 0;
  // The locale's short date, e.g. "24.12.2026" or "12/24/2026".
  virtual std::string FormatShortDate(int year, int month, int day) const = 0;
  virtual std::string AmDesignator() const = 0;
  virtual std::string PmDesignator() const = 0;
};

// A 24-hour locale with dd.mm.yyyy dates, or a 12-hour one with AM/PM and mm/dd/yyyy dates.
class FixedLocale : public Locale {
 public:
  enum class Kind { k24Hour, k12Hour };
  explicit FixedLocale(Kind kind) : kind_(kind) {}
  std::string FormatTime(int hour, int minute, int second) const override;
  std::string FormatShortDate(int year, int month, int day) const override;
  std::string AmDesignator() const override { return kind_ == Kind::k12Hour ? "AM" : ""; }
  std::string PmDesignator() const override { return kind_ == Kind::k12Hour ? "PM" : ""; }

 private:
  Kind kind_;
};

// The process's locale (LC_TIME) through the C library.
class SystemLocale : public Locale {
 public:
  std::string FormatTime(int hour, int minute, int second) const override;
  std::string FormatShortDate(int year, int month, int day) const override;
  std::string AmDesignator() const override;
  std::string PmDesignator() const override;
};

}  // namespace platform
