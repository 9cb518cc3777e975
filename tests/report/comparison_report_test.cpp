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

// Least squares and three estimators of a system with 3 rows and 2 unknowns; binary-exact
// values whose rounded texts are worked by hand.
struct ImportedFixture {
  ObservationSystem system;
  LeastSquaresResults ls;
  RobustResults all;

  ImportedFixture() {
    system.numEquations = 3;
    system.numUnknowns = 2;
    system.formedFromNetwork = false;
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


TEST(ComparisonSection, ImportedVariantWithAllEstimators) {
  ImportedFixture f;
  EXPECT_EQ(BuildComparisonSection(ComparisonVariant::Imported, {}, f.system, f.ls, f.all),
            testing::Golden("comparison_imported.txt"));
}

TEST(ComparisonSection, EveryCombinationOfEstimatorsHasItsColumns) {
  ImportedFixture f;
  for (int mask = 0; mask < 8; ++mask) {
    RobustResults chosen;
    if (mask & 1) chosen.huber = f.all.huber;
    if (mask & 2) chosen.lp = f.all.lp;
    if (mask & 4) chosen.l1 = f.all.l1;
    const std::string text = BuildComparisonSection(ComparisonVariant::Imported, {}, f.system, f.ls, chosen);
    if (mask == 0) {
      EXPECT_EQ(text, "");
      continue;
    }
    const int columns = 1 + (mask & 1 ? 1 : 0) + (mask & 2 ? 1 : 0) + (mask & 4 ? 1 : 0);
    std::string heading = Cp1252(" Observación    ") + "  Residuo M.C.  ";
    if (mask & 1) heading += "Residuo Huber ";
    if (mask & 2) heading += "  Residuo Lp  ";
    if (mask & 4) heading += "  Residuo L1  ";
    EXPECT_NE(text.find(heading + "\r\n"), std::string::npos) << mask;
    const std::vector<std::string_view> lines = SplitLines(text);
    int residualRows = 0, parameterRows = 0;
    bool pastScale = false;
    for (std::string_view line : lines) {
      if (line.starts_with("D.T.medida")) pastScale = true;
      if (!line.starts_with("     ") || line.size() < 12) continue;  // numbered rows only
      if (!pastScale) {
        ++residualRows;
        EXPECT_EQ(line.size(), 18u + 14u * static_cast<std::size_t>(columns)) << mask;
      } else {
        ++parameterRows;
        EXPECT_EQ(line.size(), 12u + 14u * static_cast<std::size_t>(columns)) << mask;
      }
    }
    EXPECT_EQ(residualRows, 3) << mask;
    EXPECT_EQ(parameterRows, 2) << mask;
    EXPECT_EQ(text.find("beta2") != std::string::npos, (mask & 2) != 0) << mask;
    if (mask == 4) {  // L1 alone: two columns everywhere, no Lp sentence
      EXPECT_NE(text.find("\r\nD.T.medida peso 1               .5  " + F(" 2") + "\r\n"), std::string::npos);
      EXPECT_TRUE(text.ends_with("\r\n\r\n"));
    }
  }
}

TEST(ComparisonSection, IterationLimitSentences) {
  ImportedFixture f;
  f.all.huber->iterationLimitReached = true;
  f.all.lp->iterationLimitReached = true;
  f.all.lp->kurtosis = 4.1234567;
  f.all.l1->iterationLimitReached = true;
  const std::string text = BuildComparisonSection(ComparisonVariant::Imported, {}, f.system, f.ls, f.all);
  const std::string closing =
      "\r\n\r\n" + Cp1252("El estimador de Huber alcanzó el número máximo de iteraciones sin convergencia\r\n") +
      Cp1252("El método de mínimas normas Lp adaptadas alcanzó el número máximo de iteraciones sin convergencia\r\n") +
      Cp1252("El método de mínimas normas Lp adaptadas determinó que la distribución estadística subyacente tiene "
             "un parámetro de curtosis beta2 = 4.123457\r\n") +
      Cp1252("El método mínima norma L1 alcanzó el número máximo de iteraciones sin convergencia\r\n");
  EXPECT_TRUE(text.ends_with(closing)) << text.substr(text.size() - 400);
}

// An estimator left out: its failure message on one line after the estimator's name, in the
// words of the other closing sentences. Expected texts worked by hand from the messages.
TEST(ComparisonSection, LeftOutSentences) {
  struct Case {
    RobustMethod method;
    std::string message;   // UTF-8, as the estimator failed with it
    std::string sentence;  // UTF-8
  };
  const Case cases[] = {
      {RobustMethod::Huber, "Matriz singular", "El estimador de Huber no pudo calcularse: Matriz singular"},
      {RobustMethod::Lp,
       "El método de mínimas normas Lp adaptadas no puede determinar la curtosis de la distribución:\r\n"
       "todos los residuos de mínimos cuadrados son nulos.\r\nDesactive ese método en las opciones de cálculo.",
       "El método de mínimas normas Lp adaptadas no pudo calcularse: El método de mínimas normas Lp adaptadas no "
       "puede determinar la curtosis de la distribución: todos los residuos de mínimos cuadrados son nulos. "
       "Desactive ese método en las opciones de cálculo."},
      {RobustMethod::L1,
       " ¡Los métodos de estimación robusta han llegado a valores no numéricos (pesos desmesurados)! \r\n"
       " Desactívelos en las opciones de cálculo. ",
       "El método mínima norma L1 no pudo calcularse: Los métodos de estimación robusta han llegado a valores no "
       "numéricos (pesos desmesurados). Desactívelos en las opciones de cálculo."},
      {RobustMethod::L1, " ¡Matriz singular! ", "El método mínima norma L1 no pudo calcularse: Matriz singular"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LeftOutSentence(c.method, Cp1252(c.message)), Cp1252(c.sentence)) << c.sentence;
  }
}

// A left-out estimator has no columns, exactly as if it had not been selected, and the section
// gains its sentence where that estimator's closing sentences would stand.
TEST(ComparisonSection, LeftOutEstimatorLosesItsColumnsAndGetsASentence) {
  ImportedFixture f;
  RobustResults notSelected = f.all;
  notSelected.lp.reset();
  RobustResults leftOut = notSelected;
  leftOut.leftOut.push_back({RobustMethod::Lp, "Matriz singular"});
  const std::string without = BuildComparisonSection(ComparisonVariant::Imported, {}, f.system, f.ls, notSelected);
  const std::string with = BuildComparisonSection(ComparisonVariant::Imported, {}, f.system, f.ls, leftOut);
  EXPECT_EQ(with, without + Cp1252("El método de mínimas normas Lp adaptadas no pudo calcularse: Matriz singular\r\n"));

  // Between the Huber and L1 sentences when those loops reached their limits.
  leftOut.huber->iterationLimitReached = true;
  leftOut.l1->iterationLimitReached = true;
  const std::string ordered = BuildComparisonSection(ComparisonVariant::Imported, {}, f.system, f.ls, leftOut);
  EXPECT_TRUE(ordered.ends_with(
      "\r\n\r\n" + HuberIterationLimitSentence() + "\r\n" +
      Cp1252("El método de mínimas normas Lp adaptadas no pudo calcularse: Matriz singular\r\n") +
      L1IterationLimitSentence() + "\r\n"));
}

// Every selected estimator left out: the section keeps its title and the least-squares column
// alone, then one sentence per estimator.
TEST(ComparisonSection, AllEstimatorsLeftOutKeepTheLeastSquaresColumn) {
  ImportedFixture f;
  RobustResults none;
  none.leftOut = {{RobustMethod::Huber, "Matriz singular"},
                  {RobustMethod::Lp, "Matriz singular"},
                  {RobustMethod::L1, "Matriz singular"}};
  EXPECT_EQ(BuildComparisonSection(ComparisonVariant::Imported, {}, f.system, f.ls, none),
            testing::Golden("comparison_all_left_out.txt"));
}

// A network: fixed vertex 1 with an unknown orientation, unknown vertex 12 with unknown
// deflection (its orientation fixed), unknown vertex 345; one refraction line 12-345.
struct NetworkFixture {
  NetworkModel network;
  ObservationSystem system;
  LeastSquaresResults ls;
  RobustResults robust;

  NetworkFixture() {
    auto vertex = [](int number, const std::string& kind, bool deflection) {
      NetworkVertex v;
      v.number = static_cast<std::int16_t>(number);
      v.kind = kind;
      v.deflectionUnknown = deflection;
      return v;
    };
    network.vertices = {vertex(1, kKindFixed, false), vertex(12, kKindUnknown, true), vertex(345, kKindUnknown, false)};
    network.classical = {{ObservationType::Direction, 1, 12, 0, 0},
                         {ObservationType::Zenith, 12, 345, 0, 0},
                         {ObservationType::Distance, 345, 1, 0, 0}};
    GpsBaseline baseline;
    baseline.from = 1;
    baseline.to = 12;
    network.baselines = {baseline};

    system.numEquations = 6;
    system.numUnknowns = 10;
    system.classicalCount = 3;
    system.gpsCount = 1;
    system.orientationStatus = {OrientationStatus::Unknown, OrientationStatus::Fixed, OrientationStatus::None};
    system.layout = testing::LayoutOf(network, system.orientationStatus, testing::Refraction::PerLine, {{12, 345}});

    ls.sigmaZero = 1.5;
    robust.huber = Estimate({}, {}, 2.25);
    robust.l1 = Estimate({}, {}, 0.125);
    ls.residuals.assign(7, 0.0);
    ls.corrections.assign(11, 0.0);
    robust.huber->residuals.assign(7, 0.0);
    robust.huber->corrections.assign(11, 0.0);
    robust.l1->residuals.assign(7, 0.0);
    robust.l1->corrections.assign(11, 0.0);
    for (int i = 1; i <= 6; ++i) {
      ls.residuals[static_cast<std::size_t>(i)] = i;
      robust.huber->residuals[static_cast<std::size_t>(i)] = 10 * i;
      robust.l1->residuals[static_cast<std::size_t>(i)] = -i;
    }
    for (int k = 1; k <= 10; ++k) {
      ls.corrections[static_cast<std::size_t>(k)] = k;
      robust.huber->corrections[static_cast<std::size_t>(k)] = 0.5 * k;
      robust.l1->corrections[static_cast<std::size_t>(k)] = -k;
    }
  }
};

TEST(ComparisonSection, NetworkVariantLabelsAndPositions) {
  NetworkFixture f;
  EXPECT_EQ(BuildComparisonSection(ComparisonVariant::Network, f.network, f.system, f.ls, f.robust),
            testing::Golden("comparison_network.txt"));
}

TEST(ComparisonSection, NetworkRefractionRowsFollowTheOptions) {
  NetworkFixture f;
  f.system.layout = testing::LayoutOf(f.network, f.system.orientationStatus, testing::Refraction::Network);
  std::string text = BuildComparisonSection(ComparisonVariant::Network, f.network, f.system, f.ls, f.robust);
  EXPECT_NE(text.find("\r\n  k         " + F(" 7") + F(" 3.5") + F("-7") + "\r\n"), std::string::npos);

  f.system.layout = testing::LayoutOf(f.network, f.system.orientationStatus, testing::Refraction::Fixed);
  text = BuildComparisonSection(ComparisonVariant::Network, f.network, f.system, f.ls, f.robust);
  EXPECT_EQ(text.find("\r\n  k"), std::string::npos);
  // No directions: no orientation rows.
  f.system.layout = testing::LayoutOf(f.network, {}, testing::Refraction::Fixed);
  text = BuildComparisonSection(ComparisonVariant::Network, f.network, f.system, f.ls, f.robust);
  EXPECT_EQ(text.find("dDes"), std::string::npos);
}

TEST(ComparisonSection, LabelLongerThanItsFieldIsWrittenWhole) {
  NetworkFixture f;
  f.network.vertices[1].number = 1000;
  f.network.vertices[2].number = 2000;
  f.network.classical[2] = {ObservationType::Distance, 2000, 1000, 0, 0};  // 19 − 10 − 5 − 5 = −1
  f.system.layout = testing::LayoutOf(f.network, f.system.orientationStatus, testing::Refraction::PerLine, {{1000, 2000}});
  const std::string text = BuildComparisonSection(ComparisonVariant::Network, f.network, f.system, f.ls, f.robust);
  EXPECT_NE(text.find("\r\n" + Cp1252("Geométrica 2000-1000") + F(" 3") + F(" 30") + F("-3") + "\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("\r\n  X1000    " + F(" 1")), std::string::npos);       // 9 − 5 = 4 blanks
  EXPECT_NE(text.find("\r\n  D.V.EW1000" + F(" 8")), std::string::npos);    // 4 − 5: none
}

// ---- report of an imported system ----------------------------------------------------------

TEST(ImportedReport, LeastSquaresPartLayout) {
  ObservationSystem system;
  system.numEquations = 2;
  system.numUnknowns = 1;
  LeastSquaresResults ls;
  ls.residuals = {0.0, 0.25, -0.125};
  ls.sigmaResiduals = {0.0, 0.5, 1.5};
  ls.sigmaZero = 0.5;
  ls.corrections = {0.0, 12.5};
  ls.sigmaParameters = {0.0, 0.0625};
  ls.Cxx = Matrix(1, 1);
  ls.Cxx(1, 1) = 2.0;
  ls.CllHat = Matrix(2, 2);
  ls.CllHat(1, 1) = 1.0, ls.CllHat(1, 2) = -0.5, ls.CllHat(2, 1) = -0.5, ls.CllHat(2, 2) = 1234567.123456789;
  ls.Cvv = Matrix(2, 2);
  ls.Cvv(1, 1) = 0.25, ls.Cvv(2, 2) = 0.75;
  ls.baardaStatistic = {0.0, 0.5, -0.0625};
  ls.redundancy = {0.0, 0.25, 0.75};
  ls.minDetectableError = {0.0, 8.25, 4.5};
  ls.internalReliability = {0.0, 8.26, 0.0};
  ls.externalReliability = {0.0, 7.0, 0.0};
  ls.externalReliabilityVectors = Matrix(1, 2);
  ls.externalReliabilityVectors(1, 1) = 3.0, ls.externalReliabilityVectors(1, 2) = -1e-5;

  EXPECT_EQ(BuildImportedLeastSquaresText(system, ls), testing::Golden("imported_least_squares.txt"));
}

TEST(ImportedReport, PaneTextAndDisplayLimit) {
  ImportedFixture f;
  f.ls.sigmaResiduals = {0.0, 1.0, 1.0, 1.0};
  f.ls.sigmaParameters = {0.0, 1.0, 1.0};
  f.ls.Cxx = Matrix(2, 2);
  f.ls.CllHat = f.ls.Cvv = Matrix(3, 3);
  f.ls.baardaStatistic = f.ls.redundancy = f.ls.minDetectableError = f.ls.internalReliability =
      f.ls.externalReliability = {0.0, 0.0, 0.0, 0.0};
  f.ls.externalReliabilityVectors = Matrix(2, 3);
  const ImportedReport report = BuildImportedReport(f.system, f.ls, f.all, "PROYECTO\r\n");
  EXPECT_TRUE(report.lsResultsText.starts_with("PROYECTO\r\n\r\n\r\n\r\n\r\nRESULTADOS DEL AJUSTE"));
  EXPECT_EQ(report.robustComparisonText,
            BuildComparisonSection(ComparisonVariant::Imported, {}, f.system, f.ls, f.all));
  EXPECT_EQ(report.pane.action, PaneUpdate::Action::kReplace);
  EXPECT_EQ(report.pane.text, report.lsResultsText + report.robustComparisonText);

  const ImportedReport tooLong = BuildImportedReport(f.system, f.ls, f.all, "PROYECTO\r\n", std::string(32000, 'x'));
  EXPECT_EQ(tooLong.pane.action, PaneUpdate::Action::kUnchanged);
}

}  // namespace
}  // namespace korvo
