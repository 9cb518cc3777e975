#pragma once
// The adjustment of a network with the compact results report: the same pipeline, progress
// and status texts as RunAdjustment (engine/adjustment_driver.h), on the sparse path
// (engine/sparse_least_squares.h, engine/sparse_robust.h), so that no n × n or n × m matrix
// is ever allocated for the solution, the robust estimators or the report.

#include "engine/adjustment_driver.h"

namespace korvo {

Result<AdjustmentOutput> RunCompactAdjustment(const NetworkModel& network, const CalcOptions& options,
                                              ProjectState& state, const ProgressSink& progress,
                                              const ReportBuiltStep& reportBuilt = {},
                                              const std::vector<ReportStep>& extraReports = {});

}  // namespace korvo
