#pragma once
// What the main window's text pane shows once an adjustment has produced its report.

#include <string>

namespace korvo {

// A report of this many bytes or more (header, least-squares and comparison parts together)
// is not shown in the pane; the results file still receives it whole.
inline constexpr std::size_t kReportDisplayLimit = 32000;

// The printed system is shown in the pane only while it is shorter than this. Every formed
// system with its project text reaches it, so in practice the printout never goes to the
// pane and the flag below is raised.
inline constexpr std::size_t kHeaderDisplayLimit = 64;

struct PaneUpdate {
  enum class Action {
    kUnchanged,  // the pane keeps what it shows
    kAppend,     // `text` is added after what the pane shows (the project text of the load)
    kReplace,    // the pane shows `text` alone
  };
  Action action = Action::kUnchanged;
  std::string text;          // Windows-1252
  std::string message;       // information message to show first, empty for none (Windows-1252)
  bool setProjectTooBig = false;
};

// The pane after a report: the first adjustment since the load appends the least-squares
// and comparison parts to the project text already shown; a later one replaces the pane with
// the whole report. A report of kReportDisplayLimit bytes or more leaves the pane as it is; on
// a later adjustment that is announced with a message and raises the project-too-big flag.
PaneUpdate PaneAfterAdjustment(int adjustmentRunCount, const std::string& headerText,
                               const std::string& lsResultsText,
                               const std::string& robustComparisonText);

// The message shown when a later adjustment's report is too long for the pane.
const std::string& ReportTooLongMessage();

}  // namespace korvo
