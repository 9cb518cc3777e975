// Inputs the fuzzers of fuzz/ once took to a crash, undefined behaviour or a result holding
// infinities, each through korvo-cli as a user would give it. A row gives the input files,
// the command, the exit status and the message expected on standard error (UTF-8), written
// from the rule the reader now applies. A refused input leaves its folder exactly as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/files.h"
#include "support/files.h"

namespace korvo {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

struct Row {
  std::string name;
  Files files;
  std::string arguments;  // "$D/" stands for the row's folder
  int exitCode;
  std::string message;    // found in standard error; empty for an input that must be read
};

std::string Expand(std::string text, const fs::path& folder) {
  for (std::size_t at = text.find("$D/"); at != std::string::npos; at = text.find("$D/", at)) {
    text.replace(at, 3, folder.string() + "/");
  }
  return text;
}

Files FolderFiles(const fs::path& folder) {
  Files files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    files[entry.path().filename().string()] = korvo::testing::ReadWholeFile(entry.path());
  }
  return files;
}

void ExpectRows(const std::vector<Row>& rows) {
  int number = 0;
  for (const Row& row : rows) {
    const fs::path folder = korvo::testing::FreshTempDir("fuzz-regression-" + std::to_string(++number));
    for (const auto& [name, bytes] : row.files) ASSERT_TRUE(WriteFileAtomically((folder / name).string(), bytes).ok());
    const korvo::testing::CliRun run = korvo::testing::RunKorvoCli(Expand(row.arguments, folder));
    EXPECT_EQ(run.exitCode, row.exitCode) << row.name << ": " << run.err;
    if (row.message.empty()) {
      EXPECT_EQ(run.err, "") << row.name;
      continue;
    }
    EXPECT_NE(run.err.find(row.message), std::string::npos) << row.name << ": " << run.err;
    EXPECT_EQ(FolderFiles(folder), row.files) << row.name << ": a file appeared, vanished or changed";
  }
}

// A height is refused beyond ±1,000 km, in the geographic and UTM formats (the geocentric
// ones have their distance to the Earth's centre).
TEST(FuzzRegressions, CoordinateFiles) {
  const std::string run = "transformar $D/c.txt $D/s.txt";
  const auto input = [](const std::string& text) { return Files{{"c.txt", text}}; };
  ExpectRows({
      {"height 8.99E180", input("3\r\n40.2530125,-3.4512,8.99E180\r\n"), run, 1,
       "Línea 2, columna 3: la altura 8.99E+180 no está entre -1000000 y 1000000 m"},
      {"WGS84 height -1E7 on the third line", input("5\r\n40.2530,-3.4512,850\r\n40.2530,-3.4512,-1E7\r\n"), run, 1,
       "Línea 3, columna 3: la altura -10000000 no está entre -1000000 y 1000000 m"},
      {"UTM height just over", input("1\r\n440000,4460000,1000000.5\r\n"), run, 1,
       "Línea 2, columna 3: la altura 1000000.5 no está entre -1000000 y 1000000 m"},
      {"UTM height 8E304 after a bare CR", input("2\r8,52,8E0\r28,52,8E0304\n941.,40,84"), run, 1,
       "Línea 3, columna 3: la altura 8E+304 no está entre -1000000 y 1000000 m"},
      {"UTM height at the limit", input("2\r\n440000,4460000,-1000000\r\n"), run, 0, ""},
  });
}

}  // namespace
}  // namespace korvo
