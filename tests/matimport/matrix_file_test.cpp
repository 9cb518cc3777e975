// Reading one matrix of an imported observation system from a text file.
#include "support/files.h"
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/win1252.h"
#include "matimport/matrix_file.h"

namespace korvo {
namespace {

class MatrixFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = korvo::testing::TestTempRoot() /
              ("korvo_matrix_file_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  std::filesystem::path folder_;
};

TEST(CountLineValues, SeparatorsAndRuns) {
  struct Case {
    const char* line;
    int values;
  } cases[] = {
      {"1;2;3", 3},       {"1 2 3", 3},      {"1\t2\t3", 3}, {"1   2", 2},     {"  1 2  ", 2},
      {"1; 2 ;\t3", 3},   {"-1.5E-3", 1},    {"", 0},        {" \t ", 0},     {"1;;2", 2},
  };
  for (const Case& c : cases) EXPECT_EQ(CountLineValues(c.line), c.values) << '"' << c.line << '"';
}

TEST_F(MatrixFileTest, ReadsRowsAndColumnsWithEveryLineEnd) {
  for (const std::string& text : {std::string("1;2;3\r\n4;5;6"), std::string("1;2;3\r\n4;5;6\r\n"),
                                  std::string("1 2 3\n4 5 6\n"), std::string("1\t2\t3\r4\t5\t6\r\n\r\n  \r\n")}) {
    Result<Matrix> m = ReadMatrixFile(Write("a.txt", text));
    ASSERT_TRUE(m.ok()) << m.error();
    ASSERT_EQ(m->rows(), 2);
    ASSERT_EQ(m->cols(), 3);
    for (int i = 1; i <= 2; ++i)
      for (int j = 1; j <= 3; ++j) EXPECT_EQ((*m)(i, j), 3 * (i - 1) + j);
  }
}

TEST_F(MatrixFileTest, ValuesAreReadWithThePointAsDecimalSeparator) {
  Result<Matrix> m = ReadMatrixFile(Write("k.txt", "0.25 -1.5E+2 3D0\r\n.5 +7 abc\r\n"));
  ASSERT_TRUE(m.ok()) << m.error();
  EXPECT_EQ((*m)(1, 1), 0.25);
  EXPECT_EQ((*m)(1, 2), -150.0);
  EXPECT_EQ((*m)(1, 3), 3.0);
  EXPECT_EQ((*m)(2, 1), 0.5);
  EXPECT_EQ((*m)(2, 2), 7.0);
  EXPECT_EQ((*m)(2, 3), 0.0);  // a text without a leading number reads as 0
}

TEST_F(MatrixFileTest, ByteOrderMarkOfAUtf8FileIsNotPartOfTheFirstValue) {
  Result<Matrix> m = ReadMatrixFile(Write("bom.txt", "\xEF\xBB\xBF" "4 2\r\n1 3\r\n"));
  ASSERT_TRUE(m.ok()) << m.error();
  ASSERT_EQ(m->rows(), 2);
  ASSERT_EQ(m->cols(), 2);
  EXPECT_EQ((*m)(1, 1), 4.0);
  EXPECT_EQ((*m)(1, 2), 2.0);
  EXPECT_EQ((*m)(2, 2), 3.0);
}

TEST_F(MatrixFileTest, DecimalCommaIsRefusedNamingTheFile) {
  const std::string path = Write("p.txt", "1 0\r\n0 1,5\r\n");
  Result<Matrix> m = ReadMatrixFile(path);
  ASSERT_FALSE(m.ok());
  EXPECT_EQ(m.error(), Cp1252("El formato de los elementos de las matrices no es correcto:\r\n\r\nEn ") + path +
                           " hay alguna ',' como separador decimal.");
}

TEST_F(MatrixFileTest, DecimalCommaAnywhereInTheFileIsNamedBeforeOtherRowFaults) {
  // Each file has a row fault (short row, blank row, empty first line) before the "1,5".
  for (const std::string& text : {std::string("1 2\r\n3\r\n4 1,5\r\n"), std::string("1 2\r\n\r\n1,5 4\r\n"),
                                  std::string("\r\n1,5\r\n"), std::string("1;2\r\n3;4;5\r\n6;7\r\n8;9;1,5")}) {
    const std::string path = Write("coma.txt", text);
    Result<Matrix> m = ReadMatrixFile(path);
    ASSERT_FALSE(m.ok()) << '"' << text << '"';
    EXPECT_EQ(m.error(), Cp1252("El formato de los elementos de las matrices no es correcto:\r\n\r\nEn ") + path +
                             " hay alguna ',' como separador decimal.")
        << '"' << text << '"';
  }
}

TEST_F(MatrixFileTest, MissingFileIsNamed) {
  const std::string path = (folder_ / "no_esta.txt").string();
  Result<Matrix> m = ReadMatrixFile(path);
  ASSERT_FALSE(m.ok());
  EXPECT_EQ(m.error(), Cp1252("¡ El fichero ") + path + " no existe !");
}

TEST_F(MatrixFileTest, MalformedFilesGiveTheReadErrorMessage) {
  const std::string expected = Cp1252("Se ha producido un error en la lectura de los ficheros de matrices.\r\n"
                                      "Compruebe los formatos.");
  for (const std::string& text : {std::string(""), std::string("\r\n\r\n"), std::string("1 2 3\r\n4 5\r\n"),
                                  std::string("1 2\r\n\r\n3 4\r\n"), std::string("1 2\r\n3 1E999\r\n")}) {
    Result<Matrix> m = ReadMatrixFile(Write("bad.txt", text));
    ASSERT_FALSE(m.ok()) << '"' << text << '"';
    EXPECT_EQ(m.error(), expected) << '"' << text << '"';
  }
  // A folder in place of a file exists but cannot be read.
  Result<Matrix> folder = ReadMatrixFile(folder_.string());
  ASSERT_FALSE(folder.ok());
  EXPECT_EQ(folder.error(), expected);
}

TEST_F(MatrixFileTest, TooManyColumnsIsTooLarge) {
  std::string line;
  for (int j = 0; j < 32768; ++j) line += "1 ";
  const std::string path = Write("big.txt", line);
  Result<Matrix> m = ReadMatrixFile(path);
  ASSERT_FALSE(m.ok());
  EXPECT_EQ(m.error(), Cp1252("¡ El fichero ") + path + " es demasiado grande !");
}

}  // namespace
}  // namespace korvo
