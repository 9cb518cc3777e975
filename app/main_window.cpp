#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSplitter>
#include <QTabWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTextCursor>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "app/about_dialog.h"
#include "common/files.h"
#include "app/app_texts.h"
#include "app/artwork.h"
#include "app/dialog_service.h"
#include "app/file_dialogs.h"
#include "app/options_dialog.h"
#include "app/project_chooser.h"
#include "app/qt_text.h"
#include "app/report_view.h"
#include "app/sketch_view.h"
#include "coordtransform/datum_window.h"
#include "editor/editor_window.h"
#include "engine/adjustment_driver.h"
#include "engine/full_report_estimate.h"
#include "matimport/imported_adjustment.h"
#include "network/entry/entry_windows.h"
#include "network/load_network.h"
#include "quality/quality_products.h"
#include "report/results_display.h"
#include "report/results_file.h"

namespace korvo {
namespace {

// Command names: the toolbar's tooltips, compared in this order.
const QString kCmdNuevo = QStringLiteral("Nuevo");
const QString kCmdAbrir = QStringLiteral("Abrir");
const QString kCmdCalcular = QStringLiteral("Calcular");
const QString kCmdEditor = QStringLiteral("Editor de texto");
const QString kCmdZenda = QStringLiteral("Aplicación ZENDA");

const QString kEditCaption = QStringLiteral("Editar fichero de datos");
const QString kSketchCaption = QStringLiteral("Croquis planimétrico de la red");

QAction* NamedAction(QMenu* menu, const QString& caption, const char* name) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromLatin1(name));
  return action;
}

QMenu* NamedMenu(QMenuBar* bar, const QString& caption, const char* name) {
  QMenu* menu = bar->addMenu(caption);
  menu->setObjectName(QString::fromLatin1(name));
  return menu;
}

}  // namespace

Principal::Principal(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("Principal"));
  setWindowTitle(kMainCaption);
  setWindowIcon(AppIcon());
  BuildMenus();
  BuildToolbar();
  BuildStatusBar();
  BuildCentralArea();
  // Options start at their defaults (CalcOptions' own); Calcular waits for a network.
  options_ = CalcOptions{};
  SetCalculationEnabled(false);
  WireOtherWindows();
  resize(1100, 720);
}

Principal::~Principal() {
  // The entry windows outlive this window: they must not call back into it.
  SetEntryHooks({});
}

void Principal::WireOtherWindows() {
  openNewProject = [this] { EntryWindowsFor(state_).StartNewNetwork(); };
  editProject = [this] { EditProjectFile(state_.projectFilePath, state_); };
  openTextEditor = [] { ShowEditor(); };
  openDatumUtility = [] {
    DatumWindowInstance().setWindowModality(Qt::ApplicationModal);
    ShowDatumWindow();
  };
  EntryHooks hooks;
  hooks.loadProject = [this](const std::string& path) {
    LoadProject(QFile::decodeName(QByteArray::fromStdString(path)));
  };
  hooks.installImportedMatrices = [this](ImportedMatrices&& imported) { InstallImportedMatrices(std::move(imported)); };
  hooks.showProjectText = [this](const std::string& projectText) { ShowProjectText(projectText); };
  SetEntryHooks(std::move(hooks));
}

void Principal::BuildMenus() {
  QMenuBar* bar = menuBar();
  QMenu* file = NamedMenu(bar, QStringLiteral("&Archivo"), "menuarchivo");
  connect(NamedAction(file, QStringLiteral("&Nuevo..."), "menunuevo"), &QAction::triggered, this, &Principal::Nuevo);
  connect(NamedAction(file, QStringLiteral("&Abrir..."), "menuabrir"), &QAction::triggered, this, &Principal::Abrir);
  connect(NamedAction(file, QStringLiteral("&Editar..."), "menueditar"), &QAction::triggered, this,
          &Principal::Editar);
  file->addSeparator();
  connect(NamedAction(file, QStringLiteral("Salir"), "menusalir"), &QAction::triggered, this, &QWidget::close);

  compensationMenu_ = NamedMenu(bar, QStringLiteral("&Compensación"), "menucompensacion");
  calculateAction_ = NamedAction(compensationMenu_, QStringLiteral("Calcula&r"), "menucalcular");
  connect(calculateAction_, &QAction::triggered, this, &Principal::Calcular);
  saveResultsAction_ = NamedAction(compensationMenu_, QStringLiteral("&Guardar resultados..."), "menuguardarresultados");
  saveResultsAction_->setEnabled(false);
  connect(saveResultsAction_, &QAction::triggered, this, &Principal::GuardarResultados);
  saveQualityAction_ =
      NamedAction(compensationMenu_, QStringLiteral("&Guardar análisis de calidad..."), "menuguardarcalidad");
  saveQualityAction_->setEnabled(false);
  connect(saveQualityAction_, &QAction::triggered, this, &Principal::GuardarAnalisisDeCalidad);

  QMenu* utilities = NamedMenu(bar, QStringLiteral("&Utilidades"), "menuutilidades");
  connect(NamedAction(utilities, QStringLiteral("&Editor de texto"), "menueditor"), &QAction::triggered, this,
          &Principal::EditorDeTexto);
  connect(NamedAction(utilities, QStringLiteral("Aplicación &ZENDA"), "menuzenda"), &QAction::triggered, this,
          &Principal::AplicacionZenda);

  QMenu* options = NamedMenu(bar, QStringLiteral("&Opciones"), "menuopciones");
  connect(NamedAction(options, QStringLiteral("&Establecer opciones de cálculo"), "menuestablecer"),
          &QAction::triggered, this, &Principal::EstablecerOpciones);

  QMenu* about = NamedMenu(bar, QStringLiteral("Acerca de &KORVO"), "menuacerca");
  connect(NamedAction(about, QStringLiteral("&Acerca de"), "menuacercade"), &QAction::triggered, this,
          &Principal::AcercaDe);
}

void Principal::BuildToolbar() {
  toolbar_ = addToolBar(QStringLiteral("Herramientas"));
  toolbar_->setObjectName(QStringLiteral("Toolbar1"));
  toolbar_->setMovable(false);
  toolbar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  struct Button {
    QString tooltip;
    QStyle::StandardPixmap icon;
    const char* name;
  };
  const Button buttons[] = {{kCmdNuevo, QStyle::SP_FileIcon, "Button1"},
                            {kCmdAbrir, QStyle::SP_DialogOpenButton, "Button2"},
                            {kCmdCalcular, QStyle::SP_MediaPlay, "Button3"},
                            {kCmdEditor, QStyle::SP_FileDialogContentsView, "Button4"},
                            {kCmdZenda, QStyle::SP_DriveNetIcon, "Button5"}};
  for (const Button& button : buttons) {
    QAction* action = toolbar_->addAction(style()->standardIcon(button.icon), button.tooltip);
    action->setToolTip(button.tooltip);
    action->setObjectName(QString::fromLatin1(button.name));
    if (button.tooltip == kCmdCalcular) calculateButton_ = action;
  }
  connect(toolbar_, &QToolBar::actionTriggered, this,
          [this](QAction* action) { RunToolbarCommand(action->toolTip()); });
}

void Principal::RunToolbarCommand(const QString& tooltip) {
  if (tooltip == kCmdNuevo) {
    Nuevo();
  } else if (tooltip == kCmdAbrir) {
    Abrir();
  } else if (tooltip == kCmdCalcular) {
    Calcular();
  } else if (tooltip == kCmdEditor) {
    EditorDeTexto();
  } else if (tooltip == kCmdZenda) {
    AplicacionZenda();
  }
}

void Principal::BuildStatusBar() {
  QStatusBar* status = statusBar();
  status->setObjectName(QStringLiteral("StatusBar1"));
  status->setSizeGripEnabled(true);
  panel1_ = new QLabel(status);
  panel1_->setObjectName(QStringLiteral("Panel1"));
  panel1_->setFrameShape(QFrame::Panel);
  panel1_->setFrameShadow(QFrame::Sunken);
  // The activity text takes the room left over and is the first to give it up: the quality
  // summary beside it is shown whole.
  panel1_->setMinimumWidth(120);
  panel2_ = new QLabel(status);
  panel2_->setObjectName(QStringLiteral("Panel2"));
  panel2_->setFrameShape(QFrame::Panel);
  panel2_->setFrameShadow(QFrame::Sunken);
  panel2_->setMinimumWidth(70);
  progress_ = new QProgressBar(status);
  progress_->setObjectName(QStringLiteral("ProgressBar1"));
  progress_->setRange(0, 100);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  progress_->setFixedWidth(220);
  qualityPanel_ = new QLabel(status);
  qualityPanel_->setObjectName(QStringLiteral("PanelCalidad"));
  qualityPanel_->setFrameShape(QFrame::Panel);
  qualityPanel_->setFrameShadow(QFrame::Sunken);
  status->addWidget(panel1_, 1);
  status->addWidget(panel2_);
  status->addWidget(qualityPanel_);
  status->addPermanentWidget(progress_);
}

void Principal::BuildCentralArea() {
  auto* central = new QWidget(this);
  auto* layout = new QHBoxLayout(central);
  layout->setContentsMargins(6, 6, 6, 6);

  // The framed picture fills the window until a network is shown.
  auto* frame = new QFrame(central);
  frame->setObjectName(QStringLiteral("Frame1"));
  frame->setFrameShape(QFrame::StyledPanel);
  frame_ = frame;
  auto* frameLayout = new QVBoxLayout(frame_);
  frameLayout->setContentsMargins(12, 12, 12, 12);
  auto* picture = new PictureWidget(&PaintStartPicture, QSize(560, 300), frame_, true);
  picture->setObjectName(QStringLiteral("Image1"));
  frameLayout->addWidget(picture);
  layout->addWidget(frame_, 1);

  auto* splitter = new QSplitter(Qt::Horizontal, central);
  splitter->setObjectName(QStringLiteral("Splitter1"));
  paneTabs_ = new QTabWidget(splitter);
  paneTabs_->setObjectName(QStringLiteral("PaneTabs"));
  paneTabs_->setDocumentMode(true);
  pane_ = new QPlainTextEdit(paneTabs_);
  pane_->setObjectName(QStringLiteral("Text2"));
  pane_->setReadOnly(true);
  pane_->setLineWrapMode(QPlainTextEdit::NoWrap);
  pane_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  pane_->setEnabled(false);
  paneTabs_->addTab(pane_, QStringLiteral("Texto"));
  // The whole results report of the last Calcular, whatever its size.
  report_ = new ReportView(paneTabs_);
  paneTabs_->addTab(report_, QStringLiteral("Informe"));
  qualityPane_ = new QPlainTextEdit(paneTabs_);
  qualityPane_->setObjectName(QStringLiteral("TextCalidad"));
  qualityPane_->setReadOnly(true);
  qualityPane_->setLineWrapMode(QPlainTextEdit::NoWrap);
  qualityPane_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  qualityPane_->hide();  // its tab is added after Calcular
  pane_->hide();
  paneTabs_->hide();

  sketchPanel_ = new QWidget(splitter);
  auto* sketchLayout = new QVBoxLayout(sketchPanel_);
  sketchLayout->setContentsMargins(0, 0, 0, 0);
  sketchCaption_ = new QLabel(kSketchCaption, sketchPanel_);
  sketchCaption_->setObjectName(QStringLiteral("Label1"));
  QFont captionFont = sketchCaption_->font();
  captionFont.setBold(true);
  sketchCaption_->setFont(captionFont);
  sketch_ = new SketchView(sketchPanel_);
  auto* legendRow = new QHBoxLayout;
  northArrow_ = new PictureWidget(&PaintNorthArrow, QSize(44, 44), sketchPanel_);
  northArrow_->setObjectName(QStringLiteral("Image2"));
  northArrow_->setFixedSize(44, 44);
  legend_ = new QLabel(sketchPanel_);
  legend_->setObjectName(QStringLiteral("Label2"));
  legend_->setTextFormat(Qt::RichText);
  legend_->setText(QStringLiteral("<b>&#9650;</b> Vértice fijo &nbsp;&nbsp; "
                                  "<span style='color:#c00000'><b>&#9473;&#9473;</b></span> Observación clásica "
                                  "&nbsp;&nbsp; <span style='color:#0000c0'><b>&#9473;&#9473;</b></span> "
                                  "Línea base GPS"));
  legendRow->addWidget(northArrow_);
  legendRow->addWidget(legend_, 1);
  auto* fit = new QToolButton(sketchPanel_);
  fit->setObjectName(QStringLiteral("EncuadrarCroquis"));
  fit->setText(QStringLiteral("Encuadrar"));
  fit->setToolTip(QStringLiteral("Muestra la red entera (también con doble clic en el croquis)"));
  connect(fit, &QToolButton::clicked, sketch_, &SketchView::FitNetwork);
  legendRow->addWidget(fit);
  sketch_->SetHoverSource([this](int vertex) { return VertexHoverText(vertex); });
  sketchLayout->addWidget(sketchCaption_);
  sketchLayout->addWidget(sketch_, 1);
  sketchLayout->addLayout(legendRow);
  sketchCaption_->hide();
  sketch_->hide();
  northArrow_->hide();
  legend_->hide();

  splitter->addWidget(paneTabs_);
  splitter->addWidget(sketchPanel_);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 1);
  splitter->hide();
  splitter_ = splitter;
  layout->addWidget(splitter, 1);
  setCentralWidget(central);
}

void Principal::SetCalculationEnabled(bool enabled) {
  compensationMenu_->menuAction()->setEnabled(enabled);
  calculateAction_->setEnabled(enabled);
  calculateButton_->setEnabled(enabled);
}

void Principal::ShowNetworkViews() {
  frame_->hide();
  if (splitter_->isHidden()) {
    splitter_->show();
    // Text and sketch share the width at first; the user may move the divider.
    const int width = splitter_->width();
    static_cast<QSplitter*>(splitter_)->setSizes({width * 11 / 20, width * 9 / 20});
  }
  paneTabs_->show();
  paneTabs_->setCurrentWidget(pane_);
  pane_->show();
  sketchCaption_->show();
  sketch_->show();
  northArrow_->show();
  legend_->show();
}

// --- progress and status ---------------------------------------------------------------

void Principal::ShowStatus(const QString& text) {
  panel1_->setText(text);
  emit statusShown(text);
}

void Principal::ShowIteration(const QString& text) {
  panel2_->setText(text);
  emit iterationShown(text);
}

void Principal::ShowProgress(int percent) {
  progress_->setValue(percent);
  emit progressShown(percent);
}

// A full bar says the last command finished; the next command starts from an empty one.
void Principal::EmptyFinishedProgress() {
  if (progress_->value() == progress_->maximum()) ShowProgress(0);
}

ProgressSink Principal::MakeProgressSink() {
  // The work runs on this thread: let the window repaint at each step so the bar and the
  // panels move, but keep the user's clicks and keys for when the work is done.
  const auto refresh = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
  ProgressSink sink;
  sink.progress = [this, refresh](int percent) {
    ShowProgress(percent);
    refresh();
  };
  sink.status = [this, refresh](const std::string& text) {
    ShowStatus(FromCp1252(text));
    refresh();
  };
  sink.iteration = [this, refresh](const std::string& text) {
    ShowIteration(FromCp1252(text));
    refresh();
  };
  return sink;
}

// --- commands ----------------------------------------------------------------------------

void Principal::ShowNotAvailable() { Dialogs().ShowMessage(this, kNotAvailableText, QString(), MessageIcon::Information); }

void Principal::Nuevo() {
  EmptyFinishedProgress();
  if (!MayDiscardEntries(this, state_)) return;
  SetResults({});
  ClearQualityAnalysis();
  if (sketch_->HasScene()) InstallSketchSource();  // the ellipses go
  state_.projectTooBig = false;
  state_.vertexListText.clear();
  state_.classicalListText.clear();
  state_.gpsListText.clear();
  if (openNewProject) {
    openNewProject();
  } else {
    ShowNotAvailable();
  }
}

ProjectChooser* Principal::Chooser() {
  if (chooser_ == nullptr) {
    chooser_ = new ProjectChooser(this);
    connect(chooser_, &ProjectChooser::chosen, this, &Principal::OnProjectChosen);
    connect(chooser_, &QDialog::finished, this, [this] {
      // Abrir's modal chooser has returned (after the load it triggered).
      if (chooserOpenedByAbrir_) state_.projectTooBig = false;
    });
  }
  return chooser_;
}

void Principal::Abrir() {
  EmptyFinishedProgress();
  ProjectChooser* chooser = Chooser();
  if (chooser->isVisible()) {
    // Already open for Editar: it is brought forward as it is, not started again.
    chooser->raise();
    chooser->activateWindow();
    return;
  }
  chooserOpenedByAbrir_ = true;
  chooser->PrepareForShowing();
  chooser->setWindowModality(Qt::ApplicationModal);
  chooser->show();
  chooser->raise();
  chooser->activateWindow();
}

void Principal::Editar() {
  EmptyFinishedProgress();
  ProjectChooser* chooser = Chooser();
  chooserOpenedByAbrir_ = false;
  state_.editMode = true;
  if (!chooser->isVisible()) {
    chooser->PrepareForShowing();
    chooser->setWindowModality(Qt::NonModal);
  }
  chooser->show();
  chooser->raise();
  chooser->setWindowTitle(kEditCaption);
  state_.projectTooBig = false;
}

void Principal::OnProjectChosen(const QString& path) {
  state_.projectFilePath = QFile::encodeName(path).toStdString();
  if (!state_.editMode) {
    // A project opened here is what the next Calcular adjusts, not a system imported before.
    // (The entry windows' GUARDAR Y SALIR loads its vertex file and keeps the import.)
    state_.matricesImported = false;
    importedSystem_.reset();
    LoadProject(path);
  } else if (editProject) {
    editProject();
  } else {
    ShowNotAvailable();
  }
  state_.editMode = false;
}

void Principal::ClearLoadedNetwork() {
  ClearQualityAnalysis();
  model_ = NetworkModel{};
  state_.projectText.clear();
  SetResults({});
  sketch_->Clear();
  SetCalculationEnabled(false);
}

void Principal::ShowLoadedProjectText() {
  // Too long a text is not shown: the user works on the results file instead.
  if (state_.projectTooBig) {
    pane_->clear();
    Dialogs().ShowMessage(this, FromCp1252(kProjectTooBigToShowMessage), QString(), MessageIcon::Information);
  } else {
    pane_->setPlainText(FromCp1252(state_.projectText));
  }
  pane_->setEnabled(true);
}

bool Principal::FailLoad(const std::string& message) {
  // A failed load leaves nothing to calculate on, and no status of a load that did not
  // happen; the message explains what went wrong.
  ClearLoadedNetwork();
  ShowStatus(QString());
  ShowIteration(QString());
  if (progress_->value() != 0) ShowProgress(0);
  Dialogs().ShowMessage(this, FromCp1252(message), QString(), MessageIcon::None);
  return false;
}

bool Principal::LoadProject(const QString& path) {
  ClearQualityAnalysis();
  state_.projectFilePath = QFile::encodeName(path).toStdString();
  state_.adjustmentRunCount = 0;
  // The iterations shown belonged to the previous network.
  if (!panel2_->text().isEmpty()) ShowIteration(QString());
  ShowNetworkViews();
  bool textShown = false;
  LoadSteps steps;
  steps.textRead = [this, &textShown](const std::string& projectText, bool projectTooBig) {
    // The text is shown (or the size message given) before its records are read.
    textShown = true;
    state_.projectText = projectText;
    state_.projectTooBig = projectTooBig;
    ShowLoadedProjectText();
  };
  steps.drawSketch = [this](const NetworkModel& model) {
    model_ = model;
    SetResults({});
    SetCalculationEnabled(true);
    InstallSketchSource();
  };
  Result<LoadedNetwork> loaded = LoadNetwork(state_.projectFilePath, MakeProgressSink(), steps);
  if (!loaded) {
    // An unreadable file leaves nothing of the previous network on show.
    if (!textShown) pane_->clear();
    return FailLoad(loaded.error());
  }
  model_ = std::move(loaded->model);
  return true;
}

void Principal::InstallSketchSource() {
  if (auto failure = sketch_->SetSceneSource([this](double widthTwips, double heightTwips) {
        return SketchSceneOf(model_, widthTwips, heightTwips, quality_ ? &*quality_ : nullptr);
      })) {
    // The network stays loaded; only its drawing failed.
    Dialogs().ShowMessage(this, FromCp1252(*failure), QString(), MessageIcon::None);
  }
}

void Principal::ShowQualityAnalysis(const AdjustmentOutput& output) {
  quality_ = output.quality;
  qualityRobust_ = output.robust;
  const QualityReportHeading heading{state_.projectFilePath, QualityDateNow()};
  qualityPane_->setPlainText(FromCp1252(BuildQualityReport(*quality_, heading)));
  if (paneTabs_->indexOf(qualityPane_) < 0) paneTabs_->addTab(qualityPane_, QStringLiteral("Calidad"));
  const QString summary = QString::fromUtf8(QualitySummaryUtf8(*quality_));
  qualityPanel_->setText(summary);
  qualityPanel_->setMinimumWidth(qualityPanel_->fontMetrics().horizontalAdvance(summary) + 12);
  saveQualityAction_->setEnabled(true);
  if (!quality_->points.empty()) InstallSketchSource();
}

void Principal::ClearQualityAnalysis() {
  quality_.reset();
  qualityRobust_ = RobustResults{};
  const int index = paneTabs_->indexOf(qualityPane_);
  if (index >= 0) paneTabs_->removeTab(index);
  qualityPane_->clear();
  qualityPanel_->clear();
  saveQualityAction_->setEnabled(false);
}

void Principal::GuardarAnalisisDeCalidad() {
  if (!quality_) return;
  FileDialogRequest request;
  request.title = QStringLiteral("Guardar análisis de calidad");
  request.filter = QStringLiteral(
      "Informe de calidad (*.txt)|*.txt|Análisis en JSON (*.json)|*.json|Vértices en CSV (*.csv)|*.csv");
  request.defaultExtension = QStringLiteral("txt");
  const std::string project = state_.projectFilePath;
  const QString base = QFile::decodeName(QByteArray::fromStdString(project));
  if (!base.isEmpty()) {
    const int dot = base.lastIndexOf(QLatin1Char('.'));
    request.initialName = (dot > base.lastIndexOf(QLatin1Char('/')) ? base.left(dot) : base) +
                          QStringLiteral("_calidad.txt");
    request.initialDirectory = QFileInfo(base).absolutePath();
  }
  const QualityReportHeading heading{project, QualityDateNow()};
  SaveWithOverwriteCheck(this, request, FolderPurpose::kResults, [this, &heading](const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QualityFileKind kind = suffix == QStringLiteral("json") ? QualityFileKind::Json
                                 : suffix == QStringLiteral("csv") ? QualityFileKind::PointsCsv
                                                                    : QualityFileKind::Report;
    const Status written = WriteFileAtomically(QFile::encodeName(path).toStdString(),
                                               QualityFileBytes(kind, *quality_, qualityRobust_, heading));
    return written ? std::nullopt : std::optional<QString>(FromCp1252(written.error()));
  });
}

void Principal::Calcular() {
  if (!calculateAction_->isEnabled()) return;
  EmptyFinishedProgress();
  // The full report of a network or imported system too large for it is offered in its
  // compact form instead.
  CalcOptions options = options_;
  const bool imported = state_.matricesImported && importedSystem_;
  if (options.reportForm == ReportForm::Full) {
    const FullReportEstimate estimate =
        imported ? EstimateFullReport(importedSystem_->numEquations, importedSystem_->numUnknowns)
                 : EstimateFullReport(model_, options);
    const std::uint64_t budget = MemoryBudgetBytes();
    if (!FullReportFits(estimate, budget)) {
      if (!Dialogs().AskYesNo(this,
                              FromCp1252(FullReportTooLargeMessage(estimate, budget)) +
                                  QStringLiteral("\n\n¿Desea calcular ahora con el informe compacto?"),
                              QString(), MessageIcon::Question, true)) {
        emit adjustmentFinished(false);
        return;
      }
      options.reportForm = ReportForm::Compact;
    }
  }
  // Running out of memory anywhere in the adjustment or the report is a message; nothing has
  // been saved by then.
  try {
    CalcularWith(options);
  } catch (const std::bad_alloc&) {
    EndFailedAdjustment(OutOfMemoryMessage());
  }
}

void Principal::CalcularWith(const CalcOptions& options) {
  const ProgressSink sink = MakeProgressSink();
  // Once the report exists, and before "Ajuste realizado": the warnings of estimators left
  // out (the rest of the results stand), then the pane.
  const auto showReport = [this](const AdjustmentOutput& output, const PaneUpdate& pane) {
    SetResults(ResultsTexts{output.resultsHeaderText, output.lsResultsText, output.robustComparisonText});
    for (const std::string& warning : output.warnings) {
      Dialogs().ShowMessage(this, FromCp1252(warning), QString(), MessageIcon::Exclamation);
    }
    ShowResultsInPane(pane);
    ShowQualityAnalysis(output);
  };
  if (state_.matricesImported && importedSystem_) {
    // The pane's text heads the least-squares part of an imported system's report.
    const std::string paneText = ToCp1252(pane_->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
    Result<ImportedAdjustment> imported =
        RunImportedAdjustment(*importedSystem_, options, state_, paneText, sink,
                              [&showReport](const ImportedAdjustment& adjustment) {
                                showReport(adjustment.output, adjustment.pane);
                              });
    if (!imported) {
      EndFailedAdjustment(imported.error());
      return;
    }
  } else {
    Result<AdjustmentOutput> output =
        RunAdjustment(model_, options, state_, sink, [this, &showReport](const AdjustmentOutput& built) {
          showReport(built, PaneAfterAdjustment(state_.adjustmentRunCount, built.resultsHeaderText,
                                                built.lsResultsText, built.robustComparisonText));
        });
    if (!output) {
      EndFailedAdjustment(output.error());
      return;
    }
  }
  paneTabs_->setCurrentWidget(report_);
  GuardarResultados();
  emit adjustmentFinished(true);
}

// The results stay until the next Calcular, Abrir or Nuevo: a cancelled save loses nothing.
void Principal::GuardarResultados() {
  if (!HasResults()) return;
  const QString suggested = QFile::decodeName(QByteArray::fromStdString(DefaultResultsPath(state_.projectFilePath)));
  SaveResultsFile(this, results_, suggested);
}

bool Principal::HasResults() const {
  return !results_.header.empty() || !results_.leastSquares.empty() || !results_.robustComparison.empty();
}

// The pointer over a vertex of the sketch: its number and coordinates, and after Calcular its
// adjusted coordinates and precision in the local horizon.
QString Principal::VertexHoverText(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= model_.vertices.size()) return {};
  const NetworkVertex& vertex = model_.vertices[static_cast<std::size_t>(index)];
  const auto metres = [](double value, int decimals) { return QString::number(value, 'f', decimals); };
  QString text = QStringLiteral("Vértice %1 (%2)").arg(vertex.number).arg(vertex.IsFixed() ? QStringLiteral("fijo")
                                                                                             : QStringLiteral("incógnita"));
  const PointQuality* precision = quality_ && static_cast<std::size_t>(index) < quality_->points.size() && !vertex.IsFixed()
                                      ? &quality_->points[static_cast<std::size_t>(index)]
                                      : nullptr;
  if (precision == nullptr) {
    text += QStringLiteral("\nX %1  Y %2  Z %3 m%4")
                .arg(metres(vertex.xM, 3), metres(vertex.yM, 3), metres(vertex.zM, 3),
                     vertex.IsFixed() ? QString() : QStringLiteral(" (aproximadas)"));
    return text;
  }
  text += QStringLiteral("\nX %1  Y %2  Z %3 m (compensadas)")
              .arg(metres(precision->xM, 4), metres(precision->yM, 4), metres(precision->zM, 4));
  text += QStringLiteral("\nσE %1  σN %2  σU %3 m")
              .arg(metres(precision->sigmaEastM, 4), metres(precision->sigmaNorthM, 4), metres(precision->sigmaUpM, 4));
  text += QStringLiteral("\nElipse 95 %: a %1 m, b %2 m, acimut de a %3 gon")
              .arg(metres(precision->ellipse95.a, 4), metres(precision->ellipse95.b, 4),
                   QString::number(precision->ellipse95.azimuthGon, 'f', 1));
  return text;
}

void Principal::SetResults(ResultsTexts results) {
  results_ = std::move(results);
  report_->SetReport(results_.header + results_.leastSquares + results_.robustComparison);
  saveResultsAction_->setEnabled(HasResults());
}

void Principal::EndFailedAdjustment(const std::string& message) {
  ShowStatus(QString());
  ShowIteration(QString());
  ShowProgress(0);
  Dialogs().ShowMessage(this, FromCp1252(message), QString(), MessageIcon::None);
  emit adjustmentFinished(false);
}

void Principal::ShowResultsInPane(const PaneUpdate& update) {
  if (!update.message.empty()) {
    Dialogs().ShowMessage(this, FromCp1252(update.message), QString(), MessageIcon::Information);
  }
  if (update.setProjectTooBig) state_.projectTooBig = true;
  switch (update.action) {
    case PaneUpdate::Action::kUnchanged:
      break;
    case PaneUpdate::Action::kAppend: {
      // Appended as plain text right after what the pane shows, without a paragraph break.
      QTextCursor end(pane_->document());
      end.movePosition(QTextCursor::End);
      end.insertText(FromCp1252(update.text));
      break;
    }
    case PaneUpdate::Action::kReplace:
      pane_->setPlainText(FromCp1252(update.text));
      break;
  }
}

void Principal::InstallImportedMatrices(ImportedMatrices&& imported) {
  model_ = std::move(imported.network);
  importedSystem_ = std::move(imported.system);
  state_.projectText = std::move(imported.projectText);
  state_.projectTooBig = imported.projectTooBig;
  state_.matricesImported = true;
  SetResults({});
  ClearQualityAnalysis();
  ShowNetworkViews();
  ShowLoadedProjectText();
  // An imported system has no observations to draw.
  sketch_->Clear();
  // The next Calcular solves the imported system.
  SetCalculationEnabled(true);
}

void Principal::ShowProjectText(const std::string& projectText) {
  ShowNetworkViews();
  pane_->setEnabled(true);
  pane_->setPlainText(FromCp1252(projectText));
}

void Principal::EditorDeTexto() {
  EmptyFinishedProgress();
  if (openTextEditor) {
    openTextEditor();
  } else {
    ShowNotAvailable();
  }
}

void Principal::AplicacionZenda() {
  EmptyFinishedProgress();
  if (openDatumUtility) {
    openDatumUtility();
  } else {
    ShowNotAvailable();
  }
}

void Principal::EstablecerOpciones() {
  EmptyFinishedProgress();
  if (optionsDialog_ == nullptr) optionsDialog_ = new OptionsDialog(options_, this);
  optionsDialog_->LoadFromOptions();
  optionsDialog_->setWindowModality(Qt::ApplicationModal);
  optionsDialog_->show();
  optionsDialog_->raise();
}

void Principal::AcercaDe() {
  auto* about = findChild<Acercade*>(QStringLiteral("Acercade"), Qt::FindDirectChildrenOnly);
  if (about == nullptr) about = new Acercade(this);
  about->setWindowModality(Qt::ApplicationModal);
  about->show();
  about->raise();
}

void Principal::closeEvent(QCloseEvent* event) {
  if (!MayDiscardEntries(this, state_)) {
    event->ignore();
    return;
  }
  event->accept();
  // Closing the main window ends the program, whatever other windows are open.
  QCoreApplication::quit();
}

}  // namespace korvo
