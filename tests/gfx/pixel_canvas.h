#pragma once

#include <memory>

#include "gfx/bitmap.h"
#include "gfx/canvas.h"
#include "gfx/raster_ops.h"

namespace gfx::testing_support {

// A canvas on a plain bitmap that rasters what the base canvas hands down as pixels, fills and
// copies, so that the pixel rules of the base (end pixels, rectangle edges, styles, ROP2, raster
// operations, clipping) can be checked without a display. Wide lines, ellipses, polygons and text
// are not rastered.
class PixelCanvas : public Canvas {
 public:
  PixelCanvas(int32_t width, int32_t height, Color fill = 0xFFFFFF)
      : Canvas(Info(width, height)), bitmap_(width, height, fill) {}

  const Bitmap& Pixels() const { return bitmap_; }
  Bitmap& Pixels() { return bitmap_; }

  std::unique_ptr<Canvas> CreateCompatible(int32_t width, int32_t height) const override {
    return std::make_unique<PixelCanvas>(width, height, 0);
  }

 protected:
  void PlotPixels(std::span<const Point> pixels, Color color, Rop2 rop) override {
    for (const Point& p : pixels)
      bitmap_.SetPixel(p.x, p.y, ApplyRop2(rop, color, bitmap_.GetPixel(p.x, p.y)));
  }
  void FillPixels(const Rect& d, Color color, Rop2 rop) override {
    for (int32_t y = d.top; y < d.bottom; ++y)
      for (int32_t x = d.left; x < d.right; ++x)
        bitmap_.SetPixel(x, y, ApplyRop2(rop, color, bitmap_.GetPixel(x, y)));
  }
  Color GetPixelDevice(Point p) const override { return bitmap_.GetPixel(p.x, p.y); }
  void BlitDevice(const Rect& dest, const Canvas* source, const Rect& src, bool mirror_x, bool mirror_y,
                  uint32_t rop, Color brush) override {
    const auto* from = dynamic_cast<const PixelCanvas*>(source);
    const Bitmap copy = from ? from->bitmap_ : Bitmap();
    const Rect clip = DeviceClip();
    for (int32_t y = dest.top; y < dest.bottom; ++y) {
      for (int32_t x = dest.left; x < dest.right; ++x) {
        if (!clip.Contains({x, y})) continue;
        Color s = 0;
        if (from) {
          int32_t fx = (x - dest.left) * src.Width() / dest.Width();
          int32_t fy = (y - dest.top) * src.Height() / dest.Height();
          if (mirror_x) fx = src.Width() - 1 - fx;
          if (mirror_y) fy = src.Height() - 1 - fy;
          s = copy.GetPixel(src.left + fx, src.top + fy);
        }
        bitmap_.SetPixel(x, y, ApplyRop3(rop, brush, s, bitmap_.GetPixel(x, y)));
      }
    }
  }

 private:
  static DeviceInfo Info(int32_t width, int32_t height) {
    DeviceInfo info;
    info.width_px = width;
    info.height_px = height;
    return info;
  }

  Bitmap bitmap_;
};

}  // namespace gfx::testing_support
