#include "common/atomic_file.h"

#include "common/file_set.h"

namespace vmk {

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  FileSet file;
  file.Write(path, bytes);
  file.Commit();
}

}  // namespace vmk
