// Scratch folders and whole-file reads and writes, shared by the tests that touch files.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/files.h"
#include "platform/testing.h"

namespace vmk::scratch {

// A path held as UTF-8 text, as the program holds its paths, and back.
inline std::filesystem::path PathOf(const std::string& utf8) { return platform::PathFromUtf8(utf8); }
inline std::string TextOf(const std::filesystem::path& p) { return platform::PathToUtf8(p); }

inline std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// A fresh folder under the system's temporary folder, removed with everything in it (write
// permissions given back first, for the tests that take them away).
class ScratchDir {
 public:
  ScratchDir() : path_(PathOf(platform::testing::MakeScratchFolder())) {}
  ~ScratchDir() {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    for (const auto& entry : fs::recursive_directory_iterator(path_, ec)) {
      fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ec);
    }
    fs::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / PathOf(name); }
  std::string File(const std::string& name) const { return TextOf(path_ / PathOf(name)); }
  // Creates the file `name` holding `bytes` and returns its path.
  std::string NewFile(const std::string& name, const std::string& bytes = "") const {
    WriteBytes(path_ / PathOf(name), bytes);
    return File(name);
  }

 private:
  std::filesystem::path path_;
};

}  // namespace vmk::scratch
