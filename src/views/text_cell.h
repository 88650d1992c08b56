#pragma once

#include <string>
#include <utility>

#include "gfx/geometry.h"

// The cell of one RR interval in the beat-annotation row: its rectangle in the host window, the
// interval in ms (upper text) and the heart rate in beats per minute (lower text).
class CTextCell {
 public:
  CTextCell() = default;
  CTextCell(const gfx::Rect& rect, std::string upper, std::string lower)
      : rect(rect), upper(std::move(upper)), lower(std::move(lower)) {}

  friend bool operator==(const CTextCell&, const CTextCell&) = default;

  gfx::Rect rect;
  std::string upper;
  std::string lower;
};
