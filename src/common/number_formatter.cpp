#include "common/number_formatter.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/resources.h"

namespace {

constexpr int kSignificantDigits = 17;  // enough to tell every double apart
constexpr int kMaxDecimals = 30;

struct FixedDigits {
  std::string digits;  // no leading zeros; empty when the rounded value is zero
  int point;           // position of the decimal point within digits (may be <= 0)
};

// The digit string and decimal point of |x| rounded to the given decimals. The value is first
// written with 17 significant digits (exact enough for a double), then rounded half up on that
// decimal text, so that 0.25 gives 0.3 as the old runtime did rather than the binary tie rule.
FixedDigits FixedConvert(double x, int decimals) {
  if (x == 0.0) return {std::string(), -decimals};
  // to_chars writes the C locale's "d.ddddddddddddddddde[+-]XX" whatever the process locale.
  char buf[64];
  const std::to_chars_result written = std::to_chars(buf, buf + sizeof buf, std::fabs(x),
                                                     std::chars_format::scientific, kSignificantDigits - 1);
  const char* const end = written.ptr;
  std::string mantissa;
  const char* p = buf;
  for (; p != end && *p != 'e'; ++p) {
    if (*p != '.') mantissa += *p;
  }
  int exponent = 0;
  if (p != end) {
    ++p;
    if (p != end && *p == '+') ++p;
    (void)std::from_chars(p, end, exponent);
  }

  int point = exponent + 1;
  const int keep = point + decimals;
  if (keep < 0) return {std::string(), -decimals};

  std::string digits = mantissa.substr(0, static_cast<size_t>(std::min(keep, kSignificantDigits)));
  const bool round_up = keep < kSignificantDigits && mantissa[static_cast<size_t>(keep)] >= '5';
  if (keep > kSignificantDigits) digits.append(static_cast<size_t>(keep - kSignificantDigits), '0');
  if (round_up) {
    int i = static_cast<int>(digits.size()) - 1;
    for (; i >= 0 && digits[static_cast<size_t>(i)] == '9'; --i) digits[static_cast<size_t>(i)] = '0';
    if (i >= 0) {
      ++digits[static_cast<size_t>(i)];
    } else {
      digits.insert(digits.begin(), '1');
      ++point;
    }
  }
  // The mantissa starts with a non-zero digit, so only a value rounded to nothing is empty.
  if (digits.empty()) return {std::string(), -decimals};
  return {digits, point};
}

}  // namespace

std::string TNumberFormatter::FormatInt(int32_t n) const { return std::to_string(n); }

std::string TNumberFormatter::FormatCount(int32_t n) const {
  return (n == -1 ? std::string("--") : std::to_string(n)) + platform::LoadString(kCountUnitString);
}

std::string TNumberFormatter::FormatFixed(double x, int decimals) const {
  if (!std::isfinite(x)) return "--";
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  const FixedDigits f = FixedConvert(x, decimals);
  std::string text;
  if (f.point > 0) {
    text = f.digits.substr(0, static_cast<size_t>(f.point));
    if (decimals > 0) text += "." + f.digits.substr(static_cast<size_t>(f.point));
  } else if (f.point >= -decimals) {
    text = "0." + std::string(static_cast<size_t>(-f.point), '0') + f.digits;
  } else {
    text = "0.0";
  }
  if (decimals == 0 && f.point <= 0) text = "0";
  if (x < 0) text.insert(text.begin(), '-');
  return text;
}
