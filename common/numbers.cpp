#include "common/numbers.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace korvo {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Significant digits of the general numeric text.
constexpr int kSignificantDigits = 15;
// Integers below this have at most 15 digits.
constexpr double kFifteenDigitLimit = 1e15;
// 10^0 .. 10^22 are exact in a double.
constexpr int kMaxExactPowerOfTen = 22;
// "00" to "99", for writing an integer two digits at a time.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

}  // namespace

double ReadNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;

  // Collect the number into a normalised form that std::from_chars reads: [-]d*.d*e[-]d*
  std::string normalised;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  bool anyDigit = false;
  while (i < text.size() && IsDigit(text[i])) {
    normalised.push_back(text[i++]);
    anyDigit = true;
  }
  if (i < text.size() && text[i] == '.') {
    normalised.push_back('.');
    ++i;
    while (i < text.size() && IsDigit(text[i])) {
      normalised.push_back(text[i++]);
      anyDigit = true;
    }
  }
  if (!anyDigit) return 0.0;

  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
      if (text[j] == '-') exponent.push_back('-');
      ++j;
    }
    bool exponentDigits = false;
    std::size_t significantDigits = 0;
    while (j < text.size() && IsDigit(text[j])) {
      // Leading zeros of the exponent carry nothing; cap its length so a long run of digits
      // cannot overflow anything (an exponent of 6 digits is already out of range).
      if ((significantDigits > 0 || text[j] != '0') && significantDigits < 6) {
        exponent.push_back(text[j]);
        ++significantDigits;
      }
      ++j;
      exponentDigits = true;
    }
    if (exponentDigits) {
      if (exponent == "e" || exponent == "e-") exponent += "0";
      normalised += exponent;
    }
  }

  double value = 0.0;
  const auto [end, ec] = std::from_chars(normalised.data(), normalised.data() + normalised.size(), value,
                                         std::chars_format::general);
  (void)end;
  if (ec == std::errc::result_out_of_range) {
    // from_chars leaves the value untouched: decide between overflow and underflow from the
    // magnitude the text asks for.
    const bool tiny = normalised.find("e-") != std::string::npos;
    value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  }
  return negative ? -value : value;
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  const double lower = std::floor(value);
  const double fraction = value - lower;
  if (fraction > 0.5) return lower + 1.0;
  if (fraction < 0.5) return lower;
  return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

std::optional<std::int16_t> ToInt16(double value) {
  const double rounded = RoundHalfEven(value);
  if (!std::isfinite(rounded) || rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
  return static_cast<std::int16_t>(rounded);
}

std::optional<std::int32_t> ToInt32(double value) {
  const double rounded = RoundHalfEven(value);
  if (!std::isfinite(rounded) || rounded < -2147483648.0 || rounded > 2147483647.0) return std::nullopt;
  return static_cast<std::int32_t>(rounded);
}

namespace {

// Writes the exponent part of the general numeric text: "E", its sign and at least two digits.
char* WriteExponent(char* out, int exponent) {
  *out++ = 'E';
  *out++ = exponent < 0 ? '-' : '+';
  const int magnitude = exponent < 0 ? -exponent : exponent;
  if (magnitude >= 100) *out++ = static_cast<char>('0' + magnitude / 100);
  *out++ = static_cast<char>('0' + magnitude / 10 % 10);
  *out++ = static_cast<char>('0' + magnitude % 10);
  return out;
}

// Writes the general numeric text of a finite, non-zero magnitude whose significant digits
// are digits[0..count) (no trailing zeros) and whose leading digit has the decimal exponent
// `exponent`: exponent form below 1E-04 and from 1E+15, fixed form between.
char* WriteSignificantDigits(char* out, const char* digits, int count, int exponent) {
  auto copy = [&out](const char* from, int length) {
    std::memcpy(out, from, static_cast<std::size_t>(length));
    out += length;
  };
  auto zeros = [&out](int length) {
    std::memset(out, '0', static_cast<std::size_t>(length));
    out += length;
  };
  if (exponent < -4 || exponent >= 15) {
    *out++ = digits[0];
    if (count > 1) {
      *out++ = '.';
      copy(digits + 1, count - 1);
    }
    return WriteExponent(out, exponent);
  }
  if (exponent < 0) {
    *out++ = '.';
    zeros(-exponent - 1);
    copy(digits, count);
    return out;
  }
  const int integerDigits = exponent + 1;
  if (count <= integerDigits) {
    copy(digits, count);
    zeros(integerDigits - count);
  } else {
    copy(digits, integerDigits);
    *out++ = '.';
    copy(digits + integerDigits, count - integerDigits);
  }
  return out;
}

char* WriteText(char* out, std::string_view text) {
  for (char c : text) *out++ = c;
  return out;
}

// NumberText written into `out` (kNumberTextBufferSize bytes); returns the length.
std::size_t WriteNumberText(char* out, double value, bool leadingBlank) {
  char* const begin = out;
  if (std::isnan(value)) return static_cast<std::size_t>(WriteText(out, leadingBlank ? " NaN" : "NaN") - begin);
  if (std::isinf(value)) {
    return static_cast<std::size_t>(WriteText(out, value < 0 ? "-Inf" : (leadingBlank ? " Inf" : "Inf")) - begin);
  }
  if (value < 0) {
    *out++ = '-';
  } else if (leadingBlank) {
    *out++ = ' ';
  }
  if (value == 0.0) {
    *out++ = '0';
    return static_cast<std::size_t>(out - begin);
  }

  // 15 significant digits, correctly rounded (ties of exact binary values to even, as the C
  // library's %.14e): "d.dddddddddddddde+XX".
  char scientific[kNumberTextBufferSize];
  const std::to_chars_result written = std::to_chars(scientific, scientific + sizeof scientific, std::fabs(value),
                                                     std::chars_format::scientific, kSignificantDigits - 1);
  char digits[kSignificantDigits];
  digits[0] = scientific[0];
  std::memcpy(digits + 1, scientific + 2, kSignificantDigits - 1);
  const char* exponentText = scientific + 2 + (kSignificantDigits - 1) + 1;  // after the 'e'
  const bool negativeExponent = *exponentText == '-';
  int exponent = 0;
  std::from_chars(exponentText + 1, written.ptr, exponent);
  if (negativeExponent) exponent = -exponent;
  int count = kSignificantDigits;
  while (count > 1 && digits[count - 1] == '0') --count;
  return static_cast<std::size_t>(WriteSignificantDigits(out, digits, count, exponent) - begin);
}

}  // namespace

std::string NumberText(double value, bool leadingBlank) {
  char buffer[kNumberTextBufferSize];
  return std::string(buffer, WriteNumberText(buffer, value, leadingBlank));
}

std::size_t ScaledIntegerText(char* out, double wholeUnits, int decimals) {
  // Below 1E+15 the conversion to a 64-bit integer is exact, so it also tells a whole number.
  const bool digitsExact = decimals >= 0 && decimals <= kMaxExactPowerOfTen &&
                           std::fabs(wholeUnits) < kFifteenDigitLimit &&
                           static_cast<double>(static_cast<std::int64_t>(wholeUnits)) == wholeUnits;
  if (!digitsExact) return WriteNumberText(out, wholeUnits / std::pow(10.0, decimals), true);
  if (wholeUnits == 0.0) return WriteNumberText(out, 0.0, true);

  // The digits of the integer, two at a time from the last ones, at the end of `digits`.
  std::uint64_t units = static_cast<std::uint64_t>(std::fabs(wholeUnits));
  char digits[kSignificantDigits + 1];
  char* first = digits + sizeof digits;
  while (units >= 100) {
    const std::size_t pair = static_cast<std::size_t>(units % 100) * 2;
    units /= 100;
    *--first = kDigitPairs[pair + 1];
    *--first = kDigitPairs[pair];
  }
  if (units >= 10) {
    *--first = kDigitPairs[units * 2 + 1];
    *--first = kDigitPairs[units * 2];
  } else {
    *--first = static_cast<char>('0' + units);
  }
  const int count = static_cast<int>(digits + sizeof digits - first);
  int significant = count;
  while (first[significant - 1] == '0') --significant;  // the leading digit is not zero

  char* const begin = out;
  *out++ = wholeUnits < 0 ? '-' : ' ';
  const int exponent = (count - 1) - decimals;  // decimal exponent of the leading digit
  return static_cast<std::size_t>(WriteSignificantDigits(out, first, significant, exponent) - begin);
}

}  // namespace korvo
