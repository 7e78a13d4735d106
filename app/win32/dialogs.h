// The frontend's questions, dialogs and messages (app/frontend/window_texts.h, case_document.h,
// form_rules.h) shown with Windows' own: message boxes, the common file dialogs and a small list
// dialog for the wind direction. Each is modal to `owner`.
#pragma once

#include <windows.h>

#include "app/frontend/frontend.h"

namespace vmk::win32 {

// A message box with the message's title, text and icon, and an OK button.
void ShowMessageBox(HWND owner, const MessageText& message);

// 保存しますか?: a message box whose three buttons carry the question's own texts (はい, いいえ,
// キャンセル, whatever the system's language), the default one first; Esc and the close box
// answer the question's Escape.
SaveAnswer AskSaveQuestion(HWND owner, const SaveQuestion& question);

// GetOpenFileName or GetSaveFileName with the dialog's caption, filters and suggested file; the
// current folder stays as it was. An empty path when cancelled.
FileChoice ChooseFileWithDialog(HWND owner, const FileDialog& dialog);

// The list of wind directions, the preselected one chosen; -1 when cancelled.
int ChooseDirectionWithDialog(HWND owner, const DirectionQuestion& question);

// The dialog's filters as the common dialogs take them: "label\0pattern\0" each, then "\0".
std::wstring FilterList(const FileDialog& dialog);

// The control identifiers of the direction dialog (app/win32/vmk.rc).
inline constexpr int kDirectionDialog = 101;
inline constexpr int kDirectionLabel = 1001;
inline constexpr int kDirectionList = 1002;

}  // namespace vmk::win32
