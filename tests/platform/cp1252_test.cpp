#include "platform/cp1252.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Cp1252, ConvertsBothWaysAndMarksWhatItCannotHold) {
  struct Case {
    const char* name;
    std::string utf8;
    std::string cp1252;
    bool round_trip;  // cp1252 -> UTF-8 gives utf8 back
  };
  const Case cases[] = {
      {"ASCII", "Holter 24h", "Holter 24h", true},
      {"Latin-1 letters", "Müller ß é", "M\xFCller \xDF \xE9", true},
      {"euro sign", "€", "\x80", true},
      {"cp1252 block", "‰ Š Œ Ÿ “”", "\x89 \x8A \x8C \x9F \x93\x94", true},
      {"undefined byte keeps itself", "\xC2\x81", "\x81", true},
      {"not in cp1252", "→ Ω", "? ?", false},
      {"outside the BMP", "a\xF0\x9F\x98\x80z", "a?z", false},
      {"stray continuation byte", "a\x80z", "a?z", false},
      {"cut-off sequence", "a\xC3", "a?", false},
      {"broken sequence", "\xE2\x82z", "??z", false},
      {"overlong NUL", "a\xC0\x80z", "a??z", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252);
    if (c.round_trip) {
      EXPECT_EQ(Cp1252ToUtf8(c.cp1252), c.utf8);
    }
  }
}

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

}  // namespace
}  // namespace platform
