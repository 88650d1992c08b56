#pragma once

#include <optional>

#include "gfx/drawing_types.h"

// The numbered fonts of areas, windows and printed pages: six fixed presets (Select) and six
// that grow with a print scale (SelectScaled). Holds the font of the last selection; the pointer
// returned stays valid until the next selection or the object's end. Callers select a copy into
// their canvas and restore the previous font. User-interface thread only.
class CPresetFont {
 public:
  // Areas and windows pass 1, printed pages the document's print scale, envelopes 1.
  explicit CPresetFont(int scale = 1) : scale_(scale) {}

  // Kinds 0..5; nullptr (no font held) for any other kind.
  const gfx::Font* Select(int kind);
  // Kinds 6, 7, 8, 10, 11, 12: the base height divided by (20 - scale) / 10, truncated. weight 0
  // and 1 pick the kind's light and bold weights, any other value is the weight itself. nullptr
  // for any other kind, and for a scale that leaves no positive divisor.
  const gfx::Font* SelectScaled(int kind, int weight);

  int GetScale() const { return scale_; }
  // The font of the last selection; nullptr when it held none.
  const gfx::Font* GetFont() const { return font_ ? &*font_ : nullptr; }

 private:
  int scale_ = 1;
  std::optional<gfx::Font> font_;
};
