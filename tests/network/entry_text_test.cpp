// The entry lists' text operations: which entry a caret offset falls in, replacing one entry,
// decoding an entry back into field texts, and display/byte position mapping.
#include <gtest/gtest.h>

#include "common/win1252.h"
#include "network/entry_text.h"

namespace korvo {
namespace {

// A vertex line written by hand from the column table: number in columns 6-9, "(Fijo)"
// right-aligned in 11-21, X/Y/Z in 27-38, 44-55, 61-72, deflections in 83-89 and 100-106.
std::string HandVertexLine(const std::string& number, const std::string& x, const std::string& ns) {
  return "Punto" + std::string(4 - number.size(), ' ') + number + " " + "     (Fijo)" + "  X =" +
         std::string(12 - x.size(), ' ') + x + "  Y =" + "  -346088.02" + "  Z =" + " 4161236.352" + "  D.V.NS =" +
         std::string(7 - ns.size(), ' ') + ns + "  D.V.EW =" + "   -8.6" + "\r\n";
}

TEST(EntryText, EntryUnderTheCaretAndReplacingOne) {
  std::string section = HandVertexLine("1", "100.5", "1") + HandVertexLine("2", "200.5", "2") +
                        HandVertexLine("30", "4810516.120", "?");
  ASSERT_EQ(section.size(), 3u * 108u);
  struct Case {
    std::size_t offset;
    std::optional<std::size_t> index;
  } cases[] = {{0, 0}, {107, 0}, {108, 1}, {323, 2}, {324, std::nullopt}, {5000, std::nullopt}};
  for (const Case& c : cases) {
    const auto entry = EntryAtOffset(section, c.offset, kVertexEntryStride);
    ASSERT_EQ(entry.has_value(), c.index.has_value()) << c.offset;
    if (entry) {
      EXPECT_EQ(entry->index, *c.index);
      EXPECT_EQ(entry->text, std::string_view(section).substr(*c.index * 108, 108));
    }
  }
  const std::string replacement = HandVertexLine("9", "9", "9");
  EXPECT_TRUE(ReplaceEntry(section, 1, kVertexEntryStride, replacement));
  EXPECT_EQ(section, HandVertexLine("1", "100.5", "1") + replacement + HandVertexLine("30", "4810516.120", "?"));
  EXPECT_FALSE(ReplaceEntry(section, 3, kVertexEntryStride, replacement));
  EXPECT_EQ(section.size(), 3u * 108u);
}

TEST(EntryText, DecodingGivesTheShortNumberForm) {
  const VertexLineFields third = DecodeVertexEntry(HandVertexLine("30", "4810516.120", "?"));
  EXPECT_EQ(third.number, "30");
  EXPECT_EQ(third.kind, Cp1252("Fijo"));
  EXPECT_EQ(third.x, "4810516.12");  // trailing zero dropped
  EXPECT_EQ(third.y, "-346088.02");
  EXPECT_TRUE(third.deflectionUnknown);
  const VertexLineFields first = DecodeVertexEntry(HandVertexLine("1", "0.50", "12.40"));
  EXPECT_EQ(first.x, ".5");
  EXPECT_EQ(first.deflectionNs, "12.4");
  EXPECT_FALSE(first.deflectionUnknown);
}

TEST(EntryText, DisplayPositionsCountCrLfAsOneCharacter) {
  const std::string section = "ab\r\ncd\r\nef";
  EXPECT_EQ(DisplayText(section), "ab\ncd\nef");
  for (const auto& [display, byte] : {std::pair<std::size_t, std::size_t>{0, 0}, {2, 2}, {3, 4}, {6, 8}, {7, 9}}) {
    EXPECT_EQ(ByteOffsetOfDisplayPosition(section, display), byte) << display;
    EXPECT_EQ(DisplayPositionOfByteOffset(section, byte), display) << byte;
  }
}

}  // namespace
}  // namespace korvo
