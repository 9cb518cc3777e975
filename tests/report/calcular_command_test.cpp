// korvo-cli calcular end to end: the sample project, options, and the failures.
#include "support/files.h"
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "common/files.h"
#include "common/win1252.h"
#include "network/network_model.h"
#include "network/project_file.h"
#include "network/project_lines.h"

namespace korvo {
namespace {

namespace fs = std::filesystem;

using korvo::testing::CliRun;

class CalcularCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = korvo::testing::TestTempRoot() /
             ("korvo_calcular_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  CliRun Run(const std::string& arguments) { return korvo::testing::RunKorvoCli("calcular " + arguments); }

  std::string Sample() const { return std::string(KORVO_SOURCE_DIR) + "/examples/red_ejemplo.txt"; }

  fs::path folder;
};

TEST_F(CalcularCommandTest, SampleProjectGivesItsResultsFile) {
  const fs::path results = folder / "resultados.txt";
  // Least squares only: the report then ends with the external reliability vectors.
  const CliRun run = Run("\"" + Sample() + "\" -o \"" + results.string() + "\" --sin-robustos");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const Result<std::string> project = ReadFileBytes(Sample());
  const Result<std::string> bytes = ReadFileBytes(results.string());
  ASSERT_TRUE(project.ok());
  ASSERT_TRUE(bytes.ok());
  // The project text, then the printed system, then the report; one CR LF at the very end.
  EXPECT_EQ(bytes->compare(0, project->size(), *project), 0);
  EXPECT_EQ(bytes->compare(project->size(), 3 + 3 + 36, "\r\n\r\n\r\n" + Cp1252("SISTEMA DE ECUACIONES DE OBSERVACIÓN")), 0);
  EXPECT_NE(bytes->find("\r\nMATRIZ DE PESOS\r\n"), std::string::npos);
  EXPECT_NE(bytes->find(Cp1252("\r\n\r\n\r\n\r\nRESULTADOS DEL AJUSTE POR MÍNIMOS CUADRADOS\r\n")), std::string::npos);
  EXPECT_NE(bytes->find("\r\nVectores de fiabilidad externa\r\n"), std::string::npos);
  EXPECT_EQ(bytes->substr(bytes->size() - 6), "  \r\n\r\n");  // last vector cell, its line end, the final CR LF
  // Windows-1252 throughout: no UTF-8 sequence for "Ó".
  EXPECT_EQ(bytes->find("\xC3\x93"), std::string::npos);
  EXPECT_NE(run.out.find(results.string()), std::string::npos);
}

TEST_F(CalcularCommandTest, DefaultResultsFileLiesBesideTheProject) {
  const fs::path project = folder / "red.txt";
  fs::copy_file(Sample(), project);
  const CliRun run = Run("\"" + project.string() + "\" --sin-robustos");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(fs::exists(folder / "red_resultados.txt"));
}

TEST_F(CalcularCommandTest, OptionsChangeTheSystem) {
  const fs::path perLine = folder / "por_linea.txt";
  const fs::path fixedK = folder / "k_fijo.txt";
  const fs::path single = folder / "k_red.txt";
  ASSERT_EQ(Run("\"" + Sample() + "\" -o \"" + perLine.string() + "\"").exitCode, 0);
  ASSERT_EQ(Run("\"" + Sample() + "\" -o \"" + fixedK.string() + "\" --k-fijo 0.13").exitCode, 0);
  ASSERT_EQ(Run("\"" + Sample() + "\" -o \"" + single.string() + "\" --k-red").exitCode, 0);
  const std::string perLineText = *ReadFileBytes(perLine.string());
  const std::string fixedText = *ReadFileBytes(fixedK.string());
  const std::string singleText = *ReadFileBytes(single.string());
  // Per-line refraction unknowns are named "k<from>-<to>" in the header; one unknown for the
  // network is "k" alone; a fixed coefficient has none.
  EXPECT_NE(perLineText.find("  k1-2"), std::string::npos);
  EXPECT_NE(singleText.find("      k     " "   "), std::string::npos);
  EXPECT_EQ(singleText.find("  k1-2"), std::string::npos);
  EXPECT_EQ(fixedText.find("  k1-2"), std::string::npos);
  EXPECT_EQ(fixedText.find("      k     " "   "), std::string::npos);
}

TEST_F(CalcularCommandTest, ExistingResultsFileIsKeptWithoutOverwriteFlag) {
  const fs::path results = folder / "r.txt";
  { std::ofstream(results) << "anterior"; }
  const CliRun refused = Run("\"" + Sample() + "\" -o \"" + results.string() + "\"");
  EXPECT_NE(refused.exitCode, 0);
  EXPECT_NE(refused.err.find("¡El Fichero ya existe!"), std::string::npos) << refused.err;
  EXPECT_EQ(*ReadFileBytes(results.string()), "anterior");
  const CliRun replaced = Run("\"" + Sample() + "\" -o \"" + results.string() + "\" --sobrescribir");
  EXPECT_EQ(replaced.exitCode, 0) << replaced.err;
  EXPECT_NE(*ReadFileBytes(results.string()), "anterior");
}

TEST_F(CalcularCommandTest, BadArgumentsAreRefusedInSpanish) {
  struct Case {
    std::string arguments;
    std::string expected;  // part of the message on standard error (UTF-8)
  };
  const Case cases[] = {
      {"", "Falta el fichero de datos del proyecto"},
      {"\"" + Sample() + "\" --k-fijo 0,08", "Use '.' como separador decimal"},
      {"\"" + Sample() + "\" --k-fijo", "Falta el valor de la opción --k-fijo"},
      {"\"" + Sample() + "\" --max-iter-l1 diez", "no es un número"},
      {"\"" + Sample() + "\" --max-iter-lp 40000", "entre -32768 y 32767"},
      {"\"" + Sample() + "\" --desconocida", "Opción desconocida: --desconocida"},
      {"\"" + Sample() + "\" otro.txt", "Sobra el argumento: otro.txt"},
  };
  for (const Case& c : cases) {
    const CliRun run = Run(c.arguments);
    EXPECT_EQ(run.exitCode, 2) << c.arguments;
    EXPECT_NE(run.err.find(c.expected), std::string::npos) << c.arguments << "\n" << run.err;
  }
}

// Two baselines that are exactly the coordinate differences: every residual is zero, so the
// adapted Lp norms cannot measure their kurtosis. The results are written all the same, with
// the estimator's sentence in the report and on standard error.
TEST_F(CalcularCommandTest, EstimatorThatCannotRunIsAWarningNotAFailure) {
  const fs::path project = folder / "exacta.txt";
  const fs::path results = folder / "exacta_resultados.txt";
  const std::string text = ComposeProjectFile(
      project.string(), "06/12/2026",
      *BuildVertexLine({"1", kKindFixed, "4849202", "-360328", "4114913", "0", "0", false}) +
          *BuildVertexLine({"2", kKindUnknown, "4848000", "-358000", "4116500", "0", "0", false}) +
          *BuildVertexLine({"3", kKindFixed, "4850500", "-357000", "4113500", "0", "0", false}),
      "",
      *BuildGpsBlock({"1", "2", "-1202", "2328", "1587", "0.0001", "0", "0", "0.0001", "0", "0.0001"}) +
          *BuildGpsBlock({"2", "3", "2500", "1000", "-3000", "0.0001", "0", "0", "0.0001", "0", "0.0001"}));
  ASSERT_TRUE(WriteFileAtomically(project.string(), text).ok());
  const CliRun run = Run("\"" + project.string() + "\"");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const std::string sentence = "El método de mínimas normas Lp adaptadas no pudo calcularse: El método de mínimas "
                               "normas Lp adaptadas no puede determinar la curtosis de la distribución:";
  EXPECT_TRUE(run.err.starts_with(sentence)) << run.err;
  EXPECT_NE(run.out.find("Ajuste realizado"), std::string::npos);
  const Result<std::string> bytes = ReadFileBytes(results.string());
  ASSERT_TRUE(bytes.ok());
  EXPECT_NE(bytes->find(Cp1252("RESULTADOS DEL AJUSTE POR MÍNIMOS CUADRADOS")), std::string::npos);
  EXPECT_NE(bytes->find("Residuo Huber"), std::string::npos);
  EXPECT_NE(bytes->find(Cp1252(sentence)), std::string::npos);
}

TEST_F(CalcularCommandTest, MissingProjectFailsWithTheLoaderMessage) {
  const fs::path results = folder / "r.txt";
  const CliRun run = Run("\"" + (folder / "no_existe.txt").string() + "\" -o \"" + results.string() + "\"");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_FALSE(run.err.empty());
  EXPECT_FALSE(fs::exists(results));
}

TEST_F(CalcularCommandTest, ProjectWithoutRedundancyWritesNothing) {
  const fs::path project = folder / "corto.txt";
  const fs::path results = folder / "corto_resultados.txt";
  // Copy the sample's header and vertex section with a single distance as its observations.
  std::string text = *ReadFileBytes(Sample());
  const std::size_t classical = text.find(Cp1252("OBSERVACIONES CLÁSICAS"));
  ASSERT_NE(classical, std::string::npos);
  text = text.substr(0, classical) + Cp1252("OBSERVACIONES CLÁSICAS") + "\r\n\r\n" +
         Cp1252("Geométrica") + " de    1    a      2       Valor:   3317.010  " +
         Cp1252("     Desviación típica: ") + " 0.003" + std::string(19, ' ') + "\r\n\r\n\r\n\r\n" +
         "OBSERVACIONES GPS\r\n\r\n\r\n";
  ASSERT_TRUE(WriteFileAtomically(project.string(), text).ok());
  const CliRun run = Run("\"" + project.string() + "\"");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("mínimos cuadrados"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(results));
}

}  // namespace
}  // namespace korvo
