#include "cli/report_form_option.h"

namespace korvo::cli {

bool TakeReportFormOption(const std::vector<std::string>& args, std::size_t& i, CalcOptions& options,
                          std::string& error) {
  if (args[i] != "--informe") return false;
  const std::string value = i + 1 < args.size() ? args[i + 1] : std::string();
  i = i + 1 < args.size() ? i + 2 : args.size();
  if (value == "completo") {
    options.reportForm = ReportForm::Full;
  } else if (value == "compacto") {
    options.reportForm = ReportForm::Compact;
  } else if (value == "auto") {
    options.reportForm = ReportForm::Auto;
  } else {
    error = "--informe espera completo, compacto o auto.";
  }
  return true;
}

Status SettleReportForm(CalcOptions& options, const FullReportEstimate& estimate) {
  const std::uint64_t budget = MemoryBudgetBytes();
  if (options.reportForm == ReportForm::Full && !FullReportFits(estimate, budget)) {
    return Failure{FullReportTooLargeMessage(estimate, budget)};
  }
  options.reportForm = ChooseReportForm(options.reportForm, estimate, budget);
  return Ok();
}

}  // namespace korvo::cli
