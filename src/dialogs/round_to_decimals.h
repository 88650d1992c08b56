#pragma once

// Cuts a value to decimals places as the HRV charts and the HRV print part show it:
// (int)(value x 10^decimals + 0.5) / 10^decimals, the conversion truncating toward zero, so
// negative values round toward zero (-1.7 with 0 decimals gives -1). A result outside the int
// range is the value itself, unrounded.
double RoundToDecimals(double value, int decimals);
