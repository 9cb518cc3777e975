#pragma once
// The robust estimators on a compressed system: the decorrelation block by block (each
// weight block rotated by its own eigenvectors, engine/svd.h) into a compressed rotated
// design, and reweighted passes that assemble and refactor the normal equations numerically
// on the one symbolic analysis made for the rotated pattern, which no reweighting changes.
//
// A pass agrees with the dense step (engine/reweighted_step.h) to rounding for the same
// weights, and Huber's loop follows the dense one pass for pass. The L1 weights 1/|v′| grow
// without bound on rows the iterate fits exactly, so after a few passes the weights span
// ten to twenty orders of magnitude and any solution of the normal equations in double
// precision loses digits. Each pass here refines its solution against the rows themselves
// (RefineSolution), so it follows the loop computed in extended precision; the dense
// elimination does not, and parts from it by its own rounding once the weights pass about
// 10¹⁵ (on the 1,620-row benchmark after ten passes, by one unit of the third decimal).

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
  static constexpr int kRefinementSteps = 3;
  void RefineSolution(const std::vector<double>& effectiveWeights, std::vector<double>& corrections) const;

  WeightDecomposition decomposition_;
  SparseDesign design_;        // A′: each rotated row on the union of its block's columns
  std::vector<double> terms_;  // k′, 1..n
  mutable NormalEquations normal_;
};

// RunRobustEstimators on the compressed system.
RobustResults RunSparseRobustEstimators(const SparseSystem& system, const CalcOptions& options,
                                        const ProgressSink& progress);

}  // namespace korvo
