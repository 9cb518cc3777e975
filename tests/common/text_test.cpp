// Windows-1252 codec over all 256 bytes, line ends and fixed columns.
#include <gtest/gtest.h>

#include "common/text.h"
#include "common/win1252.h"

namespace korvo {
namespace {

TEST(Win1252, EveryByteRoundTripsAndTheSpecialRangeIsMapped) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
  // 0x80..0x9F are not Latin-1; the rest of the upper half is.
  struct Case {
    unsigned char byte;
    const char* utf8;
  } cases[] = {{0x80, "€"}, {0x8A, "Š"}, {0x96, "–"}, {0x9F, "Ÿ"}, {0xC9, "É"}, {0xF3, "ó"}, {0xA1, "¡"}};
  for (const Case& c : cases) {
    EXPECT_EQ(Cp1252ToUtf8(std::string(1, static_cast<char>(c.byte))), c.utf8) << int(c.byte);
    EXPECT_EQ(Utf8ToCp1252(c.utf8), std::string(1, static_cast<char>(c.byte))) << c.utf8;
  }
  EXPECT_EQ(Utf8ToCp1252("→"), "?");  // not in Windows-1252
}

TEST(LineEnds, NormaliseSplitAndColumns) {
  EXPECT_EQ(NormalizeToCrLf("a\nb\r\nc\rd"), "a\r\nb\r\nc\r\nd");
  EXPECT_EQ(SplitLines("uno\r\ndos\nTres\r\n\r\n"), (std::vector<std::string_view>{"uno", "dos", "Tres", ""}));
  EXPECT_EQ(SplitLines("sin fin").size(), 1u);
  EXPECT_TRUE(SplitLines("").empty());
  // Fixed columns: padding that never cuts, fields past the end.
  EXPECT_EQ(PadLeft("12345", 4), "12345");  // never cut
  EXPECT_EQ(PadRight("ab", 4), "ab  ");
  EXPECT_EQ(FieldAt("abcdef", 4, 10), "ef");
  EXPECT_EQ(FieldAt("abcdef", 6, 2), "");
}

}  // namespace
}  // namespace korvo
