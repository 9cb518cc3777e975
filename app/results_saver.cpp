#include "app/results_saver.h"

#include <QFile>
#include <QFileInfo>

#include "app/dialog_service.h"
#include "app/qt_text.h"
#include "common/files.h"
#include "common/text.h"

namespace korvo {
namespace {

std::string ResultsFileBytes(const ResultsTexts& texts) {
  TextBuilder file(texts.header.size() + texts.leastSquares.size() + texts.robustComparison.size() + 2);
  file << texts.header << texts.leastSquares << texts.robustComparison << kCrLf;
  return std::move(file).str();
}

}  // namespace

QString SaveResultsFile(QWidget* parent, const ResultsTexts& texts, const QString& initialDirectory) {
  FileDialogRequest request;
  request.title = kSaveResultsDialogTitle;
  request.filter = kSaveResultsFilter;
  request.defaultExtension = QStringLiteral("txt");
  request.initialDirectory = initialDirectory;
  for (;;) {
    const std::optional<QString> chosen = Dialogs().GetSaveFileName(parent, request);
    if (!chosen) return {};
    const QString path = *chosen;
    request.initialName = path;
    if (QFileInfo::exists(path) &&
        !Dialogs().AskYesNo(parent, kOverwriteQuestion, QString(), MessageIcon::Information, false)) {
      continue;
    }
    const Status written = WriteFileAtomically(QFile::encodeName(path).toStdString(), ResultsFileBytes(texts));
    if (written) return path;
    Dialogs().ShowMessage(parent,
                          QStringLiteral("No se ha podido guardar el fichero de resultados:\r\n%1\r\n\r\n%2")
                              .arg(path, FromCp1252(written.error())),
                          QString(), MessageIcon::Exclamation);
  }
}

}  // namespace korvo
