// Korvo desktop application: the splash, then the main window.
#include <QApplication>
#include <memory>

#include "app/artwork.h"
#include "app/main_window.h"
#include "app/splash_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Korvo"));
  QApplication::setWindowIcon(korvo::AppIcon());

  std::unique_ptr<korvo::Principal> principal;
  korvo::Bienvenida splash;
  QObject::connect(&splash, &korvo::Bienvenida::timeElapsed, [&principal] {
    principal = std::make_unique<korvo::Principal>();
    principal->show();
  });
  QObject::connect(&splash, &korvo::Bienvenida::dismissedByClick, &app, &QApplication::quit, Qt::QueuedConnection);
  splash.Start();
  return QApplication::exec();
}
