#pragma once
// A small hand-made network with its system and least-squares results, for the report tests.
// The numbers are chosen by hand (not computed) so that every row of the report can be
// written out from the layout alone.
//
// Vertices: 1 fixed; 2 unknown; 35 unknown with unknown deflection; 7 fixed.
// Rows: 1 "Dirección 1-2", 2 "Cenital 1-2", 3 "Geométrica 2-35", 4..6 GPS 1-35.
// Unknowns: 1..3 dX dY dZ of 2, 4..6 of 35, 7 refraction line 1-2, 8 D.V.EW 35,
// 9 D.V.NS 35, 10 dDes of 1.

#include "engine/least_squares.h"
#include "engine/observation_system.h"
#include "network/calc_options.h"
#include "network/network_model.h"
#include "support/matrices.h"

#include <utility>
#include <vector>

namespace korvo::testing {

inline NetworkModel SmallNetwork() {
  NetworkModel network;
  network.vertices = {{.number = 1, .kind = kKindFixed, .xM = 4000100.0, .yM = -300100.0, .zM = 4800100.0},
                      {.number = 2, .kind = kKindUnknown, .xM = 4000000.0, .yM = -300000.5, .zM = 4800000.25},
                      {.number = 35, .kind = kKindUnknown, .xM = 4000200.5, .yM = -300200.0, .zM = 4800200.0,
                       .deflectionUnknown = true},
                      {.number = 7, .kind = kKindFixed, .xM = 4000300.0, .yM = -300300.0, .zM = 4800300.0}};
  network.classical = {{.type = ObservationType::Direction, .from = 1, .to = 2},
                       {.type = ObservationType::Zenith, .from = 1, .to = 2},
                       {.type = ObservationType::Distance, .from = 2, .to = 35}};
  network.baselines = {{.from = 1, .to = 35}};
  return network;
}

enum class Refraction { PerLine, Network, Fixed };

// The unknowns of a network in the formation's column order: coordinates of its unknown
// vertices, the refraction coefficients asked for (per line: the lines given by their
// vertex numbers), the deflection pairs, the orientation of each vertex whose status is
// Unknown.
inline UnknownLayout LayoutOf(const NetworkModel& network, const std::vector<OrientationStatus>& orientation,
                              Refraction refraction = Refraction::PerLine,
                              const std::vector<std::pair<int, int>>& lines = {{1, 2}}) {
  UnknownLayout layout;
  layout.Reset(static_cast<int>(network.vertices.size()));
  for (std::size_t v = 0; v < network.vertices.size(); ++v) {
    const NetworkVertex& x = network.vertices[v];
    if (x.IsUnknown()) layout.AddCoordinates(static_cast<int>(v), x.number, x.xM, x.yM, x.zM);
  }
  if (refraction == Refraction::Network) layout.AddNetworkRefraction();
  if (refraction == Refraction::PerLine) {
    for (const auto& [from, to] : lines) layout.AddRefractionLine(from, to);
  }
  for (std::size_t v = 0; v < network.vertices.size(); ++v) {
    if (network.vertices[v].deflectionUnknown) layout.AddDeflection(static_cast<int>(v), network.vertices[v].number);
  }
  for (std::size_t v = 0; v < orientation.size(); ++v) {
    if (orientation[v] == OrientationStatus::Unknown) layout.AddOrientation(static_cast<int>(v), network.vertices[v].number);
  }
  return layout;
}

constexpr int kSmallN = 6;
constexpr int kSmallM = 10;

inline ObservationSystem SmallSystem() {
  ObservationSystem system;
  system.numEquations = kSmallN;
  system.numUnknowns = kSmallM;
  system.classicalCount = 3;
  system.gpsCount = 1;
  system.orientationStatus = {OrientationStatus::Unknown, OrientationStatus::None,
                              OrientationStatus::None, OrientationStatus::None};
  system.approxOrientationGon = {50.0, 0.0, 0.0, 0.0};
  system.layout = LayoutOf(SmallNetwork(), system.orientationStatus);
  return system;
}

inline LeastSquaresResults SmallResults() {
  LeastSquaresResults ls;
  ls.numEquations = kSmallN;
  ls.numUnknowns = kSmallM;
  ls.residuals = FromOne({1.23456, -2.5, 0.004, 0.01, -0.02, 0.03});
  ls.sigmaResiduals = FromOne({0.5, 0.0, 0.0012, 0.001, 0.002, 0.003});
  ls.adjustedObservations = FromOne({123.45678901, 99.5012, 100.004, -1234567.12341, 20.0, 30.0});
  ls.sigmaAdjustedObs = FromOne({25.0, 3.0, 0.002, 0.004, 0.005, 0.006});
  ls.sigmaZero = 1.5;
  ls.corrections = FromOne({0.01, -0.02, 0.0, 0.1, 0.2, 0.3, 0.13, 3.2, -4.0, 12.0});
  ls.sigmaParameters = FromOne({0.003, 0.004, 0.005, 0.006, 0.007, 0.008, 0.05, 1.1, 1.2, 2.0});
  ls.Cxx = Matrix(kSmallM, kSmallM);
  ls.Cxx(1, 1) = 0.000000001234;
  ls.Cxx(1, 2) = -0.25;
  ls.CllHat = Matrix(kSmallN, kSmallN);
  ls.CllHat(2, 1) = 1234567.123456789;
  ls.Cvv = Matrix(kSmallN, kSmallN);
  ls.Cvv(6, 6) = 0.5;
  ls.baardaStatistic = FromOne({2.46912, 0.0, 3.3333, 10.0, -10.0, 10.0});
  ls.redundancy = FromOne({0.75, 0.0, 0.5, 0.25, 0.5, 1.0});
  ls.minDetectableError = FromOne({5.0, 0.0, 0.01, 0.02, 0.03, 0.04});
  ls.internalReliability = FromOne({4.769, 0.0, 5.8407, 8.26, 5.8407, 4.13});
  ls.externalReliability = FromOne({2.3845, 0.0, 4.13, 7.1533, 4.13, 0.0});
  ls.externalReliabilityVectors = Matrix(kSmallM, kSmallN);
  ls.externalReliabilityVectors(1, 1) = 0.12345;
  ls.externalReliabilityVectors(10, 6) = -7.0;
  return ls;
}

}  // namespace korvo::testing
