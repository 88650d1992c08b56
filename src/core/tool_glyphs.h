#pragma once

#include "core/core_resources.h"
#include "gfx/geometry.h"

namespace gfx {
class Canvas;
}

// Draws the picture of a toolbar button or menu entry into box (16 x 16 pixels look best),
// greyed when disabled. The program's own images: simple line drawings, no bitmap files.
void DrawToolGlyph(gfx::Canvas& canvas, ToolGlyph glyph, const gfx::Rect& box, bool enabled);

// A raised (or, pressed, sunken) 3-D frame of one pixel around rect.
void DrawEdge3d(gfx::Canvas& canvas, const gfx::Rect& rect, bool sunken);
