#include "quality/quality_analysis.h"

#include <Eigen/Eigenvalues>
#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "common/constants.h"
#include "coordtransform/geodesy.h"
#include "quality/fixed_text.h"
#include "quality/statistics.h"

namespace korvo {
namespace {

// WGS84 as in common/constants.h (1/f = 298.257223563).
constexpr Ellipsoid kWgs84{kWgs84A, kWgs84A * (1.0 - kWgs84F)};
constexpr double kRadPerDeg = kPi / 180.0;
constexpr double kUtmSouthFalseNorthingM = 10000000.0;

// R·C·Rᵀ of 3 x 3 blocks.
Block3 Rotate(const Block3& r, const Block3& c) {
  Block3 rc{};
  for (std::size_t i = 0; i < 3; ++i)
    for (std::size_t j = 0; j < 3; ++j)
      for (std::size_t k = 0; k < 3; ++k) rc[i][j] += r[i][k] * c[k][j];
  Block3 out{};
  for (std::size_t i = 0; i < 3; ++i)
    for (std::size_t j = 0; j < 3; ++j)
      for (std::size_t k = 0; k < 3; ++k) out[i][j] += rc[i][k] * r[j][k];
  return out;
}

// Eigenvalues of a symmetric 3 x 3 block, largest first, negatives (rounding) as zero.
std::array<double, 3> EigenvaluesDescending(const Block3& c) {
  Eigen::Matrix3d matrix;
  matrix << c[0][0], c[0][1], c[0][2],
            c[1][0], c[1][1], c[1][2],
            c[2][0], c[2][1], c[2][2];
  const Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d> solver(matrix, Eigen::EigenvaluesOnly);
  const Eigen::Vector3d values = solver.eigenvalues();  // ascending
  return {std::max(values(2), 0.0), std::max(values(1), 0.0), std::max(values(0), 0.0)};
}

double SqrtOrZero(double value) { return value > 0.0 ? std::sqrt(value) : 0.0; }

Ellipse Scaled(const Ellipse& ellipse, double factor) {
  return {ellipse.a * factor, ellipse.b * factor, ellipse.azimuthGon};
}

// Inverse of a symmetric 3 x 3 block by its adjugate; nothing when it is numerically singular.
std::optional<Block3> InverseSymmetric(const Block3& q) {
  Block3 adj{};
  adj[0][0] = q[1][1] * q[2][2] - q[1][2] * q[2][1];
  adj[0][1] = q[0][2] * q[2][1] - q[0][1] * q[2][2];
  adj[0][2] = q[0][1] * q[1][2] - q[0][2] * q[1][1];
  adj[1][0] = q[1][2] * q[2][0] - q[1][0] * q[2][2];
  adj[1][1] = q[0][0] * q[2][2] - q[0][2] * q[2][0];
  adj[1][2] = q[0][2] * q[1][0] - q[0][0] * q[1][2];
  adj[2][0] = q[1][0] * q[2][1] - q[1][1] * q[2][0];
  adj[2][1] = q[0][1] * q[2][0] - q[0][0] * q[2][1];
  adj[2][2] = q[0][0] * q[1][1] - q[0][1] * q[1][0];
  const double det = q[0][0] * adj[0][0] + q[0][1] * adj[1][0] + q[0][2] * adj[2][0];
  const double scale = std::fabs(q[0][0] * q[1][1] * q[2][2]);
  if (!(std::fabs(det) > 1e-12 * scale) || scale == 0.0) return std::nullopt;
  for (auto& row : adj)
    for (double& value : row) value /= det;
  return adj;
}

// Vertex geometry the point and pair figures share.
struct VertexState {
  bool unknown = false;  // has coordinate columns
  int column = 0;        // its dX column
  double x = 0.0, y = 0.0, z = 0.0;
  Geodetic geodetic{};
};

void AnalyseRows(const ObservationSystem& system, const SolutionAccess& solution, QualityAnalysis& out) {
  const int n = out.n;
  const int f = out.degreesOfFreedom;
  out.rows.reserve(static_cast<std::size_t>(n));
  for (int i = 1; i <= n; ++i) {
    const SystemRow& source = system.rows[static_cast<std::size_t>(i)];
    RowTest row;
    row.row = i;
    row.kind = source.kind;
    if (source.kind != RowKind::Imported) {
      row.fromNumber = source.fromNumber;
      row.toNumber = source.toNumber;
    }
    if (source.kind == RowKind::GpsX) row.component = 'X';
    if (source.kind == RowKind::GpsY) row.component = 'Y';
    if (source.kind == RowKind::GpsZ) row.component = 'Z';
    row.residual = solution.Residual(i);
    row.redundancy = solution.Redundancy(i);
    const double q = solution.QvvDiagonal(i);
    if (q > kUncontrolledRatio * solution.QllDiagonal(i) && q > 0.0) {
      row.mde = solution.MinDetectableError(i);
      const double w = row.residual / std::sqrt(q);
      row.w = w;
      if (out.sigma0 > 0.0) row.tau = w / out.sigma0;
      row.flag = std::fabs(w) > kCriticalW;
      if (f - 1 > 0 && !solution.RowIsCorrelated(i)) {
        row.sigma0Without = SqrtOrZero((out.vtpv - row.residual * row.residual / q) / (f - 1));
      }
    }
    out.rows.push_back(row);
  }
}

void AnalyseBaselines(const ObservationSystem& system, const SolutionAccess& solution, QualityAnalysis& out) {
  const int f = out.degreesOfFreedom;
  for (int b = 1; b <= system.gpsCount; ++b) {
    BaselineTest test;
    test.firstRow = system.classicalCount + 3 * b - 2;
    const SystemRow& source = system.rows[static_cast<std::size_t>(test.firstRow)];
    test.fromNumber = source.fromNumber;
    test.toNumber = source.toNumber;
    const std::optional<Block3> inverse = InverseSymmetric(solution.QvvBlock(test.firstRow));
    if (inverse) {
      double v[3];
      for (int k = 0; k < 3; ++k) v[k] = solution.Residual(test.firstRow + k);
      double t = 0.0;
      for (std::size_t r = 0; r < 3; ++r)
        for (std::size_t c = 0; c < 3; ++c) t += v[r] * (*inverse)[r][c] * v[c];
      test.statistic = t;
      test.flag = t > out.criticalBaseline;
      if (f - 3 > 0) test.sigma0Without = SqrtOrZero((out.vtpv - t) / (f - 3));
    }
    out.baselines.push_back(test);
  }
}

// Covariance (m²) of a vertex's coordinates or of two vertices: σ̂0²·Qxx block; zero for a
// fixed vertex.
Block3 CovarianceBlock(const SolutionAccess& solution, const VertexState& a, const VertexState& b, double s02) {
  Block3 block{};
  if (!a.unknown || !b.unknown) return block;
  block = solution.QxxBlock(a.column, b.column);
  for (auto& row : block)
    for (double& value : row) value *= s02;
  return block;
}

void AnalysePoints(const ObservationSystem& system, const NetworkModel& network, const SolutionAccess& solution,
                   std::vector<VertexState>& states, QualityAnalysis& out) {
  const int f = out.degreesOfFreedom;
  const double s02 = out.sigma0 * out.sigma0;
  const double ellipse95 = std::sqrt(2.0 * FisherQuantile(kEllipseConfidence, 2.0, f));
  const double ellipsoid95 = std::sqrt(3.0 * FisherQuantile(kEllipseConfidence, 3.0, f));
  const double up95 = StudentQuantile(0.5 + kEllipseConfidence / 2.0, f);
  states.resize(network.vertices.size());
  for (std::size_t v = 0; v < network.vertices.size(); ++v) {
    const NetworkVertex& vertex = network.vertices[v];
    VertexState& state = states[v];
    const int column = v < system.layout.vertexColumns.size() ? system.layout.vertexColumns[v].coordinates : 0;
    state.unknown = column > 0;
    state.column = column;
    if (state.unknown) {
      state.x = solution.AdjustedParameter(column);
      state.y = solution.AdjustedParameter(column + 1);
      state.z = solution.AdjustedParameter(column + 2);
    } else {
      state.x = vertex.xM;
      state.y = vertex.yM;
      state.z = vertex.zM;
    }
    state.geodetic = CartesianToWgs84(state.x, state.y, state.z);

    PointQuality point;
    point.number = vertex.number;
    point.fixed = !state.unknown;
    point.xM = state.x;
    point.yM = state.y;
    point.zM = state.z;
    point.latitudeDeg = state.geodetic.latitudeDeg;
    point.longitudeDeg = state.geodetic.longitudeDeg;
    point.heightM = state.geodetic.heightM;
    const UtmPoint utm = Wgs84ToUtm(point.latitudeDeg, point.longitudeDeg);
    point.utmZone = utm.zone;
    point.eastingM = utm.eastingM;
    point.northingM = utm.northingM;
    if (state.unknown) {
      const Block3 enu = Rotate(EnuRotation(point.latitudeDeg, point.longitudeDeg),
                                CovarianceBlock(solution, state, state, s02));
      point.sigmaEastM = SqrtOrZero(enu[0][0]);
      point.sigmaNorthM = SqrtOrZero(enu[1][1]);
      point.sigmaUpM = SqrtOrZero(enu[2][2]);
      point.sigmaUp95M = point.sigmaUpM * up95;
      point.ellipse = EllipseOf(enu[0][0], enu[0][1], enu[1][1]);
      point.ellipse95 = Scaled(point.ellipse, ellipse95);
      const std::array<double, 3> values = EigenvaluesDescending(enu);
      for (int k = 0; k < 3; ++k) point.ellipsoid95[static_cast<std::size_t>(k)] = std::sqrt(values[static_cast<std::size_t>(k)]) * ellipsoid95;
    }
    out.points.push_back(point);
  }
}

void AnalysePairs(const ObservationSystem& system, const NetworkModel& network, const SolutionAccess& solution,
                  const std::vector<VertexState>& states, QualityAnalysis& out) {
  std::unordered_map<int, std::size_t> vertexOf;
  for (std::size_t v = 0; v < network.vertices.size(); ++v) vertexOf.emplace(network.vertices[v].number, v);
  std::unordered_set<long long> seen;
  const double s02 = out.sigma0 * out.sigma0;
  for (int i = 1; i <= system.numEquations; ++i) {
    const SystemRow& row = system.rows[static_cast<std::size_t>(i)];
    const int low = std::min(row.fromNumber, row.toNumber);
    const int high = std::max(row.fromNumber, row.toNumber);
    const auto from = vertexOf.find(low);
    const auto to = vertexOf.find(high);
    if (low == high || from == vertexOf.end() || to == vertexOf.end()) continue;
    const VertexState& a = states[from->second];
    const VertexState& b = states[to->second];
    if (!a.unknown && !b.unknown) continue;
    if (!seen.insert(static_cast<long long>(low) * 100000LL + high).second) continue;

    Block3 c = CovarianceBlock(solution, a, a, s02);
    const Block3 cbb = CovarianceBlock(solution, b, b, s02);
    const Block3 cab = CovarianceBlock(solution, a, b, s02);
    for (std::size_t r = 0; r < 3; ++r)
      for (std::size_t k = 0; k < 3; ++k) c[r][k] += cbb[r][k] - cab[r][k] - cab[k][r];

    RelativePrecision pair;
    pair.fromNumber = low;
    pair.toNumber = high;
    const double d[3] = {b.x - a.x, b.y - a.y, b.z - a.z};
    pair.distanceM = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    double variance = 0.0;
    for (std::size_t r = 0; r < 3; ++r)
      for (std::size_t k = 0; k < 3; ++k) variance += d[r] * c[r][k] * d[k];
    pair.sigmaDistanceM = pair.distanceM > 0.0 ? SqrtOrZero(variance) / pair.distanceM : 0.0;
    pair.ppm = pair.distanceM > 0.0 ? pair.sigmaDistanceM / pair.distanceM * 1e6 : 0.0;
    const Block3 enu = Rotate(EnuRotation(a.geodetic.latitudeDeg, a.geodetic.longitudeDeg), c);
    pair.ellipse = EllipseOf(enu[0][0], enu[0][1], enu[1][1]);
    pair.sigmaUpM = SqrtOrZero(enu[2][2]);
    out.relative.push_back(pair);
  }
}

}  // namespace

Geodetic CartesianToWgs84(double xM, double yM, double zM) {
  const double a = kWgs84.a;
  const double e2 = kWgs84.FirstEccentricitySquared();
  const double p = std::hypot(xM, yM);
  double longitude = std::atan2(yM, xM);
  if (longitude <= -kPi) longitude += 2.0 * kPi;
  // Fixed-point iteration on tan φ = z / (p·(1 − e²·N/(N + h))); it contracts by about e² per
  // pass. The height comes from the form that stays exact at the poles:
  // h = p·cos φ + z·sin φ − a·√(1 − e² sin²φ).
  double latitude = std::atan2(zM, p * (1.0 - e2));
  double height = 0.0;
  for (int pass = 0; pass < 50; ++pass) {
    const double s = std::sin(latitude);
    const double n = a / std::sqrt(1.0 - e2 * s * s);
    height = p * std::cos(latitude) + zM * s - a * std::sqrt(1.0 - e2 * s * s);
    const double next = std::atan2(zM, p * (1.0 - e2 * n / (n + height)));
    const double step = std::fabs(next - latitude);
    latitude = next;
    if (step <= 1e-12) break;
  }
  const double s = std::sin(latitude);
  height = p * std::cos(latitude) + zM * s - a * std::sqrt(1.0 - e2 * s * s);
  return {latitude / kRadPerDeg, longitude / kRadPerDeg, height};
}

int UtmZoneOf(double longitudeDeg) {
  const int zone = static_cast<int>(std::floor((longitudeDeg + 180.0) / 6.0)) + 1;
  return std::clamp(zone, 1, 60);
}

UtmPoint Wgs84ToUtm(double latitudeDeg, double longitudeDeg) {
  const int zone = UtmZoneOf(longitudeDeg);
  const PlanePoint plane =
      GaussKrugerPlane({latitudeDeg * kRadPerDeg, longitudeDeg * kRadPerDeg}, CentralMeridianRad(zone), kWgs84);
  return {zone, kUtmFalseEastingM + kUtmScale * plane.eastingM,
          kUtmScale * plane.northingM + (latitudeDeg < 0.0 ? kUtmSouthFalseNorthingM : 0.0)};
}

Ellipse EllipseOf(double cEE, double cEN, double cNN) {
  const double mean = (cEE + cNN) / 2.0;
  const double radius = std::hypot((cEE - cNN) / 2.0, cEN);
  Ellipse ellipse;
  ellipse.a = SqrtOrZero(mean + radius);
  ellipse.b = SqrtOrZero(mean - radius);
  // The major axis makes the angle θ with north (towards east) where tan 2θ = 2cEN/(cNN − cEE).
  double azimuth = 0.5 * std::atan2(2.0 * cEN, cNN - cEE) * 200.0 / kPi;
  if (azimuth < 0.0) azimuth += 200.0;
  if (azimuth >= 200.0) azimuth -= 200.0;
  ellipse.azimuthGon = azimuth;
  return ellipse;
}

Block3 EnuRotation(double latitudeDeg, double longitudeDeg) {
  const double sf = std::sin(latitudeDeg * kRadPerDeg);
  const double cf = std::cos(latitudeDeg * kRadPerDeg);
  const double sl = std::sin(longitudeDeg * kRadPerDeg);
  const double cl = std::cos(longitudeDeg * kRadPerDeg);
  return {{{-sl, cl, 0.0}, {-sf * cl, -sf * sl, cf}, {cf * cl, cf * sl, sf}}};
}

QualityAnalysis AnalyseQuality(const ObservationSystem& system, const NetworkModel* network,
                               const SolutionAccess& solution) {
  QualityAnalysis out;
  out.n = solution.NumEquations();
  out.m = solution.NumUnknowns();
  out.degreesOfFreedom = out.n - out.m;
  const int f = out.degreesOfFreedom;
  out.sigma0 = solution.SigmaZero();
  out.vtpv = out.sigma0 * out.sigma0 * f;

  out.globalTest.statistic = out.vtpv;
  out.globalTest.lower = ChiSquaredQuantile(kGlobalTestAlpha / 2.0, f);
  out.globalTest.upper = ChiSquaredQuantile(1.0 - kGlobalTestAlpha / 2.0, f);
  out.globalTest.passed = out.globalTest.lower <= out.vtpv && out.vtpv <= out.globalTest.upper;
  if (f >= 2) {
    const double alphaRow = 1.0 - std::pow(kPopeFamilyConfidence, 1.0 / out.n);
    const double t = StudentQuantile(1.0 - alphaRow / 2.0, f - 1);
    out.criticalTau = std::sqrt(static_cast<double>(f)) * t / std::sqrt(f - 1 + t * t);
  }
  out.criticalBaseline = ChiSquaredQuantile(kBaselineTestProbability, 3.0);

  AnalyseRows(system, solution, out);
  AnalyseBaselines(system, solution, out);
  if (network != nullptr && system.formedFromNetwork) {
    std::vector<VertexState> states;
    AnalysePoints(system, *network, solution, states, out);
    AnalysePairs(system, *network, solution, states, out);
  }
  return out;
}

std::vector<int> SuspectOrder(const QualityAnalysis& analysis) {
  std::vector<std::pair<double, int>> suspects;
  for (std::size_t i = 0; i < analysis.rows.size(); ++i) {
    if (analysis.rows[i].flag) suspects.emplace_back(std::fabs(*analysis.rows[i].w), static_cast<int>(i));
  }
  for (std::size_t b = 0; b < analysis.baselines.size(); ++b) {
    if (analysis.baselines[b].flag) suspects.emplace_back(*analysis.baselines[b].statistic / 3.0, -1 - static_cast<int>(b));
  }
  std::stable_sort(suspects.begin(), suspects.end(),
                   [](const auto& left, const auto& right) { return left.first > right.first; });
  std::vector<int> order;
  order.reserve(suspects.size());
  for (const auto& suspect : suspects) order.push_back(suspect.second);
  return order;
}

std::string QualitySummaryUtf8(const QualityAnalysis& analysis) {
  std::string sigmaText = FixedText(analysis.sigma0, 3);
  std::replace(sigmaText.begin(), sigmaText.end(), '.', ',');
  const std::size_t suspects = SuspectOrder(analysis).size();
  return "σ0 = " + sigmaText + " (f = " + std::to_string(analysis.degreesOfFreedom) + ") · prueba global: " +
         (analysis.globalTest.passed ? "aceptada" : "rechazada") + " · " + std::to_string(suspects) +
         (suspects == 1 ? " observación sospechosa" : " observaciones sospechosas");
}

}  // namespace korvo
