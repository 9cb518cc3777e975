#include "engine/format_rounded.h"

#include <cmath>

#include "common/numbers.h"

namespace korvo {

namespace {

// Rounds a scaled value to a whole number, half away from zero, in the two-truncation form
// the results have always been printed with: the integer part, moved one step away from zero
// when adding (subtracting) one half changes it.
double RoundScaledHalfAwayFromZero(double scaled) {
  const double whole = std::trunc(scaled);
  if (scaled > 0) return std::trunc(scaled + 0.5) != whole ? whole + 1.0 : whole;
  return std::trunc(scaled - 0.5) != whole ? whole - 1.0 : whole;
}

}  // namespace

std::string FormatRounded(double value, int decimals) {
  if (value == 0.0) return "0";
  const double scale = std::pow(10.0, decimals);
  double rounded = RoundScaledHalfAwayFromZero(scale * value) / scale;
  if (rounded == 0.0) rounded = 0.0;  // -0 prints as " 0", like any value that rounds to zero
  return NumberText(rounded, /*leadingBlank=*/true);
}

}  // namespace korvo
