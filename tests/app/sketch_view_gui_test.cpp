// The sketch's scene and its painting, apart from the main window.
#include <gtest/gtest.h>

#include "gui_support/recording_canvas.h"
#include "app/sketch_view.h"
#include "network/geodetics.h"
#include "network/sketch_geometry.h"

namespace korvo {
namespace {

using Kind = testing::DrawnPrimitive::Kind;

TEST(SketchScene, TwipsMapToPixelsWithYUpwards) {
  SketchScene scene;
  scene.widthTwips = 6000;
  scene.heightTwips = 3000;
  const QSizeF pixels(400, 200);
  struct Case {
    QPointF twips, pixels;
  };
  const Case cases[] = {{{0, 0}, {0, 200}},       // bottom-left corner
                        {{6000, 3000}, {400, 0}},  // top-right corner
                        {{1500, 750}, {100, 150}},
                        {{3000, 3000}, {200, 0}}};
  for (const Case& c : cases) {
    const QPointF mapped = SceneToCanvas(scene, c.twips, pixels);
    EXPECT_DOUBLE_EQ(mapped.x(), c.pixels.x());
    EXPECT_DOUBLE_EQ(mapped.y(), c.pixels.y());
  }
}

TEST(SketchScene, TrianglesThenLabelsThenLinesInTheirOrder) {
  SketchScene scene;
  scene.widthTwips = 100;
  scene.heightTwips = 100;
  scene.triangles.push_back({{10, 10}, {30, 10}, {20, 27.32}});
  scene.labels.push_back({{25, 5}, QStringLiteral("7")});
  scene.lines.push_back({{10, 10}, {90, 90}, kSketchRed});
  scene.lines.push_back({{10, 10}, {90, 90}, kSketchBlue});
  testing::RecordingCanvas canvas;
  PaintSketchScene(canvas, scene, QSizeF(100, 100));
  ASSERT_EQ(canvas.drawn.size(), 7u);
  // Base, left side, right side, apex pixel.
  EXPECT_EQ(canvas.drawn[0].a, QPointF(10, 90));
  EXPECT_EQ(canvas.drawn[0].b, QPointF(30, 90));
  EXPECT_EQ(canvas.drawn[1].b, QPointF(20, 100 - 27.32));
  EXPECT_EQ(canvas.drawn[2].a, QPointF(30, 90));
  EXPECT_EQ(canvas.drawn[3].kind, Kind::Pixel);
  EXPECT_EQ(canvas.drawn[4].kind, Kind::Text);
  EXPECT_EQ(canvas.drawn[4].text, QStringLiteral("7"));
  EXPECT_EQ(canvas.drawn[5].color, kSketchRed);
  EXPECT_EQ(canvas.drawn[6].color, kSketchBlue);
}

NetworkModel TwoVertexNetwork() {
  NetworkModel model;
  NetworkVertex fixed;
  fixed.number = 1;
  fixed.kind = kKindFixed;
  fixed.xM = 4849202.0;
  fixed.yM = -360328.0;
  fixed.zM = 4114913.0;
  NetworkVertex unknown = fixed;
  unknown.number = 2;
  unknown.kind = kKindUnknown;
  unknown.xM = 4848000.0;
  unknown.yM = -358000.0;
  unknown.zM = 4116500.0;
  model.vertices = {fixed, unknown};
  ComputeVertexGeodetics(model);
  return model;
}

TEST(SketchScene, OneFixedAndOneUnknownVertex) {
  NetworkModel model = TwoVertexNetwork();
  ClassicalObservation distance;
  distance.type = ObservationType::Distance;
  distance.from = 1;
  distance.to = 2;
  model.classical = {distance, distance};  // a repeated observation draws the line again
  ClassicalObservation stray = distance;
  stray.to = 9;  // names no vertex: draws nothing
  model.classical.push_back(stray);
  GpsBaseline baseline;
  baseline.from = 2;
  baseline.to = 1;
  model.baselines = {baseline};
  Result<SketchScene> scene = SketchSceneOf(model, 6000, 4000);
  ASSERT_TRUE(scene.ok()) << scene.error();
  EXPECT_EQ(scene->triangles.size(), 1u);  // the unknown vertex is marked only by its number
  ASSERT_EQ(scene->labels.size(), 2u);
  EXPECT_EQ(scene->labels[0].text, QStringLiteral("1"));
  EXPECT_EQ(scene->labels[1].text, QStringLiteral("2"));
  ASSERT_EQ(scene->lines.size(), 3u);
  EXPECT_EQ(scene->lines[0].color, kSketchRed);
  EXPECT_EQ(scene->lines[1].color, kSketchRed);
  EXPECT_EQ(scene->lines[2].color, kSketchBlue);
  // The baseline runs from 2 to 1: the reverse of the distance.
  EXPECT_EQ(scene->lines[2].from, scene->lines[0].to);
  EXPECT_EQ(scene->lines[2].to, scene->lines[0].from);
  // The triangle is centred on vertex 1: its base midpoint lies below the line's end.
  const auto& t = scene->triangles[0];
  EXPECT_NEAR((t.baseLeft.x() + t.baseRight.x()) / 2, scene->lines[0].from.x(), 1e-6);
  EXPECT_LT(t.baseLeft.y(), scene->lines[0].from.y());
  EXPECT_GT(t.apex.y(), scene->lines[0].from.y());
}

TEST(SketchScene, AVertexNumberCarriedTwiceGetsEveryLine) {
  NetworkModel model = TwoVertexNetwork();
  NetworkVertex twin = model.vertices[1];
  twin.xM += 500.0;
  model.vertices.push_back(twin);  // a second vertex numbered 2
  ComputeVertexGeodetics(model);
  ClassicalObservation direction;
  direction.from = 1;
  direction.to = 2;
  model.classical = {direction};
  Result<SketchScene> scene = SketchSceneOf(model, 6000, 4000);
  ASSERT_TRUE(scene.ok());
  EXPECT_EQ(scene->lines.size(), 2u);
}

TEST(SketchScene, ASingleVertexCannotBePlaced) {
  NetworkModel model = TwoVertexNetwork();
  model.vertices.resize(1);
  Result<SketchScene> scene = SketchSceneOf(model, 6000, 4000);
  ASSERT_FALSE(scene.ok());
  EXPECT_EQ(scene.error(), kSketchErrorMessage);
}

}  // namespace
}  // namespace korvo
