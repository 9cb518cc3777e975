// The three line layouts of a project file, checked column by column against the layout
// tables of the file format (1-based columns, as the tables count them).
#include <gtest/gtest.h>

#include <string>

#include "common/win1252.h"
#include "network/network_model.h"
#include "network/project_lines.h"

namespace korvo {
namespace {

// Columns first..last (1-based, inclusive) of a line.
std::string Columns(const std::string& line, std::size_t first, std::size_t last) {
  return line.substr(first - 1, last - first + 1);
}

// The lines of a built text, checking each ends with CR LF.
std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "line without CR LF";
    if (end == std::string::npos) break;
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

struct ColumnCase {
  std::size_t first, last;
  std::string expected;  // UTF-8, converted before comparing
};

void ExpectColumns(const std::string& line, const std::vector<ColumnCase>& cases) {
  for (const ColumnCase& c : cases) {
    EXPECT_EQ(Columns(line, c.first, c.last), Cp1252(c.expected))
        << "columns " << c.first << "-" << c.last;
  }
}

TEST(ProjectLines, VertexLineColumns) {
  VertexLineFields f{"12", kKindUnknown, "4849202.391", "-360328.998", "4114913.186", "1.5", "-2.25"};
  const Result<std::string> built = BuildVertexLine(f);
  ASSERT_TRUE(built.ok()) << built.error();
  const auto lines = LinesOf(*built);
  ASSERT_EQ(lines.size(), 1u);
  const std::string& line = lines[0];
  ASSERT_EQ(line.size(), 106u);
  ExpectColumns(line, {{1, 5, "Punto"},
                       {6, 9, "  12"},
                       {10, 10, " "},
                       {11, 21, "(Incógnita)"},
                       {22, 23, "  "},
                       {24, 26, "X ="},
                       {27, 38, " 4849202.391"},
                       {39, 40, "  "},
                       {41, 43, "Y ="},
                       {44, 55, " -360328.998"},
                       {56, 57, "  "},
                       {58, 60, "Z ="},
                       {61, 72, " 4114913.186"},
                       {73, 74, "  "},
                       {75, 82, "D.V.NS ="},
                       {83, 89, "    1.5"},
                       {90, 91, "  "},
                       {92, 99, "D.V.EW ="},
                       {100, 106, "  -2.25"}});
}

TEST(ProjectLines, FixedVertexWithUnknownDeflection) {
  // A fixed vertex numbered 7 with unknown deflection begins with "Punto", three blanks, the
  // digit 7, six blanks and "(Fijo)", and ends with "D.V.EW =", six blanks and "?".
  VertexLineFields f{"7", kKindFixed, "1", "2", "3", "ignored", "ignored too"};
  f.deflectionUnknown = true;
  const Result<std::string> built = BuildVertexLine(f);
  ASSERT_TRUE(built.ok()) << built.error();
  ASSERT_EQ(built->size(), 108u);
  EXPECT_EQ(built->substr(0, 21), "Punto   7      (Fijo)");
  EXPECT_EQ(built->substr(106), "\r\n");
  EXPECT_EQ(built->substr(74, 15), "D.V.NS =      ?");
  EXPECT_EQ(built->substr(91, 15), "D.V.EW =      ?");
}

TEST(ProjectLines, ClassicalLineColumns) {
  struct TypeCase {
    const std::string& keyword;
    const char* field;  // columns 1-10, UTF-8
  } types[] = {{kTypeDistance, "Geométrica"}, {kTypeDirection, " Dirección"}, {kTypeZenith, "   Cenital"}};
  for (const TypeCase& t : types) {
    ClassicalLineFields f{t.keyword, "3", "1012", "123.4567", ".0015"};
    const Result<std::string> built = BuildClassicalLine(f);
    ASSERT_TRUE(built.ok()) << built.error();
    const auto lines = LinesOf(*built);
    ASSERT_EQ(lines.size(), 1u);
    const std::string& line = lines[0];
    ASSERT_EQ(line.size(), 106u);
    ExpectColumns(line, {{1, 10, t.field},
                         {11, 11, " "},
                         {12, 15, " de "},
                         {16, 19, "   3"},
                         {20, 27, "    a   "},
                         {28, 31, "1012"},
                         {32, 33, "  "},
                         {34, 45, "     Valor: "},
                         {46, 55, "  123.4567"},
                         {56, 57, "  "},
                         {58, 81, "     Desviación típica: "},
                         {82, 87, " .0015"},
                         {88, 106, std::string(19, ' ')}});
  }
}

TEST(ProjectLines, GpsBlockColumns) {
  GpsBlockFields f{"1", "23", "-1234.5678", "987.654", "-0.001", "1.2E-05", "-3.4E-06",
                   "5.6E-06", "2.3E-05", "-7.8E-06", "3.1E-05"};
  const Result<std::string> built = BuildGpsBlock(f);
  ASSERT_TRUE(built.ok()) << built.error();
  ASSERT_EQ(built->size(), 326u);
  const auto lines = LinesOf(*built);
  ASSERT_EQ(lines.size(), 3u);
  ASSERT_EQ(lines[0].size(), 107u);
  ASSERT_EQ(lines[1].size(), 107u);
  ASSERT_EQ(lines[2].size(), 106u);
  ExpectColumns(lines[0], {{1, 18, "Línea base GPS de "},
                           {19, 22, "   1"},
                           {23, 27, "   a "},
                           {28, 31, "  23"},
                           {32, 33, "  "},
                           {34, 43, "   IncrX: "},
                           {44, 53, "-1234.5678"},
                           {54, 55, "  "},
                           {56, 70, "   Matriz v-c: "},
                           {71, 80, "   1.2E-05"},
                           {81, 82, "  "},
                           {83, 92, "  -3.4E-06"},
                           {93, 94, "  "},
                           {95, 104, "   5.6E-06"},
                           {105, 107, "   "}});
  ExpectColumns(lines[1], {{1, 33, std::string(33, ' ')},
                           {34, 43, "   IncrY: "},
                           {44, 53, "   987.654"},
                           {54, 82, std::string(29, ' ')},
                           {83, 92, "   2.3E-05"},
                           {93, 94, "  "},
                           {95, 104, "  -7.8E-06"},
                           {105, 107, "   "}});
  ExpectColumns(lines[2], {{1, 33, std::string(33, ' ')},
                           {34, 43, "   IncrZ: "},
                           {44, 53, "    -0.001"},
                           {54, 94, std::string(41, ' ')},
                           {95, 104, "   3.1E-05"},
                           {105, 106, "  "}});
}

TEST(ProjectLines, GpsFieldsAtTheirDistancesFromTheL) {
  // The loader reads the block at fixed 0-based distances from the "L" of "Línea".
  GpsBlockFields f{"1111", "2222", "AAAAAAAAAA", "BBBBBBBBBB", "CCCCCCCCCC", "DDDDDDDDDD",
                   "EEEEEEEEEE", "FFFFFFFFFF", "GGGGGGGGGG", "HHHHHHHHHH", "IIIIIIIIII"};
  const Result<std::string> built = BuildGpsBlock(f);
  ASSERT_TRUE(built.ok()) << built.error();
  const std::string& b = *built;
  EXPECT_EQ(b.substr(18, 4), "1111");
  EXPECT_EQ(b.substr(27, 4), "2222");
  EXPECT_EQ(b.substr(43, 10), f.dx);
  EXPECT_EQ(b.substr(70, 10), f.cxx);
  EXPECT_EQ(b.substr(82, 10), f.cxy);
  EXPECT_EQ(b.substr(94, 10), f.cxz);
  EXPECT_EQ(b.substr(152, 10), f.dy);
  EXPECT_EQ(b.substr(191, 10), f.cyy);
  EXPECT_EQ(b.substr(203, 10), f.cyz);
  EXPECT_EQ(b.substr(261, 10), f.dz);
  EXPECT_EQ(b.substr(312, 10), f.czz);
}

TEST(ProjectLines, FieldsAtTheirLimitsAreAccepted) {
  VertexLineFields v{"9999", kKindFixed, "123456789012", "-12345678901", "123456.78901", "-123.45", "1234567"};
  EXPECT_TRUE(BuildVertexLine(v).ok());
  ClassicalLineFields c{kTypeDirection, "9999", "9999", "399.999999", "0.0001"};
  EXPECT_TRUE(BuildClassicalLine(c).ok());
  GpsBlockFields g{"9999", "9999", "1234567890", "1234567890", "1234567890", "1234567890",
                   "1234567890", "1234567890", "1234567890", "1234567890", "1234567890"};
  EXPECT_TRUE(BuildGpsBlock(g).ok());
}

TEST(ProjectLines, TooLongFieldsAreRefusedByName) {
  struct Case {
    Result<std::string> built;
    const char* message;  // UTF-8
  };
  const VertexLineFields v{"1", kKindUnknown, "1", "2", "3", "0", "0"};
  auto vertex = [&](auto change) {
    VertexLineFields f = v;
    change(f);
    return BuildVertexLine(f);
  };
  const ClassicalLineFields c{kTypeZenith, "1", "2", "100.1", "3"};
  auto classical = [&](auto change) {
    ClassicalLineFields f = c;
    change(f);
    return BuildClassicalLine(f);
  };
  const GpsBlockFields g{"1", "2", "1", "2", "3", "1", "0", "0", "1", "0", "1"};
  auto gps = [&](auto change) {
    GpsBlockFields f = g;
    change(f);
    return BuildGpsBlock(f);
  };
  const Case cases[] = {
      {vertex([](auto& f) { f.number = "12345"; }), "El número de vértice no puede tener más de 4 caracteres."},
      {vertex([](auto& f) { f.x = "1234567890123"; }), "La coordenada X no puede tener más de 12 caracteres."},
      {vertex([](auto& f) { f.y = "1234567890123"; }), "La coordenada Y no puede tener más de 12 caracteres."},
      {vertex([](auto& f) { f.z = "1234567890123"; }), "La coordenada Z no puede tener más de 12 caracteres."},
      {vertex([](auto& f) { f.deflectionNs = "12345678"; }),
       "La componente D.V.NS de la desviación de la vertical no puede tener más de 7 caracteres."},
      {vertex([](auto& f) { f.deflectionEw = "12345678"; }),
       "La componente D.V.EW de la desviación de la vertical no puede tener más de 7 caracteres."},
      {vertex([](auto& f) { f.kind = "Incognita"; }), "El tipo de vértice debe ser \"Incógnita\" o \"Fijo\"."},
      {vertex([](auto& f) { f.kind = "(Fijo)"; }), "El tipo de vértice debe ser \"Incógnita\" o \"Fijo\"."},
      {vertex([](auto& f) { f.x = "12\r\n34"; }), "La coordenada X no puede contener saltos de línea."},
      {classical([](auto& f) { f.from = "10000"; }), "El número del vértice estación no puede tener más de 4 caracteres."},
      {classical([](auto& f) { f.to = "10000"; }), "El número del vértice visado no puede tener más de 4 caracteres."},
      {classical([](auto& f) { f.value = "12345678901"; }), "El valor observado no puede tener más de 10 caracteres."},
      {classical([](auto& f) { f.stdDev = "1234567"; }), "La desviación típica no puede tener más de 6 caracteres."},
      {classical([](auto& f) { f.type = "Distancia"; }),
       "El tipo de observación debe ser \"Dirección\", \"Cenital\" o \"Geométrica\"."},
      {gps([](auto& f) { f.from = "12345"; }), "El primer vértice de la línea base no puede tener más de 4 caracteres."},
      {gps([](auto& f) { f.to = "12345"; }), "El segundo vértice de la línea base no puede tener más de 4 caracteres."},
      {gps([](auto& f) { f.dx = "12345678901"; }), "El incremento X de la línea base no puede tener más de 10 caracteres."},
      {gps([](auto& f) { f.dz = "12345678901"; }), "El incremento Z de la línea base no puede tener más de 10 caracteres."},
      {gps([](auto& f) { f.cyz = "12345678901"; }),
       "El elemento Cyz de la matriz varianza-covarianza no puede tener más de 10 caracteres."},
  };
  for (const Case& test : cases) {
    ASSERT_FALSE(test.built.ok()) << test.message;
    EXPECT_EQ(test.built.error(), Cp1252(test.message));
  }
}

TEST(ProjectLines, UnknownDeflectionIgnoresTheTypedComponents) {
  VertexLineFields f{"1", kKindUnknown, "1", "2", "3", "far too long", "far too long"};
  f.deflectionUnknown = true;
  EXPECT_TRUE(BuildVertexLine(f).ok());
}

TEST(ProjectLines, AccentedKindIsOneByteWide) {
  // "(Incógnita)" fills its 11 columns exactly because ó is one Windows-1252 byte.
  VertexLineFields f{"1", kKindUnknown, "1", "2", "3", "0", "0"};
  const Result<std::string> built = BuildVertexLine(f);
  ASSERT_TRUE(built.ok());
  EXPECT_EQ(built->substr(10, 11), Cp1252("(Incógnita)"));
  EXPECT_EQ(static_cast<unsigned char>((*built)[14]), 0xF3);
}

}  // namespace
}  // namespace korvo
