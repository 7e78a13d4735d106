#include "common/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "platform/files.h"

namespace vmk {
namespace {

std::string TempNameFor(const std::string& path) {
  std::random_device rd;
  const unsigned long long n = (static_cast<unsigned long long>(rd()) << 32) ^ rd();
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".tmp-%012llx", n & 0xFFFFFFFFFFFFull);
  return path + suffix;
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string temp = TempNameFor(path);
  const auto fail = [&](const char* what, const std::string& cause) {
    platform::RemoveFileQuietly(temp);
    throw FileWriteError(path, what, cause);
  };
  int createError = 0;
  std::FILE* f = platform::CreateNewFile(temp, createError);  // never an existing file
  if (f == nullptr) fail("cannot create", platform::ErrorText(createError));
  // The bytes are made durable before the rename makes them visible under the real name. The
  // error number is cleared first, so that a failure names its own cause, not an earlier one.
  int err = 0;
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || !platform::FlushToDisk(f)) {
    err = errno != 0 ? errno : EIO;
  }
  errno = 0;
  if (std::fclose(f) != 0 && err == 0) err = errno != 0 ? errno : EIO;
  if (err != 0) fail("cannot write", std::strerror(err));
  if (const int renameError = platform::RenameReplacing(temp, path); renameError != 0) {
    fail("cannot replace", platform::ErrorText(renameError));
  }
}

}  // namespace vmk
