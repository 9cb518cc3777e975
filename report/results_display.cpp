#include "report/results_display.h"

#include "common/text.h"
#include "common/win1252.h"

namespace korvo {

const std::string& ReportTooLongMessage() {
  static const std::string message = Cp1252(" Trabajando sobre fichero de resultados... ") +
                                     std::string(kCrLf) +
                                     Cp1252(" El proyecto no se mostrará en pantalla. ");
  return message;
}

PaneUpdate PaneAfterAdjustment(int adjustmentRunCount, const std::string& headerText,
                               const std::string& lsResultsText,
                               const std::string& robustComparisonText) {
  const std::size_t reportBytes =
      headerText.size() + lsResultsText.size() + robustComparisonText.size();
  const bool fits = reportBytes < kReportDisplayLimit;
  PaneUpdate update;
  if (adjustmentRunCount == 1) {
    if (fits) {
      update.action = PaneUpdate::Action::kAppend;
      update.text = lsResultsText + robustComparisonText;
    }
    return update;
  }
  if (fits) {
    update.action = PaneUpdate::Action::kReplace;
    update.text = headerText + lsResultsText + robustComparisonText;
  } else {
    update.message = ReportTooLongMessage();
    update.setProjectTooBig = true;
  }
  return update;
}

}  // namespace korvo
