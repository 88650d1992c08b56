#include "gfx/display_list.h"

#include <cstdio>
#include <string>
#include <type_traits>

namespace gfx {
namespace {

std::string Hex(uint32_t value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%0*X", digits, value);
  return buffer;
}

std::string ColorText(Color c) { return Hex(c & 0xFFFFFF, 6); }
std::string RopText(uint32_t rop) { return Hex(rop, 8); }

std::string PointText(Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
std::string SizeText(Size s) { return std::to_string(s.cx) + "," + std::to_string(s.cy); }
std::string RectText(const Rect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

std::string Points(const std::vector<Point>& points) {
  std::string out;
  for (const Point& p : points) out += " " + PointText(p);
  return out;
}

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out.push_back(c);
    }
  }
  return out + "\"";
}

const char* MapModeName(MapMode mode) {
  switch (mode) {
    case MapMode::kText:
      return "text";
    case MapMode::kLoMetric:
      return "lometric";
    case MapMode::kHiMetric:
      return "himetric";
    case MapMode::kLoEnglish:
      return "loenglish";
    case MapMode::kHiEnglish:
      return "hienglish";
    case MapMode::kTwips:
      return "twips";
    case MapMode::kIsotropic:
      return "isotropic";
    case MapMode::kAnisotropic:
      return "anisotropic";
  }
  return "?";
}

const char* PenStyleName(PenStyle style) {
  switch (style) {
    case PenStyle::kSolid:
      return "solid";
    case PenStyle::kDash:
      return "dash";
    case PenStyle::kDot:
      return "dot";
    case PenStyle::kDashDot:
      return "dashdot";
    case PenStyle::kDashDotDot:
      return "dashdotdot";
    case PenStyle::kNull:
      return "null";
    case PenStyle::kInsideFrame:
      return "insideframe";
  }
  return "?";
}

const char* Rop2Name(Rop2 rop) {
  static constexpr const char* kNames[] = {"black",      "notmergepen", "masknotpen", "notcopypen",
                                           "maskpennot", "not",         "xorpen",     "notmaskpen",
                                           "maskpen",    "notxorpen",   "nop",        "mergenotpen",
                                           "copypen",    "mergepennot", "mergepen",   "white"};
  const int i = static_cast<int>(rop);
  return i >= 1 && i <= 16 ? kNames[i - 1] : "?";
}

std::string BrushText(const Brush& b) {
  return b.style == BrushStyle::kNull ? "null" : "solid " + ColorText(b.color);
}

std::string FontText(const Font& f) {
  std::string out = Quoted(f.face) + " " + std::to_string(f.height) + " w" + std::to_string(f.weight);
  if (f.italic) out += " italic";
  if (f.underline) out += " underline";
  if (f.strike_out) out += " strikeout";
  if (f.width) out += " width " + std::to_string(f.width);
  if (f.escapement) out += " esc " + std::to_string(f.escapement);
  return out;
}

struct Printer {
  std::string operator()(const rec::SetMapMode& r) const {
    return std::string("SetMapMode ") + MapModeName(r.mode);
  }
  std::string operator()(const rec::SetWindowOrg& r) const { return "SetWindowOrg " + PointText(r.origin); }
  std::string operator()(const rec::SetWindowExt& r) const { return "SetWindowExt " + SizeText(r.extent); }
  std::string operator()(const rec::SetViewportOrg& r) const {
    return "SetViewportOrg " + PointText(r.origin);
  }
  std::string operator()(const rec::SetViewportExt& r) const {
    return "SetViewportExt " + SizeText(r.extent);
  }
  std::string operator()(const rec::SelectPen& r) const {
    return std::string("SelectPen ") + PenStyleName(r.pen.style) + " " + std::to_string(r.pen.width) + " " +
           ColorText(r.pen.color);
  }
  std::string operator()(const rec::SelectBrush& r) const { return "SelectBrush " + BrushText(r.brush); }
  std::string operator()(const rec::SelectFont& r) const { return "SelectFont " + FontText(r.font); }
  std::string operator()(const rec::SetTextColor& r) const { return "SetTextColor " + ColorText(r.color); }
  std::string operator()(const rec::SetBkColor& r) const { return "SetBkColor " + ColorText(r.color); }
  std::string operator()(const rec::SetBkMode& r) const {
    return std::string("SetBkMode ") + (r.mode == BkMode::kTransparent ? "transparent" : "opaque");
  }
  std::string operator()(const rec::SetRop2& r) const { return std::string("SetROP2 ") + Rop2Name(r.rop); }
  std::string operator()(const rec::SetTextAlign& r) const { return "SetTextAlign " + Hex(r.align, 2); }
  std::string operator()(const rec::SaveDC&) const { return "SaveDC"; }
  std::string operator()(const rec::RestoreDC& r) const { return "RestoreDC " + std::to_string(r.level); }
  std::string operator()(const rec::IntersectClipRect& r) const {
    return "IntersectClipRect " + RectText(r.rect);
  }
  std::string operator()(const rec::SelectClipRect& r) const {
    return "SelectClipRect " + (r.rect ? RectText(*r.rect) : std::string("none"));
  }
  std::string operator()(const rec::MoveTo& r) const { return "MoveTo " + PointText(r.to); }
  std::string operator()(const rec::LineTo& r) const { return "LineTo " + PointText(r.to); }
  std::string operator()(const rec::Polyline& r) const { return "Polyline" + Points(r.points); }
  std::string operator()(const rec::PolylineTo& r) const { return "PolylineTo" + Points(r.points); }
  std::string operator()(const rec::Polygon& r) const { return "Polygon" + Points(r.points); }
  std::string operator()(const rec::Rectangle& r) const { return "Rectangle " + RectText(r.rect); }
  std::string operator()(const rec::Ellipse& r) const { return "Ellipse " + RectText(r.rect); }
  std::string operator()(const rec::FillRect& r) const {
    return "FillRect " + RectText(r.rect) + " " + BrushText(r.brush);
  }
  std::string operator()(const rec::FrameRect& r) const {
    return "FrameRect " + RectText(r.rect) + " " + BrushText(r.brush);
  }
  std::string operator()(const rec::InvertRect& r) const { return "InvertRect " + RectText(r.rect); }
  std::string operator()(const rec::DrawFocusRect& r) const { return "DrawFocusRect " + RectText(r.rect); }
  std::string operator()(const rec::SetPixel& r) const {
    return "SetPixel " + PointText(r.at) + " " + ColorText(r.color);
  }
  std::string operator()(const rec::Text& r) const {
    std::string out = r.from_draw_text ? "DrawText " + RectText(r.draw_rect) + " " + Hex(r.draw_format, 2) +
                                             " " + Quoted(r.text) + " at " + PointText(r.at)
                                       : "TextOut " + PointText(r.at) + " " + Quoted(r.text);
    out += " [" + RectText(r.bounds) + "]";
    if (r.clip) out += " clip " + RectText(*r.clip);
    return out;
  }
  std::string operator()(const rec::PatBlt& r) const {
    return "PatBlt " + RectText(r.dest) + " rop " + RopText(r.rop);
  }
  std::string operator()(const rec::BitBlt& r) const {
    std::string out = "BitBlt " + RectText(r.dest);
    if (r.source) {
      out += " <- " + RectText(r.source_rect) + " of " + std::to_string(r.source->size.cx) + "x" +
             std::to_string(r.source->size.cy);
    }
    return out + " rop " + RopText(r.rop);
  }
  std::string operator()(const rec::DrawBitmap& r) const {
    std::string out = "DrawBitmap " + RectText(r.dest) + " <- " + RectText(r.source_rect);
    if (r.bitmap)
      out += " of " + std::to_string(r.bitmap->Width()) + "x" + std::to_string(r.bitmap->Height());
    return out + " rop " + RopText(r.rop);
  }
  std::string operator()(const rec::Comment& r) const { return "Comment " + Quoted(r.text); }
};

}  // namespace

std::string ToString(const DisplayItem& item) { return std::visit(Printer{}, item); }

std::vector<std::string> ToLines(const DisplayList& list) {
  std::vector<std::string> lines;
  lines.reserve(list.size());
  for (const DisplayItem& item : list) lines.push_back(ToString(item));
  return lines;
}

}  // namespace gfx
