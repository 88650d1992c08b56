#pragma once

#include <cstdint>

#include "gfx/drawing_types.h"

namespace gfx {

// The mixes work bit by bit, so they give the same result for any channel order; only the low
// 24 bits (the colour) are meaningful and the top byte of the result is 0.

// ROP2 mix of pen colour and destination pixel.
constexpr uint32_t ApplyRop2(Rop2 rop, uint32_t pen, uint32_t dest) {
  // The code minus one is a truth table over (pen, dest): bit (2 x pen + dest) set gives 1.
  const uint32_t table = static_cast<uint32_t>(rop) - 1;
  uint32_t out = 0;
  if (table & 1) out |= ~pen & ~dest;
  if (table & 2) out |= ~pen & dest;
  if (table & 4) out |= pen & ~dest;
  if (table & 8) out |= pen & dest;
  return out & 0xFFFFFF;
}

// Ternary raster operation of a block transfer on pattern, source and destination.
constexpr uint32_t ApplyRop3(uint32_t rop, uint32_t pattern, uint32_t source, uint32_t dest) {
  const uint32_t table = (rop >> 16) & 0xFF;
  uint32_t out = 0;
  for (uint32_t i = 0; i < 8; ++i) {
    if (!(table & (1u << i))) continue;
    out |= ((i & 4) ? pattern : ~pattern) & ((i & 2) ? source : ~source) & ((i & 1) ? dest : ~dest);
  }
  return out & 0xFFFFFF;
}

}  // namespace gfx
