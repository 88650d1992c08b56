#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/drawing_types.h"
#include "gfx/geometry.h"

namespace gfx {
struct RecordedPicture;
}

// The records of a display list: one per drawing call, in the caller's logical units, in the order
// the calls were made. A recorded page is the program's metafile: tests assert on it and the PDF
// export plays it back.
namespace gfx::rec {

struct SetMapMode {
  MapMode mode;
};
struct SetWindowOrg {
  Point origin;
};
struct SetWindowExt {
  Size extent;
};
struct SetViewportOrg {
  Point origin;
};
struct SetViewportExt {
  Size extent;
};
struct SelectPen {
  Pen pen;
};
struct SelectBrush {
  Brush brush;
};
struct SelectFont {
  Font font;
};
struct SetTextColor {
  Color color;
};
struct SetBkColor {
  Color color;
};
struct SetBkMode {
  BkMode mode;
};
struct SetRop2 {
  Rop2 rop;
};
struct SetTextAlign {
  uint32_t align;
};
struct SaveDC {};
struct RestoreDC {
  int32_t level;
};
// Logical units.
struct IntersectClipRect {
  Rect rect;
};
// Device units; none resets the clip to the whole window.
struct SelectClipRect {
  std::optional<Rect> rect;
};
struct MoveTo {
  Point to;
};
struct LineTo {
  Point to;
};
struct Polyline {
  std::vector<Point> points;
};
struct PolylineTo {
  std::vector<Point> points;
};
struct Polygon {
  std::vector<Point> points;
};
struct Rectangle {
  Rect rect;
};
struct Ellipse {
  Rect rect;
};
struct FillRect {
  Rect rect;
  Brush brush;
};
struct FrameRect {
  Rect rect;
  Brush brush;
};
struct InvertRect {
  Rect rect;
};
struct DrawFocusRect {
  Rect rect;
};
struct SetPixel {
  Point at;
  Color color;
};

// One run of text as drawn: the reference point of TextOut (for DrawText the top-left corner of the
// line it computed), the text in UTF-8, and the cell it covers in logical units. A run that DrawText
// produced also carries that call's rectangle and format, and the rectangle as clip when the run
// reaches beyond it.
struct Text {
  Point at;
  std::string text;
  Rect bounds;
  bool from_draw_text = false;
  Rect draw_rect;
  uint32_t draw_format = 0;
  std::optional<Rect> clip;
};

struct PatBlt {
  Rect dest;
  uint32_t rop;
};

// What a memory canvas held when it was copied: its size and, for a recording, what it had drawn.
struct BlitSource {
  Size size;
  std::shared_ptr<const RecordedPicture> picture;
};

// dest in this canvas's logical units, source rectangle in the source's logical units; BitBlt and
// StretchBlt both record this.
struct BitBlt {
  Rect dest;
  Rect source_rect;
  uint32_t rop;
  std::optional<BlitSource> source;
};

// dest in logical units, source rectangle in bitmap pixels.
struct DrawBitmap {
  Rect dest;
  Rect source_rect;
  uint32_t rop;
  std::shared_ptr<const Bitmap> bitmap;
};

// A comment that draws nothing: the markers a page carries for its PDF conversion.
struct Comment {
  std::string text;
};

}  // namespace gfx::rec

namespace gfx {

using DisplayItem =
    std::variant<rec::SetMapMode, rec::SetWindowOrg, rec::SetWindowExt, rec::SetViewportOrg,
                 rec::SetViewportExt, rec::SelectPen, rec::SelectBrush, rec::SelectFont, rec::SetTextColor,
                 rec::SetBkColor, rec::SetBkMode, rec::SetRop2, rec::SetTextAlign, rec::SaveDC,
                 rec::RestoreDC, rec::IntersectClipRect, rec::SelectClipRect, rec::MoveTo, rec::LineTo,
                 rec::Polyline, rec::PolylineTo, rec::Polygon, rec::Rectangle, rec::Ellipse, rec::FillRect,
                 rec::FrameRect, rec::InvertRect, rec::DrawFocusRect, rec::SetPixel, rec::Text, rec::PatBlt,
                 rec::BitBlt, rec::DrawBitmap, rec::Comment>;

using DisplayList = std::vector<DisplayItem>;

// A display list kept as a whole, shared by the records that copy it.
struct RecordedPicture {
  DisplayList items;
};

// One line of text per record, the form tests compare:
//   "LineTo 10,20", "SelectPen dot 1 0x0000FF", "Rectangle 0,0,10,10",
//   "TextOut 5,5 \"Ch.1\" [5,5,30,22]", "DrawText 0,0,100,20 0x25 \"Ch.1\" at 38,2 [38,2,62,19]".
// Colours print as 0x00BBGGRR in six hex digits.
std::string ToString(const DisplayItem& item);
std::vector<std::string> ToLines(const DisplayList& list);

}  // namespace gfx
