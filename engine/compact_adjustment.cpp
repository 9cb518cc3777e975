#include "engine/compact_adjustment.h"

#include <utility>

#include "common/text.h"
#include "engine/sparse_least_squares.h"
#include "engine/sparse_robust.h"
#include "quality/sparse_solution_access.h"
#include "report/comparison_report.h"
#include "report/network_report.h"
#include "report/results_display.h"
#include "report/system_printout.h"

namespace korvo {

namespace {

constexpr int kProgressStart = 0;
constexpr int kProgressSystemFormed = 5;
constexpr int kProgressHeaderLine = 10;
constexpr int kProgressSystemRows = 20;
constexpr int kProgressWeightText = 30;
constexpr int kProgressSolving = 40;
constexpr int kProgressLeastSquares = 65;
constexpr int kProgressReport = 100;

}  // namespace

Result<AdjustmentOutput> RunCompactAdjustment(const NetworkModel& network, const CalcOptions& options,
                                              ProjectState& state, const ProgressSink& progress,
                                              const ReportBuiltStep& reportBuilt,
                                              const std::vector<ReportStep>& extraReports) {
  progress.SetProgress(kProgressStart);
  progress.SetStatus(FormingSystemStatus());
  ++state.adjustmentRunCount;

  Result<ObservationSystem> formed = FormObservationSystem(network, options, FastKernels(), DenseMatrices::Skip);
  if (!formed) return Failure{formed.error()};
  AdjustmentOutput output;
  output.system = std::move(formed).value();
  ObservationSystem& system = output.system;
  const SparseSystem sparse = SparseSystemFromRows(system.sparseA, system.k, system.sparseP);
  system.sparseA = SparseRows();
  system.sparseP = SparseRows();
  progress.SetProgress(kProgressSystemFormed);

  TextBuilder header(state.projectText.size() + 512);
  AppendCompactHeader(header, state.projectText, system.numEquations, system.numUnknowns);
  output.resultsHeaderText = std::move(header).str();
  progress.SetProgress(kProgressHeaderLine);
  progress.SetProgress(kProgressSystemRows);
  progress.SetProgress(kProgressWeightText);
  if (output.resultsHeaderText.size() >= kHeaderDisplayLimit) state.projectTooBig = true;

  progress.SetProgress(kProgressSolving);
  progress.SetStatus(SolvingLeastSquaresStatus());
  Result<SparseLeastSquares> solved = SolveSparseLeastSquares(sparse, system, &progress);
  if (!solved) return Failure{solved.error()};
  progress.SetProgress(kProgressLeastSquares);

  output.robust = RunSparseRobustEstimators(sparse, options, progress);
  output.warnings = LeftOutWarnings(output.robust);

  progress.SetStatus(BuildingReportStatus());
  output.quality = AnalyseQuality(system, &network, SparseSolutionAccess(sparse, *solved));
  output.leastSquares = std::move(solved->results);
  output.lsResultsText = BuildNetworkReport(network, system, output.leastSquares, ReportForm::Compact);
  output.robustComparisonText =
      BuildComparisonSection(ComparisonVariant::Network, network, system, output.leastSquares, output.robust);
  for (const ReportStep& report : extraReports) report(output);
  if (reportBuilt) reportBuilt(output);
  progress.SetProgress(kProgressReport);
  progress.SetStatus(AdjustmentDoneStatus());
  return output;
}

}  // namespace korvo
