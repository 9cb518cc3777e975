#pragma once
// Geodetic computations of the coordinate transformation utility: pseudo-sexagesimal angles,
// geographic <-> geocentric cartesian coordinates, the seven-parameter datum shift between
// ED50 and WGS84, and the UTM projection (zones 30 and 31) on the International ellipsoid.
//
// Angles in pseudo-sexagesimal degrees are written g.mmssffff: 40.2530125 is 40° 25' 30.125".
// A negative value carries the sign on the whole number (and so on every component).
// Every degree <-> radian conversion uses korvo::kPi (3.14159265358979), as the rest of Korvo.

#include "common/constants.h"

namespace korvo {

// A reference ellipsoid given by its semi-axes in metres.
struct Ellipsoid {
  double a;  // semi-major axis (m)
  double b;  // semi-minor axis (m)

  // First and second squared eccentricities: (a² - b²)/a² and (a² - b²)/b².
  constexpr double FirstEccentricitySquared() const { return (a * a - b * b) / (a * a); }
  constexpr double SecondEccentricitySquared() const { return (a * a - b * b) / (b * b); }
};

// ED50: International (Hayford 1924) ellipsoid, flattening 1/297.
inline constexpr Ellipsoid kEd50Ellipsoid{kInternationalA, kInternationalA * (1.0 - 1.0 / 297.0)};
// WGS84 as the utility has always used it: inverse flattening 298.2572221 (the ellipsoid of
// common/constants.h has 298.257223563; the difference in b is 0.1 mm).
inline constexpr Ellipsoid kWgs84UtilityEllipsoid{kWgs84A, kWgs84A * (297.2572221 / 298.2572221)};

// Seven parameters of the linearised similarity transformation (Helmert).
struct HelmertParameters {
  double txM, tyM, tzM;  // translations (m)
  double scale;          // scale term D (dimensionless: 13.626 ppm is 1.3626e-5)
  double rxRad, ryRad, rzRad;  // rotations εx, εy, εz (radians)

  // The same seven values with every sign reversed: the way back. Not the exact inverse.
  constexpr HelmertParameters Negated() const { return {-txM, -tyM, -tzM, -scale, -rxRad, -ryRad, -rzRad}; }
};

// ED50 -> WGS84 for the Iberian peninsula.
inline constexpr HelmertParameters kEd50ToWgs84{-115.35, -62.155, -211.719, 1.3626e-5,
                                                -1.895e-7, 7.5957e-6, 8.0938e-6};
inline constexpr HelmertParameters kWgs84ToEd50 = kEd50ToWgs84.Negated();

// UTM constants: scale on the central meridian and false easting (m); no false northing.
inline constexpr double kUtmScale = 0.9996;
inline constexpr double kUtmFalseEastingM = 500000.0;

// A point as three coordinates in the order of a format's columns: (φ, λ, h), (X, Y, Z) or
// (easting, northing, h).
struct Triple {
  double first = 0.0;
  double second = 0.0;
  double third = 0.0;
};

// Pseudo-sexagesimal degrees -> radians. A seconds part that computes above 99.9999 (the
// floating-point remainder of a whole minute, as in 40.3 -> 40° 29' 99.99999...") becomes
// 0 and one more minute with the value's sign; this holds for negative values too.
double PseudoToRadians(double pseudoDegrees);

// Radians -> pseudo-sexagesimal degrees. The seconds are not rounded, so 59.99999..." stays.
double RadiansToPseudo(double radians);

// Geographic (φ, λ in pseudo-sexagesimal degrees, h in m) -> geocentric cartesian X, Y, Z (m).
Triple GeographicToCartesian(const Triple& geographic, const Ellipsoid& ellipsoid);

// Geocentric cartesian X, Y, Z (m) -> geographic (φ, λ in pseudo-sexagesimal degrees, h in m),
// by Bowring's closed formula applied once (B. R. Bowring, "Transformation from spatial to
// geographical coordinates", Survey Review 23 (181), 1976). Its latitude error is below
// 1e-9 rad for points within a few kilometres of the ellipsoid. The longitude is the
// four-quadrant arctangent of (Y, X), right in every quadrant and for X = 0.
Triple CartesianToGeographic(const Triple& cartesian, const Ellipsoid& ellipsoid);

// The linearised seven-parameter transformation of cartesian coordinates (m):
//   X' = X + TX + D·X + εz·Y − εy·Z
//   Y' = Y + TY + D·Y − εz·X + εx·Z
//   Z' = Z + TZ + D·Z + εy·X − εx·Y
// i.e. the small-angle rotation matrix with +εz above the diagonal in the first row
// (the "coordinate frame" sign convention).
Triple HelmertTransform(const Triple& cartesian, const HelmertParameters& parameters);

// Meridian arc length (m) from the equator to latitude φ (radians) on an ellipsoid, by the
// binomial series of (1 − e² sin²φ)^(−3/2) to e¹⁰ integrated term by term.
double MeridianArcM(double latitudeRad, const Ellipsoid& ellipsoid);

// Central meridian of a UTM zone in radians (−3° for zone 30, +3° for zone 31). Only zones
// 30 and 31 are used; any other zone number gives the meridian of the standard UTM grid.
double CentralMeridianRad(int zone);

// ED50 geographic (φ, λ in pseudo-sexagesimal degrees, h in m) -> UTM easting, northing (m)
// and h in the given zone, by the Gauss–Krüger series to the ninth power of Δλ.
Triple GeographicToUtm(const Triple& geographic, int zone);

// UTM easting, northing (m) and h in the given zone -> ED50 geographic (φ, λ in
// pseudo-sexagesimal degrees, h in m), by the footpoint latitude and the inverse
// Gauss–Krüger series to the eighth power of the easting.
Triple UtmToGeographic(const Triple& utm, int zone);

// The same projections in radians, for the tests and for chains that must not go through
// the pseudo-sexagesimal form: (φ, λ) in radians -> (easting, northing) in metres and back.
struct PlanePoint {
  double eastingM;
  double northingM;
};
struct LatLonRad {
  double latitudeRad;
  double longitudeRad;
};
PlanePoint ProjectUtm(const LatLonRad& point, int zone);

// The Gauss–Krüger series behind ProjectUtm on any ellipsoid about any central meridian
// (radians), without scale or false origin: eastingM is the distance from the central
// meridian and northingM the meridian arc plus the series' northing terms (m). ProjectUtm is
// {false easting + k0·eastingM, k0·northingM} of this on ED50; the quality analysis uses it
// on WGS84 in the point's own zone. Within a UTM zone it agrees with the exact transverse
// Mercator map to far below 0.1 mm.
PlanePoint GaussKrugerPlane(const LatLonRad& point, double centralMeridianRad, const Ellipsoid& ellipsoid);
LatLonRad UnprojectUtm(const PlanePoint& point, int zone);

}  // namespace korvo
