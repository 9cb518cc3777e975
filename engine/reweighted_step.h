#pragma once
// One pass of iteratively reweighted least squares on the decorrelated system: the step that
// the Huber, adapted Lp and L1 estimators repeat with their own weights.
//
// With robustness factors W (diagonal, w_i) and the rotated a-priori weights S:
//   EffectiveWeights = S·W, B = A′ᵀ·S·W, N′ = B·A′, RobustQxx = N′⁻¹,
//   x = RobustQxx·(B·k′), v′ = A′·x − k′, σ = √((v′ᵀ·S)·v′ / (n − m)).
// The scale uses the a-priori weights S, not W. S, W and S·W are diagonal and A′ sparse, so
// the products are formed over the non-zero terms only, in the ascending order of the plain
// dense products: the results are bit-for-bit those of the dense kernels.

#include <string>
#include <vector>

#include "common/result.h"
#include "engine/decorrelate.h"
#include "engine/kernels.h"
#include "engine/matrix.h"

namespace korvo {

struct ReweightedPass {
  std::vector<double> corrections;       // x, index 1..m
  std::vector<double> rotatedResiduals;  // v′, index 1..n
  double sigma = 0.0;                    // scale of unit weight
  Matrix robustQxx;                      // (A′ᵀ·S·W·A′)⁻¹, m × m
};

// `robustWeights` holds w_i, index 1..n. With dense kernels every matrix is formed in full
// and no shortcut is taken (the reference the fast step is compared with). Fails with "Matriz singular" when N′ is singular and
// with a Spanish message when the system has no redundancy (n ≤ m).
Result<ReweightedPass> RunReweightedStep(const DecorrelatedSystem& system, const std::vector<double>& robustWeights,
                                         const MatrixKernels& kernels = FastKernels());

// The message of a system without redundancy, where no scale can be estimated.
std::string NoRedundancyMessage();

}  // namespace korvo
