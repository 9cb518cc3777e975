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
  const std::string empty = ComposeProjectFile("p", "d", "", "", "");
  EXPECT_TRUE(empty.ends_with("OBSERVACIONES GPS\r\n\r\n\r\n"));
  const ProjectSections sections = SplitProjectText(empty);
  EXPECT_TRUE(sections.titlesFound);
  ExpectSections(sections, "", "", "", "no records");
}

// Compose, split, compose again: the same bytes; so also with LF line ends, and the last
// complete set of titles wins.
TEST(ProjectFile, SplitGivesBackTheSections) {
  const auto& s = Sample();
  const std::string first = ComposeProjectFile("C:\\Redes\\norte.txt", "01/02/2026", s.vertices, s.classical, s.gps);
  const ProjectSections split = SplitProjectText(first);
  ASSERT_TRUE(split.titlesFound);
  ExpectSections(split, s.vertices, s.classical, s.gps, "CR LF");
  EXPECT_EQ(ComposeProjectFile("C:\\Redes\\norte.txt", "01/02/2026", split.vertexListText, split.classicalListText,
                               split.gpsListText),
            first);
  std::string lf = first;
  std::erase(lf, '\r');
  ExpectSections(SplitProjectText(lf), s.vertices, s.classical, s.gps, "LF only");
  const ProjectSections twice = SplitProjectText(ComposeProjectFile("p", "d", "A\r\n", "B\r\n", "C\r\n") + first);
  ExpectSections(twice, s.vertices, s.classical, s.gps, "two sets of titles");
}

TEST(ProjectFile, FileWithoutTheFinalBreakKeepsItsLastLine) {
  const auto& s = Sample();
  std::string text = ComposeProjectFile("p", "d", s.vertices, s.classical, s.gps);
  text.resize(text.size() - 2);  // no empty last line
  const ProjectSections sections = SplitProjectText(text);
  ASSERT_TRUE(sections.titlesFound);
  EXPECT_EQ(sections.gpsListText, s.gps.substr(0, s.gps.size() - 2));
  // And a file cut right after the GPS title: the section is empty.
  const ProjectSections cut = SplitProjectText(text.substr(0, text.find(kGpsSectionTitle) + kGpsSectionTitle.size()));
  EXPECT_TRUE(cut.titlesFound);
  ExpectSections(cut, s.vertices, s.classical, "", "cut after the GPS title");
}

TEST(ProjectFile, MissingOrMisplacedTitlesGiveEmptySections) {
  const auto& s = Sample();
  const std::string whole = ComposeProjectFile("p", "d", s.vertices, s.classical, s.gps);
  auto without = [&](const std::string& title) {
    std::string t = whole;
    t.erase(t.find(title), title.size());
    return t;
  };
  struct Case {
    const char* what;
    std::string text;
  } cases[] = {
      {"sin título GPS", without(kGpsSectionTitle)},
      {"sin título de vértices", without(kVertexSectionTitle)},
      {"títulos en otro orden",
       Cp1252("OBSERVACIONES GPS\r\n\r\n\r\nOBSERVACIONES CLÁSICAS\r\n\r\n\r\nVÉRTICES DE LA RED\r\n\r\n")},
      {"títulos pegados", kVertexSectionTitle + kClassicalSectionTitle + kGpsSectionTitle},
      {"texto vacío", ""},
  };
  for (const Case& c : cases) {
    const ProjectSections sections = SplitProjectText(c.text);
    EXPECT_FALSE(sections.titlesFound) << c.what;
    ExpectSections(sections, "", "", "", c.what);
  }
}

TEST(ProjectFile, WriteSplitWriteOnDisk) {
  const auto dir = korvo::testing::FreshTempDir("project_file");
  const std::string path = (dir / "red.txt").string();
  const auto& s = Sample();
  ProjectState state;
  state.vertexListText = s.vertices;
  state.classicalListText = s.classical;
  state.gpsListText = s.gps;
  ASSERT_TRUE(WriteProjectFile(path, state).ok());
  const std::string written = ReadWholeFile(path);
  EXPECT_EQ(written, ComposeProjectFile(path, ShortDateText(), s.vertices, s.classical, s.gps));

  const Result<ProjectSections> split = SplitProjectFile(path);
  ASSERT_TRUE(split.ok()) << split.error();
  ProjectState again;
  again.vertexListText = split->vertexListText;
  again.classicalListText = split->classicalListText;
  again.gpsListText = split->gpsListText;
  const std::string secondPath = (dir / "red2.txt").string();
  ASSERT_TRUE(WriteProjectFile(secondPath, again).ok());
  std::string expected = written;  // the same bytes except the path of the header line
  expected.replace(expected.find(path), path.size(), secondPath);
  EXPECT_EQ(ReadWholeFile(secondPath), expected);
}

TEST(ProjectFile, FailuresGiveTheirMessages) {
  const std::string path = (korvo::testing::FreshTempDir("project_file_fails") / "no_existe" / "red.txt").string();
  const Status status = WriteProjectFile(path, ProjectState{});
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error(), Cp1252(" ¡Se ha producido un error al guardar el archivo! "));
  EXPECT_FALSE(FileExists(path));
  const Result<ProjectSections> split = SplitProjectFile("/no/existe/red.txt");
  ASSERT_FALSE(split.ok());
  EXPECT_EQ(split.error(), Cp1252("No se encuentra el archivo o la carpeta."));
}

}  // namespace
}  // namespace korvo
