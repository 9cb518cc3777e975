// Decomposition of the weight matrix and the rotation of the observation system.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

#include "common/win1252.h"
#include "engine/decorrelate.h"
#include "engine/svd.h"
#include "matimport/import_matrices.h"
#include "support/engine_cases.h"
#include "support/files.h"
#include "support/matrices.h"

namespace korvo {
namespace {

using namespace korvo::testing;

// A 60 × 60 full matrix Q·diag(λ)·Qᵀ with λ from 10⁻³ to 10⁶ and a triple value 7, Q a
// product of plane rotations.
std::pair<Matrix, std::vector<double>> SpreadEigenvalues() {
  const int n = 60;
  std::vector<double> lambda(n + 1);
  for (int i = 1; i <= n; ++i) lambda[static_cast<std::size_t>(i)] = i <= 3 ? 7.0 : std::pow(10.0, -3.0 + 9.0 * i / n);
  Matrix q = Identity(n);
  std::mt19937 gen(3);
  std::uniform_real_distribution<double> angle(0.0, 6.28);
  for (int r = 0; r < 400; ++r) {
    const int a = 1 + static_cast<int>(gen() % n), b = 1 + static_cast<int>(gen() % n);
    if (a == b) continue;
    const double theta = angle(gen), c = std::cos(theta), s = std::sin(theta);
    for (int i = 1; i <= n; ++i) {
      const double qa = q(i, a), qb = q(i, b);
      q(i, a) = c * qa - s * qb;
      q(i, b) = s * qa + c * qb;
    }
  }
  std::vector<double> sorted = lambda;
  std::sort(sorted.begin() + 1, sorted.end(), std::greater<>());
  return {DenseProduct(DenseProduct(q, Diagonal(lambda)), Transposed(q)), sorted};
}

// V orthogonal, V·S·Vᵀ = (P + Pᵀ)/2 within a few roundings of the largest value, the values
// decreasing and equal to the eigenvalues known by construction.
TEST(WeightDecomposition, FactorsRebuildTheWeights) {
  const auto [spread, spreadValues] = SpreadEigenvalues();
  const struct Case {
    const char* name;
    Matrix p;
    std::vector<double> eigenvalues;  // 1..n, decreasing
    double tolerance;
    std::size_t blocks;
  } cases[] = {
      {"spread and repeated", spread, spreadValues, 1e-13 * 1e6, 1},
      {"unsymmetric, symmetric part [3 1; 1 3]", FromRows({{3, 2}, {0, 3}}), FromOne({4, 2}), 1e-15, 1},
      // A baseline's block [4 1 0; 1 4 1; 0 1 4] between classical weights 9 and 0.5:
      // eigenvalues 4 + 2cos(kπ/4) by hand, in three blocks.
      {"baseline block between single rows",
       FromRows({{9, 0, 0, 0, 0}, {0, 4, 1, 0, 0}, {0, 1, 4, 1, 0}, {0, 0, 1, 4, 0}, {0, 0, 0, 0, 0.5}}),
       FromOne({9.0, 4.0 + std::sqrt(2.0), 4.0, 4.0 - std::sqrt(2.0), 0.5}), 1e-14, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int n = c.p.rows();
    const Result<WeightDecomposition> d = SingularValueDecomposition(c.p);
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d->blocks.size(), c.blocks);
    const Matrix v = d->DenseVectors();
    ExpectNear(DenseProduct(Transposed(v), v), Identity(n), 1e-14);
    Matrix symmetric(n, n);
    for (int i = 1; i <= n; ++i)
      for (int j = 1; j <= n; ++j) symmetric(i, j) = (c.p(i, j) + c.p(j, i)) / 2;
    ExpectNear(DenseProduct(DenseProduct(v, Diagonal(d->singularValues)), Transposed(v)), symmetric, c.tolerance);
    for (int i = 2; i <= n; ++i) EXPECT_GE(d->singularValues[static_cast<std::size_t>(i - 1)], d->singularValues[static_cast<std::size_t>(i)]);
    for (std::size_t i = 1; i < c.eigenvalues.size(); ++i) EXPECT_NEAR(d->singularValues[i], c.eigenvalues[i], c.tolerance) << i;
  }
}

// [[1, 3], [1, 1]], of symmetric part [[1, 2], [2, 1]] (eigenvalues 3 and −1), is refused on
// import (the decomposition's own message is the robust stage's table's).
TEST(WeightDecomposition, WeightsThatAreNotPositiveDefiniteAreRefused) {
  auto write = [](const char* name, const char* text) { return WriteTempFile(std::string("weights/") + name, text).string(); };
  const std::string a = write("A.txt", "1 0\n0 1\n1 1\n"), k = write("k.txt", "1\n2\n3\n");
  MatrixImportFailure kind = MatrixImportFailure::None;
  const Result<ImportedMatrices> imported = ImportMatrices({a, k, write("P.txt", "1 3 0\n1 1 0\n0 0 1\n")}, "", &kind);
  ASSERT_FALSE(imported.ok());
  EXPECT_EQ(kind, MatrixImportFailure::MatrixCheck);
  EXPECT_NE(imported.error().find(Cp1252("La matriz P no es definida positiva")), std::string::npos);
}

TEST(DecorrelateSystem, RotationIsBitForBitTheDenseProducts) {
  const ObservationSystem s = NetworkShapedSystem(4, 7, 3, 11);
  const Result<DecorrelatedSystem> d = DecorrelateSystem(s);
  ASSERT_TRUE(d.ok());
  const Matrix r = Transposed(d->decomposition.DenseVectors());
  EXPECT_EQ(d->rotatedDesign, DenseProduct(r, s.A));
  const Matrix rotatedK = DenseProduct(r, s.k);
  for (int i = 1; i <= rotatedK.rows(); ++i) EXPECT_EQ(d->rotatedTerms[static_cast<std::size_t>(i)], rotatedK(i, 1));
}

}  // namespace
}  // namespace korvo
