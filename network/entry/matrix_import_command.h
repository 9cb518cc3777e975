#pragma once
// Aceptar of frmImport: the three matrix files become the observation system that the next
// Calcular solves, and the vertex list of NuevoI becomes the vertex table.

#include <functional>
#include <string>

#include "matimport/import_matrices.h"
#include "matimport/import_window.h"
#include "network/project_state.h"

class QWidget;

namespace korvo {

struct MatrixImportHooks {
  // Keeps the imported system and vertex table (the main window owns them).
  std::function<void(ImportedMatrices&& imported)> install;
  // Shows the project text (Windows-1252) in the main window's text pane.
  std::function<void(const std::string& projectText)> showProjectText;
};

// Imports the three files named in frmImport with the vertex list of the entry window. A
// failure beeps and shows its message; the import is all or nothing, so the system and flags
// in place stay as they were. On success ProjectText is set and shown (or, when too large,
// the size message is shown and ProjectTooBig set), the system is installed and
// MatricesImported becomes true. Returns whether the import succeeded.
bool RunMatrixImport(QWidget* parent, const MatrixPaths& paths, ProjectState& state, const MatrixImportHooks& hooks);

}  // namespace korvo
