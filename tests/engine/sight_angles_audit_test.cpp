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
#include "network/network_model.h"

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
  NetworkVertex station = korvo::testing::AuditVertex(1, kKindFixed, 4849000.123, -313500.456, 4114000.789);
  station.deflectionNsCc = xiCc;
  station.deflectionEwCc = etaCc;
  network.vertices.push_back(station);
  int number = 2;
  for (const SightCase& c : kCases) {
    network.vertices.push_back(korvo::testing::AuditVertex(number, kKindFixed, c.x, c.y, c.z));
    for (ObservationType type : {ObservationType::Direction, ObservationType::Zenith}) {
      ClassicalObservation o;
      o.type = type;
      o.from = 1;
      o.to = static_cast<std::int16_t>(number);
      o.value = 100.0;
      o.stdDev = 10.0;
      network.classical.push_back(o);
    }
    ++number;
  }
  return network;
}

TEST(SightAnglesAudit, ZenithAndAzimuthToTheLastDigit) {
  CalcOptions options;  // refraction estimated: the zenith distance is compared uncorrected
  for (const MatrixKernels& kernels : {FastKernels(), DenseKernels()}) {
    Result<ObservationSystem> sys = FormObservationSystem(StationWithFourTargets(0.0, 0.0), options, kernels);
    ASSERT_TRUE(sys.ok()) << sys.error();
    for (std::size_t i = 0; i < std::size(kCases); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(sys->computedValue[2 * i + 1], kCases[i].azimuthGon);
      EXPECT_EQ(sys->computedValue[2 * i + 2], kCases[i].zenithGon);
    }
  }
}

TEST(SightAnglesAudit, RefractionAndDeflectionCorrectionsToTheLastDigit) {
  CalcOptions options;
  options.fixedRefraction = true;
  options.refractionK = 0.08;
  Result<ObservationSystem> sys = FormObservationSystem(StationWithFourTargets(3.2, -1.7), options, FastKernels());
  ASSERT_TRUE(sys.ok()) << sys.error();
  for (std::size_t i = 0; i < std::size(kCases); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(sys->computedValue[2 * i + 1], kCases[i].correctedDirectionGon);
    EXPECT_EQ(sys->computedValue[2 * i + 2], kCases[i].correctedZenithGon);
  }
}

// Due north, due south, due east and due west of the station (components exactly zero), the
// quotient rule still gives 0, 200, 100 and 300 gon, never −0 or a NaN. East and west carry
// the program's π (3.14159265358979, a little below the true one): arctan(±∞) = ±π/2 exactly,
// and (π/2)·200/3.14159265358979 is 100.0000000000001 (Python 3, as above).
TEST(SightAnglesAudit, AxisSightsHaveTheirQuarterAzimuths) {
  NetworkModel network;
  // At latitude 0 and longitude 0: east = +Y, north = +Z, up = +X.
  NetworkVertex station = korvo::testing::AuditVertex(1, kKindFixed, 6378137.0, 0.0, 0.0);
  station.latitudeDeg = 0.0;
  station.longitudeDeg = 0.0f;
  network.vertices.push_back(station);
  const double targets[4][3] = {{6378137.0, 0.0, 500.0},
                                {6378137.0, 0.0, -500.0},
                                {6378137.0, 500.0, 0.0},
                                {6378137.0, -500.0, 0.0}};
  const double expectedGon[4] = {0.0, 200.0, 100.0000000000001, 299.9999999999999};
  for (int t = 0; t < 4; ++t) {
    network.vertices.push_back(korvo::testing::AuditVertex(t + 2, kKindFixed, targets[t][0], targets[t][1], targets[t][2]));
    ClassicalObservation o;
    o.type = ObservationType::Direction;
    o.from = 1;
    o.to = static_cast<std::int16_t>(t + 2);
    o.value = 0.0;
    o.stdDev = 10.0;
    network.classical.push_back(o);
  }
  Result<ObservationSystem> sys = FormObservationSystem(network, CalcOptions{}, FastKernels());
  ASSERT_TRUE(sys.ok()) << sys.error();
  for (int t = 0; t < 4; ++t) {
    SCOPED_TRACE(t);
    const double a = sys->computedValue[static_cast<std::size_t>(t) + 1];
    EXPECT_EQ(a, expectedGon[t]);
    EXPECT_FALSE(std::signbit(a));
  }
}

}  // namespace
}  // namespace korvo
