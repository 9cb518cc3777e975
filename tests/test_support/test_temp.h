#pragma once
// A scratch folder of this test process: the system's temporary folder plus "korvo-<pid>".
// Tests run in parallel (ctest -j, several checkouts on one machine), so fixed names under
// /tmp would let one test overwrite another's files.

#include <unistd.h>

#include <filesystem>
#include <string>

namespace korvo::testing {

inline std::filesystem::path TestTempRoot() {
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("korvo-" + std::to_string(static_cast<long>(::getpid())));
  std::filesystem::create_directories(root);
  return root;
}

}  // namespace korvo::testing
