// Line ends between files and the edit box, the bytes of a save and the printed text.
#include <gtest/gtest.h>

#include "common/win1252.h"
#include "editor/editor_text.h"

namespace korvo {
namespace {

TEST(EditorText, LineEndsInTheEditBoxAreSingleLineFeeds) {
  struct Case {
    const char* name;
    std::string file;
    std::string box;
  } cases[] = {
      {"empty", "", ""},
      {"no line end", "abc", "abc"},
      {"CR LF", "a\r\nb\r\n", "a\nb\n"},
      {"lone LF", "a\nb", "a\nb"},
      {"lone CR", "a\rb\r", "a\nb\n"},
      {"CR LF then lone CR", "a\r\n\rb", "a\n\nb"},
      {"LF CR is two line ends", "a\n\rb", "a\n\nb"},
      {"blank lines kept", "\r\n\r\nx\r\n\r\n", "\n\nx\n\n"},
      // Accented Windows-1252 bytes pass through untouched.
      {"accents", Cp1252("Cañón €\r\nÚltima"), Cp1252("Cañón €\nÚltima")},
  };
  for (const Case& c : cases) EXPECT_EQ(ToEditorLineEnds(c.file), c.box) << c.name;
}

TEST(EditorText, SaveWritesCrLfLineEndsAndOneCrLfAfterTheText) {
  struct Case {
    const char* name;
    std::string box;
    std::string bytes;
  } cases[] = {
      {"empty text is one line end", "", "\r\n"},
      {"one line", "abc", "abc\r\n"},
      {"two lines", "a\nb", "a\r\nb\r\n"},
      {"final line end kept, one more added", "a\n", "a\r\n\r\n"},
      {"CR LF pasted in stays one line end", "a\r\nb", "a\r\nb\r\n"},
      {"accents", Cp1252("Año\nñ"), Cp1252("Año\r\nñ\r\n")},
  };
  for (const Case& c : cases) EXPECT_EQ(FileTextForSave(c.box), c.bytes) << c.name;
}

TEST(EditorText, OpeningAndSavingACrLfFileOnlyAddsTheFinalLineEnd) {
  const std::string file = Cp1252("VÉRTICES\r\n  1  Incógnita  4.5\r\n\r\nfin\r\n");
  EXPECT_EQ(FileTextForSave(ToEditorLineEnds(file)), file + "\r\n");
}

TEST(EditorText, PrintedCopyIsFourBlankLinesThenTheText) {
  EXPECT_EQ(PrintCopyText(""), "\r\n\r\n\r\n\r\n");
  EXPECT_EQ(PrintCopyText("uno\ndos"), "\r\n\r\n\r\n\r\nuno\r\ndos");
  EXPECT_EQ(PrintCopyText("x\r\n"), "\r\n\r\n\r\n\r\nx\r\n");
}

}  // namespace
}  // namespace korvo
