// Output files on POSIX systems: lstat and readlink, a new file given the old one's mode and
// owner, kill(pid, 0), and the signal handlers that remove temporary files. (The folder lock is
// beside the report file's lock, in platform_posix.cpp.)
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/files.h"
#include "platform/output_files.h"
#include "platform/removal_table.h"

namespace vmk::platform {
namespace {

// As many links as the system itself follows in one path.
constexpr int kMaxLinks = 40;

OutputKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return OutputKind::File;
  if (S_ISDIR(mode)) return OutputKind::Folder;
  if (S_ISFIFO(mode)) return OutputKind::Fifo;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return OutputKind::Device;
  if (S_ISSOCK(mode)) return OutputKind::Socket;
  return OutputKind::Other;
}

// ---- Interruption

RemovalTable<char> gRemovals;
std::atomic<int> gDeferred{0};
std::atomic<int> gPending{0};
constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Async-signal-safe: unlink, sigaction and raise only.
void EndBySignal(int sig) {
  gRemovals.RemoveAll([](const char* path) { ::unlink(path); });
  struct sigaction byDefault {};
  byDefault.sa_handler = SIG_DFL;
  sigemptyset(&byDefault.sa_mask);
  ::sigaction(sig, &byDefault, nullptr);
  // Inside the handler the signal stays blocked until it returns, and then ends the program.
  ::raise(sig);
}

void OnSignal(int sig) {
  const int saved = errno;
  // The pending mark first, then the look at the deferral; the deferral's end does the
  // opposite, so that one of the two always sees the other.
  gPending.store(sig);
  if (gDeferred.load() == 0) EndBySignal(sig);
  errno = saved;
}

}  // namespace

int InspectOutput(const std::string& path, OutputTarget& target) {
  target = OutputTarget{};
  std::string at = path;
  struct stat st {};
  for (int links = 0;; ++links) {
    if (::lstat(at.c_str(), &st) != 0) {
      if (errno != ENOENT) return errno;
      target.Path = at;  // missing: the new file creates it (or fails to, for a missing folder)
      return 0;
    }
    if (!S_ISLNK(st.st_mode)) break;
    if (links == kMaxLinks) return ELOOP;
    std::string to(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    const ssize_t n = ::readlink(at.c_str(), to.data(), to.size());
    if (n < 0) return errno;
    if (static_cast<std::size_t>(n) >= to.size()) return ENAMETOOLONG;  // changed meanwhile
    to.resize(static_cast<std::size_t>(n));
    at = !to.empty() && to.front() == '/' ? to : JoinPath(ParentFolder(at), to);
  }
  target.Path = at;
  target.Kind = KindOf(st.st_mode);
  if (target.Kind != OutputKind::File) return 0;
  target.ReadOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  if (::faccessat(AT_FDCWD, at.c_str(), W_OK, AT_EACCESS) != 0) target.WriteError = errno;
  target.Mode = static_cast<std::uint32_t>(st.st_mode & 0777);
  target.Owner = st.st_uid;
  target.Group = st.st_gid;
  target.OwnedByUser = st.st_uid == ::geteuid();
  return 0;
}

std::FILE* CreateReplacement(const std::string& path, const OutputTarget& like, int& error) {
  const bool replacing = like.Kind == OutputKind::File;
  // The owner alone may read the bytes until the file has the old one's permissions.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY,
                        replacing ? 0600 : 0666);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  if (replacing) {
    // The old owner and group where this user may give them (the superuser; a group of the
    // user's own); otherwise the file is the user's, as any file the user saves.
    const auto owner = static_cast<uid_t>(like.Owner);
    const auto group = static_cast<gid_t>(like.Group);
    if ((owner != ::geteuid() || group != ::getegid()) && ::fchown(fd, owner, group) != 0) {
      [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), group);
    }
    if (::fchmod(fd, static_cast<mode_t>(like.Mode)) != 0) {
      error = errno;
      ::close(fd);
      ::unlink(path.c_str());
      return nullptr;
    }
  }
  std::FILE* f = ::fdopen(fd, "wb");
  if (f == nullptr) {
    error = errno;
    ::close(fd);
    ::unlink(path.c_str());
    return nullptr;
  }
  error = 0;
  return f;
}

long CurrentProcessId() { return static_cast<long>(::getpid()); }

bool ProcessRuns(long id) {
  if (id <= 0) return true;
  return ::kill(static_cast<pid_t>(id), 0) == 0 || errno != ESRCH;
}

// ---- Interruption

void InstallInterruptCleanup() {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGXFSZ, &ignore, nullptr);

  struct sigaction cleanup {};
  cleanup.sa_handler = OnSignal;
  sigemptyset(&cleanup.sa_mask);
  for (int sig : kCleanupSignals) sigaddset(&cleanup.sa_mask, sig);
  cleanup.sa_flags = SA_RESTART;
  for (int sig : kCleanupSignals) {
    struct sigaction before {};
    if (::sigaction(sig, nullptr, &before) != 0 || before.sa_handler == SIG_IGN) continue;
    ::sigaction(sig, &cleanup, nullptr);
  }
}

int RemoveOnInterrupt(const std::string& path) { return gRemovals.Add(path); }

void ForgetOnInterrupt(int registration) { gRemovals.Forget(registration); }

InterruptionDeferred::InterruptionDeferred() { gDeferred.fetch_add(1); }

InterruptionDeferred::~InterruptionDeferred() {
  if (gDeferred.fetch_sub(1) != 1) return;
  if (const int sig = gPending.exchange(0); sig != 0) EndBySignal(sig);
}

}  // namespace vmk::platform
