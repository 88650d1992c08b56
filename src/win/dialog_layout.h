#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "win/dialog_template.h"

namespace win {

// One control of a dialog without its text: the geometry that every language shares. Dialog units.
struct ControlLayout {
  int id;
  ControlKind kind;
  int x;
  int y;
  int cx;
  int cy;
  uint32_t style = 0;
  uint32_t flags = 0;
};

// A dialog's frame without its caption. Dialog units.
struct DialogLayout {
  int id;
  int cx;
  int cy;
  bool child = false;
};

// The controls of a layout with one language's texts, given in the layout's order. Built at
// compile time, so the result can back a DialogTemplate that a registry points to; a text list
// that does not match the layout's length does not compile.
template <size_t N, size_t M>
constexpr std::array<ControlTemplate, N> LocalizeControls(const ControlLayout (&layout)[N],
                                                          const char* const (&texts)[M]) {
  static_assert(N == M, "one text per control of the layout");
  std::array<ControlTemplate, N> controls{};
  for (size_t i = 0; i < N; ++i) {
    const ControlLayout& c = layout[i];
    controls[i] = ControlTemplate{c.id, c.kind, texts[i], c.x, c.y, c.cx, c.cy, c.style, c.flags};
  }
  return controls;
}

// A dialog template of one language from the shared frame, that language's caption and its
// localised controls (which must outlive the template: static data).
constexpr DialogTemplate LocalizeDialog(const DialogLayout& layout, const char* caption,
                                        std::span<const ControlTemplate> controls) {
  return DialogTemplate{layout.id, caption, layout.cx, layout.cy, controls, layout.child};
}

}  // namespace win
