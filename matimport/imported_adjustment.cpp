#include "matimport/imported_adjustment.h"

#include "quality/solution_access.h"
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
  std::vector<ReportStep> reports{
      [](AdjustmentOutput& out) {
        out.quality = AnalyseQuality(out.system, nullptr, DenseSolutionAccess(out.system, out.leastSquares));
      },
      [&result, &paneText](AdjustmentOutput& out) {
        ImportedReport report =
            BuildImportedReport(out.system, out.leastSquares, out.robust, paneText, out.resultsHeaderText);
        out.lsResultsText = std::move(report.lsResultsText);
        out.robustComparisonText = std::move(report.robustComparisonText);
        result.pane = std::move(report.pane);
      }};
  reports.insert(reports.end(), extraReports.begin(), extraReports.end());
  const ReportBuiltStep built = [&result, &reportBuilt](const AdjustmentOutput&) {
    if (reportBuilt) reportBuilt(result);
  };
  if (Status done = RunAdjustmentTail(result.output, options, progress, reports, built); !done) {
    return Failure{done.error()};
  }
  return result;
}

}  // namespace korvo
