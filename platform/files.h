// Files and folders as the program uses them, the same on POSIX systems and on Windows. Paths
// are UTF-8 byte strings everywhere; on Windows they reach the system through its wide-character
// calls, so that any name works. Every file is opened in binary mode: no line-end translation,
// and a byte 0x1A is a byte like any other.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#ifndef _WIN32
#include <cerrno>
#endif

namespace vmk::platform {

#ifdef _WIN32
inline constexpr bool kWindows = true;
inline constexpr char kPathSeparator = '\\';
// System error numbers are the codes of GetLastError.
inline constexpr int kErrorAccessDenied = 5;   // ERROR_ACCESS_DENIED
inline constexpr int kErrorFileLocked = 32;    // ERROR_SHARING_VIOLATION
inline constexpr int kErrorNotOpen = 6;        // ERROR_INVALID_HANDLE
inline constexpr int kErrorExists = 80;        // ERROR_FILE_EXISTS
#else
inline constexpr bool kWindows = false;
inline constexpr char kPathSeparator = '/';
// System error numbers are errno values.
inline constexpr int kErrorAccessDenied = EACCES;
inline constexpr int kErrorFileLocked = EWOULDBLOCK;
inline constexpr int kErrorNotOpen = EBADF;
inline constexpr int kErrorExists = EEXIST;
#endif

// ---- Paths

// A UTF-8 path as the standard library's path (wide on Windows), and back.
inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
inline std::string PathToUtf8(const std::filesystem::path& path) {
  const std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

// True for a character that separates folder names: "/" here, "\" and "/" on Windows.
bool IsPathSeparator(char c);

// `folder`, a separator unless it already ends in one, and `name`. On Windows the separator is
// "\", or "/" for a folder written with "/" alone.
std::string JoinPath(std::string_view folder, std::string_view name);

// The folder part of a path: everything before its last separator, the root itself for a file
// in the root ("/", "c:\"), "." for a bare file name.
std::string ParentFolder(const std::string& path);

// True when `path` names an existing folder.
bool IsFolder(const std::string& path);

// The folder of the running program's file ("/opt/vmk/bin", "C:\VMK"): where the files that
// come with it lie, such as its manual. "." when the system cannot say.
std::string ProgramFolder();

// True when something is at `path` itself (a link counts, whether or not it leads anywhere);
// and when that is a regular file, not a link to one.
inline bool PathExists(const std::string& path) {
  std::error_code ec;
  const std::filesystem::file_type t = std::filesystem::symlink_status(PathFromUtf8(path), ec).type();
  return t != std::filesystem::file_type::not_found && t != std::filesystem::file_type::none;
}
inline bool IsRegularFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::symlink_status(PathFromUtf8(path), ec).type() ==
         std::filesystem::file_type::regular;
}

// The folder of the report files: "c:\Vellmark\IO" on Windows; elsewhere drive c: stands for
// the user's home folder ($HOME/Vellmark/IO). Never created by the program.
std::string DefaultReportFolder();

// ---- System errors

// What a failed file operation means to the user.
enum class FileErrorKind {
  FileNotFound,      // no such file (the folder may be missing too: see the report's check)
  PathNotFound,      // no such folder, or a file where a folder should be
  AccessDenied,      // no permission, read-only, a folder, or locked by another writer
  DiskFull,
  TooManyOpenFiles,
  Other,
};

// The kind of a system error number of this system. On POSIX systems:
//   ENOENT -> FileNotFound; ENOTDIR, ENAMETOOLONG -> PathNotFound; EACCES, EPERM, EROFS,
//   EISDIR, ETXTBSY, EWOULDBLOCK -> AccessDenied; ENOSPC, EDQUOT -> DiskFull; EMFILE, ENFILE ->
//   TooManyOpenFiles.
// On Windows: FILE_NOT_FOUND -> FileNotFound; PATH_NOT_FOUND, INVALID_NAME, BAD_PATHNAME,
//   INVALID_DRIVE, FILENAME_EXCED_RANGE, DIRECTORY -> PathNotFound; ACCESS_DENIED,
//   SHARING_VIOLATION, LOCK_VIOLATION, WRITE_PROTECT -> AccessDenied; DISK_FULL,
//   HANDLE_DISK_FULL -> DiskFull; TOO_MANY_OPEN_FILES -> TooManyOpenFiles.
// Anything else is Other.
FileErrorKind KindOfError(int error);

// One line of text (UTF-8) describing a system error number.
std::string ErrorText(int error);

// ---- Whole files through the C library's streams

// std::fopen of a UTF-8 path; `mode` should hold "b". Null with errno set on failure.
std::FILE* OpenFile(const std::string& path, const char* mode);

// Writes out the stream's buffer and makes the bytes durable on the disk. False with errno set
// on failure.
bool FlushToDisk(std::FILE* f);

// Renames `from` to `to`, replacing a file `to` in one step. 0, or the system error number.
int RenameReplacing(const std::string& from, const std::string& to);

// Removes a file; failures are ignored (the caller is already cleaning up).
void RemoveFileQuietly(const std::string& path);

// ---- The report file: an existing file appended to by one writer at a time

// Every operation returns 0 or the system error number of the failure.
class AppendFile {
 public:
  AppendFile() = default;
  ~AppendFile() { CloseQuietly(); }
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;

  // Opens the existing file `path` for reading and appending; never creates it. Other programs
  // may read the file while it is open, but a second writer is refused (kErrorFileLocked: the
  // lock on POSIX systems, the share mode on Windows). A file marked read-only is refused with
  // kErrorAccessDenied, whoever runs the program.
  int OpenExisting(const std::string& path);
  bool IsOpen() const { return handle_ != kClosed; }

  // The length of a file on a disk; 0 for a device or a pipe, which have no end to cut.
  int Size(std::uint64_t& size) const;
  // Reads exactly `n` bytes at `offset` (a file that ends sooner is an error).
  int ReadAt(std::uint64_t offset, char* buffer, std::size_t n);
  // Cuts the file to `size` bytes, or lengthens it.
  int Truncate(std::uint64_t size);
  // Writes all of `bytes` at the end of the file.
  int Append(std::string_view bytes);
  // Writes all of `bytes` at `offset` of a file on a disk (a device or a pipe takes them in
  // turn, wherever `offset` points).
  int WriteAt(std::uint64_t offset, std::string_view bytes);
  // Makes what was written durable on the disk, so that a failure to store it shows here, while
  // the file can still be cut back. Nothing to do for a device or a pipe.
  int Sync();
  int Close();
  void CloseQuietly() noexcept;

 private:
  static constexpr std::intptr_t kClosed = -1;
  std::intptr_t handle_ = kClosed;  // a descriptor, or a Windows HANDLE
  bool onDisk_ = false;             // a file on a disk, not a device or a pipe
};

}  // namespace vmk::platform
