// Line ends between files and the edit box, the bytes of a save and the printed text.
#include <gtest/gtest.h>

#include "common/win1252.h"
#include "editor/editor_text.h"

namespace korvo {
namespace {

// A file read into the box, and the box saved again: CR LF line ends and one more after the text.
TEST(EditorText, FileToBoxAndBackToFile) {
  struct Case {
    const char* name;
    std::string file, box, saved;
  } cases[] = {
      {"empty", "", "", "\r\n"},
      {"no line end", "abc", "abc", "abc\r\n"},
      {"CR LF: the same bytes and one line end more", "a\r\nb\r\n", "a\nb\n", "a\r\nb\r\n\r\n"},
      {"lone LF", "a\nb", "a\nb", "a\r\nb\r\n"},
      {"lone CR", "a\rb\r", "a\nb\n", "a\r\nb\r\n\r\n"},
      {"CR LF then lone CR", "a\r\n\rb", "a\n\nb", "a\r\n\r\nb\r\n"},
      {"LF CR is two line ends", "a\n\rb", "a\n\nb", "a\r\n\r\nb\r\n"},
      {"accents untouched", Cp1252("Cañón €\r\nÚltima"), Cp1252("Cañón €\nÚltima"), Cp1252("Cañón €\r\nÚltima\r\n")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToEditorLineEnds(c.file), c.box) << c.name;
    EXPECT_EQ(FileTextForSave(c.box), c.saved) << c.name;
  }
  EXPECT_EQ(FileTextForSave("a\r\nb"), "a\r\nb\r\n");  // a CR LF pasted in stays one line end
}

TEST(EditorText, PrintedCopyIsFourBlankLinesThenTheText) {
  EXPECT_EQ(PrintCopyText("uno\ndos"), "\r\n\r\n\r\n\r\nuno\r\ndos");
  EXPECT_EQ(PrintCopyText("x\r\n"), "\r\n\r\n\r\n\r\nx\r\n");
}

}  // namespace
}  // namespace korvo
