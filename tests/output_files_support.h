// Helpers of the tests of named outputs: the temporary files a folder holds, and (POSIX) a
// file's permission bits.
#pragma once

#include <filesystem>

#include "common/file_set.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace vmk::scratch {

inline int CountTemporaryFiles(const std::filesystem::path& folder) {
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    n += IsTemporaryName(e.path().filename().string()) ? 1 : 0;
  }
  return n;
}

#ifndef _WIN32
inline unsigned PermissionBits(const std::filesystem::path& p) {
  struct stat st {};
  ::stat(p.c_str(), &st);
  return st.st_mode & 07777;
}
#endif

}  // namespace vmk::scratch
