// Writing a project file and splitting it back into its three sections.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/files.h"
#include "common/win1252.h"
#include "network/project_file.h"
#include "support/files.h"
#include "support/project_text.h"

namespace korvo {
namespace {

using korvo::testing::ReadWholeFile;

const korvo::testing::ProjectText& Sample() {
  static const korvo::testing::ProjectText sample = korvo::testing::ThreeVertexProject();
  return sample;
}

void ExpectSections(const ProjectSections& got, const std::string& vertices, const std::string& classical,
                    const std::string& gps, const char* what) {
  EXPECT_EQ(got.vertexListText, vertices) << what;
  EXPECT_EQ(got.classicalListText, classical) << what;
  EXPECT_EQ(got.gpsListText, gps) << what;
}

TEST(ProjectFile, ComposeGivesTheHeaderTitlesAndBreaks) {
  EXPECT_EQ(ComposeProjectFile("/datos/red.txt", "06/12/2026", "V\r\n", "C\r\n", "G\r\n"),
            Cp1252("Fichero de datos de la aplicación KORVO\r\n\r\n"
                   "Archivo /datos/red.txt   06/12/2026\r\n\r\n\r\n"
                   "VÉRTICES DE LA RED\r\n\r\nV\r\n\r\n\r\n\r\n"
                   "OBSERVACIONES CLÁSICAS\r\n\r\nC\r\n\r\n\r\n\r\n"
                   "OBSERVACIONES GPS\r\n\r\nG\r\n\r\n"));
  EXPECT_TRUE(ComposeProjectFile("p", "d", "", "", "").ends_with("OBSERVACIONES GPS\r\n\r\n\r\n"));
}

// Split gives back what compose put in (and compose again the same bytes); so also with LF
// line ends and without the final break; the last complete set of titles wins; without a
// complete set in order every section is empty.
TEST(ProjectFile, SplitGivesBackTheSections) {
  const auto& s = Sample();
  const std::string whole = ComposeProjectFile("C:\\Redes\\norte.txt", "01/02/2026", s.vertices, s.classical, s.gps);
  const ProjectSections split = SplitProjectText(whole);
  EXPECT_EQ(ComposeProjectFile("C:\\Redes\\norte.txt", "01/02/2026", split.vertexListText, split.classicalListText,
                               split.gpsListText),
            whole);
  std::string lf = whole;
  std::erase(lf, '\r');
  const std::string noBreak = whole.substr(0, whole.size() - 2);
  auto without = [&](const std::string& title) { return std::string(whole).erase(whole.find(title), title.size()); };
  const std::string none;
  struct Case {
    const char* what;
    std::string text;
    bool titles;
    const std::string &vertices, &classical;
    std::string gps;
  } cases[] = {
      {"CR LF", whole, true, s.vertices, s.classical, s.gps},
      {"no records", ComposeProjectFile("p", "d", "", "", ""), true, none, none, ""},
      {"LF only", lf, true, s.vertices, s.classical, s.gps},
      {"two sets of titles", ComposeProjectFile("p", "d", "A\r\n", "B\r\n", "C\r\n") + whole, true, s.vertices,
       s.classical, s.gps},
      {"no final break", noBreak, true, s.vertices, s.classical, s.gps.substr(0, s.gps.size() - 2)},
      {"cut after the GPS title", whole.substr(0, whole.find(kGpsSectionTitle) + kGpsSectionTitle.size()), true,
       s.vertices, s.classical, ""},
      {"sin título GPS", without(kGpsSectionTitle), false, none, none, ""},
      {"sin título de vértices", without(kVertexSectionTitle), false, none, none, ""},
      {"títulos en otro orden",
       Cp1252("OBSERVACIONES GPS\r\n\r\n\r\nOBSERVACIONES CLÁSICAS\r\n\r\n\r\nVÉRTICES DE LA RED\r\n\r\n"), false,
       none, none, ""},
      {"títulos pegados", kVertexSectionTitle + kClassicalSectionTitle + kGpsSectionTitle, false, none, none, ""},
      {"texto vacío", "", false, none, none, ""},
  };
  for (const Case& c : cases) {
    const ProjectSections sections = SplitProjectText(c.text);
    EXPECT_EQ(sections.titlesFound, c.titles) << c.what;
    ExpectSections(sections, c.vertices, c.classical, c.gps, c.what);
  }
}

// The written file splits back into its sections; failures give their messages and leave no file.
TEST(ProjectFile, WrittenFileSplitsBackAndFailuresGiveTheirMessages) {
  const std::filesystem::path folder = korvo::testing::FreshTempDir("project_file");
  const std::string path = (folder / "red.txt").string();
  const auto& s = Sample();
  ProjectState state;
  state.vertexListText = s.vertices;
  state.classicalListText = s.classical;
  state.gpsListText = s.gps;
  ASSERT_TRUE(WriteProjectFile(path, state).ok());
  EXPECT_EQ(ReadWholeFile(path), ComposeProjectFile(path, ShortDateText(), s.vertices, s.classical, s.gps));
  const Result<ProjectSections> split = SplitProjectFile(path);
  ASSERT_TRUE(split.ok()) << split.error();
  ExpectSections(*split, s.vertices, s.classical, s.gps, "from the disk");

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
