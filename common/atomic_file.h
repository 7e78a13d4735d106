// Writing a whole file so that a crash, a full disk or a failed write never leaves a broken or
// empty file: the bytes go to a new file in the same folder, which then replaces the target.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace vmk {

// The file could not be written; what() is one line of UTF-8 naming the path, the step and the
// cause ("case.json: cannot create: No such file or directory"). The target, when it existed, is
// as it was.
class FileWriteError : public std::runtime_error {
 public:
  FileWriteError(const std::string& path, const std::string& step, std::string cause)
      : std::runtime_error(path + ": " + step + ": " + cause), Path(path), Step(step), Cause(std::move(cause)) {}
  std::string Path;   // the file as the message names it
  std::string Step;   // what could not be done ("cannot create")
  std::string Cause;  // the system's words alone ("No such file or directory")
};

// Writes `bytes` to a temporary file beside the file `path` names, flushes it to the disk and
// renames it over that file: a FileSet of one (common/file_set.h tells what is refused, that a
// link is followed and that the permissions are kept). On any failure the temporary file is
// removed and FileWriteError raised.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace vmk
