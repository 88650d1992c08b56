#include "win/image_list.h"

#include "gfx/canvas.h"
#include "gfx/drawing_types.h"

namespace win {

int ImageList::Add(gfx::Bitmap image) {
  images_.push_back(std::move(image));
  return Count() - 1;
}

const gfx::Bitmap* ImageList::Image(int index) const {
  return index >= 0 && index < Count() ? &images_[static_cast<size_t>(index)] : nullptr;
}

bool ImageList::Draw(gfx::Canvas& canvas, int index, gfx::Point at, bool blend, gfx::Color blend_color) const {
  const gfx::Bitmap* image = Image(index);
  if (image == nullptr) return false;
  const gfx::Rect dest{at.x, at.y, at.x + size_.cx, at.y + size_.cy};
  const gfx::Rect source{0, 0, image->Width(), image->Height()};
  if (!blend && !mask_color_) {
    canvas.DrawBitmap(dest, *image, source);
    return true;
  }
  gfx::Bitmap shown = *image;
  // Where the mask is white the target stays; the picture is black there, so OR-ing it changes
  // nothing.
  gfx::Bitmap mask(image->Width(), image->Height(), gfx::Rgb(255, 255, 255));
  for (int y = 0; y < image->Height(); ++y) {
    for (int x = 0; x < image->Width(); ++x) {
      const gfx::Color c = image->GetPixel(x, y);
      if (mask_color_ && c == *mask_color_) {
        shown.SetPixel(x, y, gfx::Rgb(0, 0, 0));
        continue;
      }
      mask.SetPixel(x, y, gfx::Rgb(0, 0, 0));
      if (blend) {
        shown.SetPixel(x, y,
                       gfx::Rgb(static_cast<uint8_t>((gfx::RedOf(c) + gfx::RedOf(blend_color)) / 2),
                                static_cast<uint8_t>((gfx::GreenOf(c) + gfx::GreenOf(blend_color)) / 2),
                                static_cast<uint8_t>((gfx::BlueOf(c) + gfx::BlueOf(blend_color)) / 2)));
      }
    }
  }
  if (!mask_color_) {
    canvas.DrawBitmap(dest, shown, source);
    return true;
  }
  canvas.DrawBitmap(dest, mask, source, gfx::kSrcAnd);
  canvas.DrawBitmap(dest, shown, source, gfx::kSrcPaint);
  return true;
}

}  // namespace win
