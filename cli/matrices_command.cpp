// korvo-cli matrices A K P [--vertices PROYECTO] [-o RESULTADOS] [--informe ...]: imports an
// observation system from its three matrix files (design matrix A, independent terms k,
// weights P), adjusts it by least squares and the robust estimators, and writes its results
// report (to RESULTADOS, or to standard output), full or compact as for calcular.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/quality_options.h"
#include "cli/report_form_option.h"
#include "cli/robust_options.h"
#include "common/progress.h"
#include "common/win1252.h"
#include "matimport/import_matrices.h"
#include "matimport/imported_adjustment.h"
#include "network/load_network.h"
#include "network/project_file.h"
#include "network/project_state.h"
#include "report/results_file.h"

namespace korvo::cli {
namespace {

constexpr const char* kUsage =
    "Uso: korvo-cli matrices A K P [--vertices PROYECTO] [-o RESULTADOS] [--sobrescribir] [--calidad FICHERO] "
    "[--json FICHERO] [--informe completo|compacto|auto] "
    "[--sin-huber] [--sin-lp] [--sin-l1] [--sin-robustos] [--max-iter-lp N] [--max-iter-l1 N]\n";

struct MatricesArgs {
  std::string aPath, kPath, pPath;
  std::string verticesProject;  // empty: no vertex list
  std::string outputPath;       // empty: standard output
  CalcOptions options;
  QualityPaths quality;
  bool overwrite = false;  // --sobrescribir
};

// Reads the arguments after the command name. On a mistake prints the reason and returns
// nothing.
std::optional<MatricesArgs> ParseArgs(const std::vector<std::string>& args) {
  MatricesArgs parsed;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size();) {
    std::string error;
    if (TakeRobustOption(args, i, parsed.options, error) || TakeReportFormOption(args, i, parsed.options, error) ||
        TakeQualityOption(args, i, parsed.quality, /*withCsv=*/false, error)) {
      if (!error.empty()) {
        std::fprintf(stderr, "%s\n%s", error.c_str(), kUsage);
        return std::nullopt;
      }
      continue;
    }
    if (args[i] == "--vertices" || args[i] == "-o") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        std::fprintf(stderr, "Falta el valor de la opción %s.\n%s", args[i].c_str(), kUsage);
        return std::nullopt;
      }
      (args[i] == "-o" ? parsed.outputPath : parsed.verticesProject) = args[i + 1];
      i += 2;
    } else if (args[i] == "--sobrescribir") {
      parsed.overwrite = true;
      ++i;
    } else if (!args[i].empty() && args[i][0] == '-') {
      std::fprintf(stderr, "Opción desconocida: %s\n%s", args[i].c_str(), kUsage);
      return std::nullopt;
    } else {
      files.push_back(args[i++]);
    }
  }
  if (files.size() != 3) {
    std::fprintf(stderr, "%s", kUsage);
    return std::nullopt;
  }
  parsed.aPath = files[0];
  parsed.kPath = files[1];
  parsed.pPath = files[2];
  return parsed;
}

// The vertex list of the project named by --vertices (empty without it).
Result<std::string> ReadVertexList(const std::string& verticesProject) {
  if (verticesProject.empty()) return std::string();
  Result<ProjectSections> sections = SplitProjectFile(verticesProject);
  if (!sections) return Failure{UnreadableProjectMessage(verticesProject, sections.error())};
  if (!sections->titlesFound) {
    return Failure{Cp1252("El fichero ") + verticesProject + Cp1252(" no tiene la sección de vértices de un proyecto.")};
  }
  return sections->vertexListText;
}

// Imports the matrices and adjusts the system as Calcular does after an import.
Result<ImportedAdjustment> Adjust(const MatricesArgs& parsed) {
  Result<std::string> vertexListText = ReadVertexList(parsed.verticesProject);
  if (!vertexListText) return Failure{vertexListText.error()};
  Result<ImportedMatrices> imported = ImportMatrices({parsed.aPath, parsed.kPath, parsed.pPath}, *vertexListText);
  if (!imported) return Failure{imported.error()};
  // The full report's matrices are counted before the adjustment allocates them.
  CalcOptions options = parsed.options;
  const FullReportEstimate estimate = EstimateFullReport(imported->system.numEquations, imported->system.numUnknowns);
  if (Status settled = SettleReportForm(options, estimate); !settled) return Failure{settled.error()};
  ProjectState state;
  state.vertexListText = *vertexListText;
  state.projectText = imported->projectText;
  state.projectTooBig = imported->projectTooBig;
  state.matricesImported = true;
  // What the pane would show after the import: the project text, unless it is too long.
  const std::string paneText = state.projectTooBig ? std::string() : state.projectText;
  return RunImportedAdjustment(imported->system, options, state, paneText, ProgressSink{});
}

// The results report, to the file named by -o or to standard output.
Status WriteResults(const MatricesArgs& parsed, const AdjustmentOutput& out) {
  if (parsed.outputPath.empty()) {
    PrintText(ResultsFileBytes(out.resultsHeaderText, out.lsResultsText, out.robustComparisonText));
    return Ok();
  }
  return WriteResultsFile(parsed.outputPath, out.resultsHeaderText, out.lsResultsText, out.robustComparisonText);
}

int RunMatrices(const std::vector<std::string>& args) {
  const std::optional<MatricesArgs> parsed = ParseArgs(args);
  if (!parsed) return 2;
  const std::vector<std::string> inputs = {parsed->aPath, parsed->kPath, parsed->pPath, parsed->verticesProject};
  if (!parsed->outputPath.empty() && !OutputAllowed(parsed->outputPath, inputs, parsed->overwrite)) return 1;
  for (const std::string& existing : ExistingQualityFiles(parsed->quality)) {
    if (!OutputAllowed(existing, inputs, parsed->overwrite)) return 1;
  }
  Result<ImportedAdjustment> adjusted = Adjust(*parsed);
  if (!adjusted) {
    PrintError(adjusted.error());
    return 1;
  }
  // A robust estimator that could not run: said here and in the report; the results stand.
  const AdjustmentOutput& out = adjusted->output;
  for (const std::string& warning : out.warnings) PrintError(warning);
  if (!WriteQualityFiles(parsed->quality, out, parsed->aPath)) return 1;
  if (Status written = WriteResults(*parsed, out); !written) {
    PrintError(written.error());
    return 1;
  }
  // The quality summary goes to standard error when the report itself goes to standard output.
  const std::string summary = QualitySummaryUtf8(out.quality) + "\n";
  std::fputs(summary.c_str(), parsed->outputPath.empty() ? stderr : stdout);
  return 0;
}

const bool registered = RegisterCommand(
    {"matrices", "matrices A K P [--vertices PROYECTO] [-o RESULTADOS] [--sobrescribir] [--informe ...]",
     "Ajusta un sistema importado como matrices A, k y P y escribe su informe", &RunMatrices});

}  // namespace
}  // namespace korvo::cli
