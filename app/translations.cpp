#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace korvo {

bool InstallSpanishQtTexts(QCoreApplication& app) {
  // "qt_es" bundles qtbase_es and the other modules' files; qtbase_es alone serves when the
  // bundle is missing.
  auto* translator = new QTranslator(&app);
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  const QLocale spanish(QLocale::Spanish, QLocale::Spain);
  if (!translator->load(spanish, QStringLiteral("qt"), QStringLiteral("_"), folder) &&
      !translator->load(spanish, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace korvo
