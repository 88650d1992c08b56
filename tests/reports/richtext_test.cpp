#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/io_error.h"
#include "reports/richtext/rich_edit2_ctrl.h"
#include "reports/richtext/rich_text_document.h"
#include "reports/richtext/rtf_reader.h"
#include "reports/richtext/rtf_writer.h"
#include "support/test_files.h"

namespace {

using richtext::Alignment;
using richtext::CharFormat;
using richtext::FontFamily;
using richtext::RichTextDocument;

constexpr std::string_view kHead =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
    "{\\f1\\froman\\fcharset0 Times New Roman;}}{\\colortbl;\\red255\\green0\\blue0;}";

std::string Rtf(std::string_view body) { return std::string(kHead) + std::string(body) + "}"; }

RichTextDocument Read(std::string_view rtf) { return richtext::ReadRtf(rtf, "letter.rtf").document; }

// The format of the character at the given byte offset of the paragraph's text.
CharFormat FormatAt(const richtext::Paragraph& paragraph, std::string_view of) {
  const std::string text = paragraph.Text();
  size_t at = text.find(of);
  EXPECT_NE(at, std::string::npos) << of;
  for (const richtext::Run& run : paragraph.runs) {
    if (at < run.text.size()) return run.format;
    at -= run.text.size();
  }
  return {};
}

struct Fixture {
  const char* name;
  std::string rtf;
  std::string text;  // plain text, "\r" between paragraphs
  std::function<void(const RichTextDocument&)> check;
  size_t dropped = 0;
};

std::vector<Fixture> Fixtures() {
  return {
      {"plain", Rtf("Hello World\\par }"), "Hello World\r", nullptr},
      {"character formats", Rtf("\\plain A{\\b B}{\\i C}\\ul D\\ulnone E\\f1\\fs32 F\\cf1 G\\plain H"),
       "ABCDEFGH",
       [](const RichTextDocument& d) {
         const auto& p = d.paragraphs[0];
         EXPECT_EQ(FormatAt(p, "A"), CharFormat{});
         EXPECT_TRUE(FormatAt(p, "B").bold);
         EXPECT_FALSE(FormatAt(p, "C").bold);
         EXPECT_TRUE(FormatAt(p, "C").italic);
         EXPECT_TRUE(FormatAt(p, "D").underline);
         EXPECT_FALSE(FormatAt(p, "E").underline);
         EXPECT_EQ(FormatAt(p, "F"), (CharFormat{1, 32, false, false, false, 0}));
         EXPECT_EQ(FormatAt(p, "G"), (CharFormat{1, 32, false, false, false, 1}));
         EXPECT_EQ(FormatAt(p, "H"), CharFormat{});
         ASSERT_EQ(d.fonts.size(), 2u);
         EXPECT_EQ(d.fonts[1].name, "Times New Roman");
         EXPECT_EQ(d.fonts[1].family, FontFamily::kRoman);
         ASSERT_EQ(d.colors.size(), 2u);
         EXPECT_TRUE(d.colors[0].automatic);
         EXPECT_EQ(d.colors[1], (richtext::ColorEntry{false, 255, 0, 0}));
       }},
      {"paragraph formats",
       Rtf("\\pard\\qc\\li720\\ri360\\fi-360\\sb120\\sa240\\tx1440\\tx2880 Centre\\par\\pard\\qr Right\\par"
           "\\pard\\qj Just\\par\\pard\\ql Left"),
       "Centre\rRight\rJust\rLeft",
       [](const RichTextDocument& d) {
         ASSERT_EQ(d.paragraphs.size(), 4u);
         const richtext::ParaFormat& f = d.paragraphs[0].format;
         EXPECT_EQ(f.alignment, Alignment::kCenter);
         EXPECT_EQ(f.left_indent_twips, 720);
         EXPECT_EQ(f.right_indent_twips, 360);
         EXPECT_EQ(f.first_indent_twips, -360);
         EXPECT_EQ(f.space_before_twips, 120);
         EXPECT_EQ(f.space_after_twips, 240);
         EXPECT_EQ(f.tab_stops_twips, (std::vector<int>{1440, 2880}));
         EXPECT_EQ(d.paragraphs[1].format.alignment, Alignment::kRight);
         EXPECT_EQ(d.paragraphs[1].format.left_indent_twips, 0);
         EXPECT_EQ(d.paragraphs[2].format.alignment, Alignment::kJustify);
         EXPECT_EQ(d.paragraphs[3].format.alignment, Alignment::kLeft);
       }},
      {"paper and margins", Rtf("\\paperw11906\\paperh16838\\margl1134\\margr567\\margt1417\\margb850 A4"),
       "A4",
       [](const RichTextDocument& d) {
         EXPECT_EQ(d.paper_width_twips, 11906);
         EXPECT_EQ(d.paper_height_twips, 16838);
         EXPECT_EQ(d.margin_left_twips, 1134);
         EXPECT_EQ(d.margin_right_twips, 567);
         EXPECT_EQ(d.margin_top_twips, 1417);
         EXPECT_EQ(d.margin_bottom_twips, 850);
       }},
      {"escapes and characters",
       Rtf("a\\\\b\\{c\\}d\\~e\\-f\\'e4\\u8364?\\u-10179?\\u-8704?g\\uc0\\u8211 h\\uc2\\u937\\'3f\\'3fi"),
       "a\\b{c}d\u00A0e\u00ADf\u00E4\u20AC\U0001F600g\u2013h\u03A9i", nullptr},
      {"control and C1 codes, a font name beyond ASCII",
       "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Caf\\'e9\\'a0Sans;}}a\\u8?b\\u146?c}", "ab\u0092c",
       [](const RichTextDocument& d) { EXPECT_EQ(d.fonts[0].name, "Caf\u00E9\u00A0Sans"); }},
      {"tab, line and page", Rtf("a\\tab b\\line c\\page d"), "a\tb\vc\fd", nullptr},
      {"skipped groups",
       Rtf("{\\info{\\title T}{\\author X}}{\\stylesheet{\\s0 Normal;}}{\\header H}{\\footer F}"
           "{\\*\\generator G;}{\\*\\unknownword U}Body"),
       "Body", nullptr},
      {"field result kept", Rtf("See {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt {\\ul here}}}."),
       "See here.",
       [](const RichTextDocument& d) { EXPECT_TRUE(FormatAt(d.paragraphs[0], "here").underline); }},
      {"table row", Rtf("\\trowd\\cellx1000\\cellx2000\\pard\\intbl A\\cell B\\cell\\row\\pard After"),
       "A\tB\rAfter", nullptr},
      {"pictures dropped",
       Rtf("Before{\\pict\\pngblip\\picw10 89504e47}{\\*\\shppict{\\pict\\bin4 }{\\\\}}{\\nonshppict{\\pict "
           "00}}After"),
       "BeforeAfter", nullptr, 2},
      {"keyword split over groups", Rtf("Dear {\\b ZK470}{\\i NA}ME,"), "Dear ZK470NAME,",
       [](const RichTextDocument& d) {
         EXPECT_TRUE(FormatAt(d.paragraphs[0], "ZK470").bold);
         EXPECT_TRUE(FormatAt(d.paragraphs[0], "NA").italic);
       }},
      {"font table without entry groups and an unknown font",
       "{\\rtf1\\ansi\\deff1{\\fonttbl\\f0\\fmodern Courier New;\\f1\\fnil Helv{\\*\\falt Arial};}\\f7 x\\f0 "
       "y}",
       "xy",
       [](const RichTextDocument& d) {
         ASSERT_EQ(d.fonts.size(), 2u);
         EXPECT_EQ(d.fonts[1].name, "Helv");
         EXPECT_EQ(d.default_font, 1);
         EXPECT_EQ(FormatAt(d.paragraphs[0], "x").font, 1);
         EXPECT_EQ(FormatAt(d.paragraphs[0], "y").font, 0);
       }},
  };
}

// The words of a text: runs of ASCII letters and digits. The converter's own characters beyond
// ASCII and its spacing differ from ours, its words must not.
std::vector<std::string> AsciiWords(std::string_view text) {
  std::vector<std::string> words(1);
  for (const char c : text) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
      words.back() += c;
    } else if (!words.back().empty()) {
      words.emplace_back();
    }
  }
  if (words.back().empty()) words.pop_back();
  return words;
}

// `unrtf --text` output without its "###" comment lines and its rule; nullopt when absent.
std::optional<std::string> UnrtfText(const std::filesystem::path& file) {
  FILE* pipe = ::popen(("unrtf --text '" + file.string() + "' 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string output;
  char buffer[4096];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
  if (::pclose(pipe) != 0) return std::nullopt;
  std::string text;
  size_t start = 0;
  while (start < output.size()) {
    size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    const std::string_view line(output.data() + start, end - start);
    if (!line.starts_with("###") && line.find_first_not_of('-') != std::string_view::npos) {
      text.append(line);
      text += '\n';
    }
    start = end + 1;
  }
  return text;
}

bool HaveUnrtf() { return std::system("command -v unrtf >/dev/null 2>&1") == 0; }

TEST(RtfReader, ReadsEachFeatureAndWritesItBack) {
  for (const Fixture& fixture : Fixtures()) {
    SCOPED_TRACE(fixture.name);
    const richtext::RtfReadResult first = richtext::ReadRtf(fixture.rtf, "letter.rtf");
    EXPECT_EQ(first.document.PlainText(), fixture.text);
    EXPECT_EQ(first.dropped.size(), fixture.dropped);
    if (fixture.check) fixture.check(first.document);

    const std::string written = richtext::WriteRtf(first.document);
    const RichTextDocument again = Read(written);
    EXPECT_EQ(again, first.document) << written;
    if (fixture.check) fixture.check(again);
    EXPECT_EQ(richtext::WriteRtf(again), written);
  }
}

TEST(RtfWriter, OtherConverterReadsTheSameWords) {
  if (!HaveUnrtf()) GTEST_SKIP() << "unrtf is not installed";
  const std::filesystem::path dir = testsupport::MakeTestDir("richtext");
  int index = 0;
  for (const Fixture& fixture : Fixtures()) {
    SCOPED_TRACE(fixture.name);
    const RichTextDocument document = Read(fixture.rtf);
    const std::filesystem::path file = dir / ("f" + std::to_string(index++) + ".rtf");
    testsupport::WriteText(file, richtext::WriteRtf(document));
    const std::optional<std::string> text = UnrtfText(file);
    ASSERT_TRUE(text.has_value());
    // The converter shows neither the non-breaking space nor the optional hyphen.
    std::string ours = document.PlainText();
    for (const std::string_view invisible : {"\u00A0", "\u00AD"}) {
      for (size_t at; (at = ours.find(invisible)) != std::string::npos;) ours.erase(at, invisible.size());
    }
    EXPECT_EQ(AsciiWords(*text), AsciiWords(ours)) << *text;
  }
}

TEST(RtfWriter, WritesCharactersBeyondCp1252AsUnicode) {
  RichTextDocument document;
  document.paragraphs[0].Append("\u00E4\u20AC\u03A9{x}\\", CharFormat{});
  const std::string written = richtext::WriteRtf(document);
  EXPECT_NE(written.find("\\'e4\\'80\\u937?\\{x\\}\\\\"), std::string::npos) << written;
  EXPECT_EQ(Read(written), document);
}

TEST(RtfReader, RejectsBrokenFilesNamingTheFile) {
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"not rich text", "Dear Dr Smith,\r\n"},
      {"empty", ""},
      {"truncated", "{\\rtf1\\ansi Hello"},
      {"cut hex escape", "{\\rtf1 \\'4"},
      {"bad hex escape", "{\\rtf1 \\'zz}"},
      {"huge number", "{\\rtf1 \\fs99999999999 a}"},
      {"binary beyond the end", "{\\rtf1 {\\pict\\bin99 ab}}"},
      {"unicode out of range", "{\\rtf1 \\u70000?}"},
      {"nested too deeply", "{\\rtf1 " + std::string(2000, '{')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      (void)richtext::ReadRtf(c.bytes, "letter.rtf");
      ADD_FAILURE() << "no error";
    } catch (const platform::FormatError& e) {
      EXPECT_TRUE(std::string_view(e.what()).starts_with("letter.rtf")) << e.what();
    }
  }
  try {
    (void)richtext::ReadRtf("PK\x03\x04", "letter.rtf");
  } catch (const platform::FormatError& e) {
    EXPECT_NE(std::string_view(e.what()).find("not a rich text file"), std::string_view::npos);
  }
}

TEST(RtfReader, IgnoresWhatFollowsTheDocument) {
  using std::string_view_literals::operator""sv;
  EXPECT_EQ(Read("{\\rtf1 a}\r\n\0garbage}}"sv).PlainText(), "a");
}

TEST(StandardFontName, FamilyThenNameChooseTheFace) {
  struct Case {
    FontFamily family;
    const char* name;
    bool bold;
    bool italic;
    std::string_view face;
  };
  const Case cases[] = {
      {FontFamily::kSwiss, "Arial", false, false, "Helvetica"},
      {FontFamily::kSwiss, "Arial", true, true, "Helvetica-BoldOblique"},
      {FontFamily::kRoman, "Anything", false, true, "Times-Italic"},
      {FontFamily::kModern, "Lucida Console", true, false, "Courier-Bold"},
      {FontFamily::kTech, "Symbol", true, false, "Symbol"},
      {FontFamily::kNil, "Times New Roman", true, false, "Times-Bold"},
      {FontFamily::kNil, "Courier New", false, true, "Courier-Oblique"},
      {FontFamily::kNil, "Wingdings", false, false, "ZapfDingbats"},
      {FontFamily::kNil, "Tahoma", false, false, "Helvetica"},
      {FontFamily::kScript, "Times", false, false, "Helvetica"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(richtext::StandardFontName({c.family, 0, c.name}, c.bold, c.italic), c.face) << c.name;
  }
}

// The letter template's placeholders, with their formats, replaced as the letter fills them.
TEST(CRichEdit2Ctrl, FindAndReplace) {
  struct Replacement {
    const char* what;
    const char* with;
  };
  struct Case {
    const char* name;
    std::string rtf;
    std::vector<Replacement> replacements;
    std::string text;
    std::function<void(const RichTextDocument&)> check;
  };
  const Case cases[] = {
      {"any case", Rtf("Dear zk470Name,"), {{"ZK470NAME", "Smith"}}, "Dear Smith,", nullptr},
      {"across runs keeps the keyword's format",
       Rtf("Dear {\\b ZK470}{\\i NA}ME,"),
       {{"zk470name", "Smith"}},
       "Dear Smith,",
       [](const RichTextDocument& d) {
         ASSERT_EQ(d.paragraphs[0].runs.size(), 3u);
         EXPECT_EQ(d.paragraphs[0].runs[1].text, "Smith");
         EXPECT_TRUE(d.paragraphs[0].runs[1].format.bold);
         EXPECT_FALSE(d.paragraphs[0].runs[1].format.italic);
       }},
      {"\\r merges paragraphs under the first one's format",
       Rtf("\\pard\\qc Line one\\par\\pard\\qr Line two"),
       {{"one\rline", "one, line"}},
       "Line one, line two",
       [](const RichTextDocument& d) {
         ASSERT_EQ(d.paragraphs.size(), 1u);
         EXPECT_EQ(d.paragraphs[0].format.alignment, Alignment::kCenter);
       }},
      {"a multi-line replacement makes paragraphs",
       Rtf("\\pard\\li720 To: {\\b ZK470ADDRESS} end\\par\\pard Next"),
       {{"ZK470ADDRESS", "Main St 1\r\n12345 Town\nGermany"}},
       "To: Main St 1\r12345 Town\rGermany end\rNext",
       [](const RichTextDocument& d) {
         ASSERT_EQ(d.paragraphs.size(), 4u);
         for (int i = 0; i < 3; ++i) EXPECT_EQ(d.paragraphs[i].format.left_indent_twips, 720) << i;
         EXPECT_EQ(d.paragraphs[3].format.left_indent_twips, 0);
         EXPECT_TRUE(FormatAt(d.paragraphs[1], "12345").bold);
         EXPECT_FALSE(FormatAt(d.paragraphs[2], "end").bold);
       }},
      {"longer keyword first",
       Rtf("ZK470MEDICATIONTXT; ZK470MEDICATION."),
       {{"ZK470MEDICATIONTXT", "aspirin 100 mg daily"}, {"ZK470MEDICATION", "aspirin"}},
       "aspirin 100 mg daily; aspirin.",
       nullptr},
      {"a replacement holding the keyword is not replaced again",
       Rtf("ZK470X ZK470X"),
       {{"zk470x", "[ZK470X]"}},
       "[ZK470X] [ZK470X]",
       nullptr},
      {"an absent keyword changes nothing", Rtf("Dear Sir"), {{"ZK470NAME", "Smith"}}, "Dear Sir", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CRichEdit2Ctrl edit(Read(c.rtf));
    for (const Replacement& r : c.replacements) edit.ReplaceAll(r.what, r.with);
    EXPECT_EQ(edit.GetText(), c.text);
    if (c.check) c.check(edit.Document());
    // What the edits leave is still a document the writer and reader agree on.
    EXPECT_EQ(Read(richtext::WriteRtf(edit.Document())), edit.Document());
  }
}

TEST(CRichEdit2Ctrl, FindSearchesForwardFromTheGivenPosition) {
  CRichEdit2Ctrl edit(Read(Rtf("Abc\\par abc \\u228?x \\u196?X")));
  EXPECT_EQ(edit.FindText("ABC"), (CharRange{0, 3}));
  EXPECT_EQ(edit.FindText("ABC", 1), (CharRange{4, 7}));
  EXPECT_EQ(edit.FindText("abc", 5), std::nullopt);
  EXPECT_EQ(edit.FindText("c\ra"), (CharRange{2, 5}));
  EXPECT_EQ(edit.FindText("\u00C4X"), (CharRange{8, 10}));
  EXPECT_EQ(edit.FindText(""), std::nullopt);
  EXPECT_EQ(edit.GetTextLength(), 13);
}

TEST(CRichEdit2Ctrl, ReplaceAtACaretTakesThePrecedingFormat) {
  CRichEdit2Ctrl edit(Read(Rtf("{\\b Bold}\\par Plain")));
  edit.SetSel(4, 4);
  edit.ReplaceSel("er");
  edit.SetSel(99, -3);
  EXPECT_EQ(edit.GetSel(), (CharRange{0, 12}));
  EXPECT_EQ(edit.GetText(), "Bolder\rPlain");
  EXPECT_TRUE(FormatAt(edit.Document().paragraphs[0], "er").bold);
}

TEST(CRichEdit2Ctrl, AnyBackgroundColourIsWhite) {
  CRichEdit2Ctrl edit;
  for (const gfx::Color color : {gfx::Rgb(0, 0, 0), gfx::Rgb(255, 0, 0), gfx::Rgb(12, 34, 56)}) {
    edit.SetBackgroundColor(false, color);
    EXPECT_EQ(edit.GetBackgroundColor(), gfx::Rgb(255, 255, 255));
    EXPECT_FALSE(edit.UsesSystemBackground());
  }
  edit.SetBackgroundColor(true, gfx::Rgb(1, 2, 3));
  EXPECT_TRUE(edit.UsesSystemBackground());
}

}  // namespace
