#pragma once
// The adjusted position of every vertex and its precision in the local horizon (east, north,
// up), as the sketch shows them under the pointer.

#include <optional>
#include <vector>

#include "engine/least_squares.h"
#include "engine/observation_system.h"
#include "network/network_model.h"

namespace korvo {

struct VertexPrecision {
  double xM = 0.0, yM = 0.0, zM = 0.0;                  // adjusted geocentric coordinates, m
  double sigmaEastM = 0.0, sigmaNorthM = 0.0, sigmaUpM = 0.0;
  // The 95 % error ellipse of the horizontal position: semi-axes (m), a ≥ b, and the azimuth
  // of a (gon, clockwise from north, 0 ≤ azimuth < 200).
  double semiMajor95M = 0.0, semiMinor95M = 0.0, azimuthGon = 0.0;
};

// Scale of the standard ellipse to its 95 % one: √χ²₂(0.95) = √(−2·ln 0.05).
inline constexpr double kEllipse95Scale = 2.4477468306808166;

// One entry per vertex of the table: the figures of the vertices whose coordinates were
// unknowns of the system, nothing for the fixed ones.
std::vector<std::optional<VertexPrecision>> VertexPrecisions(const NetworkModel& model, const ObservationSystem& system,
                                                             const LeastSquaresResults& results);

}  // namespace korvo
