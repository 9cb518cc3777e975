// A project file's texts: line layouts, the entry lists' text operations, writing and splitting a file.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/files.h"
#include "common/win1252.h"
#include "network/entry_text.h"
#include "network/project_file.h"
#include "support/files.h"
#include "support/project_text.h"

namespace korvo {
namespace {

using korvo::testing::Built;

// A vertex line by hand from the column table (number 6-9, kind 11-21, X/Y/Z 27, 44, 61, D.V. 83, 100).
std::string HandVertexLine(const std::string& number, const std::string& x, const std::string& ns) {
  return "Punto" + std::string(4 - number.size(), ' ') + number + " " + "     (Fijo)" + "  X =" +
         std::string(12 - x.size(), ' ') + x + "  Y =" + "  -346088.02" + "  Z =" + " 4161236.352" + "  D.V.NS =" +
         std::string(7 - ns.size(), ' ') + ns + "  D.V.EW =" + "   -8.6" + "\r\n";
}

TEST(ProjectLines, LinesMatchTheHandWrittenLayoutAndTooLongFieldsAreRefused) {
  // Golden lines (a fixed vertex with unknown deflection shows "?" whatever was typed), then fields at their limits fit.
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
  const std::string ten = "1234567890", twelve = "-12345678901";
  EXPECT_TRUE(BuildVertexLine({"9999", kKindFixed, twelve, twelve, twelve, "-123.45", "1234567"}).ok());
  EXPECT_TRUE(BuildClassicalLine({kTypeDirection, "9999", "9999", "399.999999", "0.0001"}).ok());
  EXPECT_TRUE(BuildGpsBlock({"9999", "9999", ten, ten, ten, ten, ten, ten, ten, ten, ten}).ok());

  // A field past its limit is refused by name.
  const std::string eleven = "12345678901";
  struct Case {
    Result<std::string> built;
    const char* message;  // UTF-8
  } cases[] = {
      {BuildVertexLine({"12345", kKindUnknown, "1", "2", "3", "0", "0"}),
       "El número de vértice no puede tener más de 4 caracteres."},
      {BuildVertexLine({"1", kKindUnknown, "1", "2", "3", "0", "12345678"}),
       "La componente D.V.EW de la desviación de la vertical no puede tener más de 7 caracteres."},
      {BuildVertexLine({"1", "(Fijo)", "1", "2", "3", "0", "0"}),
       "El tipo de vértice debe ser \"Incógnita\" o \"Fijo\"."},
      {BuildVertexLine({"1", kKindUnknown, "12\r\n34", "2", "3", "0", "0"}),
       "La coordenada X no puede contener saltos de línea."},
      {BuildClassicalLine({kTypeZenith, "1", "10000", "100.1", "3"}),
       "El número del vértice visado no puede tener más de 4 caracteres."},
      {BuildClassicalLine({kTypeZenith, "1", "2", eleven, "3"}),
       "El valor observado no puede tener más de 10 caracteres."},
      {BuildClassicalLine({kTypeZenith, "1", "2", "100.1", "1234567"}),
       "La desviación típica no puede tener más de 6 caracteres."},
      {BuildClassicalLine({"Distancia", "1", "2", "100.1", "3"}),
       "El tipo de observación debe ser \"Dirección\", \"Cenital\" o \"Geométrica\"."},
      {BuildGpsBlock({"12345", "2", "1", "2", "3", "1", "0", "0", "1", "0", "1"}),
       "El primer vértice de la línea base no puede tener más de 4 caracteres."},
  };
  for (const Case& test : cases) {
    ASSERT_FALSE(test.built.ok()) << test.message;
    EXPECT_EQ(test.built.error(), Cp1252(test.message));
  }
}

TEST(EntryText, EntryUnderTheCaretReplacingOneAndDisplayPositions) {
  std::string section = HandVertexLine("1", "100.5", "1") + HandVertexLine("2", "200.5", "2") +
                        HandVertexLine("30", "4810516.120", "?");
  ASSERT_EQ(section.size(), 3u * 108u);
  struct Case {
    std::size_t offset;
    std::optional<std::size_t> index;
  } cases[] = {{0, 0}, {107, 0}, {108, 1}, {323, 2}, {324, std::nullopt}};
  for (const Case& c : cases) {
    const auto entry = EntryAtOffset(section, c.offset, kVertexEntryStride);
    ASSERT_EQ(entry.has_value(), c.index.has_value()) << c.offset;
    if (!entry) continue;
    EXPECT_EQ(std::pair(entry->index, entry->text),
              std::pair(*c.index, std::string_view(section).substr(*c.index * 108, 108)));
  }
  const std::string replacement = HandVertexLine("9", "9", "9");
  EXPECT_TRUE(ReplaceEntry(section, 1, kVertexEntryStride, replacement));
  EXPECT_EQ(section, HandVertexLine("1", "100.5", "1") + replacement + HandVertexLine("30", "4810516.120", "?"));
  EXPECT_FALSE(ReplaceEntry(section, 3, kVertexEntryStride, replacement));

  // Display positions count CR LF as one character.
  const std::string crlf = "ab\r\ncd\r\nef";
  EXPECT_EQ(DisplayText(crlf), "ab\ncd\nef");
  for (const auto& [display, byte] : {std::pair<std::size_t, std::size_t>{0, 0}, {2, 2}, {3, 4}, {6, 8}, {7, 9}}) {
    EXPECT_EQ(ByteOffsetOfDisplayPosition(crlf, display), byte) << display;
    EXPECT_EQ(DisplayPositionOfByteOffset(crlf, byte), display) << byte;
  }
}

std::vector<std::string> Parts(const ProjectSections& p) { return {p.vertexListText, p.classicalListText, p.gpsListText}; }

// Split gives back the sections (compose the same bytes); the last set of titles wins; without all, in order, none.
// The written file splits back into its sections; failures give their messages and leave no file.
TEST(ProjectFile, SplitComposeAndWrite) {
  const korvo::testing::ProjectText s = korvo::testing::ThreeVertexProject();
  const auto compose = [](const std::string& v, const std::string& c, const std::string& g) {
    return ComposeProjectFile("/datos/red.txt", "06/12/2026", v, c, g);
  };
  const std::string whole = compose(s.vertices, s.classical, s.gps);
  std::string lf = whole;
  std::erase(lf, '\r');
  struct Case {
    const char* what;
    std::string text;
    bool titles, composesBack;
    std::string vertices, classical, gps;
  } cases[] = {
      {"CR LF", whole, true, true, s.vertices, s.classical, s.gps},
      {"por escrito", Cp1252("Fichero de datos de la aplicación KORVO\r\n\r\nArchivo /datos/red.txt   06/12/2026\r\n"
                             "\r\n\r\nVÉRTICES DE LA RED\r\n\r\nV\r\n\r\n\r\n\r\nOBSERVACIONES CLÁSICAS\r\n\r\nC\r\n"
                             "\r\n\r\n\r\nOBSERVACIONES GPS\r\n\r\nG\r\n\r\n"),
       true, true, "V\r\n", "C\r\n", "G\r\n"},
      {"LF only", lf, true, false, s.vertices, s.classical, s.gps},
      {"two sets of titles", compose("A\r\n", "B\r\n", "C\r\n") + whole, true, false, s.vertices, s.classical, s.gps},
      {"no final break", whole.substr(0, whole.size() - 2), true, false, s.vertices, s.classical,
       s.gps.substr(0, s.gps.size() - 2)},
      {"cut after the GPS title", whole.substr(0, whole.find(kGpsSectionTitle) + kGpsSectionTitle.size()), true,
       false, s.vertices, s.classical, ""},
      {"sin título GPS", std::string(whole).erase(whole.find(kGpsSectionTitle), kGpsSectionTitle.size()), false,
       false, "", "", ""},
      {"títulos en otro orden", kGpsSectionTitle + kClassicalSectionTitle + kVertexSectionTitle, false, false, "", "", ""},
  };
  for (const Case& c : cases) {
    const ProjectSections sections = SplitProjectText(c.text);
    EXPECT_EQ(sections.titlesFound, c.titles) << c.what;
    EXPECT_EQ(Parts(sections), (std::vector{c.vertices, c.classical, c.gps})) << c.what;
    if (c.composesBack) {
      EXPECT_EQ(compose(sections.vertexListText, sections.classicalListText, sections.gpsListText), c.text) << c.what;
    }
  }

  const std::filesystem::path folder = korvo::testing::FreshTempDir("project_file");
  const std::string path = (folder / "red.txt").string();
  ProjectState state;
  state.vertexListText = s.vertices;
  state.classicalListText = s.classical;
  state.gpsListText = s.gps;
  ASSERT_TRUE(WriteProjectFile(path, state).ok());
  EXPECT_EQ(korvo::testing::ReadWholeFile(path), ComposeProjectFile(path, ShortDateText(), s.vertices, s.classical, s.gps));
  const Result<ProjectSections> split = SplitProjectFile(path);
  ASSERT_TRUE(split.ok()) << split.error();
  EXPECT_EQ(Parts(*split), (std::vector{s.vertices, s.classical, s.gps}));
  const std::string nowhere = (folder / "no_existe" / "red.txt").string();
  const Status status = WriteProjectFile(nowhere, ProjectState{});
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error(), Cp1252(" ¡Se ha producido un error al guardar el archivo! "));
  EXPECT_FALSE(FileExists(nowhere));
  const Result<ProjectSections> missing = SplitProjectFile(nowhere);
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error(), Cp1252("No se encuentra el archivo o la carpeta."));
}

}  // namespace
}  // namespace korvo
