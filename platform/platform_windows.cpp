// The platform layer on Windows: code page 932 by the system's code page functions, the wide-
// character file calls, the share mode as the single-writer lock, c:\Vellmark\IO.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>

#include "platform/files.h"
#include "platform/output_files.h"
#include "platform/streams.h"
#include "platform/text.h"
#include "platform/wide_text.h"

namespace vmk::platform {
namespace {

constexpr UINT kCodePage932 = 932;

HANDLE H(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// The look-alikes that the GNU C library's code page 932 also takes, with its bytes for them.
struct Alias {
  char32_t Cp;
  const char* Bytes;
};
constexpr Alias kAliases[] = {
    {0x00A2, "\x81\x91"},  // cent sign, as the fullwidth one
    {0x00A3, "\x81\x92"},  // pound sign, as the fullwidth one
    {0x00A5, "\x5C"},      // yen sign, as the byte 5C
    {0x00AC, "\x81\xCA"},  // not sign, as the fullwidth one
    {0x2014, "\x81\x5C"},  // em dash, as the horizontal bar
    {0x2016, "\x81\x61"},  // double vertical line, as the parallel sign
    {0x203E, "\x7E"},      // overline, as the byte 7E
    {0x2212, "\x81\x7C"},  // minus sign, as the fullwidth hyphen-minus
    {0x301C, "\x81\x60"},  // wave dash, as the fullwidth tilde
};

// What only Windows' code page takes: U+0080 and U+F8F0 to U+F8F3 for the single bytes 80, A0,
// FD, FE and FF.
bool WindowsOnlyCharacter(char32_t cp) { return cp == 0x80 || (cp >= 0xF8F0 && cp <= 0xF8F3); }
bool WindowsOnlyByte(unsigned char b) { return b == 0x80 || b == 0xA0 || b >= 0xFD; }

}  // namespace

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                    nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string Narrow(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                      nullptr, nullptr);
  return utf8;
}

std::wstring WidePath(std::string_view utf8) {
  std::wstring wide = Widen(utf8);
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  return wide;
}

// ---- Text

Cp932Codec::Cp932Codec() = default;
Cp932Codec::~Cp932Codec() = default;

bool Cp932Codec::Encode(char32_t cp, std::string& out) {
  for (const Alias& a : kAliases) {
    if (a.Cp == cp) {
      out += a.Bytes;
      return true;
    }
  }
  if (WindowsOnlyCharacter(cp) || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  wchar_t wide[2];
  int wideLen = 1;
  if (cp < 0x10000) {
    wide[0] = static_cast<wchar_t>(cp);
  } else {
    wide[0] = static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
    wide[1] = static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    wideLen = 2;
  }
  char bytes[8];
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, wide, wideLen, bytes,
                                    sizeof bytes, nullptr, &usedDefault);
  if (n <= 0 || n > 2 || usedDefault) return false;
  out.append(bytes, static_cast<std::size_t>(n));
  return true;
}

std::optional<char32_t> Cp932Codec::Decode(const unsigned char* bytes, std::size_t n) {
  if (n == 1 && WindowsOnlyByte(bytes[0])) return std::nullopt;
  wchar_t wide[4];
  const int m = MultiByteToWideChar(kCodePage932, MB_ERR_INVALID_CHARS,
                                    reinterpret_cast<const char*>(bytes), static_cast<int>(n),
                                    wide, 4);
  if (m != 1) return std::nullopt;
  return static_cast<char32_t>(wide[0]);
}

// ---- Paths

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

// The separator the folder already uses: "/" for "C:/data", "\" otherwise.
std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && !IsPathSeparator(path.back())) {
    const bool slashes =
        path.find('/') != std::string::npos && path.find('\\') == std::string::npos;
    path += slashes ? '/' : kPathSeparator;
  }
  path += name;
  return path;
}

std::string ParentFolder(const std::string& path) {
  const bool drive = path.size() >= 2 && path[1] == ':' &&
                     ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'));
  const std::size_t sep = path.find_last_of("\\/");
  if (sep == std::string::npos) return drive ? path.substr(0, 2) : ".";  // "c:name": c:'s folder
  std::size_t end = sep;
  while (end > 0 && IsPathSeparator(path[end - 1])) --end;
  if (end == 0) return path.substr(0, 1);              // "\name": the root of the drive
  if (drive && end == 2) return path.substr(0, 3);     // "c:\name": the root of c:
  return path.substr(0, end);
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return ".";
    if (n < path.size()) {
      path.resize(n);
      return ParentFolder(Narrow(path));
    }
    path.resize(path.size() * 2);
  }
}

std::string DefaultReportFolder() { return "c:\\Vellmark\\IO"; }

// ---- System errors

FileErrorKind KindOfError(int error) {
  switch (static_cast<DWORD>(error)) {
    case ERROR_FILE_NOT_FOUND:
      return FileErrorKind::FileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
      return FileErrorKind::PathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return FileErrorKind::AccessDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FileErrorKind::DiskFull;
    case ERROR_TOO_MANY_OPEN_FILES:
      return FileErrorKind::TooManyOpenFiles;
    default:
      return FileErrorKind::Other;
  }
}

std::string ErrorText(int error) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text = n > 0 && buffer != nullptr ? Narrow(std::wstring_view(buffer, n)) : "";
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                           text.back() == '.')) {
    text.pop_back();
  }
  return text.empty() ? "system error " + std::to_string(error) : text;
}

// ---- Whole files

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return _wfopen(WidePath(path).c_str(), Widen(mode).c_str());
}

bool FlushToDisk(std::FILE* f) { return std::fflush(f) == 0 && _commit(_fileno(f)) == 0; }

int RenameReplacing(const std::string& from, const std::string& to) {
  return MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? 0
             : static_cast<int>(GetLastError());
}

void RemoveFileQuietly(const std::string& path) { DeleteFileW(WidePath(path).c_str()); }

// ---- The folder lock: a lock file held by its share mode and removed on close

int FolderLock::Acquire(const std::string& path) {
  Release();
  // Shared with nobody: a second writer gets a sharing violation. The system removes the file
  // when the handle closes, also when the program ends otherwise.
  const HANDLE h = CreateFileW(WidePath(path).c_str(), GENERIC_READ | DELETE, 0, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE,
                               nullptr);
  if (h == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
  handle_ = reinterpret_cast<std::intptr_t>(h);
  path_ = path;
  return 0;
}

void FolderLock::Release() noexcept {
  if (handle_ == kNone) return;
  CloseHandle(H(handle_));
  handle_ = kNone;
  path_.clear();
}

// ---- The report file

int AppendFile::OpenExisting(const std::string& path) {
  CloseQuietly();
  // Read sharing only: other programs may read the file, a second writer gets a sharing
  // violation. OPEN_EXISTING: the file is never created. A read-only file or a folder gives
  // ERROR_ACCESS_DENIED.
  const HANDLE h = CreateFileW(WidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
  if (h == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
  // The system refuses a read-only file itself; this holds also where it would not (wine run
  // by the superuser maps the mark to permission bits that the superuser passes).
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(h, &info) &&
      (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
    CloseHandle(h);
    return ERROR_ACCESS_DENIED;
  }
  handle_ = reinterpret_cast<std::intptr_t>(h);
  onDisk_ = GetFileType(h) == FILE_TYPE_DISK;
  return 0;
}

int AppendFile::Size(std::uint64_t& size) const {
  size = 0;
  if (!onDisk_) return 0;  // a device has no end to cut
  LARGE_INTEGER n{};
  if (!GetFileSizeEx(H(handle_), &n)) return static_cast<int>(GetLastError());
  size = static_cast<std::uint64_t>(n.QuadPart);
  return 0;
}

int AppendFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t n) {
  std::size_t got = 0;
  while (got < n) {
    OVERLAPPED at{};
    const std::uint64_t where = offset + got;
    at.Offset = static_cast<DWORD>(where & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(where >> 32);
    DWORD read = 0;
    if (!ReadFile(H(handle_), buffer + got, static_cast<DWORD>(n - got), &read, &at)) {
      return static_cast<int>(GetLastError());
    }
    if (read == 0) return ERROR_HANDLE_EOF;  // the file shrank under us
    got += read;
  }
  return 0;
}

int AppendFile::Truncate(std::uint64_t size) {
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(size);
  if (!SetFilePointerEx(H(handle_), at, nullptr, FILE_BEGIN) || !SetEndOfFile(H(handle_))) {
    return static_cast<int>(GetLastError());
  }
  return 0;
}

int AppendFile::Append(std::string_view bytes) {
  std::uint64_t end = 0;
  if (const int err = Size(end); err != 0) return err;
  return WriteAt(end, bytes);
}

int AppendFile::WriteAt(std::uint64_t offset, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    // The position of each piece, on a disk; a device takes the bytes in turn.
    OVERLAPPED at{};
    const std::uint64_t where = offset + done;
    at.Offset = static_cast<DWORD>(where & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(where >> 32);
    if (!WriteFile(H(handle_), bytes.data() + done, chunk, &written, onDisk_ ? &at : nullptr)) {
      return static_cast<int>(GetLastError());
    }
    if (written == 0) return ERROR_DISK_FULL;
    done += written;
  }
  return 0;
}

int AppendFile::Sync() {
  if (!onDisk_) return 0;
  return FlushFileBuffers(H(handle_)) ? 0 : static_cast<int>(GetLastError());
}

int AppendFile::Close() {
  if (!IsOpen()) return 0;
  const BOOL ok = CloseHandle(H(handle_));
  handle_ = kClosed;
  return ok ? 0 : static_cast<int>(GetLastError());
}

void AppendFile::CloseQuietly() noexcept {
  if (!IsOpen()) return;
  CloseHandle(H(handle_));
  handle_ = kClosed;
}

// ---- Standard streams and arguments

StandardStreams::StandardStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  // Only where there is a console (0 otherwise): its output code page becomes UTF-8.
  const UINT codePage = GetConsoleOutputCP();
  if (codePage != 0 && codePage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
    consoleCodePage_ = codePage;
  }
}

StandardStreams::~StandardStreams() {
  std::fflush(stdout);
  std::fflush(stderr);
  if (consoleCodePage_ != 0) SetConsoleOutputCP(consoleCodePage_);
}

Utf8Arguments::Utf8Arguments(int argc, char** argv) {
  int n = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
  if (wide != nullptr && n == argc) {
    for (int i = 0; i < n; ++i) args_.push_back(Narrow(wide[i]));
  } else {
    args_.assign(argv, argv + argc);  // the system's own reading, in the ANSI code page
  }
  if (wide != nullptr) LocalFree(wide);
  for (std::string& a : args_) argv_.push_back(a.data());
  argv_.push_back(nullptr);
}

}  // namespace vmk::platform
