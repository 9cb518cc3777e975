#pragma once
// Fixed-decimal number text of the quality products: "-12.3450", "0.0021", always with a
// zero before the point and "." whatever the locale. The results file keeps its own number
// text (engine/format_rounded.h); these products are read by people and other programs.

#include <string>

namespace korvo {

// `value` rounded to `decimals` decimals (to_chars: correctly rounded), right-aligned in
// `width` characters (a longer text is written whole). Non-finite values give "-".
std::string FixedText(double value, int decimals, int width = 0);

}  // namespace korvo
