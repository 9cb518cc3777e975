// Writing a project file and splitting it back into its three sections.
#include "support/files.h"
#include <gtest/gtest.h>

#include <filesystem>

#include "common/files.h"
#include "common/win1252.h"
#include "network/network_model.h"
#include "network/project_file.h"
#include "network/project_lines.h"

namespace korvo {
namespace {

const std::string kCrLfs = "\r\n";

std::string Line(const Result<std::string>& built) {
  EXPECT_TRUE(built.ok()) << (built.ok() ? "" : built.error());
  return built.ok() ? *built : std::string();
}

struct Sections {
  std::string vertices, classical, gps;
};

Sections SampleSections() {
  Sections s;
  s.vertices = Line(BuildVertexLine({"1", kKindFixed, "4849202.391", "-360328.998", "4114913.186", "0", "0"})) +
               Line(BuildVertexLine({"2", kKindUnknown, "4849500.102", "-359800.50", "4114600.7", "", "", true}));
  s.classical = Line(BuildClassicalLine({kTypeDirection, "1", "2", "57.1234", "10"})) +
                Line(BuildClassicalLine({kTypeDistance, "1", "2", "678.123", ".003"}));
  s.gps = Line(BuildGpsBlock({"1", "2", "297.711", "528.498", "-312.486", "1.1E-05", "2E-06", "3E-06",
                              "1.2E-05", "4E-06", "1.3E-05"}));
  return s;
}

std::filesystem::path TempDir() {
  const auto dir = korvo::testing::TestTempRoot() /
                   ("korvo_project_file_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                    "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::create_directories(dir);
  return dir;
}

TEST(ProjectFile, ComposeGivesTheHeaderTitlesAndBreaks) {
  const std::string text = ComposeProjectFile("/datos/red.txt", "06/12/2026", "V\r\n", "C\r\n", "G\r\n");
  const std::string expected = Cp1252(
      "Fichero de datos de la aplicación KORVO\r\n\r\n"
      "Archivo /datos/red.txt   06/12/2026\r\n\r\n\r\n"
      "VÉRTICES DE LA RED\r\n\r\nV\r\n\r\n\r\n\r\n"
      "OBSERVACIONES CLÁSICAS\r\n\r\nC\r\n\r\n\r\n\r\n"
      "OBSERVACIONES GPS\r\n\r\nG\r\n\r\n");
  EXPECT_EQ(text, expected);
}

TEST(ProjectFile, NoBaselinesEndsWithTheTitleAndThreeBreaks) {
  const std::string text = ComposeProjectFile("p", "d", "", "", "");
  EXPECT_TRUE(text.ends_with("OBSERVACIONES GPS\r\n\r\n\r\n"));
  const ProjectSections sections = SplitProjectText(text);
  EXPECT_TRUE(sections.titlesFound);
  EXPECT_EQ(sections.vertexListText, "");
  EXPECT_EQ(sections.classicalListText, "");
  EXPECT_EQ(sections.gpsListText, "");
}

TEST(ProjectFile, ComposeSplitComposeReproducesTheBytes) {
  const Sections s = SampleSections();
  const std::string first = ComposeProjectFile("C:\\Redes\\norte.txt", "01/02/2026", s.vertices, s.classical, s.gps);
  const ProjectSections split = SplitProjectText(first);
  ASSERT_TRUE(split.titlesFound);
  EXPECT_EQ(split.vertexListText, s.vertices);
  EXPECT_EQ(split.classicalListText, s.classical);
  EXPECT_EQ(split.gpsListText, s.gps);
  EXPECT_EQ(ComposeProjectFile("C:\\Redes\\norte.txt", "01/02/2026", split.vertexListText,
                               split.classicalListText, split.gpsListText),
            first);
}

TEST(ProjectFile, WriteSplitWriteOnDisk) {
  const auto dir = TempDir();
  const std::string path = (dir / "red.txt").string();
  const Sections s = SampleSections();
  ProjectState state;
  state.vertexListText = s.vertices;
  state.classicalListText = s.classical;
  state.gpsListText = s.gps;
  ASSERT_TRUE(WriteProjectFile(path, state).ok());
  const Result<std::string> written = ReadFileBytes(path);
  ASSERT_TRUE(written.ok());
  EXPECT_EQ(*written, ComposeProjectFile(path, ShortDateText(), s.vertices, s.classical, s.gps));

  const Result<ProjectSections> split = SplitProjectFile(path);
  ASSERT_TRUE(split.ok()) << split.error();
  ProjectState again;
  again.vertexListText = split->vertexListText;
  again.classicalListText = split->classicalListText;
  again.gpsListText = split->gpsListText;
  const std::string secondPath = (dir / "red2.txt").string();
  ASSERT_TRUE(WriteProjectFile(secondPath, again).ok());
  const Result<std::string> rewritten = ReadFileBytes(secondPath);
  ASSERT_TRUE(rewritten.ok());
  // The same bytes except the path of the header line.
  std::string expected = *written;
  expected.replace(expected.find(path), path.size(), secondPath);
  EXPECT_EQ(*rewritten, expected);
  std::filesystem::remove_all(dir);
}

TEST(ProjectFile, ShortDateIsDayMonthYear) {
  const std::string date = ShortDateText();
  ASSERT_EQ(date.size(), 10u);
  EXPECT_EQ(date[2], '/');
  EXPECT_EQ(date[5], '/');
}

TEST(ProjectFile, FailedWriteGivesTheSaveMessageAndLeavesNoFile) {
  const auto dir = TempDir();
  const std::string path = (dir / "no_existe" / "red.txt").string();
  const Status status = WriteProjectFile(path, ProjectState{});
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error(), Cp1252(" ¡Se ha producido un error al guardar el archivo! "));
  EXPECT_FALSE(FileExists(path));
  std::filesystem::remove_all(dir);
}

TEST(ProjectFile, SplittingAMissingFileGivesTheSystemDescription) {
  const Result<ProjectSections> split = SplitProjectFile("/no/existe/red.txt");
  ASSERT_FALSE(split.ok());
  EXPECT_EQ(split.error(), Cp1252("No se encuentra el archivo o la carpeta."));
}

TEST(ProjectFile, MissingOrMisplacedTitlesGiveEmptySections) {
  const Sections s = SampleSections();
  const std::string whole = ComposeProjectFile("p", "d", s.vertices, s.classical, s.gps);
  struct Case {
    const char* what;
    std::string text;
  };
  auto without = [&](const std::string& title) {
    std::string t = whole;
    t.erase(t.find(title), title.size());
    return t;
  };
  const Case cases[] = {
      {"sin título GPS", without(kGpsSectionTitle)},
      {"sin título de observaciones clásicas", without(kClassicalSectionTitle)},
      {"sin título de vértices", without(kVertexSectionTitle)},
      {"títulos en otro orden",
       Cp1252("OBSERVACIONES GPS\r\n\r\n\r\nOBSERVACIONES CLÁSICAS\r\n\r\n\r\nVÉRTICES DE LA RED\r\n\r\n")},
      {"títulos pegados", kVertexSectionTitle + kClassicalSectionTitle + kGpsSectionTitle},
      {"texto vacío", ""},
  };
  for (const Case& c : cases) {
    const ProjectSections sections = SplitProjectText(c.text);
    EXPECT_FALSE(sections.titlesFound) << c.what;
    EXPECT_EQ(sections.vertexListText, "") << c.what;
    EXPECT_EQ(sections.classicalListText, "") << c.what;
    EXPECT_EQ(sections.gpsListText, "") << c.what;
  }
}

TEST(ProjectFile, TheLastCompleteSetOfTitlesWins) {
  const std::string first = ComposeProjectFile("p", "d", "A\r\n", "B\r\n", "C\r\n");
  const std::string second = ComposeProjectFile("p", "d", "X\r\n", "Y\r\n", "Z\r\n");
  const ProjectSections sections = SplitProjectText(first + second);
  ASSERT_TRUE(sections.titlesFound);
  EXPECT_EQ(sections.vertexListText, "X\r\n");
  EXPECT_EQ(sections.classicalListText, "Y\r\n");
  EXPECT_EQ(sections.gpsListText, "Z\r\n");
}

TEST(ProjectFile, LfOnlyFileSplitsIntoCrLfSections) {
  const Sections s = SampleSections();
  const std::string crlf = ComposeProjectFile("p", "d", s.vertices, s.classical, s.gps);
  std::string lf;
  for (char c : crlf) {
    if (c != '\r') lf.push_back(c);
  }
  const ProjectSections sections = SplitProjectText(lf);
  ASSERT_TRUE(sections.titlesFound);
  EXPECT_EQ(sections.vertexListText, s.vertices);
  EXPECT_EQ(sections.classicalListText, s.classical);
  EXPECT_EQ(sections.gpsListText, s.gps);
}

TEST(ProjectFile, FileWithoutTheFinalBreakKeepsItsLastLine) {
  const Sections s = SampleSections();
  std::string text = ComposeProjectFile("p", "d", s.vertices, s.classical, s.gps);
  text.resize(text.size() - 2);  // no empty last line
  const ProjectSections sections = SplitProjectText(text);
  ASSERT_TRUE(sections.titlesFound);
  EXPECT_EQ(sections.gpsListText, s.gps.substr(0, s.gps.size() - 2));
  // And a file cut right after the GPS title: the section is empty.
  const std::string cut = text.substr(0, text.find(kGpsSectionTitle) + kGpsSectionTitle.size());
  const ProjectSections cutSections = SplitProjectText(cut);
  EXPECT_TRUE(cutSections.titlesFound);
  EXPECT_EQ(cutSections.gpsListText, "");
  EXPECT_EQ(cutSections.vertexListText, s.vertices);
}

}  // namespace
}  // namespace korvo
