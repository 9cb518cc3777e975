#include "app/sketch_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <utility>

#include "common/constants.h"

#include "network/sketch_geometry.h"

namespace korvo {

namespace {

QPointF ToQt(const SketchPoint& point) { return {point.x, point.y}; }

// The vertices sorted by number, table order kept among equal numbers: the lines of a row
// are found without a walk over the whole table.
using VerticesByNumber = std::vector<std::pair<double, const NetworkVertex*>>;

VerticesByNumber SortedByNumber(const NetworkModel& model) {
  VerticesByNumber sorted;
  sorted.reserve(model.vertices.size());
  for (const NetworkVertex& vertex : model.vertices) sorted.emplace_back(static_cast<double>(vertex.number), &vertex);
  std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return sorted;
}

std::pair<VerticesByNumber::const_iterator, VerticesByNumber::const_iterator> Numbered(const VerticesByNumber& sorted,
                                                                                       double number) {
  const auto first = std::lower_bound(sorted.begin(), sorted.end(), number,
                                      [](const auto& entry, double value) { return entry.first < value; });
  auto last = first;
  while (last != sorted.end() && last->first == number) ++last;
  return {first, last};
}

// Adds a line between every vertex numbered `from` and every vertex numbered `to`; a number
// that names no vertex adds nothing.
void AddLines(SketchScene& scene, const SketchPlacement& placement, const VerticesByNumber& byNumber, double from,
              double to, const QColor& color, bool flagged = false) {
  const auto [aFirst, aLast] = Numbered(byNumber, from);
  for (auto a = aFirst; a != aLast; ++a) {
    const auto [bFirst, bLast] = Numbered(byNumber, to);
    for (auto b = bFirst; b != bLast; ++b) {
      scene.lines.push_back({ToQt(placement.Map(*a->second)), ToQt(placement.Map(*b->second)),
                             flagged ? kSketchFlagged : color, flagged ? kSketchFlaggedWidth : 1});
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
  scene.metresPerTwip = placement.s * kMetresPerSketchUnit;
  scene.vertices.reserve(model.vertices.size());
  scene.labels.reserve(model.vertices.size());
  for (std::size_t i = 0; i < model.vertices.size(); ++i) {
    const NetworkVertex& vertex = model.vertices[i];
    const QPointF at = ToQt(placement.Map(vertex));
    scene.vertices.push_back({at, static_cast<int>(i), vertex.IsFixed()});
    if (!vertex.IsFixed()) continue;
    const auto corners = FixedVertexTriangle(placement.Map(vertex), placement.d);
    scene.triangles.push_back({ToQt(corners[0]), ToQt(corners[1]), ToQt(corners[2])});
  }
  if (!scene.vertices.empty()) {
    QPointF low = scene.vertices.front().at;
    QPointF high = low;
    for (const SketchScene::Vertex& vertex : scene.vertices) {
      low = QPointF(std::min(low.x(), vertex.at.x()), std::min(low.y(), vertex.at.y()));
      high = QPointF(std::max(high.x(), vertex.at.x()), std::max(high.y(), vertex.at.y()));
    }
    scene.extentTwips = QRectF(low, high);
  }
  for (const NetworkVertex& vertex : model.vertices) {
    const SketchPoint at = placement.Map(vertex);
    scene.labels.push_back({ToQt(VertexLabelPosition(at, placement.d)), QString::number(vertex.number)});
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
  const VerticesByNumber byNumber = SortedByNumber(model);
  for (std::size_t i = 0; i < model.classical.size(); ++i) {
    const ClassicalObservation& row = model.classical[i];
    AddLines(scene, placement, byNumber, row.from, row.to, kSketchRed, flaggedClassical.count(i) > 0);
  }
  // Baselines last, so a GPS line lies over a classical line between the same vertices.
  for (std::size_t b = 0; b < model.baselines.size(); ++b) {
    const GpsBaseline& row = model.baselines[b];
    AddLines(scene, placement, byNumber, row.from, row.to, kSketchBlue, flaggedBaselines.count(b) > 0);
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

void PainterCanvas::DrawCircle(QPointF centre, double radiusPx, const QColor& color) {
  painter_.setPen(QPen(color, 1));
  painter_.setBrush(Qt::white);
  painter_.drawEllipse(centre, radiusPx, radiusPx);
  painter_.setBrush(Qt::NoBrush);
}

SketchMapping SketchMappingOf(const SketchScene& scene, QSizeF canvasPixels, const SketchViewport& view) {
  SketchMapping mapping;
  const double w = canvasPixels.width();
  const double h = canvasPixels.height();
  // Symbols and labels keep the size the scene gives them on the whole canvas.
  mapping.symbolPxPerTwip = scene.widthTwips > 0 ? w / scene.widthTwips : 0.0;
  QTransform fit;
  if (scene.extentTwips.width() <= 0 && scene.extentTwips.height() <= 0) {
    const double sx = scene.widthTwips > 0 ? w / scene.widthTwips : 0.0;
    const double sy = scene.heightTwips > 0 ? h / scene.heightTwips : 0.0;
    fit = QTransform(sx, 0, 0, -sy, 0, h);
  } else {
    const QRectF& extent = scene.extentTwips;
    const double usableW = std::max(1.0, w - 2 * kSketchMarginPx);
    const double usableH = std::max(1.0, h - 2 * kSketchMarginPx);
    const double sx = extent.width() > 0 ? usableW / extent.width() : std::numeric_limits<double>::infinity();
    const double sy = extent.height() > 0 ? usableH / extent.height() : std::numeric_limits<double>::infinity();
    const double scale = std::min(sx, sy);
    const QPointF centre = extent.center();
    // North up: y of the scene grows upwards, pixels grow downwards.
    fit = QTransform(scale, 0, 0, -scale, w / 2 - scale * centre.x(), h / 2 + scale * centre.y());
  }
  // Zoom about the canvas centre, then pan.
  const QTransform zoom = QTransform::fromTranslate(-w / 2, -h / 2) * QTransform::fromScale(view.zoom, view.zoom) *
                          QTransform::fromTranslate(w / 2 + view.panPx.x(), h / 2 + view.panPx.y());
  mapping.toCanvas = fit * zoom;
  return mapping;
}

SketchViewport ZoomedAbout(const SketchViewport& view, QSizeF canvasPixels, QPointF anchorPx, double factor) {
  const QPointF centre(canvasPixels.width() / 2, canvasPixels.height() / 2);
  SketchViewport zoomed;
  zoomed.zoom = std::clamp(view.zoom * factor, 0.05, 1.0e5);
  // p = c + z·(f − c) + pan keeps f (the fitted point under the anchor) where it is.
  const QPointF fitted = (anchorPx - centre - view.panPx) / view.zoom;
  zoomed.panPx = anchorPx - centre - fitted * zoomed.zoom;
  return zoomed;
}

double ScaleBarMetres(double metresPerPixel, double canvasWidthPx) {
  if (!(metresPerPixel > 0) || !std::isfinite(metresPerPixel) || canvasWidthPx <= 0) return 0.0;
  const double wanted = metresPerPixel * canvasWidthPx / 5;
  const double power = std::pow(10.0, std::floor(std::log10(wanted)));
  double best = power;
  for (const double step : {1.0, 2.0, 5.0, 10.0}) {
    if (step * power <= wanted) best = step * power;
  }
  return best;
}

QRectF SketchScaleBar::Bounds() const {
  const QRectF bar = QRectF(left - QPointF(0, tickPx), right).normalized().adjusted(-1, -1, 1, 1);
  return bar.united(captionBox);
}

std::optional<SketchScaleBar> ScaleBarOf(const SketchScene& scene, const SketchMapping& mapping, QSizeF canvasPixels) {
  const double pxPerTwip = std::hypot(mapping.toCanvas.m11(), mapping.toCanvas.m12());
  if (!(pxPerTwip > 0) || !(scene.metresPerTwip > 0)) return std::nullopt;
  const double metresPerPixel = scene.metresPerTwip / pxPerTwip;
  const double metres = ScaleBarMetres(metresPerPixel, canvasPixels.width());
  if (!(metres > 0)) return std::nullopt;
  constexpr double kEdgePx = 12.0;       // from the right and bottom edges
  constexpr double kCaptionMinPx = 80.0;  // room for "5000 km" however short the bar
  SketchScaleBar scale;
  const double lengthPx = metres / metresPerPixel;
  scale.right = QPointF(canvasPixels.width() - kEdgePx, canvasPixels.height() - 14);
  scale.left = scale.right - QPointF(lengthPx, 0);
  scale.tickPx = 5;
  const double captionWidth = std::max(lengthPx, kCaptionMinPx);
  scale.captionBox = QRectF(scale.right.x() - captionWidth, scale.right.y() - 22, captionWidth, 16);
  scale.caption = metres >= 1000 ? QStringLiteral("%1 km").arg(metres / 1000) : QStringLiteral("%1 m").arg(metres);
  return scale;
}

QPointF SceneToCanvas(const SketchScene& scene, QPointF twips, QSizeF canvasPixels, const SketchViewport& view) {
  return SketchMappingOf(scene, canvasPixels, view).toCanvas.map(twips);
}

void PaintSketchScene(SketchCanvas& canvas, const SketchScene& scene, QSizeF canvasPixels, const SketchViewport& view) {
  const SketchMapping mapping = SketchMappingOf(scene, canvasPixels, view);
  const auto at = [&mapping](QPointF p) { return mapping.toCanvas.map(p); };
  // A symbol point: its anchor goes through the view, its offset keeps the symbol's size.
  const auto offset = [&](QPointF anchor, QPointF p) {
    return at(anchor) + QPointF((p.x() - anchor.x()) * mapping.symbolPxPerTwip,
                                -(p.y() - anchor.y()) * mapping.symbolPxPerTwip);
  };
  for (const SketchScene::Triangle& t : scene.triangles) {
    const QPointF centre = (t.baseLeft + t.baseRight + t.apex) / 3;
    canvas.DrawLine(offset(centre, t.baseLeft), offset(centre, t.baseRight), kSketchBlack);
    canvas.DrawLine(offset(centre, t.baseLeft), offset(centre, t.apex), kSketchBlack);
    canvas.DrawLine(offset(centre, t.baseRight), offset(centre, t.apex), kSketchBlack);
    canvas.SetPixel(offset(centre, t.apex), kSketchBlack);
  }
  for (const SketchScene::Vertex& vertex : scene.vertices) {
    if (!vertex.fixed) canvas.DrawCircle(at(vertex.at), 3.0, kSketchBlack);
  }
  const bool anchored = scene.vertices.size() == scene.labels.size();
  for (std::size_t i = 0; i < scene.labels.size(); ++i) {
    const SketchScene::Label& label = scene.labels[i];
    canvas.DrawText(offset(anchored ? scene.vertices[i].at : label.topLeft, label.topLeft), label.text, kSketchBlack);
  }
  for (const SketchScene::Line& line : scene.lines) {
    if (line.widthPixels > 1) {
      canvas.DrawWideLine(at(line.from), at(line.to), line.color, line.widthPixels);
    } else {
      canvas.DrawLine(at(line.from), at(line.to), line.color);
    }
  }
  // The ellipses belong to the map and follow the view; their legend and scale bar stay in
  // their corner of the canvas, the bar as long as the view's scale makes the ellipses.
  for (const std::vector<QPointF>& ellipse : scene.ellipses) {
    for (std::size_t k = 1; k < ellipse.size(); ++k) canvas.DrawLine(at(ellipse[k - 1]), at(ellipse[k]), kSketchEllipse);
  }
  const double sx = scene.widthTwips > 0 ? canvasPixels.width() / scene.widthTwips : 0.0;
  const double sy = scene.heightTwips > 0 ? canvasPixels.height() / scene.heightTwips : 0.0;
  const auto corner = [&](QPointF p) { return QPointF(p.x() * sx, canvasPixels.height() - p.y() * sy); };
  const double barScale = std::hypot(mapping.toCanvas.m11(), mapping.toCanvas.m12());
  // The bar grows with the view; its ticks keep their height and its length stays at its end.
  double barGrowthPx = 0.0;
  if (!scene.scaleBar.empty()) {
    const QPointF anchor = scene.scaleBar.front().from;
    const auto bar = [&](QPointF p) {
      return corner(anchor) + QPointF((p.x() - anchor.x()) * barScale, -(p.y() - anchor.y()) * sy);
    };
    for (const SketchScene::Line& line : scene.scaleBar) canvas.DrawLine(bar(line.from), bar(line.to), line.color);
    barGrowthPx = (scene.scaleBar.front().to.x() - anchor.x()) * (barScale - sx);
  }
  for (std::size_t i = 0; i < scene.ellipseTexts.size(); ++i) {
    const SketchScene::Label& text = scene.ellipseTexts[i];
    canvas.DrawText(corner(text.topLeft) + QPointF(i == 0 ? 0.0 : barGrowthPx, 0.0), text.text, kSketchEllipse);
  }
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
  setMouseTracking(true);
}

QSizeF SketchView::InnerSizeTwips() const {
  const double twipsPerPixel = 1440.0 / std::max(1, logicalDpiX());
  const QRect inner = contentsRect();
  return {inner.width() * twipsPerPixel, inner.height() * twipsPerPixel};
}

std::optional<std::string> SketchView::SetSceneSource(SceneSource source) {
  source_ = std::move(source);
  scene_.reset();
  view_ = SketchViewport{};
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
  view_ = SketchViewport{};
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

SketchMapping SketchView::Mapping() const {
  if (!scene_) return {};
  return SketchMappingOf(*scene_, QSizeF(contentsRect().size()), view_);
}

void SketchView::FitNetwork() {
  view_ = SketchViewport{};
  update();
}

std::optional<int> SketchView::VertexAt(QPointF innerPx) const {
  if (!scene_) return std::nullopt;
  const QTransform map = Mapping().toCanvas;
  constexpr double kReachPx = 6.0;
  std::optional<int> nearest;
  double best = kReachPx * kReachPx;
  for (const SketchScene::Vertex& vertex : scene_->vertices) {
    const QPointF d = map.map(vertex.at) - innerPx;
    const double distance = d.x() * d.x() + d.y() * d.y();
    if (distance <= best) {
      best = distance;
      nearest = vertex.index;
    }
  }
  return nearest;
}

QString SketchView::HoverTextAt(QPointF innerPx) const {
  const std::optional<int> vertex = VertexAt(innerPx);
  if (!vertex || !hover_) return {};
  return hover_(*vertex);
}

void SketchView::wheelEvent(QWheelEvent* event) {
  if (!scene_) return;
  const double steps = event->angleDelta().y() / 120.0;
  if (steps == 0) return;
  const QPointF inner = event->position() - QPointF(contentsRect().topLeft());
  view_ = ZoomedAbout(view_, QSizeF(contentsRect().size()), inner, std::pow(1.25, steps));
  update();
  event->accept();
}

void SketchView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    dragFrom_ = event->position();
    setCursor(Qt::ClosedHandCursor);
  }
  QFrame::mousePressEvent(event);
}

void SketchView::mouseMoveEvent(QMouseEvent* event) {
  if (dragFrom_) {
    view_.panPx += event->position() - *dragFrom_;
    dragFrom_ = event->position();
    update();
    return;
  }
  const QString text = HoverTextAt(event->position() - QPointF(contentsRect().topLeft()));
  if (text.isEmpty()) {
    QToolTip::hideText();
  } else {
    QToolTip::showText(event->globalPosition().toPoint(), text, this);
  }
}

void SketchView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    dragFrom_.reset();
    unsetCursor();
  }
  QFrame::mouseReleaseEvent(event);
}

void SketchView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) FitNetwork();
}

void SketchView::PaintScaleBar(QPainter& painter, QSizeF inner) const {
  const std::optional<SketchScaleBar> scale = ScaleBarOf(*scene_, Mapping(), inner);
  if (!scale) return;
  painter.setPen(QPen(kSketchBlack, 2));
  painter.drawLine(scale->left, scale->right);
  painter.drawLine(scale->left, scale->left - QPointF(0, scale->tickPx));
  painter.drawLine(scale->right, scale->right - QPointF(0, scale->tickPx));
  painter.setPen(kSketchBlack);
  painter.drawText(scale->captionBox, Qt::AlignRight | Qt::AlignVCenter, scale->caption);
}

void SketchView::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  if (!scene_) return;
  QPainter painter(this);
  const QRect inner = contentsRect();
  painter.translate(inner.topLeft());
  painter.setClipRect(QRect(QPoint(0, 0), inner.size()));
  PainterCanvas canvas(painter);
  PaintSketchScene(canvas, *scene_, QSizeF(inner.size()), view_);
  PaintScaleBar(painter, QSizeF(inner.size()));
}

}  // namespace korvo
