#include "engine/robust_stage.h"

#include "engine/adjustment_driver.h"
#include "engine/decorrelate.h"

namespace korvo {

Result<RobustResults> RunRobustEstimators(const ObservationSystem& system, const CalcOptions& options,
                                          const ProgressSink& progress, const MatrixKernels& kernels) {
  progress.SetStatus(SolvingRobustStatus());
  RobustResults results;
  std::optional<DecorrelatedSystem> decorrelated;
  if (options.useHuber || options.useLp || options.useL1) {
    Result<DecorrelatedSystem> rotated = DecorrelateSystem(system);
    if (!rotated) return Failure{rotated.error()};
    decorrelated = std::move(rotated).value();
  }

  if (options.useHuber) {
    progress.SetStatus(HuberStatus());
    Result<RobustEstimate> huber = EstimateHuber(*decorrelated, progress, kernels);
    if (!huber) return Failure{huber.error()};
    results.huber = std::move(huber).value();
  }
  progress.SetStatus("");
  progress.SetProgress(kProgressAfterHuber);

  if (options.useLp) {
    progress.SetStatus(LpStatus());
    Result<LpEstimate> lp = EstimateLp(*decorrelated, options.maxIterLp, progress, kernels);
    if (!lp) return Failure{lp.error()};
    results.lp = std::move(lp).value();
  }
  progress.SetStatus("");
  progress.SetProgress(kProgressAfterLp);

  if (options.useL1) {
    progress.SetStatus(L1Status());
    Result<RobustEstimate> l1 = EstimateL1(*decorrelated, options.maxIterL1, progress, kernels);
    if (!l1) return Failure{l1.error()};
    results.l1 = std::move(l1).value();
  }
  progress.SetProgress(kProgressAfterL1);
  progress.SetStatus("");
  return results;
}

}  // namespace korvo
