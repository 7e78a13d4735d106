// The case file a window edits: its path, whether it holds unsaved edits, the title that says
// both, the recent files, and the question asked before unsaved edits would be lost. Plain data
// and routines; every text UTF-8.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vmk {

inline constexpr int kMaxRecentFiles = 8;

struct CaseDocument {
  std::string Path;                 // absolute; empty before the first open or save
  bool Edited = false;              // unsaved edits since the last open, save or new case
  std::vector<std::string> Recent;  // absolute paths, most recent first, at most 8
};

// "VMK - 1", then " - " and the file's name once there is a file, then " *" while edited.
std::string WindowTitle(const CaseDocument& doc);

// A case file was opened or saved: it is the document's file, with nothing unsaved, and the
// most recent file.
void NoteOpenedOrSaved(CaseDocument& doc, const std::string& absolutePath);
// 新規作成: no file, nothing unsaved; the recent files stay.
void NoteNewCase(CaseDocument& doc);
// An edit; true when it is the first since the last save (the title gains its mark).
bool NoteEdit(CaseDocument& doc);
// A recent file that could not be opened because it is gone leaves the list.
void ForgetRecentFile(CaseDocument& doc, const std::string& path);

// One entry of the submenu 最近使ったファイル: "&1 path" (the path's own "&" doubled, so that
// it is no access key), or the one disabled entry "(なし)" for an empty list.
struct RecentMenuEntry {
  std::string Text;
  std::string Path;  // empty for "(なし)"
  bool Enabled = true;
};
std::vector<RecentMenuEntry> RecentMenu(const CaseDocument& doc);

// The answers of the question 保存しますか?.
enum class SaveAnswer { Save, Discard, Cancel };

// The question before unsaved edits would be lost, as the window shows it.
struct SaveQuestion {
  std::string Name;         // "SaveQuestionBox", the box's object name for the tests
  std::string Title;        // "VMK Ver.1"
  std::string Text;         // "保存しますか?"
  std::string Informative;  // which file holds unsaved edits
  std::vector<std::pair<SaveAnswer, std::string>> Buttons;  // はい, いいえ, キャンセル
  SaveAnswer Default = SaveAnswer::Save;                     // Enter
  SaveAnswer Escape = SaveAnswer::Cancel;                    // Esc, or the box closed
};
SaveQuestion SaveQuestionFor(const CaseDocument& doc);

// Paths as the windows show and keep them.
std::string FileNameOf(const std::string& path);    // the last part: "site.json"
std::string AbsolutePath(const std::string& path);  // from the current folder, "." and ".." gone
std::string NativePath(const std::string& path);    // "\" between the folders on Windows
bool FileExists(const std::string& path);
// The current folder joined with `name`: where a file dialog starts.
std::string InCurrentFolder(const std::string& name);

}  // namespace vmk
