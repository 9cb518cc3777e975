// korvo-cli calcular end to end: the sample project, options, and the failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/win1252.h"
#include "support/files.h"
#include "support/project_text.h"

namespace korvo {
namespace {

namespace fs = std::filesystem;
using korvo::testing::CliRun;
using korvo::testing::ReadWholeFile;

class CalcularCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { folder = korvo::testing::FreshTempDir("calcular"); }
  CliRun Run(const std::string& arguments) { return korvo::testing::RunKorvoCli("calcular " + arguments); }
  std::string Sample() const { return "\"" + korvo::testing::Example("red_ejemplo.txt").string() + "\""; }
  std::string Write(const std::string& name, const korvo::testing::ProjectText& project) {
    const std::string path = (folder / name).string();
    std::ofstream(path, std::ios::binary) << project.File(path);
    return path;
  }
  fs::path folder;
};

TEST_F(CalcularCommandTest, ResultsFileIsTheProjectTheSystemAndTheReport) {
  const fs::path results = folder / "resultados.txt";
  // Least squares only: the report then ends with the external reliability vectors.
  const CliRun run = Run(Sample() + " -o \"" + results.string() + "\" --sin-robustos");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string project = ReadWholeFile(korvo::testing::Example("red_ejemplo.txt"));
  const std::string bytes = ReadWholeFile(results);
  EXPECT_EQ(bytes.compare(0, project.size(), project), 0);
  EXPECT_EQ(bytes.compare(project.size(), 3 + 3 + 36, "\r\n\r\n\r\n" + Cp1252("SISTEMA DE ECUACIONES DE OBSERVACIÓN")), 0);
  EXPECT_NE(bytes.find(Cp1252("\r\nMATRIZ DE PESOS\r\n")), std::string::npos);
  EXPECT_NE(bytes.find(Cp1252("\r\n\r\n\r\n\r\nRESULTADOS DEL AJUSTE POR MÍNIMOS CUADRADOS\r\n")), std::string::npos);
  EXPECT_TRUE(bytes.ends_with("  \r\n\r\n"));  // last vector cell, its line end, the final CR LF
  EXPECT_EQ(bytes.find("\xC3\x93"), std::string::npos);  // Windows-1252: no UTF-8 "Ó"
  EXPECT_NE(run.out.find(results.string()), std::string::npos);
}

TEST_F(CalcularCommandTest, RefractionOptionsChangeTheUnknowns) {
  // Per-line unknowns are named "k<from>-<to>"; one for the network is "k" alone; a fixed
  // coefficient has none. Without -o the results lie beside the project.
  const fs::path project = folder / "red.txt";
  fs::copy_file(korvo::testing::Example("red_ejemplo.txt"), project);
  struct Case {
    const char* option;
    bool perLine, network;
  } cases[] = {{"", true, false}, {"--k-fijo 0.13", false, false}, {"--k-red", false, true}};
  for (const Case& c : cases) {
    ASSERT_EQ(Run("\"" + project.string() + "\" --sobrescribir " + c.option).exitCode, 0) << c.option;
    const std::string text = ReadWholeFile(folder / "red_resultados.txt");
    EXPECT_EQ(text.find("  k1-2") != std::string::npos, c.perLine) << c.option;
    EXPECT_EQ(text.find("      k        ") != std::string::npos, c.network) << c.option;
  }
}

TEST_F(CalcularCommandTest, ExistingResultsFileIsKeptWithoutOverwriteFlag) {
  const fs::path results = folder / "r.txt";
  std::ofstream(results) << "anterior";
  const CliRun refused = Run(Sample() + " -o \"" + results.string() + "\"");
  EXPECT_NE(refused.exitCode, 0);
  EXPECT_NE(refused.err.find("¡El Fichero ya existe!"), std::string::npos) << refused.err;
  EXPECT_EQ(ReadWholeFile(results), "anterior");
  EXPECT_EQ(Run(Sample() + " -o \"" + results.string() + "\" --sobrescribir").exitCode, 0);
  EXPECT_NE(ReadWholeFile(results), "anterior");
}

TEST_F(CalcularCommandTest, BadArgumentsAreRefusedInSpanish) {
  struct Case {
    std::string arguments;
    std::string expected;  // part of the message on standard error (UTF-8)
  };
  const Case cases[] = {
      {"", "Falta el fichero de datos del proyecto"},
      {Sample() + " --k-fijo 0,08", "Use '.' como separador decimal"},
      {Sample() + " --k-fijo", "Falta el valor de la opción --k-fijo"},
      {Sample() + " --max-iter-l1 diez", "no es un número"},
      {Sample() + " --max-iter-lp 40000", "entre -32768 y 32767"},
      {Sample() + " --desconocida", "Opción desconocida: --desconocida"},
      {Sample() + " otro.txt", "Sobra el argumento: otro.txt"},
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
  korvo::testing::ProjectText p;
  p.Vertex("1", true, "4849202", "-360328", "4114913")
      .Vertex("2", false, "4848000", "-358000", "4116500")
      .Vertex("3", true, "4850500", "-357000", "4113500")
      .Baseline("1", "2", "-1202", "2328", "1587")
      .Baseline("2", "3", "2500", "1000", "-3000");
  const CliRun run = Run("\"" + Write("exacta.txt", p) + "\"");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const std::string sentence = "El método de mínimas normas Lp adaptadas no pudo calcularse: El método de mínimas "
                               "normas Lp adaptadas no puede determinar la curtosis de la distribución:";
  EXPECT_TRUE(run.err.starts_with(sentence)) << run.err;
  const std::string bytes = ReadWholeFile(folder / "exacta_resultados.txt");
  EXPECT_NE(bytes.find("Residuo Huber"), std::string::npos);
  EXPECT_NE(bytes.find(Cp1252(sentence)), std::string::npos);
}

TEST_F(CalcularCommandTest, FailuresWriteNothing) {
  const CliRun missing = Run("\"" + (folder / "no_existe.txt").string() + "\" -o \"" + (folder / "r.txt").string() + "\"");
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_FALSE(missing.err.empty());
  EXPECT_FALSE(fs::exists(folder / "r.txt"));
  // One distance for three unknown coordinates: no redundancy.
  korvo::testing::ProjectText p;
  p.Vertex("1", true, "4849202", "-360328", "4114913")
      .Vertex("2", false, "4848000", "-358000", "4116500")
      .Observation(kTypeDistance, "1", "2", "3317.010", "0.003");
  const CliRun run = Run("\"" + Write("corto.txt", p) + "\"");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("mínimos cuadrados"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(folder / "corto_resultados.txt"));
}

}  // namespace
}  // namespace korvo
