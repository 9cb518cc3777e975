#pragma once
// The quality analysis's view of a sparse solution (engine/sparse_least_squares.h): every
// figure from the per-row vectors, the blocks of Qll and the selected inverse of N, so the
// analysis of a large network stays O(n) on top of the factor.

#include "engine/sparse_least_squares.h"
#include "engine/sparse_system.h"
#include "quality/solution_access.h"

namespace korvo {

// Reads the solution and the compressed system it solved; both must outlive it.
class SparseSolutionAccess final : public SolutionAccess {
 public:
  SparseSolutionAccess(const SparseSystem& system, const SparseLeastSquares& solution)
      : system_(system), solution_(solution), results_(solution.results) {}

  int NumEquations() const override { return results_.numEquations; }
  int NumUnknowns() const override { return results_.numUnknowns; }
  double SigmaZero() const override { return results_.sigmaZero; }
  double Residual(int row) const override { return results_.residuals[static_cast<std::size_t>(row)]; }
  double QvvDiagonal(int row) const override { return solution_.residualCofactors[static_cast<std::size_t>(row)]; }
  double QllDiagonal(int row) const override { return solution_.observationCofactors[static_cast<std::size_t>(row)]; }
  double Redundancy(int row) const override { return results_.redundancy[static_cast<std::size_t>(row)]; }
  double MinDetectableError(int row) const override {
    return results_.minDetectableError[static_cast<std::size_t>(row)];
  }
  bool RowIsCorrelated(int row) const override;
  Block3 QvvBlock(int firstRow) const override;
  Block3 QxxBlock(int firstColumnA, int firstColumnB) const override;
  double AdjustedParameter(int column) const override;

 private:
  const SparseSystem& system_;
  const SparseLeastSquares& solution_;
  const LeastSquaresResults& results_;
};

}  // namespace korvo
