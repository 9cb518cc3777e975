#pragma once
// The observation system rotated to independent weights, on which the robust estimators
// reweight observation by observation.
//
// With P = V·S·Vᵀ (engine/svd.h) and R = Vᵀ, the system A′x = k′ + v′ with A′ = R·A,
// k′ = R·k and diagonal weights S has the same least-squares solution and the same vᵀPv as
// the original one: vᵀPv = (Rv)ᵀ·S·(Rv). Row i of the rotated system has its own a-priori
// weight s_i = S(i, i), i.e. a standard deviation 1/√s_i.
//
// V is block-diagonal (one block per GPS baseline, 1 × 1 for classical rows), so A′ is as
// sparse as A; the non-zero columns of every rotated row are listed for the reweighted step.
// Sums over a row skip only exact zeros and keep the ascending order of the plain dense
// products, so every value is bit-for-bit that of R·A, R·k and V·v′ formed in full.

#include <vector>

#include "common/result.h"
#include "engine/matrix.h"
#include "engine/observation_system.h"
#include "engine/svd.h"

namespace korvo {

struct DecorrelatedSystem {
  int numEquations = 0;  // n
  int numUnknowns = 0;   // m
  WeightDecomposition decomposition;  // V (SingularVectors) and S (SingularValues)
  Matrix rotatedDesign;               // A′ = R·A, n × m
  std::vector<double> rotatedTerms;   // k′ = R·k, index 1..n

  // Non-zero columns of row i of A′, ascending: rowColumns[rowStart[i] .. rowStart[i + 1] - 1].
  std::vector<int> rowStart;
  std::vector<int> rowColumns;

  // s_i = S(i, i) = RotatedWeights(i, i), index 1..n.
  const std::vector<double>& rotatedWeights() const { return decomposition.singularValues; }
};

// Rotates the system A (n × m), k (1..n, index 0 unused), P (n × n). Fails when P is not
// positive definite (engine/svd.h).
Result<DecorrelatedSystem> DecorrelateSystem(const Matrix& design, const std::vector<double>& terms,
                                             const Matrix& weights);
// The same for the system of an adjustment (formed or imported).
Result<DecorrelatedSystem> DecorrelateSystem(const ObservationSystem& system);

// v = V·v′: brings rotated residuals (index 1..n) back to the observations in system order.
std::vector<double> BackRotate(const WeightDecomposition& decomposition, const std::vector<double>& rotated);

}  // namespace korvo
