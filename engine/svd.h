#pragma once
// Decomposition of the weight matrix P = V·S·Vᵀ (V orthogonal, S diagonal) that turns an
// observation system with correlated weights into one with one independent weight per row.
//
// P is symmetric, so its singular value decomposition and its eigen-decomposition coincide
// when P is positive definite; the decomposition here is the symmetric QR algorithm:
// Householder reduction to tridiagonal form, then implicit QR steps with Wilkinson shifts
// and plane rotations, accumulating the orthogonal factor (Golub & Van Loan, Matrix
// Computations, 4th ed., §8.3). It is backward stable: V·S·Vᵀ equals P to a few units of
// rounding of its largest element.
//
// P of a network is block-diagonal: 1 × 1 blocks for classical observations and 3 × 3 blocks
// for GPS baselines. The rows are grouped into the blocks that their non-zero off-diagonal
// elements connect and every block is decomposed on its own, so V is block-diagonal too and
// rotating the system costs O(n) per column instead of O(n²). A full P (an imported system)
// is one block and is decomposed whole.

#include <vector>

#include "common/result.h"
#include "engine/matrix.h"
#include "engine/sparse_system.h"

namespace korvo {

// The eigenpairs of one diagonal block of P.
struct WeightBlock {
  std::vector<int> rows;  // the system rows of the block, ascending (1-based)
  // vectors(a, c): component a (the row rows[a - 1]) of the c-th singular vector, 1-based.
  Matrix vectors;
};

// P = V·S·Vᵀ with V block-diagonal. Row and column positions of V and S are system rows: the
// singular vectors of a block occupy the columns of that block's rows, in decreasing order
// of their singular values.
struct WeightDecomposition {
  int order = 0;                       // n
  std::vector<double> singularValues;  // s_i = S(i, i), index 1..n (index 0 unused)
  std::vector<WeightBlock> blocks;

  // V as a full n × n matrix (for checks and small systems).
  Matrix DenseVectors() const;
};

// Eigenvalues and eigenvectors of a symmetric matrix (order k, 1-based) by the symmetric QR
// algorithm. `values` (1..k) come out in decreasing order and column c of `vectors` belongs to
// values[c]. The input is read only.
void SymmetricEigen(const Matrix& symmetric, std::vector<double>& values, Matrix& vectors);

// Decomposes the weight matrix P (n × n). P should be symmetric; where an imported P is not,
// its symmetric part (P + Pᵀ)/2 is used, which has the same quadratic form vᵀPv. Fails with a
// Spanish message when P is not positive definite, because a row without positive weight has
// no standard deviation to reweight.
Result<WeightDecomposition> SingularValueDecomposition(const Matrix& weights);

// The same for weights already held as their diagonal blocks (n = order).
Result<WeightDecomposition> DecomposeWeightBlocks(const BlockWeights& weights, int order);

}  // namespace korvo
