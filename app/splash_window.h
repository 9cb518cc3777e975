#pragma once
// The start window "Bienvenida": the start picture, the description, the version and the
// date. After kSplashIntervalMs its timer closes it and the main window opens; a click on its
// frame closes it and the program ends without opening the main window.

#include <QTimer>
#include <QWidget>

namespace korvo {

inline constexpr int kSplashIntervalMs = 5000;

class Bienvenida : public QWidget {
  Q_OBJECT
 public:
  explicit Bienvenida(QWidget* parent = nullptr);

  // Starts the timer (the window shows itself).
  void Start();

 signals:
  void timeElapsed();      // the timer closed the splash: open the main window
  void dismissedByClick();  // the frame was clicked: end the program

 private:
  QTimer* timer_;
};

}  // namespace korvo
