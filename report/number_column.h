#pragma once
// Number fields of the results report: every printed number is FormatRounded, cut to its
// first 12 characters (never widened, never rounded again) and aligned in a 12-character
// field.

#include <string>
#include <string_view>

#include "common/text.h"

namespace korvo {

inline constexpr std::size_t kNumberFieldWidth = 12;

// FormatRounded(value, decimals) cut to its first 12 characters.
std::string CutNumberText(double value, int decimals);

// The cut text right-aligned in 12 characters. With `commaToPoint` every "," of the text is
// written as "." (the matrix sections).
void AppendNumberColumn(TextBuilder& out, double value, int decimals, bool commaToPoint = false);

// The cut text with "," written as ".", left-aligned in 12 characters (the printed system).
void AppendLeftNumberField(TextBuilder& out, double value, int decimals);

// A vertex number as a label writes it: plain decimal form, "-" for negatives, no blank.
std::string VertexNumberText(double number);

// Appends `text` and as many blanks as `fill` says; a fill of zero or less adds none, so a
// label longer than its field is written in full.
void AppendWithFill(TextBuilder& out, std::string_view text, int fill);

// `count` copies of `piece`.
void AppendRepeated(TextBuilder& out, std::string_view piece, int count);

}  // namespace korvo
