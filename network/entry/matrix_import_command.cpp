#include "network/entry/matrix_import_command.h"

#include <QFile>

#include "app/dialog_service.h"
#include "app/qt_text.h"
#include "common/win1252.h"
#include "network/load_network.h"

namespace korvo {
namespace {

// The checks of the imported matrices (a zero row of A, P not square, a weight that is not
// positive, dimensions that do not agree) all speak of "un problema" with the matrices.
bool IsMatrixCheckFailure(const std::string& message) {
  return message.find(Cp1252("Existe un problema")) != std::string::npos;
}

// The matrix file reader's own messages: a file missing, too large, unreadable or with a
// decimal comma. Everything that is neither a matrix check nor the vertex kinds.
bool IsMatrixFileFailure(const std::string& message) {
  return !IsMatrixCheckFailure(message) && message != kLoadKindMismatchMessage;
}

}  // namespace

bool RunMatrixImport(QWidget* parent, const MatrixPaths& paths, ProjectState& state, const MatrixImportHooks& hooks) {
  MatrixImportPaths files;
  files.matrixA = QFile::encodeName(paths[0]).toStdString();
  files.vectorK = QFile::encodeName(paths[1]).toStdString();
  files.matrixP = QFile::encodeName(paths[2]).toStdString();
  Result<ImportedMatrices> imported = ImportMatrices(files, state.vertexListText);
  if (!imported) {
    // The matrix checks sound the bell with their message; a file that cannot be read also
    // means that no imported system stands any more.
    const std::string& message = imported.error();
    if (IsMatrixCheckFailure(message)) Dialogs().Beep();
    if (IsMatrixFileFailure(message)) state.matricesImported = false;
    Dialogs().ShowMessage(parent, FromCp1252(message), QString(), MessageIcon::Exclamation);
    return false;
  }
  state.projectText = imported->projectText;
  state.projectTooBig = imported->projectTooBig;
  if (state.projectTooBig) {
    Dialogs().ShowMessage(parent, FromCp1252(kProjectTooBigToShowMessage), QString(), MessageIcon::None);
  } else if (hooks.showProjectText) {
    hooks.showProjectText(state.projectText);
  }
  if (hooks.install) hooks.install(std::move(*imported));
  state.matricesImported = true;
  return true;
}

}  // namespace korvo
