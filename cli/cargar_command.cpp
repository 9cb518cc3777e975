// korvo-cli cargar PROYECTO: loads a project file as the main window does and prints a
// summary of the network: vertices by kind, observations by type, baselines, and each
// vertex's number, kind and geodetic latitude and longitude.
#include <cstdio>

#include "cli/command.h"
#include "common/text.h"
#include "common/win1252.h"
#include "network/load_network.h"
#include "network/network_model.h"

namespace korvo::cli {
namespace {

std::string Format(const char* format, auto... values) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, format, values...);
  return buffer;
}

int CountUnknownDeflections(const NetworkModel& model) {
  int count = 0;
  for (const NetworkVertex& v : model.vertices) count += v.deflectionUnknown ? 1 : 0;
  return count;
}

// The summary, in Windows-1252 like every core text.
std::string Summary(const std::string& path, const LoadedNetwork& loaded) {
  const NetworkModel& m = loaded.model;
  TextBuilder out;
  out << Cp1252("Proyecto: ") << path << "\n";
  out << Cp1252(Format("Tamaño: %zu bytes", loaded.projectText.size()));
  if (loaded.projectTooBig) out << Cp1252(" (demasiado grande para mostrarlo en pantalla)");
  out << "\n\n";
  out << Cp1252(Format("Vértices: %d (%d fijos, %d incógnita; %d con desviación de la vertical incógnita)\n",
                       m.VertexCount(), m.FixedVertexCount(), m.UnknownVertexCount(), CountUnknownDeflections(m)));
  out << Cp1252(Format("Observaciones clásicas: %d (%d direcciones, %d ángulos cenitales, %d distancias geométricas)\n",
                       m.ClassicalCount(), m.DirectionCount(), m.ZenithCount(), m.DistanceCount()));
  out << Cp1252(Format("Líneas base GPS: %d\n", m.GpsCount()));
  if (m.vertices.empty()) return std::move(out).str();
  // Column heads converted first, so the widths count Windows-1252 characters.
  out << "\n"
      << Format("%7s  %-10s %16s %14s  %s\n", Cp1252("Vértice").c_str(), "Tipo", Cp1252("Latitud (°)").c_str(),
                Cp1252("Longitud (°)").c_str(), "D.V.");
  for (const NetworkVertex& v : m.vertices) {
    out << Format("%7d  ", static_cast<int>(v.number)) << PadRight(v.kind, 10)
        << Format(" %16.9f %14.7f  ", v.latitudeDeg, static_cast<double>(v.longitudeDeg))
        << Cp1252(v.deflectionUnknown ? "incógnita" : "conocida") << "\n";
  }
  return std::move(out).str();
}

int RunCargar(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "Uso: korvo-cli cargar PROYECTO\n");
    return 2;
  }
  const Result<LoadedNetwork> loaded = LoadNetwork(args[0], ProgressSink{});
  if (!loaded.ok()) {
    PrintError(loaded.error());
    return 1;
  }
  PrintText(Summary(Utf8ToCp1252(args[0]), *loaded));
  return 0;
}

const bool registered = RegisterCommand(
    {"cargar", "cargar PROYECTO", "Carga un proyecto y muestra el resumen de la red", &RunCargar});

}  // namespace
}  // namespace korvo::cli
