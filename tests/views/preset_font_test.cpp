#include "views/preset_font.h"

#include <gtest/gtest.h>

namespace {

TEST(CPresetFont, SelectGivesTheFixedArialPresets) {
  struct Case {
    int kind;
    int height;
    int weight;
  };
  constexpr Case kCases[] = {{0, 14, 400}, {1, 14, 700}, {2, 15, 400},
                             {3, 15, 700}, {4, 20, 700}, {5, 48, 700}};
  CPresetFont preset(1);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.kind);
    const gfx::Font* font = preset.Select(c.kind);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->height, c.height);
    EXPECT_EQ(font->weight, c.weight);
    EXPECT_EQ(font->face, "Arial");
    EXPECT_EQ(font->width, 0);
    EXPECT_FALSE(font->italic || font->underline || font->strike_out);
  }
}

TEST(CPresetFont, SelectScaledShrinksTheBaseHeightBelowScaleTen) {
  struct Case {
    int kind;
    int at_scale_1;
    int at_scale_5;
    int at_scale_10;
  };
  constexpr Case kCases[] = {{6, 101, 128, 192}, {7, 151, 192, 288}, {8, 183, 232, 348},
                             {10, 22, 28, 42},   {11, 37, 48, 72},   {12, 58, 74, 112}};
  CPresetFont scale_1(1);
  CPresetFont scale_5(5);
  CPresetFont scale_10(10);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.kind);
    ASSERT_NE(scale_1.SelectScaled(c.kind, 0), nullptr);
    EXPECT_EQ(scale_1.GetFont()->height, c.at_scale_1);
    ASSERT_NE(scale_5.SelectScaled(c.kind, 0), nullptr);
    EXPECT_EQ(scale_5.GetFont()->height, c.at_scale_5);
    ASSERT_NE(scale_10.SelectScaled(c.kind, 0), nullptr);
    EXPECT_EQ(scale_10.GetFont()->height, c.at_scale_10);
  }
}

TEST(CPresetFont, SelectScaledWeightPicksLightBoldOrTheValueItself) {
  struct Case {
    int kind;
    int weight;
    int want;
  };
  constexpr Case kCases[] = {{7, 1, 1000}, {6, 1, 700}, {6, 500, 500},
                             {6, 0, 300},  {8, 0, 400}, {12, 1, 700}};
  CPresetFont preset(1);
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.kind << "/" << c.weight);
    const gfx::Font* font = preset.SelectScaled(c.kind, c.weight);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->weight, c.want);
  }
}

TEST(CPresetFont, UnknownKindsHoldNoFont) {
  CPresetFont preset(1);
  ASSERT_NE(preset.Select(0), nullptr);
  for (const int kind : {-1, 6, 9}) {
    SCOPED_TRACE(kind);
    EXPECT_EQ(preset.Select(kind), nullptr);
    EXPECT_EQ(preset.GetFont(), nullptr) << "the previous font went";
  }
  for (const int kind : {0, 5, 9, 13}) {
    SCOPED_TRACE(kind);
    EXPECT_EQ(preset.SelectScaled(kind, 0), nullptr);
  }
  // A print scale that leaves no divisor makes no font rather than an endless height.
  CPresetFont huge(20);
  EXPECT_EQ(huge.SelectScaled(6, 0), nullptr);
}

}  // namespace
