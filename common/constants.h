#pragma once
// Constants that the results depend on, each defined once with its unit and origin.

namespace korvo {

// The program's own value of pi. Every conversion between gons, degrees and radians in the
// engine, the sketch and the coordinate utility uses it; results are printed to the last
// digit, so std::numbers::pi must not be used instead.
inline constexpr double kPi = 3.14159265358979;

// WGS84 ellipsoid (NIMA TR8350.2): semi-major axis in metres and flattening.
inline constexpr double kWgs84A = 6378137.0;
inline constexpr double kWgs84F = 1.0 / 298.257223563;

// International (Hayford 1924) ellipsoid, the one of ED50: semi-major axis in metres and
// flattening.
inline constexpr double kInternationalA = 6378388.0;
inline constexpr double kInternationalF = 1.0 / 297.0;

// Angle units: 400 gon per turn; 1 cc (= 1 dmgr) is 0.0001 gon.
inline constexpr double kCcPerGon = 10000.0;

}  // namespace korvo
