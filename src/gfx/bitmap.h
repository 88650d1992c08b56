#pragma once

#include <cstdint>
#include <vector>

#include "gfx/geometry.h"

namespace gfx {

// A picture in memory, independent of any device: width x height pixels, rows top-down, one
// 0x00BBGGRR colour per pixel. What a device-independent bitmap becomes before it is drawn.
// A plain value; no thread restrictions.
class Bitmap {
 public:
  Bitmap() = default;
  // Every pixel starts as fill. Negative sizes count as 0.
  Bitmap(int32_t width, int32_t height, Color fill = 0);

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool IsEmpty() const { return width_ == 0 || height_ == 0; }

  // kInvalidColor outside the picture.
  Color GetPixel(int32_t x, int32_t y) const;
  // Ignored outside the picture.
  void SetPixel(int32_t x, int32_t y, Color color);

  const std::vector<Color>& Pixels() const { return pixels_; }

  friend bool operator==(const Bitmap&, const Bitmap&) = default;

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<Color> pixels_;
};

}  // namespace gfx
