#include "dialogs/optiontree/option_tree_edit_number.h"

#include <charconv>
#include <cmath>

namespace dialogs {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Letters and the punctuation the decimal rule drops; minus, plus, digits, point and blanks stay.
constexpr std::string_view kDecimalRemovals =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ`~[]{}_=\\|'/?>,<";

}  // namespace

std::optional<int64_t> ReadIntegerText(std::string_view text, int64_t min, int64_t max, bool allow_minus) {
  text = TrimBlanks(text);
  bool negative = false;
  if (allow_minus && !text.empty() && text.front() == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  uint64_t magnitude = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (magnitude > (UINT64_MAX - digit) / 10) return std::nullopt;
    magnitude = magnitude * 10 + digit;
  }
  // Compared as magnitudes so that INT64_MIN itself stays readable.
  if (negative) {
    if (magnitude > static_cast<uint64_t>(INT64_MAX) + 1) return std::nullopt;
    const int64_t value =
        magnitude == static_cast<uint64_t>(INT64_MAX) + 1 ? INT64_MIN : -static_cast<int64_t>(magnitude);
    if (value < min || value > max) return std::nullopt;
    return value;
  }
  if (magnitude > static_cast<uint64_t>(INT64_MAX)) return std::nullopt;
  const auto value = static_cast<int64_t>(magnitude);
  if (value < min || value > max) return std::nullopt;
  return value;
}

std::optional<double> ReadLeadingDouble(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // from_chars reads no "inf" or "nan" here: the text must start with a digit or a point.
  if (text.empty() || !(text.front() == '.' || (text.front() >= '0' && text.front() <= '9')))
    return std::nullopt;
  double value = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (error != std::errc() || !std::isfinite(value)) return std::nullopt;
  return negative ? -value : value;
}

std::optional<double> ReadDecimalText(std::string_view text) {
  std::string cleaned;
  cleaned.reserve(text.size());
  for (char c : text) {
    if (c == ',') c = '.';
    if (kDecimalRemovals.find(c) == std::string_view::npos) cleaned.push_back(c);
  }
  return ReadLeadingDouble(cleaned);
}

std::string FormatFixed(double value, int decimals) {
  char buffer[400];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (error != std::errc()) return {};
  return std::string(buffer, end);
}

}  // namespace dialogs
