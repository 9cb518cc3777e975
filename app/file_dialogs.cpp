#include "app/file_dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace korvo {
namespace {

QString SettingsKey(FolderPurpose purpose) {
  switch (purpose) {
    case FolderPurpose::kProjects: return QStringLiteral("carpetas/proyectos");
    case FolderPurpose::kResults: return QStringLiteral("carpetas/resultados");
    case FolderPurpose::kWaveReports: return QStringLiteral("carpetas/wave");
    case FolderPurpose::kMatrices: return QStringLiteral("carpetas/matrices");
    case FolderPurpose::kCoordinateFiles: return QStringLiteral("carpetas/coordenadas");
    case FolderPurpose::kEditor: return QStringLiteral("carpetas/editor");
  }
  return QStringLiteral("carpetas/otros");
}

QSettings Settings() { return QSettings(QStringLiteral("Korvo"), QStringLiteral("Korvo")); }

void StartInRememberedFolder(FileDialogRequest& request, FolderPurpose purpose) {
  if (!request.initialDirectory.isEmpty()) return;
  request.initialDirectory = RememberedFolder(purpose);
}

}  // namespace

QString RememberedFolder(FolderPurpose purpose) {
  const QString folder = Settings().value(SettingsKey(purpose)).toString();
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) return {};
  return folder;
}

void RememberFolder(FolderPurpose purpose, const QString& path) {
  if (path.isEmpty()) return;
  const QFileInfo info(path);
  const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
  Settings().setValue(SettingsKey(purpose), QDir::cleanPath(folder));
}

std::optional<QString> ChooseFileToOpen(QWidget* parent, FileDialogRequest request, FolderPurpose purpose) {
  StartInRememberedFolder(request, purpose);
  const std::optional<QString> chosen = Dialogs().GetOpenFileName(parent, request);
  if (chosen) RememberFolder(purpose, *chosen);
  return chosen;
}

std::optional<QString> SaveWithOverwriteCheck(QWidget* parent, FileDialogRequest request, FolderPurpose purpose,
                                              const FileWriter& write) {
  StartInRememberedFolder(request, purpose);
  for (;;) {
    const std::optional<QString> chosen = Dialogs().GetSaveFileName(parent, request);
    if (!chosen) return std::nullopt;
    const QString path = *chosen;
    // The dialog comes back where the user was, with the name just chosen.
    request.initialDirectory = QFileInfo(path).absolutePath();
    request.initialName = path;
    if (QFileInfo::exists(path) &&
        !Dialogs().AskYesNo(parent, kOverwriteQuestion, QString(), MessageIcon::Information, false)) {
      continue;
    }
    const std::optional<QString> failure = write(path);
    if (!failure) {
      RememberFolder(purpose, path);
      return path;
    }
    Dialogs().ShowMessage(parent, *failure, QString(), MessageIcon::Critical);
  }
}

}  // namespace korvo
