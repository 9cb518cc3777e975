// Benchmarks of the compact report on regional networks (bench/network_generator.h) of about
// 1,600, 3,200, 20,000 and 100,000 observation rows, and of the sparse Cholesky factor the
// normal equations use, against CHOLMOD's on the same matrix.
//
// BM_CompactProjectToResultsFile leaves its project in the temporary folder
// (korvo_bench_regional_<rows>.txt) so the command line can be timed and measured on it:
//   /usr/bin/time -v korvo-cli calcular /tmp/korvo_bench_regional_19872.txt --informe compacto -o /tmp/r.txt --sobrescribir
#include <benchmark/benchmark.h>

#include <Eigen/OrderingMethods>
#include <Eigen/SparseCholesky>
#include <filesystem>

#include "bench/network_generator.h"
#include "common/files.h"
#include "engine/adjustment_driver.h"
#include "engine/sparse_normal.h"
#include "engine/sparse_system.h"
#include "report/results_file.h"

#if KORVO_BENCH_CHOLMOD
#include <suitesparse/cholmod.h>
#endif

namespace korvo {
namespace {

int RowsOf(const benchmark::State& state) { return static_cast<int>(state.range(0)); }

generated::GeneratedNetwork Regional(int rows, const std::string& path = "red_regional.txt") {
  return rows == 1620 ? generated::GenerateGridNetwork({11, 400.0, 1}, path)
                      : generated::GenerateGridNetwork(generated::RegionalNetworkLayout(rows), path);
}

// Load, adjust (least squares and the three robust estimators at their default limits, or
// least squares alone), compact report, results file.
void CompactCalcular(benchmark::State& state, bool robust) {
  const int rows = RowsOf(state);
  const std::string projectPath =
      (std::filesystem::temp_directory_path() / ("korvo_bench_regional_" + std::to_string(rows) + ".txt")).string();
  const generated::GeneratedNetwork network = Regional(rows, projectPath);
  if (!WriteFileAtomically(projectPath, network.projectText)) {
    state.SkipWithError("no se pudo escribir el proyecto de prueba");
    return;
  }
  const std::string resultsPath = DefaultResultsPath(projectPath);
  CalcOptions options;
  options.reportForm = ReportForm::Compact;
  options.useHuber = options.useLp = options.useL1 = robust;
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
    state.counters["n"] = output->system.numEquations;
    state.counters["m"] = output->system.numUnknowns;
  }
  std::filesystem::remove(resultsPath);
}

void BM_CompactCalcular(benchmark::State& state) { CompactCalcular(state, true); }
void BM_CompactLeastSquares(benchmark::State& state) { CompactCalcular(state, false); }
BENCHMARK(BM_CompactCalcular)->Arg(1620)->Arg(3200)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_CompactLeastSquares)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

// The normal matrix of a regional network, lower triangle, as Eigen holds it.
Eigen::SparseMatrix<double> NormalMatrix(int rows) {
  const generated::GeneratedNetwork network = Regional(rows);
  Result<ObservationSystem> system = FormObservationSystem(network.model, CalcOptions{}, FastKernels(), DenseMatrices::Skip);
  const SparseSystem s = SparseSystemFromRows(system->sparseA, system->k, system->sparseP);
  std::vector<Eigen::Triplet<double>> entries;
  for (int b = 0; b < s.P.BlockCount(); ++b)
    for (int a = 0; a < s.P.Size(b); ++a)
      for (int c = 0; c < s.P.Size(b); ++c) {
        const int r = s.P.Row(b, a), t = s.P.Row(b, c);
        for (std::size_t p = s.A.Begin(r); p < s.A.End(r); ++p)
          for (std::size_t q = s.A.Begin(t); q < s.A.End(t); ++q)
            if (s.A.columns[p] >= s.A.columns[q])
              entries.emplace_back(s.A.columns[p] - 1, s.A.columns[q] - 1, s.A.values[p] * s.P.At(b, a, c) * s.A.values[q]);
      }
  Eigen::SparseMatrix<double> n(s.numUnknowns, s.numUnknowns);
  n.setFromTriplets(entries.begin(), entries.end());
  return n;
}

// Eigen's simplicial LLᵀ with AMD: analysis and factor.
void BM_FactorEigen(benchmark::State& state) {
  const Eigen::SparseMatrix<double> n = NormalMatrix(RowsOf(state));
  for (auto _ : state) {
    Eigen::SimplicialLLT<Eigen::SparseMatrix<double>, Eigen::Lower, Eigen::AMDOrdering<int>> llt(n);
    benchmark::DoNotOptimize(llt.info());
    state.counters["nnzL"] = static_cast<double>(llt.matrixL().nestedExpression().nonZeros());
  }
}
BENCHMARK(BM_FactorEigen)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

#if KORVO_BENCH_CHOLMOD
// CHOLMOD's factor (its own choice, supernodal here) and the simplicial columns the selected
// inverse reads.
void BM_FactorCholmod(benchmark::State& state) {
  Eigen::SparseMatrix<double> n = NormalMatrix(RowsOf(state));
  n.makeCompressed();
  cholmod_common common;
  cholmod_start(&common);
  cholmod_sparse a{};
  a.nrow = a.ncol = static_cast<std::size_t>(n.rows());
  a.nzmax = static_cast<std::size_t>(n.nonZeros());
  a.p = n.outerIndexPtr();
  a.i = n.innerIndexPtr();
  a.x = n.valuePtr();
  a.stype = -1;
  a.itype = CHOLMOD_INT;
  a.xtype = CHOLMOD_REAL;
  a.dtype = CHOLMOD_DOUBLE;
  a.sorted = 1;
  a.packed = 1;
  for (auto _ : state) {
    cholmod_factor* factor = cholmod_analyze(&a, &common);
    cholmod_factorize(&a, factor, &common);
    cholmod_change_factor(CHOLMOD_REAL, 1, 0, 1, 1, factor, &common);
    benchmark::DoNotOptimize(factor->x);
    state.counters["nnzL"] = static_cast<double>(common.lnz);
    cholmod_free_factor(&factor, &common);
  }
  cholmod_finish(&common);
}
BENCHMARK(BM_FactorCholmod)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
}  // namespace korvo
