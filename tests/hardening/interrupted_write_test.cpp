// A command stopped by SIGTERM while it writes leaves no temporary file and still ends by the signal.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>

#include "common/files.h"
#include "support/files.h"

namespace korvo {
namespace {

namespace fs = std::filesystem;

TEST(InterruptedWrite, LeavesNoTemporaryFile) {
  const fs::path folder = korvo::testing::FreshTempDir("interrupted");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    RemoveTemporaryFileOnInterrupt();
    // Stops the process as soon as the temporary file exists, in the middle of the write.
    std::thread([folder] {
      for (;;) {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(folder, ec)) {
          if (entry.path().filename().string().starts_with(".~")) kill(getpid(), SIGTERM);
        }
        usleep(200);
      }
    }).detach();
    const std::string block(32 << 20, 'x');
    (void)WriteFileAtomically((folder / "salida.txt").string(), {block, block, block, block, block, block, block, block});
    _exit(0);  // the write finished before the signal: the checks below fail
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_TRUE(fs::is_empty(folder));
  fs::remove_all(folder);
}

}  // namespace
}  // namespace korvo
