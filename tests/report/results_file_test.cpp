#include "support/files.h"
#include "report/results_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/files.h"
#include "common/win1252.h"

namespace korvo {
namespace {

namespace fs = std::filesystem;

class ResultsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = korvo::testing::TestTempRoot() /
             ("korvo_results_file_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  fs::path folder;
};

TEST_F(ResultsFileTest, BytesAreTheThreeTextsInOrderAndOneCrLf) {
  const std::string header = "PROYECTO\r\n" + Cp1252("SISTEMA DE ECUACIONES DE OBSERVACIÓN") + "\r\n";
  const std::string ls = "\r\n" + Cp1252("RESULTADOS DEL AJUSTE POR MÍNIMOS CUADRADOS");
  const std::string robust = Cp1252("COMPARACIÓN");
  const std::string path = (folder / "salida.txt").string();
  ASSERT_TRUE(WriteResultsFile(path, header, ls, robust).ok());
  const Result<std::string> bytes = ReadFileBytes(path);
  ASSERT_TRUE(bytes.ok());
  EXPECT_EQ(*bytes, header + ls + robust + "\r\n");
  // Windows-1252: "Ó" is one byte, 0xD3.
  EXPECT_NE(bytes->find('\xD3'), std::string::npos);
}

TEST_F(ResultsFileTest, EmptyComparisonStillEndsWithOneCrLf) {
  const std::string path = (folder / "r.txt").string();
  ASSERT_TRUE(WriteResultsFile(path, "", "A", "").ok());
  EXPECT_EQ(*ReadFileBytes(path), "A\r\n");
}

TEST_F(ResultsFileTest, OverwritesAnExistingFileWhole) {
  const std::string path = (folder / "r.txt").string();
  ASSERT_TRUE(WriteResultsFile(path, "un texto bastante largo", "", "").ok());
  ASSERT_TRUE(WriteResultsFile(path, "corto", "", "").ok());
  EXPECT_EQ(*ReadFileBytes(path), "corto\r\n");
}

TEST_F(ResultsFileTest, FailureLeavesNoFileAndNamesIt) {
  const std::string path = (folder / "no_existe" / "r.txt").string();
  const Status written = WriteResultsFile(path, "H", "L", "R");
  ASSERT_FALSE(written.ok());
  EXPECT_NE(written.error().find("r.txt"), std::string::npos);
  EXPECT_FALSE(fs::exists(path));
}

TEST(DefaultResultsPathTest, BesideTheProjectWithSuffix) {
  EXPECT_EQ(DefaultResultsPath("/datos/red.txt"), "/datos/red_resultados.txt");
  EXPECT_EQ(DefaultResultsPath("red"), "red_resultados.txt");
  EXPECT_EQ(DefaultResultsPath("/a.b/red.final.dat"), "/a.b/red.final_resultados.txt");
}

}  // namespace
}  // namespace korvo
