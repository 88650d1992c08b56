#include "gfx/font_metrics.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

#include "platform/cp1252.h"

namespace gfx {
namespace {

// Vertical metrics of the Liberation faces (units per em 2048): the Windows ascent and descent,
// which make the character cell, and the line gap.
constexpr double kSansAscent = 1854.0 / 2048, kSansDescent = 434.0 / 2048, kSansGap = 67.0 / 2048;
constexpr double kMonoAscent = 1705.0 / 2048, kMonoDescent = 615.0 / 2048, kMonoGap = 0.0;
constexpr double kSerifAscent = 1825.0 / 2048, kSerifDescent = 443.0 / 2048, kSerifGap = 87.0 / 2048;

constexpr double kDefaultEm = 12.0;

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool Has(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

FontFamily FamilyOf(std::string_view face) {
  const std::string f = Lower(face);
  if (Has(f, "courier") || Has(f, "mono") || Has(f, "fixed") || Has(f, "terminal") || Has(f, "console"))
    return FontFamily::kMono;
  if (Has(f, "sans")) return FontFamily::kSans;
  if (Has(f, "times") || Has(f, "serif") || Has(f, "roman") || Has(f, "georgia") || Has(f, "garamond"))
    return FontFamily::kSerif;
  return FontFamily::kSans;
}

const char* PostScriptName(FontFamily family, bool bold, bool italic) {
  switch (family) {
    case FontFamily::kMono:
      return bold ? (italic ? "Courier-BoldOblique" : "Courier-Bold")
                  : (italic ? "Courier-Oblique" : "Courier");
    case FontFamily::kSerif:
      return bold ? (italic ? "Times-BoldItalic" : "Times-Bold") : (italic ? "Times-Italic" : "Times-Roman");
    case FontFamily::kSans:
      break;
  }
  return bold ? (italic ? "Helvetica-BoldOblique" : "Helvetica-Bold")
              : (italic ? "Helvetica-Oblique" : "Helvetica");
}

// Average character width as the font tables of the period defined it: lower-case letters and the
// blank weighted by their frequency in English text, in 1/1000 em.
double WeightedAverageWidth(const StandardFontMetrics& m) {
  static constexpr struct {
    char c;
    int weight;
  } kWeights[] = {{'a', 64}, {'b', 14}, {'c', 27}, {'d', 35}, {'e', 100}, {'f', 20}, {'g', 14},
                  {'h', 42}, {'i', 63}, {'j', 3},  {'k', 6},  {'l', 35},  {'m', 20}, {'n', 56},
                  {'o', 56}, {'p', 17}, {'q', 4},  {'r', 49}, {'s', 56},  {'t', 71}, {'u', 31},
                  {'v', 10}, {'w', 18}, {'x', 3},  {'y', 18}, {'z', 2},   {' ', 166}};
  double sum = 0;
  for (const auto& w : kWeights) sum += m.winansi_widths[static_cast<uint8_t>(w.c)] * w.weight;
  return sum / 1000.0;
}

}  // namespace

FontFace ResolveFontFace(const Font& font) {
  FontFace face;
  face.family = FamilyOf(font.face);
  face.widths = FindStandardFont(PostScriptName(face.family, font.weight >= 600, font.italic));
  switch (face.family) {
    case FontFamily::kSans:
      face.ascent_em = kSansAscent, face.descent_em = kSansDescent, face.line_gap_em = kSansGap;
      face.screen_family = "Liberation Sans";
      break;
    case FontFamily::kMono:
      face.ascent_em = kMonoAscent, face.descent_em = kMonoDescent, face.line_gap_em = kMonoGap;
      face.screen_family = "Liberation Mono";
      break;
    case FontFamily::kSerif:
      face.ascent_em = kSerifAscent, face.descent_em = kSerifDescent, face.line_gap_em = kSerifGap;
      face.screen_family = "Liberation Serif";
      break;
  }
  return face;
}

double FontEm(const Font& font) {
  if (font.height < 0) return -static_cast<double>(font.height);
  if (font.height == 0) return kDefaultEm;
  const FontFace face = ResolveFontFace(font);
  return font.height / (face.ascent_em + face.descent_em);
}

double FontStretch(const Font& font) {
  if (font.width == 0) return 1.0;
  const FontFace face = ResolveFontFace(font);
  const double natural = WeightedAverageWidth(*face.widths) * FontEm(font) / 1000.0;
  return natural > 0 ? std::abs(font.width) / natural : 1.0;
}

TextMetrics StandardTextMetrics(const Font& font) {
  const FontFace face = ResolveFontFace(font);
  const double em = FontEm(font);
  const double stretch = FontStretch(font);
  TextMetrics m;
  m.ascent = static_cast<int32_t>(std::lround(em * face.ascent_em));
  if (font.height > 0) {
    m.descent = font.height - m.ascent;
  } else {
    m.descent = static_cast<int32_t>(std::lround(em * face.descent_em));
  }
  m.height = m.ascent + m.descent;
  m.internal_leading = std::max(0, m.height - static_cast<int32_t>(std::lround(em)));
  m.external_leading = static_cast<int32_t>(std::lround(em * face.line_gap_em));
  m.ave_char_width =
      static_cast<int32_t>(std::lround(WeightedAverageWidth(*face.widths) * em * stretch / 1000.0));
  const int16_t widest =
      *std::max_element(face.widths->winansi_widths.begin(), face.widths->winansi_widths.end());
  m.max_char_width = static_cast<int32_t>(std::lround(widest * em * stretch / 1000.0));
  m.weight = font.weight;
  return m;
}

double StandardTextWidth(const Font& font, std::string_view utf8) {
  const FontFace face = ResolveFontFace(font);
  const std::string cp1252 = platform::Utf8ToCp1252(utf8);
  return TextWidth(*face.widths, cp1252) * FontEm(font) * FontStretch(font) / 1000.0;
}

}  // namespace gfx
