#include "coordtransform/coordinate_checks.h"

#include <cmath>

#include "common/numbers.h"
#include "common/win1252.h"

namespace korvo {
namespace {

constexpr double kMaxEastingM = 1.0e6;
constexpr double kMaxNorthingM = 1.0e7;
constexpr double kMaxHeightM = 1.0e6;
constexpr double kMinGeocentricM = 5.0e6;
constexpr double kMaxGeocentricM = 8.0e6;
// Seconds read back from g.mmss carry noise of about 1E-10"; a typed 60 is never below this.
constexpr double kSixtyLessNoise = 60.0 - 1e-7;

// True when the minutes and seconds of a pseudo-sexagesimal value are below 60, read as the
// conversion to radians reads them (a whole minute written as .30 carries to the next).
bool MinutesAndSecondsValid(double pseudoDegrees) {
  const double magnitude = std::fabs(pseudoDegrees);
  const double minutesText = 100.0 * (magnitude - std::trunc(magnitude));
  double minutes = std::trunc(minutesText);
  double seconds = 100.0 * (minutesText - minutes);
  if (seconds > 99.9999) {
    seconds = 0.0;
    minutes += 1.0;
  }
  return minutes < kSixtyLessNoise && seconds < kSixtyLessNoise;
}

std::optional<CoordinateProblem> Problem(CoordinateFault fault, int column, double value) {
  return CoordinateProblem{fault, column, value};
}

}  // namespace

std::optional<CoordinateProblem> CheckCoordinates(CoordinateFormat format, const Triple& point) {
  const double values[3] = {point.first, point.second, point.third};
  for (int c = 0; c < 3; ++c) {
    if (!std::isfinite(values[c])) return Problem(CoordinateFault::kNotFinite, c + 1, values[c]);
  }
  switch (format) {
    case CoordinateFormat::kUtm30:
    case CoordinateFormat::kUtm31:
      if (!(point.first >= 0.0 && point.first <= kMaxEastingM)) return Problem(CoordinateFault::kEasting, 1, point.first);
      if (!(std::fabs(point.second) <= kMaxNorthingM)) return Problem(CoordinateFault::kNorthing, 2, point.second);
      if (!(std::fabs(point.third) <= kMaxHeightM)) return Problem(CoordinateFault::kHeight, 3, point.third);
      break;
    case CoordinateFormat::kEd50Geographic:
    case CoordinateFormat::kWgs84Geographic:
      if (!(std::fabs(point.first) <= 90.0)) return Problem(CoordinateFault::kLatitude, 1, point.first);
      if (!(std::fabs(point.second) <= 180.0)) return Problem(CoordinateFault::kLongitude, 2, point.second);
      for (int c = 0; c < 2; ++c) {
        if (!MinutesAndSecondsValid(values[c])) return Problem(CoordinateFault::kSexagesimal, c + 1, values[c]);
      }
      if (!(std::fabs(point.third) <= kMaxHeightM)) return Problem(CoordinateFault::kHeight, 3, point.third);
      break;
    case CoordinateFormat::kEd50Cartesian:
    case CoordinateFormat::kWgs84Cartesian: {
      const double distanceM = std::hypot(point.first, point.second, point.third);
      if (!(distanceM >= kMinGeocentricM && distanceM <= kMaxGeocentricM)) {
        return Problem(CoordinateFault::kGeocentricDistance, 1, distanceM);
      }
      break;
    }
  }
  return std::nullopt;
}

std::optional<CoordinateProblem> CheckTransformed(const PointInAllFormats& point) {
  for (int k = 0; k < kColumnCount; ++k) {
    const double value = ColumnValue(point, k);
    if (!std::isfinite(value)) return Problem(CoordinateFault::kNotFinite, k + 1, value);
  }
  return std::nullopt;
}

std::string CoordinateProblemMessage(const CoordinateProblem& problem, std::size_t line) {
  const std::string where =
      Cp1252(" Línea ") + std::to_string(line) + ", columna " + std::to_string(problem.column) + ": ";
  const std::string value = ShortNumberText(problem.value);
  switch (problem.fault) {
    case CoordinateFault::kNotFinite: return where + Cp1252("el valor no es un número finito ");
    case CoordinateFault::kLatitude:
      return where + Cp1252("la latitud ") + value + Cp1252(" no está entre -90 y 90 grados ");
    case CoordinateFault::kLongitude:
      return where + Cp1252("la longitud ") + value + Cp1252(" no está entre -180 y 180 grados ");
    case CoordinateFault::kSexagesimal:
      return where + Cp1252("el valor ") + value + Cp1252(" tiene 60 o más minutos o segundos (formato g.mmss) ");
    case CoordinateFault::kEasting:
      return where + Cp1252("la coordenada X UTM ") + value + Cp1252(" no está entre 0 y 1000000 m ");
    case CoordinateFault::kNorthing:
      return where + Cp1252("la coordenada Y UTM ") + value + Cp1252(" no está entre -10000000 y 10000000 m ");
    case CoordinateFault::kHeight:
      return where + Cp1252("la altura ") + value + Cp1252(" no está entre -1000000 y 1000000 m ");
    case CoordinateFault::kGeocentricDistance:
      return where + Cp1252("el punto está a ") + value + Cp1252(" m del centro de la Tierra; debe estar entre 5000 y 8000 km ");
  }
  return where;
}

}  // namespace korvo
