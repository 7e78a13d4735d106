// vmk-window-start-check (Windows): starts a window program as a user's double click would and
// checks that it shows its main window and ends cleanly when that window is closed:
//   vmk-window-start-check PROGRAM.exe EXPECTED_TITLE
// It waits (up to a minute) for a visible top-level window of the program's process, checks its
// title (UTF-8 on the command line) and that no message box came up instead, closes it with
// WM_CLOSE as the title bar's button does, and waits for the program to end with status 0.
// Prints what it saw; exit status 0 when all of that held, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/wide_text.h"

namespace {

struct Search {
  DWORD Process = 0;
  HWND Main = nullptr;
  HWND Box = nullptr;  // a dialog or message box of the process
};

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  return name;
}

std::wstring TitleOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

BOOL CALLBACK Visit(HWND window, LPARAM lParam) {
  auto& search = *reinterpret_cast<Search*>(lParam);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search.Process || !IsWindowVisible(window)) return TRUE;
  if (ClassOf(window) == L"#32770") {
    search.Box = window;
  } else if (GetWindow(window, GW_OWNER) == nullptr) {
    search.Main = window;
  }
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vmk-window-start-check PROGRAM.exe EXPECTED_TITLE\n");
    return 2;
  }
  std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\"";
  const std::wstring expected = argv[2];
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::fprintf(stderr, "cannot start %s (error %lu)\n", vmk::platform::Narrow(argv[1]).c_str(), GetLastError());
    return 1;
  }
  Search search;
  search.Process = process.dwProcessId;
  for (int i = 0; i < 600 && search.Main == nullptr && search.Box == nullptr; ++i) {
    if (WaitForSingleObject(process.hProcess, 100) == WAIT_OBJECT_0) break;
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
  }
  int failures = 0;
  if (search.Box != nullptr) {
    std::fprintf(stderr, "a box came up: %s\n", vmk::platform::Narrow(TitleOf(search.Box)).c_str());
    PostMessageW(search.Box, WM_CLOSE, 0, 0);
    ++failures;
  }
  if (search.Main == nullptr) {
    std::fprintf(stderr, "no window appeared\n");
    TerminateProcess(process.hProcess, 1);
    return 1;
  }
  const std::wstring title = TitleOf(search.Main);
  RECT r{};
  GetClientRect(search.Main, &r);
  std::printf("window \"%s\", class %s, client area %ld x %ld\n", vmk::platform::Narrow(title).c_str(),
              vmk::platform::Narrow(ClassOf(search.Main)).c_str(), r.right, r.bottom);
  if (title != expected) {
    std::fprintf(stderr, "the title is not \"%s\"\n", vmk::platform::Narrow(expected).c_str());
    ++failures;
  }
  PostMessageW(search.Main, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "the program did not end when its window was closed\n");
    TerminateProcess(process.hProcess, 1);
    return 1;
  }
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);
  std::printf("ended with status %lu\n", status);
  if (status != 0) ++failures;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return failures == 0 ? 0 : 1;
}
