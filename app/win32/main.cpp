// The program `vmk.exe`: the calculator's window on Windows. `vmk.exe CASE.json` opens a case
// file at start (as a double click on a case file does once .json is tied to the program).
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/win32/main_window.h"
#include "form/form_layout.h"
#include "platform/wide_text.h"

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide != nullptr && i < count; ++i) args.push_back(vmk::platform::Narrow(wide[i]));
  if (wide != nullptr) LocalFree(wide);

  // A window program has no console to print to: the usage goes into a message box.
  if (args.size() > 1 || (!args.empty() && (args.front().starts_with("-") || args.front() == "/?"))) {
    const bool help = args.size() == 1 && (args.front() == "--help" || args.front() == "-h" || args.front() == "/?");
    MessageBoxW(nullptr, L"Usage: vmk [CASE.json]   (opens the window, with the case file)",
                vmk::platform::Widen(vmk::kApplicationTitle).c_str(),
                MB_OK | (help ? MB_ICONINFORMATION : MB_ICONERROR));
    return help ? 0 : 2;
  }

  vmk::win32::MainWindow window;
  if (window.Handle() == nullptr) return 1;
  ShowWindow(window.Handle(), show);
  UpdateWindow(window.Handle());
  if (!args.empty()) window.OpenCaseFile(args.front());  // a file that cannot be used is named in a message box
  return vmk::win32::RunMessageLoop(window);
}
