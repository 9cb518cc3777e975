#include "common/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "common/win1252.h"

namespace korvo {
namespace {

// The temporary file being written, for the interruption handler: a fixed buffer and a flag,
// the only state a signal handler may read.
char gTemporaryPath[4096];
volatile std::sig_atomic_t gTemporaryActive = 0;

extern "C" void RemoveTemporaryAndStop(int signalNumber) {
  if (gTemporaryActive != 0) unlink(gTemporaryPath);
  std::signal(signalNumber, SIG_DFL);
  std::raise(signalNumber);
}

// Registers the temporary path for the length of one write.
class TemporaryRegistration {
 public:
  explicit TemporaryRegistration(const std::string& path) {
    if (path.size() >= sizeof gTemporaryPath) return;
    std::memcpy(gTemporaryPath, path.c_str(), path.size() + 1);
    gTemporaryActive = 1;
  }
  ~TemporaryRegistration() { gTemporaryActive = 0; }
  TemporaryRegistration(const TemporaryRegistration&) = delete;
  TemporaryRegistration& operator=(const TemporaryRegistration&) = delete;
};

}  // namespace

void RemoveTemporaryFileOnInterrupt() {
  for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction action {};
    action.sa_handler = RemoveTemporaryAndStop;
    sigemptyset(&action.sa_mask);
    sigaction(signalNumber, &action, nullptr);
  }
}

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat first {}, second {};
  if (stat(a.c_str(), &first) != 0 || stat(b.c_str(), &second) != 0) return false;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string SystemErrorText(int errorNumber) {
  switch (errorNumber) {
    case ENOENT: return Cp1252("No se encuentra el archivo o la carpeta.");
    case EACCES:
    case EPERM: return Cp1252("Permiso denegado.");
    case EISDIR: return Cp1252("La ruta indicada es una carpeta, no un archivo.");
    case ENOSPC: return Cp1252("No queda espacio en el disco.");
    case EDQUOT: return Cp1252("Se ha superado la cuota de disco.");
    case EFBIG: return Cp1252("El archivo es demasiado grande para el sistema de archivos o el límite de tamaño.");
    case EROFS: return Cp1252("El disco está protegido contra escritura.");
    case ENAMETOOLONG: return Cp1252("El nombre del archivo es demasiado largo.");
    case ENOTDIR: return Cp1252("Una parte de la ruta no es una carpeta.");
    case ENOMEM: return Cp1252("No hay memoria suficiente.");
    case EMFILE:
    case ENFILE: return Cp1252("Hay demasiados archivos abiertos.");
    default: return Cp1252("Error de entrada/salida en el archivo.");
  }
}

Result<std::string> ReadFileBytes(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return Failure{SystemErrorText(EISDIR)};
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return Failure{SystemErrorText(errno)};
  std::string bytes;
  char buffer[65536];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  const int readErrno = errno;
  std::fclose(file);
  if (failed) return Failure{SystemErrorText(readErrno)};
  return bytes;
}

Status WriteFileAtomically(const std::string& path, const std::string& bytes) {
  return WriteFileAtomically(path, {std::string_view(bytes)});
}

Status WriteFileAtomically(const std::string& path, std::initializer_list<std::string_view> pieces) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::is_directory(path, ec)) return Failure{SystemErrorText(EISDIR)};
  const fs::path target(path);
  std::random_device seed;
  const std::string temporary =
      (target.parent_path() / (".~" + target.filename().string() + "." + std::to_string(seed() % 1000000) + ".tmp"))
          .string();
  const TemporaryRegistration registration(temporary);
  errno = 0;
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) return Failure{SystemErrorText(errno)};
  bool failed = false;
  int writeErrno = 0;
  for (std::string_view piece : pieces) {
    if (std::fwrite(piece.data(), 1, piece.size(), file) != piece.size()) {
      failed = true;
      writeErrno = errno;
      break;
    }
  }
  if (std::fflush(file) != 0) {
    failed = true;
    writeErrno = errno;
  }
  if (std::fclose(file) != 0 && !failed) {
    failed = true;
    writeErrno = errno;
  }
  if (failed) {
    fs::remove(temporary, ec);
    return Failure{SystemErrorText(writeErrno)};
  }
  fs::rename(temporary, target, ec);
  if (ec) {
    fs::remove(temporary, ec);
    return Failure{SystemErrorText(EACCES)};
  }
  return Ok();
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

}  // namespace korvo
