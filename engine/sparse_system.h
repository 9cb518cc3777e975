#pragma once
// The observation system of a large network in compressed form: the design matrix by rows
// (a handful of non-zeros each), the weights as their diagonal blocks (1 × 1 for a classical
// observation, 3 × 3 for a GPS baseline, whatever the off-diagonal elements connect for an
// imported system). Nothing here grows with n² or n·m.
//
// Indexing follows the dense system (engine/observation_system.h): rows 1..n, columns 1..m,
// per-row vectors sized n + 1 and used from index 1.

#include <cstddef>
#include <vector>

#include "engine/matrix.h"
#include "engine/sparse_rows.h"

namespace korvo {

// Rows of the design matrix: row i holds columns[rowStart[i] .. rowStart[i + 1] − 1] (ascending)
// with their values. rowStart has n + 2 elements; rowStart[0] = rowStart[1] = 0.
struct SparseDesign {
  int rows = 0;
  int cols = 0;
  std::vector<std::size_t> rowStart = std::vector<std::size_t>(2, 0);
  std::vector<int> columns;
  std::vector<double> values;

  std::size_t Begin(int row) const { return rowStart[static_cast<std::size_t>(row)]; }
  std::size_t End(int row) const { return rowStart[static_cast<std::size_t>(row) + 1]; }
  // Appends row rows + 1 from (column, value) entries already in ascending column order.
  void AppendRow(const std::vector<int>& rowColumns, const std::vector<double>& rowValues);
};

// Diagonal blocks of a symmetric block-diagonal matrix. Block b covers the system rows
// rows[blockStart[b] .. blockStart[b + 1] − 1] (ascending) and keeps its size × size values
// row-major from values[valueStart[b]].
struct BlockWeights {
  std::vector<std::size_t> blockStart = std::vector<std::size_t>(1, 0);
  std::vector<int> rows;
  std::vector<std::size_t> valueStart = std::vector<std::size_t>(1, 0);
  std::vector<double> values;

  int BlockCount() const { return static_cast<int>(blockStart.size()) - 1; }
  int Size(int block) const {
    return static_cast<int>(blockStart[static_cast<std::size_t>(block) + 1] - blockStart[static_cast<std::size_t>(block)]);
  }
  // System row of position a (0-based) of the block.
  int Row(int block, int a) const { return rows[blockStart[static_cast<std::size_t>(block)] + static_cast<std::size_t>(a)]; }
  // Element (a, c) of the block, 0-based positions.
  double At(int block, int a, int c) const {
    return values[valueStart[static_cast<std::size_t>(block)] +
                  static_cast<std::size_t>(a) * static_cast<std::size_t>(Size(block)) + static_cast<std::size_t>(c)];
  }
  // Appends a block of rows `blockRows` (ascending) with its values row-major.
  void AppendBlock(const std::vector<int>& blockRows, const std::vector<double>& blockValues);
  // 1 × 1 blocks of the given diagonal (index 1..n).
  static BlockWeights Diagonal(const std::vector<double>& diagonal);
};

struct SparseSystem {
  int numEquations = 0;   // n
  int numUnknowns = 0;    // m
  SparseDesign A;
  std::vector<double> k;  // 1..n
  BlockWeights P;
};

// The compressed form of a dense system A (n × m), k (n × 1), P (n × n). The blocks of P are
// the groups of rows that its non-zero off-diagonal elements connect. Reads every element
// once, so it is meant for imported systems and small networks.
SparseSystem SparseSystemFromDense(const Matrix& A, const Matrix& k, const Matrix& P, int n, int m);

// The compressed form of the rows the formation wrote (engine/sparse_rows.h): A sorted by
// column within each row, P grouped into the blocks its entries connect; k is n × 1. Linear in
// the number of entries.
SparseSystem SparseSystemFromRows(const SparseRows& A, const Matrix& k, const SparseRows& P);

}  // namespace korvo
