#pragma once

#include <string_view>

#include "gfx/drawing_types.h"
#include "gfx/standard_fonts.h"

namespace gfx {

enum class FontFamily { kSans, kMono, kSerif };

// How a logical font measures without a screen: the widths of a standard PostScript face and the
// vertical proportions of the metric-compatible TrueType face that the screen shows (Arial-metric
// Liberation Sans for every face that is not a fixed-pitch or serif face). Read-only.
struct FontFace {
  FontFamily family = FontFamily::kSans;
  const StandardFontMetrics* widths = nullptr;  // never null
  // Of the em: ascent and descent of the character cell, and the suggested gap between lines.
  double ascent_em = 0;
  double descent_em = 0;
  double line_gap_em = 0;
  std::string_view screen_family;  // "Liberation Sans"
};

// By face name (case-insensitive), weight (600 and above is bold) and italic flag.
FontFace ResolveFontFace(const Font& font);

// The em of the font in its logical units.
double FontEm(const Font& font);

// Horizontal stretch that the font's width asks for (1 when width is 0).
double FontStretch(const Font& font);

// Metrics in the font's logical units, rounded as the screen rounds them.
TextMetrics StandardTextMetrics(const Font& font);

// Advance width of a UTF-8 text in the font's logical units, unrounded; characters that cp1252
// cannot hold measure as '?'.
double StandardTextWidth(const Font& font, std::string_view utf8);

}  // namespace gfx
