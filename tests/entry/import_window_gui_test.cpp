// frmImport: enabling of Aceptar, Enter as Aceptar, the remembered paths and the choosers.
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <algorithm>
#include <QLabel>
#include <QListWidget>

#include "common/files.h"
#include "gui_support/entry_support.h"
#include "matimport/import_window.h"
#include "app/project_chooser.h"
#include "network/entry/entry_choosers.h"

namespace korvo::testing {
namespace {

QList<QLineEdit*> Fields(QWidget* window) {
  QList<QLineEdit*> fields = window->findChildren<QLineEdit*>(QStringLiteral("Archivo"));
  std::sort(fields.begin(), fields.end(),
            [](QLineEdit* a, QLineEdit* b) { return a->property("index").toInt() < b->property("index").toInt(); });
  return fields;
}

class ImportWindowTest : public EntryTest {
 protected:
  // Records the paths that Aceptar hands over, instead of importing them.
  void CapturePaths() {
    windows->Import()->SetImporter([this](const MatrixPaths& paths) { importedPaths.push_back(paths); });
  }
  std::vector<MatrixPaths> importedPaths;

  ImportWindow* OpenImport() {
    two->show();
    Click(Named<QPushButton>(two, "Command2"));
    ImportWindow* window = windows->Import();
    EXPECT_TRUE(window->isVisible());
    return window;
  }
};

TEST_F(ImportWindowTest, AceptarOnlyWithThreeNamesAndEnterActsAsAceptar) {
  CapturePaths();
  ImportWindow* window = OpenImport();
  auto* accept = Named<QPushButton>(window, "btnAceptar");
  const QList<QLineEdit*> fields = Fields(window);
  EXPECT_FALSE(accept->isEnabled());
  Type(fields[0], QStringLiteral("/datos/a.txt"));
  Type(fields[2], QStringLiteral("/datos/p.txt"));
  EXPECT_FALSE(accept->isEnabled());
  // Enter while Aceptar is disabled does nothing.
  QTest::keyClick(fields[2], Qt::Key_Return);
  EXPECT_TRUE(importedPaths.empty());
  EXPECT_TRUE(window->isVisible());
  Type(fields[1], QStringLiteral("/datos/k.txt"));
  EXPECT_TRUE(accept->isEnabled());
  fields[1]->clear();
  EXPECT_FALSE(accept->isEnabled());
  Type(fields[1], QStringLiteral("/datos/k.txt"));
  QTest::keyClick(fields[1], Qt::Key_Return);
  ASSERT_EQ(importedPaths.size(), 1u);
  EXPECT_EQ(importedPaths[0][0], QStringLiteral("/datos/a.txt"));
  EXPECT_EQ(importedPaths[0][1], QStringLiteral("/datos/k.txt"));
  EXPECT_EQ(importedPaths[0][2], QStringLiteral("/datos/p.txt"));
  EXPECT_FALSE(window->isVisible());
}

TEST_F(ImportWindowTest, PathsAreRememberedForTheNextOpening) {
  CapturePaths();
  ImportWindow* window = OpenImport();
  const QList<QLineEdit*> fields = Fields(window);
  Type(fields[0], QStringLiteral("a.txt"));
  Type(fields[1], QStringLiteral("k.txt"));
  Type(fields[2], QStringLiteral("p.txt"));
  Click(Named<QPushButton>(window, "btnAceptar"));
  ASSERT_EQ(importedPaths.size(), 1u);

  window = OpenImport();
  EXPECT_EQ(fields[0]->text(), QStringLiteral("a.txt"));
  EXPECT_EQ(fields[1]->text(), QStringLiteral("k.txt"));
  EXPECT_EQ(fields[2]->text(), QStringLiteral("p.txt"));
  EXPECT_TRUE(Named<QPushButton>(window, "btnAceptar")->isEnabled());
  // Cancelar imports nothing and does not change what is remembered.
  Type(fields[0], QStringLiteral("otro.txt"));
  // Importar again while the window is open only brings it forward: the typed name stays.
  window = OpenImport();
  EXPECT_EQ(fields[0]->text(), QStringLiteral("otro.txt"));
  Click(Named<QPushButton>(window, "btnCancelar"));
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(importedPaths.size(), 1u);
  window = OpenImport();
  EXPECT_EQ(fields[0]->text(), QStringLiteral("a.txt"));
}

TEST_F(ImportWindowTest, ExaminarFillsTheFieldOfItsMatrix) {
  ImportWindow* window = OpenImport();
  QList<QPushButton*> browse = window->findChildren<QPushButton*>(QStringLiteral("Examinar"));
  std::sort(browse.begin(), browse.end(),
            [](QPushButton* a, QPushButton* b) { return a->property("index").toInt() < b->property("index").toInt(); });
  ASSERT_EQ(browse.size(), 3);
  const QString examples = QString::fromUtf8(KORVO_SOURCE_DIR) + QStringLiteral("/examples");
  for (int i = 0; i < 3; ++i) {
    Click(browse[i]);
    ProjectChooser* chooser = window->Chooser();
    ASSERT_TRUE(chooser->isVisible());
    chooser->SetFolder(examples);
    auto* files = Named<QListWidget>(chooser, "File1");
    const auto found = files->findItems(QStringLiteral("informe_wave.txt"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    files->setCurrentItem(found[0]);
    Type(Named<QLineEdit>(chooser, "Text1"), found[0]->text());
    Click(Named<QPushButton>(chooser, "btnAceptar"));
    EXPECT_EQ(Fields(window)[i]->text(),
              QDir::toNativeSeparators(examples + QStringLiteral("/informe_wave.txt")));
  }
  EXPECT_TRUE(Named<QPushButton>(window, "btnAceptar")->isEnabled());
}

void WriteText(const std::string& path, const std::string& text) { ASSERT_TRUE(WriteFileAtomically(path, text).ok()); }

TEST_F(ImportWindowTest, AceptarImportsTheSystemAndShowsTheProjectText) {
  one->show();
  EnterVertex("1", QStringLiteral("Incógnita"), "4929334.12", "-312456.78", "4024110.5");
  const std::string vertexList = state.vertexListText;
  WriteText(Path("a.txt"), "1;0\r\n0;1\r\n1;1");
  WriteText(Path("k.txt"), "0.01\r\n-0.02\r\n0.005");
  WriteText(Path("p.txt"), "1 0 0\r\n0 2 0\r\n0 0 4");
  ImportWindow* window = OpenImport();
  const QList<QLineEdit*> fields = Fields(window);
  Type(fields[0], QString::fromStdString(Path("a.txt")));
  Type(fields[1], QString::fromStdString(Path("k.txt")));
  Type(fields[2], QString::fromStdString(Path("p.txt")));
  Click(Named<QPushButton>(window, "btnAceptar"));
  EXPECT_TRUE(dialogs.Messages().isEmpty()) << dialogs.Messages().join(QLatin1Char('|')).toStdString();
  ASSERT_EQ(installed.size(), 1u);
  EXPECT_EQ(installed[0].system.numEquations, 3);
  EXPECT_EQ(installed[0].system.numUnknowns, 2);
  EXPECT_DOUBLE_EQ(installed[0].system.P(3, 3), 4.0);
  ASSERT_EQ(installed[0].network.vertices.size(), 1u);
  EXPECT_TRUE(state.matricesImported);
  // The vertex list, "MATRICES IMPORTADAS:" and the three paths, each after four blanks.
  const std::string expectedText = vertexList + "\r\nMATRICES IMPORTADAS:\r\n    " + Path("a.txt") + "\r\n    " +
                                   Path("k.txt") + "\r\n    " + Path("p.txt") + "\r\n    ";
  EXPECT_EQ(state.projectText, expectedText);
  EXPECT_EQ(shownProjectTexts, std::vector<std::string>{expectedText});
}

TEST_F(ImportWindowTest, FileFailuresClearTheImportFlagWithoutTheBellAndChecksKeepIt) {
  one->show();
  EnterVertex("1", QStringLiteral("Incógnita"), "4929334.12", "-312456.78", "4024110.5");
  WriteText(Path("a.txt"), "1;0\r\n0;1\r\n1;1");
  WriteText(Path("k.txt"), "0.01\r\n-0.02\r\n0.005");
  WriteText(Path("p.txt"), "1 0 0\r\n0 2 0\r\n0 0 4");
  WriteText(Path("p0.txt"), "1 0 0\r\n0 0 0\r\n0 0 4");
  auto importWith = [this](const std::string& a, const std::string& p) {
    ImportWindow* window = OpenImport();
    const QList<QLineEdit*> fields = Fields(window);
    for (int i = 0; i < 3; ++i) fields[i]->clear();
    Type(fields[0], QString::fromStdString(a));
    Type(fields[1], QString::fromStdString(Path("k.txt")));
    Type(fields[2], QString::fromStdString(p));
    Click(Named<QPushButton>(window, "btnAceptar"));
  };
  importWith(Path("a.txt"), Path("p.txt"));
  ASSERT_TRUE(state.matricesImported);
  ASSERT_EQ(dialogs.beeps, 0);

  // A weight of 0 on row 2: the bell and the message; the flag stays as it was.
  importWith(Path("a.txt"), Path("p0.txt"));
  EXPECT_EQ(dialogs.beeps, 1);
  ASSERT_EQ(dialogs.Messages().size(), 1);
  EXPECT_TRUE(dialogs.Messages()[0].contains(QStringLiteral("Hay un peso negativo o nulo: Fila 2")));
  EXPECT_TRUE(state.matricesImported);
  EXPECT_EQ(installed.size(), 1u);

  // A missing A file: its message with the exclamation icon, no bell, and the flag cleared.
  const std::string missing = Path("no_existe.txt");
  importWith(missing, Path("p.txt"));
  EXPECT_EQ(dialogs.beeps, 1);
  ASSERT_EQ(dialogs.Messages().size(), 2);
  EXPECT_EQ(dialogs.Messages()[1], QStringLiteral("¡ El fichero ") + QString::fromStdString(missing) +
                                       QStringLiteral(" no existe !"));
  EXPECT_EQ(dialogs.dialogs.back().icon, MessageIcon::Exclamation);
  EXPECT_FALSE(state.matricesImported);
  EXPECT_EQ(installed.size(), 1u);
}

}  // namespace
}  // namespace korvo::testing
