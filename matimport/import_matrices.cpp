#include "matimport/import_matrices.h"

#include "common/text.h"
#include "common/win1252.h"
#include "engine/svd.h"
#include "matimport/matrix_file.h"
#include "network/load_network.h"
#include "network/project_state.h"

namespace korvo {
namespace {

const std::string kCrLfText(kCrLf);

std::string Count(int value) { return std::to_string(value); }

std::string ZeroRowMessage(int row) {
  return Cp1252("¡ Existe un problema en la matriz A importada !") + kCrLfText + kCrLfText +
         Cp1252("Se ha intentado formar una ecuación entre puntos fijos.") + kCrLfText +
         "Hay una fila de ceros: Fila " + Count(row);
}

std::string NotSquareMessage() {
  return Cp1252("¡ Existe un problema con las dimensiones de la matriz P importada !") + kCrLfText +
         Cp1252("¡ La matriz P no es cuadrada !");
}

std::string WeightMessage(int row) {
  return Cp1252("¡ Existe un problema con los pesos !") + kCrLfText + kCrLfText +
         "Hay un peso negativo o nulo: Fila " + Count(row);
}

std::string NotPositiveDefiniteMessage() {
  return Cp1252("¡ Existe un problema con los pesos !") + kCrLfText + kCrLfText +
         Cp1252("La matriz P no es definida positiva: su parte simétrica tiene algún valor propio negativo o nulo.");
}

std::string DimensionMessage(const Matrix& a, const Matrix& k, const Matrix& p) {
  return kCrLfText + Cp1252("¡ Existe un problema con las dimensiones de las matrices importadas ! ") + kCrLfText +
         kCrLfText + "Matriz A: " + Count(a.rows()) + " x " + Count(a.cols()) + kCrLfText + "Matriz K: " +
         Count(k.rows()) + " x " + Count(k.cols()) + kCrLfText + "Matriz P: " + Count(p.rows()) + " x " +
         Count(p.rows());
}

// The first row of A whose elements are all exactly 0, or 0.
int FirstZeroRow(const Matrix& a) {
  for (int i = 1; i <= a.rows(); ++i) {
    bool allZero = true;
    for (int j = 1; j <= a.cols() && allZero; ++j) allZero = a(i, j) == 0.0;
    if (allZero) return i;
  }
  return 0;
}

}  // namespace

std::string ImportedProjectText(const std::string& vertexListText, const MatrixImportPaths& paths) {
  TextBuilder text(vertexListText.size() + 64 + paths.matrixA.size() + paths.vectorK.size() + paths.matrixP.size());
  text << vertexListText << kCrLf << "MATRICES IMPORTADAS:" << kCrLf;
  for (const std::string* path : {&paths.matrixA, &paths.vectorK, &paths.matrixP}) text << "    " << *path << kCrLf;
  text << "    ";
  return std::move(text).str();
}

Result<ImportedMatrices> ImportMatrices(const MatrixImportPaths& paths, const std::string& vertexListText,
                                        MatrixImportFailure* failureKind) {
  const auto fail = [failureKind](MatrixImportFailure kind, std::string message) {
    if (failureKind != nullptr) *failureKind = kind;
    return Failure{std::move(message)};
  };
  if (failureKind != nullptr) *failureKind = MatrixImportFailure::None;

  Result<Matrix> a = ReadMatrixFile(paths.matrixA);
  if (!a) return fail(MatrixImportFailure::FileRead, a.error());
  if (const int row = FirstZeroRow(*a); row != 0) return fail(MatrixImportFailure::MatrixCheck, ZeroRowMessage(row));

  Result<Matrix> kFile = ReadMatrixFile(paths.vectorK);
  if (!kFile) return fail(MatrixImportFailure::FileRead, kFile.error());

  Result<Matrix> p = ReadMatrixFile(paths.matrixP);
  if (!p) return fail(MatrixImportFailure::FileRead, p.error());
  if (p->rows() != p->cols()) return fail(MatrixImportFailure::MatrixCheck, NotSquareMessage());
  for (int i = 1; i <= p->rows(); ++i)
    if (!((*p)(i, i) > 0.0)) return fail(MatrixImportFailure::MatrixCheck, WeightMessage(i));

  if (a->rows() != kFile->rows() || a->rows() != p->rows()) {
    return fail(MatrixImportFailure::MatrixCheck, DimensionMessage(*a, *kFile, *p));
  }
  // Weights whose quadratic form is not positive have no meaning: σ0 would come out
  // negative or NaN. The decomposition the robust estimators use tells (block by block).
  if (!SingularValueDecomposition(*p)) return fail(MatrixImportFailure::MatrixCheck, NotPositiveDefiniteMessage());

  ImportedMatrices imported;
  imported.projectText = ImportedProjectText(vertexListText, paths);
  imported.projectTooBig = imported.projectText.size() >= kProjectDisplayLimit;

  Result<NetworkModel> vertices = LoadNetworkFromText(vertexListText);
  if (!vertices) return fail(MatrixImportFailure::VertexList, vertices.error());
  imported.network = std::move(vertices).value();
  imported.network.classical.clear();
  imported.network.baselines.clear();

  const int n = a->rows();
  const int m = a->cols();
  Matrix k(n, 1);
  for (int i = 1; i <= n; ++i) k(i, 1) = (*kFile)(i, 1);
  imported.system = ImportedObservationSystem(std::move(a).value(), std::move(k), std::move(p).value(), n, m);
  return imported;
}

}  // namespace korvo
