// What replacing a named output file needs of the system: what stands at the path (links
// followed), a new file made like the one it replaces, the lock of an output folder, whether the
// process that left a temporary file still runs, and the removal of temporary files when the
// program is interrupted. Paths are UTF-8, as everywhere in the platform layer.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

#include "platform/files.h"

namespace vmk::platform {

// ---- The file a new file replaces

enum class OutputKind { Missing, File, Folder, Fifo, Device, Socket, Other };

struct OutputTarget {
  // Where the new file goes: the path itself, or the file its symbolic links lead to (a link to
  // a missing file leads to that missing file, which the new file then creates).
  std::string Path;
  OutputKind Kind = OutputKind::Missing;
  // An existing file without any write permission (the read-only attribute on Windows): refused
  // whoever runs the program, the superuser too, as for the report file.
  bool ReadOnly = false;
  // The system error number when this user may not write the existing file (POSIX access() with
  // the effective user: the superuser passes); 0 when it may.
  int WriteError = 0;
  // The new file gets these: the permission bits (POSIX) or attributes (Windows) of the file it
  // replaces, and on POSIX systems its owner and group where the user may give them.
  std::uint32_t Mode = 0;
  std::int64_t Owner = -1;
  std::int64_t Group = -1;
  // The file belongs to the user running the program (always true on Windows).
  bool OwnedByUser = false;
};

// Looks at `path` without changing anything. 0, or the system error number (a loop of links,
// a folder on the way that cannot be searched).
int InspectOutput(const std::string& path, OutputTarget& target);

// Creates the new file `path` for writing in binary mode, failing when it exists. It gets the
// permissions of `like` when that is an existing file, else the system's default for a new
// file. Null on failure, with the system error number in `error`.
std::FILE* CreateReplacement(const std::string& path, const OutputTarget& like, int& error);

// ---- Processes

long CurrentProcessId();

// False only when no process of that number runs; true when one does or when it cannot be told.
bool ProcessRuns(long id);

// ---- One writer at a time in an output folder

// A lock file of the folder, made while it is held and removed when released. A process that
// ends releases its lock, whatever way it ends.
class FolderLock {
 public:
  FolderLock() = default;
  ~FolderLock() { Release(); }
  FolderLock(FolderLock&& other) noexcept
      : handle_(std::exchange(other.handle_, kNone)), path_(std::move(other.path_)) {}
  FolderLock& operator=(FolderLock&& other) noexcept {
    if (this != &other) {
      Release();
      handle_ = std::exchange(other.handle_, kNone);
      path_ = std::move(other.path_);
    }
    return *this;
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Takes the lock file `path`: 0, kErrorFileLocked when another writer holds it, or the system
  // error number (for example a folder that takes no files).
  int Acquire(const std::string& path);
  bool Held() const { return handle_ != kNone; }
  void Release() noexcept;

 private:
  static constexpr std::intptr_t kNone = -1;
  std::intptr_t handle_ = kNone;  // a descriptor, or a Windows HANDLE
  std::string path_;
};

// ---- Interruption

// Once per program, at its start. A write beyond the file-size limit (ulimit -f) fails with
// EFBIG like any failed write, instead of ending the program (SIGXFSZ ignored). SIGINT, SIGTERM
// and SIGHUP (on Windows Ctrl+C, Ctrl+Break and closing the console) remove the temporary
// files registered below, then end the program as they would have; a signal that the program
// was started to ignore stays ignored.
void InstallInterruptCleanup();

// A temporary file to remove if the program is interrupted, until `ForgetOnInterrupt`. Returns
// the registration, or -1 when the fixed table is full or the path too long (the file is then
// only removed by the program itself or a later run).
int RemoveOnInterrupt(const std::string& path);
void ForgetOnInterrupt(int registration);

// While one lives, an interruption waits: the program ends when the last one is gone. For the
// few renames that replace a set of files, so that they are never cut halfway.
class InterruptionDeferred {
 public:
  InterruptionDeferred();
  ~InterruptionDeferred();
  InterruptionDeferred(const InterruptionDeferred&) = delete;
  InterruptionDeferred& operator=(const InterruptionDeferred&) = delete;
};

}  // namespace vmk::platform
