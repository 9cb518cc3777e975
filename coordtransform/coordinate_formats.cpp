#include "coordtransform/coordinate_formats.h"

namespace korvo {
namespace {

constexpr int kZone30 = 30;
constexpr int kZone31 = 31;

// The chain shared by the three ED50 entries once ED50 geographic and cartesian are known.
void FillFromEd50(PointInAllFormats& point) {
  using F = CoordinateFormat;
  const Triple& geographic = FormatOf(point, F::kEd50Geographic);
  FormatOf(point, F::kUtm30) = GeographicToUtm(geographic, kZone30);
  FormatOf(point, F::kUtm31) = GeographicToUtm(geographic, kZone31);
  FormatOf(point, F::kWgs84Cartesian) = HelmertTransform(FormatOf(point, F::kEd50Cartesian), kEd50ToWgs84);
  FormatOf(point, F::kWgs84Geographic) =
      CartesianToGeographic(FormatOf(point, F::kWgs84Cartesian), kWgs84UtilityEllipsoid);
}

void FillEd50FromWgs84Cartesian(PointInAllFormats& point) {
  using F = CoordinateFormat;
  FormatOf(point, F::kEd50Cartesian) = HelmertTransform(FormatOf(point, F::kWgs84Cartesian), kWgs84ToEd50);
  FormatOf(point, F::kEd50Geographic) = CartesianToGeographic(FormatOf(point, F::kEd50Cartesian), kEd50Ellipsoid);
  FormatOf(point, F::kUtm30) = GeographicToUtm(FormatOf(point, F::kEd50Geographic), kZone30);
  FormatOf(point, F::kUtm31) = GeographicToUtm(FormatOf(point, F::kEd50Geographic), kZone31);
}

}  // namespace

double ColumnValue(const PointInAllFormats& point, int column) {
  const Triple& triple = point[static_cast<std::size_t>(column / 3)];
  switch (column % 3) {
    case 0: return triple.first;
    case 1: return triple.second;
    default: return triple.third;
  }
}

PointInAllFormats TransformPoint(CoordinateFormat format, const Triple& input) {
  using F = CoordinateFormat;
  PointInAllFormats point{};
  FormatOf(point, format) = input;
  switch (format) {
    case F::kUtm30:
    case F::kUtm31: {
      const int zone = format == F::kUtm30 ? kZone30 : kZone31;
      const int otherZone = format == F::kUtm30 ? kZone31 : kZone30;
      const F other = format == F::kUtm30 ? F::kUtm31 : F::kUtm30;
      const Triple geographic = UtmToGeographic(input, zone);
      FormatOf(point, F::kEd50Geographic) = geographic;
      FormatOf(point, F::kEd50Cartesian) = GeographicToCartesian(geographic, kEd50Ellipsoid);
      FormatOf(point, other) = GeographicToUtm(geographic, otherZone);
      FormatOf(point, F::kWgs84Cartesian) = HelmertTransform(FormatOf(point, F::kEd50Cartesian), kEd50ToWgs84);
      FormatOf(point, F::kWgs84Geographic) =
          CartesianToGeographic(FormatOf(point, F::kWgs84Cartesian), kWgs84UtilityEllipsoid);
      break;
    }
    case F::kEd50Geographic:
      FormatOf(point, F::kEd50Cartesian) = GeographicToCartesian(input, kEd50Ellipsoid);
      FillFromEd50(point);
      break;
    case F::kEd50Cartesian:
      FormatOf(point, F::kEd50Geographic) = CartesianToGeographic(input, kEd50Ellipsoid);
      FillFromEd50(point);
      break;
    case F::kWgs84Geographic:
      FormatOf(point, F::kWgs84Cartesian) = GeographicToCartesian(input, kWgs84UtilityEllipsoid);
      FillEd50FromWgs84Cartesian(point);
      break;
    case F::kWgs84Cartesian:
      FormatOf(point, F::kWgs84Geographic) = CartesianToGeographic(input, kWgs84UtilityEllipsoid);
      FillEd50FromWgs84Cartesian(point);
      break;
  }
  return point;
}

std::vector<PointInAllFormats> TransformPoints(CoordinateFormat format, const std::vector<Triple>& input) {
  std::vector<PointInAllFormats> points;
  points.reserve(input.size());
  for (const Triple& triple : input) points.push_back(TransformPoint(format, triple));
  return points;
}

ColumnLayout LayoutOfColumn(int column) {
  const int format = column / 3 + 1;
  const int within = column % 3;
  switch (format) {
    case 1:
    case 2: return within == 2 ? ColumnLayout{6, 3} : ColumnLayout{8, 3};
    case 3:
    case 5: return within == 2 ? ColumnLayout{6, 3} : ColumnLayout{3, 8};
    default: return ColumnLayout{8, 3};
  }
}

}  // namespace korvo
