#pragma once
// The number-to-text routine behind every number the adjustment writes into its results:
// the printed system and weight matrix, the least-squares report and the comparison report.

#include <cstddef>
#include <string>

namespace korvo {

// Rounds `value` to `decimals` decimals, half away from zero, and returns the general numeric
// text of the rounded value (common/numbers.h, NumberText with the leading blank): " .25",
// "-3", " 1.5E-05". An exact 0 gives "0" with no blank; a value that only rounds to 0 gives
// " 0". Callers cut, align and pad the text as their layout says.
std::string FormatRounded(double value, int decimals);

// Room for any text FormatRounded writes (sign, 15 digits, point and exponent).
inline constexpr std::size_t kFormatRoundedBufferSize = 32;

// FormatRounded written into `buffer` (kFormatRoundedBufferSize bytes), for callers that
// print millions of numbers; returns the length of the text.
std::size_t FormatRoundedInto(char* buffer, double value, int decimals);

}  // namespace korvo
