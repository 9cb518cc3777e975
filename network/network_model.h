#pragma once
// The network in memory: vertices, classical observations and GPS baselines, as the loader
// reads them from a project file. Tables are std::vector in file order and are indexed from
// 0 in code (row i of the file's order is element i - 1). Observations name vertices by
// their Number; resolving numbers to rows belongs to whoever forms equations or draws.
//
// Text fields hold Windows-1252 bytes.

#include <cstdint>
#include <string>
#include <vector>

namespace korvo {

// Kind texts as they stand in project files and reports (Windows-1252).
extern const std::string kKindUnknown;  // "Incógnita": coordinates are unknowns
extern const std::string kKindFixed;    // "Fijo": coordinates held fixed

// Observation type keywords as they stand in project files (Windows-1252).
extern const std::string kTypeDirection;  // "Dirección": horizontal direction, gon
extern const std::string kTypeZenith;     // "Cenital": zenith angle, gon
extern const std::string kTypeDistance;   // "Geométrica": slope distance, metres

enum class ObservationType { Direction, Zenith, Distance };

struct NetworkVertex {
  std::int16_t number = 0;
  std::string kind;  // kKindUnknown or kKindFixed as read (a damaged file may hold other text)
  double xM = 0.0, yM = 0.0, zM = 0.0;  // approximate WGS84 geocentric coordinates
  bool deflectionUnknown = false;       // "?" in the D.V.NS field: both components are unknowns
  double deflectionNsCc = 0.0;          // D.V.NS, cc (dmgr); meaningful when !deflectionUnknown
  double deflectionEwCc = 0.0;          // D.V.EW, cc (dmgr)

  // Filled from the coordinates after loading (WGS84 geodetic latitude and longitude and the
  // sketch's plane coordinates; see network/geodetics.h).
  double latitudeDeg = 0.0;
  float longitudeDeg = 0.0f;
  double sketchX = 0.0;  // longitude° · cos(latitude) + 1000
  float sketchY = 0.0f;  // latitude° + 1000

  bool IsFixed() const { return kind == kKindFixed; }
  bool IsUnknown() const { return kind == kKindUnknown; }
};

struct ClassicalObservation {
  ObservationType type = ObservationType::Direction;
  double from = 0.0;       // station vertex number, as read (a double holding an integer)
  std::int16_t to = 0;     // target vertex number, rounded to an integer
  double value = 0.0;      // gon for directions and zenith angles, metres for distances
  double stdDev = 0.0;     // cc (dmgr) for angles, metres for distances
};

struct GpsBaseline {
  double from = 0.0;    // first vertex number, as read
  std::int16_t to = 0;  // second vertex number, rounded to an integer
  double dxM = 0.0, dyM = 0.0, dzM = 0.0;
  // Upper triangle of the symmetric variance-covariance matrix of (DX, DY, DZ), m².
  double cxx = 0.0, cxy = 0.0, cxz = 0.0, cyy = 0.0, cyz = 0.0, czz = 0.0;
};

struct NetworkModel {
  std::vector<NetworkVertex> vertices;
  std::vector<ClassicalObservation> classical;
  std::vector<GpsBaseline> baselines;

  // Counts, derived from the tables (so no producer has to keep them in step).
  int VertexCount() const { return static_cast<int>(vertices.size()); }
  int UnknownVertexCount() const;  // vertices of kind "Incógnita"
  int FixedVertexCount() const;    // vertices of kind "Fijo"
  int DirectionCount() const { return CountOf(ObservationType::Direction); }
  int ZenithCount() const { return CountOf(ObservationType::Zenith); }
  int DistanceCount() const { return CountOf(ObservationType::Distance); }
  int ClassicalCount() const { return static_cast<int>(classical.size()); }
  int GpsCount() const { return static_cast<int>(baselines.size()); }

 private:
  int CountOf(ObservationType type) const;
};

// The type keyword of an observation type (Windows-1252).
const std::string& ObservationTypeKeyword(ObservationType type);

}  // namespace korvo
