#pragma once
// Korvo's own pictures, drawn with QPainter so that they scale with their widgets: the start
// picture of the splash and of the main window's frame, the north arrow beside the sketch and
// the application icon.

#include <QIcon>
#include <QRectF>
#include <QWidget>

class QPainter;

namespace korvo {

// A night landscape with a triangulated network of survey stations, a tripod and a GPS
// satellite sending its signal: the picture of the splash and of the main window's frame.
void PaintStartPicture(QPainter& painter, const QRectF& area);

// A north arrow with its "N", for the corner of the sketch.
void PaintNorthArrow(QPainter& painter, const QRectF& area);

// The window icon: a fixed-vertex triangle over a network.
QIcon AppIcon();

// A widget that only shows one of the pictures above, scaled to its size.
class PictureWidget : public QWidget {
 public:
  using Painter = void (*)(QPainter&, const QRectF&);
  // With keepAspect the picture keeps the proportions of `preferred`, centred on the widget.
  PictureWidget(Painter paint, QSize preferred, QWidget* parent = nullptr, bool keepAspect = false);
  QSize sizeHint() const override { return preferred_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Painter paint_;
  QSize preferred_;
  bool keepAspect_;
};

}  // namespace korvo
