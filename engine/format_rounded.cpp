#include "engine/format_rounded.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "common/numbers.h"

namespace korvo {

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

// Integers below this have at most 15 digits.
constexpr double kFifteenDigitLimit = 1e15;

// Writes the general numeric text of wholeUnits / 10^decimals from the digits of the
// integer and returns its length. It is the text NumberText gives for that quotient: a
// decimal of at most 15 significant digits is what the double nearest to it shows at 15
// digits, and the quotient of two exact doubles is that nearest double. Reports print
// millions of numbers; this spares each of them the C library's general formatting.
std::size_t WriteScaledInteger(char* out, double wholeUnits, int decimals) {
  char* const begin = out;
  std::uint64_t units = static_cast<std::uint64_t>(std::fabs(wholeUnits));
  char reversed[24];
  int count = 0;
  while (units > 0) {
    reversed[count++] = static_cast<char>('0' + units % 10);
    units /= 10;
  }
  // reversed[] holds the digits from the last to the first; trailing zeros are not written.
  int last = 0;
  while (last < count - 1 && reversed[last] == '0') ++last;
  const int significant = count - last;
  const int exponent = (count - 1) - decimals;  // decimal exponent of the leading digit
  auto digitAt = [&](int i) { return reversed[count - 1 - i]; };  // i-th significant digit

  *out++ = wholeUnits < 0 ? '-' : ' ';
  if (exponent < -4) {
    // Exponent form, d.ddd E-xx: the exponent lies between -5 and -22 here.
    *out++ = digitAt(0);
    if (significant > 1) {
      *out++ = '.';
      for (int i = 1; i < significant; ++i) *out++ = digitAt(i);
    }
    const int magnitude = -exponent;
    *out++ = 'E';
    *out++ = '-';
    *out++ = static_cast<char>('0' + magnitude / 10);
    *out++ = static_cast<char>('0' + magnitude % 10);
  } else if (exponent < 0) {
    *out++ = '.';
    for (int i = 0; i < -exponent - 1; ++i) *out++ = '0';
    for (int i = 0; i < significant; ++i) *out++ = digitAt(i);
  } else {
    const int integerDigits = exponent + 1;
    for (int i = 0; i < integerDigits; ++i) *out++ = i < significant ? digitAt(i) : '0';
    if (significant > integerDigits) {
      *out++ = '.';
      for (int i = integerDigits; i < significant; ++i) *out++ = digitAt(i);
    }
  }
  return static_cast<std::size_t>(out - begin);
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
  if (decimals >= 0 && decimals <= kMaxExactPower && std::fabs(wholeUnits) < kFifteenDigitLimit) {
    return WriteScaledInteger(buffer, wholeUnits, decimals);
  }
  const std::string text = NumberText(wholeUnits / scale, /*leadingBlank=*/true);
  const std::size_t length = std::min(text.size(), kFormatRoundedBufferSize);
  std::memcpy(buffer, text.data(), length);
  return length;
}

std::string FormatRounded(double value, int decimals) {
  char buffer[kFormatRoundedBufferSize];
  return std::string(buffer, FormatRoundedInto(buffer, value, decimals));
}

}  // namespace korvo
