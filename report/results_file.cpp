#include "report/results_file.h"

#include <filesystem>

#include "common/files.h"
#include "common/text.h"
#include "common/win1252.h"

namespace korvo {

std::string DefaultResultsPath(const std::string& projectPath) {
  std::filesystem::path path(projectPath);
  path.replace_filename(path.stem().string() + "_resultados.txt");
  return path.string();
}

std::string ResultsFileBytes(const std::string& headerText, const std::string& lsResultsText,
                             const std::string& robustComparisonText) {
  std::string bytes;
  bytes.reserve(headerText.size() + lsResultsText.size() + robustComparisonText.size() + kCrLf.size());
  bytes.append(headerText).append(lsResultsText).append(robustComparisonText).append(kCrLf);
  return bytes;
}

Status WriteResultsFile(const std::string& path, const std::string& headerText,
                        const std::string& lsResultsText, const std::string& robustComparisonText) {
  const Status written =
      WriteFileAtomically(path, {headerText, lsResultsText, robustComparisonText, kCrLf});
  if (!written) {
    return Failure{Cp1252("No se pudo guardar el fichero de resultados " + path + ": ") + written.error()};
  }
  return Ok();
}

}  // namespace korvo
