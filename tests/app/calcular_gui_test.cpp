// Calcular on the main window: status texts and progress in order, the pane afterwards and
// the results save window with its overwrite question.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "app/gui_find.h"
#include "app/main_window.h"
#include "app/project_chooser.h"
#include "app/qt_text.h"
#include "app/sample_project.h"
#include "common/win1252.h"
#include "gui_support/fake_dialog_service.h"

namespace korvo {
namespace {

using testing::Find;

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return file.readAll();
}

QString Unix(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

class CalcularTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  // Copies the sample project that ships with Korvo into the test folder.
  QString CopySample() {
    const QString source = QStringLiteral(KORVO_SOURCE_DIR "/examples/red_ejemplo.txt");
    const QString target = QDir(folder.path()).absoluteFilePath(QStringLiteral("red_ejemplo.txt"));
    EXPECT_TRUE(QFile::copy(source, target));
    return target;
  }
  QString WriteSmall() {
    const QString path = QDir(folder.path()).absoluteFilePath(QStringLiteral("red.txt"));
    return testing::WriteTestFile(folder.path(), QStringLiteral("red.txt"),
                                  testing::ProjectFileText(ToCp1252(path), testing::ThreeVertices(),
                                                           testing::TwoObservations(), testing::TwoBaselines()));
  }

  void Open(const QString& fileName) {
    Find<QAction>(&window, "menuabrir")->trigger();
    auto* chooser = window.findChild<ProjectChooser*>(QStringLiteral("frmAbrir"));
    ASSERT_NE(chooser, nullptr);
    chooser->SetFolder(folder.path());
    auto* files = Find<QListWidget>(chooser, "File1");
    const auto found = files->findItems(fileName, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(found[0]).center());
    QTest::mouseClick(Find<QPushButton>(chooser, "btnAceptar"), Qt::LeftButton);
    ASSERT_TRUE(fake.Messages().isEmpty()) << fake.Messages().join(QLatin1Char('|')).toStdString();
  }

  void ClickCalcular() {
    auto* toolbar = Find<QToolBar>(&window, "Toolbar1");
    for (QAction* action : toolbar->actions()) {
      if (action->toolTip() == QStringLiteral("Calcular")) {
        QTest::mouseClick(toolbar->widgetForAction(action), Qt::LeftButton);
        return;
      }
    }
    ADD_FAILURE() << "no Calcular button";
  }

  QString PaneText() { return Find<QPlainTextEdit>(&window, "Text2")->toPlainText(); }

  testing::FakeDialogService fake;
  QTemporaryDir folder;
  Principal window;
};

TEST_F(CalcularTest, StatusTextsAndProgressAppearInOrder) {
  CopySample();
  Open(QStringLiteral("red_ejemplo.txt"));
  QStringList statuses;
  QList<int> progress;
  QObject::connect(&window, &Principal::statusShown, [&](const QString& text) { statuses << text; });
  QObject::connect(&window, &Principal::progressShown, [&](int value) { progress << value; });
  ClickCalcular();

  const QString robust = QStringLiteral("Resolviendo sistema por métodos de estimación robusta...");
  EXPECT_EQ(statuses,
            (QStringList{QStringLiteral("Formando matrices del sistema de ecuaciones..."),
                         QStringLiteral("Resolviendo sistema por mínimos cuadrados..."), robust,
                         robust + QStringLiteral("   HUBER                                              Iteración"),
                         QString(),
                         robust + QStringLiteral("   NORMAS Lp ADAPTADAS               Iteración"), QString(),
                         robust + QStringLiteral("   NORMA L1                                        Iteración"),
                         QString(), QStringLiteral("Realizando informe de resultados..."),
                         QStringLiteral("Ajuste realizado")}));
  // The fixed points of the pipeline, in order (the solver may add its own between 40 and 65).
  QList<int> fixedPoints;
  for (int value : progress) {
    if (value != 55) fixedPoints << value;
  }
  EXPECT_EQ(fixedPoints, (QList<int>{0, 5, 10, 20, 30, 40, 65, 75, 85, 95, 100}));
  EXPECT_EQ(Find<QLabel>(&window, "Panel1")->text(), QStringLiteral("Ajuste realizado"));
  // The save window was offered (and cancelled: no file answer queued).
  ASSERT_FALSE(fake.dialogs.empty());
  EXPECT_EQ(fake.dialogs.back().kind, testing::RecordedDialog::Kind::Save);
}

TEST_F(CalcularTest, IterationCounterShowsInPanel2DuringItsEstimator) {
  CopySample();
  Open(QStringLiteral("red_ejemplo.txt"));
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
    for (qsizetype pass = 0; pass < counts.size(); ++pass) {
      EXPECT_EQ(counts[pass], QStringLiteral(" %1").arg(pass));
    }
    if (limit == 0) {
      EXPECT_EQ(counts, QStringList{QStringLiteral(" 0")});
    }
    EXPECT_EQ(Find<QLabel>(&window, "Panel2")->text(), counts.back());
  }
}

TEST_F(CalcularTest, WithoutRobustEstimatorsTheStagesStillPass) {
  WriteSmall();
  Open(QStringLiteral("red.txt"));
  window.Options().useHuber = window.Options().useLp = window.Options().useL1 = false;
  QStringList statuses;
  QList<int> progress;
  QObject::connect(&window, &Principal::statusShown, [&](const QString& text) { statuses << text; });
  QObject::connect(&window, &Principal::progressShown, [&](int value) { progress << value; });
  ClickCalcular();
  ASSERT_GE(statuses.size(), 3);
  EXPECT_EQ(statuses[2], QStringLiteral("Resolviendo sistema por métodos de estimación robusta..."));
  EXPECT_FALSE(statuses.join(QLatin1Char('|')).contains(QStringLiteral("HUBER")));
  EXPECT_EQ(statuses.back(), QStringLiteral("Ajuste realizado"));
  const QList<int> tail = progress.mid(progress.indexOf(65));
  EXPECT_EQ(tail, (QList<int>{65, 75, 85, 95, 100}));
}

TEST_F(CalcularTest, SaveAsksBeforeOverwritingAndWritesTheThreeTexts) {
  WriteSmall();
  Open(QStringLiteral("red.txt"));
  const QString existing = QDir(folder.path()).absoluteFilePath(QStringLiteral("resultados.txt"));
  testing::WriteTestFile(folder.path(), QStringLiteral("resultados.txt"), "viejo\r\n");
  fake.fileAnswers = {existing, existing};
  fake.yesNoAnswers = {false, true};
  ClickCalcular();

  std::vector<testing::RecordedDialog> shown = fake.dialogs;
  ASSERT_EQ(shown.size(), 4u);
  using Kind = testing::RecordedDialog::Kind;
  EXPECT_EQ(shown[0].kind, Kind::Save);
  EXPECT_EQ(shown[0].request.title, QStringLiteral("Ajuste realizado - Guardar fichero de salida"));
  EXPECT_EQ(shown[0].request.filter,
            QStringLiteral("Archivo de texto (*.txt)|*.txt|Todos los archivos (*.*)|*.*"));
  EXPECT_EQ(shown[0].request.defaultExtension, QStringLiteral("txt"));
  for (const std::size_t question : {1u, 3u}) {
    EXPECT_EQ(shown[question].kind, Kind::YesNo);
    EXPECT_EQ(shown[question].text, QStringLiteral(" ¡El Fichero ya existe! \r\n ¿Desea sobreescribirlo? "));
    EXPECT_EQ(shown[question].icon, MessageIcon::Information);
    EXPECT_FALSE(shown[question].defaultYes);
  }
  EXPECT_EQ(shown[2].kind, Kind::Save);  // "No" brought the dialog back

  const ResultsTexts& texts = window.LastResults();
  const std::string expected = texts.header + texts.leastSquares + texts.robustComparison + "\r\n";
  const QByteArray written = FileBytes(existing);
  EXPECT_EQ(written.toStdString(), expected);
  // The header starts with the project file itself and carries the printed system.
  const QByteArray project = FileBytes(QDir(folder.path()).absoluteFilePath(QStringLiteral("red.txt")));
  EXPECT_TRUE(written.startsWith(project));
  EXPECT_TRUE(written.contains(QByteArray::fromStdString(Cp1252("SISTEMA DE ECUACIONES DE OBSERVACIÓN"))));
  EXPECT_FALSE(texts.leastSquares.empty());
}

TEST_F(CalcularTest, AFailedWriteIsReportedAndTheDialogComesBack) {
  WriteSmall();
  Open(QStringLiteral("red.txt"));
  const QString unwritable = QDir(folder.path()).absoluteFilePath(QStringLiteral("no-existe/resultados.txt"));
  const QString good = QDir(folder.path()).absoluteFilePath(QStringLiteral("bien.txt"));
  fake.fileAnswers = {unwritable, good};
  ClickCalcular();
  using Kind = testing::RecordedDialog::Kind;
  ASSERT_EQ(fake.dialogs.size(), 3u);
  EXPECT_EQ(fake.dialogs[0].kind, Kind::Save);
  EXPECT_EQ(fake.dialogs[1].kind, Kind::Message);
  EXPECT_EQ(fake.dialogs[1].icon, MessageIcon::Critical);
  EXPECT_TRUE(fake.dialogs[1].text.contains(QStringLiteral("resultados.txt"))) << fake.dialogs[1].text.toStdString();
  EXPECT_EQ(fake.dialogs[2].kind, Kind::Save);
  EXPECT_FALSE(QFile::exists(unwritable));
  const ResultsTexts& texts = window.LastResults();
  EXPECT_EQ(FileBytes(good).toStdString(), texts.header + texts.leastSquares + texts.robustComparison + "\r\n");
}

TEST_F(CalcularTest, CancellingTheSaveWritesNothing) {
  WriteSmall();
  Open(QStringLiteral("red.txt"));
  const QStringList before = QDir(folder.path()).entryList(QDir::Files);
  ClickCalcular();  // no file answer: the dialog is cancelled
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), before);
  EXPECT_FALSE(window.LastResults().leastSquares.empty());
}

TEST_F(CalcularTest, FirstAdjustmentAppendsToTheProjectTextAndTheSecondReplacesIt) {
  WriteSmall();
  Open(QStringLiteral("red.txt"));
  const QString projectShown = PaneText();
  ClickCalcular();
  const ResultsTexts first = window.LastResults();
  const std::size_t length = first.header.size() + first.leastSquares.size() + first.robustComparison.size();
  ASSERT_LT(length, 32000u) << "the small project's report should fit the pane";
  EXPECT_EQ(PaneText(), projectShown + Unix(FromCp1252(first.leastSquares + first.robustComparison)));

  ClickCalcular();
  const ResultsTexts second = window.LastResults();
  EXPECT_EQ(PaneText(), Unix(FromCp1252(second.header + second.leastSquares + second.robustComparison)));
  EXPECT_EQ(window.State().adjustmentRunCount, 2);
}

// The two baselines of the small project are exactly the coordinate differences; alone they
// leave every residual at zero, where the adapted Lp norms cannot run. The window says so in
// one exclamation box and then shows the results and offers them for saving as usual.
TEST_F(CalcularTest, AnEstimatorThatCannotRunIsAWarningThenTheResultsAreSaved) {
  const QString path = QDir(folder.path()).absoluteFilePath(QStringLiteral("exacta.txt"));
  testing::WriteTestFile(folder.path(), QStringLiteral("exacta.txt"),
                         testing::ProjectFileText(ToCp1252(path), testing::ThreeVertices(), {}, testing::TwoBaselines()));
  Open(QStringLiteral("exacta.txt"));
  const QString results = QDir(folder.path()).absoluteFilePath(QStringLiteral("exacta_resultados.txt"));
  fake.fileAnswers = {results};
  ClickCalcular();

  using Kind = testing::RecordedDialog::Kind;
  ASSERT_EQ(fake.dialogs.size(), 2u) << fake.Messages().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(fake.dialogs[0].kind, Kind::Message);
  EXPECT_EQ(fake.dialogs[0].icon, MessageIcon::Exclamation);
  const QString sentence = QStringLiteral(
      "El método de mínimas normas Lp adaptadas no pudo calcularse: El método de mínimas normas Lp adaptadas no "
      "puede determinar la curtosis de la distribución: todos los residuos de mínimos cuadrados son nulos. "
      "Desactive ese método en las opciones de cálculo.");
  EXPECT_EQ(fake.dialogs[0].text, sentence);
  EXPECT_EQ(fake.dialogs[1].kind, Kind::Save);
  EXPECT_EQ(fake.dialogs[1].request.title, QStringLiteral("Ajuste realizado - Guardar fichero de salida"));

  const ResultsTexts& texts = window.LastResults();
  EXPECT_EQ(FileBytes(results).toStdString(), texts.header + texts.leastSquares + texts.robustComparison + "\r\n");
  EXPECT_TRUE(texts.robustComparison.find("Residuo Huber") != std::string::npos);
  EXPECT_TRUE(texts.robustComparison.ends_with(ToCp1252(sentence) + "\r\n"));
  EXPECT_TRUE(PaneText().contains(sentence));
  EXPECT_EQ(Find<QLabel>(&window, "Panel1")->text(), QStringLiteral("Ajuste realizado"));
}

TEST_F(CalcularTest, AFailedAdjustmentShowsItsMessageAndOffersNoSave) {
  // Vertex 2 observed from vertex 7, which is not in the vertex list.
  std::vector<testing::SampleObservation> observations = testing::TwoObservations();
  observations.push_back({"Geométrica", "7", "2", "100.000", "0.005"});
  const QString path = QDir(folder.path()).absoluteFilePath(QStringLiteral("rota.txt"));
  testing::WriteTestFile(folder.path(), QStringLiteral("rota.txt"),
                         testing::ProjectFileText(ToCp1252(path), testing::ThreeVertices(), observations,
                                                  testing::TwoBaselines()));
  Open(QStringLiteral("rota.txt"));
  ClickCalcular();
  ASSERT_EQ(fake.dialogs.size(), 1u);
  EXPECT_EQ(fake.dialogs[0].kind, testing::RecordedDialog::Kind::Message);
  EXPECT_TRUE(fake.dialogs[0].text.contains(QLatin1Char('7'))) << fake.dialogs[0].text.toStdString();
  EXPECT_TRUE(Find<QLabel>(&window, "Panel1")->text().isEmpty());
}

// The report reaches the pane while "Realizando informe de resultados..." shows, before the
// bar reaches 100 and the status says "Ajuste realizado".
TEST_F(CalcularTest, PaneShowsTheReportBeforeTheAdjustmentIsDeclaredDone) {
  WriteSmall();  // small enough for the report to be shown in the pane
  Open(QStringLiteral("red.txt"));
  bool reportInPaneAtHundred = false;
  bool reportInPaneAtDone = false;
  QObject::connect(&window, &Principal::progressShown, [&](int value) {
    if (value == 100) reportInPaneAtHundred = PaneText().contains(QStringLiteral("Vectores de fiabilidad externa"));
  });
  QObject::connect(&window, &Principal::statusShown, [&](const QString& text) {
    if (text == QStringLiteral("Ajuste realizado")) {
      reportInPaneAtDone = PaneText().contains(QStringLiteral("Vectores de fiabilidad externa"));
    }
  });
  ClickCalcular();
  EXPECT_TRUE(reportInPaneAtHundred);
  EXPECT_TRUE(reportInPaneAtDone);
}

}  // namespace
}  // namespace korvo
