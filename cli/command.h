#pragma once
// korvo-cli subcommands. Each lives in its own file and registers itself with a static
// object, so adding a command touches no other file:
//
//   static const bool registered = korvo::cli::RegisterCommand(
//       {"cargar", "cargar PROYECTO", "Carga un proyecto y muestra su resumen", &RunCargar});
//
// Arguments and output are UTF-8 on the terminal; core texts (Windows-1252) are converted
// with Cp1252ToUtf8 before printing.

#include <string>
#include <vector>

namespace korvo::cli {

struct Command {
  std::string name;
  std::string usage;        // shown in the help, e.g. "calcular PROYECTO [-o RESULTADOS]"
  std::string description;  // one line, Spanish
  int (*run)(const std::vector<std::string>& args);  // args after the command name; exit code
};

bool RegisterCommand(const Command& command);
const std::vector<Command>& Commands();

// Prints a core message (Windows-1252) as UTF-8 on standard error, with a line end.
void PrintError(const std::string& cp1252Message);
// False, with the reason on standard error, when the command must not write `outputPath`:
// it is one of `inputPaths` (whatever the spelling or link), or it exists and `overwrite`
// (--sobrescribir) was not given. Checked before any work.
bool OutputAllowed(const std::string& outputPath, const std::vector<std::string>& inputPaths, bool overwrite);

// Prints a core text (Windows-1252) as UTF-8 on standard output, as it stands.
void PrintText(const std::string& cp1252Text);

}  // namespace korvo::cli
