#pragma once

#include <cstdint>
#include <string>

// Integers, counts with their unit and fixed-point numbers as screens and printed pages show them.
class TNumberFormatter {
 public:
  // Resource string of the unit that follows every count.
  static constexpr int kCountUnitString = 16001;

  std::string FormatInt(int32_t n) const;
  // "--" for -1 (no count), else the number; then the unit text of the language pack.
  std::string FormatCount(int32_t n) const;
  // Rounded half away from zero on the decimal digits, as the old runtime's fixed-point conversion
  // did: 0.96 with 1 decimal gives "1.0", 0.05 with 2 gives "0.05". Callers pass 1 or 2 decimals.
  // The point is a point whatever the process locale.
  std::string FormatFixed(double x, int decimals) const;
};
