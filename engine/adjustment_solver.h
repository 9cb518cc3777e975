#pragma once
// How an adjustment solves its system. The tail every adjustment shares
// (engine/adjustment_driver.h) asks a solver for the least-squares solution, the robust
// estimators and the view of the solution the quality figures read; what differs between
// the two paths stays behind this interface:
//   - DenseSolver: the kernels of the full results report, bit for bit, on the dense A and P;
//   - SparseSolver: sparse normal equations and the selected inverse of N
//     (engine/sparse_least_squares.h, engine/sparse_robust.h), for the compact report. It
//     reads the formation's compressed rows when they exist (a network formed without the
//     dense matrices) and compresses the dense A and P otherwise (an imported system).

#include <memory>

#include "common/progress.h"
#include "common/result.h"
#include "engine/least_squares.h"
#include "engine/observation_system.h"
#include "engine/robust_stage.h"
#include "network/calc_options.h"
#include "network/network_model.h"
#include "quality/quality_analysis.h"

namespace korvo {

class AdjustmentSolver {
 public:
  virtual ~AdjustmentSolver() = default;

  // The least-squares solution of `system`; fails with the solver's message (no redundancy,
  // a singular matrix, an undetermined unknown). May release the system's compressed rows.
  virtual Result<LeastSquaresResults> SolveLeastSquares(ObservationSystem& system, const ProgressSink& progress) = 0;
  // The robust estimators the options select, after SolveLeastSquares succeeded.
  virtual RobustResults RunRobust(const ObservationSystem& system, const CalcOptions& options,
                                  const ProgressSink& progress) = 0;
  // The quality analysis of the solution (`network` is null for an imported system).
  virtual QualityAnalysis AnalyseSolution(const ObservationSystem& system, const LeastSquaresResults& leastSquares,
                                          const NetworkModel* network) const = 0;
};

std::unique_ptr<AdjustmentSolver> DenseSolver();
std::unique_ptr<AdjustmentSolver> SparseSolver();
// The solver of the report form the options chose (Compact: sparse; otherwise dense).
std::unique_ptr<AdjustmentSolver> SolverFor(ReportForm form);

}  // namespace korvo
