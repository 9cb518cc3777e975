// The main window as a daily workplace: results kept and saved again, the Informe tab with a
// report of any size, remembered folders, Qt's own texts in Spanish, the editor's byte-exact
// saves and its three-answer question.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QWheelEvent>

#include "gui_support/gui_find.h"
#include "app/main_window.h"
#include "app/project_chooser.h"
#include "app/report_view.h"
#include "app/sketch_view.h"
#include "app/translations.h"
#include "editor/editor_window.h"
#include "gui_support/fake_dialog_service.h"

namespace korvo {
namespace {

using testing::Find;
using Kind = testing::RecordedDialog::Kind;

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

class WorkplaceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.isValid()); }
  QString Path(const QString& name) const { return QDir(folder.path()).absoluteFilePath(name); }

  void OpenSample(Principal& window) {
    ASSERT_TRUE(QFile::copy(QString::fromUtf8(KORVO_SOURCE_DIR) + QStringLiteral("/examples/red_ejemplo.txt"), Path("red_ejemplo.txt")));
    Find<QAction>(&window, "menuabrir")->trigger();
    auto* chooser = window.findChild<ProjectChooser*>(QStringLiteral("frmAbrir"));
    chooser->SetFolder(folder.path());
    auto* files = Find<QListWidget>(chooser, "File1");
    files->setCurrentRow(0);  // the only file
    QTest::mouseClick(Find<QPushButton>(chooser, "btnAceptar"), Qt::LeftButton);
    ASSERT_TRUE(fake.Messages().isEmpty()) << fake.Messages().join(QLatin1Char('|')).toStdString();
  }

  testing::FakeDialogService fake;
  QTemporaryDir folder;
};

// A cancelled save loses nothing: the Informe tab shows the report and "Guardar
// resultados..." writes it later, the same bytes as the report shown; Nuevo forgets it.
TEST_F(WorkplaceTest, CancelledSaveThenGuardarResultados) {
  Principal window;
  window.show();
  OpenSample(window);
  fake.fileAnswers = {QString()};
  Find<QAction>(&window, "menucalcular")->trigger();
  ASSERT_EQ(fake.dialogs.back().kind, Kind::Save);

  auto* tabs = Find<QTabWidget>(&window, "PaneTabs");
  auto* report = Find<ReportView>(&window, "Informe");
  EXPECT_EQ(tabs->currentWidget(), report);
  const ResultsTexts& texts = window.LastResults();
  const std::string whole = texts.header + texts.leastSquares + texts.robustComparison;
  EXPECT_GT(whole.size(), 100000u);
  EXPECT_EQ(report->Report(), whole);

  // The pointer over an unknown vertex tells its precision.
  auto* sketch = Find<SketchView>(&window, "Picture1");
  ASSERT_TRUE(sketch->Scene().has_value());
  QString hover;
  for (const SketchScene::Vertex& vertex : sketch->Scene()->vertices) {
    if (!vertex.fixed) hover = sketch->HoverTextAt(sketch->Mapping().toCanvas.map(vertex.at));
  }
  EXPECT_TRUE(hover.contains(QStringLiteral("σE")) && hover.contains(QStringLiteral("Elipse 95 %"))) << hover.toStdString();

  QAction* save = Find<QAction>(&window, "menuguardarresultados");
  ASSERT_TRUE(save->isEnabled());
  fake.fileAnswers = {Path("resultados.txt")};
  save->trigger();
  EXPECT_EQ(FileBytes(Path("resultados.txt")).toStdString(), whole + "\r\n");
  // The next save dialog starts where the last results went (a remembered folder).
  const std::size_t before = fake.dialogs.size();
  save->trigger();
  EXPECT_EQ(QDir(fake.dialogs[before].request.initialDirectory).canonicalPath(), QDir(folder.path()).canonicalPath());

  // Entries typed and never saved: Nuevo asks first, and No keeps everything.
  window.openNewProject = [] {};
  window.State().vertexListText = "Punto 1001";
  fake.yesNoAnswers = {false, true};
  Find<QAction>(&window, "menunuevo")->trigger();
  EXPECT_EQ(fake.dialogs.back().kind, Kind::YesNo);
  EXPECT_TRUE(save->isEnabled());
  EXPECT_EQ(window.State().vertexListText, "Punto 1001");
  Find<QAction>(&window, "menunuevo")->trigger();
  EXPECT_FALSE(save->isEnabled());
  EXPECT_TRUE(report->Report().empty());
}

// A report of several megabytes is shown a page at a time, says its size, and the find box
// reaches a text on the last page.
TEST_F(WorkplaceTest, InformeShowsAMultiMegabyteReportByPages) {
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

TEST_F(WorkplaceTest, QtsOwnButtonsSpeakSpanish) {
  ASSERT_TRUE(InstallSpanishQtTexts(*QCoreApplication::instance()));
  QMessageBox box(QMessageBox::Information, QStringLiteral("Korvo"), QStringLiteral("texto"),
                  QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_EQ(box.button(QMessageBox::Ok)->text().remove(QLatin1Char('&')), QStringLiteral("Aceptar"));
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Cancelar"));
}

// Open, save, open, save gives back the bytes, with or without a last line end; closing asks
// only after a change, and Cancelar keeps the window and its text.
TEST_F(WorkplaceTest, EditorSavesTheBytesItOpenedAndAsksOnlyAfterAChange) {
  EditorWindow editor;
  editor.show();
  auto* box = Find<QPlainTextEdit>(&editor, "Text1");
  for (const QByteArray& bytes : {QByteArray("uno\r\ndos\r\n"), QByteArray("1\r\n2,3,4"), QByteArray("a\r\n\r\n")}) {
    const QString original = Path("original.txt");
    const QString copy = Path("copia.txt");
    WriteBytes(original, bytes);
    QFile::remove(copy);
    fake.fileAnswers = {original, copy, copy, copy};
    fake.yesNoAnswers = {true};
    Find<QAction>(&editor, "FicheroAbrir")->trigger();
    Find<QAction>(&editor, "FicheroGuardar")->trigger();
    Find<QAction>(&editor, "FicheroAbrir")->trigger();
    Find<QAction>(&editor, "FicheroGuardar")->trigger();
    EXPECT_EQ(FileBytes(copy), bytes);
  }
  fake.dialogs.clear();
  editor.close();  // nothing changed since the last save
  EXPECT_TRUE(fake.dialogs.empty());

  editor.show();
  box->setPlainText(QStringLiteral("cambiado"));
  fake.yesNoCancelAnswers = {-1};
  editor.close();
  ASSERT_EQ(fake.dialogs.size(), 1u);
  EXPECT_EQ(fake.dialogs[0].kind, Kind::YesNoCancel);
  EXPECT_TRUE(editor.isVisible());
  EXPECT_EQ(box->toPlainText(), QStringLiteral("cambiado"));
  fake.yesNoCancelAnswers = {0};
  editor.close();
  EXPECT_FALSE(editor.isVisible());
}

// A grid network of `side` × `side` vertices 100 m apart with a baseline to each right
// neighbour.
NetworkModel GridNetwork(int side) {
  NetworkModel model;
  for (int i = 0; i < side * side; ++i) {
    NetworkVertex vertex;
    vertex.number = static_cast<std::int16_t>(i + 1);
    vertex.kind = i == 0 ? kKindFixed : kKindUnknown;
    vertex.sketchX = 1000 + (i % side) * 0.0009;
    vertex.sketchY = static_cast<float>(1040 + (i / side) * 0.0009);
    model.vertices.push_back(vertex);
    if (i % side + 1 < side) {
      GpsBaseline baseline;
      baseline.from = i + 1;
      baseline.to = static_cast<std::int16_t>(i + 2);
      model.baselines.push_back(baseline);
    }
  }
  return model;
}

// The wheel zooms about the pointer, dragging pans, a double click fits again, and the pointer
// finds a vertex by its drawn position.
TEST_F(WorkplaceTest, SketchZoomPanFitAndHover) {
  const NetworkModel model = GridNetwork(5);
  SketchView view;
  view.resize(500, 400);
  view.show();
  ASSERT_FALSE(view.SetSceneSource([&model](double w, double h) { return SketchSceneOf(model, w, h); }));
  view.SetHoverSource([](int index) { return QStringLiteral("vértice %1").arg(index + 1); });
  const QSizeF inner(view.contentsRect().size());
  const QTransform fitted = view.Mapping().toCanvas;
  // Fitted: the extent fills the canvas less the margin along its limiting axis, north up.
  const QRectF drawn = fitted.mapRect(view.Scene()->extentTwips);
  EXPECT_NEAR(std::max(drawn.width() / (inner.width() - 2 * kSketchMarginPx),
                       drawn.height() / (inner.height() - 2 * kSketchMarginPx)), 1.0, 1e-9);
  EXPECT_LT(fitted.m22(), 0);
  EXPECT_DOUBLE_EQ(fitted.m11(), -fitted.m22());

  const QPointF pointer(300, 150);
  const QPointF underPointer = fitted.inverted().map(pointer);
  QWheelEvent wheel(pointer + view.contentsRect().topLeft(), {}, {}, {0, 240}, Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(&view, &wheel);
  EXPECT_NEAR(view.Viewport().zoom, 1.5625, 1e-12);
  const QPointF after = view.Mapping().toCanvas.map(underPointer);
  EXPECT_NEAR(after.x(), pointer.x(), 1e-6);
  EXPECT_NEAR(after.y(), pointer.y(), 1e-6);

  QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(100, 100));
  QMouseEvent move(QEvent::MouseMove, QPointF(130, 90), QPointF(), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&view, &move);
  QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(130, 90));
  const QPointF panned = view.Mapping().toCanvas.map(underPointer);
  EXPECT_NEAR(panned.x() - after.x(), 30, 1e-6);
  EXPECT_NEAR(panned.y() - after.y(), -10, 1e-6);

  const SketchScene::Vertex& seventh = view.Scene()->vertices[6];
  const QPointF at = view.Mapping().toCanvas.map(seventh.at);
  EXPECT_EQ(view.HoverTextAt(at + QPointF(2, -2)), QStringLiteral("vértice 7"));
  EXPECT_TRUE(view.HoverTextAt(at + QPointF(40, 40)).isEmpty());

  QTest::mouseDClick(&view, Qt::LeftButton, {}, QPoint(50, 50));
  EXPECT_EQ(view.Mapping().toCanvas, fitted);
}

TEST_F(WorkplaceTest, EightThousandVerticesDrawWellUnderASecond) {
  const NetworkModel model = GridNetwork(90);  // 8,100 vertices
  QImage image(1200, 900, QImage::Format_RGB32);
  QElapsedTimer timer;
  timer.start();
  Result<SketchScene> scene = SketchSceneOf(model, 1200 * 15.0, 900 * 15.0);
  ASSERT_TRUE(scene.ok());
  QPainter painter(&image);
  PainterCanvas canvas(painter);
  PaintSketchScene(canvas, *scene, QSizeF(image.size()));
  painter.end();
  // Generous for a shared test machine; the check is against work that grows with V².
  EXPECT_LT(timer.elapsed(), 2000);
  EXPECT_EQ(scene->lines.size(), 90u * 89u);
}

}  // namespace
}  // namespace korvo
