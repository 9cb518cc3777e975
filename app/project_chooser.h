#pragma once
// The project file chooser "frmAbrir": a drive list (file-system roots and mounted volumes),
// the folder list of the current drive, the files of the current folder and a name field.
// Accepting builds the path from the file list's folder and its selected name and reports it
// through chosen(); the window that opened the chooser decides what to do with it.

#include <QDialog>
#include <QString>

class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace korvo {

class ProjectChooser : public QDialog {
  Q_OBJECT
 public:
  explicit ProjectChooser(QWidget* parent = nullptr);

  // What happens each time the chooser is loaded: the name field is emptied (Aceptar
  // disabled), the caption becomes "Abrir Trabajo", and the process's current folder, the
  // folder list and the drive list move to the application's own folder.
  void PrepareForShowing();

  // Moves the folder and file lists to `folder` and the drive list to its drive.
  void SetFolder(const QString& folder);
  QString Folder() const { return folder_; }

  // The path accepting builds: folder + separator + the file list's selected name. With no
  // file selected it ends in the separator (the load then reports its read error).
  QString ResultPath() const;

 signals:
  void chosen(const QString& path);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FillDrives();
  void FillFolderList();
  void FillFileList();
  void OnDriveChanged(int index);
  void OpenFolderItem(QListWidgetItem* item);
  void OnFileClicked(QListWidgetItem* item);
  void OnNameEdited(const QString& text);
  void Accept();
  int DriveIndexOf(const QString& folder) const;

  QString folder_;
  bool fillingDrives_ = false;
  QComboBox* drives_;
  QListWidget* folders_;
  QListWidget* files_;
  QLineEdit* name_;
  QPushButton* accept_;
  QPushButton* cancel_;
};

}  // namespace korvo
