#include "engine/robust_stage.h"

#include "engine/adjustment_driver.h"
#include "engine/decorrelate.h"

namespace korvo {

namespace {

// Keeps an estimator's result, or records why it was left out.
template <typename Estimate>
void Keep(Result<Estimate>&& estimated, RobustMethod method, std::optional<Estimate>& slot, RobustResults& results) {
  if (estimated) {
    slot = std::move(estimated).value();
  } else {
    results.leftOut.push_back({method, estimated.error()});
  }
}

}  // namespace

RobustResults RunRobustEstimators(const ObservationSystem& system, const CalcOptions& options,
                                  const ProgressSink& progress, const MatrixKernels& kernels) {
  progress.SetStatus(SolvingRobustStatus());
  RobustResults results;
  std::optional<DecorrelatedSystem> decorrelated;
  std::string decorrelationFailure;
  if (options.useHuber || options.useLp || options.useL1) {
    Result<DecorrelatedSystem> rotated = DecorrelateSystem(system);
    if (rotated) {
      decorrelated = std::move(rotated).value();
    } else {
      decorrelationFailure = rotated.error();
    }
  }

  if (options.useHuber) {
    progress.SetStatus(HuberStatus());
    Keep(decorrelated ? EstimateHuber(*decorrelated, progress, kernels)
                      : Result<RobustEstimate>(Failure{decorrelationFailure}),
         RobustMethod::Huber, results.huber, results);
  }
  progress.SetStatus("");
  progress.SetProgress(kProgressAfterHuber);

  if (options.useLp) {
    progress.SetStatus(LpStatus());
    Keep(decorrelated ? EstimateLp(*decorrelated, options.maxIterLp, progress, kernels)
                      : Result<LpEstimate>(Failure{decorrelationFailure}),
         RobustMethod::Lp, results.lp, results);
  }
  progress.SetStatus("");
  progress.SetProgress(kProgressAfterLp);

  if (options.useL1) {
    progress.SetStatus(L1Status());
    Keep(decorrelated ? EstimateL1(*decorrelated, options.maxIterL1, progress, kernels)
                      : Result<RobustEstimate>(Failure{decorrelationFailure}),
         RobustMethod::L1, results.l1, results);
  }
  progress.SetProgress(kProgressAfterL1);
  progress.SetStatus("");
  return results;
}

}  // namespace korvo
