#include "engine/sparse_system.h"

#include <algorithm>
#include <numeric>

namespace korvo {

void SparseDesign::AppendRow(const std::vector<int>& rowColumns, const std::vector<double>& rowValues) {
  columns.insert(columns.end(), rowColumns.begin(), rowColumns.end());
  values.insert(values.end(), rowValues.begin(), rowValues.end());
  ++rows;
  rowStart.push_back(columns.size());
}

void BlockWeights::AppendBlock(const std::vector<int>& blockRows, const std::vector<double>& blockValues) {
  rows.insert(rows.end(), blockRows.begin(), blockRows.end());
  blockStart.push_back(rows.size());
  values.insert(values.end(), blockValues.begin(), blockValues.end());
  valueStart.push_back(values.size());
}

BlockWeights BlockWeights::Diagonal(const std::vector<double>& diagonal) {
  BlockWeights weights;
  const std::size_t n = diagonal.empty() ? 0 : diagonal.size() - 1;
  weights.rows.resize(n);
  std::iota(weights.rows.begin(), weights.rows.end(), 1);
  weights.blockStart.resize(n + 1);
  std::iota(weights.blockStart.begin(), weights.blockStart.end(), std::size_t{0});
  weights.valueStart = weights.blockStart;
  weights.values.assign(diagonal.begin() + (n > 0 ? 1 : 0), diagonal.end());
  return weights;
}

namespace {

int Root(std::vector<int>& parent, int i) {
  while (parent[static_cast<std::size_t>(i)] != i) {
    parent[static_cast<std::size_t>(i)] = parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(i)])];
    i = parent[static_cast<std::size_t>(i)];
  }
  return i;
}

}  // namespace

SparseSystem SparseSystemFromDense(const Matrix& A, const Matrix& k, const Matrix& P, int n, int m) {
  SparseSystem out;
  out.numEquations = n;
  out.numUnknowns = m;
  out.A.cols = m;
  out.k.assign(static_cast<std::size_t>(n) + 1, 0.0);
  std::vector<int> rowColumns;
  std::vector<double> rowValues;
  for (int i = 1; i <= n; ++i) {
    rowColumns.clear();
    rowValues.clear();
    for (int j = 1; j <= m; ++j) {
      if (A(i, j) == 0.0) continue;
      rowColumns.push_back(j);
      rowValues.push_back(A(i, j));
    }
    out.A.AppendRow(rowColumns, rowValues);
    out.k[static_cast<std::size_t>(i)] = k(i, 1);
  }

  // Rows joined by a non-zero weight fall in one block.
  std::vector<int> parent(static_cast<std::size_t>(n) + 1);
  std::iota(parent.begin(), parent.end(), 0);
  for (int i = 1; i <= n; ++i) {
    for (int j = i + 1; j <= n; ++j) {
      if (P(i, j) == 0.0 && P(j, i) == 0.0) continue;
      const int a = Root(parent, i), b = Root(parent, j);
      if (a != b) parent[static_cast<std::size_t>(std::max(a, b))] = std::min(a, b);
    }
  }
  std::vector<std::vector<int>> members(static_cast<std::size_t>(n) + 1);
  for (int i = 1; i <= n; ++i) members[static_cast<std::size_t>(Root(parent, i))].push_back(i);
  std::vector<double> blockValues;
  for (int first = 1; first <= n; ++first) {
    const std::vector<int>& rows = members[static_cast<std::size_t>(first)];
    if (rows.empty()) continue;
    blockValues.clear();
    for (int a : rows) {
      for (int c : rows) blockValues.push_back(P(a, c));
    }
    out.P.AppendBlock(rows, blockValues);
  }
  return out;
}

SparseSystem SparseSystemFromRows(const SparseRows& A, const Matrix& k, const SparseRows& P) {
  SparseSystem out;
  const int n = A.rows();
  out.numEquations = n;
  out.numUnknowns = A.cols;
  out.A.cols = A.cols;
  out.A.columns.reserve(A.columns.size());
  out.A.values.reserve(A.values.size());
  out.k.assign(static_cast<std::size_t>(n) + 1, 0.0);
  std::vector<std::pair<int, double>> entries;
  std::vector<int> rowColumns;
  std::vector<double> rowValues;
  for (int i = 1; i <= n; ++i) {
    entries.clear();
    for (std::size_t e = A.RowBegin(i); e < A.RowEnd(i); ++e) entries.emplace_back(A.columns[e], A.values[e]);
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    rowColumns.clear();
    rowValues.clear();
    for (const auto& [column, value] : entries) {
      rowColumns.push_back(column);
      rowValues.push_back(value);
    }
    out.A.AppendRow(rowColumns, rowValues);
    out.k[static_cast<std::size_t>(i)] = k(i, 1);
  }

  // Rows joined by an entry of P fall in one block; blocks in the order of their first row.
  std::vector<int> parent(static_cast<std::size_t>(n) + 1);
  std::iota(parent.begin(), parent.end(), 0);
  for (int i = 1; i <= P.rows(); ++i) {
    for (std::size_t e = P.RowBegin(i); e < P.RowEnd(i); ++e) {
      const int a = Root(parent, i), b = Root(parent, P.columns[e]);
      if (a != b) parent[static_cast<std::size_t>(std::max(a, b))] = std::min(a, b);
    }
  }
  std::vector<std::vector<int>> members;
  std::vector<int> blockOf(static_cast<std::size_t>(n) + 1, -1);
  for (int i = 1; i <= n; ++i) {
    const int root = Root(parent, i);
    if (blockOf[static_cast<std::size_t>(root)] < 0) {
      blockOf[static_cast<std::size_t>(root)] = static_cast<int>(members.size());
      members.emplace_back();
    }
    members[static_cast<std::size_t>(blockOf[static_cast<std::size_t>(root)])].push_back(i);
  }
  std::vector<double> blockValues;
  for (const std::vector<int>& rows : members) {
    const std::size_t size = rows.size();
    blockValues.assign(size * size, 0.0);
    for (std::size_t a = 0; a < size; ++a) {
      const int i = rows[a];
      for (std::size_t e = P.RowBegin(i); e < P.RowEnd(i); ++e) {
        const std::size_t c = static_cast<std::size_t>(std::find(rows.begin(), rows.end(), P.columns[e]) - rows.begin());
        blockValues[a * size + c] = P.values[e];
      }
    }
    out.P.AppendBlock(rows, blockValues);
  }
  return out;
}

}  // namespace korvo
