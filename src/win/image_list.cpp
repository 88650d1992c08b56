#include "win/image_list.h"

#include "gfx/canvas.h"

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
  if (!blend) {
    canvas.DrawBitmap(dest, *image, source);
    return true;
  }
  gfx::Bitmap mixed(image->Width(), image->Height());
  for (int y = 0; y < image->Height(); ++y) {
    for (int x = 0; x < image->Width(); ++x) {
      const gfx::Color c = image->GetPixel(x, y);
      mixed.SetPixel(x, y,
                     gfx::Rgb(static_cast<uint8_t>((gfx::RedOf(c) + gfx::RedOf(blend_color)) / 2),
                              static_cast<uint8_t>((gfx::GreenOf(c) + gfx::GreenOf(blend_color)) / 2),
                              static_cast<uint8_t>((gfx::BlueOf(c) + gfx::BlueOf(blend_color)) / 2)));
    }
  }
  canvas.DrawBitmap(dest, mixed, source);
  return true;
}

}  // namespace win
