#include "report/number_column.h"

#include <cmath>

#include "common/numbers.h"
#include "engine/format_rounded.h"

namespace korvo {

std::string CutNumberText(double value, int decimals) {
  std::string text = FormatRounded(value, decimals);
  if (text.size() > kNumberFieldWidth) text.resize(kNumberFieldWidth);
  return text;
}

void AppendNumberColumn(TextBuilder& out, double value, int decimals, bool commaToPoint) {
  std::string text = CutNumberText(value, decimals);
  if (commaToPoint) text = ReplaceAll(text, ',', '.');
  for (std::size_t i = text.size(); i < kNumberFieldWidth; ++i) out << ' ';
  out << text;
}

void AppendLeftNumberField(TextBuilder& out, double value, int decimals) {
  const std::string text = ReplaceAll(CutNumberText(value, decimals), ',', '.');
  out << text;
  for (std::size_t i = text.size(); i < kNumberFieldWidth; ++i) out << ' ';
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
