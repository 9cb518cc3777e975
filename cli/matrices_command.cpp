// korvo-cli matrices A K P [--vertices PROYECTO] [-o RESULTADOS]: imports an observation
// system from its three matrix files (design matrix A, independent terms k, weights P),
// adjusts it by least squares and the robust estimators, and writes its results report (to
// RESULTADOS, or to standard output).
#include <cstdio>
#include <string>

#include "cli/command.h"
#include "cli/quality_options.h"
#include "cli/robust_options.h"
#include "common/progress.h"
#include "common/win1252.h"
#include "matimport/import_matrices.h"
#include "matimport/imported_adjustment.h"
#include "network/project_file.h"
#include "network/project_state.h"
#include "report/results_file.h"

namespace korvo::cli {
namespace {

constexpr const char* kUsage =
    "Uso: korvo-cli matrices A K P [--vertices PROYECTO] [-o RESULTADOS] [--calidad FICHERO] [--json FICHERO] "
    "[--sin-huber] [--sin-lp] [--sin-l1] [--sin-robustos] [--max-iter-lp N] [--max-iter-l1 N]\n";

int RunMatrices(const std::vector<std::string>& args) {
  std::vector<std::string> files;
  std::string verticesProject;
  std::string outputPath;
  CalcOptions options;
  QualityPaths quality;
  for (std::size_t i = 0; i < args.size();) {
    std::string error;
    if (TakeRobustOption(args, i, options, error) || TakeQualityOption(args, i, quality, /*withCsv=*/false, error)) {
      if (!error.empty()) {
        std::fprintf(stderr, "%s\n%s", error.c_str(), kUsage);
        return 2;
      }
      continue;
    }
    if ((args[i] == "--vertices" || args[i] == "-o") && i + 1 < args.size()) {
      (args[i] == "-o" ? outputPath : verticesProject) = args[i + 1];
      i += 2;
    } else if (!args[i].empty() && args[i][0] == '-') {
      std::fprintf(stderr, "Opción desconocida: %s\n%s", args[i].c_str(), kUsage);
      return 2;
    } else {
      files.push_back(args[i++]);
    }
  }
  if (files.size() != 3) {
    std::fprintf(stderr, "%s", kUsage);
    return 2;
  }

  std::string vertexListText;
  if (!verticesProject.empty()) {
    Result<ProjectSections> sections = SplitProjectFile(verticesProject);
    if (!sections) {
      PrintError(sections.error());
      return 1;
    }
    if (!sections->titlesFound) {
      PrintError(Cp1252("El fichero ") + verticesProject + Cp1252(" no tiene la sección de vértices de un proyecto."));
      return 1;
    }
    vertexListText = sections->vertexListText;
  }

  Result<ImportedMatrices> imported = ImportMatrices({files[0], files[1], files[2]}, vertexListText);
  if (!imported) {
    PrintError(imported.error());
    return 1;
  }
  ProjectState state;
  state.vertexListText = vertexListText;
  state.projectText = imported->projectText;
  state.projectTooBig = imported->projectTooBig;
  state.matricesImported = true;

  // What the pane would show after the import: the project text, unless it is too long.
  const std::string paneText = state.projectTooBig ? std::string() : state.projectText;
  Result<ImportedAdjustment> adjusted =
      RunImportedAdjustment(imported->system, options, state, paneText, ProgressSink{});
  if (!adjusted) {
    PrintError(adjusted.error());
    return 1;
  }
  const AdjustmentOutput& out = adjusted->output;
  // A robust estimator that could not run: said here and in the report; the results stand.
  for (const std::string& warning : out.warnings) PrintError(warning);
  if (!WriteQualityFiles(quality, out, files[0])) return 1;
  // The summary goes to standard error when the report itself goes to standard output.
  const std::string summary = QualitySummaryUtf8(out.quality) + "\n";
  if (outputPath.empty()) {
    PrintText(ResultsFileBytes(out.resultsHeaderText, out.lsResultsText, out.robustComparisonText));
    std::fputs(summary.c_str(), stderr);
    return 0;
  }
  const Status written = WriteResultsFile(outputPath, out.resultsHeaderText, out.lsResultsText, out.robustComparisonText);
  if (!written) {
    PrintError(written.error());
    return 1;
  }
  std::fputs(summary.c_str(), stdout);
  return 0;
}

const bool registered = RegisterCommand(
    {"matrices", "matrices A K P [--vertices PROYECTO] [-o RESULTADOS]",
     "Ajusta un sistema importado como matrices A, k y P y escribe su informe", &RunMatrices});

}  // namespace
}  // namespace korvo::cli
