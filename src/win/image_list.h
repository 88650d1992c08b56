#pragma once

#include <optional>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/geometry.h"

namespace gfx {
class Canvas;
}

namespace win {

// Small pictures of one size, drawn by index (list-view icons, state images, toolbar buttons).
// A plain value; user-interface thread only when drawn.
class ImageList {
 public:
  ImageList(int width, int height) : size_{width, height} {}
  // A masked list: pixels of mask_color are background and leave what lies below them.
  ImageList(int width, int height, gfx::Color mask_color) : size_{width, height}, mask_color_(mask_color) {}
  gfx::Size ImageSize() const { return size_; }
  // Returns the new image's index.
  int Add(gfx::Bitmap image);
  int Count() const { return static_cast<int>(images_.size()); }
  // nullptr outside the list.
  const gfx::Bitmap* Image(int index) const;
  const std::optional<gfx::Color>& MaskColor() const { return mask_color_; }
  // Draws image index with its top-left corner at at; blend mixes every pixel half and half with
  // blend_color (how a selected item's icon shows). False when the index is outside the list.
  bool Draw(gfx::Canvas& canvas, int index, gfx::Point at, bool blend = false, gfx::Color blend_color = 0) const;

 private:
  gfx::Size size_;
  std::optional<gfx::Color> mask_color_;
  std::vector<gfx::Bitmap> images_;
};

}  // namespace win
