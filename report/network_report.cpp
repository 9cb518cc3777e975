#include "report/network_report.h"

#include "common/constants.h"
#include "common/text.h"
#include "common/win1252.h"
#include "report/number_column.h"
#include "report/precision_sections.h"

namespace korvo {

namespace {

constexpr int kTableDecimals = 4;
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
    const auto at = static_cast<std::size_t>(i);
    const double adjustedSigma =
        angular ? ls.sigmaAdjustedObs[at] / kCcPerGon : ls.sigmaAdjustedObs[at];
    AppendFourColumns(out, ls.residuals[at], ls.sigmaResiduals[at], ls.adjustedObservations[at],
                      adjustedSigma);
    out << "  " << kCrLf;
  }

  const int baselineCount = static_cast<int>(network.baselines.size());
  for (int b = 1; b <= baselineCount; ++b) {
    const GpsBaseline& baseline = network.baselines[static_cast<std::size_t>(b - 1)];
    const std::string ends = VertexNumberText(baseline.from) + "-" + VertexNumberText(baseline.to);
    for (int component = 1; component <= 3; ++component) {
      const auto row = static_cast<std::size_t>(classicalCount + 3 * (b - 1) + component);
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

// One row per unknown, in column order (engine/unknown_layout.h): the correction and its
// deviation, then the adjusted value and its deviation (coordinates: approximate value plus
// correction; refraction: the coefficient itself; deflections in gons; orientations: the
// approximate orientation plus the correction, in gons).
void AppendCorrectionTable(TextBuilder& out, const ObservationSystem& system, const LeastSquaresResults& ls) {
  out << kCrLf << kCrLf << kCrLf << kCrLf;
  out << "          " << Cp1252("CORRECCIÓN(m/cc)") << " " << Cp1252("DESV.TÍPICA") << "       "
      << " COMPENSADO(m/g)" << "  " << Cp1252("DESV.TÍPICA") << kCrLf;

  const UnknownLayout& layout = system.layout;
  for (int k = 1; k <= layout.Count(); ++k) {
    const SystemUnknown& u = layout[k];
    const double correction = ls.corrections[static_cast<std::size_t>(k)];
    const double sigma = ls.sigmaParameters[static_cast<std::size_t>(k)];
    const std::string number = VertexNumberText(u.vertexNumber);
    switch (u.kind) {
      case UnknownKind::CoordinateX:
      case UnknownKind::CoordinateY:
      case UnknownKind::CoordinateZ: {
        const char* const label =
            u.kind == UnknownKind::CoordinateX ? "  X" : (u.kind == UnknownKind::CoordinateY ? "  Y" : "  Z");
        out << label << PadRight(number, kNumberLabelWidth);
        AppendFourColumns(out, correction, sigma, u.approximateValue + correction, sigma);
        out << "  " << kCrLf;
        break;
      }
      case UnknownKind::RefractionNetwork:
        out << "  k" << "        ";
        AppendFourColumns(out, correction, sigma, correction, sigma);
        out << "  " << kCrLf;
        break;
      case UnknownKind::RefractionLine: {
        const RefractionLine& line = layout.refractionLines[static_cast<std::size_t>(u.refractionLine - 1)];
        const std::string from = VertexNumberText(line.fromNumber);
        const std::string to = VertexNumberText(line.toNumber);
        out << "  k";
        AppendWithFill(out, from + "-" + to, 9 - Length(from) - Length(to));
        AppendFourColumns(out, correction, sigma, correction, sigma);
        out << kCrLf;
        break;
      }
      case UnknownKind::DeflectionEw:
      case UnknownKind::DeflectionNs:
        AppendWithFill(out, (u.kind == UnknownKind::DeflectionEw ? "  D.V.EW" : "  D.V.NS") + number,
                       4 - Length(number));
        AppendFourColumns(out, correction, sigma, correction / kCcPerGon, sigma / kCcPerGon);
        out << kCrLf;
        break;
      case UnknownKind::Orientation:
        AppendWithFill(out, "  dDes" + number, 6 - Length(number));
        AppendFourColumns(out, correction, sigma,
                          system.approxOrientationGon[static_cast<std::size_t>(u.vertex)] + correction / kCcPerGon,
                          sigma / kCcPerGon);
        out << kCrLf;
        break;
      case UnknownKind::Imported: break;
    }
  }
}

}  // namespace

std::string BuildNetworkReport(const NetworkModel& network, const ObservationSystem& system,
                               const LeastSquaresResults& ls, ReportForm form) {
  const int n = system.numEquations;
  const int m = system.numUnknowns;
  TextBuilder out(PrecisionSectionsBytes(n, m, form));
  out << kCrLf << kCrLf << kCrLf << kCrLf << Cp1252("RESULTADOS DEL AJUSTE POR MÍNIMOS CUADRADOS")
      << kCrLf << kCrLf;
  AppendResidualTable(out, network, ls);
  AppendUnitWeightEstimators(out, ls);
  AppendCorrectionTable(out, system, ls);
  AppendPrecisionSections(out, ls, n, m, NetworkPrecisionStyle(), form);
  return std::move(out).str();
}

}  // namespace korvo
