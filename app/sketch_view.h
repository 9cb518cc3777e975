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
#include <QSizeF>
#include <QString>
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

  // After an adjustment: each unknown vertex's 95 % ellipse (a closed polygon, scaled by
  // ellipseFactor), its legend "Elipses al 95 % ×N" and a scale bar for the ellipses.
  std::vector<std::vector<QPointF>> ellipses;
  int ellipseFactor = 0;  // 0: no ellipses
  std::vector<Label> ellipseTexts;  // the legend, then the scale bar's length
  std::vector<Line> scaleBar;
};

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
  void DrawWideLine(QPointF from, QPointF to, const QColor& color, int widthPixels) override;

 private:
  QPainter& painter_;
};

// Maps a point of the scene (twips, y upwards) to the pixels of a canvas of the given size.
QPointF SceneToCanvas(const SketchScene& scene, QPointF twips, QSizeF canvasPixels);

// Draws the scene: fixed-vertex triangles in black, then the vertex numbers, then the lines
// in the scene's order (classical lines red, GPS lines blue and last).
void PaintSketchScene(SketchCanvas& canvas, const SketchScene& scene, QSizeF canvasPixels);

// The widget Picture1. It asks its scene source for a scene fitting its current size each
// time it is painted, so the sketch follows the window's size.
class SketchView : public QFrame {
  Q_OBJECT
 public:
  using SceneSource = std::function<Result<SketchScene>(double widthTwips, double heightTwips)>;

  explicit SketchView(QWidget* parent = nullptr);

  // Sets the source and builds the scene for the current size; the failure message, if the
  // placement fails (then the view stays blank).
  std::optional<std::string> SetSceneSource(SceneSource source);
  void Clear();

  bool HasScene() const { return scene_.has_value(); }
  const std::optional<SketchScene>& Scene() const { return scene_; }
  // The twips of the inner drawing area (1440 twips per logical inch).
  QSizeF InnerSizeTwips() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Rebuild();

  SceneSource source_;
  std::optional<SketchScene> scene_;
};

}  // namespace korvo
