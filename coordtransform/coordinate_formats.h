#pragma once
// The six coordinate formats of the datum transformation utility and the chains that fill all
// six from any one of them.

#include <array>
#include <cstddef>
#include <vector>

#include "coordtransform/geodesy.h"

namespace korvo {

// Format identifiers 1..6, as in the utility's input files and its "< TRANSFORMAR >" buttons.
enum class CoordinateFormat {
  kUtm30 = 1,            // ED50, UTM zone 30: easting, northing, h (m)
  kUtm31 = 2,            // ED50, UTM zone 31: easting, northing, h (m)
  kEd50Geographic = 3,   // ED50 φ, λ (pseudo-sexagesimal degrees), h (m)
  kEd50Cartesian = 4,    // ED50 geocentric X, Y, Z (m)
  kWgs84Geographic = 5,  // WGS84 φ, λ (pseudo-sexagesimal degrees), h (m)
  kWgs84Cartesian = 6,   // WGS84 geocentric X, Y, Z (m)
};

inline constexpr int kFormatCount = 6;
inline constexpr int kColumnCount = 3 * kFormatCount;  // the 18 columns of the window and files

inline bool IsFormatId(int id) { return id >= 1 && id <= kFormatCount; }

// One point in all six formats, indexed by format identifier − 1.
using PointInAllFormats = std::array<Triple, kFormatCount>;

inline Triple& FormatOf(PointInAllFormats& point, CoordinateFormat format) {
  return point[static_cast<std::size_t>(format) - 1];
}
inline const Triple& FormatOf(const PointInAllFormats& point, CoordinateFormat format) {
  return point[static_cast<std::size_t>(format) - 1];
}

// Column k (0..17) of a point: format k / 3 + 1, its column k % 3.
double ColumnValue(const PointInAllFormats& point, int column);

// Fills the other five formats of a point given in `format`, in the order of the utility:
//   1: UTM30 → ED50 geographic → ED50 cartesian; ED50 geographic → UTM31;
//      ED50 cartesian → WGS84 cartesian (Helmert) → WGS84 geographic
//   2: as 1 with the zones exchanged
//   3: ED50 geographic → ED50 cartesian, → UTM30, → UTM31; ED50 cartesian → WGS84 cartesian
//      → WGS84 geographic
//   4: ED50 cartesian → ED50 geographic → UTM30, → UTM31; ED50 cartesian → WGS84 cartesian
//      → WGS84 geographic
//   5: WGS84 geographic → WGS84 cartesian → ED50 cartesian (negated Helmert constants)
//      → ED50 geographic → UTM30, → UTM31
//   6: WGS84 cartesian → WGS84 geographic; → ED50 cartesian (negated constants)
//      → ED50 geographic → UTM30, → UTM31
// The input triple is kept as given.
PointInAllFormats TransformPoint(CoordinateFormat format, const Triple& input);

std::vector<PointInAllFormats> TransformPoints(CoordinateFormat format, const std::vector<Triple>& input);

// Width of the integer part and number of decimals with which a column is shown and written.
struct ColumnLayout {
  int integerWidth;
  int decimals;
};
ColumnLayout LayoutOfColumn(int column);

}  // namespace korvo
