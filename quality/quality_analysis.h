#pragma once
// The quality analysis of an adjustment, as a surveyor reads it: the global test of the
// variance factor, the tests of every row and baseline, σ0 without a row, the adjusted
// coordinates as geodetic and UTM values, the local precision of every vertex in east, north
// and up, and the relative precision of every observed pair of vertices.
//
// Notation: n rows, m unknowns, f = n − m, v the residuals (cc for angles, m otherwise),
// Ω = vᵀPv = σ̂0²·f, a-priori σ0 = 1, Cxx = σ̂0²·Qxx. The numbers come through
// SolutionAccess only (quality/solution_access.h), so the analysis is O(n) beyond the
// solution. Values that are not defined for a row (an uncontrolled row's w, a correlated
// row's σ0 without it, ...) are empty optionals.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "engine/observation_system.h"
#include "network/network_model.h"
#include "quality/solution_access.h"

namespace korvo {

// Test levels and their critical values.
inline constexpr double kGlobalTestAlpha = 0.05;         // two-sided χ² test of Ω
inline constexpr double kCriticalW = 3.29;               // Baarda, α0 = 0.1 % two-sided
inline constexpr double kPopeFamilyConfidence = 0.95;    // αi = 1 − 0.95^(1/n)
inline constexpr double kBaselineTestProbability = 0.999;  // χ²(3) quantile of the baseline test
inline constexpr double kEllipseConfidence = 0.95;
// A row whose Qvv(i,i) is at most this fraction of Qll(i,i) is not controlled by the others.
inline constexpr double kUncontrolledRatio = 1e-10;

struct GlobalTest {
  double statistic = 0.0;  // Ω
  double lower = 0.0;      // χ²(f) at α/2
  double upper = 0.0;      // χ²(f) at 1 − α/2
  double alpha = kGlobalTestAlpha;
  bool passed = false;     // lower ≤ Ω ≤ upper
};

struct RowTest {
  int row = 0;  // 1-based
  RowKind kind = RowKind::Imported;
  int fromNumber = 0;  // vertex numbers (network rows only)
  int toNumber = 0;
  char component = 0;  // 'X', 'Y' or 'Z' for GPS rows, else 0
  double residual = 0.0;    // m or cc
  double redundancy = 0.0;  // r as the results file prints it
  // Minimal detectable error as the results file prints it; empty for an uncontrolled row,
  // whose figure is rounding noise (its redundancy is zero up to rounding).
  std::optional<double> mde;
  std::optional<double> w;              // v/√Qvv(i,i)
  std::optional<double> tau;            // w/σ̂0
  std::optional<double> sigma0Without;  // σ̂0 of the network without this row
  bool flag = false;                    // |w| > kCriticalW
};

struct BaselineTest {
  int firstRow = 0;  // its ΔX row, 1-based
  int fromNumber = 0;
  int toNumber = 0;
  std::optional<double> statistic;  // T = v_bᵀ·Qvv_bb⁻¹·v_b (empty when Qvv_bb is singular)
  bool flag = false;                // T > χ²(3) at kBaselineTestProbability
  std::optional<double> sigma0Without;
};

// An error ellipse: semi-axes a ≥ b (m) and the azimuth of a, clockwise from north, gon in
// [0, 200).
struct Ellipse {
  double a = 0.0;
  double b = 0.0;
  double azimuthGon = 0.0;
};

struct PointQuality {
  int number = 0;
  bool fixed = false;  // fixed vertices: given coordinates and zero precision
  double xM = 0.0, yM = 0.0, zM = 0.0;
  double latitudeDeg = 0.0, longitudeDeg = 0.0, heightM = 0.0;  // WGS84, λ in (−180, 180]
  int utmZone = 0;
  double eastingM = 0.0, northingM = 0.0;
  double sigmaEastM = 0.0, sigmaNorthM = 0.0, sigmaUpM = 0.0, sigmaUp95M = 0.0;
  Ellipse ellipse;    // standard
  Ellipse ellipse95;  // 95 %
  std::array<double, 3> ellipsoid95{};  // semi-axes of the 95 % ellipsoid, largest first (m)
};

struct RelativePrecision {
  int fromNumber = 0;  // the lower number; the frame is rotated at this vertex
  int toNumber = 0;
  double distanceM = 0.0;       // slope distance between the adjusted points
  double sigmaDistanceM = 0.0;  // its standard deviation
  double ppm = 0.0;             // that deviation in parts per million of the distance
  Ellipse ellipse;              // standard ellipse of the relative position
  double sigmaUpM = 0.0;        // σ of the height difference
};

struct QualityAnalysis {
  int n = 0;
  int m = 0;
  int degreesOfFreedom = 0;  // f
  double sigma0 = 0.0;       // σ̂0
  double vtpv = 0.0;         // Ω
  GlobalTest globalTest;
  double criticalW = kCriticalW;
  std::optional<double> criticalTau;  // Pope's value, only for f ≥ 2
  double criticalBaseline = 0.0;      // χ²(3) at kBaselineTestProbability
  std::vector<RowTest> rows;
  std::vector<BaselineTest> baselines;
  std::vector<PointQuality> points;          // networks only, vertex table order
  std::vector<RelativePrecision> relative;   // networks only
};

// Geocentric X, Y, Z (m) -> WGS84 geodetic latitude, longitude (degrees, λ in (−180, 180]) and
// ellipsoidal height (m), iterated to 1e-12 rad: exact to far below 1e-9° and 0.1 mm.
struct Geodetic {
  double latitudeDeg;
  double longitudeDeg;
  double heightM;
};
Geodetic CartesianToWgs84(double xM, double yM, double zM);

// UTM zone of a longitude (degrees): ⌊(λ + 180)/6⌋ + 1, 60 for λ = 180.
int UtmZoneOf(double longitudeDeg);

// UTM of a WGS84 point (degrees) in its own zone: k0 = 0.9996, false easting 500 000 m, false
// northing 0 north and 10 000 000 m south of the equator (m). To 0.1 mm inside the zone.
struct UtmPoint {
  int zone;
  double eastingM;
  double northingM;
};
UtmPoint Wgs84ToUtm(double latitudeDeg, double longitudeDeg);

// The standard ellipse of a 2 x 2 east/north covariance (m²): cEE, cEN, cNN.
Ellipse EllipseOf(double cEE, double cEN, double cNN);

// The rotation of geocentric axes into east, north, up at latitude φ and longitude λ
// (degrees): rows e, n, u.
Block3 EnuRotation(double latitudeDeg, double longitudeDeg);

// The analysis of a solved system. `network` is the model the system was formed from, or
// nothing for a system imported as matrices (then there are no points and no pairs).
// `system` is read only for its bookkeeping (rows, unknowns, vertex columns, counts).
QualityAnalysis AnalyseQuality(const ObservationSystem& system, const NetworkModel* network,
                               const SolutionAccess& solution);

// Flagged rows and baselines, largest first by |w| (baselines by T/3): the order of the
// suspect list. Each entry is a row index into analysis.rows (≥ 0) or −1 − baseline index.
std::vector<int> SuspectOrder(const QualityAnalysis& analysis);

// "σ0 = 0,872 (f = 29) · prueba global: aceptada · 0 observaciones sospechosas" (UTF-8:
// σ has no Windows-1252 byte; the command line prints it and the window converts it).
std::string QualitySummaryUtf8(const QualityAnalysis& analysis);

}  // namespace korvo
