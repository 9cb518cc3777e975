#pragma once
// Geodetic latitude and longitude of each vertex on the WGS84 ellipsoid, and the plane
// coordinates of the planimetric sketch, computed from the approximate geocentric cartesian
// coordinates after a network has been loaded. The equation formation reads the latitude
// (double) and the longitude (single precision); the sketch reads sketchX and sketchY.

#include "network/network_model.h"

namespace korvo {

// Geodetic latitude in degrees from WGS84 geocentric X, Y, Z in metres, by Bowring's
// one-step formula (Bowring 1976, Survey Review 23(181)): with p = sqrt(X² + Y²) and the
// parametric latitude θ = arctan(Z·a / (p·b)),
//   φ = arctan((Z + e'²·b·sin³θ) / (p − e²·a·cos³θ)).
// Within a few kilometres of the ellipsoid it agrees with the exact latitude to well below
// 1e-9 degrees. Angles are converted with the program's own pi (kPi).
double GeodeticLatitudeDeg(double xM, double yM, double zM);

// Longitude in degrees, −180..180, by the four-quadrant arctangent of (Y, X), so points with
// X ≤ 0 get their true longitude.
double GeodeticLongitudeDeg(double xM, double yM);

// Fills latitudeDeg, longitudeDeg (single precision), sketchX = longitude° · cos(latitude) +
// 1000 and sketchY = latitude° + 1000 (single precision) of every vertex.
void ComputeVertexGeodetics(NetworkModel& model);

}  // namespace korvo
