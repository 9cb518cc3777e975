// Decomposition of the weight matrix and the rotation of the observation system.
#include <gtest/gtest.h>

#include "support/matrices.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "engine/decorrelate.h"
#include "engine/svd.h"

namespace korvo {
namespace {

using namespace korvo::testing;

void ExpectOrthogonal(const Matrix& v) {
  Matrix identity(v.rows(), v.rows());
  for (int i = 1; i <= v.rows(); ++i) identity(i, i) = 1.0;
  ExpectNear(DenseProduct(Transposed(v), v), identity, 1e-14);
}

// The 3 × 3 weight block of a baseline worked by hand: the tridiagonal Toeplitz matrix
// [4 1 0; 1 4 1; 0 1 4] has eigenvalues 4 + 2cos(kπ/4), k = 1..3, i.e. 4 + √2, 4, 4 − √2,
// with eigenvectors (1/2, √2/2, 1/2), (1, 0, −1)/√2 and (1/2, −√2/2, 1/2).
Matrix ClassicalRowsAroundABaseline() {
  Matrix p(5, 5);
  p(1, 1) = 9.0;
  p(2, 2) = 4.0, p(2, 3) = 1.0;
  p(3, 2) = 1.0, p(3, 3) = 4.0, p(3, 4) = 1.0;
  p(4, 3) = 1.0, p(4, 4) = 4.0;
  p(5, 5) = 0.5;
  return p;
}

TEST(WeightDecomposition, DiagonalWeightsGiveSignedPermutationAndTheirDiagonal) {
  const std::vector<double> diagonal = {0.0, 4.0, 1.0, 9.0, 0.25, 1e6};
  Result<WeightDecomposition> d = SingularValueDecomposition(Diagonal(diagonal));
  ASSERT_TRUE(d.ok());
  const Matrix v = d->DenseVectors();
  for (int c = 1; c <= 5; ++c) {
    int nonZero = 0;
    int row = 0;
    for (int r = 1; r <= 5; ++r)
      if (v(r, c) != 0.0) ++nonZero, row = r;
    ASSERT_EQ(nonZero, 1) << "column " << c;
    EXPECT_EQ(std::fabs(v(row, c)), 1.0);
    EXPECT_EQ(d->singularValues[static_cast<std::size_t>(c)], diagonal[static_cast<std::size_t>(row)]);
  }
}

TEST(WeightDecomposition, BaselineBlockWeightsAreTheEigenvaluesOfItsWeightBlock) {
  Result<WeightDecomposition> d = SingularValueDecomposition(ClassicalRowsAroundABaseline());
  ASSERT_TRUE(d.ok());
  const std::vector<double>& s = d->singularValues;
  EXPECT_EQ(s[1], 9.0);
  EXPECT_NEAR(s[2], 4.0 + std::sqrt(2.0), 1e-14);
  EXPECT_NEAR(s[3], 4.0, 1e-14);
  EXPECT_NEAR(s[4], 4.0 - std::sqrt(2.0), 1e-14);
  EXPECT_EQ(s[5], 0.5);

  const Matrix v = d->DenseVectors();
  // Eigenvectors up to sign, in the columns of the block's rows.
  const double h = std::sqrt(2.0) / 2.0;
  const double expected[3][3] = {{0.5, h, 0.5}, {h, 0.0, -h}, {0.5, -h, 0.5}};
  for (int c = 0; c < 3; ++c) {
    const double sign = v(2, c + 2) < 0.0 ? -1.0 : 1.0;
    for (int r = 0; r < 3; ++r) EXPECT_NEAR(sign * v(r + 2, c + 2), expected[c][r], 1e-14);
  }
  // Nothing outside the block.
  for (int r = 2; r <= 4; ++r) {
    EXPECT_EQ(v(r, 1), 0.0);
    EXPECT_EQ(v(r, 5), 0.0);
    EXPECT_EQ(v(1, r), 0.0);
    EXPECT_EQ(v(5, r), 0.0);
  }
}

TEST(WeightDecomposition, FullWeightMatrixIsRebuiltFromItsFactors) {
  const Matrix p = RandomSpd(12, 7);
  Result<WeightDecomposition> d = SingularValueDecomposition(p);
  ASSERT_TRUE(d.ok());
  ASSERT_EQ(d->blocks.size(), 1u);
  const Matrix v = d->DenseVectors();
  ExpectOrthogonal(v);
  ExpectNear(DenseProduct(DenseProduct(v, Diagonal(d->singularValues)), Transposed(v)), p, 1e-12);
  for (int i = 2; i <= 12; ++i) EXPECT_GE(d->singularValues[static_cast<std::size_t>(i - 1)], d->singularValues[static_cast<std::size_t>(i)]);
}

TEST(WeightDecomposition, RepeatedAndSpreadEigenvalues) {
  // [2 1 1; 1 2 1; 1 1 2] = I + 11ᵀ: eigenvalues 4, 1, 1.
  Matrix equal(3, 3);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) equal(i, j) = i == j ? 2.0 : 1.0;
  Result<WeightDecomposition> d = SingularValueDecomposition(equal);
  ASSERT_TRUE(d.ok());
  EXPECT_NEAR(d->singularValues[1], 4.0, 1e-14);
  EXPECT_NEAR(d->singularValues[2], 1.0, 1e-14);
  EXPECT_NEAR(d->singularValues[3], 1.0, 1e-14);
  ExpectOrthogonal(d->DenseVectors());

  // A 60 × 60 full matrix Q·diag(λ)·Qᵀ with λ from 10⁻³ to 10⁶ and a triple value, Q a
  // product of plane rotations.
  const int n = 60;
  std::vector<double> lambda(n + 1);
  for (int i = 1; i <= n; ++i) lambda[static_cast<std::size_t>(i)] = i <= 3 ? 7.0 : std::pow(10.0, -3.0 + 9.0 * i / n);
  Matrix q(n, n);
  for (int i = 1; i <= n; ++i) q(i, i) = 1.0;
  std::mt19937 gen(3);
  std::uniform_real_distribution<double> angle(0.0, 6.28);
  for (int r = 0; r < 400; ++r) {
    const int a = 1 + static_cast<int>(gen() % n), b = 1 + static_cast<int>(gen() % n);
    if (a == b) continue;
    const double theta = angle(gen);
    const double c = std::cos(theta), s = std::sin(theta);
    for (int i = 1; i <= n; ++i) {
      const double qa = q(i, a), qb = q(i, b);
      q(i, a) = c * qa - s * qb;
      q(i, b) = s * qa + c * qb;
    }
  }
  const Matrix p = DenseProduct(DenseProduct(q, Diagonal(lambda)), Transposed(q));
  Result<WeightDecomposition> big = SingularValueDecomposition(p);
  ASSERT_TRUE(big.ok());
  std::vector<double> sorted(lambda.begin() + 1, lambda.end());
  std::sort(sorted.rbegin(), sorted.rend());
  // Backward stable: each value within a few units of rounding of the largest one.
  const double tolerance = 1e-13 * sorted.front();
  for (int i = 1; i <= n; ++i)
    EXPECT_NEAR(big->singularValues[static_cast<std::size_t>(i)], sorted[static_cast<std::size_t>(i - 1)], tolerance)
        << i;
  const Matrix v = big->DenseVectors();
  ExpectOrthogonal(v);
  ExpectNear(DenseProduct(DenseProduct(v, Diagonal(big->singularValues)), Transposed(v)), p, tolerance);
}

TEST(WeightDecomposition, UnsymmetricWeightsUseTheirSymmetricPart) {
  Matrix p(2, 2);
  p(1, 1) = 3.0, p(1, 2) = 2.0, p(2, 1) = 0.0, p(2, 2) = 3.0;  // symmetric part [3 1; 1 3]
  Result<WeightDecomposition> d = SingularValueDecomposition(p);
  ASSERT_TRUE(d.ok());
  EXPECT_NEAR(d->singularValues[1], 4.0, 1e-15);
  EXPECT_NEAR(d->singularValues[2], 2.0, 1e-15);
}

TEST(WeightDecomposition, WeightsThatAreNotPositiveDefiniteAreRefused) {
  Matrix p(2, 2);
  p(1, 1) = 1.0, p(1, 2) = 2.0, p(2, 1) = 2.0, p(2, 2) = 1.0;  // eigenvalues 3 and −1
  Result<WeightDecomposition> d = SingularValueDecomposition(p);
  ASSERT_FALSE(d.ok());
  EXPECT_NE(d.error().find("definida positiva"), std::string::npos);
}

// A system with classical rows and two baselines, with zeros where a network has them.
struct SmallSystem {
  Matrix a, p;
  std::vector<double> k;
};

SmallSystem MixedSystem(int classical, int baselines, int unknowns, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-2.0, 2.0);
  const int n = classical + 3 * baselines;
  SmallSystem s{Matrix(n, unknowns), Matrix(n, n), std::vector<double>(static_cast<std::size_t>(n) + 1)};
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= unknowns; ++j)
      if ((i + j) % 3 != 0) s.a(i, j) = u(gen);
    s.k[static_cast<std::size_t>(i)] = u(gen);
  }
  for (int i = 1; i <= classical; ++i) s.p(i, i) = 1.0 + std::fabs(u(gen));
  for (int b = 0; b < baselines; ++b) {
    const Matrix block = RandomSpd(3, seed + static_cast<unsigned>(b));
    for (int r = 1; r <= 3; ++r)
      for (int c = 1; c <= 3; ++c) s.p(classical + 3 * b + r, classical + 3 * b + c) = block(r, c);
  }
  return s;
}

TEST(DecorrelateSystem, RotationIsBitForBitTheDenseProducts) {
  const SmallSystem s = MixedSystem(7, 3, 5, 11);
  Result<DecorrelatedSystem> d = DecorrelateSystem(s.a, s.k, s.p);
  ASSERT_TRUE(d.ok());
  const Matrix r = Transposed(d->decomposition.DenseVectors());
  const Matrix rotatedA = DenseProduct(r, s.a);
  Matrix kColumn(static_cast<int>(s.k.size()) - 1, 1);
  for (int i = 1; i <= kColumn.rows(); ++i) kColumn(i, 1) = s.k[static_cast<std::size_t>(i)];
  const Matrix rotatedK = DenseProduct(r, kColumn);
  EXPECT_EQ(d->rotatedDesign, rotatedA);
  for (int i = 1; i <= kColumn.rows(); ++i) EXPECT_EQ(d->rotatedTerms[static_cast<std::size_t>(i)], rotatedK(i, 1));

  // The listed non-zero columns are exactly the non-zero entries.
  for (int i = 1; i <= rotatedA.rows(); ++i) {
    int listed = d->rowStart[static_cast<std::size_t>(i)];
    for (int j = 1; j <= rotatedA.cols(); ++j) {
      if (rotatedA(i, j) == 0.0) continue;
      ASSERT_LT(listed, d->rowStart[static_cast<std::size_t>(i) + 1]);
      EXPECT_EQ(d->rowColumns[static_cast<std::size_t>(listed++)], j);
    }
    EXPECT_EQ(listed, d->rowStart[static_cast<std::size_t>(i) + 1]);
  }
}

TEST(DecorrelateSystem, WeightedSquaresAreKeptAndBackRotationUndoesTheRotation) {
  const SmallSystem s = MixedSystem(4, 2, 3, 5);
  Result<DecorrelatedSystem> d = DecorrelateSystem(s.a, s.k, s.p);
  ASSERT_TRUE(d.ok());
  const int n = s.p.rows();
  const Matrix v = d->decomposition.DenseVectors();
  std::vector<double> residual(static_cast<std::size_t>(n) + 1), rotated(static_cast<std::size_t>(n) + 1);
  for (int i = 1; i <= n; ++i) residual[static_cast<std::size_t>(i)] = 0.1 * i - 0.45;
  for (int i = 1; i <= n; ++i)
    for (int l = 1; l <= n; ++l) rotated[static_cast<std::size_t>(i)] += v(l, i) * residual[static_cast<std::size_t>(l)];
  double vPv = 0.0, vSv = 0.0;
  for (int i = 1; i <= n; ++i) {
    vSv += rotated[static_cast<std::size_t>(i)] * rotated[static_cast<std::size_t>(i)] * d->rotatedWeights()[static_cast<std::size_t>(i)];
    for (int j = 1; j <= n; ++j) vPv += residual[static_cast<std::size_t>(i)] * s.p(i, j) * residual[static_cast<std::size_t>(j)];
  }
  EXPECT_NEAR(vSv, vPv, 1e-12 * vPv);

  const std::vector<double> back = BackRotate(d->decomposition, rotated);
  for (int i = 1; i <= n; ++i) EXPECT_NEAR(back[static_cast<std::size_t>(i)], residual[static_cast<std::size_t>(i)], 1e-14);
  // And bit-for-bit the dense V·v′.
  for (int i = 1; i <= n; ++i) {
    double sum = 0.0;
    for (int l = 1; l <= n; ++l) sum += v(i, l) * rotated[static_cast<std::size_t>(l)];
    EXPECT_EQ(back[static_cast<std::size_t>(i)], sum);
  }
}

}  // namespace
}  // namespace korvo
