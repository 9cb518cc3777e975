#pragma once
// Options that steer the adjustment. They are set to these defaults when the main window
// starts, changed only through the options dialog and never written to disk.

#include <cstdint>

namespace korvo {

// Which results report Calcular writes: the full one (every matrix printed), the compact one
// (per parameter and per row only), or, on the command line, whichever fits in memory.
enum class ReportForm { Full, Compact, Auto };

struct CalcOptions {
  bool fixedRefraction = false;          // true: zenith rows use refractionK; false: estimated
  bool singleRefractionUnknown = false;  // with estimated refraction: one unknown for the network
  double refractionK = 0.08;             // fixed refraction coefficient ("Aplicar valor K =")
  bool applyGpsStationErrors = true;     // take centering and antenna-height errors into GPS weights
  double centeringStdDevM = 0.005;       // "Error en estacionamiento (m.)"
  float antennaHeightStdDevM = 0.01f;    // "Error en altura de antena (m.)", single precision
  bool useLeastSquares = true;           // always true
  bool useHuber = true;
  bool useL1 = true;
  bool useLp = true;
  std::int16_t maxIterL1 = 10;
  std::int16_t maxIterLp = 10;
  ReportForm reportForm = ReportForm::Full;  // "Informe de resultados: completo / compacto"
};

}  // namespace korvo
