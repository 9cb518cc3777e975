// The sample system in examples/matrices: heights of points 2..6 against the fixed point 1,
// every pair of the six points levelled twice (σ = 2 mm, P = 1/σ² = 250000), the approximate
// heights true, so the true corrections are 0; observation 9 (point 2 to point 6) carries a
// gross error of 5 cm.
#include <gtest/gtest.h>

#include <cmath>

#include "matimport/import_matrices.h"
#include "matimport/imported_adjustment.h"

namespace korvo {
namespace {

std::string Example(const char* name) { return std::string(KORVO_SOURCE_DIR) + "/examples/matrices/" + name; }

TEST(ExampleMatrices, RobustEstimatorsSetTheGrossErrorAside) {
  Result<ImportedMatrices> imported = ImportMatrices({Example("A.txt"), Example("k.txt"), Example("P.txt")}, "");
  ASSERT_TRUE(imported.ok()) << imported.error();
  EXPECT_EQ(imported->system.numEquations, 30);
  EXPECT_EQ(imported->system.numUnknowns, 5);

  ProjectState state;
  state.projectText = imported->projectText;
  Result<ImportedAdjustment> adjusted = RunImportedAdjustment(imported->system, CalcOptions{}, state, "", {});
  ASSERT_TRUE(adjusted.ok()) << adjusted.error();
  const AdjustmentOutput& out = adjusted->output;

  // Least squares spreads the 5 cm over points 2 and 6 and shows only part of it in the
  // residual; the robust estimators keep every correction within the noise of the truth and
  // put the whole error in its residual.
  EXPECT_GT(std::fabs(out.leastSquares.corrections[1]), 0.003);
  EXPECT_GT(std::fabs(out.leastSquares.corrections[5]), 0.003);
  EXPECT_GT(out.leastSquares.residuals[9], -0.046);
  EXPECT_GT(out.robust.lp->kurtosis, 3.0);
  for (const RobustEstimate* estimate :
       {&*out.robust.huber, static_cast<const RobustEstimate*>(&*out.robust.lp), &*out.robust.l1}) {
    for (int j = 1; j <= 5; ++j) EXPECT_LT(std::fabs(estimate->corrections[static_cast<std::size_t>(j)]), 0.003) << j;
    EXPECT_NEAR(estimate->residuals[9], -0.05, 0.004);
  }
  EXPECT_LT(out.robust.huber->weights[9], 0.1);
  EXPECT_EQ(out.resultsHeaderText, "");
  EXPECT_NE(out.robustComparisonText.find("beta2 ="), std::string::npos);
}

}  // namespace
}  // namespace korvo
