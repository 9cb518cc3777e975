#include "engine/full_report_estimate.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "common/text.h"
#include "common/win1252.h"

namespace korvo {

namespace {

constexpr std::uint64_t kCellBytes = 8;    // one double
constexpr std::uint64_t kPrintedCell = 14; // a printed matrix element: 12 characters and two blanks
constexpr std::uint64_t kMegabyte = 1024 * 1024;

constexpr std::uint64_t kKilobyte = 1024;

// "12 KB" below a megabyte, "3 MB" from there, rounded up.
std::string SizeText(std::uint64_t bytes) {
  if (bytes < kMegabyte) return std::to_string((bytes + kKilobyte - 1) / kKilobyte) + " KB";
  return std::to_string((bytes + kMegabyte - 1) / kMegabyte) + " MB";
}

}  // namespace

FullReportEstimate EstimateFullReport(int rows, int unknowns) {
  const auto n = static_cast<std::uint64_t>(rows);
  const auto m = static_cast<std::uint64_t>(unknowns);
  FullReportEstimate estimate;
  estimate.rows = rows;
  estimate.unknowns = unknowns;
  // Alive together at the end of the robust stage: P, Qll, Q̂ll, Qvv, C̃ll, Cvv and one
  // inversion copy (n × n); A, Aᵀ, AᵀP, the effect matrix and its factor, the external
  // reliability vectors and the rotated design (n × m); Qxx, Cxx, the reweighted normal
  // matrix, its inverse and two inversion copies (m × m). Then the printed texts: the system
  // and weights, the three covariance matrices and the vectors.
  const std::uint64_t printed = kPrintedCell * (m * m + 3 * n * n + 2 * n * m) + 100 * (n + m);
  estimate.memoryBytes = kCellBytes * (7 * n * n + 7 * n * m + 6 * m * m) + printed;
  estimate.fileBytes = printed;
  return estimate;
}

FullReportEstimate EstimateFullReport(const NetworkModel& network, const CalcOptions& options) {
  const int rows = static_cast<int>(network.classical.size() + 3 * network.baselines.size());
  int unknowns = 0;
  for (const NetworkVertex& vertex : network.vertices) {
    if (vertex.IsUnknown()) unknowns += 3;
    if (vertex.deflectionUnknown) unknowns += 2;
  }
  // At most one orientation per station of a direction and one refraction coefficient per
  // zenith angle.
  std::set<double> stations;
  int zeniths = 0;
  for (const ClassicalObservation& o : network.classical) {
    if (o.type == ObservationType::Direction) stations.insert(o.from);
    if (o.type == ObservationType::Zenith) ++zeniths;
  }
  unknowns += static_cast<int>(stations.size());
  if (!options.fixedRefraction) unknowns += options.singleRefractionUnknown ? (zeniths > 0 ? 1 : 0) : zeniths;
  return EstimateFullReport(rows, unknowns);
}

std::uint64_t MemoryBudgetBytes() {
  if (const char* text = std::getenv("KORVO_MEMORY_BUDGET"); text != nullptr && *text != '\0') {
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (end != nullptr && *end == '\0') return value;
  }
  std::ifstream meminfo("/proc/meminfo");
  std::string line;
  while (std::getline(meminfo, line)) {
    unsigned long long kib = 0;
    if (std::sscanf(line.c_str(), "MemAvailable: %llu kB", &kib) == 1) return kib * 1024;
  }
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGE_SIZE);
  return pages > 0 && pageSize > 0 ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize) : 0;
}

bool FullReportFits(const FullReportEstimate& estimate, std::uint64_t budget) {
  return estimate.memoryBytes <= budget;
}

ReportForm ChooseReportForm(ReportForm requested, const FullReportEstimate& estimate, std::uint64_t budget) {
  if (requested != ReportForm::Auto) return requested;
  return FullReportFits(estimate, budget) ? ReportForm::Full : ReportForm::Compact;
}

std::string FullReportTooLargeMessage(const FullReportEstimate& estimate, std::uint64_t budget) {
  std::ostringstream text;
  text << " ¡El informe completo no cabe en la memoria disponible! " << kCrLf
       << " Con " << estimate.rows << " observaciones y unas " << estimate.unknowns
       << " incógnitas necesitaría unos " << SizeText(estimate.memoryBytes) << " de memoria (hay "
       << SizeText(budget) << " disponibles) y un fichero de unos " << SizeText(estimate.fileBytes) << "."
       << kCrLf
       << " El informe compacto da las mismas cifras por parámetro y por observación sin las matrices completas: "
          "elija «Informe de resultados: compacto» en las opciones de cálculo (en korvo-cli, --informe compacto). ";
  return Cp1252(text.str());
}

std::string OutOfMemoryMessage() {
  return Cp1252(" ¡No hay memoria suficiente para completar el cálculo! ") + std::string(kCrLf) +
         Cp1252(" No se ha guardado ningún fichero. Pruebe con el informe compacto de resultados. ");
}

}  // namespace korvo
