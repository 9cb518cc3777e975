#pragma once
// Whole-file reading and writing. Writes are all or nothing: the bytes go to a temporary
// file in the same folder, which is then renamed over the target, so a failure never leaves
// a truncated project or results file behind.

#include <initializer_list>
#include <string>
#include <string_view>

#include "common/result.h"

namespace korvo {

// The whole content of a file, byte for byte. The failure message is a Spanish description
// of the system error (Windows-1252), such as "No se encuentra el archivo".
Result<std::string> ReadFileBytes(const std::string& path);

// Writes `bytes` as the whole new content of `path`.
Status WriteFileAtomically(const std::string& path, const std::string& bytes);

// Writes the pieces one after another as the whole new content of `path`, without joining
// them in memory first (a results file can be hundreds of megabytes).
Status WriteFileAtomically(const std::string& path, std::initializer_list<std::string_view> pieces);

bool FileExists(const std::string& path);

// True when both paths name one existing file (same device and inode: links and different
// spellings of a path included).
bool IsSameFile(const std::string& a, const std::string& b);

// Installs handlers for SIGINT, SIGTERM and SIGHUP that remove the temporary file of a write in
// progress, then end the process by the same signal. For programs that are stopped from outside
// (the command line); the handler does nothing else.
void RemoveTemporaryFileOnInterrupt();

// The Spanish description (Windows-1252) of a system error number.
std::string SystemErrorText(int errorNumber);

}  // namespace korvo
