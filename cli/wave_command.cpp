// korvo-cli wave INFORME: the GPS section text that importing a WAVE report would append.
#include <cstdio>

#include "cli/command.h"
#include "common/win1252.h"
#include "network/wave_import.h"

namespace korvo::cli {
namespace {

int RunWave(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "Uso: korvo-cli wave INFORME\n");
    return 2;
  }
  std::string gpsText;
  const WaveImportOutcome outcome = ImportWaveReport(args[0], gpsText);
  // The blocks read before a failure are printed too: the entry window keeps them as well.
  PrintText(gpsText);
  if (outcome.failed) {
    PrintError(outcome.failure);
    return 1;
  }
  if (outcome.baselinesInReport == 0) {
    PrintError(Cp1252("El informe no contiene ninguna línea base (no aparece la palabra \"Aposteriori\")."));
  }
  return 0;
}

const bool registered = RegisterCommand(
    {"wave", "wave INFORME", "Muestra las líneas base GPS que se importarían de un informe del WAVE", &RunWave});

}  // namespace
}  // namespace korvo::cli
