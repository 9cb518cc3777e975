#pragma once
// A matrix held by rows as (column, value) entries: compressed sparse rows, 1-based like
// engine/matrix.h. The formation writes the design matrix A and the weight matrix P this
// way first (a handful of entries per row) and fills the dense matrices from them, so a
// solver that works on sparse storage takes exactly the coefficients of the dense path.
//
// Row i (1..rows) holds the entries at positions RowBegin(i) .. RowEnd(i) - 1 of `columns`
// and `values`, in the order the formation put them; the columns of one row are distinct
// but not sorted. An entry may hold 0 or −0: it is an element the dense matrix has assigned,
// with that value.

#include <cstddef>
#include <vector>

#include "engine/matrix.h"

namespace korvo {

struct SparseRows {
  int cols = 0;
  std::vector<std::size_t> rowEnd = std::vector<std::size_t>(1, 0);  // rowEnd[i]: one past row i
  std::vector<int> columns;                                           // 1-based column of each entry
  std::vector<double> values;

  int rows() const { return static_cast<int>(rowEnd.size()) - 1; }
  std::size_t RowBegin(int i) const { return rowEnd[static_cast<std::size_t>(i) - 1]; }
  std::size_t RowEnd(int i) const { return rowEnd[static_cast<std::size_t>(i)]; }

  // Entries are appended to the row being written; EndRow closes it.
  void Append(int column, double value) {
    columns.push_back(column);
    values.push_back(value);
  }
  void EndRow() { rowEnd.push_back(columns.size()); }

  // Element (i, j) of the dense matrix: each entry assigned in turn, unlisted elements 0.
  void FillDense(Matrix& dense) const {
    for (int i = 1; i <= rows(); ++i) {
      for (std::size_t e = RowBegin(i); e < RowEnd(i); ++e) dense(i, columns[e]) = values[e];
    }
  }
};

}  // namespace korvo
