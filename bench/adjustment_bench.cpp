// Benchmarks of the adjustment from project file to results file, on synthetic grid
// networks of about 100, 400 and 1600 observation rows (bench/network_generator.h).
//
// BM_ProjectToResultsFile leaves its project file in the temporary folder
// (korvo_bench_red_<rows>.txt), so the command line can be timed on the same network:
//   /usr/bin/time -v korvo-cli calcular /tmp/korvo_bench_red_1620.txt -o /tmp/r.txt --sobrescribir
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "bench/network_generator.h"
#include "common/files.h"
#include "engine/adjustment_driver.h"
#include "engine/format_rounded.h"
#include "network/load_network.h"
#include "report/network_report.h"
#include "report/results_file.h"

namespace korvo {
namespace {

// Grid sizes giving 84, 435 and 1620 observation rows.
void GridSizes(benchmark::internal::Benchmark* bench) {
  bench->Arg(3)->Arg(6)->Arg(11)->Unit(benchmark::kMillisecond);
}

void SetSizeCounters(benchmark::State& state, const AdjustmentOutput& output) {
  state.counters["n"] = output.system.numEquations;
  state.counters["m"] = output.system.numUnknowns;
  state.counters["MB_escritos"] =
      static_cast<double>(output.resultsHeaderText.size() + output.lsResultsText.size() +
                          output.robustComparisonText.size()) /
      1e6;
}

std::string BenchProjectPath(int rows) {
  return (std::filesystem::temp_directory_path() / ("korvo_bench_red_" + std::to_string(rows) + ".txt")).string();
}

// Values of the size the reports print: magnitudes from 1e-6 to 1e6, both signs.
void BM_FormatRounded(benchmark::State& state) {
  std::vector<double> values;
  double value = 0.123456789123;
  for (int i = 0; i < 1024; ++i) {
    values.push_back((i % 2 ? -value : value) * std::pow(10.0, i % 13 - 6));
    value = std::fmod(value * 7.3 + 0.1, 1.0);
  }
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatRounded(values[i++ % values.size()], 9));
  }
}
BENCHMARK(BM_FormatRounded);

// Formation, least squares and report, from the loaded model.
void BM_RunAdjustment(benchmark::State& state) {
  const generated::GeneratedNetwork network =
      generated::GenerateGridNetwork({static_cast<int>(state.range(0)), 400.0, 1});
  CalcOptions options;
  options.useHuber = options.useLp = options.useL1 = false;
  for (auto _ : state) {
    ProjectState project;
    project.projectText = network.projectText;
    Result<AdjustmentOutput> output = RunAdjustment(network.model, options, project, ProgressSink{});
    if (!output) {
      state.SkipWithError(output.error().c_str());
      return;
    }
    SetSizeCounters(state, *output);
    benchmark::DoNotOptimize(output->lsResultsText.data());
  }
}
BENCHMARK(BM_RunAdjustment)->Apply(GridSizes);

// The least-squares report alone.
void BM_BuildNetworkReport(benchmark::State& state) {
  const generated::GeneratedNetwork network =
      generated::GenerateGridNetwork({static_cast<int>(state.range(0)), 400.0, 1});
  CalcOptions options;
  options.useHuber = options.useLp = options.useL1 = false;
  ProjectState project;
  Result<AdjustmentOutput> output = RunAdjustment(network.model, options, project, ProgressSink{});
  if (!output) {
    state.SkipWithError(output.error().c_str());
    return;
  }
  for (auto _ : state) {
    std::string report = BuildNetworkReport(network.model, output->system, output->leastSquares);
    benchmark::DoNotOptimize(report.data());
  }
  SetSizeCounters(state, *output);
}
BENCHMARK(BM_BuildNetworkReport)->Apply(GridSizes);

// What "korvo-cli calcular" does: load the project file, adjust (least squares only), build
// the report and write the results file.
void BM_ProjectToResultsFile(benchmark::State& state) {
  const int grid = static_cast<int>(state.range(0));
  const int rows = generated::ObservationRowCount(grid);
  const std::string projectPath = BenchProjectPath(rows);
  const generated::GeneratedNetwork network = generated::GenerateGridNetwork({grid, 400.0, 1}, projectPath);
  if (!WriteFileAtomically(projectPath, network.projectText)) {
    state.SkipWithError("no se pudo escribir el proyecto de prueba");
    return;
  }
  const std::string resultsPath = DefaultResultsPath(projectPath);
  CalcOptions options;
  options.useHuber = options.useLp = options.useL1 = false;
  for (auto _ : state) {
    Result<LoadedNetwork> loaded = LoadNetwork(projectPath, ProgressSink{});
    if (!loaded) {
      state.SkipWithError(loaded.error().c_str());
      return;
    }
    ProjectState project;
    project.projectText = std::move(loaded->projectText);
    Result<AdjustmentOutput> output = RunAdjustment(loaded->model, options, project, ProgressSink{});
    if (!output) {
      state.SkipWithError(output.error().c_str());
      return;
    }
    const Status written = WriteResultsFile(resultsPath, output->resultsHeaderText, output->lsResultsText,
                                            output->robustComparisonText);
    if (!written) {
      state.SkipWithError(written.error().c_str());
      return;
    }
    SetSizeCounters(state, *output);
  }
  std::filesystem::remove(resultsPath);
}
BENCHMARK(BM_ProjectToResultsFile)->Apply(GridSizes);

}  // namespace
}  // namespace korvo
