#include "reports/parts/print_grids.h"

#include <algorithm>

#include "gfx/canvas.h"
#include "reports/emf_markers.h"

namespace {

constexpr int kMillimetre = 100;
constexpr int kTick = 10;  // 0.1 mm
constexpr int kDotPitch = 50;

// A tick of 0.1 mm to the right of (x, y).
void HorizontalTick(gfx::Canvas& dc, int x, int y) {
  dc.MoveTo(x, y);
  dc.LineTo(x + kTick, y);
}

// A tick of 0.1 mm below (x, y) in page coordinates.
void VerticalTick(gfx::Canvas& dc, int x, int y) {
  dc.MoveTo(x, y);
  dc.LineTo(x, y - kTick);
}

}  // namespace

TPrintECGGrid::TPrintECGGrid(int left, int top, int right, int bottom, int no_small_grid)
    : left_(left), top_(top), right_(right), bottom_(bottom), no_small_grid_(no_small_grid) {}

void TPrintECGGrid::Draw(gfx::Canvas& dc, win::CPrintInfo&) {
  if (IsPdfExport()) {
    WriteMMGridMarker(dc, left_, top_, right_, bottom_);
    return;
  }
  const gfx::Pen previous = dc.SelectPen(light_grey_pen_);
  const gfx::Point frame[] = {
      {left_, top_}, {right_, top_}, {right_, bottom_}, {left_, bottom_}, {left_, top_}};
  dc.Polyline(frame);
  for (int x = left_ + 10 * kMillimetre; x < right_; x += 10 * kMillimetre) {
    dc.MoveTo(x, top_);
    dc.LineTo(x, bottom_);
  }
  for (int y = top_ - 10 * kMillimetre; y > bottom_; y -= 10 * kMillimetre) {
    dc.MoveTo(left_, y);
    dc.LineTo(right_, y);
  }

  if (no_small_grid_ == 0) {
    dc.SelectPen(grey_pen_);
    for (int row = 1; top_ - row * kMillimetre > bottom_; ++row) {
      if (row % 5 == 0) continue;
      const int y = top_ - row * kMillimetre;
      for (int column = 1; left_ + column * kMillimetre < right_; ++column)
        if (column % 5 != 0) VerticalTick(dc, left_ + column * kMillimetre, y);
    }
    dc.SelectPen(light_grey_pen_);
  }

  // Dotted lines halfway between the 10 mm lines.
  for (int y = top_ - 5 * kMillimetre; y > bottom_; y -= 10 * kMillimetre)
    for (int x = left_ + kDotPitch; x < right_; x += kDotPitch) HorizontalTick(dc, x, y);
  for (int x = left_ + 5 * kMillimetre; x < right_; x += 10 * kMillimetre)
    for (int y = top_ - kDotPitch; y > bottom_; y -= kDotPitch) VerticalTick(dc, x, y);
  dc.SelectPen(previous);
}

TPrintDotGrid::TPrintDotGrid(int left, int top, int right, int bottom)
    : left_(left), top_(top), right_(right), bottom_(bottom) {}

void TPrintDotGrid::Draw(gfx::Canvas& dc, win::CPrintInfo&) {
  if (IsPdfExport()) {
    WriteBGGridMarker(dc, left_, top_, right_, bottom_);
    return;
  }
  const gfx::Pen previous = dc.SelectPen(light_grey_pen_);
  const int left = std::min(left_, right_);
  const int right = std::max(left_, right_);
  const int top = std::max(top_, bottom_);
  const int bottom = std::min(top_, bottom_);
  for (int y = top - kDotPitch; y > bottom; y -= kDotPitch)
    for (int x = left + kDotPitch; x < right; x += kDotPitch) HorizontalTick(dc, x, y);
  dc.SelectPen(previous);
}
