// Importing an observation system from its A, k and P files.
#include "test_support/test_temp.h"
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "common/win1252.h"
#include "engine/least_squares.h"
#include "matimport/import_matrices.h"
#include "network/load_network.h"
#include "network/network_model.h"
#include "network/project_lines.h"
#include "network/project_state.h"

namespace korvo {
namespace {

std::string VertexLine(const char* number, const std::string& kind, bool deflectionUnknown) {
  VertexLineFields fields{number, kind, "4800000.123", "300000.5", "4100000.25", "1.5", "-2", deflectionUnknown};
  return BuildVertexLine(fields).value();
}

std::string TwoVertexList() {
  return VertexLine("1", kKindFixed, false) + VertexLine("12", kKindUnknown, true);
}

class ImportMatricesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = korvo::testing::TestTempRoot() /
              (std::string("korvo_import_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
    // A mean of three values: n = 3, m = 1.
    paths_ = {Write("a.txt", "1\r\n1\r\n1\r\n"), Write("k.txt", "1;7\r\n2;8\r\n4;9\r\n"),
              Write("p.txt", "1 0 0\r\n0 1 0\r\n0 0 2\r\n")};
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  std::filesystem::path folder_;
  MatrixImportPaths paths_;
};

TEST_F(ImportMatricesTest, InstallsTheSystemTheVerticesAndTheProjectText) {
  Result<ImportedMatrices> imported = ImportMatrices(paths_, TwoVertexList());
  ASSERT_TRUE(imported.ok()) << imported.error();
  const ObservationSystem& s = imported->system;
  EXPECT_EQ(s.numEquations, 3);
  EXPECT_EQ(s.numUnknowns, 1);
  EXPECT_FALSE(s.formedFromNetwork);
  EXPECT_EQ(s.classicalCount, 0);
  EXPECT_EQ(s.gpsCount, 0);
  EXPECT_EQ(s.k.cols(), 1);  // only the first column of the k file
  EXPECT_EQ(s.k(1, 1), 1.0);
  EXPECT_EQ(s.k(3, 1), 4.0);
  EXPECT_EQ(s.P(3, 3), 2.0);

  ASSERT_EQ(imported->network.vertices.size(), 2u);
  EXPECT_EQ(imported->network.vertices[1].number, 12);
  EXPECT_TRUE(imported->network.vertices[1].IsUnknown());
  EXPECT_TRUE(imported->network.vertices[1].deflectionUnknown);
  EXPECT_EQ(imported->network.vertices[0].xM, 4800000.123);
  EXPECT_EQ(imported->network.ClassicalCount(), 0);
  EXPECT_EQ(imported->network.GpsCount(), 0);

  EXPECT_EQ(imported->projectText, TwoVertexList() + "\r\nMATRICES IMPORTADAS:\r\n    " + paths_.matrixA + "\r\n    " +
                                       paths_.vectorK + "\r\n    " + paths_.matrixP + "\r\n    ");
  EXPECT_FALSE(imported->projectTooBig);

  // The weighted mean (1 + 2 + 2·4)/4 = 2.75.
  const LeastSquaresResults ls = SolveLeastSquares(s).value();
  EXPECT_NEAR(ls.corrections[1], 2.75, 1e-15);
}

TEST_F(ImportMatricesTest, LongProjectTextIsFlaggedTooBig) {
  std::string list;
  while (list.size() < kProjectDisplayLimit) list += VertexLine("3", kKindUnknown, false);
  Result<ImportedMatrices> imported = ImportMatrices(paths_, list);
  ASSERT_TRUE(imported.ok()) << imported.error();
  EXPECT_TRUE(imported->projectTooBig);
}

TEST_F(ImportMatricesTest, EveryCheckGivesItsMessageInOrder) {
  const std::string crlf = "\r\n";
  struct Case {
    const char* what;
    std::string a, k, p;
    std::string message;  // empty: computed below from the paths
  };
  const std::string square3 = "1 0 0\r\n0 1 0\r\n0 0 1\r\n";
  const Case cases[] = {
      {"zero row of A (the first one named)", "1 2\r\n0 0\r\n3 4\r\n0 0\r\n", "1\r\n2\r\n3\r\n4\r\n", square3,
       Cp1252("¡ Existe un problema en la matriz A importada !\r\n\r\nSe ha intentado formar una ecuación entre "
              "puntos fijos.\r\nHay una fila de ceros: Fila 2")},
      {"P not square", "1\r\n1\r\n1\r\n", "1\r\n2\r\n3\r\n", "1 0 0 0\r\n0 1 0 0\r\n0 0 1 0\r\n",
       Cp1252("¡ Existe un problema con las dimensiones de la matriz P importada !\r\n¡ La matriz P no es cuadrada !")},
      {"zero weight", "1\r\n1\r\n1\r\n", "1\r\n2\r\n3\r\n", "1 0 0\r\n0 0 0\r\n0 0 1\r\n",
       Cp1252("¡ Existe un problema con los pesos !\r\n\r\nHay un peso negativo o nulo: Fila 2")},
      {"negative weight beats the dimensions", "1\r\n1\r\n", "1\r\n2\r\n3\r\n", "1 0 0\r\n0 1 0\r\n0 0 -1\r\n",
       Cp1252("¡ Existe un problema con los pesos !\r\n\r\nHay un peso negativo o nulo: Fila 3")},
      {"A 5 rows, k 4 rows", "1 0\r\n0 1\r\n1 1\r\n1 -1\r\n2 1\r\n", "1 5\r\n2 5\r\n3 5\r\n4 5\r\n",
       "1 0 0 0 0\r\n0 1 0 0 0\r\n0 0 1 0 0\r\n0 0 0 1 0\r\n0 0 0 0 1\r\n",
       Cp1252("\r\n¡ Existe un problema con las dimensiones de las matrices importadas ! \r\n\r\nMatriz A: 5 x 2\r\n"
              "Matriz K: 4 x 2\r\nMatriz P: 5 x 5")},
  };
  for (const Case& c : cases) {
    const MatrixImportPaths paths{Write("ca.txt", c.a), Write("ck.txt", c.k), Write("cp.txt", c.p)};
    Result<ImportedMatrices> imported = ImportMatrices(paths, TwoVertexList());
    ASSERT_FALSE(imported.ok()) << c.what;
    EXPECT_EQ(imported.error(), c.message) << c.what;
  }
}

TEST_F(ImportMatricesTest, ReaderFailuresNameTheirFile) {
  const std::string missing = (folder_ / "falta.txt").string();
  const std::string comma = Write("coma.txt", "1\r\n2,5\r\n3\r\n");
  struct Case {
    MatrixImportPaths paths;
    std::string message;
  } cases[] = {
      {{missing, paths_.vectorK, paths_.matrixP}, Cp1252("¡ El fichero ") + missing + " no existe !"},
      {{paths_.matrixA, comma, paths_.matrixP},
       Cp1252("El formato de los elementos de las matrices no es correcto:\r\n\r\nEn ") + comma +
           " hay alguna ',' como separador decimal."},
      {{paths_.matrixA, paths_.vectorK, missing}, Cp1252("¡ El fichero ") + missing + " no existe !"},
  };
  for (const Case& c : cases) {
    Result<ImportedMatrices> imported = ImportMatrices(c.paths, TwoVertexList());
    ASSERT_FALSE(imported.ok());
    EXPECT_EQ(imported.error(), c.message);
  }
}

// Each file is read and checked before the next is opened: A (read, zero rows), then k, then P
// (read, square, weights), then the dimensions of the three together.
TEST_F(ImportMatricesTest, ChecksFollowTheOrderOfTheFiles) {
  const std::string missing = (folder_ / "falta.txt").string();
  const std::string zeroRowA = Write("cero.txt", "1\r\n0\r\n1\r\n");
  const std::string commaK = Write("coma.txt", "1\r\n2,5\r\n3\r\n");
  const std::string notSquareP = Write("p34.txt", "1 0 0 0\r\n0 1 0 0\r\n0 0 1 0\r\n");
  const std::string zeroWeightFourRows = Write("p44.txt", "1 0 0 0\r\n0 1 0 0\r\n0 0 0 0\r\n0 0 0 1\r\n");
  const std::string zeroRowMessage =
      Cp1252("¡ Existe un problema en la matriz A importada !\r\n\r\nSe ha intentado formar una ecuación entre "
             "puntos fijos.\r\nHay una fila de ceros: Fila 2");
  const std::string missingMessage = Cp1252("¡ El fichero ") + missing + " no existe !";
  struct Case {
    const char* what;
    MatrixImportPaths paths;
    std::string message;
  } cases[] = {
      {"zero row of A before a missing k", {zeroRowA, missing, notSquareP}, zeroRowMessage},
      {"missing k before a P that is not square", {paths_.matrixA, missing, notSquareP}, missingMessage},
      {"comma in k before a missing P", {paths_.matrixA, commaK, missing},
       Cp1252("El formato de los elementos de las matrices no es correcto:\r\n\r\nEn ") + commaK +
           " hay alguna ',' como separador decimal."},
      {"P not square before the dimensions", {paths_.matrixA, paths_.vectorK, notSquareP},
       Cp1252("¡ Existe un problema con las dimensiones de la matriz P importada !\r\n¡ La matriz P no es cuadrada !")},
      {"zero weight before the dimensions", {paths_.matrixA, paths_.vectorK, zeroWeightFourRows},
       Cp1252("¡ Existe un problema con los pesos !\r\n\r\nHay un peso negativo o nulo: Fila 3")},
  };
  for (const Case& c : cases) {
    Result<ImportedMatrices> imported = ImportMatrices(c.paths, TwoVertexList());
    ASSERT_FALSE(imported.ok()) << c.what;
    EXPECT_EQ(imported.error(), c.message) << c.what;
  }
}

TEST_F(ImportMatricesTest, VertexKindsThatDoNotAddUpStopTheImport) {
  std::string list = TwoVertexList();
  list.replace(list.find("(Fijo)"), 6, "(Fxjo)");
  Result<ImportedMatrices> imported = ImportMatrices(paths_, list);
  ASSERT_FALSE(imported.ok());
  EXPECT_EQ(imported.error(), kLoadKindMismatchMessage);
}

// A system written out as matrix files and imported again gives the same solution.
TEST_F(ImportMatricesTest, ExportedSystemImportsToTheSameSolution) {
  const int n = 6, m = 2;
  const double a[n][m] = {{1, 0}, {0, 1}, {1, 1}, {1, -1}, {2, 1}, {0.5, 3}};
  const double k[n] = {0.013, -0.021, 0.004, 0.0305, -0.017, 0.0071};
  const double p[n][n] = {{4, 0, 0, 0, 0, 0},     {0, 2.5, 0, 0, 0, 0},     {0, 0, 3, 1.2, -0.4, 0},
                          {0, 0, 1.2, 5, 0.7, 0}, {0, 0, -0.4, 0.7, 2, 0}, {0, 0, 0, 0, 0, 1}};
  auto text = [](auto element, int rows, int cols, const char* separator) {
    std::string out;
    char buffer[40];
    for (int i = 0; i < rows; ++i) {
      for (int j = 0; j < cols; ++j) {
        std::snprintf(buffer, sizeof buffer, "%.17g", element(i, j));
        out += (j ? separator : "") + std::string(buffer);
      }
      out += "\r\n";
    }
    return out;
  };
  const MatrixImportPaths paths{Write("xa.txt", text([&](int i, int j) { return a[i][j]; }, n, m, ";")),
                                Write("xk.txt", text([&](int i, int) { return k[i]; }, n, 1, " ")),
                                Write("xp.txt", text([&](int i, int j) { return p[i][j]; }, n, n, "\t"))};
  Matrix am(n, m), km(n, 1), pm(n, n);
  for (int i = 1; i <= n; ++i) {
    km(i, 1) = k[i - 1];
    for (int j = 1; j <= m; ++j) am(i, j) = a[i - 1][j - 1];
    for (int j = 1; j <= n; ++j) pm(i, j) = p[i - 1][j - 1];
  }
  const LeastSquaresResults direct = SolveLeastSquares(ImportedObservationSystem(am, km, pm, n, m)).value();
  Result<ImportedMatrices> imported = ImportMatrices(paths, "");
  ASSERT_TRUE(imported.ok()) << imported.error();
  const LeastSquaresResults again = SolveLeastSquares(imported->system).value();
  EXPECT_EQ(again.corrections, direct.corrections);
  EXPECT_EQ(again.residuals, direct.residuals);
  EXPECT_EQ(again.sigmaZero, direct.sigmaZero);
}

TEST_F(ImportMatricesTest, FailureKindSaysWhetherAFileOrACheckFailed) {
  struct Case {
    const char* what;
    MatrixImportPaths paths;
    std::string vertices;
    MatrixImportFailure expected;
  } cases[] = {
      {"all good", paths_, TwoVertexList(), MatrixImportFailure::None},
      {"missing A", {paths_.matrixA + ".no", paths_.vectorK, paths_.matrixP}, "", MatrixImportFailure::FileRead},
      {"comma in k", {paths_.matrixA, Write("kc.txt", "1,5\r\n2\r\n4\r\n"), paths_.matrixP}, "",
       MatrixImportFailure::FileRead},
      {"zero row of A", {Write("a0.txt", "1\r\n0\r\n1\r\n"), paths_.vectorK, paths_.matrixP}, "",
       MatrixImportFailure::MatrixCheck},
      {"P not square", {paths_.matrixA, paths_.vectorK, Write("p2.txt", "1 0\r\n0 1\r\n0 0\r\n")}, "",
       MatrixImportFailure::MatrixCheck},
      {"vertex kinds", paths_, "Punto   1 (roto)\r\n", MatrixImportFailure::VertexList},
  };
  for (const Case& c : cases) {
    MatrixImportFailure kind = MatrixImportFailure::FileRead;
    const Result<ImportedMatrices> imported = ImportMatrices(c.paths, c.vertices, &kind);
    EXPECT_EQ(imported.ok(), c.expected == MatrixImportFailure::None) << c.what;
    EXPECT_EQ(kind, c.expected) << c.what;
  }
}

}  // namespace
}  // namespace korvo
