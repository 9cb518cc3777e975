// Formation of the linearised observation system from the network.
//
// Local geodetic frame of a station at geodetic latitude φ and longitude λ (the frame of the
// ellipsoid normal, so the observations are referred to the ellipsoid and the deflection of
// the vertical enters as a correction or as unknowns):
//   east  e = (−sin λ, cos λ, 0)
//   north n = (−sin φ cos λ, −sin φ sin λ, cos φ)
//   up    u = (cos φ cos λ, cos φ sin λ, sin φ)
// For a sight Δ = target − station of length D, the zenith distance is z = arccos(u·Δ / D)
// and the azimuth A, clockwise from north, is the angle of (e·Δ, n·Δ) in 0..400 gon. The
// coefficients of the coordinate unknowns are the derivatives of z and A with respect to the
// cartesian coordinates of both ends with the frame held fixed; the station's coefficients
// are the negatives of the target's because only Δ enters.

#include <cmath>
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/constants.h"
#include "common/win1252.h"
#include "engine/kernels.h"
#include "engine/observation_system.h"

namespace korvo {

const std::string kInadmissibleObservationTypeMessage =
    Cp1252(" ¡Se ha producido un error: algún tipo de observable clásico no es admisible! ");

namespace {

// Earth radius of the refraction term K·D/R (gon after the factor 200/π). K is half the
// conventional coefficient, as the model has always taken it.
constexpr double kRefractionEarthRadiusM = 6370000.0;
// Earth radius R′ that turns GPS centring errors into latitude and longitude errors.
constexpr double kGpsEarthRadiusM = 6.37e6;

constexpr double kRadToGon = 200.0 / kPi;
constexpr double kGonToRad = kPi / 200.0;
constexpr double kDegToRad = kPi / 180.0;
constexpr double kRadToCc = 2000000.0 / kPi;  // ρ: cc per radian
constexpr double kFullTurnGon = 400.0;
constexpr double kHalfTurnGon = 200.0;

const std::string& TextOrientationUnknown() {
  static const std::string text = Cp1252("Incógnita");
  return text;
}
const std::string& TextOrientationFixed() {
  static const std::string text = "Fija";
  return text;
}

// ---- vertex lookup and checks before any arithmetic ---------------------------------------

// First vertex of each number, as a linear search of the list would find it.
class VertexLookup {
 public:
  explicit VertexLookup(const NetworkModel& network) {
    for (std::size_t i = 0; i < network.vertices.size(); ++i) {
      index_.emplace(static_cast<int>(network.vertices[i].number), static_cast<int>(i));
    }
  }
  // 0-based vertex row, or -1 when no vertex has this number.
  int Find(double number) const {
    if (!(number >= -32768.0 && number <= 32767.0) || number != std::floor(number)) return -1;
    auto it = index_.find(static_cast<int>(number));
    return it == index_.end() ? -1 : it->second;
  }

 private:
  std::unordered_map<int, int> index_;
};

std::string VertexNumberText(double number) {
  if (number == std::floor(number) && std::fabs(number) < 1e9) {
    return std::to_string(static_cast<long long>(number));
  }
  return std::to_string(number);
}

std::string ClassicalName(const ClassicalObservation& o, std::size_t i) {
  return Cp1252("nº ") + std::to_string(i + 1) + " (" + ObservationTypeKeyword(o.type) + " " + VertexNumberText(o.from) +
         "-" + std::to_string(o.to) + ")";
}

std::string BaselineName(const GpsBaseline& b, std::size_t i) {
  return Cp1252("nº ") + std::to_string(i + 1) + " (" + VertexNumberText(b.from) + "-" + std::to_string(b.to) + ")";
}

std::string MissingVertexInObservation(const ClassicalObservation& o, std::size_t i, double number) {
  return Cp1252(" ¡La observación ") + ClassicalName(o, i) + Cp1252(" se refiere al vértice ") + VertexNumberText(number) +
         Cp1252(", que no figura en la lista de vértices! ");
}

std::string MissingVertexInBaseline(const GpsBaseline& b, std::size_t i, double number) {
  return Cp1252(" ¡La línea base GPS ") + BaselineName(b, i) + Cp1252(" se refiere al vértice ") + VertexNumberText(number) +
         Cp1252(", que no figura en la lista de vértices! ");
}

std::string CoincidentVertices(const ClassicalObservation& o, std::size_t i) {
  return Cp1252(" ¡La observación ") + ClassicalName(o, i) +
         Cp1252(" une dos vértices con las mismas coordenadas! ");
}

std::string CoincidentBaselineEnds(const GpsBaseline& b, std::size_t i) {
  return Cp1252(" ¡La línea base GPS ") + BaselineName(b, i) +
         Cp1252(" une dos vértices con las mismas coordenadas! ");
}

std::string ZeroStandardDeviation(const ClassicalObservation& o, std::size_t i) {
  return Cp1252(" ¡La observación ") + ClassicalName(o, i) +
         Cp1252(" tiene desviación típica nula: su peso sería infinito! ");
}

std::string VerticalSight(const ClassicalObservation& o, std::size_t i) {
  return Cp1252(" ¡La observación ") + ClassicalName(o, i) +
         Cp1252(" es una visual vertical: su acimut no está definido! ");
}

bool IsAdmissibleType(ObservationType type) {
  return type == ObservationType::Direction || type == ObservationType::Zenith ||
         type == ObservationType::Distance;
}

// ---- local frame and sight ----------------------------------------------------------------

struct StationFrame {
  double phi = 0.0, lambda = 0.0;  // radians
  double sinPhi = 0.0, cosPhi = 0.0, sinLambda = 0.0, cosLambda = 0.0;
};

StationFrame FrameOf(const NetworkVertex& v) {
  StationFrame f;
  f.phi = v.latitudeDeg * kDegToRad;
  f.lambda = static_cast<double>(v.longitudeDeg) * kDegToRad;
  f.sinPhi = std::sin(f.phi);
  f.cosPhi = std::cos(f.phi);
  f.sinLambda = std::sin(f.lambda);
  f.cosLambda = std::cos(f.lambda);
  return f;
}

// Azimuth of a sight from its east and north components, clockwise from north in 0..400 gon.
// The arctangent of the quotient lands in (−100, 100) gon; the quadrant then follows the sign
// of the east component (east: 0..200, west: 200..400), which for two different longitudes is
// the side of the target's longitude and stays right on a north-south line. Evaluated as
// arctan(e/n)·200/π, then +400 and ±200, so the digits are those of the quotient rule.
double AzimuthGon(double east, double north) {
  if (east == 0.0 && north == 0.0) return 0.0;  // vertical sight: no azimuth (refused by the rows)
  double a = std::atan(east / north) * 200.0 / kPi;
  if (a < 0.0) a += kFullTurnGon;
  const bool eastSide = east > 0.0 || (east == 0.0 && north > 0.0);
  if (eastSide) {
    if (a > kHalfTurnGon) a -= kHalfTurnGon;
  } else if (a < kHalfTurnGon) {
    a += kHalfTurnGon;
  }
  return a + 0.0;  // no −0 for a sight due north
}

struct Sight {
  double dx = 0.0, dy = 0.0, dz = 0.0;  // target − station, m
  double distanceM = 0.0;               // D
  double east = 0.0, north = 0.0;       // e·Δ, n·Δ
  double zenithGon = 0.0;               // uncorrected zenith distance
  double azimuthGon = 0.0;              // 0..400
};

Sight SightBetween(const NetworkVertex& station, const NetworkVertex& target, const StationFrame& f) {
  Sight s;
  s.dx = target.xM - station.xM;
  s.dy = target.yM - station.yM;
  s.dz = target.zM - station.zM;
  s.distanceM = std::sqrt(s.dx * s.dx + s.dy * s.dy + s.dz * s.dz);
  const double up = f.cosPhi * f.cosLambda * s.dx + f.cosPhi * f.sinLambda * s.dy + f.sinPhi * s.dz;
  s.east = -f.sinLambda * s.dx + f.cosLambda * s.dy;
  s.north = -f.sinPhi * f.cosLambda * s.dx - f.sinPhi * f.sinLambda * s.dy + f.cosPhi * s.dz;
  s.zenithGon = ArcCosSeries(up / s.distanceM) * 200.0 / kPi;
  s.azimuthGon = AzimuthGon(s.east, s.north);
  return s;
}

// Brings a difference of directions into (−200, 200] gon (exact: IEEE remainder).
double WrapHalfTurn(double gon) {
  double r = std::remainder(gon, kFullTurnGon);
  if (r == -kHalfTurnGon) r = kHalfTurnGon;
  return r;
}

// ---- the formation ------------------------------------------------------------------------

class SystemBuilder {
 public:
  SystemBuilder(const NetworkModel& network, const CalcOptions& options, const MatrixKernels& kernels)
      : network_(network), options_(options), kernels_(kernels), lookup_(network) {}

  Result<ObservationSystem> Build() {
    if (Status checked = CheckObservations(); !checked.ok()) return Failure{checked.error()};
    LayOutUnknowns();
    Allocate();
    for (std::size_t i = 0; i < network_.classical.size(); ++i) {
      if (Status formed = FormClassicalRow(i); !formed.ok()) return Failure{formed.error()};
    }
    ReduceDirections();
    for (std::size_t b = 0; b < network_.baselines.size(); ++b) {
      if (Status formed = FormBaselineRows(b); !formed.ok()) return Failure{formed.error()};
    }
    return std::move(sys_);
  }

 private:
  const NetworkVertex& Vertex(int index) const { return network_.vertices[static_cast<std::size_t>(index)]; }

  // Every observation is of an admissible type with a standard deviation that gives a finite
  // weight, and names existing vertices at two distinct positions; the ends are remembered
  // for the formation.
  Status CheckObservations() {
    classicalEnds_.clear();
    for (std::size_t i = 0; i < network_.classical.size(); ++i) {
      const ClassicalObservation& o = network_.classical[i];
      if (!IsAdmissibleType(o.type)) return Failure{kInadmissibleObservationTypeMessage};
      if (o.stdDev == 0.0 || !std::isfinite(o.stdDev)) return Failure{ZeroStandardDeviation(o, i)};
      const int station = lookup_.Find(o.from);
      if (station < 0) return Failure{MissingVertexInObservation(o, i, o.from)};
      const int target = lookup_.Find(o.to);
      if (target < 0) return Failure{MissingVertexInObservation(o, i, o.to)};
      const NetworkVertex& s = Vertex(station);
      const NetworkVertex& t = Vertex(target);
      if (s.xM == t.xM && s.yM == t.yM && s.zM == t.zM) return Failure{CoincidentVertices(o, i)};
      classicalEnds_.push_back({station, target});
    }
    baselineEnds_.clear();
    for (std::size_t b = 0; b < network_.baselines.size(); ++b) {
      const GpsBaseline& g = network_.baselines[b];
      const int from = lookup_.Find(g.from);
      if (from < 0) return Failure{MissingVertexInBaseline(g, b, g.from)};
      const int to = lookup_.Find(g.to);
      if (to < 0) return Failure{MissingVertexInBaseline(g, b, g.to)};
      // A baseline from a vertex to itself would put −1 and +1 in the same column.
      const NetworkVertex& v1 = Vertex(from);
      const NetworkVertex& v2 = Vertex(to);
      if (v1.xM == v2.xM && v1.yM == v2.yM && v1.zM == v2.zM) return Failure{CoincidentBaselineEnds(g, b)};
      baselineEnds_.push_back({from, to});
    }
    return Ok();
  }

  void AddUnknown(UnknownKind kind, int vertex, int refractionLine = 0, double approximate = 0.0) {
    SystemUnknown u;
    u.kind = kind;
    u.vertex = vertex;
    u.vertexNumber = vertex >= 0 ? Vertex(vertex).number : 0;
    u.refractionLine = refractionLine;
    u.approximateValue = approximate;
    sys_.unknowns.push_back(u);
  }

  int NextColumn() const { return static_cast<int>(sys_.unknowns.size()); }  // unknowns[0] is unused

  // Columns: coordinates, refraction, deflection, orientation (see observation_system.h).
  void LayOutUnknowns() {
    const std::size_t vertexCount = network_.vertices.size();
    sys_.vertexColumns.assign(vertexCount, VertexColumns{});
    sys_.orientationStatus.assign(vertexCount, OrientationStatus::None);
    sys_.approxOrientationGon.assign(vertexCount, 0.0);
    sys_.unknowns.assign(1, SystemUnknown{});
    sys_.fixedRefraction = options_.fixedRefraction;
    sys_.singleRefractionUnknown = options_.singleRefractionUnknown;
    sys_.refractionK = options_.refractionK;

    for (std::size_t v = 0; v < vertexCount; ++v) {
      const NetworkVertex& vertex = network_.vertices[v];
      if (!vertex.IsUnknown()) continue;
      sys_.vertexColumns[v].coordinates = NextColumn();
      AddUnknown(UnknownKind::CoordinateX, static_cast<int>(v), 0, vertex.xM);
      AddUnknown(UnknownKind::CoordinateY, static_cast<int>(v), 0, vertex.yM);
      AddUnknown(UnknownKind::CoordinateZ, static_cast<int>(v), 0, vertex.zM);
      ++sys_.unknownVertexCount;
    }

    // Refraction: estimated only when there is a zenith angle to estimate it from. Per line,
    // both zenith angles between two vertices share the line's coefficient; the first one
    // in list order fixes the line's from and to.
    bool anyZenith = false;
    for (const ClassicalObservation& o : network_.classical) anyZenith = anyZenith || o.type == ObservationType::Zenith;
    networkRefractionColumn_ = 0;
    if (!options_.fixedRefraction && anyZenith) {
      if (options_.singleRefractionUnknown) {
        networkRefractionColumn_ = NextColumn();
        AddUnknown(UnknownKind::RefractionNetwork, -1);
        sys_.refractionUnknownCount = 1;
      } else {
        for (std::size_t i = 0; i < network_.classical.size(); ++i) {
          const ClassicalObservation& o = network_.classical[i];
          if (o.type != ObservationType::Zenith) continue;
          const int a = Vertex(classicalEnds_[i].station).number;
          const int b = Vertex(classicalEnds_[i].target).number;
          if (RefractionColumnOfLine(a, b) != 0) continue;
          RefractionLine line;
          line.fromNumber = a;
          line.toNumber = b;
          line.column = NextColumn();
          sys_.refractionLines.push_back(line);
          AddUnknown(UnknownKind::RefractionLine, -1, static_cast<int>(sys_.refractionLines.size()));
        }
        sys_.refractionUnknownCount = static_cast<int>(sys_.refractionLines.size());
      }
    }

    for (std::size_t v = 0; v < vertexCount; ++v) {
      if (!network_.vertices[v].deflectionUnknown) continue;
      sys_.vertexColumns[v].deflectionEw = NextColumn();
      AddUnknown(UnknownKind::DeflectionEw, static_cast<int>(v));
      sys_.vertexColumns[v].deflectionNs = NextColumn();
      AddUnknown(UnknownKind::DeflectionNs, static_cast<int>(v));
      ++sys_.deflectionVertexCount;
    }

    // Orientation status of each direction set: a station that is not fixed always carries
    // an orientation unknown; a fixed station that sights a fixed target takes its
    // orientation from that target and carries none.
    std::vector<bool> sightsFixedTarget(vertexCount, false);
    for (std::size_t i = 0; i < network_.classical.size(); ++i) {
      if (network_.classical[i].type != ObservationType::Direction) continue;
      const int station = classicalEnds_[i].station;
      sys_.orientationStatus[static_cast<std::size_t>(station)] = OrientationStatus::Unknown;
      if (Vertex(classicalEnds_[i].target).IsFixed()) sightsFixedTarget[static_cast<std::size_t>(station)] = true;
    }
    for (std::size_t v = 0; v < vertexCount; ++v) {
      if (sys_.orientationStatus[v] == OrientationStatus::None) continue;
      if (network_.vertices[v].IsFixed() && sightsFixedTarget[v]) sys_.orientationStatus[v] = OrientationStatus::Fixed;
    }
    for (std::size_t v = 0; v < vertexCount; ++v) {
      if (sys_.orientationStatus[v] != OrientationStatus::Unknown) continue;
      sys_.vertexColumns[v].orientation = NextColumn();
      AddUnknown(UnknownKind::Orientation, static_cast<int>(v));
      ++sys_.orientationUnknownCount;
    }
    sys_.numUnknowns = NextColumn() - 1;
  }

  int RefractionColumnOfLine(int a, int b) const {
    for (const RefractionLine& line : sys_.refractionLines) {
      if ((line.fromNumber == a && line.toNumber == b) || (line.fromNumber == b && line.toNumber == a)) {
        return line.column;
      }
    }
    return 0;
  }

  void Allocate() {
    sys_.formedFromNetwork = true;
    sys_.classicalCount = static_cast<int>(network_.classical.size());
    sys_.gpsCount = static_cast<int>(network_.baselines.size());
    sys_.numEquations = sys_.classicalCount + 3 * sys_.gpsCount;
    const int n = sys_.numEquations;
    const std::size_t rows = static_cast<std::size_t>(n) + 1;
    sys_.A = Matrix(n, sys_.numUnknowns);
    sys_.k = Matrix(n, 1);
    sys_.P = Matrix(n, n);
    sys_.computedValue.assign(rows, 0.0);
    sys_.reducedObserved.assign(rows, 0.0);
    sys_.rows.assign(rows, SystemRow{});
  }

  // Adds the coefficients of both ends of a sight: +c at the station, −c at the target.
  void PutEndCoefficients(int row, int station, int target, double cx, double cy, double cz) {
    const int cs = sys_.vertexColumns[static_cast<std::size_t>(station)].coordinates;
    if (cs != 0) {
      sys_.A(row, cs) = cx;
      sys_.A(row, cs + 1) = cy;
      sys_.A(row, cs + 2) = cz;
    }
    const int ct = sys_.vertexColumns[static_cast<std::size_t>(target)].coordinates;
    if (ct != 0) {
      sys_.A(row, ct) = -cx;
      sys_.A(row, ct + 1) = -cy;
      sys_.A(row, ct + 2) = -cz;
    }
  }

  Status FormClassicalRow(std::size_t i) {
    const ClassicalObservation& o = network_.classical[i];
    const int row = static_cast<int>(i) + 1;
    const int stationIndex = classicalEnds_[i].station;
    const int targetIndex = classicalEnds_[i].target;
    const NetworkVertex& station = Vertex(stationIndex);
    const NetworkVertex& target = Vertex(targetIndex);
    const StationFrame f = FrameOf(station);
    const Sight s = SightBetween(station, target, f);
    SystemRow& info = sys_.rows[static_cast<std::size_t>(row)];
    info.source = static_cast<int>(i);
    info.fromNumber = station.number;
    info.toNumber = target.number;
    sys_.P(row, row) = 1.0 / (o.stdDev * o.stdDev);

    const double d = s.distanceM;
    switch (o.type) {
      case ObservationType::Distance: {
        info.kind = RowKind::Distance;
        sys_.computedValue[static_cast<std::size_t>(row)] = d;
        sys_.reducedObserved[static_cast<std::size_t>(row)] = o.value;
        sys_.k(row, 1) = o.value - d;
        PutEndCoefficients(row, stationIndex, targetIndex, -s.dx / d, -s.dy / d, -s.dz / d);
        return Ok();
      }
      case ObservationType::Zenith: {
        info.kind = RowKind::Zenith;
        if (s.east == 0.0 && s.north == 0.0) return Failure{VerticalSight(o, i)};
        const double azimuthRad = s.azimuthGon * kGonToRad;
        double zc = s.zenithGon;
        if (options_.fixedRefraction) zc -= options_.refractionK * kRadToGon * d / kRefractionEarthRadiusM;
        if (!station.deflectionUnknown) {
          zc -= (station.deflectionNsCc * std::cos(azimuthRad) + station.deflectionEwCc * std::sin(azimuthRad)) /
                kCcPerGon;
        }
        sys_.computedValue[static_cast<std::size_t>(row)] = zc;
        sys_.reducedObserved[static_cast<std::size_t>(row)] = o.value;
        sys_.k(row, 1) = (o.value - zc) * kCcPerGon;
        // dz/dΔ = −(u·D − Δ·cos z)/(D²·sin z); the station's coefficients are its negative.
        const double zr = zc * kGonToRad;
        const double cosZ = std::cos(zr);
        const double denominator = d * d * std::sin(zr);
        PutEndCoefficients(row, stationIndex, targetIndex,
                           kRadToCc * (d * f.cosPhi * f.cosLambda - s.dx * cosZ) / denominator,
                           kRadToCc * (d * f.cosPhi * f.sinLambda - s.dy * cosZ) / denominator,
                           kRadToCc * (d * f.sinPhi - s.dz * cosZ) / denominator);
        if (!options_.fixedRefraction) {
          const int column = options_.singleRefractionUnknown ? networkRefractionColumn_
                                                               : RefractionColumnOfLine(station.number, target.number);
          sys_.A(row, column) = -kCcPerGon * kRadToGon * d / kRefractionEarthRadiusM;
        }
        if (station.deflectionUnknown) {
          const VertexColumns& c = sys_.vertexColumns[static_cast<std::size_t>(stationIndex)];
          sys_.A(row, c.deflectionEw) = -std::sin(azimuthRad);
          sys_.A(row, c.deflectionNs) = -std::cos(azimuthRad);
        }
        return Ok();
      }
      case ObservationType::Direction: {
        info.kind = RowKind::Direction;
        if (s.east == 0.0 && s.north == 0.0) return Failure{VerticalSight(o, i)};
        const double azimuthRad = s.azimuthGon * kGonToRad;
        const double zr = s.zenithGon * kGonToRad;
        const double tanZ = std::tan(zr);
        const double tanPhi = std::tan(f.phi);
        double ac = s.azimuthGon;
        if (!station.deflectionUnknown) {
          ac += (station.deflectionNsCc * std::sin(azimuthRad) / tanZ +
                 station.deflectionEwCc * (tanPhi - std::cos(azimuthRad) / tanZ)) /
                kCcPerGon;
        }
        sys_.computedValue[static_cast<std::size_t>(row)] = ac;
        // dA/dΔ = (cos A·e − sin A·n)/(D·sin z); the station's coefficients are its negative.
        const double acr = ac * kGonToRad;
        const double sinA = std::sin(acr), cosA = std::cos(acr);
        const double horizontal = d * std::sin(zr);
        PutEndCoefficients(row, stationIndex, targetIndex,
                           kRadToCc * (f.sinLambda * cosA - f.sinPhi * f.cosLambda * sinA) / horizontal,
                           kRadToCc * (-f.cosLambda * cosA - f.sinPhi * f.sinLambda * sinA) / horizontal,
                           kRadToCc * f.cosPhi * sinA / horizontal);
        const VertexColumns& c = sys_.vertexColumns[static_cast<std::size_t>(stationIndex)];
        if (station.deflectionUnknown) {
          sys_.A(row, c.deflectionEw) = tanPhi - cosA / tanZ;
          sys_.A(row, c.deflectionNs) = sinA / tanZ;
        }
        if (c.orientation != 0) sys_.A(row, c.orientation) = -1.0;
        return Ok();
      }
    }
    return Failure{kInadmissibleObservationTypeMessage};
  }

  // The approximate orientation of each direction set is computed − observed of its last
  // direction (to a fixed target when the status is "Fija"); each direction is compared
  // with its computed value after adding its station's orientation.
  void ReduceDirections() {
    for (std::size_t i = 0; i < network_.classical.size(); ++i) {
      const ClassicalObservation& o = network_.classical[i];
      if (o.type != ObservationType::Direction) continue;
      const std::size_t station = static_cast<std::size_t>(classicalEnds_[i].station);
      const bool fixedSet = sys_.orientationStatus[station] == OrientationStatus::Fixed;
      if (fixedSet && !Vertex(classicalEnds_[i].target).IsFixed()) continue;
      sys_.approxOrientationGon[station] = sys_.computedValue[i + 1] - o.value;
    }
    for (std::size_t i = 0; i < network_.classical.size(); ++i) {
      const ClassicalObservation& o = network_.classical[i];
      if (o.type != ObservationType::Direction) continue;
      const std::size_t station = static_cast<std::size_t>(classicalEnds_[i].station);
      double reduced = o.value + sys_.approxOrientationGon[station];
      if (reduced < 0.0) reduced += kFullTurnGon;
      if (reduced > kFullTurnGon) reduced -= kFullTurnGon;
      const int row = static_cast<int>(i) + 1;
      sys_.reducedObserved[i + 1] = reduced;
      // A sight near north may compare 399.9 with 0.1: the term is the short way round.
      sys_.k(row, 1) = WrapHalfTurn(reduced - sys_.computedValue[i + 1]) * kCcPerGon;
    }
  }

  // Three rows per baseline, weighted by the inverse of its covariance plus, when asked, the
  // centring and antenna-height errors of both stations propagated through J·S·Jᵀ.
  Status FormBaselineRows(std::size_t b) {
    const GpsBaseline& g = network_.baselines[b];
    const int fromIndex = baselineEnds_[b].station;
    const int toIndex = baselineEnds_[b].target;
    const NetworkVertex& v1 = Vertex(fromIndex);
    const NetworkVertex& v2 = Vertex(toIndex);
    const int first = sys_.classicalCount + 3 * static_cast<int>(b) + 1;
    const double computed[3] = {v2.xM - v1.xM, v2.yM - v1.yM, v2.zM - v1.zM};
    const double observed[3] = {g.dxM, g.dyM, g.dzM};
    const RowKind kinds[3] = {RowKind::GpsX, RowKind::GpsY, RowKind::GpsZ};
    const int c1 = sys_.vertexColumns[static_cast<std::size_t>(fromIndex)].coordinates;
    const int c2 = sys_.vertexColumns[static_cast<std::size_t>(toIndex)].coordinates;
    for (int j = 0; j < 3; ++j) {
      const int row = first + j;
      SystemRow& info = sys_.rows[static_cast<std::size_t>(row)];
      info.kind = kinds[j];
      info.source = static_cast<int>(b);
      info.fromNumber = v1.number;
      info.toNumber = v2.number;
      sys_.computedValue[static_cast<std::size_t>(row)] = computed[j];
      sys_.reducedObserved[static_cast<std::size_t>(row)] = observed[j];
      sys_.k(row, 1) = observed[j] - computed[j];
      if (c1 != 0) sys_.A(row, c1 + j) = -1.0;
      if (c2 != 0) sys_.A(row, c2 + j) = 1.0;
    }

    Matrix sigma(3, 3);
    sigma(1, 1) = g.cxx;
    sigma(1, 2) = g.cxy;
    sigma(1, 3) = g.cxz;
    sigma(2, 1) = g.cxy;
    sigma(2, 2) = g.cyy;
    sigma(2, 3) = g.cyz;
    sigma(3, 1) = g.cxz;
    sigma(3, 2) = g.cyz;
    sigma(3, 3) = g.czz;
    const Matrix stationErrors = options_.applyGpsStationErrors ? StationErrorCovariance(v1, v2) : Matrix(3, 3);
    for (int i = 1; i <= 3; ++i) {
      for (int j = 1; j <= 3; ++j) sigma(i, j) = sigma(i, j) + stationErrors(i, j);
    }
    Result<Matrix> weights = kernels_.invert(sigma, 3);
    if (!weights.ok()) return Failure{weights.error()};
    for (int i = 1; i <= 3; ++i) {
      for (int j = 1; j <= 3; ++j) sys_.P(first + i - 1, first + j - 1) = (*weights)(i, j);
    }
    return Ok();
  }

  // J·S·Jᵀ with parameters (h1, h2, φ1, φ2, λ1, λ2): S holds the antenna-height variance of
  // each station and its centring variance split into equal north and east parts, turned
  // into latitude and longitude variances on a sphere of radius R′. J is the derivative of
  // the baseline with respect to them on that sphere, up to a common sign that the product
  // does not see.
  Matrix StationErrorCovariance(const NetworkVertex& v1, const NetworkVertex& v2) const {
    const double r = kGpsEarthRadiusM;
    const double phi1 = v1.latitudeDeg * kDegToRad, phi2 = v2.latitudeDeg * kDegToRad;
    const double lam1 = static_cast<double>(v1.longitudeDeg) * kDegToRad;
    const double lam2 = static_cast<double>(v2.longitudeDeg) * kDegToRad;
    const double sp1 = std::sin(phi1), cp1 = std::cos(phi1), sp2 = std::sin(phi2), cp2 = std::cos(phi2);
    const double sl1 = std::sin(lam1), cl1 = std::cos(lam1), sl2 = std::sin(lam2), cl2 = std::cos(lam2);
    Matrix j(3, 6);
    const double rows[3][6] = {
        {cp1 * cl1, -cp2 * cl2, -r * sp1 * cl1, r * sp2 * cl2, -r * cp1 * sl1, r * cp2 * sl2},
        {cp1 * sl1, -cp2 * sl2, -r * sp1 * sl1, r * sp2 * sl2, r * cp1 * cl1, -r * cp2 * cl2},
        {sp1, -sp2, r * cp1, -r * cp2, 0.0, 0.0},
    };
    for (int i = 1; i <= 3; ++i) {
      for (int c = 1; c <= 6; ++c) j(i, c) = rows[i - 1][c - 1];
    }
    const double sigmaH = static_cast<double>(options_.antennaHeightStdDevM);
    const double sigmaC = options_.centeringStdDevM;
    const double latitudeSigma = sigmaC / (std::sqrt(2.0) * r);
    Matrix s(6, 6);
    s(1, 1) = sigmaH * sigmaH;
    s(2, 2) = sigmaH * sigmaH;
    s(3, 3) = latitudeSigma * latitudeSigma;
    s(4, 4) = latitudeSigma * latitudeSigma;
    const double longitudeSigma1 = sigmaC / (std::sqrt(2.0) * r * cp1);
    const double longitudeSigma2 = sigmaC / (std::sqrt(2.0) * r * cp2);
    s(5, 5) = longitudeSigma1 * longitudeSigma1;
    s(6, 6) = longitudeSigma2 * longitudeSigma2;
    const Matrix js = kernels_.multiply(j, s, 3, 6, 6);
    Matrix jt(6, 3);
    for (int i = 1; i <= 3; ++i) {
      for (int c = 1; c <= 6; ++c) jt(c, i) = j(i, c);
    }
    return kernels_.multiply(js, jt, 3, 6, 3);
  }

  struct Ends {
    int station;  // or first vertex of a baseline
    int target;
  };

  const NetworkModel& network_;
  const CalcOptions& options_;
  const MatrixKernels& kernels_;
  VertexLookup lookup_;
  std::vector<Ends> classicalEnds_;
  std::vector<Ends> baselineEnds_;
  int networkRefractionColumn_ = 0;
  ObservationSystem sys_;
};

}  // namespace

const std::string& OrientationStatusText(OrientationStatus status) {
  static const std::string empty;
  switch (status) {
    case OrientationStatus::Unknown: return TextOrientationUnknown();
    case OrientationStatus::Fixed: return TextOrientationFixed();
    case OrientationStatus::None: break;
  }
  return empty;
}

Result<ObservationSystem> FormObservationSystem(const NetworkModel& network, const CalcOptions& options,
                                                const MatrixKernels& kernels) {
  return SystemBuilder(network, options, kernels).Build();
}

ObservationSystem ImportedObservationSystem(Matrix A, Matrix k, Matrix P, int numEquations, int numUnknowns) {
  ObservationSystem sys;
  sys.formedFromNetwork = false;
  sys.numEquations = numEquations;
  sys.numUnknowns = numUnknowns;
  sys.A = std::move(A);
  sys.k = std::move(k);
  sys.P = std::move(P);
  const std::size_t rows = static_cast<std::size_t>(numEquations) + 1;
  sys.rows.assign(rows, SystemRow{});
  sys.unknowns.assign(static_cast<std::size_t>(numUnknowns) + 1, SystemUnknown{});
  sys.computedValue.assign(rows, 0.0);
  sys.reducedObserved.assign(rows, 0.0);
  return sys;
}

}  // namespace korvo
