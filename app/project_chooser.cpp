#include "app/project_chooser.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QStyle>
#include <QVBoxLayout>

#include "app/dialog_service.h"

namespace korvo {
namespace {

// Folder entries of the folder list carry their full path here.
constexpr int kPathRole = Qt::UserRole + 1;

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

// The file-system roots and the mounted volumes, each once, as the drive list offers them.
QStringList AvailableDrives() {
  QStringList roots;
  for (const QFileInfo& drive : QDir::drives()) roots << QDir::cleanPath(drive.absoluteFilePath());
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady()) continue;
    const QString root = QDir::cleanPath(volume.rootPath());
    if (QFileInfo(root).isDir() && !roots.contains(root)) roots << root;
  }
  roots.sort();
  return roots;
}

QString DriveCaption(const QString& root) {
  const QStorageInfo volume(root);
  const QString name = volume.isValid() ? volume.displayName() : QString();
  if (name.isEmpty() || name == root) return Native(root);
  return QStringLiteral("%1  [%2]").arg(Native(root), name);
}

}  // namespace

ProjectChooser::ProjectChooser(QWidget* parent, FolderPurpose purpose) : QDialog(parent), purpose_(purpose) {
  setObjectName(QStringLiteral("frmAbrir"));
  setWindowTitle(QStringLiteral(" Abrir Trabajo"));

  auto* nameLabel = new QLabel(QStringLiteral("&Nombre del fichero:"), this);
  name_ = new QLineEdit(this);
  name_->setObjectName(QStringLiteral("Text1"));
  nameLabel->setBuddy(name_);

  files_ = new QListWidget(this);
  files_->setObjectName(QStringLiteral("File1"));

  auto* folderLabel = new QLabel(QStringLiteral("&Directorios:"), this);
  folders_ = new QListWidget(this);
  folders_->setObjectName(QStringLiteral("dirBox1"));
  folderLabel->setBuddy(folders_);

  auto* driveLabel = new QLabel(QStringLiteral("&Unidades de disco:"), this);
  drives_ = new QComboBox(this);
  drives_->setObjectName(QStringLiteral("drvBox1"));
  driveLabel->setBuddy(drives_);

  accept_ = new QPushButton(QStringLiteral("&Aceptar"), this);
  accept_->setObjectName(QStringLiteral("btnAceptar"));
  accept_->setEnabled(false);
  accept_->setAutoDefault(false);
  cancel_ = new QPushButton(QStringLiteral("&Cancelar"), this);
  cancel_->setObjectName(QStringLiteral("btnCancelar"));
  cancel_->setAutoDefault(false);

  auto* grid = new QGridLayout;
  grid->addWidget(nameLabel, 0, 0);
  grid->addWidget(name_, 1, 0);
  grid->addWidget(files_, 2, 0, 3, 1);
  grid->addWidget(folderLabel, 0, 1);
  grid->addWidget(folders_, 1, 1, 2, 1);
  grid->addWidget(driveLabel, 3, 1);
  grid->addWidget(drives_, 4, 1, Qt::AlignTop);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(accept_);
  buttons->addWidget(cancel_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid, 1);
  layout->addLayout(buttons);
  resize(620, 400);

  connect(drives_, &QComboBox::currentIndexChanged, this, &ProjectChooser::OnDriveChanged);
  connect(folders_, &QListWidget::itemDoubleClicked, this, &ProjectChooser::OpenFolderItem);
  // Only a selection fills the name: the list taking the focus makes a row current without
  // selecting it, and that row was chosen by no one.
  connect(files_, &QListWidget::itemSelectionChanged, this, &ProjectChooser::OnFileSelectionChanged);
  connect(files_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { name_->setText(item->text()); });
  connect(files_, &QListWidget::itemDoubleClicked, this, [this] {
    OnFileSelectionChanged();
    if (accept_->isEnabled()) Accept();
  });
  connect(name_, &QLineEdit::textChanged, this, &ProjectChooser::OnNameEdited);
  connect(name_, &QLineEdit::returnPressed, this, &ProjectChooser::OnNameEntered);
  connect(accept_, &QPushButton::clicked, this, &ProjectChooser::Accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  folders_->installEventFilter(this);
  files_->installEventFilter(this);

  FillDrives();
}

void ProjectChooser::PrepareForShowing() {
  // Each showing starts afresh, as a newly opened window: no name, Aceptar disabled, and the
  // folder of the last file chosen for this purpose (at first the program's own folder).
  name_->clear();
  accept_->setEnabled(false);
  setWindowTitle(QStringLiteral("Abrir Trabajo"));
  QString folder = RememberedFolder(purpose_);
  if (folder.isEmpty()) folder = QCoreApplication::applicationDirPath();
  QDir::setCurrent(folder);
  FillDrives();
  SetFolder(folder);
}

void ProjectChooser::FillDrives() {
  fillingDrives_ = true;
  drives_->clear();
  for (const QString& root : AvailableDrives()) drives_->addItem(DriveCaption(root), root);
  fillingDrives_ = false;
}

int ProjectChooser::DriveIndexOf(const QString& folder) const {
  // The drive of a folder is the longest drive root that contains it.
  int best = -1;
  qsizetype bestLength = -1;
  const QString clean = QDir::cleanPath(folder);
  for (int i = 0; i < drives_->count(); ++i) {
    const QString root = drives_->itemData(i).toString();
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    if ((clean == root || clean.startsWith(prefix)) && root.size() > bestLength) {
      best = i;
      bestLength = root.size();
    }
  }
  return best;
}

void ProjectChooser::SetFolder(const QString& folder) {
  folder_ = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
  const int drive = DriveIndexOf(folder_);
  if (drive >= 0 && drive != drives_->currentIndex()) {
    fillingDrives_ = true;
    drives_->setCurrentIndex(drive);
    fillingDrives_ = false;
  }
  FillFolderList();
  FillFileList();
  name_->clear();
}

void ProjectChooser::FillFolderList() {
  folders_->clear();
  // The way down from the root to the current folder, then the current folder's subfolders.
  QStringList chain;
  for (QDir dir(folder_);; ) {
    chain.prepend(dir.absolutePath());
    if (dir.isRoot() || !dir.cdUp()) break;
  }
  int depth = 0;
  for (const QString& path : chain) {
    const QString caption = depth == 0 ? Native(path) : QFileInfo(path).fileName();
    auto* item = new QListWidgetItem(style()->standardIcon(QStyle::SP_DirOpenIcon),
                                     QString(depth * 2, QLatin1Char(' ')) + caption);
    item->setData(kPathRole, path);
    folders_->addItem(item);
    ++depth;
  }
  folders_->setCurrentRow(folders_->count() - 1);
  const QDir current(folder_);
  for (const QString& child : current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
    auto* item = new QListWidgetItem(style()->standardIcon(QStyle::SP_DirClosedIcon),
                                     QString(depth * 2, QLatin1Char(' ')) + child);
    item->setData(kPathRole, current.absoluteFilePath(child));
    folders_->addItem(item);
  }
}

void ProjectChooser::FillFileList() {
  files_->clear();
  const QDir current(folder_);
  files_->addItems(current.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
  files_->setCurrentRow(-1);
  files_->clearSelection();
}

void ProjectChooser::OnDriveChanged(int index) {
  if (fillingDrives_ || index < 0) return;
  const QString root = drives_->itemData(index).toString();
  const QFileInfo info(root);
  if (!info.isDir() || !info.isReadable() || !QDir(root).exists()) {
    Dialogs().Beep();
    Dialogs().ShowMessage(this, QStringLiteral("El dispositivo no está disponible"), QString(),
                          MessageIcon::Information);
    fillingDrives_ = true;
    drives_->setCurrentIndex(DriveIndexOf(folder_));
    fillingDrives_ = false;
    return;
  }
  folder_ = QDir::cleanPath(root);
  FillFolderList();
  FillFileList();
  name_->clear();
}

void ProjectChooser::OpenFolderItem(QListWidgetItem* item) {
  if (item == nullptr) return;
  SetFolder(item->data(kPathRole).toString());
}

void ProjectChooser::OnFileSelectionChanged() {
  const QList<QListWidgetItem*> selected = files_->selectedItems();
  if (!selected.isEmpty()) name_->setText(selected.constFirst()->text());
}

QString ProjectChooser::ResultPath() const {
  const QString name = name_->text().trimmed();
  if (!name.isEmpty() && QFileInfo(name).isAbsolute()) return Native(QDir::cleanPath(name));
  const QString folder = Native(folder_);
  // A root folder already ends in the separator.
  if (folder.endsWith(QDir::separator())) return folder + name;
  return folder + QDir::separator() + name;
}

void ProjectChooser::OnNameEdited() {
  accept_->setEnabled(!name_->text().trimmed().isEmpty() && QFileInfo(ResultPath()).isFile());
}

// Enter in the name field: a file is accepted; a typed or pasted folder is opened.
void ProjectChooser::OnNameEntered() {
  if (accept_->isEnabled()) {
    Accept();
    return;
  }
  const QString typed = name_->text().trimmed();
  if (typed.isEmpty()) return;
  const QFileInfo info(QFileInfo(typed).isAbsolute() ? typed : QDir(folder_).filePath(typed));
  if (info.isDir()) SetFolder(info.absoluteFilePath());
}

void ProjectChooser::Accept() {
  const QString path = ResultPath();
  if (!QFileInfo(path).isFile()) return;
  RememberFolder(purpose_, path);
  hide();
  emit chosen(path);
  accept();
}

bool ProjectChooser::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (watched == folders_) {
        OpenFolderItem(folders_->currentItem());
        return true;
      }
      if (watched == files_) {
        if (accept_->isEnabled()) Accept();
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace korvo
