#pragma once
// The results file: the printed system, the least-squares report and the robust comparison,
// written as one text.

#include <string>

#include "common/result.h"

namespace korvo {

// The results file offered for a project: beside it, with the project's name and
// "_resultados.txt" ("red.txt" -> "red_resultados.txt").
std::string DefaultResultsPath(const std::string& projectPath);

// The bytes of a results file: the three texts in order (header, least-squares part,
// comparison part) and one CR LF.
std::string ResultsFileBytes(const std::string& headerText, const std::string& lsResultsText,
                             const std::string& robustComparisonText);

// Writes the results file whole or not at all (temporary file renamed over the target). The
// texts are Windows-1252 already and are written byte for byte. A failure carries a Spanish
// message naming the file.
Status WriteResultsFile(const std::string& path, const std::string& headerText,
                        const std::string& lsResultsText, const std::string& robustComparisonText);

}  // namespace korvo
