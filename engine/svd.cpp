#include "engine/svd.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>

#include "common/text.h"
#include "common/win1252.h"

namespace korvo {
namespace {

// Jacobi sweeps end when the off-diagonal mass is below this fraction of the matrix norm
// (a few units of rounding), or after this many sweeps (quadratic convergence makes 6 to 10
// the usual count; the bound only guards against a non-finite input).
constexpr double kOffDiagonalTolerance = 1e-15;
constexpr int kMaxJacobiSweeps = 100;

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

// One Jacobi rotation in the plane (p, q) that annihilates a(p, q); a stays symmetric and the
// rotation is accumulated into the columns of v.
void RotatePlane(Matrix& a, Matrix& v, int k, int p, int q) {
  const double apq = a(p, q);
  const double theta = (a(q, q) - a(p, p)) / (2.0 * apq);
  // The smaller of the two roots of t² + 2θt − 1 = 0 keeps the rotation angle below π/4.
  double t = 1.0 / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
  if (theta < 0.0) t = -t;
  const double c = 1.0 / std::sqrt(t * t + 1.0);
  const double s = t * c;
  for (int r = 1; r <= k; ++r) {
    const double arp = a(r, p);
    const double arq = a(r, q);
    a(r, p) = c * arp - s * arq;
    a(r, q) = s * arp + c * arq;
  }
  for (int r = 1; r <= k; ++r) {
    const double apr = a(p, r);
    const double aqr = a(q, r);
    a(p, r) = c * apr - s * aqr;
    a(q, r) = s * apr + c * aqr;
  }
  a(p, q) = 0.0;
  a(q, p) = 0.0;
  for (int r = 1; r <= k; ++r) {
    const double vrp = v(r, p);
    const double vrq = v(r, q);
    v(r, p) = c * vrp - s * vrq;
    v(r, q) = s * vrp + c * vrq;
  }
}

std::string NotPositiveDefiniteMessage() {
  return Cp1252("¡ La matriz de pesos no es definida positiva !") + std::string(kCrLf) +
         Cp1252("No se pueden aplicar los métodos de estimación robusta: desactívelos en las opciones de cálculo.");
}

}  // namespace

void SymmetricEigen(const Matrix& symmetric, std::vector<double>& values, Matrix& vectors) {
  const int k = symmetric.rows();
  Matrix a = symmetric;
  Matrix v(k, k);
  for (int i = 1; i <= k; ++i) v(i, i) = 1.0;

  double norm2 = 0.0;
  for (int i = 1; i <= k; ++i)
    for (int j = 1; j <= k; ++j) norm2 += a(i, j) * a(i, j);

  for (int sweep = 0; sweep < kMaxJacobiSweeps; ++sweep) {
    double off2 = 0.0;
    for (int p = 1; p <= k; ++p)
      for (int q = p + 1; q <= k; ++q) off2 += a(p, q) * a(p, q);
    if (!(off2 > kOffDiagonalTolerance * kOffDiagonalTolerance * norm2)) break;
    for (int p = 1; p <= k; ++p)
      for (int q = p + 1; q <= k; ++q)
        if (a(p, q) != 0.0) RotatePlane(a, v, k, p, q);
  }

  // Decreasing order of the values, the columns of V following them.
  std::vector<int> order(static_cast<std::size_t>(k));
  std::iota(order.begin(), order.end(), 1);
  std::stable_sort(order.begin(), order.end(), [&a](int x, int y) { return a(x, x) > a(y, y); });
  values.assign(static_cast<std::size_t>(k) + 1, 0.0);
  vectors = Matrix(k, k);
  for (int c = 1; c <= k; ++c) {
    const int from = order[static_cast<std::size_t>(c - 1)];
    values[static_cast<std::size_t>(c)] = a(from, from);
    for (int r = 1; r <= k; ++r) vectors(r, c) = v(r, from);
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
    const int size = static_cast<int>(rows.size());
    WeightBlock block;
    block.rows = std::move(rows);
    std::vector<double> values;
    if (size == 1) {
      const int i = block.rows[0];
      values = {0.0, weights(i, i)};
      block.vectors = Matrix(1, 1);
      block.vectors(1, 1) = 1.0;
    } else {
      Matrix part(size, size);
      for (int a = 1; a <= size; ++a)
        for (int b = 1; b <= size; ++b) {
          const int i = block.rows[static_cast<std::size_t>(a - 1)];
          const int j = block.rows[static_cast<std::size_t>(b - 1)];
          part(a, b) = 0.5 * (weights(i, j) + weights(j, i));
        }
      SymmetricEigen(part, values, block.vectors);
    }
    for (int c = 1; c <= size; ++c) {
      const double s = values[static_cast<std::size_t>(c)];
      if (!(s > 0.0) || !std::isfinite(s)) return Failure{NotPositiveDefiniteMessage()};
      result.singularValues[static_cast<std::size_t>(block.rows[static_cast<std::size_t>(c - 1)])] = s;
    }
    result.blocks.push_back(std::move(block));
  }
  return result;
}

}  // namespace korvo
