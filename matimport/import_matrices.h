#pragma once
// Installing an observation system given as three matrix files: the design matrix A, the
// independent terms k and the weights P. The unknowns are expected in the order
// dX1, dY1, dZ1, ..., dXn, dYn, dZn, xy1, eta1, ..., xyn, etan, K, K', K'', ...
//
// The import is all or nothing: every file is read and every check passes before anything
// is returned, so a failed import leaves the current system, network and project untouched.

#include <string>

#include "common/result.h"
#include "engine/observation_system.h"
#include "network/network_model.h"

namespace korvo {

struct MatrixImportPaths {
  std::string matrixA;  // MatrixAPath
  std::string vectorK;  // VectorKPath
  std::string matrixP;  // MatrixPPath
};

// What a successful import installs.
struct ImportedMatrices {
  ObservationSystem system;  // A, k (first column of the k file), P; no classical or GPS rows
  NetworkModel network;      // the vertex table of the entry window's vertex list, no observations
  std::string projectText;   // vertex list, "MATRICES IMPORTADAS:" and the three paths
  bool projectTooBig = false;  // projectText is too long for the text pane: show
                               // kProjectTooBigToShowMessage instead of it
};

// Reads and checks the three files in the order A, k, P, then loads the vertex table from
// `vertexListText` (the vertex section of the entry window). Failures carry the exact
// message of the first problem found (reader messages, zero row of A, P not square,
// non-positive weight, inconsistent dimensions, P whose symmetric part is not positive
// definite, vertex kinds).
//
// When `failureKind` is given it receives what kind of problem ended the import: the window
// sounds the bell for the matrix checks and forgets an earlier imported system when a file
// could not be read.
enum class MatrixImportFailure { None, FileRead, MatrixCheck, VertexList };
Result<ImportedMatrices> ImportMatrices(const MatrixImportPaths& paths, const std::string& vertexListText,
                                        MatrixImportFailure* failureKind = nullptr);

// The ProjectText of an imported system.
std::string ImportedProjectText(const std::string& vertexListText, const MatrixImportPaths& paths);

}  // namespace korvo
