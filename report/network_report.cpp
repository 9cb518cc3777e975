#include "report/network_report.h"

#include "common/constants.h"
#include "common/text.h"
#include "common/win1252.h"
#include "report/number_column.h"

namespace korvo {

namespace {

constexpr int kTableDecimals = 4;
constexpr int kMatrixDecimals = 9;
constexpr int kEstimatorDecimals = 9;
constexpr std::size_t kObservationLabelWidth = 20;
constexpr std::size_t kBaselineEndsWidth = 16;  // after "GPS "
constexpr std::size_t kNumberLabelWidth = 9;

const std::string kCrLfText(kCrLf);

int Length(const std::string& text) { return static_cast<int>(text.size()); }

// The four columns of a table row: value, deviation, ten blanks, adjusted value, deviation.
void AppendFourColumns(TextBuilder& out, double value, double sigma, double adjusted,
                       double adjustedSigma) {
  AppendNumberColumn(out, value, kTableDecimals);
  out << "  ";
  AppendNumberColumn(out, sigma, kTableDecimals);
  out << "          ";
  AppendNumberColumn(out, adjusted, kTableDecimals);
  out << "  ";
  AppendNumberColumn(out, adjustedSigma, kTableDecimals);
}

void AppendResidualTable(TextBuilder& out, const NetworkModel& network,
                         const LeastSquaresResults& ls) {
  out << "                    " << "RESIDUO(m/cc)" << " " << Cp1252(" DESV.TÍPICA") << "      "
      << "  COMPENSADO(m/g) " << Cp1252(" DESV.TÍPICA") << kCrLf;

  const int classicalCount = static_cast<int>(network.classical.size());
  for (int i = 1; i <= classicalCount; ++i) {
    const ClassicalObservation& observation = network.classical[static_cast<std::size_t>(i - 1)];
    const std::string label = ObservationTypeKeyword(observation.type) + " " +
                              VertexNumberText(observation.from) + "-" +
                              VertexNumberText(observation.to);
    out << PadRight(label, kObservationLabelWidth);
    // Angles: the adjusted deviation is printed in gons like the adjusted value.
    const bool angular = observation.type != ObservationType::Distance;
    const double adjustedSigma =
        angular ? ls.sigmaAdjustedObs[i] / kCcPerGon : ls.sigmaAdjustedObs[i];
    AppendFourColumns(out, ls.residuals[i], ls.sigmaResiduals[i], ls.adjustedObservations[i],
                      adjustedSigma);
    out << "  " << kCrLf;
  }

  const int baselineCount = static_cast<int>(network.baselines.size());
  for (int b = 1; b <= baselineCount; ++b) {
    const GpsBaseline& baseline = network.baselines[static_cast<std::size_t>(b - 1)];
    const std::string ends = VertexNumberText(baseline.from) + "-" + VertexNumberText(baseline.to);
    for (int component = 1; component <= 3; ++component) {
      const int row = classicalCount + 3 * (b - 1) + component;
      if (component == 1) {
        out << "GPS " << PadRight(ends, kBaselineEndsWidth);
      } else {
        out << "                    ";
      }
      AppendFourColumns(out, ls.residuals[row], ls.sigmaResiduals[row],
                        ls.adjustedObservations[row], ls.sigmaAdjustedObs[row]);
      out << "  " << kCrLf;
    }
  }
}

void AppendUnitWeightEstimators(TextBuilder& out, const LeastSquaresResults& ls) {
  out << kCrLf << kCrLf << "Estimador de la varianza de la medida de peso unidad: "
      << CutNumberText(ls.sigmaZero * ls.sigmaZero, kEstimatorDecimals);
  out << kCrLf << Cp1252("Estimador de la desviación típica de la medida de peso unidad: ")
      << CutNumberText(ls.sigmaZero, kEstimatorDecimals);
}

// Positions of the unknowns (1-based), in the order the system's columns follow: the
// coordinates of the unknown vertices, the refraction coefficients, the deflection pairs and
// the orientation unknowns.
struct UnknownLayout {
  int coordinateColumns = 0;  // 3u
  int refractionColumns = 0;  // r
  int deflectionColumns = 0;  // 2d
};

UnknownLayout LayoutOf(const NetworkModel& network, const ObservationSystem& system) {
  UnknownLayout layout;
  for (const NetworkVertex& vertex : network.vertices) {
    if (vertex.IsUnknown()) layout.coordinateColumns += 3;
    if (vertex.deflectionUnknown) layout.deflectionColumns += 2;
  }
  layout.refractionColumns = system.refractionUnknownCount;
  return layout;
}

void AppendCorrectionTable(TextBuilder& out, const NetworkModel& network,
                           const CalcOptions& options, const ObservationSystem& system,
                           const LeastSquaresResults& ls) {
  out << kCrLf << kCrLf << kCrLf << kCrLf;
  out << "          " << Cp1252("CORRECCIÓN(m/cc)") << " " << Cp1252("DESV.TÍPICA") << "       "
      << " COMPENSADO(m/g)" << "  " << Cp1252("DESV.TÍPICA") << kCrLf;

  const UnknownLayout layout = LayoutOf(network, system);

  // Coordinates of the unknown vertices: approximate value plus correction.
  int unknownVertex = 0;
  for (const NetworkVertex& vertex : network.vertices) {
    if (!vertex.IsUnknown()) continue;
    ++unknownVertex;
    const std::string number = PadRight(VertexNumberText(vertex.number), kNumberLabelWidth);
    const double approximate[3] = {vertex.xM, vertex.yM, vertex.zM};
    const char* const labels[3] = {"  X", "  Y", "  Z"};
    for (int axis = 0; axis < 3; ++axis) {
      const int k = 3 * unknownVertex - 2 + axis;
      out << labels[axis] << number;
      AppendFourColumns(out, ls.corrections[k], ls.sigmaParameters[k],
                        approximate[axis] + ls.corrections[k], ls.sigmaParameters[k]);
      out << "  " << kCrLf;
    }
  }

  // Refraction coefficients: the correction is the estimated coefficient itself.
  if (!options.fixedRefraction && network.zenithCount > 0) {
    if (options.singleRefractionUnknown) {
      const int k = layout.coordinateColumns + 1;
      out << "  k" << "        ";
      AppendFourColumns(out, ls.corrections[k], ls.sigmaParameters[k], ls.corrections[k],
                        ls.sigmaParameters[k]);
      out << "  " << kCrLf;
    } else {
      for (int j = 1; j <= system.refractionUnknownCount; ++j) {
        const std::string from = VertexNumberText(system.refractionLines[static_cast<std::size_t>(j - 1)].fromNumber);
        const std::string to = VertexNumberText(system.refractionLines[static_cast<std::size_t>(j - 1)].toNumber);
        const int k = layout.coordinateColumns + j;
        out << "  k";
        AppendWithFill(out, from + "-" + to, 9 - Length(from) - Length(to));
        AppendFourColumns(out, ls.corrections[k], ls.sigmaParameters[k], ls.corrections[k],
                          ls.sigmaParameters[k]);
        out << kCrLf;
      }
    }
  }

  // Deflection of the vertical: cc, adjusted value in gons.
  const int deflectionBase = layout.coordinateColumns + layout.refractionColumns;
  int deflectionVertex = 0;
  for (const NetworkVertex& vertex : network.vertices) {
    if (!vertex.deflectionUnknown) continue;
    ++deflectionVertex;
    const std::string number = VertexNumberText(vertex.number);
    const char* const labels[2] = {"  D.V.EW", "  D.V.NS"};
    for (int component = 0; component < 2; ++component) {
      const int k = deflectionBase + 2 * deflectionVertex - 1 + component;
      AppendWithFill(out, labels[component] + number, 4 - Length(number));
      AppendFourColumns(out, ls.corrections[k], ls.sigmaParameters[k],
                        ls.corrections[k] / kCcPerGon, ls.sigmaParameters[k] / kCcPerGon);
      out << kCrLf;
    }
  }

  // Orientation unknowns: one per station whose orientation is unknown, at its own column.
  const int orientationBase = deflectionBase + layout.deflectionColumns;
  int orientation = 0;
  if (network.directionCount > 0) {
    for (std::size_t v = 0; v < network.vertices.size(); ++v) {
      if (system.orientationStatus[v] != OrientationStatus::Unknown) continue;
      ++orientation;
      const int k = orientationBase + orientation;
      const std::string number = VertexNumberText(network.vertices[v].number);
      AppendWithFill(out, "  dDes" + number, 6 - Length(number));
      AppendFourColumns(out, ls.corrections[k], ls.sigmaParameters[k],
                        system.approxOrientationGon[v] + ls.corrections[k] / kCcPerGon,
                        ls.sigmaParameters[k] / kCcPerGon);
      out << kCrLf;
    }
  }
}

void AppendMatrixSection(TextBuilder& out, const std::string& title, const Matrix& matrix,
                         int order) {
  out << kCrLf << kCrLf << title << kCrLf << kCrLf;
  for (int i = 1; i <= order; ++i) {
    for (int j = 1; j <= order; ++j) {
      AppendNumberColumn(out, matrix(i, j), kMatrixDecimals, /*commaToPoint=*/true);
      out << "  ";
    }
    out << kCrLf;
  }
}

void AppendReliabilityTable(TextBuilder& out, const LeastSquaresResults& ls, int rows) {
  out << kCrLf << kCrLf << kCrLf << "FIABILIDAD" << kCrLf << kCrLf;
  out << "  Observable " << "  " << "    Residuo " << "  " << " Vble.Baarda" << "  "
      << " Redundancia" << "  " << Cp1252("Mín.Error D.") << "  " << " Hom.interna" << "  "
      << " Hom.externa" << kCrLf;
  for (int i = 1; i <= rows; ++i) {
    out << "     " << PadRight(std::to_string(i), kNumberLabelWidth);
    const double values[6] = {ls.residuals[i],         ls.baardaStatistic[i],
                              ls.redundancy[i],        ls.minDetectableError[i],
                              ls.internalReliability[i], ls.externalReliability[i]};
    for (double value : values) {
      AppendNumberColumn(out, value, kTableDecimals);
      out << "  ";
    }
    out << kCrLf;
  }
}

void AppendExternalReliabilityVectors(TextBuilder& out, const LeastSquaresResults& ls,
                                      int observations, int unknowns) {
  out << kCrLf << kCrLf << "Vectores de fiabilidad externa" << kCrLf << kCrLf;
  out << Cp1252("Parámetro  ");
  for (int j = 1; j <= observations; ++j) {
    out << "Observ." << PadLeft(std::to_string(j), 5) << "   ";
  }
  out << kCrLf;
  for (int i = 1; i <= unknowns; ++i) {
    out << "  " << PadRight(std::to_string(i), kNumberLabelWidth);
    for (int j = 1; j <= observations; ++j) {
      AppendNumberColumn(out, ls.externalReliabilityVectors(i, j), kTableDecimals,
                         /*commaToPoint=*/true);
      out << "  ";
    }
    out << kCrLf;
  }
}

// A rough size of the report, so the text is allocated once: the three matrices and the
// vectors dominate with 14 characters per cell.
std::size_t ExpectedReportBytes(int n, int m, ReportForm form) {
  const auto nn = static_cast<std::size_t>(n);
  const auto mm = static_cast<std::size_t>(m);
  const std::size_t perLine = 100 * (nn + mm) + 4096;
  return form == ReportForm::Compact ? perLine : 14 * (mm * mm + 2 * nn * nn + mm * nn) + perLine;
}

}  // namespace

std::string BuildNetworkReport(const NetworkModel& network, const CalcOptions& options,
                               const ObservationSystem& system, const LeastSquaresResults& ls, ReportForm form) {
  const int n = system.numEquations;
  const int m = system.numUnknowns;
  TextBuilder out(ExpectedReportBytes(n, m, form));
  out << kCrLf << kCrLf << kCrLf << kCrLf << Cp1252("RESULTADOS DEL AJUSTE POR MÍNIMOS CUADRADOS")
      << kCrLf << kCrLf;
  AppendResidualTable(out, network, ls);
  AppendUnitWeightEstimators(out, ls);
  AppendCorrectionTable(out, network, options, system, ls);
  if (form == ReportForm::Compact) {
    AppendReliabilityTable(out, ls, n);
    return std::move(out).str();
  }
  AppendMatrixSection(out, Cp1252("MATRIZ VARIANZA-COVARIANZA DE PARÁMETROS"), ls.Cxx, m);
  AppendMatrixSection(out, "MATRIZ VARIANZA-COVARIANZA DE OBSERVABLES COMPENSADOS", ls.CllHat, n);
  AppendMatrixSection(out, "MATRIZ VARIANZA-COVARIANZA DE RESIDUOS", ls.Cvv, n);
  AppendReliabilityTable(out, ls, n);
  AppendExternalReliabilityVectors(out, ls, n, m);
  return std::move(out).str();
}

}  // namespace korvo
