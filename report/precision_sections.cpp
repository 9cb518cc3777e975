#include "report/precision_sections.h"

#include <string>

#include "common/win1252.h"
#include "report/number_column.h"

namespace korvo {

namespace {

constexpr int kMatrixDecimals = 9;
constexpr int kEstimatorDecimals = 9;

void AppendMatrixSection(TextBuilder& out, const std::string& title, const Matrix& matrix, int order) {
  out << kCrLf << kCrLf << title << kCrLf << kCrLf;
  for (int i = 1; i <= order; ++i) {
    for (int j = 1; j <= order; ++j) {
      AppendNumberColumn(out, matrix(i, j), kMatrixDecimals, /*commaToPoint=*/true);
      out << "  ";
    }
    out << kCrLf;
  }
}

void AppendReliabilityTable(TextBuilder& out, const LeastSquaresResults& ls, int n,
                            const PrecisionSectionStyle& style) {
  out << kCrLf << kCrLf << kCrLf << "FIABILIDAD" << kCrLf << kCrLf;
  out << style.observableHead << "  " << style.residualHead << "  " << " Vble.Baarda" << "  " << " Redundancia"
      << "  " << Cp1252("Mín.Error D.") << "  " << " Hom.interna" << "  " << " Hom.externa" << kCrLf;
  for (int i = 1; i <= n; ++i) {
    const auto row = static_cast<std::size_t>(i);
    const std::string number = std::to_string(i);
    out << "     " << PadRight(style.observableLabelBlank ? " " + number : number, 9);
    out << PadLeft(CutNumberText(ls.residuals[row], style.decimals), style.residualWidth) << style.residualGap;
    for (double figure : {ls.baardaStatistic[row], ls.redundancy[row], ls.minDetectableError[row],
                          ls.internalReliability[row], ls.externalReliability[row]}) {
      AppendNumberColumn(out, figure, style.decimals);
      out << "  ";
    }
    out << kCrLf;
  }
}

void AppendExternalReliabilityVectors(TextBuilder& out, const LeastSquaresResults& ls, int n, int m,
                                      const PrecisionSectionStyle& style) {
  out << kCrLf << kCrLf << "Vectores de fiabilidad externa" << kCrLf << kCrLf;
  out << style.parameterHead;
  for (int j = 1; j <= n; ++j) out << "Observ." << PadLeft(std::to_string(j), style.observationHeadWidth) << "   ";
  out << kCrLf;
  for (int i = 1; i <= m; ++i) {
    out << "  " << PadRight(std::to_string(i), style.parameterLabelWidth);
    for (int j = 1; j <= n; ++j) {
      AppendNumberColumn(out, ls.externalReliabilityVectors(i, j), style.decimals, /*commaToPoint=*/true);
      out << "  ";
    }
    out << kCrLf;
  }
}

}  // namespace

const PrecisionSectionStyle& NetworkPrecisionStyle() {
  static const PrecisionSectionStyle style{4, "  Observable ", "    Residuo ", 12, "  ", false,
                                           Cp1252("Parámetro  "), 5, 9};
  return style;
}

const PrecisionSectionStyle& ImportedPrecisionStyle() {
  static const PrecisionSectionStyle style{9, " Observable ", "   Residuo    ", 14, "    ", true,
                                           Cp1252(" Parámetro "), 4, 8};
  return style;
}

void AppendUnitWeightEstimators(TextBuilder& out, const LeastSquaresResults& ls) {
  out << kCrLf << kCrLf << "Estimador de la varianza de la medida de peso unidad: "
      << CutNumberText(ls.sigmaZero * ls.sigmaZero, kEstimatorDecimals);
  out << kCrLf << Cp1252("Estimador de la desviación típica de la medida de peso unidad: ")
      << CutNumberText(ls.sigmaZero, kEstimatorDecimals);
}

void AppendPrecisionSections(TextBuilder& out, const LeastSquaresResults& ls, int n, int m,
                             const PrecisionSectionStyle& style) {
  AppendMatrixSection(out, Cp1252("MATRIZ VARIANZA-COVARIANZA DE PARÁMETROS"), ls.Cxx, m);
  AppendMatrixSection(out, "MATRIZ VARIANZA-COVARIANZA DE OBSERVABLES COMPENSADOS", ls.CllHat, n);
  AppendMatrixSection(out, "MATRIZ VARIANZA-COVARIANZA DE RESIDUOS", ls.Cvv, n);
  AppendReliabilityTable(out, ls, n, style);
  AppendExternalReliabilityVectors(out, ls, n, m, style);
}

std::size_t PrecisionSectionsBytes(int n, int m) {
  const auto nn = static_cast<std::size_t>(n);
  const auto mm = static_cast<std::size_t>(m);
  return 14 * (mm * mm + 2 * nn * nn + mm * nn) + 120 * (nn + mm) + 4096;
}

}  // namespace korvo
