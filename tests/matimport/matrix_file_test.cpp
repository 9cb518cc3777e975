// Reading one matrix of an imported observation system from a text file.
#include <gtest/gtest.h>

#include <string>

#include "common/win1252.h"
#include "matimport/matrix_file.h"
#include "support/files.h"

namespace korvo {
namespace {

std::string Write(const std::string& name, const std::string& bytes) {
  return korvo::testing::WriteTempFile("matrix_file/" + name, bytes).string();
}

// Separators alone, mixed and in runs, and blank ends of a line.
TEST(MatrixFile, ReadsRowsAndColumnsWithEverySeparatorLineEndAndAByteOrderMark) {
  for (const std::string& text : {std::string("1;2;3\r\n4;5;6"), std::string("1 2 3\n4 5 6\n"),
                                  std::string("1\t2\t3\r4\t5\t6\r\n\r\n  \r\n"),
                                  std::string("  1;;2 ;\t3  \r\n4\t\t5   6 \t \r\n"),
                                  std::string("\xEF\xBB\xBF" "1 2 3\r\n4 5 6\r\n")}) {
    Result<Matrix> m = ReadMatrixFile(Write("a.txt", text));
    ASSERT_TRUE(m.ok()) << m.error();
    ASSERT_EQ(m->rows(), 2);
    ASSERT_EQ(m->cols(), 3);
    for (int i = 1; i <= 2; ++i)
      for (int j = 1; j <= 3; ++j) EXPECT_EQ((*m)(i, j), 3 * (i - 1) + j) << '"' << text << '"';
  }
  Result<Matrix> m = ReadMatrixFile(Write("k.txt", "0.25 -1.5E+2 3D0\r\n.5 +7 abc\r\n"));
  ASSERT_TRUE(m.ok()) << m.error();
  EXPECT_EQ((*m)(2, 3), 0.0);  // a text without a leading number (the number texts are ReadNumber's table)
}

TEST(MatrixFile, FailuresGiveTheirMessages) {
  const std::string comma = "El formato de los elementos de las matrices no es correcto:\r\n\r\nEn {} hay alguna ',' "
                            "como separador decimal.";
  const std::string readError = "Se ha producido un error en la lectura de los ficheros de matrices.\r\n"
                                "Compruebe los formatos.";
  std::string wide;
  for (int j = 0; j < 32768; ++j) wide += "1 ";
  enum class Path { Written, Missing, Folder };
  const struct {
    std::string text;
    std::string message;  // UTF-8; {} stands for the path
    Path path = Path::Written;
  } cases[] = {
      // A decimal comma anywhere is named before the row faults that come earlier.
      {"1 0\r\n0 1,5\r\n", comma}, {"1 2\r\n3\r\n4 1,5\r\n", comma}, {"\r\n1,5\r\n", comma},
      {"", "¡ El fichero {} no existe !", Path::Missing},
      {"", readError}, {"\r\n\r\n", readError}, {"1 2 3\r\n4 5\r\n", readError}, {"1 2\r\n\r\n3 4\r\n", readError},
      {"1 2\r\n3 1E999\r\n", readError},
      {"", readError, Path::Folder},  // exists but cannot be read
      {wide, "¡ El fichero {} es demasiado grande !"},
  };
  int number = 0;
  for (const auto& c : cases) {
    const std::string name = "bad" + std::to_string(++number) + ".txt";
    const std::string path = c.path == Path::Written ? Write(name, c.text)
                             : c.path == Path::Missing ? (korvo::testing::TestTempRoot() / "matrix_file" / name).string()
                                                       : korvo::testing::FreshTempDir("matrix_folder").string();
    std::string expected = Cp1252(c.message);
    if (const auto at = expected.find("{}"); at != std::string::npos) expected.replace(at, 2, path);
    Result<Matrix> m = ReadMatrixFile(path);
    ASSERT_FALSE(m.ok()) << '"' << c.text.substr(0, 40) << '"';
    EXPECT_EQ(m.error(), expected) << '"' << c.text.substr(0, 40) << '"';
  }
}

}  // namespace
}  // namespace korvo
