// The main window's commands that open the other windows: the entry windows (Nuevo, Editar,
// GUARDAR Y SALIR back into the loader, the matrix import), the text editor and the datum
// utility.
#include <gtest/gtest.h>

#include <fstream>

#include <QAction>
#include <QDir>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "gui_support/gui_find.h"
#include "app/main_window.h"
#include "app/project_chooser.h"
#include "app/qt_text.h"
#include "support/project_text.h"
#include "gui_support/fake_dialog_service.h"
#include "matimport/import_matrices.h"
#include "network/project_file.h"

namespace korvo {
namespace {

using testing::Find;
using testing::FindTopLevel;

class OtherWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  void TearDown() override {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget != &window && widget->isVisible()) widget->hide();
    }
  }

  QString WriteSample() {
    const QString path = QDir(folder.path()).absoluteFilePath(QStringLiteral("red.txt"));
    std::ofstream(path.toStdString(), std::ios::binary) << testing::ThreeVertexProject().File(ToCp1252(path));
    return path;
  }
  void ChooseInChooser(const QString& fileName) {
    auto* chooser = window.findChild<ProjectChooser*>(QStringLiteral("frmAbrir"));
    ASSERT_NE(chooser, nullptr);
    ASSERT_TRUE(chooser->isVisible());
    chooser->SetFolder(folder.path());
    auto* files = Find<QListWidget>(chooser, "File1");
    const auto found = files->findItems(fileName, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(found[0]).center());
    QTest::mouseClick(Find<QPushButton>(chooser, "btnAceptar"), Qt::LeftButton);
  }
  void ClickToolbar(const QString& tooltip) {
    auto* toolbar = Find<QToolBar>(&window, "Toolbar1");
    for (QAction* action : toolbar->actions()) {
      if (action->toolTip() == tooltip) {
        QTest::mouseClick(toolbar->widgetForAction(action), Qt::LeftButton);
        return;
      }
    }
    ADD_FAILURE() << "no button " << tooltip.toStdString();
  }
  bool CalculationEnabled() { return Find<QAction>(&window, "menucalcular")->isEnabled(); }

  testing::FakeDialogService fake;
  QTemporaryDir folder;
  Principal window;
};

TEST_F(OtherWindowsTest, EditarReadsTheFileIntoTheEntryWindowsAndGuardarYSalirLoadsIt) {
  const QString path = WriteSample();
  Find<QAction>(&window, "menueditar")->trigger();
  ChooseInChooser(QStringLiteral("red.txt"));
  EXPECT_TRUE(fake.Messages().isEmpty()) << fake.Messages().join(QLatin1Char('|')).toStdString();
  QWidget* nuevoII = FindTopLevel<QWidget>("NuevoII");
  ASSERT_NE(nuevoII, nullptr);
  EXPECT_NE(FindTopLevel<QWidget>("NuevoI"), nullptr);
  EXPECT_FALSE(window.State().editMode);
  // The sections are those of the file; the network itself is not loaded.
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const ProjectSections sections = SplitProjectText(file.readAll().toStdString());
  ASSERT_TRUE(sections.titlesFound);
  EXPECT_EQ(window.State().vertexListText, sections.vertexListText);
  EXPECT_EQ(window.State().gpsListText, sections.gpsListText);
  EXPECT_FALSE(CalculationEnabled());
  EXPECT_TRUE(window.Model().vertices.empty());

  // GUARDAR Y SALIR writes the project under a new name and the main window loads it.
  const QString saved = QDir(folder.path()).absoluteFilePath(QStringLiteral("guardada.txt"));
  fake.fileAnswers = {saved};
  Find<QPushButton>(nuevoII, "Command3")->click();
  EXPECT_TRUE(QFile::exists(saved));
  EXPECT_TRUE(CalculationEnabled());
  EXPECT_EQ(window.Model().VertexCount(), 3);
  EXPECT_EQ(window.Model().GpsCount(), 2);
  EXPECT_TRUE(Find<QPlainTextEdit>(&window, "Text2")->toPlainText().contains(QStringLiteral("Incógnita")));
}

TEST_F(OtherWindowsTest, NuevoEditorAndDatumUtilityOpen) {
  window.State().vertexListText = "algo";
  MarkListsSaved(window.State());  // as read from a file: Nuevo asks nothing
  ClickToolbar(QStringLiteral("Nuevo"));
  EXPECT_NE(FindTopLevel<QWidget>("NuevoI"), nullptr);
  EXPECT_TRUE(window.State().vertexListText.empty());
  ClickToolbar(QStringLiteral("Editor de texto"));
  EXPECT_NE(FindTopLevel<QWidget>("frmEditor"), nullptr);
  ClickToolbar(QStringLiteral("Aplicación ZENDA"));
  QWidget* utility = FindTopLevel<QWidget>("Main");
  ASSERT_NE(utility, nullptr);
  EXPECT_EQ(utility->windowTitle(), QStringLiteral("Transformación de datum"));
  EXPECT_EQ(utility->windowModality(), Qt::ApplicationModal);
  EXPECT_TRUE(fake.dialogs.empty());
}

TEST_F(OtherWindowsTest, ImportedMatricesAreSolvedByTheNextCalcularUntilAProjectIsOpened) {
  // Four equations in two unknowns, unit weights (values separated by blanks, rows by CR LF).
  auto write = [this](const char* name, const char* bytes) {
    const QString path = QDir(folder.path()).absoluteFilePath(QString::fromLatin1(name));
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
    return path;
  };
  const QString a = write("A.txt", "1 0\r\n0 1\r\n1 1\r\n1 -1");
  const QString k = write("k.txt", "1\r\n2\r\n3.1\r\n-0.9");
  const QString p = write("P.txt", "1 0 0 0\r\n0 1 0 0\r\n0 0 1 0\r\n0 0 0 1");
  const std::string vertexList = SplitProjectText(testing::ThreeVertexProject().File()).vertexListText;
  Result<ImportedMatrices> imported = ImportMatrices(
      {QFile::encodeName(a).toStdString(), QFile::encodeName(k).toStdString(), QFile::encodeName(p).toStdString()},
      vertexList);
  ASSERT_TRUE(imported.ok()) << imported.error();
  window.InstallImportedMatrices(std::move(imported.value()));
  EXPECT_TRUE(window.State().matricesImported);
  EXPECT_TRUE(CalculationEnabled());
  EXPECT_TRUE(Find<QPlainTextEdit>(&window, "Text2")->toPlainText().contains(QStringLiteral("MATRICES IMPORTADAS:")));

  const QString results = QDir(folder.path()).absoluteFilePath(QStringLiteral("resultados.txt"));
  fake.fileAnswers = {results};
  ClickToolbar(QStringLiteral("Calcular"));
  EXPECT_TRUE(fake.Messages().isEmpty()) << fake.Messages().join(QLatin1Char('|')).toStdString();
  const ResultsTexts& texts = window.LastResults();
  EXPECT_TRUE(texts.header.empty());  // no system is printed for an imported system
  ASSERT_FALSE(texts.leastSquares.empty());
  QFile written(results);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(written.readAll().toStdString(), texts.leastSquares + texts.robustComparison + "\r\n");

  // Opening a project through Abrir makes the network the thing to adjust again.
  WriteSample();
  Find<QAction>(&window, "menuabrir")->trigger();
  ChooseInChooser(QStringLiteral("red.txt"));
  EXPECT_FALSE(window.State().matricesImported);
  fake.fileAnswers.clear();
  ClickToolbar(QStringLiteral("Calcular"));
  EXPECT_FALSE(window.LastResults().header.empty());
}

}  // namespace
}  // namespace korvo
