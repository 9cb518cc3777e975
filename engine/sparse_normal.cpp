#include "engine/sparse_normal.h"

#include <Eigen/OrderingMethods>
#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/kernels.h"

namespace korvo {

namespace {

using SparseColumnMatrix = Eigen::SparseMatrix<double, Eigen::ColMajor, int>;
using Cholesky = Eigen::SimplicialLLT<SparseColumnMatrix, Eigen::Lower, Eigen::AMDOrdering<int>>;
using RootFreeCholesky = Eigen::SimplicialLDLT<SparseColumnMatrix, Eigen::Lower, Eigen::AMDOrdering<int>>;

// A pivot below this fraction of its diagonal element has lost everything but rounding: the
// unknown is not determined by the observations.
constexpr double kPivotLossRatio = 1e-10;

// Calls visit(lowerSlotColumn, lowerSlotRow, weight, a, b) for every product A(r, a)·w·A(s, b)
// of the assembly with column a ≥ b, in one fixed order: blocks, then their row pairs, then
// the non-zeros of both rows. a and b are 0-based columns.
template <typename Visit>
void ForEachProduct(const SparseDesign& design, const BlockWeights& weights, Visit&& visit) {
  for (int block = 0; block < weights.BlockCount(); ++block) {
    const int size = weights.Size(block);
    for (int a = 0; a < size; ++a) {
      const int r = weights.Row(block, a);
      for (int c = 0; c < size; ++c) {
        const int s = weights.Row(block, c);
        const double w = weights.At(block, a, c);
        for (std::size_t p = design.Begin(r); p < design.End(r); ++p) {
          for (std::size_t q = design.Begin(s); q < design.End(s); ++q) {
            const int j = design.columns[p] - 1, l = design.columns[q] - 1;
            if (j >= l) visit(j, l, w, p, q);
          }
        }
      }
    }
  }
}

}  // namespace

struct NormalEquations::Factor {
  SparseColumnMatrix normal;   // lower triangle of N, 0-based
  Cholesky cholesky;
  RootFreeCholesky rootFree;   // the reweighted passes: L·D·Lᵀ
  bool reweighting = false;
  std::vector<int> permuted;   // permuted[i]: position of unknown i (0-based) in the factor
  std::vector<double> inverse; // selected inverse on the pattern of L, same layout as L
};

NormalEquations::NormalEquations() : factor_(std::make_unique<Factor>()) {}
NormalEquations::~NormalEquations() = default;
NormalEquations::NormalEquations(NormalEquations&&) noexcept = default;
NormalEquations& NormalEquations::operator=(NormalEquations&&) noexcept = default;

void NormalEquations::Analyse(const SparseDesign& design, const BlockWeights& weights, bool reweighting) {
  factor_->reweighting = reweighting;
  order_ = design.cols;
  const auto m = static_cast<std::size_t>(order_);
  // Rows of the lower triangle of each column, sorted and unique.
  std::vector<std::vector<int>> columnRows(m);
  for (std::size_t j = 0; j < m; ++j) columnRows[j].push_back(static_cast<int>(j));  // the diagonal always
  ForEachProduct(design, weights, [&](int j, int l, double, std::size_t, std::size_t) {
    if (j != l) columnRows[static_cast<std::size_t>(l)].push_back(j);
  });
  SparseColumnMatrix& normal = factor_->normal;
  normal.resize(order_, order_);
  std::vector<int> counts(m);
  for (std::size_t j = 0; j < m; ++j) {
    std::vector<int>& rows = columnRows[j];
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    counts[j] = static_cast<int>(rows.size());
  }
  normal.reserve(counts);
  for (std::size_t j = 0; j < m; ++j) {
    for (int row : columnRows[j]) normal.insert(row, static_cast<int>(j)) = 0.0;
    std::vector<int>().swap(columnRows[j]);
  }
  normal.makeCompressed();

  const int* start = normal.outerIndexPtr();
  const int* inner = normal.innerIndexPtr();
  slots_.clear();
  ForEachProduct(design, weights, [&](int j, int l, double, std::size_t, std::size_t) {
    const int* first = inner + start[l];
    const int* last = inner + start[l + 1];
    slots_.push_back(static_cast<int>(std::lower_bound(first, last, j) - inner));
  });
  if (reweighting) {
    factor_->rootFree.analyzePattern(normal);
    return;
  }
  factor_->cholesky.analyzePattern(normal);
  const auto& indices = factor_->cholesky.permutationP().indices();
  factor_->permuted.assign(indices.data(), indices.data() + indices.size());
}

Status NormalEquations::Factorise(const SparseDesign& design, const BlockWeights& weights) {
  undeterminedColumn_ = 0;
  factor_->inverse.clear();
  SparseColumnMatrix& normal = factor_->normal;
  double* values = normal.valuePtr();
  std::fill(values, values + normal.nonZeros(), 0.0);
  std::size_t product = 0;
  ForEachProduct(design, weights, [&](int, int, double w, std::size_t p, std::size_t q) {
    values[slots_[product++]] += design.values[p] * w * design.values[q];
  });

  // An unknown no row reaches has an empty column: name it before the factor fails on it.
  const int* start = normal.outerIndexPtr();
  for (int j = 0; j < order_; ++j) {
    if (values[start[j]] == 0.0) {
      undeterminedColumn_ = j + 1;
      return Failure{kSingularMatrixMessage};
    }
  }
  if (factor_->reweighting) {
    factor_->rootFree.factorize(normal);
    if (factor_->rootFree.info() != Eigen::Success) return Failure{kSingularMatrixMessage};
    return Ok();
  }
  factor_->cholesky.factorize(normal);
  const SparseColumnMatrix& lower = factor_->cholesky.matrixL().nestedExpression();
  const int* lStart = lower.outerIndexPtr();
  const double* lValues = lower.valuePtr();
  // The pivot of each unknown against its own diagonal element of N.
  for (int j = 0; j < order_; ++j) {
    const int at = factor_->permuted[static_cast<std::size_t>(j)];
    const double pivot = factor_->cholesky.info() == Eigen::Success ? lValues[lStart[at]] : 0.0;
    if (!(pivot * pivot > kPivotLossRatio * values[start[j]])) {
      undeterminedColumn_ = j + 1;
      break;
    }
  }
  if (factor_->cholesky.info() != Eigen::Success || undeterminedColumn_ != 0) {
    if (undeterminedColumn_ == 0) undeterminedColumn_ = 1;
    return Failure{kSingularMatrixMessage};
  }
  return Ok();
}

std::vector<double> NormalEquations::Solve(const std::vector<double>& rightSide) const {
  Eigen::VectorXd b(order_);
  for (int j = 0; j < order_; ++j) b[j] = rightSide[static_cast<std::size_t>(j) + 1];
  Eigen::VectorXd x;
  if (factor_->reweighting) {
    x = factor_->rootFree.solve(b);
  } else {
    x = factor_->cholesky.solve(b);
  }
  std::vector<double> out(static_cast<std::size_t>(order_) + 1, 0.0);
  for (int j = 0; j < order_; ++j) out[static_cast<std::size_t>(j) + 1] = x[j];
  return out;
}

void NormalEquations::SelectInverse() {
  const SparseColumnMatrix& lower = factor_->cholesky.matrixL().nestedExpression();
  const int* start = lower.outerIndexPtr();
  const int* rows = lower.innerIndexPtr();
  const double* l = lower.valuePtr();
  std::vector<double>& z = factor_->inverse;
  z.assign(static_cast<std::size_t>(lower.nonZeros()), 0.0);
  // place[r]: position of row r in the pattern of the current column (below the diagonal).
  std::vector<int> place(static_cast<std::size_t>(order_), -1);
  std::vector<double> sums;
  for (int j = order_ - 1; j >= 0; --j) {
    const int diagonal = start[j];
    const int first = diagonal + 1, last = start[j + 1];
    sums.assign(static_cast<std::size_t>(last - first), 0.0);
    for (int t = first; t < last; ++t) place[static_cast<std::size_t>(rows[t])] = t - first;
    // sums[t] = Σ_k Z(r_t, k)·L(k, j) over k in the pattern: every stored Z(r, k) of a column
    // k of the pattern serves row r and, by symmetry, row k.
    for (int t = first; t < last; ++t) {
      const int k = rows[t];
      const double lkj = l[t];
      sums[static_cast<std::size_t>(t - first)] += z[static_cast<std::size_t>(start[k])] * lkj;
      for (int u = start[k] + 1; u < start[k + 1]; ++u) {
        const int at = place[static_cast<std::size_t>(rows[u])];
        if (at < 0) continue;
        sums[static_cast<std::size_t>(at)] += z[static_cast<std::size_t>(u)] * lkj;
        sums[static_cast<std::size_t>(t - first)] += z[static_cast<std::size_t>(u)] * l[first + at];
      }
    }
    const double pivot = l[diagonal];
    double diagonalSum = 0.0;
    for (int t = first; t < last; ++t) {
      const double value = -sums[static_cast<std::size_t>(t - first)] / pivot;
      z[static_cast<std::size_t>(t)] = value;
      diagonalSum += l[t] * value;
      place[static_cast<std::size_t>(rows[t])] = -1;
    }
    z[static_cast<std::size_t>(diagonal)] = (1.0 / pivot - diagonalSum) / pivot;
  }
}

double NormalEquations::Inverse(int a, int b) const {
  int i = factor_->permuted[static_cast<std::size_t>(a - 1)];
  int j = factor_->permuted[static_cast<std::size_t>(b - 1)];
  if (i < j) std::swap(i, j);
  const SparseColumnMatrix& lower = factor_->cholesky.matrixL().nestedExpression();
  const int* rows = lower.innerIndexPtr();
  const int* first = rows + lower.outerIndexPtr()[j];
  const int* last = rows + lower.outerIndexPtr()[j + 1];
  const int* found = std::lower_bound(first, last, i);
  if (found == last || *found != i) return std::numeric_limits<double>::quiet_NaN();
  return factor_->inverse[static_cast<std::size_t>(found - rows)];
}

std::size_t NormalEquations::FactorNonZeros() const {
  return static_cast<std::size_t>(factor_->cholesky.matrixL().nestedExpression().nonZeros());
}

}  // namespace korvo
