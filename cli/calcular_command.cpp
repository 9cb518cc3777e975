// korvo-cli calcular: adjusts a project file and writes its results file.
//
//   korvo-cli calcular PROYECTO [-o RESULTADOS] [opciones de cálculo]
//
// The options mirror the options dialog, with its defaults: refraction estimated with one
// coefficient per line, GPS station errors applied (0.005 m and 0.01 m), every robust
// estimator on with 10 iterations at most.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/quality_options.h"
#include "cli/report_form_option.h"
#include "cli/robust_options.h"
#include "common/files.h"
#include "common/progress.h"
#include "common/win1252.h"
#include "engine/adjustment_driver.h"
#include "engine/full_report_estimate.h"
#include "network/calc_options.h"
#include "network/load_network.h"
#include "network/project_state.h"
#include "network/validate_network.h"
#include "report/results_file.h"

namespace korvo::cli {
namespace {

constexpr const char* kUsage =
    "calcular PROYECTO [-o RESULTADOS] [--calidad FICHERO] [--json FICHERO] [--csv FICHERO] [opciones]";

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
      "%s%s%s",
      kUsage, kReportFormHelp, kRobustOptionsHelp, QualityOptionsHelp(/*withCsv=*/true).c_str());
}

struct CalcularArgs {
  std::string projectPath;
  std::string resultsPath;
  bool overwrite = false;
  CalcOptions options;
  QualityPaths quality;
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
  for (std::size_t i = 0; i < args.size();) {
    std::string error;
    if (TakeRobustOption(args, i, parsed.options, error) || TakeReportFormOption(args, i, parsed.options, error) ||
        TakeQualityOption(args, i, parsed.quality, /*withCsv=*/true, error)) {
      if (!error.empty()) return fail(error);
      continue;
    }
    const std::string arg = args[i];
    if (arg == "-o" || arg == "--salida") {
      if (i + 1 >= args.size() || args[i + 1].empty()) return fail("Falta el nombre del fichero de resultados.");
      parsed.resultsPath = args[i + 1];
      i += 2;
    } else if (arg == "--k-fijo" || arg == "--error-estacionamiento" || arg == "--error-altura-antena") {
      const std::optional<double> value = TakeNumberValue(args, i, error);
      if (!value) return fail(error);
      if (arg == "--k-fijo") {
        parsed.options.fixedRefraction = true;
        parsed.options.refractionK = *value;
      } else if (arg == "--error-estacionamiento") {
        parsed.options.centeringStdDevM = *value;
      } else {
        // Checked before the single-precision cast, which has no value beyond float's range.
        if (!(*value >= 0.0 && *value <= kMaxStationErrorM)) {
          return fail("El error en altura de antena (" + args[i - 1] + " m) debe estar entre 0 y 1 m.");
        }
        parsed.options.antennaHeightStdDevM = static_cast<float>(*value);
      }
    } else {
      if (arg == "--sobrescribir") {
        parsed.overwrite = true;
      } else if (arg == "--k-red") {
        parsed.options.singleRefractionUnknown = true;
      } else if (arg == "--k-linea") {
        parsed.options.singleRefractionUnknown = false;
      } else if (arg == "--sin-errores-gps") {
        parsed.options.applyGpsStationErrors = false;
      } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
        return fail("Opción desconocida: " + arg);
      } else if (parsed.projectPath.empty()) {
        parsed.projectPath = arg;
      } else {
        return fail("Sobra el argumento: " + arg);
      }
      ++i;
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
  if (const Status options = CheckCalcOptions(parsed->options); !options) {
    PrintError(options.error());
    return 2;
  }
  if (!OutputAllowed(parsed->resultsPath, {parsed->projectPath}, parsed->overwrite)) return 1;
  for (const std::string& existing : ExistingQualityFiles(parsed->quality)) {
    if (!OutputAllowed(existing, {parsed->projectPath}, parsed->overwrite)) return 1;
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
  // The full report's dense matrices are counted before anything is allocated.
  CalcOptions options = parsed->options;
  if (Status settled = SettleReportForm(options, EstimateFullReport(loaded->model, options)); !settled) {
    terminal.Finish();
    PrintError(settled.error());
    return 1;
  }

  ProjectState state;
  state.projectFilePath = parsed->projectPath;
  state.projectText = std::move(loaded->projectText);
  state.projectTooBig = loaded->projectTooBig;

  Result<AdjustmentOutput> adjusted = RunAdjustment(loaded->model, options, state, sink);
  terminal.Finish();
  if (!adjusted) {
    PrintError(adjusted.error());
    return 1;
  }
  // A robust estimator that could not run: said here and in the report; the results stand.
  for (const std::string& warning : adjusted->warnings) PrintError(warning);
  const Status written = WriteResultsFile(parsed->resultsPath, adjusted->resultsHeaderText,
                                          adjusted->lsResultsText, adjusted->robustComparisonText);
  if (!written) {
    PrintError(written.error());
    return 1;
  }
  if (!WriteQualityFiles(parsed->quality, *adjusted, parsed->projectPath)) return 1;
  std::printf("Ajuste realizado. Resultados guardados en %s\n", parsed->resultsPath.c_str());
  std::printf("%s\n", QualitySummaryUtf8(adjusted->quality).c_str());
  return 0;
}

const bool registered = RegisterCommand(
    {"calcular", kUsage, "Compensa un proyecto y escribe su fichero de resultados", &RunCalcular});

}  // namespace
}  // namespace korvo::cli
