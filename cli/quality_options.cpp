#include "cli/quality_options.h"

#include "cli/command.h"
#include "common/files.h"
#include "quality/quality_products.h"

namespace korvo::cli {

std::string QualityOptionsHelp(bool withCsv) {
  std::string help =
      "  --calidad FICHERO              escribe el informe de calidad (pruebas, coordenadas,\n"
      "                                 precisión de los vértices y observaciones sospechosas)\n"
      "  --json FICHERO                 escribe el análisis de calidad en JSON\n";
  if (withCsv) help += "  --csv FICHERO                  escribe los vértices compensados en CSV\n";
  return help;
}

bool TakeQualityOption(const std::vector<std::string>& args, std::size_t& i, QualityPaths& paths, bool withCsv,
                       std::string& error) {
  const std::string& arg = args[i];
  std::string* target = arg == "--calidad" ? &paths.report
                        : arg == "--json"  ? &paths.json
                        : arg == "--csv" && withCsv ? &paths.csv
                                                    : nullptr;
  if (target == nullptr) return false;
  if (i + 1 >= args.size() || args[i + 1].empty()) {
    error = "Falta el nombre del fichero de " + arg + ".";
    i = args.size();
    return true;
  }
  *target = args[i + 1];
  i += 2;
  return true;
}

std::vector<std::string> ExistingQualityFiles(const QualityPaths& paths) {
  std::vector<std::string> existing;
  for (const std::string* path : {&paths.report, &paths.json, &paths.csv}) {
    if (!path->empty() && FileExists(*path)) existing.push_back(*path);
  }
  return existing;
}

bool WriteQualityFiles(const QualityPaths& paths, const AdjustmentOutput& output, const std::string& project) {
  const QualityReportHeading heading{project, QualityDateNow()};
  const std::pair<const std::string*, QualityFileKind> files[] = {{&paths.report, QualityFileKind::Report},
                                                                  {&paths.json, QualityFileKind::Json},
                                                                  {&paths.csv, QualityFileKind::PointsCsv}};
  for (const auto& [path, kind] : files) {
    if (path->empty()) continue;
    const Status written =
        WriteFileAtomically(*path, QualityFileBytes(kind, output.quality, output.robust, heading));
    if (!written) {
      PrintError(written.error());
      return false;
    }
  }
  return true;
}

}  // namespace korvo::cli
