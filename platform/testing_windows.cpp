// The tests' system calls on Windows: a fresh folder under the temporary folder, CreateProcessW
// with files for the standard handles, the handle count, the read-only attribute.
#include <windows.h>

#include <cstdlib>
#include <random>
#include <stdexcept>
#include <string>

#include "platform/testing.h"
#include "platform/wide_text.h"

namespace vmk::platform::testing {
namespace {

// One argument of a command line as the C runtime's parser reads it back: in quotes when it
// is empty or holds a blank, tab or quote; quotes and the backslashes before them escaped.
void AppendQuoted(std::wstring& line, const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += arg;
    return;
  }
  line += L'"';
  std::size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') {
      line.append(backslashes * 2 + 1, L'\\');
    } else {
      line.append(backslashes, L'\\');
    }
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');  // before the closing quote
  line += L'"';
}

HANDLE OpenInheritable(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE h =
      CreateFileW(WidePath(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                  disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
  return h;
}

}  // namespace

std::string MakeScratchFolder() {
  wchar_t temp[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  if (n == 0 || n > MAX_PATH) throw std::runtime_error("no temporary folder");
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    wchar_t name[32];
    swprintf(name, 32, L"vmk-test-%08x", static_cast<unsigned>(random()));
    const std::wstring path = std::wstring(temp) + name;
    if (CreateDirectoryW(path.c_str(), nullptr)) return Narrow(path);
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  throw std::runtime_error("cannot create a scratch folder");
}

int RunProcess(const std::string& program, const std::vector<std::string>& args,
               const std::string& stdinPath, const std::string& stdoutPath,
               const std::string& stderrPath) {
  const std::wstring application = WidePath(program);
  std::wstring line;
  AppendQuoted(line, application);
  for (const std::string& a : args) {
    line += L' ';
    AppendQuoted(line, Widen(a));
  }

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = OpenInheritable(stdinPath, GENERIC_READ, OPEN_EXISTING);
  startup.hStdOutput = OpenInheritable(stdoutPath, GENERIC_WRITE, CREATE_ALWAYS);
  startup.hStdError = OpenInheritable(stderrPath, GENERIC_WRITE, CREATE_ALWAYS);
  PROCESS_INFORMATION process{};
  // Under wine on a busy machine a start now and then fails for a moment (the wine server is
  // still busy with the last child): a few more tries, then the system's error number.
  BOOL started = FALSE;
  DWORD error = 0;
  for (int attempt = 0; attempt < 5 && !started; ++attempt) {
    if (attempt > 0) Sleep(400 * attempt);
    started = CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, TRUE,
                             CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    if (!started) error = GetLastError();
  }
  CloseHandle(startup.hStdInput);
  CloseHandle(startup.hStdOutput);
  CloseHandle(startup.hStdError);
  if (!started) {
    throw std::runtime_error("cannot start " + program + " (error " + std::to_string(error) + ")");
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  // A crash ends the process with an exception code (0xC0000005 and the like).
  return code >= 0xC0000000u ? -1 : static_cast<int>(code);
}

// _wputenv_s sets both the C runtime's copy, which getenv reads, and the process's own, which
// CreateProcessW hands down.
ScopedEnvironment::ScopedEnvironment(const std::string& name, const std::string& value)
    : name_(name) {
  if (const wchar_t* earlier = _wgetenv(Widen(name).c_str())) earlier_ = Narrow(earlier);
  _wputenv_s(Widen(name).c_str(), Widen(value).c_str());
}

ScopedEnvironment::~ScopedEnvironment() {
  _wputenv_s(Widen(name_).c_str(), earlier_ ? Widen(*earlier_).c_str() : L"");
}

std::string CurrentProgram() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return Narrow(path);
    }
    path.resize(path.size() * 2);
  }
}

int OpenHandleCount() {
  DWORD n = 0;
  GetProcessHandleCount(GetCurrentProcess(), &n);
  return static_cast<int>(n);
}

void MakeReadOnly(const std::string& path) {
  const std::wstring wide = WidePath(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      !SetFileAttributesW(wide.c_str(), attributes | FILE_ATTRIBUTE_READONLY)) {
    throw std::runtime_error("cannot mark " + path + " read-only");
  }
}

bool ReadOnlyFoldersRefuseNewFiles() { return false; }

OpenFileLimit::OpenFileLimit() = default;  // Windows has no per-process limit to lower
OpenFileLimit::~OpenFileLimit() = default;
int OpenFileLimit::Error() { return ERROR_TOO_MANY_OPEN_FILES; }

std::string AlwaysFullFile() { return ""; }

}  // namespace vmk::platform::testing
