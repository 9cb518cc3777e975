#include "quality/fixed_text.h"

#include <charconv>
#include <cmath>

namespace korvo {

std::string FixedText(double value, int decimals, int width) {
  std::string text = "-";
  if (std::isfinite(value)) {
    char buffer[384];
    const std::to_chars_result written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    text.assign(buffer, written.ptr);
    if (text.find_first_not_of("-0.") == std::string::npos && text[0] == '-') text.erase(0, 1);  // no "-0.000"
  }
  if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
  return text;
}

}  // namespace korvo
