#pragma once
// The main window "Principal". It owns the single instances of the network, the calculation
// options, the project state and the last adjustment's report texts, and runs the commands of
// its menus and toolbar: Nuevo, Abrir, Editar, Calcular, the text editor, the datum utility,
// the options dialog and the about box.

#include <QMainWindow>
#include <functional>
#include <optional>
#include <string>

#include "app/results_saver.h"
#include "common/progress.h"
#include "engine/observation_system.h"
#include "quality/quality_analysis.h"
#include "matimport/import_matrices.h"
#include "report/results_display.h"
#include "network/calc_options.h"
#include "network/network_model.h"
#include "network/project_state.h"
#include "quality/quality_analysis.h"
#include "engine/robust_stage.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QTabWidget;
class QToolBar;

namespace korvo {

struct AdjustmentOutput;
class OptionsDialog;
class ProjectChooser;
class ReportView;
class SketchView;

class Principal : public QMainWindow {
  Q_OBJECT
 public:
  explicit Principal(QWidget* parent = nullptr);
  ~Principal() override;

  // Hooks for the windows that live in other parts of the program, wired to them when the
  // window is built. Each is called by its command; an empty one makes its command say that
  // it is not available.
  std::function<void()> openNewProject;  // Nuevo: show the vertices entry window
  // Editar, once a file was chosen: read `ProjectState::projectFilePath` into the entry
  // windows and show them.
  std::function<void()> editProject;
  std::function<void()> openTextEditor;    // Editor de texto (modal)
  std::function<void()> openDatumUtility;  // Aplicación ZENDA (modal)

  NetworkModel& Model() { return model_; }
  CalcOptions& Options() { return options_; }
  ProjectState& State() { return state_; }
  const ResultsTexts& LastResults() const { return results_; }

  // Loads the project file at `path` (ProjectFilePath) into the model, shows its text and
  // draws its sketch. Also used after the entry windows save a project. True on success.
  bool LoadProject(const QString& path);

  // The sink that shows core progress on this window's progress bar and status panels.
  ProgressSink MakeProgressSink();

  // A system imported as matrices by the entry windows: its vertex table replaces the model
  // and the next Calcular solves it.
  void InstallImportedMatrices(ImportedMatrices&& imported);
  // Shows a project text (Windows-1252) in the pane.
  void ShowProjectText(const std::string& projectText);

  // The toolbar's dispatch: runs the command whose name is `tooltip`; other texts do nothing.
  void RunToolbarCommand(const QString& tooltip);

 public slots:
  void Nuevo();
  void Abrir();
  void Editar();
  void Calcular();
  void EditorDeTexto();
  void AplicacionZenda();
  void EstablecerOpciones();
  void AcercaDe();
  void GuardarResultados();  // Compensación > Guardar resultados...: the last results again
  // Compensación > Guardar análisis de calidad...: the quality report, the JSON document or
  // the CSV of points of the last adjustment, as the filter chosen (the name's extension) says.
  void GuardarAnalisisDeCalidad();

 signals:
  // Every value and text given to the progress bar and the two status panels, as shown.
  void progressShown(int percent);
  void statusShown(const QString& text);
  void iterationShown(const QString& text);
  // An adjustment has finished and its report was offered for saving.
  void adjustmentFinished(bool succeeded);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // The adjustment with these options, its report in the pane and the save dialog.
  void CalcularWith(const CalcOptions& options);
  void BuildMenus();
  void BuildToolbar();
  void BuildStatusBar();
  void BuildCentralArea();
  void SetCalculationEnabled(bool enabled);
  void ShowNetworkViews();
  void ClearLoadedNetwork();
  void ShowLoadedProjectText();
  bool FailLoad(const std::string& message);
  void OnProjectChosen(const QString& path);
  void ShowStatus(const QString& text);
  void ShowProgress(int percent);
  void EmptyFinishedProgress();
  void ShowIteration(const QString& text);
  void ShowNotAvailable();
  void ShowResultsInPane(const PaneUpdate& update);
  void EndFailedAdjustment(const std::string& message);
  void WireOtherWindows();
  ProjectChooser* Chooser();
  void SetResults(ResultsTexts results);
  bool HasResults() const;
  QString VertexHoverText(int index) const;
  void InstallSketchSource();
  void ShowQualityAnalysis(const AdjustmentOutput& output);
  void ClearQualityAnalysis();

  NetworkModel model_;
  CalcOptions options_;
  ProjectState state_;
  ResultsTexts results_;
  std::optional<ObservationSystem> importedSystem_;
  // The last adjustment's quality analysis and robust estimates (for the JSON); none before
  // the first Calcular and after a project is opened or a new one started.
  std::optional<QualityAnalysis> quality_;
  RobustResults qualityRobust_;
  bool chooserOpenedByAbrir_ = false;

  QMenu* compensationMenu_ = nullptr;
  QAction* calculateAction_ = nullptr;
  QAction* saveQualityAction_ = nullptr;
  QAction* calculateButton_ = nullptr;
  QAction* saveResultsAction_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  QLabel* panel1_ = nullptr;
  QLabel* panel2_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QWidget* frame_ = nullptr;
  QWidget* splitter_ = nullptr;
  QTabWidget* paneTabs_ = nullptr;  // "PaneTabs": the pane, "Informe", then "Calidad" after Calcular
  QPlainTextEdit* pane_ = nullptr;
  ReportView* report_ = nullptr;
  QPlainTextEdit* qualityPane_ = nullptr;
  QLabel* qualityPanel_ = nullptr;  // the one-line summary of the last adjustment
  SketchView* sketch_ = nullptr;
  QWidget* sketchPanel_ = nullptr;
  QLabel* sketchCaption_ = nullptr;
  QWidget* northArrow_ = nullptr;
  QLabel* legend_ = nullptr;
  ProjectChooser* chooser_ = nullptr;
  OptionsDialog* optionsDialog_ = nullptr;
};

}  // namespace korvo
