#include "coordtransform/coordinate_files.h"

#include <cmath>

#include "common/files.h"
#include "common/numbers.h"
#include "common/text.h"
#include "common/win1252.h"
#include "coordtransform/coordinate_checks.h"

namespace korvo {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// A number in exponent form ("1.5E-05", "-2.5E+15") rewritten in positional form
// (".000015", "-2500000000000000"): the mantissa's point moves by the exponent, and zeros
// fill the places where the digits run out. Like the general numeric text, a value below 1
// keeps no zero before the point.
std::string PositionalForm(std::string_view text) {
  std::size_t exponentAt = text.find_first_of("EeDd");
  if (exponentAt == std::string_view::npos) return std::string(text);
  std::string_view mantissa = text.substr(0, exponentAt);
  const int exponent = static_cast<int>(ReadNumber(text.substr(exponentAt + 1)));
  std::string sign;
  if (!mantissa.empty() && (mantissa.front() == '-' || mantissa.front() == '+')) {
    if (mantissa.front() == '-') sign = "-";
    mantissa.remove_prefix(1);
  }
  std::string digits;
  int integerDigits = 0;
  bool pointSeen = false;
  for (char c : mantissa) {
    if (c == '.') {
      pointSeen = true;
    } else {
      digits.push_back(c);
      if (!pointSeen) ++integerDigits;
    }
  }
  const int point = integerDigits + exponent;  // digits before the point after the move
  if (point <= 0) return sign + "." + std::string(static_cast<std::size_t>(-point), '0') + digits;
  const auto pointAt = static_cast<std::size_t>(point);
  if (pointAt >= digits.size()) return sign + digits + std::string(pointAt - digits.size(), '0');
  return sign + digits.substr(0, pointAt) + "." + digits.substr(pointAt);
}

// The values of one window column: one per line; CR LF, LF or a lone CR end a line, and a
// line end after the last value starts one more (empty) value.
std::vector<std::string_view> ColumnValues(std::string_view text) {
  std::vector<std::string_view> values;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      values.push_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  values.push_back(text.substr(start));
  return values;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (std::size_t comma = line.find(','); comma != std::string_view::npos; comma = line.find(',', start)) {
    fields.push_back(line.substr(start, comma - start));
    start = comma + 1;
  }
  fields.push_back(line.substr(start));
  return fields;
}

std::string PointLineMessage(std::size_t lineNumber) {
  return Cp1252(" La línea ") + std::to_string(lineNumber) +
         Cp1252(" del fichero no contiene tres coordenadas numéricas separadas por comas ");
}

}  // namespace

double RoundHalfAway(double x, int decimals) {
  const double scale = std::pow(10.0, decimals);
  double t = x * scale;
  if (t > 0.0) {
    const double whole = std::trunc(t);
    t = std::trunc(t + 0.5) != whole ? whole + 1.0 : whole;
  } else {
    const double whole = std::trunc(t);
    t = std::trunc(t - 0.5) != whole ? whole - 1.0 : whole;
  }
  return t / scale;
}

std::string FormatNumber(std::string_view text, int integerWidth, int decimals) {
  const double rounded = RoundHalfAway(ReadNumber(text), decimals);
  const std::string shortest = ShortNumberText(rounded);
  if (!std::isfinite(rounded)) {
    return std::string(static_cast<std::size_t>(std::abs(integerWidth - static_cast<int>(shortest.size()))), ' ') +
           shortest;
  }
  const std::string positional = PositionalForm(shortest);
  const std::size_t pointAt = positional.find('.');
  std::string integerPart = positional.substr(0, pointAt);
  std::string decimalPart = pointAt == std::string::npos ? std::string() : positional.substr(pointAt + 1);
  // The general numeric text has no zero before the point. A negative value below 1 ("-.5")
  // gets one ("-0"); a positive one keeps its empty integer part, so 0.5 in a column of
  // width 8 is eight blanks and ".500".
  if (integerPart == "-") integerPart = "-0";
  const auto wanted = static_cast<std::size_t>(decimals);
  if (decimalPart.size() < wanted) {
    decimalPart.append(wanted - decimalPart.size(), '0');
  } else {
    decimalPart.resize(wanted);
  }
  const int blanks = std::abs(integerWidth - static_cast<int>(integerPart.size()));
  return std::string(static_cast<std::size_t>(blanks), ' ') + integerPart + "." + decimalPart;
}

std::string FormatValue(double value, int integerWidth, int decimals) {
  return FormatNumber(ShortNumberText(value), integerWidth, decimals);
}

bool IsNumericField(std::string_view field) {
  const std::string_view text = TrimBlanks(field);
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool anyDigit = false;
  while (i < text.size() && IsDigit(text[i])) {
    ++i;
    anyDigit = true;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) {
      ++i;
      anyDigit = true;
    }
  }
  if (!anyDigit) return false;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    bool exponentDigit = false;
    while (i < text.size() && IsDigit(text[i])) {
      ++i;
      exponentDigit = true;
    }
    if (!exponentDigit) return false;
  }
  return i == text.size() && std::isfinite(ReadNumber(text));
}

std::string ColumnCountMessage() {
  return Cp1252("  ¡Existe distinto número de datos en cada columna\r\n o se han introducido retornos de carro innecesarios!");
}

std::string NonNumericValueMessage() { return Cp1252("¡Hay algún valor no numérico!"); }

std::string UnknownFormatMessage(std::string_view firstLine) {
  return Cp1252(" El indicador de tipo de datos ") + std::string(firstLine) + Cp1252(" no es reconocido ");
}

bool SexagesimalPartsBelow60(std::string_view field) {
  const std::string_view text = TrimBlanks(field);
  const std::size_t point = text.find('.');
  if (point == std::string_view::npos) return true;
  const auto digitAt = [&text, point](std::size_t k) {
    const std::size_t at = point + 1 + k;
    return at < text.size() && IsDigit(text[at]) ? text[at] - '0' : 0;
  };
  return digitAt(0) * 10 + digitAt(1) < 60 && digitAt(2) * 10 + digitAt(3) < 60;
}

std::string SexagesimalOver60Message() { return Cp1252("¡Los minutos y los segundos han de ser menores que 60!"); }

Result<std::vector<Triple>> ReadColumns(const std::array<std::string, 3>& columns, ColumnReadFailure* where,
                                        bool sexagesimalAngles) {
  ColumnReadFailure ignored;
  ColumnReadFailure& failure = where != nullptr ? *where : ignored;
  failure = ColumnReadFailure{};
  std::array<std::vector<std::string_view>, 3> values;
  for (std::size_t c = 0; c < 3; ++c) values[c] = ColumnValues(columns[c]);
  if (values[1].size() != values[0].size() || values[2].size() != values[0].size()) {
    failure.kind = ColumnReadFailure::Kind::ColumnCount;
    return Failure{ColumnCountMessage()};
  }
  std::vector<Triple> points(values[0].size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    for (std::size_t c = 0; c < 3; ++c) {
      const std::string_view field = values[c][i];
      failure.line = i + 1;
      failure.column = static_cast<int>(c);
      if (!IsNumericField(field)) {
        failure.kind = ColumnReadFailure::Kind::NonNumeric;
        return Failure{NonNumericValueMessage()};
      }
      if (sexagesimalAngles && c < 2 && !SexagesimalPartsBelow60(field)) {
        failure.kind = ColumnReadFailure::Kind::SexagesimalOver60;
        return Failure{SexagesimalOver60Message()};
      }
    }
    points[i] = {ReadNumber(TrimBlanks(values[0][i])), ReadNumber(TrimBlanks(values[1][i])),
                 ReadNumber(TrimBlanks(values[2][i]))};
  }
  failure = ColumnReadFailure{};
  return points;
}

Result<CoordinateInput> ParseCoordinateInput(std::string_view bytes, CoordinateInputFailure* failureKind) {
  CoordinateInputFailure ignored = CoordinateInputFailure::None;
  CoordinateInputFailure& kind = failureKind != nullptr ? *failureKind : ignored;
  kind = CoordinateInputFailure::None;
  // A UTF-8 byte-order mark, as editors write it, is not part of the format identifier.
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  const std::vector<std::string_view> lines = SplitLines(bytes);
  const std::string_view firstLine = lines.empty() ? std::string_view() : lines.front();
  const double identifier = RoundHalfEven(ReadNumber(firstLine));
  if (!(identifier >= 1.0 && identifier <= kFormatCount)) {
    kind = CoordinateInputFailure::UnknownFormat;
    return Failure{UnknownFormatMessage(firstLine)};
  }

  CoordinateInput input;
  input.format = static_cast<CoordinateFormat>(static_cast<int>(identifier));
  input.points.reserve(lines.size() - 1);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string_view> fields = SplitFields(lines[i]);
    if (fields.size() != 3 || !IsNumericField(fields[0]) || !IsNumericField(fields[1]) ||
        !IsNumericField(fields[2])) {
      kind = CoordinateInputFailure::BadPointLine;
      return Failure{PointLineMessage(i + 1)};
    }
    const Triple point{ReadNumber(TrimBlanks(fields[0])), ReadNumber(TrimBlanks(fields[1])),
                       ReadNumber(TrimBlanks(fields[2]))};
    if (const auto problem = CheckCoordinates(input.format, point)) {
      return Failure{CoordinateProblemMessage(*problem, i + 1)};
    }
    input.points.push_back(point);
  }
  return input;
}

Result<CoordinateInput> ReadCoordinateFile(const std::string& path) {
  Result<std::string> bytes = ReadFileBytes(path);
  if (!bytes) return Failure{Cp1252(" No se puede leer el fichero ") + Utf8ToCp1252(path) + " \r\n " + bytes.error()};
  return ParseCoordinateInput(*bytes);
}

std::array<std::string, kColumnCount> DisplayColumns(const std::vector<PointInAllFormats>& points) {
  std::array<std::string, kColumnCount> columns;
  for (int k = 0; k < kColumnCount; ++k) {
    const ColumnLayout layout = LayoutOfColumn(k);
    TextBuilder text(points.size() * 16);
    for (std::size_t i = 0; i < points.size(); ++i) {
      if (i > 0) text << kCrLf;
      text << FormatValue(ColumnValue(points[i], k), layout.integerWidth, layout.decimals);
    }
    columns[static_cast<std::size_t>(k)] = std::move(text).str();
  }
  return columns;
}

std::string BuildCoordinateOutput(const std::vector<PointInAllFormats>& points) {
  TextBuilder text(points.size() * 260);
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i > 0) text << kCrLf;
    for (int k = 0; k < kColumnCount; ++k) {
      if (k > 0) text << (k % 3 == 0 ? ';' : ',');
      const ColumnLayout layout = LayoutOfColumn(k);
      text << FormatValue(ColumnValue(points[i], k), layout.integerWidth, layout.decimals);
    }
  }
  return std::move(text).str();
}

Status WriteCoordinateFile(const std::string& path, const std::vector<PointInAllFormats>& points) {
  Status written = WriteFileAtomically(path, BuildCoordinateOutput(points));
  if (!written) return Failure{Cp1252(" No se puede escribir el fichero ") + Utf8ToCp1252(path) + " \r\n " + written.error()};
  return written;
}

}  // namespace korvo
