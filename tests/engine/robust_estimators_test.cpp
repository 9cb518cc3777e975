// The reweighted step, the Huber, adapted Lp and L1 estimators and the robust stage.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "common/win1252.h"
#include "engine/adjustment_driver.h"
#include "engine/decorrelate.h"
#include "engine/kernels.h"
#include "engine/reweighted_step.h"
#include "engine/robust_stage.h"
#include "support/engine_cases.h"
#include "support/matrices.h"
#include "support/recorders.h"

namespace korvo {
namespace {

using testing::Column;
using testing::Diagonal;
using M = RobustMethod;

// One unknown observed directly: the mean of `values`, unit weights.
ObservationSystem Mean(const std::vector<double>& values) {
  return testing::Imported(Column(std::vector<double>(values.size(), 1.0)), values,
                           Diagonal(std::vector<double>(values.size() + 1, 1.0)));
}

// One unknown reached only by row 1: every other row's residual is minus its term.
ObservationSystem DetachedRows(const std::vector<double>& residualsOfOtherRows, double weight = 1.0) {
  Matrix a(static_cast<int>(residualsOfOtherRows.size()) + 1, 1);
  a(1, 1) = 1.0;
  std::vector<double> k{2.5};
  for (double r : residualsOfOtherRows) k.push_back(-r);
  return testing::Imported(a, k, Diagonal(std::vector<double>(k.size() + 1, weight)));
}

DecorrelatedSystem Decorrelated(const ObservationSystem& system) {
  Result<DecorrelatedSystem> d = DecorrelateSystem(system);
  EXPECT_TRUE(d.ok()) << (d.ok() ? "" : d.error());
  return std::move(d).value();
}

// One estimator's result (Huber's and L1's with kurtosis 0) and the pass counters it showed.
struct Outcome {
  Result<LpEstimate> result = Failure{""};
  std::vector<std::string> passes;
};

Result<LpEstimate> AsLp(Result<RobustEstimate> r) {
  if (!r) return Failure{r.error()};
  LpEstimate e;
  static_cast<RobustEstimate&>(e) = std::move(r).value();
  return e;
}

Outcome Estimate(M method, const DecorrelatedSystem& d, int limit) {
  testing::ProgressRecorder recorder;
  const auto lim = static_cast<std::int16_t>(limit);
  Outcome run;
  if (method == M::Huber) run.result = AsLp(EstimateHuber(d, recorder.Sink(), FastKernels(), kMaxRobustPasses));
  if (method == M::Lp) run.result = EstimateLp(d, lim, recorder.Sink(), FastKernels(), kMaxRobustPasses);
  if (method == M::L1) run.result = AsLp(EstimateL1(d, lim, recorder.Sink(), FastKernels(), kMaxRobustPasses));
  run.passes = recorder.iterations;
  return run;
}

std::vector<std::string> PassTexts(int count) {
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) texts.push_back(" " + std::to_string(i));
  return texts;
}

std::string UndefinedKurtosis() {
  return Cp1252("El método de mínimas normas Lp adaptadas no puede determinar la curtosis de la distribución:\r\n"
                "todos los residuos de mínimos cuadrados son nulos.\r\nDesactive ese método en las opciones de cálculo.");
}

TEST(RobustWeights, HandValues) {
  // s = 4: a-priori deviation 0.5, Huber's bound 0.75; on the bound c/|v| = 1.
  EXPECT_DOUBLE_EQ(HuberWeight(-5.0, 4.0), 0.15);  // 10 a-priori deviations
  for (double v : {0.75, 0.7, 0.0}) EXPECT_EQ(HuberWeight(v, 4.0), 1.0) << v;
  EXPECT_EQ(LpExponent(3.0), 2.0);
  EXPECT_DOUBLE_EQ(LpWeight(15.999999, 1.25), 0.125);  // 16^(−0.75)
  EXPECT_EQ(std::pair(L1Weight(0.0), L1Weight(-4.0)), std::pair(1000000.0, 0.25));
  EXPECT_DOUBLE_EQ(L1Weight(0.001), 1000.0);
  // β2 = (n − m)·Σu⁴/(Σu²)², u = v·√s, worked by hand.
  EXPECT_EQ(*ResidualKurtosis({0.0, 0.0, 0.0, 1.0}, {0.0, 1.0, 1.0, 1.0}, 3), 3.0);
  EXPECT_DOUBLE_EQ(*ResidualKurtosis({0.0, 0.5, 1.0}, {0.0, 4.0, 4.0}, 2), 34.0 / 25.0);
  EXPECT_FALSE(ResidualKurtosis({0.0, 0.0, 0.0}, {0.0, 1.0, 1.0}, 2).ok());
}

TEST(RobustEstimators, DetachedRowsWorkedByHand) {
  // Detached residuals do not move, so the scale settles at once; weights worked by hand.
  const LpEstimate huber = *Estimate(M::Huber, Decorrelated(DetachedRows({0.1, 5.0, -0.2}, 4.0)), -1).result;
  EXPECT_EQ(huber.iterations, 1);
  EXPECT_EQ(huber.weights, (std::vector<double>{1.0, 1.0, 1.0, 0.15, 1.0}));  // Huber: 1.5/(5·√4) = 0.15
  // σ ≈ 2.5·10⁻⁵ < 0.0001: settled against the starting 0.
  const Outcome settled = Estimate(M::Huber, Decorrelated(DetachedRows({2e-5, -3e-5})), -1);
  EXPECT_EQ(std::pair(settled.passes, settled.result->iterations), std::pair(PassTexts(1), 0));
  EXPECT_NEAR(settled.result->sigma, std::sqrt(13e-10 / 2.0), 1e-18);
  EXPECT_NEAR(settled.result->residuals[3], -3e-5, 1e-18);
  EXPECT_NEAR(settled.result->corrections[1], 2.5, 1e-15);
}

// The mean of 0, 0, 0 and 10: pass sequences worked out independently from the algorithms
// (Python, double precision); Huber's fixed point x = 0.5, σ = √(91/3); Lp swings for ever.
TEST(RobustEstimators, WholeLoopsOnAMeanWithOneOutlier) {
  const struct Case { M method; int limit, iterations; double x, v4, sigma, tolerance; } cases[] = {
      {M::Huber, 10, 5, 0.5000032986099658, -9.499996701390033, 5.507568950159531, 1e-12},
      {M::L1, 10, 10, 5.6449974033011895e-05, -9.999943550025966, 5.773470100764523, 1e-12},
      {M::Lp, 10, 10, 0.0, -10.0, std::sqrt(100.0 / 3.0), 1e-9},
      {M::Lp, -1, kMaxRobustPasses - 1, 10.0, 0.0, 10.0, 1e-9},  // no limit: the pass bound of 1000
  };
  const DecorrelatedSystem d = Decorrelated(Mean({0.0, 0.0, 0.0, 10.0}));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.iterations);
    const Outcome run = Estimate(c.method, d, c.limit);
    ASSERT_TRUE(run.result.ok());
    const LpEstimate& e = *run.result;
    EXPECT_EQ(run.passes, PassTexts(c.iterations + 1));
    EXPECT_EQ(e.iterations, c.iterations);
    EXPECT_EQ(e.iterationLimitReached, c.method != M::Huber);
    EXPECT_NEAR(e.corrections[1], c.x, c.tolerance);
    EXPECT_NEAR(e.residuals[4], c.v4, c.tolerance);
    EXPECT_NEAR(e.sigma, c.sigma, c.tolerance);
    if (c.method == M::Lp) { EXPECT_EQ(std::pair(e.kurtosis, e.exponent), std::pair(1.75, 1.0 + 144.0 / 49.0)); }
  }
}

TEST(RobustEstimators, FailuresCarryTheirMessages) {
  // Residuals of 1e200 square beyond the largest double: the scale is not finite.
  const std::string nonFinite =
      Cp1252(" ¡Los métodos de estimación robusta han llegado a valores no numéricos (pesos desmesurados)! \r\n"
             " Desactívelos en las opciones de cálculo. ");
  const struct Case { const char* name; ObservationSystem system; M method; std::string message; } cases[] = {
      {"no redundancy", testing::Imported(testing::Identity(2), {1.0, 2.0}, testing::Identity(2)), M::Huber,
       NoRedundancyMessage()},
      // The second unknown is in no row.
      {"singular normal matrix",
       testing::Imported(testing::FromRows({{1, 0}, {1, 0}, {1, 0}}), {1.0, 2.0, 3.0}, testing::Identity(3)), M::Huber,
       kSingularMatrixMessage},
      {"every residual zero", DetachedRows({0.0, 0.0, 0.0}), M::Lp, UndefinedKurtosis()},
      {"scale not finite", DetachedRows({1e200, -1e200, 0.0}), M::L1, nonFinite},
  };
  for (const Case& c : cases) {
    const Outcome run = Estimate(c.method, Decorrelated(c.system), 10);
    ASSERT_FALSE(run.result.ok()) << c.name;
    EXPECT_EQ(run.result.error(), c.message) << c.name;
  }
}

TEST(RobustStage, StatusTextsProgressAndEstimatorsLeftOut) {
  CalcOptions all, huberAndL1;
  huberAndL1.useLp = false;
  ObservationSystem blundered = testing::NetworkShapedSystem(5, 30, 4, 21);
  blundered.k(4, 1) += 0.5;  // a gross error in row 4
  // Weights that are not positive definite cannot be decorrelated.
  const ObservationSystem notPositive = testing::Imported(Column({1, 1, 1, 1}), {1, 2, 3, 4}, Diagonal({0, 1, 1, -1, 1}));
  const std::string notPositiveMessage =
      Cp1252("¡ La matriz de pesos no es definida positiva !\r\nNo se pueden aplicar los métodos de estimación "
             "robusta: desactívelos en las opciones de cálculo.");
  const std::string S = SolvingRobustStatus(), H = HuberStatus(), Lp = LpStatus(), L1 = L1Status();
  const ObservationSystem zero = DetachedRows({0.0, 0.0, 0.0});  // every least-squares residual 0
  const struct Case {
    const char* name;
    ObservationSystem system;
    CalcOptions options;
    std::vector<std::string> statuses;
    bool huber, lp, l1;  // which ran
    std::vector<LeftOutEstimator> leftOut;
  } cases[] = {
      {"all three", blundered, all, {S, H, "", Lp, "", L1, ""}, true, true, true, {}},
      // Lp cannot measure its kurtosis and is left out; Huber and L1 still run.
      {"zero residuals", zero, all, {S, H, "", Lp, "", L1, ""}, true, false, true, {{M::Lp, UndefinedKurtosis()}}},
      {"failed decorrelation", notPositive, huberAndL1, {S, H, "", "", L1, ""}, false, false, false,
       {{M::Huber, notPositiveMessage}, {M::L1, notPositiveMessage}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::ProgressRecorder recorder;
    const RobustResults results = RunRobustEstimators(c.system, c.options, recorder.Sink());
    EXPECT_EQ(recorder.statuses, c.statuses);
    EXPECT_EQ(recorder.progress, (std::vector<int>{75, 85, 95}));
    EXPECT_EQ((std::array{results.huber.has_value(), results.lp.has_value(), results.l1.has_value()}), (std::array{c.huber, c.lp, c.l1}));
    EXPECT_EQ(results.AnySelected(), c.options.useHuber || c.options.useLp || c.options.useL1);
    ASSERT_EQ(results.leftOut.size(), c.leftOut.size());
    for (std::size_t i = 0; i < c.leftOut.size(); ++i) {
      EXPECT_EQ(results.leftOut[i].method, c.leftOut[i].method);
      EXPECT_EQ(results.leftOut[i].reason, c.leftOut[i].reason);
    }
  }
}

}  // namespace
}  // namespace korvo
