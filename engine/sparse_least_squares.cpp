#include "engine/sparse_least_squares.h"

#include <cmath>
#include <utility>

#include "common/win1252.h"
#include "engine/kernels.h"

namespace korvo {

namespace {

constexpr int kProgressAfterSigmaZero = 55;

std::vector<double> OneBased(int count) { return std::vector<double>(static_cast<std::size_t>(count) + 1, 0.0); }

double RootOrZero(double variance) { return variance > 0.0 ? std::sqrt(variance) : 0.0; }

// P⁻¹ block by block, with the engine's own inversion (a 1 × 1 block is 1/p there too).
Result<BlockWeights> InvertBlocks(const BlockWeights& weights) {
  BlockWeights inverse = weights;
  for (int b = 0; b < weights.BlockCount(); ++b) {
    const int size = weights.Size(b);
    Matrix block(size, size);
    for (int a = 0; a < size; ++a) {
      for (int c = 0; c < size; ++c) block(a + 1, c + 1) = weights.At(b, a, c);
    }
    Result<Matrix> inverted = InvertMatrix(block, size);
    if (!inverted) return Failure{inverted.error()};
    double* out = inverse.values.data() + inverse.valueStart[static_cast<std::size_t>(b)];
    for (int a = 0; a < size; ++a) {
      for (int c = 0; c < size; ++c) out[a * size + c] = (*inverted)(a + 1, c + 1);
    }
  }
  return inverse;
}

// "Matriz singular" and the unknown whose pivot vanished, in the user's words.
std::string UndeterminedMessage(const ObservationSystem& bookkeeping, int column) {
  if (column < 1 || column > bookkeeping.layout.Count()) return kSingularMatrixMessage;
  return kSingularMatrixMessage + ": " + Cp1252("las observaciones no determinan ") +
         UnknownDescription(bookkeeping.layout, column) + ".";
}

}  // namespace

double SparseLeastSquares::AdjustedCofactor(const SparseDesign& design, int i, int j) const {
  double sum = 0.0;
  for (std::size_t p = design.Begin(i); p < design.End(i); ++p) {
    double inner = 0.0;
    for (std::size_t q = design.Begin(j); q < design.End(j); ++q)
      inner += normal.Inverse(design.columns[p], design.columns[q]) * design.values[q];
    sum += design.values[p] * inner;
  }
  return sum;
}

Result<SparseLeastSquares> SolveSparseLeastSquares(const SparseSystem& sys, const ObservationSystem& bookkeeping,
                                                   const ProgressSink* progress) {
  const int n = sys.numEquations;
  const int m = sys.numUnknowns;
  if (n <= m) return Failure{kLeastSquaresFailureMessage};

  SparseLeastSquares out;
  LeastSquaresResults& res = out.results;
  res.numEquations = n;
  res.numUnknowns = m;

  out.normal.Analyse(sys.A, sys.P);
  if (Status factored = out.normal.Factorise(sys.A, sys.P); !factored) {
    return Failure{UndeterminedMessage(bookkeeping, out.normal.UndeterminedColumn())};
  }

  // x = N⁻¹·AᵀPk, block by block: t = P_b·k_b, then Aᵀt.
  std::vector<double> rightSide = OneBased(m);
  const BlockWeights& P = sys.P;
  for (int b = 0; b < P.BlockCount(); ++b) {
    const int size = P.Size(b);
    for (int a = 0; a < size; ++a) {
      double weighted = 0.0;
      for (int c = 0; c < size; ++c) weighted += P.At(b, a, c) * sys.k[static_cast<std::size_t>(P.Row(b, c))];
      const int row = P.Row(b, a);
      for (std::size_t p = sys.A.Begin(row); p < sys.A.End(row); ++p)
        rightSide[static_cast<std::size_t>(sys.A.columns[p])] += sys.A.values[p] * weighted;
    }
  }
  res.corrections = out.normal.Solve(rightSide);

  res.residuals = OneBased(n);
  for (int i = 1; i <= n; ++i) {
    double ax = 0.0;
    for (std::size_t p = sys.A.Begin(i); p < sys.A.End(i); ++p)
      ax += sys.A.values[p] * res.corrections[static_cast<std::size_t>(sys.A.columns[p])];
    res.residuals[static_cast<std::size_t>(i)] = ax - sys.k[static_cast<std::size_t>(i)];
  }
  double vtPv = 0.0;
  for (int b = 0; b < P.BlockCount(); ++b) {
    const int size = P.Size(b);
    for (int a = 0; a < size; ++a) {
      double weighted = 0.0;
      for (int c = 0; c < size; ++c) weighted += res.residuals[static_cast<std::size_t>(P.Row(b, c))] * P.At(b, c, a);
      vtPv += weighted * res.residuals[static_cast<std::size_t>(P.Row(b, a))];
    }
  }
  res.sigmaZero = std::sqrt(vtPv / static_cast<double>(n - m));
  if (progress != nullptr) progress->SetProgress(kProgressAfterSigmaZero);

  Result<BlockWeights> cofactors = InvertBlocks(P);
  if (!cofactors) return Failure{cofactors.error()};
  out.cofactors = std::move(cofactors).value();
  if (HasNetworkBookkeeping(bookkeeping)) FillAdjustedValues(bookkeeping, res);

  // Precision.
  out.normal.SelectInverse();
  const double varianceOfUnitWeight = std::pow(res.sigmaZero, 2);
  res.sigmaParameters = OneBased(m);
  for (int j = 1; j <= m; ++j)
    res.sigmaParameters[static_cast<std::size_t>(j)] = RootOrZero(varianceOfUnitWeight * out.normal.Inverse(j, j));
  res.sigmaAdjustedObs = OneBased(n);
  res.sigmaResiduals = OneBased(n);
  std::vector<double>& residualCofactors = out.residualCofactors;
  residualCofactors = OneBased(n);
  out.observationCofactors = OneBased(n);
  out.blockOfRow.assign(static_cast<std::size_t>(n) + 1, -1);
  out.placeInBlock.assign(static_cast<std::size_t>(n) + 1, 0);
  std::vector<double> weightDiagonal = OneBased(n);
  for (int b = 0; b < P.BlockCount(); ++b) {
    for (int a = 0; a < P.Size(b); ++a) {
      const int row = P.Row(b, a);
      const auto r = static_cast<std::size_t>(row);
      out.blockOfRow[r] = b;
      out.placeInBlock[r] = a;
      const double adjusted = out.AdjustedCofactor(sys.A, row, row);
      out.observationCofactors[r] = out.cofactors.At(b, a, a);
      residualCofactors[r] = out.cofactors.At(b, a, a) - adjusted;
      weightDiagonal[r] = P.At(b, a, a);
      res.sigmaAdjustedObs[r] = RootOrZero(varianceOfUnitWeight * adjusted);
      res.sigmaResiduals[r] = RootOrZero(varianceOfUnitWeight * residualCofactors[r]);
    }
  }
  FillReliabilityFigures(residualCofactors, weightDiagonal, res);
  return out;
}

}  // namespace korvo
