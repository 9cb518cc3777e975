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

const std::string kRobust = "Resolviendo sistema por métodos de estimación robusta...";

class AdjustmentDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.projectText = testing::ReadWholeFile(testing::Example("red_ejemplo.txt"));
    Result<NetworkModel> loaded = LoadNetworkFromText(state.projectText);
    ASSERT_TRUE(loaded.ok());
    example = *loaded;
  }
  // Loads a project and makes it the one being adjusted.
  NetworkModel Project(const testing::ProjectText& text) {
    state.projectText = text.File("p.txt");
    Result<NetworkModel> model = LoadNetworkFromText(state.projectText);
    EXPECT_TRUE(model.ok());
    return model.ok() ? *model : NetworkModel{};
  }
  NetworkModel example;
  ProjectState state;
  CalcOptions options;
  testing::ProgressRecorder recording;
};

TEST_F(AdjustmentDriverTest, StatusProgressAndHeaderWithoutRobustEstimators) {
  options.useHuber = options.useLp = options.useL1 = false;
  state.adjustmentRunCount = 4;
  const Result<AdjustmentOutput> output = RunAdjustment(example, options, state, recording.Sink());
  ASSERT_TRUE(output.ok()) << Cp1252ToUtf8(output.error());
  const std::vector<std::string> expected = {
      "P0", S("Formando matrices del sistema de ecuaciones..."), "P5", "P10", "P20", "P30", "P40",
      S("Resolviendo sistema por mínimos cuadrados..."), "P55" /* set by the solver once σ0 is known */, "P65", S(kRobust),
      "S:", "P75", "S:", "P85", "P95", "S:", S("Realizando informe de resultados..."), "P100", S("Ajuste realizado")};
  EXPECT_EQ(recording.events, expected);
  EXPECT_TRUE(output->robustComparisonText.empty());
  EXPECT_TRUE(output->warnings.empty());
  // The header: the project text, then the system printout closed by its weights.
  EXPECT_EQ(state.adjustmentRunCount, 5);
  const std::string& header = output->resultsHeaderText;
  const std::string start = state.projectText + "\r\n\r\n\r\n" + Cp1252("SISTEMA DE ECUACIONES DE OBSERVACIÓN") + "\r\n\r\n";
  ASSERT_EQ(header.substr(0, start.size()), start);
  EXPECT_NE(header.find("MATRIZ DE PESOS", start.size()), std::string::npos);
  EXPECT_TRUE(state.projectTooBig);  // the printout with the project text is always too long
  EXPECT_EQ(output->lsResultsText.rfind("\r\n\r\n\r\n\r\n" + Cp1252("RESULTADOS DEL AJUSTE POR MÍNIMOS CUADRADOS"), 0), 0u);
}

// No redundancy (one unknown vertex, one distance: n = 1, m = 3) stops after the least-squares
// step; a distance to vertex 9, not in the vertex list, before it.
TEST_F(AdjustmentDriverTest, FailuresStopAtTheirStep) {
  testing::ProjectText p;
  p.Vertex("1", true, "4000000", "-300000", "4800000").Vertex("2", false, "4000300", "-300000", "4800000");
  const Result<AdjustmentOutput> output =
      RunAdjustment(Project(p.Observation(kTypeDistance, "1", "2", "300.01", "0.003")), options, state, recording.Sink());
  ASSERT_FALSE(output.ok());
  EXPECT_EQ(output.error(), kLeastSquaresFailureMessage);
  EXPECT_EQ(recording.events.back(), S("Resolviendo sistema por mínimos cuadrados..."));  // no robust stage, no report
  testing::ProgressRecorder second;
  p.Observation(kTypeDistance, "1", "9", "300.01", "0.003");
  ASSERT_FALSE(RunAdjustment(Project(p), options, state, second.Sink()).ok());
  EXPECT_EQ(second.events.back(), S("Formando matrices del sistema de ecuaciones..."));
}

// Residuals all zero: Lp cannot measure its kurtosis and is left out with a sentence and a
// warning; least squares, Huber and L1 stand and the run ends as usual.
TEST_F(AdjustmentDriverTest, EstimatorThatCannotRunLeavesTheRestStanding) {
  // Baselines exactly the differences of whole-metre coordinates: every term is zero.
  testing::ProjectText p;
  p.Vertex("1", true, "4849202", "-360328", "4114913")
      .Vertex("2", false, "4848000", "-358000", "4116500")
      .Vertex("3", true, "4850500", "-357000", "4113500")
      .Baseline("1", "2", "-1202", "2328", "1587")
      .Baseline("2", "3", "2500", "1000", "-3000");
  const Result<AdjustmentOutput> output = RunAdjustment(Project(p), options, state, recording.Sink());
  ASSERT_TRUE(output.ok()) << Cp1252ToUtf8(output.error());
  ASSERT_EQ(output->system.numEquations, 6);
  for (int i = 1; i <= 6; ++i) ASSERT_EQ(output->leastSquares.residuals[static_cast<std::size_t>(i)], 0.0) << i;
  EXPECT_TRUE(output->robust.huber && output->robust.l1 && !output->robust.lp);
  const std::string& comparison = output->robustComparisonText;
  EXPECT_NE(comparison.find(Cp1252(" Observación          Residuo M.C.  Residuo Huber   Residuo L1  \r\n")), std::string::npos);
  const std::string sentence = Cp1252(
      "El método de mínimas normas Lp adaptadas no pudo calcularse: El método de mínimas normas Lp adaptadas no "
      "puede determinar la curtosis de la distribución: todos los residuos de mínimos cuadrados son nulos. "
      "Desactive ese método en las opciones de cálculo.");
  EXPECT_TRUE(comparison.ends_with("\r\n\r\n" + sentence + "\r\n")) << Cp1252ToUtf8(comparison);
  EXPECT_EQ(output->warnings, std::vector<std::string>{sentence});
  EXPECT_EQ(recording.events.back(), S("Ajuste realizado"));
}

}  // namespace
}  // namespace korvo
