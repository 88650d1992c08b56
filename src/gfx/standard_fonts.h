#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace gfx {

// Metrics of one of the 35 standard PostScript faces, in 1/1000 em. The numbers are generated from
// the AFM files of metric-compatible faces (scripts/gen_font_metrics); they are shared by the PDF
// writer and the screen canvas, so a text measures the same on paper, in a PDF and on screen.
// Read-only static data: any thread may read it.
struct StandardFontMetrics {
  std::string_view name;         // PostScript name: "Helvetica"
  std::string_view source_face;  // the face whose AFM file gave the numbers
  bool fixed_pitch;
  // Symbol and ZapfDingbats: only their built-in codes; both width rows hold those.
  bool symbolic;
  double italic_angle_deg;
  std::array<int16_t, 4> bbox;  // llx lly urx ury
  int16_t cap_height;
  int16_t x_height;
  int16_t ascender;   // 0 when the face gives none
  int16_t descender;  // negative below the baseline; 0 when the face gives none
  // By cp1252 (WinAnsiEncoding) code; 0 for codes without a glyph.
  std::array<int16_t, 256> winansi_widths;
  // By the face's built-in code (StandardEncoding, or the symbol faces' own codes).
  std::array<int16_t, 256> builtin_widths;
};

// The 35 faces in the standard order (Helvetica family first, ZapfChancery-MediumItalic last).
std::span<const StandardFontMetrics> StandardFonts();

// By exact (case-sensitive) PostScript name; nullptr when the name is not a standard face.
const StandardFontMetrics* FindStandardFont(std::string_view postscript_name);

// Sum of the WinAnsi widths of a cp1252 text, in 1/1000 em.
int32_t TextWidth(const StandardFontMetrics& font, std::string_view cp1252);

}  // namespace gfx
