#include "engine/vertex_precision.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "common/constants.h"

namespace korvo {

std::vector<std::optional<VertexPrecision>> VertexPrecisions(const NetworkModel& model, const ObservationSystem& system,
                                                             const LeastSquaresResults& results) {
  std::vector<std::optional<VertexPrecision>> figures(model.vertices.size());
  // The 1-based columns of X, Y and Z of every vertex row.
  std::vector<std::array<int, 3>> columns(model.vertices.size(), {0, 0, 0});
  // The per-unknown vectors are 1-based (element 0 unused).
  for (std::size_t j = 1; j < system.unknowns.size(); ++j) {
    const SystemUnknown& unknown = system.unknowns[j];
    if (unknown.vertex < 0 || static_cast<std::size_t>(unknown.vertex) >= columns.size()) continue;
    const int column = static_cast<int>(j);
    if (unknown.kind == UnknownKind::CoordinateX) columns[static_cast<std::size_t>(unknown.vertex)][0] = column;
    if (unknown.kind == UnknownKind::CoordinateY) columns[static_cast<std::size_t>(unknown.vertex)][1] = column;
    if (unknown.kind == UnknownKind::CoordinateZ) columns[static_cast<std::size_t>(unknown.vertex)][2] = column;
  }
  const int m = results.Cxx.rows();
  for (std::size_t v = 0; v < model.vertices.size(); ++v) {
    const std::array<int, 3>& c = columns[v];
    if (c[0] <= 0 || c[1] <= 0 || c[2] <= 0 || c[0] > m || c[1] > m || c[2] > m) continue;
    if (static_cast<std::size_t>(std::max({c[0], c[1], c[2]})) >= results.adjustedParameters.size()) continue;
    const NetworkVertex& vertex = model.vertices[v];
    const double phi = vertex.latitudeDeg * kPi / 180.0;
    const double lambda = static_cast<double>(vertex.longitudeDeg) * kPi / 180.0;
    // Rows of the rotation from geocentric to east, north, up.
    const double r[3][3] = {{-std::sin(lambda), std::cos(lambda), 0.0},
                            {-std::sin(phi) * std::cos(lambda), -std::sin(phi) * std::sin(lambda), std::cos(phi)},
                            {std::cos(phi) * std::cos(lambda), std::cos(phi) * std::sin(lambda), std::sin(phi)}};
    double local[3][3] = {};
    for (int a = 0; a < 3; ++a) {
      for (int b = 0; b < 3; ++b) {
        double sum = 0.0;
        for (int i = 0; i < 3; ++i) {
          for (int j = 0; j < 3; ++j) sum += r[a][i] * results.Cxx(c[static_cast<std::size_t>(i)], c[static_cast<std::size_t>(j)]) * r[b][j];
        }
        local[a][b] = sum;
      }
    }
    VertexPrecision p;
    const auto& adjusted = results.adjustedParameters;
    p.xM = adjusted[static_cast<std::size_t>(c[0])];
    p.yM = adjusted[static_cast<std::size_t>(c[1])];
    p.zM = adjusted[static_cast<std::size_t>(c[2])];
    p.sigmaEastM = std::sqrt(std::max(0.0, local[0][0]));
    p.sigmaNorthM = std::sqrt(std::max(0.0, local[1][1]));
    p.sigmaUpM = std::sqrt(std::max(0.0, local[2][2]));
    const double ee = local[0][0], en = local[0][1], nn = local[1][1];
    const double mean = (ee + nn) / 2;
    const double radius = std::hypot((ee - nn) / 2, en);
    p.semiMajor95M = kEllipse95Scale * std::sqrt(std::max(0.0, mean + radius));
    p.semiMinor95M = kEllipse95Scale * std::sqrt(std::max(0.0, mean - radius));
    // The major axis from north towards east.
    double azimuth = 0.5 * std::atan2(2 * en, nn - ee) * 200.0 / kPi;
    if (azimuth < 0) azimuth += 200.0;
    p.azimuthGon = azimuth;
    figures[v] = p;
  }
  return figures;
}

}  // namespace korvo
