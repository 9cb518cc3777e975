// Fixed-width numbers, column reading, input files and output files of the coordinate utility.
#include "support/files.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/files.h"
#include "common/text.h"
#include "common/win1252.h"
#include "coordtransform/coordinate_files.h"

namespace korvo {
namespace {

// ---- RoundHalfAway ---------------------------------------------------------------------

// Halves are built from values exact in binary, so they really are halfway.
TEST(RoundHalfAway, HalvesGoAwayFromZeroOnBothSides) {
  struct Case {
    double x;
    int decimals;
    double expected;
  } cases[] = {
      {2.5, 0, 3.0},       {-2.5, 0, -3.0},     {3.5, 0, 4.0},     {-3.5, 0, -4.0},
      {0.125, 2, 0.13},    {-0.125, 2, -0.13},  {1.0625, 3, 1.063}, {-1.0625, 3, -1.063},
      {2.4, 0, 2.0},       {-2.4, 0, -2.0},     {2.6, 0, 3.0},     {-2.6, 0, -3.0},
      {1234.5, 3, 1234.5}, {0.0, 3, 0.0},       {-0.0004, 3, 0.0}, {0.0004, 3, 0.0},
      {0.375, 2, 0.38},    {-0.375, 2, -0.38},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(RoundHalfAway(c.x, c.decimals), c.expected) << c.x << " " << c.decimals;
  }
}

// ---- FormatNumber ----------------------------------------------------------------------

TEST(FormatNumber, HandWorkedCases) {
  struct Case {
    const char* text;
    int width;
    int decimals;
    const char* expected;
  } cases[] = {
      {"1234.5", 8, 3, "    1234.500"},           // w − 4 = 4 blanks
      {"0", 8, 3, "       0.000"},
      {"0", 3, 8, "  0.00000000"},
      {"-0.5", 8, 3, "      -0.500"},            // a lone "-" integer part becomes "-0"
      {"0.5", 8, 3, "        .500"},            // ".5": empty integer part, |8 − 0| = 8 blanks
      {".25", 8, 3, "        .250"},
      {"0.0625", 3, 8, "   .06250000"},
      {"-0.3", 3, 8, " -0.30000000"},            // "-.3": "-0", |3 − 2| = 1 blank
      {"0.9996", 8, 3, "       1.000"},          // rounds up to a whole number: "1"
      {"0.0625", 8, 3, "        .063"},          // 62.5 thousandths, a half: away from zero
      {"457631.06571", 8, 3, "  457631.066"},
      {"4483452.2841", 8, 3, " 4483452.284"},
      {"-50980.5631", 8, 3, "  -50980.563"},
      {"40.295575528", 3, 8, " 40.29557553"},
      {"-3.30047171239", 3, 8, " -3.30047171"},
      {"-10.1", 3, 8, "-10.10000000"},           // integer part as long as the width: no blank
      {"-100.25", 3, 8, " -100.25000000"},       // |3 − 4| = 1 blank
      {"1.0625", 8, 3, "       1.063"},          // a half goes away from zero
      {"-1.0625", 8, 3, "      -1.063"},
      {"777.3338", 6, 3, "   777.334"},
      {"-0.0004", 8, 3, "       0.000"},          // rounds to zero: no "-0.000"
      {"1.5E-05", 3, 8, "   .00001500"},          // exponent forms in positional form
      {"-2.5D-6", 3, 8, " -0.00000250"},
      {"1.2345E+15", 8, 3, "        1234500000000000.000"},
      {"12E2", 8, 3, "    1200.000"},
      {"abc", 8, 3, "       0.000"},            // no leading number reads as 0
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatNumber(c.text, c.width, c.decimals), c.expected) << c.text;
  }
}

TEST(FormatNumber, ValuesGoThroughTheirGeneralText) {
  EXPECT_EQ(FormatValue(1234.5, 8, 3), "    1234.500");
  EXPECT_EQ(FormatValue(0.00001234, 3, 8), "   .00001234");
  EXPECT_EQ(FormatValue(0.5, 8, 3), "        .500");
  EXPECT_EQ(FormatValue(-0.5, 6, 3), "    -0.500");
}

// ---- numeric fields and window columns -----------------------------------------------------

TEST(IsNumericField, AcceptsNumbersOnly) {
  for (const char* text : {"40.5", "-3.3", "+7", ".5", "5.", " 12 ", "1E5", "1.5e-3", "2D2", "\t-0.25"}) {
    EXPECT_TRUE(IsNumericField(text)) << text;
  }
  for (const char* text : {"", " ", "40,5", "1.2.3", "abc", "12a", "-", ".", "1E", "1E+", "4 5", "1e999"}) {
    EXPECT_FALSE(IsNumericField(text)) << text;
  }
}

TEST(ReadColumns, ReadsOnePointPerLine) {
  const auto points = ReadColumns({"457631.066\r\n931100.804", "4483452.284\r\n4593302.524", "700\r\n50"});
  ASSERT_TRUE(points.ok()) << points.error();
  ASSERT_EQ(points->size(), 2u);
  EXPECT_DOUBLE_EQ((*points)[1].first, 931100.804);
  EXPECT_DOUBLE_EQ((*points)[1].second, 4593302.524);
  EXPECT_DOUBLE_EQ((*points)[0].third, 700.0);
}

TEST(ReadColumns, SinglePointNeedsNoLineBreak) {
  const auto points = ReadColumns({"40.3", "-3.3", "700"});
  ASSERT_TRUE(points.ok());
  EXPECT_EQ(points->size(), 1u);
}

TEST(ReadColumns, RefusesDifferentCountsAndNonNumericValues) {
  const std::string countMessage =
      Cp1252("  ¡Existe distinto número de datos en cada columna\r\n o se han introducido retornos de carro innecesarios!");
  const std::string valueMessage = Cp1252("¡Hay algún valor no numérico!");
  struct Case {
    std::array<std::string, 3> columns;
    std::string message;
  } cases[] = {
      {{"1\r\n2", "1", "1"}, countMessage},            // different counts per column
      {{"1", "1", "1\r\n2"}, countMessage},
      {{"1\r\n", "1", "1"}, countMessage},             // a trailing line break counts one more
      {{"1\r\n", "1\r\n", "1\r\n"}, valueMessage},     // the same in all three: an empty value
      {{"40,5", "1", "1"}, valueMessage},              // decimal comma
      {{"1", "x", "1"}, valueMessage},
      {{"", "", ""}, valueMessage},
  };
  for (const Case& c : cases) {
    const auto points = ReadColumns(c.columns);
    ASSERT_FALSE(points.ok()) << c.columns[0];
    EXPECT_EQ(points.error(), c.message) << c.columns[0];
  }
}

// ---- input files --------------------------------------------------------------------------

TEST(ParseCoordinateInput, ReadsIdentifierAndPoints) {
  const auto input = ParseCoordinateInput("3\r\n40.3,-3.3,700\r\n 41.223 , 2.0915 ,50");
  ASSERT_TRUE(input.ok()) << input.error();
  EXPECT_EQ(input->format, CoordinateFormat::kEd50Geographic);
  ASSERT_EQ(input->points.size(), 2u);
  EXPECT_DOUBLE_EQ(input->points[0].second, -3.3);
  EXPECT_DOUBLE_EQ(input->points[1].first, 41.223);
  EXPECT_DOUBLE_EQ(input->points[1].third, 50.0);
  // A final line end does not add a point; LF-only files read the same.
  EXPECT_EQ(ParseCoordinateInput("6\n1,2,3\n").value().points.size(), 1u);
}

TEST(ParseCoordinateInput, OnlyTheIdentifierLineGivesNoPoints) {
  const auto input = ParseCoordinateInput("2\r\n");
  ASSERT_TRUE(input.ok());
  EXPECT_EQ(input->format, CoordinateFormat::kUtm31);
  EXPECT_TRUE(input->points.empty());
}

TEST(ParseCoordinateInput, RefusesUnknownIdentifierQuotingTheLine) {
  for (const char* first : {"7", "0", "abc", "", "-1", "6.6"}) {
    const auto input = ParseCoordinateInput(std::string(first) + "\r\n1,2,3");
    ASSERT_FALSE(input.ok()) << first;
    EXPECT_EQ(input.error(), Cp1252(" El indicador de tipo de datos ") + first + Cp1252(" no es reconocido "));
  }
  EXPECT_TRUE(ParseCoordinateInput("5.8\r\n1,2,3").ok());  // rounds to 6
}

TEST(ParseCoordinateInput, NamesTheLineOfABadPoint) {
  struct Case {
    const char* text;
    int line;
  } cases[] = {
      {"1\r\n457631.066,4483452.284,700\r\n\r\n", 3},      // a trailing blank line
      {"1\r\n457631.066,4483452.284", 2},                  // a missing field
      {"1\r\n1,2,3\r\n1,2,3,4", 3},                         // one field too many
      {"3\r\n40.3,-3.3,abc", 2},                            // not numeric
      {"3\r\n40,5;-3,3;700", 2},                            // decimal commas
  };
  for (const Case& c : cases) {
    const auto input = ParseCoordinateInput(c.text);
    ASSERT_FALSE(input.ok()) << c.text;
    EXPECT_EQ(input.error(), Cp1252(" La línea ") + std::to_string(c.line) +
                                 Cp1252(" del fichero no contiene tres coordenadas numéricas separadas por comas "))
        << c.text;
  }
}

TEST(ReadCoordinateFile, MissingFileIsReported) {
  const auto input = ReadCoordinateFile("/nonexistent/korvo/coordenadas.txt");
  ASSERT_FALSE(input.ok());
  EXPECT_NE(input.error().find(Cp1252("No se puede leer el fichero")), std::string::npos);
}

// ---- display and output ---------------------------------------------------------------------

std::vector<PointInAllFormats> TwoPoints() {
  return TransformPoints(CoordinateFormat::kEd50Geographic, {{40.3, -3.3, 700.0}, {41.223, 2.0915, 50.0}});
}

TEST(DisplayColumns, EachValueInItsColumnFormWithLineBreaksBetweenPoints) {
  const auto columns = DisplayColumns(TwoPoints());
  EXPECT_EQ(columns[0], "  457631.066\r\n  931100.804");
  EXPECT_EQ(columns[6], " 40.30000000\r\n 41.22300000");
  EXPECT_EQ(columns[7], " -3.30000000\r\n  2.09150000");
  EXPECT_EQ(columns[8], "   700.000\r\n    50.000");
  for (const std::string& column : columns) EXPECT_EQ(std::count(column.begin(), column.end(), '\n'), 1) << column;
}

TEST(BuildCoordinateOutput, SeventeenSeparatorsPerLineAndNoFinalLineEnd) {
  const std::string text = BuildCoordinateOutput(TwoPoints());
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.substr(text.size() - 2), "\r\n");
  const auto lines = SplitLines(text);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
  for (std::string_view line : lines) {
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), 12) << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), ';'), 5) << line;
  }
  // The first format's values of the first point, then the second format's.
  EXPECT_EQ(std::string(lines[0].substr(0, 51)), "  457631.066, 4483452.284,   700.000;  -50980.563, ");
  EXPECT_EQ(BuildCoordinateOutput({}), "");
}

TEST(WriteCoordinateFile, WritesTheTextAndReadsBack) {
  const std::filesystem::path path = korvo::testing::TestTempRoot() / "korvo_coord_output_test.txt";
  const auto points = TwoPoints();
  ASSERT_TRUE(WriteCoordinateFile(path.string(), points).ok());
  const auto bytes = ReadFileBytes(path.string());
  ASSERT_TRUE(bytes.ok());
  EXPECT_EQ(*bytes, BuildCoordinateOutput(points));
  std::filesystem::remove(path);
  EXPECT_FALSE(WriteCoordinateFile("/nonexistent/korvo/salida.txt", points).ok());
}

}  // namespace
}  // namespace korvo
