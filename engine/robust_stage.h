#pragma once
// The robust part of an adjustment: the decorrelation of the system and the estimators the
// options select, in the order Huber, adapted Lp, L1, with their status texts and progress
// values. Shared by the adjustment of a network and that of an imported system.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/progress.h"
#include "common/result.h"
#include "engine/kernels.h"
#include "engine/observation_system.h"
#include "engine/robust_estimators.h"
#include "network/calc_options.h"

namespace korvo {

enum class RobustMethod { Huber, Lp, L1 };

// A selected estimator that could not run, and why (the failure's own message, Windows-1252).
struct LeftOutEstimator {
  RobustMethod method = RobustMethod::Huber;
  std::string reason;
};

// The results of the estimators that ran; an estimator not selected, or selected but left
// out, has none.
struct RobustResults {
  std::optional<RobustEstimate> huber;
  std::optional<LpEstimate> lp;
  std::optional<RobustEstimate> l1;
  std::vector<LeftOutEstimator> leftOut;  // in the order Huber, Lp, L1

  bool Any() const { return huber.has_value() || lp.has_value() || l1.has_value(); }
  // Some estimator was selected, whether it ran or not: the comparison section is written.
  bool AnySelected() const { return Any() || !leftOut.empty(); }
};

// Progress values after each estimator's place in the pipeline (set whether or not it ran).
inline constexpr int kProgressAfterHuber = 75;
inline constexpr int kProgressAfterLp = 85;
inline constexpr int kProgressAfterL1 = 95;

// Status "Resolviendo sistema por métodos de estimación robusta..." (always), then, when any
// estimator is selected, the decorrelation; then each selected estimator under its own status
// text with its iteration counter in panel 2, an empty status and progress 75, 85 and 95
// after the Huber, Lp and L1 places.
//
// An estimator that cannot run ("Matriz singular" in a reweighted pass, a scale that is not a
// number, an undefined kurtosis, ...) is left out with its message and the others still run;
// a failed decorrelation leaves every selected estimator out. The least-squares solution the
// stage starts from is never lost through it.
// The stage on a decorrelation of the caller's choice (run only when an estimator is
// selected; its failure leaves every selected estimator out).
using DecorrelationStep = std::function<Result<std::unique_ptr<ReweightingSystem>>()>;
RobustResults RunRobustStage(const DecorrelationStep& decorrelate, const CalcOptions& options,
                             const ProgressSink& progress);

RobustResults RunRobustEstimators(const ObservationSystem& system, const CalcOptions& options,
                                          const ProgressSink& progress, const MatrixKernels& kernels = FastKernels());

}  // namespace korvo
