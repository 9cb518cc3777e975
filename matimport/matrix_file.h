#pragma once
// Text files holding one matrix of the observation system (A, k or P): one matrix row per
// line, values separated by ";", blanks or TAB characters, "." as decimal point.

#include <string>

#include "common/result.h"
#include "engine/matrix.h"

namespace korvo {

// Reads the matrix in `path`. Rows are the lines of the file (CR LF, LF or CR ends; line
// ends and blank lines after the last row add no row); columns are the values of the first
// line, and every row must hold that many. Failures carry the exact message to show: a
// missing file, a file too large, a "," used as decimal separator, any other read or format
// error.
Result<Matrix> ReadMatrixFile(const std::string& path);

// Number of values on one line: runs of characters other than ";", blank and TAB.
int CountLineValues(std::string_view line);

}  // namespace korvo
