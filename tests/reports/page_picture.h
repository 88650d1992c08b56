#pragma once

#include <QImage>
#include <QRect>
#include <cmath>

#include "gfx/drawing_types.h"

namespace reporttest {

// An A4 sheet of dpi dots per inch, for drawing printed pages on an image.
inline gfx::DeviceInfo A4Page(int dpi) {
  gfx::DeviceInfo device;
  device.width_px = static_cast<int>(std::lround(210.0 / 25.4 * dpi));
  device.height_px = static_cast<int>(std::lround(297.0 / 25.4 * dpi));
  device.dpi_x = dpi;
  device.dpi_y = dpi;
  device.width_mm = 210;
  device.height_mm = 297;
  return device;
}

// Pixels darker than the grey level inside rect (clipped to the picture).
inline int DarkPixels(const QImage& image, const QRect& rect, int below = 96) {
  int n = 0;
  const QRect inside = rect.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y)
    for (int x = inside.left(); x <= inside.right(); ++x) n += qGray(image.pixel(x, y)) < below ? 1 : 0;
  return n;
}

inline int DarkPixels(const QImage& image) { return DarkPixels(image, image.rect()); }

}  // namespace reporttest
