// Windows-1252 codec over all 256 bytes, line ends and fixed columns.
#include <gtest/gtest.h>

#include "common/text.h"
#include "common/win1252.h"

namespace korvo {
namespace {

TEST(Win1252, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Win1252, KnownCharacters) {
  struct Case {
    unsigned char byte;
    const char* utf8;
  } cases[] = {{0x80, "€"}, {0x8A, "Š"}, {0x96, "–"}, {0x9F, "Ÿ"}, {0xC9, "É"}, {0xE1, "á"},
               {0xF3, "ó"}, {0xF1, "ñ"}, {0xA1, "¡"}, {0xBF, "¿"}, {0xB2, "²"}, {0x41, "A"}};
  for (const Case& c : cases) {
    EXPECT_EQ(Cp1252ToUtf8(std::string(1, static_cast<char>(c.byte))), c.utf8) << int(c.byte);
    EXPECT_EQ(Utf8ToCp1252(c.utf8), std::string(1, static_cast<char>(c.byte))) << c.utf8;
  }
  EXPECT_EQ(Cp1252("Incógnita").size(), 9u);
  EXPECT_EQ(Cp1252("VÉRTICES DE LA RED").size(), 18u);
  EXPECT_EQ(Utf8ToCp1252("→"), "?");  // not in Windows-1252
}

TEST(LineEnds, NormaliseAndSplit) {
  EXPECT_EQ(NormalizeToCrLf("a\nb\r\nc\rd"), "a\r\nb\r\nc\r\nd");
  const auto lines = SplitLines("uno\r\ndos\nTres\r\n\r\n");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "uno");
  EXPECT_EQ(lines[2], "Tres");
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(SplitLines("sin fin").size(), 1u);
  EXPECT_TRUE(SplitLines("").empty());
}

TEST(Columns, PaddingAndFields) {
  EXPECT_EQ(PadLeft("7", 4), "   7");
  EXPECT_EQ(PadLeft("12345", 4), "12345");
  EXPECT_EQ(PadRight("ab", 4), "ab  ");
  EXPECT_EQ(FieldAt("abcdef", 4, 10), "ef");
  EXPECT_EQ(FieldAt("abcdef", 6, 2), "");
  EXPECT_EQ(FieldAt("abcdef", 60, 2), "");
  EXPECT_EQ(ReplaceAll("1,5;2,5", ',', '.'), "1.5;2.5");
  TextBuilder text;
  text << "a" << 'b';
  text.Line("c");
  EXPECT_EQ(text.str(), "abc\r\n");
}

}  // namespace
}  // namespace korvo
