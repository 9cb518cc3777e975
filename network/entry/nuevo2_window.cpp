#include "network/entry/nuevo2_window.h"

#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QVBoxLayout>

#include "app/dialog_service.h"
#include "app/file_dialogs.h"
#include "app/qt_text.h"
#include "common/files.h"
#include "app/project_chooser.h"
#include "network/entry/entry_choosers.h"
#include "network/entry_text.h"
#include "network/entry/entry_list_editor.h"
#include "network/entry/entry_widgets.h"
#include "network/network_model.h"
#include "network/project_file.h"
#include "network/wave_import.h"

namespace korvo {
namespace {

// The superscript two of the unit label m².
const QString kSuperscriptTwo = QString(QChar(0x00B2));

const QString kSaveFilter = QStringLiteral(
    "Archivos de texto (*.txt)|*.txt|Archivos TMP (*.tmp)|*.tmp|Todos los archivos (*.*)|*.*");
constexpr int kSaveFilterAllFiles = 3;

const QString kNoBaselinesMessage = QStringLiteral(
    "El fichero elegido no contiene ninguna línea base: no aparece en él la palabra \"Aposteriori\" de las "
    "matrices varianza-covarianza del 'Sumario Detallado' del WAVE.");

std::string FileSystemPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

NuevoIIWindow::NuevoIIWindow(ProjectState& state, QWidget* parent) : QWidget(parent, Qt::Window), state_(state) {
  setObjectName(QStringLiteral("NuevoII"));
  setWindowTitle(QStringLiteral("Nuevo trabajo - Entrada de datos (II): Observaciones"));
  BuildControls();
  OpenFresh();
}

void NuevoIIWindow::BuildControls() {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(NewHeading(QStringLiteral("Introducción de observaciones"), this));

  layout->addWidget(NewLabel(QStringLiteral("OPCIÓN 1: Introducción manual"), this));
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("TabObservaciones"));
  tabs_->addTab(BuildClassicalTab(), QStringLiteral("Observables topográficos clásicos"));
  tabs_->addTab(BuildGpsTab(), QStringLiteral("Líneas base GPS"));
  layout->addWidget(tabs_, 1);

  auto* optionTwo = new QHBoxLayout();
  optionTwo->addWidget(
      NewLabel(QStringLiteral("OPCIÓN 2: Importación de las matrices del sistema de ecuaciones de observación"), this));
  importMatrices_ = NewButton(QStringLiteral("Command2"), QStringLiteral("Importar"), this);
  optionTwo->addWidget(importMatrices_);
  optionTwo->addStretch();
  layout->addLayout(optionTwo);

  auto* windowButtons = new QHBoxLayout();
  back_ = NewButton(QStringLiteral("Command1"), QStringLiteral("<< Anterior"), this);
  back_->setToolTip(QStringLiteral("Introducción de datos de los vértices"));
  saveAndExit_ = NewButton(QStringLiteral("Command3"), QStringLiteral("GUARDAR Y SALIR"), this);
  windowButtons->addWidget(back_);
  windowButtons->addStretch();
  windowButtons->addWidget(saveAndExit_);
  layout->addLayout(windowButtons);
  resize(940, 680);

  connect(back_, &QPushButton::clicked, this, [this] {
    if (hooks_.goBack) hooks_.goBack();
  });
  connect(importMatrices_, &QPushButton::clicked, this, [this] {
    if (hooks_.openMatrixImport) hooks_.openMatrixImport();
  });
  connect(saveAndExit_, &QPushButton::clicked, this, [this] { SaveAndExit(); });
}

QWidget* NuevoIIWindow::BuildClassicalTab() {
  auto* tab = new QWidget(this);
  auto* layout = new QVBoxLayout(tab);
  auto* fields = new QGridLayout();
  type_ = new QComboBox(tab);
  type_->setObjectName(QStringLiteral("Combo1"));
  station_ = NewVertexNumberBox(QStringLiteral("Combo2"), tab);
  target_ = NewVertexNumberBox(QStringLiteral("Combo3"), tab);
  value_ = NewField(QStringLiteral("Text1"), tab);
  stdDev_ = NewField(QStringLiteral("Text2"), tab);
  auto* typeLabel = NewLabel(QStringLiteral("Tipo de observación"), tab);
  typeLabel->setObjectName(QStringLiteral("LabelTipo"));
  fields->addWidget(typeLabel, 0, 0);
  fields->addWidget(type_, 1, 0);
  AddCaptionedBelow(fields, QStringLiteral("Desde"), station_, 0, 1);
  AddCaptionedBelow(fields, QStringLiteral("Hasta"), target_, 0, 2);
  AddCaptionedBelow(fields, QStringLiteral("Valor observado (m o gra)"), value_, 0, 3);
  AddCaptionedBelow(fields, QStringLiteral("(m o dmgr)"), stdDev_, 0, 4);
  layout->addLayout(fields);

  EntryButtonRow buttons = NewEntryButtonRow(QStringLiteral("Picture1"), QStringLiteral("Command4"),
                                             QStringLiteral("Modificar"), tab);
  layout->addLayout(buttons.layout);

  classicalList_ = new EntryListView(QStringLiteral("Text6"), tab);
  layout->addWidget(classicalList_, 1);

  classicalEditor_ = new EntryListEditor(
      {.window = this, .sectionText = &state_.classicalListText, .entryStride = kClassicalEntryStride,
       .list = classicalList_, .buttons = buttons, .numericFields = {value_, stdDev_},
       .enterFields = {stdDev_}, .nextEntryField = target_, .removeName = QStringLiteral("Eliminar")},
      {.beforeIntroduce = [this] { state_.matricesImported = false; },
       .buildEntry = [this] { return ClassicalLineFromFields(); },
       // The type and the station stay: the next sight is most often from the same station.
       .clearFields = [this] { ClearClassicalValues(); },
       .isEntry = IsClassicalEntry,
       .showEntry = [this](std::string_view entry) { ShowClassicalEntry(entry); },
       .refuse = nullptr});
  return tab;
}

QWidget* NuevoIIWindow::BuildGpsTab() {
  auto* tab = new QWidget(this);
  auto* layout = new QVBoxLayout(tab);
  auto* top = new QHBoxLayout();

  auto* baseline = new QGridLayout();
  gpsFrom_ = NewVertexNumberBox(QStringLiteral("Combo12"), tab);
  gpsTo_ = NewVertexNumberBox(QStringLiteral("Combo13"), tab);
  dx_ = NewField(QStringLiteral("Text11"), tab);
  dy_ = NewField(QStringLiteral("Text12"), tab);
  dz_ = NewField(QStringLiteral("Text13"), tab);
  AddCaptionedBeside(baseline, QStringLiteral("Desde"), gpsFrom_, 0, 0);
  AddCaptionedBeside(baseline, QStringLiteral("Hasta"), gpsTo_, 1, 0);
  AddCaptionedBeside(baseline, QStringLiteral("IncrX (m)"), dx_, 2, 0);
  AddCaptionedBeside(baseline, QStringLiteral("IncrY (m)"), dy_, 3, 0);
  AddCaptionedBeside(baseline, QStringLiteral("IncrZ (m)"), dz_, 4, 0);
  top->addLayout(baseline);

  auto* matrixBox = new QGroupBox(QStringLiteral("Matriz varianza covarianza"), tab);
  auto* matrix = new QGridLayout(matrixBox);
  cxx_ = NewField(QStringLiteral("Text31"), matrixBox);
  cxy_ = NewField(QStringLiteral("Text34"), matrixBox);
  cxz_ = NewField(QStringLiteral("Text37"), matrixBox);
  cyxCopy_ = NewField(QStringLiteral("Text32"), matrixBox);
  cyy_ = NewField(QStringLiteral("Text35"), matrixBox);
  cyz_ = NewField(QStringLiteral("Text38"), matrixBox);
  czxCopy_ = NewField(QStringLiteral("Text33"), matrixBox);
  czyCopy_ = NewField(QStringLiteral("Text36"), matrixBox);
  czz_ = NewField(QStringLiteral("Text39"), matrixBox);
  // Rows x, y, z; the lower triangle repeats the upper one and cannot be typed.
  matrix->addWidget(cxx_, 0, 0);
  matrix->addWidget(cxy_, 0, 1);
  matrix->addWidget(cxz_, 0, 2);
  matrix->addWidget(cyxCopy_, 1, 0);
  matrix->addWidget(cyy_, 1, 1);
  matrix->addWidget(cyz_, 1, 2);
  matrix->addWidget(czxCopy_, 2, 0);
  matrix->addWidget(czyCopy_, 2, 1);
  matrix->addWidget(czz_, 2, 2);
  for (QLineEdit* copy : {cyxCopy_, czxCopy_, czyCopy_}) {
    copy->setReadOnly(true);
    copy->setFocusPolicy(Qt::NoFocus);
  }
  auto* unit = new QHBoxLayout();
  unit->addStretch();
  unit->addWidget(NewLabel(QStringLiteral("Unidades: m"), matrixBox));
  squared_ = NewLabel(QString(), matrixBox);
  squared_->setObjectName(QStringLiteral("Label20"));
  unit->addWidget(squared_);
  unit->setSpacing(0);
  matrix->addLayout(unit, 3, 0, 1, 3);
  top->addWidget(matrixBox, 1);
  layout->addLayout(top);

  EntryButtonRow buttons = NewEntryButtonRow(QStringLiteral("Picture2"), QStringLiteral("Command24"),
                                             QStringLiteral("Modificar2"), tab);
  introduceGps_ = buttons.introduce;
  wave_ = NewButton(QStringLiteral("Wave"), QStringLiteral("Importar líneas base del WAVE"), tab);
  buttons.layout->addWidget(wave_);
  layout->addLayout(buttons.layout);

  gpsList_ = new EntryListView(QStringLiteral("Text16"), tab);
  layout->addWidget(gpsList_, 1);

  gpsEditor_ = new EntryListEditor(
      {.window = this, .sectionText = &state_.gpsListText, .entryStride = kGpsEntryStride, .list = gpsList_,
       .buttons = buttons, .numericFields = {dx_, dy_, dz_, cxx_, cxy_, cxz_, cyy_, cyz_, czz_},
       .enterFields = {czz_}, .nextEntryField = gpsFrom_, .removeName = QStringLiteral("Eliminar2")},
      {.beforeIntroduce = [this] { state_.matricesImported = false; },
       .buildEntry = [this] { return GpsBlockFromFields(); },
       .clearFields = [this] { ClearGpsFields(); },
       .isEntry = IsGpsEntry,
       .showEntry = [this](std::string_view entry) { ShowGpsEntry(entry); },
       .refuse = nullptr});

  for (QLineEdit* mirrored : {cxy_, cxz_, cyz_}) {
    connect(mirrored, &QLineEdit::textChanged, this, &NuevoIIWindow::MirrorLowerTriangle);
  }
  connect(wave_, &QPushButton::clicked, this, &NuevoIIWindow::OpenWaveChooser);
  return tab;
}

void NuevoIIWindow::OpenFresh() {
  squared_->setText(kSuperscriptTwo);
  type_->clear();
  for (const std::string* keyword : {&kTypeDistance, &kTypeZenith, &kTypeDirection}) {
    type_->addItem(FromCp1252(*keyword));
  }
  type_->setCurrentIndex(-1);
  classicalEditor_->HideModify();
  gpsEditor_->HideModify();
  classicalEditor_->ForgetSelectedEntry();
  gpsEditor_->ForgetSelectedEntry();
  RefreshLists();
}

void NuevoIIWindow::RefreshLists() {
  classicalEditor_->ShowSectionText();
  gpsEditor_->ShowSectionText();
}

std::optional<std::size_t> NuevoIIWindow::SelectedClassicalEntry() const { return classicalEditor_->SelectedEntry(); }
std::optional<std::size_t> NuevoIIWindow::SelectedGpsEntry() const { return gpsEditor_->SelectedEntry(); }

void NuevoIIWindow::ClearClassicalFields() {
  type_->setCurrentIndex(-1);
  for (QComboBox* box : {station_, target_}) {
    box->setCurrentIndex(-1);
    box->clearEditText();
  }
  value_->clear();
  stdDev_->clear();
}

void NuevoIIWindow::ClearClassicalValues() {
  target_->setCurrentIndex(-1);
  target_->clearEditText();
  value_->clear();
  stdDev_->clear();
}

void NuevoIIWindow::ClearGpsFields() {
  for (QComboBox* box : {gpsFrom_, gpsTo_}) {
    box->setCurrentIndex(-1);
    box->clearEditText();
  }
  for (QLineEdit* field : {dx_, dy_, dz_, cxx_, cxy_, cxz_, cyy_, cyz_, czz_}) field->clear();
}

void NuevoIIWindow::MirrorLowerTriangle() {
  cyxCopy_->setText(cxy_->text());
  czxCopy_->setText(cxz_->text());
  czyCopy_->setText(cyz_->text());
}

Result<std::string> NuevoIIWindow::ClassicalLineFromFields() const {
  ClassicalLineFields fields;
  fields.type = FieldText(type_);
  fields.from = FieldText(station_);
  fields.to = FieldText(target_);
  fields.value = FieldText(value_);
  fields.stdDev = FieldText(stdDev_);
  return BuildClassicalLine(fields);
}

Result<std::string> NuevoIIWindow::GpsBlockFromFields() const {
  GpsBlockFields fields;
  fields.from = FieldText(gpsFrom_);
  fields.to = FieldText(gpsTo_);
  fields.dx = FieldText(dx_);
  fields.dy = FieldText(dy_);
  fields.dz = FieldText(dz_);
  fields.cxx = FieldText(cxx_);
  fields.cxy = FieldText(cxy_);
  fields.cxz = FieldText(cxz_);
  fields.cyy = FieldText(cyy_);
  fields.cyz = FieldText(cyz_);
  fields.czz = FieldText(czz_);
  return BuildGpsBlock(fields);
}

void NuevoIIWindow::ShowClassicalEntry(std::string_view entry) {
  const ClassicalLineFields fields = DecodeClassicalEntry(entry);
  type_->setCurrentIndex(type_->findText(FromCp1252(fields.type)));
  station_->setEditText(FromCp1252(fields.from));
  target_->setEditText(FromCp1252(fields.to));
  value_->setText(FromCp1252(fields.value));
  stdDev_->setText(FromCp1252(fields.stdDev));
}

void NuevoIIWindow::ShowGpsEntry(std::string_view entry) {
  const GpsBlockFields fields = DecodeGpsEntry(entry);
  gpsFrom_->setEditText(FromCp1252(fields.from));
  gpsTo_->setEditText(FromCp1252(fields.to));
  dx_->setText(FromCp1252(fields.dx));
  dy_->setText(FromCp1252(fields.dy));
  dz_->setText(FromCp1252(fields.dz));
  cxx_->setText(FromCp1252(fields.cxx));
  cxy_->setText(FromCp1252(fields.cxy));
  cxz_->setText(FromCp1252(fields.cxz));
  cyy_->setText(FromCp1252(fields.cyy));
  cyz_->setText(FromCp1252(fields.cyz));
  czz_->setText(FromCp1252(fields.czz));
}

ProjectChooser* NuevoIIWindow::WaveChooser() {
  if (waveChooser_ == nullptr) {
    waveChooser_ = NewWaveReportChooser(this, [this](const QString& path) { ImportWaveFile(FileSystemPath(path)); });
  }
  return waveChooser_;
}

void NuevoIIWindow::OpenWaveChooser() {
  ShowChooser(WaveChooser());
}

void NuevoIIWindow::ImportWaveFile(const std::string& reportPath) {
  const WaveImportOutcome outcome = ImportWaveReport(reportPath, state_.gpsListText);
  if (outcome.failed) {
    // A failed import ends there: the typed fields and the modify button stay as they were.
    // The list still follows the GPS text, so the blocks read before the failure are shown
    // and are saved with the list.
    Dialogs().ShowMessage(this, FromCp1252(outcome.failure), QString(), MessageIcon::None);
    gpsEditor_->ShowSectionText();
    return;
  }
  introduceGps_->setFocus();
  gpsEditor_->HideModify();
  ClearGpsFields();
  gpsEditor_->ShowSectionText();
  if (outcome.baselinesInReport == 0) {
    // A file that is not a detailed-summary report would otherwise import nothing in silence.
    Dialogs().ShowMessage(this, kNoBaselinesMessage, QString(), MessageIcon::Information);
    return;
  }
  // The blocks added are the last ones of the list: show them, and say how many.
  gpsList_->moveCursor(QTextCursor::End);
  gpsList_->ensureCursorVisible();
  Dialogs().ShowMessage(this,
                        outcome.blocksAppended == 1
                            ? QStringLiteral(" Se ha añadido 1 línea base del informe del WAVE. ")
                            : QStringLiteral(" Se han añadido %1 líneas base del informe del WAVE. ").arg(outcome.blocksAppended),
                        QString(), MessageIcon::Information);
}

bool NuevoIIWindow::SaveAndExit() {
  if (state_.matricesImported) {
    // The observation system comes from the imported matrices: the file keeps the vertices
    // only, with empty observation sections.
    state_.classicalListText.clear();
    state_.gpsListText.clear();
    ClearClassicalFields();
    ClearGpsFields();
    OpenFresh();
  }
  FileDialogRequest request;
  request.title = QStringLiteral("Guardar fichero de datos");
  request.filter = kSaveFilter;
  request.filterIndex = kSaveFilterAllFiles;
  const std::optional<QString> chosen =
      SaveWithOverwriteCheck(this, request, FolderPurpose::kProjects, [this](const QString& target) {
        const Status written = WriteProjectFile(FileSystemPath(target), state_);
        return written ? std::nullopt : std::optional<QString>(FromCp1252(kProjectSaveErrorMessage));
      });
  if (!chosen) return false;
  const std::string path = FileSystemPath(*chosen);
  MarkListsSaved(state_);
  state_.projectFilePath = path;
  hide();
  if (hooks_.closedAfterSave) hooks_.closedAfterSave();
  if (hooks_.loadProject) hooks_.loadProject(path);
  return true;
}

}  // namespace korvo
