#pragma once
// Scratch files, whole-file reads, hand-written expected files and the korvo-cli runner.
//
// Tests run in parallel (ctest -j, several checkouts on one machine): every scratch file lives
// in a folder of this test process, never at a fixed name under /tmp.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

// CR LF line ends, for expected texts written with '\n'.
inline std::string Crlf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
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
