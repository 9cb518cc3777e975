// libFuzzer entry over the matrix files: the input is cut at its first two '|' into the
// texts of A, k and P, written to files and imported; a small system that imports is then
// adjusted. Any input ends in a message or in results, never in a crash.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/files.h"
#include "matimport/import_matrices.h"
#include "matimport/imported_adjustment.h"
#include "network/project_state.h"

namespace {

constexpr int kMaxEquationsToAdjust = 40;

std::string TempPath(const char* name) {
  const char* folder = std::getenv("TMPDIR");
  return std::string(folder != nullptr ? folder : "/tmp") + "/korvo-matrix-fuzz-" + std::to_string(getpid()) + name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::string_view parts[3];
  for (int i = 0; i < 2; ++i) {
    const std::size_t bar = rest.find('|');
    if (bar == std::string_view::npos) return 0;
    parts[i] = rest.substr(0, bar);
    rest.remove_prefix(bar + 1);
  }
  parts[2] = rest;
  const korvo::MatrixImportPaths paths{TempPath("A"), TempPath("k"), TempPath("P")};
  const std::string* files[3] = {&paths.matrixA, &paths.vectorK, &paths.matrixP};
  for (int i = 0; i < 3; ++i) {
    if (!korvo::WriteFileAtomically(*files[i], std::string(parts[i])).ok()) std::abort();
  }
  const korvo::Result<korvo::ImportedMatrices> imported = korvo::ImportMatrices(paths, "");
  if (!imported.ok()) {
    if (imported.error().empty()) std::abort();
  } else if (imported->system.numEquations <= kMaxEquationsToAdjust) {
    korvo::ProjectState state;
    const auto adjusted = korvo::RunImportedAdjustment(imported->system, korvo::CalcOptions{}, state, "",
                                                       korvo::ProgressSink{});
    if (!adjusted.ok() && adjusted.error().empty()) std::abort();
  }
  for (const std::string* file : files) std::remove(file->c_str());
  return 0;
}
