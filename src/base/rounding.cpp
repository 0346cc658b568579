#include "base/rounding.h"

#include <cmath>

namespace lumetta {

double RoundHalfAway(double value) {
  // From 2^52 on every double is a whole number (and NaN and infinities stay as they are).
  constexpr double kAllWhole = 4503599627370496.0;
  if (!(std::fabs(value) < kAllWhole)) {
    return value;
  }
  const double whole = std::trunc(value);
  const double rest = value - whole;  // exact (Sterbenz): whole is within a factor 2 of value
  if (rest >= 0.5) {
    return whole + 1;
  }
  if (rest <= -0.5) {
    return whole - 1;
  }
  return whole;
}

double RoundToDecimals(double value, int decimals) {
  double scale = 1;
  for (int i = 0; i < decimals; ++i) {
    scale *= 10;
  }
  const double scaled = value * scale;
  if (!std::isfinite(scaled)) {
    return value;
  }
  return RoundHalfAway(scaled) / scale;
}

}  // namespace lumetta
