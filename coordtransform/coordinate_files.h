#pragma once
// Text of the datum transformation utility: the fixed-width number form of its columns, the
// reading of its columns and input files, and the writing of its output files.
//
// Input file (Windows-1252 text): line 1 holds the format identifier 1..6; every further line
// holds one point as three comma-separated numbers with "." as decimal point.
// Output file: one line per point with the 18 values of the six formats; the three values of
// a format are separated by ",", the formats by ";"; CR LF between lines, none after the last.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "coordtransform/coordinate_formats.h"

namespace korvo {

// x rounded to `decimals` decimals, a value exactly halfway between two steps going away
// from zero: 2.5 -> 3, -2.5 -> -3 (decimals = 0); 0.125 -> 0.13 (decimals = 2).
double RoundHalfAway(double x, int decimals);

// The fixed-width form of a number given as text: the value read from `text`, rounded with
// RoundHalfAway to `decimals` decimals, written in positional form (never with an exponent)
// with exactly `decimals` digits after the point and |integerWidth − length of the integer
// part| blanks before it. FormatNumber("1234.5", 8, 3) is "    1234.500". As in the general
// numeric text, a positive value below 1 has no zero before the point ("        .500" for
// 0.5) and a negative one has "-0" ("      -0.500").
std::string FormatNumber(std::string_view text, int integerWidth, int decimals);

// FormatNumber of the general numeric text of a value (15 significant digits).
std::string FormatValue(double value, int integerWidth, int decimals);

// A field that holds exactly one number: blanks or tabs around an optional sign, digits with
// at most one "." and an optional exponent (E or D). "40,5" and "" are not numbers.
bool IsNumericField(std::string_view field);

// Messages of the utility (Windows-1252).
std::string ColumnCountMessage();     // different number of values in the three columns
std::string NonNumericValueMessage();  // a value that is not a number
std::string UnknownFormatMessage(std::string_view firstLine);

// The values of the three columns of one format as the window holds them: one value per line,
// lines separated by CR LF (or LF). The columns must hold the same number of line breaks and
// every value must be a number; otherwise the failure carries the message to show.
//
// When `where` is given it receives what stopped the reading and, for a value, its line
// (1-based) and column (0..2). With `sexagesimalAngles` (the geographic formats) the first two
// columns are pseudo-sexagesimal angles whose minutes and seconds must stay below 60.
struct ColumnReadFailure {
  enum class Kind { None, ColumnCount, NonNumeric, SexagesimalOver60 } kind = Kind::None;
  std::size_t line = 0;
  int column = 0;
};
Result<std::vector<Triple>> ReadColumns(const std::array<std::string, 3>& columns, ColumnReadFailure* where = nullptr,
                                        bool sexagesimalAngles = false);

// A pseudo-sexagesimal value as typed, g.mmss...: true unless its minutes (the first two
// decimals) or its whole seconds (the next two) are 60 or more ("40.6000", "40.2560").
bool SexagesimalPartsBelow60(std::string_view field);
std::string SexagesimalOver60Message();

// A parsed input file.
struct CoordinateInput {
  CoordinateFormat format = CoordinateFormat::kUtm30;
  std::vector<Triple> points;
};

// Parses the bytes of an input file. A first line whose value, rounded to an integer, is not
// 1..6 gives UnknownFormatMessage; a point line without exactly three numeric fields gives a
// message naming its line number. When `failureKind` is given it receives which of the two
// ended the reading (the window shows an unknown identifier without an icon).
enum class CoordinateInputFailure { None, UnknownFormat, BadPointLine };
Result<CoordinateInput> ParseCoordinateInput(std::string_view bytes, CoordinateInputFailure* failureKind = nullptr);
// Paths are in the file system's encoding (UTF-8); failure messages name them.
Result<CoordinateInput> ReadCoordinateFile(const std::string& path);

// The 18 column texts of the window: each value in its column's fixed-width form, CR LF
// after every point except the last.
std::array<std::string, kColumnCount> DisplayColumns(const std::vector<PointInAllFormats>& points);

// The output file's text, and its writing (all or nothing).
std::string BuildCoordinateOutput(const std::vector<PointInAllFormats>& points);
Status WriteCoordinateFile(const std::string& path, const std::vector<PointInAllFormats>& points);

}  // namespace korvo
