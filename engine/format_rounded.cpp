#include "engine/format_rounded.h"

#include <cmath>

#include "common/numbers.h"

namespace korvo {

static_assert(kFormatRoundedBufferSize >= kNumberTextBufferSize);

namespace {

// Powers of ten that are exact in a double (10^0 .. 10^22), the same values std::pow gives.
constexpr int kMaxExactPower = 22;
constexpr double kPowersOfTen[kMaxExactPower + 1] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

double PowerOfTen(int decimals) {
  if (decimals >= 0 && decimals <= kMaxExactPower) return kPowersOfTen[decimals];
  return std::pow(10.0, decimals);
}

// Rounds a scaled value to a whole number, half away from zero, in the two-truncation form
// the results have always been printed with: the integer part, moved one step away from zero
// when adding (subtracting) one half changes it.
double RoundScaledHalfAwayFromZero(double scaled) {
  const double whole = std::trunc(scaled);
  if (scaled > 0) return std::trunc(scaled + 0.5) != whole ? whole + 1.0 : whole;
  return std::trunc(scaled - 0.5) != whole ? whole - 1.0 : whole;
}

}  // namespace

std::size_t FormatRoundedInto(char* buffer, double value, int decimals) {
  if (value == 0.0) {
    buffer[0] = '0';
    return 1;
  }
  const double scale = PowerOfTen(decimals);
  const double wholeUnits = RoundScaledHalfAwayFromZero(scale * value);
  if (wholeUnits == 0.0) {  // a value that only rounds to zero keeps the blank
    buffer[0] = ' ';
    buffer[1] = '0';
    return 2;
  }
  return ScaledIntegerText(buffer, wholeUnits, decimals);
}

std::string FormatRounded(double value, int decimals) {
  char buffer[kFormatRoundedBufferSize];
  return std::string(buffer, FormatRoundedInto(buffer, value, decimals));
}

}  // namespace korvo
