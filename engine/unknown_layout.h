#pragma once
// The layout of the unknowns of an observation system: what each column of A is, which
// columns belong to each vertex, which lines carry a refraction coefficient. The formation
// writes it once; the printout, the reports, the robust comparison and the inversion's
// messages read it and never count positions for themselves.
//
// Column order of a system formed from a network (fixed: the printout and every report
// follow it): the coordinates dX dY dZ of the unknown vertices in vertex table order, then
// the refraction coefficients (one for the network, or one per line in the order the lines'
// first zenith angles appear), then the deflection pairs (EW before NS) of the vertices whose
// deflection is unknown, in table order, then the orientation unknowns of the stations
// whose direction set carries one, in table order. An imported system has only Imported
// columns.
//
// Indexing: unknowns is used from 1 (unknowns[0] is an unused placeholder), so column j of A
// is unknowns[j]. vertexColumns is per vertex, 0-based, in vertex table order.
//
// Units: coordinate unknowns in metres, refraction coefficients pure numbers, deflection
// components and orientations in cc.

#include <string>
#include <vector>

namespace korvo {

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
  int refractionLine = 0;   // RefractionLine only: 1-based index into refractionLines
  double approximateValue = 0.0;  // approximate X, Y or Z (m) for coordinates; 0 otherwise
};

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

struct UnknownLayout {
  std::vector<SystemUnknown> unknowns = std::vector<SystemUnknown>(1);  // 1..m
  std::vector<VertexColumns> vertexColumns;                             // per vertex
  std::vector<RefractionLine> refractionLines;  // per-line refraction only, in column order

  // m, the number of columns.
  int Count() const { return static_cast<int>(unknowns.size()) - 1; }
  // The number of columns of one kind.
  int CountOf(UnknownKind kind) const;
  // True when the system estimates refraction (for the network or per line): the one test
  // every writer asks.
  bool HasRefractionUnknowns() const;
  const SystemUnknown& operator[](int column) const { return unknowns[static_cast<std::size_t>(column)]; }

  // Building, in column order. `vertexCount` sizes vertexColumns; each Add returns the
  // (first) column it appended.
  void Reset(int vertexCount);
  int AddCoordinates(int vertex, int vertexNumber, double xM, double yM, double zM);
  int AddNetworkRefraction();
  int AddRefractionLine(int fromNumber, int toNumber);
  int AddDeflection(int vertex, int vertexNumber);
  int AddOrientation(int vertex, int vertexNumber);
  void AddImported(int count);
};

// The unknown of one column in the user's words (Windows-1252), as it follows "no
// determina": "la coordenada X del vértice 1003", "el coeficiente de refracción de la línea
// 3-7", "el coeficiente de refracción de la red", "la componente EW de la desviación de la
// vertical del vértice 5", "la orientación de la estación 12", "la incógnita de la columna 4"
// (imported systems).
std::string UnknownDescription(const UnknownLayout& layout, int column);

}  // namespace korvo
