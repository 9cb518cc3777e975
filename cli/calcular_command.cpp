// korvo-cli calcular: adjusts a project file and writes its results file.
//
//   korvo-cli calcular PROYECTO [-o RESULTADOS] [opciones de cálculo]
//
// The options mirror the options dialog, with its defaults: refraction estimated with one
// coefficient per line, GPS station errors applied (0.005 m and 0.01 m), every robust
// estimator on with 10 iterations at most.
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/command.h"
#include "common/files.h"
#include "common/numbers.h"
#include "common/progress.h"
#include "common/win1252.h"
#include "engine/adjustment_driver.h"
#include "network/calc_options.h"
#include "network/load_network.h"
#include "network/project_state.h"
#include "report/results_file.h"

namespace korvo::cli {
namespace {

constexpr const char* kUsage = "calcular PROYECTO [-o RESULTADOS] [opciones]";

void PrintCalcularHelp() {
  std::printf(
      "Uso: korvo-cli %s\n"
      "\n"
      "Compensa la red del fichero de datos PROYECTO y escribe el fichero de resultados\n"
      "(por omisión, junto al proyecto con el sufijo \"_resultados.txt\").\n"
      "\n"
      "Opciones:\n"
      "  -o, --salida RESULTADOS        fichero de resultados\n"
      "  --sobrescribir                 sustituye el fichero de resultados si ya existe\n"
      "  --k-fijo VALOR                 aplica el coeficiente de refracción VALOR en lugar\n"
      "                                 de obtenerlo como incógnita (por omisión 0.08)\n"
      "  --k-red                        un coeficiente de refracción para toda la red\n"
      "  --k-linea                      un coeficiente de refracción por línea (por omisión)\n"
      "  --sin-errores-gps              no considera los errores de estacionamiento y de\n"
      "                                 altura de antena GPS\n"
      "  --error-estacionamiento M      error en estacionamiento en metros (por omisión 0.005)\n"
      "  --error-altura-antena M        error en altura de antena en metros (por omisión 0.01)\n"
      "  --sin-huber                    no aplica el estimador de Huber\n"
      "  --sin-lp                       no aplica las mínimas normas Lp adaptadas\n"
      "  --sin-l1                       no aplica la mínima norma L1\n"
      "  --sin-robustos                 sólo mínimos cuadrados\n"
      "  --max-iter-l1 N                máximo de iteraciones L1 (por omisión 10)\n"
      "  --max-iter-lp N                máximo de iteraciones Lp (por omisión 10)\n",
      kUsage);
}

// A whole argument read as a number with '.' as decimal point; nothing when it is not one.
std::optional<double> ParseWholeNumber(const std::string& text) {
  double value = 0.0;
  const char* begin = text.data();
  const char* end = text.data() + text.size();
  if (begin != end && *begin == '+') ++begin;
  const auto [stop, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || stop != end || begin == end) return std::nullopt;
  return value;
}

struct CalcularArgs {
  std::string projectPath;
  std::string resultsPath;
  bool overwrite = false;
  CalcOptions options;
};

// Reads the arguments after the command name. On a mistake prints the reason and returns
// nothing.
std::optional<CalcularArgs> ParseArgs(const std::vector<std::string>& args) {
  CalcularArgs parsed;
  auto fail = [](const std::string& utf8Message) {
    std::fprintf(stderr, "%s\nUso: korvo-cli %s (korvo-cli calcular --ayuda para más detalles)\n",
                 utf8Message.c_str(), kUsage);
    return std::optional<CalcularArgs>();
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto needsValue = [&]() -> const std::string* {
      if (i + 1 >= args.size()) return nullptr;
      return &args[++i];
    };
    auto numberFor = [&](const std::string& option) -> std::optional<double> {
      const std::string* text = needsValue();
      if (text == nullptr) {
        fail("Falta el valor de la opción " + option + ".");
        return std::nullopt;
      }
      if (text->find(',') != std::string::npos) {
        fail("Use '.' como separador decimal en la opción " + option + ".");
        return std::nullopt;
      }
      const std::optional<double> value = ParseWholeNumber(*text);
      if (!value || !std::isfinite(*value)) {
        fail("El valor de la opción " + option + " no es un número: " + *text);
        return std::nullopt;
      }
      return value;
    };
    auto iterationsFor = [&](const std::string& option) -> std::optional<std::int16_t> {
      const std::optional<double> value = numberFor(option);
      if (!value) return std::nullopt;
      const std::optional<std::int16_t> count = ToInt16(*value);
      if (!count) fail("El número de iteraciones de " + option + " debe estar entre -32768 y 32767.");
      return count;
    };
    if (arg == "-o" || arg == "--salida") {
      const std::string* path = needsValue();
      if (path == nullptr || path->empty()) return fail("Falta el nombre del fichero de resultados.");
      parsed.resultsPath = *path;
    } else if (arg == "--sobrescribir") {
      parsed.overwrite = true;
    } else if (arg == "--k-fijo") {
      const std::optional<double> k = numberFor(arg);
      if (!k) return std::nullopt;
      parsed.options.fixedRefraction = true;
      parsed.options.refractionK = *k;
    } else if (arg == "--k-red") {
      parsed.options.singleRefractionUnknown = true;
    } else if (arg == "--k-linea") {
      parsed.options.singleRefractionUnknown = false;
    } else if (arg == "--sin-errores-gps") {
      parsed.options.applyGpsStationErrors = false;
    } else if (arg == "--error-estacionamiento") {
      const std::optional<double> sigma = numberFor(arg);
      if (!sigma) return std::nullopt;
      parsed.options.centeringStdDevM = *sigma;
    } else if (arg == "--error-altura-antena") {
      const std::optional<double> sigma = numberFor(arg);
      if (!sigma) return std::nullopt;
      parsed.options.antennaHeightStdDevM = static_cast<float>(*sigma);
    } else if (arg == "--sin-huber") {
      parsed.options.useHuber = false;
    } else if (arg == "--sin-lp") {
      parsed.options.useLp = false;
    } else if (arg == "--sin-l1") {
      parsed.options.useL1 = false;
    } else if (arg == "--sin-robustos") {
      parsed.options.useHuber = parsed.options.useLp = parsed.options.useL1 = false;
    } else if (arg == "--max-iter-l1") {
      const std::optional<std::int16_t> count = iterationsFor(arg);
      if (!count) return std::nullopt;
      parsed.options.maxIterL1 = *count;
    } else if (arg == "--max-iter-lp") {
      const std::optional<std::int16_t> count = iterationsFor(arg);
      if (!count) return std::nullopt;
      parsed.options.maxIterLp = *count;
    } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
      return fail("Opción desconocida: " + arg);
    } else if (parsed.projectPath.empty()) {
      parsed.projectPath = arg;
    } else {
      return fail("Sobra el argumento: " + arg);
    }
  }
  if (parsed.projectPath.empty()) return fail("Falta el fichero de datos del proyecto.");
  if (parsed.resultsPath.empty()) parsed.resultsPath = DefaultResultsPath(parsed.projectPath);
  return parsed;
}

// A progress bar with the activity text on standard error, redrawn in place. Only used when
// standard error is a terminal.
class TerminalProgress {
 public:
  ProgressSink Sink() {
    ProgressSink sink;
    sink.progress = [this](int percent) {
      percent_ = percent;
      Draw();
    };
    sink.status = [this](const std::string& text) {
      status_ = Cp1252ToUtf8(text);
      iteration_.clear();
      Draw();
    };
    sink.iteration = [this](const std::string& text) {
      iteration_ = Cp1252ToUtf8(text);
      Draw();
    };
    return sink;
  }
  void Finish() {
    if (drawn_) std::fputs("\r\033[K", stderr);
    drawn_ = false;
  }

 private:
  void Draw() {
    constexpr int kBarWidth = 30;
    const int filled = std::clamp(percent_, 0, 100) * kBarWidth / 100;
    std::string line = "\r\033[K[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') + "] ";
    char percentText[8];
    std::snprintf(percentText, sizeof percentText, "%3d%% ", std::clamp(percent_, 0, 100));
    line += percentText;
    line += CollapseBlanks(status_);
    if (!iteration_.empty()) line += " " + iteration_;
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    drawn_ = true;
  }
  // The estimator status texts place "Iteración" with runs of blanks; one blank is enough here.
  static std::string CollapseBlanks(const std::string& text) {
    std::string collapsed;
    for (char c : text) {
      if (c == ' ' && !collapsed.empty() && collapsed.back() == ' ') continue;
      collapsed.push_back(c);
    }
    return collapsed;
  }

  int percent_ = 0;
  std::string status_;
  std::string iteration_;
  bool drawn_ = false;
};

int RunCalcular(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "-h" || arg == "--ayuda" || arg == "--help") {
      PrintCalcularHelp();
      return 0;
    }
  }
  const std::optional<CalcularArgs> parsed = ParseArgs(args);
  if (!parsed) return 2;
  if (!parsed->overwrite && FileExists(parsed->resultsPath)) {
    PrintError(Cp1252(" ¡El Fichero ya existe! ") + Cp1252(" " + parsed->resultsPath +
                                                         " (use --sobrescribir para sustituirlo)"));
    return 1;
  }

  TerminalProgress terminal;
  const bool showProgress = isatty(STDERR_FILENO) != 0;
  const ProgressSink sink = showProgress ? terminal.Sink() : ProgressSink{};

  Result<LoadedNetwork> loaded = LoadNetwork(parsed->projectPath, sink);
  if (!loaded) {
    terminal.Finish();
    PrintError(loaded.error());
    return 1;
  }
  ProjectState state;
  state.projectFilePath = parsed->projectPath;
  state.projectText = std::move(loaded->projectText);
  state.projectTooBig = loaded->projectTooBig;

  Result<AdjustmentOutput> adjusted = RunAdjustment(loaded->model, parsed->options, state, sink);
  terminal.Finish();
  if (!adjusted) {
    PrintError(adjusted.error());
    return 1;
  }
  const Status written = WriteResultsFile(parsed->resultsPath, adjusted->resultsHeaderText,
                                          adjusted->lsResultsText, adjusted->robustComparisonText);
  if (!written) {
    PrintError(written.error());
    return 1;
  }
  std::printf("Ajuste realizado. Resultados guardados en %s\n", parsed->resultsPath.c_str());
  return 0;
}

const bool registered = RegisterCommand(
    {"calcular", kUsage, "Compensa un proyecto y escribe su fichero de resultados", &RunCalcular});

}  // namespace
}  // namespace korvo::cli
