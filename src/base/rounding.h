// Rounding that means the same in every build. The static MinGW runtime's round() gives 1 for
// the largest double below 0.5 (glibc gives 0), so a stored or shown value could differ
// between lumetta.exe and the tests; this helper is exact.
#pragma once

namespace lumetta {

// Half away from zero: 2.5 gives 3, -0.5 gives -1, 0.49999999999999994 gives 0.
[[nodiscard]] double RoundHalfAway(double value);
// `value` rounded to `decimals` places (half away from zero), for printing with "%.*f".
[[nodiscard]] double RoundToDecimals(double value, int decimals);

}  // namespace lumetta
