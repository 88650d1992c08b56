#pragma once

#include <cstdint>
#include <string>

#include "gfx/geometry.h"

// The values of every enum and flag below are those of the Windows drawing interface that the
// program's code was written against; stored settings and recorded pages carry them, so they must
// not change.
namespace gfx {

enum class MapMode : int32_t {
  kText = 1,         // one unit = one device pixel, y down
  kLoMetric = 2,     // 0.1 mm, y up
  kHiMetric = 3,     // 0.01 mm, y up
  kLoEnglish = 4,    // 0.01 inch, y up
  kHiEnglish = 5,    // 0.001 inch, y up
  kTwips = 6,        // 1/1440 inch, y up
  kIsotropic = 7,    // extents set by the program, equal scale in x and y
  kAnisotropic = 8,  // extents set by the program
};

enum class PenStyle : int32_t {
  kSolid = 0,
  kDash = 1,
  kDot = 2,
  kDashDot = 3,
  kDashDotDot = 4,
  kNull = 5,
  kInsideFrame = 6,
};

// Width in logical units; 0 is always one device pixel. Pens wider than one device pixel are
// drawn solid whatever their style, with round ends and joins.
struct Pen {
  PenStyle style = PenStyle::kSolid;
  int32_t width = 0;
  Color color = 0;
  friend bool operator==(const Pen&, const Pen&) = default;
};

enum class BrushStyle : int32_t {
  kSolid = 0,
  kNull = 1,  // hollow: fills nothing
};

struct Brush {
  BrushStyle style = BrushStyle::kSolid;
  Color color = 0xFFFFFF;
  friend bool operator==(const Brush&, const Brush&) = default;
};

inline constexpr int32_t kFwNormal = 400;
inline constexpr int32_t kFwBold = 700;

// A logical font. height > 0 is the cell height (character height plus internal leading),
// height < 0 the character height (the em), both in logical units; 0 counts as -12.
// width 0 keeps the face's proportions; another value is the average character width wanted.
// escapement: angle of the baseline in tenths of a degree, counter-clockwise.
struct Font {
  int32_t height = 0;
  int32_t width = 0;
  int32_t escapement = 0;
  int32_t weight = kFwNormal;
  bool italic = false;
  bool underline = false;
  bool strike_out = false;
  std::string face = "Arial";
  friend bool operator==(const Font&, const Font&) = default;
};

// Mix of pen (or brush) colour P and screen pixel D for lines, rectangles, ellipses and polygons.
enum class Rop2 : int32_t {
  kBlack = 1,         // 0
  kNotMergePen = 2,   // ~(P | D)
  kMaskNotPen = 3,    // ~P & D
  kNotCopyPen = 4,    // ~P
  kMaskPenNot = 5,    // P & ~D
  kNot = 6,           // ~D
  kXorPen = 7,        // P ^ D
  kNotMaskPen = 8,    // ~(P & D)
  kMaskPen = 9,       // P & D
  kNotXorPen = 10,    // ~(P ^ D)
  kNop = 11,          // D
  kMergeNotPen = 12,  // ~P | D
  kCopyPen = 13,      // P
  kMergePenNot = 14,  // P | ~D
  kMergePen = 15,     // P | D
  kWhite = 16,        // 1
};

enum class BkMode : int32_t {
  kTransparent = 1,
  kOpaque = 2,
};

// Text alignment flags (TextOut): horizontal, vertical and whether the current position is used.
inline constexpr uint32_t kTaNoUpdateCp = 0;
inline constexpr uint32_t kTaUpdateCp = 1;
inline constexpr uint32_t kTaLeft = 0;
inline constexpr uint32_t kTaRight = 2;
inline constexpr uint32_t kTaCenter = 6;
inline constexpr uint32_t kTaTop = 0;
inline constexpr uint32_t kTaBottom = 8;
inline constexpr uint32_t kTaBaseline = 24;

// DrawText format flags. 36 (single line, vertically centred, left), 37 (centred) and 38
// (right-aligned) are the combinations the program uses most.
inline constexpr uint32_t kDtTop = 0x0;
inline constexpr uint32_t kDtLeft = 0x0;
inline constexpr uint32_t kDtCenter = 0x1;
inline constexpr uint32_t kDtRight = 0x2;
inline constexpr uint32_t kDtVCenter = 0x4;
inline constexpr uint32_t kDtBottom = 0x8;
inline constexpr uint32_t kDtWordBreak = 0x10;
inline constexpr uint32_t kDtSingleLine = 0x20;
inline constexpr uint32_t kDtExpandTabs = 0x40;
inline constexpr uint32_t kDtNoClip = 0x100;
inline constexpr uint32_t kDtCalcRect = 0x400;
inline constexpr uint32_t kDtNoPrefix = 0x800;
inline constexpr uint32_t kDtEndEllipsis = 0x8000;

// Raster operations of the block transfers (BitBlt, StretchBlt, PatBlt): bits 16..23 are the truth
// table over pattern (brush) P, source S and destination D.
inline constexpr uint32_t kSrcCopy = 0x00CC0020;      // S
inline constexpr uint32_t kSrcPaint = 0x00EE0086;     // S | D
inline constexpr uint32_t kSrcAnd = 0x008800C6;       // S & D
inline constexpr uint32_t kSrcInvert = 0x00660046;    // S ^ D
inline constexpr uint32_t kSrcErase = 0x00440328;     // S & ~D
inline constexpr uint32_t kNotSrcCopy = 0x00330008;   // ~S
inline constexpr uint32_t kNotSrcErase = 0x001100A6;  // ~(S | D)
inline constexpr uint32_t kMergeCopy = 0x00C000CA;    // P & S
inline constexpr uint32_t kMergePaint = 0x00BB0226;   // ~S | D
inline constexpr uint32_t kPatCopy = 0x00F00021;      // P
inline constexpr uint32_t kPatPaint = 0x00FB0A09;     // P | ~S | D
inline constexpr uint32_t kPatInvert = 0x005A0049;    // P ^ D
inline constexpr uint32_t kDstInvert = 0x00550009;    // ~D
inline constexpr uint32_t kBlackness = 0x00000042;    // 0
inline constexpr uint32_t kWhiteness = 0x00FF0062;    // 1

// Whether a raster operation reads the source, the pattern.
constexpr bool RopUsesSource(uint32_t rop) {
  const uint32_t t = (rop >> 16) & 0xFF;
  return ((t >> 2) & 0x33) != (t & 0x33);
}
constexpr bool RopUsesPattern(uint32_t rop) {
  const uint32_t t = (rop >> 16) & 0xFF;
  return ((t >> 4) & 0x0F) != (t & 0x0F);
}

// Indices of GetDeviceCaps.
enum class DeviceCap : int32_t {
  kHorzSize = 4,  // width in millimetres
  kVertSize = 6,  // height in millimetres
  kHorzRes = 8,   // width in pixels
  kVertRes = 10,  // height in pixels
  kBitsPixel = 12,
  kPlanes = 14,
  kNumColors = 24,  // -1 on a device with more than 256 colours
  kLogPixelsX = 88,
  kLogPixelsY = 90,
  kSizePalette = 104,
  kPhysicalWidth = 110,
  kPhysicalHeight = 111,
  kPhysicalOffsetX = 112,
  kPhysicalOffsetY = 113,
};

// What a canvas draws on. Sizes in millimetres left 0 follow from pixels and resolution; the
// physical page of a printer left 0 equals the printable area.
struct DeviceInfo {
  int32_t width_px = 1280;
  int32_t height_px = 1024;
  int32_t dpi_x = 96;
  int32_t dpi_y = 96;
  int32_t width_mm = 0;
  int32_t height_mm = 0;
  int32_t bits_per_pixel = 32;
  int32_t num_colors = -1;
  int32_t physical_width_px = 0;
  int32_t physical_height_px = 0;
  int32_t physical_offset_x_px = 0;
  int32_t physical_offset_y_px = 0;
  friend bool operator==(const DeviceInfo&, const DeviceInfo&) = default;
};

// Metrics of the selected font in logical units.
struct TextMetrics {
  int32_t height = 0;  // ascent + descent
  int32_t ascent = 0;
  int32_t descent = 0;
  int32_t internal_leading = 0;  // height less the em
  int32_t external_leading = 0;  // gap the font suggests between lines
  int32_t ave_char_width = 0;
  int32_t max_char_width = 0;
  int32_t weight = 0;
  friend bool operator==(const TextMetrics&, const TextMetrics&) = default;
};

}  // namespace gfx
