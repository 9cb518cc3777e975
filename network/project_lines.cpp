#include "network/project_lines.h"

#include <optional>
#include <string_view>

#include "common/text.h"
#include "common/win1252.h"
#include "network/network_model.h"

namespace korvo {

const std::string kVertexKeyword = "Punto";
const std::string kBaselineKeyword = Cp1252("Línea base GPS");

namespace {

// The text written instead of a deflection component that is an unknown of the adjustment.
constexpr std::string_view kUnknownDeflection = "      ?";

// A field as the user typed it, with the words that name it in a message (Spanish, UTF-8).
struct Field {
  const std::string& text;
  std::size_t width;
  const char* name;  // "El número de vértice", "La coordenada X", ...
};

// Nothing when the text fits its column; otherwise the message that refuses it.
std::optional<Failure> CheckField(const Field& field) {
  if (field.text.find_first_of("\r\n") != std::string::npos) {
    return Failure{Cp1252(std::string(field.name) + " no puede contener saltos de línea.")};
  }
  if (!FitsWidth(field.text, field.width)) {
    return Failure{Cp1252(std::string(field.name) + " no puede tener más de " +
                          std::to_string(field.width) + " caracteres.")};
  }
  return std::nullopt;
}

template <std::size_t N>
std::optional<Failure> CheckFields(const Field (&fields)[N]) {
  for (const Field& field : fields) {
    if (auto failure = CheckField(field)) return failure;
  }
  return std::nullopt;
}

std::string Blanks(std::size_t count) { return std::string(count, ' '); }

}  // namespace

Result<std::string> BuildVertexLine(const VertexLineFields& f) {
  if (f.kind != kKindUnknown && f.kind != kKindFixed) {
    return Failure{Cp1252("El tipo de vértice debe ser \"Incógnita\" o \"Fijo\".")};
  }
  const Field fields[] = {{f.number, kVertexNumberWidth, "El número de vértice"},
                          {f.x, kCoordinateWidth, "La coordenada X"},
                          {f.y, kCoordinateWidth, "La coordenada Y"},
                          {f.z, kCoordinateWidth, "La coordenada Z"}};
  if (auto failure = CheckFields(fields)) return *failure;
  if (!f.deflectionUnknown) {
    const Field deflections[] = {
        {f.deflectionNs, kDeflectionWidth, "La componente D.V.NS de la desviación de la vertical"},
        {f.deflectionEw, kDeflectionWidth, "La componente D.V.EW de la desviación de la vertical"}};
    if (auto failure = CheckFields(deflections)) return *failure;
  }
  const std::string ns = f.deflectionUnknown ? std::string(kUnknownDeflection) : PadLeft(f.deflectionNs, kDeflectionWidth);
  const std::string ew = f.deflectionUnknown ? std::string(kUnknownDeflection) : PadLeft(f.deflectionEw, kDeflectionWidth);

  TextBuilder line(kVertexLineLength + 2);
  line << kVertexKeyword << PadLeft(f.number, kVertexNumberWidth) << ' '
       << PadLeft("(" + f.kind + ")", 11) << "  X =" << PadLeft(f.x, kCoordinateWidth)
       << "  Y =" << PadLeft(f.y, kCoordinateWidth) << "  Z =" << PadLeft(f.z, kCoordinateWidth)
       << "  D.V.NS =" << ns << "  D.V.EW =" << ew << kCrLf;
  return std::move(line).str();
}

Result<std::string> BuildClassicalLine(const ClassicalLineFields& f) {
  if (f.type != kTypeDirection && f.type != kTypeZenith && f.type != kTypeDistance) {
    return Failure{Cp1252(
        "El tipo de observación debe ser \"Dirección\", \"Cenital\" o \"Geométrica\".")};
  }
  const Field fields[] = {{f.from, kVertexNumberWidth, "El número del vértice estación"},
                          {f.to, kVertexNumberWidth, "El número del vértice visado"},
                          {f.value, kObservedValueWidth, "El valor observado"},
                          {f.stdDev, kStdDevWidth, "La desviación típica"}};
  if (auto failure = CheckFields(fields)) return *failure;

  static const std::string stdDevLabel = Cp1252("     Desviación típica: ");
  TextBuilder line(kClassicalLineLength + 2);
  line << PadLeft(f.type, 10) << ' ' << " de " << PadLeft(f.from, kVertexNumberWidth)
       << "    a   " << PadLeft(f.to, kVertexNumberWidth) << "  " << "     Valor: "
       << PadLeft(f.value, kObservedValueWidth) << "  " << stdDevLabel
       << PadLeft(f.stdDev, kStdDevWidth) << Blanks(2 + 17) << kCrLf;
  return std::move(line).str();
}

Result<std::string> BuildGpsBlock(const GpsBlockFields& f) {
  const Field fields[] = {
      {f.from, kVertexNumberWidth, "El primer vértice de la línea base"},
      {f.to, kVertexNumberWidth, "El segundo vértice de la línea base"},
      {f.dx, kBaselineFieldWidth, "El incremento X de la línea base"},
      {f.dy, kBaselineFieldWidth, "El incremento Y de la línea base"},
      {f.dz, kBaselineFieldWidth, "El incremento Z de la línea base"},
      {f.cxx, kBaselineFieldWidth, "El elemento Cxx de la matriz varianza-covarianza"},
      {f.cxy, kBaselineFieldWidth, "El elemento Cxy de la matriz varianza-covarianza"},
      {f.cxz, kBaselineFieldWidth, "El elemento Cxz de la matriz varianza-covarianza"},
      {f.cyy, kBaselineFieldWidth, "El elemento Cyy de la matriz varianza-covarianza"},
      {f.cyz, kBaselineFieldWidth, "El elemento Cyz de la matriz varianza-covarianza"},
      {f.czz, kBaselineFieldWidth, "El elemento Czz de la matriz varianza-covarianza"}};
  if (auto failure = CheckFields(fields)) return *failure;

  constexpr std::size_t w = kBaselineFieldWidth;
  TextBuilder block(kGpsBlockLength);
  // Line 1 (107): the two vertices, DX and the first row of the matrix.
  block << kBaselineKeyword << " de " << PadLeft(f.from, kVertexNumberWidth) << "   a "
        << PadLeft(f.to, kVertexNumberWidth) << "  " << "   IncrX: " << PadLeft(f.dx, w) << "  "
        << "   Matriz v-c: " << PadLeft(f.cxx, w) << "  " << PadLeft(f.cxy, w) << "  "
        << PadLeft(f.cxz, w) << Blanks(3) << kCrLf;
  // Line 2 (107): DY and the matrix row from its diagonal on, under the columns of line 1.
  block << Blanks(33) << "   IncrY: " << PadLeft(f.dy, w) << Blanks(29) << PadLeft(f.cyy, w)
        << "  " << PadLeft(f.cyz, w) << Blanks(3) << kCrLf;
  // Line 3 (106): DZ and the last diagonal element.
  block << Blanks(33) << "   IncrZ: " << PadLeft(f.dz, w) << Blanks(41) << PadLeft(f.czz, w)
        << Blanks(2) << kCrLf;
  return std::move(block).str();
}

}  // namespace korvo
