// The reweighted step and the Huber, adapted Lp and L1 estimators.
#include <gtest/gtest.h>

#include "support/recorders.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "common/win1252.h"
#include "engine/decorrelate.h"
#include "engine/kernels.h"
#include "engine/least_squares.h"
#include "engine/observation_system.h"
#include "engine/reweighted_step.h"
#include "engine/robust_estimators.h"
#include "engine/robust_stage.h"
#include "engine/adjustment_driver.h"
#include "support/networks.h"

namespace korvo {
namespace {

ObservationSystem MakeSystem(const Matrix& a, const std::vector<double>& k, const Matrix& p) {
  Matrix kColumn(a.rows(), 1);
  for (int i = 1; i <= a.rows(); ++i) kColumn(i, 1) = k[static_cast<std::size_t>(i)];
  return ImportedObservationSystem(a, kColumn, p, a.rows(), a.cols());
}

Matrix DiagonalWeights(const std::vector<double>& s) {
  const int n = static_cast<int>(s.size()) - 1;
  Matrix p(n, n);
  for (int i = 1; i <= n; ++i) p(i, i) = s[static_cast<std::size_t>(i)];
  return p;
}

// One unknown reached only by row 1; every other row's residual is minus its term, whatever
// the weights, so the residuals are exact and known beforehand.
ObservationSystem DetachedRows(const std::vector<double>& residualsOfOtherRows, double weight = 1.0) {
  const int n = static_cast<int>(residualsOfOtherRows.size()) + 1;
  Matrix a(n, 1);
  a(1, 1) = 1.0;
  std::vector<double> k(static_cast<std::size_t>(n) + 1, 0.0);
  k[1] = 2.5;
  for (int i = 2; i <= n; ++i) k[static_cast<std::size_t>(i)] = -residualsOfOtherRows[static_cast<std::size_t>(i - 2)];
  return MakeSystem(a, k, DiagonalWeights(std::vector<double>(static_cast<std::size_t>(n) + 1, weight)));
}

DecorrelatedSystem Decorrelated(const ObservationSystem& system) {
  Result<DecorrelatedSystem> d = DecorrelateSystem(system);
  EXPECT_TRUE(d.ok());
  return std::move(d).value();
}

Matrix RandomSpd3(std::mt19937& gen) {
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  Matrix g(3, 3), p(3, 3);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) g(i, j) = u(gen);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      for (int l = 1; l <= 3; ++l) p(i, j) += g(l, i) * g(l, j);
      if (i == j) p(i, j) += 0.3;
    }
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) p(i, j) *= 1e4;  // baseline weights, 1/m²
  return p;
}

// A network-shaped system: classical rows reaching a few unknowns each, then baselines whose
// three rows reach the coordinates of two vertices, with a full 3 × 3 weight block each.
ObservationSystem NetworkShapedSystem(int vertices, int classical, int baselines, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::uniform_int_distribution<int> pick(0, vertices - 1);
  const int m = 3 * vertices;
  const int n = classical + 3 * baselines;
  Matrix a(n, m), p(n, n);
  std::vector<double> k(static_cast<std::size_t>(n) + 1);
  for (int i = 1; i <= classical; ++i) {
    const int from = pick(gen), to = pick(gen);
    for (int c = 1; c <= 3; ++c) {
      a(i, 3 * from + c) += u(gen);
      a(i, 3 * to + c) += u(gen);
    }
    p(i, i) = 1.0 / (0.002 + 0.001 * std::fabs(u(gen)));
    k[static_cast<std::size_t>(i)] = 0.003 * u(gen);
  }
  for (int b = 0; b < baselines; ++b) {
    const int from = b % vertices, to = (b * 7 + 3) % vertices == from ? (from + 1) % vertices : (b * 7 + 3) % vertices;
    const Matrix block = RandomSpd3(gen);
    for (int c = 1; c <= 3; ++c) {
      const int row = classical + 3 * b + c;
      a(row, 3 * from + c) = -1.0;
      a(row, 3 * to + c) = 1.0;
      k[static_cast<std::size_t>(row)] = 0.004 * u(gen);
      for (int d = 1; d <= 3; ++d) p(row, classical + 3 * b + d) = block(c, d);
    }
  }
  return MakeSystem(a, k, p);
}

// ---- weight functions ----------------------------------------------------------------

TEST(RobustWeights, KnownValues) {
  // s = 4: a-priori deviation 0.5, Huber's bound 0.75.
  EXPECT_DOUBLE_EQ(HuberWeight(5.0, 4.0), 0.15);   // 10 a-priori deviations
  EXPECT_DOUBLE_EQ(HuberWeight(-5.0, 4.0), 0.15);
  EXPECT_EQ(HuberWeight(0.75, 4.0), 1.0);          // on the bound: c/|v| = 1
  EXPECT_EQ(HuberWeight(0.7, 4.0), 1.0);
  EXPECT_EQ(HuberWeight(0.0, 4.0), 1.0);

  EXPECT_EQ(LpExponent(3.0), 2.0);
  EXPECT_EQ(LpExponent(6.0), 1.25);
  EXPECT_NEAR(LpExponent(1.8), 1.0 + 9.0 / 3.24, 1e-15);  // ≈ 3.78, weights grow with the residual
  EXPECT_EQ(LpWeight(123.0, 2.0), 1.0);
  EXPECT_DOUBLE_EQ(LpWeight(15.999999, 1.25), 0.125);      // 16^(−0.75)
  EXPECT_DOUBLE_EQ(LpWeight(0.0, 1.25), std::pow(1e-6, -0.75));
  EXPECT_GT(LpWeight(2.0, 1.0 + 9.0 / 3.24), LpWeight(1.0, 1.0 + 9.0 / 3.24));

  EXPECT_EQ(L1Weight(0.0), 1000000.0);
  EXPECT_DOUBLE_EQ(L1Weight(0.001), 1000.0);
  EXPECT_EQ(L1Weight(-4.0), 0.25);
}

TEST(RobustWeights, KurtosisOfStandardizedResiduals) {
  // (n − m)·Σu⁴/(Σu²)² with u = v·√s: residuals 0, 0, 1 over 3 degrees of freedom give 3;
  // with s = 4 the standardized values double and β2 does not change.
  const std::vector<double> v = {0.0, 0.0, 0.0, 1.0};
  EXPECT_EQ(*ResidualKurtosis(v, {0.0, 1.0, 1.0, 1.0}, 3), 3.0);
  EXPECT_EQ(*ResidualKurtosis(v, {0.0, 4.0, 4.0, 4.0}, 3), 3.0);
  // u = (1, 2): 2·17/25.
  EXPECT_DOUBLE_EQ(*ResidualKurtosis({0.0, 0.5, 1.0}, {0.0, 4.0, 4.0}, 2), 34.0 / 25.0);
  EXPECT_FALSE(ResidualKurtosis({0.0, 0.0, 0.0}, {0.0, 1.0, 1.0}, 2).ok());
}

// ---- the reweighted step -------------------------------------------------------------

TEST(ReweightedStep, FirstPassReproducesLeastSquares) {
  const ObservationSystem system = NetworkShapedSystem(6, 25, 5, 3);
  Result<LeastSquaresResults> ls = SolveLeastSquares(system);
  ASSERT_TRUE(ls.ok()) << ls.error();
  const DecorrelatedSystem d = Decorrelated(system);
  Result<ReweightedPass> pass =
      RunReweightedStep(d, std::vector<double>(static_cast<std::size_t>(system.numEquations) + 1, 1.0));
  ASSERT_TRUE(pass.ok()) << pass.error();
  for (int j = 1; j <= system.numUnknowns; ++j)
    EXPECT_NEAR(pass->corrections[static_cast<std::size_t>(j)], ls->corrections[static_cast<std::size_t>(j)], 1e-11);
  EXPECT_NEAR(pass->sigma, ls->sigmaZero, 1e-11 * ls->sigmaZero);
  const std::vector<double> v = BackRotate(d.decomposition, pass->rotatedResiduals);
  for (int i = 1; i <= system.numEquations; ++i)
    EXPECT_NEAR(v[static_cast<std::size_t>(i)], ls->residuals[static_cast<std::size_t>(i)], 1e-11);
}

// The step exactly as the plain dense kernels form it: full S, W, S·W, A′ᵀ, B, N′, ...
ReweightedPass DenseStep(const DecorrelatedSystem& d, const std::vector<double>& w) {
  const int n = d.numEquations, m = d.numUnknowns;
  Matrix s(n, n), weights(n, n), kRot(n, 1);
  for (int i = 1; i <= n; ++i) {
    s(i, i) = d.rotatedWeights()[static_cast<std::size_t>(i)];
    weights(i, i) = w[static_cast<std::size_t>(i)];
    kRot(i, 1) = d.rotatedTerms[static_cast<std::size_t>(i)];
  }
  const Matrix effective = MultiplyMatricesDense(s, weights, n, n, n);
  const Matrix at = TransposeMatrix(d.rotatedDesign, n, m);
  const Matrix b = MultiplyMatricesDense(at, effective, m, n, n);
  const Matrix normal = MultiplyMatricesDense(b, d.rotatedDesign, m, n, m);
  ReweightedPass pass;
  pass.robustQxx = InvertMatrixDense(normal, m).value();
  const Matrix bk = MultiplyMatricesDense(b, kRot, m, n, 1);
  const Matrix x = MultiplyMatricesDense(pass.robustQxx, bk, m, m, 1);
  const Matrix ax = MultiplyMatricesDense(d.rotatedDesign, x, n, m, 1);
  Matrix vRow(1, n), vColumn(n, 1);
  pass.corrections.assign(static_cast<std::size_t>(m) + 1, 0.0);
  pass.rotatedResiduals.assign(static_cast<std::size_t>(n) + 1, 0.0);
  for (int j = 1; j <= m; ++j) pass.corrections[static_cast<std::size_t>(j)] = x(j, 1);
  for (int i = 1; i <= n; ++i) {
    pass.rotatedResiduals[static_cast<std::size_t>(i)] = ax(i, 1) - kRot(i, 1);
    vRow(1, i) = vColumn(i, 1) = ax(i, 1) - kRot(i, 1);
  }
  const Matrix vs = MultiplyMatricesDense(vRow, s, 1, n, n);
  const Matrix vsv = MultiplyMatricesDense(vs, vColumn, 1, n, 1);
  pass.sigma = std::sqrt(vsv(1, 1) / (n - m));
  return pass;
}

TEST(ReweightedStep, BitForBitTheDenseKernelsOnAMidSizeNetwork) {
  const ObservationSystem system = NetworkShapedSystem(20, 160, 30, 17);  // n = 250, m = 60
  const DecorrelatedSystem d = Decorrelated(system);
  // The rotation against the dense product with R = Vᵀ.
  const Matrix r = TransposeMatrix(d.decomposition.DenseVectors(), system.numEquations, system.numEquations);
  EXPECT_EQ(d.rotatedDesign,
            MultiplyMatricesDense(r, system.A, system.numEquations, system.numEquations, system.numUnknowns));

  std::mt19937 gen(5);
  std::uniform_real_distribution<double> u(0.05, 1.0);
  std::vector<double> w(static_cast<std::size_t>(system.numEquations) + 1, 1.0);
  for (int round = 0; round < 2; ++round) {
    const ReweightedPass fast = RunReweightedStep(d, w).value();
    const ReweightedPass dense = DenseStep(d, w);
    EXPECT_EQ(fast.corrections, dense.corrections);
    EXPECT_EQ(fast.rotatedResiduals, dense.rotatedResiduals);
    EXPECT_EQ(fast.sigma, dense.sigma);
    EXPECT_EQ(fast.robustQxx, dense.robustQxx);
    // The engine's own dense mode is the same reference.
    const ReweightedPass engineDense = RunReweightedStep(d, w, DenseKernels()).value();
    EXPECT_EQ(engineDense.corrections, dense.corrections);
    EXPECT_EQ(engineDense.sigma, dense.sigma);
    for (std::size_t i = 1; i < w.size(); ++i) w[i] = u(gen);
  }
}

TEST(ReweightedStep, SystemWithoutRedundancyIsRefused) {
  Matrix a(2, 2);
  a(1, 1) = a(2, 2) = 1.0;
  const ObservationSystem system = MakeSystem(a, {0.0, 1.0, 2.0}, DiagonalWeights({0.0, 1.0, 1.0}));
  Result<ReweightedPass> pass = RunReweightedStep(Decorrelated(system), {0.0, 1.0, 1.0});
  ASSERT_FALSE(pass.ok());
  EXPECT_EQ(pass.error(), NoRedundancyMessage());
  EXPECT_FALSE(EstimateHuber(Decorrelated(system), {}).ok());
}

TEST(ReweightedStep, SingularNormalMatrixIsAFailure) {
  Matrix a(3, 2);
  a(1, 1) = a(2, 1) = a(3, 1) = 1.0;  // the second unknown is reached by no row
  const ObservationSystem system = MakeSystem(a, {0.0, 1.0, 2.0, 3.0}, DiagonalWeights({0.0, 1.0, 1.0, 1.0}));
  Result<RobustEstimate> huber = EstimateHuber(Decorrelated(system), {});
  ASSERT_FALSE(huber.ok());
  EXPECT_EQ(huber.error(), kSingularMatrixMessage);
}

// ---- loops ---------------------------------------------------------------------------

TEST(Huber, NoLargeResidualEndsAfterTwoPassesWithLeastSquares) {
  const ObservationSystem system = NetworkShapedSystem(5, 30, 0, 8);
  const LeastSquaresResults ls = SolveLeastSquares(system).value();
  // Every residual within 1.5 a-priori deviations (σ ≥ 2 mm, terms below 3 mm).
  for (int i = 1; i <= system.numEquations; ++i)
    ASSERT_LT(std::fabs(ls.residuals[static_cast<std::size_t>(i)]), 1.5 / std::sqrt(system.P(i, i)));
  testing::ProgressRecorder recorder;
  const RobustEstimate huber = EstimateHuber(Decorrelated(system), recorder.Sink()).value();
  EXPECT_EQ(huber.iterations, 1);
  EXPECT_EQ(recorder.iterations, (std::vector<std::string>{" 0", " 1"}));
  EXPECT_FALSE(huber.iterationLimitReached);
  for (std::size_t i = 1; i < huber.weights.size(); ++i) EXPECT_EQ(huber.weights[i], 1.0);
  for (int j = 1; j <= system.numUnknowns; ++j)
    EXPECT_NEAR(huber.corrections[static_cast<std::size_t>(j)], ls.corrections[static_cast<std::size_t>(j)], 1e-12);
  for (int i = 1; i <= system.numEquations; ++i)
    EXPECT_NEAR(huber.residuals[static_cast<std::size_t>(i)], ls.residuals[static_cast<std::size_t>(i)], 1e-12);
  EXPECT_NEAR(huber.sigma, ls.sigmaZero, 1e-12);
}

TEST(Huber, ResidualOfTenDeviationsGetsWeightPointFifteen) {
  // s = 4 (deviation 0.5): row 3 has residual 5.
  const ObservationSystem system = DetachedRows({0.1, 5.0, -0.2}, 4.0);
  const RobustEstimate huber = EstimateHuber(Decorrelated(system), {}).value();
  EXPECT_EQ(huber.iterations, 1);  // the detached residuals do not move: the scale settles at once
  EXPECT_DOUBLE_EQ(huber.weights[3], 0.15);
  EXPECT_EQ(huber.weights[2], 1.0);
  EXPECT_EQ(huber.weights[4], 1.0);
}

TEST(Huber, ScaleBelowTheToleranceStopsAfterOnePass) {
  // σ = √((4·10⁻¹⁰ + 9·10⁻¹⁰)/2) ≈ 2.5·10⁻⁵ < 0.0001: settled against the starting 0.
  const ObservationSystem system = DetachedRows({2e-5, -3e-5});
  testing::ProgressRecorder recorder;
  const RobustEstimate huber = EstimateHuber(Decorrelated(system), recorder.Sink()).value();
  EXPECT_EQ(huber.iterations, 0);
  EXPECT_EQ(recorder.iterations, std::vector<std::string>{" 0"});
  EXPECT_NEAR(huber.sigma, std::sqrt(13e-10 / 2.0), 1e-18);
  EXPECT_NEAR(huber.residuals[3], -3e-5, 1e-18);
  EXPECT_NEAR(huber.corrections[1], 2.5, 1e-15);
}

TEST(Huber, PassBoundStopsTheLoopAndSaysSo) {
  const ObservationSystem system = NetworkShapedSystem(5, 30, 4, 21);
  // A gross error in row 4.
  ObservationSystem blundered = system;
  blundered.k(4, 1) += 0.5;
  const DecorrelatedSystem d = Decorrelated(blundered);
  const RobustEstimate free = EstimateHuber(d, {}).value();
  ASSERT_GE(free.iterations, 3);
  EXPECT_FALSE(free.iterationLimitReached);
  testing::ProgressRecorder recorder;
  const RobustEstimate bounded = EstimateHuber(d, recorder.Sink(), FastKernels(), 3).value();
  EXPECT_EQ(recorder.iterations.size(), 3u);
  EXPECT_EQ(bounded.iterations, 2);
  EXPECT_TRUE(bounded.iterationLimitReached);
}

TEST(Lp, KurtosisThreeEndsAfterTwoPassesWithLeastSquares) {
  // Exactly: residuals 0, 0, 1 over 3 degrees of freedom.
  {
    const ObservationSystem system = DetachedRows({0.0, 0.0, 1.0});
    testing::ProgressRecorder recorder;
    const LpEstimate lp = EstimateLp(Decorrelated(system), 10, recorder.Sink()).value();
    EXPECT_EQ(lp.kurtosis, 3.0);
    EXPECT_EQ(lp.exponent, 2.0);
    EXPECT_EQ(lp.iterations, 1);
    EXPECT_EQ(recorder.iterations.size(), 2u);
    EXPECT_FALSE(lp.iterationLimitReached);
    for (std::size_t i = 1; i < lp.weights.size(); ++i) EXPECT_EQ(lp.weights[i], 1.0);
  }
  // A mean of seven values whose residuals are −4, 0, 0, 0, 0, 0, 4: 6·512/32² = 3.
  Matrix a(7, 1);
  std::vector<double> k = {0.0, 14.0, 10.0, 10.0, 10.0, 10.0, 10.0, 6.0};
  for (int i = 1; i <= 7; ++i) a(i, 1) = 1.0;
  const ObservationSystem system = MakeSystem(a, k, DiagonalWeights(std::vector<double>(8, 1.0)));
  const LeastSquaresResults ls = SolveLeastSquares(system).value();
  const LpEstimate lp = EstimateLp(Decorrelated(system), 10, {}).value();
  EXPECT_NEAR(lp.kurtosis, 3.0, 1e-12);
  EXPECT_EQ(lp.iterations, 1);
  EXPECT_NEAR(lp.corrections[1], 10.0, 1e-12);
  EXPECT_NEAR(lp.corrections[1], ls.corrections[1], 1e-12);
  EXPECT_NEAR(lp.sigma, ls.sigmaZero, 1e-12);
}

TEST(Lp, KurtosisSixGivesExponentOneAndAQuarter) {
  const ObservationSystem system = DetachedRows({0.0, 0.0, 0.0, 0.0, 0.0, 1.0});  // 6·1/1²
  const LpEstimate lp = EstimateLp(Decorrelated(system), 10, {}).value();
  EXPECT_EQ(lp.kurtosis, 6.0);
  EXPECT_EQ(lp.exponent, 1.25);
  // The second pass weighs with (|v′| + 10⁻⁶)^(−0.75).
  EXPECT_DOUBLE_EQ(lp.weights[2], std::pow(1e-6, -0.75));
  EXPECT_DOUBLE_EQ(lp.weights[7], std::pow(1.000001, -0.75));
}

TEST(Lp, AllResidualsZeroIsReportedInsteadOfAnUndefinedKurtosis) {
  const ObservationSystem system = DetachedRows({0.0, 0.0, 0.0});
  Result<LpEstimate> lp = EstimateLp(Decorrelated(system), 10, {});
  ASSERT_FALSE(lp.ok());
  EXPECT_NE(lp.error().find("curtosis"), std::string::npos);
}

TEST(RobustLimits, ZeroIterationsMakeOnePassAndReachTheLimit) {
  ObservationSystem system = NetworkShapedSystem(5, 30, 4, 21);
  system.k(4, 1) += 0.5;
  const DecorrelatedSystem d = Decorrelated(system);
  const LeastSquaresResults ls = SolveLeastSquares(system).value();
  testing::ProgressRecorder lpRecorder, l1Recorder;
  const LpEstimate lp = EstimateLp(d, 0, lpRecorder.Sink()).value();
  const RobustEstimate l1 = EstimateL1(d, 0, l1Recorder.Sink()).value();
  EXPECT_EQ(lpRecorder.iterations, std::vector<std::string>{" 0"});
  EXPECT_EQ(l1Recorder.iterations, std::vector<std::string>{" 0"});
  EXPECT_EQ(lp.iterations, 0);
  EXPECT_EQ(l1.iterations, 0);
  EXPECT_TRUE(lp.iterationLimitReached);
  EXPECT_TRUE(l1.iterationLimitReached);
  for (int j = 1; j <= system.numUnknowns; ++j) {
    EXPECT_NEAR(lp.corrections[static_cast<std::size_t>(j)], ls.corrections[static_cast<std::size_t>(j)], 1e-10);
    EXPECT_NEAR(l1.corrections[static_cast<std::size_t>(j)], ls.corrections[static_cast<std::size_t>(j)], 1e-10);
  }

  // A limit of 3 makes at most 4 passes; reached when the counter gets there.
  testing::ProgressRecorder three;
  const RobustEstimate l1Three = EstimateL1(d, 3, three.Sink()).value();
  EXPECT_LE(three.iterations.size(), 4u);
  EXPECT_EQ(l1Three.iterationLimitReached, l1Three.iterations >= 3);

  // A negative limit runs until the scale settles, within the pass bound.
  const RobustEstimate l1Free = EstimateL1(d, -1, {}).value();
  EXPECT_FALSE(l1Free.iterationLimitReached);
  testing::ProgressRecorder bounded;
  const RobustEstimate l1Bounded = EstimateL1(d, -1, bounded.Sink(), FastKernels(), 2).value();
  EXPECT_EQ(bounded.iterations.size(), 2u);
  EXPECT_TRUE(l1Bounded.iterationLimitReached);
}

// ---- gross errors --------------------------------------------------------------------

// Levelling-like network, all rows in metres with σ = 1 mm: heights of 5 points against a
// fixed one, every pair observed once. The approximate heights are the true ones, so the
// true corrections are 0 and k is the measuring noise plus the planted blunders.
ObservationSystem HeightNetwork(const std::vector<std::pair<int, double>>& blunders) {
  const int points = 6;
  std::vector<std::pair<int, int>> pairs;
  for (int a = 0; a < points; ++a)
    for (int b = a + 1; b < points; ++b) pairs.emplace_back(a, b);
  const int n = static_cast<int>(pairs.size());
  Matrix a(n, points - 1), p(n, n);
  std::vector<double> k(static_cast<std::size_t>(n) + 1);
  for (int i = 1; i <= n; ++i) {
    const auto [from, to] = pairs[static_cast<std::size_t>(i - 1)];
    if (from > 0) a(i, from) = -1.0;
    a(i, to) = 1.0;
    p(i, i) = 1e6;
    k[static_cast<std::size_t>(i)] = 0.0008 * std::sin(1.7 * i + 0.3);
  }
  for (const auto& [row, size] : blunders) k[static_cast<std::size_t>(row)] += size;
  return MakeSystem(a, k, p);
}

double Norm(const std::vector<double>& x) {
  double sum = 0.0;
  for (std::size_t i = 1; i < x.size(); ++i) sum += x[i] * x[i];
  return std::sqrt(sum);
}

double MedianOfOthers(const std::vector<double>& w, int except) {
  std::vector<double> others;
  for (std::size_t i = 1; i < w.size(); ++i)
    if (static_cast<int>(i) != except) others.push_back(w[i]);
  std::sort(others.begin(), others.end());
  return others[others.size() / 2];
}

TEST(GrossErrors, HuberIsCloserToTheTruthAndDownweightsTheBlunders) {
  const ObservationSystem system = HeightNetwork({{3, 0.05}, {11, -0.03}});
  const LeastSquaresResults ls = SolveLeastSquares(system).value();
  const RobustEstimate huber = EstimateHuber(Decorrelated(system), {}).value();
  EXPECT_LT(Norm(huber.corrections), 0.5 * Norm(ls.corrections));
  EXPECT_LT(huber.weights[3], 0.1);
  EXPECT_LT(huber.weights[11], 0.1);
  EXPECT_GT(MedianOfOthers(huber.weights, 3), 0.5);
  // The blunders show in the residuals, with the opposite sign of the error.
  EXPECT_NEAR(huber.residuals[3], -0.05, 0.01);
  EXPECT_NEAR(huber.residuals[11], 0.03, 0.01);
}

TEST(GrossErrors, LpAndL1GiveASingleBlunderASmallWeight) {
  const ObservationSystem system = HeightNetwork({{7, 0.04}});
  const DecorrelatedSystem d = Decorrelated(system);
  const LeastSquaresResults ls = SolveLeastSquares(system).value();
  const LpEstimate lp = EstimateLp(d, 10, {}).value();
  const RobustEstimate l1 = EstimateL1(d, 10, {}).value();
  EXPECT_GT(lp.kurtosis, 3.0);  // a heavy tail
  EXPECT_LT(lp.exponent, 2.0);
  EXPECT_LT(lp.weights[7], 0.1 * MedianOfOthers(lp.weights, 7));
  EXPECT_LT(l1.weights[7], 0.1 * MedianOfOthers(l1.weights, 7));
  EXPECT_LT(Norm(lp.corrections), Norm(ls.corrections));
  EXPECT_LT(Norm(l1.corrections), Norm(ls.corrections));
}

// ---- whole loops worked out independently ---------------------------------------------------

// The mean of 0, 0, 0 and 10 with unit weights: x = Σw·y/Σw, v = x − y, σ = √(Σv²/3). The
// pass sequences below were worked out from the algorithms alone (pass by pass, in double
// precision, outside Korvo); each stopping difference is well clear of 0.0001.
ObservationSystem MeanWithOneOutlier() {
  Matrix a(4, 1);
  for (int i = 1; i <= 4; ++i) a(i, 1) = 1.0;
  return MakeSystem(a, {0.0, 0.0, 0.0, 0.0, 10.0}, DiagonalWeights({0.0, 1.0, 1.0, 1.0, 1.0}));
}

TEST(WholeLoops, HuberSettlesOnItsFixedPointAfterFiveRounds) {
  // Passes: x = 2.5, 1, 10/19, ...; the fixed point has the three good rows inside the bound
  // and the outlier at w = 1.5/(10 − x): 3x = 1.5, x = 0.5, σ = √(91/3). The scale changes by
  // 6.1e-4 and then 3.0e-5, so the sixth pass (counter 5) stops the loop.
  testing::ProgressRecorder recorder;
  const RobustEstimate huber = EstimateHuber(Decorrelated(MeanWithOneOutlier()), recorder.Sink()).value();
  EXPECT_EQ(huber.iterations, 5);
  EXPECT_EQ(recorder.iterations, (std::vector<std::string>{" 0", " 1", " 2", " 3", " 4", " 5"}));
  EXPECT_FALSE(huber.iterationLimitReached);
  EXPECT_NEAR(huber.corrections[1], 0.5000032986099658, 1e-12);
  EXPECT_NEAR(huber.residuals[1], 0.5000032986099658, 1e-12);
  EXPECT_NEAR(huber.residuals[4], -9.499996701390033, 1e-12);
  EXPECT_NEAR(huber.sigma, 5.507568950159531, 1e-12);
  EXPECT_NEAR(huber.sigma, std::sqrt(91.0 / 3.0), 1e-4);
}

TEST(WholeLoops, L1ConvergingOnItsLimitStillReachesIt) {
  // x tends to the median 0; the scale change falls to 6.5e-5 exactly on the pass with
  // counter 10 = the limit, so the loop ends there with the limit reached.
  const RobustEstimate l1 = EstimateL1(Decorrelated(MeanWithOneOutlier()), 10, {}).value();
  EXPECT_EQ(l1.iterations, 10);
  EXPECT_TRUE(l1.iterationLimitReached);
  EXPECT_NEAR(l1.corrections[1], 5.6449974033011895e-05, 1e-12);
  EXPECT_NEAR(l1.residuals[4], -9.999943550025966, 1e-12);
  EXPECT_NEAR(l1.sigma, 5.773470100764523, 1e-12);
}

TEST(WholeLoops, LpWithLightTailsRunsToItsLimit) {
  // First pass v = (2.5, 2.5, 2.5, −7.5): Σv⁴ = 3281.25, Σv² = 75, β2 = 3·3281.25/75² = 1.75,
  // p = 1 + 9/1.75² = 1 + 144/49. Weights growing with the residual swing the solution
  // between the outlier and the others: the scale never settles and the limit of 10 ends it.
  const LpEstimate lp = EstimateLp(Decorrelated(MeanWithOneOutlier()), 10, {}).value();
  EXPECT_DOUBLE_EQ(lp.kurtosis, 1.75);
  EXPECT_DOUBLE_EQ(lp.exponent, 1.0 + 144.0 / 49.0);
  EXPECT_EQ(lp.iterations, 10);
  EXPECT_TRUE(lp.iterationLimitReached);
  EXPECT_NEAR(lp.corrections[1], 0.0, 1e-9);
  EXPECT_NEAR(lp.residuals[4], -10.0, 1e-9);
  EXPECT_NEAR(lp.sigma, std::sqrt(100.0 / 3.0), 1e-9);
}

// ---- networks formed from observations ------------------------------------------------------

TEST(ReweightedStep, BitForBitTheDenseKernelsOnAFormedNetwork) {
  const testnet::Builder network = testnet::GridNetwork(4, 5, 1, true, 1.0, 3);
  const ObservationSystem system = FormObservationSystem(network.model, CalcOptions{}).value();
  ASSERT_GT(system.numEquations, 200);
  ASSERT_GT(system.gpsCount, 0);
  const DecorrelatedSystem d = Decorrelated(system);
  const Matrix r = TransposeMatrix(d.decomposition.DenseVectors(), system.numEquations, system.numEquations);
  EXPECT_EQ(d.rotatedDesign,
            MultiplyMatricesDense(r, system.A, system.numEquations, system.numEquations, system.numUnknowns));
  // The weights of the second Huber pass.
  std::vector<double> w(static_cast<std::size_t>(system.numEquations) + 1, 1.0);
  const ReweightedPass first = RunReweightedStep(d, w).value();
  for (int i = 1; i <= system.numEquations; ++i)
    w[static_cast<std::size_t>(i)] =
        HuberWeight(first.rotatedResiduals[static_cast<std::size_t>(i)], d.rotatedWeights()[static_cast<std::size_t>(i)]);
  const ReweightedPass fast = RunReweightedStep(d, w).value();
  const ReweightedPass dense = DenseStep(d, w);
  EXPECT_EQ(fast.corrections, dense.corrections);
  EXPECT_EQ(fast.rotatedResiduals, dense.rotatedResiduals);
  EXPECT_EQ(fast.sigma, dense.sigma);
}

// Positions after the corrections minus the true positions, over the unknown vertices.
double PositionError(const testnet::Builder& network, const std::vector<double>& corrections) {
  double sum = 0.0;
  int c = 0;
  for (std::size_t v = 0; v < network.model.vertices.size(); ++v) {
    const NetworkVertex& vertex = network.model.vertices[v];
    if (!vertex.IsUnknown()) continue;
    const testnet::Xyz& truth = network.truth[v].truth;
    const double e[3] = {vertex.xM + corrections[static_cast<std::size_t>(3 * c + 1)] - truth.x,
                         vertex.yM + corrections[static_cast<std::size_t>(3 * c + 2)] - truth.y,
                         vertex.zM + corrections[static_cast<std::size_t>(3 * c + 3)] - truth.z};
    sum += e[0] * e[0] + e[1] * e[1] + e[2] * e[2];
    ++c;
  }
  return std::sqrt(sum);
}

// GPS baselines only (a single kind of observation, metres): a 4 x 4 grid joined along rows,
// columns and diagonals, vertex 1 fixed, noise of a few millimetres and one gross error of
// 0.25 m in the ΔX of one baseline.
TEST(GrossErrors, GpsOnlyNetworkWithOneBlunder) {
  testnet::Builder b;
  const int side = 4;
  for (int r = 0; r < side; ++r)
    for (int c = 0; c < side; ++c) b.AddVertex(r * side + c + 1, r == 0 && c == 0, 900.0 * c, 800.0 * r, 10.0 * (r + c));
  b.PlaceVertices(0.05, 4);
  std::mt19937 gen(9);
  std::normal_distribution<double> noise(0.0, 0.003);
  int blunderBaseline = -1;
  for (int r = 0; r < side; ++r)
    for (int c = 0; c < side; ++c) {
      const int from = r * side + c + 1;
      const int targets[3] = {c + 1 < side ? from + 1 : 0, r + 1 < side ? from + side : 0,
                              (r + 1 < side && c + 1 < side) ? from + side + 1 : 0};
      for (int to : targets) {
        if (to == 0) continue;
        double dx = noise(gen);
        if (from == 6 && to == 7) {
          dx += 0.25;
          blunderBaseline = static_cast<int>(b.model.baselines.size());
        }
        b.AddBaseline(from, to, 0.004, dx, noise(gen), noise(gen));
      }
    }
  ASSERT_GE(blunderBaseline, 0);
  const ObservationSystem system = FormObservationSystem(b.model, CalcOptions{}).value();
  const DecorrelatedSystem d = Decorrelated(system);
  const LeastSquaresResults ls = SolveLeastSquares(system).value();
  const RobustEstimate huber = EstimateHuber(d, {}).value();
  const LpEstimate lp = EstimateLp(d, 10, {}).value();
  const RobustEstimate l1 = EstimateL1(d, 10, {}).value();

  const double lsError = PositionError(b, ls.corrections);
  EXPECT_LT(PositionError(b, huber.corrections), 0.5 * lsError);
  EXPECT_LT(PositionError(b, lp.corrections), 0.5 * lsError);
  EXPECT_LT(PositionError(b, l1.corrections), 0.5 * lsError);
  EXPECT_GT(lp.kurtosis, 3.0);

  // The rotated rows of the blundered baseline carry the error: the smallest of their
  // weights is far below the usual weight.
  const int firstRow = 3 * blunderBaseline + 1;
  for (const RobustEstimate* estimate : {&huber, static_cast<const RobustEstimate*>(&lp), &l1}) {
    double smallest = estimate->weights[static_cast<std::size_t>(firstRow)];
    for (int row = firstRow; row < firstRow + 3; ++row) smallest = std::min(smallest, estimate->weights[static_cast<std::size_t>(row)]);
    EXPECT_LT(smallest, 0.1 * MedianOfOthers(estimate->weights, firstRow));
  }
  // And the back-rotated residual of the blundered component shows the error.
  EXPECT_NEAR(huber.residuals[static_cast<std::size_t>(firstRow)], -0.25, 0.03);
  EXPECT_NEAR(l1.residuals[static_cast<std::size_t>(firstRow)], -0.25, 0.03);
}

// Residuals of 1e200 square beyond the largest double: the scale is not finite and the
// estimator stops with its message instead of carrying infinities into the weights.
TEST(RobustEstimators, NonFiniteScaleEndsTheEstimatorWithItsMessage) {
  const DecorrelatedSystem d = Decorrelated(DetachedRows({1e200, -1e200, 0.0}));
  const std::string message =
      Cp1252(" ¡Los métodos de estimación robusta han llegado a valores no numéricos (pesos desmesurados)! \r\n"
             " Desactívelos en las opciones de cálculo. ");
  const Result<RobustEstimate> huber = EstimateHuber(d, {});
  ASSERT_FALSE(huber.ok());
  EXPECT_EQ(huber.error(), message);
  const Result<RobustEstimate> l1 = EstimateL1(d, 10, {});
  ASSERT_FALSE(l1.ok());
  EXPECT_EQ(l1.error(), message);
}

// ---- the robust stage of the pipeline ------------------------------------------------------

TEST(RobustStage, StatusTextsAndProgressInOrder) {
  const ObservationSystem system = NetworkShapedSystem(5, 30, 4, 21);
  testing::ProgressRecorder all;
  const RobustResults results = RunRobustEstimators(system, CalcOptions{}, all.Sink());
  EXPECT_TRUE(results.huber && results.lp && results.l1);
  EXPECT_EQ(all.statuses, (std::vector<std::string>{SolvingRobustStatus(), HuberStatus(), "", LpStatus(), "",
                                                    L1Status(), ""}));
  EXPECT_EQ(all.progress, (std::vector<int>{75, 85, 95}));
  EXPECT_EQ(all.iterations.front(), " 0");
  EXPECT_EQ(static_cast<int>(all.iterations.size()),
            results.huber->iterations + 1 + results.lp->iterations + 1 + results.l1->iterations + 1);

  CalcOptions none;
  none.useHuber = none.useLp = none.useL1 = false;
  testing::ProgressRecorder off;
  const RobustResults nothing = RunRobustEstimators(system, none, off.Sink());
  EXPECT_FALSE(nothing.Any());
  EXPECT_EQ(off.statuses, (std::vector<std::string>{SolvingRobustStatus(), "", "", ""}));
  EXPECT_EQ(off.progress, (std::vector<int>{75, 85, 95}));
  EXPECT_TRUE(off.iterations.empty());

  CalcOptions onlyL1 = none;
  onlyL1.useL1 = true;
  onlyL1.maxIterL1 = 0;
  const RobustResults l1 = RunRobustEstimators(system, onlyL1, {});
  EXPECT_FALSE(l1.huber || l1.lp);
  ASSERT_TRUE(l1.l1);
  EXPECT_TRUE(l1.l1->iterationLimitReached);
}

// All residuals exactly zero: Lp cannot measure its kurtosis and is left out; Huber and L1
// still run, under the same status texts and progress values as ever.
TEST(RobustStage, AnEstimatorThatCannotRunIsLeftOutAndTheOthersRun) {
  const ObservationSystem system = DetachedRows({0.0, 0.0, 0.0});
  testing::ProgressRecorder recorder;
  const RobustResults results = RunRobustEstimators(system, CalcOptions{}, recorder.Sink());
  EXPECT_TRUE(results.huber && results.l1);
  EXPECT_FALSE(results.lp);
  EXPECT_TRUE(results.Any());
  EXPECT_TRUE(results.AnySelected());
  ASSERT_EQ(results.leftOut.size(), 1u);
  EXPECT_EQ(results.leftOut[0].method, RobustMethod::Lp);
  EXPECT_NE(results.leftOut[0].reason.find("curtosis"), std::string::npos);
  EXPECT_EQ(recorder.statuses, (std::vector<std::string>{SolvingRobustStatus(), HuberStatus(), "", LpStatus(), "",
                                                         L1Status(), ""}));
  EXPECT_EQ(recorder.progress, (std::vector<int>{75, 85, 95}));
  // Huber's and L1's residuals are those of least squares: zero.
  for (std::size_t i = 1; i <= 4; ++i) {
    EXPECT_EQ(results.huber->residuals[i], 0.0);
    EXPECT_EQ(results.l1->residuals[i], 0.0);
  }

  // Lp alone: nothing ran, but it was selected.
  CalcOptions onlyLp;
  onlyLp.useHuber = onlyLp.useL1 = false;
  const RobustResults lp = RunRobustEstimators(system, onlyLp, {});
  EXPECT_FALSE(lp.Any());
  EXPECT_TRUE(lp.AnySelected());
  ASSERT_EQ(lp.leftOut.size(), 1u);
  EXPECT_EQ(lp.leftOut[0].method, RobustMethod::Lp);
}

// Weights that are not positive definite cannot be decorrelated: every selected estimator is
// left out with that message, in the order Huber, Lp, L1, and the stage still ends at 95.
TEST(RobustStage, AFailedDecorrelationLeavesEverySelectedEstimatorOut) {
  Matrix a(4, 1);
  for (int i = 1; i <= 4; ++i) a(i, 1) = 1.0;
  const ObservationSystem system = MakeSystem(a, {0.0, 1.0, 2.0, 3.0, 4.0}, DiagonalWeights({0.0, 1.0, 1.0, -1.0, 1.0}));
  const Result<DecorrelatedSystem> rotated = DecorrelateSystem(system);
  ASSERT_FALSE(rotated.ok());
  CalcOptions huberAndL1;
  huberAndL1.useLp = false;
  testing::ProgressRecorder recorder;
  const RobustResults results = RunRobustEstimators(system, huberAndL1, recorder.Sink());
  EXPECT_FALSE(results.Any());
  ASSERT_EQ(results.leftOut.size(), 2u);
  EXPECT_EQ(results.leftOut[0].method, RobustMethod::Huber);
  EXPECT_EQ(results.leftOut[1].method, RobustMethod::L1);
  EXPECT_EQ(results.leftOut[0].reason, rotated.error());
  EXPECT_EQ(results.leftOut[1].reason, rotated.error());
  EXPECT_EQ(recorder.progress, (std::vector<int>{75, 85, 95}));
  EXPECT_EQ(recorder.statuses.back(), "");
}

TEST(RobustStage, WholeAdjustmentOfANetworkCarriesTheComparison) {
  const testnet::Builder network = testnet::GridNetwork(3, 4, 1, true, 1.0, 5);
  ProjectState state;
  state.projectText = "PROYECTO";
  const AdjustmentOutput out = RunAdjustment(network.model, CalcOptions{}, state, {}).value();
  ASSERT_TRUE(out.robust.huber && out.robust.lp && out.robust.l1);
  EXPECT_NE(out.robustComparisonText.find("Residuo Huber"), std::string::npos);
  EXPECT_NE(out.robustComparisonText.find("beta2 ="), std::string::npos);
  // One residual row per observation row, with four number columns.
  EXPECT_EQ(out.robust.huber->residuals.size(), static_cast<std::size_t>(out.system.numEquations) + 1);

  CalcOptions none;
  none.useHuber = none.useLp = none.useL1 = false;
  const AdjustmentOutput plain = RunAdjustment(network.model, none, state, {}).value();
  EXPECT_EQ(plain.robustComparisonText, "");
}

}  // namespace
}  // namespace korvo
