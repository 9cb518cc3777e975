// The UTM series against GeographicLib's exact TransverseMercatorProj (geographiclib-tools) over Spain.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "common/constants.h"
#include "coordtransform/geodesy.h"
#include "support/files.h"

namespace korvo {
namespace {

constexpr double kDegToRad = kPi / 180.0;

// Latitude and longitude (degrees) every 0.1°, within 3.5° of the zone's meridian (zone 31 to 4.4° E).
std::vector<std::pair<double, double>> SpainGrid(int zone) {
  const double westDeg = (zone == 30 ? -3.0 : 3.0) - 3.5;
  const int longitudeSteps = zone == 30 ? 70 : 50;
  std::vector<std::pair<double, double>> grid;
  for (int i = 0; i <= 78; ++i) {
    for (int j = 0; j <= longitudeSteps; ++j) grid.emplace_back(36.0 + 0.1 * i, westDeg + 0.1 * j);
  }
  return grid;
}

// The tool's x y for every input point (empty when it fails).
std::vector<std::pair<double, double>> RunExactProjection(int zone, const std::vector<std::pair<double, double>>& input) {
  const auto inPath = korvo::testing::TestTempRoot() / ("tm_" + std::to_string(zone) + ".in");
  const auto outPath = korvo::testing::TestTempRoot() / ("tm_" + std::to_string(zone) + ".out");
  {
    std::ofstream in(inPath);
    in << std::fixed;
    in.precision(12);  // the tool reads plain decimals, not exponent forms
    for (const auto& [a, b] : input) in << a << ' ' << b << '\n';
  }
  const std::string command = std::string("TransverseMercatorProj -l ") + (zone == 30 ? "-3" : "3") +
                              " -k 0.9996 -e 6378388 1/297 -p 10 --input-file " + inPath.string() +
                              " --output-file " + outPath.string();
  std::vector<std::pair<double, double>> output;
  if (std::system(command.c_str()) != 0) return output;
  std::ifstream out(outPath);
  for (double a = 0.0, b = 0.0; out >> a >> b; out.ignore(1000, '\n')) output.emplace_back(a, b);
  return output;
}

// Forward then inverse returns the grid to 1e-9°; the series agree with the exact projection to 1 mm.
TEST(UtmSeries, RoundTripsAndAgreesWithExactTransverseMercatorOverSpain) {
  for (int zone : {30, 31}) {
    for (const auto& [latDeg, lonDeg] : SpainGrid(zone)) {
      const LatLonRad back = UnprojectUtm(ProjectUtm({latDeg * kDegToRad, lonDeg * kDegToRad}, zone), zone);
      EXPECT_NEAR(back.latitudeRad / kDegToRad, latDeg, 1e-9) << lonDeg;
      EXPECT_NEAR(back.longitudeRad / kDegToRad, lonDeg, 1e-9) << latDeg;
    }
  }
  if (std::system("command -v TransverseMercatorProj > /dev/null 2>&1") != 0) {
    GTEST_SKIP() << "TransverseMercatorProj (geographiclib-tools) no está instalado: "
                    "no se puede comparar con la proyección exacta; ejecute scripts/install-deps.sh";
  }
  for (int zone : {30, 31}) {
    const auto grid = SpainGrid(zone);
    const auto exactXy = RunExactProjection(zone, grid);
    ASSERT_EQ(exactXy.size(), grid.size()) << "TransverseMercatorProj falló";
    for (std::size_t i = 0; i < grid.size(); ++i) {
      SCOPED_TRACE(::testing::Message() << grid[i].first << " " << grid[i].second << " zone " << zone);
      const LatLonRad geographic{grid[i].first * kDegToRad, grid[i].second * kDegToRad};
      const PlanePoint series = ProjectUtm(geographic, zone);
      const PlanePoint exact{exactXy[i].first + kUtmFalseEastingM, exactXy[i].second};
      EXPECT_LT(1000.0 * std::hypot(series.eastingM - exact.eastingM, series.northingM - exact.northingM), 1e-3);
    }
  }
}

}  // namespace
}  // namespace korvo
