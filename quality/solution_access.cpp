#include "quality/solution_access.h"

namespace korvo {

bool DenseSolutionAccess::RowIsCorrelated(int row) const {
  // Classical rows of a formed system have a diagonal weight; GPS rows sit in their
  // baseline's 3 x 3 block. Only an imported P has to be looked at.
  const RowKind kind = system_.rows[static_cast<std::size_t>(row)].kind;
  if (kind == RowKind::Direction || kind == RowKind::Zenith || kind == RowKind::Distance) return false;
  const double* weights = system_.P.RowData(row);
  for (int j = 1; j <= system_.numEquations; ++j) {
    if (j != row && weights[j] != 0.0) return true;
  }
  return false;
}

Block3 DenseSolutionAccess::QvvBlock(int firstRow) const {
  Block3 block{};
  for (std::size_t r = 0; r < 3; ++r) {
    for (std::size_t c = 0; c < 3; ++c)
      block[r][c] = results_.Qvv(firstRow + static_cast<int>(r), firstRow + static_cast<int>(c));
  }
  return block;
}

Block3 DenseSolutionAccess::QxxBlock(int firstColumnA, int firstColumnB) const {
  Block3 block{};
  for (std::size_t r = 0; r < 3; ++r) {
    for (std::size_t c = 0; c < 3; ++c)
      block[r][c] = results_.Qxx(firstColumnA + static_cast<int>(r), firstColumnB + static_cast<int>(c));
  }
  return block;
}

double DenseSolutionAccess::AdjustedParameter(int column) const {
  const auto index = static_cast<std::size_t>(column);
  if (index < results_.adjustedParameters.size()) return results_.adjustedParameters[index];
  return results_.corrections[index];
}

}  // namespace korvo
