// Output files on Windows: the file a link leads to by its final path, a new file given the old
// one's attributes, the process table, and the console's Ctrl+C handler that removes temporary
// files. (The folder lock is beside the report file's, in platform_windows.cpp.)
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <cstdint>

#include "platform/files.h"
#include "platform/output_files.h"
#include "platform/removal_table.h"
#include "platform/wide_text.h"

namespace vmk::platform {
namespace {

// The attributes a replaced file passes on to the new one.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;


// ---- Interruption

RemovalTable<wchar_t> gRemovals;
std::atomic<int> gDeferred{0};

BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) {
    return FALSE;
  }
  // The handler runs in a thread of its own: it may wait for the renames to end.
  while (gDeferred.load() > 0) Sleep(5);
  gRemovals.RemoveAll([](const wchar_t* path) { DeleteFileW(path); });
  return FALSE;  // the system's own handler ends the program
}

}  // namespace

int InspectOutput(const std::string& path, OutputTarget& target) {
  target = OutputTarget{};
  target.Path = path;
  const std::wstring wide = WidePath(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return 0;
    return static_cast<int>(error);
  }
  // Opened without access, following links, to learn what it is: a file on a disk, a folder,
  // a device (NUL, CON) or a pipe.
  const HANDLE h = CreateFileW(wide.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    std::wstring final(32768, L'\0');
    const DWORD n = GetFinalPathNameByHandleW(h, final.data(), static_cast<DWORD>(final.size()),
                                              FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n > 0 && n < final.size()) {
      final.resize(n);
      target.Path = Narrow(final);
    }
  }
  const DWORD type = GetFileType(h);
  BY_HANDLE_FILE_INFORMATION info{};
  const BOOL known = GetFileInformationByHandle(h, &info);
  CloseHandle(h);
  if (type == FILE_TYPE_CHAR) {
    target.Kind = OutputKind::Device;
  } else if (type == FILE_TYPE_PIPE) {
    target.Kind = OutputKind::Fifo;
  } else if (type != FILE_TYPE_DISK || !known) {
    target.Kind = OutputKind::Other;
  } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    target.Kind = OutputKind::Folder;
  } else {
    target.Kind = OutputKind::File;
    target.ReadOnly = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    target.Mode = info.dwFileAttributes & kKeptAttributes;
    target.OwnedByUser = true;
  }
  return 0;
}

std::FILE* CreateReplacement(const std::string& path, const OutputTarget& like, int& error) {
  const DWORD attributes =
      like.Kind == OutputKind::File && like.Mode != 0 ? like.Mode : FILE_ATTRIBUTE_NORMAL;
  const std::wstring wide = WidePath(path);
  const HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes,
                               nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    error = static_cast<int>(GetLastError());
    return nullptr;
  }
  const int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(h), _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    error = ERROR_TOO_MANY_OPEN_FILES;
    CloseHandle(h);
    DeleteFileW(wide.c_str());
    return nullptr;
  }
  std::FILE* f = _fdopen(fd, "wb");
  if (f == nullptr) {
    error = ERROR_NOT_ENOUGH_MEMORY;
    _close(fd);
    DeleteFileW(wide.c_str());
    return nullptr;
  }
  error = 0;
  return f;
}

long CurrentProcessId() { return static_cast<long>(GetCurrentProcessId()); }

bool ProcessRuns(long id) {
  if (id <= 0) return true;
  const HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
  if (h == nullptr) return GetLastError() != ERROR_INVALID_PARAMETER;  // no such process
  const DWORD state = WaitForSingleObject(h, 0);
  CloseHandle(h);
  return state != WAIT_OBJECT_0;  // signalled: the process has ended
}

// ---- Interruption

void InstallInterruptCleanup() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

int RemoveOnInterrupt(const std::string& path) { return gRemovals.Add(WidePath(path)); }

void ForgetOnInterrupt(int registration) { gRemovals.Forget(registration); }

InterruptionDeferred::InterruptionDeferred() { gDeferred.fetch_add(1); }
InterruptionDeferred::~InterruptionDeferred() { gDeferred.fetch_sub(1); }

}  // namespace vmk::platform
