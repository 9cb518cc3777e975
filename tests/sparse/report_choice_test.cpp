// --informe on both commands that adjust: the compact report printed from the sparse path
// against the full one, the refusal of a full report that does not fit, and an allocation
// failure.
//
// The Lp loop runs one reweighting and L1 none here: weights such as 1/|v| turn the rounding
// of any two summation orders into visibly different iterates after a few passes, on either
// path, and the sample's rows without redundancy have residuals of rounding size, whose L1
// weights are pure rounding (engine/sparse_robust.h).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "bench/network_generator.h"
#include "common/win1252.h"
#include "support/files.h"
#include "support/sanitizer.h"

namespace korvo {
namespace {

namespace fs = std::filesystem;

// Lines of a results file without the parts the compact form leaves out.
std::vector<std::string> ComparableLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  bool keep = false;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with(Cp1252("RESULTADOS DEL AJUSTE"))) keep = true;
    if (line.starts_with("MATRIZ VARIANZA") || line.starts_with("Vectores de fiabilidad")) keep = false;
    if (line.starts_with("FIABILIDAD") || line.starts_with(Cp1252("COMPARACIÓN"))) keep = true;
    if (keep && !line.empty() && line != "\r") lines.push_back(line);
  }
  return lines;
}

// Equal text, or numbers that differ by at most one unit of the last digit printed.
bool WithinLastDigit(const std::string& a, const std::string& b) {
  if (a == b) return true;
  char* endA = nullptr;
  char* endB = nullptr;
  const double x = std::strtod(a.c_str(), &endA), y = std::strtod(b.c_str(), &endB);
  if (*endA != '\0' || *endB != '\0') return false;
  auto decimals = [](const std::string& t) { return t.find('.') == std::string::npos ? 0 : int(t.size() - t.find('.') - 1); };
  return std::fabs(x - y) <= 1.0001 * std::pow(10.0, -std::max(decimals(a), decimals(b)));
}

std::vector<std::string> Tokens(const std::string& line) {
  std::istringstream in(line);
  return std::vector<std::string>(std::istream_iterator<std::string>(in), {});
}

TEST(ReportChoice, CompactAgreesWithFullAndFullIsRefusedWhenItCannotFit) {
  const fs::path examples = fs::path(KORVO_SOURCE_DIR) / "examples";
  const std::string matrices = "matrices \"" + (examples / "matrices/A.txt").string() + "\" \"" +
                               (examples / "matrices/k.txt").string() + "\" \"" + (examples / "matrices/P.txt").string() + "\"";
  // The command and its input files, and a floor for the lines compared.
  const struct { const char* name; std::string inputs; std::size_t minLines; } cases[] = {
      {"red", "calcular \"" + (examples / "red_ejemplo.txt").string() + "\"", 150},
      {"matrices", matrices, 60},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path folder = testing::FreshTempDir(std::string("report-choice-") + c.name);
    const fs::path full = folder / "completo.txt", compact = folder / "compacto.txt", refused = folder / "no.txt";
    auto run = [&c](const fs::path& results, const std::string& form, const std::string& prefix = {}) {
      return testing::RunKorvoCli(c.inputs + " -o \"" + results.string() + "\" --max-iter-lp 1 --sin-l1 --informe " + form,
                                  prefix);
    };
    ASSERT_EQ(run(full, "completo").exitCode, 0);
    ASSERT_EQ(run(compact, "compacto").exitCode, 0);
    const std::string compactText = testing::ReadWholeFile(compact);
    EXPECT_NE(compactText.find("INFORME COMPACTO"), std::string::npos);
    EXPECT_EQ(compactText.find("MATRIZ"), std::string::npos);
    EXPECT_EQ(compactText.find("Vectores de fiabilidad"), std::string::npos);
    const std::vector<std::string> fullLines = ComparableLines(testing::ReadWholeFile(full));
    const std::vector<std::string> compactLines = ComparableLines(compactText);
    ASSERT_EQ(fullLines.size(), compactLines.size());
    ASSERT_GT(fullLines.size(), c.minLines);
    for (std::size_t i = 0; i < fullLines.size(); ++i) {
      const std::vector<std::string> x = Tokens(fullLines[i]), y = Tokens(compactLines[i]);
      ASSERT_EQ(x.size(), y.size()) << fullLines[i];
      // A reliability row whose redundancy is zero up to rounding: its later figures are
      // rounding noise in both reports.
      const bool noRedundancy = fullLines[i].starts_with("     ") && x.size() == 7 && x[3] == "0" && y[3] == "0";
      for (std::size_t t = 0; t < (noRedundancy ? 4 : x.size()); ++t)
        EXPECT_TRUE(WithinLastDigit(x[t], y[t])) << x[t] << " / " << y[t] << " in " << fullLines[i];
    }

    // A budget of 10 KB: the full report is refused with the way out, and no file appears;
    // auto falls back to the compact one.
    const testing::CliRun tooBig = run(refused, "completo", "KORVO_MEMORY_BUDGET=10240 ");
    EXPECT_EQ(tooBig.exitCode, 1);
    EXPECT_NE(tooBig.err.find("(hay 10 KB disponibles)"), std::string::npos) << tooBig.err;
    EXPECT_NE(tooBig.err.find("--informe compacto"), std::string::npos) << tooBig.err;
    EXPECT_FALSE(fs::exists(refused));
    ASSERT_EQ(run(refused, "auto", "KORVO_MEMORY_BUDGET=10240 ").exitCode, 0);
    EXPECT_EQ(testing::ReadWholeFile(refused), compactText);
    EXPECT_EQ(run(folder / "x.txt", "grande").exitCode, 2);
    fs::remove_all(folder);
  }
}

// The estimate let through but the address space cut to 300 MB: the dense path of the
// 1,620-row network runs out of memory, which is a message, not an abort, and no file.
TEST(ReportChoice, AllocationFailureIsAMessageAndLeavesNoFile) {
  if (testing::kUnderAddressSanitizer) GTEST_SKIP() << testing::kAddressLimitUnderSanitizer;
  const fs::path folder = testing::FreshTempDir("report-choice-memory");
  const generated::GeneratedNetwork grid = generated::GenerateGridNetwork({11, 400.0, 1});
  const fs::path project = folder / "grid11.txt";
  std::ofstream(project, std::ios::binary) << grid.projectText;
  const testing::CliRun failed =
      testing::RunKorvoCli("calcular \"" + project.string() + "\" -o \"" + (folder / "g.txt").string() + "\"",
                           "ulimit -v 300000; KORVO_MEMORY_BUDGET=100000000000 ");
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_NE(failed.err.find("No hay memoria suficiente"), std::string::npos) << failed.err;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    EXPECT_EQ(entry.path().filename(), "grid11.txt");  // no results file, no temporary
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace korvo
