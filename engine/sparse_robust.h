#pragma once
// The robust estimators on a compressed system: the decorrelation block by block (each
// weight block rotated by its own eigenvectors, engine/svd.h) into a compressed rotated
// design, and reweighted passes that assemble and refactor the normal equations numerically
// on the one symbolic analysis made for the rotated pattern, which no reweighting changes.
//
// A pass agrees with the dense step (engine/reweighted_step.h) to rounding for the same
// weights, and Huber's loop follows the dense one pass for pass. The Lp and L1 weights
// (|v′| + 10⁻⁶)^(p − 2) and 1/|v′| amplify the rounding of near-zero residuals, so after a
// few passes their iterates depend on the summation order of either path; both are equally
// valid roundings of the same loop.

#include <memory>

#include "common/progress.h"
#include "common/result.h"
#include "engine/robust_estimators.h"
#include "engine/robust_stage.h"
#include "engine/sparse_normal.h"
#include "engine/sparse_system.h"
#include "engine/svd.h"
#include "network/calc_options.h"

namespace korvo {

class SparseReweighting : public ReweightingSystem {
 public:
  // Rotates the system. Fails when a weight block is not positive definite.
  static Result<std::unique_ptr<SparseReweighting>> Decorrelate(const SparseSystem& system);

  int Equations() const override { return design_.rows; }
  int Unknowns() const override { return design_.cols; }
  const std::vector<double>& AprioriWeights() const override { return decomposition_.singularValues; }
  Result<ReweightedPass> Pass(const std::vector<double>& robustWeights) const override;
  std::vector<double> BackRotate(const std::vector<double>& rotated) const override;

  const SparseDesign& RotatedDesign() const { return design_; }
  const std::vector<double>& RotatedTerms() const { return terms_; }

 private:
  WeightDecomposition decomposition_;
  SparseDesign design_;        // A′: each rotated row on the union of its block's columns
  std::vector<double> terms_;  // k′, 1..n
  mutable NormalEquations normal_;
};

// RunRobustEstimators on the compressed system.
RobustResults RunSparseRobustEstimators(const SparseSystem& system, const CalcOptions& options,
                                        const ProgressSink& progress);

}  // namespace korvo
