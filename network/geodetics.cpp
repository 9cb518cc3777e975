#include "network/geodetics.h"

#include <cmath>

#include "common/constants.h"

namespace korvo {

namespace {

constexpr double kRadToDeg = 180.0 / kPi;
constexpr double kDegToRad = kPi / 180.0;

// Offset that keeps the sketch's plane coordinates positive.
constexpr double kSketchOffsetDeg = 1000.0;

struct EllipsoidTerms {
  double a, b, e2, ep2;  // semi-axes (m), first and second eccentricity squared
};

EllipsoidTerms Wgs84Terms() {
  const double a = kWgs84A;
  const double b = a * (1.0 - kWgs84F);
  return {a, b, (a * a - b * b) / (a * a), (a * a - b * b) / (b * b)};
}

}  // namespace

double GeodeticLatitudeDeg(double xM, double yM, double zM) {
  static const EllipsoidTerms wgs = Wgs84Terms();
  const double p = std::sqrt(xM * xM + yM * yM);
  // On the polar axis the formula's quotients have no value; the latitude is the limit.
  if (p == 0.0) return zM > 0.0 ? 90.0 : (zM < 0.0 ? -90.0 : 0.0);
  const double theta = std::atan(zM * wgs.a / (p * wgs.b));
  const double sinTheta = std::sin(theta);
  const double cosTheta = std::cos(theta);
  const double numerator = zM + wgs.ep2 * wgs.b * sinTheta * sinTheta * sinTheta;
  const double denominator = p - wgs.e2 * wgs.a * cosTheta * cosTheta * cosTheta;
  const double phi = std::atan(numerator / denominator);
  return phi * kRadToDeg;
}

double GeodeticLongitudeDeg(double xM, double yM) { return std::atan2(yM, xM) * kRadToDeg; }

void ComputeVertexGeodetics(NetworkModel& model) {
  for (NetworkVertex& v : model.vertices) {
    v.latitudeDeg = GeodeticLatitudeDeg(v.xM, v.yM, v.zM);
    v.longitudeDeg = static_cast<float>(GeodeticLongitudeDeg(v.xM, v.yM));
    // The sketch is drawn from the longitude as stored (single precision).
    v.sketchX = static_cast<double>(v.longitudeDeg) * std::cos(v.latitudeDeg * kDegToRad) +
                kSketchOffsetDeg;
    v.sketchY = static_cast<float>(v.latitudeDeg + kSketchOffsetDeg);
  }
}

}  // namespace korvo
