#include "common/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vmk {
namespace {

std::string TempNameFor(const std::string& path) {
  std::random_device rd;
  const unsigned long long n = (static_cast<unsigned long long>(rd()) << 32) ^ rd();
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".tmp-%012llx", n & 0xFFFFFFFFFFFFull);
  return path + suffix;
}

// Makes the written bytes durable before the rename makes them visible under the real name.
bool FlushToDisk(std::FILE* f) {
  if (std::fflush(f) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(f)) == 0;
#else
  return ::fsync(fileno(f)) == 0;
#endif
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string temp = TempNameFor(path);
  const auto fail = [&](const char* what, int err) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    throw FileWriteError(path + ": " + what + ": " + std::strerror(err));
  };
  std::FILE* f = std::fopen(temp.c_str(), "wbx");  // never an existing file
  if (f == nullptr) fail("cannot create", errno);
  int err = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || !FlushToDisk(f)) {
    err = errno != 0 ? errno : EIO;
  }
  if (std::fclose(f) != 0 && err == 0) err = errno != 0 ? errno : EIO;
  if (err != 0) fail("cannot write", err);
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) fail("cannot replace", ec.value());
}

}  // namespace vmk
