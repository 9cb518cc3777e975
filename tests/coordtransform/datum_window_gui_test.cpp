// The datum transformation window, its help and about windows, offscreen.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/qt_text.h"
#include "common/files.h"
#include "common/text.h"
#include "coordtransform/about_window.h"
#include "coordtransform/coordinate_files.h"
#include "coordtransform/datum_window.h"
#include "coordtransform/help_window.h"
#include "editor/editor_window.h"
#include "gui_support/fake_dialog_service.h"

namespace korvo {
namespace {

const QString kCountMessage = QStringLiteral(
    "  ¡Existe distinto número de datos en cada columna\r\n o se han introducido retornos de carro innecesarios!");
const QString kNonNumericMessage = QStringLiteral("¡Hay algún valor no numérico!");

class DatumWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window.SetEditorOpener([this] { ++editorOpenings; });
    window.show();
  }

  QPlainTextEdit* Box(int k) { return window.findChild<QPlainTextEdit*>(QStringLiteral("Coord%1").arg(k)); }
  QPushButton* Button(const QString& name) { return window.findChild<QPushButton*>(name); }

  // Types a column's text as the user would: characters, with Return between lines.
  void Type(int k, const QString& text) {
    QPlainTextEdit* box = Box(k);
    box->clear();
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
      if (i > 0) QTest::keyClick(box, Qt::Key_Return);
      QTest::keyClicks(box, lines[i]);
    }
  }

  QString WriteInput(const QString& name, const std::string& bytes) {
    const QString path = dir.filePath(name);
    EXPECT_TRUE(WriteFileAtomically(path.toStdString(), bytes).ok());
    return path;
  }

  testing::FakeDialogService dialogs;
  QTemporaryDir dir;
  DatumWindow window;
  int editorOpenings = 0;
};

TEST_F(DatumWindowTest, TransformFillsAllEighteenColumns) {
  Type(6, QStringLiteral("40.3\n41.223"));
  Type(7, QStringLiteral("-3.3\n2.0915"));
  Type(8, QStringLiteral("700\n50"));
  QTest::mouseClick(Button(QStringLiteral("Transform2")), Qt::LeftButton);
  EXPECT_TRUE(dialogs.dialogs.empty());
  EXPECT_EQ(dialogs.beeps, 0);
  // Expected values: TransverseMercatorProj and CartConvert (see geodesy_test.cpp), rounded.
  EXPECT_EQ(Box(0)->toPlainText(), QStringLiteral("  457631.066\n  931100.804"));
  EXPECT_EQ(Box(1)->toPlainText(), QStringLiteral(" 4483452.284\n 4593302.524"));
  EXPECT_EQ(Box(3)->toPlainText(), QStringLiteral("  -50980.563\n  429265.276"));
  EXPECT_EQ(Box(6)->toPlainText(), QStringLiteral(" 40.30000000\n 41.22300000"));  // input rewritten
  EXPECT_EQ(Box(7)->toPlainText(), QStringLiteral(" -3.30000000\n  2.09150000"));
  EXPECT_EQ(Box(9)->toPlainText(), QStringLiteral(" 4848527.184\n 4790034.108"));
  EXPECT_EQ(Box(15)->toPlainText(), QStringLiteral(" 4848444.199\n 4789953.630"));
  EXPECT_EQ(Box(12)->toPlainText(), QStringLiteral(" 40.29557553\n 41.22259923"));
  EXPECT_EQ(window.Points().size(), 2u);
  EXPECT_TRUE(window.cursor().shape() != Qt::BusyCursor);
}

TEST_F(DatumWindowTest, ASinglePointNeedsNoLineBreak) {
  Type(0, QStringLiteral("457631.066"));
  Type(1, QStringLiteral("4483452.284"));
  Type(2, QStringLiteral("700"));
  QTest::mouseClick(Button(QStringLiteral("Transform0")), Qt::LeftButton);
  EXPECT_TRUE(dialogs.dialogs.empty());
  EXPECT_EQ(Box(9)->toPlainText(), QStringLiteral(" 4848527.184"));
}

TEST_F(DatumWindowTest, InputMessagesBeepAndKeepTheBoxes) {
  struct Case {
    QString first, second, third;
    QString message;
  } cases[] = {
      {QStringLiteral("1\n2"), QStringLiteral("1"), QStringLiteral("1"), kCountMessage},     // different counts
      {QStringLiteral("1\n"), QStringLiteral("1"), QStringLiteral("1"), kCountMessage},      // a trailing break
      {QStringLiteral("1\n"), QStringLiteral("1\n"), QStringLiteral("1\n"),
       kNonNumericMessage + QStringLiteral("\r\n Línea 2, columna φ de Geodésicas (pseudosexagesimal). ")},  // empty last line
      {QStringLiteral("40,5"), QStringLiteral("-3.3"), QStringLiteral("700"),
       kNonNumericMessage + QStringLiteral("\r\n Línea 1, columna φ de Geodésicas (pseudosexagesimal). ")},  // decimal comma
  };
  int expectedBeeps = 0;
  for (const Case& c : cases) {
    Type(6, c.first);
    Type(7, c.second);
    Type(8, c.third);
    dialogs.dialogs.clear();
    QTest::mouseClick(Button(QStringLiteral("Transform2")), Qt::LeftButton);
    EXPECT_EQ(dialogs.beeps, ++expectedBeeps);
    EXPECT_EQ(dialogs.Log(), QStringLiteral("message | information |  | ") + c.message + QLatin1Char('\n'));
    EXPECT_EQ(Box(6)->toPlainText(), c.first);
    EXPECT_TRUE(Box(0)->toPlainText().isEmpty());
  }
}

TEST_F(DatumWindowTest, InputLoadsTheFormatsColumnsOnly) {
  Box(0)->setPlainText(QStringLiteral("old"));
  const QString path = WriteInput(QStringLiteral("puntos.txt"), "3\r\n40.3,-3.3,700\r\n41.223, 2.0915, 50");
  dialogs.fileAnswers = {path};
  QTest::mouseClick(Button(QStringLiteral("Input")), Qt::LeftButton);
  ASSERT_EQ(dialogs.dialogs.size(), 1u);
  EXPECT_EQ(dialogs.dialogs[0].kind, testing::RecordedDialog::Kind::Open);
  EXPECT_EQ(dialogs.dialogs[0].request.filter,
            QStringLiteral("Archivos de texto (*.txt)|*.txt|Archivos TMP (*.tmp)|*.tmp|Todos los archivos (*.*)|*.*"));
  EXPECT_EQ(Box(6)->toPlainText(), QStringLiteral(" 40.30000000\n 41.22300000"));
  EXPECT_EQ(Box(8)->toPlainText(), QStringLiteral("   700.000\n    50.000"));
  for (int k = 0; k < 18; ++k) {
    if (k < 6 || k > 8) {
      EXPECT_TRUE(Box(k)->toPlainText().isEmpty()) << k;
    }
  }
  EXPECT_EQ(EditorOpenedFileName(), path);
  QTest::mouseClick(Button(QStringLiteral("Command2")), Qt::LeftButton);
  EXPECT_EQ(editorOpenings, 1);
}

// Positive values below 1 have no zero before the point, negative ones "-0" (hand-worked:
// 0.5 -> ".5" -> |6 - 0| blanks, ".500").
TEST_F(DatumWindowTest, ValuesBelowOneKeepTheGeneralTextOfTheirIntegerPart) {
  Type(6, QStringLiteral("40.3"));
  Type(7, QStringLiteral("-0.3"));
  Type(8, QStringLiteral("0.5"));
  window.Transform(2);
  EXPECT_TRUE(dialogs.dialogs.empty());
  EXPECT_EQ(Box(7)->toPlainText(), QStringLiteral(" -0.30000000"));
  for (int k : {2, 5, 8}) EXPECT_EQ(Box(k)->toPlainText(), QStringLiteral("      .500")) << k;
}

// Input files that load nothing: the message (none when the file holds only its identifier,
// which empties the window) and whether the boxes keep what they held.
TEST_F(DatumWindowTest, InputFilesThatLoadNothing) {
  struct Case {
    const char* bytes;  // nullptr: the dialog is cancelled
    QString log;
    bool boxesKept;
  };
  const Case cases[] = {
      {"4\r\n", QString(), false},
      {"7\r\n1,2,3", QStringLiteral("message | none |  |  El indicador de tipo de datos 7 no es reconocido \n"), true},
      {"1\r\n457631.066,4483452.284,700\r\n457631.066,abc,700",
       QStringLiteral("message | exclamation |  |  La línea 3 del fichero no contiene tres coordenadas numéricas separadas por comas \n"),
       true},
      {nullptr, QString(), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes == nullptr ? "cancelled" : c.bytes);
    for (int k = 0; k < 18; ++k) Box(k)->setPlainText(QStringLiteral("1"));
    dialogs.dialogs.clear();
    dialogs.fileAnswers = {c.bytes == nullptr ? QString() : WriteInput(QStringLiteral("entrada.txt"), c.bytes)};
    window.InputFromFile();
    EXPECT_EQ(dialogs.Log(), QStringLiteral("open | none | Entrada por fichero | \n") + c.log);
    for (int k = 0; k < 18; ++k) EXPECT_EQ(Box(k)->toPlainText().isEmpty(), !c.boxesKept) << k;
  }
  dialogs.fileAnswers = {QString()};
  window.OutputToFile();  // cancelled: nothing written, nothing said
  EXPECT_EQ(dialogs.Messages(), QStringList{});
}

TEST_F(DatumWindowTest, OutputWritesTheLayoutAndAsksBeforeOverwriting) {
  Type(6, QStringLiteral("40.3\n41.223"));
  Type(7, QStringLiteral("-3.3\n2.0915"));
  Type(8, QStringLiteral("700\n50"));
  window.Transform(2);
  const QString existing = WriteInput(QStringLiteral("existe.txt"), "viejo");
  const QString fresh = dir.filePath(QStringLiteral("salida.txt"));
  // Existing file: No shows the dialog again; the second name is new.
  dialogs.fileAnswers = {existing, fresh};
  dialogs.yesNoAnswers = {false};
  QTest::mouseClick(Button(QStringLiteral("Output")), Qt::LeftButton);
  ASSERT_EQ(dialogs.dialogs.size(), 3u);
  EXPECT_EQ(dialogs.dialogs[1].kind, testing::RecordedDialog::Kind::YesNo);
  EXPECT_EQ(dialogs.dialogs[1].text, QStringLiteral(" ¡El Fichero ya existe! \r\n ¿Desea sobreescribirlo? "));
  EXPECT_EQ(dialogs.dialogs[1].icon, MessageIcon::Information);
  EXPECT_FALSE(dialogs.dialogs[1].defaultYes);
  EXPECT_EQ(ReadFileBytes(existing.toStdString()).value(), "viejo");

  const std::string text = ReadFileBytes(fresh.toStdString()).value();
  EXPECT_EQ(text, BuildCoordinateOutput(window.Points()));

  // Yes overwrites.
  dialogs.dialogs.clear();
  dialogs.fileAnswers = {existing};
  dialogs.yesNoAnswers = {true};
  window.OutputToFile();
  EXPECT_EQ(ReadFileBytes(existing.toStdString()).value(), text);
}

TEST_F(DatumWindowTest, EraseHelpAboutAndSalir) {
  for (int k = 0; k < 18; ++k) Box(k)->setPlainText(QStringLiteral("1"));
  QTest::mouseClick(Button(QStringLiteral("Erase")), Qt::LeftButton);
  for (int k = 0; k < 18; ++k) EXPECT_TRUE(Box(k)->toPlainText().isEmpty()) << k;
  QTest::mouseClick(Button(QStringLiteral("Help")), Qt::LeftButton);
  ASSERT_TRUE(window.Help() != nullptr && window.Help()->isVisible());
  // Screen order: each label below the previous one.
  for (int i = 2; i <= 11; ++i) {
    EXPECT_GT(window.Help()->findChild<QLabel*>(QStringLiteral("Label%1").arg(i))->y(),
              window.Help()->findChild<QLabel*>(QStringLiteral("Label%1").arg(i - 1))->y());
  }
  QTest::mouseClick(window.Help()->findChild<QPushButton*>(QStringLiteral("OK")), Qt::LeftButton);
  EXPECT_FALSE(window.Help()->isVisible());
  QTest::mouseClick(Button(QStringLiteral("Command1")), Qt::LeftButton);
  ASSERT_TRUE(window.About() != nullptr && window.About()->isVisible());
  QTest::mouseClick(window.About()->findChildren<QPushButton*>().front(), Qt::LeftButton);
  EXPECT_FALSE(window.About()->isVisible());
  QTest::mouseClick(Button(QStringLiteral("Command3")), Qt::LeftButton);
  EXPECT_FALSE(window.isVisible());
}

// "Editor de texto" shows the editor as a freshly loaded window: empty text, its own caption,
// and the opened-file name the utility set is emptied by the load.
TEST(DatumWindowEditorButton, ShowsTheEditorWithoutOpeningTheFileRead) {
  testing::FakeDialogService dialogs;
  EditorWindow& editor = EditorInstance();
  editor.TextBox()->clear();
  editor.close();  // another test may have left it open
  ASSERT_FALSE(editor.isVisible());
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("puntos.txt"));
  ASSERT_TRUE(WriteFileAtomically(path.toStdString(), "1\r\n457631.066,4483452.284,700").ok());
  DatumWindow window;
  dialogs.fileAnswers = {path};
  window.InputFromFile();
  ASSERT_EQ(EditorOpenedFileName(), path);
  QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
  EXPECT_TRUE(editor.isVisible());
  EXPECT_TRUE(editor.TextBox()->toPlainText().isEmpty());
  EXPECT_EQ(editor.windowTitle(), QStringLiteral("Editor de texto"));
  EXPECT_TRUE(EditorOpenedFileName().isEmpty());
  editor.close();
  EXPECT_FALSE(editor.isVisible());
  EXPECT_EQ(ReadFileBytes(path.toStdString()).value(), "1\r\n457631.066,4483452.284,700");
}

TEST(DatumWindowInstance, IsOneWindow) {
  EXPECT_EQ(&DatumWindowInstance(), &DatumWindowInstance());
  ShowDatumWindow();
  EXPECT_TRUE(DatumWindowInstance().isVisible());
  DatumWindowInstance().close();
}

}  // namespace
}  // namespace korvo
