#pragma once
// Normal equations N = AᵀPA of a compressed system (engine/sparse_system.h), kept sparse:
// the pattern and the place of every product in it are found once (Analyse), after which
// the values can be assembled and factorised any number of times with other weights on the
// same pattern (the reweighted passes of the robust estimators).
//
// Factorisation: a fill-reducing ordering (approximate minimum degree) and the sparse
// Cholesky factor L·Lᵀ = Π·N·Πᵀ (Eigen's simplicial LLᵀ, which on these networks beats
// CHOLMOD's supernodal factor once the factor has to be read back column by column; see
// bench/sparse_bench.cpp).
//
// Selected inverse: Qxx = N⁻¹ on the pattern of L (Takahashi, Fagan & Chen, 1973): with
// Z = L⁻ᵀL⁻¹, column j from the last to the first,
//   Z(i, j) = −(1/L(j, j))·Σ_k Z(i, k)·L(k, j)          for i > j in the pattern of column j,
//   Z(j, j) = (1/L(j, j))·(1/L(j, j) − Σ_k L(k, j)·Z(k, j)),
// where k runs over the pattern of column j below the diagonal. Every entry of Qxx between
// two unknowns that share a row of A, or a weight block, lies on that pattern: the 3 × 3
// block of a vertex, the blocks of observed pairs, everything a row's cofactor needs.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "common/result.h"
#include "engine/sparse_system.h"

namespace korvo {

class NormalEquations {
 public:
  NormalEquations();
  ~NormalEquations();
  NormalEquations(NormalEquations&&) noexcept;
  NormalEquations& operator=(NormalEquations&&) noexcept;

  // Finds the pattern of AᵀPA for the rows of `design` grouped as the blocks of `weights`,
  // and the ordering and symbolic factor. The weight values are not read. For `reweighting`
  // (the passes of the robust estimators) the factor is L·D·Lᵀ without square roots, which,
  // like the dense elimination, only stops on an exactly zero pivot: weights that span many
  // orders of magnitude (1/|v| of L1) shrink pivots legitimately. Such a factor gives
  // solutions only, no selected inverse.
  void Analyse(const SparseDesign& design, const BlockWeights& weights, bool reweighting = false);

  // Assembles N with these weights (same blocks as Analyse) and factorises it. Fails with
  // kSingularMatrixMessage when N has an empty column, or (least squares) is not positive
  // definite or has a pivot that lost all but rounding-level size against its diagonal
  // element (an unknown the observations do not determine), or (reweighting) meets an exactly
  // zero pivot; UndeterminedColumn() then names the column (1-based) where it can.
  Status Factorise(const SparseDesign& design, const BlockWeights& weights);

  // N⁻¹·b for b indexed 1..m (index 0 ignored); the result is indexed the same way.
  std::vector<double> Solve(const std::vector<double>& rightSide) const;

  // Computes the selected inverse of the last factorisation.
  void SelectInverse();
  // Qxx(a, b), 1-based, from the selected inverse; a and b must share a row or a block.
  double Inverse(int a, int b) const;

  int Order() const { return order_; }
  int UndeterminedColumn() const { return undeterminedColumn_; }
  std::size_t FactorNonZeros() const;

 private:
  struct Factor;
  int order_ = 0;
  int undeterminedColumn_ = 0;
  // Position in the values of N of every product of the assembly, in assembly order.
  std::vector<int> slots_;
  std::unique_ptr<Factor> factor_;
};

}  // namespace korvo
