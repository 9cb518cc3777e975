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

void AppendSystemHeaderLine(TextBuilder& out, const UnknownLayout& layout) {
  for (int column = 1; column <= layout.Count(); ++column) {
    const SystemUnknown& u = layout[column];
    switch (u.kind) {
      case UnknownKind::CoordinateX: AppendHeaderPart(out, "    dX", u.vertexNumber, 6); break;
      case UnknownKind::CoordinateY: AppendHeaderPart(out, "    dY", u.vertexNumber, 6); break;
      case UnknownKind::CoordinateZ: AppendHeaderPart(out, "    dZ", u.vertexNumber, 6); break;
      case UnknownKind::RefractionNetwork: out << "      k     " << "   "; break;
      case UnknownKind::RefractionLine: {
        const RefractionLine& line = layout.refractionLines[static_cast<std::size_t>(u.refractionLine - 1)];
        const double from = line.fromNumber;
        const double to = line.toNumber;
        AppendWithFill(out, "  k" + VertexNumberText(from) + "-" + VertexNumberText(to),
                       9 - WrittenLength(from) - 1 - WrittenLength(to));
        out << "    ";
        break;
      }
      case UnknownKind::DeflectionEw: AppendHeaderPart(out, "  D.V.EW", u.vertexNumber, 4); break;
      case UnknownKind::DeflectionNs: AppendHeaderPart(out, "  D.V.NS", u.vertexNumber, 4); break;
      case UnknownKind::Orientation: AppendHeaderPart(out, "    dDes", u.vertexNumber, 4); break;
      case UnknownKind::Imported: break;
    }
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
  out << projectText;
  AppendCompactLine(out, rows, unknowns);
}

void AppendCompactLine(TextBuilder& out, int rows, int unknowns) {
  out << kCrLf << kCrLf << kCrLf
      << Cp1252("INFORME COMPACTO: con ") << std::to_string(rows) << " observaciones y " << std::to_string(unknowns)
      << Cp1252(" incógnitas no se imprimen el sistema (A | k), la matriz de pesos, las matrices de "
                "varianza-covarianza ni los vectores de fiabilidad externa; las cifras por parámetro y por "
                "observación son las del informe completo.")
      << kCrLf;
}

}  // namespace korvo
