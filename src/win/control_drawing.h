#pragma once

#include <cstdint>
#include <string_view>

#include "gfx/drawing_types.h"
#include "gfx/geometry.h"

namespace gfx {
class Canvas;
}

// The small pieces the window system's own controls are drawn from, in the system colours.
namespace win {

class Window;

// A one-pixel frame: top and left edges in one colour, right and bottom in the other.
void Draw3dFrame(gfx::Canvas& canvas, const gfx::Rect& r, gfx::Color top_left, gfx::Color bottom_right);
// A raised (or, pressed, sunken) 3-D frame of one pixel around rect, drawn as two lines.
void DrawEdge3d(gfx::Canvas& canvas, const gfx::Rect& rect, bool sunken);
// A field filled with fill inside a sunken frame.
void DrawSunken(gfx::Canvas& canvas, const gfx::Rect& r, gfx::Color fill);
// A button face, raised, or pushed in.
void DrawButtonFace(gfx::Canvas& canvas, const gfx::Rect& r, bool pushed);
// A filled triangle pointing up, down, left or right, centred in box.
enum class ArrowDirection { kUp, kDown, kLeft, kRight };
void DrawArrowGlyph(gfx::Canvas& canvas, const gfx::Rect& box, ArrowDirection direction, gfx::Color color);
// Writes text with the window's font, transparent, in the colour given; the canvas state stays.
void WriteText(gfx::Canvas& canvas, const Window& window, std::string_view text, gfx::Rect rect,
               uint32_t format, gfx::Color color);

}  // namespace win
