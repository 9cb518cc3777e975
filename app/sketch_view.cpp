#include "app/sketch_view.h"

#include <QPainter>
#include <cmath>
#include <set>

#include "common/constants.h"

#include "network/sketch_geometry.h"

namespace korvo {

namespace {

QPointF ToQt(const SketchPoint& point) { return {point.x, point.y}; }

// Adds a line between every vertex numbered `from` and every vertex numbered `to`; a number
// that names no vertex adds nothing.
void AddLines(SketchScene& scene, const SketchPlacement& placement, const NetworkModel& model, double from,
              double to, const QColor& color, bool flagged = false) {
  for (const NetworkVertex& a : model.vertices) {
    if (a.number != from) continue;
    for (const NetworkVertex& b : model.vertices) {
      if (b.number != to) continue;
      scene.lines.push_back({ToQt(placement.Map(a)), ToQt(placement.Map(b)), flagged ? kSketchFlagged : color,
                             flagged ? kSketchFlaggedWidth : 1});
    }
  }
}

// Metres per unit of the sketch plane (one degree of arc on a sphere of radius a).
constexpr double kMetresPerSketchUnit = kWgs84A * kPi / 180.0;
constexpr int kEllipseSegments = 48;

// A length in metres as the scale bar prints it: "0,005 m", "2 m".
QString MetresText(double metres) {
  QString text = QString::number(metres, 'g', 6);
  text.replace(QLatin1Char('.'), QLatin1Char(','));
  return text + QStringLiteral(" m");
}

void AddEllipses(SketchScene& scene, const SketchPlacement& placement, const QualityAnalysis& quality,
                 const NetworkModel& model) {
  double largest = 0.0;
  for (const PointQuality& point : quality.points) largest = std::max(largest, point.ellipse95.a);
  const double twipsPerMetre = 1.0 / (kMetresPerSketchUnit * placement.s);
  if (!(largest > 0.0) || !std::isfinite(twipsPerMetre)) return;
  const double target = placement.widthTwips / 20.0;
  const double factor = RoundFactorBelow(target, largest * twipsPerMetre);
  scene.ellipseFactor = static_cast<int>(std::min(factor, 2e9));
  const double scale = factor * twipsPerMetre;  // twips per metre of ellipse
  for (std::size_t v = 0; v < quality.points.size() && v < model.vertices.size(); ++v) {
    const PointQuality& point = quality.points[v];
    if (point.fixed) continue;
    const SketchPoint centre = placement.Map(model.vertices[v]);
    const double az = point.ellipse95.azimuthGon * kPi / 200.0;
    // Major axis along (sin az, cos az) in (east, north); minor axis along (cos az, −sin az).
    std::vector<QPointF> polygon;
    polygon.reserve(kEllipseSegments + 1);
    for (int k = 0; k <= kEllipseSegments; ++k) {
      const double t = 2.0 * kPi * k / kEllipseSegments;
      const double along = point.ellipse95.a * std::cos(t) * scale;
      const double across = point.ellipse95.b * std::sin(t) * scale;
      polygon.emplace_back(centre.x + along * std::sin(az) + across * std::cos(az),
                           centre.y + along * std::cos(az) - across * std::sin(az));
    }
    scene.ellipses.push_back(std::move(polygon));
  }
  // Legend and a scale bar of a round length of ellipse, about a twentieth of the width.
  const double d = placement.d;
  const double barMetres = RoundFactorBelow(target, scale);
  const QPointF barStart(d, d);
  const QPointF barEnd(d + barMetres * scale, d);
  scene.scaleBar = {{barStart, barEnd, kSketchEllipse},
                    {barStart, QPointF(barStart.x(), barStart.y() + d / 2), kSketchEllipse},
                    {barEnd, QPointF(barEnd.x(), barEnd.y() + d / 2), kSketchEllipse}};
  scene.ellipseTexts = {{QPointF(d, 3.5 * d), QStringLiteral("Elipses al 95 % ×%1").arg(scene.ellipseFactor)},
                        {QPointF(barEnd.x() + d / 2, 1.7 * d), MetresText(barMetres)}};
}

}  // namespace

double RoundFactorBelow(double limit, double value) {
  const double ratio = limit / value;
  double power = std::pow(10.0, std::floor(std::log10(ratio)));
  for (double step : {5.0, 2.0, 1.0}) {
    if (step * power <= ratio * (1.0 + 1e-12)) return step * power;
  }
  return power;
}

Result<SketchScene> SketchSceneOf(const NetworkModel& model, double widthTwips, double heightTwips,
                                  const QualityAnalysis* quality) {
  Result<SketchPlacement> placed = PlaceNetworkSketch(model, widthTwips, heightTwips);
  if (!placed) return Failure{placed.error()};
  const SketchPlacement& placement = *placed;
  SketchScene scene;
  scene.widthTwips = placement.widthTwips;
  scene.heightTwips = placement.heightTwips;
  for (const NetworkVertex& vertex : model.vertices) {
    if (!vertex.IsFixed()) continue;
    const auto corners = FixedVertexTriangle(placement.Map(vertex), placement.d);
    scene.triangles.push_back({ToQt(corners[0]), ToQt(corners[1]), ToQt(corners[2])});
  }
  for (const NetworkVertex& vertex : model.vertices) {
    scene.labels.push_back(
        {ToQt(VertexLabelPosition(placement.Map(vertex), placement.d)), QString::number(vertex.number)});
  }
  // What the last adjustment flags: classical rows by index, baselines by index.
  std::set<std::size_t> flaggedClassical, flaggedBaselines;
  if (quality != nullptr) {
    const std::size_t classicalCount = model.classical.size();
    for (const RowTest& row : quality->rows) {
      if (!row.flag) continue;
      const auto index = static_cast<std::size_t>(row.row - 1);
      if (index < classicalCount) {
        flaggedClassical.insert(index);
      } else {
        flaggedBaselines.insert((index - classicalCount) / 3);
      }
    }
    for (std::size_t b = 0; b < quality->baselines.size(); ++b) {
      if (quality->baselines[b].flag) flaggedBaselines.insert(b);
    }
  }
  for (std::size_t i = 0; i < model.classical.size(); ++i) {
    const ClassicalObservation& row = model.classical[i];
    AddLines(scene, placement, model, row.from, row.to, kSketchRed, flaggedClassical.count(i) > 0);
  }
  // Baselines last, so a GPS line lies over a classical line between the same vertices.
  for (std::size_t b = 0; b < model.baselines.size(); ++b) {
    const GpsBaseline& row = model.baselines[b];
    AddLines(scene, placement, model, row.from, row.to, kSketchBlue, flaggedBaselines.count(b) > 0);
  }
  if (quality != nullptr && quality->points.size() == model.vertices.size()) {
    AddEllipses(scene, placement, *quality, model);
  }
  return scene;
}

void PainterCanvas::DrawLine(QPointF from, QPointF to, const QColor& color) {
  painter_.setPen(QPen(color, 1));
  painter_.drawLine(from, to);
}

void PainterCanvas::DrawWideLine(QPointF from, QPointF to, const QColor& color, int widthPixels) {
  painter_.setPen(QPen(color, widthPixels));
  painter_.drawLine(from, to);
}

void PainterCanvas::SetPixel(QPointF at, const QColor& color) {
  painter_.setPen(QPen(color, 1));
  painter_.drawPoint(at);
}

void PainterCanvas::DrawText(QPointF topLeft, const QString& text, const QColor& color) {
  painter_.setPen(color);
  const QRectF box(topLeft, QSizeF(1000, 1000));
  painter_.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

QPointF SceneToCanvas(const SketchScene& scene, QPointF twips, QSizeF canvasPixels) {
  const double sx = scene.widthTwips > 0 ? canvasPixels.width() / scene.widthTwips : 0.0;
  const double sy = scene.heightTwips > 0 ? canvasPixels.height() / scene.heightTwips : 0.0;
  return {twips.x() * sx, canvasPixels.height() - twips.y() * sy};
}

void PaintSketchScene(SketchCanvas& canvas, const SketchScene& scene, QSizeF canvasPixels) {
  const auto at = [&](QPointF p) { return SceneToCanvas(scene, p, canvasPixels); };
  for (const SketchScene::Triangle& t : scene.triangles) {
    canvas.DrawLine(at(t.baseLeft), at(t.baseRight), kSketchBlack);
    canvas.DrawLine(at(t.baseLeft), at(t.apex), kSketchBlack);
    canvas.DrawLine(at(t.baseRight), at(t.apex), kSketchBlack);
    canvas.SetPixel(at(t.apex), kSketchBlack);
  }
  for (const SketchScene::Label& label : scene.labels) canvas.DrawText(at(label.topLeft), label.text, kSketchBlack);
  for (const SketchScene::Line& line : scene.lines) {
    if (line.widthPixels > 1) {
      canvas.DrawWideLine(at(line.from), at(line.to), line.color, line.widthPixels);
    } else {
      canvas.DrawLine(at(line.from), at(line.to), line.color);
    }
  }
  for (const std::vector<QPointF>& ellipse : scene.ellipses) {
    for (std::size_t k = 1; k < ellipse.size(); ++k) canvas.DrawLine(at(ellipse[k - 1]), at(ellipse[k]), kSketchEllipse);
  }
  for (const SketchScene::Line& line : scene.scaleBar) canvas.DrawLine(at(line.from), at(line.to), line.color);
  for (const SketchScene::Label& text : scene.ellipseTexts) canvas.DrawText(at(text.topLeft), text.text, kSketchEllipse);
}

SketchView::SketchView(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("Picture1"));
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Sunken);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  setMinimumSize(200, 160);
}

QSizeF SketchView::InnerSizeTwips() const {
  const double twipsPerPixel = 1440.0 / std::max(1, logicalDpiX());
  const QRect inner = contentsRect();
  return {inner.width() * twipsPerPixel, inner.height() * twipsPerPixel};
}

std::optional<std::string> SketchView::SetSceneSource(SceneSource source) {
  source_ = std::move(source);
  scene_.reset();
  std::optional<std::string> failure;
  if (source_) {
    const QSizeF twips = InnerSizeTwips();
    Result<SketchScene> scene = source_(twips.width(), twips.height());
    if (scene) {
      scene_ = std::move(scene.value());
    } else {
      failure = scene.error();
      source_ = nullptr;  // a network that cannot be placed stays blank until the next load
    }
  }
  update();
  return failure;
}

void SketchView::Clear() {
  source_ = nullptr;
  scene_.reset();
  update();
}

void SketchView::Rebuild() {
  if (!source_) return;
  const QSizeF twips = InnerSizeTwips();
  Result<SketchScene> scene = source_(twips.width(), twips.height());
  if (scene) {
    scene_ = std::move(scene.value());
  } else {
    scene_.reset();
  }
}

void SketchView::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  Rebuild();
}

void SketchView::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  if (!scene_) return;
  QPainter painter(this);
  const QRect inner = contentsRect();
  painter.translate(inner.topLeft());
  painter.setClipRect(QRect(QPoint(0, 0), inner.size()));
  PainterCanvas canvas(painter);
  PaintSketchScene(canvas, *scene_, QSizeF(inner.size()));
}

}  // namespace korvo
