#pragma once
// While alive, files this process (and the children it starts) writes cannot grow beyond
// `bytes`: writing past it fails with EFBIG instead of raising SIGXFSZ.

#include <sys/resource.h>

#include <csignal>

namespace korvo::testing {

struct FileSizeLimit {
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved);
    previous = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limited{bytes, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
  }
  rlimit saved{};
  void (*previous)(int) = nullptr;
};

}  // namespace korvo::testing
