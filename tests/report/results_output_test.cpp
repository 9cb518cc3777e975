// What an adjustment leaves: the pane update, the results file and the printout of the system.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/files.h"
#include "common/win1252.h"
#include "report/results_display.h"
#include "report/results_file.h"
#include "report/system_printout.h"
#include "support/files.h"
#include "support/matrices.h"
#include "support/report_network.h"

namespace korvo {
namespace {

using Action = PaneUpdate::Action;

// The first adjustment appends, later ones replace; 31999 bytes shown, 32000 not, said only later.
TEST(PaneAfterAdjustmentTest, AppendReplaceAndTheLimit) {
  const std::string header(31000, 'h'), ls(998, 'l');
  struct Case {
    int adjustment;
    std::string header, ls, robust;
    Action action;
    std::string text;  // the pane's new text, or the message when it is unchanged
  } cases[] = {
      {1, "HEADER", "LS", "ROBUST", Action::kAppend, "LSROBUST"},
      {2, "HEADER", "LS", "ROBUST", Action::kReplace, "HEADERLSROBUST"},
      {1, header, ls, "r", Action::kAppend, ls + "r"},
      {1, header, ls, "rr", Action::kUnchanged, ""},
      {3, header, ls, "rr", Action::kUnchanged,
       Cp1252(" Trabajando sobre fichero de resultados... \r\n El proyecto no se mostrará en pantalla. ")},
  };
  for (const Case& c : cases) {
    const PaneUpdate update = PaneAfterAdjustment(c.adjustment, c.header, c.ls, c.robust);
    EXPECT_EQ(update.action, c.action) << c.adjustment << " " << c.robust;
    EXPECT_EQ(c.action == Action::kUnchanged ? update.message : update.text, c.text) << c.adjustment;
    EXPECT_EQ(update.setProjectTooBig, !update.message.empty()) << c.adjustment;
    EXPECT_TRUE(c.action == Action::kUnchanged || update.message.empty()) << c.adjustment;
  }
}

TEST(ResultsFileTest, ThreeTextsAndOneCrLfWrittenWholeBesideTheProject) {
  const std::string path = (testing::FreshTempDir("results_file") / "salida.txt").string();
  ASSERT_TRUE(WriteResultsFile(path, "un texto bastante largo", "", "").ok());
  const std::string header = "PROYECTO\r\n" + Cp1252("SISTEMA DE ECUACIONES DE OBSERVACIÓN") + "\r\n";
  ASSERT_TRUE(WriteResultsFile(path, header, "\r\nLS", Cp1252("COMPARACIÓN")).ok());
  EXPECT_EQ(testing::ReadWholeFile(path), header + "\r\nLS" + Cp1252("COMPARACIÓN") + "\r\n");
  ASSERT_TRUE(WriteResultsFile(path, "", "A", "").ok());
  EXPECT_EQ(testing::ReadWholeFile(path), "A\r\n");
  // A failure leaves no file and names it.
  const std::string missing = (testing::FreshTempDir("results_file_fails") / "no_existe" / "r.txt").string();
  const Status written = WriteResultsFile(missing, "H", "L", "R");
  ASSERT_FALSE(written.ok());
  EXPECT_NE(written.error().find("r.txt"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(missing));
  // Its default place: beside the project, with a suffix.
  EXPECT_EQ(DefaultResultsPath("/datos/red.txt"), "/datos/red_resultados.txt");
  EXPECT_EQ(DefaultResultsPath("red"), "red_resultados.txt");
  EXPECT_EQ(DefaultResultsPath("/a.b/red.final.dat"), "/a.b/red.final_resultados.txt");
}

// Header lines for every refraction option and vertex width, equation rows and weights, hand-written.
TEST(SystemPrintoutTest, HeaderRowsAndWeightsMatchTheHandWrittenLayout) {
  const NetworkModel network = testing::SmallNetwork();
  const std::vector<OrientationStatus>& orientation = testing::SmallSystem().orientationStatus;
  NetworkModel negative = network;
  negative.vertices[1].number = -5;   // unknown vertex
  negative.vertices[2].number = -35;  // unknown vertex with unknown deflection
  NetworkModel wide = network;
  wide.vertices[0].number = 1000;
  wide.vertices[2].number = 1234;
  TextBuilder out;
  AppendSystemHeaderLine(out, testing::SmallSystem().layout);
  AppendSystemHeaderLine(out, testing::LayoutOf(negative, orientation, testing::Refraction::PerLine, {{1, -5}}));
  AppendSystemHeaderLine(out, testing::LayoutOf(network, orientation, testing::Refraction::Network));
  AppendSystemHeaderLine(out, testing::LayoutOf(network, orientation, testing::Refraction::Fixed));
  AppendSystemHeaderLine(out, testing::LayoutOf(wide, orientation, testing::Refraction::PerLine, {{1000, 2}}));
  ObservationSystem system;
  system.numEquations = system.numUnknowns = 2;
  system.A = testing::FromRows({{1234567.123456789, -0.5}, {0.0, 1e-12}});
  system.k = testing::Column({12.3456789012, -0.25});
  system.P = testing::FromRows({{4.0, -0.0000000006}, {-0.0000000006, 0.0000001}});
  AppendSystemRows(out, system);
  AppendWeightText(out, system);
  EXPECT_EQ(out.str(), testing::Golden("system_printout.txt"));
}

}  // namespace
}  // namespace korvo
