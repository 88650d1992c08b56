#include "views/preset_font.h"

#include <cmath>
#include <limits>

namespace {

struct FixedPreset {
  int height;
  int weight;
};
constexpr FixedPreset kFixed[] = {{14, 400}, {14, 700}, {15, 400}, {15, 700}, {20, 700}, {48, 700}};

struct ScaledPreset {
  int kind;
  int base_height;
  int light_weight;
  int bold_weight;
};
constexpr ScaledPreset kScaled[] = {
    {6, 192, 300, 700}, {7, 288, 400, 1000}, {8, 348, 400, 1000},
    {10, 42, 300, 700}, {11, 72, 300, 700},  {12, 112, 300, 700},
};

// Arial, upright, proportional; the height is the cell height in logical units.
gfx::Font Arial(int height, int weight) {
  gfx::Font font;
  font.height = height;
  font.weight = weight;
  font.face = "Arial";
  return font;
}

}  // namespace

const gfx::Font* CPresetFont::Select(int kind) {
  font_.reset();
  if (kind < 0 || kind >= static_cast<int>(std::size(kFixed))) return nullptr;
  font_ = Arial(kFixed[kind].height, kFixed[kind].weight);
  return &*font_;
}

const gfx::Font* CPresetFont::SelectScaled(int kind, int weight) {
  font_.reset();
  for (const ScaledPreset& preset : kScaled) {
    if (preset.kind != kind) continue;
    // Scale 10 keeps the base height; smaller scales shrink it, larger ones grow it up to 19.
    const double divisor = (20 - scale_) * 0.1;
    if (!(divisor > 0)) return nullptr;
    const double height = std::trunc(preset.base_height / divisor);
    if (height > std::numeric_limits<int>::max()) return nullptr;
    const int chosen = weight == 0 ? preset.light_weight : weight == 1 ? preset.bold_weight : weight;
    font_ = Arial(static_cast<int>(height), chosen);
    return &*font_;
  }
  return nullptr;
}
