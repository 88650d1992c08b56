#include "reports/richtext/rich_text_document.h"

#include <algorithm>
#include <cctype>

namespace richtext {

void Paragraph::Append(std::string_view utf8, const CharFormat& format) {
  if (utf8.empty()) return;
  if (!runs.empty() && runs.back().format == format) {
    runs.back().text.append(utf8);
  } else {
    runs.push_back(Run{std::string(utf8), format});
  }
}

std::string Paragraph::Text() const {
  std::string text;
  for (const Run& run : runs) text += run.text;
  return text;
}

std::string RichTextDocument::PlainText() const {
  std::string text;
  for (size_t i = 0; i < paragraphs.size(); ++i) {
    if (i > 0) text += '\r';
    text += paragraphs[i].Text();
  }
  return text;
}

namespace {

enum class Face { kHelvetica, kTimes, kCourier, kSymbol, kDingbats };

bool NameContains(std::string_view name, std::string_view part) {
  auto it = std::search(name.begin(), name.end(), part.begin(), part.end(),
                        [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
  return it != name.end();
}

Face FaceOf(const FontEntry& font) {
  switch (font.family) {
    case FontFamily::kRoman:
      return Face::kTimes;
    case FontFamily::kModern:
      return Face::kCourier;
    case FontFamily::kTech:
      return NameContains(font.name, "ding") ? Face::kDingbats : Face::kSymbol;
    case FontFamily::kSwiss:
    case FontFamily::kScript:
    case FontFamily::kDecor:
      return Face::kHelvetica;
    case FontFamily::kNil:
      break;
  }
  if (NameContains(font.name, "courier") || NameContains(font.name, "mono") ||
      NameContains(font.name, "consolas"))
    return Face::kCourier;
  if (NameContains(font.name, "times") || NameContains(font.name, "roman") ||
      NameContains(font.name, "georgia") || NameContains(font.name, "garamond"))
    return Face::kTimes;
  if (NameContains(font.name, "symbol")) return Face::kSymbol;
  if (NameContains(font.name, "dingbats") || NameContains(font.name, "wingdings")) return Face::kDingbats;
  return Face::kHelvetica;
}

}  // namespace

std::string_view StandardFontName(const FontEntry& font, bool bold, bool italic) {
  const int style = (bold ? 1 : 0) + (italic ? 2 : 0);
  switch (FaceOf(font)) {
    case Face::kTimes: {
      static constexpr std::string_view kNames[] = {"Times-Roman", "Times-Bold", "Times-Italic",
                                                    "Times-BoldItalic"};
      return kNames[style];
    }
    case Face::kCourier: {
      static constexpr std::string_view kNames[] = {"Courier", "Courier-Bold", "Courier-Oblique",
                                                    "Courier-BoldOblique"};
      return kNames[style];
    }
    case Face::kSymbol:
      return "Symbol";
    case Face::kDingbats:
      return "ZapfDingbats";
    case Face::kHelvetica:
      break;
  }
  static constexpr std::string_view kNames[] = {"Helvetica", "Helvetica-Bold", "Helvetica-Oblique",
                                                "Helvetica-BoldOblique"};
  return kNames[style];
}

std::u32string DecodeUtf8(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    int length = 0;
    char32_t code = 0;
    if (lead < 0x80) {
      length = 1;
      code = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      code = lead & 0x07;
    }
    bool valid = length > 0 && i + length <= utf8.size();
    for (int k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) valid = false;
      code = (code << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (valid && (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)))
      valid = false;
    if (!valid) {
      out += U'\uFFFD';
      ++i;
    } else {
      out += code;
      i += length;
    }
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t code_point) {
  if (code_point > 0x10FFFF || (code_point >= 0xD800 && code_point <= 0xDFFF)) code_point = 0xFFFD;
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | (code_point >> 6));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    out += static_cast<char>(0xE0 | (code_point >> 12));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code_point >> 18));
    out += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

std::string EncodeUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char32_t c : text) AppendUtf8(out, c);
  return out;
}

}  // namespace richtext
