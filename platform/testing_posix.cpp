// The tests' system calls on POSIX systems: mkdtemp, posix_spawn, /proc, rlimit, /dev/full.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/testing.h"

extern char** environ;

namespace vmk::platform::testing {

std::string MakeScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vmk-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

int RunProcess(const std::string& program, const std::vector<std::string>& args,
               const std::string& stdinPath, const std::string& stdoutPath,
               const std::string& stderrPath) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, stdinPath.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, stdoutPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, stderrPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);

  std::vector<std::string> argStrings{program};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argStrings) argv.push_back(a.data());
  argv.push_back(nullptr);

  pid_t pid = 0;
  const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("cannot start " + program);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) throw std::runtime_error("cannot wait for " + program);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ScopedEnvironment::ScopedEnvironment(const std::string& name, const std::string& value)
    : name_(name) {
  if (const char* earlier = std::getenv(name.c_str())) earlier_ = earlier;
  ::setenv(name.c_str(), value.c_str(), 1);
}

ScopedEnvironment::~ScopedEnvironment() {
  if (earlier_) {
    ::setenv(name_.c_str(), earlier_->c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}

std::string CurrentProgram() { return std::filesystem::read_symlink("/proc/self/exe").string(); }

int OpenHandleCount() {
  int n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++n;
  }
  return n;
}

void MakeReadOnly(const std::string& path) {
  if (::chmod(path.c_str(), 0444) != 0) throw std::runtime_error("cannot chmod " + path);
}

bool ReadOnlyFoldersRefuseNewFiles() { return ::geteuid() != 0; }  // root writes anyway

OpenFileLimit::OpenFileLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return;
  // The lowest free descriptor becomes the limit: the next open has no room.
  const int lowest = ::dup(0);
  if (lowest < 0) return;
  ::close(lowest);
  saved_ = limit.rlim_cur;
  limit.rlim_cur = static_cast<rlim_t>(lowest);
  active_ = ::setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

OpenFileLimit::~OpenFileLimit() {
  if (!active_) return;
  rlimit limit{};
  ::getrlimit(RLIMIT_NOFILE, &limit);
  limit.rlim_cur = static_cast<rlim_t>(saved_);
  ::setrlimit(RLIMIT_NOFILE, &limit);
}

int OpenFileLimit::Error() { return EMFILE; }

std::string AlwaysFullFile() { return ::access("/dev/full", W_OK) == 0 ? "/dev/full" : ""; }

}  // namespace vmk::platform::testing
