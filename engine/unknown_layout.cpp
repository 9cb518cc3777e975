#include "engine/unknown_layout.h"

#include <algorithm>

#include "common/win1252.h"

namespace korvo {

namespace {

SystemUnknown Unknown(UnknownKind kind, int vertex, int vertexNumber, double approximate = 0.0) {
  SystemUnknown u;
  u.kind = kind;
  u.vertex = vertex;
  u.vertexNumber = vertexNumber;
  u.approximateValue = approximate;
  return u;
}

}  // namespace

int UnknownLayout::CountOf(UnknownKind kind) const {
  return static_cast<int>(
      std::count_if(unknowns.begin() + 1, unknowns.end(), [kind](const SystemUnknown& u) { return u.kind == kind; }));
}

bool UnknownLayout::HasRefractionUnknowns() const {
  return std::any_of(unknowns.begin() + 1, unknowns.end(), [](const SystemUnknown& u) {
    return u.kind == UnknownKind::RefractionNetwork || u.kind == UnknownKind::RefractionLine;
  });
}

void UnknownLayout::Reset(int vertexCount) {
  unknowns.assign(1, SystemUnknown{});
  vertexColumns.assign(static_cast<std::size_t>(vertexCount), VertexColumns{});
  refractionLines.clear();
}

int UnknownLayout::AddCoordinates(int vertex, int vertexNumber, double xM, double yM, double zM) {
  const int column = Count() + 1;
  vertexColumns[static_cast<std::size_t>(vertex)].coordinates = column;
  unknowns.push_back(Unknown(UnknownKind::CoordinateX, vertex, vertexNumber, xM));
  unknowns.push_back(Unknown(UnknownKind::CoordinateY, vertex, vertexNumber, yM));
  unknowns.push_back(Unknown(UnknownKind::CoordinateZ, vertex, vertexNumber, zM));
  return column;
}

int UnknownLayout::AddNetworkRefraction() {
  unknowns.push_back(Unknown(UnknownKind::RefractionNetwork, -1, 0));
  return Count();
}

int UnknownLayout::AddRefractionLine(int fromNumber, int toNumber) {
  const int column = Count() + 1;
  refractionLines.push_back(RefractionLine{fromNumber, toNumber, column});
  SystemUnknown u = Unknown(UnknownKind::RefractionLine, -1, 0);
  u.refractionLine = static_cast<int>(refractionLines.size());
  unknowns.push_back(u);
  return column;
}

int UnknownLayout::AddDeflection(int vertex, int vertexNumber) {
  const int column = Count() + 1;
  VertexColumns& columns = vertexColumns[static_cast<std::size_t>(vertex)];
  columns.deflectionEw = column;
  columns.deflectionNs = column + 1;
  unknowns.push_back(Unknown(UnknownKind::DeflectionEw, vertex, vertexNumber));
  unknowns.push_back(Unknown(UnknownKind::DeflectionNs, vertex, vertexNumber));
  return column;
}

int UnknownLayout::AddOrientation(int vertex, int vertexNumber) {
  unknowns.push_back(Unknown(UnknownKind::Orientation, vertex, vertexNumber));
  vertexColumns[static_cast<std::size_t>(vertex)].orientation = Count();
  return Count();
}

void UnknownLayout::AddImported(int count) {
  unknowns.insert(unknowns.end(), static_cast<std::size_t>(count), SystemUnknown{});
}

std::string UnknownDescription(const UnknownLayout& layout, int column) {
  const SystemUnknown& u = layout[column];
  const std::string vertex = Cp1252(" del vértice ") + std::to_string(u.vertexNumber);
  switch (u.kind) {
    case UnknownKind::CoordinateX: return "la coordenada X" + vertex;
    case UnknownKind::CoordinateY: return "la coordenada Y" + vertex;
    case UnknownKind::CoordinateZ: return "la coordenada Z" + vertex;
    case UnknownKind::RefractionNetwork: return Cp1252("el coeficiente de refracción de la red");
    case UnknownKind::RefractionLine: {
      const RefractionLine& line = layout.refractionLines[static_cast<std::size_t>(u.refractionLine - 1)];
      return Cp1252("el coeficiente de refracción de la línea ") + std::to_string(line.fromNumber) + "-" +
             std::to_string(line.toNumber);
    }
    case UnknownKind::DeflectionEw: return Cp1252("la componente EW de la desviación de la vertical") + vertex;
    case UnknownKind::DeflectionNs: return Cp1252("la componente NS de la desviación de la vertical") + vertex;
    case UnknownKind::Orientation:
      return Cp1252("la orientación de la estación ") + std::to_string(u.vertexNumber);
    case UnknownKind::Imported: break;
  }
  return Cp1252("la incógnita de la columna ") + std::to_string(column);
}

}  // namespace korvo
