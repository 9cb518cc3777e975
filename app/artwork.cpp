#include "app/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>
#include <array>
#include <cmath>

namespace korvo {
namespace {

// Station positions of the picture's network, as fractions of the picture's size.
constexpr std::array<QPointF, 6> kStations = {
    QPointF(0.12, 0.78), QPointF(0.34, 0.60), QPointF(0.55, 0.74),
    QPointF(0.72, 0.56), QPointF(0.88, 0.76), QPointF(0.45, 0.88)};
// Sides of the network between those stations (indices into kStations).
constexpr std::array<std::pair<int, int>, 10> kSides = {{{0, 1}, {1, 2}, {2, 3}, {3, 4}, {0, 5}, {5, 2},
                                                         {1, 5}, {2, 4}, {1, 3}, {5, 4}}};

QPointF At(const QRectF& area, QPointF fraction) {
  return {area.left() + fraction.x() * area.width(), area.top() + fraction.y() * area.height()};
}

void PaintSky(QPainter& painter, const QRectF& area) {
  QLinearGradient sky(area.topLeft(), area.bottomLeft());
  sky.setColorAt(0.0, QColor(10, 24, 58));
  sky.setColorAt(0.55, QColor(32, 72, 122));
  sky.setColorAt(1.0, QColor(92, 140, 170));
  painter.fillRect(area, sky);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 255, 255, 150));
  // A few fixed stars: the same sky every time.
  constexpr std::array<QPointF, 9> stars = {QPointF(0.08, 0.10), QPointF(0.22, 0.22), QPointF(0.31, 0.07),
                                            QPointF(0.47, 0.16), QPointF(0.58, 0.05), QPointF(0.66, 0.27),
                                            QPointF(0.15, 0.34), QPointF(0.40, 0.31), QPointF(0.93, 0.40)};
  const double r = std::max(1.0, area.width() / 260.0);
  for (const QPointF& star : stars) painter.drawEllipse(At(area, star), r, r);
}

void PaintHills(QPainter& painter, const QRectF& area) {
  QPainterPath far;
  far.moveTo(At(area, {0.0, 0.62}));
  far.cubicTo(At(area, {0.18, 0.48}), At(area, {0.30, 0.58}), At(area, {0.45, 0.50}));
  far.cubicTo(At(area, {0.62, 0.42}), At(area, {0.80, 0.56}), At(area, {1.0, 0.47}));
  far.lineTo(area.bottomRight());
  far.lineTo(area.bottomLeft());
  far.closeSubpath();
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(38, 74, 84));
  painter.drawPath(far);

  QPainterPath near;
  near.moveTo(At(area, {0.0, 0.74}));
  near.cubicTo(At(area, {0.25, 0.62}), At(area, {0.45, 0.78}), At(area, {0.65, 0.66}));
  near.cubicTo(At(area, {0.80, 0.58}), At(area, {0.92, 0.70}), At(area, {1.0, 0.66}));
  near.lineTo(area.bottomRight());
  near.lineTo(area.bottomLeft());
  near.closeSubpath();
  QLinearGradient ground(At(area, {0.0, 0.6}), area.bottomLeft());
  ground.setColorAt(0.0, QColor(52, 104, 78));
  ground.setColorAt(1.0, QColor(26, 58, 44));
  painter.setBrush(ground);
  painter.drawPath(near);
}

void PaintSatellite(QPainter& painter, const QRectF& area) {
  const QPointF centre = At(area, {0.80, 0.17});
  const double unit = area.width() / 40.0;
  painter.save();
  painter.translate(centre);
  painter.rotate(-25);
  painter.setPen(QPen(QColor(200, 210, 225), unit * 0.12));
  painter.setBrush(QColor(40, 70, 140));
  painter.drawRect(QRectF(-3.4 * unit, -0.6 * unit, 2.3 * unit, 1.2 * unit));
  painter.drawRect(QRectF(1.1 * unit, -0.6 * unit, 2.3 * unit, 1.2 * unit));
  painter.setBrush(QColor(225, 190, 90));
  painter.drawRect(QRectF(-0.9 * unit, -0.9 * unit, 1.8 * unit, 1.8 * unit));
  painter.restore();
  // Signal arcs towards the network.
  painter.setBrush(Qt::NoBrush);
  for (int arc = 1; arc <= 3; ++arc) {
    painter.setPen(QPen(QColor(255, 230, 140, 200 - arc * 45), unit * 0.15));
    const double radius = unit * (1.6 + arc * 1.1);
    painter.drawArc(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), 200 * 16, 50 * 16);
  }
}

void PaintNetwork(QPainter& painter, const QRectF& area) {
  const double unit = area.width() / 120.0;
  painter.setPen(QPen(QColor(255, 120, 100), std::max(1.0, unit * 0.45)));
  for (const auto& [a, b] : kSides) painter.drawLine(At(area, kStations[a]), At(area, kStations[b]));
  painter.setPen(QPen(QColor(130, 200, 255), std::max(1.0, unit * 0.45), Qt::DashLine));
  painter.drawLine(At(area, kStations[0]), At(area, kStations[4]));
  for (std::size_t i = 0; i < kStations.size(); ++i) {
    const QPointF p = At(area, kStations[i]);
    if (i == 0 || i == 4) {
      // Fixed stations: filled triangles, as in the sketch.
      const double d = unit * 1.8;
      QPolygonF triangle;
      triangle << QPointF(p.x() - d, p.y() + d * 0.58) << QPointF(p.x() + d, p.y() + d * 0.58)
               << QPointF(p.x(), p.y() - d * 1.15);
      painter.setPen(QPen(Qt::black, std::max(1.0, unit * 0.3)));
      painter.setBrush(QColor(250, 250, 250));
      painter.drawPolygon(triangle);
    } else {
      painter.setPen(QPen(Qt::white, std::max(1.0, unit * 0.3)));
      painter.setBrush(QColor(255, 200, 80));
      painter.drawEllipse(p, unit * 0.9, unit * 0.9);
    }
  }
}

void PaintTripod(QPainter& painter, const QRectF& area) {
  const QPointF head = At(area, {0.34, 0.60});
  const double unit = area.width() / 120.0;
  painter.setPen(QPen(QColor(230, 230, 230), std::max(1.0, unit * 0.5)));
  painter.drawLine(head, head + QPointF(-3.5 * unit, 9 * unit));
  painter.drawLine(head, head + QPointF(3.5 * unit, 9 * unit));
  painter.drawLine(head, head + QPointF(0.4 * unit, 9.5 * unit));
  painter.setBrush(QColor(240, 200, 60));
  painter.setPen(QPen(Qt::black, std::max(1.0, unit * 0.25)));
  painter.drawRoundedRect(QRectF(head.x() - 1.6 * unit, head.y() - 3.6 * unit, 3.2 * unit, 3.2 * unit), unit * 0.5,
                          unit * 0.5);
  painter.drawRect(QRectF(head.x() - 0.5 * unit, head.y() - 5.2 * unit, 1.0 * unit, 1.6 * unit));
}

}  // namespace

void PaintStartPicture(QPainter& painter, const QRectF& area) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setClipRect(area);
  PaintSky(painter, area);
  PaintSatellite(painter, area);
  PaintHills(painter, area);
  PaintNetwork(painter, area);
  PaintTripod(painter, area);
  painter.restore();
}

void PaintNorthArrow(QPainter& painter, const QRectF& area) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const double side = std::min(area.width(), area.height());
  const QPointF centre = area.center() + QPointF(0, side * 0.1);
  const double h = side * 0.36;
  QPolygonF left, right;
  left << centre + QPointF(0, -h) << centre + QPointF(-h * 0.42, h * 0.6) << centre;
  right << centre + QPointF(0, -h) << centre + QPointF(h * 0.42, h * 0.6) << centre;
  painter.setPen(QPen(QColor(30, 30, 30), 1));
  painter.setBrush(QColor(30, 30, 30));
  painter.drawPolygon(left);
  painter.setBrush(Qt::white);
  painter.drawPolygon(right);
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(std::max(8, static_cast<int>(side * 0.22)));
  painter.setFont(font);
  painter.drawText(QRectF(area.left(), area.top(), area.width(), side * 0.28), Qt::AlignCenter, QStringLiteral("N"));
  painter.restore();
}

QIcon AppIcon() {
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(24, 56, 110));
  painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
  painter.setPen(QPen(QColor(235, 80, 70), 3));
  painter.drawLine(QPointF(14, 46), QPointF(32, 16));
  painter.drawLine(QPointF(32, 16), QPointF(50, 46));
  painter.setPen(QPen(QColor(120, 190, 255), 3));
  painter.drawLine(QPointF(14, 46), QPointF(50, 46));
  painter.setPen(QPen(Qt::black, 1.5));
  painter.setBrush(Qt::white);
  QPolygonF triangle;
  triangle << QPointF(25, 22) << QPointF(39, 22) << QPointF(32, 10);
  painter.drawPolygon(triangle);
  painter.end();
  return QIcon(pixmap);
}

PictureWidget::PictureWidget(Painter paint, QSize preferred, QWidget* parent, bool keepAspect)
    : QWidget(parent), paint_(paint), preferred_(preferred), keepAspect_(keepAspect) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void PictureWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!keepAspect_ || preferred_.isEmpty()) {
    paint_(painter, QRectF(rect()));
    return;
  }
  const QSizeF fitted = QSizeF(preferred_).scaled(QSizeF(size()), Qt::KeepAspectRatio);
  const QRectF area(QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
  paint_(painter, area);
}

}  // namespace korvo
