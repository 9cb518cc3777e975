// The main window: opening a project through the chooser (the pane, the status texts, the
// sketch and the state of Calcular), the load failures, the toolbar and the menus' windows.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <fstream>

#include "app/main_window.h"
#include "app/options_dialog.h"
#include "app/project_chooser.h"
#include "app/qt_text.h"
#include "app/sketch_view.h"
#include "common/win1252.h"
#include "gui_support/fake_dialog_service.h"
#include "gui_support/gui_find.h"
#include "gui_support/recording_canvas.h"
#include "network/sketch_geometry.h"
#include "support/files.h"
#include "support/project_text.h"

namespace korvo {
namespace {

using testing::Find;

enum class ChooseBy { AceptarButton, DoubleClick, EnterInList, EnterInName, TypedNameOnly };

const QString kReading = QStringLiteral("Adquiriendo información general sobre la red...");
const QString kDrawing = QStringLiteral("Dibujando croquis planimétrico...");

// 320 vertices and no observations: well over 32000 characters.
testing::ProjectText LargeProject() {
  testing::ProjectText p;
  for (int i = 0; i < 320; ++i) {
    p.Vertex(std::to_string(i + 1), i % 2 == 0, i % 3 == 0 ? "4849202.000" : "4848000.000",
             i % 5 == 0 ? "-360328.000" : "-358000.000", "4114913.000");
  }
  return p;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QObject::connect(&window, &Principal::statusShown, [this](const QString& text) {
      statuses << text + QStringLiteral(" @") + QString::number(fake.dialogs.size());
    });
    QObject::connect(&window, &Principal::progressShown, [this](int value) { progress << value; });
  }

  QString Write(const QString& name, const std::string& bytes) {
    const QString path = QDir(folder.path()).absoluteFilePath(name);
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
    return path;
  }
  QString WriteSample() {
    const QString path = QDir(folder.path()).absoluteFilePath(QStringLiteral("red.txt"));
    return Write(QStringLiteral("red.txt"), testing::ThreeVertexProject().File(ToCp1252(QDir::toNativeSeparators(path))));
  }

  ProjectChooser* ChooserShown() {
    auto* chooser = window.findChild<ProjectChooser*>(QStringLiteral("frmAbrir"));
    EXPECT_TRUE(chooser != nullptr && chooser->isVisible());
    return chooser;
  }

  // Opens `fileName` of the test folder through Archivo > Abrir and the chooser.
  void OpenThroughChooser(const QString& fileName, ChooseBy how = ChooseBy::AceptarButton) {
    Find<QAction>(&window, "menuabrir")->trigger();
    ProjectChooser* chooser = ChooserShown();
    ASSERT_NE(chooser, nullptr);
    chooser->SetFolder(folder.path());
    auto* files = Find<QListWidget>(chooser, "File1");
    auto* name = Find<QLineEdit>(chooser, "Text1");
    if (how == ChooseBy::TypedNameOnly) {
      QTest::keyClicks(name, fileName);
      QTest::mouseClick(Find<QPushButton>(chooser, "btnAceptar"), Qt::LeftButton);
      return;
    }
    const auto found = files->findItems(fileName, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    const QPoint at = files->visualItemRect(found[0]).center();
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, at);
    if (how == ChooseBy::AceptarButton) QTest::mouseClick(Find<QPushButton>(chooser, "btnAceptar"), Qt::LeftButton);
    if (how == ChooseBy::DoubleClick) QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, at);
    if (how == ChooseBy::EnterInList) QTest::keyClick(files, Qt::Key_Return);
    if (how == ChooseBy::EnterInName) QTest::keyClick(name, Qt::Key_Return);
  }

  // The menu, its item and the toolbar button always agree.
  bool CalculationEnabled() {
    const bool button = ToolbarButton(QStringLiteral("Calcular"))->isEnabled();
    EXPECT_EQ(Find<QMenu>(&window, "menucompensacion")->menuAction()->isEnabled(), button);
    EXPECT_EQ(Find<QAction>(&window, "menucalcular")->isEnabled(), button);
    return button;
  }

  QToolButton* ToolbarButton(const QString& tooltip) {
    auto* toolbar = Find<QToolBar>(&window, "Toolbar1");
    for (QAction* action : toolbar->actions()) {
      if (action->toolTip() == tooltip) return qobject_cast<QToolButton*>(toolbar->widgetForAction(action));
    }
    ADD_FAILURE() << "no toolbar button " << tooltip.toStdString();
    return nullptr;
  }

  QString PaneText() { return Find<QPlainTextEdit>(&window, "Text2")->toPlainText(); }

  testing::FakeDialogService fake;
  QTemporaryDir folder;
  Principal window;
  QStringList statuses;  // each with the number of dialogs shown before it
  QList<int> progress;
};

TEST_F(MainWindowTest, OpeningShowsTheProjectTextAndEnablesCalcular) {
  EXPECT_FALSE(CalculationEnabled());
  EXPECT_TRUE(Find<QWidget>(&window, "Picture1")->isHidden());
  QTest::mouseClick(ToolbarButton(QStringLiteral("Calcular")), Qt::LeftButton);  // disabled: runs nothing
  EXPECT_TRUE(fake.dialogs.empty());

  const QString path = WriteSample();
  const std::string bytes = testing::ReadWholeFile(path.toStdString());
  for (const ChooseBy how : {ChooseBy::AceptarButton, ChooseBy::DoubleClick, ChooseBy::EnterInList, ChooseBy::EnterInName}) {
    SCOPED_TRACE(static_cast<int>(how));
    Find<QPlainTextEdit>(&window, "Text2")->clear();
    statuses.clear();
    progress.clear();
    OpenThroughChooser(QStringLiteral("red.txt"), how);
    EXPECT_EQ(fake.Log(), QString());
    EXPECT_FALSE(window.findChild<ProjectChooser*>(QStringLiteral("frmAbrir"))->isVisible());
    // The pane holds the file as read: the editor's view of the same bytes.
    EXPECT_EQ(PaneText(), FromCp1252(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_TRUE(CalculationEnabled());
    EXPECT_EQ(window.State().projectFilePath, QFile::encodeName(QDir::toNativeSeparators(path)).toStdString());
    EXPECT_EQ(window.Model().vertices.size(), 3u);
    EXPECT_EQ(statuses, (QStringList{kReading + " @0", kDrawing + " @0", " @0"}));
    EXPECT_EQ(progress, (QList<int>{0, 15, 40, 80, 100, 0}));
    for (const char* shown : {"Text2", "Picture1", "Label1", "Image2", "Label2"}) {
      EXPECT_TRUE(Find<QWidget>(&window, shown)->isVisible()) << shown;
    }
  }
}

// Each failure: its dialogs, the status texts (with the dialogs shown before each), whether
// Calcular is left enabled and how many vertices stay loaded.
TEST_F(MainWindowTest, LoadFailures) {
  const QString kindError = QStringLiteral(
      "message | none |  | ¡Se ha producido un error en la lectura del tipo(incógnita/fijo) de los puntos! \n");
  const QString tooBig = QStringLiteral(
      "message | information |  |  El proyecto es demasiado grande para mostrarlo en pantalla. \r\n"
      " Trabajando sobre fichero de resultados... \n");
  const QString sketchError =
      QStringLiteral("message | none |  | ¡Se ha producido un error en el dibujo del croquis de la red!\n");
  std::string damaged = testing::ThreeVertexProject().File();
  damaged.replace(damaged.find(Cp1252("(Incógnita)")), 11, "(Incxgnita)");
  std::string largeDamaged = LargeProject().File();
  largeDamaged.replace(largeDamaged.find("(Fijo)"), 6, "(Fixo)");
  testing::ProjectText single;
  single.Vertex("1", true, "4849202.000", "-360328.000", "4114913.000");

  struct Case {
    const char* file;
    std::string bytes;  // empty: the name is typed, nothing chosen from the list
    QString log;
    QStringList statuses;
    bool calculationEnabled;
    std::size_t vertices;
    bool paneEmpty;
  };
  const std::vector<Case> cases = {
      // A failed load leaves no status behind.
      {"mala.txt", damaged, kindError, {kReading + " @0", " @0"}, false, 0, false},
      {"grande.txt", LargeProject().File(), tooBig, {kReading + " @0", kDrawing + " @1", " @1"}, true, 320, true},
      {"grande_mala.txt", largeDamaged, tooBig + kindError, {kReading + " @0", " @1"}, false, 0, true},
      {"uno.txt", single.File(), sketchError, {kReading + " @0", kDrawing + " @0", " @1"}, true, 1, false},
  };
  WriteSample();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    OpenThroughChooser(QStringLiteral("red.txt"));  // a good load first
    ASSERT_TRUE(CalculationEnabled());
    fake.dialogs.clear();
    statuses.clear();
    progress.clear();
    if (c.bytes.empty()) {
      OpenThroughChooser(QString::fromLatin1(c.file), ChooseBy::TypedNameOnly);
    } else {
      Write(QString::fromLatin1(c.file), c.bytes);
      OpenThroughChooser(QString::fromLatin1(c.file));
    }
    EXPECT_EQ(fake.Log(), c.log);
    if (!c.bytes.empty()) {
      EXPECT_EQ(statuses, c.statuses);
    }
    EXPECT_EQ(CalculationEnabled(), c.calculationEnabled);
    EXPECT_EQ(window.Model().vertices.size(), c.vertices);
    EXPECT_EQ(PaneText().isEmpty(), c.paneEmpty);
    EXPECT_FALSE(window.State().projectTooBig);  // Abrir clears it once its chooser has returned
    if (c.vertices != 320) {
      EXPECT_FALSE(Find<SketchView>(&window, "Picture1")->HasScene());
    }
    // A load that stopped leaves no status or iteration text behind and the bar empty.
    if (!c.calculationEnabled && !c.bytes.empty()) {
      EXPECT_EQ(progress, QList<int>{0});
      EXPECT_TRUE(Find<QLabel>(&window, "Panel1")->text().isEmpty());
      EXPECT_TRUE(Find<QLabel>(&window, "Panel2")->text().isEmpty());
    }
  }
}

TEST_F(MainWindowTest, SketchDrawsTrianglesLabelsAndColouredLines) {
  WriteSample();
  OpenThroughChooser(QStringLiteral("red.txt"));
  auto* picture = Find<SketchView>(&window, "Picture1");
  ASSERT_TRUE(picture->HasScene());
  const QSizeF twips = picture->InnerSizeTwips();
  Result<SketchScene> scene = SketchSceneOf(window.Model(), twips.width(), twips.height());
  ASSERT_TRUE(scene.ok());
  const QSizeF pixels(picture->contentsRect().size());
  testing::RecordingCanvas canvas;
  PaintSketchScene(canvas, *scene, pixels);

  using Kind = testing::DrawnPrimitive::Kind;
  // Two fixed vertices: three black sides and a black apex pixel each; every vertex labelled.
  EXPECT_EQ(canvas.Count(Kind::Line, kSketchBlack), 6);
  EXPECT_EQ(canvas.Count(Kind::Pixel, kSketchBlack), 2);
  QStringList labels;
  std::vector<QColor> lineColours;
  double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
  for (const auto& p : canvas.drawn) {
    if (p.kind == Kind::Text) labels << p.text;
    if (p.kind != Kind::Line || p.color == kSketchBlack) continue;
    lineColours.push_back(p.color);
    for (const QPointF& q : {p.a, p.b}) {
      left = std::min(left, q.x());
      right = std::max(right, q.x());
      top = std::min(top, q.y());
      bottom = std::max(bottom, q.y());
    }
  }
  EXPECT_EQ(labels, (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
  // Two classical lines in red, then the two baselines in blue over them: the 1-2 baseline
  // covers the 1-2 distance exactly.
  EXPECT_EQ(lineColours, (std::vector<QColor>{kSketchRed, kSketchRed, kSketchBlue, kSketchBlue}));
  const auto& red12 = canvas.drawn[canvas.drawn.size() - 4];
  const auto& blue12 = canvas.drawn[canvas.drawn.size() - 2];
  EXPECT_EQ(red12.a, blue12.a);
  EXPECT_EQ(red12.b, blue12.b);
  // The network's limiting extent fills the canvas less the margin, centred.
  const double widthFraction = (right - left) / (pixels.width() - 2 * kSketchMarginPx);
  const double heightFraction = (bottom - top) / (pixels.height() - 2 * kSketchMarginPx);
  EXPECT_NEAR(std::max(widthFraction, heightFraction), 1.0, 1e-9);
  EXPECT_NEAR(left + right, pixels.width(), 1e-6);
  EXPECT_NEAR(top + bottom, pixels.height(), 1e-6);

  // On screen, at two sizes: black and blue pixels, blue in the middle of line 1-2.
  for (const QSize size : {QSize(420, 320), QSize(640, 260)}) {
    SCOPED_TRACE(size.width());
    picture->setFixedSize(size);
    QTest::qWait(20);
    const QImage image = picture->grab().toImage();
    int counts[3] = {0, 0, 0};
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        counts[0] += c == kSketchBlack;
        counts[1] += c == kSketchRed;
        counts[2] += c == kSketchBlue;
      }
    }
    EXPECT_GT(counts[0], 20);  // two triangles and three numbers; the red lines lie under the blue ones
    EXPECT_GT(counts[2], 40);
    const QSizeF inner(picture->contentsRect().size());
    const QSizeF innerTwips = picture->InnerSizeTwips();
    const SketchScene resized = SketchSceneOf(window.Model(), innerTwips.width(), innerTwips.height()).value();
    const SketchScene::Line& first = resized.lines[resized.lines.size() - 2];
    const QPointF middle = (SceneToCanvas(resized, first.from, inner) + SceneToCanvas(resized, first.to, inner)) / 2 +
                           QPointF(picture->contentsRect().topLeft());
    bool blueNearMiddle = false;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) blueNearMiddle |= image.pixelColor(middle.toPoint() + QPoint(dx, dy)) == kSketchBlue;
    EXPECT_TRUE(blueNearMiddle);
  }
}

TEST_F(MainWindowTest, ToolbarDispatchesByTooltipAndMissingWindowsSaySo) {
  int nuevo = 0, editor = 0, zenda = 0;
  window.openNewProject = [&] { ++nuevo; };
  window.openTextEditor = [&] { ++editor; };
  window.openDatumUtility = [&] { ++zenda; };
  for (const char* tooltip : {"Nuevo", "Editor de texto", "Aplicación ZENDA"})
    QTest::mouseClick(ToolbarButton(QString::fromUtf8(tooltip)), Qt::LeftButton);
  window.RunToolbarCommand(QStringLiteral("Otra cosa"));
  EXPECT_EQ(std::vector<int>({nuevo, editor, zenda}), std::vector<int>({1, 1, 1}));
  QTest::mouseClick(ToolbarButton(QStringLiteral("Abrir")), Qt::LeftButton);
  ProjectChooser* chooser = ChooserShown();
  ASSERT_NE(chooser, nullptr);
  EXPECT_EQ(chooser->windowTitle(), QStringLiteral("Abrir Trabajo"));
  EXPECT_TRUE(chooser->isModal() || chooser->windowModality() == Qt::ApplicationModal);
  chooser->reject();
  EXPECT_TRUE(fake.dialogs.empty());

  window.openNewProject = nullptr;
  window.openDatumUtility = nullptr;
  window.State().vertexListText = "Punto";
  window.State().projectTooBig = true;
  fake.yesNoAnswers = {true};  // entries never saved: Nuevo asks first
  Find<QAction>(&window, "menunuevo")->trigger();
  QTest::mouseClick(ToolbarButton(QStringLiteral("Aplicación ZENDA")), Qt::LeftButton);
  EXPECT_EQ(fake.Log(), QStringLiteral("yesno | question |  |  Hay entradas de datos que no se han guardado. \r\n"
                                       " ¿Desea descartarlas? \n"
                                       "message | information |  | Esta función todavía no está disponible.\n"
                                       "message | information |  | Esta función todavía no está disponible.\n"));
  // Nuevo clears the section texts and the size flag before it opens the entry windows.
  EXPECT_TRUE(window.State().vertexListText.empty());
  EXPECT_FALSE(window.State().projectTooBig);
}

TEST_F(MainWindowTest, EditarThenCancelLeavesEditModeForTheNextChooser) {
  WriteSample();
  int edits = 0;
  window.editProject = [&] { ++edits; };
  Find<QAction>(&window, "menueditar")->trigger();
  ProjectChooser* chooser = ChooserShown();
  ASSERT_NE(chooser, nullptr);
  EXPECT_EQ(chooser->windowTitle(), QStringLiteral("Editar fichero de datos"));
  EXPECT_EQ(chooser->windowModality(), Qt::NonModal);
  QTest::mouseClick(Find<QPushButton>(chooser, "btnCancelar"), Qt::LeftButton);
  EXPECT_TRUE(window.State().editMode);
  // Abrir now reads the file into the entry windows instead of loading it; the next loads.
  OpenThroughChooser(QStringLiteral("red.txt"));
  EXPECT_EQ(edits, 1);
  EXPECT_FALSE(window.State().editMode);
  EXPECT_FALSE(CalculationEnabled());
  OpenThroughChooser(QStringLiteral("red.txt"));
  EXPECT_EQ(edits, 1);
  EXPECT_TRUE(CalculationEnabled());
}

TEST_F(MainWindowTest, AbrirWhileEditarsChooserIsOpenBringsItForwardUnchanged) {
  WriteSample();
  int edits = 0;
  window.editProject = [&] { ++edits; };
  Find<QAction>(&window, "menueditar")->trigger();
  ProjectChooser* chooser = ChooserShown();
  ASSERT_NE(chooser, nullptr);
  chooser->SetFolder(folder.path());
  auto* files = Find<QListWidget>(chooser, "File1");
  const auto found = files->findItems(QStringLiteral("red.txt"), Qt::MatchExactly);
  ASSERT_EQ(found.size(), 1);
  QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(found[0]).center());
  Find<QAction>(&window, "menuabrir")->trigger();
  EXPECT_TRUE(chooser->isVisible());
  EXPECT_EQ(chooser->windowTitle(), QStringLiteral("Editar fichero de datos"));
  EXPECT_EQ(Find<QLineEdit>(chooser, "Text1")->text(), QStringLiteral("red.txt"));
  QTest::mouseClick(Find<QPushButton>(chooser, "btnAceptar"), Qt::LeftButton);
  EXPECT_EQ(edits, 1);
  EXPECT_FALSE(window.State().editMode);
}

TEST_F(MainWindowTest, OptionsAndAboutOpenFromTheirMenus) {
  window.Options().maxIterLp = 4;
  Find<QAction>(&window, "menuestablecer")->trigger();
  auto* options = window.findChild<OptionsDialog*>(QStringLiteral("frmOpciones"));
  ASSERT_TRUE(options != nullptr && options->isVisible());
  EXPECT_EQ(Find<QLineEdit>(options, "Text5")->text(), QStringLiteral("4"));
  Find<QLineEdit>(options, "Text5")->setText(QStringLiteral("9"));
  QTest::mouseClick(Find<QPushButton>(options, "Aceptar"), Qt::LeftButton);
  EXPECT_EQ(window.Options().maxIterLp, 9);
  Find<QAction>(&window, "menuacercade")->trigger();
  QWidget* about = window.findChild<QWidget*>(QStringLiteral("Acercade"));
  ASSERT_TRUE(about != nullptr && about->isVisible());
}

}  // namespace
}  // namespace korvo
