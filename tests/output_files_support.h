// The temporary files of the program that a folder holds, for the tests of named outputs.
#pragma once

#include <filesystem>

#include "common/file_set.h"

namespace vmk::scratch {

inline int CountTemporaryFiles(const std::filesystem::path& folder) {
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    n += IsTemporaryName(e.path().filename().string()) ? 1 : 0;
  }
  return n;
}

}  // namespace vmk::scratch
