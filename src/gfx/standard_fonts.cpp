#include "gfx/standard_fonts.h"

namespace gfx {
namespace {

constexpr StandardFontMetrics kFonts[] = {
#include "gfx/standard_fonts.inc"
};

}  // namespace

std::span<const StandardFontMetrics> StandardFonts() { return kFonts; }

const StandardFontMetrics* FindStandardFont(std::string_view postscript_name) {
  for (const StandardFontMetrics& font : kFonts)
    if (font.name == postscript_name) return &font;
  return nullptr;
}

int32_t TextWidth(const StandardFontMetrics& font, std::string_view cp1252) {
  int32_t width = 0;
  for (const char c : cp1252) width += font.winansi_widths[static_cast<uint8_t>(c)];
  return width;
}

}  // namespace gfx
