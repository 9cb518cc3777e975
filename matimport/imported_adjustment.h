#pragma once
// Calcular for a system imported as matrices: no formation and no printout; the imported
// A, k, P are solved by least squares and by the robust estimators the options select, and
// the report is the numbered one of imported systems.

#include <functional>
#include <string>
#include <vector>

#include "common/progress.h"
#include "common/result.h"
#include "engine/adjustment_driver.h"
#include "engine/observation_system.h"
#include "network/calc_options.h"
#include "network/project_state.h"
#include "report/results_display.h"

namespace korvo {

struct ImportedAdjustment {
  AdjustmentOutput output;  // resultsHeaderText stays empty
  PaneUpdate pane;          // what the main window's text pane shows afterwards
};

// Increments state.adjustmentRunCount. `paneText` is what the text pane shows when Calcular
// starts (it heads the least-squares part, and so the results file). Progress and status as
// for a network, without the formation steps: 0, 40, 55, 65, 75, 85, 95, 100. A failure of
// least squares ends the adjustment with its message and nothing is offered for saving; a
// robust estimator that cannot run is left out with a warning in output.warnings, as for a
// network.
// `reportBuilt`, when given, is called once the report exists, before progress 100 and the
// status "Ajuste realizado" (the main window shows it in its pane there). The solution,
// the estimators and the report steps are the tail every adjustment shares
// (RunAdjustmentTail); `extraReports` run after the imported results report. With
// options.reportForm Compact the system is solved on the sparse path and the report is the
// compact one (no matrices, no external reliability vectors).
using ImportedReportBuiltStep = std::function<void(const ImportedAdjustment& adjustment)>;
Result<ImportedAdjustment> RunImportedAdjustment(const ObservationSystem& system, const CalcOptions& options,
                                                 ProjectState& state, const std::string& paneText,
                                                 const ProgressSink& progress,
                                                 const ImportedReportBuiltStep& reportBuilt = {},
                                                 const std::vector<ReportStep>& extraReports = {});

}  // namespace korvo
