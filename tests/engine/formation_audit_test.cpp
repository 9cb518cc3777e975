// The formation of the system to the last digit.

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <vector>

#include "engine/kernels.h"
#include "engine/observation_system.h"
#include "network/calc_options.h"
#include "support/networks.h"

namespace korvo {
namespace {

// The three rows of a sight between unknown vertices (station with deflection and orientation
// unknowns, line refraction estimated): coefficients, term and weight against an independent
// evaluation of the model's formulas in Python 3 (IEEE doubles, the same order of operations).
const double kDirectionRow[] = {-433.06980509688964, 153.8034738432909, 519.4568310531046, 433.06980509688964, -153.8034738432909, -519.4568310531046, 0.0, 0.8579381442217751, 0.03733681369929668, -1.0, 0.0, 0.01};
const double kZenithRow[] = {521.5745323305456, -59.64117661410629, 452.49419616008873, -521.5745323305456, 59.64117661410629, -452.49419616008873, -91.80002362262263, -0.9834832044172725, 0.18099941057675675, 0.0, 22856.9397102666, 0.0025};
const double kDistanceRow[] = {-0.2092311898219373, -0.9712976281673679, 0.11315134432317628, 0.2092311898219373, 0.9712976281673679, -0.11315134432317628, 0.0, 0.0, 0.0, 0.0, 315.95147879814147, 40000.0};

TEST(ClassicalRowsAudit, CoefficientsTermsAndWeightsToTheLastDigit) {
  NetworkModel network;
  network.vertices.push_back(korvo::testing::AuditVertex(1, kKindUnknown, 4849000.123, -313500.456, 4114000.789));
  network.vertices.back().deflectionUnknown = true;
  network.vertices.push_back(korvo::testing::AuditVertex(2, kKindUnknown, 4849192.312, -312608.272, 4113896.854));
  network.classical = {{ObservationType::Direction, 1, 2, 50.1234, 10.0},
                       {ObservationType::Zenith, 1, 2, 99.87, 20.0},
                       {ObservationType::Distance, 1, 2, 1234.5, 0.005}};
  Result<ObservationSystem> sys = FormObservationSystem(network, CalcOptions{}, FastKernels());
  ASSERT_TRUE(sys.ok()) << sys.error();
  ASSERT_EQ(sys->numUnknowns, 10);
  const double* rows[3] = {kDirectionRow, kZenithRow, kDistanceRow};
  for (int i = 1; i <= 3; ++i) {
    SCOPED_TRACE(i);
    for (int j = 1; j <= 10; ++j) EXPECT_EQ(sys->A(i, j), rows[i - 1][j - 1]) << "column " << j;
    EXPECT_EQ(sys->k(i, 1), rows[i - 1][10]);
    EXPECT_EQ(sys->P(i, i), rows[i - 1][11]);
  }
}

// Weight block of a baseline, (Σ_b + J·S·Jᵀ)⁻¹ with station errors, against an independent
// evaluation in Python 3 following the same order of operations (it is not exactly symmetric);
// without them, Σ_b⁻¹.
TEST(GpsWeightsAudit, WeightBlockToTheLastDigit) {
  NetworkModel network;
  network.vertices.push_back(korvo::testing::AuditVertex(1, kKindFixed, 4849000.0, -313500.0, 4114000.0, 40.4, -3.7f));
  network.vertices.push_back(korvo::testing::AuditVertex(2, kKindUnknown, 4839000.0, -297600.0, 4124100.0, 40.52, -3.51f));
  network.baselines.push_back({1, 2, -10000.0, 15900.0, 10100.0, 4.1e-5, 1.3e-6, -2.2e-6, 2.7e-5, 3.1e-6, 6.3e-5});
  CalcOptions options;
  options.centeringStdDevM = 0.003;
  options.antennaHeightStdDevM = 0.007f;
  const double expected[3][3] = {
      {11716.197627709884, 667.1850361568147, -4459.9756406716015},
      {667.1850361568147, 27660.149418351477, -339.01470409508426},
      {-4459.9756406716015, -339.0147040950843, 10832.341402799118},
  };
  for (const MatrixKernels& kernels : {FastKernels(), DenseKernels()}) {
    SCOPED_TRACE(kernels.dense ? "plain kernels" : "fast kernels");
    Result<ObservationSystem> sys = FormObservationSystem(network, options, kernels);
    ASSERT_TRUE(sys.ok()) << sys.error();
    for (int i = 1; i <= 3; ++i) {
      for (int j = 1; j <= 3; ++j) EXPECT_EQ(sys->P(i, j), expected[i - 1][j - 1]) << i << "," << j;
    }
  }
  options.applyGpsStationErrors = false;
  const Result<ObservationSystem> plain = FormObservationSystem(network, options);
  ASSERT_TRUE(plain.ok()) << plain.error();
  const GpsBaseline& g = network.baselines[0];
  const double sigma[3][3] = {{g.cxx, g.cxy, g.cxz}, {g.cxy, g.cyy, g.cyz}, {g.cxz, g.cyz, g.czz}};
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 3; ++j) {
      double product = 0.0;
      for (int k = 1; k <= 3; ++k) product += plain->P(i, k) * sigma[k - 1][j - 1];
      EXPECT_NEAR(product, i == j ? 1.0 : 0.0, 1e-9) << "P·Σ (" << i << ", " << j << ")";
    }
  }
}

// Zenith distance and azimuth, uncorrected and corrected (refraction, deflection), of sights in
// every quadrant against an independent evaluation in Python 3; target in m.
struct SightCase { double zenithGon, azimuthGon, correctedZenithGon, correctedDirectionGon, x, y, z; };

// Station at 40.4° N, 3.7° W; targets SW, NW, SE, NE.
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

// Station 1 observes a direction and a zenith angle to each target 2, 3, 4, 5 in turn:
// uncorrected with refraction estimated; corrected with a fixed coefficient and known deflection.
TEST(SightAnglesAudit, AnglesAndTheirCorrectionsToTheLastDigit) {
  CalcOptions fixedK;
  fixedK.fixedRefraction = true;
  fixedK.refractionK = 0.08;
  const struct Run { CalcOptions options; double xiCc, etaCc; bool corrected; } runs[] = {{CalcOptions{}, 0, 0, false}, {fixedK, 3.2, -1.7, true}};
  for (const Run& run : runs) {
    NetworkModel network;
    network.vertices.push_back(korvo::testing::AuditVertex(1, kKindFixed, 4849000.123, -313500.456, 4114000.789));
    network.vertices[0].deflectionNsCc = run.xiCc;
    network.vertices[0].deflectionEwCc = run.etaCc;
    std::int16_t number = 2;
    for (const SightCase& c : kCases) {
      network.vertices.push_back(korvo::testing::AuditVertex(number, kKindFixed, c.x, c.y, c.z));
      network.classical.push_back({ObservationType::Direction, 1, number, 100.0, 10.0});
      network.classical.push_back({ObservationType::Zenith, 1, number++, 100.0, 10.0});
    }
    Result<ObservationSystem> sys = FormObservationSystem(network, run.options);
    ASSERT_TRUE(sys.ok()) << sys.error();
    for (std::size_t i = 0; i < std::size(kCases); ++i) {
      const SightCase& c = kCases[i];
      SCOPED_TRACE(::testing::Message() << i << (run.corrected ? " corrected" : ""));
      EXPECT_EQ(sys->computedValue[2 * i + 1], run.corrected ? c.correctedDirectionGon : c.azimuthGon);
      EXPECT_EQ(sys->computedValue[2 * i + 2], run.corrected ? c.correctedZenithGon : c.zenithGon);
    }
  }
}

// Sights along the axes (components exactly zero) give 0, 200, 100 and 300 gon, never −0 or
// NaN; east and west carry the program's π, a little below the true one.
TEST(SightAnglesAudit, AxisSightsHaveTheirQuarterAzimuths) {
  NetworkModel network;
  network.vertices.push_back(korvo::testing::AuditVertex(1, kKindFixed, 6378137.0, 0.0, 0.0, 0.0, 0.0f));
  const double targets[4][2] = {{0.0, 500.0}, {0.0, -500.0}, {500.0, 0.0}, {-500.0, 0.0}};  // Y, Z
  const double expectedGon[4] = {0.0, 200.0, 100.0000000000001, 299.9999999999999};
  for (std::int16_t t = 0; t < 4; ++t) {
    network.vertices.push_back(korvo::testing::AuditVertex(t + 2, kKindFixed, 6378137.0, targets[t][0], targets[t][1]));
    network.classical.push_back({ObservationType::Direction, 1, static_cast<std::int16_t>(t + 2), 0.0, 10.0});
  }
  Result<ObservationSystem> sys = FormObservationSystem(network, CalcOptions{}, FastKernels());
  ASSERT_TRUE(sys.ok()) << sys.error();
  for (std::size_t t = 0; t < 4; ++t) EXPECT_TRUE(sys->computedValue[t + 1] == expectedGon[t] && !std::signbit(sys->computedValue[t + 1])) << t;
}

}  // namespace
}  // namespace korvo
