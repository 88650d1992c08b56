#pragma once

#include <cstdint>
#include <string>

// One mark of a drawn time axis. Position is in the drawing unit of the surface that holds the
// axis (pixels on screen, the page unit in print).
struct TTimeAxisMark {
  int32_t position = 0;
  int32_t labelled = 0;  // 1: a major mark with a label; 0: a minor mark
  std::string label;     // empty for minor marks

  bool operator==(const TTimeAxisMark&) const = default;
};
