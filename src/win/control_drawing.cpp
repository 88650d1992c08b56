#include "win/control_drawing.h"

#include <algorithm>

#include "gfx/canvas.h"
#include "win/system_metrics.h"
#include "win/window.h"

namespace win {

void Draw3dFrame(gfx::Canvas& canvas, const gfx::Rect& r, gfx::Color top_left, gfx::Color bottom_right) {
  canvas.FillSolidRect({r.left, r.top, r.right - 1, r.top + 1}, top_left);
  canvas.FillSolidRect({r.left, r.top, r.left + 1, r.bottom - 1}, top_left);
  canvas.FillSolidRect({r.right - 1, r.top, r.right, r.bottom}, bottom_right);
  canvas.FillSolidRect({r.left, r.bottom - 1, r.right, r.bottom}, bottom_right);
}

void DrawEdge3d(gfx::Canvas& canvas, const gfx::Rect& r, bool sunken) {
  const gfx::Color light = GetSysColor(SysColor::kBtnHighlight);
  const gfx::Color dark = GetSysColor(SysColor::kBtnShadow);
  const gfx::Point upper[] = {{r.left, r.bottom - 1}, {r.left, r.top}, {r.right - 1, r.top}};
  const gfx::Point lower[] = {{r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left - 1, r.bottom - 1}};
  const gfx::Pen old_pen = canvas.SelectPen({gfx::PenStyle::kSolid, 0, sunken ? dark : light});
  canvas.Polyline(upper);
  canvas.SelectPen(old_pen);
  canvas.SelectPen({gfx::PenStyle::kSolid, 0, sunken ? light : dark});
  canvas.Polyline(lower);
  canvas.SelectPen(old_pen);
}

void DrawSunken(gfx::Canvas& canvas, const gfx::Rect& r, gfx::Color fill) {
  canvas.FillSolidRect(r, fill);
  Draw3dFrame(canvas, r, GetSysColor(SysColor::kBtnShadow), GetSysColor(SysColor::kBtnHighlight));
}

void DrawButtonFace(gfx::Canvas& canvas, const gfx::Rect& r, bool pushed) {
  canvas.FillSolidRect(r, GetSysColor(SysColor::kBtnFace));
  if (pushed) {
    Draw3dFrame(canvas, r, GetSysColor(SysColor::kBtnShadow), GetSysColor(SysColor::kBtnShadow));
  } else {
    Draw3dFrame(canvas, r, GetSysColor(SysColor::kBtnHighlight), GetSysColor(SysColor::k3dDkShadow));
  }
}

void DrawArrowGlyph(gfx::Canvas& canvas, const gfx::Rect& box, ArrowDirection direction, gfx::Color color) {
  const int size = std::max(1, std::min(box.Width(), box.Height()) / 4);
  const int cx = (box.left + box.right) / 2;
  const int cy = (box.top + box.bottom) / 2;
  gfx::Point points[3];
  switch (direction) {
    case ArrowDirection::kUp:
      points[0] = {cx - size, cy + size / 2};
      points[1] = {cx + size, cy + size / 2};
      points[2] = {cx, cy - size / 2 - 1};
      break;
    case ArrowDirection::kDown:
      points[0] = {cx - size, cy - size / 2};
      points[1] = {cx + size, cy - size / 2};
      points[2] = {cx, cy + size / 2 + 1};
      break;
    case ArrowDirection::kLeft:
      points[0] = {cx + size / 2, cy - size};
      points[1] = {cx + size / 2, cy + size};
      points[2] = {cx - size / 2 - 1, cy};
      break;
    case ArrowDirection::kRight:
      points[0] = {cx - size / 2, cy - size};
      points[1] = {cx - size / 2, cy + size};
      points[2] = {cx + size / 2 + 1, cy};
      break;
  }
  const gfx::Pen old_pen = canvas.SelectPen({gfx::PenStyle::kNull, 0, 0});
  const gfx::Brush old_brush = canvas.SelectBrush({gfx::BrushStyle::kSolid, color});
  canvas.Polygon(points);
  canvas.SelectBrush(old_brush);
  canvas.SelectPen(old_pen);
}

void WriteText(gfx::Canvas& canvas, const Window& window, std::string_view text, gfx::Rect rect,
               uint32_t format, gfx::Color color) {
  const gfx::Font old_font = canvas.SelectFont(window.GetFont());
  const gfx::BkMode old_mode = canvas.SetBkMode(gfx::BkMode::kTransparent);
  const gfx::Color old_color = canvas.SetTextColor(color);
  canvas.DrawText(text, rect, format);
  canvas.SetTextColor(old_color);
  canvas.SetBkMode(old_mode);
  canvas.SelectFont(old_font);
}

}  // namespace win
