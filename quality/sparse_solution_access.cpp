#include "quality/sparse_solution_access.h"

namespace korvo {

bool SparseSolutionAccess::RowIsCorrelated(int row) const {
  const auto r = static_cast<std::size_t>(row);
  const int block = solution_.blockOfRow[r];
  const int size = system_.P.Size(block);
  for (int c = 0; c < size; ++c) {
    if (c != solution_.placeInBlock[r] && system_.P.At(block, solution_.placeInBlock[r], c) != 0.0) return true;
  }
  return false;
}

Block3 SparseSolutionAccess::QvvBlock(int firstRow) const {
  // Qll(i, j) − aᵢ·Qxx·aⱼᵀ; rows of one baseline share its weight block.
  Block3 block{};
  for (int r = 0; r < 3; ++r) {
    const auto i = static_cast<std::size_t>(firstRow + r);
    for (int c = 0; c < 3; ++c) {
      const auto j = static_cast<std::size_t>(firstRow + c);
      const int b = solution_.blockOfRow[i];
      const double observed = b == solution_.blockOfRow[j]
                                  ? solution_.cofactors.At(b, solution_.placeInBlock[i], solution_.placeInBlock[j])
                                  : 0.0;
      block[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] =
          observed - solution_.AdjustedCofactor(system_.A, firstRow + r, firstRow + c);
    }
  }
  return block;
}

Block3 SparseSolutionAccess::QxxBlock(int firstColumnA, int firstColumnB) const {
  Block3 block{};
  for (std::size_t r = 0; r < 3; ++r) {
    for (std::size_t c = 0; c < 3; ++c)
      block[r][c] = solution_.ParameterCofactor(firstColumnA + static_cast<int>(r), firstColumnB + static_cast<int>(c));
  }
  return block;
}

double SparseSolutionAccess::AdjustedParameter(int column) const {
  const auto index = static_cast<std::size_t>(column);
  if (index < results_.adjustedParameters.size()) return results_.adjustedParameters[index];
  return results_.corrections[index];
}

}  // namespace korvo
