// korvo-cli transformar ENTRADA SALIDA: the datum transformation utility over files. Reads a
// coordinate input file (identifier line, then one point per line), fills the six formats and
// writes the output file with the 18 values of every point.
#include "cli/command.h"
#include "common/win1252.h"
#include "coordtransform/coordinate_files.h"

namespace korvo::cli {
namespace {

int RunTransformar(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    PrintError(Cp1252("Uso: korvo-cli transformar ENTRADA SALIDA"));
    return 2;
  }
  Result<CoordinateInput> input = ReadCoordinateFile(args[0]);
  if (!input) {
    PrintError(input.error());
    return 1;
  }
  const std::vector<PointInAllFormats> points = TransformPoints(input->format, input->points);
  const Status written = WriteCoordinateFile(args[1], points);
  if (!written) {
    PrintError(written.error());
    return 1;
  }
  return 0;
}

const bool registered = RegisterCommand(
    {"transformar", "transformar ENTRADA SALIDA",
     "Transforma un fichero de coordenadas entre ED50 y WGS84 (seis formatos)", &RunTransformar});

}  // namespace
}  // namespace korvo::cli
