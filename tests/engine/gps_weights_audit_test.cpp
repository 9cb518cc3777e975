// Weight block of a GPS baseline to the last digit: the inverse of Σ_b + J·S·Jᵀ, with J·S and
// then (J·S)·Jᵀ summed over the inner index in ascending order from 0, the antenna-height
// error in single precision, the longitudes in single precision, and Gauss–Jordan
// elimination without pivoting. The expected block was evaluated independently, following
// those rules step by step in Python 3 (IEEE doubles, the same libm); note that it is not
// exactly symmetric.

#include <gtest/gtest.h>

#include "engine/kernels.h"
#include "engine/observation_system.h"
#include "network/calc_options.h"
#include "support/networks.h"

namespace korvo {
namespace {

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
}

}  // namespace
}  // namespace korvo
