#pragma once
// The three robust estimators, each an iteratively reweighted least-squares loop on the
// decorrelated system (engine/reweighted_step.h):
//
//  - Huber (an M-estimator): a rotated row whose residual exceeds 1.5 a-priori standard
//    deviations gets the weight factor c_i/|v′_i| with c_i = 1.5/√s_i, the others 1. The
//    tuning constant multiplies the a-priori deviation of the row, not the current scale.
//  - Adapted Lp norms: the exponent p = 1 + 9/β2² comes from the kurtosis β2 of the
//    standardized residuals of the first (least-squares) pass, so normal residuals (β2 = 3)
//    give p = 2 (least squares) and heavier tails p < 2; weight factors (|v′_i| + 10⁻⁶)^(p−2).
//  - L1 norm: weight factors 1/|v′_i| (10⁶ for an exact zero).
//
// Every loop ends when the scale changes by less than 0.0001 between passes, Lp and L1 also
// when their counter reaches the user's iteration limit. A loop with no limit of its own
// (Huber, or Lp and L1 with a negative limit) stops after kMaxRobustPasses passes and says so.
// The first pass always uses unit factors and therefore reproduces least squares.

#include <cstdint>
#include <vector>

#include "common/progress.h"
#include "common/result.h"
#include "engine/decorrelate.h"
#include "engine/kernels.h"
#include "engine/reweighted_step.h"

namespace korvo {

// Bound on the passes of a loop that has no iteration limit of its own.
inline constexpr int kMaxRobustPasses = 1000;
// Absolute change of the scale below which a loop has settled.
inline constexpr double kScaleTolerance = 0.0001;
// Huber's tuning constant, in a-priori standard deviations of the row.
inline constexpr double kHuberTuning = 1.5;
// Keeps the Lp and L1 weights finite for a zero residual.
inline constexpr double kZeroResidualGuard = 0.000001;

// The results of one robust estimator (its last pass).
struct RobustEstimate {
  std::vector<double> corrections;  // index 1..m, same unknowns and units as least squares
  std::vector<double> residuals;    // index 1..n, back-rotated to the observations (m or cc)
  double sigma = 0.0;               // √(v′ᵀSv′ / (n − m)) of the last pass
  std::vector<double> weights;      // index 1..n, the factors W of the rotated rows in the last pass
  int iterations = 0;               // completed reweighting rounds (16-bit in range)
  // The loop stopped on its iteration limit rather than because the scale settled, in the
  // sense the report prints: for Lp and L1 with a limit ≥ 0, iterations ≥ limit; otherwise
  // the pass bound was reached.
  bool iterationLimitReached = false;
};

struct LpEstimate : RobustEstimate {
  double kurtosis = 0.0;  // β2 of the least-squares residuals
  double exponent = 2.0;  // p
};

// Weight factor of a rotated row with residual v′ (m or cc) and a-priori weight s.
double HuberWeight(double rotatedResidual, double aprioriWeight);
// p = 1 + 9/β2².
double LpExponent(double kurtosis);
// (|v′| + 10⁻⁶)^(p − 2).
double LpWeight(double rotatedResidual, double exponent);
// 1/|v′|, 10⁶ for an exact zero.
double L1Weight(double rotatedResidual);
// β2 = (n − m)·Σ s_i²v′_i⁴ / (Σ s_i v′_i²)², summed in increasing i; nothing when every
// residual is zero.
Result<double> ResidualKurtosis(const std::vector<double>& rotatedResiduals, const std::vector<double>& aprioriWeights,
                                int degreesOfFreedom);

// A decorrelated system as the reweighting loops see it, held densely
// (engine/decorrelate.h) or compressed (engine/sparse_robust.h).
class ReweightingSystem {
 public:
  virtual ~ReweightingSystem() = default;
  virtual int Equations() const = 0;   // n
  virtual int Unknowns() const = 0;    // m
  // s_i, the a-priori weights of the rotated rows, index 1..n.
  virtual const std::vector<double>& AprioriWeights() const = 0;
  // One pass with the factors w_i (index 1..n); robustQxx may be left empty.
  virtual Result<ReweightedPass> Pass(const std::vector<double>& robustWeights) const = 0;
  // Rotated residuals back to the observations.
  virtual std::vector<double> BackRotate(const std::vector<double>& rotated) const = 0;
};

// Each reports its iteration counter to status panel 2 (" 0", " 1", ...) at every pass.
// Failures: "Matriz singular", a system without redundancy, residuals that leave the
// kurtosis undefined (Lp). `passBound` replaces kMaxRobustPasses (for tests).
Result<RobustEstimate> EstimateHuber(const DecorrelatedSystem& system, const ProgressSink& progress,
                                     const MatrixKernels& kernels = FastKernels(), int passBound = kMaxRobustPasses);
Result<LpEstimate> EstimateLp(const DecorrelatedSystem& system, std::int16_t maxIterations,
                              const ProgressSink& progress, const MatrixKernels& kernels = FastKernels(),
                              int passBound = kMaxRobustPasses);
Result<RobustEstimate> EstimateL1(const DecorrelatedSystem& system, std::int16_t maxIterations,
                                  const ProgressSink& progress, const MatrixKernels& kernels = FastKernels(),
                              int passBound = kMaxRobustPasses);

// The same loops on any decorrelated system.
Result<RobustEstimate> EstimateHuber(const ReweightingSystem& system, const ProgressSink& progress,
                                     int passBound = kMaxRobustPasses);
Result<LpEstimate> EstimateLp(const ReweightingSystem& system, std::int16_t maxIterations,
                              const ProgressSink& progress, int passBound = kMaxRobustPasses);
Result<RobustEstimate> EstimateL1(const ReweightingSystem& system, std::int16_t maxIterations,
                                  const ProgressSink& progress, int passBound = kMaxRobustPasses);

// The dense system seen through ReweightingSystem, passes run with `kernels`.
class DenseReweighting : public ReweightingSystem {
 public:
  DenseReweighting(const DecorrelatedSystem& system, const MatrixKernels& kernels) : system_(system), kernels_(kernels) {}
  int Equations() const override { return system_.numEquations; }
  int Unknowns() const override { return system_.numUnknowns; }
  const std::vector<double>& AprioriWeights() const override { return system_.rotatedWeights(); }
  Result<ReweightedPass> Pass(const std::vector<double>& robustWeights) const override {
    return RunReweightedStep(system_, robustWeights, kernels_);
  }
  std::vector<double> BackRotate(const std::vector<double>& rotated) const override {
    return korvo::BackRotate(system_.decomposition, rotated);
  }

 private:
  const DecorrelatedSystem& system_;
  MatrixKernels kernels_;
};

}  // namespace korvo
