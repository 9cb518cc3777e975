#include "report/network_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "common/win1252.h"
#include "support/files.h"
#include "support/report_network.h"

namespace korvo {
namespace {

using korvo::testing::SmallNetwork;
using korvo::testing::SmallResults;
using korvo::testing::SmallSystem;
using korvo::testing::LayoutOf;
using korvo::testing::Refraction;

std::string Blanks(std::size_t count) { return std::string(count, ' '); }

// A number text as the layout writes it: right-aligned in 12 characters. The texts passed in
// are written by hand from the rounding rules (4 or 9 decimals, half away from zero, general
// numeric text with its leading blank), not taken from the program.
std::string Col(const std::string& text) { return Blanks(12 - text.size()) + text; }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::string_view line : SplitLines(text)) lines.emplace_back(line);
  return lines;
}

// Index of the line that equals `title`, or -1.
int LineIndex(const std::vector<std::string>& lines, const std::string& title) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == title) return static_cast<int>(i);
  }
  return -1;
}

class NetworkReportTest : public ::testing::Test {
 protected:
  std::string Build() { return BuildNetworkReport(network, system, ls); }

  NetworkModel network = SmallNetwork();
  ObservationSystem system = SmallSystem();
  LeastSquaresResults ls = SmallResults();
};

// The residual table and the correction table, byte for byte, from hand-written files: the
// number texts follow the rounding rules (4 or 9 decimals, half away from zero, general
// numeric text with its leading blank); a zero deviation is an exact "0"; a 13-character
// value loses its last digit; refraction, deflection (EW before NS) and orientation rows
// follow the coordinates without trailing blanks.
TEST_F(NetworkReportTest, ResidualAndCorrectionTables) {
  const std::string report = Build();
  EXPECT_TRUE(report.starts_with(testing::Golden("network_report_residuals.txt")));
  EXPECT_NE(report.find("\r\n" + testing::Golden("network_report_corrections.txt")), std::string::npos);
}

TEST_F(NetworkReportTest, MatrixSections) {
  const std::vector<std::string> lines = Lines(Build());
  const int cxx = LineIndex(lines, Cp1252("MATRIZ VARIANZA-COVARIANZA DE PARÁMETROS"));
  ASSERT_GE(cxx, 0);
  // 9 decimals: 1.234E-09 rounds to 1E-09 (exponent form), -.25 keeps its sign.
  std::string firstRow = Col(" 1E-09") + "  " + Col("-.25") + "  ";
  for (int j = 3; j <= testing::kSmallM; ++j) firstRow += Col("0") + "  ";
  EXPECT_EQ(lines[static_cast<std::size_t>(cxx) + 2], firstRow);
  EXPECT_EQ(lines[static_cast<std::size_t>(cxx) + 1], "");

  const int cll = LineIndex(lines, "MATRIZ VARIANZA-COVARIANZA DE OBSERVABLES COMPENSADOS");
  ASSERT_EQ(cll, cxx + 2 + testing::kSmallM + 2);  // m rows, then two line ends
  std::string secondRow = Col(" 1234567.123") + "  ";
  for (int j = 2; j <= testing::kSmallN; ++j) secondRow += Col("0") + "  ";
  EXPECT_EQ(lines[static_cast<std::size_t>(cll) + 3], secondRow);

  const int cvv = LineIndex(lines, "MATRIZ VARIANZA-COVARIANZA DE RESIDUOS");
  ASSERT_EQ(cvv, cll + 2 + testing::kSmallN + 2);
  std::string lastRow;
  for (int j = 1; j < testing::kSmallN; ++j) lastRow += Col("0") + "  ";
  lastRow += Col(" .5") + "  ";
  EXPECT_EQ(lines[static_cast<std::size_t>(cvv) + 1 + testing::kSmallN], lastRow);
}

TEST_F(NetworkReportTest, ReliabilityTableAndVectors) {
  const std::string report = Build();
  const std::vector<std::string> lines = Lines(report);
  const int fiabilidad = LineIndex(lines, "FIABILIDAD");
  ASSERT_GE(fiabilidad, 3);
  EXPECT_EQ(lines[static_cast<std::size_t>(fiabilidad) - 1], "");
  EXPECT_EQ(lines[static_cast<std::size_t>(fiabilidad) - 2], "");
  const std::size_t at = static_cast<std::size_t>(fiabilidad);
  EXPECT_EQ(lines[at + 2], "  Observable " + Blanks(2) + "    Residuo " + Blanks(2) +
                               " Vble.Baarda" + Blanks(2) + " Redundancia" + Blanks(2) +
                               Cp1252("Mín.Error D.") + Blanks(2) + " Hom.interna" + Blanks(2) +
                               " Hom.externa");
  EXPECT_EQ(lines[at + 3], Blanks(5) + "1" + Blanks(8) + Col(" 1.2346") + "  " + Col(" 2.4691") +
                               "  " + Col(" .75") + "  " + Col(" 5") + "  " + Col(" 4.769") +
                               "  " + Col(" 2.3845") + "  ");
  EXPECT_EQ(lines[at + 8], Blanks(5) + "6" + Blanks(8) + Col(" .03") + "  " + Col(" 10") + "  " +
                               Col(" 1") + "  " + Col(" .04") + "  " + Col(" 4.13") + "  " +
                               Col("0") + "  ");

  const int vectors = LineIndex(lines, "Vectores de fiabilidad externa");
  ASSERT_EQ(vectors, fiabilidad + 3 + testing::kSmallN + 2);
  std::string head = Cp1252("Parámetro  ");
  for (int j = 1; j <= testing::kSmallN; ++j) head += "Observ." + Blanks(4) + std::to_string(j) + "   ";
  EXPECT_EQ(lines[static_cast<std::size_t>(vectors) + 2], head);
  std::string first = "  1" + Blanks(8) + Col(" .1235") + "  ";
  for (int j = 2; j <= testing::kSmallN; ++j) first += Col("0") + "  ";
  EXPECT_EQ(lines[static_cast<std::size_t>(vectors) + 3], first);
  std::string last = "  10" + Blanks(7);
  for (int j = 1; j < testing::kSmallN; ++j) last += Col("0") + "  ";
  last += Col("-7") + "  ";
  EXPECT_EQ(lines[static_cast<std::size_t>(vectors) + 12], last);
  // The report ends with the last vector line.
  EXPECT_EQ(report.substr(report.size() - last.size() - 2), last + "\r\n");
}

TEST_F(NetworkReportTest, SingleRefractionRowHasEightBlanksAfterK) {
  system.layout = LayoutOf(network, system.orientationStatus, Refraction::Network);
  const std::vector<std::string> lines = Lines(Build());
  const std::string row = "  k" + Blanks(8) + Col(" .13") + "  " + Col(" .05") + Blanks(10) +
                          Col(" .13") + "  " + Col(" .05") + "  ";
  EXPECT_GE(LineIndex(lines, row), 0);
}

TEST_F(NetworkReportTest, NoRefractionRowsWithFixedRefractionOrWithoutZenithAngles) {
  auto countRefractionRows = [](const std::string& report) {
    int count = 0;
    for (std::string_view line : SplitLines(report)) {
      if (line.substr(0, 3) == "  k") ++count;
    }
    return count;
  };
  EXPECT_EQ(countRefractionRows(Build()), 1);
  system.layout = LayoutOf(network, system.orientationStatus, Refraction::Fixed);
  EXPECT_EQ(countRefractionRows(Build()), 0);
}

TEST_F(NetworkReportTest, DeflectionAndOrientationPositionsFollowTheRefractionBlock) {
  // The unknowns after the coordinates are laid out as refraction (r of them), deflection
  // pairs, orientations: with one coefficient per line (two lines), one for the network, or
  // the fixed coefficient (none), the D.V. and dDes rows read positions 3u + r + 1 onwards.
  // Every correction is its own position k (cc) and its deviation 10·k, so each row shows
  // which position it read; deflections and orientations add the value ÷ 10000 in gons.
  struct Row {
    const char* label;
    const char* correction;
    const char* sigma;
    const char* adjusted;
    const char* adjustedSigma;
    const char* end;  // "  " after the last column, or nothing
  };
  struct Variant {
    const char* name;
    Refraction refraction;
    std::vector<std::pair<int, int>> lines;
    std::vector<Row> rows;  // the rows after "  Z35"
  };
  const Variant variants[] = {
      {"two lines", Refraction::PerLine, {{1, 2}, {35, 7}},
       {{"  k1-2       ", " 7", " 70", " 7", " 70", ""},  // 9 - 1 - 1 blanks
        {"  k35-7      ", " 8", " 80", " 8", " 80", ""},  // 9 - 2 - 1 blanks
        {"  D.V.EW35  ", " 9", " 90", " .0009", " .009", ""},
        {"  D.V.NS35  ", " 10", " 100", " .001", " .01", ""},
        {"  dDes1     ", " 11", " 110", " 50.0011", " .011", ""}}},
      {"whole network", Refraction::Network, {},
       {{"  k        ", " 7", " 70", " 7", " 70", "  "},  // "  k" and eight blanks
        {"  D.V.EW35  ", " 8", " 80", " .0008", " .008", ""},
        {"  D.V.NS35  ", " 9", " 90", " .0009", " .009", ""},
        {"  dDes1     ", " 10", " 100", " 50.001", " .01", ""}}},
      {"fixed coefficient", Refraction::Fixed, {},
       {{"  D.V.EW35  ", " 7", " 70", " .0007", " .007", ""},
        {"  D.V.NS35  ", " 8", " 80", " .0008", " .008", ""},
        {"  dDes1     ", " 9", " 90", " 50.0009", " .009", ""}}},
  };
  for (const Variant& variant : variants) {
    system.layout = LayoutOf(network, system.orientationStatus, variant.refraction, variant.lines);
    const int m = system.layout.Count();
    system.numUnknowns = m;
    ls.numUnknowns = m;
    ls.corrections.assign(static_cast<std::size_t>(m) + 1, 0.0);
    ls.sigmaParameters.assign(static_cast<std::size_t>(m) + 1, 0.0);
    for (int k = 1; k <= m; ++k) {
      ls.corrections[static_cast<std::size_t>(k)] = k;
      ls.sigmaParameters[static_cast<std::size_t>(k)] = 10.0 * k;
    }
    ls.Cxx = Matrix(m, m);
    ls.externalReliabilityVectors = Matrix(m, testing::kSmallN);

    const std::vector<std::string> lines = Lines(Build());
    int z35 = -1;
    for (std::size_t i = 0; i < lines.size() && z35 < 0; ++i) {
      if (lines[i].rfind("  Z35", 0) == 0) z35 = static_cast<int>(i);
    }
    ASSERT_GE(z35, 0) << variant.name;
    const auto first = static_cast<std::size_t>(z35) + 1;
    ASSERT_GE(lines.size(), first + variant.rows.size() + 1) << variant.name;
    for (std::size_t i = 0; i < variant.rows.size(); ++i) {
      const Row& row = variant.rows[i];
      EXPECT_EQ(lines[first + i], std::string(row.label) + Col(row.correction) + "  " + Col(row.sigma) +
                                      Blanks(10) + Col(row.adjusted) + "  " + Col(row.adjustedSigma) + row.end)
          << variant.name << ", row " << i;
    }
    EXPECT_EQ(lines[first + variant.rows.size()], "") << variant.name;
  }
}

TEST_F(NetworkReportTest, OrientationRowsOnlyForUnknownOrientationsAtTheirOwnPosition) {
  // Vertex 1 keeps a fixed orientation, vertex 7 (fourth in the table) carries the one
  // unknown orientation: its row uses the first orientation position, 10, and vertices
  // without directions get no row.
  system.orientationStatus = {OrientationStatus::Fixed, OrientationStatus::None,
                              OrientationStatus::None, OrientationStatus::Unknown};
  system.approxOrientationGon = {50.0, 0.0, 0.0, 300.0};
  system.layout = LayoutOf(network, system.orientationStatus);
  const std::string report = Build();
  const std::vector<std::string> lines = Lines(report);
  EXPECT_EQ(report.find("  dDes1"), std::string::npos);
  EXPECT_EQ(report.find("  dDes2"), std::string::npos);
  EXPECT_EQ(report.find("  dDes35"), std::string::npos);
  EXPECT_GE(LineIndex(lines, "  dDes7" + Blanks(5) + Col(" 12") + "  " + Col(" 2") + Blanks(10) +
                                 Col(" 300.0012") + "  " + Col(" .0002")),
            0);
}

TEST_F(NetworkReportTest, LabelsLongerThanTheirFieldsAreWrittenInFull) {
  // A distance between two four-digit vertices makes a 20-character label plus nothing; a
  // five-digit number is not possible in a project file, but a negative four-digit one is.
  network.vertices[1].number = -1234;
  network.vertices[2].number = 9999;
  network.classical[2].from = -1234;
  network.classical[2].to = 9999;
  system.layout = LayoutOf(network, system.orientationStatus);
  const std::string report = Build();
  EXPECT_NE(report.find(Cp1252("Geométrica -1234-9999") + Col(" .004")), std::string::npos);
  // Deflection label: "  D.V.EW" + "9999" and no fill (4 - 4 = 0).
  EXPECT_NE(report.find("  D.V.EW9999" + Col(" 3.2")), std::string::npos);
  // Coordinate label: number left-aligned in 9.
  EXPECT_NE(report.find("  X-1234" + Blanks(4) + Col(" .01")), std::string::npos);
}

TEST_F(NetworkReportTest, NetworkWithoutClassicalObservationsGoesFromGpsRowsToEstimators) {
  network.classical.clear();
  system.numEquations = 3;
  system.classicalCount = 0;
  system.orientationStatus.assign(4, OrientationStatus::None);
  system.layout = LayoutOf(network, system.orientationStatus, Refraction::Fixed);
  const std::vector<std::string> lines = Lines(Build());
  const int heading = LineIndex(lines, Blanks(20) + "RESIDUO(m/cc)" + " " + Cp1252(" DESV.TÍPICA") +
                                           Blanks(6) + "  COMPENSADO(m/g) " +
                                           Cp1252(" DESV.TÍPICA"));
  ASSERT_GE(heading, 0);
  const std::size_t at = static_cast<std::size_t>(heading);
  EXPECT_EQ(lines[at + 1].substr(0, 20), "GPS 1-35" + Blanks(12));
  EXPECT_EQ(lines[at + 4], "");
  EXPECT_EQ(lines[at + 5], "");
  EXPECT_EQ(lines[at + 6].rfind("Estimador de la varianza", 0), 0u);
}

}  // namespace
}  // namespace korvo
