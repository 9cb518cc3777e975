// Zenith distance and azimuth of a sight to the last digit: z = ArcCosSeries(u·Δ/D)·200/π and
// A = arctan(e·Δ/n·Δ)·200/π with the quadrant from the east component, each product taken
// left to right. The expected values come from an independent evaluation of those formulas
// in Python 3 (IEEE doubles, the same libm), longitude rounded to single precision; for every
// sight below the other grouping, x·(200/π), or the two-argument arctangent gives a value one
// or more units of the last place away, so the test tells the two apart.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/kernels.h"
#include "engine/observation_system.h"
#include "network/calc_options.h"
#include "support/networks.h"

namespace korvo {
namespace {

struct SightCase {
  double zenithGon;         // uncorrected zenith distance
  double azimuthGon;        // uncorrected azimuth
  double correctedZenithGon;     // minus K·(200/π)·D/R and (ξ·cos A + η·sin A)/10000
  double correctedDirectionGon;  // plus (ξ·sin A/tan z + η·(tan φ − cos A/tan z))/10000
  double x, y, z;           // target, m
};

// Station at 40.4° N, 3.7° W; one target in each quadrant (SW, NW, SE, NE), some 700 to
// 1500 m away and a few tens of metres above or below.
const SightCase kCases[] = {
    {99.6348730781362, 226.91555293754422, 99.63398249794717, 226.91540661397528, 4849790.148, -314123.727,
     4113039.503},
    {100.85942702490281, 301.70203270517464, 100.85877005285343, 301.70189228115044, 4848945.035, -314096.330,
     4114007.735},
    {97.58430602897334, 111.58664227626701, 97.58379674074051, 111.58650837456288, 4849192.312, -312608.272,
     4113896.854},
    {98.3930664171195, 71.5134585541726, 98.39200707562316, 71.51332301353578, 4848728.181, -312269.513,
     4114465.308},
};

// Station 1 observes a direction and a zenith angle to each target 2, 3, 4, 5 in turn.
NetworkModel StationWithFourTargets(double xiCc, double etaCc) {
  NetworkModel network;
  network.vertices.push_back(korvo::testing::AuditVertex(1, kKindFixed, 4849000.123, -313500.456, 4114000.789));
  network.vertices[0].deflectionNsCc = xiCc;
  network.vertices[0].deflectionEwCc = etaCc;
  std::int16_t number = 2;
  for (const SightCase& c : kCases) {
    network.vertices.push_back(korvo::testing::AuditVertex(number, kKindFixed, c.x, c.y, c.z));
    network.classical.push_back({ObservationType::Direction, 1, number, 100.0, 10.0});
    network.classical.push_back({ObservationType::Zenith, 1, number++, 100.0, 10.0});
  }
  return network;
}

// With refraction estimated the angles are compared uncorrected (both kernels); with a fixed
// coefficient and a known deflection, corrected.
TEST(SightAnglesAudit, AnglesAndTheirCorrectionsToTheLastDigit) {
  CalcOptions fixedK;
  fixedK.fixedRefraction = true;
  fixedK.refractionK = 0.08;
  struct Run {
    CalcOptions options;
    MatrixKernels kernels;
    double xiCc, etaCc;
    bool corrected;
  } runs[] = {{CalcOptions{}, FastKernels(), 0, 0, false},
              {CalcOptions{}, DenseKernels(), 0, 0, false},
              {fixedK, FastKernels(), 3.2, -1.7, true}};
  for (const Run& run : runs) {
    Result<ObservationSystem> sys = FormObservationSystem(StationWithFourTargets(run.xiCc, run.etaCc), run.options, run.kernels);
    ASSERT_TRUE(sys.ok()) << sys.error();
    for (std::size_t i = 0; i < std::size(kCases); ++i) {
      const SightCase& c = kCases[i];
      SCOPED_TRACE(::testing::Message() << i << (run.corrected ? " corrected" : ""));
      EXPECT_EQ(sys->computedValue[2 * i + 1], run.corrected ? c.correctedDirectionGon : c.azimuthGon);
      EXPECT_EQ(sys->computedValue[2 * i + 2], run.corrected ? c.correctedZenithGon : c.zenithGon);
    }
  }
}

// Due north, due south, due east and due west of the station (components exactly zero), the
// quotient rule still gives 0, 200, 100 and 300 gon, never −0 or a NaN. East and west carry
// the program's π (3.14159265358979, a little below the true one): arctan(±∞) = ±π/2 exactly,
// and (π/2)·200/3.14159265358979 is 100.0000000000001 (Python 3, as above).
TEST(SightAnglesAudit, AxisSightsHaveTheirQuarterAzimuths) {
  NetworkModel network;
  // At latitude 0 and longitude 0: east = +Y, north = +Z, up = +X.
  network.vertices.push_back(korvo::testing::AuditVertex(1, kKindFixed, 6378137.0, 0.0, 0.0, 0.0, 0.0f));
  const double targets[4][2] = {{0.0, 500.0}, {0.0, -500.0}, {500.0, 0.0}, {-500.0, 0.0}};  // Y, Z
  const double expectedGon[4] = {0.0, 200.0, 100.0000000000001, 299.9999999999999};
  for (std::int16_t t = 0; t < 4; ++t) {
    network.vertices.push_back(korvo::testing::AuditVertex(t + 2, kKindFixed, 6378137.0, targets[t][0], targets[t][1]));
    network.classical.push_back({ObservationType::Direction, 1, static_cast<std::int16_t>(t + 2), 0.0, 10.0});
  }
  Result<ObservationSystem> sys = FormObservationSystem(network, CalcOptions{}, FastKernels());
  ASSERT_TRUE(sys.ok()) << sys.error();
  for (std::size_t t = 0; t < 4; ++t) {
    EXPECT_EQ(sys->computedValue[t + 1], expectedGon[t]) << t;
    EXPECT_FALSE(std::signbit(sys->computedValue[t + 1])) << t;
  }
}

}  // namespace
}  // namespace korvo
