// The three classical rows of a sight between two unknown vertices, to the last digit: the
// station carries deflection unknowns and an orientation unknown, and the refraction
// coefficient of the line is estimated. Columns: station dX dY dZ, target dX dY dZ, k of the
// line, D.V.EW and D.V.NS of the station, dDes of the station; then the independent term and
// the weight. The expected rows were evaluated independently in Python 3 (IEEE doubles, the
// same libm) from the formulas of the model, each product and quotient taken left to right:
// zenith coefficients ρ·(D·cos φ cos λ − Δ·cos z)/(D²·sin z), direction coefficients
// ρ·(sin λ cos A − sin φ cos λ sin A)/(D sin z) and their kin, refraction
// −10000·(200/π)·D/6370000, deflection −sin A, −cos A (zenith) and tan φ − cos A/tan z,
// sin A/tan z (direction), longitude in single precision, π = 3.14159265358979.

#include <gtest/gtest.h>

#include "engine/kernels.h"
#include "engine/observation_system.h"
#include "network/calc_options.h"
#include "support/networks.h"

namespace korvo {
namespace {

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

}  // namespace
}  // namespace korvo
