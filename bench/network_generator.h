#pragma once
// Synthetic networks for benchmarks and tests: a square grid of vertices on the WGS84
// ellipsoid near Madrid, observed with directions, zenith angles and slope distances along
// the grid lines (both ways) and with GPS baselines along the cell diagonals. Observations
// are computed from the true coordinates, with small deterministic noise; the unknown
// vertices start from the true coordinates moved by a few centimetres, so the adjustment
// has corrections and residuals of realistic size.
//
// The network is written as a project file text with the project file's own line builders
// and read back with the loader, so the model is exactly what a user's file would give.
//
// Sizes (n = observation rows): grid g gives 12·g·(g − 1) classical observations and
// 3·(g − 1)² baseline rows: g = 3 → 84, g = 6 → 435, g = 11 → 1620.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "common/constants.h"
#include "common/result.h"
#include "network/geodetics.h"
#include "network/load_network.h"
#include "network/network_model.h"
#include "network/project_file.h"
#include "network/project_lines.h"

namespace korvo::generated {

struct GridNetworkLayout {
  int gridSize = 6;            // g × g vertices, numbered row by row from 1
  double spacingM = 400.0;     // grid spacing
  std::uint64_t seed = 12345;  // noise and approximate-coordinate offsets
};

struct GeneratedNetwork {
  std::string projectText;  // Windows-1252 project file
  NetworkModel model;       // the project text as loaded (geodetic coordinates computed)
};

inline int ObservationRowCount(int gridSize) {
  return 12 * gridSize * (gridSize - 1) + 3 * (gridSize - 1) * (gridSize - 1);
}

// Regional networks for the sparse path: the same observation mix on a 2 km grid whose row
// count is nearest to `rows`: about 3,200 → g = 15 (3,108 rows), 20,000 → g = 37 (19,872),
// 100,000 → g = 82 (99,387 rows, 6,724 vertices: numbers within four digits).
inline GridNetworkLayout RegionalNetworkLayout(int rows) {
  GridNetworkLayout layout;
  layout.spacingM = 2000.0;
  layout.gridSize = 2;
  while (ObservationRowCount(layout.gridSize + 1) - rows < rows - ObservationRowCount(layout.gridSize))
    ++layout.gridSize;
  return layout;
}

namespace detail {

constexpr double kDegToRad = kPi / 180.0;
constexpr double kRadToGon = 200.0 / kPi;

struct Point {
  double x, y, z;
};

// Deterministic noise in [-1, 1) (splitmix64).
class Noise {
 public:
  explicit Noise(std::uint64_t seed) : state_(seed) {}
  double Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) / 4503599627370496.0 - 1.0;  // 2^52
  }

 private:
  std::uint64_t state_;
};

// Geocentric coordinates of a point given by geodetic latitude, longitude (degrees) and
// ellipsoidal height (m) on WGS84 (the closed form of any geodesy text).
inline Point Geocentric(double latDeg, double lonDeg, double hM) {
  const double e2 = kWgs84F * (2.0 - kWgs84F);
  const double phi = latDeg * kDegToRad;
  const double lambda = lonDeg * kDegToRad;
  const double n = kWgs84A / std::sqrt(1.0 - e2 * std::sin(phi) * std::sin(phi));
  return {(n + hM) * std::cos(phi) * std::cos(lambda), (n + hM) * std::cos(phi) * std::sin(lambda),
          (n * (1.0 - e2) + hM) * std::sin(phi)};
}

// Azimuth (gons, 0..400) and zenith distance (gons) from `from` to `to` in the local horizon
// of `from`.
inline void AzimuthAndZenith(const Point& from, const Point& to, double& azimuthGon, double& zenithGon) {
  const double phi = GeodeticLatitudeDeg(from.x, from.y, from.z) * kDegToRad;
  const double lambda = GeodeticLongitudeDeg(from.x, from.y) * kDegToRad;
  const double dx = to.x - from.x, dy = to.y - from.y, dz = to.z - from.z;
  const double east = -std::sin(lambda) * dx + std::cos(lambda) * dy;
  const double north = -std::sin(phi) * std::cos(lambda) * dx - std::sin(phi) * std::sin(lambda) * dy +
                       std::cos(phi) * dz;
  const double up = std::cos(phi) * std::cos(lambda) * dx + std::cos(phi) * std::sin(lambda) * dy +
                    std::sin(phi) * dz;
  azimuthGon = std::atan2(east, north) * kRadToGon;
  if (azimuthGon < 0) azimuthGon += 400.0;
  zenithGon = std::acos(up / std::sqrt(dx * dx + dy * dy + dz * dz)) * kRadToGon;
}

inline std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

template <class T>
T Must(Result<T> result) {
  if (!result) throw std::runtime_error("generated network: " + result.error());
  return std::move(result).value();
}

}  // namespace detail

inline GeneratedNetwork GenerateGridNetwork(const GridNetworkLayout& layout,
                                            const std::string& path = "red_generada.txt") {
  using namespace detail;
  const int g = layout.gridSize;
  Noise noise(layout.seed);

  // True positions: a grid in latitude/longitude around 40.4° N, 3.7° W with varying heights.
  const double originLat = 40.4, originLon = -3.7;
  const double metresPerDegLat = 111000.0;
  const double metresPerDegLon = 111000.0 * std::cos(originLat * kDegToRad);
  std::vector<Point> truth;
  for (int row = 0; row < g; ++row) {
    for (int col = 0; col < g; ++col) {
      const double lat = originLat + row * layout.spacingM / metresPerDegLat;
      const double lon = originLon + col * layout.spacingM / metresPerDegLon;
      const double h = 650.0 + 40.0 * std::sin(0.7 * row + 1.3 * col) + 15.0 * noise.Next();
      truth.push_back(Geocentric(lat, lon, h));
    }
  }
  auto number = [&](int row, int col) { return row * g + col + 1; };
  // Two fixed corners and the centre hold the datum.
  auto isFixed = [&](int v) { return v == 1 || v == g || v == (g * g + 1) / 2; };

  std::string vertexText;
  for (int v = 1; v <= g * g; ++v) {
    const Point& p = truth[static_cast<std::size_t>(v - 1)];
    const double shift = isFixed(v) ? 0.0 : 0.05;
    VertexLineFields fields;
    fields.number = std::to_string(v);
    fields.kind = isFixed(v) ? kKindFixed : kKindUnknown;
    fields.x = Fixed(p.x + shift * noise.Next(), 4);
    fields.y = Fixed(p.y + shift * noise.Next(), 4);
    fields.z = Fixed(p.z + shift * noise.Next(), 4);
    fields.deflectionNs = "0";
    fields.deflectionEw = "0";
    vertexText += Must(BuildVertexLine(fields));
  }

  std::string classicalText;
  auto sight = [&](int fromVertex, int toVertex) {
    const Point& a = truth[static_cast<std::size_t>(fromVertex - 1)];
    const Point& b = truth[static_cast<std::size_t>(toVertex - 1)];
    double azimuth = 0, zenith = 0;
    AzimuthAndZenith(a, b, azimuth, zenith);
    const double orientation = std::fmod(37.123456 * fromVertex, 400.0);
    double direction = azimuth - orientation + 2.0e-4 * noise.Next();  // ±2 cc
    if (direction < 0) direction += 400.0;
    if (direction >= 400.0) direction -= 400.0;
    const double distance = std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y) +
                                      (b.z - a.z) * (b.z - a.z));
    const std::string from = std::to_string(fromVertex), to = std::to_string(toVertex);
    classicalText += Must(BuildClassicalLine({kTypeDirection, from, to, Fixed(direction, 6), "5"}));
    classicalText +=
        Must(BuildClassicalLine({kTypeZenith, from, to, Fixed(zenith + 3.0e-4 * noise.Next(), 6), "10"}));
    classicalText += Must(
        BuildClassicalLine({kTypeDistance, from, to, Fixed(distance + 0.002 * noise.Next(), 4), "0.003"}));
  };
  for (int row = 0; row < g; ++row) {
    for (int col = 0; col < g; ++col) {
      const int here = number(row, col);
      if (col + 1 < g) sight(here, number(row, col + 1));
      if (row + 1 < g) sight(here, number(row + 1, col));
      if (col > 0) sight(here, number(row, col - 1));
      if (row > 0) sight(here, number(row - 1, col));
    }
  }

  std::string gpsText;
  for (int row = 0; row + 1 < g; ++row) {
    for (int col = 0; col + 1 < g; ++col) {
      const int from = number(row, col), to = number(row + 1, col + 1);
      const Point& a = truth[static_cast<std::size_t>(from - 1)];
      const Point& b = truth[static_cast<std::size_t>(to - 1)];
      GpsBlockFields fields;
      fields.from = std::to_string(from);
      fields.to = std::to_string(to);
      fields.dx = Fixed(b.x - a.x + 0.003 * noise.Next(), 4);
      fields.dy = Fixed(b.y - a.y + 0.003 * noise.Next(), 4);
      fields.dz = Fixed(b.z - a.z + 0.003 * noise.Next(), 4);
      fields.cxx = "0.00000400";
      fields.cxy = "0.00000100";
      fields.cxz = "-0.0000005";
      fields.cyy = "0.00000300";
      fields.cyz = "0.00000080";
      fields.czz = "0.00000900";
      gpsText += Must(BuildGpsBlock(fields));
    }
  }

  GeneratedNetwork network;
  network.projectText = ComposeProjectFile(path, "06/12/2026", vertexText, classicalText, gpsText);
  network.model = Must(LoadNetworkFromText(network.projectText));
  return network;
}

}  // namespace korvo::generated
