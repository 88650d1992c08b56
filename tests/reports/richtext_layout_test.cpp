#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "gfx/recording_canvas.h"
#include "reports/emf_markers.h"
#include "reports/richtext/rich_text_layout.h"
#include "reports/richtext/rtf_reader.h"
#include "reports/richtext_letter_fixture.h"
#include "support/screen_golden.h"

namespace {

using richtext::RichTextDocument;
using richtext::RichTextLayout;

// Font 1 is fixed-pitch: at 10 points (\fs20) every character is 0.6 em = 120 twips wide, so a
// text area of 1200 twips holds ten characters.
constexpr std::string_view kHead =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
    "{\\f1\\fmodern\\fcharset0 Courier New;}}{\\colortbl;\\red200\\green0\\blue0;}";
constexpr int kChar = 120;
constexpr int kTenChars = 10 * kChar;

RichTextDocument Read(std::string_view body) {
  return richtext::ReadRtf(std::string(kHead) + "\\f1\\fs20 " + std::string(body) + "}", "letter.rtf")
      .document;
}

// "x:text" per fragment, fragments joined by blanks, one string per line of every page.
std::vector<std::string> Describe(const RichTextLayout& layout) {
  std::vector<std::string> lines;
  for (int p = 0; p < layout.PageCount(); ++p) {
    for (const richtext::LayoutLine& line : layout.Page(p).lines) {
      std::string text;
      for (const richtext::LayoutFragment& f : line.fragments) {
        if (!text.empty()) text += ' ';
        text += std::to_string(f.x_twips) + ":" + f.text;
      }
      lines.push_back(text);
    }
  }
  return lines;
}

TEST(RichTextLayout, BreaksAlignsIndentsAndTabs) {
  struct Case {
    const char* name;
    const char* body;
    std::vector<std::string> want;
  };
  const Case kCases[] = {
      {"break after the blank that ends the line", "aaaa bbbb cccc", {"0:aaaa bbbb", "0:cccc"}},
      {"blanks hang past the edge", "aaaa bbbbb     cc", {"0:aaaa bbbbb", "0:cc"}},
      {"a word longer than the line breaks inside", "abcdefghijklmno pq", {"0:abcdefghij", "0:klmno pq"}},
      {"a character wider than an empty line still goes on it", "\\li1200 ab", {"1200:a", "1200:b"}},
      {"after a hyphen", "aaaaaaa-bbbb", {"0:aaaaaaa-", "0:bbbb"}},
      {"not after a minus sign", "aaaaaaaa -5", {"0:aaaaaaaa", "0:-5"}},
      {"an optional hyphen shows only where it breaks",
       "ab\\-cd aaaa\\-bbbbbb",
       {"0:abcd aaaa-", "0:bbbbbb"}},
      {"no break at a non-breaking space", "aaaaa\\~bbbbb", {"0:aaaaa\u00A0bbbb", "0:b"}},
      {"left", "abc", {"0:abc"}},
      {"centred", "\\qc abc", {"420:abc"}},
      {"right", "\\qr abc", {"840:abc"}},
      {"right-aligned trailing blanks hang", "\\qr abc   ", {"840:abc"}},
      {"justified but its last line", "\\qj aa bb cc dd ee", {"0:aa  480:bb  960:cc", "0:dd ee"}},
      {"justified line before a line break", "\\qj aa bb\\line cc", {"0:aa bb", "0:cc"}},
      {"left and right indents, first line", "\\li240\\ri240\\fi120 aaaa bbbb", {"360:aaaa", "240:bbbb"}},
      {"hanging indent stops at the edge", "\\li240\\fi-480 aaaa bbbbbbb", {"0:aaaa", "240:bbbbbbb"}},
      {"default tab stops", "a\\tab b", {"0:a 720:b"}},
      {"own tab stops, then the default ones",
       "\\tx300\\tx500 a\\tab b\\tab c\\tab d",
       {"0:a 300:b 500:c 720:d"}},
      {"a tab past the edge wraps what follows", "\\tx1100 abcdefghi\\tab jk", {"0:abcdefghi", "0:jk"}},
      {"text after a tab is not stretched before it",
       "\\qj\\tx600 a\\tab b c dddddd",
       {"0:a 600:b  1080:c", "0:dddddd"}},
      {"line break", "ab\\line cd", {"0:ab", "0:cd"}},
      {"line break at the end of a paragraph opens a line", "ab\\line\\par cd", {"0:ab", "", "0:cd"}},
      {"formats split fragments", "ab{\\b cd}ef", {"0:ab 240:cd 480:ef"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const RichTextLayout layout(Read(c.body), kTenChars, 20000);
    EXPECT_EQ(Describe(layout), c.want);
  }
}

TEST(RichTextLayout, ProportionalTextBreaksByTheStandardWidths) {
  // Helvetica at 12 points: "Hello" is 2.278 em, a blank 0.278 em, an em 240 twips.
  RichTextDocument doc = richtext::ReadRtf(std::string(kHead) + "Hello Hello}", "letter.rtf").document;
  const int hello = 547;  // 2.278 em x 240 twips, rounded
  const RichTextLayout fits(doc, 2 * hello + 67, 20000);
  EXPECT_EQ(Describe(fits), (std::vector<std::string>{"0:Hello Hello"}));
  const RichTextLayout breaks(doc, 2 * hello + 60, 20000);
  EXPECT_EQ(Describe(breaks), (std::vector<std::string>{"0:Hello", "0:Hello"}));
  EXPECT_EQ(breaks.Page(0).lines[0].fragments[0].width_twips, hello);
}

TEST(RichTextLayout, LinesStackWithParagraphSpacing) {
  const RichTextLayout plain(Read("a\\par\\par\\par b"), kTenChars, 20000);
  const auto& lines = plain.Page(0).lines;
  ASSERT_EQ(lines.size(), 4u);
  const int h = lines[0].height_twips;
  EXPECT_GT(h, 200);  // taller than the em of 10 points
  for (size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(lines[i].height_twips, h) << "empty paragraphs keep their height";
    EXPECT_EQ(lines[i].top_twips, static_cast<int>(i) * h);
  }

  // Space before and after each paragraph; the second keeps the first one's format.
  const RichTextLayout spaced(Read("\\sb100\\sa50 a\\par b\\par\\pard\\f1\\fs20 c"), kTenChars, 20000);
  const auto& s = spaced.Page(0).lines;
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(s[0].top_twips, 100);
  EXPECT_EQ(s[1].top_twips, 100 + h + 50 + 100);
  EXPECT_EQ(s[2].top_twips, 100 + h + 50 + 100 + h + 50);

  // A larger size on the line raises its baseline and its height.
  const RichTextLayout mixed(Read("a{\\fs40 b}c"), kTenChars, 20000);
  const richtext::LayoutLine& m = mixed.Page(0).lines[0];
  EXPECT_NEAR(m.height_twips, 2 * h, 1);
  EXPECT_NEAR(m.ascent_twips, 2 * lines[0].ascent_twips, 1);
  // An empty paragraph of no format of its own: a line of the default font at 12 points.
  const RichTextLayout empty(RichTextDocument{}, kTenChars, 20000);
  ASSERT_EQ(empty.PageCount(), 1);
  ASSERT_EQ(empty.Page(0).lines.size(), 1u);
  EXPECT_GT(empty.Page(0).lines[0].height_twips, 240);
}

TEST(RichTextLayout, PagesBreakAtPageBreaksAndWhenFull) {
  const int h = RichTextLayout(Read("a"), kTenChars, 20000).Page(0).lines[0].height_twips;
  struct Case {
    const char* name;
    const char* body;
    int height;
    std::vector<CharRange> pages;  // plain text positions, "\r" between paragraphs
    std::vector<size_t> lines;
  };
  const Case kCases[] = {
      {"three lines fill a page", "a\\par b\\par c\\par d", 3 * h, {{0, 6}, {6, 7}}, {3, 1}},
      {"one twip short", "a\\par b\\par c\\par d", 3 * h - 1, {{0, 4}, {4, 7}}, {2, 2}},
      {"a wrapped paragraph continues on the next page",
       "aaaa bbbb cccc dddd eeee",
       2 * h,
       {{0, 20}, {20, 24}},
       {2, 1}},
      {"page break between paragraphs", "a\\par\\page b", 20000, {{0, 2}, {2, 4}}, {1, 1}},
      {"page break inside a paragraph", "ab\\page cd", 20000, {{0, 3}, {3, 5}}, {1, 1}},
      {"page break ending a paragraph", "ab\\page\\par cd", 20000, {{0, 4}, {4, 6}}, {1, 1}},
      {"two page breaks make no empty page", "ab\\page\\page cd", 20000, {{0, 3}, {3, 6}}, {1, 1}},
      {"a page break at the end opens no page", "ab\\page", 20000, {{0, 3}}, {1}},
      {"a line taller than the page stands alone", "a\\par b", h / 2, {{0, 2}, {2, 3}}, {1, 1}},
      {"the space after counts towards the page",
       "\\sa500 a\\par\\pard\\f1\\fs20 b",
       2 * h,
       {{0, 2}, {2, 3}},
       {1, 1}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const RichTextLayout layout(Read(c.body), kTenChars, c.height);
    ASSERT_EQ(layout.PageCount(), static_cast<int>(c.pages.size()));
    for (int p = 0; p < layout.PageCount(); ++p) {
      SCOPED_TRACE(p);
      EXPECT_EQ(layout.Page(p).chars, c.pages[p]);
      EXPECT_EQ(layout.Page(p).lines.size(), c.lines[p]);
      EXPECT_EQ(layout.Page(p).lines.front().top_twips, 0);
    }
  }
}

TEST(RichTextLayout, LongTextCoversEveryCharacterOnce) {
  std::string body;
  for (int i = 0; i < 300; ++i) {
    body += "Paragraph " + std::to_string(i) + " with words of\\tab some length, and a long-winded ending";
    body += i % 50 == 49 ? "\\page\\par " : "\\par ";
  }
  const RichTextDocument doc = Read(body);
  const RichTextLayout layout(doc, 5000, 8000);
  const long length = static_cast<long>(richtext::DecodeUtf8(doc.PlainText()).size());
  ASSERT_GT(layout.PageCount(), 6);
  long next = 0;
  for (int p = 0; p < layout.PageCount(); ++p) {
    SCOPED_TRACE(p);
    const richtext::LayoutPage& page = layout.Page(p);
    EXPECT_EQ(page.chars.min, next);
    for (const richtext::LayoutLine& line : page.lines) {
      EXPECT_EQ(line.chars.min, next);
      EXPECT_GE(line.chars.max, line.chars.min);
      EXPECT_LE(line.top_twips + line.height_twips, 8000);
      next = line.chars.max;
    }
    next = page.chars.max;
  }
  EXPECT_EQ(next, length);
}

TEST(RichTextLayout, TextAreaIsThePaperLessTheMargins) {
  const RichTextLayout layout(Read("\\paperw5000\\paperh7000\\margl1000\\margr1500\\margt400\\margb600 a"));
  EXPECT_EQ(layout.WidthTwips(), 2500);
  EXPECT_EQ(layout.HeightTwips(), 6000);
  // Margins wider than the paper leave a line of one character at a time.
  const RichTextLayout narrow(Read("\\paperw1000\\margl800\\margr800 ab"));
  EXPECT_EQ(Describe(narrow), (std::vector<std::string>{"0:a", "0:b"}));
}

TEST(RichTextLayout, DrawnPageGolden) {
  const RichTextDocument doc = richtexttest::LetterPage();
  const RichTextLayout layout(doc);
  ASSERT_EQ(layout.PageCount(), 2);
  gfx::RecordingCanvas dc;  // a 96 dpi reference device, as the PDF export records on
  dc.SetMapMode(gfx::MapMode::kHiMetric);
  dc.SetViewportOrg(30, 40);
  const gfx::Font before{.height = -300, .face = "Times New Roman"};
  dc.SelectFont(before);
  layout.DrawPage(dc, 0, {doc.margin_left_twips, doc.margin_top_twips}, true);
  testsupport::ExpectScreenGolden("reports", "richtext_page", dc.Lines());

  // The drawing leaves the canvas's state as it found it, between the two markers.
  EXPECT_EQ(dc.GetMapMode(), gfx::MapMode::kHiMetric);
  EXPECT_EQ(dc.GetViewportOrg(), (gfx::Point{30, 40}));
  EXPECT_EQ(dc.GetFont(), before);
  std::vector<std::optional<EmfMarker>> markers;
  for (const gfx::DisplayItem& item : dc.Items()) {
    if (const auto* c = std::get_if<gfx::rec::Comment>(&item)) markers.push_back(ParseEmfMarker(c->text));
  }
  ASSERT_EQ(markers.size(), 2u);
  EXPECT_EQ(markers.front()->dpi, 96);
  EXPECT_EQ(markers.back()->dpi, 0);

  gfx::RecordingCanvas printer(gfx::DeviceInfo{.dpi_x = 600, .dpi_y = 600});
  layout.DrawPage(printer, 1, {doc.margin_left_twips, doc.margin_top_twips}, false);
  const std::vector<std::string> lines = printer.Lines();
  EXPECT_TRUE(std::none_of(lines.begin(), lines.end(),
                           [](const std::string& l) { return l.find("SCREENDPI") != std::string::npos; }));
  // The second page's one line at the margin corner, in printer pixels.
  const auto text = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
    return l.find("Second page") != std::string::npos;
  });
  ASSERT_NE(text, lines.end());
  EXPECT_NE(text->find("590"), std::string::npos) << *text;  // 1417 twips at 600 dpi
}

}  // namespace
