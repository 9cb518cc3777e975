#include "engine/reweighted_step.h"

#include <cmath>

#include "common/win1252.h"

namespace korvo {

std::string NoRedundancyMessage() {
  return Cp1252(" ¡El sistema no tiene más observaciones que incógnitas: no se puede estimar la "
                "desviación típica de la medida de peso unidad de los métodos de estimación robusta! ");
}

Result<ReweightedPass> RunReweightedStep(const DecorrelatedSystem& system, const std::vector<double>& robustWeights,
                                         const MatrixKernels& kernels) {
  const int n = system.numEquations;
  const int m = system.numUnknowns;
  if (n <= m) return Failure{NoRedundancyMessage()};
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
