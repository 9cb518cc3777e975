#include "engine/robust_estimators.h"

#include <cmath>
#include <functional>

#include "common/numbers.h"
#include "common/text.h"
#include "common/win1252.h"
#include "engine/reweighted_step.h"

namespace korvo {
namespace {

constexpr int kNoLimit = -1;

std::string UndefinedKurtosisMessage() {
  return Cp1252("El método de mínimas normas Lp adaptadas no puede determinar la curtosis de la distribución:") +
         std::string(kCrLf) + Cp1252("todos los residuos de mínimos cuadrados son nulos.") + std::string(kCrLf) +
         Cp1252("Desactive ese método en las opciones de cálculo.");
}

std::string NonFiniteMessage() {
  return Cp1252(" ¡Los métodos de estimación robusta han llegado a valores no numéricos (pesos desmesurados)! ") +
         std::string(kCrLf) + Cp1252(" Desactívelos en las opciones de cálculo. ");
}

// The skeleton shared by the three estimators. `limit` is the user's iteration limit (a
// negative one means none); `afterPass` runs on every pass before the convergence test (the
// Lp estimator measures its kurtosis there); `reweigh` gives the factor of row i from its
// rotated residual.
Result<RobustEstimate> RunReweightingLoop(const ReweightingSystem& system, int limit, const ProgressSink& progress,
                                          int passBound,
                                          const std::function<Status(int, const std::vector<double>&)>& afterPass,
                                          const std::function<double(int, double)>& reweigh) {
  const int n = system.Equations();
  std::vector<double> weights(static_cast<std::size_t>(n) + 1, 1.0);
  RobustEstimate estimate;
  std::vector<double> rotatedResiduals;
  double previousSigma = 0.0;
  for (;;) {
    progress.SetIteration(NumberTextWithBlank(estimate.iterations));
    Result<ReweightedPass> pass = system.Pass(weights);
    estimate.weights = weights;
    if (!pass) return Failure{pass.error()};
    estimate.corrections = std::move(pass->corrections);
    rotatedResiduals = std::move(pass->rotatedResiduals);
    estimate.sigma = pass->sigma;
    if (!std::isfinite(estimate.sigma)) return Failure{NonFiniteMessage()};
    if (afterPass) {
      Status status = afterPass(estimate.iterations, rotatedResiduals);
      if (!status) return Failure{status.error()};
    }

    if (std::fabs(previousSigma - estimate.sigma) < kScaleTolerance) break;
    if (limit >= 0 && estimate.iterations == limit) break;
    if (limit < 0 && estimate.iterations + 1 >= passBound) {
      estimate.iterationLimitReached = true;
      break;
    }
    previousSigma = estimate.sigma;
    for (int i = 1; i <= n; ++i)
      weights[static_cast<std::size_t>(i)] = reweigh(i, rotatedResiduals[static_cast<std::size_t>(i)]);
    ++estimate.iterations;
  }
  if (limit >= 0) estimate.iterationLimitReached = estimate.iterations >= limit;
  estimate.residuals = system.BackRotate(rotatedResiduals);
  return estimate;
}

int LimitOrNone(std::int16_t maxIterations) { return maxIterations < 0 ? kNoLimit : maxIterations; }

}  // namespace

double HuberWeight(double rotatedResidual, double aprioriWeight) {
  const double bound = kHuberTuning / std::sqrt(aprioriWeight);
  const double size = std::fabs(rotatedResidual);
  return bound > size ? 1.0 : bound / size;
}

double LpExponent(double kurtosis) { return 1.0 + 9.0 / (kurtosis * kurtosis); }

double LpWeight(double rotatedResidual, double exponent) {
  return std::pow(std::fabs(rotatedResidual) + kZeroResidualGuard, exponent - 2.0);
}

double L1Weight(double rotatedResidual) {
  return rotatedResidual == 0.0 ? 1.0 / kZeroResidualGuard : 1.0 / std::fabs(rotatedResidual);
}

Result<double> ResidualKurtosis(const std::vector<double>& rotatedResiduals, const std::vector<double>& aprioriWeights,
                                int degreesOfFreedom) {
  double sumFourth = 0.0;
  double sumSquares = 0.0;
  for (std::size_t i = 1; i < rotatedResiduals.size(); ++i) {
    const double s = aprioriWeights[i];
    const double v = rotatedResiduals[i];
    sumFourth += s * s * (v * v * v * v);
    sumSquares += s * (v * v);
  }
  if (!(sumSquares > 0.0)) return Failure{UndefinedKurtosisMessage()};
  return degreesOfFreedom * sumFourth / (sumSquares * sumSquares);
}

Result<RobustEstimate> EstimateHuber(const ReweightingSystem& system, const ProgressSink& progress, int passBound) {
  const std::vector<double>& s = system.AprioriWeights();
  return RunReweightingLoop(system, kNoLimit, progress, passBound, nullptr, [&s](int i, double v) {
    return HuberWeight(v, s[static_cast<std::size_t>(i)]);
  });
}

Result<LpEstimate> EstimateLp(const ReweightingSystem& system, std::int16_t maxIterations, const ProgressSink& progress,
                              int passBound) {
  double kurtosis = 0.0;
  double exponent = 2.0;
  auto measureOnFirstPass = [&](int iteration, const std::vector<double>& rotatedResiduals) -> Status {
    if (iteration != 0) return Ok();
    Result<double> beta2 =
        ResidualKurtosis(rotatedResiduals, system.AprioriWeights(), system.Equations() - system.Unknowns());
    if (!beta2) return Failure{beta2.error()};
    kurtosis = *beta2;
    exponent = LpExponent(kurtosis);
    return Ok();
  };
  Result<RobustEstimate> loop = RunReweightingLoop(system, LimitOrNone(maxIterations), progress, passBound,
                                                   measureOnFirstPass,
                                                   [&exponent](int, double v) { return LpWeight(v, exponent); });
  if (!loop) return Failure{loop.error()};
  LpEstimate estimate;
  static_cast<RobustEstimate&>(estimate) = std::move(loop).value();
  estimate.kurtosis = kurtosis;
  estimate.exponent = exponent;
  return estimate;
}

Result<RobustEstimate> EstimateL1(const ReweightingSystem& system, std::int16_t maxIterations,
                                  const ProgressSink& progress, int passBound) {
  return RunReweightingLoop(system, LimitOrNone(maxIterations), progress, passBound, nullptr,
                            [](int, double v) { return L1Weight(v); });
}

Result<RobustEstimate> EstimateHuber(const DecorrelatedSystem& system, const ProgressSink& progress,
                                     const MatrixKernels& kernels, int passBound) {
  return EstimateHuber(DenseReweighting(system, kernels), progress, passBound);
}

Result<LpEstimate> EstimateLp(const DecorrelatedSystem& system, std::int16_t maxIterations,
                              const ProgressSink& progress, const MatrixKernels& kernels, int passBound) {
  return EstimateLp(DenseReweighting(system, kernels), maxIterations, progress, passBound);
}

Result<RobustEstimate> EstimateL1(const DecorrelatedSystem& system, std::int16_t maxIterations,
                                  const ProgressSink& progress, const MatrixKernels& kernels, int passBound) {
  return EstimateL1(DenseReweighting(system, kernels), maxIterations, progress, passBound);
}

}  // namespace korvo
