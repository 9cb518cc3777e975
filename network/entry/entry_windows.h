#pragma once
// The two entry windows NuevoI and NuevoII and the matrix import window, as one unit that the
// main window drives: Nuevo starts an empty network, Editar reads a project file back into
// the lists, GUARDAR Y SALIR hands the saved file to the loader through a hook.
//
// The section texts live in the ProjectState; the windows show them and append to them.

#include <QObject>
#include <functional>
#include <string>

#include "matimport/import_matrices.h"
#include "matimport/import_window.h"
#include "network/project_state.h"

class QEvent;
class QWidget;

namespace korvo {

class NuevoIWindow;
class NuevoIIWindow;

struct EntryHooks {
  // After GUARDAR Y SALIR wrote the file: load it as "Abrir" would (LoadNetwork).
  std::function<void(const std::string& path)> loadProject;
  // After frmImport imported the three matrix files: keep the imported system and vertex
  // table for the next Calcular (the main window owns them).
  std::function<void(ImportedMatrices&& imported)> installImportedMatrices;
  // Show a project text (Windows-1252) in the main window's text pane.
  std::function<void(const std::string& projectText)> showProjectText;
};

class EntryWindows : public QObject {
  Q_OBJECT
 public:
  EntryWindows(ProjectState& state, EntryHooks hooks, QWidget* parent = nullptr);
  ~EntryWindows() override;

  void SetHooks(EntryHooks hooks) { hooks_ = std::move(hooks); }

  // Nuevo: ProjectTooBig := false, the three section texts emptied, NuevoI shown with empty
  // fields and lists.
  void StartNewNetwork();

  // Editar, once the chooser has given a path: the file's three sections go into the section
  // texts and the lists, and both windows are shown; the network is not loaded. A file that
  // cannot be read, or whose section titles are missing, is reported and changes nothing.
  // EditMode is false afterwards in every case. Returns whether the windows were opened.
  bool EditProjectFile(const std::string& path);

  NuevoIWindow* NuevoI() const { return nuevoI_; }
  NuevoIIWindow* NuevoII() const { return nuevoII_; }
  ImportWindow* Import() const { return import_; }
  ProjectState& State() const { return state_; }

 protected:
  // Closing the last entry window open leaves the entry: typed entries never saved go only
  // when the user says so, and then they are discarded.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void GoToObservations();
  void GoToVertices();
  void OpenMatrixImport();

  ProjectState& state_;
  EntryHooks hooks_;
  NuevoIWindow* nuevoI_ = nullptr;
  NuevoIIWindow* nuevoII_ = nullptr;
  ImportWindow* import_ = nullptr;
};

// Entries typed in the entry windows and never saved are lost only when the user says so:
// the question asked before Nuevo, before leaving the program and before closing the entry
// windows. True when there is nothing to lose or the user answered Yes.
bool MayDiscardEntries(QWidget* parent, const ProjectState& state);

// The process-wide entry windows, created on first use for `state` (the main window's single
// project state). The hooks apply to the instance from then on.
void SetEntryHooks(EntryHooks hooks);
EntryWindows& EntryWindowsFor(ProjectState& state);

// Shorthands for the main window's commands.
bool EditProjectFile(const std::string& path, ProjectState& state);

}  // namespace korvo
