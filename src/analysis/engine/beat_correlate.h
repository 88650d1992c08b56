#pragma once

#include <cstdint>
#include <span>

// Signed squared Pearson correlation x 10000 (-10000..10000; 8100 is r = 0.9) of
// A[i + shift_a] and B[i + shift_b] over i = from .. to - 1, both shapes of 150 slots. A shift
// that would leave the shape is pulled back inside it. A flat window correlates to 0; the sign is
// that of Sxy - Sx * Sy / n (integer division), 0 counting as positive.
int32_t BeatEngineCorrelate(std::span<const int16_t, 150> a, std::span<const int16_t, 150> b,
                            int from, int to, int shift_b, int shift_a);
