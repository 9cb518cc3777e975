#include "engine/kernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <utility>
#include <random>
#include <vector>

#include "common/constants.h"
#include "engine/decorrelate.h"
#include "engine/reweighted_step.h"
#include "engine/robust_estimators.h"
#include "support/engine_cases.h"
#include "support/matrices.h"

namespace korvo {
namespace {

using namespace korvo::testing;

// 8 × 8 in diagonal blocks and its inverse by hand (2 × 2 blocks by the adjugate); with
// `negativeLast` the last element is −9, and its block takes the plain loops.
std::pair<Matrix, Matrix> DiagonalBlocks(bool negativeLast) {
  Matrix a(8, 8), inverse(8, 8);
  const double diagonal[] = {4, 3, 5, 6, 2, 7, 8, negativeLast ? -9.0 : 9.0};
  for (int i = 1; i <= 8; ++i) a(i, i) = diagonal[i - 1], inverse(i, i) = 1.0 / diagonal[i - 1];
  a(1, 4) = a(4, 1) = 1.5;
  a(6, 7) = a(7, 6) = -2.25;
  inverse(1, 1) = 6 / 21.75, inverse(4, 4) = 4 / 21.75, inverse(1, 4) = inverse(4, 1) = -1.5 / 21.75;
  inverse(6, 6) = 8 / 50.9375, inverse(7, 7) = 7 / 50.9375, inverse(6, 7) = inverse(7, 6) = 2.25 / 50.9375;
  return {a, inverse};
}

// An empty expected inverse: the matrix is singular and the message says so.
TEST(KernelsInverse, HandWorkedInversesAndSingularCases) {
  const auto [blocks, blocksInverse] = DiagonalBlocks(false);
  const auto [negativeLast, negativeLastInverse] = DiagonalBlocks(true);
  Matrix singularBlock = negativeLast;
  singularBlock(5, 5) = 0.0;
  const struct Case { const char* name; Matrix a; int order; Matrix inverse; double relativeTolerance; } cases[] = {
      // W(1,1) = 0: row 2 is added to row 1 before the elimination.
      {"swap, mended by row addition", FromRows({{0, 1}, {1, 0}}), 2, FromRows({{0, 1}, {1, 0}}), 0.0},
      {"tiny pivot used without complaint", FromRows({{1e-300, 0}, {0, 1}}), 2, FromRows({{1e300, 0}, {0, 1}}), 1e-15},
      {"leading block only", FromRows({{4, 0, 9}, {0, 2, 9}, {9, 9, 9}}), 2, FromRows({{0.25, 0}, {0, 0.5}}), 0.0},
      {"diagonal blocks", blocks, 8, blocksInverse, 1e-15},
      {"diagonal blocks, one negative", negativeLast, 8, negativeLastInverse, 1e-15},
      {"zero", FromRows({{0}}), 1, {}, 0.0},
      {"second pivot exactly 0 after elimination", FromRows({{1, 2}, {2, 4}}), 2, {}, 0.0},
      {"a singular block in the middle", singularBlock, 8, {}, 0.0},
  };
  for (const Case& c : cases) {
    for (const MatrixKernels& kernels : {FastKernels(), DenseKernels()}) {
      SCOPED_TRACE(::testing::Message() << c.name << (kernels.dense ? ", plain" : ", fast"));
      const Matrix operand = c.a;
      const Result<Matrix> inverse = kernels.invert(c.a, c.order);
      ExpectSameBits(c.a, operand, "operand");  // left unchanged
      if (c.inverse.rows() == 0) {
        ASSERT_FALSE(inverse.ok());
        EXPECT_EQ(inverse.error(), "Matriz singular");
        continue;
      }
      ASSERT_TRUE(inverse.ok());
      ASSERT_EQ(std::pair(inverse->rows(), inverse->cols()), std::pair(c.order, c.order));
      for (int i = 1; i <= c.order; ++i)
        for (int j = 1; j <= c.order; ++j)
          EXPECT_NEAR((*inverse)(i, j), c.inverse(i, j), c.relativeTolerance * std::fabs(c.inverse(i, j))) << i << "," << j;
    }
  }
}

TEST(KernelsProduct, ShapesAndHandValues) {
  // A 3 × 3 product with row and column 0 zero; (1,2) = Σ_c (1 + 10c)(2 + 10c) = 9742.
  Matrix j(3, 6), jt(6, 3);
  for (int r = 1; r <= 3; ++r)
    for (int c = 1; c <= 6; ++c) j(r, c) = jt(c, r) = r + 10 * c;
  const Matrix p = MultiplyMatrices(j, jt, 3, 6, 3);
  ASSERT_EQ(std::pair(p.rows(), p.cols()), std::pair(3, 3));
  for (int c = 0; c <= 3; ++c) EXPECT_EQ(std::pair(p(0, c), p(c, 0)), std::pair(0.0, 0.0)) << c;
  EXPECT_EQ(std::pair(p(1, 2), p(2, 1)), std::pair(9742.0, 9742.0));
  // 0·inf still gives NaN, as in the plain loop.
  const Matrix a = FromRows({{0, 1}, {1, 0}}), b = FromRows({{INFINITY, 1}, {2, 3}});
  EXPECT_TRUE(std::isnan(MultiplyMatrices(a, b, 2, 2, 2)(1, 1)));
  EXPECT_EQ(std::isnan(MultiplyMatrices(a, b, 2, 2, 2)(2, 1)), std::isnan(MultiplyMatricesDense(a, b, 2, 2, 2)(2, 1)));
}

// Random matrix with a share of exact zeros, including -0 entries.
Matrix RandomSparse(std::mt19937& rng, int rows, int cols, double zeroShare) {
  std::uniform_real_distribution<double> value(-3.0, 3.0), unit(0.0, 1.0);
  Matrix m(rows, cols);
  for (int i = 1; i <= rows; ++i) {
    for (int j = 1; j <= cols; ++j) {
      const double u = unit(rng);
      m(i, j) = u < zeroShare ? (u < zeroShare / 4 ? -0.0 : 0.0) : value(rng);
    }
  }
  return m;
}

// Every layer gives the same bits with the fast kernels and with the plain dense loops.
TEST(Kernels, FastAndPlainGiveTheSameBits) {
  using Outputs = std::vector<Matrix>;
  const ObservationSystem shaped = NetworkShapedSystem(20, 160, 30, 17);  // n = 250, m = 60
  const struct Case {
    const char* name;
    std::function<Outputs(const MatrixKernels&)> compute;
    bool zeroSignMayDiffer;
  } cases[] = {
      {"products with zeros and -0",
       [](const MatrixKernels& k) {
         std::mt19937 rng(20261206);
         Outputs out;
         for (double zeroShare : {0.0, 0.3, 0.9, 0.99}) {
           for (int trial = 0; trial < 5; ++trial) {
             const Matrix a = RandomSparse(rng, 23, 41, zeroShare), b = RandomSparse(rng, 41, 17, zeroShare);
             out.push_back(k.multiply(a, b, 23, 41, 17));
           }
         }
         return out;
       },
       false},
      {"inverses of block-diagonal weights and of normal matrices AᵀA + I/10",
       [&](const MatrixKernels& k) {
         std::mt19937 rng(7);
         Outputs out{k.invert(shaped.P, shaped.numEquations).value()};
         ExpectNear(k.multiply(shaped.P, out.back(), 250, 250, 250), Identity(250), 1e-10);  // P·P⁻¹ = I
         for (double zeroShare : {0.0, 0.5, 0.8}) {
           for (int trial = 0; trial < 4; ++trial) {
             const Matrix a = RandomSparse(rng, 40, 25, zeroShare);
             Matrix normalMatrix = MultiplyMatricesDense(TransposeMatrix(a, 40, 25), a, 25, 40, 25);
             for (int i = 1; i <= 25; ++i) normalMatrix(i, i) += 0.1;
             out.push_back(k.invert(normalMatrix, 25).value());
           }
         }
         return out;
       },
       false},
      // The whole-matrix loops and the fallback of one block may give zeros of other signs.
      {"blocks, one with a negative diagonal element",
       [](const MatrixKernels& k) { return Outputs{k.invert(DiagonalBlocks(true).first, 8).value()}; }, true},
      // Unit weight factors, then those of Huber's second pass, then random ones.
      {"reweighted passes on a network-shaped system",
       [&](const MatrixKernels& k) {
         Outputs out;
         const DecorrelatedSystem d = DecorrelateSystem(shaped).value();
         std::vector<double> w(static_cast<std::size_t>(shaped.numEquations) + 1, 1.0);
         std::mt19937 gen(5);
         std::uniform_real_distribution<double> u(0.05, 1.0);
         for (int round = 0; round < 3; ++round) {
           const ReweightedPass pass = RunReweightedStep(d, w, k).value();
           for (const std::vector<double>& v : {pass.corrections, pass.rotatedResiduals, {pass.sigma}})
             out.push_back(Column(v));
           out.push_back(pass.robustQxx);
           for (std::size_t i = 1; i < w.size(); ++i)
             w[i] = round == 0 ? HuberWeight(pass.rotatedResiduals[i], d.rotatedWeights()[i]) : u(gen);
         }
         return out;
       },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Outputs fast = c.compute(FastKernels()), plain = c.compute(DenseKernels());
    ASSERT_EQ(fast.size(), plain.size());
    for (std::size_t i = 0; i < fast.size(); ++i) {
      if (c.zeroSignMayDiffer) {
        EXPECT_EQ(fast[i], plain[i]) << i;
      } else {
        ExpectSameBits(fast[i], plain[i]);
      }
    }
  }
}

TEST(KernelsArcCos, SeriesWithinHalfExactBeyond) {
  // π/2 with the program's π (3.2e-15 short); the cut series within 1e-14 up to |x| = 0.5, the
  // exact arccosine beyond (the truncated series is 1.3e-4 rad off at 0.9); past ±1 by rounding is ±1.
  EXPECT_EQ(ArcCosSeries(0.0), kPi / 2.0);
  EXPECT_NEAR(ArcCosSeries(-0.5), std::acos(-0.5), 1e-14);
  EXPECT_NEAR(ArcCosSeries(0.9), std::acos(0.9), 1e-15);
  EXPECT_NEAR(ArcCosTruncatedSeries(0.9) - std::acos(0.9), 1.3e-4, 0.2e-4);
  EXPECT_EQ(std::pair(ArcCosSeries(1.0 + 4e-16), ArcCosSeries(-1.0 - 4e-16)), std::pair(0.0, kPi));
}

}  // namespace
}  // namespace korvo
