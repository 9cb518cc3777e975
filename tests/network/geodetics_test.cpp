// Geodetic latitude and longitude of vertices from WGS84 cartesian coordinates.
#include <gtest/gtest.h>

#include <cmath>

#include "network/geodetics.h"

namespace korvo {
namespace {

// Cartesian coordinates from GeographicLib's CartConvert (to the millimetre), expected values
// from `CartConvert -r -p 12` on them.
struct GeodeticCase {
  const char* place;
  double x, y, z;          // metres
  double latDeg, lonDeg;   // CartConvert -r
};

const GeodeticCase kCases[] = {
    {"Madrid", 4854394.854, -313919.633, 4112331.080, 40.400000001970071, -3.699999994735935},
    {"Sidney (X < 0)", -4643982.395, 2553050.926, -3537273.235, -33.899999997831628, 151.200000003340364},
    {"Quito, 2850 m", 1272156.499, -6252848.961, -22124.760, -0.200000004419583, -78.500000000567880},
    {"cerca del polo", 10999.704, 1939.545, 6356742.567, 89.899999999423628, 10.000002045936986},
    {"ecuador y Greenwich", 6378137.000, 0.000, 0.000, 0.0, 0.0},
    {"X = 0, longitud -90", 0.000, -4517661.590, -4487419.120, -44.999999999891912, -90.0},
};

// Latitude, longitude in single precision (within one float step), and the sketch plane
// (longitude scaled by cos(latitude), both shifted by 1000).
TEST(Geodetics, LatitudeLongitudeAndSketchAgreeWithCartConvert) {
  NetworkModel model;
  for (const GeodeticCase& c : kCases) {
    model.vertices.emplace_back();
    model.vertices.back().xM = c.x;
    model.vertices.back().yM = c.y;
    model.vertices.back().zM = c.z;
  }
  ComputeVertexGeodetics(model);
  for (std::size_t i = 0; i < std::size(kCases); ++i) {
    const GeodeticCase& c = kCases[i];
    EXPECT_NEAR(GeodeticLatitudeDeg(c.x, c.y, c.z), c.latDeg, 1e-9) << c.place;
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

// The polar axis gives ±90° as a limit; the earth's centre has no latitude but stops nothing.
TEST(Geodetics, PointsOnTheAxisAndAtTheCentreDoNotFault) {
  EXPECT_NEAR(GeodeticLatitudeDeg(0.0, 0.0, 6356752.3142), 90.0, 1e-9);
  EXPECT_NEAR(GeodeticLatitudeDeg(0.0, 0.0, -6356752.3142), -90.0, 1e-9);
  NetworkModel model;
  model.vertices.resize(1);
  ComputeVertexGeodetics(model);
  EXPECT_EQ(model.vertices[0].longitudeDeg, 0.0f);
}

}  // namespace
}  // namespace korvo
