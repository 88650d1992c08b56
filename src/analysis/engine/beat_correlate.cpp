#include "analysis/engine/beat_correlate.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSlots = 150;

int ClampShift(int shift, int from, int to) {
  if (shift <= -from) shift = 1 - from;
  if (to + shift >= kSlots) shift = kSlots - 1 - to;
  return shift;
}

}  // namespace

int32_t BeatEngineCorrelate(std::span<const int16_t, 150> a, std::span<const int16_t, 150> b,
                            int from, int to, int shift_b, int shift_a) {
  if (to <= from) return 0;
  shift_a = ClampShift(shift_a, from, to);
  shift_b = ClampShift(shift_b, from, to);
  // Sums in 64 bits: 25 products of full-scale samples overflow 32 bits.
  int64_t n = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
  for (int i = from; i < to; ++i) {
    const int ia = i + shift_a;
    const int ib = i + shift_b;
    if (ia < 0 || ia >= kSlots || ib < 0 || ib >= kSlots) continue;
    const int64_t x = a[ia];
    const int64_t y = b[ib];
    ++n;
    sx += x;
    sy += y;
    sxx += x * x;
    syy += y * y;
    sxy += x * y;
  }
  if (n == 0) return 0;
  const int64_t vx = n * sxx - sx * sx;
  const int64_t vy = n * syy - sy * sy;
  if (vx <= 0 || vy <= 0) return 0;
  const double cov = static_cast<double>(n * sxy - sx * sy);
  // As two quotients, so that identical or negated shapes give exactly 1.
  const double r2 = (cov / static_cast<double>(vx)) * (cov / static_cast<double>(vy));
  const int32_t value = static_cast<int32_t>(std::trunc(std::min(r2, 1.0) * 10000.0));
  return sxy - sx * sy / n < 0 ? -value : value;
}
