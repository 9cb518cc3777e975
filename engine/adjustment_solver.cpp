#include "engine/adjustment_solver.h"

#include <optional>
#include <utility>

#include "engine/sparse_least_squares.h"
#include "engine/sparse_robust.h"
#include "engine/sparse_system.h"
#include "quality/solution_access.h"
#include "quality/sparse_solution_access.h"

namespace korvo {
namespace {

class Dense final : public AdjustmentSolver {
 public:
  Result<LeastSquaresResults> SolveLeastSquares(ObservationSystem& system, const ProgressSink& progress) override {
    return korvo::SolveLeastSquares(system, &progress);
  }
  RobustResults RunRobust(const ObservationSystem& system, const CalcOptions& options,
                          const ProgressSink& progress) override {
    return RunRobustEstimators(system, options, progress);
  }
  QualityAnalysis AnalyseSolution(const ObservationSystem& system, const LeastSquaresResults& leastSquares,
                                  const NetworkModel* network) const override {
    return AnalyseQuality(system, network, DenseSolutionAccess(system, leastSquares));
  }
};

class Sparse final : public AdjustmentSolver {
 public:
  Result<LeastSquaresResults> SolveLeastSquares(ObservationSystem& system, const ProgressSink& progress) override {
    if (system.sparseA.rows() == 0) {
      sparse_ = SparseSystemFromDense(system.A, system.k, system.P, system.numEquations, system.numUnknowns);
    } else {
      sparse_ = SparseSystemFromRows(system.sparseA, system.k, system.sparseP);
      // The compressed copy is all the solver reads from here on.
      system.sparseA = SparseRows();
      system.sparseP = SparseRows();
    }
    Result<SparseLeastSquares> solved = SolveSparseLeastSquares(sparse_, system, &progress);
    if (!solved) return Failure{solved.error()};
    solution_ = std::move(solved).value();
    return solution_->results;
  }
  RobustResults RunRobust(const ObservationSystem&, const CalcOptions& options, const ProgressSink& progress) override {
    return RunSparseRobustEstimators(sparse_, options, progress);
  }
  QualityAnalysis AnalyseSolution(const ObservationSystem& system, const LeastSquaresResults&,
                                  const NetworkModel* network) const override {
    return AnalyseQuality(system, network, SparseSolutionAccess(sparse_, *solution_));
  }

 private:
  SparseSystem sparse_;
  std::optional<SparseLeastSquares> solution_;
};

}  // namespace

std::unique_ptr<AdjustmentSolver> DenseSolver() { return std::make_unique<Dense>(); }
std::unique_ptr<AdjustmentSolver> SparseSolver() { return std::make_unique<Sparse>(); }
std::unique_ptr<AdjustmentSolver> SolverFor(ReportForm form) {
  return form == ReportForm::Compact ? SparseSolver() : DenseSolver();
}

}  // namespace korvo
