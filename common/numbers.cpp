#include "common/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace korvo {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

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

std::string NumberText(double value, bool leadingBlank) {
  if (std::isnan(value)) return leadingBlank ? " NaN" : "NaN";
  if (std::isinf(value)) return value < 0 ? "-Inf" : (leadingBlank ? " Inf" : "Inf");
  const std::string sign = value < 0 ? "-" : (leadingBlank ? " " : "");
  if (value == 0.0) return sign + "0";

  // 15 significant digits, rounded once by the C library: "d.dddddddddddddde+XX".
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
  const std::string_view scientific(buffer);
  const std::size_t ePos = scientific.find('e');
  std::string digits;
  digits.push_back(scientific[0]);
  digits.append(scientific.substr(2, ePos - 2));
  int exponent = 0;
  std::from_chars(scientific.data() + ePos + 1 + (scientific[ePos + 1] == '+' ? 1 : 0),
                  scientific.data() + scientific.size(), exponent);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string body;
  if (exponent < -4 || exponent >= 15) {
    body.push_back(digits[0]);
    if (digits.size() > 1) {
      body.push_back('.');
      body.append(digits, 1, std::string::npos);
    }
    char exponentText[16];
    std::snprintf(exponentText, sizeof exponentText, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    body += exponentText;
  } else if (exponent < 0) {
    body = "." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  } else {
    const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits) {
      body = digits + std::string(integerDigits - digits.size(), '0');
    } else {
      body = digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
    }
  }
  return sign + body;
}

}  // namespace korvo
