// Undetermined unknowns: the elimination of N watches every pivot against its diagonal and
// names, in the user's words, the first unknown the observations leave free. The expected
// unknown of each network follows from its geometry: which column is the first, in column
// order, that depends on the earlier ones.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/win1252.h"
#include "engine/kernels.h"
#include "engine/least_squares.h"
#include "engine/observation_system.h"
#include "matimport/import_matrices.h"
#include "support/files.h"
#include "support/networks.h"

namespace korvo {
namespace {

using testnet::Builder;

std::string Undetermined(const std::string& unknown) {
  return Cp1252(" ¡Matriz singular: las observaciones no determinan " + unknown + "! ");
}

// Fixed 1 and 2 some 900 m apart, unknown 4 tied to both by two baselines (three redundant
// components): every case adds its own vertex 3 (and perhaps 5) and what observes it.
Builder TwoFixedAndOneByGps() {
  Builder b;
  b.AddVertex(1, true, 0.0, 0.0, 0.0);
  b.AddVertex(2, true, 900.0, 150.0, 12.0);
  b.AddVertex(4, false, 400.0, -600.0, 30.0);
  return b;
}

void ObserveFourByGps(Builder& b) {
  b.AddBaseline(1, 4, 0.004);
  b.AddBaseline(2, 4, 0.004);
}

struct Case {
  const char* name;
  std::function<void(Builder&)> build;  // vertices after 1, 2, 4, then observations
  std::string unknown;                  // as the message names it
};

TEST(UndeterminedUnknowns, TheFirstFreeUnknownIsNamed) {
  const std::vector<Case> cases = {
      // GPS baselines fix every difference but no position: the translation moves the X of
      // every vertex, so X of the last vertex is the first column that depends on earlier ones.
      {"free network",
       [](Builder& b) {
         for (testnet::TrueVertex& v : b.truth) v.fixed = false;
         b.AddVertex(3, false, 300.0, 700.0, -20.0);
         b.PlaceVertices(0.02);
         b.AddBaseline(1, 2, 0.004);
         b.AddBaseline(2, 4, 0.004);
         b.AddBaseline(4, 3, 0.004);
         b.AddBaseline(3, 1, 0.004);
         b.AddBaseline(2, 3, 0.004);
       },
       "la coordenada X del vértice 3"},
      // Vertex 5 is in no observation: its X column is zero.
      {"unobserved vertex",
       [](Builder& b) {
         b.AddVertex(5, false, -500.0, 300.0, 5.0);
         b.PlaceVertices(0.02);
         ObserveFourByGps(b);
         b.AddObservation(ObservationType::Distance, 1, 4, 0.005);
       },
       "la coordenada X del vértice 5"},
      // Vertex 3 is placed by two distances and its one direction to 1: the three sights fix
      // its three coordinates, and nothing is left for the orientation of its direction set.
      {"orientation with no direction left",
       [](Builder& b) {
         b.AddVertex(3, false, 300.0, 700.0, -20.0);
         b.PlaceVertices(0.02);
         b.AddObservation(ObservationType::Distance, 1, 3, 0.005);
         b.AddObservation(ObservationType::Distance, 2, 3, 0.005);
         b.AddObservation(ObservationType::Direction, 3, 1, 10.0);
         ObserveFourByGps(b);
       },
       "la orientación de la estación 3"},
      // The zenith angle 1-3 is needed for the height of 3: its line's coefficient is free.
      {"refraction of a line with no zenith angle left",
       [](Builder& b) {
         b.AddVertex(3, false, 300.0, 700.0, -20.0);
         b.PlaceVertices(0.02);
         b.AddObservation(ObservationType::Distance, 1, 3, 0.005);
         b.AddObservation(ObservationType::Distance, 2, 3, 0.005);
         b.AddObservation(ObservationType::Zenith, 1, 3, 20.0);
         ObserveFourByGps(b);
       },
       "el coeficiente de refracción de la línea 1-3"},
      // An unknown deflection at a vertex that is the station of no angle.
      {"deflection without angles",
       [](Builder& b) {
         b.truth[2].deflectionUnknown = true;
         b.PlaceVertices(0.02);
         ObserveFourByGps(b);
       },
       "la componente EW de la desviación de la vertical del vértice 4"},
  };
  for (const Case& c : cases) {
    Builder b = TwoFixedAndOneByGps();
    c.build(b);
    Result<ObservationSystem> formed = FormObservationSystem(b.model, CalcOptions{});
    ASSERT_TRUE(formed.ok()) << c.name << ": " << formed.error();
    ASSERT_GT(formed->numEquations, formed->numUnknowns) << c.name;
    for (const MatrixKernels& kernels : {FastKernels(), DenseKernels()}) {
      Result<LeastSquaresResults> solved = SolveLeastSquares(*formed, nullptr, kernels);
      ASSERT_FALSE(solved.ok()) << c.name;
      EXPECT_EQ(solved.error(), Undetermined(c.unknown)) << c.name;
    }
  }
}

TEST(UndeterminedUnknowns, ImportedSystemNamesTheColumn) {
  // Column 3 is column 1 plus column 2.
  Matrix a(4, 3), k(4, 1), p(4, 4);
  const double rows[4][2] = {{1, 0}, {0, 1}, {1, 1}, {2, -1}};
  for (int i = 1; i <= 4; ++i) {
    a(i, 1) = rows[i - 1][0];
    a(i, 2) = rows[i - 1][1];
    a(i, 3) = a(i, 1) + a(i, 2);
    p(i, i) = 1.0;
  }
  Result<LeastSquaresResults> solved = SolveLeastSquares(ImportedObservationSystem(a, k, p, 4, 3));
  ASSERT_FALSE(solved.ok());
  EXPECT_EQ(solved.error(), Undetermined("la incógnita de la columna 3"));
}

TEST(UndeterminedUnknowns, WatchingLeavesARegularInverseBitForBit) {
  // A regular network's normal matrix: watched and unwatched inverses agree to the bit, and
  // no pivot comes anywhere near the threshold.
  const Builder b = testnet::GridNetwork(3, 3, 1, true, 1.0, 7);
  Result<ObservationSystem> formed = FormObservationSystem(b.model, CalcOptions{});
  ASSERT_TRUE(formed.ok());
  const ObservationSystem& s = *formed;
  const Matrix at = TransposeMatrix(s.A, s.numEquations, s.numUnknowns);
  const Matrix normal =
      MultiplyMatrices(MultiplyMatrices(at, s.P, s.numUnknowns, s.numEquations, s.numEquations), s.A,
                       s.numUnknowns, s.numEquations, s.numUnknowns);
  for (const MatrixKernels& kernels : {FastKernels(), DenseKernels()}) {
    PivotWatch watch;
    Result<Matrix> watched = kernels.invertWatched(normal, s.numUnknowns, watch);
    Result<Matrix> plain = kernels.invert(normal, s.numUnknowns);
    ASSERT_TRUE(watched.ok() && plain.ok());
    EXPECT_EQ(watch.weakColumn, 0);
    EXPECT_GT(watch.minRatio, 1e-4);
    for (int i = 1; i <= s.numUnknowns; ++i) {
      EXPECT_EQ(std::memcmp((*watched).RowData(i), (*plain).RowData(i), sizeof(double) * (s.numUnknowns + 1)), 0);
    }
  }
}

TEST(SparseRows, FormationRowsRebuildTheDenseMatrices) {
  const Builder b = testnet::GridNetwork(3, 3, 1, true, 1.0, 3);
  Result<ObservationSystem> dense = FormObservationSystem(b.model, CalcOptions{});
  Result<ObservationSystem> sparseOnly =
      FormObservationSystem(b.model, CalcOptions{}, FastKernels(), DenseMatrices::Skip);
  ASSERT_TRUE(dense.ok() && sparseOnly.ok());
  EXPECT_EQ(sparseOnly->A.rows(), 0);
  EXPECT_EQ(sparseOnly->P.rows(), 0);
  EXPECT_EQ(sparseOnly->k, dense->k);
  ASSERT_EQ(dense->sparseA.rows(), dense->numEquations);
  Matrix a(dense->numEquations, dense->numUnknowns), p(dense->numEquations, dense->numEquations);
  sparseOnly->sparseA.FillDense(a);
  sparseOnly->sparseP.FillDense(p);
  EXPECT_EQ(a, dense->A);
  EXPECT_EQ(p, dense->P);
  // A row holds at most two vertices' coordinates and the station's extra unknowns; every
  // non-zero element of A is listed.
  int nonZero = 0;
  for (int i = 1; i <= dense->numEquations; ++i) {
    EXPECT_LE(dense->sparseA.RowEnd(i) - dense->sparseA.RowBegin(i), 10u);
    for (int j = 1; j <= dense->numUnknowns; ++j) nonZero += dense->A(i, j) != 0.0 ? 1 : 0;
  }
  EXPECT_LE(static_cast<std::size_t>(nonZero), dense->sparseA.values.size());
}

TEST(ImportMatrices, WeightsThatAreNotPositiveDefiniteAreRefused) {
  // Symmetric part [[1, 2], [2, 1]]: eigenvalues 3 and −1, though both diagonal weights are
  // positive; the non-symmetric [[1, 3], [1, 1]] has that same symmetric part.
  auto write = [](const char* name, const char* text) {
    return testing::WriteTempFile(std::string("undetermined_p/") + name, text).string();
  };
  const std::string a = write("A.txt", "1 0\n0 1\n1 1\n");
  const std::string k = write("k.txt", "1\n2\n3\n");
  for (const char* weights : {"1 2 0\n2 1 0\n0 0 1\n", "1 3 0\n1 1 0\n0 0 1\n"}) {
    const std::string p = write("P.txt", weights);
    MatrixImportFailure kind = MatrixImportFailure::None;
    Result<ImportedMatrices> imported = ImportMatrices({a, k, p}, "", &kind);
    ASSERT_FALSE(imported.ok()) << weights;
    EXPECT_EQ(kind, MatrixImportFailure::MatrixCheck);
    EXPECT_NE(imported.error().find(Cp1252("La matriz P no es definida positiva")), std::string::npos);
  }
  const std::string positive = write("P.txt", "2 1 0\n1 2 0\n0 0 1\n");
  EXPECT_TRUE(ImportMatrices({a, k, positive}, "").ok());
}

}  // namespace
}  // namespace korvo
