#include "network/sketch_geometry.h"

#include <algorithm>
#include <cmath>

#include "common/constants.h"
#include "common/win1252.h"

namespace korvo {

const std::string kSketchErrorMessage = Cp1252("¡Se ha producido un error en el dibujo del croquis de la red!");

namespace {

constexpr double kSymbolFraction = 1.0 / 60.0;  // d = W/60
constexpr double kLabelShift = 0.23;            // label at X + 0.23·d

}  // namespace

SketchPoint SketchPlacement::Map(double sketchX, double sketchY) const {
  return {q + (sketchX - xmin) / s, q + (sketchY - ymin) / s};
}

SketchPoint SketchPlacement::Map(const NetworkVertex& vertex) const {
  return Map(vertex.sketchX, static_cast<double>(vertex.sketchY));
}

Result<SketchPlacement> PlaceNetworkSketch(const NetworkModel& model, double widthTwips, double heightTwips) {
  if (model.vertices.empty() || !(widthTwips > 0.0) || !(heightTwips > 0.0)) {
    return Failure{kSketchErrorMessage};
  }
  const NetworkVertex& first = model.vertices.front();
  double xmin = first.sketchX, xmax = first.sketchX;
  double ymin = first.sketchY, ymax = first.sketchY;
  for (const NetworkVertex& v : model.vertices) {
    if (!std::isfinite(v.sketchX) || !std::isfinite(v.sketchY)) return Failure{kSketchErrorMessage};
    xmin = std::min(xmin, v.sketchX);
    xmax = std::max(xmax, v.sketchX);
    ymin = std::min(ymin, static_cast<double>(v.sketchY));
    ymax = std::max(ymax, static_cast<double>(v.sketchY));
  }
  SketchPlacement placement;
  placement.widthTwips = widthTwips;
  placement.heightTwips = heightTwips;
  placement.xmin = xmin;
  placement.ymin = ymin;
  placement.d = widthTwips * kSymbolFraction;
  if ((ymax - ymin) / heightTwips > (xmax - xmin) / widthTwips) {
    placement.s = (ymax - ymin) / (heightTwips / 2.0);
    placement.q = heightTwips / 4.0;
  } else {
    placement.s = (xmax - xmin) / (widthTwips / 2.0);
    placement.q = widthTwips / 4.0;
  }
  if (!(placement.s > 0.0) || !std::isfinite(placement.s)) return Failure{kSketchErrorMessage};
  return placement;
}

std::array<SketchPoint, 3> FixedVertexTriangle(const SketchPoint& at, double d) {
  const double tan30 = std::tan(30.0 * kPi / 180.0);
  const double tan60 = std::tan(60.0 * kPi / 180.0);
  const double baseY = at.y - d * tan30;
  return {SketchPoint{at.x - d, baseY}, SketchPoint{at.x + d, baseY}, SketchPoint{at.x, baseY + d * tan60}};
}

SketchPoint VertexLabelPosition(const SketchPoint& at, double d) { return {at.x + kLabelShift * d, at.y - d}; }

}  // namespace korvo
