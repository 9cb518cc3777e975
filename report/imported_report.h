#pragma once
// The results report of a system imported as matrices. Such a system has no vertices,
// observation types or units of its own: rows and unknowns are numbered, every number of the
// least-squares part has 9 decimals, and the comparison section is the numbered variant.

#include <string>

#include "engine/least_squares.h"
#include "engine/observation_system.h"
#include "engine/robust_stage.h"
#include "network/calc_options.h"
#include "report/results_display.h"

namespace korvo {

struct ImportedReport {
  // The least-squares part, after the text the pane showed when the adjustment started (the
  // project text of the import), so the results file carries it: for an imported system the
  // header text is empty.
  std::string lsResultsText;
  std::string robustComparisonText;
  // The pane afterwards: the least-squares and comparison parts replace it when the whole
  // report is shorter than kReportDisplayLimit; otherwise it is left as it is.
  PaneUpdate pane;
};

// The least-squares part alone (residuals, unit-weight estimators, corrections, the three
// variance-covariance matrices, reliability and external reliability vectors). The compact
// form starts with the compact report's line and leaves out the matrices and the vectors.
std::string BuildImportedLeastSquaresText(const ObservationSystem& system, const LeastSquaresResults& ls,
                                          ReportForm form = ReportForm::Full);

// BuildImportedReport: `paneText` is what the main window's text pane shows (the command line
// passes the project text); `headerText` is the ResultsHeaderText (empty for an imported system).
ImportedReport BuildImportedReport(const ObservationSystem& system, const LeastSquaresResults& ls,
                                   const RobustResults& robust, const std::string& paneText,
                                   const std::string& headerText = {}, ReportForm form = ReportForm::Full);

}  // namespace korvo
