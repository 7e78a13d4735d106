// What the tests need of the system besides the program's own calls: scratch folders, child
// processes, and the means to provoke the failures the program must report.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vmk::platform::testing {

// Creates a fresh, empty folder under the system's temporary folder and returns its path.
// Raises std::runtime_error when it cannot.
std::string MakeScratchFolder();

// Runs `program` with `args`, standard input read from the file `stdinPath` and standard
// output and error written to the files `stdoutPath` and `stderrPath` (created or emptied),
// and waits for it. Returns its exit status, or -1 when it did not exit normally (a crash).
// Raises std::runtime_error when it cannot be started. The arguments reach the child as they
// are, blanks, quotes and backslashes included.
int RunProcess(const std::string& program, const std::vector<std::string>& args,
               const std::string& stdinPath, const std::string& stdoutPath,
               const std::string& stderrPath);

// Sets an environment variable, which child processes inherit, for the life of the object;
// then it has its earlier value again (or is removed when it had none).
class ScopedEnvironment {
 public:
  ScopedEnvironment(const std::string& name, const std::string& value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name_;
  std::optional<std::string> earlier_;  // UTF-8
};

// The path of the running program.
std::string CurrentProgram();

// How many files, and other system objects, the process holds open.
int OpenHandleCount();

// Marks a file read-only (no write permission for anyone; the read-only attribute on Windows).
void MakeReadOnly(const std::string& path);

// True when taking the write permission of a folder keeps new files out of it: not for the
// superuser, and not on Windows, whose read-only mark on a folder does not do that.
bool ReadOnlyFoldersRefuseNewFiles();

// For the life of the object, the process cannot open one file more. Where the system has no
// such limit to lower (Windows), `Active()` is false and nothing changes.
class OpenFileLimit {
 public:
  OpenFileLimit();
  ~OpenFileLimit();
  OpenFileLimit(const OpenFileLimit&) = delete;
  OpenFileLimit& operator=(const OpenFileLimit&) = delete;
  bool Active() const { return active_; }
  // The system error number of an open refused for that reason.
  static int Error();

 private:
  bool active_ = false;
  unsigned long long saved_ = 0;
};

// A file every write to which fails because the disk is full (/dev/full), or an empty text
// where the system has none.
std::string AlwaysFullFile();

}  // namespace vmk::platform::testing
