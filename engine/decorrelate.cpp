#include "engine/decorrelate.h"

namespace korvo {
namespace {

// Rows r_1 < ... < r_b of one block: rotated row r_c is Σ_a V(r_a, r_c)·row r_a, summed in
// ascending a (the order of the dense product R·A, whose other terms are exact zeros).
void RotateBlock(const WeightBlock& block, const Matrix& design, const std::vector<double>& terms,
                 DecorrelatedSystem& out) {
  const int size = static_cast<int>(block.rows.size());
  const int m = design.cols();
  for (int c = 1; c <= size; ++c) {
    const int target = block.rows[static_cast<std::size_t>(c - 1)];
    double* rotatedRow = out.rotatedDesign.RowData(target);
    double rotatedTerm = 0.0;
    for (int a = 1; a <= size; ++a) {
      const double r = block.vectors(a, c);  // R(target, source) = V(source, target)
      if (r == 0.0) continue;
      const int source = block.rows[static_cast<std::size_t>(a - 1)];
      const double* sourceRow = design.RowData(source);
      for (int j = 1; j <= m; ++j)
        if (sourceRow[j] != 0.0) rotatedRow[j] += r * sourceRow[j];
      rotatedTerm += r * terms[static_cast<std::size_t>(source)];
    }
    out.rotatedTerms[static_cast<std::size_t>(target)] = rotatedTerm;
  }
}

}  // namespace

Result<DecorrelatedSystem> DecorrelateSystem(const Matrix& design, const std::vector<double>& terms,
                                             const Matrix& weights) {
  Result<WeightDecomposition> decomposition = SingularValueDecomposition(weights);
  if (!decomposition) return Failure{decomposition.error()};

  DecorrelatedSystem out;
  out.numEquations = design.rows();
  out.numUnknowns = design.cols();
  out.decomposition = std::move(decomposition).value();
  out.rotatedDesign = Matrix(out.numEquations, out.numUnknowns);
  out.rotatedTerms.assign(static_cast<std::size_t>(out.numEquations) + 1, 0.0);
  for (const WeightBlock& block : out.decomposition.blocks) RotateBlock(block, design, terms, out);

  out.rowStart.assign(static_cast<std::size_t>(out.numEquations) + 2, 0);
  for (int i = 1; i <= out.numEquations; ++i) {
    out.rowStart[static_cast<std::size_t>(i)] = static_cast<int>(out.rowColumns.size());
    const double* row = out.rotatedDesign.RowData(i);
    for (int j = 1; j <= out.numUnknowns; ++j)
      if (row[j] != 0.0) out.rowColumns.push_back(j);
  }
  out.rowStart[static_cast<std::size_t>(out.numEquations) + 1] = static_cast<int>(out.rowColumns.size());
  return out;
}

Result<DecorrelatedSystem> DecorrelateSystem(const ObservationSystem& system) {
  std::vector<double> terms(static_cast<std::size_t>(system.numEquations) + 1, 0.0);
  for (int i = 1; i <= system.numEquations; ++i) terms[static_cast<std::size_t>(i)] = system.k(i, 1);
  return DecorrelateSystem(system.A, terms, system.P);
}

std::vector<double> BackRotate(const WeightDecomposition& decomposition, const std::vector<double>& rotated) {
  std::vector<double> v(static_cast<std::size_t>(decomposition.order) + 1, 0.0);
  for (const WeightBlock& block : decomposition.blocks) {
    const int size = static_cast<int>(block.rows.size());
    for (int a = 1; a <= size; ++a) {
      double sum = 0.0;
      for (int c = 1; c <= size; ++c) {
        const double vac = block.vectors(a, c);
        if (vac != 0.0) sum += vac * rotated[static_cast<std::size_t>(block.rows[static_cast<std::size_t>(c - 1)])];
      }
      v[static_cast<std::size_t>(block.rows[static_cast<std::size_t>(a - 1)])] = sum;
    }
  }
  return v;
}

}  // namespace korvo
