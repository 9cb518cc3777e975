#pragma once
// What the full results report of a network costs before anything is allocated: the dense
// path keeps several n × n and n × m matrices alive at once and prints three of them, so
// memory and file grow with n². Calcular compares the estimate with the memory the machine
// has and, when the full report cannot fit, offers the compact report instead
// (report/network_report.h), which needs neither.

#include <cstdint>
#include <string>

#include "network/calc_options.h"
#include "network/network_model.h"

namespace korvo {

struct FullReportEstimate {
  int rows = 0;                 // n
  int unknowns = 0;             // m, an upper bound counted from the network
  std::uint64_t memoryBytes = 0;  // peak of the dense path: matrices alive at once and the report texts
  std::uint64_t fileBytes = 0;    // the results file
};

FullReportEstimate EstimateFullReport(int rows, int unknowns);
// n and m counted from the network and the options, without forming anything.
FullReportEstimate EstimateFullReport(const NetworkModel& network, const CalcOptions& options);

// The memory the dense path may use: the environment variable KORVO_MEMORY_BUDGET (bytes)
// when set, else the memory the system reports available.
std::uint64_t MemoryBudgetBytes();

// Resolves ReportForm::Auto (and keeps the others): full when it fits in `budget`.
ReportForm ChooseReportForm(ReportForm requested, const FullReportEstimate& estimate, std::uint64_t budget);
bool FullReportFits(const FullReportEstimate& estimate, std::uint64_t budget);

// Why the full report is refused, in one message that points at the compact report
// (Windows-1252).
std::string FullReportTooLargeMessage(const FullReportEstimate& estimate, std::uint64_t budget);
// What an allocation failure during Calcular is told as (Windows-1252).
std::string OutOfMemoryMessage();

}  // namespace korvo
