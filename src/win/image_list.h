#pragma once

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
  gfx::Size ImageSize() const { return size_; }
  // Returns the new image's index.
  int Add(gfx::Bitmap image);
  int Count() const { return static_cast<int>(images_.size()); }
  // nullptr outside the list.
  const gfx::Bitmap* Image(int index) const;
  // Draws image index with its top-left corner at at; blend mixes every pixel half and half with
  // blend_color (how a selected item's icon shows). False when the index is outside the list.
  bool Draw(gfx::Canvas& canvas, int index, gfx::Point at, bool blend = false, gfx::Color blend_color = 0) const;

 private:
  gfx::Size size_;
  std::vector<gfx::Bitmap> images_;
};

}  // namespace win
