#include "platform/cp1252.h"

#include <cstdint>

namespace platform {
namespace {

// Code points of 0x80..0x9F; 0 marks the five bytes cp1252 leaves undefined.
constexpr char32_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

char ToCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
  return '?';
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size());
  for (const char c : cp1252) {
    const auto b = static_cast<uint8_t>(c);
    if (b >= 0x80 && b < 0xA0) {
      // Undefined bytes map through unchanged as C1 controls, so a round trip keeps them.
      AppendUtf8(out, kHigh[b - 0x80] ? kHigh[b - 0x80] : b);
    } else {
      AppendUtf8(out, b);
    }
  }
  return out;
}

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const auto b = static_cast<uint8_t>(utf8[i]);
    int extra = 0;
    char32_t cp = 0;
    if (b < 0x80) {
      cp = b;
    } else if ((b & 0xE0) == 0xC0) {
      extra = 1, cp = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2, cp = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3, cp = b & 0x07;
    } else {
      out += '?';
      ++i;
      continue;
    }
    bool valid = true;
    for (int k = 1; k <= extra; ++k) {
      if (i + k >= utf8.size() || (static_cast<uint8_t>(utf8[i + k]) & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      cp = (cp << 6) | (static_cast<uint8_t>(utf8[i + k]) & 0x3F);
    }
    // Overlong forms are invalid: they would smuggle in characters such as NUL.
    constexpr char32_t kMinimum[4] = {0, 0x80, 0x800, 0x10000};
    if (valid && cp < kMinimum[extra]) valid = false;
    if (!valid) {
      out += '?';
      ++i;
      continue;
    }
    i += extra + 1;
    if (cp >= 0x80 && cp < 0xA0) {
      out += static_cast<char>(cp);  // C1 controls came from undefined cp1252 bytes
    } else {
      out += ToCp1252(cp);
    }
  }
  return out;
}

}  // namespace platform
