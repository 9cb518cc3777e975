#include "engine/adjustment_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win1252.h"
#include "network/load_network.h"
#include "support/files.h"
#include "support/project_text.h"
#include "support/recorders.h"

namespace korvo {
namespace {

std::string S(const std::string& utf8) { return "S:" + Cp1252(utf8); }

TEST(AdjustmentDriver, StatusProgressAndStateWithoutRobustEstimators) {
  ProjectState state;
  state.projectText = testing::ReadWholeFile(testing::Example("red_ejemplo.txt"));
  const Result<NetworkModel> example = LoadNetworkFromText(state.projectText);
  ASSERT_TRUE(example.ok());
  CalcOptions options;
  options.useHuber = options.useLp = options.useL1 = false;
  state.adjustmentRunCount = 4;
  testing::ProgressRecorder recording;
  const Result<AdjustmentOutput> output = RunAdjustment(*example, options, state, recording.Sink());
  ASSERT_TRUE(output.ok()) << Cp1252ToUtf8(output.error());
  const std::vector<std::string> expected = {
      "P0", S("Formando matrices del sistema de ecuaciones..."), "P5", "P10", "P20", "P30", "P40",
      S("Resolviendo sistema por mínimos cuadrados..."), "P55" /* set by the solver once σ0 is known */, "P65",
      S("Resolviendo sistema por métodos de estimación robusta..."), "S:", "P75", "S:", "P85", "P95", "S:",
      S("Realizando informe de resultados..."), "P100", S("Ajuste realizado")};
  EXPECT_EQ(recording.events, expected);
  EXPECT_TRUE(output->robustComparisonText.empty());
  EXPECT_TRUE(output->warnings.empty());
  // The layout of the header and the report is the command line's results file test's.
  EXPECT_EQ(state.adjustmentRunCount, 5);
  EXPECT_TRUE(state.projectTooBig);  // the printout with the project text is always too long
}

// No redundancy (one unknown vertex, one distance: n = 1, m = 3) stops after the least-squares
// step; a distance to vertex 9, not in the vertex list, before it.
TEST(AdjustmentDriver, FailuresStopAtTheirStep) {
  ProjectState state;
  testing::ProgressRecorder first, second;
  auto run = [&state](const testing::ProjectText& text, testing::ProgressRecorder& recording) {
    state.projectText = text.File("p.txt");
    return RunAdjustment(LoadNetworkFromText(state.projectText).value(), CalcOptions{}, state, recording.Sink());
  };
  testing::ProjectText p;
  p.Vertex("1", true, "4000000", "-300000", "4800000").Vertex("2", false, "4000300", "-300000", "4800000");
  const Result<AdjustmentOutput> output = run(p.Observation(kTypeDistance, "1", "2", "300.01", "0.003"), first);
  ASSERT_FALSE(output.ok());
  EXPECT_EQ(output.error(), kLeastSquaresFailureMessage);
  EXPECT_EQ(first.events.back(), S("Resolviendo sistema por mínimos cuadrados..."));  // no robust stage, no report
  ASSERT_FALSE(run(p.Observation(kTypeDistance, "1", "9", "300.01", "0.003"), second).ok());
  EXPECT_EQ(second.events.back(), S("Formando matrices del sistema de ecuaciones..."));
}

}  // namespace
}  // namespace korvo
