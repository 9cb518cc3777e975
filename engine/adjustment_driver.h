#pragma once
// The adjustment of a loaded network, as the Calcular command runs it: system formation, the
// printout of the system and its weights, the least-squares solution, the robust estimators
// chosen in the options and the results report, with progress and status along the way.
//
// Every adjustment ends with the same tail, RunAdjustmentTail: least squares, the robust
// estimators, then the report steps in order. A network (RunAdjustment) and an imported
// system (matimport/imported_adjustment.h) differ only in what comes before the tail and in
// their results report; further products (a quality report, a data export, a compact report)
// are report steps that put an AdjustmentProduct in the output, and the command or window
// chooses which products to write.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/progress.h"
#include "common/result.h"
#include "engine/least_squares.h"
#include "engine/observation_system.h"
#include "engine/robust_stage.h"
#include "network/calc_options.h"
#include "network/network_model.h"
#include "network/project_state.h"
#include "quality/quality_analysis.h"

namespace korvo {

// A text an adjustment produces besides the results file, under the name the command or
// window picks it by (Windows-1252 or UTF-8 as the product defines).
struct AdjustmentProduct {
  std::string name;
  std::string text;
};

struct AdjustmentOutput {
  ObservationSystem system;
  LeastSquaresResults leastSquares;
  RobustResults robust;  // the estimators the options selected
  QualityAnalysis quality;  // tests, coordinates and precision figures (quality/quality_analysis.h)

  // The three texts of the results file, in the order they are written (Windows-1252).
  std::string resultsHeaderText;     // project text, printed system and weight matrix
  std::string lsResultsText;         // least-squares report
  std::string robustComparisonText;  // comparison with the robust estimators (may be empty)

  // Products of the extra report steps, in the order the steps ran.
  std::vector<AdjustmentProduct> products;

  // The product of that name, or nullptr.
  const AdjustmentProduct* Product(std::string_view name) const;

  // What the user should be told although the adjustment succeeded (Windows-1252, one
  // message each): a selected robust estimator that could not run, in the words of its
  // closing sentence in the comparison section.
  std::vector<std::string> warnings;
};

// One warning per robust estimator left out, in the order Huber, Lp, L1.
std::vector<std::string> LeftOutWarnings(const RobustResults& robust);

// Status texts of the adjustment (Windows-1252), in the order they appear.
const std::string& FormingSystemStatus();      // "Formando matrices del sistema de ecuaciones..."
const std::string& SolvingLeastSquaresStatus();  // "Resolviendo sistema por mínimos cuadrados..."
const std::string& SolvingRobustStatus();      // "Resolviendo sistema por métodos de estimación robusta..."
const std::string& HuberStatus();              // ... "HUBER" ... "Iteración"
const std::string& LpStatus();                 // ... "NORMAS Lp ADAPTADAS" ... "Iteración"
const std::string& L1Status();                 // ... "NORMA L1" ... "Iteración"
const std::string& BuildingReportStatus();     // "Realizando informe de resultados..."
const std::string& AdjustmentDoneStatus();     // "Ajuste realizado"

// Runs the whole adjustment of `network` with `options`. With options.reportForm Compact the
// system is formed without its dense matrices, solved on the sparse path and reported in the
// compact form (report/network_report.h); the header is the project text and one line that
// says so instead of the printout. Increments
// state.adjustmentRunCount and reads state.projectText; raises state.projectTooBig when the
// printout is too long for the main window's pane (see report/results_display.h for what the
// pane shows afterwards).
//
// Progress values: 0, 5 (system formed), 10, 20, 30 (printout), 40, 55 (set by the solver),
// 65 (least squares), 75, 85, 95 (robust estimators, whether selected or not), 100 (report).
//
// A failure of formation or of least squares (a vertex missing from the vertex list, a
// singular matrix, a system without redundancy, ...) ends the adjustment at once: nothing more
// is computed, no report is built and nothing is offered for saving. Its message is the exact
// text to show. A robust estimator that cannot run does not: it is left out of the comparison
// section with a closing sentence, the output carries a warning, and the rest stands.
//
// `reportBuilt`, when given, is called once the report texts exist, still under the status
// "Realizando informe de resultados..." and before progress 100 and "Ajuste realizado": the
// main window shows the report in its pane at that point.
//
// `extraReports` run after the results report (see RunAdjustmentTail).
using ReportBuiltStep = std::function<void(const AdjustmentOutput& output)>;
using ReportStep = std::function<void(AdjustmentOutput& output)>;
Result<AdjustmentOutput> RunAdjustment(const NetworkModel& network, const CalcOptions& options,
                                       ProjectState& state, const ProgressSink& progress,
                                       const ReportBuiltStep& reportBuilt = {},
                                       const std::vector<ReportStep>& extraReports = {});

// The tail of every adjustment, once output.system holds the system: status "Resolviendo
// sistema por mínimos cuadrados..." at progress 40, least squares (55, 65), the robust
// estimators the options select (75, 85, 95), all by `solver` (engine/adjustment_solver.h),
// then under "Realizando informe de resultados..." the quality analysis (`network` is null
// for an imported system), each report step in order, `reportBuilt`, progress 100 and
// "Ajuste realizado". A failure of least squares ends it with its message before any report;
// a robust estimator that cannot run is left out with a warning in output.warnings; a number
// that is not finite ends it with a message naming where (engine/finite_results.h).
class AdjustmentSolver;
Status RunAdjustmentTail(AdjustmentOutput& output, const CalcOptions& options, const ProgressSink& progress,
                         AdjustmentSolver& solver, const NetworkModel* network,
                         const std::vector<ReportStep>& reports, const ReportBuiltStep& reportBuilt);

}  // namespace korvo
