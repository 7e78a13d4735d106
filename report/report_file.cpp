// The report file itself: opening an existing file for appending, the end-of-file mark cut,
// the lock that keeps a second writer out, buffered writes and closing, with every failure
// raised as a ReportIoError.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "report/report.h"
#include "report/report_io.h"

namespace vmk {
namespace {

// The text is written out once this much has collected.
constexpr std::size_t kFlushThreshold = 64 * 1024;
// An end-of-file mark (0x1A) this close to the end is cut off before appending.
constexpr off_t kEofMarkWindow = 128;
constexpr char kEofMark = 0x1A;

std::string Describe(const char* what, const std::string& path, int err) {
  std::string text = "report file ";
  text += path;
  text += ": ";
  text += what;
  if (err != 0) {
    text += ": ";
    text += std::strerror(err);
  }
  return text;
}

[[noreturn]] void Raise(IoErrorKind kind, int err, const char* what, const std::string& path) {
  throw ReportIoError(kind, err, Describe(what, path, err));
}

// Reads `n` bytes at `offset`; false with errno set on failure or an early end.
bool ReadAt(int fd, char* buf, std::size_t n, off_t offset) {
  std::size_t got = 0;
  while (got < n) {
    const ssize_t r = ::pread(fd, buf + got, n - got, offset + static_cast<off_t>(got));
    if (r < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (r == 0) {
      errno = EIO;  // the file shrank under us
      return false;
    }
    got += static_cast<std::size_t>(r);
  }
  return true;
}

}  // namespace

IoErrorKind IoErrorKindOf(int err) {
  switch (err) {
    case ENOENT:
      return IoErrorKind::FileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
      return IoErrorKind::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
    case EWOULDBLOCK:
      return IoErrorKind::AccessDenied;
    case ENOSPC:
    case EDQUOT:
      return IoErrorKind::DiskFull;
    case EMFILE:
    case ENFILE:
      return IoErrorKind::TooManyOpenFiles;
    default:
      return IoErrorKind::Other;
  }
}

std::string ParentFolder(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

IoErrorKind OpenErrorKind(int err, const std::string& path) {
  if (err == ENOENT) {
    struct stat st {};
    const std::string folder = ParentFolder(path);
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      return IoErrorKind::PathNotFound;
    }
  }
  return IoErrorKindOf(err);
}

ReportFile::~ReportFile() { CloseQuietly(); }

void ReportFile::CloseQuietly() noexcept {
  if (fd_ < 0) return;
  std::size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t w = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) break;
    done += static_cast<std::size_t>(w);
  }
  buffer_.clear();
  ::close(fd_);
  fd_ = -1;
  path_.clear();
}

void ReportFile::FailAndClose(int err, const char* what) {
  const std::string path = path_;
  buffer_.clear();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  path_.clear();
  Raise(IoErrorKindOf(err), err, what, path);
}

void ReportFile::OpenExisting(const std::string& path) {
  // A file left open by an abandoned calculation is finished off first.
  CloseQuietly();

  // Never O_CREAT: the report file must already exist.
  const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    const int err = errno;
    Raise(OpenErrorKind(err, path), err, "cannot open", path);
  }
  fd_ = fd;
  path_ = path;

  struct stat st {};
  if (::fstat(fd_, &st) != 0) FailAndClose(errno, "cannot examine");
  // A file marked read-only (no write permission for anyone) is refused even where the
  // permission bits would not stop this process, as the read-only mark of the file requires.
  if (S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    FailAndClose(EACCES, "the file is read-only");
  }
  // Only one writer at a time: a second instance of the program gets a sharing violation,
  // reported as denied access. Readers are not held up by this advisory lock.
  while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    const int err = errno;
    FailAndClose(err, err == EWOULDBLOCK ? "in use by another writer" : "cannot lock");
  }

  // Cut the file at the first end-of-file mark among its last bytes; appending then goes on
  // from the new end.
  if (S_ISREG(st.st_mode) && st.st_size > 0) {
    const off_t n = std::min<off_t>(st.st_size, kEofMarkWindow);
    const off_t start = st.st_size - n;
    char tail[kEofMarkWindow];
    if (!ReadAt(fd_, tail, static_cast<std::size_t>(n), start)) {
      FailAndClose(errno, "cannot read");
    }
    const char* mark = std::find(tail, tail + n, kEofMark);
    if (mark != tail + n) {
      if (::ftruncate(fd_, start + (mark - tail)) != 0) FailAndClose(errno, "cannot cut");
    }
  }
}

void ReportFile::Append(std::string_view bytes) {
  if (fd_ < 0) Raise(IoErrorKind::Other, EBADF, "not open", path_);
  buffer_.append(bytes);
  if (buffer_.size() >= kFlushThreshold) Flush();
}

void ReportFile::Flush() {
  if (fd_ < 0) {
    if (buffer_.empty()) return;
    Raise(IoErrorKind::Other, EBADF, "not open", path_);
  }
  std::size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t w = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      FailAndClose(errno, "cannot write");
    }
    // A write that takes nothing although bytes remain: the device is full.
    if (w == 0) FailAndClose(ENOSPC, "cannot write");
    done += static_cast<std::size_t>(w);
  }
  buffer_.clear();
}

void ReportFile::Close() {
  if (fd_ < 0) return;
  Flush();  // closes the file itself when it fails
  const std::string path = path_;
  const int rc = ::close(fd_);
  const int err = errno;
  fd_ = -1;
  path_.clear();
  // On Linux the descriptor is gone even when close is interrupted.
  if (rc != 0 && err != EINTR) Raise(IoErrorKindOf(err), err, "cannot close", path);
}

}  // namespace vmk
