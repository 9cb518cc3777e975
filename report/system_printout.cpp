#include "report/system_printout.h"

#include "common/numbers.h"
#include "common/win1252.h"
#include "report/number_column.h"

namespace korvo {

namespace {

constexpr int kPrintoutDecimals = 9;

// The blank counts of the header parts are measured on the number as the general numeric
// text writes it, with its leading blank (a sign for negative numbers): one more than its
// digits. The number itself is written without that blank.
int WrittenLength(double number) { return static_cast<int>(NumberText(number, /*leadingBlank=*/true).size()); }

void AppendHeaderPart(TextBuilder& out, const char* head, double number, int field) {
  AppendWithFill(out, head + VertexNumberText(number), field - WrittenLength(number));
  out << "   ";
}

}  // namespace

void AppendSystemTitle(TextBuilder& out, const std::string& projectText) {
  out << projectText << kCrLf << kCrLf << kCrLf << Cp1252("SISTEMA DE ECUACIONES DE OBSERVACIÓN")
      << kCrLf << kCrLf;
}

void AppendSystemHeaderLine(TextBuilder& out, const NetworkModel& network,
                            const CalcOptions& options, const ObservationSystem& system) {
  for (const NetworkVertex& vertex : network.vertices) {
    if (!vertex.IsUnknown()) continue;
    AppendHeaderPart(out, "    dX", vertex.number, 6);
    AppendHeaderPart(out, "    dY", vertex.number, 6);
    AppendHeaderPart(out, "    dZ", vertex.number, 6);
  }
  // Only refraction unknowns that the system really has get a header part.
  if (!options.fixedRefraction && system.refractionUnknownCount > 0) {
    if (options.singleRefractionUnknown) {
      out << "      k     " << "   ";
    } else {
      for (int j = 1; j <= system.refractionUnknownCount; ++j) {
        const double from = system.refractionLines[static_cast<std::size_t>(j - 1)].fromNumber;
        const double to = system.refractionLines[static_cast<std::size_t>(j - 1)].toNumber;
        AppendWithFill(out, "  k" + VertexNumberText(from) + "-" + VertexNumberText(to),
                       9 - WrittenLength(from) - 1 - WrittenLength(to));
        out << "    ";
      }
    }
  }
  for (const NetworkVertex& vertex : network.vertices) {
    if (!vertex.deflectionUnknown) continue;
    AppendHeaderPart(out, "  D.V.EW", vertex.number, 4);
    AppendHeaderPart(out, "  D.V.NS", vertex.number, 4);
  }
  for (std::size_t v = 0; v < network.vertices.size(); ++v) {
    if (system.orientationStatus[v] != OrientationStatus::Unknown) continue;
    AppendHeaderPart(out, "    dDes", network.vertices[v].number, 4);
  }
  out << "        Term.Ind." << kCrLf;
}

void AppendSystemRows(TextBuilder& out, const ObservationSystem& system) {
  for (int i = 1; i <= system.numEquations; ++i) {
    for (int j = 1; j <= system.numUnknowns; ++j) {
      AppendLeftNumberField(out, system.A(i, j), kPrintoutDecimals);
      out << "  ";
    }
    out << "        ";
    AppendLeftNumberField(out, system.k(i, 1), kPrintoutDecimals);
    out << kCrLf;
  }
}

void AppendWeightText(TextBuilder& out, const ObservationSystem& system) {
  out << kCrLf << kCrLf << "MATRIZ DE PESOS" << kCrLf << kCrLf;
  for (int i = 1; i <= system.numEquations; ++i) {
    for (int j = 1; j <= system.numEquations; ++j) {
      AppendLeftNumberField(out, system.P(i, j), kPrintoutDecimals);
      out << "  ";
    }
    out << kCrLf;
  }
}

void AppendCompactHeader(TextBuilder& out, const std::string& projectText, int rows, int unknowns) {
  out << projectText << kCrLf << kCrLf << kCrLf
      << Cp1252("INFORME COMPACTO: con ") << std::to_string(rows) << " observaciones y " << std::to_string(unknowns)
      << Cp1252(" incógnitas no se imprimen el sistema (A | k), la matriz de pesos, las matrices de "
                "varianza-covarianza ni los vectores de fiabilidad externa; las cifras por parámetro y por "
                "observación son las del informe completo.")
      << kCrLf;
}

}  // namespace korvo
