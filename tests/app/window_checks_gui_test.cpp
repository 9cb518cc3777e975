// Out-of-range options and closing entry windows over unsaved entries; the sketch's scale bar
// apart from the ellipse legend, the quality summary apart from the progress bar.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>

#include "app/main_window.h"
#include "app/options_dialog.h"
#include "app/sketch_view.h"
#include "gui_support/entry_support.h"
#include "gui_support/fake_dialog_service.h"
#include "gui_support/gui_find.h"
#include "gui_support/recording_canvas.h"

namespace korvo {
namespace {

using testing::Find;

auto Fields(const CalcOptions& o) {
  return std::tuple(o.fixedRefraction, o.refractionK, o.applyGpsStationErrors, o.centeringStdDevM,
                    o.antennaHeightStdDevM, o.useHuber, o.useL1, o.useLp);
}

// Aceptar runs the adjustment's own check of the options: a refused value leaves the dialog
// open and the stored options as they were, the valid fields typed beside it included.
TEST(WindowChecks, OptionsOutOfRangeAreRefusedWithTheAdjustmentsMessage) {
  const QString refused = QStringLiteral("message | exclamation | Opciones de cálculo | ");
  struct Row {
    const char* what;
    std::vector<std::pair<const char*, const char*>> fields;  // typed after the clicks
    std::vector<const char*> clicks;
    QString log;  // empty: accepted
  } rows[] = {
      {"K beyond 1", {{"Text1", "1.5"}}, {"Check1", "Check4"},
       refused + QStringLiteral(" ¡El coeficiente de refracción K = 1.5 está fuera del intervalo de -1 a 1! \n")},
      {"K of -1 is the bound", {{"Text1", "-1"}}, {"Check1"}, {}},
      {"centring error of 2 m", {{"Text2", "2"}, {"Text3", "0.02"}}, {},
       refused + QStringLiteral(" ¡El error en estacionamiento (2 m) debe estar entre 0 y 1 m! \n")},
      {"antenna error beyond 1 m", {{"Text3", "1.25"}}, {},
       refused + QStringLiteral(" ¡El error en altura de antena (1.25 m) debe estar entre 0 y 1 m! \n")},
      {"station errors not considered are not checked", {{"Text2", "2"}}, {"Check2"}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    testing::FakeDialogService fake;
    CalcOptions options;
    OptionsDialog dialog(options);
    dialog.show();
    for (const char* click : row.clicks) Find<QAbstractButton>(&dialog, click)->click();
    for (const auto& [name, text] : row.fields) {
      testing::Type(Find<QLineEdit>(&dialog, name), QString::fromUtf8(text));
    }
    Find<QAbstractButton>(&dialog, "Aceptar")->click();
    EXPECT_EQ(fake.Log(), row.log);
    EXPECT_EQ(dialog.isVisible(), !row.log.isEmpty());
    EXPECT_EQ(Fields(options) == Fields(CalcOptions{}), !row.log.isEmpty());
  }
}

using EntryCloseTest = testing::EntryTest;

// Closing the last entry window open asks before entries never saved are lost; No keeps the
// window and its list, Yes discards them, so leaving the program asks nothing more.
TEST_F(EntryCloseTest, ClosingTheLastEntryWindowAsksBeforeDiscarding) {
  const QString asked = QStringLiteral(
      "yesno | question |  |  Hay entradas de datos que no se han guardado. \r\n ¿Desea descartarlas? \n");
  struct Row {
    const char* what;
    bool typeVertex, toObservations, saved;
    std::deque<bool> answers;
    bool asks, closed;
  } rows[] = {
      {"nothing typed", false, false, false, {}, false, true},
      {"a vertex, answer No", true, false, false, {false}, true, false},
      {"a vertex, answer Yes", true, false, false, {true}, true, true},
      {"from the observations window", true, true, false, {false}, true, false},
      {"entries saved", true, false, true, {}, false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    windows->StartNewNetwork();
    if (row.typeVertex) EnterVertex("1", QStringLiteral("Fijo"), "4848527.184", "-50980.563", "4116958.214");
    if (row.saved) MarkListsSaved(state);
    QWidget* shown = one;
    if (row.toObservations) {
      testing::Click(testing::Named<QPushButton>(one, "Command2"));
      shown = two;
    }
    ASSERT_TRUE(shown->isVisible());
    const std::string typed = state.vertexListText;
    dialogs.dialogs.clear();
    dialogs.yesNoAnswers = row.answers;
    shown->close();
    EXPECT_EQ(dialogs.Log(), row.asks ? asked : QString());
    EXPECT_EQ(shown->isVisible(), !row.closed);
    EXPECT_EQ(state.vertexListText, row.closed && row.asks ? std::string() : typed);
    EXPECT_EQ(HasUnsavedEntries(state), !row.closed);
    shown->hide();
  }
}

// The sample network adjusted in a 1024-pixel window: the quality summary stands clear of the
// progress bar, and the metres scale bar clear of the ellipse legend and its bar at any zoom.
TEST(WindowChecks, ScaleBarAndQualitySummaryKeepClearOfTheirNeighbours) {
  testing::FakeDialogService fake;
  Principal window;
  window.resize(1024, 768);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ASSERT_TRUE(window.LoadProject(QString::fromUtf8(KORVO_SOURCE_DIR) + QStringLiteral("/examples/red_ejemplo.txt")));
  window.Calcular();
  QCoreApplication::processEvents();

  const auto* summary = Find<QLabel>(&window, "PanelCalidad");
  const auto* progress = Find<QProgressBar>(&window, "ProgressBar1");
  ASSERT_FALSE(summary->text().isEmpty());
  EXPECT_LE(summary->mapTo(&window, summary->rect().topRight()).x(), progress->mapTo(&window, QPoint(0, 0)).x());
  EXPECT_GE(summary->contentsRect().width(), summary->fontMetrics().horizontalAdvance(summary->text()));

  const auto* sketch = Find<SketchView>(&window, "Picture1");
  ASSERT_TRUE(sketch->Scene().has_value());
  const SketchScene& scene = *sketch->Scene();
  ASSERT_EQ(scene.scaleBar.size(), 3u);
  const QSizeF canvas(sketch->contentsRect().size());
  const QFontMetricsF metrics(sketch->font());
  for (const double zoom : {1.0, 2.0, 4.0, 8.0}) {
    SCOPED_TRACE(zoom);
    const SketchViewport view = ZoomedAbout({}, canvas, QPointF(canvas.width() / 2, canvas.height() / 2), zoom);
    testing::RecordingCanvas drawn;
    PaintSketchScene(drawn, scene, canvas, view);
    // The legend and the ellipse bar's length (green texts), and that bar (the last three lines).
    std::vector<QRectF> texts;
    for (const testing::DrawnPrimitive& p : drawn.drawn) {
      if (p.kind == testing::DrawnPrimitive::Kind::Text && p.color == kSketchEllipse) {
        texts.emplace_back(p.a, metrics.size(0, p.text));
      }
    }
    ASSERT_EQ(texts.size(), 2u);
    QRectF ellipseBar;
    int barLines = 0;
    for (auto p = drawn.drawn.rbegin(); p != drawn.drawn.rend() && barLines < 3; ++p) {
      if (p->kind != testing::DrawnPrimitive::Kind::Line) continue;
      ellipseBar = ellipseBar.united(QRectF(p->a, p->b).normalized());
      ++barLines;
    }
    EXPECT_FALSE(texts[0].intersects(ellipseBar));
    EXPECT_GT(texts[1].left(), ellipseBar.right());
    const std::optional<SketchScaleBar> bar = ScaleBarOf(scene, SketchMappingOf(scene, canvas, view), canvas);
    ASSERT_TRUE(bar.has_value());
    EXPECT_TRUE(QRectF(QPointF(0, 0), canvas).contains(bar->Bounds()));
    for (const QRectF& box : {texts[0], texts[1], ellipseBar}) EXPECT_FALSE(bar->Bounds().intersects(box));
  }
}

}  // namespace
}  // namespace korvo
