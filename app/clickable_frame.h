#pragma once
// A frame that reports a click anywhere on it (its labels and pictures let clicks through).

#include <QFrame>
#include <QMouseEvent>

namespace korvo {

class ClickableFrame : public QFrame {
  Q_OBJECT
 public:
  using QFrame::QFrame;

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
    QFrame::mouseReleaseEvent(event);
  }
};

}  // namespace korvo
