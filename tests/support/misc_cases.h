#pragma once
// The columns of a coordinate utility output file, for the tests that compare what the core
// and the window show with the hand-written file tests/golden/coordinates_madrid_barcelona.txt.

#include <array>
#include <string>
#include <vector>

namespace korvo::testing {

// The 18 columns of an output file's text: the values of one format are separated by ",",
// the formats by ";", the points by CR LF. Fields keep their blanks.
inline std::array<std::vector<std::string>, 18> CoordinateFileColumns(const std::string& text) {
  std::array<std::vector<std::string>, 18> columns;
  std::size_t column = 0;
  std::string field;
  for (char c : text) {
    if (c == ',' || c == ';' || c == '\n') {
      if (column < columns.size()) columns[column].push_back(field);
      field.clear();
      column = c == '\n' ? 0 : column + 1;
    } else if (c != '\r') {
      field += c;
    }
  }
  if (column < columns.size()) columns[column].push_back(field);
  return columns;
}

inline std::string Joined(const std::vector<std::string>& parts, const std::string& separator) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) out += (i > 0 ? separator : "") + parts[i];
  return out;
}

}  // namespace korvo::testing
