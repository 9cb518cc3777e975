// Placement of the planimetric sketch, with hand-worked numbers. Sketch coordinates are
// chosen exact in binary (multiples of 2^-7 and 2^-5) so every expected value is exact.
#include <gtest/gtest.h>

#include <cmath>

#include "common/win1252.h"
#include "network/sketch_geometry.h"

namespace korvo {
namespace {

NetworkModel ModelAt(std::initializer_list<std::pair<double, float>> points) {
  NetworkModel model;
  for (const auto& [x, y] : points) {
    NetworkVertex v;
    v.sketchX = x;
    v.sketchY = y;
    model.vertices.push_back(v);
  }
  return model;
}

TEST(SketchGeometry, WidthLimitedNetwork) {
  // Extent 0.03125 wide and 0.0078125 high on 6000 x 3000 twips: 0.03125/6000 is larger
  // than 0.0078125/3000, so the width limits: s = 0.03125/3000, Q = 6000/4 = 1500, d = 100.
  const NetworkModel model = ModelAt({{1000.01, 1040.0f}, {1000.03125, 1040.0078125f}, {1000.0, 1040.00390625f}});
  const Result<SketchPlacement> placed = PlaceNetworkSketch(model, 6000.0, 3000.0);
  ASSERT_TRUE(placed.ok()) << placed.error();
  EXPECT_DOUBLE_EQ(placed->s, 0.03125 / 3000.0);
  EXPECT_DOUBLE_EQ(placed->q, 1500.0);
  EXPECT_DOUBLE_EQ(placed->d, 100.0);
  EXPECT_DOUBLE_EQ(placed->xmin, 1000.0);
  EXPECT_DOUBLE_EQ(placed->ymin, 1040.0);
  const SketchPoint lowerLeft = placed->Map(1000.0, 1040.0);
  EXPECT_DOUBLE_EQ(lowerLeft.x, 1500.0);
  EXPECT_DOUBLE_EQ(lowerLeft.y, 1500.0);
  // The far corner: 1500 + 3000 across (half the width), 1500 + 750 up.
  const SketchPoint top = placed->Map(model.vertices[1]);
  EXPECT_NEAR(top.x, 4500.0, 1e-9);
  EXPECT_NEAR(top.y, 2250.0, 1e-9);
  const SketchPoint middle = placed->Map(model.vertices[2]);
  EXPECT_NEAR(middle.x, 1500.0, 1e-9);
  EXPECT_NEAR(middle.y, 1875.0, 1e-9);
}

TEST(SketchGeometry, HeightLimitedNetwork) {
  // Extent 0.0078125 wide and 0.03125 high on 6000 x 3000: s = 0.03125/1500, Q = 750.
  const NetworkModel model = ModelAt({{1000.0, 1040.03125f}, {1000.0078125, 1040.0f}});
  const Result<SketchPlacement> placed = PlaceNetworkSketch(model, 6000.0, 3000.0);
  ASSERT_TRUE(placed.ok()) << placed.error();
  EXPECT_DOUBLE_EQ(placed->s, 0.03125 / 1500.0);
  EXPECT_DOUBLE_EQ(placed->q, 750.0);
  const SketchPoint a = placed->Map(model.vertices[0]);
  const SketchPoint b = placed->Map(model.vertices[1]);
  EXPECT_NEAR(a.x, 750.0, 1e-9);
  EXPECT_NEAR(a.y, 2250.0, 1e-9);  // the limiting extent fills half of the height
  EXPECT_NEAR(b.x, 1125.0, 1e-9);
  EXPECT_NEAR(b.y, 750.0, 1e-9);
}

TEST(SketchGeometry, SameLatitudeIsScaledByTheWidth) {
  const NetworkModel model = ModelAt({{1000.0, 1040.5f}, {1000.0625, 1040.5f}});
  const Result<SketchPlacement> placed = PlaceNetworkSketch(model, 4800.0, 4800.0);
  ASSERT_TRUE(placed.ok());
  EXPECT_DOUBLE_EQ(placed->s, 0.0625 / 2400.0);
  EXPECT_DOUBLE_EQ(placed->q, 1200.0);
  EXPECT_NEAR(placed->Map(model.vertices[1]).x, 3600.0, 1e-9);
  EXPECT_NEAR(placed->Map(model.vertices[1]).y, 1200.0, 1e-9);
}

TEST(SketchGeometry, NoScaleIsTheSketchError) {
  const std::string message = Cp1252("¡Se ha producido un error en el dibujo del croquis de la red!");
  struct Case {
    const char* what;
    NetworkModel model;
    double w, h;
  };
  const Case cases[] = {
      {"un solo vértice", ModelAt({{1000.0, 1040.0f}}), 6000, 3000},
      {"todos en el mismo punto", ModelAt({{1000.0, 1040.0f}, {1000.0, 1040.0f}}), 6000, 3000},
      {"sin vértices", NetworkModel{}, 6000, 3000},
      {"superficie sin tamaño", ModelAt({{1000.0, 1040.0f}, {1001.0, 1041.0f}}), 0, 3000},
      {"coordenada no finita", ModelAt({{1000.0, 1040.0f}, {NAN, 1041.0f}}), 6000, 3000},
  };
  for (const Case& c : cases) {
    const Result<SketchPlacement> placed = PlaceNetworkSketch(c.model, c.w, c.h);
    ASSERT_FALSE(placed.ok()) << c.what;
    EXPECT_EQ(placed.error(), message) << c.what;
  }
}

TEST(SketchGeometry, FixedSymbolIsAnEquilateralTriangleAroundThePoint) {
  const SketchPoint at{500.0, 700.0};
  const double d = 60.0;
  const auto corners = FixedVertexTriangle(at, d);
  auto distance = [](const SketchPoint& a, const SketchPoint& b) { return std::hypot(a.x - b.x, a.y - b.y); };
  EXPECT_NEAR(distance(corners[0], corners[1]), 2 * d, 1e-9);
  EXPECT_NEAR(distance(corners[1], corners[2]), 2 * d, 1e-9);
  EXPECT_NEAR(distance(corners[2], corners[0]), 2 * d, 1e-9);
  EXPECT_NEAR((corners[0].x + corners[1].x + corners[2].x) / 3, at.x, 1e-9);
  EXPECT_NEAR((corners[0].y + corners[1].y + corners[2].y) / 3, at.y, 1e-9);
  EXPECT_LT(corners[0].x, corners[1].x);  // base left to right, apex on top
  EXPECT_GT(corners[2].y, corners[0].y);
  const SketchPoint label = VertexLabelPosition(at, d);
  EXPECT_DOUBLE_EQ(label.x, 500.0 + 13.8);
  EXPECT_DOUBLE_EQ(label.y, 640.0);
}

}  // namespace
}  // namespace korvo
