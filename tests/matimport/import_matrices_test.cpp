// Importing an observation system from its A, k and P files.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "common/win1252.h"
#include "engine/least_squares.h"
#include "matimport/import_matrices.h"
#include "network/load_network.h"
#include "network/project_lines.h"
#include "network/project_state.h"
#include "support/files.h"
#include "support/matrices.h"

namespace korvo {
namespace {

std::string VertexLine(const char* number, const std::string& kind, bool deflectionUnknown) {
  return BuildVertexLine({number, kind, "4800000.123", "300000.5", "4100000.25", "1.5", "-2", deflectionUnknown}).value();
}

std::string TwoVertexList() { return VertexLine("1", kKindFixed, false) + VertexLine("12", kKindUnknown, true); }

std::string Write(const std::string& name, const std::string& bytes) {
  return korvo::testing::WriteTempFile("import/" + name, bytes).string();
}

// A mean of three values: n = 3, m = 1.
const MatrixImportPaths& Mean() {
  static const MatrixImportPaths paths{Write("a.txt", "1\r\n1\r\n1\r\n"), Write("k.txt", "1;7\r\n2;8\r\n4;9\r\n"),
                                       Write("p.txt", "1 0 0\r\n0 1 0\r\n0 0 2\r\n")};
  return paths;
}

// The system, the vertex list and the project text installed; then a system written with three
// separators and imported again gives the same solution, bit for bit.
TEST(ImportMatrices, InstallsTheSystemTheVerticesAndTheProjectText) {
  Result<ImportedMatrices> imported = ImportMatrices(Mean(), TwoVertexList());
  ASSERT_TRUE(imported.ok()) << imported.error();
  // The weighted mean of the first column of k, (1 + 2 + 2·4)/4 = 2.75.
  EXPECT_NEAR(SolveLeastSquares(imported->system).value().corrections[1], 2.75, 1e-15);
  // The vertex list as the loader reads it (its fields are the loader's tests').
  ASSERT_EQ(imported->network.vertices.size(), 2u);
  EXPECT_EQ(imported->network.vertices[1].number, 12);
  EXPECT_EQ(imported->projectText, TwoVertexList() + "\r\nMATRICES IMPORTADAS:\r\n    " + Mean().matrixA + "\r\n    " +
                                       Mean().vectorK + "\r\n    " + Mean().matrixP + "\r\n    ");
  EXPECT_FALSE(imported->projectTooBig);
  std::string list;
  while (list.size() < kProjectDisplayLimit) list += VertexLine("3", kKindUnknown, false);
  EXPECT_TRUE(ImportMatrices(Mean(), list).value().projectTooBig);

  const Matrix a = testing::FromRows({{1, 0}, {0, 1}, {1, 1}, {1, -1}, {2, 1}, {0.5, 3}});
  const Matrix k = testing::Column({0.013, -0.021, 0.004, 0.0305, -0.017, 0.0071});
  const Matrix p = testing::FromRows({{4, 0, 0, 0, 0, 0}, {0, 2.5, 0, 0, 0, 0}, {0, 0, 3, 1.2, -0.4, 0},
                                      {0, 0, 1.2, 5, 0.7, 0}, {0, 0, -0.4, 0.7, 2, 0}, {0, 0, 0, 0, 0, 1}});
  auto text = [](const Matrix& m, const char* separator) {
    std::ostringstream out;
    out.precision(17);
    for (int i = 1; i <= m.rows(); ++i, out << "\r\n") {
      for (int j = 1; j <= m.cols(); ++j) out << (j > 1 ? separator : "") << m(i, j);
    }
    return out.str();
  };
  const MatrixImportPaths paths{Write("xa.txt", text(a, ";")), Write("xk.txt", text(k, " ")),
                                Write("xp.txt", text(p, "\t"))};
  const LeastSquaresResults direct = SolveLeastSquares(ImportedObservationSystem(a, k, p, 6, 2)).value();
  Result<ImportedMatrices> written = ImportMatrices(paths, "");
  ASSERT_TRUE(written.ok()) << written.error();
  const LeastSquaresResults again = SolveLeastSquares(written->system).value();
  EXPECT_EQ(again.corrections, direct.corrections);
  EXPECT_EQ(again.residuals, direct.residuals);
  EXPECT_EQ(again.sigmaZero, direct.sigmaZero);
}

// Each file is read and checked before the next: A, k, P, their dimensions, the vertex list.
TEST(ImportMatrices, EveryCheckGivesItsMessageAndKindInOrder) {
  const std::string missing = (korvo::testing::TestTempRoot() / "import" / "falta.txt").string();
  const std::string comma = Write("coma.txt", "1\r\n2,5\r\n3\r\n");
  const std::string zeroRowA = Write("cero.txt", "1 2\r\n0 0\r\n3 4\r\n");
  const std::string notSquareP = Write("p34.txt", "1 0 0 0\r\n0 1 0 0\r\n0 0 1 0\r\n");
  std::string badKinds = TwoVertexList();
  badKinds.replace(badKinds.find("(Fijo)"), 6, "(Fxjo)");
  using F = MatrixImportFailure;
  const MatrixImportPaths& mean = Mean();
  const struct {
    MatrixImportPaths paths;
    MatrixImportFailure kind;
    std::string vertices = TwoVertexList();
  } cases[] = {
      {{missing, mean.vectorK, mean.matrixP}, F::FileRead},
      {{zeroRowA, missing, notSquareP}, F::MatrixCheck},           // A before a missing k
      {{mean.matrixA, missing, notSquareP}, F::FileRead},          // k before a P that is not square
      {{mean.matrixA, comma, missing}, F::FileRead},               // k before a missing P
      {{mean.matrixA, Write("irregular.txt", "1\r\n2 3\r\n"), mean.matrixP}, F::FileRead},  // named by the import
      {{mean.matrixA, mean.vectorK, notSquareP}, F::MatrixCheck},  // P before the dimensions
      {{mean.matrixA, mean.vectorK, Write("p44.txt", "1 0 0 0\r\n0 1 0 0\r\n0 0 0 0\r\n0 0 0 1\r\n")}, F::MatrixCheck},
      {{Write("a5.txt", "1 0\r\n0 1\r\n1 1\r\n1 -1\r\n2 1\r\n"), Write("k4.txt", "1 5\r\n2 5\r\n3 5\r\n4 5\r\n"),
        Write("p5.txt", "1 0 0 0 0\r\n0 1 0 0 0\r\n0 0 1 0 0\r\n0 0 0 1 0\r\n0 0 0 0 1\r\n")},
       F::MatrixCheck},
      {mean, F::VertexList, badKinds},  // vertex kinds that do not add up
  };
  std::string messages;
  for (const auto& c : cases) {
    MatrixImportFailure kind = F::None;
    const Result<ImportedMatrices> imported = ImportMatrices(c.paths, c.vertices, &kind);
    ASSERT_FALSE(imported.ok()) << c.paths.matrixA;
    messages += imported.error() + "\n--\n";
    EXPECT_EQ(kind, c.kind) << imported.error();
  }
  const std::string folder = (korvo::testing::TestTempRoot() / "import").string();
  EXPECT_EQ(testing::ReplacedAll(messages, folder, "<temporal>"),
            Cp1252(testing::Golden("matrix_import_refusals.txt")));
}

}  // namespace
}  // namespace korvo
