#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Text formatting of the PDF writer. Every number in a PDF must use "." whatever the process
// locale (the Qt host sets LC_NUMERIC from the environment), so nothing here calls printf: the
// writer's C formats are interpreted by tvk_format over std::to_chars, which rounds exactly as
// printf does in the C locale.

// Appends printf-formatted text. Supports flags "-0", width, precision, the length "l" and the
// conversions d i u x c s f e g %. Non-finite floating values are written as 0, so a bad
// coordinate never makes the file unreadable.
void tvk_appendFormat(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
std::string tvk_format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "%.<decimals>f" of value, appended; the hot path of the path operators.
void tvk_appendFixed(std::string& out, double value, int decimals);

// UTF-8 to PDFDocEncoding (the encoding of text strings: Info entries, bookmark titles, notes);
// what it cannot hold becomes '?'. At most max_chars characters are kept.
std::string tvk_toPdfDoc(std::string_view utf8, size_t max_chars = std::string::npos);

// UTF-8 to the single-byte text of a font with the given encoding: cp1252 for WinAnsiEncoding,
// the symbol fonts and embedded fonts; only ASCII for other encodings (other bytes become '?').
std::string tvk_toFontBytes(std::string_view utf8, bool ascii_only);
