#include "reports/pdf/pdf_format.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <system_error>

#include "platform/cp1252.h"

namespace {

void Pad(std::string& out, std::string_view body, int width, bool left, bool zero) {
  const int fill = width - static_cast<int>(body.size());
  if (fill <= 0) {
    out += body;
  } else if (left) {
    out += body;
    out.append(fill, ' ');
  } else if (zero) {
    // Zeros go after the sign.
    size_t sign = (!body.empty() && (body[0] == '-' || body[0] == '+')) ? 1 : 0;
    out += body.substr(0, sign);
    out.append(fill, '0');
    out += body.substr(sign);
  } else {
    out.append(fill, ' ');
    out += body;
  }
}

std::string_view FloatText(char* buf, size_t size, double value, char conv, int precision) {
  if (!std::isfinite(value)) value = 0.0;
  std::chars_format format = std::chars_format::fixed;
  if (conv == 'e') format = std::chars_format::scientific;
  if (conv == 'g') {
    format = std::chars_format::general;
    if (precision == 0) precision = 1;
  }
  const auto result = std::to_chars(buf, buf + size, value, format, precision);
  // A text that does not fit leaves ptr at the end of unwritten bytes: never emit those.
  if (result.ec != std::errc{}) return "0";
  return {buf, static_cast<size_t>(result.ptr - buf)};
}

void AppendFormatV(std::string& out, const char* format, va_list args) {
  char buf[400];
  for (const char* p = format; *p; ++p) {
    if (*p != '%') {
      out += *p;
      continue;
    }
    ++p;
    bool left = false, zero = false;
    for (;; ++p) {
      if (*p == '-') left = true;
      else if (*p == '0') zero = true;
      else break;
    }
    int width = 0;
    while (*p >= '0' && *p <= '9') width = width * 10 + (*p++ - '0');
    int precision = -1;
    if (*p == '.') {
      precision = 0;
      ++p;
      while (*p >= '0' && *p <= '9') precision = precision * 10 + (*p++ - '0');
    }
    bool is_long = false;
    while (*p == 'l') {
      is_long = true;
      ++p;
    }
    switch (*p) {
      case 'd':
      case 'i': {
        const long long v = is_long ? va_arg(args, long) : va_arg(args, int);
        const auto r = std::to_chars(buf, buf + sizeof buf, v);
        Pad(out, {buf, static_cast<size_t>(r.ptr - buf)}, width, left, zero);
        break;
      }
      case 'u':
      case 'x': {
        const unsigned long long v = is_long ? va_arg(args, unsigned long) : va_arg(args, unsigned);
        const auto r = std::to_chars(buf, buf + sizeof buf, v, *p == 'x' ? 16 : 10);
        Pad(out, {buf, static_cast<size_t>(r.ptr - buf)}, width, left, zero);
        break;
      }
      case 'c':
        buf[0] = static_cast<char>(va_arg(args, int));
        Pad(out, {buf, 1}, width, left, false);
        break;
      case 's': {
        const char* s = va_arg(args, const char*);
        std::string_view text = s ? s : "";
        if (precision >= 0 && text.size() > static_cast<size_t>(precision)) text = text.substr(0, precision);
        Pad(out, text, width, left, false);
        break;
      }
      case 'f':
      case 'e':
      case 'g':
        Pad(out, FloatText(buf, sizeof buf, va_arg(args, double), *p, precision < 0 ? 6 : precision),
            width, left, zero);
        break;
      case '%':
        out += '%';
        break;
      case '\0':
        return;
      default:
        out += *p;
        break;
    }
  }
}

// PDFDocEncoding bytes 0x18..0x1F and 0x80..0xA0 by code point; Latin-1 0xA1..0xFF map to themselves.
struct DocCode {
  char32_t cp;
  uint8_t code;
};
constexpr DocCode kDocCodes[] = {
    {0x02D8, 0x18}, {0x02C7, 0x19}, {0x02C6, 0x1A}, {0x02D9, 0x1B}, {0x02DD, 0x1C}, {0x02DB, 0x1D},
    {0x02DA, 0x1E}, {0x02DC, 0x1F}, {0x2022, 0x80}, {0x2020, 0x81}, {0x2021, 0x82}, {0x2026, 0x83},
    {0x2014, 0x84}, {0x2013, 0x85}, {0x0192, 0x86}, {0x2044, 0x87}, {0x2039, 0x88}, {0x203A, 0x89},
    {0x2212, 0x8A}, {0x2030, 0x8B}, {0x201E, 0x8C}, {0x201C, 0x8D}, {0x201D, 0x8E}, {0x2018, 0x8F},
    {0x2019, 0x90}, {0x201A, 0x91}, {0x2122, 0x92}, {0xFB01, 0x93}, {0xFB02, 0x94}, {0x0141, 0x95},
    {0x0152, 0x96}, {0x0160, 0x97}, {0x0178, 0x98}, {0x017D, 0x99}, {0x0131, 0x9A}, {0x0142, 0x9B},
    {0x0153, 0x9C}, {0x0161, 0x9D}, {0x017E, 0x9E}, {0x20AC, 0xA0}};

// Decodes one UTF-8 sequence at i; invalid bytes give U+FFFD and advance by one.
char32_t NextCodePoint(std::string_view s, size_t& i) {
  const auto b = static_cast<uint8_t>(s[i]);
  int extra = 0;
  char32_t cp = 0;
  if (b < 0x80) {
    ++i;
    return b;
  }
  if ((b & 0xE0) == 0xC0) extra = 1, cp = b & 0x1F;
  else if ((b & 0xF0) == 0xE0) extra = 2, cp = b & 0x0F;
  else if ((b & 0xF8) == 0xF0) extra = 3, cp = b & 0x07;
  else {
    ++i;
    return 0xFFFD;
  }
  if (i + extra >= s.size()) {
    ++i;
    return 0xFFFD;
  }
  for (int k = 1; k <= extra; ++k) {
    const auto c = static_cast<uint8_t>(s[i + k]);
    if ((c & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  i += extra + 1;
  return cp;
}

}  // namespace

void tvk_appendFormat(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendFormatV(out, format, args);
  va_end(args);
}

std::string tvk_format(const char* format, ...) {
  std::string out;
  va_list args;
  va_start(args, format);
  AppendFormatV(out, format, args);
  va_end(args);
  return out;
}

void tvk_appendFixed(std::string& out, double value, int decimals) {
  char buf[400];
  out += FloatText(buf, sizeof buf, value, 'f', decimals);
}

std::string tvk_toPdfDoc(std::string_view utf8, size_t max_chars) {
  std::string out;
  size_t i = 0;
  while (i < utf8.size() && out.size() < max_chars) {
    const char32_t cp = NextCodePoint(utf8, i);
    char code = '?';
    if ((cp >= 0x20 && cp < 0x7F) || cp == '\t' || cp == '\n' || cp == '\r' ||
        (cp >= 0xA1 && cp <= 0xFF && cp != 0xAD)) {
      code = static_cast<char>(cp);
    } else {
      for (const DocCode& d : kDocCodes)
        if (d.cp == cp) code = static_cast<char>(d.code);
    }
    out += code;
  }
  return out;
}

std::string tvk_toFontBytes(std::string_view utf8, bool ascii_only) {
  std::string bytes = platform::Utf8ToCp1252(utf8);
  if (ascii_only)
    for (char& c : bytes)
      if (static_cast<uint8_t>(c) >= 0x80) c = '?';
  return bytes;
}
