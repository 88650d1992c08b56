#include "dialogs/round_to_decimals.h"

#include <cmath>
#include <limits>

double RoundToDecimals(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  const double scaled = value * scale + 0.5;
  // The conversion to int of a value it cannot hold is undefined; such values are left as they are.
  if (!std::isfinite(scaled) || scaled >= static_cast<double>(std::numeric_limits<int>::max()) + 1.0 ||
      scaled <= static_cast<double>(std::numeric_limits<int>::min()) - 1.0) {
    return value;
  }
  return static_cast<int>(scaled) / scale;
}
