#pragma once
// Matrices for the kernel and estimator tests (1-based, as the engine's) and bit-for-bit
// comparison of results computed two ways.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "engine/matrix.h"

namespace korvo::testing {

inline Matrix FromRows(const std::vector<std::vector<double>>& rows) {
  const int n = static_cast<int>(rows.size());
  const int m = n == 0 ? 0 : static_cast<int>(rows[0].size());
  Matrix out(n, m);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= m; ++j) out(i, j) = rows[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)];
  }
  return out;
}

inline Matrix Column(const std::vector<double>& values) {
  Matrix c(static_cast<int>(values.size()), 1);
  for (std::size_t i = 0; i < values.size(); ++i) c(static_cast<int>(i) + 1, 1) = values[i];
  return c;
}

inline Matrix Identity(int n) {
  Matrix m(n, n);
  for (int i = 1; i <= n; ++i) m(i, i) = 1.0;
  return m;
}

// Diagonal matrix of values[1..n] (values[0] unused, as the engine's vectors).
inline Matrix Diagonal(const std::vector<double>& values) {
  const int n = static_cast<int>(values.size()) - 1;
  Matrix d(n, n);
  for (int i = 1; i <= n; ++i) d(i, i) = values[static_cast<std::size_t>(i)];
  return d;
}

inline Matrix Transposed(const Matrix& a) {
  Matrix t(a.cols(), a.rows());
  for (int i = 1; i <= a.rows(); ++i)
    for (int j = 1; j <= a.cols(); ++j) t(j, i) = a(i, j);
  return t;
}

// Plain dense product, ascending inner index: the reference for bit-for-bit comparisons.
inline Matrix DenseProduct(const Matrix& a, const Matrix& b) {
  Matrix c(a.rows(), b.cols());
  for (int i = 1; i <= a.rows(); ++i)
    for (int j = 1; j <= b.cols(); ++j) {
      double sum = 0.0;
      for (int k = 1; k <= a.cols(); ++k) sum += a(i, k) * b(k, j);
      c(i, j) = sum;
    }
  return c;
}

// A random symmetric positive definite matrix GᵀG + I/2.
inline Matrix RandomSpd(int n, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  Matrix g(n, n);
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) g(i, j) = u(gen);
  Matrix p = DenseProduct(Transposed(g), g);
  for (int i = 1; i <= n; ++i) p(i, i) += 0.5;
  return p;
}

inline void ExpectNear(const Matrix& a, const Matrix& b, double tolerance) {
  ASSERT_EQ(a.rows(), b.rows());
  ASSERT_EQ(a.cols(), b.cols());
  for (int i = 1; i <= a.rows(); ++i)
    for (int j = 1; j <= a.cols(); ++j) EXPECT_NEAR(a(i, j), b(i, j), tolerance) << "(" << i << ", " << j << ")";
}

// Same shape and the same bits in every element, row and column 0 included (so +0 and -0
// differ).
inline void ExpectSameBits(const Matrix& a, const Matrix& b, const char* what = "") {
  ASSERT_EQ(a.rows(), b.rows()) << what;
  ASSERT_EQ(a.cols(), b.cols()) << what;
  for (int i = 0; i <= a.rows(); ++i) {
    for (int j = 0; j <= a.cols(); ++j) {
      const double x = a(i, j), y = b(i, j);
      ASSERT_EQ(0, std::memcmp(&x, &y, sizeof x)) << what << " (" << i << ", " << j << "): " << x << " vs " << y;
    }
  }
}

// A vector indexed from 1 (element 0 unused), as the engine's result vectors.
inline std::vector<double> FromOne(std::initializer_list<double> values) {
  std::vector<double> out{0.0};
  out.insert(out.end(), values);
  return out;
}

}  // namespace korvo::testing
