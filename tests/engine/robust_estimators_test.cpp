// The reweighted step, the Huber, adapted Lp and L1 estimators and the robust stage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "common/win1252.h"
#include "engine/adjustment_driver.h"
#include "engine/decorrelate.h"
#include "engine/kernels.h"
#include "engine/least_squares.h"
#include "engine/reweighted_step.h"
#include "engine/robust_stage.h"
#include "support/engine_cases.h"
#include "support/matrices.h"
#include "support/networks.h"
#include "support/recorders.h"

namespace korvo {
namespace {

using testing::Column;
using testing::Diagonal;
using M = RobustMethod;
const double kUnchecked = std::numeric_limits<double>::quiet_NaN();

std::vector<double> Same(std::size_t n, double value) { return std::vector<double>(n + 1, value); }

// One unknown observed directly: the mean of `values`, unit weights.
ObservationSystem Mean(const std::vector<double>& values) {
  return testing::Imported(Column(std::vector<double>(values.size(), 1.0)), values, Diagonal(Same(values.size(), 1.0)));
}

// One unknown reached only by row 1; every other row's residual is minus its term, whatever
// the weights, so the residuals are exact and known beforehand.
ObservationSystem DetachedRows(const std::vector<double>& residualsOfOtherRows, double weight = 1.0) {
  Matrix a(static_cast<int>(residualsOfOtherRows.size()) + 1, 1);
  a(1, 1) = 1.0;
  std::vector<double> k{2.5};
  for (double r : residualsOfOtherRows) k.push_back(-r);
  return testing::Imported(a, k, Diagonal(Same(k.size(), weight)));
}

// The network-shaped system with a gross error of 0.5 in row 4.
ObservationSystem Blundered() {
  ObservationSystem system = testing::NetworkShapedSystem(5, 30, 4, 21);
  system.k(4, 1) += 0.5;
  return system;
}

DecorrelatedSystem Decorrelated(const ObservationSystem& system) {
  Result<DecorrelatedSystem> d = DecorrelateSystem(system);
  EXPECT_TRUE(d.ok()) << (d.ok() ? "" : d.error());
  return std::move(d).value();
}

// One estimator by its method (Huber's and L1's results with kurtosis 0) and the iteration
// counter texts it showed.
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

Outcome Estimate(M method, const DecorrelatedSystem& d, int limit, int passBound = kMaxRobustPasses) {
  testing::ProgressRecorder recorder;
  const auto lim = static_cast<std::int16_t>(limit);
  Outcome run;
  if (method == M::Huber) run.result = AsLp(EstimateHuber(d, recorder.Sink(), FastKernels(), passBound));
  if (method == M::Lp) run.result = EstimateLp(d, lim, recorder.Sink(), FastKernels(), passBound);
  if (method == M::L1) run.result = AsLp(EstimateL1(d, lim, recorder.Sink(), FastKernels(), passBound));
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
  EXPECT_EQ(LpWeight(123.0, 2.0), 1.0);
  EXPECT_DOUBLE_EQ(LpWeight(15.999999, 1.25), 0.125);  // 16^(−0.75)
  EXPECT_EQ(L1Weight(0.0), 1000000.0);
  EXPECT_DOUBLE_EQ(L1Weight(0.001), 1000.0);
  EXPECT_EQ(L1Weight(-4.0), 0.25);
  // β2 = (n − m)·Σu⁴/(Σu²)² with u = v·√s: residuals 0, 0, 1 over 3 degrees of freedom give
  // 3, with s = 4 too (u doubles); u = (1, 2) over 2 give 2·17/25.
  EXPECT_EQ(*ResidualKurtosis({0.0, 0.0, 0.0, 1.0}, {0.0, 1.0, 1.0, 1.0}, 3), 3.0);
  EXPECT_EQ(*ResidualKurtosis({0.0, 0.0, 0.0, 1.0}, {0.0, 4.0, 4.0, 4.0}, 3), 3.0);
  EXPECT_DOUBLE_EQ(*ResidualKurtosis({0.0, 0.5, 1.0}, {0.0, 4.0, 4.0}, 2), 34.0 / 25.0);
  EXPECT_FALSE(ResidualKurtosis({0.0, 0.0, 0.0}, {0.0, 1.0, 1.0}, 2).ok());
}

// Without large residuals, or stopped by a limit of 0 after the first pass (unit factors),
// every estimator ends on the least-squares solution.
TEST(RobustEstimators, WithoutOutliersTheyEndOnTheLeastSquaresSolution) {
  struct Case {
    const char* name;
    ObservationSystem system;
    M method;
    int limit, iterations;
    bool limitReached, unitWeights;
    double kurtosisTolerance;  // β2 = 3 and p = 2 within it; NaN: not checked
    double closedFormX;        // x1 worked by hand; NaN: none
  } cases[] = {
      // Every residual within 1.5 a-priori deviations (σ ≥ 2 mm, terms below 3 mm).
      {"Huber, nothing beyond the bound", testing::NetworkShapedSystem(5, 30, 0, 8), M::Huber, -1, 1, false, true, kUnchecked,
       kUnchecked},
      {"Lp, residuals 0, 0, 1 over 3 degrees of freedom", DetachedRows({0.0, 0.0, 1.0}), M::Lp, 10, 1, false, true,
       0.0, kUnchecked},
      // Residuals −4, 0, 0, 0, 0, 0, 4: 6·512/32² = 3.
      {"Lp, a mean of seven", Mean({14.0, 10.0, 10.0, 10.0, 10.0, 10.0, 6.0}), M::Lp, 10, 1, false, false, 1e-12, 10.0},
      {"Lp, limit 0", Blundered(), M::Lp, 0, 0, true, true, kUnchecked, kUnchecked},
      {"L1, limit 0, correlated baselines", testing::NetworkShapedSystem(6, 25, 5, 3), M::L1, 0, 0, true, true, kUnchecked,
       kUnchecked},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LeastSquaresResults ls = SolveLeastSquares(c.system).value();
    for (int i = 1; c.method == M::Huber && i <= c.system.numEquations; ++i)
      ASSERT_LT(std::fabs(ls.residuals[static_cast<std::size_t>(i)]), 1.5 / std::sqrt(c.system.P(i, i)));
    const Outcome run = Estimate(c.method, Decorrelated(c.system), c.limit);
    ASSERT_TRUE(run.result.ok()) << run.result.error();
    const LpEstimate& e = *run.result;
    EXPECT_EQ(e.iterations, c.iterations);
    EXPECT_EQ(run.passes, PassTexts(c.iterations + 1));
    EXPECT_EQ(e.iterationLimitReached, c.limitReached);
    for (std::size_t i = 1; c.unitWeights && i < e.weights.size(); ++i) EXPECT_EQ(e.weights[i], 1.0) << i;
    if (!std::isnan(c.kurtosisTolerance)) {
      EXPECT_NEAR(e.kurtosis, 3.0, c.kurtosisTolerance);
      EXPECT_NEAR(e.exponent, 2.0, c.kurtosisTolerance);
    }
    if (!std::isnan(c.closedFormX)) { EXPECT_NEAR(e.corrections[1], c.closedFormX, 1e-12); }
    for (std::size_t j = 1; j < ls.corrections.size(); ++j) EXPECT_NEAR(e.corrections[j], ls.corrections[j], 1e-12);
    for (std::size_t i = 1; i < ls.residuals.size(); ++i) EXPECT_NEAR(e.residuals[i], ls.residuals[i], 1e-12);
    EXPECT_NEAR(e.sigma, ls.sigmaZero, 1e-12 * (1.0 + ls.sigmaZero));
  }
}

TEST(RobustEstimators, DetachedRowsWorkedByHand) {
  // s = 4 (deviation 0.5): row 3 has residual 5, ten deviations; the detached residuals do
  // not move, so the scale settles at once.
  const LpEstimate huber = *Estimate(M::Huber, Decorrelated(DetachedRows({0.1, 5.0, -0.2}, 4.0)), -1).result;
  EXPECT_EQ(huber.iterations, 1);
  EXPECT_EQ(huber.weights, (std::vector<double>{1.0, 1.0, 1.0, 0.15, 1.0}));  // Huber: 1.5/(5·√4) = 0.15
  // σ = √((4·10⁻¹⁰ + 9·10⁻¹⁰)/2) ≈ 2.5·10⁻⁵ < 0.0001: settled against the starting 0.
  const Outcome settled = Estimate(M::Huber, Decorrelated(DetachedRows({2e-5, -3e-5})), -1);
  EXPECT_EQ(settled.passes, PassTexts(1));
  EXPECT_EQ(settled.result->iterations, 0);
  EXPECT_NEAR(settled.result->sigma, std::sqrt(13e-10 / 2.0), 1e-18);
  EXPECT_NEAR(settled.result->residuals[3], -3e-5, 1e-18);
  EXPECT_NEAR(settled.result->corrections[1], 2.5, 1e-15);
  // Residuals 0, 0, 0, 0, 0, 1: β2 = 6·1/1², p = 1.25, and the second pass weighs with
  // (|v′| + 10⁻⁶)^(−0.75).
  const LpEstimate lp = *Estimate(M::Lp, Decorrelated(DetachedRows({0.0, 0.0, 0.0, 0.0, 0.0, 1.0})), 10).result;
  EXPECT_EQ(lp.kurtosis, 6.0);
  EXPECT_EQ(lp.exponent, 1.25);
  EXPECT_DOUBLE_EQ(lp.weights[2], std::pow(1e-6, -0.75));
  EXPECT_DOUBLE_EQ(lp.weights[7], std::pow(1.000001, -0.75));
}

// The mean of 0, 0, 0 and 10 with unit weights: x = Σw·y/Σw, v = x − y, σ = √(Σv²/3). The
// pass sequences were worked out from the algorithms alone (pass by pass, in double
// precision, outside Korvo); each stopping difference is well clear of 0.0001.
//  - Huber: x = 2.5, 1, 10/19, ...; at the fixed point the good rows are inside the bound and
//    the outlier has w = 1.5/(10 − x): 3x = 1.5, x = 0.5, σ = √(91/3). The scale changes by
//    6.1e-4 and then 3.0e-5, so the sixth pass (counter 5) stops the loop.
//  - L1: x tends to the median 0; the scale change falls to 6.5e-5 exactly on the pass with
//    counter 10 = the limit, so the loop ends there with the limit reached.
//  - Lp: first pass v = (2.5, 2.5, 2.5, −7.5), β2 = 3·3281.25/75² = 1.75, p = 1 + 144/49.
//    Weights growing with the residual swing the solution between the others (x = 0,
//    σ = √(100/3), even counters) and the outlier (x = 10, σ = 10): the scale never settles
//    and only the limit ends the loop.
TEST(RobustEstimators, WholeLoopsOnAMeanWithOneOutlier) {
  const struct Case {
    M method;
    int limit, iterations;
    double x, v4, sigma, tolerance;
  } cases[] = {
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
    EXPECT_NEAR(e.residuals[1], c.x, c.tolerance);
    EXPECT_NEAR(e.residuals[4], c.v4, c.tolerance);
    EXPECT_NEAR(e.sigma, c.sigma, c.tolerance);
    if (c.method == M::Huber) { EXPECT_NEAR(e.sigma, std::sqrt(91.0 / 3.0), 1e-4); }
    if (c.method == M::Lp) { EXPECT_DOUBLE_EQ(e.kurtosis, 1.75); }
    if (c.method == M::Lp) { EXPECT_DOUBLE_EQ(e.exponent, 1.0 + 144.0 / 49.0); }
  }
}

// A limit L ≥ 0 makes at most L + 1 passes and is reached when the counter gets there; a loop
// without a limit of its own (Huber, or a negative limit) stops at the pass bound and says so.
TEST(RobustEstimators, IterationLimitsAndPassBounds) {
  const struct Case {
    const char* name;
    M method;
    int limit, passBound;
    bool limitReached;
  } cases[] = {
      {"Huber settles in 3 or more rounds", M::Huber, -1, kMaxRobustPasses, false},
      {"Huber within 3 passes", M::Huber, -1, 3, true},
      {"L1 without a limit settles in 3 or more rounds", M::L1, -1, kMaxRobustPasses, false},
      {"L1 with a limit of 3, so reaches it", M::L1, 3, kMaxRobustPasses, true},
      {"L1 without a limit within 2 passes", M::L1, -1, 2, true},
      {"Lp without a limit within 2 passes", M::Lp, -1, 2, true},
  };
  const DecorrelatedSystem d = Decorrelated(Blundered());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome run = Estimate(c.method, d, c.limit, c.passBound);
    ASSERT_TRUE(run.result.ok()) << run.result.error();
    const int passes = static_cast<int>(run.passes.size());
    EXPECT_EQ(run.passes, PassTexts(run.result->iterations + 1));
    EXPECT_EQ(run.result->iterationLimitReached, c.limitReached);
    if (c.limitReached) { EXPECT_EQ(passes, c.limit >= 0 ? c.limit + 1 : c.passBound); }
    if (!c.limitReached) { EXPECT_GE(passes, 4); }
  }
}

double Distance(const std::vector<double>& x, const std::vector<double>& y) {
  double sum = 0.0;
  for (std::size_t i = 1; i < x.size(); ++i) sum += (x[i] - y[i]) * (x[i] - y[i]);
  return std::sqrt(sum);
}

double MedianOfOthers(const std::vector<double>& w, int except) {
  std::vector<double> others;
  for (std::size_t i = 1; i < w.size(); ++i)
    if (static_cast<int>(i) != except) others.push_back(w[i]);
  std::sort(others.begin(), others.end());
  return others[others.size() / 2];
}

// Levelling-like network, all rows in metres with σ = 1 mm: heights of 5 points against a
// fixed one, every pair observed once. The approximate heights are the true ones, so the
// true corrections are 0 and k is the measuring noise plus the planted blunders.
ObservationSystem HeightNetwork(const std::vector<std::pair<int, double>>& blunders) {
  Matrix a(15, 5);
  std::vector<double> k;
  for (int from = 0, i = 1; from < 6; ++from)
    for (int to = from + 1; to < 6; ++to, ++i) {
      if (from > 0) a(i, from) = -1.0;
      a(i, to) = 1.0;
      k.push_back(0.0008 * std::sin(1.7 * i + 0.3));
    }
  for (const auto& [row, size] : blunders) k[static_cast<std::size_t>(row - 1)] += size;
  return testing::Imported(a, k, Diagonal(Same(15, 1e6)));
}

// GPS baselines only (a single kind of observation, metres): a 4 x 4 grid joined along rows,
// columns and diagonals, vertex 1 fixed, noise of a few millimetres and a gross error of
// 0.25 m in the ΔX of baseline 6-7, whose first row is `blunderRow`.
testnet::Builder GpsOnlyNetwork(int& blunderRow) {
  testnet::Builder b;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) b.AddVertex(4 * r + c + 1, r + c == 0, 900.0 * c, 800.0 * r, 10.0 * (r + c));
  b.PlaceVertices(0.05, 4);
  std::mt19937 gen(9);
  std::normal_distribution<double> noise(0.0, 0.003);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      const int from = 4 * r + c + 1;
      for (int to : {c < 3 ? from + 1 : 0, r < 3 ? from + 4 : 0, r < 3 && c < 3 ? from + 5 : 0}) {
        if (to == 0) continue;
        if (from == 6 && to == 7) blunderRow = 3 * static_cast<int>(b.model.baselines.size()) + 1;
        const double dx = noise(gen) + (from == 6 && to == 7 ? 0.25 : 0.0);
        b.AddBaseline(from, to, 0.004, dx, noise(gen), noise(gen));
      }
    }
  return b;
}

// The corrections that bring every approximate coordinate to its true value.
std::vector<double> TrueCorrections(const testnet::Builder& b, const ObservationSystem& system) {
  std::vector<double> x{0.0};
  for (int j = 1; j <= system.numUnknowns; ++j) {
    const SystemUnknown& u = system.layout.unknowns[static_cast<std::size_t>(j)];
    const testnet::Xyz& t = b.truth[static_cast<std::size_t>(u.vertex)].truth;
    const NetworkVertex& v = b.model.vertices[static_cast<std::size_t>(u.vertex)];
    x.push_back(u.kind == UnknownKind::CoordinateX ? t.x - v.xM : u.kind == UnknownKind::CoordinateY ? t.y - v.yM : t.z - v.zM);
  }
  return x;
}

// A planted blunder is found: the estimate lies nearer the truth than least squares, the
// rotated rows of the blundered observation get a weight far below the usual one, and the
// back-rotated residual shows the error with the opposite sign.
TEST(RobustEstimators, GrossErrorsAreFoundAndDownWeighted) {
  int gpsRow = 0;
  const testnet::Builder gps = GpsOnlyNetwork(gpsRow);
  const ObservationSystem gpsSystem = FormObservationSystem(gps.model, CalcOptions{}).value();
  ASSERT_EQ(gpsSystem.numUnknowns, 45);  // coordinates only
  const struct Case {
    const char* name;
    ObservationSystem system;
    std::vector<double> truth;                     // true corrections
    std::vector<std::pair<int, double>> blunders;  // first row of the observation, planted error
    int rowsPerObservation;
    double shareOfLeastSquaresError, residualTolerance;  // NaN: residuals not checked
    std::vector<M> methods;
  } cases[] = {
      {"two in heights", HeightNetwork({{3, 0.05}, {11, -0.03}}), Same(5, 0.0), {{3, 0.05}, {11, -0.03}}, 1, 0.5,
       0.01, {M::Huber}},
      {"one in heights", HeightNetwork({{7, 0.04}}), Same(5, 0.0), {{7, 0.04}}, 1, 1.0, kUnchecked, {M::Lp, M::L1}},
      {"one in a baseline", gpsSystem, TrueCorrections(gps, gpsSystem), {{gpsRow, 0.25}}, 3, 0.5, 0.03,
       {M::Huber, M::Lp, M::L1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LeastSquaresResults ls = SolveLeastSquares(c.system).value();
    const DecorrelatedSystem d = Decorrelated(c.system);
    for (M method : c.methods) {
      SCOPED_TRACE(static_cast<int>(method));
      const Outcome run = Estimate(method, d, 10);
      ASSERT_TRUE(run.result.ok()) << run.result.error();
      const LpEstimate& e = *run.result;
      EXPECT_LT(Distance(e.corrections, c.truth), c.shareOfLeastSquaresError * Distance(ls.corrections, c.truth));
      if (method == M::Lp) { EXPECT_GT(e.kurtosis, 3.0); }  // a heavy tail
      if (method == M::Lp) { EXPECT_LT(e.exponent, 2.0); }
      for (const auto& [row, size] : c.blunders) {
        double smallest = e.weights[static_cast<std::size_t>(row)];
        for (int r = row; r < row + c.rowsPerObservation; ++r) smallest = std::min(smallest, e.weights[static_cast<std::size_t>(r)]);
        EXPECT_LT(smallest, 0.1 * MedianOfOthers(e.weights, row));
        if (method == M::Huber) { EXPECT_GT(MedianOfOthers(e.weights, row), 0.5); }
        if (!std::isnan(c.residualTolerance) && method != M::Lp) {
          EXPECT_NEAR(e.residuals[static_cast<std::size_t>(row)], -size, c.residualTolerance);
        }
      }
    }
  }
}

TEST(RobustEstimators, FailuresCarryTheirMessages) {
  Matrix unreached(3, 2);
  unreached(1, 1) = unreached(2, 1) = unreached(3, 1) = 1.0;  // the second unknown is in no row
  // Residuals of 1e200 square beyond the largest double: the scale is not finite and the
  // estimator stops with its message instead of carrying infinities into the weights.
  const std::string nonFinite =
      Cp1252(" ¡Los métodos de estimación robusta han llegado a valores no numéricos (pesos desmesurados)! \r\n"
             " Desactívelos en las opciones de cálculo. ");
  const struct Case {
    const char* name;
    ObservationSystem system;
    M method;
    std::string message;
  } cases[] = {
      {"no redundancy", testing::Imported(testing::Identity(2), {1.0, 2.0}, testing::Identity(2)), M::Huber,
       NoRedundancyMessage()},
      {"singular normal matrix", testing::Imported(unreached, {1.0, 2.0, 3.0}, testing::Identity(3)), M::Huber,
       kSingularMatrixMessage},
      {"every residual zero", DetachedRows({0.0, 0.0, 0.0}), M::Lp, UndefinedKurtosis()},
      {"scale not finite, Huber", DetachedRows({1e200, -1e200, 0.0}), M::Huber, nonFinite},
      {"scale not finite, Lp", DetachedRows({1e200, -1e200, 0.0}), M::Lp, nonFinite},
      {"scale not finite, L1", DetachedRows({1e200, -1e200, 0.0}), M::L1, nonFinite},
  };
  for (const Case& c : cases) {
    const Outcome run = Estimate(c.method, Decorrelated(c.system), 10);
    ASSERT_FALSE(run.result.ok()) << c.name;
    EXPECT_EQ(run.result.error(), c.message) << c.name;
  }
}

TEST(RobustStage, StatusTextsProgressAndEstimatorsLeftOut) {
  CalcOptions all, none, onlyL1, onlyLp, huberAndL1;
  none.useHuber = none.useLp = none.useL1 = huberAndL1.useLp = false;
  onlyL1 = onlyLp = none;
  onlyL1.useL1 = onlyLp.useLp = true;
  onlyL1.maxIterL1 = 0;
  // Weights that are not positive definite cannot be decorrelated.
  const ObservationSystem notPositive = testing::Imported(Column({1, 1, 1, 1}), {1, 2, 3, 4}, Diagonal({0, 1, 1, -1, 1}));
  const Result<DecorrelatedSystem> rotated = DecorrelateSystem(notPositive);
  ASSERT_FALSE(rotated.ok());
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
      {"all three", Blundered(), all, {S, H, "", Lp, "", L1, ""}, true, true, true, {}},
      {"none", Blundered(), none, {S, "", "", ""}, false, false, false, {}},
      {"L1 with limit 0", Blundered(), onlyL1, {S, "", "", L1, ""}, false, false, true, {}},
      // Lp cannot measure its kurtosis and is left out; Huber and L1 still run, under the same
      // status texts and progress values as ever.
      {"zero residuals", zero, all, {S, H, "", Lp, "", L1, ""}, true, false, true, {{M::Lp, UndefinedKurtosis()}}},
      {"zero residuals, Lp alone", zero, onlyLp, {S, "", Lp, "", ""}, false, false, false, {{M::Lp, UndefinedKurtosis()}}},
      {"failed decorrelation", notPositive, huberAndL1, {S, H, "", "", L1, ""}, false, false, false,
       {{M::Huber, rotated.error()}, {M::L1, rotated.error()}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::ProgressRecorder recorder;
    const RobustResults results = RunRobustEstimators(c.system, c.options, recorder.Sink());
    EXPECT_EQ(recorder.statuses, c.statuses);
    EXPECT_EQ(recorder.progress, (std::vector<int>{75, 85, 95}));
    EXPECT_EQ(results.huber.has_value(), c.huber);
    EXPECT_EQ(results.lp.has_value(), c.lp);
    EXPECT_EQ(results.l1.has_value(), c.l1);
    EXPECT_EQ(results.Any(), c.huber || c.lp || c.l1);
    EXPECT_EQ(results.AnySelected(), c.options.useHuber || c.options.useLp || c.options.useL1);
    ASSERT_EQ(results.leftOut.size(), c.leftOut.size());
    for (std::size_t i = 0; i < c.leftOut.size(); ++i) {
      EXPECT_EQ(results.leftOut[i].method, c.leftOut[i].method);
      EXPECT_EQ(results.leftOut[i].reason, c.leftOut[i].reason);
    }
    // Every pass shows its counter, from " 0"; Lp measures its kurtosis after its first pass.
    // Zero residuals stay zero.
    std::size_t passes = 0;
    for (const RobustEstimate* e : {results.huber ? &*results.huber : nullptr,
                                    results.lp ? static_cast<const RobustEstimate*>(&*results.lp) : nullptr,
                                    results.l1 ? &*results.l1 : nullptr}) {
      if (e == nullptr) continue;
      passes += static_cast<std::size_t>(e->iterations) + 1;
      for (std::size_t i = 1; c.system.k == zero.k && i < e->residuals.size(); ++i) EXPECT_EQ(e->residuals[i], 0.0);
    }
    for (const LeftOutEstimator& l : results.leftOut) passes += l.reason == UndefinedKurtosis() ? 1 : 0;
    EXPECT_EQ(recorder.iterations.size(), passes);
    if (passes > 0) { EXPECT_EQ(recorder.iterations.front(), " 0"); }
    if (c.options.maxIterL1 == 0) { EXPECT_TRUE(results.l1->iterationLimitReached); }
  }
}

}  // namespace
}  // namespace korvo
