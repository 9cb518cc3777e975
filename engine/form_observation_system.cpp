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

// The coefficients of one row, in the order they are put: at most six coordinates, a
// refraction coefficient and two deflection components, or an orientation.
class RowCoefficients {
 public:
  void Put(int column, double value) {
    columns_[count_] = column;
    values_[count_] = value;
    ++count_;
  }
  // +c at the station's coordinates, −c at the target's (either may be fixed: no columns).
  void PutEnds(const VertexColumns& station, const VertexColumns& target, double cx, double cy, double cz) {
    if (station.coordinates != 0) {
      Put(station.coordinates, cx);
      Put(station.coordinates + 1, cy);
      Put(station.coordinates + 2, cz);
    }
    if (target.coordinates != 0) {
      Put(target.coordinates, -cx);
      Put(target.coordinates + 1, -cy);
      Put(target.coordinates + 2, -cz);
    }
  }
  void AppendTo(SparseRows& rows) const {
    for (std::size_t e = 0; e < count_; ++e) rows.Append(columns_[e], values_[e]);
    rows.EndRow();
  }

 private:
  static constexpr std::size_t kMaxEntries = 10;
  std::size_t count_ = 0;
  int columns_[kMaxEntries] = {};
  double values_[kMaxEntries] = {};
};

// A classical row as its former leaves it: the coefficients, the value computed from the
// approximate coordinates and the independent term (directions get theirs once the
// orientation of their set is known).
struct ClassicalRow {
  RowKind kind = RowKind::Distance;
  RowCoefficients a;
  double computed = 0.0;  // gon or m
  double k = 0.0;         // cc or m
};

// What a classical row former needs to know of its sight.
struct SightContext {
  const ClassicalObservation& observation;
  const NetworkVertex& station;
  const VertexColumns& stationColumns;
  const VertexColumns& targetColumns;
  StationFrame frame;
  Sight sight;
};

// Slope distance: D = |Δ|, ∂D/∂Δ = Δ/D.
void FormDistanceRow(const SightContext& c, ClassicalRow& row) {
  const Sight& s = c.sight;
  const double d = s.distanceM;
  row.kind = RowKind::Distance;
  row.computed = d;
  row.k = c.observation.value - d;
  row.a.PutEnds(c.stationColumns, c.targetColumns, -s.dx / d, -s.dy / d, -s.dz / d);
}

// Zenith angle, corrected for refraction (fixed K, or K as unknown of the network or of the
// line, column `refractionColumn`) and for a known deflection of the station's vertical.
void FormZenithRow(const SightContext& c, const CalcOptions& options, int refractionColumn, ClassicalRow& row) {
  const Sight& s = c.sight;
  const StationFrame& f = c.frame;
  const NetworkVertex& station = c.station;
  const double d = s.distanceM;
  row.kind = RowKind::Zenith;
  const double azimuthRad = s.azimuthGon * kGonToRad;
  double zc = s.zenithGon;
  if (options.fixedRefraction) zc -= options.refractionK * kRadToGon * d / kRefractionEarthRadiusM;
  if (!station.deflectionUnknown) {
    zc -= (station.deflectionNsCc * std::cos(azimuthRad) + station.deflectionEwCc * std::sin(azimuthRad)) / kCcPerGon;
  }
  row.computed = zc;
  row.k = (c.observation.value - zc) * kCcPerGon;
  // dz/dΔ = −(u·D − Δ·cos z)/(D²·sin z); the station's coefficients are its negative.
  const double zr = zc * kGonToRad;
  const double cosZ = std::cos(zr);
  const double denominator = d * d * std::sin(zr);
  row.a.PutEnds(c.stationColumns, c.targetColumns, kRadToCc * (d * f.cosPhi * f.cosLambda - s.dx * cosZ) / denominator,
                kRadToCc * (d * f.cosPhi * f.sinLambda - s.dy * cosZ) / denominator,
                kRadToCc * (d * f.sinPhi - s.dz * cosZ) / denominator);
  if (!options.fixedRefraction) row.a.Put(refractionColumn, -kCcPerGon * kRadToGon * d / kRefractionEarthRadiusM);
  if (station.deflectionUnknown) {
    row.a.Put(c.stationColumns.deflectionEw, -std::sin(azimuthRad));
    row.a.Put(c.stationColumns.deflectionNs, -std::cos(azimuthRad));
  }
}

// Horizontal direction: the azimuth, corrected for a known deflection of the station's
// vertical; the orientation unknown of the set, if any, enters with −1.
void FormDirectionRow(const SightContext& c, ClassicalRow& row) {
  const Sight& s = c.sight;
  const StationFrame& f = c.frame;
  const NetworkVertex& station = c.station;
  const double d = s.distanceM;
  row.kind = RowKind::Direction;
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
  row.computed = ac;
  // dA/dΔ = (cos A·e − sin A·n)/(D·sin z); the station's coefficients are its negative.
  const double acr = ac * kGonToRad;
  const double sinA = std::sin(acr), cosA = std::cos(acr);
  const double horizontal = d * std::sin(zr);
  row.a.PutEnds(c.stationColumns, c.targetColumns,
                kRadToCc * (f.sinLambda * cosA - f.sinPhi * f.cosLambda * sinA) / horizontal,
                kRadToCc * (-f.cosLambda * cosA - f.sinPhi * f.sinLambda * sinA) / horizontal,
                kRadToCc * f.cosPhi * sinA / horizontal);
  if (station.deflectionUnknown) {
    row.a.Put(c.stationColumns.deflectionEw, tanPhi - cosA / tanZ);
    row.a.Put(c.stationColumns.deflectionNs, sinA / tanZ);
  }
  if (c.stationColumns.orientation != 0) row.a.Put(c.stationColumns.orientation, -1.0);
}

// Key of a line whatever its direction (vertex numbers are 16-bit).
long long LineKey(int a, int b) {
  const long long low = a < b ? a : b, high = a < b ? b : a;
  return low * 65536 + high;
}

class SystemBuilder {
 public:
  SystemBuilder(const NetworkModel& network, const CalcOptions& options, const MatrixKernels& kernels)
      : network_(network), options_(options), kernels_(kernels), lookup_(network) {}

  Result<ObservationSystem> Build(DenseMatrices dense) {
    if (Status checked = CheckObservations(); !checked.ok()) return Failure{checked.error()};
    LayOutUnknowns();
    Allocate();
    for (std::size_t i = 0; i < network_.classical.size(); ++i) {
      if (Status formed = FormClassicalRow(i); !formed.ok()) return Failure{formed.error()};
    }
    ReduceDirections();
    for (std::size_t b = 0; b < network_.baselines.size(); ++b) {
      if (Status formed = FormBaselineBlock(b); !formed.ok()) return Failure{formed.error()};
    }
    if (dense == DenseMatrices::Form) {
      sys_.A = Matrix(sys_.numEquations, sys_.numUnknowns);
      sys_.P = Matrix(sys_.numEquations, sys_.numEquations);
      sys_.sparseA.FillDense(sys_.A);
      sys_.sparseP.FillDense(sys_.P);
    }
    return std::move(sys_);
  }

 private:
  const NetworkVertex& Vertex(int index) const { return network_.vertices[static_cast<std::size_t>(index)]; }
  const VertexColumns& ColumnsOf(int vertex) const {
    return sys_.layout.vertexColumns[static_cast<std::size_t>(vertex)];
  }

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

  // Columns: coordinates, refraction, deflection, orientation (see engine/unknown_layout.h).
  void LayOutUnknowns() {
    const std::size_t vertexCount = network_.vertices.size();
    UnknownLayout& layout = sys_.layout;
    layout.Reset(static_cast<int>(vertexCount));
    sys_.orientationStatus.assign(vertexCount, OrientationStatus::None);
    sys_.approxOrientationGon.assign(vertexCount, 0.0);
    sys_.fixedRefraction = options_.fixedRefraction;
    sys_.singleRefractionUnknown = options_.singleRefractionUnknown;
    sys_.refractionK = options_.refractionK;

    for (std::size_t v = 0; v < vertexCount; ++v) {
      const NetworkVertex& vertex = network_.vertices[v];
      if (vertex.IsUnknown()) layout.AddCoordinates(static_cast<int>(v), vertex.number, vertex.xM, vertex.yM, vertex.zM);
    }

    // Refraction: estimated only when there is a zenith angle to estimate it from. Per line,
    // both zenith angles between two vertices share the line's coefficient; the first one
    // in list order fixes the line's from and to.
    refractionColumnOfRow_.assign(network_.classical.size(), 0);
    if (!options_.fixedRefraction) {
      std::unordered_map<long long, int> lineColumns;
      int networkColumn = 0;
      for (std::size_t i = 0; i < network_.classical.size(); ++i) {
        if (network_.classical[i].type != ObservationType::Zenith) continue;
        if (options_.singleRefractionUnknown) {
          if (networkColumn == 0) networkColumn = layout.AddNetworkRefraction();
          refractionColumnOfRow_[i] = networkColumn;
          continue;
        }
        const int a = Vertex(classicalEnds_[i].station).number;
        const int b = Vertex(classicalEnds_[i].target).number;
        auto [line, added] = lineColumns.emplace(LineKey(a, b), 0);
        if (added) line->second = layout.AddRefractionLine(a, b);
        refractionColumnOfRow_[i] = line->second;
      }
    }

    for (std::size_t v = 0; v < vertexCount; ++v) {
      if (network_.vertices[v].deflectionUnknown) layout.AddDeflection(static_cast<int>(v), network_.vertices[v].number);
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
      layout.AddOrientation(static_cast<int>(v), network_.vertices[v].number);
    }
    sys_.numUnknowns = layout.Count();
  }

  void Allocate() {
    sys_.formedFromNetwork = true;
    sys_.classicalCount = static_cast<int>(network_.classical.size());
    sys_.gpsCount = static_cast<int>(network_.baselines.size());
    sys_.numEquations = sys_.classicalCount + 3 * sys_.gpsCount;
    const int n = sys_.numEquations;
    const std::size_t rows = static_cast<std::size_t>(n) + 1;
    sys_.k = Matrix(n, 1);
    sys_.sparseA = SparseRows{};
    sys_.sparseA.cols = sys_.numUnknowns;
    sys_.sparseP = SparseRows{};
    sys_.sparseP.cols = n;
    sys_.computedValue.assign(rows, 0.0);
    sys_.reducedObserved.assign(rows, 0.0);
    sys_.rows.assign(rows, SystemRow{});
  }

  // Row i + 1: the sight of classical observation i, formed by the function of its type.
  Status FormClassicalRow(std::size_t i) {
    const ClassicalObservation& o = network_.classical[i];
    const int row = static_cast<int>(i) + 1;
    const auto r = static_cast<std::size_t>(row);
    const NetworkVertex& station = Vertex(classicalEnds_[i].station);
    const NetworkVertex& target = Vertex(classicalEnds_[i].target);
    const StationFrame f = FrameOf(station);
    const SightContext context{o,
                               station,
                               ColumnsOf(classicalEnds_[i].station),
                               ColumnsOf(classicalEnds_[i].target),
                               f,
                               SightBetween(station, target, f)};
    if (o.type != ObservationType::Distance && context.sight.east == 0.0 && context.sight.north == 0.0) {
      return Failure{VerticalSight(o, i)};
    }
    ClassicalRow formed;
    switch (o.type) {
      case ObservationType::Distance: FormDistanceRow(context, formed); break;
      case ObservationType::Zenith: FormZenithRow(context, options_, refractionColumnOfRow_[i], formed); break;
      case ObservationType::Direction: FormDirectionRow(context, formed); break;
    }
    SystemRow& info = sys_.rows[r];
    info.kind = formed.kind;
    info.source = static_cast<int>(i);
    info.fromNumber = station.number;
    info.toNumber = target.number;
    sys_.computedValue[r] = formed.computed;
    sys_.reducedObserved[r] = o.value;  // directions: replaced by ReduceDirections
    sys_.k(row, 1) = formed.k;
    formed.a.AppendTo(sys_.sparseA);
    sys_.sparseP.Append(row, 1.0 / (o.stdDev * o.stdDev));
    sys_.sparseP.EndRow();
    return Ok();
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
  Status FormBaselineBlock(std::size_t b) {
    const GpsBaseline& g = network_.baselines[b];
    const NetworkVertex& v1 = Vertex(baselineEnds_[b].station);
    const NetworkVertex& v2 = Vertex(baselineEnds_[b].target);
    const int first = sys_.classicalCount + 3 * static_cast<int>(b) + 1;
    const double computed[3] = {v2.xM - v1.xM, v2.yM - v1.yM, v2.zM - v1.zM};
    const double observed[3] = {g.dxM, g.dyM, g.dzM};
    const RowKind kinds[3] = {RowKind::GpsX, RowKind::GpsY, RowKind::GpsZ};
    const int c1 = ColumnsOf(baselineEnds_[b].station).coordinates;
    const int c2 = ColumnsOf(baselineEnds_[b].target).coordinates;

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

    for (int j = 0; j < 3; ++j) {
      const int row = first + j;
      const auto r = static_cast<std::size_t>(row);
      SystemRow& info = sys_.rows[r];
      info.kind = kinds[j];
      info.source = static_cast<int>(b);
      info.fromNumber = v1.number;
      info.toNumber = v2.number;
      sys_.computedValue[r] = computed[j];
      sys_.reducedObserved[r] = observed[j];
      sys_.k(row, 1) = observed[j] - computed[j];
      RowCoefficients a;
      if (c1 != 0) a.Put(c1 + j, -1.0);
      if (c2 != 0) a.Put(c2 + j, 1.0);
      a.AppendTo(sys_.sparseA);
      for (int c = 1; c <= 3; ++c) sys_.sparseP.Append(first + c - 1, (*weights)(j + 1, c));
      sys_.sparseP.EndRow();
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
  std::vector<int> refractionColumnOfRow_;  // per classical observation: its refraction column or 0
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
                                                const MatrixKernels& kernels, DenseMatrices dense) {
  return SystemBuilder(network, options, kernels).Build(dense);
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
  sys.layout.AddImported(numUnknowns);
  sys.computedValue.assign(rows, 0.0);
  sys.reducedObserved.assign(rows, 0.0);
  return sys;
}

}  // namespace korvo
