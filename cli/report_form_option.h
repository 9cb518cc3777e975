#pragma once
// The choice of results report, shared by the commands that adjust:
//   --informe completo|compacto|auto
// completo (the default) prints every matrix; compacto leaves out the n × n and n × m blocks
// and solves on the sparse path; auto takes the full report when its estimate fits in the
// memory available and the compact one otherwise.

#include <cstddef>
#include <string>
#include <vector>

#include "common/result.h"
#include "engine/full_report_estimate.h"
#include "network/calc_options.h"

namespace korvo::cli {

inline constexpr const char* kReportFormUsage = "[--informe completo|compacto|auto]";

// Help lines of the option (UTF-8), in the layout of the commands' option lists.
inline constexpr const char* kReportFormHelp =
    "  --informe completo|compacto|auto\n"
    "                                 informe de resultados: completo (por omisión, con todas\n"
    "                                 las matrices), compacto (cifras por parámetro y por\n"
    "                                 observación, para redes grandes) o el completo cuando\n"
    "                                 cabe en la memoria y si no el compacto\n";

// Takes --informe and its value at args[i] into options.reportForm and advances i past them.
// Returns false when args[i] is not --informe; sets `error` (UTF-8) when its value is missing
// or not one of the three.
bool TakeReportFormOption(const std::vector<std::string>& args, std::size_t& i, CalcOptions& options,
                          std::string& error);

// Settles options.reportForm for a system of that estimate before anything large is
// allocated: Auto becomes Full or Compact; a Full report that cannot fit is refused with a
// message (Windows-1252) that points at the compact one.
Status SettleReportForm(CalcOptions& options, const FullReportEstimate& estimate);

}  // namespace korvo::cli
