// korvo-cli: Korvo's batch front end over korvo_core.
#include <cstdio>
#include <iostream>
#include <new>

#include "cli/command.h"
#include "common/files.h"
#include "common/win1252.h"
#include "engine/full_report_estimate.h"

namespace korvo::cli {

std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}

bool RegisterCommand(const Command& command) {
  Registry().push_back(command);
  return true;
}

const std::vector<Command>& Commands() { return Registry(); }

void PrintError(const std::string& cp1252Message) {
  // Core messages break their lines with CR LF, as the windows want; a terminal wants LF.
  std::string message = Cp1252ToUtf8(cp1252Message);
  std::erase(message, '\r');
  std::cerr << message << '\n';
}

bool OutputAllowed(const std::string& outputPath, const std::vector<std::string>& inputPaths, bool overwrite) {
  for (const std::string& input : inputPaths) {
    if (!input.empty() && IsSameFile(outputPath, input)) {
      PrintError(Cp1252(" ¡El fichero de salida ") + Utf8ToCp1252(outputPath) +
                 Cp1252(" es también un fichero de entrada; no se sustituye! "));
      return false;
    }
  }
  if (!overwrite && FileExists(outputPath)) {
    PrintError(Cp1252(" ¡El Fichero ya existe! ") + Cp1252(" " + outputPath + " (use --sobrescribir para sustituirlo)"));
    return false;
  }
  return true;
}

void PrintText(const std::string& cp1252Text) { std::cout << Cp1252ToUtf8(cp1252Text); }

namespace {

void PrintUsage(std::FILE* out) {
  std::fprintf(out, "Uso: korvo-cli ORDEN [ARGUMENTOS]\n\nÓrdenes:\n");
  for (const Command& command : Commands()) {
    std::fprintf(out, "  %-48s %s\n", command.usage.c_str(), command.description.c_str());
  }
}

}  // namespace
}  // namespace korvo::cli

int main(int argc, char** argv) {
  using namespace korvo::cli;
  if (argc < 2 || std::string(argv[1]) == "-h" || std::string(argv[1]) == "--help" ||
      std::string(argv[1]) == "ayuda") {
    PrintUsage(argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  korvo::RemoveTemporaryFileOnInterrupt();
  const std::string name = argv[1];
  for (const Command& command : Commands()) {
    if (command.name != name) continue;
    // Results are written whole or not at all, so a command that runs out of memory leaves
    // no file behind: it only has to say so.
    try {
      return command.run(std::vector<std::string>(argv + 2, argv + argc));
    } catch (const std::bad_alloc&) {
      PrintError(korvo::OutOfMemoryMessage());
      return 1;
    }
  }
  std::fprintf(stderr, "Orden desconocida: %s\n\n", name.c_str());
  PrintUsage(stderr);
  return 2;
}
