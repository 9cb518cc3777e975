#include "app/results_saver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/file_dialogs.h"
#include "app/qt_text.h"
#include "report/results_file.h"

namespace korvo {

QString SaveResultsFile(QWidget* parent, const ResultsTexts& texts, const QString& suggestedPath) {
  FileDialogRequest request;
  request.title = kSaveResultsDialogTitle;
  request.filter = kSaveResultsFilter;
  request.defaultExtension = QStringLiteral("txt");
  if (!suggestedPath.isEmpty()) {
    // The project's results name, in the folder the last results went to (or the project's).
    QString folder = RememberedFolder(FolderPurpose::kResults);
    if (folder.isEmpty()) folder = QFileInfo(suggestedPath).absolutePath();
    request.initialDirectory = folder;
    request.initialName = QDir(folder).filePath(QFileInfo(suggestedPath).fileName());
  }
  const std::optional<QString> written =
      SaveWithOverwriteCheck(parent, request, FolderPurpose::kResults, [&texts](const QString& path) {
        const Status status = WriteResultsFile(QFile::encodeName(path).toStdString(), texts.header,
                                               texts.leastSquares, texts.robustComparison);
        return status ? std::nullopt : std::optional<QString>(FromCp1252(status.error()));
      });
  return written.value_or(QString());
}

}  // namespace korvo
