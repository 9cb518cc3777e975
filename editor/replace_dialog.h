#pragma once
// frmReemplazar, "Reemplazar caracteres": replaces every occurrence of one character of the
// editor's text by another.

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace korvo {

class ReplaceDialog : public QDialog {
  Q_OBJECT

 public:
  // `target` is the editor's text box; it must outlive the dialog.
  explicit ReplaceDialog(QPlainTextEdit* target, QWidget* parent = nullptr);

  // btnAccept: both fields must hold a character; then every occurrence of the first in the
  // target's text becomes the second, and the dialog closes. With an empty field the message
  // is shown and the dialog stays open.
  void AcceptReplacement();

 private:
  QPlainTextEdit* target_;
  QLineEdit* fromField_;  // Text1 "Reemplazar caracter:"
  QLineEdit* toField_;    // Text2 "Por caracter:"
};

}  // namespace korvo
