#pragma once
// Where the planimetric sketch puts each vertex: the pure placement behind the drawing.
//
// The drawing surface is measured in twips and given a user coordinate system with its origin
// at the bottom-left corner and y growing upwards (W by H). The network's sketch-plane
// extent (sketchX, sketchY of the vertices, see network/geodetics.h) is scaled so that its
// limiting extent fills half of the limiting dimension, with its lower-left corner at (Q, Q):
//   if (ymax − ymin)/H > (xmax − xmin)/W:  s = (ymax − ymin)/(H/2), Q = H/4   (height limits)
//   otherwise:                             s = (xmax − xmin)/(W/2), Q = W/4   (width limits)
//   X = Q + (x − xmin)/s,  Y = Q + (y − ymin)/s.
// The symbol size is d = W/60.

#include <array>
#include <string>

#include "common/result.h"
#include "network/network_model.h"

namespace korvo {

// "¡Se ha producido un error en el dibujo del croquis de la red!" (Windows-1252).
extern const std::string kSketchErrorMessage;

// A point in the drawing's user coordinates (twips, origin bottom-left, y up).
struct SketchPoint {
  double x = 0.0;
  double y = 0.0;
};

struct SketchPlacement {
  double widthTwips = 0.0, heightTwips = 0.0;  // W, H
  double xmin = 0.0, ymin = 0.0;               // lower-left corner of the network, sketch plane
  double s = 0.0;                              // sketch-plane units per twip
  double q = 0.0;                              // Q: margin of the lower-left corner, twips
  double d = 0.0;                              // symbol size, twips

  // The drawing position of a point of the sketch plane.
  SketchPoint Map(double sketchX, double sketchY) const;
  SketchPoint Map(const NetworkVertex& vertex) const;
};

// The placement of the network on a surface of W by H twips. Fails with kSketchErrorMessage
// when it has no scale: no vertices, all vertices at one point (s = 0), a surface without
// size, or coordinates that are not finite.
Result<SketchPlacement> PlaceNetworkSketch(const NetworkModel& model, double widthTwips, double heightTwips);

// The fixed-vertex symbol: an equilateral triangle of side 2d centred on the point, as
// {left base corner, right base corner, apex}.
std::array<SketchPoint, 3> FixedVertexTriangle(const SketchPoint& at, double d);

// Where a vertex's number is printed: (X + 0.23·d, Y − d).
SketchPoint VertexLabelPosition(const SketchPoint& at, double d);

}  // namespace korvo
