#include "matimport/imported_adjustment.h"

#include "engine/least_squares.h"
#include "engine/robust_stage.h"
#include "quality/solution_access.h"
#include "report/imported_report.h"

namespace korvo {
namespace {

constexpr int kProgressStart = 0;
constexpr int kProgressSolving = 40;
constexpr int kProgressLeastSquares = 65;
constexpr int kProgressReport = 100;

}  // namespace

Result<ImportedAdjustment> RunImportedAdjustment(const ObservationSystem& system, const CalcOptions& options,
                                                 ProjectState& state, const std::string& paneText,
                                                 const ProgressSink& progress,
                                                 const ImportedReportBuiltStep& reportBuilt) {
  progress.SetProgress(kProgressStart);
  progress.SetStatus(FormingSystemStatus());
  ++state.adjustmentRunCount;

  ImportedAdjustment result;
  AdjustmentOutput& output = result.output;
  output.system = system;

  progress.SetProgress(kProgressSolving);
  progress.SetStatus(SolvingLeastSquaresStatus());
  Result<LeastSquaresResults> solved = SolveLeastSquares(output.system, &progress);
  if (!solved) return Failure{solved.error()};
  output.leastSquares = std::move(solved).value();
  progress.SetProgress(kProgressLeastSquares);

  output.robust = RunRobustEstimators(output.system, options, progress);
  output.warnings = LeftOutWarnings(output.robust);

  progress.SetStatus(BuildingReportStatus());
  output.quality = AnalyseQuality(output.system, nullptr, DenseSolutionAccess(output.system, output.leastSquares));
  ImportedReport report = BuildImportedReport(output.system, output.leastSquares, output.robust, paneText,
                                              output.resultsHeaderText);
  output.lsResultsText = std::move(report.lsResultsText);
  output.robustComparisonText = std::move(report.robustComparisonText);
  result.pane = std::move(report.pane);
  if (reportBuilt) reportBuilt(result);
  progress.SetProgress(kProgressReport);
  progress.SetStatus(AdjustmentDoneStatus());
  return result;
}

}  // namespace korvo
