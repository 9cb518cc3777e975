// The sparse path against the dense one on the same systems: every per-parameter and per-row
// figure, the three robust estimators and the quality document; and the compact path's
// refusal of an undetermined network.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <string>

#include "bench/network_generator.h"
#include "engine/adjustment_driver.h"
#include "engine/least_squares.h"
#include "engine/robust_stage.h"
#include "engine/sparse_least_squares.h"
#include "engine/sparse_robust.h"
#include "common/win1252.h"
#include "matimport/import_matrices.h"
#include "matimport/imported_adjustment.h"
#include "quality/quality_products.h"
#include "network/load_network.h"

namespace korvo {
namespace {

// Agreement far inside one unit of the last printed digit (4 or 9 decimals). A row whose
// redundancy is zero up to rounding (`skip`) has reliability figures made of rounding noise
// on either path.
void ExpectClose(const std::vector<double>& dense, const std::vector<double>& sparse, const std::string& what,
                 const std::vector<double>* skip = nullptr, double absolute = 1e-10) {
  ASSERT_EQ(dense.size(), sparse.size()) << what;
  for (std::size_t i = 1; i < dense.size(); ++i) {
    if (skip != nullptr && std::fabs((*skip)[i]) < 1e-12) continue;
    EXPECT_NEAR(sparse[i], dense[i], 1e-9 * std::fabs(dense[i]) + absolute) << what << " " << i;
  }
}

ObservationSystem SystemOf(const std::string& name) {
  if (name == "red_ejemplo") {
    Result<LoadedNetwork> loaded = LoadNetwork(std::string(KORVO_SOURCE_DIR) + "/examples/red_ejemplo.txt", {});
    return std::move(FormObservationSystem(loaded->model, CalcOptions{})).value();
  }
  if (name == "matrices") {
    const std::string folder = std::string(KORVO_SOURCE_DIR) + "/examples/matrices/";
    Result<ImportedMatrices> imported = ImportMatrices({folder + "A.txt", folder + "k.txt", folder + "P.txt"}, "");
    return std::move(imported->system);
  }
  const int grid = name == "grid3" ? 3 : 6;
  const generated::GeneratedNetwork network = generated::GenerateGridNetwork({grid, 400.0, 1});
  return std::move(FormObservationSystem(network.model, CalcOptions{})).value();
}

TEST(SparseAgreement, LeastSquaresAndRobustMatchDense) {
  for (const std::string name : {"red_ejemplo", "grid3", "grid6", "matrices"}) {
    SCOPED_TRACE(name);
    const ObservationSystem system = SystemOf(name);
    ASSERT_GT(system.numEquations, 0);
    Result<LeastSquaresResults> dense = SolveLeastSquares(system);
    ASSERT_TRUE(dense.ok());
    // A network's system as the formation wrote its rows; the imported one from its matrices.
    const SparseSystem compressed =
        system.formedFromNetwork
            ? SparseSystemFromRows(system.sparseA, system.k, system.sparseP)
            : SparseSystemFromDense(system.A, system.k, system.P, system.numEquations, system.numUnknowns);
    Result<SparseLeastSquares> sparse = SolveSparseLeastSquares(compressed, system);
    ASSERT_TRUE(sparse.ok()) << sparse.error();
    const LeastSquaresResults& d = *dense;
    const LeastSquaresResults& s = sparse->results;
    EXPECT_NEAR(s.sigmaZero, d.sigmaZero, 1e-12 * d.sigmaZero);
    ExpectClose(d.corrections, s.corrections, "corrections");
    ExpectClose(d.sigmaParameters, s.sigmaParameters, "sigmaParameters");
    ExpectClose(d.residuals, s.residuals, "residuals");
    ExpectClose(d.sigmaResiduals, s.sigmaResiduals, "sigmaResiduals", &d.redundancy);
    ExpectClose(d.sigmaAdjustedObs, s.sigmaAdjustedObs, "sigmaAdjustedObs");
    ExpectClose(d.adjustedObservations, s.adjustedObservations, "adjustedObservations");
    ExpectClose(d.adjustedParameters, s.adjustedParameters, "adjustedParameters");
    ExpectClose(d.redundancy, s.redundancy, "redundancy");
    ExpectClose(d.baardaStatistic, s.baardaStatistic, "baarda", &d.redundancy);
    ExpectClose(d.minDetectableError, s.minDetectableError, "mde", &d.redundancy);
    ExpectClose(d.internalReliability, s.internalReliability, "internal", &d.redundancy);
    ExpectClose(d.externalReliability, s.externalReliability, "external", &d.redundancy);
    // A GPS block of Qvv off the diagonal: Qll(i, j) − Q̂ll(i, j) against the dense Qvv.
    if (system.gpsCount > 0) {
      const int i = system.classicalCount + 1, j = i + 2;
      const int b = compressed.P.BlockCount() - static_cast<int>(system.gpsCount);
      EXPECT_EQ(compressed.P.Row(b, 0), i);
      const double qvv = sparse->cofactors.At(b, 0, 2) - sparse->AdjustedCofactor(compressed.A, i, j);
      EXPECT_NEAR(qvv, d.Qvv(i, j), 1e-9 * std::fabs(d.Qvv(i, i)));
    }

    // Lp and L1 for one reweighting: their weights (1/|v|, |v|^(p − 2)) amplify rounding, so
    // longer runs part ways on any two summation orders (engine/sparse_robust.h).
    // A row without redundancy has a residual of rounding size and an L1 weight 1/|v| made of
    // rounding: L1 only runs where every row has redundancy.
    CalcOptions options;
    options.maxIterLp = options.maxIterL1 = 1;
    for (std::size_t i = 1; i < d.redundancy.size(); ++i) options.useL1 = options.useL1 && d.redundancy[i] > 1e-12;
    EXPECT_EQ(options.useL1, name != "red_ejemplo");
    const RobustResults denseRobust = RunRobustEstimators(system, options, {});
    const RobustResults sparseRobust = RunSparseRobustEstimators(compressed, options, {});
    ASSERT_EQ(denseRobust.leftOut.size(), sparseRobust.leftOut.size());
    ASSERT_EQ(denseRobust.lp.has_value(), sparseRobust.lp.has_value());
    EXPECT_NEAR(sparseRobust.lp->kurtosis, denseRobust.lp->kurtosis, 1e-9 * denseRobust.lp->kurtosis);
    const RobustEstimate* pairs[][2] = {{&*denseRobust.huber, &*sparseRobust.huber},
                                        {&*denseRobust.lp, &*sparseRobust.lp},
                                        {options.useL1 ? &*denseRobust.l1 : nullptr, options.useL1 ? &*sparseRobust.l1 : nullptr}};
    for (const auto& [de, se] : pairs) {
      if (de == nullptr) continue;
      EXPECT_EQ(se->iterations, de->iterations);
      EXPECT_NEAR(se->sigma, de->sigma, 1e-9 * de->sigma);
      // Printed with 3 decimals; a reweighted pass amplifies rounding a little.
      ExpectClose(de->corrections, se->corrections, "robust corrections", nullptr, 1e-8);
      ExpectClose(de->residuals, se->residuals, "robust residuals", nullptr, 1e-8);
    }
  }
}

// The compact path checks the network as the full one does: an unknown vertex that no
// observation reaches leaves empty columns in the pattern, and a network without a fixed
// vertex has no datum; either is named, and nothing crashes.
TEST(SparseAgreement, UndeterminedNetworksAreNamedOnTheCompactPath) {
  generated::GeneratedNetwork lonely = generated::GenerateGridNetwork({3, 400.0, 1});
  NetworkVertex extra = lonely.model.vertices[1];
  extra.number = 99;
  extra.kind = kKindUnknown;
  extra.xM += 150.0;
  lonely.model.vertices.push_back(extra);
  generated::GeneratedNetwork free = generated::GenerateGridNetwork({3, 400.0, 1});
  for (NetworkVertex& v : free.model.vertices) v.kind = kKindUnknown;
  const std::pair<const NetworkModel*, std::string> cases[] = {
      {&lonely.model, Cp1252("El vértice 99 es incógnita y ninguna observación")},
      {&free.model, Cp1252("La red no tiene ningún vértice fijo")},
  };
  CalcOptions options;
  options.reportForm = ReportForm::Compact;
  for (const auto& [model, expected] : cases) {
    ProjectState state;
    const Result<AdjustmentOutput> output = RunAdjustment(*model, options, state, {});
    ASSERT_FALSE(output.ok());
    EXPECT_NE(output.error().find(expected), std::string::npos) << output.error();
  }
}

// Two JSON documents with the same keys, texts and nulls, and numbers within 1e-9 relative
// (1e-9 absolute for figures of rounding size, such as the residual of an uncontrolled row).
void ExpectSameJson(const nlohmann::json& dense, const nlohmann::json& sparse, const std::string& where) {
  ASSERT_EQ(dense.type(), sparse.type()) << where;
  if (dense.is_number_float()) {
    const double a = dense.get<double>(), b = sparse.get<double>();
    EXPECT_NEAR(b, a, 1e-9 * std::fabs(a) + 1e-9) << where;
  } else if (dense.is_object()) {
    ASSERT_EQ(dense.size(), sparse.size()) << where;
    for (auto it = dense.begin(); it != dense.end(); ++it) {
      ASSERT_TRUE(sparse.contains(it.key())) << where << "." << it.key();
      ExpectSameJson(it.value(), sparse[it.key()], where + "." + it.key());
    }
  } else if (dense.is_array()) {
    ASSERT_EQ(dense.size(), sparse.size()) << where;
    for (std::size_t i = 0; i < dense.size(); ++i) ExpectSameJson(dense[i], sparse[i], where + "[" + std::to_string(i) + "]");
  } else {
    EXPECT_EQ(dense, sparse) << where;
  }
}

// The quality document of the full and the compact report, for a network and an imported
// system: every test, coordinate, precision figure and robust summary from either path.
TEST(SparseAgreement, QualityJsonOfBothPathsAgrees) {
  const LoadedNetwork sample =
      std::move(LoadNetwork(std::string(KORVO_SOURCE_DIR) + "/examples/red_ejemplo.txt", {})).value();
  const generated::GeneratedNetwork grid = generated::GenerateGridNetwork({6, 400.0, 1});
  const ObservationSystem imported = SystemOf("matrices");
  for (const std::string name : {"red_ejemplo", "grid6", "matrices"}) {
    SCOPED_TRACE(name);
    nlohmann::json documents[2];
    for (const ReportForm form : {ReportForm::Full, ReportForm::Compact}) {
      CalcOptions options;
      options.reportForm = form;
      options.maxIterLp = 1;  // see the robust part of LeastSquaresAndRobustMatchDense
      options.useL1 = false;
      ProjectState state;
      Result<AdjustmentOutput> output = Failure{"sin calcular"};
      if (name == "matrices") {
        Result<ImportedAdjustment> adjusted = RunImportedAdjustment(imported, options, state, "", {});
        if (adjusted) output = std::move(adjusted->output);
      } else {
        output = RunAdjustment(name == "grid6" ? grid.model : sample.model, options, state, {});
      }
      ASSERT_TRUE(output.ok()) << output.error();
      documents[form == ReportForm::Compact] = nlohmann::json::parse(BuildQualityJson(output->quality, output->robust));
    }
    ASSERT_GT(documents[0]["observations"].size(), 20u);
    ExpectSameJson(documents[0], documents[1], name);
  }
}

}  // namespace
}  // namespace korvo
