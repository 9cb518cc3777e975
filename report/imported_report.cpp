#include "report/imported_report.h"

#include "common/numbers.h"
#include "common/text.h"
#include "common/win1252.h"
#include "network/network_model.h"
#include "report/comparison_report.h"
#include "report/number_column.h"
#include "report/precision_sections.h"
#include "report/system_printout.h"

namespace korvo {
namespace {

constexpr int kDecimals = 9;

int StrLength(int number) { return static_cast<int>(NumberTextWithBlank(number).size()); }

void AppendValue(TextBuilder& out, double value) { AppendNumberColumn(out, value, kDecimals); }

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
  AppendUnitWeightEstimators(out, ls);
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

}  // namespace

std::string BuildImportedLeastSquaresText(const ObservationSystem& system, const LeastSquaresResults& ls,
                                          ReportForm form) {
  const int n = system.numEquations;
  const int m = system.numUnknowns;
  TextBuilder out(PrecisionSectionsBytes(n, m, form));
  if (form == ReportForm::Compact) AppendCompactLine(out, n, m);
  AppendResiduals(out, ls, n);
  AppendCorrections(out, ls, m);
  AppendPrecisionSections(out, ls, n, m, ImportedPrecisionStyle(), form);
  return std::move(out).str();
}

ImportedReport BuildImportedReport(const ObservationSystem& system, const LeastSquaresResults& ls,
                                   const RobustResults& robust, const std::string& paneText,
                                   const std::string& headerText, ReportForm form) {
  ImportedReport report;
  const std::string leastSquares = BuildImportedLeastSquaresText(system, ls, form);
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
