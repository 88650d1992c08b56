#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "gfx/geometry.h"

namespace gfx {
class Canvas;
}

// Page markers: comments that a page recorded for the PDF export carries in place of what the
// converter draws itself (the ECG paper grids) or needs to know (the bookmark title, the screen
// resolution of text drawn at screen scale). Rectangles are in the page's logical units.

void WriteEmfMarker(gfx::Canvas& dc, std::string_view text);
// "MMGRID,l,t,r,b": the millimetre paper grid over the rectangle.
void WriteMMGridMarker(gfx::Canvas& dc, int32_t left, int32_t top, int32_t right, int32_t bottom);
// "BGGRID,l,t,r,b": the fine background dot raster over the rectangle.
void WriteBGGridMarker(gfx::Canvas& dc, int32_t left, int32_t top, int32_t right, int32_t bottom);
// "PAGETITLE,text": the bookmark title of the page.
void WritePageTitleMarker(gfx::Canvas& dc, std::string_view title);
// "SCREENDPI,d": text and fonts that follow were drawn at screen scale with d dots per inch.
void WriteScreenDpiMarker(gfx::Canvas& dc, int32_t dpi);

enum class EmfMarkerKind { kMMGrid, kBGGrid, kPageTitle, kScreenDpi };

struct EmfMarker {
  EmfMarkerKind kind = EmfMarkerKind::kMMGrid;
  gfx::Rect rect;     // grids: as written, not normalised
  std::string title;  // page title: everything after the first comma
  int32_t dpi = 0;    // screen resolution; 0 when the marker gives none
};

// The marker a comment carries; none for any other comment, an empty one or one longer than 255
// characters, and for a grid with fewer than four numbers (numbers beyond the fourth are ignored).
std::optional<EmfMarker> ParseEmfMarker(std::string_view comment);
