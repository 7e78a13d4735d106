#include "app/win32/dialogs.h"

#include <commdlg.h>

#include <vector>

#include "app/win32/gothic_fonts.h"
#include "platform/wide_text.h"

namespace vmk::win32 {
namespace {

using platform::Narrow;
using platform::Widen;

UINT IconStyle(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return MB_ICONINFORMATION;
    case MessageIcon::Warning:
      return MB_ICONWARNING;
    case MessageIcon::Critical:
      break;
  }
  return MB_ICONERROR;
}

// The save question's buttons in the box's order (はい, いいえ, キャンセル), by their answers.
constexpr SaveAnswer kBoxAnswers[] = {SaveAnswer::Save, SaveAnswer::Discard, SaveAnswer::Cancel};
constexpr int kBoxButtons[] = {IDYES, IDNO, IDCANCEL};
constexpr UINT kDefaultStyles[] = {MB_DEFBUTTON1, MB_DEFBUTTON2, MB_DEFBUTTON3};

// The question whose texts the box about to open takes, and the hook that puts them there.
thread_local const SaveQuestion* pendingQuestion = nullptr;
thread_local HHOOK questionHook = nullptr;

LRESULT CALLBACK NameButtons(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && pendingQuestion != nullptr) {
    HWND box = reinterpret_cast<HWND>(wParam);
    for (const auto& [answer, text] : pendingQuestion->Buttons) {
      for (std::size_t i = 0; i < std::size(kBoxAnswers); ++i) {
        if (kBoxAnswers[i] == answer) SetDlgItemTextW(box, kBoxButtons[i], Widen(text).c_str());
      }
    }
    pendingQuestion = nullptr;
  }
  return CallNextHookEx(questionHook, code, wParam, lParam);
}

INT_PTR CALLBACK DirectionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      const auto& question = *reinterpret_cast<const DirectionQuestion*>(lParam);
      SetWindowTextW(dialog, Widen(question.Title).c_str());
      HWND label = GetDlgItem(dialog, kDirectionLabel);
      HWND list = GetDlgItem(dialog, kDirectionList);
      SetWindowTextW(label, Widen(question.Label).c_str());
      SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(ControlFont()), FALSE);
      // Fixed pitch, so that the directions' names and hours line up.
      SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(GridFont()), FALSE);
      for (const std::string& item : question.Items) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
      }
      SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(question.Preselected), 0);
      SetDlgItemTextW(dialog, IDCANCEL, L"キャンセル");
      for (int button : {IDOK, IDCANCEL}) {
        SendDlgItemMessageW(dialog, button, WM_SETFONT, reinterpret_cast<WPARAM>(ControlFont()), FALSE);
      }
      SetFocus(list);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          EndDialog(dialog, SendDlgItemMessageW(dialog, kDirectionList, LB_GETCURSEL, 0, 0));
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, -1);
          return TRUE;
        case kDirectionList:
          if (HIWORD(wParam) == LBN_DBLCLK) {
            EndDialog(dialog, SendDlgItemMessageW(dialog, kDirectionList, LB_GETCURSEL, 0, 0));
            return TRUE;
          }
          break;
        default:
          break;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace

void ShowMessageBox(HWND owner, const MessageText& message) {
  MessageBoxW(owner, Widen(message.Text).c_str(), Widen(message.Title).c_str(), MB_OK | IconStyle(message.Icon));
}

SaveAnswer AskSaveQuestion(HWND owner, const SaveQuestion& question) {
  UINT style = MB_YESNOCANCEL | MB_ICONQUESTION;
  for (std::size_t i = 0; i < std::size(kBoxAnswers); ++i) {
    if (kBoxAnswers[i] == question.Default) style |= kDefaultStyles[i];
  }
  std::string text = question.Text;
  if (!question.Informative.empty()) text += "\n\n" + question.Informative;
  pendingQuestion = &question;
  questionHook = SetWindowsHookExW(WH_CBT, NameButtons, nullptr, GetCurrentThreadId());
  const int pressed = MessageBoxW(owner, Widen(text).c_str(), Widen(question.Title).c_str(), style);
  if (questionHook != nullptr) UnhookWindowsHookEx(questionHook);
  questionHook = nullptr;
  pendingQuestion = nullptr;
  for (std::size_t i = 0; i < std::size(kBoxAnswers); ++i) {
    if (pressed == kBoxButtons[i] && kBoxAnswers[i] != SaveAnswer::Cancel) return kBoxAnswers[i];
  }
  return question.Escape;
}

std::wstring FilterList(const FileDialog& dialog) {
  std::wstring list;
  for (const FileFilter& filter : dialog.Filters) {
    list += Widen(FilterLabel(filter));
    list += L'\0';
    list += Widen(filter.Pattern);
    list += L'\0';
  }
  list += L'\0';
  return list;
}

FileChoice ChooseFileWithDialog(HWND owner, const FileDialog& dialog) {
  const std::wstring filters = FilterList(dialog);
  const std::wstring caption = Widen(dialog.Caption);
  const std::wstring suggested = platform::WidePath(dialog.Suggested);
  const std::size_t slash = suggested.find_last_of(L'\\');
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : suggested.substr(0, slash + 1);
  const std::wstring name = slash == std::wstring::npos ? suggested : suggested.substr(slash + 1);
  // A typed name without an extension takes the chosen filter's (the first filter's when the
  // chosen one has none), as the frontend's rule says; the overwrite question then sees the
  // file that will be written.
  std::wstring extension;
  if (dialog.ForSave && !dialog.Filters.empty() && dialog.Filters.front().Extension.size() > 1) {
    extension = Widen(dialog.Filters.front().Extension.substr(1));
  }

  std::vector<wchar_t> file(32768, L'\0');
  if (dialog.ForSave) name.copy(file.data(), std::min(name.size(), file.size() - 1));
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filters.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = caption.c_str();
  ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
              (dialog.ForSave ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  const BOOL chosen = dialog.ForSave ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!chosen) return {};
  return FileChoice{Narrow(file.data()), ofn.nFilterIndex > 0 ? static_cast<int>(ofn.nFilterIndex) - 1 : 0};
}

int ChooseDirectionWithDialog(HWND owner, const DirectionQuestion& question) {
  const INT_PTR chosen = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kDirectionDialog), owner,
                                         DirectionProc, reinterpret_cast<LPARAM>(&question));
  return chosen >= 0 && chosen < static_cast<INT_PTR>(question.Items.size()) ? static_cast<int>(chosen) : -1;
}

}  // namespace vmk::win32
