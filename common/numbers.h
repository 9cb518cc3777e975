#pragma once
// Korvo's one way of reading and writing numbers in text. Every file format, entry field and
// report goes through these functions; do not write another.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvo {

// The lenient number reader used for every numeric field. Leading blanks, tabs and line feeds
// are skipped; then an optional sign, digits, at most one '.' as decimal point and an
// optional exponent introduced by E or D (either case) with its own optional sign are taken.
// Reading stops at the first other character. A text without a leading number reads as 0.
// The decimal separator is always '.': "0,05" reads as 0. A magnitude beyond the range of a
// double reads as +/- infinity; callers that need a finite value check std::isfinite.
double ReadNumber(std::string_view text);

// Nearest integer with halves going to the even neighbour: 2.5 -> 2, 3.5 -> 4, -2.5 -> -2.
double RoundHalfEven(double value);

// RoundHalfEven into a signed 16-bit integer; nothing when the rounded value does not fit
// (-32768..32767) or the value is not finite.
std::optional<std::int16_t> ToInt16(double value);

// RoundHalfEven into a 32-bit integer; nothing when it does not fit or is not finite.
std::optional<std::int32_t> ToInt32(double value);

// The general numeric text of a double: at most 15 significant digits, '.' as decimal point,
// no zero before the point (0.25 -> ".25"), "-" for negative values and, when leadingBlank is
// set, one blank before non-negative values (" .25"). Magnitudes below 1E-04 or of 1E+15 and
// above are written in exponent form with a sign and at least two digits: 1.5E-05, 1E+15.
// Zero is "0" (" 0" with leadingBlank).
std::string NumberText(double value, bool leadingBlank);

// Room for any text NumberText or ScaledIntegerText writes (sign, 15 digits, point, exponent).
inline constexpr std::size_t kNumberTextBufferSize = 32;

// NumberText(wholeUnits / 10^decimals, true), written into `out` (kNumberTextBufferSize
// bytes) straight from the digits of the integer `wholeUnits`; returns the length of the text.
// Exact for whole |wholeUnits| < 1E+15 and 0 <= decimals <= 22: a decimal of at most 15
// significant digits is what the double nearest to it shows at 15 digits, and the quotient
// of two exact doubles is that nearest double. Other arguments go through NumberText. Reports
// print millions of rounded numbers; this spares each of them the general formatting.
std::size_t ScaledIntegerText(char* out, double wholeUnits, int decimals);

// Shorthands: the form with the blank (as in reports and Str) and the short form without it
// (the default text of a number in entry fields and the options dialog).
inline std::string NumberTextWithBlank(double value) { return NumberText(value, true); }
inline std::string ShortNumberText(double value) { return NumberText(value, false); }

}  // namespace korvo
