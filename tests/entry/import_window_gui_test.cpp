// The matrix import window: Aceptar and Enter, remembered paths, the choosers, what an import leaves behind.
#include <QDir>
#include <QListWidget>
#include <algorithm>

#include "common/files.h"
#include "gui_support/entry_support.h"
#include "matimport/import_window.h"
#include "app/project_chooser.h"
#include "network/entry/entry_choosers.h"

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

// Aceptar (and Enter) only with three names, remembered for the next opening; Cancelar keeps the accepted ones.
TEST_F(ImportWindowTest, AceptarNeedsThreeNamesWhichAreRemembered) {
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
}

// "<< Anterior" and "Siguiente >>" keep the hidden window's fields; each Examinar fills its matrix's field.
TEST_F(ImportWindowTest, WalkThroughAnteriorAndExaminar) {
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
  ImportWindow* window = OpenImport();
  const QList<QPushButton*> browse = Indexed<QPushButton>(window, "Examinar");
  ASSERT_EQ(browse.size(), 3);
  const QString examples = QString::fromUtf8(KORVO_SOURCE_DIR) + QStringLiteral("/examples");
  for (int i = 0; i < 3; ++i) {
    Click(browse[i]);
    ProjectChooser* chooser = window->Chooser();
    chooser->SetFolder(examples);
    auto* files = Find<QListWidget>(chooser, "File1");
    const auto found = files->findItems(QStringLiteral("informe_wave.txt"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    files->setCurrentItem(found[0]);
    Click(Find<QPushButton>(chooser, "btnAceptar"));
    EXPECT_EQ(Fields()[i]->text(), QDir::toNativeSeparators(examples + QStringLiteral("/informe_wave.txt")));
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

}  // namespace
}  // namespace korvo::testing
