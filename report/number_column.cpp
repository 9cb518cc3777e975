#include "report/number_column.h"

#include <algorithm>
#include <cmath>

#include "common/numbers.h"
#include "engine/format_rounded.h"

namespace korvo {

std::string CutNumberText(double value, int decimals) {
  std::string text = FormatRounded(value, decimals);
  if (text.size() > kNumberFieldWidth) text.resize(kNumberFieldWidth);
  return text;
}

namespace {

// The cut text of a number field in `buffer`; returns its length (12 at most).
std::size_t CutNumberInto(char* buffer, double value, int decimals, bool commaToPoint) {
  const std::size_t length = std::min(FormatRoundedInto(buffer, value, decimals), kNumberFieldWidth);
  if (commaToPoint) std::replace(buffer, buffer + length, ',', '.');
  return length;
}

}  // namespace

void AppendNumberColumn(TextBuilder& out, double value, int decimals, bool commaToPoint) {
  char buffer[kFormatRoundedBufferSize];
  const std::size_t length = CutNumberInto(buffer, value, decimals, commaToPoint);
  static constexpr std::string_view kBlanks = "            ";  // kNumberFieldWidth blanks
  out << kBlanks.substr(0, kNumberFieldWidth - length) << std::string_view(buffer, length);
}

void AppendLeftNumberField(TextBuilder& out, double value, int decimals) {
  char buffer[kFormatRoundedBufferSize];
  const std::size_t length = CutNumberInto(buffer, value, decimals, /*commaToPoint=*/true);
  static constexpr std::string_view kBlanks = "            ";
  out << std::string_view(buffer, length) << kBlanks.substr(0, kNumberFieldWidth - length);
}

std::string VertexNumberText(double number) { return ShortNumberText(number); }

void AppendWithFill(TextBuilder& out, std::string_view text, int fill) {
  out << text;
  for (int i = 0; i < fill; ++i) out << ' ';
}

void AppendRepeated(TextBuilder& out, std::string_view piece, int count) {
  for (int i = 0; i < count; ++i) out << piece;
}

}  // namespace korvo
