// korvo-cli matrices: adjusting a system imported from its A, k and P files.
#include <gtest/gtest.h>

#include <string>

#include "common/win1252.h"
#include "support/files.h"

namespace korvo {
namespace {

using korvo::testing::CliRun;

class MatricesCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = korvo::testing::FreshTempDir("matrices_cli");
    // The mean of six values, the last one a gross error.
    a_ = Write("a.txt", "1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n");
    k_ = Write("k.txt", "10.001\r\n9.999\r\n10.002\r\n9.998\r\n10.000\r\n10.5\r\n");
    p_ = Write("p.txt",
               "1E6 0 0 0 0 0\r\n0 1E6 0 0 0 0\r\n0 0 1E6 0 0 0\r\n0 0 0 1E6 0 0\r\n0 0 0 0 1E6 0\r\n0 0 0 0 0 1E6\r\n");
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    return korvo::testing::WriteTempFile("matrices_cli/" + name, bytes).string();
  }
  CliRun Run(const std::string& a, const std::string& k, const std::string& p, const std::string& more = "") {
    return korvo::testing::RunKorvoCli("matrices \"" + a + "\" \"" + k + "\" \"" + p + "\" " + more);
  }
  std::filesystem::path dir_;
  std::string a_, k_, p_;
};

TEST_F(MatricesCommandTest, WritesTheReportOfTheImportedSystem) {
  const std::string results = (dir_ / "resultados.txt").string();
  const CliRun run = Run(a_, k_, p_, "-o \"" + results + "\"");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string report = korvo::testing::ReadWholeFile(results);  // Windows-1252
  EXPECT_TRUE(report.starts_with("\r\nMATRICES IMPORTADAS:\r\n    " + a_ + "\r\n"));
  EXPECT_NE(report.find(Cp1252(" Observación      Residuo M.C.  Residuo Huber   Residuo Lp    Residuo L1  \r\n")),
            std::string::npos);
  // The least-squares residual of the blunder: mean 60.5/6, residual 10.0833 − 10.5.
  EXPECT_NE(report.find("     6" + std::string(19, ' ') + "-.417  "), std::string::npos);
  EXPECT_TRUE(report.ends_with("\r\n\r\n"));
}

TEST_F(MatricesCommandTest, SwitchesAndLimits) {
  CliRun run = Run(a_, k_, p_, "--sin-robustos");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out.find("COMPARACI"), std::string::npos);
  run = Run(a_, k_, p_, "--sin-huber --sin-lp --max-iter-l1 0");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("El método mínima norma L1 alcanzó el número máximo de iteraciones sin convergencia"),
            std::string::npos);
  EXPECT_EQ(run.out.find("Residuo Huber"), std::string::npos);
  run = Run(a_, k_, p_, "--vertices \"" + korvo::testing::Example("red_ejemplo.txt").string() + "\"");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with("Punto")) << run.out.substr(0, 200);
  EXPECT_EQ(Run(a_, k_, p_, "--max-iter-lp diez").exitCode, 2);
  EXPECT_EQ(korvo::testing::RunKorvoCli("matrices \"" + a_ + "\" \"" + k_ + "\"").exitCode, 2);
}

// Independent terms all zero: every residual is zero and the adapted Lp norms cannot run. The
// report still comes out, with Huber and L1 and the Lp sentence; the warning goes to stderr.
TEST_F(MatricesCommandTest, EstimatorThatCannotRunIsAWarningNotAFailure) {
  const CliRun run = Run(a_, Write("k0.txt", "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"), p_);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string sentence = "El método de mínimas normas Lp adaptadas no pudo calcularse: ";
  EXPECT_TRUE(run.err.starts_with(sentence)) << run.err;
  EXPECT_NE(run.out.find(" Observación      Residuo M.C.  Residuo Huber   Residuo L1  \r\n"), std::string::npos);
  EXPECT_NE(run.out.find(sentence), std::string::npos);
}

TEST_F(MatricesCommandTest, ImportFailuresArePrinted) {
  const std::string missing = (dir_ / "falta.txt").string();
  CliRun run = Run(a_, missing, p_);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "¡ El fichero " + missing + " no existe !\n");
  run = Run(a_, Write("k5.txt", "1\r\n2\r\n3\r\n4\r\n5\r\n"), p_);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("Matriz A: 6 x 1\r\nMatriz K: 5 x 1\r\nMatriz P: 6 x 6"), std::string::npos);
}

}  // namespace
}  // namespace korvo
