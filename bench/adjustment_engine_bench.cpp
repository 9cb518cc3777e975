// Formation and least-squares solution of a network of about 1600 observation rows
// (directions, zenith angles, distances and GPS baselines), with the zero-skipping kernels
// and, for the kernels alone, with the plain dense loops.

#include <benchmark/benchmark.h>

#include "engine/kernels.h"
#include "engine/least_squares.h"
#include "engine/observation_system.h"
#include "tests/support/networks.h"

namespace korvo {
namespace {

const testnet::Builder& LargeNetwork() {
  static const testnet::Builder network = testnet::GridNetwork(9, 5, 1, 21);
  return network;
}

void BM_FormObservationSystem(benchmark::State& state) {
  const NetworkModel& model = LargeNetwork().model;
  for (auto _ : state) {
    Result<ObservationSystem> sys = FormObservationSystem(model, CalcOptions{});
    benchmark::DoNotOptimize(sys);
  }
}
BENCHMARK(BM_FormObservationSystem)->Unit(benchmark::kMillisecond);

void BM_SolveLeastSquares(benchmark::State& state) {
  const Result<ObservationSystem> sys = FormObservationSystem(LargeNetwork().model, CalcOptions{});
  state.counters["rows"] = sys->numEquations;
  state.counters["unknowns"] = sys->numUnknowns;
  for (auto _ : state) {
    Result<LeastSquaresResults> res = SolveLeastSquares(*sys);
    benchmark::DoNotOptimize(res);
  }
}
BENCHMARK(BM_SolveLeastSquares)->Unit(benchmark::kMillisecond);

// The normal matrix of the network: dense after fill-in, the inversion's worst case.
void BM_InvertNormalMatrix(benchmark::State& state) {
  const Result<ObservationSystem> sys = FormObservationSystem(LargeNetwork().model, CalcOptions{});
  const int n = sys->numEquations, m = sys->numUnknowns;
  const Matrix at = TransposeMatrix(sys->A, n, m);
  const Matrix normal = MultiplyMatrices(MultiplyMatrices(at, sys->P, m, n, n), sys->A, m, n, m);
  const bool dense = state.range(0) != 0;
  for (auto _ : state) {
    Result<Matrix> inverse = dense ? InvertMatrixDense(normal, m) : InvertMatrix(normal, m);
    benchmark::DoNotOptimize(inverse);
  }
}
BENCHMARK(BM_InvertNormalMatrix)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvo
