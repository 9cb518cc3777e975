// Korvo desktop application: the splash, then the main window.
//
// KORVO_TOUR_DIR (with KORVO_TOUR_PROJECT) runs the scripted walk of app/screen_tour.h used by
// scripts/screenshots.sh; it is not meant for users.
#include <QApplication>
#include <memory>
#include <new>

#include "app/artwork.h"
#include "app/dialog_service.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/screen_tour.h"
#include "app/splash_window.h"
#include "app/translations.h"
#include "engine/full_report_estimate.h"

namespace {

// Every window action runs inside notify(): running out of memory in any of them is a
// message, and the program goes on (files are written whole or not at all).
class KorvoApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
      korvo::Dialogs().ShowMessage(nullptr, korvo::FromCp1252(korvo::OutOfMemoryMessage()), QString(),
                                   korvo::MessageIcon::Critical);
      return false;
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  KorvoApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Korvo"));
  korvo::InstallSpanishQtTexts(app);
  QApplication::setWindowIcon(korvo::AppIcon());

  std::unique_ptr<korvo::ScreenTour> tour;
  const QString tourFolder = qEnvironmentVariable("KORVO_TOUR_DIR");
  if (!tourFolder.isEmpty()) {
    const QString project = qEnvironmentVariable("KORVO_TOUR_PROJECT");
    tour = std::make_unique<korvo::ScreenTour>(tourFolder, project);
  }

  std::unique_ptr<korvo::Principal> principal;
  korvo::Bienvenida splash;
  QObject::connect(&splash, &korvo::Bienvenida::timeElapsed, [&principal, &tour] {
    principal = std::make_unique<korvo::Principal>();
    principal->show();
    if (tour) tour->Run(*principal);
  });
  QObject::connect(&splash, &korvo::Bienvenida::dismissedByClick, &app, &QApplication::quit, Qt::QueuedConnection);
  splash.Start();
  if (tour) tour->Stage(QStringLiteral("splash"), nullptr);
  return QApplication::exec();
}
