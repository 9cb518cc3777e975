#pragma once
// frmEditor, "Editor de texto": a plain-text editor for data files, results files and the
// coordinate files of the transformation utility. One process-wide instance.
//
// Showing the window after it was closed (or for the first time) starts it afresh: empty
// text, "Courier New" 10, no file names. Closing it after the text changed asks whether to save (Sí, No, Cancelar).
//
// How other windows use it:
//   ShowEditor();                        // menu "&Editor de texto", the toolbar button and
//                                        // the coordinate utility's "Editor de texto"
//   EditorOpenedFileName() / SetEditorOpenedFileName(path)
//                                        // the opened-file name the editor shares with the
//                                        // coordinate utility (see below)
//
// Saving never writes to a file the window does not name: "&Guardar" writes to the name of
// the last "Guardar c&omo..." (opening another file forgets it), and saving on close writes
// to the file the caption shows.

#include <QMainWindow>
#include <QString>
#include <array>

class QAction;
class QMenu;
class QPlainTextEdit;

namespace korvo {

class EditorWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit EditorWindow(QWidget* parent = nullptr);

  // The commands of the menus; the menu items call them, tests may too.
  void OpenFile();        // FicheroAbrir: open dialog, then LoadFile
  bool Save();            // FicheroGu: overwrite the save name, or ask for one
  bool SaveAs();          // FicheroGuardar: save dialog, overwrite question, write
  void Print();           // FicheroImprimir
  void Cut();             // EdiciónCortar
  void Copy();            // EdiciónCopiar
  void Paste();           // EdiciónPegar
  void UpdateEditMenu();  // run when the "&Edición " menu opens
  void SelectFont(int index);  // Fuente(index): "Courier New", "Arial", "Symbol"
  void SelectSize(int index);  // Tamaño(index): 8, 10, 12 points
  void ShowReplaceDialog();    // Reemplazar: frmReemplazar, modal

  // Reads a whole Windows-1252 file into the box and makes it the opened file (the caption
  // shows it); the save name of the previous text is forgotten. A file that cannot be read
  // is reported and nothing changes. True on success.
  bool LoadFile(const QString& path);

  // The name "&Guardar" writes to: set by "Guardar c&omo..." and by saving on close, emptied
  // by opening a file.
  const QString& SaveName() const { return saveName_; }
  // True once any save of this session of the window succeeded.
  bool IsSaved() const { return saved_; }
  // True when the last save dialog was cancelled.
  bool SaveDialogCancelled() const { return dialogCancelled_; }
  QPlainTextEdit* TextBox() const { return text_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void Load();
  std::optional<QString> WriteText(const QString& path);
  bool WriteTextTo(const QString& path);
  void ShowFileName(const QString& path);
  bool SaveBeforeClosing();

  QPlainTextEdit* text_;  // Text1
  QMenu* editMenu_ = nullptr;
  QAction* cut_ = nullptr;
  QAction* copy_ = nullptr;
  QAction* paste_ = nullptr;
  std::array<QAction*, 3> fonts_{};
  std::array<QAction*, 3> sizes_{};
  int checkedFont_ = 0;
  int checkedSize_ = 1;
  QString saveName_;
  bool saved_ = false;
  bool dialogCancelled_ = false;
  // The file the caption names: the last file opened or saved as. Saving on close writes
  // here, never to the shared opened-file name, which the coordinate utility may have set to
  // a file this window never showed.
  QString shownFile_;
  // The text as last opened or saved (the close question only when it changed), and whether
  // the file opened ended with a line end.
  QString cleanText_;
  bool finalLineEnd_ = true;
  bool loaded_ = false;
};

// The single editor window, created on first use (a QApplication must exist).
EditorWindow& EditorInstance();

// Shows the editor modally for the application; a closed editor starts afresh.
void ShowEditor();

// The opened-file name shared by the editor and the coordinate utility: the editor's
// "A&brir..." sets it and the utility sets it to the coordinate file it reads. Starting the
// editor afresh empties it. Saving on close does not follow it: it writes to the file the
// editor's caption shows, so a file read by the utility is never overwritten by the editor.
QString EditorOpenedFileName();
void SetEditorOpenedFileName(const QString& path);

}  // namespace korvo
