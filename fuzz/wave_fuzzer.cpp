// libFuzzer entry over the WAVE baseline-report reader: any report ends in blocks or in a
// message naming the baseline, in time linear in its size (libFuzzer's -timeout catches a
// quadratic scan), and every block appended is a GPS block the project loader reads back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "network/load_network.h"
#include "network/wave_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view report(reinterpret_cast<const char*>(data), size);
  std::string gpsText;
  const korvo::WaveImportOutcome outcome = korvo::ImportWaveReportText(report, gpsText);
  if (outcome.blocksAppended > outcome.baselinesInReport) std::abort();
  if (outcome.failed == outcome.failure.empty()) std::abort();
  if (!outcome.failed && outcome.blocksAppended != outcome.baselinesInReport) std::abort();
  // The blocks are whole: the scan finds each one (its values may still be refused).
  const korvo::Result<korvo::NetworkModel> model = korvo::ScanProjectText(gpsText);
  if (model.ok() && model->GpsCount() != outcome.blocksAppended) std::abort();
  return 0;
}
