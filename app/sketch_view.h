#pragma once
// The planimetric sketch on the main window (Picture1).
//
// The placement of the sketch is computed by the core in twips with the origin at the
// bottom-left corner and y growing upwards. Here it becomes a SketchScene (the primitives to
// draw), and PaintSketchScene draws the scene on any SketchCanvas: the widget's QPainter, or
// a recording canvas in the tests.

#include <QColor>
#include <QFrame>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QTransform>
#include <functional>
#include <optional>
#include <vector>

#include "common/result.h"
#include "network/network_model.h"
#include "quality/quality_analysis.h"

class QPainter;

namespace korvo {

// What the sketch shows, in twips, origin at the bottom-left corner, y upwards.
struct SketchScene {
  double widthTwips = 0;
  double heightTwips = 0;
  // A fixed vertex: an equilateral triangle drawn as base, left side, right side, then the
  // apex pixel.
  struct Triangle {
    QPointF baseLeft, baseRight, apex;
  };
  struct Label {
    QPointF topLeft;  // where the text starts (its top-left corner)
    QString text;
  };
  struct Line {
    QPointF from, to;
    QColor color;
    int widthPixels = 1;
  };
  std::vector<Triangle> triangles;
  std::vector<Label> labels;
  std::vector<Line> lines;  // in drawing order: the last drawn lies on top

  // Every vertex, for its symbol (fixed ones also have their triangle) and for the pointer;
  // when there is one per label, label i names vertex i and keeps its offset from it.
  struct Vertex {
    QPointF at;
    int index = 0;  // row of the vertex table
    bool fixed = false;
  };
  std::vector<Vertex> vertices;
  // The vertices' extent; when set, the view fits it into the whole canvas (else the whole
  // scene rectangle is shown, as a hand-made scene is).
  QRectF extentTwips;
  double metresPerTwip = 0.0;  // ground metres per twip, for the scale bar (0: none)
  // After an adjustment: each unknown vertex's 95 % ellipse (a closed polygon, scaled by
  // ellipseFactor), its legend "Elipses al 95 % ×N" and a scale bar for the ellipses.
  std::vector<std::vector<QPointF>> ellipses;
  int ellipseFactor = 0;  // 0: no ellipses
  std::vector<Label> ellipseTexts;  // the legend, then the scale bar's length
  std::vector<Line> scaleBar;
};

// The user's view over the fitted sketch: a zoom about the canvas centre, then a pan.
struct SketchViewport {
  double zoom = 1.0;
  QPointF panPx;
};

// Where the scene goes on a canvas: the map of scene twips (y up) to canvas pixels (y down)
// and the pixels per twip of the symbols and labels, which keep their size when zooming.
struct SketchMapping {
  QTransform toCanvas;
  double symbolPxPerTwip = 0.0;
};

// Pixels kept free around the fitted network.
inline constexpr double kSketchMarginPx = 24.0;

// The mapping of `scene` on a canvas: the vertices' extent fitted into the canvas less the
// margin with one scale for both axes and north up, centred (a scene without extent: its
// whole rectangle on the whole canvas); then the viewport's zoom and pan.
SketchMapping SketchMappingOf(const SketchScene& scene, QSizeF canvasPixels, const SketchViewport& view = {});

// The viewport after zooming by `factor` about the canvas point `anchorPx`: the point of the
// sketch under it stays under it.
SketchViewport ZoomedAbout(const SketchViewport& view, QSizeF canvasPixels, QPointF anchorPx, double factor);

// The scale bar: a round length (1, 2 or 5 × 10^k m) near a fifth of the canvas width; 0 when
// the scene carries no ground scale.
double ScaleBarMetres(double metresPerPixel, double canvasWidthPx);

// The metres scale bar of the view, in canvas pixels: a bar of ScaleBarMetres with a tick
// at each end and its length written above it, in the lower-right corner, away from the
// ellipse legend and its bar in the lower-left one.
struct SketchScaleBar {
  QPointF left, right;  // the bar
  double tickPx = 0.0;  // height of the end ticks, upwards
  QRectF captionBox;    // the length, right-aligned in this box
  QString caption;      // "200 m", "5 km"
  // What the bar covers on the canvas: the bar, its ticks and its caption.
  QRectF Bounds() const;
};

// The scale bar of `scene` drawn through `mapping` on a canvas of the given size; nothing when
// the scene carries no ground scale.
std::optional<SketchScaleBar> ScaleBarOf(const SketchScene& scene, const SketchMapping& mapping, QSizeF canvasPixels);

// The basic palette colours of the sketch.
inline const QColor kSketchBlack = QColor(0, 0, 0);
inline const QColor kSketchRed = QColor(0xC0, 0, 0);    // classical observations
inline const QColor kSketchBlue = QColor(0, 0, 0xC0);   // GPS baselines
inline const QColor kSketchFlagged = QColor(0xFF, 0x80, 0);  // suspect observations, drawn wide
inline const QColor kSketchEllipse = QColor(0, 0x80, 0);     // 95 % ellipses
inline constexpr int kSketchFlaggedWidth = 3;

// Where the sketch's primitives go. Coordinates are pixels of the canvas, origin top-left.
class SketchCanvas {
 public:
  virtual ~SketchCanvas() = default;
  virtual void DrawLine(QPointF from, QPointF to, const QColor& color) = 0;
  virtual void SetPixel(QPointF at, const QColor& color) = 0;
  virtual void DrawText(QPointF topLeft, const QString& text, const QColor& color) = 0;
  // The symbol of an unknown vertex; canvases that only record the drawing may ignore it.
  virtual void DrawCircle(QPointF /*centre*/, double /*radiusPx*/, const QColor& /*color*/) {}
  // A line of the given width in pixels; canvases that do not draw widths draw a plain line.
  virtual void DrawWideLine(QPointF from, QPointF to, const QColor& color, int widthPixels) {
    (void)widthPixels;
    DrawLine(from, to, color);
  }
};

// The scene of a loaded network on a surface of W by H twips: a triangle on every fixed vertex,
// every vertex's number, then one line per observation and baseline between every pair of
// vertices that carry its two numbers (classical red, then GPS blue). Fails with the sketch's
// message when the network cannot be placed.
//
// With the quality analysis of the network's last adjustment, observations and baselines it
// flags are drawn in kSketchFlagged and kSketchFlaggedWidth, and every unknown vertex gets
// its 95 % ellipse, magnified by a round factor N (1, 2, 5 × 10^k) chosen so that the largest
// semi-axis is about a twentieth of the width, with the legend "Elipses al 95 % ×N" and a
// scale bar of a round length in the lower-left corner.
Result<SketchScene> SketchSceneOf(const NetworkModel& model, double widthTwips, double heightTwips,
                                  const QualityAnalysis* quality = nullptr);

// The largest round factor (1, 2, 5 × 10^k) with value·factor ≤ limit (both positive).
double RoundFactorBelow(double limit, double value);

// A canvas over a QPainter.
class PainterCanvas : public SketchCanvas {
 public:
  explicit PainterCanvas(QPainter& painter) : painter_(painter) {}
  void DrawLine(QPointF from, QPointF to, const QColor& color) override;
  void SetPixel(QPointF at, const QColor& color) override;
  void DrawText(QPointF topLeft, const QString& text, const QColor& color) override;
  void DrawCircle(QPointF centre, double radiusPx, const QColor& color) override;
  void DrawWideLine(QPointF from, QPointF to, const QColor& color, int widthPixels) override;

 private:
  QPainter& painter_;
};

// Maps a point of the scene (twips, y upwards) to the pixels of a canvas of the given size.
QPointF SceneToCanvas(const SketchScene& scene, QPointF twips, QSizeF canvasPixels, const SketchViewport& view = {});

// Draws the scene: fixed-vertex triangles in black, a small circle on every unknown vertex,
// then the vertex numbers, then the lines in the scene's order (classical lines red, GPS
// lines blue and last).
void PaintSketchScene(SketchCanvas& canvas, const SketchScene& scene, QSizeF canvasPixels,
                      const SketchViewport& view = {});

// The widget Picture1. It asks its scene source for a scene fitting its current size each
// time it is painted, so the sketch follows the window's size. The wheel zooms about the
// pointer, dragging pans, a double click (or FitNetwork) shows the whole network again, and
// the pointer over a vertex shows the text the hover source gives for it.
class SketchView : public QFrame {
  Q_OBJECT
 public:
  using SceneSource = std::function<Result<SketchScene>(double widthTwips, double heightTwips)>;
  using HoverSource = std::function<QString(int vertexIndex)>;

  explicit SketchView(QWidget* parent = nullptr);

  // Sets the source and builds the scene for the current size; the failure message, if the
  // placement fails (then the view stays blank).
  std::optional<std::string> SetSceneSource(SceneSource source);
  void Clear();

  bool HasScene() const { return scene_.has_value(); }
  const std::optional<SketchScene>& Scene() const { return scene_; }
  void SetHoverSource(HoverSource source) { hover_ = std::move(source); }

  const SketchViewport& Viewport() const { return view_; }
  // The current mapping of scene twips to the widget's inner pixels.
  SketchMapping Mapping() const;
  void FitNetwork();
  // The row of the vertex drawn within a few pixels of `innerPx`, if any, and its hover text.
  std::optional<int> VertexAt(QPointF innerPx) const;
  QString HoverTextAt(QPointF innerPx) const;
  // The twips of the inner drawing area (1440 twips per logical inch).
  QSizeF InnerSizeTwips() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void Rebuild();
  void PaintScaleBar(QPainter& painter, QSizeF inner) const;

  SceneSource source_;
  HoverSource hover_;
  std::optional<SketchScene> scene_;
  SketchViewport view_;
  std::optional<QPointF> dragFrom_;
};

}  // namespace korvo
