// Writing a whole file so that a crash, a full disk or a failed write never leaves a broken or
// empty file: the bytes go to a new file in the same folder, which then replaces the target.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace vmk {

// The file could not be written; what() is one line of UTF-8 naming the path and the cause.
// The target, when it existed, is as it was.
class FileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes `bytes` to "<path>.tmp-<random>" in the target's folder, flushes it to the disk and
// renames it over `path`. On any failure the temporary file is removed and FileWriteError
// raised.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace vmk
