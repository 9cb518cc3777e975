#pragma once
// Runs the built korvo-cli with the given arguments (already quoted as the shell needs) and
// collects its exit code and both outputs (UTF-8, as the command writes them).

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "test_support/test_temp.h"

namespace korvo::testing {

struct CliRun {
  int exitCode = -1;
  std::string out, err;
};

inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline CliRun RunKorvoCli(const std::string& arguments) {
  static int runNumber = 0;
  const std::filesystem::path folder = TestTempRoot() / ("cli-" + std::to_string(++runNumber));
  std::filesystem::create_directories(folder);
  const auto out = folder / "stdout.txt";
  const auto err = folder / "stderr.txt";
  const std::string command = std::string("\"") + KORVO_CLI_PATH + "\" " + arguments + " >\"" + out.string() +
                              "\" 2>\"" + err.string() + "\"";
  CliRun run;
  const int status = std::system(command.c_str());
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadWholeFile(out);
  run.err = ReadWholeFile(err);
  std::filesystem::remove_all(folder);
  return run;
}

}  // namespace korvo::testing
