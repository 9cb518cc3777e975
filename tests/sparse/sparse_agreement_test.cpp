// The sparse path against the dense one on the same systems: every per-parameter and per-row
// figure, the three robust estimators and the quality document; and the compact path's
// refusal of an undetermined network.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <optional>
#include <string>

#include "bench/network_generator.h"
#include "engine/adjustment_driver.h"
#include "engine/least_squares.h"
#include "engine/sparse_least_squares.h"
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
                 const std::vector<double>* skip = nullptr) {
  ASSERT_EQ(dense.size(), sparse.size()) << what;
  for (std::size_t i = 1; i < dense.size(); ++i) {
    if (skip != nullptr && std::fabs((*skip)[i]) < 1e-12) continue;
    EXPECT_NEAR(sparse[i], dense[i], 1e-9 * std::fabs(dense[i]) + 1e-10) << what << " " << i;
  }
}

// The three samples: the example network, a grid of 6 × 6 vertices and the imported matrices,
// which have no network.
struct Sample {
  std::optional<NetworkModel> network;
  ObservationSystem system;
};

Sample SampleOf(const std::string& name) {
  const std::string examples = std::string(KORVO_SOURCE_DIR) + "/examples/";
  if (name == "matrices") {
    const std::string folder = examples + "matrices/";
    Result<ImportedMatrices> imported = ImportMatrices({folder + "A.txt", folder + "k.txt", folder + "P.txt"}, "");
    return {std::nullopt, std::move(imported->system)};
  }
  NetworkModel model = name == "red_ejemplo" ? LoadNetwork(examples + "red_ejemplo.txt", {})->model
                                             : generated::GenerateGridNetwork({6, 400.0, 1}).model;
  ObservationSystem system = FormObservationSystem(model, CalcOptions{}).value();
  return {std::move(model), std::move(system)};
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

TEST(SparseAgreement, LeastSquaresRobustAndQualityMatchDense) {
  for (const std::string name : {"red_ejemplo", "grid6", "matrices"}) {
    SCOPED_TRACE(name);
    const Sample sample = SampleOf(name);
    const ObservationSystem& system = sample.system;
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

    // The quality document of the full and the compact report: every test, coordinate,
    // precision figure and estimate of the robust stage; the baseline statistics read the
    // off-diagonal residual cofactors of each path's baseline blocks.
    // Lp and L1 for one reweighting: their weights (1/|v|, |v|^(p − 2)) amplify rounding, so
    // longer runs part ways on any two summation orders (engine/sparse_robust.h).
    // A row without redundancy has a residual of rounding size and an L1 weight 1/|v| made of
    // rounding: L1 only runs where every row has redundancy.
    CalcOptions quality;
    quality.maxIterLp = quality.maxIterL1 = 1;
    for (std::size_t i = 1; i < d.redundancy.size(); ++i) quality.useL1 = quality.useL1 && d.redundancy[i] > 1e-12;
    EXPECT_EQ(quality.useL1, name != "red_ejemplo");
    nlohmann::json documents[2];
    for (const ReportForm form : {ReportForm::Full, ReportForm::Compact}) {
      quality.reportForm = form;
      ProjectState state;
      Result<AdjustmentOutput> output = Failure{"sin calcular"};
      if (sample.network) {
        output = RunAdjustment(*sample.network, quality, state, {});
      } else if (Result<ImportedAdjustment> adjusted = RunImportedAdjustment(system, quality, state, "", {})) {
        output = std::move(adjusted->output);
      }
      ASSERT_TRUE(output.ok()) << output.error();
      documents[form == ReportForm::Compact] = nlohmann::json::parse(BuildQualityJson(output->quality, output->robust));
    }
    ASSERT_GT(documents[0]["observations"].size(), 20u);
    ASSERT_EQ(documents[0]["robust"].size(), quality.useL1 ? 3u : 2u);
    ExpectSameJson(documents[0], documents[1], name);
  }
}

// The compact path checks the network as the full one does: an unknown vertex that no
// observation reaches would leave empty columns in the pattern; it is named, and nothing
// crashes (the other refusals of the check are the damaged-input table's).
TEST(SparseAgreement, UndeterminedNetworkIsNamedOnTheCompactPath) {
  generated::GeneratedNetwork lonely = generated::GenerateGridNetwork({3, 400.0, 1});
  NetworkVertex extra = lonely.model.vertices[1];
  extra.number = 99;
  extra.kind = kKindUnknown;
  extra.xM += 150.0;
  lonely.model.vertices.push_back(extra);
  CalcOptions options;
  options.reportForm = ReportForm::Compact;
  ProjectState state;
  const Result<AdjustmentOutput> output = RunAdjustment(lonely.model, options, state, {});
  ASSERT_FALSE(output.ok());
  EXPECT_NE(output.error().find(Cp1252("El vértice 99 es incógnita y ninguna observación")), std::string::npos)
      << output.error();
}

}  // namespace
}  // namespace korvo
