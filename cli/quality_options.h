#pragma once
// Command-line options of the quality products, shared by the commands that adjust:
//   --calidad FICHERO   quality report (Windows-1252)
//   --json FICHERO      JSON document of the analysis (UTF-8)
//   --csv FICHERO       CSV of the adjusted points (UTF-8; only where there are points)
// and their writing. The commands end with the analysis' one-line summary on the terminal.
#include <cstddef>
#include <string>
#include <vector>

#include "engine/adjustment_driver.h"

namespace korvo::cli {

struct QualityPaths {
  std::string report;
  std::string json;
  std::string csv;
};

// Help lines (UTF-8). `withCsv` adds the --csv line.
std::string QualityOptionsHelp(bool withCsv);

// Takes the option at args[i] and its file name into `paths` and advances i past them.
// Returns false when args[i] is not one of them (--csv is not one unless `withCsv`); sets
// `error` (UTF-8) when its file name is missing.
bool TakeQualityOption(const std::vector<std::string>& args, std::size_t& i, QualityPaths& paths, bool withCsv,
                       std::string& error);

// The paths given that already exist (checked before the adjustment, like the results file).
std::vector<std::string> ExistingQualityFiles(const QualityPaths& paths);

// Writes the files asked for; prints the reason and returns false on the first that fails.
bool WriteQualityFiles(const QualityPaths& paths, const AdjustmentOutput& output, const std::string& project);

}  // namespace korvo::cli
