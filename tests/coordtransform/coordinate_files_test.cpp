// Fixed-width numbers, column reading, input files and output files of the coordinate utility.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "common/numbers.h"
#include "common/win1252.h"
#include "coordtransform/coordinate_files.h"
#include "support/files.h"

namespace korvo {
namespace {

// By hand: |w − integer length| blanks, the integer part, d decimals; a text and its value agree.
// Halves exact in binary (0.375, -0.125, -1.0625) go away from zero on both sides. Then which texts are numbers.
TEST(FormatNumber, HandWorkedCasesAndNumericFields) {
  struct Case {
    const char* text;
    int width, decimals;
    const char* expected;
  } cases[] = {
      {"1234.5", 8, 3, "    1234.500"}, {"0", 3, 8, "  0.00000000"}, {"-0.5", 8, 3, "      -0.500"},  // "-0"
      {"0.5", 8, 3, "        .500"}, {"-0.3", 3, 8, " -0.30000000"}, {"0.9996", 8, 3, "       1.000"},
      {"-1.0625", 8, 3, "      -1.063"}, {"-10.1", 3, 8, "-10.10000000"}, {"-100.25", 3, 8, " -100.25000000"},
      {"-0.0004", 8, 3, "       0.000"}, {"1.5E-05", 3, 8, "   .00001500"}, {"-2.5D-6", 3, 8, " -0.00000250"},
      {"1.2345E+15", 8, 3, "        1234500000000000.000"}, {"abc", 8, 3, "       0.000"},
      {"0.375", 8, 2, "        .38"}, {"-0.125", 3, 2, " -0.13"}, {"2.4", 3, 0, "  2."}, {"-2.6", 3, 0, " -3."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatNumber(c.text, c.width, c.decimals), c.expected) << c.text;
    if (IsNumericField(c.text)) {
      EXPECT_EQ(FormatValue(ReadNumber(c.text), c.width, c.decimals), c.expected) << c.text;
    }
  }
  for (const char* text : {"+7", ".5", "5.", " 12 ", "1.5e-3", "2D2", "\t-0.25"}) EXPECT_TRUE(IsNumericField(text)) << text;
  for (const char* text : {"", " ", "40,5", "1.2.3", "12a", "-", ".", "1E+", "4 5", "1e999"}) {
    EXPECT_FALSE(IsNumericField(text)) << text;
  }
}

// One point per line, or the message, kind, line and column that stop the reading.
// (The values read show in the window's Transform test as the golden columns.)
TEST(ReadColumns, ReadsOnePointPerLineOrNamesTheLineAndColumn) {
  using Kind = ColumnReadFailure::Kind;
  struct Case {
    std::array<std::string, 3> columns;
    bool angles;
    Kind kind;
    std::size_t line;
    int column;
  } cases[] = {
      {{"1\r\n2", "1", "1"}, false, Kind::ColumnCount, 0, 0},         // different counts per column
      {{"1\r\n", "1", "1"}, false, Kind::ColumnCount, 0, 0},          // a trailing line break counts one more
      {{"1\r\n", "1\r\n", "1\r\n"}, false, Kind::NonNumeric, 2, 0},   // the same in all three: an empty value
      {{"40,5", "1", "1"}, false, Kind::NonNumeric, 1, 0},            // decimal comma
      {{"1", "x", "1"}, false, Kind::NonNumeric, 1, 1},
      {{"40.25\r\n4O.3", "-3.3\r\n-3.3", "1\r\n2"}, true, Kind::NonNumeric, 2, 0},
      {{"40.2530\r\n40.6000", "-3.30\r\n-3.30", "1\r\n2"}, true, Kind::SexagesimalOver60, 2, 0},
      {{"40.2530", "-3.2960", "1"}, true, Kind::SexagesimalOver60, 1, 1},
      {{"40.2559", "-3.5959", "40.60"}, true, Kind::None, 0, 0},     // 59 is the most; h is no angle
      {{"40.6", "-3.2960", "1"}, false, Kind::None, 0, 0},
      {{"457631.066\r\n931100.804", "4483452.284\n4593302.524", "700\r\n50"}, false, Kind::None, 0, 0},  // CR LF, LF
  };
  for (const Case& c : cases) {
    const std::string what = c.columns[0] + "|" + c.columns[1];
    ColumnReadFailure where;
    where.line = 99;
    const auto points = ReadColumns(c.columns, &where, c.angles);
    EXPECT_EQ(where.kind, c.kind) << what;
    EXPECT_EQ(where.line, c.line) << what;
    EXPECT_EQ(where.column, c.column) << what;
    if (c.kind == Kind::None) {
      EXPECT_TRUE(points.ok()) << what;
      continue;
    }
    ASSERT_FALSE(points.ok()) << what;
    EXPECT_EQ(points.error(), c.kind == Kind::ColumnCount   ? ColumnCountMessage()
                              : c.kind == Kind::NonNumeric ? NonNumericValueMessage()
                                                           : SexagesimalOver60Message())
        << what;
  }
}

// The identifier and the points, or a refusal quoting the identifier or naming the bad line.
// (The values read show in the window's Input test as the golden columns.)
TEST(ParseCoordinateInput, ReadsIdentifierAndPointsOrSaysWhyNot) {
  using Kind = CoordinateInputFailure;
  const auto badLine = [](int line) {
    return Cp1252(" La línea ") + std::to_string(line) +
           Cp1252(" del fichero no contiene tres coordenadas numéricas separadas por comas ");
  };
  const auto unknown = [](const char* first) {
    return Cp1252(" El indicador de tipo de datos ") + first + Cp1252(" no es reconocido ");
  };
  struct Case {
    std::string text;
    Kind kind;
    std::string message;  // empty: read, as `format` with `points` points
    CoordinateFormat format;
    std::size_t points;
  } cases[] = {
      {"3\r\n40.3,-3.3,700\r\n 41.223 , 2.0915 ,50", Kind::None, "", CoordinateFormat::kEd50Geographic, 2},
      {"6\n4810516,-346088,4161236\n", Kind::None, "", CoordinateFormat::kWgs84Cartesian, 1},  // LF; final end adds nothing
      {"2\r\n", Kind::None, "", CoordinateFormat::kUtm31, 0},
      {"5.8\r\n4810516,-346088,4161236", Kind::None, "", CoordinateFormat::kWgs84Cartesian, 1},  // rounds to 6
      {"\xEF\xBB\xBF" "1\r\n457631.066,4483452.284,700", Kind::None, "", CoordinateFormat::kUtm30, 1},  // byte-order mark
      {"1\r\n457631.066,4483452.284,700\r\n\r\n", Kind::BadPointLine, badLine(3), {}, 0},  // a trailing blank line
      {"1\r\n457631.066,4483452.284", Kind::BadPointLine, badLine(2), {}, 0},              // a missing field
      {"1\r\n1,2,3\r\n1,2,3,4", Kind::BadPointLine, badLine(3), {}, 0},                     // one field too many
      {"3\r\n40,5;-3,3;700", Kind::BadPointLine, badLine(2), {}, 0},                        // decimal commas
      {"7\r\n1,2,3", Kind::UnknownFormat, unknown("7"), {}, 0},
      {"0\r\n1,2,3", Kind::UnknownFormat, unknown("0"), {}, 0},
      {"abc\r\n1,2,3", Kind::UnknownFormat, unknown("abc"), {}, 0},
      {"6.6\r\n1,2,3", Kind::UnknownFormat, unknown("6.6"), {}, 0},
  };
  for (const Case& c : cases) {
    Kind kind = Kind::None;
    const auto parsed = ParseCoordinateInput(c.text, &kind);
    EXPECT_EQ(kind, c.kind) << c.text;
    ASSERT_EQ(parsed.ok(), c.message.empty()) << c.text;
    if (!parsed.ok()) {
      EXPECT_EQ(parsed.error(), c.message) << c.text;
      continue;
    }
    EXPECT_EQ(parsed->format, c.format) << c.text;
    EXPECT_EQ(parsed->points.size(), c.points) << c.text;
  }
  const auto missing = ReadCoordinateFile("/nonexistent/korvo/coordenadas.txt");
  ASSERT_FALSE(missing.ok());
  EXPECT_TRUE(missing.error().starts_with(Cp1252(" No se puede leer el fichero /nonexistent/korvo/coordenadas.txt \r\n ")));
}

// Madrid and Barcelona as ED50 geographic; the file holds the references rounded by hand.
std::vector<PointInAllFormats> TwoPoints() {
  return TransformPoints(CoordinateFormat::kEd50Geographic, {{40.3, -3.3, 700.0}, {41.223, 2.0915, 50.0}});
}

TEST(CoordinateOutput, TheFileAndTheColumnsMatchTheHandWrittenFile) {
  const std::string expected = testing::Golden("coordinates_madrid_barcelona.txt");
  EXPECT_EQ(BuildCoordinateOutput(TwoPoints()), expected);
  EXPECT_EQ(DisplayColumns(TwoPoints()), testing::CoordinateFileColumns(expected, "\r\n"));

  const std::filesystem::path path = testing::FreshTempDir("coordinate_output") / "salida.txt";
  ASSERT_TRUE(WriteCoordinateFile(path.string(), TwoPoints()).ok());
  EXPECT_EQ(testing::ReadWholeFile(path), expected);
  const Status refused = WriteCoordinateFile("/nonexistent/korvo/salida.txt", TwoPoints());
  ASSERT_FALSE(refused.ok());
  EXPECT_TRUE(refused.error().starts_with(Cp1252(" No se puede escribir el fichero /nonexistent/korvo/salida.txt \r\n ")));
}

}  // namespace
}  // namespace korvo
