#pragma once
// A scripted walk through the windows for screenshots (scripts/screenshots.sh).
//
// Hidden switch: when the environment variable KORVO_TOUR_DIR names a folder, the program
// walks through its windows on its own and, at each stage, creates "<stage>.ready" in that
// folder and waits until "<stage>.done" appears there (the script takes its screenshot in
// between). Stages: splash, chooser, sketch, results, options, about. KORVO_TOUR_PROJECT names
// the project to open (default: examples/red_ejemplo.txt beside the program's source). The
// results file goes to the tour folder. Nothing of this runs without the variable.

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace korvo {

class Principal;

class ScreenTour : public QObject {
  Q_OBJECT
 public:
  ScreenTour(QString folder, QString projectPath, QObject* parent = nullptr);
  ~ScreenTour() override;

  // Announces `stage` and runs `next` once the script has taken its picture.
  void Stage(const QString& stage, std::function<void()> next);

  // The walk through the main window once it is shown.
  void Run(Principal& window);

 private:
  void ShowZoomedSketch(Principal& window);
  void ShowEntryWindow(Principal& window);
  void ShowDatumWindowWithPoints();

  QString folder_;
  QString projectPath_;
  class TourDialogs;
  TourDialogs* dialogs_;
};

}  // namespace korvo
