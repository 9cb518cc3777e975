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

using korvo::testing::LayoutOf;
using korvo::testing::Refraction;

// A number text as the layout writes it: right-aligned in 12 characters.
std::string Col(const std::string& text) { return std::string(12 - text.size(), ' ') + text; }

class NetworkReportTest : public ::testing::Test {
 protected:
  std::string Build() { return BuildNetworkReport(network, system, ls); }

  NetworkModel network = testing::SmallNetwork();
  ObservationSystem system = testing::SmallSystem();
  LeastSquaresResults ls = testing::SmallResults();
};

// The whole report, byte for byte, against a hand-written file.
TEST_F(NetworkReportTest, MatchesTheHandWrittenReport) { EXPECT_EQ(Build(), testing::Golden("network_report.txt")); }

// Correction k and deviation 10·k at position k: the rows after the coordinates per refraction option.
TEST_F(NetworkReportTest, RowsAfterTheCoordinatesFollowTheRefractionOptions) {
  const struct {
    Refraction refraction;
    std::vector<std::pair<int, int>> lines;
  } variants[] = {{Refraction::PerLine, {{1, 2}, {35, 7}}}, {Refraction::Network, {}}, {Refraction::Fixed, {}}};
  std::string rows;
  for (const auto& variant : variants) {
    system.layout = LayoutOf(network, system.orientationStatus, variant.refraction, variant.lines);
    const int m = system.layout.Count();
    system.numUnknowns = ls.numUnknowns = m;
    ls.corrections.assign(static_cast<std::size_t>(m) + 1, 0.0);
    ls.sigmaParameters.assign(static_cast<std::size_t>(m) + 1, 0.0);
    for (int k = 1; k <= m; ++k) {
      ls.corrections[static_cast<std::size_t>(k)] = k;
      ls.sigmaParameters[static_cast<std::size_t>(k)] = 10.0 * k;
    }
    ls.Cxx = Matrix(m, m);
    ls.externalReliabilityVectors = Matrix(m, testing::kSmallN);
    const std::string report = Build();
    const std::size_t z35 = report.find("\r\n  Z35");
    ASSERT_NE(z35, std::string::npos);
    const std::size_t first = report.find("\r\n", z35 + 2) + 2;
    rows += report.substr(first, report.find("\r\n\r\n", first) + 4 - first);
  }
  EXPECT_EQ(rows, testing::Golden("network_report_unknown_rows.txt"));
}

// Only vertex 7's unknown orientation has a row, at the first orientation position; labels of negative
// four-digit vertices are written whole.
TEST_F(NetworkReportTest, OrientationRowsAtTheirOwnPositionAndLongLabelsInFull) {
  system.orientationStatus = {OrientationStatus::Fixed, OrientationStatus::None, OrientationStatus::None,
                              OrientationStatus::Unknown};
  system.approxOrientationGon = {50.0, 0.0, 0.0, 300.0};
  network.vertices[1].number = network.classical[2].from = -1234;
  network.vertices[2].number = network.classical[2].to = 9999;
  system.layout = LayoutOf(network, system.orientationStatus);
  const std::string report = Build();
  for (const char* absent : {"  dDes1", "  dDes-1234", "  dDes9999"}) EXPECT_EQ(report.find(absent), std::string::npos);
  EXPECT_NE(report.find("\r\n  dDes7     " + Col(" 12") + "  " + Col(" 2") + std::string(10, ' ') + Col(" 300.0012") +
                        "  " + Col(" .0002") + "\r\n"),
            std::string::npos);
  EXPECT_NE(report.find(Cp1252("Geométrica -1234-9999") + Col(" .004")), std::string::npos);
  EXPECT_NE(report.find("  D.V.EW9999" + Col(" 3.2")), std::string::npos);     // 4 - 4 = 0 blanks
  EXPECT_NE(report.find("  X-1234    " + Col(" .01")), std::string::npos);    // left-aligned in 9
}

TEST_F(NetworkReportTest, NetworkWithoutClassicalObservationsGoesFromGpsRowsToEstimators) {
  network.classical.clear();
  system.numEquations = 3;
  system.classicalCount = 0;
  system.orientationStatus.assign(4, OrientationStatus::None);
  system.layout = LayoutOf(network, system.orientationStatus, Refraction::Fixed);
  const std::string report = Build();
  const std::string heading = std::string(20, ' ') + "RESIDUO(m/cc) " + Cp1252(" DESV.TÍPICA") + std::string(6, ' ') +
                              "  COMPENSADO(m/g) " + Cp1252(" DESV.TÍPICA") + "\r\nGPS 1-35" + std::string(12, ' ');
  const std::size_t at = report.find(heading);
  ASSERT_NE(at, std::string::npos);
  const std::vector<std::string_view> lines = SplitLines(std::string_view(report).substr(at));
  EXPECT_EQ(lines[4], "");
  EXPECT_EQ(lines[5], "");
  EXPECT_TRUE(lines[6].starts_with("Estimador de la varianza"));
}

}  // namespace
}  // namespace korvo
