// The datum transformation window offscreen: boxes, refusals, scrolling, files and buttons.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "common/files.h"
#include "coordtransform/about_window.h"
#include "coordtransform/datum_window.h"
#include "coordtransform/help_window.h"
#include "editor/editor_window.h"
#include "gui_support/fake_dialog_service.h"
#include "support/files.h"

namespace korvo {
namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// A column of the hand-written output file of Madrid and Barcelona, one value per line.
std::string ExpectedColumn(int k) {
  static const auto columns = testing::CoordinateFileColumns(testing::Golden("coordinates_madrid_barcelona.txt"), "\n");
  return columns[static_cast<std::size_t>(k)];
}

class DatumWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window.SetEditorOpener([] {});
    window.show();
  }

  QPlainTextEdit* Box(int k) { return window.CoordBox(k); }
  QPushButton* Button(const char* name) { return window.findChild<QPushButton*>(Q(name)); }

  testing::FakeDialogService dialogs;
  QTemporaryDir dir;
  DatumWindow window;
};

// Every box shows its column; Output writes the file, or names the one it could not write and asks again.
TEST_F(DatumWindowTest, TransformShowsEveryColumnAndOutputWritesTheFile) {
  Box(6)->setPlainText(Q("40.3\n41.223"));
  Box(7)->setPlainText(Q("-3.3\n2.0915"));
  Box(8)->setPlainText(Q("700\n50"));
  QTest::mouseClick(Button("Transform2"), Qt::LeftButton);
  EXPECT_TRUE(dialogs.dialogs.empty() && dialogs.beeps == 0 && window.cursor().shape() != Qt::BusyCursor);
  for (int k = 0; k < kColumnCount; ++k) EXPECT_EQ(Box(k)->toPlainText().toStdString(), ExpectedColumn(k)) << k;

  // The question before overwriting is the shared save loop's, tested with the editor and NuevoII.
  const QString unwritable = dir.filePath(Q("no_existe/salida.txt")), fresh = dir.filePath(Q("salida.txt"));
  dialogs.fileAnswers = {unwritable, fresh};
  QTest::mouseClick(Button("Output"), Qt::LeftButton);
  ASSERT_EQ(dialogs.Messages().size(), 1);
  EXPECT_TRUE(dialogs.Messages()[0].startsWith(Q(" No se puede escribir el fichero ") + unwritable));
  EXPECT_EQ(ReadFileBytes(fresh.toStdString()).value(), testing::Golden("coordinates_madrid_barcelona.txt"));
}

// A refused value: a beep, the message naming its line and column, that value selected, nothing transformed.
TEST_F(DatumWindowTest, RefusedValuesAreNamedByLineAndColumnAndSelected) {
  const struct {
    int format;
    QString first, second, third;
    int column;  // the box of the format whose line is selected, or -1
    QString selected;
  } rows[] = {
      {2, Q("1\n2"), Q("1"), Q("1"), -1, {}},               // column counts differ
      {2, Q("1\n"), Q("1\n"), Q("1\n"), 0, {}},            // an empty line
      {2, Q("40.2530\n40.6000"), Q("-3.30\n-3.30"), Q("1\n2"), 0, Q("40.6000")},
      {4, Q("40.2530"), Q("-3.2960"), Q("1"), 1, Q("-3.2960")},
      {5, Q("1"), Q("1"), Q("4O"), 2, Q("4O")},
      {4, Q("40.3\n95"), Q("-3.3\n-3.3"), Q("700\n0"), 0, Q("95")},
      {5, Q("4848527.184\n8378137"), Q("-50980.563\n0"), Q("4116958.214\n0"), 0, Q("8378137")},
      {1, Q("500000"), Q("10000001"), Q("0"), 1, Q("10000001")},
      {4, Q("40.2559"), Q("-3.3000"), Q("1"), -2, {}},  // 59 seconds: accepted
  };
  QString log;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.first.toStdString() + "|" + row.second.toStdString());
    window.EraseAll();
    dialogs.dialogs.clear();
    const int first = 3 * row.format, beeps = dialogs.beeps;
    Box(first)->setPlainText(row.first);
    Box(first + 1)->setPlainText(row.second);
    Box(first + 2)->setPlainText(row.third);
    QTest::mouseClick(Button(("Transform" + std::to_string(row.format)).c_str()), Qt::LeftButton);
    const bool refused = row.column > -2;
    EXPECT_EQ(Box((first + 3) % kColumnCount)->toPlainText().isEmpty(), refused);
    EXPECT_EQ(dialogs.beeps, beeps + (refused ? 1 : 0));
    log += dialogs.Log();
    EXPECT_TRUE(!refused || (Box(first)->toPlainText() == row.first && window.Points().empty()));
    EXPECT_TRUE(row.column < 0 || Box(first + row.column)->textCursor().selectedText() == row.selected);
  }
  EXPECT_EQ(log.toStdString(), testing::Golden("datum_refusals.txt"));
}

// Input fills the file's three columns and empties the others, or says why with its own icon.
TEST_F(DatumWindowTest, InputLoadsTheFormatsColumnsOrSaysWhyNot) {
  const QString missing = dir.filePath(Q("falta.txt"));
  enum class Boxes { Loaded, Emptied, Kept };
  const struct {
    const char* bytes;  // nullptr: the dialog is cancelled; "": the file does not exist
    Boxes boxes;
  } cases[] = {
      {"3\r\n40.3,-3.3,700\r\n41.223, 2.0915, 50", Boxes::Loaded},
      {"4\r\n", Boxes::Emptied},
      {"7\r\n1,2,3", Boxes::Kept},
      {"1\r\n457631.066,4483452.284,700\r\n457631.066,abc,700", Boxes::Kept},
      {"", Boxes::Kept},
      {nullptr, Boxes::Kept},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes == nullptr ? "cancelled" : c.bytes);
    for (int k = 0; k < kColumnCount; ++k) Box(k)->setPlainText(Q("1"));
    const QString input = dir.filePath(Q("entrada.txt"));
    if (c.bytes != nullptr) {
      ASSERT_TRUE(WriteFileAtomically(input.toStdString(), c.bytes).ok());
    }
    dialogs.fileAnswers = {c.bytes == nullptr ? QString() : *c.bytes == '\0' ? missing : input};
    QTest::mouseClick(Button("Input"), Qt::LeftButton);
    for (int k = 0; k < kColumnCount; ++k) {
      const bool loaded = c.boxes == Boxes::Loaded && k >= 6 && k <= 8;
      EXPECT_EQ(Box(k)->toPlainText().toStdString(), c.boxes == Boxes::Kept ? "1" : loaded ? ExpectedColumn(k) : "");
    }
  }
  EXPECT_EQ(dialogs.Log().replace(dir.path(), Q("<temporal>")).toStdString(),
            testing::Golden("datum_input_messages.txt"));
  EXPECT_EQ(EditorOpenedFileName(), missing);
}

// The widest values fit within 1,260 pixels; each format's three columns scroll as one.
TEST_F(DatumWindowTest, WidestValuesFitAndEachFormatScrollsAsOne) {
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  for (int k = 0; k < kColumnCount; ++k) {
    const bool angle = (k / 3 == 2 || k / 3 == 4) && k % 3 < 2;
    QStringList lines;
    for (int i = 0; i < 50; ++i) lines << (angle ? Q("-179.59599999") : Q("-1234567.890"));
    Box(k)->setPlainText(lines.join(QLatin1Char('\n')));
  }
  window.adjustSize();
  QCoreApplication::processEvents();
  EXPECT_LE(window.width(), 1260);
  for (int k = 0; k < kColumnCount; ++k) {
    EXPECT_EQ(Box(k)->horizontalScrollBar()->maximum(), 0) << k;
    EXPECT_EQ(Box(k)->verticalScrollBar()->isVisible(), k % 3 == 2) << k;
  }
  for (int first = 0; first < kColumnCount; first += 3) {
    QScrollBar* last = Box(first + 2)->verticalScrollBar();
    ASSERT_GT(last->maximum(), 0);
    last->setValue(last->maximum() / 2);
    for (int c = 0; c < 2; ++c) EXPECT_EQ(Box(first + c)->verticalScrollBar()->value(), last->value()) << first + c;
    Box(first)->verticalScrollBar()->setValue(3);
    EXPECT_EQ(last->value(), 3) << first;
  }
}

// The single window: Erase, Help, About, "Editor de texto" (what the editor shows is its own test's) and Salir.
TEST(DatumWindowInstance, ButtonsEraseShowTheHelpAboutAndEditorAndClose) {
  testing::FakeDialogService dialogs;
  EditorWindow& editor = EditorInstance();
  editor.close();  // another test may have left it open
  ShowDatumWindow();
  DatumWindow& window = DatumWindowInstance();
  EXPECT_TRUE(window.isVisible());
  const auto button = [&](const char* name) { return window.findChild<QPushButton*>(Q(name)); };
  for (int k = 0; k < kColumnCount; ++k) window.CoordBox(k)->setPlainText(Q("1"));
  QTest::mouseClick(button("Erase"), Qt::LeftButton);
  for (int k = 0; k < kColumnCount; ++k) EXPECT_TRUE(window.CoordBox(k)->toPlainText().isEmpty()) << k;
  QTest::mouseClick(button("Help"), Qt::LeftButton);
  ASSERT_TRUE(window.Help() != nullptr && window.Help()->isVisible());
  QTest::mouseClick(window.Help()->findChild<QPushButton*>(Q("OK")), Qt::LeftButton);
  EXPECT_FALSE(window.Help()->isVisible());
  QTest::mouseClick(button("Command1"), Qt::LeftButton);
  ASSERT_TRUE(window.About() != nullptr && window.About()->isVisible());
  QTest::mouseClick(window.About()->findChild<QPushButton*>(Q("OK")), Qt::LeftButton);
  EXPECT_FALSE(window.About()->isVisible());
  QTest::mouseClick(button("Command2"), Qt::LeftButton);
  EXPECT_TRUE(editor.isVisible());
  editor.close();
  QTest::mouseClick(button("Command3"), Qt::LeftButton);
  EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace korvo
