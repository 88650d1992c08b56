#pragma once

#include <algorithm>
#include <compare>
#include <cstdint>
#include <limits>

namespace gfx {

// A colour as 0x00BBGGRR: the layout of stored colour settings and of the program's colour tables.
using Color = uint32_t;

constexpr Color Rgb(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<Color>(red) | (static_cast<Color>(green) << 8) | (static_cast<Color>(blue) << 16);
}
constexpr uint8_t RedOf(Color c) { return static_cast<uint8_t>(c & 0xFF); }
constexpr uint8_t GreenOf(Color c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
constexpr uint8_t BlueOf(Color c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }

// What a pixel query answers where there is no pixel (outside the clip, or a canvas without pixels).
inline constexpr Color kInvalidColor = 0xFFFFFFFF;

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  friend auto operator<=>(const Point&, const Point&) = default;
};

struct Size {
  int32_t cx = 0;
  int32_t cy = 0;
  friend auto operator<=>(const Size&, const Size&) = default;
};

// Edges as given; right and bottom lie outside the rectangle (a 10 x 10 square is 0, 0, 10, 10).
// In a y-up mapping mode a rectangle's top is numerically greater than its bottom.
struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  // Saturating, so that no pair of edges overflows.
  constexpr int32_t Width() const { return Span(left, right); }
  constexpr int32_t Height() const { return Span(top, bottom); }
  // Empty unless right > left and bottom > top.
  constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
  constexpr bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  constexpr Rect Offset(int32_t dx, int32_t dy) const {
    return {left + dx, top + dy, right + dx, bottom + dy};
  }
  // Left <= right and top <= bottom.
  constexpr Rect Normalized() const {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
  }
  friend auto operator<=>(const Rect&, const Rect&) = default;

 private:
  static constexpr int32_t Span(int32_t from, int32_t to) {
    return static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(to) - from, INT32_MIN, INT32_MAX));
  }
};

// The common part; (0, 0, 0, 0) when the two do not overlap.
constexpr Rect Intersect(const Rect& a, const Rect& b) {
  const Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
  return r.IsEmpty() ? Rect{} : r;
}

// The smallest rectangle holding both; an empty one does not count.
constexpr Rect Union(const Rect& a, const Rect& b) {
  if (a.IsEmpty()) return b.IsEmpty() ? Rect{} : b;
  if (b.IsEmpty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

}  // namespace gfx
