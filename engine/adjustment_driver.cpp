#include "engine/adjustment_driver.h"

#include "common/text.h"
#include "common/win1252.h"
#include "engine/adjustment_solver.h"
#include "engine/finite_results.h"
#include "network/validate_network.h"
#include "report/comparison_report.h"
#include "report/network_report.h"
#include "report/results_display.h"
#include "report/system_printout.h"

namespace korvo {

const std::string& FormingSystemStatus() {
  static const std::string text = "Formando matrices del sistema de ecuaciones...";
  return text;
}
const std::string& SolvingLeastSquaresStatus() {
  static const std::string text = Cp1252("Resolviendo sistema por mínimos cuadrados...");
  return text;
}
const std::string& SolvingRobustStatus() {
  static const std::string text = Cp1252("Resolviendo sistema por métodos de estimación robusta...");
  return text;
}
// The three estimator texts, blank runs included, as the status bar has always shown them
// (the estimator adds its iteration count in the second panel).
const std::string& HuberStatus() {
  static const std::string text = Cp1252(
      "Resolviendo sistema por métodos de estimación robusta...   HUBER"
      "                                              Iteración");
  return text;
}
const std::string& LpStatus() {
  static const std::string text = Cp1252(
      "Resolviendo sistema por métodos de estimación robusta...   NORMAS Lp ADAPTADAS"
      "               Iteración");
  return text;
}
const std::string& L1Status() {
  static const std::string text = Cp1252(
      "Resolviendo sistema por métodos de estimación robusta...   NORMA L1"
      "                                        Iteración");
  return text;
}
const std::string& BuildingReportStatus() {
  static const std::string text = "Realizando informe de resultados...";
  return text;
}
const std::string& AdjustmentDoneStatus() {
  static const std::string text = "Ajuste realizado";
  return text;
}

namespace {

// Progress values of the pipeline.
constexpr int kProgressStart = 0;
constexpr int kProgressSystemFormed = 5;
constexpr int kProgressHeaderLine = 10;
constexpr int kProgressSystemRows = 20;
constexpr int kProgressWeightText = 30;
constexpr int kProgressSolving = 40;
constexpr int kProgressLeastSquares = 65;
constexpr int kProgressReport = 100;

// The printout of the system and its weights after the project text; returns the whole
// ResultsHeaderText. Built in one text sized beforehand: on large networks the weight matrix
// alone is tens of megabytes.
std::string PrintSystem(const ObservationSystem& system, const std::string& projectText,
                        const ProgressSink& progress) {
  const auto n = static_cast<std::size_t>(system.numEquations);
  const auto m = static_cast<std::size_t>(system.numUnknowns);
  constexpr std::size_t kCell = 14;  // 12-character field and two blanks
  TextBuilder header(projectText.size() + 128 + kCell * (m + 2) + n * (kCell * m + 24) +
                     n * (kCell * n + 2));
  AppendSystemTitle(header, projectText);
  AppendSystemHeaderLine(header, system.layout);
  progress.SetProgress(kProgressHeaderLine);
  AppendSystemRows(header, system);
  progress.SetProgress(kProgressSystemRows);
  AppendWeightText(header, system);
  progress.SetProgress(kProgressWeightText);
  return std::move(header).str();
}

}  // namespace

std::vector<std::string> LeftOutWarnings(const RobustResults& robust) {
  std::vector<std::string> warnings;
  warnings.reserve(robust.leftOut.size());
  for (const LeftOutEstimator& left : robust.leftOut) warnings.push_back(LeftOutSentence(left.method, left.reason));
  return warnings;
}

const AdjustmentProduct* AdjustmentOutput::Product(std::string_view name) const {
  for (const AdjustmentProduct& product : products) {
    if (product.name == name) return &product;
  }
  return nullptr;
}

Status RunAdjustmentTail(AdjustmentOutput& output, const CalcOptions& options, const ProgressSink& progress,
                         AdjustmentSolver& solver, const NetworkModel* network,
                         const std::vector<ReportStep>& reports, const ReportBuiltStep& reportBuilt) {
  progress.SetProgress(kProgressSolving);
  progress.SetStatus(SolvingLeastSquaresStatus());
  Result<LeastSquaresResults> solved = solver.SolveLeastSquares(output.system, progress);
  if (!solved) return Failure{solved.error()};
  output.leastSquares = std::move(solved).value();
  progress.SetProgress(kProgressLeastSquares);

  // The robust estimators selected, under their status texts, to progress 95.
  output.robust = solver.RunRobust(output.system, options, progress);
  output.warnings = LeftOutWarnings(output.robust);
  if (Status finite = CheckResultsFinite(output.leastSquares, output.robust); !finite) return finite;

  progress.SetStatus(BuildingReportStatus());
  output.quality = solver.AnalyseSolution(output.system, output.leastSquares, network);
  for (const ReportStep& report : reports) report(output);
  if (reportBuilt) reportBuilt(output);
  progress.SetProgress(kProgressReport);
  progress.SetStatus(AdjustmentDoneStatus());
  return Ok();
}

Result<AdjustmentOutput> RunAdjustment(const NetworkModel& network, const CalcOptions& options,
                                       ProjectState& state, const ProgressSink& progress,
                                       const ReportBuiltStep& reportBuilt,
                                       const std::vector<ReportStep>& extraReports) {
  progress.SetProgress(kProgressStart);
  progress.SetStatus(FormingSystemStatus());
  ++state.adjustmentRunCount;

  if (Status checked = CheckBeforeAdjustment(network, options); !checked) return Failure{checked.error()};
  const bool compact = options.reportForm == ReportForm::Compact;
  // The compact report never needs the dense A and P: the solver reads the compressed rows.
  Result<ObservationSystem> formed = FormObservationSystem(network, options, FastKernels(),
                                                           compact ? DenseMatrices::Skip : DenseMatrices::Form);
  if (!formed) return Failure{formed.error()};
  AdjustmentOutput output;
  output.system = std::move(formed).value();
  progress.SetProgress(kProgressSystemFormed);

  if (compact) {
    TextBuilder header(state.projectText.size() + 512);
    AppendCompactHeader(header, state.projectText, output.system.numEquations, output.system.numUnknowns);
    output.resultsHeaderText = std::move(header).str();
    progress.SetProgress(kProgressHeaderLine);
    progress.SetProgress(kProgressSystemRows);
    progress.SetProgress(kProgressWeightText);
  } else {
    output.resultsHeaderText = PrintSystem(output.system, state.projectText, progress);
  }
  // The printout is never put in the pane here: with the project text before it, it is
  // always at least kHeaderDisplayLimit long, and the pane keeps the project text until the
  // report is ready.
  if (output.resultsHeaderText.size() >= kHeaderDisplayLimit) state.projectTooBig = true;

  const ReportForm form = compact ? ReportForm::Compact : ReportForm::Full;
  std::vector<ReportStep> reports{[&network, form](AdjustmentOutput& out) {
    out.lsResultsText = BuildNetworkReport(network, out.system, out.leastSquares, form);
    out.robustComparisonText =
        BuildComparisonSection(ComparisonVariant::Network, network, out.system, out.leastSquares, out.robust);
  }};
  reports.insert(reports.end(), extraReports.begin(), extraReports.end());
  const std::unique_ptr<AdjustmentSolver> solver = SolverFor(form);
  if (Status done = RunAdjustmentTail(output, options, progress, *solver, &network, reports, reportBuilt); !done) {
    return Failure{done.error()};
  }
  return output;
}

}  // namespace korvo
