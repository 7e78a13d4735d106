// vmk-window-picture (Windows): shows the Windows window with the sample case of the
// documentation pictures (app/frontend/sample_case.h), calculated, one tab page after another,
// for a screenshot taken from outside (scripts/windows-screenshot.sh):
//   vmk-window-picture READY_FILE [PAGE...]      (pages 0 to 3; all four by default)
// For each page it writes "PAGE LEFT TOP WIDTH HEIGHT" (the window's place on the screen) to
// READY_FILE and waits until that file is gone.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/frontend/sample_case.h"
#include "app/win32/main_window.h"

namespace {

void Pump(MSG& message, vmk::win32::MainWindow& window) {
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (window.PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: vmk-window-picture READY_FILE [PAGE...]\n");
    return 2;
  }
  const std::filesystem::path ready = argv[1];
  std::vector<int> pages;
  for (int i = 2; i < argc; ++i) pages.push_back(std::atoi(argv[i]));
  if (pages.empty()) pages = {0, 1, 2, 3};

  vmk::win32::MainWindow window(false);
  ShowWindow(window.Handle(), SW_SHOWNORMAL);
  SetForegroundWindow(window.Handle());
  vmk::FillSampleCase(window.Front().Form);
  window.WriteWidgets();
  SendMessageW(window.Control("CalcGoButton"), BM_CLICK, 0, 0);
  MSG message;
  for (const int page : pages) {
    window.ShowPage(page);
    for (int i = 0; i < 20; ++i) {  // everything painted
      Pump(message, window);
      Sleep(25);
    }
    RECT r;
    GetWindowRect(window.Handle(), &r);
    if (FILE* f = std::fopen(ready.string().c_str(), "w")) {
      std::fprintf(f, "%d %ld %ld %ld %ld\n", page, r.left, r.top, r.right - r.left, r.bottom - r.top);
      std::fclose(f);
    }
    while (std::filesystem::exists(ready)) {
      Pump(message, window);
      Sleep(50);
    }
  }
  return 0;
}
