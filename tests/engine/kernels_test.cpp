#include "engine/kernels.h"

#include <gtest/gtest.h>

#include "support/matrices.h"

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "common/constants.h"

namespace korvo {
namespace {

using namespace korvo::testing;

TEST(KernelsInverse, SwapMatrixIsMendedByRowAdditionAndIsItsOwnInverse) {
  // W(1,1) = 0: row 2 is added to row 1, giving [[1,1],[1,0]]; elimination then gives the
  // swap matrix back.
  const Matrix swap = FromRows({{0, 1}, {1, 0}});
  for (auto invert : {&InvertMatrix, &InvertMatrixDense}) {
    Result<Matrix> inv = invert(swap, 2);
    ASSERT_TRUE(inv.ok());
    EXPECT_EQ(inv->rows(), 2);
    EXPECT_EQ(inv->cols(), 2);
    EXPECT_EQ((*inv)(1, 1), 0.0);
    EXPECT_EQ((*inv)(1, 2), 1.0);
    EXPECT_EQ((*inv)(2, 1), 1.0);
    EXPECT_EQ((*inv)(2, 2), 0.0);
  }
}

TEST(KernelsInverse, HandWorkedTridiagonal) {
  // [[2,1,0],[1,2,1],[0,1,2]]⁻¹ = ¼·[[3,-2,1],[-2,4,-2],[1,-2,3]] (adjugate over det 4).
  const Matrix a = FromRows({{2, 1, 0}, {1, 2, 1}, {0, 1, 2}});
  const double expected[3][3] = {{0.75, -0.5, 0.25}, {-0.5, 1.0, -0.5}, {0.25, -0.5, 0.75}};
  Result<Matrix> inv = InvertMatrix(a, 3);
  ASSERT_TRUE(inv.ok());
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 3; ++j) EXPECT_NEAR((*inv)(i, j), expected[i - 1][j - 1], 1e-15);
  }
  // The operand is left unchanged.
  ExpectSameBits(a, FromRows({{2, 1, 0}, {1, 2, 1}, {0, 1, 2}}));
}

TEST(KernelsInverse, SingularCasesFailWithTheMessage) {
  const std::vector<Matrix> singular = {
      FromRows({{0}}),
      FromRows({{1, 0}, {2, 0}}),                    // zero column
      FromRows({{1, 2}, {2, 4}}),                    // second pivot exactly 0 after elimination
      FromRows({{0, 1, 2}, {0, 3, 4}, {0, 5, 6}}),   // first column zero at and below the diagonal
  };
  for (const Matrix& m : singular) {
    for (auto invert : {&InvertMatrix, &InvertMatrixDense}) {
      Result<Matrix> inv = invert(m, m.rows());
      ASSERT_FALSE(inv.ok());
      EXPECT_EQ(inv.error(), "Matriz singular");
    }
  }
}

TEST(KernelsInverse, TinyPivotIsUsedWithoutComplaint) {
  const Matrix diag = FromRows({{1e-300, 0}, {0, 1}});
  Result<Matrix> inv = InvertMatrix(diag, 2);
  ASSERT_TRUE(inv.ok());
  EXPECT_DOUBLE_EQ((*inv)(1, 1), 1e300);
  EXPECT_EQ((*inv)(2, 2), 1.0);
  // A tiny pivot with a coupling: huge intermediate values, no failure, and both versions
  // agree to the bit.
  const Matrix coupled = FromRows({{1e-300, 1}, {1, 1}});
  Result<Matrix> fast = InvertMatrix(coupled, 2);
  Result<Matrix> plain = InvertMatrixDense(coupled, 2);
  ASSERT_TRUE(fast.ok());
  ASSERT_TRUE(plain.ok());
  ExpectSameBits(*fast, *plain);
}

TEST(KernelsInverse, InvertsOnlyTheLeadingBlock) {
  Matrix a = FromRows({{4, 0, 9}, {0, 2, 9}, {9, 9, 9}});
  Result<Matrix> inv = InvertMatrix(a, 2);
  ASSERT_TRUE(inv.ok());
  EXPECT_EQ(inv->rows(), 2);
  EXPECT_EQ((*inv)(1, 1), 0.25);
  EXPECT_EQ((*inv)(2, 2), 0.5);
  EXPECT_EQ((*inv)(1, 2), 0.0);
}

TEST(KernelsProduct, ShapesAndHandValues) {
  // 3 x 6 times 6 x 3: a 3 x 3 product, row 0 and column 0 unused (zero).
  Matrix j(3, 6), jt(6, 3);
  for (int r = 1; r <= 3; ++r) {
    for (int c = 1; c <= 6; ++c) {
      j(r, c) = r + 10 * c;
      jt(c, r) = j(r, c);
    }
  }
  const Matrix p = MultiplyMatrices(j, jt, 3, 6, 3);
  EXPECT_EQ(p.rows(), 3);
  EXPECT_EQ(p.cols(), 3);
  for (int c = 0; c <= 3; ++c) {
    EXPECT_EQ(p(0, c), 0.0);
    EXPECT_EQ(p(c, 0), 0.0);
  }
  // (1,2): Σ_c (1 + 10c)(2 + 10c) = Σ 2 + 30c + 100c² = 12 + 630 + 9100.
  EXPECT_EQ(p(1, 2), 9742.0);
  EXPECT_EQ(p(2, 1), 9742.0);
  const Matrix q = MultiplyMatrices(FromRows({{1, 2}, {3, 4}}), FromRows({{5, 6}, {7, 8}}), 2, 2, 2);
  EXPECT_EQ(q, FromRows({{19, 22}, {43, 50}}));
}

// Random matrix with a share of exact zeros, including -0 entries.
Matrix RandomSparse(std::mt19937& rng, int rows, int cols, double zeroShare) {
  std::uniform_real_distribution<double> value(-3.0, 3.0);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  Matrix m(rows, cols);
  for (int i = 1; i <= rows; ++i) {
    for (int j = 1; j <= cols; ++j) {
      const double u = unit(rng);
      m(i, j) = u < zeroShare ? (u < zeroShare / 4 ? -0.0 : 0.0) : value(rng);
    }
  }
  return m;
}

TEST(KernelsProduct, SkippingZerosGivesThePlainBits) {
  std::mt19937 rng(20261206);
  for (double zeroShare : {0.0, 0.3, 0.9, 0.99}) {
    for (int trial = 0; trial < 5; ++trial) {
      const Matrix a = RandomSparse(rng, 23, 41, zeroShare);
      const Matrix b = RandomSparse(rng, 41, 17, zeroShare);
      ExpectSameBits(MultiplyMatrices(a, b, 23, 41, 17), MultiplyMatricesDense(a, b, 23, 41, 17));
    }
  }
  // Non-finite operands: 0·inf must still give NaN as in the plain loop.
  Matrix a = FromRows({{0, 1}, {1, 0}});
  Matrix b = FromRows({{INFINITY, 1}, {2, 3}});
  const Matrix fast = MultiplyMatrices(a, b, 2, 2, 2);
  EXPECT_TRUE(std::isnan(fast(2, 1)) == std::isnan(MultiplyMatricesDense(a, b, 2, 2, 2)(2, 1)));
  EXPECT_TRUE(std::isnan(fast(1, 1)));
}

// Symmetric positive definite with 1 x 1 and 3 x 3 diagonal blocks, like a weight matrix.
Matrix BlockWeights(std::mt19937& rng, int blocks, int singles) {
  const int n = 3 * blocks + singles;
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  Matrix p(n, n);
  int row = 1;
  for (int s = 0; s < singles; ++s, ++row) p(row, row) = 1.0 / (0.001 + std::fabs(value(rng)));
  for (int b = 0; b < blocks; ++b, row += 3) {
    double g[3][3];
    for (auto& r : g) for (double& x : r) x = value(rng);
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) {
        double s = i == j ? 0.5 : 0.0;
        for (int t = 0; t < 3; ++t) s += g[i][t] * g[j][t];
        p(row + i, row + j) = s * 1e4;
      }
    }
  }
  return p;
}

TEST(KernelsInverse, SkippingZerosGivesThePlainBits) {
  std::mt19937 rng(7);
  // Block-diagonal weights.
  for (int trial = 0; trial < 4; ++trial) {
    const Matrix p = BlockWeights(rng, 12, 9);
    Result<Matrix> fast = InvertMatrix(p, p.rows());
    Result<Matrix> plain = InvertMatrixDense(p, p.rows());
    ASSERT_TRUE(fast.ok() && plain.ok());
    ExpectSameBits(*fast, *plain);
  }
  // Dense normal matrices AᵀA + a sparse one, general matrices with negative pivots and
  // zero pivots, -0 entries.
  for (double zeroShare : {0.0, 0.5, 0.8}) {
    for (int trial = 0; trial < 4; ++trial) {
      const Matrix a = RandomSparse(rng, 40, 25, zeroShare);
      Matrix n = MultiplyMatricesDense(TransposeMatrix(a, 40, 25), a, 25, 40, 25);
      for (int i = 1; i <= 25; ++i) n(i, i) += 0.1;
      Result<Matrix> fast = InvertMatrix(n, 25);
      Result<Matrix> plain = InvertMatrixDense(n, 25);
      ASSERT_TRUE(fast.ok() && plain.ok());
      ExpectSameBits(*fast, *plain);

      Matrix g = RandomSparse(rng, 15, 15, zeroShare / 2);
      for (int i = 1; i <= 15; ++i) g(i, i) += 8.0;
      if (trial % 2 == 1) g(1, 1) = 0.0;  // row addition at the first pivot
      Result<Matrix> gFast = InvertMatrix(g, 15);
      Result<Matrix> gPlain = InvertMatrixDense(g, 15);
      ASSERT_EQ(gFast.ok(), gPlain.ok());
      if (gFast.ok()) ExpectSameBits(*gFast, *gPlain);
    }
  }
}

TEST(KernelsInverse, BlockStructureGivesThePlainBits) {
  // Blocks 1..4 (tied by the elements (1,4) and (4,1) only), 5, 6..7 and 8, with a negative
  // diagonal element in the last block (its inverse takes the plain loops).
  Matrix a(8, 8);
  const double diagonal[] = {4, 3, 5, 6, 2, 7, 8, 9};
  for (int i = 1; i <= 8; ++i) a(i, i) = diagonal[i - 1];
  a(1, 4) = a(4, 1) = 1.5;
  a(6, 7) = a(7, 6) = -2.25;
  for (int variant = 0; variant < 2; ++variant) {
    if (variant == 1) a(8, 8) = -9;
    Result<Matrix> fast = InvertMatrix(a, 8);
    Result<Matrix> plain = InvertMatrixDense(a, 8);
    ASSERT_TRUE(fast.ok() && plain.ok());
    if (variant == 0) {
      ExpectSameBits(*fast, *plain);
    } else {
      EXPECT_EQ(*fast, *plain);  // equal values; a zero may carry another sign
    }
    EXPECT_DOUBLE_EQ((*fast)(1, 1), 6.0 / (24.0 - 2.25));
    EXPECT_EQ((*fast)(1, 2), 0.0);
    EXPECT_EQ((*fast)(5, 5), 0.5);
  }
  EXPECT_DOUBLE_EQ((*InvertMatrix(a, 8))(8, 8), -1.0 / 9.0);
  // A singular block in the middle.
  a(5, 5) = 0.0;
  Result<Matrix> singular = InvertMatrix(a, 8);
  ASSERT_FALSE(singular.ok());
  EXPECT_EQ(singular.error(), "Matriz singular");
}

TEST(KernelsInverse, TimesOriginalIsIdentity) {
  std::mt19937 rng(99);
  const Matrix p = BlockWeights(rng, 5, 4);
  const int n = p.rows();
  Result<Matrix> inv = InvertMatrix(p, n);
  ASSERT_TRUE(inv.ok());
  const Matrix identity = MultiplyMatrices(p, *inv, n, n, n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) EXPECT_NEAR(identity(i, j), i == j ? 1.0 : 0.0, 1e-10);
  }
}

TEST(KernelsArcCos, KnownValues) {
  // π/2 with the program's pi: 1.5707963267949 to the digits shown.
  EXPECT_EQ(ArcCosSeries(0.0), kPi / 2.0);
  EXPECT_NEAR(ArcCosSeries(0.0), 1.5707963267949, 1e-13);
  // 60 degrees; the cut series is exact to 1e-14 up to |x| = 0.5.
  EXPECT_NEAR(ArcCosSeries(0.5), 1.0471975511966, 1e-12);
  EXPECT_NEAR(ArcCosSeries(0.5), std::acos(0.5), 1e-14);  // series, program's pi
  EXPECT_NEAR(ArcCosSeries(-0.5), std::acos(-0.5), 1e-14);
  // Beyond 0.5 the exact arccosine: the truncated series would be 1.3e-4 rad off at 0.9
  // (a zenith distance wrong by 83 cc).
  EXPECT_NEAR(ArcCosSeries(0.9), std::acos(0.9), 1e-15);
  EXPECT_NEAR(ArcCosTruncatedSeries(0.9) - std::acos(0.9), 1.3e-4, 0.2e-4);
  // A cosine past ±1 by rounding is taken as ±1.
  EXPECT_EQ(ArcCosSeries(1.0 + 1e-16 * 4), 0.0);
  EXPECT_NEAR(ArcCosSeries(-1.0 - 4e-16), kPi, 1e-15);
}

TEST(KernelsArcCos, SeriesCoefficients) {
  // The first terms by hand: arcsin x ≈ x + x³/6 + 3x⁵/40 + 15x⁷/336 + 105x⁹/3456 + ...
  // At x = 0.1 the terms beyond x⁹ are below 1e-12 of the value; the truncation leaves
  // arccos(0.1) to the last digit.
  const double x = 0.1;
  const double partial = x + std::pow(x, 3) / 6 + 3 * std::pow(x, 5) / 40 + 15 * std::pow(x, 7) / 336 +
                         105 * std::pow(x, 9) / 3456;
  EXPECT_NEAR(ArcCosSeries(x), kPi / 2 - partial, 1e-12);
  // The program's pi is 3.2e-15 short of π, so π/2 is 1.6e-15 short.
  EXPECT_NEAR(ArcCosSeries(x), std::acos(x), 3e-15);
}

}  // namespace
}  // namespace korvo
