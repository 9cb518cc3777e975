#pragma once
// A sketch canvas that records what is drawn on it, in order.

#include <vector>

#include "app/sketch_view.h"

namespace korvo::testing {

struct DrawnPrimitive {
  enum class Kind { Line, Pixel, Text } kind;
  QPointF a, b;
  QColor color;
  QString text;
};

class RecordingCanvas : public SketchCanvas {
 public:
  std::vector<DrawnPrimitive> drawn;
  void DrawLine(QPointF from, QPointF to, const QColor& color) override {
    drawn.push_back({DrawnPrimitive::Kind::Line, from, to, color, {}});
  }
  void SetPixel(QPointF at, const QColor& color) override {
    drawn.push_back({DrawnPrimitive::Kind::Pixel, at, at, color, {}});
  }
  void DrawText(QPointF topLeft, const QString& text, const QColor& color) override {
    drawn.push_back({DrawnPrimitive::Kind::Text, topLeft, topLeft, color, text});
  }
};

}  // namespace korvo::testing
