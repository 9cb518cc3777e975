#include "engine/svd.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numeric>
#include <string>

#include "common/text.h"
#include "common/win1252.h"

namespace korvo {
namespace {

// Bound on the implicit QR steps spent on one eigenvalue; a symmetric matrix needs two or
// three (cubic convergence of the Wilkinson shift), so the bound only guards against
// non-finite entries.
constexpr int kMaxStepsPerEigenvalue = 60;

// Groups rows 1..n into the blocks that non-zero off-diagonal elements connect.
class RowGroups {
 public:
  explicit RowGroups(int n) : parent_(static_cast<std::size_t>(n) + 1) {
    std::iota(parent_.begin(), parent_.end(), 0);
  }
  int Root(int i) {
    while (parent_[static_cast<std::size_t>(i)] != i) {
      int& up = parent_[static_cast<std::size_t>(i)];
      up = parent_[static_cast<std::size_t>(up)];
      i = up;
    }
    return i;
  }
  void Join(int i, int j) {
    const int a = Root(i);
    const int b = Root(j);
    if (a != b) parent_[static_cast<std::size_t>(std::max(a, b))] = std::min(a, b);
  }

 private:
  std::vector<int> parent_;
};

// Householder reduction of a symmetric matrix to tridiagonal form, A = Q·T·Qᵀ (Golub & Van
// Loan, Matrix Computations, 4th ed., §8.3.1). `a` holds A (0-based, order k) and is
// overwritten; on return `diagonal` and `offDiagonal` (T(i + 1, i), i = 0..k − 2) hold T and
// `qt` holds Qᵀ row by row.
void ReduceToTridiagonal(std::vector<std::vector<double>>& a, std::vector<double>& diagonal,
                         std::vector<double>& offDiagonal, std::vector<std::vector<double>>& qt) {
  const std::size_t k = a.size();
  qt.assign(k, std::vector<double>(k, 0.0));
  for (std::size_t i = 0; i < k; ++i) qt[i][i] = 1.0;
  std::vector<double> v(k), p(k);
  for (std::size_t col = 0; col + 2 < k; ++col) {
    // v: the unit Householder vector that maps a(col + 1.., col) onto its first axis.
    double norm2 = 0.0;
    for (std::size_t r = col + 1; r < k; ++r) norm2 += a[r][col] * a[r][col];
    if (norm2 == 0.0) continue;
    const double x0 = a[col + 1][col];
    const double alpha = x0 > 0.0 ? -std::sqrt(norm2) : std::sqrt(norm2);
    double vNorm2 = 0.0;
    for (std::size_t r = col + 1; r < k; ++r) {
      v[r] = a[r][col] - (r == col + 1 ? alpha : 0.0);
      vNorm2 += v[r] * v[r];
    }
    if (vNorm2 == 0.0) continue;
    const double vNorm = std::sqrt(vNorm2);
    for (std::size_t r = col + 1; r < k; ++r) v[r] /= vNorm;

    // Trailing block: A ← H·A·H = A − v·wᵀ − w·vᵀ with p = 2·A·v and w = p − (vᵀp)·v.
    double vp = 0.0;
    for (std::size_t r = col + 1; r < k; ++r) {
      double sum = 0.0;
      for (std::size_t c = col + 1; c < k; ++c) sum += a[r][c] * v[c];
      p[r] = 2.0 * sum;
      vp += v[r] * p[r];
    }
    for (std::size_t r = col + 1; r < k; ++r) p[r] -= vp * v[r];  // w
    for (std::size_t r = col + 1; r < k; ++r)
      for (std::size_t c = col + 1; c < k; ++c) a[r][c] -= v[r] * p[c] + p[r] * v[c];
    a[col + 1][col] = a[col][col + 1] = alpha;
    for (std::size_t r = col + 2; r < k; ++r) a[r][col] = a[col][r] = 0.0;

    // Qᵀ ← H·Qᵀ on its rows col + 1..k − 1.
    for (std::size_t c = 0; c < k; ++c) {
      double sum = 0.0;
      for (std::size_t r = col + 1; r < k; ++r) sum += v[r] * qt[r][c];
      if (sum == 0.0) continue;
      for (std::size_t r = col + 1; r < k; ++r) qt[r][c] -= 2.0 * v[r] * sum;
    }
  }
  diagonal.assign(k, 0.0);
  offDiagonal.assign(k > 0 ? k - 1 : 0, 0.0);
  for (std::size_t i = 0; i < k; ++i) diagonal[i] = a[i][i];
  for (std::size_t i = 0; i + 1 < k; ++i) offDiagonal[i] = a[i + 1][i];
}

// The tridiagonal matrix under implicit QR steps: its diagonal, its first subdiagonal and the
// one element that a step pushes below it (the bulge, at (bulgeRow, bulgeRow − 2)).
struct Tridiagonal {
  std::vector<double>& d;
  std::vector<double>& e;
  double bulge = 0.0;
  std::size_t bulgeRow = 0;

  double At(std::size_t i, std::size_t j) const {
    if (i == j) return d[i];
    if (i == j + 1) return e[j];
    if (j == i + 1) return e[i];
    if (bulgeRow != 0 && ((i == bulgeRow && j + 2 == i) || (j == bulgeRow && i + 2 == j))) return bulge;
    return 0.0;
  }
};

// T ← Gᵀ·T·G with G the rotation [c s; −s c] in the plane (k, k + 1), on the rows and columns
// first..last that it can reach; the bulge moves from (k + 1, k − 1) to (k + 2, k).
void RotateTridiagonal(Tridiagonal& t, std::size_t k, double c, double s, std::size_t first, std::size_t last) {
  const std::size_t lo = k > first ? k - 1 : first;
  const std::size_t hi = std::min(k + 2, last);
  double m[4][4] = {};
  for (std::size_t i = lo; i <= hi; ++i)
    for (std::size_t j = lo; j <= hi; ++j) m[i - lo][j - lo] = t.At(i, j);
  const std::size_t p = k - lo, q = p + 1, size = hi - lo + 1;
  for (std::size_t r = 0; r < size; ++r) {  // columns
    const double mp = m[r][p], mq = m[r][q];
    m[r][p] = c * mp - s * mq;
    m[r][q] = s * mp + c * mq;
  }
  for (std::size_t col = 0; col < size; ++col) {  // rows
    const double mp = m[p][col], mq = m[q][col];
    m[p][col] = c * mp - s * mq;
    m[q][col] = s * mp + c * mq;
  }
  for (std::size_t i = lo; i <= hi; ++i) t.d[i] = m[i - lo][i - lo];
  for (std::size_t i = lo; i < hi; ++i) t.e[i] = 0.5 * (m[i + 1 - lo][i - lo] + m[i - lo][i + 1 - lo]);
  if (k + 2 <= last) {
    t.bulge = m[k + 2 - lo][k - lo];
    t.bulgeRow = k + 2;
  } else {
    t.bulge = 0.0;
    t.bulgeRow = 0;
  }
}

// Implicit symmetric QR steps with Wilkinson shifts on T = diag(d) + subdiag(e) until e
// vanishes (Golub & Van Loan §8.3.3); each rotation is accumulated into the rows of Qᵀ.
void DiagonalizeTridiagonal(std::vector<double>& d, std::vector<double>& e, std::vector<std::vector<double>>& qt) {
  const double eps = std::numeric_limits<double>::epsilon();
  const std::size_t k = d.size();
  if (k < 2) return;
  auto negligible = [&](std::size_t i) { return std::fabs(e[i]) <= eps * (std::fabs(d[i]) + std::fabs(d[i + 1])); };
  std::size_t high = k - 1;
  int steps = 0;
  while (high > 0) {
    if (negligible(high - 1)) {
      e[high - 1] = 0.0;
      --high;
      steps = 0;
      continue;
    }
    if (++steps > kMaxStepsPerEigenvalue) break;
    std::size_t low = high - 1;
    while (low > 0 && !negligible(low - 1)) --low;
    if (low > 0) e[low - 1] = 0.0;

    // Wilkinson shift: the eigenvalue of the trailing 2 × 2 block nearer to its last element.
    const double delta = 0.5 * (d[high - 1] - d[high]);
    const double b = e[high - 1];
    const double root = std::hypot(delta, b);
    const double shift = d[high] - b * b / (delta >= 0.0 ? delta + root : delta - root);

    Tridiagonal t{d, e};
    double x = d[low] - shift;
    double z = e[low];
    for (std::size_t i = low; i < high; ++i) {
      if (i > low) {
        x = e[i - 1];
        z = t.bulge;
      }
      const double r = std::hypot(x, z);
      const double c = r == 0.0 ? 1.0 : x / r;
      const double s = r == 0.0 ? 0.0 : -z / r;
      RotateTridiagonal(t, i, c, s, low, high);
      std::vector<double>& rowP = qt[i];
      std::vector<double>& rowQ = qt[i + 1];
      for (std::size_t col = 0; col < k; ++col) {
        const double vp = rowP[col], vq = rowQ[col];
        rowP[col] = c * vp - s * vq;
        rowQ[col] = s * vp + c * vq;
      }
    }
  }
}

std::string NotPositiveDefiniteMessage() {
  return Cp1252("¡ La matriz de pesos no es definida positiva !") + std::string(kCrLf) +
         Cp1252("No se pueden aplicar los métodos de estimación robusta: desactívelos en las opciones de cálculo.");
}

}  // namespace

void SymmetricEigen(const Matrix& symmetric, std::vector<double>& values, Matrix& vectors) {
  const int k = symmetric.rows();
  const auto size = static_cast<std::size_t>(k);
  std::vector<std::vector<double>> a(size, std::vector<double>(size));
  for (int i = 1; i <= k; ++i)
    for (int j = 1; j <= k; ++j) a[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)] = symmetric(i, j);
  std::vector<double> d, e;
  std::vector<std::vector<double>> qt;
  ReduceToTridiagonal(a, d, e, qt);
  DiagonalizeTridiagonal(d, e, qt);

  // Decreasing order of the values, the columns of V following them.
  std::vector<std::size_t> order(size);
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&d](std::size_t x, std::size_t y) { return d[x] > d[y]; });
  values.assign(size + 1, 0.0);
  vectors = Matrix(k, k);
  for (int c = 1; c <= k; ++c) {
    const std::size_t from = order[static_cast<std::size_t>(c - 1)];
    values[static_cast<std::size_t>(c)] = d[from];
    for (int r = 1; r <= k; ++r) vectors(r, c) = qt[from][static_cast<std::size_t>(r - 1)];
  }
}

Matrix WeightDecomposition::DenseVectors() const {
  Matrix dense(order, order);
  for (const WeightBlock& block : blocks) {
    const int size = static_cast<int>(block.rows.size());
    for (int a = 1; a <= size; ++a)
      for (int c = 1; c <= size; ++c)
        dense(block.rows[static_cast<std::size_t>(a - 1)], block.rows[static_cast<std::size_t>(c - 1)]) =
            block.vectors(a, c);
  }
  return dense;
}

namespace {

// Decomposes the block of `rows` (ascending), whose element (a, b), 1-based positions, is
// element(a, b), and appends it to `result`.
Status AppendDecomposedBlock(std::vector<int> rows, const std::function<double(int, int)>& element,
                             WeightDecomposition& result) {
  const int size = static_cast<int>(rows.size());
  WeightBlock block;
  block.rows = std::move(rows);
  std::vector<double> values;
  if (size == 1) {
    values = {0.0, element(1, 1)};
    block.vectors = Matrix(1, 1);
    block.vectors(1, 1) = 1.0;
  } else {
    Matrix part(size, size);
    for (int a = 1; a <= size; ++a)
      for (int b = 1; b <= size; ++b) part(a, b) = 0.5 * (element(a, b) + element(b, a));
    SymmetricEigen(part, values, block.vectors);
  }
  for (int c = 1; c <= size; ++c) {
    const double s = values[static_cast<std::size_t>(c)];
    if (!(s > 0.0) || !std::isfinite(s)) return Failure{NotPositiveDefiniteMessage()};
    result.singularValues[static_cast<std::size_t>(block.rows[static_cast<std::size_t>(c - 1)])] = s;
  }
  result.blocks.push_back(std::move(block));
  return Ok();
}

}  // namespace

Result<WeightDecomposition> SingularValueDecomposition(const Matrix& weights) {
  const int n = weights.rows();
  RowGroups groups(n);
  for (int i = 1; i <= n; ++i) {
    const double* row = weights.RowData(i);
    for (int j = 1; j <= n; ++j)
      if (j != i && row[j] != 0.0) groups.Join(i, j);
  }

  // Rows of each block, ascending; blocks ordered by their first row.
  std::vector<std::vector<int>> members(static_cast<std::size_t>(n) + 1);
  for (int i = 1; i <= n; ++i) members[static_cast<std::size_t>(groups.Root(i))].push_back(i);

  WeightDecomposition result;
  result.order = n;
  result.singularValues.assign(static_cast<std::size_t>(n) + 1, 0.0);
  for (int root = 1; root <= n; ++root) {
    std::vector<int>& rows = members[static_cast<std::size_t>(root)];
    if (rows.empty()) continue;
    const std::vector<int> positions = rows;
    const Status done = AppendDecomposedBlock(std::move(rows), [&](int a, int b) {
      return weights(positions[static_cast<std::size_t>(a - 1)], positions[static_cast<std::size_t>(b - 1)]);
    }, result);
    if (!done) return Failure{done.error()};
  }
  return result;
}

Result<WeightDecomposition> DecomposeWeightBlocks(const BlockWeights& weights, int order) {
  WeightDecomposition result;
  result.order = order;
  result.singularValues.assign(static_cast<std::size_t>(order) + 1, 0.0);
  for (int b = 0; b < weights.BlockCount(); ++b) {
    std::vector<int> rows;
    for (int a = 0; a < weights.Size(b); ++a) rows.push_back(weights.Row(b, a));
    const Status done =
        AppendDecomposedBlock(std::move(rows), [&](int a, int c) { return weights.At(b, a - 1, c - 1); }, result);
    if (!done) return Failure{done.error()};
  }
  return result;
}

}  // namespace korvo
