#pragma once
// The linearised observation system A·x = k with weight matrix P, and the bookkeeping that
// the reports and the robust estimators need to name its rows and columns.
//
// Indexing: A, k and P are Matrix objects used from index 1 (k is numEquations x 1). Every
// per-row vector (computedValue, reducedObserved, rows) and per-unknown vector (unknowns) is
// sized count + 1 and used from index 1 as well, so row i of the system is element i
// everywhere. Per-vertex vectors follow the vertex table of the NetworkModel: 0-based, one
// element per vertex in table order.
//
// Units: k and the residuals are metres for distances and GPS components, cc (0.0001 gon)
// for directions and zenith angles. Coordinate unknowns are metres, refraction coefficients
// are pure numbers, deflection components and orientation unknowns are cc.

#include <string>
#include <vector>

#include "common/result.h"
#include "engine/kernels.h"
#include "engine/matrix.h"
#include "network/calc_options.h"
#include "network/network_model.h"

namespace korvo {

// What a row of the system observes.
enum class RowKind {
  Direction,  // horizontal direction, cc
  Zenith,     // zenith angle, cc
  Distance,   // slope distance, m
  GpsX,       // ΔX component of a baseline, m
  GpsY,       // ΔY component, m
  GpsZ,       // ΔZ component, m
  Imported,   // row of a system read from matrix files
};

struct SystemRow {
  RowKind kind = RowKind::Imported;
  int source = -1;       // 0-based index in model.classical (classical rows) or model.baselines (GPS rows)
  int fromNumber = 0;    // station / first vertex number
  int toNumber = 0;      // target / second vertex number
};

// What an unknown (a column of A) is.
enum class UnknownKind {
  CoordinateX,        // dX of a vertex, m
  CoordinateY,        // dY, m
  CoordinateZ,        // dZ, m
  RefractionNetwork,  // the one refraction coefficient of the whole network
  RefractionLine,     // the refraction coefficient of one line (both directions of the line)
  DeflectionEw,       // D.V.EW (η) of a vertex, cc
  DeflectionNs,       // D.V.NS (ξ) of a vertex, cc
  Orientation,        // dDes of the direction set of a station, cc
  Imported,           // column of a system read from matrix files
};

struct SystemUnknown {
  UnknownKind kind = UnknownKind::Imported;
  int vertex = -1;          // 0-based vertex row (coordinates, deflection, orientation), else -1
  int vertexNumber = 0;     // its number, else 0
  int refractionLine = 0;   // RefractionLine only: 1-based index into refractionLines order
  double approximateValue = 0.0;  // approximate X, Y or Z (m) for coordinates; 0 otherwise
};

// Orientation status of a vertex's direction set: None when the vertex is the station of no
// direction; Unknown ("Incógnita") when the set carries an orientation unknown dDes; Fixed
// ("Fija") when a fixed station sights at least one fixed target, whose last direction then
// gives the orientation.
enum class OrientationStatus { None, Unknown, Fixed };

// "Incógnita", "Fija" or "" (Windows-1252).
const std::string& OrientationStatusText(OrientationStatus status);

// A line that carries its own refraction coefficient: both zenith angles measured between
// the two vertices share it. from/to are the ends of the first zenith angle of the line in
// list order.
struct RefractionLine {
  int fromNumber = 0;
  int toNumber = 0;
  int column = 0;  // its column in A
};

// Columns of A that belong to one vertex (1-based; 0 when the vertex has none).
struct VertexColumns {
  int coordinates = 0;    // column of dX; dY and dZ follow it
  int deflectionEw = 0;   // D.V.EW; D.V.NS is the next column
  int deflectionNs = 0;
  int orientation = 0;    // dDes of its direction set
};

struct ObservationSystem {
  int numEquations = 0;   // n: classical observations + 3 per GPS baseline
  int numUnknowns = 0;    // m
  Matrix A;               // n x m design matrix
  Matrix k;               // n x 1 independent terms: observed minus computed (m or cc)
  Matrix P;               // n x n weights: 1/σ² for classical rows, a 3 x 3 block per baseline

  // False for a system read from matrix files: then only A, k, P, the counts and the rows
  // and unknowns (all of kind Imported) are meaningful.
  bool formedFromNetwork = true;

  int classicalCount = 0;  // c: classical rows are 1..c, in list order
  int gpsCount = 0;        // g: baseline b owns rows c + 3b - 2 (ΔX), c + 3b - 1 (ΔY), c + 3b (ΔZ)

  std::vector<SystemRow> rows;          // 1..n
  std::vector<SystemUnknown> unknowns;  // 1..m

  // Per row, 1..n: the value computed from the approximate coordinates (with the refraction
  // and known deflection corrections) and the observed value as compared (directions plus
  // the approximate orientation of their station, in 0..400). Gon for angles, m otherwise.
  std::vector<double> computedValue;
  std::vector<double> reducedObserved;

  // Unknown blocks, in column order: 3 x unknownVertexCount coordinates, then
  // refractionUnknownCount refraction coefficients, then 2 x deflectionVertexCount
  // deflection components (EW before NS), then orientationUnknownCount orientations.
  int unknownVertexCount = 0;
  int refractionUnknownCount = 0;   // 0, 1 (whole network) or the number of refraction lines
  int deflectionVertexCount = 0;
  int orientationUnknownCount = 0;

  // Refraction options the system was formed with (the printout and the report follow them).
  bool fixedRefraction = false;
  bool singleRefractionUnknown = false;
  double refractionK = 0.0;          // applied to zenith angles when fixedRefraction

  std::vector<RefractionLine> refractionLines;  // one per refraction line (per-line option only)

  // Per vertex (0-based, vertex table order).
  std::vector<OrientationStatus> orientationStatus;
  std::vector<double> approxOrientationGon;  // approximate orientation of its direction set, gon
  std::vector<VertexColumns> vertexColumns;
};

// Texts of the failures of the formation (Windows-1252).
extern const std::string kInadmissibleObservationTypeMessage;

// Forms the system from the network and the options in one pass from the approximate
// coordinates. Before any arithmetic every observation and baseline is checked: a vertex
// number that is not in the vertex list, a classical observation between two vertices with
// identical coordinates or with a zero standard deviation, or of an inadmissible type, ends
// the formation with a message naming it; so does a vertical sight for a direction or a
// zenith angle. A singular baseline covariance gives kSingularMatrixMessage. The latitude and longitude of every
// vertex must have been computed from its coordinates (network/geodetics.h).
Result<ObservationSystem> FormObservationSystem(const NetworkModel& network, const CalcOptions& options,
                                                const MatrixKernels& kernels = FastKernels());

// A system read as matrices: n x m design matrix, n x 1 independent terms, n x n weights.
ObservationSystem ImportedObservationSystem(Matrix A, Matrix k, Matrix P, int numEquations, int numUnknowns);

}  // namespace korvo
