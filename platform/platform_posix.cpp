// The platform layer on POSIX systems (Linux): iconv, open/flock/pread, the home folder.
#include <fcntl.h>
#include <iconv.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/files.h"
#include "platform/output_files.h"
#include "platform/streams.h"
#include "platform/text.h"

namespace vmk::platform {
namespace {

iconv_t OpenConverter(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
  }
  return cd;
}

// One iconv call over a complete input; false when any of it could not be converted.
bool ConvertAll(iconv_t cd, const char* in, std::size_t inLen, char* out, std::size_t& outLen) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* inp = const_cast<char*>(in);
  char* outp = out;
  std::size_t outLeft = outLen;
  const std::size_t rc = iconv(cd, &inp, &inLen, &outp, &outLeft);
  if (rc == static_cast<std::size_t>(-1) || inLen != 0) return false;
  outLen = static_cast<std::size_t>(outp - out);
  return true;
}

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr) {
    return pw->pw_dir;
  }
  return ".";
}

}  // namespace

// ---- Text

Cp932Codec::Cp932Codec() = default;

Cp932Codec::~Cp932Codec() {
  if (toCp932_ != nullptr) iconv_close(static_cast<iconv_t>(toCp932_));
  if (fromCp932_ != nullptr) iconv_close(static_cast<iconv_t>(fromCp932_));
}

bool Cp932Codec::Encode(char32_t cp, std::string& out) {
  if (toCp932_ == nullptr) toCp932_ = OpenConverter("CP932", "UTF-32LE");
  const char in[4] = {static_cast<char>(cp & 0xFF), static_cast<char>((cp >> 8) & 0xFF),
                      static_cast<char>((cp >> 16) & 0xFF), static_cast<char>(cp >> 24)};
  char bytes[8];
  std::size_t n = sizeof bytes;
  if (!ConvertAll(static_cast<iconv_t>(toCp932_), in, sizeof in, bytes, n) || n == 0 || n > 2) {
    return false;
  }
  out.append(bytes, n);
  return true;
}

std::optional<char32_t> Cp932Codec::Decode(const unsigned char* bytes, std::size_t n) {
  if (fromCp932_ == nullptr) fromCp932_ = OpenConverter("UTF-32LE", "CP932");
  unsigned char out[16];
  std::size_t len = sizeof out;
  if (!ConvertAll(static_cast<iconv_t>(fromCp932_), reinterpret_cast<const char*>(bytes), n,
                  reinterpret_cast<char*>(out), len) ||
      len != 4) {
    return std::nullopt;
  }
  return static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16) |
                               (static_cast<char32_t>(out[3]) << 24));
}

// ---- Paths

bool IsPathSeparator(char c) { return c == '/'; }

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && !IsPathSeparator(path.back())) path += kPathSeparator;
  path += name;
  return path;
}

std::string ParentFolder(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ProgramFolder() {
  std::string path(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= path.size()) return ".";
  path.resize(static_cast<std::size_t>(n));
  return ParentFolder(path);
}

std::string DefaultReportFolder() { return HomeFolder() + "/Vellmark/IO"; }

// ---- System errors

FileErrorKind KindOfError(int error) {
  switch (error) {
    case ENOENT:
      return FileErrorKind::FileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
      return FileErrorKind::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
    case EWOULDBLOCK:
      return FileErrorKind::AccessDenied;
    case ENOSPC:
    case EDQUOT:
      return FileErrorKind::DiskFull;
    case EMFILE:
    case ENFILE:
      return FileErrorKind::TooManyOpenFiles;
    default:
      return FileErrorKind::Other;
  }
}

std::string ErrorText(int error) { return std::strerror(error); }

// ---- Whole files

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

bool FlushToDisk(std::FILE* f) { return std::fflush(f) == 0 && ::fsync(fileno(f)) == 0; }

int RenameReplacing(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

void RemoveFileQuietly(const std::string& path) { ::unlink(path.c_str()); }

// ---- Locks: the report file's and an output folder's, advisory (flock), one holder at a time

namespace {

// 0, or the system error number (EWOULDBLOCK while another holds it).
int LockAlone(int fd) {
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

}  // namespace

int FolderLock::Acquire(const std::string& path) {
  Release();
  // A writer that releases removes the file: a lock taken on a file no longer at the path
  // keeps nobody out, so it is taken again on the one that is.
  for (int attempt = 0; attempt < 16; ++attempt) {
    // Read-only is enough for flock, and opens the file that a dead run of another user left.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) return errno;
    const int error = LockAlone(fd);
    struct stat held {};
    struct stat now {};
    if (error == 0 && ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &now) == 0 &&
        held.st_dev == now.st_dev && held.st_ino == now.st_ino) {
      handle_ = fd;
      path_ = path;
      return 0;
    }
    ::close(fd);
    if (error != 0) return error;
  }
  return kErrorFileLocked;
}

void FolderLock::Release() noexcept {
  if (handle_ == kNone) return;
  ::unlink(path_.c_str());  // while still held: nobody takes a lock on the file being removed
  ::close(static_cast<int>(handle_));
  handle_ = kNone;
  path_.clear();
}

// ---- The report file

int AppendFile::OpenExisting(const std::string& path) {
  CloseQuietly();
  // Never O_CREAT: the file must already exist. Not O_APPEND either, so that a failed report
  // can be written over at its place (pwrite of a file opened for appending appends on Linux).
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return errno;
  int error = 0;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    error = errno;
  } else if (S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    // Refused even where the permission bits would not stop this process (the superuser), as
    // the read-only mark of the file asks.
    error = EACCES;
  } else {
    error = LockAlone(fd);  // one writer at a time; readers are not held up
  }
  if (error != 0) {
    ::close(fd);
    return error;
  }
  handle_ = fd;
  onDisk_ = S_ISREG(st.st_mode);
  return 0;
}

int AppendFile::Size(std::uint64_t& size) const {
  struct stat st {};
  if (::fstat(Fd(handle_), &st) != 0) return errno;
  size = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
  return 0;
}

int AppendFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t n) {
  std::size_t got = 0;
  while (got < n) {
    const ssize_t r = ::pread(Fd(handle_), buffer + got, n - got,
                              static_cast<off_t>(offset + got));
    if (r < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (r == 0) return EIO;  // the file shrank under us
    got += static_cast<std::size_t>(r);
  }
  return 0;
}

int AppendFile::Truncate(std::uint64_t size) {
  return ::ftruncate(Fd(handle_), static_cast<off_t>(size)) == 0 ? 0 : errno;
}

int AppendFile::Append(std::string_view bytes) {
  std::uint64_t end = 0;
  if (const int err = Size(end); err != 0) return err;
  return WriteAt(end, bytes);
}

int AppendFile::WriteAt(std::uint64_t offset, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t w =
        onDisk_ ? ::pwrite(Fd(handle_), bytes.data() + done, bytes.size() - done,
                           static_cast<off_t>(offset + done))
                : ::write(Fd(handle_), bytes.data() + done, bytes.size() - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    // A write that takes nothing although bytes remain: the device is full.
    if (w == 0) return ENOSPC;
    done += static_cast<std::size_t>(w);
  }
  return 0;
}

int AppendFile::Sync() {
  if (!onDisk_) return 0;
  while (::fdatasync(Fd(handle_)) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

int AppendFile::Close() {
  if (!IsOpen()) return 0;
  const int rc = ::close(Fd(handle_));
  const int error = errno;
  handle_ = kClosed;
  // On Linux the descriptor is gone even when close is interrupted.
  return rc != 0 && error != EINTR ? error : 0;
}

void AppendFile::CloseQuietly() noexcept {
  if (!IsOpen()) return;
  ::close(Fd(handle_));
  handle_ = kClosed;
}

// ---- Standard streams and arguments

StandardStreams::StandardStreams() = default;
StandardStreams::~StandardStreams() = default;

Utf8Arguments::Utf8Arguments(int argc, char** argv) : args_(argv, argv + argc) {
  for (std::string& a : args_) argv_.push_back(a.data());
  argv_.push_back(nullptr);
}

}  // namespace vmk::platform
