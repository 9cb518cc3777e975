#include "app/sketch_view.h"

#include <QPainter>

#include "network/sketch_geometry.h"

namespace korvo {

namespace {

QPointF ToQt(const SketchPoint& point) { return {point.x, point.y}; }

// Adds a line between every vertex numbered `from` and every vertex numbered `to`; a number
// that names no vertex adds nothing.
void AddLines(SketchScene& scene, const SketchPlacement& placement, const NetworkModel& model, double from,
              double to, const QColor& color) {
  for (const NetworkVertex& a : model.vertices) {
    if (a.number != from) continue;
    for (const NetworkVertex& b : model.vertices) {
      if (b.number != to) continue;
      scene.lines.push_back({ToQt(placement.Map(a)), ToQt(placement.Map(b)), color});
    }
  }
}

}  // namespace

Result<SketchScene> SketchSceneOf(const NetworkModel& model, double widthTwips, double heightTwips) {
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
  for (const ClassicalObservation& row : model.classical) {
    AddLines(scene, placement, model, row.from, row.to, kSketchRed);
  }
  // Baselines last, so a GPS line lies over a classical line between the same vertices.
  for (const GpsBaseline& row : model.baselines) AddLines(scene, placement, model, row.from, row.to, kSketchBlue);
  return scene;
}

void PainterCanvas::DrawLine(QPointF from, QPointF to, const QColor& color) {
  painter_.setPen(QPen(color, 1));
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
  for (const SketchScene::Line& line : scene.lines) canvas.DrawLine(at(line.from), at(line.to), line.color);
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
