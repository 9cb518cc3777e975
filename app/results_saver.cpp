#include "app/results_saver.h"

#include <QFile>
#include <QFileInfo>

#include "app/dialog_service.h"
#include "app/qt_text.h"
#include "report/results_file.h"

namespace korvo {

QString SaveResultsFile(QWidget* parent, const ResultsTexts& texts, const QString& suggestedPath) {
  FileDialogRequest request;
  request.title = kSaveResultsDialogTitle;
  request.filter = kSaveResultsFilter;
  request.defaultExtension = QStringLiteral("txt");
  if (!suggestedPath.isEmpty()) {
    request.initialDirectory = QFileInfo(suggestedPath).absolutePath();
    request.initialName = suggestedPath;
  }
  return SaveWithOverwrite(parent, request, [&texts](const QString& path) {
    return WriteResultsFile(QFile::encodeName(path).toStdString(), texts.header, texts.leastSquares,
                            texts.robustComparison);
  });
}

QString SaveWithOverwrite(QWidget* parent, FileDialogRequest request, const std::function<Status(const QString&)>& write) {
  for (;;) {
    const std::optional<QString> chosen = Dialogs().GetSaveFileName(parent, request);
    if (!chosen) return {};
    const QString path = *chosen;
    request.initialName = path;
    if (QFileInfo::exists(path) &&
        !Dialogs().AskYesNo(parent, kOverwriteQuestion, QString(), MessageIcon::Information, false)) {
      continue;
    }
    const Status written = write(path);
    if (written) return path;
    // The message names the file; the dialog comes back so the results can go elsewhere.
    Dialogs().ShowMessage(parent, FromCp1252(written.error()), QString(), MessageIcon::Exclamation);
  }
}

}  // namespace korvo
