#pragma once
// The project file chooser "frmAbrir": a drive list (file-system roots and mounted volumes),
// the folder list of the current drive, the files of the current folder and a name field.
// The name field holds only a name the user chose (a click on a file, the keyboard moving the
// selection onto one) or typed; changing folder empties it. Aceptar is enabled only while it
// names a file of the shown folder, or is a full path to an existing file (typed or pasted).
// Accepting reports that path through chosen(); the window that opened the chooser decides
// what to do with it. Each purpose (projects, WAVE reports, matrices) starts in the folder
// where its last file was chosen.

#include <QDialog>
#include <QString>

#include "app/file_dialogs.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace korvo {

class ProjectChooser : public QDialog {
  Q_OBJECT
 public:
  explicit ProjectChooser(QWidget* parent = nullptr, FolderPurpose purpose = FolderPurpose::kProjects);

  // What happens each time the chooser is loaded: the name field is emptied (Aceptar
  // disabled), the caption becomes "Abrir Trabajo", and the process's current folder, the
  // folder list and the drive list move to the folder remembered for the chooser's purpose
  // (the application's own folder the first time).
  void PrepareForShowing();

  // Moves the folder and file lists to `folder` and the drive list to its drive.
  void SetFolder(const QString& folder);
  QString Folder() const { return folder_; }

  // The path accepting builds: the name field's full path, or folder + separator + its name.
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
  void OnFileSelectionChanged();
  void OnNameEdited();
  void OnNameEntered();
  void Accept();
  int DriveIndexOf(const QString& folder) const;

  FolderPurpose purpose_;
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
