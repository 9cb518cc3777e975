#include "network/entry/entry_windows.h"

#include "network/entry/matrix_import_command.h"

#include <QCloseEvent>

#include "app/dialog_service.h"
#include "app/qt_text.h"
#include "network/entry/nuevo1_window.h"
#include "network/entry/nuevo2_window.h"
#include "network/project_file.h"

namespace korvo {
namespace {

QString MissingTitlesMessage(const std::string& path) {
  return QStringLiteral(
             "El fichero %1 no contiene los títulos \"VÉRTICES DE LA RED\", \"OBSERVACIONES CLÁSICAS\" y "
             "\"OBSERVACIONES GPS\" en ese orden, así que no es un fichero de datos que se pueda editar. "
             "No se ha abierto, para no guardar sobre él unas listas vacías.")
      .arg(QString::fromLocal8Bit(path.c_str()));
}

}  // namespace

bool MayDiscardEntries(QWidget* parent, const ProjectState& state) {
  if (!HasUnsavedEntries(state)) return true;
  return Dialogs().AskYesNo(parent,
                            QStringLiteral(" Hay entradas de datos que no se han guardado. \r\n"
                                           " ¿Desea descartarlas? "),
                            QString(), MessageIcon::Question, false);
}

EntryWindows::EntryWindows(ProjectState& state, EntryHooks hooks, QWidget* parent)
    : QObject(parent), state_(state), hooks_(std::move(hooks)) {
  nuevoI_ = new NuevoIWindow(state_, parent);
  nuevoII_ = new NuevoIIWindow(state_, parent);
  import_ = new ImportWindow(parent);
  nuevoI_->SetGoNext([this] { GoToObservations(); });
  NuevoIIWindow::Hooks windowHooks;
  windowHooks.goBack = [this] { GoToVertices(); };
  windowHooks.openMatrixImport = [this] { OpenMatrixImport(); };
  windowHooks.closedAfterSave = [this] { nuevoI_->hide(); };
  windowHooks.loadProject = [this](const std::string& path) {
    if (hooks_.loadProject) hooks_.loadProject(path);
  };
  nuevoII_->SetHooks(std::move(windowHooks));
  nuevoI_->installEventFilter(this);
  nuevoII_->installEventFilter(this);
  import_->SetImporter([this](const MatrixPaths& paths) {
    RunMatrixImport(nuevoII_, paths, state_, {hooks_.installImportedMatrices, hooks_.showProjectText});
  });
}

EntryWindows::~EntryWindows() {
  // Without a parent the windows are owned here.
  if (parent() == nullptr) {
    delete import_;
    delete nuevoII_;
    delete nuevoI_;
  }
}

void EntryWindows::StartNewNetwork() {
  state_.projectTooBig = false;
  state_.vertexListText.clear();
  state_.classicalListText.clear();
  state_.gpsListText.clear();
  nuevoII_->hide();
  nuevoII_->ClearClassicalFields();
  nuevoII_->ClearGpsFields();
  nuevoII_->OpenFresh();
  nuevoI_->ClearFields();
  nuevoI_->OpenFresh();
  nuevoI_->show();
  nuevoI_->raise();
}

bool EntryWindows::EditProjectFile(const std::string& path) {
  state_.editMode = false;
  Result<ProjectSections> sections = SplitProjectFile(path);
  if (!sections) {
    Dialogs().ShowMessage(nuevoI_, FromCp1252(sections.error()), QString(), MessageIcon::None);
    return false;
  }
  if (!sections->titlesFound) {
    Dialogs().ShowMessage(nuevoI_, MissingTitlesMessage(path), QString(), MessageIcon::Exclamation);
    return false;
  }
  state_.projectFilePath = path;
  state_.vertexListText = std::move(sections->vertexListText);
  state_.classicalListText = std::move(sections->classicalListText);
  state_.gpsListText = std::move(sections->gpsListText);
  MarkListsSaved(state_);
  nuevoI_->ClearFields();
  nuevoI_->OpenFresh();
  nuevoII_->ClearClassicalFields();
  nuevoII_->ClearGpsFields();
  nuevoII_->OpenFresh();
  nuevoI_->show();
  nuevoII_->show();
  nuevoII_->raise();
  return true;
}

bool EntryWindows::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Close || (watched != nuevoI_ && watched != nuevoII_)) {
    return QObject::eventFilter(watched, event);
  }
  // With the other window still open nothing is lost: its list shows the same entries.
  const QWidget* other = watched == nuevoI_ ? static_cast<QWidget*>(nuevoII_) : static_cast<QWidget*>(nuevoI_);
  if (other->isVisible() || !HasUnsavedEntries(state_)) return false;
  if (!MayDiscardEntries(static_cast<QWidget*>(watched), state_)) {
    event->ignore();
    return true;
  }
  state_.vertexListText.clear();
  state_.classicalListText.clear();
  state_.gpsListText.clear();
  return false;
}

void EntryWindows::GoToObservations() {
  nuevoI_->hide();
  nuevoII_->show();
  nuevoII_->raise();
}

void EntryWindows::GoToVertices() {
  nuevoII_->hide();
  nuevoI_->show();
  nuevoI_->raise();
}

void EntryWindows::OpenMatrixImport() {
  // Opening fills the fields with the remembered paths; a window already open keeps what is
  // being typed in it.
  if (!import_->isVisible()) import_->OpenFresh();
  import_->show();
  import_->raise();
}

namespace {

// The single instance lives to the end of the run; it is never destroyed at static
// destruction time, when the application object is already gone.
struct ProcessEntryWindows {
  EntryHooks hooks;
  ProjectState* state = nullptr;
  EntryWindows* windows = nullptr;
};

ProcessEntryWindows& Process() {
  static ProcessEntryWindows process;
  return process;
}

}  // namespace

void SetEntryHooks(EntryHooks hooks) {
  Process().hooks = std::move(hooks);
  if (Process().windows != nullptr) Process().windows->SetHooks(Process().hooks);
}

EntryWindows& EntryWindowsFor(ProjectState& state) {
  ProcessEntryWindows& process = Process();
  if (process.windows == nullptr || process.state != &state) {
    delete process.windows;
    process.windows = new EntryWindows(state, process.hooks);
    process.state = &state;
  }
  return *process.windows;
}

bool EditProjectFile(const std::string& path, ProjectState& state) {
  return EntryWindowsFor(state).EditProjectFile(path);
}

}  // namespace korvo
