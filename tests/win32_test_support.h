// Shared by the tests of the Windows window (app/win32): the window made in the test's process,
// driven by the messages of a user's keys, clicks and menus (pumped through the window's part
// of the message loop), its controls read back. The frontend's questions and dialogs are
// answered from queues; the system's own boxes, where a test keeps them, by a BoxAnswerer.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/win32/grid_control.h"
#include "app/win32/main_window.h"
#include "common/cp932.h"
#include "frontend_test_support.h"
#include "platform/wide_text.h"

namespace vmk::win32test {

using platform::Narrow;
using platform::Widen;
using fronttest::Take;
using win32::MainWindow;

inline std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}
inline std::string Utf8Of(HWND window) { return Narrow(TextOf(window)); }

// Dispatches every message waiting, through the window's part of the loop as the program does.
inline void Pump(MainWindow& window) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (window.PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// A key pressed and released where the focus is, Ctrl and Shift held as asked.
inline void PressKey(MainWindow& window, UINT key, bool ctrl = false, bool shift = false) {
  BYTE saved[256];
  BYTE state[256];
  GetKeyboardState(saved);
  std::copy(std::begin(saved), std::end(saved), std::begin(state));
  state[VK_CONTROL] = ctrl ? 0x80 : 0;
  state[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(state);
  PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
  PostMessageW(GetFocus(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
  Pump(window);
  SetKeyboardState(saved);
}

// Characters typed, each to the focus of its moment (a grid's first key opens its editor).
inline void Type(MainWindow& window, const std::wstring& text) {
  for (const wchar_t c : text) {
    SendMessageW(GetFocus(), WM_CHAR, c, 1);
    Pump(window);
  }
}

inline void Click(MainWindow& window, HWND button) {
  SendMessageW(button, BM_CLICK, 0, 0);
  Pump(window);
}

inline POINT CellCentre(HWND grid, int row, int col) {
  const RECT r = win32::GridCellRect(grid, row, col);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A left click on a grid cell, with Shift held or not.
inline void ClickCell(MainWindow& window, int row, int col, bool shift = false) {
  const POINT p = CellCentre(window.Grid(), row, col);
  const WPARAM keys = shift ? MK_SHIFT : 0;
  SendMessageW(window.Grid(), WM_LBUTTONDOWN, keys | MK_LBUTTON, MAKELPARAM(p.x, p.y));
  SendMessageW(window.Grid(), WM_LBUTTONUP, keys, MAKELPARAM(p.x, p.y));
  Pump(window);
}

// A cell's text typed as a user does: a click, F2 (its text selected), the characters
// (Backspace for an empty text), Enter.
inline void TypeCell(MainWindow& window, int row, int col, const std::wstring& text) {
  ClickCell(window, row, col);
  PressKey(window, VK_F2);
  Type(window, text.empty() ? std::wstring(1, VK_BACK) : text);
  PressKey(window, VK_RETURN);
}

inline void RunMenuCommand(MainWindow& window, vmk::MenuCommand command) {
  SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(win32::MenuCommandId(command), 0), 0);
  Pump(window);
}

inline std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

inline void SetClipboardText(const std::wstring& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<wchar_t*>(GlobalLock(data)));
  GlobalUnlock(data);
  SetClipboardData(CF_UNICODETEXT, data);
  CloseClipboard();
}

// The text of the tooltip of the rejected input.
inline std::wstring TipText(const MainWindow& window) {
  wchar_t buffer[1024] = L"";
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = window.Handle();
  tool.uId = 1;
  tool.lpszText = buffer;
  SendMessageW(window.RejectedInputTip(), TTM_GETTEXTW, std::size(buffer), reinterpret_cast<LPARAM>(&tool));
  return buffer;
}

// The window, shown and active, its file dialogs answered from a queue (empty: cancelled) and
// recorded. Unless `realBoxes`, the save question and the message boxes are too.
struct TestWindow {
  MainWindow Window{false};
  std::deque<SaveAnswer> SaveAnswers;
  std::deque<std::string> Files;
  std::vector<SaveQuestion> Questions;
  std::vector<FileDialog> Dialogs;
  std::vector<MessageText> Messages;

  explicit TestWindow(bool realBoxes = false) {
    WindowHooks& h = Window.Front().Hooks;
    if (!realBoxes) {
      h.AskSave = [this](const SaveQuestion& q) {
        Questions.push_back(q);
        return Take(SaveAnswers, SaveAnswer::Cancel);
      };
      h.ShowMessage = [this](const MessageText& m) { Messages.push_back(m); };
    }
    h.ChooseFile = [this](const FileDialog& d) {
      Dialogs.push_back(d);
      return FileChoice{Take(Files, std::string()), 0};
    };
    ShowWindow(Window.Handle(), SW_SHOWNORMAL);
    SetForegroundWindow(Window.Handle());
    Pump(Window);
  }
  HWND operator[](const char* name) const { return Window.Control(name); }
  std::string Title() const { return Utf8Of(Window.Handle()); }
  void ShowPageOf(HWND control) {
    for (std::size_t i = 0; i < Window.Pages().size(); ++i) {
      if (IsChild(Window.Pages()[i], control)) Window.ShowPage(static_cast<int>(i));
    }
  }
  // A field's new text typed over its old one, selected.
  void TypeField(const char* name, const std::wstring& text) {
    ShowPageOf(Window.Control(name));
    SetFocus(Window.Control(name));
    SendMessageW(Window.Control(name), EM_SETSEL, 0, -1);
    Type(Window, text.empty() ? std::wstring(1, VK_BACK) : text);
  }
};

// A system dialog that was shown.
struct SeenBox {
  std::string Title;
  std::vector<std::string> Texts;    // static texts
  std::vector<std::string> Buttons;  // captions
  std::vector<std::string> Items;    // a list box's
  int Selected = -1;
};

// Answers every system dialog (#32770) of this thread that opens while it lives, from a timer
// that the dialogs' own message loops run: the i-th presses the button captioned answers[i]
// (the last for any further one; "" presses OK). `inspect`, when given, sees each box first.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(std::vector<std::string> answers = {""}, std::function<void(HWND)> inspect = {})
      : answers_(std::move(answers)), inspect_(std::move(inspect)), timer_(SetTimer(nullptr, 0, 30, Tick)) {
    current_ = this;
  }
  ~BoxAnswerer() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  const std::vector<SeenBox>& Seen() const { return seen_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), Visit, 0); }
  static std::wstring ClassOf(HWND window) {
    wchar_t name[32] = L"";
    GetClassNameW(window, name, 32);
    return name;
  }
  static BOOL CALLBACK Visit(HWND box, LPARAM) {
    if (current_ == nullptr || ClassOf(box) != L"#32770" || !IsWindowVisible(box) ||
        !current_->done_.insert(box).second) {
      return TRUE;
    }
    SeenBox seen;
    seen.Title = Utf8Of(box);
    EnumChildWindows(box, Child, reinterpret_cast<LPARAM>(&seen));
    current_->seen_.push_back(seen);
    if (current_->inspect_) current_->inspect_(box);
    const std::string& answer = current_->answers_[std::min(current_->seen_.size(), current_->answers_.size()) - 1];
    int id = IDOK;
    for (HWND b = GetWindow(box, GW_CHILD); b != nullptr && !answer.empty(); b = GetWindow(b, GW_HWNDNEXT)) {
      if (ClassOf(b) == L"Button" && Utf8Of(b) == answer) id = GetDlgCtrlID(b);
    }
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
    return FALSE;
  }
  static BOOL CALLBACK Child(HWND child, LPARAM box) {
    auto& seen = *reinterpret_cast<SeenBox*>(box);
    const std::wstring kind = ClassOf(child);
    if (!IsWindowVisible(child)) return TRUE;
    if (kind == L"Static" && GetWindowTextLengthW(child) > 0) seen.Texts.push_back(Utf8Of(child));
    if (kind == L"Button") seen.Buttons.push_back(Utf8Of(child));
    if (kind == L"ListBox") {
      for (int i = 0; i < static_cast<int>(SendMessageW(child, LB_GETCOUNT, 0, 0)); ++i) {
        wchar_t item[256] = L"";
        SendMessageW(child, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
        seen.Items.push_back(Narrow(item));
      }
      seen.Selected = static_cast<int>(SendMessageW(child, LB_GETCURSEL, 0, 0));
    }
    return TRUE;
  }

  static inline BoxAnswerer* current_ = nullptr;
  std::vector<std::string> answers_;
  std::function<void(HWND)> inspect_;
  std::vector<SeenBox> seen_;
  std::set<HWND> done_;
  UINT_PTR timer_;
};

}  // namespace vmk::win32test
