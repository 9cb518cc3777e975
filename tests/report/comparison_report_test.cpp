// The comparison section (network and numbered variants) and the report of imported systems.
#include <gtest/gtest.h>

#include "common/text.h"
#include "common/win1252.h"
#include "report/comparison_report.h"
#include "report/imported_report.h"
#include "support/files.h"
#include "support/report_network.h"

namespace korvo {
namespace {

// A number text right-aligned in its 12-character field and the two blanks after it.
std::string F(const std::string& text) { return std::string(12 - text.size(), ' ') + text + "  "; }

RobustEstimate Estimate(std::vector<double> residuals, std::vector<double> corrections, double sigma) {
  RobustEstimate e;
  e.residuals = std::move(residuals);
  e.corrections = std::move(corrections);
  e.sigma = sigma;
  return e;
}

// Least squares and three estimators, 3 rows and 2 unknowns, binary-exact values.
struct ImportedFixture {
  ObservationSystem system;
  LeastSquaresResults ls;
  RobustResults all;

  ImportedFixture() {
    system.numEquations = 3, system.numUnknowns = 2, system.formedFromNetwork = false;
    ls.residuals = {0.0, 0.125, -1.5, 2.0};
    ls.corrections = {0.0, 0.0625, -0.0625};
    ls.sigmaZero = 0.5;
    all.huber = Estimate({0.0, 0.25, -1.0, 2.5}, {0.0, 1.0, -2.0}, 0.75);
    LpEstimate lp;
    static_cast<RobustEstimate&>(lp) = Estimate({0.0, 3.0, 0.5, -0.375}, {0.0, 4.0, 0.5}, 1.25);
    lp.kurtosis = 3.0;
    all.lp = lp;
    all.l1 = Estimate({0.0, -2.0, 10.0, 0.0625}, {0.0, 8.0, -16.0}, 2.0);
  }
};

// The imported variant: all estimators, every combination of them, all left out, all at their iteration limits.
TEST(ComparisonSection, ImportedVariantMatchesTheHandWrittenFilesInEveryCombination) {
  ImportedFixture f;
  const auto imported = [&f](const RobustResults& robust) {
    return BuildComparisonSection(ComparisonVariant::Imported, {}, f.system, f.ls, robust);
  };
  EXPECT_EQ(imported(f.all), testing::Golden("comparison_imported.txt"));
  RobustResults none;
  none.leftOut = {{RobustMethod::Huber, "Matriz singular"},
                  {RobustMethod::Lp, "Matriz singular"},
                  {RobustMethod::L1, "Matriz singular"}};
  EXPECT_EQ(imported(none), testing::Golden("comparison_all_left_out.txt"));

  // Every combination of estimators has their columns; the closing sentence only with Lp.
  EXPECT_EQ(imported(RobustResults{}), "");
  for (int mask = 1; mask < 8; ++mask) {
    const bool huber = (mask & 1) != 0, lp = (mask & 2) != 0, l1 = (mask & 4) != 0;
    RobustResults chosen;
    if (huber) chosen.huber = f.all.huber;
    if (lp) chosen.lp = f.all.lp;
    if (l1) chosen.l1 = f.all.l1;
    const std::string text = imported(chosen);
    const std::string heading = Cp1252(" Observación    ") + "  Residuo M.C.  " + (huber ? "Residuo Huber " : "") +
                                (lp ? "  Residuo Lp  " : "") + (l1 ? "  Residuo L1  " : "") + "\r\n";
    EXPECT_NE(text.find(heading), std::string::npos) << mask;
    const std::string scale = "\r\nD.T.medida peso 1               .5  " + (huber ? F(" .75") : "") +
                              (lp ? F(" 1.25") : "") + (l1 ? F(" 2") : "") + "\r\n";
    EXPECT_NE(text.find(scale), std::string::npos) << mask;
    const std::string lastRow = "\r\n     2             -.063  " + (huber ? F("-2") : "") + (lp ? F(" .5") : "") +
                                (l1 ? F("-16") : "") + "\r\n\r\n\r\n";
    EXPECT_NE(text.find(lastRow), std::string::npos) << mask;
    EXPECT_EQ(text.find("beta2") != std::string::npos, lp) << mask;
    EXPECT_EQ(text.ends_with("\r\n\r\n"), !lp) << mask;
  }

  // An estimator's failure message on one line after its name.
  const std::pair<RobustMethod, const char*> cases[] = {  // UTF-8, as the estimator failed with it
      {RobustMethod::Huber, "Matriz singular"},
      {RobustMethod::Lp,
       "El método de mínimas normas Lp adaptadas no puede determinar la curtosis de la distribución:\r\n"
       "todos los residuos de mínimos cuadrados son nulos.\r\nDesactive ese método en las opciones de cálculo."},
      {RobustMethod::L1,
       " ¡Los métodos de estimación robusta han llegado a valores no numéricos (pesos desmesurados)! \r\n"
       " Desactívelos en las opciones de cálculo. "},
  };
  std::string sentences;
  for (const auto& [method, message] : cases) sentences += LeftOutSentence(method, Cp1252(message)) + "\n";
  EXPECT_EQ(sentences, Cp1252(testing::Golden("left_out_sentences.txt")));

  // A left-out estimator has no columns; its sentence stands between Huber's and L1's closing ones.
  RobustResults notSelected = f.all;
  notSelected.lp.reset();
  RobustResults leftOut = notSelected;
  leftOut.leftOut.push_back({RobustMethod::Lp, "Matriz singular"});
  const std::string lpLeftOut = Cp1252("El método de mínimas normas Lp adaptadas no pudo calcularse: Matriz singular\r\n");
  EXPECT_EQ(imported(leftOut), imported(notSelected) + lpLeftOut);
  leftOut.huber->iterationLimitReached = leftOut.l1->iterationLimitReached = true;
  EXPECT_TRUE(imported(leftOut).ends_with("\r\n\r\n" + HuberIterationLimitSentence() + "\r\n" + lpLeftOut +
                                          L1IterationLimitSentence() + "\r\n"));

  f.all.huber->iterationLimitReached = f.all.lp->iterationLimitReached = f.all.l1->iterationLimitReached = true;
  f.all.lp->kurtosis = 4.1234567;
  EXPECT_EQ(imported(f.all), testing::Golden("comparison_iteration_limits.txt"));
}

// Fixed 1 (unknown orientation), unknown 12 (unknown deflection), unknown 345; refraction line 12-345.
struct NetworkFixture {
  NetworkModel network;
  ObservationSystem system;
  LeastSquaresResults ls;
  RobustResults robust;

  NetworkFixture() {
    network.vertices = {{.number = 1, .kind = kKindFixed},
                        {.number = 12, .kind = kKindUnknown, .deflectionUnknown = true},
                        {.number = 345, .kind = kKindUnknown}};
    network.classical = {{ObservationType::Direction, 1, 12, 0, 0},
                         {ObservationType::Zenith, 12, 345, 0, 0},
                         {ObservationType::Distance, 345, 1, 0, 0}};
    network.baselines = {{.from = 1, .to = 12}};

    system.numEquations = 6, system.numUnknowns = 10, system.classicalCount = 3, system.gpsCount = 1;
    system.orientationStatus = {OrientationStatus::Unknown, OrientationStatus::Fixed, OrientationStatus::None};
    system.layout = testing::LayoutOf(network, system.orientationStatus, testing::Refraction::PerLine, {{12, 345}});

    ls.sigmaZero = 1.5;
    ls.residuals = {0, 1, 2, 3, 4, 5, 6};
    ls.corrections = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    robust.huber = Estimate({0, 10, 20, 30, 40, 50, 60}, {0, 0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 5}, 2.25);
    robust.l1 = Estimate({0, -1, -2, -3, -4, -5, -6}, {0, -1, -2, -3, -4, -5, -6, -7, -8, -9, -10}, 0.125);
  }
};

// The network variant: hand-written file, refraction rows by option, no orientation rows, long labels.
TEST(ComparisonSection, NetworkVariantLabelsAndPositions) {
  NetworkFixture f;
  EXPECT_EQ(BuildComparisonSection(ComparisonVariant::Network, f.network, f.system, f.ls, f.robust),
            testing::Golden("comparison_network.txt"));
  f.system.layout = testing::LayoutOf(f.network, f.system.orientationStatus, testing::Refraction::Network);
  std::string text = BuildComparisonSection(ComparisonVariant::Network, f.network, f.system, f.ls, f.robust);
  EXPECT_NE(text.find("\r\n  k         " + F(" 7") + F(" 3.5") + F("-7") + "\r\n"), std::string::npos);
  f.system.layout = testing::LayoutOf(f.network, f.system.orientationStatus, testing::Refraction::Fixed);
  text = BuildComparisonSection(ComparisonVariant::Network, f.network, f.system, f.ls, f.robust);
  EXPECT_EQ(text.find("\r\n  k"), std::string::npos);
  f.system.layout = testing::LayoutOf(f.network, {}, testing::Refraction::Fixed);
  text = BuildComparisonSection(ComparisonVariant::Network, f.network, f.system, f.ls, f.robust);
  EXPECT_EQ(text.find("dDes"), std::string::npos);
  f.network.vertices[1].number = 1000;
  f.network.vertices[2].number = 2000;
  f.network.classical[2] = {ObservationType::Distance, 2000, 1000, 0, 0};  // 19 − 10 − 5 − 5 = −1
  f.system.layout = testing::LayoutOf(f.network, f.system.orientationStatus, testing::Refraction::PerLine, {{1000, 2000}});
  text = BuildComparisonSection(ComparisonVariant::Network, f.network, f.system, f.ls, f.robust);
  EXPECT_NE(text.find("\r\n" + Cp1252("Geométrica 2000-1000") + F(" 3") + F(" 30") + F("-3") + "\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("\r\n  X1000    " + F(" 1")), std::string::npos);       // 9 − 5 = 4 blanks
  EXPECT_NE(text.find("\r\n  D.V.EW1000" + F(" 8")), std::string::npos);    // 4 − 5: none
}

TEST(ImportedReport, LeastSquaresPartLayout) {
  ObservationSystem system;
  system.numEquations = 2, system.numUnknowns = 1;
  LeastSquaresResults ls;
  ls.residuals = {0.0, 0.25, -0.125};
  ls.sigmaResiduals = {0.0, 0.5, 1.5};
  ls.sigmaZero = 0.5;
  ls.corrections = {0.0, 12.5};
  ls.sigmaParameters = {0.0, 0.0625};
  ls.Cxx = Matrix(1, 1), ls.Cxx(1, 1) = 2.0;
  ls.CllHat = Matrix(2, 2), ls.CllHat(1, 1) = 1.0, ls.CllHat(1, 2) = -0.5, ls.CllHat(2, 1) = -0.5, ls.CllHat(2, 2) = 1234567.123456789;
  ls.Cvv = Matrix(2, 2), ls.Cvv(1, 1) = 0.25, ls.Cvv(2, 2) = 0.75;
  ls.baardaStatistic = {0.0, 0.5, -0.0625};
  ls.redundancy = {0.0, 0.25, 0.75};
  ls.minDetectableError = {0.0, 8.25, 4.5};
  ls.internalReliability = {0.0, 8.26, 0.0};
  ls.externalReliability = {0.0, 7.0, 0.0};
  ls.externalReliabilityVectors = Matrix(1, 2), ls.externalReliabilityVectors(1, 1) = 3.0, ls.externalReliabilityVectors(1, 2) = -1e-5;

  EXPECT_EQ(BuildImportedLeastSquaresText(system, ls), testing::Golden("imported_least_squares.txt"));
  // The pane: the least-squares text after the header, then the comparison, replacing what it showed.
  const RobustResults robust;
  const ImportedReport report = BuildImportedReport(system, ls, robust, "PROYECTO\r\n");
  EXPECT_EQ(report.lsResultsText, "PROYECTO\r\n" + testing::Golden("imported_least_squares.txt"));
  EXPECT_EQ(report.robustComparisonText, BuildComparisonSection(ComparisonVariant::Imported, {}, system, ls, robust));
  EXPECT_EQ(report.pane.action, PaneUpdate::Action::kReplace);
  EXPECT_EQ(report.pane.text, report.lsResultsText + report.robustComparisonText);
}

}  // namespace
}  // namespace korvo
