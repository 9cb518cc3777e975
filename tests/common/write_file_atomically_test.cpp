// A failed write, flush or rename leaves the target as it was and no temporary file behind.
#include "common/files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <dlfcn.h>
#include <filesystem>
#include <optional>
#include <vector>

#include "support/file_size_limit.h"
#include "support/files.h"

namespace {
bool failRename = false;
}

// The test program's own rename(): it fails on demand, otherwise it is the C library's.
extern "C" int rename(const char* from, const char* to) {
  if (failRename) {
    errno = EXDEV;
    return -1;
  }
  using Rename = int (*)(const char*, const char*);
  static const Rename real = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
  return real(from, to);
}

namespace korvo {
namespace {

namespace fs = std::filesystem;

TEST(WriteFileAtomically, FailuresLeaveTheTargetAndNoTemporaryFile) {
  struct Case {
    const char* what;
    std::size_t size;  // bytes written
    bool limitSize, failRenameToo;
    int errorNumber;
  };
  const Case cases[] = {
      {"flush beyond the size limit", 100, true, false, EFBIG},           // fwrite buffers, fflush fails
      {"write beyond the size limit", 4 << 20, true, false, EFBIG},       // larger than any buffer
      {"rename", 100, false, true, EACCES},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path dir = testing::FolderWith("atomic", {{"resultados.txt", "antes\r\n"}});
    const fs::path target = dir / "resultados.txt";
    Status written = Ok();
    {
      std::optional<testing::FileSizeLimit> limit;
      if (c.limitSize) limit.emplace(16);
      failRename = c.failRenameToo;
      written = WriteFileAtomically(target.string(), std::string(c.size, 'x'));
      failRename = false;
    }
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(written.error(), SystemErrorText(c.errorNumber));
    EXPECT_EQ(testing::FilesIn(dir), (testing::FolderFiles{{"resultados.txt", "antes\r\n"}}));
  }
  // The same calls succeed without the fault, and only then is the file replaced.
  const fs::path target = testing::TestTempRoot() / "atomic" / "resultados.txt";
  ASSERT_TRUE(WriteFileAtomically(target.string(), {"uno ", "dos"}).ok());
  EXPECT_EQ(testing::FilesIn(target.parent_path()), (testing::FolderFiles{{"resultados.txt", "uno dos"}}));
  // A folder is never a file to write.
  const Status onFolder = WriteFileAtomically(target.parent_path().string(), "x");
  ASSERT_FALSE(onFolder.ok());
  EXPECT_EQ(onFolder.error(), SystemErrorText(EISDIR));
}

}  // namespace
}  // namespace korvo
