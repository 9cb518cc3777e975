#include "editor/editor_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QTextCursor>

#include "app/dialog_service.h"
#include "app/file_dialogs.h"
#include "app/qt_text.h"
#include "common/files.h"
#include "editor/editor_text.h"
#include "editor/replace_dialog.h"

namespace korvo {
namespace {

const QString kCaption = QStringLiteral("Editor de texto");
const QString kFileFilter = QStringLiteral("Archivos de texto (*.txt)|*.txt|") +
                            QStringLiteral("Archivos TMP (*.tmp)|*.tmp|") +
                            QStringLiteral("Todos los archivos (*.*)|*.*");
const std::array<QString, 3> kFontNames = {QStringLiteral("Courier New"), QStringLiteral("Arial"),
                                           QStringLiteral("Symbol")};
const std::array<int, 3> kFontSizesPt = {8, 10, 12};
constexpr int kInitialFont = 0;
constexpr int kInitialSize = 1;

// The process-wide opened-file name shared with the coordinate utility.
QString& OpenedFileName() {
  static QString name;
  return name;
}

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString Utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

// The selection of a text box as plain text: Qt marks line breaks inside a selection with
// paragraph separators, the clipboard wants line feeds.
QString SelectedPlainText(const QPlainTextEdit& box) {
  QString selected = box.textCursor().selectedText();
  selected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  selected.replace(QChar::LineSeparator, QLatin1Char('\n'));
  return selected;
}

QAction* NamedAction(QMenu* menu, const QString& name, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  return action;
}

QMenu* NamedMenu(QMenuBar* bar, const QString& name, const QString& caption) {
  QMenu* menu = bar->addMenu(caption);
  menu->setObjectName(name);
  return menu;
}

}  // namespace

EditorWindow::EditorWindow(QWidget* parent) : QMainWindow(parent), text_(new QPlainTextEdit(this)) {
  setObjectName(QStringLiteral("frmEditor"));
  text_->setObjectName(QStringLiteral("Text1"));
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  setCentralWidget(text_);
  BuildMenus();
  resize(640, 480);
  Load();
}

void EditorWindow::BuildMenus() {
  QMenuBar* bar = menuBar();

  QMenu* file = NamedMenu(bar, QStringLiteral("mnuArchivo"), QStringLiteral("&Archivo "));
  connect(NamedAction(file, QStringLiteral("FicheroAbrir"), QStringLiteral("A&brir...")), &QAction::triggered, this,
          &EditorWindow::OpenFile);
  connect(NamedAction(file, QStringLiteral("FicheroGu"), QStringLiteral("&Guardar")), &QAction::triggered, this,
          [this] { Save(); });
  connect(NamedAction(file, QStringLiteral("FicheroGuardar"), QStringLiteral("Guardar c&omo...")),
          &QAction::triggered, this, [this] { SaveAs(); });
  file->addSeparator()->setObjectName(QStringLiteral("Separador1"));
  connect(NamedAction(file, QStringLiteral("FicheroImprimir"), QStringLiteral("&Imprimir...")), &QAction::triggered,
          this, &EditorWindow::Print);
  file->addSeparator()->setObjectName(QStringLiteral("Separador2"));
  connect(NamedAction(file, QStringLiteral("FicheroSalir"), QStringLiteral("&Salir")), &QAction::triggered, this,
          &QWidget::close);

  editMenu_ = NamedMenu(bar, QStringLiteral("mnuEdicion"), QStringLiteral("&Edición "));
  cut_ = NamedAction(editMenu_, QStringLiteral("EdiciónCortar"), QStringLiteral("&Cortar"));
  copy_ = NamedAction(editMenu_, QStringLiteral("EdiciónCopiar"), QStringLiteral("C&opiar"));
  paste_ = NamedAction(editMenu_, QStringLiteral("EdiciónPegar"), QStringLiteral("&Pegar"));
  connect(cut_, &QAction::triggered, this, &EditorWindow::Cut);
  connect(copy_, &QAction::triggered, this, &EditorWindow::Copy);
  connect(paste_, &QAction::triggered, this, &EditorWindow::Paste);
  connect(editMenu_, &QMenu::aboutToShow, this, &EditorWindow::UpdateEditMenu);

  QMenu* replace = NamedMenu(bar, QStringLiteral("mnuReemplazar"), QStringLiteral("&Reemplazar"));
  connect(NamedAction(replace, QStringLiteral("Reemplazar"), QStringLiteral("Reempla&zar caracteres")),
          &QAction::triggered, this, &EditorWindow::ShowReplaceDialog);

  // The font and size items are control arrays: every item of an array carries the same
  // name, and its index in the property "index".
  QMenu* textMenu = NamedMenu(bar, QStringLiteral("mnuTexto"), QStringLiteral("&Texto "));
  QMenu* fontMenu = textMenu->addMenu(QStringLiteral("&Fuentes"));
  fontMenu->setObjectName(QStringLiteral("mnuFuentes"));
  for (int k = 0; k < static_cast<int>(fonts_.size()); ++k) {
    QAction* item = NamedAction(fontMenu, QStringLiteral("Fuente"), kFontNames[k]);
    item->setCheckable(true);
    item->setProperty("index", k);
    connect(item, &QAction::triggered, this, [this, k] { SelectFont(k); });
    fonts_[k] = item;
  }
  QMenu* sizeMenu = textMenu->addMenu(QStringLiteral("T&amaño"));
  sizeMenu->setObjectName(QStringLiteral("mnuTamaño"));
  for (int k = 0; k < static_cast<int>(sizes_.size()); ++k) {
    QAction* item = NamedAction(sizeMenu, QStringLiteral("Tamaño"), QString::number(kFontSizesPt[k]));
    item->setCheckable(true);
    item->setProperty("index", k);
    connect(item, &QAction::triggered, this, [this, k] { SelectSize(k); });
    sizes_[k] = item;
  }

  QMenu* about = NamedMenu(bar, QStringLiteral("mnuAcercaDe"), QStringLiteral("A&cerca de"));
  connect(NamedAction(about, QStringLiteral("AyudaAcercaDe"), QStringLiteral("Acerca de Editor")),
          &QAction::triggered, this, [this] {
            Dialogs().ShowMessage(this, QStringLiteral("Editor de texto de Korvo."),
                                  QStringLiteral("Acerca de Editor"), MessageIcon::Information);
          });
}

// The state of a freshly loaded window.
void EditorWindow::Load() {
  for (QAction* item : fonts_) item->setChecked(false);
  for (QAction* item : sizes_) item->setChecked(false);
  QFont font = text_->font();
  font.setFamily(kFontNames[kInitialFont]);
  font.setPointSize(kFontSizesPt[kInitialSize]);
  text_->setFont(font);
  fonts_[kInitialFont]->setChecked(true);
  sizes_[kInitialSize]->setChecked(true);
  checkedFont_ = kInitialFont;
  checkedSize_ = kInitialSize;
  text_->clear();
  setWindowTitle(kCaption);
  OpenedFileName().clear();
  saveName_.clear();
  saved_ = false;
  dialogCancelled_ = false;
  shownFile_.clear();
  cleanText_.clear();
  finalLineEnd_ = true;
}

void EditorWindow::showEvent(QShowEvent* event) {
  if (!event->spontaneous() && !loaded_) {
    Load();
    loaded_ = true;
  }
  QMainWindow::showEvent(event);
}

void EditorWindow::ShowFileName(const QString& path) { setWindowTitle(kCaption + QStringLiteral(" - ") + path); }

void EditorWindow::OpenFile() {
  FileDialogRequest request;
  request.title = QStringLiteral("Abrir");
  request.filter = kFileFilter;
  const std::optional<QString> path = ChooseFileToOpen(this, request, FolderPurpose::kEditor);
  if (!path) return;
  LoadFile(*path);
}

bool EditorWindow::LoadFile(const QString& path) {
  const Result<std::string> bytes = ReadFileBytes(LocalPath(path));
  if (!bytes) {
    Dialogs().ShowMessage(this,
                          QStringLiteral(" No se ha podido leer el fichero ") + path + QStringLiteral(". ") +
                              FromCp1252(bytes.error()) + QLatin1Char(' '),
                          {}, MessageIcon::Critical);
    return false;
  }
  // The box shows the text without the file's last line end; a save puts it back.
  QString text = FromCp1252(ToEditorLineEnds(*bytes));
  finalLineEnd_ = text.endsWith(QLatin1Char('\n'));
  if (finalLineEnd_) text.chop(1);
  text_->setPlainText(text);
  cleanText_ = text;
  OpenedFileName() = path;
  // The save name belonged to the previous text: "&Guardar" must not write this file's text
  // over it.
  saveName_.clear();
  shownFile_ = path;
  ShowFileName(path);
  return true;
}

// Writes the text, with CR LF line ends and one CR LF after it, as the whole new content of
// `path`. A failure is reported and leaves the file as it was.
namespace {

// The message that explains a failed save of `path`.
QString SaveFailureText(const QString& path, const std::string& cp1252Reason) {
  return QStringLiteral(" No se ha podido guardar el fichero ") + path + QStringLiteral(". ") +
         FromCp1252(cp1252Reason) + QLatin1Char(' ');
}

}  // namespace

// Writes the text, with CR LF line ends and one CR LF after it, as the whole new content of
// `path`; the failure message, or nothing. A failure leaves the file as it was.
std::optional<QString> EditorWindow::WriteText(const QString& path) {
  const QString text = text_->toPlainText();
  const Status written = WriteFileAtomically(LocalPath(path), FileTextForSave(ToCp1252(text), finalLineEnd_));
  if (!written) return SaveFailureText(path, written.error());
  saved_ = true;
  cleanText_ = text;
  return std::nullopt;
}

bool EditorWindow::WriteTextTo(const QString& path) {
  if (const std::optional<QString> failure = WriteText(path)) {
    Dialogs().ShowMessage(this, *failure, {}, MessageIcon::Critical);
    return false;
  }
  return true;
}

bool EditorWindow::SaveAs() {
  dialogCancelled_ = false;
  FileDialogRequest request;
  request.title = QStringLiteral("Guardar como");
  request.filter = kFileFilter;
  const std::optional<QString> path = SaveWithOverwriteCheck(
      this, request, FolderPurpose::kEditor, [this](const QString& chosen) { return WriteText(chosen); });
  if (!path) {
    dialogCancelled_ = true;
    return false;
  }
  saveName_ = *path;
  shownFile_ = *path;
  ShowFileName(*path);
  return true;
}

bool EditorWindow::Save() {
  if (saveName_.isEmpty()) return SaveAs();
  return WriteTextTo(saveName_);
}

void EditorWindow::Print() {
  const std::optional<PrintChoice> choice = Dialogs().AskPrint(this);
  if (!choice) return;
  if (choice->printToFile) {
    Dialogs().ShowMessage(this, QStringLiteral(" Opción no disponible. "), {}, MessageIcon::None);
    return;
  }
  const QString copyText = Utf8(PrintCopyText(Utf8(text_->toPlainText())));
  for (int copy = 0; copy < choice->copies; ++copy) Dialogs().PrintText(copyText);
}

void EditorWindow::Cut() {
  QApplication::clipboard()->setText(SelectedPlainText(*text_));
  text_->textCursor().insertText(QString());
}

void EditorWindow::Copy() { QApplication::clipboard()->setText(SelectedPlainText(*text_)); }

void EditorWindow::Paste() {
  const QString pasted = Utf8(ToEditorLineEnds(Utf8(QApplication::clipboard()->text())));
  text_->textCursor().insertText(pasted);
}

void EditorWindow::UpdateEditMenu() {
  const bool hasSelection = text_->textCursor().hasSelection();
  cut_->setEnabled(hasSelection);
  copy_->setEnabled(hasSelection);
  paste_->setEnabled(!QApplication::clipboard()->text().isEmpty());
}

void EditorWindow::SelectFont(int index) {
  fonts_[checkedFont_]->setChecked(false);
  QFont font = text_->font();
  font.setFamily(kFontNames[index]);
  text_->setFont(font);
  fonts_[index]->setChecked(true);
  checkedFont_ = index;
}

void EditorWindow::SelectSize(int index) {
  sizes_[checkedSize_]->setChecked(false);
  QFont font = text_->font();
  font.setPointSize(kFontSizesPt[index]);
  text_->setFont(font);
  sizes_[index]->setChecked(true);
  checkedSize_ = index;
}

void EditorWindow::ShowReplaceDialog() {
  ReplaceDialog dialog(text_, this);
  dialog.exec();
}

// "Sí" to saving on close: the text goes to the file the caption shows (the last file opened
// or saved as); without one the save dialog asks for a name.
bool EditorWindow::SaveBeforeClosing() {
  if (!shownFile_.isEmpty()) {
    if (!WriteTextTo(shownFile_)) return false;
    saveName_ = shownFile_;
    return true;
  }
  return Save();
}

void EditorWindow::closeEvent(QCloseEvent* event) {
  if (text_->toPlainText() != cleanText_) {
    const int answer = Dialogs().AskYesNoCancel(this, QStringLiteral(" ¿Desea guardar cambios? "), {},
                                                MessageIcon::Information);
    // Cancelar, a cancelled save dialog or a failed write keep the window open with its text.
    if (answer < 0 || (answer > 0 && !SaveBeforeClosing())) {
      event->ignore();
      return;
    }
  }
  loaded_ = false;
  QMainWindow::closeEvent(event);
}

EditorWindow& EditorInstance() {
  static EditorWindow* instance = [] {
    auto* window = new EditorWindow;
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, window, &QObject::deleteLater);
    return window;
  }();
  return *instance;
}

void ShowEditor() {
  EditorWindow& window = EditorInstance();
  window.setWindowModality(Qt::ApplicationModal);
  window.show();
  window.raise();
  window.activateWindow();
}

QString EditorOpenedFileName() { return OpenedFileName(); }

void SetEditorOpenedFileName(const QString& path) { OpenedFileName() = path; }

}  // namespace korvo
