#include "engine/robust_stage.h"

#include <memory>

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

RobustResults RunRobustStage(const DecorrelationStep& decorrelate, const CalcOptions& options,
                             const ProgressSink& progress) {
  progress.SetStatus(SolvingRobustStatus());
  RobustResults results;
  std::unique_ptr<ReweightingSystem> decorrelated;
  std::string decorrelationFailure;
  if (options.useHuber || options.useLp || options.useL1) {
    Result<std::unique_ptr<ReweightingSystem>> rotated = decorrelate();
    if (rotated) {
      decorrelated = std::move(rotated).value();
    } else {
      decorrelationFailure = rotated.error();
    }
  }

  if (options.useHuber) {
    progress.SetStatus(HuberStatus());
    Keep(decorrelated ? EstimateHuber(*decorrelated, progress) : Result<RobustEstimate>(Failure{decorrelationFailure}),
         RobustMethod::Huber, results.huber, results);
  }
  progress.SetStatus("");
  progress.SetProgress(kProgressAfterHuber);

  if (options.useLp) {
    progress.SetStatus(LpStatus());
    Keep(decorrelated ? EstimateLp(*decorrelated, options.maxIterLp, progress)
                      : Result<LpEstimate>(Failure{decorrelationFailure}),
         RobustMethod::Lp, results.lp, results);
  }
  progress.SetStatus("");
  progress.SetProgress(kProgressAfterLp);

  if (options.useL1) {
    progress.SetStatus(L1Status());
    Keep(decorrelated ? EstimateL1(*decorrelated, options.maxIterL1, progress)
                      : Result<RobustEstimate>(Failure{decorrelationFailure}),
         RobustMethod::L1, results.l1, results);
  }
  progress.SetProgress(kProgressAfterL1);
  progress.SetStatus("");
  return results;
}

namespace {

// The dense decorrelated system together with its view for the loops.
class OwnedDenseReweighting : public DenseReweighting {
 public:
  OwnedDenseReweighting(std::unique_ptr<DecorrelatedSystem> system, const MatrixKernels& kernels)
      : DenseReweighting(*system, kernels), system_(std::move(system)) {}

 private:
  std::unique_ptr<DecorrelatedSystem> system_;
};

}  // namespace

RobustResults RunRobustEstimators(const ObservationSystem& system, const CalcOptions& options,
                                  const ProgressSink& progress, const MatrixKernels& kernels) {
  return RunRobustStage(
      [&]() -> Result<std::unique_ptr<ReweightingSystem>> {
        Result<DecorrelatedSystem> rotated = DecorrelateSystem(system);
        if (!rotated) return Failure{rotated.error()};
        return std::unique_ptr<ReweightingSystem>(std::make_unique<OwnedDenseReweighting>(
            std::make_unique<DecorrelatedSystem>(std::move(rotated).value()), kernels));
      },
      options, progress);
}

}  // namespace korvo
