#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Reading and writing the numbers that the option tree's edit and spinner fields hold as text.
// Independent of the C locale: the point is always the decimal sign written.
namespace dialogs {

// Digits with optional blanks around them (and, when allowed, one leading minus), within
// [min, max]; none for anything else, so that "1.5", "4 2" or an overflow never read as a number.
std::optional<int64_t> ReadIntegerText(std::string_view text, int64_t min, int64_t max, bool allow_minus);
// The leading number of the text (after blanks, with an optional sign); none when there is no
// number or it is not finite.
std::optional<double> ReadLeadingDouble(std::string_view text);
// The decimal rule of the edit item: a decimal comma counts as a point, letters and most
// punctuation are dropped, then the leading number is read.
std::optional<double> ReadDecimalText(std::string_view text);
// A fixed-point number with that many decimals, correctly rounded (ties of the binary value to
// even), as "%.*f" writes it in the C locale.
std::string FormatFixed(double value, int decimals);

}  // namespace dialogs
