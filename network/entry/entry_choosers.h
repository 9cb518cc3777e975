#pragma once
// The file choosers opened from the entry windows: "frmAbrirwave" for a WAVE report and
// "frmAbririmp" for the matrix files. Both have the design of the project chooser: drive list
// drvBox1, folder list dirBox1, file list File1, name field Text1, btnAceptar, btnCancelar.
// Accepting builds folder + separator + the file list's selected name (the name typed in Text1
// only enables btnAceptar), closes the chooser and reports the path.

#include <QDialog>
#include <QString>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace korvo {

class FileChooserWindow : public QDialog {
  Q_OBJECT
 public:
  FileChooserWindow(const QString& objectName, const QString& title, QWidget* parent = nullptr);

  // The explanation above the lists (empty: none) and the label of the name field.
  void SetExplanation(const QString& text);
  void SetNameLabel(const QString& text);

  // What happens each time the chooser is shown: the caption is set again and the lists start
  // in the application's own folder.
  void PrepareForShowing();
  void SetFolder(const QString& folder);
  QString Folder() const { return folder_; }
  QString ResultPath() const;

  void SetOnChosen(std::function<void(const QString&)> onChosen) { onChosen_ = std::move(onChosen); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FillDrives();
  void FillFolderList();
  void FillFileList();
  void OnDriveChanged(int index);
  void OpenFolderItem(QListWidgetItem* item);
  void Accept();
  int DriveIndexOf(const QString& folder) const;

  QString title_;
  QString folder_;
  bool fillingDrives_ = false;
  QLabel* explanation_ = nullptr;
  QLabel* nameLabel_ = nullptr;
  QComboBox* drives_ = nullptr;
  QListWidget* folders_ = nullptr;
  QListWidget* files_ = nullptr;
  QLineEdit* name_ = nullptr;
  QPushButton* accept_ = nullptr;
  QPushButton* cancel_ = nullptr;
  std::function<void(const QString&)> onChosen_;
};

// frmAbrirwave, " Abrir fichero de texto de WAVE", with its explanation and "&Nombre del proyecto:".
FileChooserWindow* NewWaveReportChooser(QWidget* parent, std::function<void(const QString&)> onChosen);

// frmAbririmp, "Abrir fichero de importación"; the name label is set for each matrix.
FileChooserWindow* NewMatrixFileChooser(QWidget* parent);

}  // namespace korvo
