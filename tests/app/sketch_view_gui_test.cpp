// The sketch: the scene of a network, its painting, and the view that zooms, pans, fits and
// tells the vertex under the pointer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QTest>
#include <QWheelEvent>

#include "app/sketch_view.h"
#include "gui_support/recording_canvas.h"
#include "network/geodetics.h"
#include "network/sketch_geometry.h"
#include "support/networks.h"

namespace korvo {
namespace {

using Kind = testing::DrawnPrimitive::Kind;

TEST(SketchScene, TrianglesThenLabelsThenLinesInTheirOrder) {
  SketchScene scene;
  scene.widthTwips = scene.heightTwips = 100;
  scene.triangles.push_back({{10, 10}, {30, 10}, {20, 27.32}});
  scene.labels.push_back({{25, 5}, QStringLiteral("7")});
  scene.lines.push_back({{10, 10}, {90, 90}, kSketchRed});
  scene.lines.push_back({{10, 10}, {90, 90}, kSketchBlue});
  scene.vertices.push_back({{50, 50}, 0, false});  // an unknown vertex's circle: not recorded
  testing::RecordingCanvas canvas;
  PaintSketchScene(canvas, scene, QSizeF(100, 100));
  ASSERT_EQ(canvas.drawn.size(), 7u);  // base, left side, right side, apex pixel; the label; the lines
  EXPECT_EQ((std::vector{canvas.drawn[0].a, canvas.drawn[0].b, canvas.drawn[1].b, canvas.drawn[2].a}),
            (std::vector{QPointF(10, 90), QPointF(30, 90), QPointF(20, 100 - 27.32), QPointF(30, 90)}));
  EXPECT_EQ(canvas.drawn[3].kind, Kind::Pixel);
  EXPECT_EQ(canvas.drawn[4].text, QStringLiteral("7"));
  EXPECT_EQ(std::pair(canvas.drawn[5].color, canvas.drawn[6].color), std::pair(kSketchRed, kSketchBlue));
  EXPECT_EQ(SceneToCanvas(scene, QPointF(50, 25), QSizeF(400, 400)), QPointF(200, 300));  // 4 pixels a twip, y upwards
}

TEST(SketchScene, OneFixedAndOneUnknownVertex) {
  NetworkModel model;
  model.vertices = {testing::AuditVertex(1, kKindFixed, 4849202.0, -360328.0, 4114913.0),
                    testing::AuditVertex(2, kKindUnknown, 4848000.0, -358000.0, 4116500.0)};
  ComputeVertexGeodetics(model);
  ClassicalObservation distance;
  distance.type = ObservationType::Distance;
  distance.from = 1;
  distance.to = 2;
  ClassicalObservation stray = distance;
  stray.to = 9;  // names no vertex: draws nothing
  model.classical = {distance, distance, stray};  // a repeated observation draws the line again
  GpsBaseline baseline;
  baseline.from = 2;
  baseline.to = 1;
  model.baselines = {baseline};
  Result<SketchScene> scene = SketchSceneOf(model, 6000, 4000);
  ASSERT_TRUE(scene.ok()) << scene.error();
  EXPECT_EQ(scene->triangles.size(), 1u);  // the unknown vertex is marked only by its number
  ASSERT_EQ(scene->labels.size(), 2u);
  EXPECT_EQ(scene->labels[0].text + scene->labels[1].text, QStringLiteral("12"));
  ASSERT_EQ(scene->lines.size(), 3u);
  EXPECT_EQ(std::vector<QColor>({scene->lines[0].color, scene->lines[1].color, scene->lines[2].color}),
            std::vector<QColor>({kSketchRed, kSketchRed, kSketchBlue}));
  EXPECT_EQ(std::pair(scene->lines[2].from, scene->lines[2].to), std::pair(scene->lines[0].to, scene->lines[0].from));
  const auto& t = scene->triangles[0];  // centred on vertex 1, its base below the line's end
  EXPECT_NEAR((t.baseLeft.x() + t.baseRight.x()) / 2, scene->lines[0].from.x(), 1e-6);
  EXPECT_LT(t.baseLeft.y(), scene->lines[0].from.y());
  EXPECT_GT(t.apex.y(), scene->lines[0].from.y());
  QualityAnalysis flagged;  // a flagged observation: the colour and width of a doubtful one
  flagged.rows.push_back(RowTest{});
  flagged.rows[0].row = 1;
  flagged.rows[0].flag = true;
  Result<SketchScene> marked = SketchSceneOf(model, 6000, 4000, &flagged);
  ASSERT_TRUE(marked.ok());
  EXPECT_EQ(marked->lines[0].color, kSketchFlagged);
  EXPECT_EQ(marked->lines[0].widthPixels, kSketchFlaggedWidth);
  EXPECT_EQ(marked->lines[1].color, kSketchRed);
  // A vertex number carried twice gets every line (a single vertex that cannot be placed: the main window's test).
  model.vertices.push_back(testing::AuditVertex(2, kKindUnknown, 4848500.0, -358000.0, 4116500.0));
  ComputeVertexGeodetics(model);
  model.classical.resize(1);
  model.baselines.clear();
  EXPECT_EQ(SketchSceneOf(model, 6000, 4000)->lines.size(), 2u);
}

// A grid of `side` × `side` vertices 100 m apart, vertex 1 fixed, a baseline to each right neighbour.
NetworkModel GridNetwork(int side) {
  NetworkModel model;
  for (int i = 0; i < side * side; ++i) {
    NetworkVertex vertex = testing::AuditVertex(i + 1, i == 0 ? kKindFixed : kKindUnknown, 0, 0, 0);
    vertex.sketchX = 1000 + (i % side) * 0.0009;
    vertex.sketchY = static_cast<float>(1040 + (i / side) * 0.0009);
    model.vertices.push_back(vertex);
    if (i % side + 1 < side) {
      GpsBaseline baseline;
      baseline.from = static_cast<std::int16_t>(i + 1);
      baseline.to = static_cast<std::int16_t>(i + 2);
      model.baselines.push_back(baseline);
    }
  }
  return model;
}

// Fit (margin, north up, black and blue), zoom about the pointer, pan, hover, refit; 8,100 vertices in time.
TEST(SketchView, ZoomPanFitAndHover) {
  const NetworkModel model = GridNetwork(5);
  SketchView view;
  view.resize(500, 400);
  view.show();
  ASSERT_FALSE(view.SetSceneSource([&model](double w, double h) { return SketchSceneOf(model, w, h); }));
  view.SetHoverSource([](int index) { return QStringLiteral("vértice %1").arg(index + 1); });
  view.resize(520, 380);  // the scene follows the size
  const QSizeF inner(view.contentsRect().size());
  const QTransform fitted = view.Mapping().toCanvas;
  const QRectF drawn = fitted.mapRect(view.Scene()->extentTwips);
  EXPECT_NEAR(std::max(drawn.width() / (inner.width() - 2 * kSketchMarginPx),
                       drawn.height() / (inner.height() - 2 * kSketchMarginPx)), 1.0, 1e-9);
  EXPECT_LT(fitted.m22(), 0);
  EXPECT_DOUBLE_EQ(fitted.m11(), -fitted.m22());
  const QImage image = view.grab().toImage();
  int black = 0, blue = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      black += image.pixelColor(x, y) == kSketchBlack;
      blue += image.pixelColor(x, y) == kSketchBlue;
    }
  }
  EXPECT_GT(black, 20);  // the triangle, the numbers and the scale bar
  EXPECT_GT(blue, 100);
  const QPointF pointer(300, 150);
  const QPointF underPointer = fitted.inverted().map(pointer);
  QWheelEvent wheel(pointer + view.contentsRect().topLeft(), {}, {}, {0, 240}, Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(&view, &wheel);
  EXPECT_NEAR(view.Viewport().zoom, 1.5625, 1e-12);
  const QPointF after = view.Mapping().toCanvas.map(underPointer);
  EXPECT_NEAR(QLineF(after, pointer).length(), 0, 1e-6);
  QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(100, 100));
  QMouseEvent move(QEvent::MouseMove, QPointF(130, 90), QPointF(), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&view, &move);
  QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(130, 90));
  const QPointF panned = view.Mapping().toCanvas.map(underPointer);
  EXPECT_NEAR(QLineF(panned - after, QPointF(30, -10)).length(), 0, 1e-6);
  const QPointF seventh = view.Mapping().toCanvas.map(view.Scene()->vertices[6].at);
  EXPECT_EQ(view.HoverTextAt(seventh + QPointF(2, -2)), QStringLiteral("vértice 7"));
  EXPECT_TRUE(view.HoverTextAt(seventh + QPointF(40, 40)).isEmpty());
  QTest::mouseDClick(&view, Qt::LeftButton, {}, QPoint(50, 50));
  EXPECT_EQ(view.Mapping().toCanvas, fitted);
  const NetworkModel large = GridNetwork(90);  // drawn well under the limit; work growing with V² would not be
  QImage picture(1200, 900, QImage::Format_RGB32);
  QElapsedTimer timer;
  timer.start();
  Result<SketchScene> scene = SketchSceneOf(large, 1200 * 15.0, 900 * 15.0);
  ASSERT_TRUE(scene.ok());
  QPainter painter(&picture);
  PainterCanvas canvas(painter);
  PaintSketchScene(canvas, *scene, QSizeF(picture.size()));
  painter.end();
  EXPECT_LT(timer.elapsed(), 2000);
  EXPECT_EQ(scene->lines.size(), 90u * 89u);
}

}  // namespace
}  // namespace korvo
