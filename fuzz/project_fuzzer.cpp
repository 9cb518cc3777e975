// libFuzzer entry over a project file through the whole adjustment: the loader's scan and
// checks, the section splitter, then, for a network small enough to adjust quickly, the
// adjustment with its report. Any input must end in a model and results or in a message:
// never a crash, undefined behaviour, an empty message or a report holding a number that is
// not finite. Built and run by scripts/fuzz.sh.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/adjustment_driver.h"
#include "network/load_network.h"
#include "network/project_file.h"
#include "network/project_state.h"
#include "network/validate_network.h"

namespace {

// Larger networks are left to the scan: the dense report is O(n²) per run.
constexpr std::size_t kMaxRowsToAdjust = 60;

bool HasNonFiniteText(const std::string& text) {
  return text.find("nan") != std::string::npos || text.find("NaN") != std::string::npos ||
         text.find("inf") != std::string::npos || text.find("Inf") != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const korvo::Result<korvo::NetworkModel> model = korvo::LoadNetworkFromText(text);
  if (!model.ok() && model.error().empty()) std::abort();

  const korvo::ProjectSections sections = korvo::SplitProjectText(text);
  if (!sections.titlesFound &&
      (!sections.vertexListText.empty() || !sections.classicalListText.empty() || !sections.gpsListText.empty())) {
    std::abort();
  }

  // The values as a project file is checked when loaded, then the whole adjustment.
  if (!model.ok() || !korvo::CheckNetworkValues(*model).ok() || model->classical.size() + 3 * model->baselines.size() > kMaxRowsToAdjust) return 0;
  korvo::CalcOptions options;
  options.useHuber = (size & 1) != 0;  // vary the options a little with the input
  options.fixedRefraction = (size & 2) != 0;
  options.singleRefractionUnknown = (size & 4) != 0;
  korvo::ProjectState state;
  state.projectText = std::string(text);
  const korvo::Result<korvo::AdjustmentOutput> adjusted =
      korvo::RunAdjustment(*model, options, state, korvo::ProgressSink{});
  if (!adjusted.ok()) {
    if (adjusted.error().empty()) std::abort();
    return 0;
  }
  // The report's own words hold no "inf"/"nan"; the project text printed before it may.
  if (HasNonFiniteText(adjusted->lsResultsText) || HasNonFiniteText(adjusted->robustComparisonText)) std::abort();
  return 0;
}
