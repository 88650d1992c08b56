#include "core/tool_glyphs.h"

#include <array>

#include "gfx/canvas.h"
#include "win/control_drawing.h"
#include "win/system_metrics.h"

namespace {

using gfx::Point;
using gfx::Rect;
using gfx::Rgb;

struct Ink {
  gfx::Color line;
  gfx::Color fill;
};

void Box(gfx::Canvas& canvas, const Rect& r, const Ink& ink) {
  const gfx::Pen old_pen = canvas.SelectPen({gfx::PenStyle::kSolid, 0, ink.line});
  const gfx::Brush old_brush = canvas.SelectBrush({gfx::BrushStyle::kSolid, ink.fill});
  canvas.Rectangle(r);
  canvas.SelectBrush(old_brush);
  canvas.SelectPen(old_pen);
}

void Poly(gfx::Canvas& canvas, std::span<const Point> points, const Ink& ink) {
  const gfx::Pen old_pen = canvas.SelectPen({gfx::PenStyle::kSolid, 0, ink.line});
  const gfx::Brush old_brush = canvas.SelectBrush({gfx::BrushStyle::kSolid, ink.fill});
  canvas.Polygon(points);
  canvas.SelectBrush(old_brush);
  canvas.SelectPen(old_pen);
}

void Line(gfx::Canvas& canvas, std::span<const Point> points, gfx::Color color) {
  const gfx::Pen old_pen = canvas.SelectPen({gfx::PenStyle::kSolid, 0, color});
  canvas.Polyline(points);
  canvas.SelectPen(old_pen);
}

// A small ECG complex across the box, the program's sign for everything about a recording.
void Trace(gfx::Canvas& canvas, int x, int y, gfx::Color color) {
  const std::array<Point, 7> trace = {{{x, y}, {x + 3, y}, {x + 4, y - 5}, {x + 5, y + 3}, {x + 6, y},
                                      {x + 10, y}, {x + 11, y}}};
  Line(canvas, trace, color);
}

}  // namespace

void DrawEdge3d(gfx::Canvas& canvas, const gfx::Rect& r, bool sunken) { win::DrawEdge3d(canvas, r, sunken); }

void DrawToolGlyph(gfx::Canvas& canvas, ToolGlyph glyph, const gfx::Rect& box, bool enabled) {
  const gfx::Color grey = win::GetSysColor(win::SysColor::kGrayText);
  const gfx::Color outline = enabled ? Rgb(40, 40, 40) : grey;
  const auto tint = [&](gfx::Color color) { return enabled ? color : win::GetSysColor(win::SysColor::kBtnFace); };
  const int x = box.left + (box.Width() - 16) / 2;
  const int y = box.top + (box.Height() - 16) / 2;
  switch (glyph) {
    case ToolGlyph::kNone:
      return;
    case ToolGlyph::kOpen: {
      Box(canvas, {x + 1, y + 4, x + 13, y + 14}, {outline, tint(Rgb(240, 200, 80))});
      const std::array<Point, 4> flap = {{{x + 3, y + 7}, {x + 15, y + 7}, {x + 13, y + 14}, {x + 1, y + 14}}};
      Poly(canvas, flap, {outline, tint(Rgb(250, 225, 130))});
      return;
    }
    case ToolGlyph::kSave:
      Box(canvas, {x + 1, y + 1, x + 15, y + 15}, {outline, tint(Rgb(60, 90, 170))});
      Box(canvas, {x + 4, y + 1, x + 12, y + 7}, {outline, tint(Rgb(255, 255, 255))});
      Box(canvas, {x + 4, y + 10, x + 12, y + 15}, {outline, tint(Rgb(200, 200, 200))});
      return;
    case ToolGlyph::kRecorder:
      Box(canvas, {x + 3, y + 1, x + 13, y + 15}, {outline, tint(Rgb(90, 90, 90))});
      Box(canvas, {x + 5, y + 3, x + 11, y + 8}, {outline, tint(Rgb(170, 230, 170))});
      canvas.FillSolidRect({x + 7, y + 11, x + 9, y + 13}, enabled ? Rgb(220, 40, 40) : grey);
      return;
    case ToolGlyph::kAnalysis: {
      Box(canvas, {x, y + 2, x + 16, y + 14}, {outline, tint(Rgb(255, 255, 255))});
      Trace(canvas, x + 2, y + 9, enabled ? Rgb(200, 0, 0) : grey);
      return;
    }
    case ToolGlyph::kPrint:
      Box(canvas, {x + 4, y + 1, x + 12, y + 7}, {outline, tint(Rgb(255, 255, 255))});
      Box(canvas, {x + 1, y + 6, x + 15, y + 12}, {outline, tint(Rgb(190, 190, 190))});
      Box(canvas, {x + 4, y + 10, x + 12, y + 15}, {outline, tint(Rgb(255, 255, 255))});
      return;
    case ToolGlyph::kMail: {
      Box(canvas, {x + 1, y + 3, x + 15, y + 13}, {outline, tint(Rgb(255, 250, 230))});
      const std::array<Point, 3> fold = {{{x + 1, y + 3}, {x + 8, y + 9}, {x + 15, y + 3}}};
      Line(canvas, fold, outline);
      return;
    }
    case ToolGlyph::kAbout: {
      const gfx::Pen old_pen = canvas.SelectPen({gfx::PenStyle::kSolid, 0, outline});
      const gfx::Brush old_brush = canvas.SelectBrush({gfx::BrushStyle::kSolid, tint(Rgb(70, 130, 210))});
      canvas.Ellipse({x + 1, y + 1, x + 15, y + 15});
      canvas.SelectBrush(old_brush);
      canvas.SelectPen(old_pen);
      canvas.FillSolidRect({x + 7, y + 4, x + 9, y + 6}, enabled ? Rgb(255, 255, 255) : grey);
      canvas.FillSolidRect({x + 7, y + 7, x + 9, y + 12}, enabled ? Rgb(255, 255, 255) : grey);
      return;
    }
    case ToolGlyph::kPdf:
      Box(canvas, {x + 3, y + 1, x + 13, y + 15}, {outline, tint(Rgb(255, 255, 255))});
      canvas.FillSolidRect({x + 3, y + 9, x + 13, y + 13}, enabled ? Rgb(200, 30, 30) : grey);
      return;
    case ToolGlyph::kQrs:
      Box(canvas, {x + 3, y + 1, x + 13, y + 15}, {outline, tint(Rgb(255, 255, 255))});
      Trace(canvas, x + 3, y + 9, enabled ? Rgb(200, 0, 0) : grey);
      return;
    case ToolGlyph::kGdtTake:
    case ToolGlyph::kGdtSend: {
      // A card of the practice software with an arrow into it (take) or out of it (send).
      Box(canvas, {x + 1, y + 3, x + 11, y + 15}, {outline, tint(Rgb(255, 255, 255))});
      const bool take = glyph == ToolGlyph::kGdtTake;
      const int tip = take ? x + 9 : x + 15;
      const int dir = take ? -1 : 1;
      const std::array<Point, 3> head = {{{tip, y + 5}, {tip - 3 * dir, y + 2}, {tip - 3 * dir, y + 8}}};
      Poly(canvas, head, {outline, tint(Rgb(40, 150, 60))});
      const std::array<Point, 2> shaft = {{{tip - 3 * dir, y + 5}, {tip - 8 * dir, y + 5}}};
      Line(canvas, shaft, enabled ? Rgb(40, 150, 60) : grey);
      return;
    }
    case ToolGlyph::kPagePrevious:
    case ToolGlyph::kPageNext: {
      const bool next = glyph == ToolGlyph::kPageNext;
      const std::array<Point, 3> arrow =
          next ? std::array<Point, 3>{{{x + 4, y + 2}, {x + 12, y + 8}, {x + 4, y + 14}}}
               : std::array<Point, 3>{{{x + 12, y + 2}, {x + 4, y + 8}, {x + 12, y + 14}}};
      Poly(canvas, arrow, {outline, tint(Rgb(70, 130, 210))});
      return;
    }
  }
}
