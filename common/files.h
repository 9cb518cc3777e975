#pragma once
// Whole-file reading and writing. Writes are all or nothing: the bytes go to a temporary
// file in the same folder, which is then renamed over the target, so a failure never leaves
// a truncated project or results file behind.

#include <string>

#include "common/result.h"

namespace korvo {

// The whole content of a file, byte for byte. The failure message is a Spanish description
// of the system error (Windows-1252), such as "No se encuentra el archivo".
Result<std::string> ReadFileBytes(const std::string& path);

// Writes `bytes` as the whole new content of `path`.
Status WriteFileAtomically(const std::string& path, const std::string& bytes);

bool FileExists(const std::string& path);

// The Spanish description (Windows-1252) of a system error number.
std::string SystemErrorText(int errorNumber);

}  // namespace korvo
