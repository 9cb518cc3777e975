#include "engine/reweighted_step.h"

#include <cmath>

#include "common/win1252.h"

namespace korvo {

std::string NoRedundancyMessage() {
  return Cp1252(" ¡El sistema no tiene más observaciones que incógnitas: no se puede estimar la "
                "desviación típica de la medida de peso unidad de los métodos de estimación robusta! ");
}

namespace {

// The step with every matrix in full, as the products are written: S, W and S·W n × n,
// A′ᵀ, B = A′ᵀ·S·W, N′ = B·A′, x = N′⁻¹·(B·k′), v′ = A′·x − k′, (v′ᵀ·S)·v′.
Result<ReweightedPass> DenseReweightedStep(const DecorrelatedSystem& system, const std::vector<double>& robustWeights,
                                           const MatrixKernels& kernels) {
  const int n = system.numEquations;
  const int m = system.numUnknowns;
  Matrix s(n, n), w(n, n), rotatedTerms(n, 1);
  for (int i = 1; i <= n; ++i) {
    s(i, i) = system.rotatedWeights()[static_cast<std::size_t>(i)];
    w(i, i) = robustWeights[static_cast<std::size_t>(i)];
    rotatedTerms(i, 1) = system.rotatedTerms[static_cast<std::size_t>(i)];
  }
  const Matrix effectiveWeights = kernels.multiply(s, w, n, n, n);
  const Matrix b = kernels.multiply(TransposeMatrix(system.rotatedDesign, n, m), effectiveWeights, m, n, n);
  Result<Matrix> inverse = kernels.invert(kernels.multiply(b, system.rotatedDesign, m, n, m), m);
  if (!inverse) return Failure{inverse.error()};
  ReweightedPass pass;
  pass.robustQxx = std::move(inverse).value();
  const Matrix x = kernels.multiply(pass.robustQxx, kernels.multiply(b, rotatedTerms, m, n, 1), m, m, 1);
  const Matrix ax = kernels.multiply(system.rotatedDesign, x, n, m, 1);
  pass.corrections.assign(static_cast<std::size_t>(m) + 1, 0.0);
  for (int j = 1; j <= m; ++j) pass.corrections[static_cast<std::size_t>(j)] = x(j, 1);
  Matrix residualRow(1, n), residualColumn(n, 1);
  pass.rotatedResiduals.assign(static_cast<std::size_t>(n) + 1, 0.0);
  for (int i = 1; i <= n; ++i) {
    const double v = ax(i, 1) - rotatedTerms(i, 1);
    pass.rotatedResiduals[static_cast<std::size_t>(i)] = residualRow(1, i) = residualColumn(i, 1) = v;
  }
  const Matrix weightedSquares = kernels.multiply(kernels.multiply(residualRow, s, 1, n, n), residualColumn, 1, n, 1);
  pass.sigma = std::sqrt(weightedSquares(1, 1) / (n - m));
  return pass;
}

}  // namespace

Result<ReweightedPass> RunReweightedStep(const DecorrelatedSystem& system, const std::vector<double>& robustWeights,
                                         const MatrixKernels& kernels) {
  const int n = system.numEquations;
  const int m = system.numUnknowns;
  if (n <= m) return Failure{NoRedundancyMessage()};
  if (kernels.dense) return DenseReweightedStep(system, robustWeights, kernels);
  const std::vector<double>& s = system.rotatedWeights();
  const Matrix& design = system.rotatedDesign;

  // N′ = B·A′ and B·k′ with B(j, i) = A′(i, j)·(s_i·w_i); every element receives its terms in
  // ascending i, as in the dense product.
  Matrix normal(m, m);
  std::vector<double> rightSide(static_cast<std::size_t>(m) + 1, 0.0);
  for (int i = 1; i <= n; ++i) {
    const double effectiveWeight = s[static_cast<std::size_t>(i)] * robustWeights[static_cast<std::size_t>(i)];
    const double* row = design.RowData(i);
    const int first = system.rowStart[static_cast<std::size_t>(i)];
    const int last = system.rowStart[static_cast<std::size_t>(i) + 1];
    const double term = system.rotatedTerms[static_cast<std::size_t>(i)];
    for (int p = first; p < last; ++p) {
      const int j = system.rowColumns[static_cast<std::size_t>(p)];
      const double b = row[j] * effectiveWeight;
      double* normalRow = normal.RowData(j);
      for (int q = first; q < last; ++q) {
        const int l = system.rowColumns[static_cast<std::size_t>(q)];
        normalRow[l] += b * row[l];
      }
      rightSide[static_cast<std::size_t>(j)] += b * term;
    }
  }

  Result<Matrix> inverse = kernels.invert(normal, m);
  if (!inverse) return Failure{inverse.error()};

  ReweightedPass pass;
  pass.robustQxx = std::move(inverse).value();
  pass.corrections.assign(static_cast<std::size_t>(m) + 1, 0.0);
  for (int j = 1; j <= m; ++j) {
    const double* qRow = pass.robustQxx.RowData(j);
    double sum = 0.0;
    for (int l = 1; l <= m; ++l) sum += qRow[l] * rightSide[static_cast<std::size_t>(l)];
    pass.corrections[static_cast<std::size_t>(j)] = sum;
  }

  pass.rotatedResiduals.assign(static_cast<std::size_t>(n) + 1, 0.0);
  double weightedSquares = 0.0;
  for (int i = 1; i <= n; ++i) {
    const double* row = design.RowData(i);
    double ax = 0.0;
    for (int p = system.rowStart[static_cast<std::size_t>(i)]; p < system.rowStart[static_cast<std::size_t>(i) + 1];
         ++p) {
      const int j = system.rowColumns[static_cast<std::size_t>(p)];
      ax += row[j] * pass.corrections[static_cast<std::size_t>(j)];
    }
    const double v = ax - system.rotatedTerms[static_cast<std::size_t>(i)];
    pass.rotatedResiduals[static_cast<std::size_t>(i)] = v;
    weightedSquares += (v * s[static_cast<std::size_t>(i)]) * v;  // (v′ᵀ·S)·v′
  }
  pass.sigma = std::sqrt(weightedSquares / (n - m));
  return pass;
}

}  // namespace korvo
