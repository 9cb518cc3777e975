#pragma once
// Scratch files and folders, whole-file reads, hand-written expected files and the korvo-cli runner.
//
// Tests run in parallel (ctest -j, several checkouts on one machine): every scratch file lives
// in a folder of this test process, never at a fixed name under /tmp.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace korvo::testing {

// The scratch folder of this process: the system's temporary folder plus "korvo-<pid>".
inline std::filesystem::path TestTempRoot() {
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("korvo-" + std::to_string(static_cast<long>(::getpid())));
  std::filesystem::create_directories(root);
  return root;
}

// A fresh, empty scratch folder for one test.
inline std::filesystem::path FreshTempDir(const std::string& name) {
  const std::filesystem::path dir = TestTempRoot() / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Writes bytes to the scratch folder under `name` and returns the full path.
inline std::filesystem::path WriteTempFile(const std::string& name, const std::string& bytes) {
  const std::filesystem::path path = TestTempRoot() / name;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

// A hand-written expected file under tests/golden/, byte for byte. These files are written
// from the layout descriptions and never regenerated from a program run.
inline std::string Golden(const std::string& name) {
  const std::filesystem::path path = std::filesystem::path(KORVO_SOURCE_DIR) / "tests" / "golden" / name;
  EXPECT_TRUE(std::filesystem::exists(path)) << path;
  return ReadWholeFile(path);
}

// A file of the examples/ folder.
inline std::filesystem::path Example(const std::string& name) {
  return std::filesystem::path(KORVO_SOURCE_DIR) / "examples" / name;
}

// The 18 columns of a coordinate utility output file (tests/golden/coordinates_madrid_barcelona.txt):
// the values of one format are separated by ",", the formats by ";", the points by CR LF. Each
// column's values, blanks kept, are joined by `separator`.
inline std::array<std::string, 18> CoordinateFileColumns(const std::string& text, const std::string& separator) {
  std::array<std::string, 18> columns;
  std::size_t column = 0, line = 0;
  std::string field;
  for (char c : text + "\n") {
    if (c == ',' || c == ';' || c == '\n') {
      if (column < columns.size()) columns[column] += (line > 0 ? separator : "") + field;
      field.clear();
      column = c == '\n' ? 0 : column + 1;
      line += c == '\n' ? 1 : 0;
    } else if (c != '\r') {
      field += c;
    }
  }
  return columns;
}

// `text` with every `name` replaced by `value`.
inline std::string ReplacedAll(std::string text, const std::string& name, const std::string& value) {
  for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + value.size())) {
    text.replace(at, name.size(), value);
  }
  return text;
}

// Scratch folders for the korvo-cli tables: a fresh folder holding given files, "{D}" in a
// command or an expected text standing for that folder, and the folder's files read back to
// see that nothing appeared, vanished or changed.
using FolderFiles = std::map<std::string, std::string>;  // file name → bytes

inline std::filesystem::path FolderWith(const std::string& name, const FolderFiles& files) {
  const std::filesystem::path folder = FreshTempDir(name);
  for (const auto& [file, bytes] : files) std::ofstream(folder / file, std::ios::binary) << bytes;
  return folder;
}

inline FolderFiles FilesIn(const std::filesystem::path& folder) {
  FolderFiles files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    files[entry.path().filename().string()] = ReadWholeFile(entry.path());
  }
  return files;
}

inline std::string InFolder(const std::string& text, const std::filesystem::path& folder) {
  return ReplacedAll(text, "{D}", folder.string());
}

#ifdef KORVO_CLI_PATH
struct CliRun {
  int exitCode = -1;
  std::string out, err;
};

// Runs the built korvo-cli with the given arguments (already quoted as the shell needs) and
// collects its exit code and both outputs (bytes as the command writes them). `shellPrefix`
// goes before the command line, e.g. "ulimit -v 300000; KORVO_MEMORY_BUDGET=1000000 ".
inline CliRun RunKorvoCli(const std::string& arguments, const std::string& shellPrefix = {}) {
  static int runNumber = 0;
  const std::filesystem::path folder = FreshTempDir("cli-" + std::to_string(++runNumber));
  const auto out = folder / "stdout.txt";
  const auto err = folder / "stderr.txt";
  const std::string command = shellPrefix + "\"" + KORVO_CLI_PATH + "\" " + arguments + " >\"" + out.string() +
                              "\" 2>\"" + err.string() + "\"";
  CliRun run;
  const int status = std::system(command.c_str());
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadWholeFile(out);
  run.err = ReadWholeFile(err);
  std::filesystem::remove_all(folder);
  return run;
}
#endif

}  // namespace korvo::testing
