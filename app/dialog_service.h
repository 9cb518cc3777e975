#pragma once
// Every message box, yes/no question, file dialog and print dialog of Korvo's windows goes
// through this one service, so tests can answer them and read their exact texts. The real
// implementation (QtDialogService) uses QMessageBox, QFileDialog and QPrintDialog.

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace korvo {

// Title of message boxes that have none of their own.
inline const QString kAppTitle = QStringLiteral("Korvo");

enum class MessageIcon { None, Critical, Exclamation, Information, Question };

struct FileDialogRequest {
  QString title;
  // The filter as a list of description|pattern pairs, as in
  // "Ficheros de texto (*.txt)|*.txt|Todos los archivos (*.*)|*.*". Patterns may hold several
  // globs separated by ';'. The service converts it to the toolkit's own form.
  QString filter;
  int filterIndex = 1;          // 1-based pair preselected
  QString defaultExtension;     // without the dot, added when the name typed has none
  QString initialDirectory;
  QString initialName;
};

struct PrintChoice {
  int copies = 1;
  bool printToFile = false;  // the user ticked "print to file"
};

class DialogService {
 public:
  virtual ~DialogService() = default;

  // A modal message with an OK button. An empty title means kAppTitle.
  virtual void ShowMessage(QWidget* parent, const QString& text, const QString& title, MessageIcon icon) = 0;

  // A modal Yes/No question; true for Yes. defaultYes chooses the default button.
  virtual bool AskYesNo(QWidget* parent, const QString& text, const QString& title, MessageIcon icon,
                        bool defaultYes) = 0;

  // Yes/No/Cancel question; returns 1 for Yes, 0 for No, -1 for Cancel.
  virtual int AskYesNoCancel(QWidget* parent, const QString& text, const QString& title, MessageIcon icon) = 0;

  // Open and save dialogs: the chosen path, or nothing when cancelled. The save dialog does
  // not ask about overwriting; the callers ask themselves, with Korvo's own texts.
  virtual std::optional<QString> GetOpenFileName(QWidget* parent, const FileDialogRequest& request) = 0;
  virtual std::optional<QString> GetSaveFileName(QWidget* parent, const FileDialogRequest& request) = 0;

  // The print dialog: the choice, or nothing when cancelled. PrintText sends text to the
  // printer chosen in the last AskPrint.
  virtual std::optional<PrintChoice> AskPrint(QWidget* parent) = 0;
  virtual void PrintText(const QString& text) = 0;

  virtual void Beep() = 0;
};

// The service in use; the real one unless a test installed another.
DialogService& Dialogs();
// Installs a service (tests); nullptr restores the real one. The caller keeps ownership.
void SetDialogService(DialogService* service);

// "desc|pattern|desc|pattern" -> Qt's "desc (pattern);;..." form; also returns the filter
// text of the 1-based pair `index` in Qt's form.
QStringList ConvertFilter(const QString& pipeFilter);

}  // namespace korvo
