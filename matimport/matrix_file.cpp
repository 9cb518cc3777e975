#include "matimport/matrix_file.h"

#include <cmath>
#include <new>
#include <string_view>
#include <vector>

#include "common/files.h"
#include "common/numbers.h"
#include "common/text.h"
#include "common/win1252.h"

namespace korvo {
namespace {

// Row and column counts are 16-bit in the engine's system; beyond that, or beyond this many
// elements in all, a matrix is refused as too large.
constexpr int kMaxDimension = 32767;
constexpr long long kMaxElements = 50'000'000;

bool IsSeparator(char c) { return c == ';' || c == ' ' || c == '\t'; }

std::vector<std::string_view> LineValues(std::string_view line) {
  std::vector<std::string_view> values;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsSeparator(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !IsSeparator(line[i])) ++i;
    if (i > start) values.push_back(line.substr(start, i - start));
  }
  return values;
}

std::string MissingFileMessage(const std::string& path) { return Cp1252("¡ El fichero ") + path + " no existe !"; }

std::string TooLargeMessage(const std::string& path) {
  return Cp1252("¡ El fichero ") + path + " es demasiado grande !";
}

std::string ReadErrorMessage() {
  return Cp1252("Se ha producido un error en la lectura de los ficheros de matrices.") + std::string(kCrLf) +
         "Compruebe los formatos.";
}

std::string DecimalCommaMessage(const std::string& path) {
  return Cp1252("El formato de los elementos de las matrices no es correcto:") + std::string(kCrLf) +
         std::string(kCrLf) + "En " + path + " hay alguna ',' como separador decimal.";
}

bool IsBlankLine(std::string_view line) {
  for (char c : line)
    if (c != ' ' && c != '\t') return false;
  return true;
}

// The byte-order mark some editors put at the head of a file saved as UTF-8; left in place it
// would make the first element read as 0.
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

Result<Matrix> ParseMatrixText(const std::string& path, std::string_view bytes) {
  if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
  std::vector<std::string_view> lines = SplitLines(bytes);
  while (!lines.empty() && IsBlankLine(lines.back())) lines.pop_back();
  if (lines.empty()) return Failure{ReadErrorMessage()};

  const long long rows = static_cast<long long>(lines.size());
  const long long cols = CountLineValues(lines.front());
  if (rows > kMaxDimension || cols > kMaxDimension || rows * cols > kMaxElements)
    return Failure{TooLargeMessage(path)};
  // Every value of the file is read, so a decimal comma anywhere in it is named before any
  // other fault of its rows (a "," is never a separator: it always sits inside a value).
  if (bytes.find(',') != std::string_view::npos) return Failure{DecimalCommaMessage(path)};
  if (cols == 0) return Failure{ReadErrorMessage()};

  Matrix matrix(static_cast<int>(rows), static_cast<int>(cols));
  for (int i = 1; i <= rows; ++i) {
    const std::vector<std::string_view> values = LineValues(lines[static_cast<std::size_t>(i - 1)]);
    if (static_cast<long long>(values.size()) != cols) return Failure{ReadErrorMessage()};
    for (int j = 1; j <= cols; ++j) {
      const double number = ReadNumber(values[static_cast<std::size_t>(j - 1)]);
      if (!std::isfinite(number)) return Failure{ReadErrorMessage()};
      matrix(i, j) = number;
    }
  }
  return matrix;
}

}  // namespace

int CountLineValues(std::string_view line) { return static_cast<int>(LineValues(line).size()); }

Result<Matrix> ReadMatrixFile(const std::string& path) {
  if (!FileExists(path)) return Failure{MissingFileMessage(path)};
  try {
    Result<std::string> bytes = ReadFileBytes(path);
    if (!bytes) return Failure{ReadErrorMessage()};
    return ParseMatrixText(path, *bytes);
  } catch (const std::bad_alloc&) {
    return Failure{TooLargeMessage(path)};
  }
}

}  // namespace korvo
