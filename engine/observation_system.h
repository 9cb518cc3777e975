#pragma once
// The linearised observation system A·x = k with weight matrix P, and the bookkeeping that
// the reports and the robust estimators need to name its rows and columns.
//
// Indexing: A, k and P are Matrix objects used from index 1 (k is numEquations x 1). Every
// per-row vector (computedValue, reducedObserved, rows) and the layout's per-unknown vector
// are sized count + 1 and used from index 1 as well, so row i of the system is element i
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
#include "engine/sparse_rows.h"
#include "engine/unknown_layout.h"
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

// Orientation status of a vertex's direction set: None when the vertex is the station of no
// direction; Unknown ("Incógnita") when the set carries an orientation unknown dDes; Fixed
// ("Fija") when a fixed station sights at least one fixed target, whose last direction then
// gives the orientation.
enum class OrientationStatus { None, Unknown, Fixed };

// "Incógnita", "Fija" or "" (Windows-1252).
const std::string& OrientationStatusText(OrientationStatus status);

struct ObservationSystem {
  int numEquations = 0;   // n: classical observations + 3 per GPS baseline
  int numUnknowns = 0;    // m
  Matrix A;               // n x m design matrix
  Matrix k;               // n x 1 independent terms: observed minus computed (m or cc)
  Matrix P;               // n x n weights: 1/σ² for classical rows, a 3 x 3 block per baseline

  // The same A and P by rows (engine/sparse_rows.h), as the formation wrote them: a handful
  // of entries per row of A, one per classical row of P and three per baseline row. Dense A
  // and P are filled from these and equal them element for element. Empty for an imported
  // system.
  SparseRows sparseA;
  SparseRows sparseP;

  // False for a system read from matrix files: then only A, k, P, the counts and the rows
  // and the layout's unknowns (all of kind Imported) are meaningful.
  bool formedFromNetwork = true;

  int classicalCount = 0;  // c: classical rows are 1..c, in list order
  int gpsCount = 0;        // g: baseline b owns rows c + 3b - 2 (ΔX), c + 3b - 1 (ΔY), c + 3b (ΔZ)

  std::vector<SystemRow> rows;  // 1..n
  UnknownLayout layout;         // what each column is (engine/unknown_layout.h)

  // Per row, 1..n: the value computed from the approximate coordinates (with the refraction
  // and known deflection corrections) and the observed value as compared (directions plus
  // the approximate orientation of their station, in 0..400). Gon for angles, m otherwise.
  std::vector<double> computedValue;
  std::vector<double> reducedObserved;

  // Refraction options the system was formed with (the printout and the report follow them).
  bool fixedRefraction = false;
  bool singleRefractionUnknown = false;
  double refractionK = 0.0;          // applied to zenith angles when fixedRefraction

  // Per vertex (0-based, vertex table order).
  std::vector<OrientationStatus> orientationStatus;
  std::vector<double> approxOrientationGon;  // approximate orientation of its direction set, gon
};

// Texts of the failures of the formation (Windows-1252).
extern const std::string kInadmissibleObservationTypeMessage;

// Forms the system from the network and the options in one pass from the approximate
// coordinates. Before any arithmetic every observation and baseline is checked: a vertex
// number that is not in the vertex list, a classical observation between two vertices with
// identical coordinates or with a zero standard deviation, or of an inadmissible type, ends
// the formation with a message naming it; so does a vertical sight for a direction or a
// zenith angle. A singular baseline covariance gives kSingularMatrixMessage. The latitude
// and longitude of every vertex must have been computed from its coordinates
// (network/geodetics.h).
//
// Each row is formed by the function of its observation type (direction, zenith angle,
// distance, or the three rows of a baseline) as a list of (column, coefficient) entries with
// its independent term and weight, appended to sparseA and sparseP. With
// DenseMatrices::Form the dense A and P are then filled from those lists; with
// DenseMatrices::Skip they stay empty (0 x 0) and only the sparse rows, k and the
// bookkeeping are formed: memory in proportion to the observations, not n·m or n².
enum class DenseMatrices { Form, Skip };
Result<ObservationSystem> FormObservationSystem(const NetworkModel& network, const CalcOptions& options,
                                                const MatrixKernels& kernels = FastKernels(),
                                                DenseMatrices dense = DenseMatrices::Form);

// A system read as matrices: n x m design matrix, n x 1 independent terms, n x n weights.
ObservationSystem ImportedObservationSystem(Matrix A, Matrix k, Matrix P, int numEquations, int numUnknowns);

}  // namespace korvo
