#include "network/entry/entry_choosers.h"

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

constexpr int kPathRole = Qt::UserRole + 1;

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

// The file-system roots and mounted volumes, each once.
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

}  // namespace

FileChooserWindow::FileChooserWindow(const QString& objectName, const QString& title, QWidget* parent)
    : QDialog(parent), title_(title) {
  setObjectName(objectName);
  setWindowTitle(title);
  setModal(false);

  explanation_ = new QLabel(this);
  explanation_->setWordWrap(true);
  explanation_->hide();
  nameLabel_ = new QLabel(QStringLiteral("&Nombre del fichero:"), this);
  name_ = new QLineEdit(this);
  name_->setObjectName(QStringLiteral("Text1"));
  nameLabel_->setBuddy(name_);
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
  grid->addWidget(nameLabel_, 0, 0);
  grid->addWidget(name_, 1, 0);
  grid->addWidget(files_, 2, 0, 3, 1);
  grid->addWidget(folderLabel, 0, 1);
  grid->addWidget(folders_, 1, 1, 2, 1);
  grid->addWidget(driveLabel, 3, 1);
  grid->addWidget(drives_, 4, 1, Qt::AlignTop);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(accept_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(explanation_);
  layout->addLayout(grid, 1);
  layout->addLayout(buttons);
  resize(620, 420);

  connect(drives_, &QComboBox::currentIndexChanged, this, &FileChooserWindow::OnDriveChanged);
  connect(folders_, &QListWidget::itemDoubleClicked, this, &FileChooserWindow::OpenFolderItem);
  connect(files_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    if (item != nullptr) name_->setText(item->text());
  });
  connect(files_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    if (item == nullptr) return;
    name_->setText(item->text());
    Accept();
  });
  connect(name_, &QLineEdit::textChanged, this, [this](const QString& text) {
    accept_->setEnabled(false);
    if (!text.isEmpty()) accept_->setEnabled(true);
  });
  connect(name_, &QLineEdit::returnPressed, this, [this] {
    if (accept_->isEnabled()) Accept();
  });
  connect(accept_, &QPushButton::clicked, this, &FileChooserWindow::Accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  folders_->installEventFilter(this);
  files_->installEventFilter(this);
  FillDrives();
}

void FileChooserWindow::SetExplanation(const QString& text) {
  explanation_->setText(text);
  explanation_->setVisible(!text.isEmpty());
}

void FileChooserWindow::SetNameLabel(const QString& text) { nameLabel_->setText(text); }

void FileChooserWindow::PrepareForShowing() {
  setWindowTitle(title_);
  FillDrives();
  SetFolder(QCoreApplication::applicationDirPath());
  name_->clear();
}

void FileChooserWindow::FillDrives() {
  fillingDrives_ = true;
  drives_->clear();
  for (const QString& root : AvailableDrives()) drives_->addItem(Native(root), root);
  fillingDrives_ = false;
}

int FileChooserWindow::DriveIndexOf(const QString& folder) const {
  // The drive of a folder is the longest drive root that holds it.
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

void FileChooserWindow::SetFolder(const QString& folder) {
  folder_ = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
  const int drive = DriveIndexOf(folder_);
  if (drive >= 0 && drive != drives_->currentIndex()) {
    fillingDrives_ = true;
    drives_->setCurrentIndex(drive);
    fillingDrives_ = false;
  }
  FillFolderList();
  FillFileList();
}

void FileChooserWindow::FillFolderList() {
  folders_->clear();
  // The way down from the root to the current folder, then its subfolders.
  QStringList chain;
  for (QDir dir(folder_);;) {
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

void FileChooserWindow::FillFileList() {
  files_->clear();
  files_->addItems(QDir(folder_).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
  files_->setCurrentRow(-1);
  files_->clearSelection();
}

void FileChooserWindow::OnDriveChanged(int index) {
  if (fillingDrives_ || index < 0) return;
  const QString root = drives_->itemData(index).toString();
  const QFileInfo info(root);
  if (!info.isDir() || !info.isReadable()) {
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
}

void FileChooserWindow::OpenFolderItem(QListWidgetItem* item) {
  if (item != nullptr) SetFolder(item->data(kPathRole).toString());
}

QString FileChooserWindow::ResultPath() const {
  const QListWidgetItem* selected = files_->currentItem();
  const QString name = selected != nullptr && selected->isSelected() ? selected->text() : QString();
  const QString folder = Native(folder_);
  if (folder.endsWith(QDir::separator())) return folder + name;
  return folder + QDir::separator() + name;
}

void FileChooserWindow::Accept() {
  const QString path = ResultPath();
  hide();
  accept();
  if (onChosen_) onChosen_(path);
}

bool FileChooserWindow::eventFilter(QObject* watched, QEvent* event) {
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

FileChooserWindow* NewWaveReportChooser(QWidget* parent, std::function<void(const QString&)> onChosen) {
  auto* chooser =
      new FileChooserWindow(QStringLiteral("frmAbrirwave"), QStringLiteral(" Abrir fichero de texto de WAVE"), parent);
  chooser->SetExplanation(QStringLiteral(
      "Importa las líneas base y sus matrices varianza-covarianza del 'Fichero de Texto' con 'Sumario Detallado' "
      "del WAVE de Trimble"));
  chooser->SetNameLabel(QStringLiteral("&Nombre del proyecto:"));
  chooser->SetOnChosen(std::move(onChosen));
  return chooser;
}

FileChooserWindow* NewMatrixFileChooser(QWidget* parent) {
  return new FileChooserWindow(QStringLiteral("frmAbririmp"), QStringLiteral("Abrir fichero de importación"), parent);
}

}  // namespace korvo
