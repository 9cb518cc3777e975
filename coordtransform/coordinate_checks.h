#pragma once
// Plausibility of the points given to the datum transformation utility, checked before any
// arithmetic so that an impossible value never comes out as a latitude of 180° or "-Inf".
//
// Ranges (stated in the README too):
//   latitude               −90° to 90°       (pseudo-sexagesimal g.mmss: minutes and seconds < 60)
//   longitude              −180° to 180°     (idem)
//   UTM easting            0 m to 1,000,000 m (500 km either side of the central meridian)
//   UTM northing           −10,000 km to 10,000 km (no false northing)
//   height (UTM, φ λ h)    −1,000 km to 1,000 km (a larger one turns the other formats into
//                          infinities)
//   geocentric X, Y, Z     distance from the Earth's centre between 5,000 km and 8,000 km
//   every value            finite

#include <optional>
#include <string>

#include "coordtransform/coordinate_formats.h"

namespace korvo {

enum class CoordinateFault {
  kNotFinite,           // the value is not a finite number
  kLatitude,            // beyond ±90°
  kLongitude,           // beyond ±180°
  kSexagesimal,         // minutes or seconds of 60 or more
  kEasting,             // outside the zone's sensible range
  kNorthing,            // beyond ±10,000 km
  kHeight,              // beyond ±1,000 km
  kGeocentricDistance,  // not between 5,000 km and 8,000 km from the Earth's centre
};

struct CoordinateProblem {
  CoordinateFault fault = CoordinateFault::kNotFinite;
  int column = 1;      // 1..3, the value at fault (1 for the geocentric distance)
  double value = 0.0;  // the value read (the distance in m for kGeocentricDistance)
};

// The first problem of a point given in `format`, or nothing when it can be transformed.
std::optional<CoordinateProblem> CheckCoordinates(CoordinateFormat format, const Triple& point);

// The first of the 18 values of a transformed point that is not finite (column 1..18).
std::optional<CoordinateProblem> CheckTransformed(const PointInAllFormats& point);

// The message (Windows-1252) naming line `line` of a file or window column and the column.
std::string CoordinateProblemMessage(const CoordinateProblem& problem, std::size_t line);

}  // namespace korvo
