#include "report/results_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/files.h"
#include "common/win1252.h"
#include "support/files.h"

namespace korvo {
namespace {

using korvo::testing::FreshTempDir;
using korvo::testing::ReadWholeFile;

TEST(ResultsFileTest, TheThreeTextsInOrderAndOneCrLfOverwritingWhole) {
  const std::string path = (FreshTempDir("results_file") / "salida.txt").string();
  ASSERT_TRUE(WriteResultsFile(path, "un texto bastante largo", "", "").ok());
  const std::string header = "PROYECTO\r\n" + Cp1252("SISTEMA DE ECUACIONES DE OBSERVACIÓN") + "\r\n";
  ASSERT_TRUE(WriteResultsFile(path, header, "\r\nLS", Cp1252("COMPARACIÓN")).ok());
  EXPECT_EQ(ReadWholeFile(path), header + "\r\nLS" + Cp1252("COMPARACIÓN") + "\r\n");
  ASSERT_TRUE(WriteResultsFile(path, "", "A", "").ok());
  EXPECT_EQ(ReadWholeFile(path), "A\r\n");
  // A failure leaves no file and names it.
  const std::string missing = (FreshTempDir("results_file_fails") / "no_existe" / "r.txt").string();
  const Status written = WriteResultsFile(missing, "H", "L", "R");
  ASSERT_FALSE(written.ok());
  EXPECT_NE(written.error().find("r.txt"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST(DefaultResultsPathTest, BesideTheProjectWithSuffix) {
  EXPECT_EQ(DefaultResultsPath("/datos/red.txt"), "/datos/red_resultados.txt");
  EXPECT_EQ(DefaultResultsPath("red"), "red_resultados.txt");
  EXPECT_EQ(DefaultResultsPath("/a.b/red.final.dat"), "/a.b/red.final_resultados.txt");
}

}  // namespace
}  // namespace korvo
