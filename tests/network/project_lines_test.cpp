// The three line layouts of a project file against a hand-written file laid out from the
// column tables of the format, and the refusal of fields too long for their columns.
#include <gtest/gtest.h>

#include <string>

#include "common/win1252.h"
#include "network/network_model.h"
#include "network/project_lines.h"
#include "support/files.h"
#include "support/project_text.h"

namespace korvo {
namespace {

using korvo::testing::Built;

TEST(ProjectLines, LinesMatchTheHandWrittenLayout) {
  // A fixed vertex with unknown deflection shows "?" and ignores the typed components.
  VertexLineFields unknownDeflection{"7", kKindFixed, "1", "2", "3", "far too long", "far too long"};
  unknownDeflection.deflectionUnknown = true;
  std::string built = Built(BuildVertexLine({"12", kKindUnknown, "4849202.391", "-360328.998", "4114913.186", "1.5",
                                             "-2.25"})) +
                      Built(BuildVertexLine(unknownDeflection));
  for (const std::string& type : {kTypeDistance, kTypeDirection, kTypeZenith}) {
    built += Built(BuildClassicalLine({type, "3", "1012", "123.4567", ".0015"}));
  }
  built += Built(BuildGpsBlock({"1", "23", "-1234.5678", "987.654", "-0.001", "1.2E-05", "-3.4E-06", "5.6E-06",
                                "2.3E-05", "-7.8E-06", "3.1E-05"}));
  EXPECT_EQ(built, korvo::testing::Golden("project_lines.txt"));
}

TEST(ProjectLines, FieldsAtTheirLimitsAreAccepted) {
  EXPECT_TRUE(BuildVertexLine({"9999", kKindFixed, "123456789012", "-12345678901", "123456.78901", "-123.45",
                               "1234567"})
                  .ok());
  EXPECT_TRUE(BuildClassicalLine({kTypeDirection, "9999", "9999", "399.999999", "0.0001"}).ok());
  const std::string ten = "1234567890";
  EXPECT_TRUE(BuildGpsBlock({"9999", "9999", ten, ten, ten, ten, ten, ten, ten, ten, ten}).ok());
}

TEST(ProjectLines, TooLongFieldsAreRefusedByName) {
  auto vertex = [](auto change) {
    VertexLineFields f{"1", kKindUnknown, "1", "2", "3", "0", "0"};
    change(f);
    return BuildVertexLine(f);
  };
  auto classical = [](auto change) {
    ClassicalLineFields f{kTypeZenith, "1", "2", "100.1", "3"};
    change(f);
    return BuildClassicalLine(f);
  };
  auto gps = [](auto change) {
    GpsBlockFields f{"1", "2", "1", "2", "3", "1", "0", "0", "1", "0", "1"};
    change(f);
    return BuildGpsBlock(f);
  };
  const std::string eleven = "12345678901";
  struct Case {
    Result<std::string> built;
    const char* message;  // UTF-8
  } cases[] = {
      {vertex([](auto& f) { f.number = "12345"; }), "El número de vértice no puede tener más de 4 caracteres."},
      {vertex([](auto& f) { f.y = "1234567890123"; }), "La coordenada Y no puede tener más de 12 caracteres."},
      {vertex([](auto& f) { f.deflectionEw = "12345678"; }),
       "La componente D.V.EW de la desviación de la vertical no puede tener más de 7 caracteres."},
      {vertex([](auto& f) { f.kind = "(Fijo)"; }), "El tipo de vértice debe ser \"Incógnita\" o \"Fijo\"."},
      {vertex([](auto& f) { f.x = "12\r\n34"; }), "La coordenada X no puede contener saltos de línea."},
      {classical([](auto& f) { f.from = "10000"; }), "El número del vértice estación no puede tener más de 4 caracteres."},
      {classical([](auto& f) { f.to = "10000"; }), "El número del vértice visado no puede tener más de 4 caracteres."},
      {classical([&](auto& f) { f.value = eleven; }), "El valor observado no puede tener más de 10 caracteres."},
      {classical([](auto& f) { f.stdDev = "1234567"; }), "La desviación típica no puede tener más de 6 caracteres."},
      {classical([](auto& f) { f.type = "Distancia"; }),
       "El tipo de observación debe ser \"Dirección\", \"Cenital\" o \"Geométrica\"."},
      {gps([](auto& f) { f.from = "12345"; }), "El primer vértice de la línea base no puede tener más de 4 caracteres."},
      {gps([](auto& f) { f.to = "12345"; }), "El segundo vértice de la línea base no puede tener más de 4 caracteres."},
      {gps([&](auto& f) { f.dz = eleven; }), "El incremento Z de la línea base no puede tener más de 10 caracteres."},
      {gps([&](auto& f) { f.cyz = eleven; }),
       "El elemento Cyz de la matriz varianza-covarianza no puede tener más de 10 caracteres."},
  };
  for (const Case& test : cases) {
    ASSERT_FALSE(test.built.ok()) << test.message;
    EXPECT_EQ(test.built.error(), Cp1252(test.message));
  }
}

}  // namespace
}  // namespace korvo
