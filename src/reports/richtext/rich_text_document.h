#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace richtext {

// Font families of the font table; each maps to one of the PDF standard faces.
enum class FontFamily { kNil, kRoman, kSwiss, kModern, kScript, kDecor, kTech };

struct FontEntry {
  FontFamily family = FontFamily::kSwiss;
  int charset = 0;
  std::string name = "Arial";  // UTF-8
  bool operator==(const FontEntry&) const = default;
};

// One colour table entry; the automatic colour (the usual entry 0) has no components.
struct ColorEntry {
  bool automatic = true;
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const ColorEntry&) const = default;
};

struct CharFormat {
  int font = 0;  // index into the document's font table
  int size_half_points = 24;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int color = 0;  // index into the colour table; an empty table or an automatic entry: the text colour
  bool operator==(const CharFormat&) const = default;
};

enum class Alignment { kLeft, kCenter, kRight, kJustify };

// Indents and spacing in twips; the first-line indent is relative to the left indent.
struct ParaFormat {
  Alignment alignment = Alignment::kLeft;
  int left_indent_twips = 0;
  int right_indent_twips = 0;
  int first_indent_twips = 0;
  int space_before_twips = 0;
  int space_after_twips = 0;
  std::vector<int> tab_stops_twips;
  bool operator==(const ParaFormat&) const = default;
};

// Text is UTF-8. Inside a run '\t' is a tab, '\v' a line break within the paragraph and '\f' a page
// break; U+00A0 and U+00AD are the non-breaking space and the optional hyphen.
struct Run {
  std::string text;
  CharFormat format;
  bool operator==(const Run&) const = default;
};

struct Paragraph {
  std::vector<Run> runs;  // never an empty run; neighbours differ in format
  ParaFormat format;
  bool operator==(const Paragraph&) const = default;

  // Appends text, merging it into the last run when the format is the same.
  void Append(std::string_view utf8, const CharFormat& format);
  std::string Text() const;
};

// A rich text: paragraphs of formatted runs and the page it is laid out on. There is always at least
// one paragraph; the last one has no paragraph mark of its own. Plain data: no thread rules.
struct RichTextDocument {
  std::vector<FontEntry> fonts{FontEntry{}};
  std::vector<ColorEntry> colors;
  int default_font = 0;
  int paper_width_twips = 12240;
  int paper_height_twips = 15840;
  int margin_left_twips = 1800;
  int margin_right_twips = 1800;
  int margin_top_twips = 1440;
  int margin_bottom_twips = 1440;
  std::vector<Paragraph> paragraphs{Paragraph{}};
  bool operator==(const RichTextDocument&) const = default;

  // The text with "\r" between paragraphs, as the edit control searches it.
  std::string PlainText() const;
};

// PostScript name of the PDF standard face for a font of the table in the given style: the family
// decides, and a font of no stated family is guessed from its name.
std::string_view StandardFontName(const FontEntry& font, bool bold, bool italic);

// UTF-8 to code points and back; a byte that is not valid UTF-8 becomes U+FFFD.
std::u32string DecodeUtf8(std::string_view utf8);
void AppendUtf8(std::string& out, char32_t code_point);
std::string EncodeUtf8(std::u32string_view text);

}  // namespace richtext
