#include "network/entry/matrix_import_command.h"

#include <QFile>

#include "app/dialog_service.h"
#include "app/qt_text.h"
#include "network/load_network.h"

namespace korvo {
bool RunMatrixImport(QWidget* parent, const MatrixPaths& paths, ProjectState& state, const MatrixImportHooks& hooks) {
  MatrixImportPaths files;
  files.matrixA = QFile::encodeName(paths[0]).toStdString();
  files.vectorK = QFile::encodeName(paths[1]).toStdString();
  files.matrixP = QFile::encodeName(paths[2]).toStdString();
  MatrixImportFailure failure = MatrixImportFailure::None;
  Result<ImportedMatrices> imported = ImportMatrices(files, state.vertexListText, &failure);
  if (!imported) {
    // The matrix checks sound the bell with their message; a file that cannot be read also
    // means that no imported system stands any more.
    if (failure == MatrixImportFailure::MatrixCheck) Dialogs().Beep();
    if (failure == MatrixImportFailure::FileRead) state.matricesImported = false;
    Dialogs().ShowMessage(parent, FromCp1252(imported.error()), QString(), MessageIcon::Exclamation);
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
