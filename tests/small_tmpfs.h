// A small file system in memory (tmpfs) mounted on a folder for the life of the object, to be
// filled: a full disk for real. Mounting needs the superuser and a system that lets it (not
// every container does); `Problem()` then says why there is none, for the test's skip.
// Linux only.
#pragma once

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

namespace vmk::scratch {

class SmallTmpfs {
 public:
  SmallTmpfs(const std::filesystem::path& folder, std::size_t bytes) : folder_(folder) {
    if (::geteuid() != 0) {
      problem_ = "mounting a small file system to fill needs the superuser";
      return;
    }
    std::filesystem::create_directories(folder);
    const std::string options = "size=" + std::to_string(bytes);
    if (::mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
      problem_ = std::string("cannot mount a tmpfs here: ") + std::strerror(errno);
      return;
    }
    mounted_ = true;
  }
  ~SmallTmpfs() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  SmallTmpfs(const SmallTmpfs&) = delete;
  SmallTmpfs& operator=(const SmallTmpfs&) = delete;

  const std::string& Problem() const { return problem_; }

  // Fills what is free with the file `name`, to the last byte.
  void Fill(const std::string& name = "filler") const {
    const int fd = ::open((folder_ / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) return;
    const std::string block(4096, 'f');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    while (::write(fd, "f", 1) > 0) {
    }
    ::close(fd);
  }

 private:
  std::filesystem::path folder_;
  std::string problem_;
  bool mounted_ = false;
};

}  // namespace vmk::scratch
