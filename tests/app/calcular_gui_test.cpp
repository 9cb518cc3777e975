// Calcular on the main window: what the panels and the pane show, and the results save
// window with its overwrite question. The adjustment itself is the core's, tested there.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <fstream>

#include "app/main_window.h"
#include "app/project_chooser.h"
#include "app/qt_text.h"
#include "common/win1252.h"
#include "gui_support/fake_dialog_service.h"
#include "gui_support/gui_find.h"
#include "network/network_model.h"
#include "support/files.h"
#include "support/project_text.h"

namespace korvo {
namespace {

using testing::Find;

QString Unix(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

const QString kSaveTitle = QStringLiteral("Ajuste realizado - Guardar fichero de salida");

class CalcularTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  QString PathOf(const char* name) const { return QDir(folder.path()).absoluteFilePath(QString::fromLatin1(name)); }
  // Writes the project under `name` (its header naming that path) and opens it.
  void OpenProject(const char* name, const testing::ProjectText& project) {
    std::ofstream(PathOf(name).toStdString(), std::ios::binary) << project.File(ToCp1252(PathOf(name)));
    Find<QAction>(&window, "menuabrir")->trigger();
    auto* chooser = window.findChild<ProjectChooser*>(QStringLiteral("frmAbrir"));
    ASSERT_NE(chooser, nullptr);
    chooser->SetFolder(folder.path());
    auto* files = Find<QListWidget>(chooser, "File1");
    const auto found = files->findItems(QString::fromLatin1(name), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(found[0]).center());
    QTest::mouseClick(Find<QPushButton>(chooser, "btnAceptar"), Qt::LeftButton);
    ASSERT_EQ(fake.Log(), QString());
  }
  void OpenSmall() { OpenProject("red.txt", testing::ThreeVertexProject()); }

  void ClickCalcular() {
    auto* toolbar = Find<QToolBar>(&window, "Toolbar1");
    for (QAction* action : toolbar->actions()) {
      if (action->toolTip() == QStringLiteral("Calcular")) return QTest::mouseClick(toolbar->widgetForAction(action), Qt::LeftButton);
    }
    ADD_FAILURE() << "no Calcular button";
  }

  std::string SavedText() const {
    const ResultsTexts& texts = window.LastResults();
    return texts.header + texts.leastSquares + texts.robustComparison + "\r\n";
  }
  QString PaneText() { return Find<QPlainTextEdit>(&window, "Text2")->toPlainText(); }

  testing::FakeDialogService fake;
  QTemporaryDir folder;
  Principal window;
};

TEST_F(CalcularTest, IterationCounterShowsInPanel2DuringItsEstimator) {
  OpenSmall();
  for (const int limit : {0, 3}) {
    SCOPED_TRACE(limit);
    window.Options().useHuber = window.Options().useLp = false;
    window.Options().useL1 = true;
    window.Options().maxIterL1 = static_cast<std::int16_t>(limit);
    QStringList events;  // "1:" status panel, "2:" iteration panel, in the order shown
    const auto status = QObject::connect(&window, &Principal::statusShown,
                                         [&](const QString& text) { events << QStringLiteral("1:") + text; });
    const auto iteration = QObject::connect(&window, &Principal::iterationShown,
                                            [&](const QString& text) { events << QStringLiteral("2:") + text; });
    ClickCalcular();
    QObject::disconnect(status);
    QObject::disconnect(iteration);
    const qsizetype l1 = events.indexOf(
        QStringLiteral("1:Resolviendo sistema por métodos de estimación robusta...   NORMA L1"
                       "                                        Iteración"));
    ASSERT_GE(l1, 0) << events.join(QLatin1Char('|')).toStdString();
    QStringList counts;
    qsizetype i = l1 + 1;
    for (; i < events.size() && events[i].startsWith(QStringLiteral("2:")); ++i) counts << events[i].mid(2);
    ASSERT_LT(i, events.size());
    EXPECT_EQ(events[i], QStringLiteral("1:"));  // the status empties after the estimator
    // One count per pass, with a leading blank, from " 0"; at most limit + 1 passes.
    ASSERT_FALSE(counts.isEmpty());
    ASSERT_LE(counts.size(), limit + 1);
    for (qsizetype pass = 0; pass < counts.size(); ++pass) EXPECT_EQ(counts[pass], QStringLiteral(" %1").arg(pass));
    EXPECT_EQ(Find<QLabel>(&window, "Panel2")->text(), counts.back());
    EXPECT_EQ(Find<QLabel>(&window, "Panel1")->text(), QStringLiteral("Ajuste realizado"));
  }
}

TEST_F(CalcularTest, SaveAsksBeforeOverwritingAndWritesTheThreeTexts) {
  OpenSmall();
  const QString existing = PathOf("resultados.txt");
  std::ofstream(existing.toStdString(), std::ios::binary) << "viejo\r\n";
  fake.fileAnswers = {existing, existing};
  fake.yesNoAnswers = {false, true};
  ClickCalcular();
  const QString question = QStringLiteral("yesno | information |  |  ¡El Fichero ya existe! \r\n ¿Desea sobreescribirlo? \n");
  const QString save = QStringLiteral("save | none | ") + kSaveTitle + QStringLiteral(" | \n");
  EXPECT_EQ(fake.Log(), save + question + save + question);  // "No" brought the dialog back
  EXPECT_EQ(fake.dialogs[0].request.filter, QStringLiteral("Archivo de texto (*.txt)|*.txt|Todos los archivos (*.*)|*.*"));
  EXPECT_EQ(fake.dialogs[0].request.defaultExtension, QStringLiteral("txt"));
  EXPECT_FALSE(fake.dialogs[1].defaultYes);
  const std::string written = testing::ReadWholeFile(existing.toStdString());
  EXPECT_EQ(written, SavedText());
  // The header starts with the project file itself and carries the printed system.
  EXPECT_TRUE(written.starts_with(testing::ReadWholeFile(PathOf("red.txt").toStdString())));
  EXPECT_NE(written.find(Cp1252("SISTEMA DE ECUACIONES DE OBSERVACIÓN")), std::string::npos);

  // Cancelling the dialog writes nothing.
  fake.dialogs.clear();
  const QStringList before = QDir(folder.path()).entryList(QDir::Files);
  ClickCalcular();
  EXPECT_EQ(fake.Log(), save);
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), before);
}

TEST_F(CalcularTest, AFailedWriteIsReportedAndTheDialogComesBack) {
  OpenSmall();
  const QString unwritable = PathOf("no-existe/resultados.txt");
  fake.fileAnswers = {unwritable, PathOf("bien.txt")};
  ClickCalcular();
  ASSERT_EQ(fake.dialogs.size(), 3u);
  EXPECT_EQ(fake.dialogs[1].kind, testing::RecordedDialog::Kind::Message);
  EXPECT_EQ(fake.dialogs[1].icon, MessageIcon::Critical);
  EXPECT_TRUE(fake.dialogs[1].text.contains(QStringLiteral("resultados.txt"))) << fake.dialogs[1].text.toStdString();
  EXPECT_EQ(fake.dialogs[2].kind, testing::RecordedDialog::Kind::Save);
  EXPECT_FALSE(QFile::exists(unwritable));
  EXPECT_EQ(testing::ReadWholeFile(PathOf("bien.txt").toStdString()), SavedText());
}

// The report reaches the pane while "Realizando informe de resultados..." shows, before the
// bar reaches 100 and the status says "Ajuste realizado". The first adjustment appends to the
// project text, the second replaces it.
TEST_F(CalcularTest, PaneShowsTheReportBeforeTheAdjustmentIsDeclaredDone) {
  OpenSmall();
  const QString projectShown = PaneText();
  bool reportAtHundred = false, reportAtDone = false;
  const QString marker = QStringLiteral("Vectores de fiabilidad externa");
  QObject::connect(&window, &Principal::progressShown, [&](int value) {
    if (value == 100) reportAtHundred = PaneText().contains(marker);
  });
  QObject::connect(&window, &Principal::statusShown, [&](const QString& text) {
    if (text == QStringLiteral("Ajuste realizado")) reportAtDone = PaneText().contains(marker);
  });
  ClickCalcular();
  EXPECT_TRUE(reportAtHundred);
  EXPECT_TRUE(reportAtDone);
  const ResultsTexts first = window.LastResults();
  EXPECT_EQ(PaneText(), projectShown + Unix(FromCp1252(first.leastSquares + first.robustComparison)));
  ClickCalcular();
  const ResultsTexts second = window.LastResults();
  EXPECT_EQ(PaneText(), Unix(FromCp1252(second.header + second.leastSquares + second.robustComparison)));
  EXPECT_EQ(window.State().adjustmentRunCount, 2);
}

// Baselines that are exactly the coordinate differences leave every residual at zero, where
// the adapted Lp norms cannot run: one exclamation box, then the results are offered as usual.
TEST_F(CalcularTest, AnEstimatorThatCannotRunIsAWarningThenTheResultsAreSaved) {
  testing::ProjectText exact;
  exact.Vertex("1", true, "4849202.000", "-360328.000", "4114913.000")
      .Vertex("2", false, "4848000.000", "-358000.000", "4116500.000")
      .Vertex("3", true, "4850500.000", "-357000.000", "4113500.000")
      .Baseline("1", "2", "-1202.000", "2328.000", "1587.000")
      .Baseline("2", "3", "2500.000", "1000.000", "-3000.000");
  OpenProject("exacta.txt", exact);
  fake.fileAnswers = {PathOf("exacta_resultados.txt")};
  ClickCalcular();
  const QString sentence = QStringLiteral(
      "El método de mínimas normas Lp adaptadas no pudo calcularse: El método de mínimas normas Lp adaptadas no "
      "puede determinar la curtosis de la distribución: todos los residuos de mínimos cuadrados son nulos. "
      "Desactive ese método en las opciones de cálculo.");
  EXPECT_EQ(fake.Log(), QStringLiteral("message | exclamation |  | ") + sentence + QStringLiteral("\nsave | none | ") +
                            kSaveTitle + QStringLiteral(" | \n"));
  EXPECT_EQ(testing::ReadWholeFile(PathOf("exacta_resultados.txt").toStdString()), SavedText());
  EXPECT_TRUE(PaneText().contains(sentence));
  EXPECT_EQ(Find<QLabel>(&window, "Panel1")->text(), QStringLiteral("Ajuste realizado"));
}

TEST_F(CalcularTest, AFailedAdjustmentShowsItsMessageAndOffersNoSave) {
  testing::ProjectText broken = testing::ThreeVertexProject();
  broken.Observation(kTypeDistance, "7", "2", "100.000", "0.005");  // vertex 7 is not in the list
  OpenProject("rota.txt", broken);
  ClickCalcular();
  ASSERT_EQ(fake.dialogs.size(), 1u);
  EXPECT_EQ(fake.dialogs[0].kind, testing::RecordedDialog::Kind::Message);
  EXPECT_TRUE(fake.dialogs[0].text.contains(QLatin1Char('7'))) << fake.dialogs[0].text.toStdString();
  EXPECT_TRUE(Find<QLabel>(&window, "Panel1")->text().isEmpty());
}

}  // namespace
}  // namespace korvo
