#pragma once
// What the quality figures read from a least-squares solution, and nothing more.
//
// The quality analysis (global test, row and baseline tests, σ0 without a row, local and
// relative precision) needs only a few numbers per row and a few 3 x 3 blocks of the
// cofactor matrices. It reads them through this interface so that any solution path can
// serve it: the dense path (DenseSolutionAccess below, over LeastSquaresResults and the
// dense system) and a sparse path that holds a factorisation of N and its selected inverse
// (the entries of Qxx inside the sparsity pattern of N) instead of n x n matrices.
//
// Indexing and units follow engine/observation_system.h: rows 1..n, unknowns (columns of A)
// 1..m. Residuals are metres for distances and GPS components and cc for angles; cofactors
// are in the squares of those units (the a-priori σ0 is 1, so a cofactor is a variance in
// units of σ0²).
//
// What a path must be able to answer, and what the analysis promises to ask:
//   - per row i: v_i, Qvv(i,i), Qll(i,i) = (P⁻¹)(i,i), the redundancy number r_i and the
//     minimal detectable error the results file prints, and whether row i of P has any
//     off-diagonal entry (a correlated row: a GPS component, or an imported row with a full P);
//   - for a GPS baseline, the 3 x 3 block of Qvv on its three consecutive rows
//     (Qll block − A_b·Qxx·A_bᵀ);
//   - 3 x 3 blocks of Qxx for the three coordinate columns of one vertex with themselves,
//     and of two vertices joined by at least one observation or baseline. Such a pair of
//     vertices always shares a row of A, so the block lies inside the sparsity pattern of
//     N = AᵀPA and the selected inverse holds it. No other Qxx entry is ever asked for;
//   - the adjusted value of a coordinate unknown (metres);
//   - σ̂0 = √(vᵀPv / f) and the counts n and m.
//
// Every figure the analysis derives from these is O(1) per row, baseline, vertex or pair,
// so the analysis is O(n) on top of whatever the path already holds. Implementations must
// not build new n x n products to answer.

#include <array>

#include "engine/least_squares.h"
#include "engine/observation_system.h"

namespace korvo {

// A 3 x 3 block, row-major: block[r][c].
using Block3 = std::array<std::array<double, 3>, 3>;

class SolutionAccess {
 public:
  virtual ~SolutionAccess() = default;

  virtual int NumEquations() const = 0;  // n
  virtual int NumUnknowns() const = 0;   // m
  virtual double SigmaZero() const = 0;  // σ̂0 = √(vᵀPv / (n − m))

  // Per row, 1..n.
  virtual double Residual(int row) const = 0;            // v_i (m or cc)
  virtual double QvvDiagonal(int row) const = 0;         // Qvv(i,i)
  virtual double QllDiagonal(int row) const = 0;         // Qll(i,i) = (P⁻¹)(i,i)
  virtual double Redundancy(int row) const = 0;          // r_i as the results file prints it
  virtual double MinDetectableError(int row) const = 0;  // MDE_i as the results file prints it
  // True when row i of P has an off-diagonal entry other than zero.
  virtual bool RowIsCorrelated(int row) const = 0;

  // Qvv on rows firstRow..firstRow+2 (the three components of one baseline).
  virtual Block3 QvvBlock(int firstRow) const = 0;
  // Qxx(firstColumnA + r, firstColumnB + c), r, c = 0..2: the coordinate columns of one
  // vertex (A == B) or of two vertices joined by an observation (see above).
  virtual Block3 QxxBlock(int firstColumnA, int firstColumnB) const = 0;

  // Adjusted value of unknown `column` (metres for a coordinate).
  virtual double AdjustedParameter(int column) const = 0;
};

// The dense path: reads LeastSquaresResults and the system it solved. Both must outlive it.
class DenseSolutionAccess final : public SolutionAccess {
 public:
  DenseSolutionAccess(const ObservationSystem& system, const LeastSquaresResults& results)
      : system_(system), results_(results) {}

  int NumEquations() const override { return results_.numEquations; }
  int NumUnknowns() const override { return results_.numUnknowns; }
  double SigmaZero() const override { return results_.sigmaZero; }
  double Residual(int row) const override { return results_.residuals[static_cast<std::size_t>(row)]; }
  double QvvDiagonal(int row) const override { return results_.Qvv(row, row); }
  double QllDiagonal(int row) const override { return results_.Qll(row, row); }
  double Redundancy(int row) const override { return results_.redundancy[static_cast<std::size_t>(row)]; }
  double MinDetectableError(int row) const override {
    return results_.minDetectableError[static_cast<std::size_t>(row)];
  }
  bool RowIsCorrelated(int row) const override;
  Block3 QvvBlock(int firstRow) const override;
  Block3 QxxBlock(int firstColumnA, int firstColumnB) const override;
  double AdjustedParameter(int column) const override;

 private:
  const ObservationSystem& system_;
  const LeastSquaresResults& results_;
};

}  // namespace korvo
