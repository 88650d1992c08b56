#include "reports/richtext/rtf_writer.h"

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/cp1252.h"

namespace richtext {
namespace {

std::string_view FamilyWord(FontFamily family) {
  switch (family) {
    case FontFamily::kNil:
      return "\\fnil";
    case FontFamily::kRoman:
      return "\\froman";
    case FontFamily::kSwiss:
      return "\\fswiss";
    case FontFamily::kModern:
      return "\\fmodern";
    case FontFamily::kScript:
      return "\\fscript";
    case FontFamily::kDecor:
      return "\\fdecor";
    case FontFamily::kTech:
      return "\\ftech";
  }
  return "\\fnil";
}

void Word(std::string& out, std::string_view word, int value) {
  out += word;
  out += std::to_string(value);
}

// The cp1252 byte of a code point, or nothing when cp1252 has none.
std::optional<unsigned char> Cp1252Byte(char32_t code) {
  std::string utf8;
  AppendUtf8(utf8, code);
  const std::string single = platform::Utf8ToCp1252(utf8);
  // Only a byte that reads back as the same character: not '?' for the unknown, nor a C1 code.
  if (single.size() != 1 || platform::Cp1252ToUtf8(single) != utf8) return std::nullopt;
  return static_cast<unsigned char>(single[0]);
}

void HexByte(std::string& out, unsigned char byte) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\'";
  out += kHex[byte >> 4];
  out += kHex[byte & 0xF];
}

// Text escaped for the body; `in_name` writes it for a font table entry, which holds only cp1252.
void Text(std::string& out, std::string_view utf8, bool in_name) {
  for (const char32_t c : DecodeUtf8(utf8)) {
    switch (c) {
      case U'\\':
        out += "\\\\";
        continue;
      case U'{':
        out += "\\{";
        continue;
      case U'}':
        out += "\\}";
        continue;
      case U'\u00A0':
        if (in_name) break;
        out += "\\~";
        continue;
      case U'\u00AD':
        if (in_name) break;
        out += "\\-";
        continue;
      case U'\t':
        out += in_name ? "" : "\\tab ";
        continue;
      case U'\v':
        out += in_name ? "" : "\\line ";
        continue;
      case U'\f':
        out += in_name ? "" : "\\page ";
        continue;
      case U';':
        if (in_name) continue;
        break;
      default:
        break;
    }
    if (c < 0x20) continue;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (const auto byte = Cp1252Byte(c)) {
      HexByte(out, *byte);
    } else if (in_name) {
      out += '?';  // the font table is read as cp1252 only
    } else if (c >= 0x10000) {
      // A surrogate pair, each half with its own fallback.
      const char32_t v = c - 0x10000;
      Word(out, "\\u", static_cast<int>(0xD800 + (v >> 10)) - 65536);
      out += '?';
      Word(out, "\\u", static_cast<int>(0xDC00 + (v & 0x3FF)) - 65536);
      out += '?';
    } else {
      Word(out, "\\u", c >= 0x8000 ? static_cast<int>(c) - 65536 : static_cast<int>(c));
      out += '?';
    }
  }
}

void ParagraphFormat(std::string& out, const ParaFormat& format) {
  out += "\\pard";
  switch (format.alignment) {
    case Alignment::kLeft:
      break;
    case Alignment::kCenter:
      out += "\\qc";
      break;
    case Alignment::kRight:
      out += "\\qr";
      break;
    case Alignment::kJustify:
      out += "\\qj";
      break;
  }
  if (format.left_indent_twips != 0) Word(out, "\\li", format.left_indent_twips);
  if (format.right_indent_twips != 0) Word(out, "\\ri", format.right_indent_twips);
  if (format.first_indent_twips != 0) Word(out, "\\fi", format.first_indent_twips);
  if (format.space_before_twips != 0) Word(out, "\\sb", format.space_before_twips);
  if (format.space_after_twips != 0) Word(out, "\\sa", format.space_after_twips);
  for (const int stop : format.tab_stops_twips) Word(out, "\\tx", stop);
}

void CharacterFormat(std::string& out, const CharFormat& format, int default_font) {
  out += "\\plain";
  if (format.font != default_font) Word(out, "\\f", format.font);
  if (format.size_half_points != 24) Word(out, "\\fs", format.size_half_points);
  if (format.bold) out += "\\b";
  if (format.italic) out += "\\i";
  if (format.underline) out += "\\ul";
  if (format.color != 0) Word(out, "\\cf", format.color);
  out += ' ';
}

}  // namespace

std::string WriteRtf(const RichTextDocument& document) {
  std::string out = "{\\rtf1\\ansi\\ansicpg1252";
  Word(out, "\\deff", document.default_font);
  out += "\\uc1\r\n{\\fonttbl";
  for (size_t i = 0; i < document.fonts.size(); ++i) {
    const FontEntry& font = document.fonts[i];
    Word(out, "{\\f", static_cast<int>(i));
    out += FamilyWord(font.family);
    Word(out, "\\fcharset", font.charset);
    out += ' ';
    Text(out, font.name, true);
    out += ";}";
  }
  out += "}\r\n";
  if (!document.colors.empty()) {
    out += "{\\colortbl";
    for (const ColorEntry& color : document.colors) {
      if (!color.automatic) {
        Word(out, "\\red", color.red);
        Word(out, "\\green", color.green);
        Word(out, "\\blue", color.blue);
      }
      out += ';';
    }
    out += "}\r\n";
  }
  Word(out, "\\paperw", document.paper_width_twips);
  Word(out, "\\paperh", document.paper_height_twips);
  Word(out, "\\margl", document.margin_left_twips);
  Word(out, "\\margr", document.margin_right_twips);
  Word(out, "\\margt", document.margin_top_twips);
  Word(out, "\\margb", document.margin_bottom_twips);
  out += "\r\n";
  for (size_t i = 0; i < document.paragraphs.size(); ++i) {
    const Paragraph& paragraph = document.paragraphs[i];
    ParagraphFormat(out, paragraph.format);
    if (paragraph.runs.empty()) out += ' ';
    for (const Run& run : paragraph.runs) {
      CharacterFormat(out, run.format, document.default_font);
      Text(out, run.text, false);
    }
    // The last paragraph has no mark of its own.
    if (i + 1 < document.paragraphs.size()) out += "\\par\r\n";
  }
  out += "}\r\n";
  return out;
}

}  // namespace richtext
