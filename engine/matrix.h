#pragma once
// Dense matrix of doubles used from index 1, as every matrix of the adjustment engine.
//
// Storage is contiguous, row-major, (rows + 1) x (cols + 1) doubles, zero-initialised; row 0
// and column 0 exist and are never used by the kernels. An element never assigned reads 0.

#include <cassert>
#include <cstddef>
#include <vector>

namespace korvo {

class Matrix {
 public:
  Matrix() = default;
  Matrix(int rows, int cols)
      : rows_(rows), cols_(cols),
        data_(static_cast<std::size_t>(rows + 1) * static_cast<std::size_t>(cols + 1), 0.0) {}

  int rows() const { return rows_; }
  int cols() const { return cols_; }

  double& operator()(int i, int j) {
    assert(i >= 0 && i <= rows_ && j >= 0 && j <= cols_);
    return data_[static_cast<std::size_t>(i) * static_cast<std::size_t>(cols_ + 1) + static_cast<std::size_t>(j)];
  }
  double operator()(int i, int j) const {
    assert(i >= 0 && i <= rows_ && j >= 0 && j <= cols_);
    return data_[static_cast<std::size_t>(i) * static_cast<std::size_t>(cols_ + 1) + static_cast<std::size_t>(j)];
  }

  // Re-allocates to rows 0..rows by 0..cols, all zero (old contents discarded).
  void Resize(int rows, int cols) { *this = Matrix(rows, cols); }

  // Row i as contiguous memory: element j of the row is RowData(i)[j].
  double* RowData(int i) { return data_.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(cols_ + 1); }
  const double* RowData(int i) const {
    return data_.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(cols_ + 1);
  }

  friend bool operator==(const Matrix&, const Matrix&) = default;

 private:
  int rows_ = 0;
  int cols_ = 0;
  std::vector<double> data_ = std::vector<double>(1, 0.0);
};

}  // namespace korvo
