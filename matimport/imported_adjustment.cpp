#include "matimport/imported_adjustment.h"

#include "engine/adjustment_solver.h"
#include "report/imported_report.h"

namespace korvo {

Result<ImportedAdjustment> RunImportedAdjustment(const ObservationSystem& system, const CalcOptions& options,
                                                 ProjectState& state, const std::string& paneText,
                                                 const ProgressSink& progress,
                                                 const ImportedReportBuiltStep& reportBuilt,
                                                 const std::vector<ReportStep>& extraReports) {
  progress.SetProgress(0);
  progress.SetStatus(FormingSystemStatus());
  ++state.adjustmentRunCount;

  ImportedAdjustment result;
  result.output.system = system;
  const ReportForm form = options.reportForm == ReportForm::Compact ? ReportForm::Compact : ReportForm::Full;
  std::vector<ReportStep> reports{
      [&result, &paneText, form](AdjustmentOutput& out) {
        ImportedReport report =
            BuildImportedReport(out.system, out.leastSquares, out.robust, paneText, out.resultsHeaderText, form);
        out.lsResultsText = std::move(report.lsResultsText);
        out.robustComparisonText = std::move(report.robustComparisonText);
        result.pane = std::move(report.pane);
      }};
  reports.insert(reports.end(), extraReports.begin(), extraReports.end());
  const ReportBuiltStep built = [&result, &reportBuilt](const AdjustmentOutput&) {
    if (reportBuilt) reportBuilt(result);
  };
  const std::unique_ptr<AdjustmentSolver> solver = SolverFor(form);
  if (Status done = RunAdjustmentTail(result.output, options, progress, *solver, nullptr, reports, built); !done) {
    return Failure{done.error()};
  }
  return result;
}

}  // namespace korvo
