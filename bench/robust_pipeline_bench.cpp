// The robust part of the adjustment of a network of about 1600 observation rows: the
// decorrelation, each estimator at its default limits, and the whole Calcular pipeline with
// the three estimators and the report.

#include <benchmark/benchmark.h>

#include "engine/adjustment_driver.h"
#include "engine/decorrelate.h"
#include "engine/least_squares.h"
#include "engine/observation_system.h"
#include "engine/robust_estimators.h"
#include "network/project_state.h"
#include "tests/support/networks.h"

namespace korvo {
namespace {

const testnet::Builder& LargeNetwork() {
  static const testnet::Builder network = testnet::GridNetwork(9, 5, 1, 21);
  return network;
}

const ObservationSystem& LargeSystem() {
  static const ObservationSystem system = FormObservationSystem(LargeNetwork().model, CalcOptions{}).value();
  return system;
}

void BM_DecorrelateSystem(benchmark::State& state) {
  state.counters["rows"] = LargeSystem().numEquations;
  state.counters["unknowns"] = LargeSystem().numUnknowns;
  for (auto _ : state) benchmark::DoNotOptimize(DecorrelateSystem(LargeSystem()));
}
BENCHMARK(BM_DecorrelateSystem)->Unit(benchmark::kMillisecond);

void BM_Estimators(benchmark::State& state) {
  const DecorrelatedSystem d = DecorrelateSystem(LargeSystem()).value();
  const CalcOptions options;
  int passes = 0;
  for (auto _ : state) {
    passes = 0;
    ProgressSink sink;
    sink.iteration = [&passes](const std::string&) { ++passes; };
    switch (state.range(0)) {
      case 0: benchmark::DoNotOptimize(EstimateHuber(d, sink)); break;
      case 1: benchmark::DoNotOptimize(EstimateLp(d, options.maxIterLp, sink)); break;
      default: benchmark::DoNotOptimize(EstimateL1(d, options.maxIterL1, sink)); break;
    }
  }
  state.counters["passes"] = passes;
}
BENCHMARK(BM_Estimators)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_WholeAdjustmentWithRobustEstimators(benchmark::State& state) {
  for (auto _ : state) {
    ProjectState project;
    project.projectText = "PROYECTO";
    Result<AdjustmentOutput> out = RunAdjustment(LargeNetwork().model, CalcOptions{}, project, ProgressSink{});
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_WholeAdjustmentWithRobustEstimators)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace korvo
