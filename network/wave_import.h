#pragma once
// GPS baselines taken in bulk from the text report of the WAVE baseline processor written with
// the "Sumario Detallado" (detailed summary) option.
//
// The report is read only through three labels, one counted word and fixed distances:
//   - every occurrence of "Aposteriori" stands for one baseline;
//   - the first vertex number is read 15 bytes after "From Station:", the second 13 bytes
//     after "To Station:" (the number at the start of the station identifier; an identifier
//     that does not begin with a digit is refused, naming it and its baseline);
//   - from the "B" of "Baseline Components", 16-byte fields hold DX, DY, DZ at 56, 78, 101
//     and the a-posteriori covariance block, a lower triangle row by row, at
//     776 (xx), 850 (yx), 872 (yy), 946 (zx), 968 (zy), 991 (zz);
//   - the next baseline is searched from 200 bytes after that "B".
// Each label is searched after the one before it, so reading a report is linear in its size.
// The layout is checked before anything is read: "dX =", "dY =", "dZ =" and the row labels
// X, Y, Z of the covariance block (5 bytes before its first column) must stand at their
// distances from that "B", and every
// 16-byte field must hold one number and blanks; a cut or shifted report stops the import
// at the baseline concerned, named with its stations.
// Each covariance element (m²) is rounded to 7 decimals; the components (m) are kept as read.
// Each baseline becomes one three-line GPS block of the project file, appended to the GPS
// section text, so the import never touches the network tables: they follow at the next load.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace korvo {

// One baseline as read from the report.
struct WaveBaseline {
  std::int16_t from = 0;
  std::int16_t to = 0;
  double dxM = 0.0, dyM = 0.0, dzM = 0.0;
  // Upper triangle of the symmetric covariance matrix, m², rounded to 7 decimals.
  double cxx = 0.0, cxy = 0.0, cxz = 0.0, cyy = 0.0, cyz = 0.0, czz = 0.0;
};

// What an import did. The blocks appended before a failure stay in the GPS text, as they do in
// the entry window's list; `failure` then holds the message to show (Windows-1252).
struct WaveImportOutcome {
  int baselinesInReport = 0;  // occurrences of "Aposteriori"
  int blocksAppended = 0;
  bool failed = false;
  std::string failure;
};

// Number of baselines the report announces (occurrences of "Aposteriori").
int CountWaveBaselines(std::string_view reportText);

// Reads baseline `index` (0-based) starting the label searches at `searchFrom`; on success
// `searchFrom` moves 200 bytes past "Baseline Components". Fails with a Spanish message when a
// label is missing or a vertex number does not fit a 16-bit integer, or when a covariance
// element is too large for its 7-decimal rounding.
Result<WaveBaseline> ReadWaveBaseline(std::string_view reportText, std::size_t& searchFrom, int index);

// The three-line GPS block of a baseline: vertex numbers as integer text, every other value
// as the general numeric text of the double ("1.2E-06"). Fails when a text is wider than its
// column.
Result<std::string> WaveBaselineBlock(const WaveBaseline& baseline);

// Appends one GPS block per baseline of the report text to `gpsListText`. After all blocks
// are appended every "," of the whole GPS text becomes "." (numbers written under a
// decimal-comma convention become decimal-point numbers). On a failure the import stops;
// the blocks appended so far stay.
WaveImportOutcome ImportWaveReportText(std::string_view reportText, std::string& gpsListText);

// ImportWaveReportText over the whole content of a report file; a read failure appends
// nothing and reports the file's name and the system's description of the error.
WaveImportOutcome ImportWaveReport(const std::string& reportPath, std::string& gpsListText);

}  // namespace korvo
