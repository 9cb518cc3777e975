#include "engine/kernels.h"

#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "common/constants.h"

// The update loops below are plain element-wise a[j] + f·b[j]: vectorising them changes no
// rounding (there is no reduction to re-associate and no contraction into fused
// multiply-adds on the default target), so let the compiler do it.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3")
#endif

namespace korvo {

namespace {

// acc[j] += factor · row[j] for j = lo..hi.
inline void AddScaledRange(double* __restrict acc, const double* __restrict row, double factor, int lo, int hi) {
  for (int j = lo; j <= hi; ++j) acc[j] += factor * row[j];
}

bool IsFiniteBlock(const Matrix& m, int rows, int cols) {
  for (int i = 1; i <= rows; ++i) {
    const double* row = m.RowData(i);
    for (int j = 1; j <= cols; ++j) {
      if (!std::isfinite(row[j])) return false;
    }
  }
  return true;
}

bool HasNegativeZero(const Matrix& m, int rows, int cols) {
  for (int i = 1; i <= rows; ++i) {
    const double* row = m.RowData(i);
    for (int j = 1; j <= cols; ++j) {
      if (row[j] == 0.0 && std::signbit(row[j])) return true;
    }
  }
  return false;
}

// Where the non-zero elements of one row lie: the first and last column, and, when they
// are few for that span, the list of their columns.
struct RowPattern {
  int first = 1;
  int last = 0;  // last < first: no non-zero element
  std::vector<int> columns;  // empty: walk first..last contiguously
};

std::vector<RowPattern> RowPatterns(const Matrix& m, int rows, int cols) {
  std::vector<RowPattern> patterns(static_cast<std::size_t>(rows) + 1);
  for (int k = 1; k <= rows; ++k) {
    const double* row = m.RowData(k);
    RowPattern& pattern = patterns[static_cast<std::size_t>(k)];
    int count = 0;
    for (int i = 1; i <= cols; ++i) {
      if (row[i] != 0.0) {
        if (count == 0) pattern.first = i;
        pattern.last = i;
        ++count;
      }
    }
    // A sparse row is walked by its list; a dense one contiguously (adding the zeros it
    // holds changes nothing, see below).
    if (count > 0 && 4 * count < pattern.last - pattern.first + 1) {
      pattern.columns.reserve(static_cast<std::size_t>(count));
      for (int i = pattern.first; i <= pattern.last; ++i) {
        if (row[i] != 0.0) pattern.columns.push_back(i);
      }
    }
  }
  return patterns;
}

}  // namespace

// ---- product -----------------------------------------------------------------------------

Matrix MultiplyMatricesDense(const Matrix& a, const Matrix& b, int rows, int inner, int cols) {
  Matrix product(rows, cols);
  for (int i = 1; i <= cols; ++i) {
    for (int j = 1; j <= rows; ++j) {
      double sum = 0.0;
      for (int k = 1; k <= inner; ++k) sum += a(j, k) * b(k, i);
      product(j, i) = sum;
    }
  }
  return product;
}

// Row by row (Gustavson's order): for row j of the product, every non-zero a(j, k) in
// ascending k adds a(j, k)·b(k, i) to element (j, i). Each element therefore receives the
// same terms in the same order as the plain loop, minus terms where a factor is exactly 0.
// Such a term is ±0 for finite operands, and adding ±0 to a sum that started at +0 changes
// nothing: the sum can only be -0 if every term added were -0, and the first addition to +0
// already gives +0. So the result is bit-for-bit the plain one.
Matrix MultiplyMatrices(const Matrix& a, const Matrix& b, int rows, int inner, int cols) {
  if (!IsFiniteBlock(a, rows, inner) || !IsFiniteBlock(b, inner, cols)) {
    return MultiplyMatricesDense(a, b, rows, inner, cols);
  }
  Matrix product(rows, cols);
  const std::vector<RowPattern> bRows = RowPatterns(b, inner, cols);
  for (int j = 1; j <= rows; ++j) {
    const double* aRow = a.RowData(j);
    double* out = product.RowData(j);
    for (int k = 1; k <= inner; ++k) {
      const double ajk = aRow[k];
      if (ajk == 0.0) continue;
      const RowPattern& pattern = bRows[static_cast<std::size_t>(k)];
      const double* bRow = b.RowData(k);
      if (pattern.columns.empty()) {
        AddScaledRange(out, bRow, ajk, pattern.first, pattern.last);
      } else {
        for (int i : pattern.columns) out[i] += ajk * bRow[i];
      }
    }
  }
  return product;
}

// ---- transpose ---------------------------------------------------------------------------

Matrix TransposeMatrix(const Matrix& a, int rows, int cols) {
  Matrix transposed(cols, rows);
  for (int i = 1; i <= rows; ++i) {
    const double* row = a.RowData(i);
    for (int j = 1; j <= cols; ++j) transposed(j, i) = row[j];
  }
  return transposed;
}

// ---- inverse -----------------------------------------------------------------------------

namespace {

// Records the pivot of column k against the original diagonal element; true when the
// unknown of that column is not determined (see kUndeterminedPivotRatio).
bool WeakPivot(PivotWatch* watch, double pivot, double diagonal, int column) {
  if (watch == nullptr) return false;
  const double ratio = diagonal > 0.0 ? pivot / diagonal : 0.0;
  if (ratio < watch->minRatio) watch->minRatio = ratio;
  if (ratio > kUndeterminedPivotRatio) return false;  // a NaN pivot is weak too
  watch->weakColumn = column;
  return true;
}

// The plain elimination; a watched column k is reported as firstColumn - 1 + k.
Result<Matrix> EliminateDense(const Matrix& a, int order, PivotWatch* watch, int firstColumn = 1) {
  const int n = order;
  Matrix w(n, n);
  Matrix r(n, n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) w(i, j) = a(i, j);
    r(i, i) = 1.0;
  }
  for (int k = 1; k <= n; ++k) {
    if (WeakPivot(watch, w(k, k), a(k, k), firstColumn - 1 + k)) return Failure{kSingularMatrixMessage};
    if (w(k, k) == 0.0) {
      int source = k + 1;
      while (source <= n && w(source, k) == 0.0) ++source;
      if (source > n) return Failure{kSingularMatrixMessage};
      for (int j = 1; j <= n; ++j) {
        w(k, j) = w(k, j) + w(source, j);
        r(k, j) = r(k, j) + r(source, j);
      }
    }
    for (int i = 1; i <= n; ++i) {
      if (i == k) continue;
      const double f = -w(i, k) / w(k, k);
      for (int j = 1; j <= n; ++j) {
        w(i, j) = w(i, j) + f * w(k, j);
        r(i, j) = r(i, j) + f * r(k, j);
      }
    }
    const double p = w(k, k);
    for (int j = 1; j <= n; ++j) {
      r(k, j) = r(k, j) / p;
      w(k, j) = w(k, j) / p;
    }
  }
  return r;
}

}  // namespace

Result<Matrix> InvertMatrixDense(const Matrix& a, int order) { return EliminateDense(a, order, nullptr); }

Result<Matrix> InvertMatrixDenseWatched(const Matrix& a, int order, PivotWatch& watch) {
  return EliminateDense(a, order, &watch);
}

namespace {

enum class FastInversion { Done, Singular, UsePlain, Undetermined };

// The same elimination as InvertMatrixDense, with work left out where it cannot change R:
//  - columns j < k of the working matrix W are never read again once column k is the pivot
//    column, so their updates are not made;
//  - a row i with W(i, k) = 0 gets f = ±0 and the plain loop adds ±0 to each element;
//  - an element k of the pivot row that is 0 adds f·0 = ±0 to the others.
// Adding ±0 changes nothing as long as no element is -0 and every value is finite. That
// holds by induction while every pivot is positive and finite (the normal matrices and the
// weight matrices of the engine): sums cannot produce -0 from values that are not -0, and a
// division by a positive pivot keeps the sign, unless it underflows, which is checked. When
// any of these conditions fails the caller redoes the inversion with the plain loops.
// With a watch, every pivot is compared with a's diagonal; a weak one ends the inversion as
// Undetermined, its column (`firstColumn` - 1 + k) in the watch.
FastInversion InvertSkippingZeros(const Matrix& a, int n, Matrix& r, PivotWatch* watch = nullptr,
                                  int firstColumn = 1) {
  Matrix w(n, n);
  r = Matrix(n, n);
  for (int i = 1; i <= n; ++i) {
    const double* in = a.RowData(i);
    double* out = w.RowData(i);
    for (int j = 1; j <= n; ++j) out[j] = in[j];
    r(i, i) = 1.0;
  }
  for (int k = 1; k <= n; ++k) {
    double* wk = w.RowData(k);
    double* rk = r.RowData(k);
    if (WeakPivot(watch, wk[k], a(k, k), firstColumn - 1 + k)) return FastInversion::Undetermined;
    if (wk[k] == 0.0) {
      int source = k + 1;
      while (source <= n && w(source, k) == 0.0) ++source;
      if (source > n) return FastInversion::Singular;
      const double* ws = w.RowData(source);
      const double* rs = r.RowData(source);
      for (int j = k; j <= n; ++j) wk[j] = wk[j] + ws[j];
      for (int j = 1; j <= n; ++j) rk[j] = rk[j] + rs[j];
    }
    const double p = wk[k];
    if (!(p > 0.0) || !std::isfinite(p)) return FastInversion::UsePlain;

    // Span of the non-zero elements of the pivot row: live columns of W, all columns of R.
    int wFirst = n + 1, wLast = k;
    for (int j = k + 1; j <= n; ++j) {
      if (wk[j] != 0.0) {
        if (wFirst > n) wFirst = j;
        wLast = j;
      }
    }
    int rFirst = n + 1, rLast = 0;
    for (int j = 1; j <= n; ++j) {
      if (rk[j] != 0.0) {
        if (rFirst > n) rFirst = j;
        rLast = j;
      }
    }

    for (int i = 1; i <= n; ++i) {
      if (i == k) continue;
      double* wi = w.RowData(i);
      if (wi[k] == 0.0) continue;
      const double f = -wi[k] / p;
      if (!std::isfinite(f)) return FastInversion::UsePlain;
      AddScaledRange(wi, wk, f, wFirst, wLast);
      AddScaledRange(r.RowData(i), rk, f, rFirst, rLast);
    }

    for (int j = rFirst; j <= rLast; ++j) {
      rk[j] = rk[j] / p;
      if (rk[j] == 0.0 && std::signbit(rk[j])) return FastInversion::UsePlain;
    }
    for (int j = wFirst; j <= wLast; ++j) {
      wk[j] = wk[j] / p;
      if (wk[j] == 0.0 && std::signbit(wk[j])) return FastInversion::UsePlain;
    }
  }
  if (!IsFiniteBlock(r, n, n)) return FastInversion::UsePlain;
  return FastInversion::Done;
}

}  // namespace

namespace {

// Splits 1..n into consecutive diagonal blocks outside which every element is zero: for each
// row and column the span of its non-zero elements is found in one pass over the matrix,
// and a block is closed once no row or column inside it reaches beyond it. Returns the last
// index of each block.
std::vector<int> DiagonalBlockEnds(const Matrix& a, int n) {
  std::vector<int> reach(static_cast<std::size_t>(n) + 1);
  for (int i = 1; i <= n; ++i) reach[static_cast<std::size_t>(i)] = i;
  for (int i = 1; i <= n; ++i) {
    const double* row = a.RowData(i);
    for (int j = 1; j <= n; ++j) {
      if (row[j] == 0.0) continue;
      // Element (i, j) ties i and j together: the lower index must reach the higher one.
      const int low = i < j ? i : j, high = i < j ? j : i;
      int& r = reach[static_cast<std::size_t>(low)];
      if (r < high) r = high;
    }
  }
  std::vector<int> ends;
  int end = 0;
  for (int i = 1; i <= n; ++i) {
    if (reach[static_cast<std::size_t>(i)] > end) end = reach[static_cast<std::size_t>(i)];
    if (i == end) ends.push_back(end);
  }
  return ends;
}

Result<Matrix> InvertBlocks(const Matrix& a, int order, PivotWatch* watch) {
  if (!IsFiniteBlock(a, order, order) || HasNegativeZero(a, order, order)) return EliminateDense(a, order, watch);
  const std::vector<int> ends = DiagonalBlockEnds(a, order);
  if (ends.size() <= 1) {
    Matrix r;
    switch (InvertSkippingZeros(a, order, r, watch)) {
      case FastInversion::Done: return r;
      case FastInversion::Singular:
      case FastInversion::Undetermined: return Failure{kSingularMatrixMessage};
      case FastInversion::UsePlain: break;
    }
    return EliminateDense(a, order, watch);
  }
  Matrix inverse(order, order);
  int first = 1;
  for (int last : ends) {
    const int size = last - first + 1;
    Matrix block(size, size);
    for (int i = 1; i <= size; ++i) {
      for (int j = 1; j <= size; ++j) block(i, j) = a(first + i - 1, first + j - 1);
    }
    Matrix blockInverse;
    switch (InvertSkippingZeros(block, size, blockInverse, watch, first)) {
      case FastInversion::Done: break;
      case FastInversion::Singular:
      case FastInversion::Undetermined: return Failure{kSingularMatrixMessage};
      case FastInversion::UsePlain: {
        // A block that is not positive definite (a damaged covariance, say) takes the plain
        // loops on its own rather than the whole matrix: the values are those of the
        // whole-matrix loops; only the sign of an exact zero may differ.
        Result<Matrix> plain = EliminateDense(block, size, watch, first);
        if (!plain.ok()) return Failure{plain.error()};
        blockInverse = std::move(*plain);
        break;
      }
    }
    for (int i = 1; i <= size; ++i) {
      for (int j = 1; j <= size; ++j) inverse(first + i - 1, first + j - 1) = blockInverse(i, j);
    }
    first = last + 1;
  }
  return inverse;
}

}  // namespace

// A block-diagonal matrix (the weight matrix: 1 x 1 blocks for classical observations, 3 x 3
// for baselines) is inverted block by block. The whole-matrix elimination would only add
// zeros outside the blocks (see InvertSkippingZeros), so with positive pivots the result is
// the same to the bit.
Result<Matrix> InvertMatrix(const Matrix& a, int order) { return InvertBlocks(a, order, nullptr); }

Result<Matrix> InvertMatrixWatched(const Matrix& a, int order, PivotWatch& watch) {
  return InvertBlocks(a, order, &watch);
}

// ---- arccosine ---------------------------------------------------------------------------

// arccos x = π/2 − arcsin x, with the arcsine's power series
//   arcsin x = x + Σ_{m≥1} (1·3·…·(2m−1)) / ((2·4·…·2m)·(2m+1)) · x^(2m+1)
// cut after m = 20 (the x^41 term). Numerators and denominators are built incrementally
// (denominators 6, 40, 336, 3456, …) and the terms subtracted from π/2 in increasing order.
double ArcCosTruncatedSeries(double x) {
  double angle = kPi / 2.0 - x;
  double numerator = 1.0;
  double denominator = 6.0;
  for (int m = 1; m <= 20; ++m) {
    numerator *= static_cast<double>(2 * m - 1);
    if (m > 1) {
      denominator = denominator / static_cast<double>(2 * m - 1) * static_cast<double>(2 * m) *
                    static_cast<double>(2 * m + 1);
    }
    angle -= numerator / denominator * std::pow(x, 2 * m + 1);
  }
  return angle;
}

double ArcCosSeries(double x) {
  constexpr double kSeriesExactUpTo = 0.5;  // the cut series is exact to 1e-14 up to here
  if (std::fabs(x) <= kSeriesExactUpTo) return ArcCosTruncatedSeries(x);
  // A cosine formed from coordinates can pass ±1 by a rounding step on a vertical sight.
  if (x > 1.0) return 0.0;
  if (x < -1.0) return kPi;
  return std::acos(x);
}

}  // namespace korvo
