// The main window: menus, toolbar, opening a project through the chooser, the pane, the
// sketch and the state of Calcular.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "app/gui_find.h"
#include "app/main_window.h"
#include "app/options_dialog.h"
#include "app/project_chooser.h"
#include "app/qt_text.h"
#include "app/recording_canvas.h"
#include "app/sample_project.h"
#include "app/sketch_view.h"
#include "gui_support/fake_dialog_service.h"
#include "network/load_network.h"
#include "network/sketch_geometry.h"

namespace korvo {
namespace {

using testing::Find;

enum class ChooseBy { AceptarButton, DoubleClick, EnterInList, EnterInName, TypedNameOnly };

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  QString WriteProject(const QString& name, const std::vector<testing::SampleVertex>& vertices,
                       const std::vector<testing::SampleObservation>& observations,
                       const std::vector<testing::SampleBaseline>& baselines) {
    const QString path = QDir(folder.path()).absoluteFilePath(name);
    const std::string text = testing::ProjectFileText(ToCp1252(QDir::toNativeSeparators(path)), vertices,
                                                      observations, baselines);
    return testing::WriteTestFile(folder.path(), name, text);
  }
  QString WriteSample() {
    return WriteProject(QStringLiteral("red.txt"), testing::ThreeVertices(), testing::TwoObservations(),
                        testing::TwoBaselines());
  }

  ProjectChooser* ChooserShown() {
    auto* chooser = window.findChild<ProjectChooser*>(QStringLiteral("frmAbrir"));
    EXPECT_NE(chooser, nullptr);
    if (chooser != nullptr) {
      EXPECT_TRUE(chooser->isVisible());
    }
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
    const auto found = files->findItems(fileName, Qt::MatchExactly);
    if (how == ChooseBy::TypedNameOnly) {
      QTest::keyClicks(name, fileName);
      QTest::mouseClick(Find<QPushButton>(chooser, "btnAceptar"), Qt::LeftButton);
      return;
    }
    ASSERT_EQ(found.size(), 1);
    const QPoint at = files->visualItemRect(found[0]).center();
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, at);
    switch (how) {
      case ChooseBy::AceptarButton:
        QTest::mouseClick(Find<QPushButton>(chooser, "btnAceptar"), Qt::LeftButton);
        break;
      case ChooseBy::DoubleClick:
        QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, at);
        break;
      case ChooseBy::EnterInList:
        QTest::keyClick(files, Qt::Key_Return);
        break;
      case ChooseBy::EnterInName:
        QTest::keyClick(name, Qt::Key_Return);
        break;
      case ChooseBy::TypedNameOnly:
        break;
    }
  }

  bool CalculationEnabled() {
    const bool menu = Find<QMenu>(&window, "menucompensacion")->menuAction()->isEnabled();
    const bool item = Find<QAction>(&window, "menucalcular")->isEnabled();
    const bool button = ToolbarButton("Calcular")->isEnabled();
    EXPECT_EQ(menu, button);
    EXPECT_EQ(item, button);
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

  // A project of 320 vertices and no observations: well over 32000 characters.
  std::string LargeProjectText() {
    std::vector<testing::SampleVertex> vertices;
    for (int i = 0; i < 320; ++i) {
      vertices.push_back({largeNumbers[static_cast<std::size_t>(i)].c_str(), i % 2 == 0,
                          i % 3 == 0 ? "4849202.000" : "4848000.000", i % 5 == 0 ? "-360328.000" : "-358000.000",
                          "4114913.000"});
    }
    return testing::ProjectFileText("grande.txt", vertices, {}, {});
  }

  // Each status shown during a command, with the number of dialogs shown before it.
  struct StatusAt {
    QString text;
    std::size_t dialogsBefore;
    bool operator==(const StatusAt&) const = default;
  };
  void RecordStatusesInto(std::vector<StatusAt>& recorded) {
    QObject::connect(&window, &Principal::statusShown,
                     [this, &recorded](const QString& text) { recorded.push_back({text, fake.dialogs.size()}); });
  }

  testing::FakeDialogService fake;
  std::vector<std::string> largeNumbers = [] {
    std::vector<std::string> numbers;
    for (int i = 1; i <= 320; ++i) numbers.push_back(std::to_string(i));
    return numbers;
  }();
  QTemporaryDir folder;
  Principal window;
};

TEST_F(MainWindowTest, CaptionMenusAndToolbar) {
  EXPECT_EQ(window.windowTitle(),
            QStringLiteral("Korvo -  Aplicación para la compensación de redes tridimensionales con observables "
                           "clásicos y GPS"));
  const std::pair<const char*, const char*> menus[] = {{"menuarchivo", "&Archivo"},
                                                       {"menucompensacion", "&Compensación"},
                                                       {"menuutilidades", "&Utilidades"},
                                                       {"menuopciones", "&Opciones"}};
  for (const auto& [name, caption] : menus) {
    EXPECT_EQ(Find<QMenu>(&window, name)->title(), QString::fromUtf8(caption)) << name;
  }
  const std::pair<const char*, const char*> items[] = {
      {"menunuevo", "&Nuevo..."},           {"menuabrir", "&Abrir..."},
      {"menueditar", "&Editar..."},         {"menusalir", "Salir"},
      {"menucalcular", "Calcula&r"},        {"menueditor", "&Editor de texto"},
      {"menuestablecer", "&Establecer opciones de cálculo"}, {"menuacercade", "&Acerca de"}};
  for (const auto& [name, caption] : items) {
    EXPECT_EQ(Find<QAction>(&window, name)->text(), QString::fromUtf8(caption)) << name;
  }
  QStringList topLevel;
  for (QAction* action : window.menuBar()->actions()) topLevel << action->text();
  EXPECT_EQ(topLevel, (QStringList{QStringLiteral("&Archivo"), QStringLiteral("&Compensación"),
                                   QStringLiteral("&Utilidades"), QStringLiteral("&Opciones"),
                                   QStringLiteral("Acerca de &KORVO")}));
  QStringList utilities;
  for (QAction* action : Find<QMenu>(&window, "menuutilidades")->actions()) utilities << action->text();
  EXPECT_EQ(utilities, (QStringList{QStringLiteral("&Editor de texto"), QStringLiteral("Aplicación &ZENDA")}));

  QStringList tooltips;
  for (QAction* action : Find<QToolBar>(&window, "Toolbar1")->actions()) tooltips << action->toolTip();
  EXPECT_EQ(tooltips, (QStringList{QStringLiteral("Nuevo"), QStringLiteral("Abrir"), QStringLiteral("Calcular"),
                                   QStringLiteral("Editor de texto"), QStringLiteral("Aplicación ZENDA")}));
  EXPECT_NE(Find<QStatusBar>(&window, "StatusBar1"), nullptr);
  EXPECT_NE(Find<QLabel>(&window, "Panel1"), nullptr);
  EXPECT_NE(Find<QLabel>(&window, "Panel2"), nullptr);
  EXPECT_EQ(Find<QProgressBar>(&window, "ProgressBar1")->maximum(), 100);
  EXPECT_EQ(Find<QLabel>(&window, "Label1")->text(), QStringLiteral("Croquis planimétrico de la red"));
}

TEST_F(MainWindowTest, CalcularIsDisabledUntilAProjectIsLoaded) {
  EXPECT_FALSE(CalculationEnabled());
  EXPECT_TRUE(Find<QWidget>(&window, "Text2")->isHidden());
  EXPECT_TRUE(Find<QWidget>(&window, "Picture1")->isHidden());
  // A click on the disabled button runs nothing.
  QTest::mouseClick(ToolbarButton(QStringLiteral("Calcular")), Qt::LeftButton);
  EXPECT_TRUE(fake.dialogs.empty());
}

TEST_F(MainWindowTest, OpeningShowsTheProjectTextAndEnablesCalcular) {
  const QString path = WriteSample();
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  const QString expected = FromCp1252(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));

  const ChooseBy ways[] = {ChooseBy::AceptarButton, ChooseBy::DoubleClick, ChooseBy::EnterInList,
                           ChooseBy::EnterInName};
  for (const ChooseBy how : ways) {
    SCOPED_TRACE(static_cast<int>(how));
    Find<QPlainTextEdit>(&window, "Text2")->clear();
    OpenThroughChooser(QStringLiteral("red.txt"), how);
    EXPECT_TRUE(fake.Messages().isEmpty()) << fake.Messages().join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(window.findChild<ProjectChooser*>(QStringLiteral("frmAbrir"))->isVisible());
    // The pane holds the file as read, CR LF and all: the editor's view of the same bytes.
    EXPECT_EQ(PaneText(), QString(expected).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_TRUE(Find<QWidget>(&window, "Text2")->isEnabled());
    EXPECT_TRUE(CalculationEnabled());
    EXPECT_EQ(window.State().projectFilePath, QFile::encodeName(QDir::toNativeSeparators(path)).toStdString());
    EXPECT_EQ(window.Model().VertexCount(), 3);
    EXPECT_EQ(window.Model().GpsCount(), 2);
    EXPECT_FALSE(window.State().projectTooBig);
    for (const char* shown : {"Text2", "Picture1", "Label1", "Image2", "Label2"}) {
      EXPECT_TRUE(Find<QWidget>(&window, shown)->isVisible()) << shown;
    }
  }
}

TEST_F(MainWindowTest, LoadingReportsItsProgressInOrder) {
  WriteSample();
  QStringList statuses;
  QList<int> progress;
  QObject::connect(&window, &Principal::statusShown, [&](const QString& text) { statuses << text; });
  QObject::connect(&window, &Principal::progressShown, [&](int value) { progress << value; });
  OpenThroughChooser(QStringLiteral("red.txt"));
  EXPECT_EQ(statuses, (QStringList{QStringLiteral("Adquiriendo información general sobre la red..."),
                                   QStringLiteral("Dibujando croquis planimétrico..."), QString()}));
  EXPECT_EQ(progress, (QList<int>{0, 15, 40, 80, 100, 0}));
  EXPECT_EQ(Find<QProgressBar>(&window, "ProgressBar1")->value(), 0);
}

TEST_F(MainWindowTest, TypedNameOpensThatFile) {
  WriteSample();
  OpenThroughChooser(QStringLiteral("red.txt"), ChooseBy::TypedNameOnly);
  EXPECT_TRUE(fake.Messages().isEmpty());
  EXPECT_TRUE(window.State().projectFilePath.ends_with("red.txt"));
  EXPECT_TRUE(CalculationEnabled());
}

TEST_F(MainWindowTest, KindMismatchIsReportedAndNothingIsLoaded) {
  std::string text = testing::ProjectFileText("red.txt", testing::ThreeVertices(), testing::TwoObservations(),
                                              testing::TwoBaselines());
  // Damage vertex 2's kind so that neither "(Incógnita)" nor "(Fijo)" is found.
  const std::size_t kind = text.find(Cp1252("(Incógnita)"));
  ASSERT_NE(kind, std::string::npos);
  text.replace(kind, 11, "(Incxgnita)");
  testing::WriteTestFile(folder.path(), QStringLiteral("mala.txt"), text);
  OpenThroughChooser(QStringLiteral("mala.txt"));
  EXPECT_EQ(fake.Messages(), QStringList{FromCp1252(kLoadKindMismatchMessage)});
  EXPECT_FALSE(CalculationEnabled());
  EXPECT_TRUE(window.Model().vertices.empty());
}

TEST_F(MainWindowTest, LargeProjectShowsTheSizeMessageAndIsNotPainted) {
  std::vector<testing::SampleVertex> vertices;
  std::vector<std::string> numbers;
  for (int i = 1; i <= 320; ++i) numbers.push_back(std::to_string(i));
  for (int i = 0; i < 320; ++i) {
    vertices.push_back({numbers[static_cast<std::size_t>(i)].c_str(), i % 2 == 0,
                        i % 3 == 0 ? "4849202.000" : "4848000.000", i % 5 == 0 ? "-360328.000" : "-358000.000",
                        "4114913.000"});
  }
  WriteProject(QStringLiteral("grande.txt"), vertices, {}, {});
  OpenThroughChooser(QStringLiteral("grande.txt"));
  ASSERT_EQ(fake.Messages().size(), 1);
  EXPECT_EQ(fake.Messages()[0], QStringLiteral(" El proyecto es demasiado grande para mostrarlo en pantalla. \r\n"
                                               " Trabajando sobre fichero de resultados... "));
  EXPECT_EQ(fake.dialogs[0].icon, MessageIcon::Information);
  EXPECT_TRUE(PaneText().isEmpty());
  EXPECT_TRUE(CalculationEnabled());
  EXPECT_EQ(window.Model().VertexCount(), 320);
  // Abrir clears the flag once its chooser has returned.
  EXPECT_FALSE(window.State().projectTooBig);
}

TEST_F(MainWindowTest, SketchFailureKeepsTheNetworkLoaded) {
  WriteProject(QStringLiteral("uno.txt"), {testing::ThreeVertices()[0]}, {}, {});
  OpenThroughChooser(QStringLiteral("uno.txt"));
  EXPECT_EQ(fake.Messages(), QStringList{FromCp1252(kSketchErrorMessage)});
  EXPECT_EQ(FromCp1252(kSketchErrorMessage), QStringLiteral("¡Se ha producido un error en el dibujo del croquis de la red!"));
  EXPECT_TRUE(CalculationEnabled());
  EXPECT_EQ(window.Model().VertexCount(), 1);
  EXPECT_FALSE(Find<SketchView>(&window, "Picture1")->HasScene());
}

TEST_F(MainWindowTest, FailedLoadClearsTheStatusAndTheIterationPanel) {
  std::string text = testing::ProjectFileText("mala.txt", testing::ThreeVertices(), testing::TwoObservations(),
                                              testing::TwoBaselines());
  const std::size_t kind = text.find(Cp1252("(Incógnita)"));
  ASSERT_NE(kind, std::string::npos);
  text.replace(kind, 11, "(Incxgnita)");
  testing::WriteTestFile(folder.path(), QStringLiteral("mala.txt"), text);
  QStringList statuses;
  QList<int> progress;
  QObject::connect(&window, &Principal::statusShown, [&](const QString& shown) { statuses << shown; });
  QObject::connect(&window, &Principal::progressShown, [&](int value) { progress << value; });
  OpenThroughChooser(QStringLiteral("mala.txt"));
  EXPECT_EQ(fake.Messages(),
            QStringList{QStringLiteral("¡Se ha producido un error en la lectura del tipo(incógnita/fijo) de los puntos! ")});
  EXPECT_EQ(fake.dialogs[0].icon, MessageIcon::None);
  // The load stopped while acquiring the network; no status of it stays behind.
  EXPECT_EQ(statuses, (QStringList{QStringLiteral("Adquiriendo información general sobre la red..."), QString()}));
  EXPECT_EQ(progress, (QList<int>{0, 0}));
  EXPECT_TRUE(Find<QLabel>(&window, "Panel1")->text().isEmpty());
  EXPECT_TRUE(Find<QLabel>(&window, "Panel2")->text().isEmpty());
  EXPECT_EQ(Find<QProgressBar>(&window, "ProgressBar1")->value(), 0);
  // The file's text was shown before its records were read; nothing of it is loaded.
  EXPECT_EQ(PaneText(), QString(FromCp1252(text)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  EXPECT_FALSE(CalculationEnabled());
  EXPECT_FALSE(Find<SketchView>(&window, "Picture1")->HasScene());
}

TEST_F(MainWindowTest, SizeMessageComesWhileTheFileIsReadBeforeItsRecords) {
  const QString sizeMessage = QStringLiteral(
      " El proyecto es demasiado grande para mostrarlo en pantalla. \r\n Trabajando sobre fichero de resultados... ");
  testing::WriteTestFile(folder.path(), QStringLiteral("grande.txt"), LargeProjectText());
  std::vector<StatusAt> statuses;
  RecordStatusesInto(statuses);
  OpenThroughChooser(QStringLiteral("grande.txt"));
  EXPECT_EQ(fake.Messages(), QStringList{sizeMessage});
  EXPECT_EQ(statuses, (std::vector<StatusAt>{{QStringLiteral("Adquiriendo información general sobre la red..."), 0},
                                             {QStringLiteral("Dibujando croquis planimétrico..."), 1},
                                             {QString(), 1}}));

  // A large file whose records cannot be read gives the size message first, then the error.
  std::string damaged = LargeProjectText();
  const std::size_t kind = damaged.find("(Fijo)");
  ASSERT_NE(kind, std::string::npos);
  damaged.replace(kind, 6, "(Fixo)");
  testing::WriteTestFile(folder.path(), QStringLiteral("grande_mala.txt"), damaged);
  fake.dialogs.clear();
  OpenThroughChooser(QStringLiteral("grande_mala.txt"));
  EXPECT_EQ(fake.Messages(),
            (QStringList{sizeMessage, QStringLiteral("¡Se ha producido un error en la lectura del tipo(incógnita/fijo) "
                                                     "de los puntos! ")}));
  EXPECT_FALSE(CalculationEnabled());
  EXPECT_FALSE(window.State().projectTooBig);
}

TEST_F(MainWindowTest, SketchFailureIsReportedWhileTheSketchIsDrawn) {
  WriteProject(QStringLiteral("uno.txt"), {testing::ThreeVertices()[0]}, {}, {});
  std::vector<StatusAt> statuses;
  RecordStatusesInto(statuses);
  QList<int> progress;
  QObject::connect(&window, &Principal::progressShown, [&](int value) { progress << value; });
  OpenThroughChooser(QStringLiteral("uno.txt"));
  EXPECT_EQ(fake.Messages(), QStringList{QStringLiteral("¡Se ha producido un error en el dibujo del croquis de la red!")});
  EXPECT_EQ(statuses, (std::vector<StatusAt>{{QStringLiteral("Adquiriendo información general sobre la red..."), 0},
                                             {QStringLiteral("Dibujando croquis planimétrico..."), 0},
                                             {QString(), 1}}));
  // The load still ends as usual.
  EXPECT_EQ(progress, (QList<int>{0, 15, 40, 80, 100, 0}));
  EXPECT_TRUE(CalculationEnabled());
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
  // Two fixed vertices: three black sides and a black apex pixel each.
  EXPECT_EQ(canvas.Count(Kind::Line, kSketchBlack), 6);
  EXPECT_EQ(canvas.Count(Kind::Pixel, kSketchBlack), 2);
  // Every vertex labelled with its number, unknown vertex 2 included.
  QStringList labels;
  for (const auto& p : canvas.drawn) {
    if (p.kind == Kind::Text) labels << p.text;
  }
  EXPECT_EQ(labels, (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
  // Two classical lines in red, then the two baselines in blue over them.
  std::vector<QColor> lineColours;
  for (const auto& p : canvas.drawn) {
    if (p.kind == Kind::Line && p.color != kSketchBlack) lineColours.push_back(p.color);
  }
  EXPECT_EQ(lineColours, (std::vector<QColor>{kSketchRed, kSketchRed, kSketchBlue, kSketchBlue}));
  // The blue 1-2 baseline covers the red 1-2 distance exactly.
  const auto& red12 = canvas.drawn[canvas.drawn.size() - 4];
  const auto& blue12 = canvas.drawn[canvas.drawn.size() - 2];
  EXPECT_EQ(red12.a, blue12.a);
  EXPECT_EQ(red12.b, blue12.b);

  // The network's limiting extent fills the canvas less the margin, centred.
  double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
  for (const auto& p : canvas.drawn) {
    if (p.kind != Kind::Line || p.color == kSketchBlack) continue;
    for (const QPointF& q : {p.a, p.b}) {
      left = std::min(left, q.x());
      right = std::max(right, q.x());
      top = std::min(top, q.y());
      bottom = std::max(bottom, q.y());
    }
  }
  const double widthFraction = (right - left) / (pixels.width() - 2 * kSketchMarginPx);
  const double heightFraction = (bottom - top) / (pixels.height() - 2 * kSketchMarginPx);
  EXPECT_NEAR(std::max(widthFraction, heightFraction), 1.0, 1e-9);
  EXPECT_NEAR(left + right, pixels.width(), 1e-6);
  EXPECT_NEAR(top + bottom, pixels.height(), 1e-6);
  // Labels start right of and below their vertex (y grows downwards on the canvas).
  const auto& label1 = *std::find_if(canvas.drawn.begin(), canvas.drawn.end(),
                                     [](const auto& p) { return p.kind == Kind::Text; });
  EXPECT_GT(label1.a.x(), red12.a.x());
  EXPECT_GT(label1.a.y(), red12.a.y());
}

TEST_F(MainWindowTest, SketchPixelsShowBlackRedAndBlueAndFollowResizing) {
  WriteProject(QStringLiteral("red.txt"), testing::ThreeVertices(), testing::TwoObservations(),
               {testing::TwoBaselines()[0]});
  OpenThroughChooser(QStringLiteral("red.txt"));
  auto* picture = Find<SketchView>(&window, "Picture1");
  for (const QSize size : {QSize(420, 320), QSize(640, 260)}) {
    SCOPED_TRACE(size.width());
    picture->setFixedSize(size);
    QTest::qWait(20);
    const QImage image = picture->grab().toImage();
    int black = 0, red = 0, blue = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        black += c == kSketchBlack ? 1 : 0;
        red += c == kSketchRed ? 1 : 0;
        blue += c == kSketchBlue ? 1 : 0;
      }
    }
    EXPECT_GT(black, 20);  // two triangles and three numbers
    EXPECT_GT(red, 40);    // the direction 2-3
    EXPECT_GT(blue, 40);   // the baseline 1-2, drawn over the distance 1-2
    // The middle of line 1-2 is blue: the baseline lies on top.
    const QSizeF twips = picture->InnerSizeTwips();
    Result<SketchScene> scene = SketchSceneOf(window.Model(), twips.width(), twips.height());
    ASSERT_TRUE(scene.ok());
    const SketchScene::Line& baseline = scene->lines.back();
    ASSERT_EQ(baseline.color, kSketchBlue);
    const QSizeF inner(picture->contentsRect().size());
    const QPointF middle = (SceneToCanvas(*scene, baseline.from, inner) + SceneToCanvas(*scene, baseline.to, inner)) / 2 +
                           QPointF(picture->contentsRect().topLeft());
    bool blueNearMiddle = false;
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        blueNearMiddle |= image.pixelColor(middle.toPoint() + QPoint(dx, dy)) == kSketchBlue;
        EXPECT_NE(image.pixelColor(middle.toPoint() + QPoint(dx, dy)), kSketchRed);
      }
    }
    EXPECT_TRUE(blueNearMiddle);
  }
}

TEST_F(MainWindowTest, ToolbarDispatchesByTooltip) {
  int nuevo = 0, editor = 0, zenda = 0;
  window.openNewProject = [&] { ++nuevo; };
  window.openTextEditor = [&] { ++editor; };
  window.openDatumUtility = [&] { ++zenda; };
  QTest::mouseClick(ToolbarButton(QStringLiteral("Nuevo")), Qt::LeftButton);
  QTest::mouseClick(ToolbarButton(QStringLiteral("Editor de texto")), Qt::LeftButton);
  QTest::mouseClick(ToolbarButton(QStringLiteral("Aplicación ZENDA")), Qt::LeftButton);
  EXPECT_EQ(nuevo, 1);
  EXPECT_EQ(editor, 1);
  EXPECT_EQ(zenda, 1);
  QTest::mouseClick(ToolbarButton(QStringLiteral("Abrir")), Qt::LeftButton);
  ProjectChooser* chooser = ChooserShown();
  ASSERT_NE(chooser, nullptr);
  EXPECT_EQ(chooser->windowTitle(), QStringLiteral("Abrir Trabajo"));
  EXPECT_TRUE(chooser->isModal() || chooser->windowModality() == Qt::ApplicationModal);
  chooser->reject();
  window.RunToolbarCommand(QStringLiteral("Otra cosa"));
  EXPECT_EQ(nuevo + editor + zenda, 3);
  EXPECT_TRUE(fake.dialogs.empty());
}

TEST_F(MainWindowTest, CommandsWithoutTheirWindowSaySo) {
  window.openNewProject = nullptr;
  window.openDatumUtility = nullptr;
  window.State().vertexListText = "Punto";
  window.State().projectTooBig = true;
  fake.yesNoAnswers = {true};  // the entries were never saved: Nuevo asks first
  Find<QAction>(&window, "menunuevo")->trigger();
  QTest::mouseClick(ToolbarButton(QStringLiteral("Aplicación ZENDA")), Qt::LeftButton);
  EXPECT_EQ(fake.Messages(), (QStringList{QStringLiteral("Esta función todavía no está disponible."),
                                          QStringLiteral("Esta función todavía no está disponible.")}));
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
  EXPECT_TRUE(window.State().editMode);
  QTest::mouseClick(Find<QPushButton>(chooser, "btnCancelar"), Qt::LeftButton);
  EXPECT_TRUE(window.State().editMode);

  // Abrir now reads the file into the entry windows instead of loading it.
  OpenThroughChooser(QStringLiteral("red.txt"));
  EXPECT_EQ(edits, 1);
  EXPECT_FALSE(window.State().editMode);
  EXPECT_FALSE(CalculationEnabled());
  EXPECT_FALSE(window.State().projectFilePath.empty());

  // And the following Abrir loads again.
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
  EXPECT_EQ(QDir(chooser->Folder()).canonicalPath(), QDir(folder.path()).canonicalPath());
  QTest::mouseClick(Find<QPushButton>(chooser, "btnAceptar"), Qt::LeftButton);
  EXPECT_EQ(edits, 1);
  EXPECT_FALSE(window.State().editMode);
}

TEST_F(MainWindowTest, OptionsAndAboutOpenFromTheirMenus) {
  window.Options().maxIterLp = 4;
  Find<QAction>(&window, "menuestablecer")->trigger();
  auto* options = window.findChild<OptionsDialog*>(QStringLiteral("frmOpciones"));
  ASSERT_NE(options, nullptr);
  EXPECT_TRUE(options->isVisible());
  EXPECT_EQ(Find<QLineEdit>(options, "Text5")->text(), QStringLiteral("4"));
  Find<QLineEdit>(options, "Text5")->setText(QStringLiteral("9"));
  QTest::mouseClick(Find<QPushButton>(options, "Aceptar"), Qt::LeftButton);
  EXPECT_EQ(window.Options().maxIterLp, 9);

  Find<QAction>(&window, "menuacercade")->trigger();
  QWidget* about = window.findChild<QWidget*>(QStringLiteral("Acercade"));
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(about->isVisible());
}

}  // namespace
}  // namespace korvo
