#include "report/comparison_report.h"

#include <vector>

#include "common/numbers.h"
#include "common/text.h"
#include "common/win1252.h"
#include "engine/format_rounded.h"
#include "report/number_column.h"

namespace korvo {
namespace {

constexpr int kResidualDecimals = 3;
constexpr int kScaleDecimals = 6;

// len(Str(x)): the number's text with its leading blank (digits plus one for x ≥ 0).
int StrLength(double number) { return static_cast<int>(NumberTextWithBlank(number).size()); }

// The estimators that ran, in report order.
std::vector<const RobustEstimate*> SelectedColumns(const RobustResults& robust) {
  std::vector<const RobustEstimate*> columns;
  if (robust.huber) columns.push_back(&*robust.huber);
  if (robust.lp) columns.push_back(&*robust.lp);
  if (robust.l1) columns.push_back(&*robust.l1);
  return columns;
}

void AppendValue(TextBuilder& out, double value, int decimals) {
  AppendNumberColumn(out, value, decimals);
  out << "  ";
}

void AppendResidualRow(TextBuilder& out, const LeastSquaresResults& ls,
                       const std::vector<const RobustEstimate*>& columns, int row) {
  AppendValue(out, ls.residuals[static_cast<std::size_t>(row)], kResidualDecimals);
  for (const RobustEstimate* estimate : columns)
    AppendValue(out, estimate->residuals[static_cast<std::size_t>(row)], kResidualDecimals);
  out << kCrLf;
}

// `lastWithoutGap`: the deflection and orientation rows of a network do not put the two
// blanks after the L1 value.
void AppendCorrectionRow(TextBuilder& out, const LeastSquaresResults& ls, const RobustResults& robust,
                         const std::vector<const RobustEstimate*>& columns, int k, bool lastWithoutGap = false) {
  AppendValue(out, ls.corrections[static_cast<std::size_t>(k)], kResidualDecimals);
  for (const RobustEstimate* estimate : columns) {
    if (lastWithoutGap && robust.l1 && estimate == &*robust.l1) {
      AppendNumberColumn(out, estimate->corrections[static_cast<std::size_t>(k)], kResidualDecimals);
    } else {
      AppendValue(out, estimate->corrections[static_cast<std::size_t>(k)], kResidualDecimals);
    }
  }
  out << kCrLf;
}

void AppendTitleAndResidualHeading(TextBuilder& out, ComparisonVariant variant, const RobustResults& robust) {
  out << kCrLf << kCrLf << kCrLf << kCrLf << kCrLf
      << Cp1252("COMPARACIÓN DE RESULTADOS POR MÍNIMOS CUADRADOS Y MÉTODOS DE ESTIMACIÓN ROBUSTA") << kCrLf << kCrLf;
  out << (variant == ComparisonVariant::Network ? Cp1252(" Observación        ") : Cp1252(" Observación    "));
  out << "  " << "Residuo M.C." << "  ";
  if (robust.huber) out << "Residuo Huber" << " ";
  if (robust.lp) out << "  Residuo Lp " << " ";
  if (robust.l1) out << "  Residuo L1 " << " ";
  out << kCrLf;
}

void AppendNetworkResidualRows(TextBuilder& out, const NetworkModel& network, const LeastSquaresResults& ls, const std::vector<const RobustEstimate*>& columns) {
  int row = 0;
  for (const ClassicalObservation& observation : network.classical) {
    ++row;
    const std::string& type = ObservationTypeKeyword(observation.type);
    AppendWithFill(out, type + " " + VertexNumberText(observation.from) + "-" + VertexNumberText(observation.to),
                   19 - static_cast<int>(type.size()) - StrLength(observation.from) - StrLength(observation.to));
    AppendResidualRow(out, ls, columns, row);
  }
  for (const GpsBaseline& baseline : network.baselines) {
    for (int component = 1; component <= 3; ++component) {
      ++row;
      if (component == 1) {
        AppendWithFill(out, "GPS" + VertexNumberText(baseline.from) + "-" + VertexNumberText(baseline.to),
                       17 - StrLength(baseline.from) - StrLength(baseline.to));
      } else {
        out << std::string(19, ' ');
      }
      AppendResidualRow(out, ls, columns, row);
    }
  }
}

void AppendImportedResidualRows(TextBuilder& out, const ObservationSystem& system, const LeastSquaresResults& ls,
                                const std::vector<const RobustEstimate*>& columns) {
  for (int i = 1; i <= system.numEquations; ++i) {
    out << "     ";
    AppendWithFill(out, ShortNumberText(i), 14 - StrLength(i));
    AppendResidualRow(out, ls, columns, i);
  }
}

void AppendScaleRow(TextBuilder& out, ComparisonVariant variant, const LeastSquaresResults& ls,
                    const std::vector<const RobustEstimate*>& columns) {
  out << kCrLf << "D.T.medida peso 1 " << "  ";
  const std::size_t leastSquaresWidth = variant == ComparisonVariant::Network ? 12 : 14;
  out << PadLeft(CutNumberText(ls.sigmaZero, kScaleDecimals), leastSquaresWidth) << "  ";
  for (const RobustEstimate* estimate : columns) AppendValue(out, estimate->sigma, kScaleDecimals);
  out << kCrLf;
}

void AppendParameterHeading(TextBuilder& out, ComparisonVariant variant, const RobustResults& robust) {
  const bool network = variant == ComparisonVariant::Network;
  out << kCrLf << kCrLf;
  if (!network) out << kCrLf;
  out << (network ? Cp1252("  Parámetro  ") : Cp1252(" Parámetro  ")) << "  " << " Valor M.C. " << "  ";
  if (robust.huber) out << " Valor Huber " << " ";
  if (robust.lp) out << "  Valor Lp  " << " ";
  if (robust.l1) out << (network ? "  Valor L1  " : "   Valor L1  ") << " ";
  out << kCrLf;
}

// One row per unknown, in column order (engine/unknown_layout.h).
void AppendNetworkParameterRows(TextBuilder& out, const ObservationSystem& system, const LeastSquaresResults& ls,
                                const RobustResults& robust, const std::vector<const RobustEstimate*>& columns) {
  const UnknownLayout& layout = system.layout;
  for (int k = 1; k <= layout.Count(); ++k) {
    const SystemUnknown& u = layout[k];
    const std::string number = VertexNumberText(u.vertexNumber);
    switch (u.kind) {
      case UnknownKind::CoordinateX:
      case UnknownKind::CoordinateY:
      case UnknownKind::CoordinateZ: {
        const char* const label =
            u.kind == UnknownKind::CoordinateX ? "  X" : (u.kind == UnknownKind::CoordinateY ? "  Y" : "  Z");
        AppendWithFill(out, label + number, 9 - StrLength(u.vertexNumber));
        AppendCorrectionRow(out, ls, robust, columns, k);
        break;
      }
      case UnknownKind::RefractionNetwork:
        out << "  k" << std::string(9, ' ');
        AppendCorrectionRow(out, ls, robust, columns, k);
        break;
      case UnknownKind::RefractionLine: {
        const RefractionLine& line = layout.refractionLines[static_cast<std::size_t>(u.refractionLine - 1)];
        AppendWithFill(out, "  k" + VertexNumberText(line.fromNumber) + "-" + VertexNumberText(line.toNumber),
                       9 - StrLength(line.fromNumber) - StrLength(line.toNumber));
        AppendCorrectionRow(out, ls, robust, columns, k);
        break;
      }
      case UnknownKind::DeflectionEw:
      case UnknownKind::DeflectionNs:
        AppendWithFill(out, (u.kind == UnknownKind::DeflectionEw ? "  D.V.EW" : "  D.V.NS") + number,
                       4 - StrLength(u.vertexNumber));
        AppendCorrectionRow(out, ls, robust, columns, k, true);
        break;
      case UnknownKind::Orientation:
        AppendWithFill(out, "  dDes" + number, 6 - StrLength(u.vertexNumber));
        AppendCorrectionRow(out, ls, robust, columns, k, true);
        break;
      case UnknownKind::Imported: break;
    }
  }
}

void AppendImportedParameterRows(TextBuilder& out, const ObservationSystem& system, const LeastSquaresResults& ls,
                                 const RobustResults& robust, const std::vector<const RobustEstimate*>& columns) {
  for (int k = 1; k <= system.numUnknowns; ++k) {
    out << "    ";
    AppendWithFill(out, NumberTextWithBlank(k), 8 - StrLength(k));
    AppendCorrectionRow(out, ls, robust, columns, k);
  }
}

void AppendLeftOut(TextBuilder& out, const RobustResults& robust, RobustMethod method) {
  for (const LeftOutEstimator& left : robust.leftOut)
    if (left.method == method) out << LeftOutSentence(method, left.reason) << kCrLf;
}

void AppendClosing(TextBuilder& out, const RobustResults& robust) {
  out << kCrLf << kCrLf;
  if (robust.huber && robust.huber->iterationLimitReached) out << HuberIterationLimitSentence() << kCrLf;
  AppendLeftOut(out, robust, RobustMethod::Huber);
  if (robust.lp) {
    if (robust.lp->iterationLimitReached) out << LpIterationLimitSentence() << kCrLf;
    out << LpKurtosisSentence() << FormatRounded(robust.lp->kurtosis, kScaleDecimals) << kCrLf;
  }
  AppendLeftOut(out, robust, RobustMethod::Lp);
  if (robust.l1 && robust.l1->iterationLimitReached) out << L1IterationLimitSentence() << kCrLf;
  AppendLeftOut(out, robust, RobustMethod::L1);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// One line of a message without the blanks and the exclamation marks around it. "¡" is byte
// 0xA1 in Windows-1252.
std::string TrimmedLine(std::string_view line) {
  const auto isEdge = [](char c) { return IsBlank(c) || c == '!' || c == '\xA1'; };
  while (!line.empty() && isEdge(line.front())) line.remove_prefix(1);
  while (!line.empty() && isEdge(line.back())) line.remove_suffix(1);
  return std::string(line);
}

std::string ReasonOnOneLine(const std::string& message) {
  std::string reason;
  for (const std::string_view rawLine : SplitLines(message)) {
    std::string line = TrimmedLine(rawLine);
    if (line.empty()) continue;
    if (!reason.empty()) {
      const char last = reason.back();
      if (last != '.' && last != ':' && last != ';' && last != ',') reason += '.';
      reason += ' ';
    }
    reason += line;
  }
  return reason;
}

}  // namespace

const std::string& HuberIterationLimitSentence() {
  static const std::string text =
      Cp1252("El estimador de Huber alcanzó el número máximo de iteraciones sin convergencia");
  return text;
}

const std::string& LpIterationLimitSentence() {
  static const std::string text =
      Cp1252("El método de mínimas normas Lp adaptadas alcanzó el número máximo de iteraciones sin convergencia");
  return text;
}

const std::string& LpKurtosisSentence() {
  static const std::string text =
      Cp1252("El método de mínimas normas Lp adaptadas determinó que la distribución estadística subyacente tiene un "
             "parámetro de curtosis beta2 =");
  return text;
}

const std::string& L1IterationLimitSentence() {
  static const std::string text =
      Cp1252("El método mínima norma L1 alcanzó el número máximo de iteraciones sin convergencia");
  return text;
}

std::string LeftOutSentence(RobustMethod method, const std::string& failureMessage) {
  std::string head;
  switch (method) {
    case RobustMethod::Huber:
      head = "El estimador de Huber";
      break;
    case RobustMethod::Lp:
      head = Cp1252("El método de mínimas normas Lp adaptadas");
      break;
    case RobustMethod::L1:
      head = Cp1252("El método mínima norma L1");
      break;
  }
  return head + " no pudo calcularse: " + ReasonOnOneLine(failureMessage);
}

std::string BuildComparisonSection(ComparisonVariant variant, const NetworkModel& network,
                                   const ObservationSystem& system, const LeastSquaresResults& ls,
                                   const RobustResults& robust) {
  if (!robust.AnySelected()) return {};
  const std::vector<const RobustEstimate*> columns = SelectedColumns(robust);
  const auto n = static_cast<std::size_t>(system.numEquations);
  const auto m = static_cast<std::size_t>(system.numUnknowns);
  TextBuilder out((n + m) * (20 + 14 * (columns.size() + 1) + 2) + 1024);

  AppendTitleAndResidualHeading(out, variant, robust);
  if (variant == ComparisonVariant::Network) {
    AppendNetworkResidualRows(out, network, ls, columns);
  } else {
    AppendImportedResidualRows(out, system, ls, columns);
  }
  AppendScaleRow(out, variant, ls, columns);
  AppendParameterHeading(out, variant, robust);
  if (variant == ComparisonVariant::Network) {
    AppendNetworkParameterRows(out, system, ls, robust, columns);
  } else {
    AppendImportedParameterRows(out, system, ls, robust, columns);
  }
  AppendClosing(out, robust);
  return std::move(out).str();
}

}  // namespace korvo
