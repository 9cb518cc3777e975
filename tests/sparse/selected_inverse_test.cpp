// The selected inverse of sparse normal equations against answers found without it.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/kernels.h"
#include "engine/sparse_normal.h"

namespace korvo {
namespace {

// The difference matrix D ((order + 1) × order, D(i, i) = 1, D(i + 1, i) = −1): DᵀD is the
// tridiagonal (−1, 2, −1), whose inverse is min(i, j)·(order + 1 − max(i, j))/(order + 1).
TEST(SelectedInverse, TridiagonalMatchesClosedForm) {
  constexpr int kOrder = 9;
  SparseDesign d;
  d.cols = kOrder;
  for (int i = 1; i <= kOrder + 1; ++i) {
    std::vector<int> columns;
    std::vector<double> values;
    if (i > 1) columns.push_back(i - 1), values.push_back(-1.0);
    if (i <= kOrder) columns.push_back(i), values.push_back(1.0);
    d.AppendRow(columns, values);
  }
  const BlockWeights unit = BlockWeights::Diagonal(std::vector<double>(kOrder + 2, 1.0));
  NormalEquations normal;
  normal.Analyse(d, unit);
  ASSERT_TRUE(normal.Factorise(d, unit).ok());
  normal.SelectInverse();
  for (int i = 1; i <= kOrder; ++i) {
    for (int j = std::max(1, i - 1); j <= std::min(kOrder, i + 1); ++j) {
      const double expected = std::min(i, j) * (kOrder + 1.0 - std::max(i, j)) / (kOrder + 1.0);
      EXPECT_NEAR(normal.Inverse(i, j), expected, 1e-13) << i << "," << j;
    }
  }
}

// An unknown no row reaches, and two unknowns only ever observed together: both refused,
// naming the column.
TEST(SelectedInverse, UndeterminedUnknownNamed) {
  struct Case {
    std::vector<std::vector<int>> columns;
    std::vector<std::vector<double>> values;
    std::vector<int> undetermined;  // either of them may be the one left without pivot
  };
  const std::vector<Case> cases = {
      {{{1}, {1, 3}, {3}}, {{1.0}, {1.0, -1.0}, {2.0}}, {2}},
      {{{1, 2}, {1, 2}, {3}, {1, 2, 3}}, {{1.0, 1.0}, {2.0, 2.0}, {1.0}, {3.0, 3.0, 1.0}}, {1, 2}},
  };
  for (const Case& c : cases) {
    SparseDesign design;
    design.cols = 3;
    for (std::size_t i = 0; i < c.columns.size(); ++i) design.AppendRow(c.columns[i], c.values[i]);
    const BlockWeights unit = BlockWeights::Diagonal(std::vector<double>(c.columns.size() + 1, 1.0));
    NormalEquations normal;
    normal.Analyse(design, unit);
    const Status factored = normal.Factorise(design, unit);
    ASSERT_FALSE(factored.ok());
    EXPECT_EQ(factored.error(), kSingularMatrixMessage);
    EXPECT_NE(std::find(c.undetermined.begin(), c.undetermined.end(), normal.UndeterminedColumn()), c.undetermined.end());
  }
}

}  // namespace
}  // namespace korvo
