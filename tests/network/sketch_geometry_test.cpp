// Geodetic latitude and longitude of vertices, and the placement of the sketch with hand-worked numbers.
#include <gtest/gtest.h>

#include <cmath>

#include "common/win1252.h"
#include "network/geodetics.h"
#include "network/sketch_geometry.h"

namespace korvo {
namespace {

// Cartesian coordinates from GeographicLib's CartConvert (to the mm), expected values from `CartConvert -r -p 12`.
struct GeodeticCase {
  const char* place;
  double x, y, z;          // metres
  double latDeg, lonDeg;   // CartConvert -r
};

const GeodeticCase kCases[] = {
    {"Madrid", 4854394.854, -313919.633, 4112331.080, 40.400000001970071, -3.699999994735935},
    {"Quito, 2850 m", 1272156.499, -6252848.961, -22124.760, -0.200000004419583, -78.500000000567880},
    {"cerca del polo", 10999.704, 1939.545, 6356742.567, 89.899999999423628, 10.000002045936986},
    {"X = 0, longitud -90", 0.000, -4517661.590, -4487419.120, -44.999999999891912, -90.0},
    {"polo norte", 0.0, 0.0, 6356752.3142, 90.0, 0.0},
    {"polo sur", 0.0, 0.0, -6356752.3142, -90.0, 0.0},
    {"centro de la Tierra, sin latitud", 0.0, 0.0, 0.0, 0.0, 0.0},
};

// Latitude, longitude (stored within one float step) and the sketch plane (lon * cos(lat), both + 1000).
TEST(Geodetics, LatitudeLongitudeAndSketchAgreeWithCartConvert) {
  NetworkModel model;
  for (const GeodeticCase& c : kCases) {
    NetworkVertex& v = model.vertices.emplace_back();
    v.xM = c.x, v.yM = c.y, v.zM = c.z;
  }
  ComputeVertexGeodetics(model);
  for (std::size_t i = 0; i < std::size(kCases); ++i) {
    const GeodeticCase& c = kCases[i];
    EXPECT_NEAR(GeodeticLongitudeDeg(c.x, c.y), c.lonDeg, 1e-9) << c.place;
    const NetworkVertex& v = model.vertices[i];
    EXPECT_NEAR(v.latitudeDeg, c.latDeg, 1e-9) << c.place;
    const float nearest = static_cast<float>(c.lonDeg);
    const double floatStep = std::abs(static_cast<double>(std::nextafter(nearest, 1000.0f)) - nearest);
    EXPECT_LE(std::abs(static_cast<double>(v.longitudeDeg) - c.lonDeg), floatStep) << c.place;
    EXPECT_NEAR(v.sketchX, c.lonDeg * std::cos(c.latDeg * 3.14159265358979 / 180.0) + 1000.0, 2e-5) << c.place;
    EXPECT_EQ(v.sketchY, static_cast<float>(v.latitudeDeg + 1000.0)) << c.place;
  }
}

// Sketch coordinates exact in binary (multiples of 2^-7 and 2^-5): every expected value is exact.
NetworkModel ModelAt(std::initializer_list<std::pair<double, float>> points) {
  NetworkModel model;
  for (const auto& [x, y] : points) {
    NetworkVertex& v = model.vertices.emplace_back();
    v.sketchX = x, v.sketchY = y;
  }
  return model;
}

// The scale and offset with the points they map to, or the sketch error when no scale exists.
TEST(SketchGeometry, ScaleOffsetAndMappedPointsOrTheSketchError) {
  struct Case {
    const char* why;
    NetworkModel model;
    double w, h, s, q;                // s = 0: no scale, the sketch error
    std::vector<SketchPoint> mapped;  // of the model's vertices, in order
  } cases[] = {
      // The width limits (0.03125/6000 > 0.0078125/3000): s = 0.03125/3000, Q = 6000/4; the far corner first.
      {"width limits", ModelAt({{1000.03125, 1040.0078125f}, {1000.0, 1040.00390625f}, {1000.0, 1040.0f}}), 6000,
       3000, 0.03125 / 3000.0, 1500.0, {{4500, 2250}, {1500, 1875}, {1500, 1500}}},
      // The limiting extent fills half of the height: s = 0.03125/1500, Q = 750.
      {"height limits", ModelAt({{1000.0, 1040.03125f}, {1000.0078125, 1040.0f}}), 6000, 3000, 0.03125 / 1500.0, 750.0,
       {{750, 2250}, {1125, 750}}},
      {"un solo vértice", ModelAt({{1000.0, 1040.0f}}), 6000, 3000, 0, 0, {}},
      {"sin vértices", NetworkModel{}, 6000, 3000, 0, 0, {}},
      {"superficie sin tamaño", ModelAt({{1000.0, 1040.0f}, {1001.0, 1041.0f}}), 0, 3000, 0, 0, {}},
      {"coordenada no finita", ModelAt({{1000.0, 1040.0f}, {NAN, 1041.0f}}), 6000, 3000, 0, 0, {}},
  };
  const std::string sketchError = Cp1252("¡Se ha producido un error en el dibujo del croquis de la red!");
  for (const Case& c : cases) {
    const Result<SketchPlacement> placed = PlaceNetworkSketch(c.model, c.w, c.h);
    ASSERT_EQ(placed.ok() ? "" : placed.error(), c.s == 0 ? sketchError : "") << c.why;
    if (!placed.ok()) continue;
    EXPECT_DOUBLE_EQ(placed->s, c.s) << c.why;
    EXPECT_DOUBLE_EQ(placed->q, c.q) << c.why;
    EXPECT_DOUBLE_EQ(placed->d, c.w / 60.0) << c.why;
    for (std::size_t i = 0; i < c.mapped.size(); ++i) {
      EXPECT_NEAR(placed->Map(c.model.vertices[i]).x, c.mapped[i].x, 1e-9) << c.why << " " << i;
      EXPECT_NEAR(placed->Map(c.model.vertices[i]).y, c.mapped[i].y, 1e-9) << c.why << " " << i;
    }
  }
}

TEST(SketchGeometry, FixedSymbolIsAnEquilateralTriangleAroundThePoint) {
  const SketchPoint at{500.0, 700.0};
  const auto c = FixedVertexTriangle(at, 60.0);
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(std::hypot(c[i].x - c[(i + 1) % 3].x, c[i].y - c[(i + 1) % 3].y), 120.0, 1e-9) << i;
  }
  EXPECT_NEAR(std::hypot((c[0].x + c[1].x + c[2].x) / 3 - at.x, (c[0].y + c[1].y + c[2].y) / 3 - at.y), 0, 1e-9);
  EXPECT_TRUE(c[0].x < c[1].x && c[2].y > c[0].y);  // base left to right, apex on top
  EXPECT_DOUBLE_EQ(VertexLabelPosition(at, 60.0).x, 500.0 + 13.8);
  EXPECT_DOUBLE_EQ(VertexLabelPosition(at, 60.0).y, 640.0);
}

}  // namespace
}  // namespace korvo
