// korvo-cli transformar ENTRADA SALIDA [--sobrescribir]: the datum transformation utility
// over files. Reads a coordinate input file (identifier line, then one point per line), fills
// the six formats and writes the output file with the 18 values of every point.
#include <cstdio>

#include "cli/command.h"
#include "common/win1252.h"
#include "coordtransform/coordinate_checks.h"
#include "coordtransform/coordinate_files.h"

namespace korvo::cli {
namespace {

constexpr const char* kUsage = "transformar ENTRADA SALIDA [--sobrescribir]";

int RunTransformar(const std::vector<std::string>& args) {
  std::vector<std::string> paths;
  bool overwrite = false;
  for (const std::string& arg : args) {
    if (arg == "--sobrescribir") {
      overwrite = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, "Opción desconocida: %s\nUso: korvo-cli %s\n", arg.c_str(), kUsage);
      return 2;
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.size() != 2) {
    std::fprintf(stderr, "Uso: korvo-cli %s\n", kUsage);
    return 2;
  }
  if (!OutputAllowed(paths[1], {paths[0]}, overwrite)) return 1;
  Result<CoordinateInput> input = ReadCoordinateFile(paths[0]);
  if (!input) {
    PrintError(input.error());
    return 1;
  }
  const std::vector<PointInAllFormats> points = TransformPoints(input->format, input->points);
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (const auto problem = CheckTransformed(points[i])) {
      PrintError(CoordinateProblemMessage(*problem, i + 2) + Cp1252("(en el resultado de la transformación)"));
      return 1;
    }
  }
  const Status written = WriteCoordinateFile(paths[1], points);
  if (!written) {
    PrintError(written.error());
    return 1;
  }
  return 0;
}

const bool registered = RegisterCommand(
    {"transformar", kUsage, "Transforma un fichero de coordenadas entre ED50 y WGS84 (seis formatos)", &RunTransformar});

}  // namespace
}  // namespace korvo::cli
