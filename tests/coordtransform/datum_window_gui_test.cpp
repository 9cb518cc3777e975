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

TEST_F(DatumWindowTest, HasItsCaptionsBoxesAndButtons) {
  EXPECT_EQ(window.objectName(), QStringLiteral("Main"));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Transformación de datum"));
  QStringList labels;
  for (QLabel* label : window.findChildren<QLabel*>()) labels << label->text();
  EXPECT_TRUE(labels.contains(QStringLiteral("TRANSFORMACIÓN DE DATUM")));
  EXPECT_TRUE(labels.contains(
      QStringLiteral("Introduzca las coordenadas en uno de los siguientes formatos y pulse TRANSFORMAR")));
  for (int k = 0; k < 18; ++k) ASSERT_NE(Box(k), nullptr) << k;
  for (int f = 0; f < 6; ++f) {
    QPushButton* button = Button(QStringLiteral("Transform%1").arg(f));
    ASSERT_NE(button, nullptr) << f;
    EXPECT_EQ(button->text(), QStringLiteral("< TRANSFORMAR >"));
  }
  const std::pair<const char*, const char*> buttons[] = {
      {"Input", "Entrada por fichero"}, {"Output", "Salida por fichero"}, {"Erase", "Borrar"},
      {"Help", "Ayuda"}, {"Command1", "Acerca de"}, {"Command2", "Editor de texto"}, {"Command3", "Salir"}};
  for (const auto& [name, caption] : buttons) {
    ASSERT_NE(Button(QString::fromUtf8(name)), nullptr) << name;
    EXPECT_EQ(Button(QString::fromUtf8(name))->text(), QString::fromUtf8(caption));
  }
  // Each format's frame with its caption, inside its datum's frame, over its column labels.
  const char* captions[] = {"UTM huso 30", "UTM huso 31", "Geodésicas (pseudosexagesimal)",
                            "Cartesianas geocéntricas", "Geodésicas (pseudosexagesimal)", "Cartesianas geocéntricas"};
  const char* columns[] = {"X", "Y", "h", "X", "Y", "h", "φ", "λ", "h", "X", "Y", "Z", "φ", "λ", "h", "X", "Y", "Z"};
  for (int f = 0; f < 6; ++f) {
    auto* frame = window.findChild<QGroupBox*>(QStringLiteral("Frame%1").arg(f + 1));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), QString::fromUtf8(captions[f]));
    auto* datum = qobject_cast<QGroupBox*>(frame->parentWidget());
    ASSERT_NE(datum, nullptr);
    EXPECT_EQ(datum->title(), f < 4 ? QStringLiteral("ED50") : QStringLiteral("WGS84"));
    EXPECT_EQ(Box(3 * f)->parentWidget(), frame);
    for (int c = 0; c < 3; ++c) {
      auto* label = frame->findChild<QLabel*>(QStringLiteral("ColumnLabel%1").arg(3 * f + c));
      ASSERT_NE(label, nullptr);
      EXPECT_EQ(label->text(), QString::fromUtf8(columns[3 * f + c]));
    }
  }
}

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
  EXPECT_EQ(window.Points().size(), 1u);
  EXPECT_EQ(Box(9)->toPlainText(), QStringLiteral(" 4848527.184"));
  EXPECT_EQ(Box(0)->toPlainText(), QStringLiteral("  457631.066"));
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
    ASSERT_EQ(dialogs.Messages(), QStringList{c.message}) << c.first.toStdString();
    EXPECT_EQ(dialogs.dialogs.front().icon, MessageIcon::Information);
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

TEST_F(DatumWindowTest, AFileWithOnlyTheIdentifierEmptiesTheWindow) {
  for (int k = 0; k < 18; ++k) Box(k)->setPlainText(QStringLiteral("1"));
  dialogs.fileAnswers = {WriteInput(QStringLiteral("vacio.txt"), "4\r\n")};
  window.InputFromFile();
  EXPECT_EQ(dialogs.Messages(), QStringList{});
  for (int k = 0; k < 18; ++k) EXPECT_TRUE(Box(k)->toPlainText().isEmpty()) << k;
  EXPECT_TRUE(window.Points().empty());
}

TEST_F(DatumWindowTest, InputRefusesAnUnknownIdentifierQuotingIt) {
  Box(0)->setPlainText(QStringLiteral("457631.066"));
  const QString path = WriteInput(QStringLiteral("siete.txt"), "7\r\n1,2,3");
  dialogs.fileAnswers = {path};
  window.InputFromFile();
  ASSERT_EQ(dialogs.Messages(), QStringList{QStringLiteral(" El indicador de tipo de datos 7 no es reconocido ")});
  EXPECT_EQ(dialogs.dialogs.back().icon, MessageIcon::None);
  EXPECT_EQ(Box(0)->toPlainText(), QStringLiteral("457631.066"));  // nothing loaded, nothing cleared
}

TEST_F(DatumWindowTest, InputNamesTheLineOfABadPoint) {
  const QString path = WriteInput(QStringLiteral("malo.txt"), "1\r\n457631.066,4483452.284,700\r\n457631.066,abc,700");
  dialogs.fileAnswers = {path};
  window.InputFromFile();
  ASSERT_EQ(dialogs.Messages(),
            QStringList{QStringLiteral(" La línea 3 del fichero no contiene tres coordenadas numéricas separadas por comas ")});
  EXPECT_TRUE(Box(0)->toPlainText().isEmpty());
}

TEST_F(DatumWindowTest, CancelledDialogsDoNothing) {
  dialogs.fileAnswers = {QString(), QString()};
  window.InputFromFile();
  window.OutputToFile();
  EXPECT_EQ(dialogs.Messages(), QStringList{});
  EXPECT_EQ(dialogs.dialogs.size(), 2u);
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
  const auto lines = SplitLines(text);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(text.substr(text.size() - 2), "\r\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
  for (std::string_view line : lines) {
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), 12);
    EXPECT_EQ(std::count(line.begin(), line.end(), ';'), 5);
  }
  EXPECT_EQ(std::string(lines[0].substr(0, 51)), "  457631.066, 4483452.284,   700.000;  -50980.563, ");

  // Yes overwrites.
  dialogs.dialogs.clear();
  dialogs.fileAnswers = {existing};
  dialogs.yesNoAnswers = {true};
  window.OutputToFile();
  EXPECT_EQ(ReadFileBytes(existing.toStdString()).value(), text);
}

TEST_F(DatumWindowTest, EraseEmptiesAllBoxes) {
  for (int k = 0; k < 18; ++k) Box(k)->setPlainText(QStringLiteral("1"));
  QTest::mouseClick(Button(QStringLiteral("Erase")), Qt::LeftButton);
  for (int k = 0; k < 18; ++k) EXPECT_TRUE(Box(k)->toPlainText().isEmpty()) << k;
}

TEST_F(DatumWindowTest, HelpWindowShowsItsLabelsInOrder) {
  QTest::mouseClick(Button(QStringLiteral("Help")), Qt::LeftButton);
  HelpWindow* help = window.Help();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(help->objectName(), QStringLiteral("Ayuda"));
  EXPECT_EQ(help->windowTitle(), QStringLiteral("Zenda - Ayuda"));
  const QStringList expected = {
      QStringLiteral("Programa para la transformación de coordenadas entre ED50 y WGS84"),
      QStringLiteral("Introduzca las coordenadas en cualquiera de los formatos permitidos y pulse TRANSFORMAR para "
                     "convertir al resto de formatos."),
      QStringLiteral("Tenga cuidado de no introducir una línea en blanco al final de alguna columna de coordenadas."),
      QStringLiteral("Las coordenadas X, Y, Z, h se darán en metros. La latitud y longitud en formato pseudosexagesimal: "
                     "g.mmssffff g: grados sexagesimales; mm: minutos sexag.; ss: segundos sexag.; ffff: fracciones de "
                     "segundos sexag."),
      QStringLiteral("ENTRADA POR FICHERO"),
      QStringLiteral("Se permite la entrada de datos mediante fichero ASCII que contenga:"),
      QStringLiteral("- En la primera fila: un identificador del 1 al 6 que indique el formato de los datos de entrada, "
                     "según:        1: UTM huso 30,        2: UTM huso 31,        3: Geográficas en ED50,        4: "
                     "Cartesianas en ED50,      5: Geográficas en WGS84,       6: Cartesianas en WGS84"),
      QStringLiteral("- En cada una de las siguientes filas: las coordenadas de cada punto SEPARADAS POR COMAS."),
      QStringLiteral("SALIDA POR FICHERO"),
      QStringLiteral("Se permite la salida de los datos a un fichero ASCII, que se puede abrir en el EDITOR, que contiene:"),
      QStringLiteral("En cada fila las coordenadas de un punto separadas por COMAS en cada uno de los formatos anteriores, "
                     "que quedan separados por PUNTO Y COMA."),
  };
  QStringList shown;
  for (int i = 1; i <= expected.size(); ++i) {
    auto* label = help->findChild<QLabel*>(QStringLiteral("Label%1").arg(i));
    ASSERT_NE(label, nullptr) << i;
    shown << label->text();
  }
  EXPECT_EQ(shown, expected);
  // Screen order: each label below the previous one.
  for (int i = 2; i <= expected.size(); ++i) {
    EXPECT_GT(help->findChild<QLabel*>(QStringLiteral("Label%1").arg(i))->y(),
              help->findChild<QLabel*>(QStringLiteral("Label%1").arg(i - 1))->y());
  }
  QTest::mouseClick(help->findChild<QPushButton*>(QStringLiteral("OK")), Qt::LeftButton);
  EXPECT_FALSE(help->isVisible());
}

TEST_F(DatumWindowTest, AboutWindowOpensAndCloses) {
  QTest::mouseClick(Button(QStringLiteral("Command1")), Qt::LeftButton);
  AboutWindow* about = window.About();
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->objectName(), QStringLiteral("About"));
  EXPECT_TRUE(about->isVisible());
  const auto buttons = about->findChildren<QPushButton*>();
  ASSERT_EQ(buttons.size(), 1);
  QTest::mouseClick(buttons.front(), Qt::LeftButton);
  EXPECT_FALSE(about->isVisible());
}

TEST_F(DatumWindowTest, SalirClosesTheWindow) {
  ASSERT_TRUE(window.isVisible());
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
