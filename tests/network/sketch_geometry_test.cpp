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
    model.vertices.emplace_back();
    model.vertices.back().sketchX = x;
    model.vertices.back().sketchY = y;
  }
  return model;
}

TEST(SketchGeometry, ScaleOffsetAndMappedPoints) {
  struct Case {
    const char* why;
    NetworkModel model;
    double w, h, s, q;
    std::vector<SketchPoint> mapped;  // of the model's vertices, in order
  } cases[] = {
      // 0.03125/6000 > 0.0078125/3000: the width limits, s = 0.03125/3000, Q = 6000/4; the far
      // corner (first, so the least x and y are searched for) lies half the width across
      // (1500 + 3000) and 1500 + 750 up.
      {"width limits", ModelAt({{1000.03125, 1040.0078125f}, {1000.0, 1040.00390625f}, {1000.0, 1040.0f}}), 6000,
       3000, 0.03125 / 3000.0, 1500.0, {{4500, 2250}, {1500, 1875}, {1500, 1500}}},
      // The limiting extent fills half of the height: s = 0.03125/1500, Q = 750.
      {"height limits", ModelAt({{1000.0, 1040.03125f}, {1000.0078125, 1040.0f}}), 6000, 3000, 0.03125 / 1500.0, 750.0,
       {{750, 2250}, {1125, 750}}},
      {"same latitude", ModelAt({{1000.0, 1040.5f}, {1000.0625, 1040.5f}}), 4800, 4800, 0.0625 / 2400.0, 1200.0,
       {{1200, 1200}, {3600, 1200}}},
  };
  for (const Case& c : cases) {
    const Result<SketchPlacement> placed = PlaceNetworkSketch(c.model, c.w, c.h);
    ASSERT_TRUE(placed.ok()) << c.why << ": " << placed.error();
    EXPECT_DOUBLE_EQ(placed->s, c.s) << c.why;
    EXPECT_DOUBLE_EQ(placed->q, c.q) << c.why;
    EXPECT_DOUBLE_EQ(placed->d, c.w / 60.0) << c.why;
    for (std::size_t i = 0; i < c.mapped.size(); ++i) {
      EXPECT_NEAR(placed->Map(c.model.vertices[i]).x, c.mapped[i].x, 1e-9) << c.why << " " << i;
      EXPECT_NEAR(placed->Map(c.model.vertices[i]).y, c.mapped[i].y, 1e-9) << c.why << " " << i;
    }
  }
}

TEST(SketchGeometry, NoScaleIsTheSketchError) {
  struct Case {
    const char* what;
    NetworkModel model;
    double w, h;
  } cases[] = {
      {"un solo vértice", ModelAt({{1000.0, 1040.0f}}), 6000, 3000},
      {"todos en el mismo punto", ModelAt({{1000.0, 1040.0f}, {1000.0, 1040.0f}}), 6000, 3000},
      {"sin vértices", NetworkModel{}, 6000, 3000},
      {"superficie sin tamaño", ModelAt({{1000.0, 1040.0f}, {1001.0, 1041.0f}}), 0, 3000},
      {"coordenada no finita", ModelAt({{1000.0, 1040.0f}, {NAN, 1041.0f}}), 6000, 3000},
  };
  for (const Case& c : cases) {
    const Result<SketchPlacement> placed = PlaceNetworkSketch(c.model, c.w, c.h);
    ASSERT_FALSE(placed.ok()) << c.what;
    EXPECT_EQ(placed.error(), Cp1252("¡Se ha producido un error en el dibujo del croquis de la red!")) << c.what;
  }
}

TEST(SketchGeometry, FixedSymbolIsAnEquilateralTriangleAroundThePoint) {
  const SketchPoint at{500.0, 700.0};
  const auto c = FixedVertexTriangle(at, 60.0);
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(std::hypot(c[i].x - c[(i + 1) % 3].x, c[i].y - c[(i + 1) % 3].y), 120.0, 1e-9) << i;
  }
  EXPECT_NEAR((c[0].x + c[1].x + c[2].x) / 3, at.x, 1e-9);
  EXPECT_NEAR((c[0].y + c[1].y + c[2].y) / 3, at.y, 1e-9);
  EXPECT_LT(c[0].x, c[1].x);  // base left to right, apex on top
  EXPECT_GT(c[2].y, c[0].y);
  EXPECT_DOUBLE_EQ(VertexLabelPosition(at, 60.0).x, 500.0 + 13.8);
  EXPECT_DOUBLE_EQ(VertexLabelPosition(at, 60.0).y, 640.0);
}

}  // namespace
}  // namespace korvo
