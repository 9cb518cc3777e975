#include "report/imported_report.h"

#include "common/numbers.h"
#include "common/text.h"
#include "common/win1252.h"
#include "network/network_model.h"
#include "report/comparison_report.h"
#include "report/number_column.h"

namespace korvo {
namespace {

constexpr int kDecimals = 9;

int StrLength(int number) { return static_cast<int>(NumberTextWithBlank(number).size()); }

void AppendValue(TextBuilder& out, double value, bool commaToPoint = false) {
  AppendNumberColumn(out, value, kDecimals, commaToPoint);
}

void AppendResiduals(TextBuilder& out, const LeastSquaresResults& ls, int n) {
  out << kCrLf << kCrLf << kCrLf << kCrLf << Cp1252("RESULTADOS DEL AJUSTE POR MÍNIMOS CUADRADOS") << kCrLf << kCrLf;
  out << "Observable" << "   " << "RESIDUO(m/cc)" << "  " << Cp1252(" DESV.TÍPICA") << kCrLf;
  for (int i = 1; i <= n; ++i) {
    out << "  " << ShortNumberText(i) << " ";
    AppendRepeated(out, " ", 12 - StrLength(i));
    AppendValue(out, ls.residuals[static_cast<std::size_t>(i)]);
    out << "  ";
    AppendValue(out, ls.sigmaResiduals[static_cast<std::size_t>(i)]);
    out << kCrLf;
  }
  out << kCrLf << kCrLf << "Estimador de la varianza de la medida de peso unidad: "
      << CutNumberText(ls.sigmaZero * ls.sigmaZero, kDecimals);
  out << kCrLf << Cp1252("Estimador de la desviación típica de la medida de peso unidad: ")
      << CutNumberText(ls.sigmaZero, kDecimals);
}

void AppendCorrections(TextBuilder& out, const LeastSquaresResults& ls, int m) {
  out << kCrLf << kCrLf << kCrLf << kCrLf;
  out << "Variable" << "  " << Cp1252("CORRECCIÓN(m/cc)") << "   " << Cp1252("DESV.TÍPICA") << kCrLf;
  for (int k = 1; k <= m; ++k) {
    out << "  ";
    AppendWithFill(out, ShortNumberText(k), 12 - StrLength(k));
    AppendValue(out, ls.corrections[static_cast<std::size_t>(k)]);
    out << "  ";
    AppendValue(out, ls.sigmaParameters[static_cast<std::size_t>(k)]);
    out << "          " << kCrLf;
  }
}

void AppendMatrix(TextBuilder& out, const std::string& title, const Matrix& matrix, int order) {
  out << kCrLf << kCrLf << title << kCrLf << kCrLf;
  for (int i = 1; i <= order; ++i) {
    for (int j = 1; j <= order; ++j) {
      AppendValue(out, matrix(i, j), /*commaToPoint=*/true);
      out << "  ";
    }
    out << kCrLf;
  }
}

void AppendReliability(TextBuilder& out, const LeastSquaresResults& ls, int n) {
  out << kCrLf << kCrLf << kCrLf << "FIABILIDAD" << kCrLf << kCrLf;
  out << " Observable " << "  " << "   Residuo    " << "  " << " Vble.Baarda" << "  " << " Redundancia" << "  "
      << Cp1252("Mín.Error D.") << "  " << " Hom.interna" << "  " << " Hom.externa" << kCrLf;
  for (int i = 1; i <= n; ++i) {
    const auto row = static_cast<std::size_t>(i);
    out << "     ";
    AppendWithFill(out, NumberTextWithBlank(i), 9 - StrLength(i));
    out << PadLeft(CutNumberText(ls.residuals[row], kDecimals), 14) << "    ";
    for (double figure : {ls.baardaStatistic[row], ls.redundancy[row], ls.minDetectableError[row],
                          ls.internalReliability[row], ls.externalReliability[row]}) {
      AppendValue(out, figure);
      out << "  ";
    }
    out << kCrLf;
  }
}

void AppendExternalReliabilityVectors(TextBuilder& out, const LeastSquaresResults& ls, int n, int m) {
  out << kCrLf << kCrLf << "Vectores de fiabilidad externa" << kCrLf << kCrLf;
  out << Cp1252(" Parámetro ");
  for (int j = 1; j <= n; ++j) {
    out << "Observ.";
    AppendRepeated(out, " ", 5 - StrLength(j));
    out << ShortNumberText(j) << "   ";
  }
  out << kCrLf;
  for (int i = 1; i <= m; ++i) {
    out << "  ";
    AppendWithFill(out, ShortNumberText(i), 9 - StrLength(i));
    for (int j = 1; j <= n; ++j) {
      AppendValue(out, ls.externalReliabilityVectors(i, j), /*commaToPoint=*/true);
      out << "  ";
    }
    out << kCrLf;
  }
}

}  // namespace

std::string BuildImportedLeastSquaresText(const ObservationSystem& system, const LeastSquaresResults& ls) {
  const int n = system.numEquations;
  const int m = system.numUnknowns;
  const auto cells = static_cast<std::size_t>(m) * static_cast<std::size_t>(m) +
                     2 * static_cast<std::size_t>(n) * static_cast<std::size_t>(n) +
                     static_cast<std::size_t>(m) * static_cast<std::size_t>(n);
  TextBuilder out(14 * cells + 120 * static_cast<std::size_t>(n + m) + 1024);
  AppendResiduals(out, ls, n);
  AppendCorrections(out, ls, m);
  AppendMatrix(out, Cp1252("MATRIZ VARIANZA-COVARIANZA DE PARÁMETROS"), ls.Cxx, m);
  AppendMatrix(out, "MATRIZ VARIANZA-COVARIANZA DE OBSERVABLES COMPENSADOS", ls.CllHat, n);
  AppendMatrix(out, "MATRIZ VARIANZA-COVARIANZA DE RESIDUOS", ls.Cvv, n);
  AppendReliability(out, ls, n);
  AppendExternalReliabilityVectors(out, ls, n, m);
  return std::move(out).str();
}

ImportedReport BuildImportedReport(const ObservationSystem& system, const LeastSquaresResults& ls,
                                   const RobustResults& robust, const std::string& paneText,
                                   const std::string& headerText) {
  ImportedReport report;
  const std::string leastSquares = BuildImportedLeastSquaresText(system, ls);
  report.robustComparisonText = BuildComparisonSection(ComparisonVariant::Imported, NetworkModel{}, system, ls, robust);
  const std::size_t reportLength = headerText.size() + leastSquares.size() + report.robustComparisonText.size();
  report.lsResultsText = paneText + leastSquares;
  if (reportLength < kReportDisplayLimit) {
    report.pane.action = PaneUpdate::Action::kReplace;
    report.pane.text = report.lsResultsText + report.robustComparisonText;
  }
  return report;
}

}  // namespace korvo
