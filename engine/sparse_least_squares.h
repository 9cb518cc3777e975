#pragma once
// Weighted least squares of a compressed system (engine/sparse_system.h) on sparse normal
// equations: the same solution, precision and reliability figures per parameter and per row
// as engine/least_squares.h, without any n × n or m × m matrix. The cofactors a row needs come
// from the selected inverse of N (engine/sparse_normal.h):
//   Q̂ll(i, i) = aᵢ·Qxx·aᵢᵀ over the non-zeros of row i, Qvv(i, i) = Qll(i, i) − Q̂ll(i, i),
// with Qll = P⁻¹ inverted block by block.
//
// The results fill LeastSquaresResults with every per-parameter and per-row vector; its
// matrices (At, Qxx, Qll, ..., the external reliability vectors) stay empty.

#include <vector>

#include "common/progress.h"
#include "common/result.h"
#include "engine/least_squares.h"
#include "engine/observation_system.h"
#include "engine/sparse_normal.h"
#include "engine/sparse_system.h"

namespace korvo {

struct SparseLeastSquares {
  LeastSquaresResults results;
  NormalEquations normal;           // factor and selected inverse of N = AᵀPA
  BlockWeights cofactors;           // Qll = P⁻¹, the blocks of P inverted
  std::vector<double> residualCofactors;     // Qvv(i, i), 1..n
  std::vector<double> observationCofactors;  // Qll(i, i), 1..n
  // Where row i sits in the blocks of P and Qll: block and 0-based position, 1..n.
  std::vector<int> blockOfRow;
  std::vector<int> placeInBlock;

  // Qxx(a, b) for unknowns that share a row or a weight block (1-based).
  double ParameterCofactor(int a, int b) const { return normal.Inverse(a, b); }
  // Q̂ll(i, j) = aᵢ·Qxx·aⱼᵀ for rows i and j of one weight block (1-based).
  double AdjustedCofactor(const SparseDesign& design, int i, int j) const;
};

// Solves the system. `bookkeeping` names its rows and unknowns (a system formed from a
// network gives adjusted values; its matrices are not read and may be empty). Fails like
// SolveLeastSquares: kLeastSquaresFailureMessage without redundancy, kSingularMatrixMessage
// when N or a block of P cannot be inverted. Sets the progress to 55 once σ0 is known.
Result<SparseLeastSquares> SolveSparseLeastSquares(const SparseSystem& system, const ObservationSystem& bookkeeping,
                                                   const ProgressSink* progress = nullptr);

}  // namespace korvo
