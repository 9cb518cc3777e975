// The imports of the entry windows: the matrix import window (Aceptar and Enter, remembered paths, the choosers,
// what an import leaves behind) and the Wave button of NuevoII (the chooser and the import into the GPS list).
#include <QDir>
#include <QListWidget>
#include <algorithm>

#include "common/files.h"
#include "gui_support/entry_support.h"
#include "matimport/import_window.h"
#include "app/project_chooser.h"
#include "network/entry/entry_choosers.h"
#include "support/files.h"

namespace korvo::testing {
namespace {

// The widgets of one kind in the order of their "index" property (A, k, P).
template <class T>
QList<T*> Indexed(QWidget* window, const char* name) {
  QList<T*> widgets = window->findChildren<T*>(QString::fromLatin1(name));
  std::sort(widgets.begin(), widgets.end(),
            [](T* a, T* b) { return a->property("index").toInt() < b->property("index").toInt(); });
  return widgets;
}

// Goes to `folderPath` in the chooser, clicks `file` and accepts.
void ChooseFile(ProjectChooser* chooser, const QString& folderPath, const QString& file) {
  chooser->SetFolder(folderPath);
  auto* files = Find<QListWidget>(chooser, "File1");
  const QList<QListWidgetItem*> found = files->findItems(file, Qt::MatchExactly);
  ASSERT_EQ(found.size(), 1) << file.toStdString();
  QTest::mouseClick(files->viewport(), Qt::LeftButton, Qt::NoModifier, files->visualItemRect(found[0]).center());
  Click(Find<QPushButton>(chooser, "btnAceptar"));
  EXPECT_FALSE(chooser->isVisible());
}

class ImportWindowTest : public EntryTest {
 protected:
  std::vector<MatrixPaths> importedPaths;
  ImportWindow* OpenImport() {
    two->show();
    Click(Find<QPushButton>(two, "Command2"));
    ImportWindow* window = windows->Import();
    EXPECT_TRUE(window->isVisible());
    return window;
  }
  QList<QLineEdit*> Fields() { return Indexed<QLineEdit>(windows->Import(), "Archivo"); }
};

// Aceptar (and Enter) only with three names, remembered for the next opening; Cancelar keeps the accepted ones;
// then the walk through the windows and the choosers of Examinar.
TEST_F(ImportWindowTest, AceptarNeedsThreeNamesWhichAreRememberedAndExaminarFillsThem) {
  windows->Import()->SetImporter([this](const MatrixPaths& paths) { importedPaths.push_back(paths); });
  ImportWindow* window = OpenImport();
  auto* accept = Find<QPushButton>(window, "btnAceptar");
  const QList<QLineEdit*> fields = Fields();
  Type(fields[0], QStringLiteral("/datos/a.txt"));
  Type(fields[2], QStringLiteral("/datos/p.txt"));
  EXPECT_FALSE(accept->isEnabled());
  QTest::keyClick(fields[2], Qt::Key_Return);
  EXPECT_TRUE(importedPaths.empty() && window->isVisible());
  Type(fields[1], QStringLiteral("/datos/k.txt"));
  EXPECT_TRUE(accept->isEnabled());
  QTest::keyClick(fields[1], Qt::Key_Return);
  const MatrixPaths typed = {QStringLiteral("/datos/a.txt"), QStringLiteral("/datos/k.txt"), QStringLiteral("/datos/p.txt")};
  EXPECT_EQ(importedPaths, std::vector<MatrixPaths>{typed});
  EXPECT_FALSE(window->isVisible());
  window = OpenImport();
  EXPECT_EQ((MatrixPaths{fields[0]->text(), fields[1]->text(), fields[2]->text()}), typed);
  Type(fields[0], QStringLiteral("otro.txt"));
  Click(Find<QPushButton>(window, "btnCancelar"));
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(importedPaths.size(), 1u);
  OpenImport();
  EXPECT_EQ(fields[0]->text(), typed[0]);
  // "<< Anterior" and "Siguiente >>" keep the hidden window's fields; each Examinar fills its matrix's field.
  one->show();
  Type(Find<QLineEdit>(one, "Text1"), QStringLiteral("123.5"));
  Click(Find<QPushButton>(one, "Command2"));
  EXPECT_TRUE(one->isHidden() && two->isVisible());
  Type(Find<QLineEdit>(two, "Text1"), QStringLiteral("99.5"));
  Click(Find<QPushButton>(two, "Command1"));
  EXPECT_TRUE(two->isHidden() && one->isVisible());
  EXPECT_EQ(Find<QLineEdit>(one, "Text1")->text(), QStringLiteral("123.5"));
  Click(Find<QPushButton>(one, "Command2"));
  EXPECT_EQ(Find<QLineEdit>(two, "Text1")->text(), QStringLiteral("99.5"));
  window = OpenImport();
  const QList<QPushButton*> browse = Indexed<QPushButton>(window, "Examinar");
  ASSERT_EQ(browse.size(), 3);
  const QString examples = QString::fromUtf8(KORVO_SOURCE_DIR) + QStringLiteral("/examples");
  for (int i = 0; i < 3; ++i) {
    Click(browse[i]);
    ChooseFile(window->Chooser(), examples, QStringLiteral("informe_wave.txt"));
    EXPECT_EQ(fields[i]->text(), QDir::toNativeSeparators(examples + QStringLiteral("/informe_wave.txt")));
  }
}

// An import hands the system over and shows the list and its paths; a failed check beeps, a missing file clears the flag.
TEST_F(ImportWindowTest, ImportsSetTheFlagAndFailuresKeepOrClearIt) {
  one->show();
  EnterVertex("1", QStringLiteral("Incógnita"), "4929334.12", "-312456.78", "4024110.5");
  for (const auto& [name, text] : {std::pair{"a.txt", "1;0\r\n0;1\r\n1;1"}, {"k.txt", "0.01\r\n-0.02\r\n0.005"},
                                   {"p.txt", "1 0 0\r\n0 2 0\r\n0 0 4"}, {"p0.txt", "1 0 0\r\n0 0 0\r\n0 0 4"}}) {
    ASSERT_TRUE(WriteFileAtomically(Path(name), text).ok());
  }
  const std::string missing = Path("no_existe.txt");
  const struct {
    std::string a, p;
    int beeps;
    QString log;
    bool flag;
  } cases[] = {
      {Path("a.txt"), Path("p.txt"), 0, "", true},
      {Path("a.txt"), Path("p0.txt"), 1,
       QStringLiteral("message | exclamation |  | ¡ Existe un problema con los pesos !\r\n\r\nHay un peso negativo o "
                      "nulo: Fila 2\n"),
       true},
      {missing, Path("p.txt"), 1,
       QStringLiteral("message | exclamation |  | ¡ El fichero ") + QString::fromStdString(missing) +
           QStringLiteral(" no existe !\n"),
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.p);
    dialogs.dialogs.clear();
    ImportWindow* window = OpenImport();
    for (int i = 0; i < 3; ++i) Type(Fields()[i], QString::fromStdString(i == 0 ? c.a : i == 1 ? Path("k.txt") : c.p));
    Click(Find<QPushButton>(window, "btnAceptar"));
    EXPECT_EQ(dialogs.beeps, c.beeps);
    EXPECT_EQ(dialogs.Log(), c.log);
    EXPECT_EQ(state.matricesImported, c.flag);
    EXPECT_EQ(installed.size(), 1u);
  }
  ASSERT_EQ(installed[0].network.vertices.size(), 1u);
  const std::string expectedText = state.vertexListText + "\r\nMATRICES IMPORTADAS:\r\n    " + Path("a.txt") +
                                   "\r\n    " + Path("k.txt") + "\r\n    " + Path("p.txt") + "\r\n    ";
  EXPECT_EQ(state.projectText, expectedText);
  EXPECT_EQ(shownProjectTexts, std::vector<std::string>{expectedText});
}

using WaveWindowTest = EntryTest;

// Baselines appended with their count (singular for one), fields cleared; a failure keeps blocks before and fields.
TEST_F(WaveWindowTest, ImportsAppendTheirCountOrStopWithTheReason) {
  const std::string report = ReadWholeFile(Example("informe_wave.txt"));
  std::string named = report;  // the second baseline's first station named instead of numbered
  named.replace(named.find("1001", named.find("From Station:", named.find("From Station:") + 1)), 4, "BASE");
  const QString information = QStringLiteral("message | information |  | ");
  const struct {
    const char* name;
    std::string text;
    QString log;
    std::size_t blocks;
    bool failed;
  } cases[] = {
      {"informe.txt", report, information + " Se han añadido 4 líneas base del informe del WAVE. \n", 4, false},
      {"nombre.txt", named,
       QStringLiteral("message | none |  | La estación \"BASE\" que sigue a \"From Station:\" en la línea base 2 no "
                      "es un número de vértice. La importación se detiene en ella.\n"),
       1, true},
      {"otro.txt", "From Station:  1\r\nTo Station:  2\r\n",
       information + "El fichero elegido no contiene ninguna línea base: no aparece en él la palabra \"Aposteriori\" "
                     "de las matrices varianza-covarianza del 'Sumario Detallado' del WAVE.\n",
       0, false},
      {"una.txt", report.substr(0, report.find("Baseline 2 of 4")),
       information + " Se ha añadido 1 línea base del informe del WAVE. \n", 1, false},
  };
  two->show();
  EnterBaseline({"5", "6", "1.25", "2.5", "-3.75", "1E-06", "0", "0", "1E-06", "0", "1E-06"});
  const std::string typed = state.gpsListText;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs.dialogs.clear();
    state.gpsListText = typed;
    ClickListAt(GpsList(), 10);
    ASSERT_FALSE(Find<QPushButton>(two, "Modificar2")->isHidden());
    Type(Find<QComboBox>(two, "Combo12"), QStringLiteral("8"));
    Type(Find<QLineEdit>(two, "Text34"), QStringLiteral("3E-07"));
    ASSERT_TRUE(WriteFileAtomically(Path(c.name), c.text).ok());
    Find<QTabWidget>(two, "TabObservaciones")->setCurrentIndex(1);
    Click(Find<QPushButton>(two, "Wave"));
    ChooseFile(two->WaveChooser(), folder.path(), QString::fromLatin1(c.name));
    EXPECT_EQ(dialogs.Log(), c.log);
    EXPECT_EQ(state.gpsListText, typed + Golden("wave_example_blocks.txt").substr(0, 326 * c.blocks));
    EXPECT_EQ(GpsList()->Section(), state.gpsListText);
    EXPECT_EQ(Find<QComboBox>(two, "Combo12")->currentText(), c.failed ? QStringLiteral("8") : QString());
    EXPECT_EQ(Find<QLineEdit>(two, "Text32")->text(), c.failed ? QStringLiteral("3E-07") : QString());
    EXPECT_TRUE(c.failed || Find<QPushButton>(two, "Modificar2")->isHidden());
  }
}

}  // namespace
}  // namespace korvo::testing
