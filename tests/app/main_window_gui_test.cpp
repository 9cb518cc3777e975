// The main window's loads, menus, Editar, imported system, Calcular and what stays after it.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineF>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <fstream>

#include "app/main_window.h"
#include "app/options_dialog.h"
#include "app/project_chooser.h"
#include "app/qt_text.h"
#include "app/report_view.h"
#include "app/sketch_view.h"
#include "common/win1252.h"
#include "gui_support/fake_dialog_service.h"
#include "gui_support/gui_find.h"
#include "gui_support/recording_canvas.h"
#include "matimport/import_matrices.h"
#include "network/project_file.h"
#include "support/files.h"
#include "support/project_text.h"

namespace korvo {
namespace {

using testing::Find;
using testing::FindTopLevel;

const QString kReading = QStringLiteral("Adquiriendo información general sobre la red...");
const QString kDrawing = QStringLiteral("Dibujando croquis planimétrico...");
const QString kSaveLine = QStringLiteral("save | none | Ajuste realizado - Guardar fichero de salida | \n");

QString Unix(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    window.resize(1024, 768);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QObject::connect(&window, &Principal::statusShown, [this](const QString& text) {
      statuses << text + QStringLiteral(" @") + QString::number(fake.dialogs.size());
    });
    QObject::connect(&window, &Principal::progressShown, [this](int value) { progress << value; });
  }
  void TearDown() override {
    for (QWidget* shown : QApplication::topLevelWidgets()) shown->setVisible(shown == &window);
  }
  QString Path(const QString& name) const { return QDir(folder.path()).absoluteFilePath(name); }
  QString Write(const QString& name, const std::string& bytes) {
    std::ofstream(Path(name).toStdString(), std::ios::binary) << bytes;
    return Path(name);
  }
  // A project whose header names the path it is written to.
  QString WriteProject(const QString& name, const testing::ProjectText& project = testing::ThreeVertexProject()) {
    return Write(name, project.File(ToCp1252(QDir::toNativeSeparators(Path(name)))));
  }
  ProjectChooser* ChooserShown() {
    auto* chooser = window.findChild<ProjectChooser*>(QStringLiteral("frmAbrir"));
    EXPECT_TRUE(chooser != nullptr && chooser->isVisible());
    return chooser;
  }
  // Opens `fileName` of the test folder through the chooser of Archivo > Abrir.
  void OpenThroughChooser(const QString& fileName) {
    Find<QAction>(&window, "menuabrir")->trigger();
    ProjectChooser* chooser = ChooserShown();
    ASSERT_NE(chooser, nullptr);
    chooser->SetFolder(folder.path());
    auto* files = Find<QListWidget>(chooser, "File1");
    const auto found = files->findItems(fileName, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(found[0]).center());
    QTest::mouseClick(Find<QPushButton>(chooser, "btnAceptar"), Qt::LeftButton);
  }
  QToolButton* ToolbarButton(const QString& tooltip) {
    auto* toolbar = Find<QToolBar>(&window, "Toolbar1");
    for (QAction* action : toolbar->actions()) {
      if (action->toolTip() == tooltip) return qobject_cast<QToolButton*>(toolbar->widgetForAction(action));
    }
    ADD_FAILURE() << "no toolbar button " << tooltip.toStdString();
    return nullptr;
  }
  void ClickCalcular() { QTest::mouseClick(ToolbarButton(QStringLiteral("Calcular")), Qt::LeftButton); }
  // The menu, its item and the toolbar button always agree.
  bool CalculationEnabled() {
    const bool button = ToolbarButton(QStringLiteral("Calcular"))->isEnabled();
    EXPECT_EQ(Find<QMenu>(&window, "menucompensacion")->menuAction()->isEnabled(), button);
    EXPECT_EQ(Find<QAction>(&window, "menucalcular")->isEnabled(), button);
    return button;
  }
  QString PaneText() { return Find<QPlainTextEdit>(&window, "Text2")->toPlainText(); }
  std::string SavedText() const {
    const ResultsTexts& texts = window.LastResults();
    return texts.header + texts.leastSquares + texts.robustComparison + "\r\n";
  }
  testing::FakeDialogService fake;
  QTemporaryDir folder;
  Principal window;
  QStringList statuses;  // each with the number of dialogs shown before it
  QList<int> progress;
};

// Each failure after a good load: dialogs, statuses, Calcular, the vertices kept and the pane.
TEST_F(MainWindowTest, LoadFailures) {
  const QString kindError = QStringLiteral(
      "message | none |  | ¡Se ha producido un error en la lectura del tipo(incógnita/fijo) de los puntos! \n");
  const QString tooBig = QStringLiteral(
      "message | information |  |  El proyecto es demasiado grande para mostrarlo en pantalla. \r\n"
      " Trabajando sobre fichero de resultados... \n");
  const QString sketchError =
      QStringLiteral("message | none |  | ¡Se ha producido un error en el dibujo del croquis de la red!\n");
  testing::ProjectText large;  // 320 vertices and no observations: well over 32000 characters
  for (int i = 0; i < 320; ++i) {
    large.Vertex(std::to_string(i + 1), i % 2 == 0, i % 3 == 0 ? "4849202.000" : "4848000.000",
                 i % 5 == 0 ? "-360328.000" : "-358000.000", "4114913.000");
  }
  std::string damaged = testing::ThreeVertexProject().File();
  damaged.replace(damaged.find(Cp1252("(Incógnita)")), 11, "(Incxgnita)");
  testing::ProjectText single;
  single.Vertex("1", true, "4849202.000", "-360328.000", "4114913.000");
  struct Case {
    const char* file;
    std::string bytes;
    QString log;
    QStringList statuses;
    bool calculationEnabled;
    std::size_t vertices;
    bool paneEmpty;
  };
  const std::vector<Case> cases = {
      {"mala.txt", damaged, kindError, {kReading + " @0", " @0"}, false, 0, false},
      {"grande.txt", large.File(), tooBig, {kReading + " @0", kDrawing + " @1", " @1"}, true, 320, true},
      {"uno.txt", single.File(), sketchError, {kReading + " @0", kDrawing + " @0", " @1"}, true, 1, false},
  };
  WriteProject(QStringLiteral("red.txt"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    OpenThroughChooser(QStringLiteral("red.txt"));
    ASSERT_TRUE(CalculationEnabled());
    fake.dialogs.clear();
    statuses.clear();
    progress.clear();
    Write(QString::fromLatin1(c.file), c.bytes);
    OpenThroughChooser(QString::fromLatin1(c.file));
    EXPECT_EQ(fake.Log(), c.log);
    EXPECT_EQ(statuses, c.statuses);
    EXPECT_EQ(CalculationEnabled(), c.calculationEnabled);
    EXPECT_EQ(window.Model().vertices.size(), c.vertices);
    EXPECT_EQ(PaneText().isEmpty(), c.paneEmpty);
    EXPECT_FALSE(window.State().projectTooBig);  // Abrir clears it once its chooser has returned
    EXPECT_EQ(Find<SketchView>(&window, "Picture1")->HasScene(), c.vertices == 320);
    if (!c.calculationEnabled) {  // a load that stopped leaves no status and the bar empty
      EXPECT_EQ(progress, QList<int>{0});
      EXPECT_TRUE(Find<QLabel>(&window, "Panel1")->text().isEmpty());
    }
  }
}

// Opening enables Calcular and shows the file; the toolbar and menus open their windows or say they are missing.
TEST_F(MainWindowTest, OpeningToolbarAndMenus) {
  EXPECT_FALSE(CalculationEnabled());
  EXPECT_TRUE(Find<QWidget>(&window, "Picture1")->isHidden());
  ClickCalcular();  // disabled: runs nothing (the log at the end holds no message of it, nor of the load)
  const QString path = WriteProject(QStringLiteral("red.txt"));
  OpenThroughChooser(QStringLiteral("red.txt"));
  EXPECT_EQ(PaneText(), Unix(FromCp1252(testing::ReadWholeFile(path.toStdString()))));  // the file as read
  EXPECT_TRUE(CalculationEnabled());
  EXPECT_EQ(window.State().projectFilePath, QFile::encodeName(QDir::toNativeSeparators(path)).toStdString());
  EXPECT_EQ(statuses, (QStringList{kReading + " @0", kDrawing + " @0", " @0"}));
  EXPECT_EQ(progress, (QList<int>{0, 15, 40, 80, 100, 0}));
  for (const char* shown : {"Text2", "Picture1", "Label1", "Image2", "Label2"}) {
    EXPECT_TRUE(Find<QWidget>(&window, shown)->isVisible()) << shown;
  }
  // The toolbar's windows are opened by the caption walk; a command it does not have does nothing.
  window.RunToolbarCommand(QStringLiteral("Otra cosa"));
  QTest::mouseClick(ToolbarButton(QStringLiteral("Abrir")), Qt::LeftButton);
  ASSERT_NE(ChooserShown(), nullptr);
  ChooserShown()->reject();
  window.Options().maxIterLp = 4;
  Find<QAction>(&window, "menuestablecer")->trigger();
  auto* options = FindTopLevel<OptionsDialog>("frmOpciones");
  ASSERT_NE(options, nullptr);
  EXPECT_EQ(Find<QLineEdit>(options, "Text5")->text(), QStringLiteral("4"));
  Find<QLineEdit>(options, "Text5")->setText(QStringLiteral("9"));
  QTest::mouseClick(Find<QPushButton>(options, "Aceptar"), Qt::LeftButton);
  EXPECT_EQ(window.Options().maxIterLp, 9);
  window.openNewProject = nullptr;
  window.openDatumUtility = nullptr;
  window.State().vertexListText = "Punto";
  window.State().projectTooBig = true;
  fake.yesNoAnswers = {false, true};  // entries never saved: Salir and Nuevo ask first
  Find<QAction>(&window, "menusalir")->trigger();
  EXPECT_TRUE(window.isVisible());  // "No" keeps the window and the entries
  Find<QAction>(&window, "menunuevo")->trigger();
  QTest::mouseClick(ToolbarButton(QStringLiteral("Aplicación ZENDA")), Qt::LeftButton);
  const QString question = QStringLiteral("yesno | question |  |  Hay entradas de datos que no se han guardado. \r\n"
                                          " ¿Desea descartarlas? \n");
  EXPECT_EQ(fake.Log(), question + question +
                            QStringLiteral("message | information |  | Esta función todavía no está disponible.\n"
                                           "message | information |  | Esta función todavía no está disponible.\n"));
  // Nuevo clears the section texts and the size flag before it opens the entry windows.
  EXPECT_TRUE(window.State().vertexListText.empty());
  EXPECT_FALSE(window.State().projectTooBig);
}

// Editar's chooser does not block and Abrir raises it; then the file fills the entry windows, whose save loads it.
TEST_F(MainWindowTest, EditarFillsTheEntryWindowsAndGuardarYSalirLoadsTheFile) {
  WriteProject(QStringLiteral("red.txt"));
  Find<QAction>(&window, "menueditar")->trigger();
  ProjectChooser* chooser = ChooserShown();
  ASSERT_NE(chooser, nullptr);
  EXPECT_EQ(chooser->windowTitle(), QStringLiteral("Editar fichero de datos"));
  EXPECT_EQ(chooser->windowModality(), Qt::NonModal);
  chooser->SetFolder(folder.path());
  auto* files = Find<QListWidget>(chooser, "File1");
  QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(files->item(0)).center());
  Find<QAction>(&window, "menuabrir")->trigger();
  EXPECT_EQ(chooser->windowTitle(), QStringLiteral("Editar fichero de datos"));
  EXPECT_EQ(Find<QLineEdit>(chooser, "Text1")->text(), QStringLiteral("red.txt"));
  QTest::mouseClick(Find<QPushButton>(chooser, "btnCancelar"), Qt::LeftButton);
  EXPECT_TRUE(window.State().editMode);
  OpenThroughChooser(QStringLiteral("red.txt"));
  EXPECT_FALSE(window.State().editMode);
  QWidget* observations = FindTopLevel<QWidget>("NuevoII");  // the lists filled from the file (the entry tests')
  ASSERT_NE(observations, nullptr);
  EXPECT_FALSE(CalculationEnabled());
  EXPECT_TRUE(window.Model().vertices.empty());
  fake.fileAnswers = {Path(QStringLiteral("guardada.txt"))};
  Find<QPushButton>(observations, "Command3")->click();
  EXPECT_EQ(fake.Log(), QStringLiteral("save | none | Guardar fichero de datos | \n"));
  EXPECT_TRUE(CalculationEnabled());
  EXPECT_EQ(window.Model().GpsCount(), 2);  // loaded from the file just saved
}

// An imported system is solved until a project is opened; that project's reports go to the pane.
TEST_F(MainWindowTest, ImportedMatricesAreSolvedByTheNextCalcularUntilAProjectIsOpened) {
  const QString a = Write(QStringLiteral("A.txt"), "1 0\r\n0 1\r\n1 1\r\n1 -1");
  const QString k = Write(QStringLiteral("k.txt"), "1\r\n2\r\n3.1\r\n-0.9");
  const QString p = Write(QStringLiteral("P.txt"), "1 0 0 0\r\n0 1 0 0\r\n0 0 1 0\r\n0 0 0 1");
  Result<ImportedMatrices> imported =
      ImportMatrices({QFile::encodeName(a).toStdString(), QFile::encodeName(k).toStdString(), QFile::encodeName(p).toStdString()},
                     SplitProjectText(testing::ThreeVertexProject().File()).vertexListText);
  ASSERT_TRUE(imported.ok()) << imported.error();
  window.InstallImportedMatrices(std::move(imported.value()));
  EXPECT_TRUE(CalculationEnabled());
  EXPECT_TRUE(PaneText().contains(QStringLiteral("MATRICES IMPORTADAS:")));
  fake.fileAnswers = {Path(QStringLiteral("resultados.txt"))};
  ClickCalcular();
  EXPECT_EQ(fake.Log(), kSaveLine);
  EXPECT_EQ(testing::ReadWholeFile(Path(QStringLiteral("resultados.txt")).toStdString()), SavedText());
  WriteProject(QStringLiteral("red.txt"));
  OpenThroughChooser(QStringLiteral("red.txt"));
  EXPECT_FALSE(window.State().matricesImported);
  const QString projectShown = PaneText();
  for (const bool first : {true, false}) {  // the report appended to the project shown, then in its place
    ClickCalcular();
    const ResultsTexts& texts = window.LastResults();
    EXPECT_EQ(PaneText(), (first ? projectShown + Unix(FromCp1252(texts.leastSquares + texts.robustComparison))
                                 : Unix(FromCp1252(texts.header + texts.leastSquares + texts.robustComparison))));
  }
}

// Calcular's save dialog, the overwrite question, a failed write, an estimator left out, a failed adjustment.
TEST_F(MainWindowTest, CalcularOffersTheResultsFile) {
  const QString question = QStringLiteral("yesno | information |  |  ¡El Fichero ya existe! \r\n ¿Desea sobreescribirlo? \n");
  testing::ProjectText exact = testing::ThreeVertexProject();
  exact.classical.clear();  // baselines that are the coordinate differences: every residual is zero
  testing::ProjectText broken = testing::ThreeVertexProject();
  broken.Observation(kTypeDistance, "7", "2", "100.000", "0.005");  // vertex 7 is not in the list
  struct Case {
    const char* what;
    testing::ProjectText project;
    QStringList files;  // answers of the save dialogs, in the test folder ("/" a path that cannot be written)
    std::deque<bool> yesNo;
    QString log;  // "%1": a message the core words, left out here
    const char* written;
  };
  const std::vector<Case> cases = {
      {"overwrite: No, then Yes", testing::ThreeVertexProject(), {"viejo.txt", "viejo.txt"}, {false, true},
       kSaveLine + question + kSaveLine + question, "viejo.txt"},
      {"failed write, then another name", testing::ThreeVertexProject(), {"/", "bien.txt"}, {},
       kSaveLine + QStringLiteral("message | critical |  | %1\n") + kSaveLine, "bien.txt"},
      {"an estimator that cannot run is a warning", exact, {"exacta.txt"}, {},
       QStringLiteral("message | exclamation |  | %1\n") + kSaveLine, "exacta.txt"},
      {"a failed adjustment offers no save", broken, {}, {}, QStringLiteral("message | none |  | %1\n"), nullptr},
  };
  Write(QStringLiteral("viejo.txt"), "viejo\r\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteProject(QStringLiteral("red.txt"), c.project);
    OpenThroughChooser(QStringLiteral("red.txt"));
    fake.dialogs.clear();
    fake.fileAnswers.clear();
    for (const QString& name : c.files) fake.fileAnswers.push_back(name == "/" ? Path("no-existe/r.txt") : Path(name));
    fake.yesNoAnswers = c.yesNo;
    const QStringList before = QDir(folder.path()).entryList(QDir::Files);
    ClickCalcular();
    QString log = fake.Log();
    for (const auto& dialog : fake.dialogs) {
      if (c.log.contains(QStringLiteral("%1")) && dialog.kind == testing::RecordedDialog::Kind::Message) {
        log.replace(dialog.text, QStringLiteral("%1"));
      }
    }
    EXPECT_EQ(log, c.log);
    for (const auto& dialog : fake.dialogs) EXPECT_FALSE(dialog.defaultYes);  // "No" is the default answer
    if (c.written != nullptr) {
      EXPECT_EQ(testing::ReadWholeFile(Path(QString::fromLatin1(c.written)).toStdString()), SavedText());
      EXPECT_EQ(Find<QLabel>(&window, "Panel1")->text(), QStringLiteral("Ajuste realizado"));
    } else {
      EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), before);
    }
  }
  EXPECT_TRUE(Find<QLabel>(&window, "Panel1")->text().isEmpty());  // after the failed adjustment
}

// The memory question, then after a cancelled save: tabs, ellipses, hover, the two saves; Nuevo forgets it all.
TEST_F(MainWindowTest, ResultsStayAfterACancelledSave) {
  ASSERT_TRUE(QFile::copy(QString::fromUtf8(KORVO_SOURCE_DIR) + QStringLiteral("/examples/red_ejemplo.txt"),
                          Path(QStringLiteral("red_ejemplo.txt"))));
  OpenThroughChooser(QStringLiteral("red_ejemplo.txt"));
  auto* report = Find<ReportView>(&window, "Informe");
  ::setenv("KORVO_MEMORY_BUDGET", "1000000", 1);
  fake.yesNoAnswers = {false, true};
  ClickCalcular();  // No: nothing is computed
  EXPECT_TRUE(fake.Log().startsWith(QStringLiteral("yesno | question |  |  ¡El informe completo no cabe en la memoria")));
  EXPECT_EQ(fake.dialogs.size(), 1u);
  ClickCalcular();  // Yes: the compact report
  EXPECT_NE(report->Report().find("INFORME COMPACTO"), std::string::npos);
  ::unsetenv("KORVO_MEMORY_BUDGET");
  fake.dialogs.clear();
  ClickCalcular();  // a report too long for the pane says so
  EXPECT_EQ(fake.Log(), QStringLiteral("message | information |  |  Trabajando sobre fichero de resultados... \r\n"
                                       " El proyecto no se mostrará en pantalla. \n") + kSaveLine);
  auto* tabs = Find<QTabWidget>(&window, "PaneTabs");
  EXPECT_EQ(tabs->currentWidget(), report);
  ASSERT_EQ(tabs->count(), 3);
  EXPECT_EQ(tabs->tabText(2), QStringLiteral("Calidad"));
  EXPECT_FALSE(Find<QLabel>(&window, "PanelCalidad")->text().isEmpty());
  auto* sketch = Find<SketchView>(&window, "Picture1");
  ASSERT_TRUE(sketch->Scene().has_value());
  // An ellipse per unknown vertex, the largest 1/50 to 1/20 of the width; a factor of 1, 2 or 5 × 10^n.
  const SketchScene& scene = *sketch->Scene();
  ASSERT_EQ(scene.ellipses.size(), 8u);
  double largest = 0.0;
  for (const auto& polygon : scene.ellipses) {
    QPointF centre;  // the polygon is closed: its first point is repeated at the end
    for (std::size_t k = 1; k < polygon.size(); ++k) centre += polygon[k] / double(polygon.size() - 1);
    for (const QPointF& point : polygon) largest = std::max(largest, QLineF(centre, point).length());
  }
  EXPECT_LE(largest, scene.widthTwips / 20.0 * 1.0001);
  EXPECT_GT(largest, scene.widthTwips / 50.0);
  const double mantissa = scene.ellipseFactor / std::pow(10.0, std::floor(std::log10(scene.ellipseFactor)));
  EXPECT_TRUE(mantissa == 1.0 || mantissa == 2.0 || mantissa == 5.0) << scene.ellipseFactor;
  ASSERT_FALSE(scene.ellipseTexts.empty());
  EXPECT_EQ(scene.ellipseTexts[0].text, QStringLiteral("Elipses al 95 % ×%1").arg(scene.ellipseFactor));
  QString hover;  // over the last unknown vertex
  for (const auto& v : scene.vertices) if (!v.fixed) hover = sketch->HoverTextAt(sketch->Mapping().toCanvas.map(v.at));
  EXPECT_TRUE(hover.contains(QStringLiteral("σE")) && hover.contains(QStringLiteral("Elipse 95 %"))) << hover.toStdString();
  // The quality summary clear of the progress bar, the scale bar clear of the ellipse legend and bar when zoomed.
  QCoreApplication::processEvents();
  const auto* summary = Find<QLabel>(&window, "PanelCalidad");
  EXPECT_LE(summary->mapTo(&window, summary->rect().topRight()).x(),
            Find<QProgressBar>(&window, "ProgressBar1")->mapTo(&window, QPoint(0, 0)).x());
  EXPECT_GE(summary->contentsRect().width(), summary->fontMetrics().horizontalAdvance(summary->text()));
  const QSizeF canvas(sketch->contentsRect().size());
  const SketchViewport view = ZoomedAbout({}, canvas, QPointF(canvas.width() / 2, canvas.height() / 2), 8.0);
  testing::RecordingCanvas drawn;
  PaintSketchScene(drawn, scene, canvas, view);
  std::vector<QRectF> texts;  // the legend and the ellipse bar's length (green texts)
  for (const testing::DrawnPrimitive& p : drawn.drawn) {
    if (p.kind == testing::DrawnPrimitive::Kind::Text && p.color == kSketchEllipse) {
      texts.emplace_back(p.a, QFontMetricsF(sketch->font()).size(0, p.text));
    }
  }
  ASSERT_EQ(texts.size(), 2u);
  QRectF ellipseBar;  // the last three lines
  int barLines = 0;
  for (auto p = drawn.drawn.rbegin(); p != drawn.drawn.rend() && barLines < 3; ++p) {
    if (p->kind == testing::DrawnPrimitive::Kind::Line) ellipseBar = ellipseBar.united(QRectF(p->a, p->b).normalized()), ++barLines;
  }
  EXPECT_FALSE(texts[0].intersects(ellipseBar));
  EXPECT_GT(texts[1].left(), ellipseBar.right());
  const std::optional<SketchScaleBar> bar = ScaleBarOf(scene, SketchMappingOf(scene, canvas, view), canvas);
  ASSERT_TRUE(bar.has_value());
  EXPECT_TRUE(QRectF(QPointF(0, 0), canvas).contains(bar->Bounds()));
  for (const QRectF& box : {texts[0], texts[1], ellipseBar}) EXPECT_FALSE(bar->Bounds().intersects(box));
  QAction* save = Find<QAction>(&window, "menuguardarresultados");
  fake.fileAnswers = {Path(QStringLiteral("resultados.txt")), QString(), Path(QStringLiteral("c.json")),
                      Path(QStringLiteral("c.csv"))};
  save->trigger();
  EXPECT_EQ(testing::ReadWholeFile(Path(QStringLiteral("resultados.txt")).toStdString()), SavedText());
  const std::size_t before = fake.dialogs.size();
  save->trigger();  // cancelled; the dialog starts where the last results went
  EXPECT_EQ(QDir(fake.dialogs[before].request.initialDirectory).canonicalPath(), QDir(folder.path()).canonicalPath());
  QAction* saveQuality = Find<QAction>(&window, "menuguardarcalidad");
  for (int i = 0; i < 2; ++i) saveQuality->trigger();
  EXPECT_TRUE(testing::ReadWholeFile(Path(QStringLiteral("c.json")).toStdString()).starts_with("{"));
  EXPECT_TRUE(testing::ReadWholeFile(Path(QStringLiteral("c.csv")).toStdString()).starts_with("number,fixed,latitude,"));
  window.openNewProject = [] {};
  window.State().vertexListText = "Punto 1001";
  fake.yesNoAnswers = {true};
  Find<QAction>(&window, "menunuevo")->trigger();
  EXPECT_EQ(tabs->count(), 2);
  EXPECT_TRUE(sketch->Scene()->ellipses.empty());
  EXPECT_TRUE(Find<QLabel>(&window, "PanelCalidad")->text().isEmpty());
  EXPECT_FALSE(save->isEnabled() || saveQuality->isEnabled());
  EXPECT_TRUE(report->Report().empty());
}

// A report of several megabytes is shown by pages, with its size; the find box reaches the last page.
TEST(ReportView, ShowsAMultiMegabyteReportByPages) {
  std::string big;
  for (int line = 0; big.size() < 5u * ReportView::kPageBytes / 2; ++line) {
    big += "  " + std::to_string(line) + "   1234567.890   4567890.123   VERTICE\r\n";
  }
  big += "  \xDALTIMA L\xCDNEA\r\n";
  ReportView view;
  view.SetReport(big);
  EXPECT_EQ(view.PageCount(), 3);
  auto* text = Find<QPlainTextEdit>(&view, "InformeTexto");
  EXPECT_LE(text->toPlainText().size(), static_cast<qsizetype>(ReportView::kPageBytes + 100));
  EXPECT_TRUE(Find<QLabel>(&view, "InformeEstado")->text().contains(QStringLiteral("2,5 MB")));
  EXPECT_TRUE(view.FindNext(QStringLiteral("última línea")));
  EXPECT_EQ(view.CurrentPage(), 2);
  EXPECT_EQ(text->textCursor().selectedText(), QStringLiteral("ÚLTIMA LÍNEA"));
  EXPECT_FALSE(view.FindNext(QStringLiteral("no está")));
}

}  // namespace
}  // namespace korvo
