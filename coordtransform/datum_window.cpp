#include "coordtransform/datum_window.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>
#include <cmath>
#include <optional>

#include "app/dialog_service.h"
#include "app/file_dialogs.h"
#include "app/qt_text.h"
#include "common/files.h"
#include "coordtransform/about_window.h"
#include "coordtransform/coordinate_checks.h"
#include "coordtransform/coordinate_files.h"
#include "coordtransform/help_window.h"
#include "editor/editor_window.h"

namespace korvo {
namespace {

const QString kFileFilter = QStringLiteral(
    "Archivos de texto (*.txt)|*.txt|Archivos TMP (*.tmp)|*.tmp|Todos los archivos (*.*)|*.*");

struct FormatPanel {
  const char* datum;
  const char* caption;
  std::array<const char*, 3> columns;
};

constexpr FormatPanel kPanels[kFormatCount] = {
    {"ED50", "UTM huso 30", {"X", "Y", "h"}},
    {"ED50", "UTM huso 31", {"X", "Y", "h"}},
    {"ED50", "Geodésicas (pseudosexagesimal)", {"φ", "λ", "h"}},
    {"ED50", "Cartesianas geocéntricas", {"X", "Y", "Z"}},
    {"WGS84", "Geodésicas (pseudosexagesimal)", {"φ", "λ", "h"}},
    {"WGS84", "Cartesianas geocéntricas", {"X", "Y", "Z"}},
};

// Path of a chosen file in the file system's encoding.
std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The arrow-and-hourglass pointer while a command works; restored on every way out.
class BusyPointer {
 public:
  explicit BusyPointer(QWidget* window) : window_(window) { window_->setCursor(Qt::BusyCursor); }
  ~BusyPointer() { window_->unsetCursor(); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;

 private:
  QWidget* window_;
};

QString BoxText(const std::string& cp1252Column) {
  // The core separates lines with CR LF; a text box holds plain line feeds.
  QString text = FromCp1252(cp1252Column);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

// The widest value a column shows: a pseudo-sexagesimal angle, or a coordinate in metres.
QString WidestValue(int column) {
  const ColumnLayout layout = LayoutOfColumn(column);
  return layout.decimals == 8 ? QStringLiteral("-179.59599999") : QStringLiteral("-1234567.890");
}

// The width of a box that shows `widest` whole: the text, the document margins, the frame,
// the caret and, for a column that has one, the vertical scroll bar.
int ColumnWidth(const QPlainTextEdit& box, const QString& widest, bool withScrollBar) {
  const int text = box.fontMetrics().horizontalAdvance(widest);
  const int margins = 2 * static_cast<int>(std::ceil(box.document()->documentMargin())) + 2 * box.frameWidth();
  const int caret = 2;
  const int bar = withScrollBar ? box.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &box) : 0;
  return text + margins + caret + bar;
}

}  // namespace

DatumWindow::DatumWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("Main"));
  setWindowTitle(QStringLiteral("Transformación de datum"));
  openEditor_ = [] { ShowEditor(); };
  BuildWindow();
}

void DatumWindow::BuildWindow() {
  auto* layout = new QVBoxLayout(this);

  auto* title = new QLabel(QStringLiteral("TRANSFORMACIÓN DE DATUM"), this);
  title->setObjectName(QStringLiteral("lblTitulo"));
  QFont titleFont = title->font();
  titleFont.setBold(true);
  titleFont.setPointSize(titleFont.pointSize() + 4);
  title->setFont(titleFont);
  layout->addWidget(title, 0, Qt::AlignHCenter);

  auto* instructions = new QLabel(
      QStringLiteral("Introduzca las coordenadas en uno de los siguientes formatos y pulse TRANSFORMAR"), this);
  instructions->setObjectName(QStringLiteral("lblInstrucciones"));
  layout->addWidget(instructions, 0, Qt::AlignHCenter);

  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  auto* datums = new QHBoxLayout;
  auto* ed50 = new QGroupBox(QStringLiteral("ED50"), this);
  ed50->setObjectName(QStringLiteral("FrameED50"));
  auto* ed50Grid = new QGridLayout(ed50);
  auto* wgs84 = new QGroupBox(QStringLiteral("WGS84"), this);
  wgs84->setObjectName(QStringLiteral("FrameWGS84"));
  auto* wgs84Column = new QVBoxLayout(wgs84);

  for (int f = 0; f < kFormatCount; ++f) {
    const FormatPanel& panel = kPanels[f];
    QGroupBox* outer = f < 4 ? ed50 : wgs84;
    auto* frame = new QGroupBox(QString::fromUtf8(panel.caption), outer);
    frame->setObjectName(QStringLiteral("Frame%1").arg(f + 1));
    auto* grid = new QGridLayout(frame);
    for (int c = 0; c < 3; ++c) {
      const int k = 3 * f + c;
      auto* label = new QLabel(QString::fromUtf8(panel.columns[static_cast<std::size_t>(c)]), frame);
      label->setObjectName(QStringLiteral("ColumnLabel%1").arg(k));
      grid->addWidget(label, 0, c, Qt::AlignHCenter);
      auto* box = new QPlainTextEdit(frame);
      box->setObjectName(QStringLiteral("Coord%1").arg(k));
      box->setFont(fixed);
      box->setLineWrapMode(QPlainTextEdit::NoWrap);
      box->setTabChangesFocus(true);
      // Only the last column of a format has a vertical scroll bar; the three scroll together.
      const bool last = c == 2;
      box->setVerticalScrollBarPolicy(last ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
      box->setMinimumWidth(ColumnWidth(*box, WidestValue(k), last));
      box->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
      grid->addWidget(box, 1, c);
      coord_[static_cast<std::size_t>(k)] = box;
    }
    ShareVerticalScroll(f);
    auto* button = new QPushButton(QStringLiteral("< TRANSFORMAR >"), frame);
    button->setObjectName(QStringLiteral("Transform%1").arg(f));
    connect(button, &QPushButton::clicked, this, [this, f] { Transform(f); });
    grid->addWidget(button, 2, 0, 1, 3, Qt::AlignHCenter);
    transform_[static_cast<std::size_t>(f)] = button;
    if (f < 4) {
      ed50Grid->addWidget(frame, f / 2, f % 2);
    } else {
      wgs84Column->addWidget(frame);
    }
  }
  datums->addWidget(ed50, 2);
  datums->addWidget(wgs84, 1);
  layout->addLayout(datums, 1);

  auto* buttons = new QHBoxLayout;
  const struct {
    const char* name;
    const char* caption;
    void (DatumWindow::*command)();
  } commands[] = {
      {"Input", "Entrada por fichero", &DatumWindow::InputFromFile},
      {"Output", "Salida por fichero", &DatumWindow::OutputToFile},
      {"Erase", "Borrar", &DatumWindow::EraseAll},
      {"Help", "Ayuda", &DatumWindow::ShowHelp},
      {"Command1", "Acerca de", &DatumWindow::ShowAbout},
      {"Command2", "Editor de texto", &DatumWindow::OpenEditor},
  };
  for (const auto& command : commands) {
    auto* button = new QPushButton(QString::fromUtf8(command.caption), this);
    button->setObjectName(QString::fromUtf8(command.name));
    connect(button, &QPushButton::clicked, this, command.command);
    buttons->addWidget(button);
  }
  auto* quit = new QPushButton(QStringLiteral("Salir"), this);
  quit->setObjectName(QStringLiteral("Command3"));
  connect(quit, &QPushButton::clicked, this, &QWidget::close);
  buttons->addWidget(quit);
  layout->addLayout(buttons);
}

// The three columns of a format scroll together: row n of each is the same point.
void DatumWindow::ShareVerticalScroll(int format) {
  for (int c = 0; c < 3; ++c) {
    QScrollBar* bar = CoordBox(3 * format + c)->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this, [this, format, c](int value) {
      for (int other = 0; other < 3; ++other) {
        if (other == c) continue;
        QScrollBar* follower = CoordBox(3 * format + other)->verticalScrollBar();
        if (follower->value() != value) follower->setValue(value);
      }
    });
  }
}

void DatumWindow::Transform(int index) {
  if (index < 0 || index >= kFormatCount) return;
  BusyPointer busy(this);
  std::array<std::string, 3> columns;
  for (int c = 0; c < 3; ++c) columns[static_cast<std::size_t>(c)] = ToCp1252(CoordBox(3 * index + c)->toPlainText());
  const auto format = static_cast<CoordinateFormat>(index + 1);
  const bool angles = format == CoordinateFormat::kEd50Geographic || format == CoordinateFormat::kWgs84Geographic;
  ColumnReadFailure where;
  const Result<std::vector<Triple>> input = ReadColumns(columns, &where, angles);
  if (!input) {
    QString message = FromCp1252(input.error());
    if (where.kind == ColumnReadFailure::Kind::ColumnCount) {
      RefuseTypedValue(message, std::nullopt, 0);
      return;
    }
    // The value is named by its line and the caption of its column.
    message += QStringLiteral("\r\n Línea %1, columna %2 de %3. ")
                   .arg(where.line)
                   .arg(QString::fromUtf8(kPanels[index].columns[static_cast<std::size_t>(where.column)]),
                        QString::fromUtf8(kPanels[index].caption));
    RefuseTypedValue(message, 3 * index + where.column, where.line);
    return;
  }
  // Typed points pass the checks of a coordinate file, so that an impossible value never
  // comes out transformed.
  for (std::size_t i = 0; i < input->size(); ++i) {
    if (const std::optional<CoordinateProblem> problem = CheckCoordinates(format, (*input)[i])) {
      RefuseTypedValue(FromCp1252(CoordinateProblemMessage(*problem, i + 1)), 3 * index + problem->column - 1, i + 1);
      return;
    }
  }
  points_ = TransformPoints(format, *input);
  ShowAllColumns();
}

// A beep, the value at fault selected (line `line`, 1-based, of box `box`), then the message.
void DatumWindow::RefuseTypedValue(const QString& message, std::optional<int> box, std::size_t line) {
  Dialogs().Beep();
  if (box) {
    QPlainTextEdit* column = CoordBox(*box);
    QTextCursor value(column->document()->findBlockByNumber(static_cast<int>(line) - 1));
    value.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    column->setTextCursor(value);
    column->ensureCursorVisible();
    column->setFocus();
  }
  Dialogs().ShowMessage(this, message, QString(), MessageIcon::Information);
}

// Every box shows its column of every point in the column's fixed-width form.
void DatumWindow::ShowAllColumns() {
  const std::array<std::string, kColumnCount> columns = DisplayColumns(points_);
  for (int k = 0; k < kColumnCount; ++k) CoordBox(k)->setPlainText(BoxText(columns[static_cast<std::size_t>(k)]));
}

void DatumWindow::EraseAll() {
  for (QPlainTextEdit* box : coord_) box->clear();
}

void DatumWindow::ReportFailure(const std::string& cp1252Message) {
  Dialogs().ShowMessage(this, FromCp1252(cp1252Message), QString(), MessageIcon::Exclamation);
}

void DatumWindow::InputFromFile() {
  FileDialogRequest request;
  request.title = QStringLiteral("Entrada por fichero");
  request.filter = kFileFilter;
  const std::optional<QString> path = ChooseFileToOpen(this, request, FolderPurpose::kCoordinateFiles);
  if (!path) return;
  SetEditorOpenedFileName(*path);

  const Result<std::string> bytes = ReadFileBytes(LocalPath(*path));
  if (!bytes) {
    Dialogs().ShowMessage(this,
                          QStringLiteral(" No se puede leer el fichero ") + *path + QStringLiteral(" \r\n ") +
                              FromCp1252(bytes.error()),
                          QString(), MessageIcon::Critical);
    return;
  }
  CoordinateInputFailure failure = CoordinateInputFailure::None;
  const Result<CoordinateInput> input = ParseCoordinateInput(*bytes, &failure);
  if (!input) {
    // An unknown identifier is shown without an icon; a bad point line as a warning.
    Dialogs().ShowMessage(this, FromCp1252(input.error()), QString(),
                          failure == CoordinateInputFailure::UnknownFormat ? MessageIcon::None
                                                                           : MessageIcon::Exclamation);
    return;
  }
  LoadInputColumns(input->format, input->points);
}

// After a load only the file's format holds values; the other formats stay empty (and zero in
// the arrays) until the user transforms.
void DatumWindow::LoadInputColumns(CoordinateFormat format, const std::vector<Triple>& points) {
  points_.assign(points.size(), PointInAllFormats{});
  for (std::size_t i = 0; i < points.size(); ++i) FormatOf(points_[i], format) = points[i];
  EraseAll();
  const std::array<std::string, kColumnCount> columns = DisplayColumns(points_);
  const int first = 3 * (static_cast<int>(format) - 1);
  for (int k = first; k < first + 3; ++k) CoordBox(k)->setPlainText(BoxText(columns[static_cast<std::size_t>(k)]));
}

void DatumWindow::OutputToFile() {
  FileDialogRequest request;
  request.title = QStringLiteral("Salida por fichero");
  request.filter = kFileFilter;
  SaveWithOverwriteCheck(this, request, FolderPurpose::kCoordinateFiles, [this](const QString& path) {
    const Status written = WriteCoordinateFile(LocalPath(path), points_);
    return written ? std::nullopt : std::optional<QString>(FromCp1252(written.error()));
  });
}

void DatumWindow::ShowHelp() {
  if (help_ == nullptr) help_ = new HelpWindow(this);
  help_->setWindowModality(Qt::ApplicationModal);
  help_->show();
  help_->raise();
}

void DatumWindow::ShowAbout() {
  if (about_ == nullptr) about_ = new AboutWindow(this);
  about_->setWindowModality(Qt::ApplicationModal);
  about_->show();
  about_->raise();
}

// The editor comes up as it is; the coordinate file just read is one "A&brir..." away.
void DatumWindow::OpenEditor() {
  if (openEditor_) openEditor_();
}

DatumWindow& DatumWindowInstance() {
  static DatumWindow* instance = [] {
    auto* window = new DatumWindow;
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, window, &QObject::deleteLater);
    return window;
  }();
  return *instance;
}

void ShowDatumWindow() {
  DatumWindow& window = DatumWindowInstance();
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace korvo
