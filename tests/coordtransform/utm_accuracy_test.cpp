// The Gauss–Krüger series against an exact transverse Mercator computation over mainland Spain
// and the Balearic Islands (latitudes 36°..43.8°, within 3.5° of the central meridian of zones
// 30 and 31). The exact reference is GeographicLib's TransverseMercatorProj (Debian package
// geographiclib-tools, installed by scripts/install-deps.sh); it is run as an external
// program, and the comparison is skipped when it is not installed.
#include "support/files.h"
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/constants.h"
#include "coordtransform/geodesy.h"

namespace korvo {
namespace {

constexpr double kDegToRad = kPi / 180.0;

struct GridPoint {
  double latitudeDeg;
  double longitudeDeg;
};

std::vector<GridPoint> SpainGrid(int zone) {
  const double centralDeg = zone == 30 ? -3.0 : 3.0;
  // Zone 31 covers Spain east of 0.5° W only up to the Balearic Islands (4.4° E).
  const double westDeg = centralDeg - 3.5;
  const double eastDeg = zone == 30 ? centralDeg + 3.5 : 4.5;
  std::vector<GridPoint> grid;
  const int longitudeSteps = static_cast<int>(std::lround((eastDeg - westDeg) / 0.1));
  for (int i = 0; i <= 78; ++i) {
    for (int j = 0; j <= longitudeSteps; ++j) grid.push_back({36.0 + 0.1 * i, westDeg + 0.1 * j});
  }
  return grid;
}

bool HaveTool(const char* name) {
  const std::string command = std::string("command -v ") + name + " > /dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

// Runs TransverseMercatorProj on the International ellipsoid with k0 = 0.9996 and the
// zone's central meridian. Returns the x y of every output line.
std::vector<std::pair<double, double>> RunExactProjection(int zone, const std::vector<std::pair<double, double>>& input) {
  const std::filesystem::path inPath = korvo::testing::TestTempRoot() / ("tm_" + std::to_string(zone) + ".in");
  const std::filesystem::path outPath = korvo::testing::TestTempRoot() / ("tm_" + std::to_string(zone) + ".out");
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
  if (std::system(command.c_str()) == 0) {
    std::ifstream out(outPath);
    double a = 0.0, b = 0.0;
    while (out >> a >> b) {
      output.emplace_back(a, b);
      out.ignore(1000, '\n');
    }
  }
  return output;
}

// Ground distance (m) between two nearby latitude/longitude pairs (radians).
double GroundDistanceM(const LatLonRad& a, const LatLonRad& b) {
  const double e2 = kEd50Ellipsoid.FirstEccentricitySquared();
  const double s = std::sin(a.latitudeRad);
  const double w = std::sqrt(1.0 - e2 * s * s);
  const double primeVerticalM = kEd50Ellipsoid.a / w;
  const double meridianM = kEd50Ellipsoid.a * (1.0 - e2) / (w * w * w);
  return std::hypot((a.latitudeRad - b.latitudeRad) * meridianM,
                    (a.longitudeRad - b.longitudeRad) * primeVerticalM * std::cos(a.latitudeRad));
}

TEST(UtmSeries, AgreesWithExactTransverseMercatorOverSpain) {
  if (!HaveTool("TransverseMercatorProj")) {
    GTEST_SKIP() << "TransverseMercatorProj (geographiclib-tools) no está instalado: "
                    "no se puede comparar con la proyección exacta; ejecute scripts/install-deps.sh";
  }
  for (int zone : {30, 31}) {
    const std::vector<GridPoint> grid = SpainGrid(zone);
    std::vector<std::pair<double, double>> latLon;
    for (const GridPoint& p : grid) latLon.emplace_back(p.latitudeDeg, p.longitudeDeg);
    const auto exactXy = RunExactProjection(zone, latLon);
    ASSERT_EQ(exactXy.size(), grid.size()) << "TransverseMercatorProj falló";

    for (std::size_t i = 0; i < grid.size(); ++i) {
      const LatLonRad geographic{grid[i].latitudeDeg * kDegToRad, grid[i].longitudeDeg * kDegToRad};
      // Forward: the series against the exact easting and northing (false easting added).
      const PlanePoint series = ProjectUtm(geographic, zone);
      const double exactEasting = exactXy[i].first + kUtmFalseEastingM;
      const double exactNorthing = exactXy[i].second;
      const double forwardMm = 1000.0 * std::hypot(series.eastingM - exactEasting, series.northingM - exactNorthing);
      // The requirement is 1 mm; the series reach a few nanometres, so anything above a
      // micrometre means a wrong coefficient of the fifth or seventh order.
      EXPECT_LT(forwardMm, 1e-3) << grid[i].latitudeDeg << " " << grid[i].longitudeDeg << " zone " << zone;

      // Inverse: the exact plane coordinates must come back to the grid point.
      const LatLonRad back = UnprojectUtm({exactEasting, exactNorthing}, zone);
      const double inverseMm = 1000.0 * GroundDistanceM(back, geographic);
      EXPECT_LT(inverseMm, 1.0) << grid[i].latitudeDeg << " " << grid[i].longitudeDeg << " zone " << zone;
    }
  }
}

// Forward followed by inverse returns the input to better than 1e-9 degrees.
TEST(UtmSeries, ForwardThenInverseReturnsTheInput) {
  for (int zone : {30, 31}) {
    for (const GridPoint& p : SpainGrid(zone)) {
      const LatLonRad geographic{p.latitudeDeg * kDegToRad, p.longitudeDeg * kDegToRad};
      const LatLonRad back = UnprojectUtm(ProjectUtm(geographic, zone), zone);
      const double latitudeDeg = std::fabs(back.latitudeRad - geographic.latitudeRad) / kDegToRad;
      const double longitudeDeg = std::fabs(back.longitudeRad - geographic.longitudeRad) / kDegToRad;
      EXPECT_LT(latitudeDeg, 1e-9) << p.latitudeDeg << " " << p.longitudeDeg;
      EXPECT_LT(longitudeDeg, 1e-9) << p.latitudeDeg << " " << p.longitudeDeg;
    }
  }
}

// The meridian arc against its defining integral a(1 − e²)∫(1 − e² sin²u)^(−3/2) du, summed by
// Simpson's rule with a step small enough for 0.1 mm.
TEST(UtmSeries, MeridianArcMatchesItsIntegral) {
  const double e2 = kEd50Ellipsoid.FirstEccentricitySquared();
  for (double latitudeDeg : {0.0, 10.0, 36.0, 40.5, 43.8, 60.0, -37.0}) {
    const double phi = latitudeDeg * kDegToRad;
    const int steps = 20000;
    const double h = phi / steps;
    double sum = 0.0;
    for (int i = 0; i <= steps; ++i) {
      const double s = std::sin(i * h);
      const double f = std::pow(1.0 - e2 * s * s, -1.5);
      sum += f * (i == 0 || i == steps ? 1.0 : (i % 2 == 1 ? 4.0 : 2.0));
    }
    const double integralM = kEd50Ellipsoid.a * (1.0 - e2) * sum * h / 3.0;
    EXPECT_NEAR(MeridianArcM(phi, kEd50Ellipsoid), integralM, 1e-4) << latitudeDeg;
  }
}

}  // namespace
}  // namespace korvo
