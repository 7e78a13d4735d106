// The window's file dialogs and message boxes as data: captions, filters, suggested names, the
// texts of the files that cannot be opened or saved, the version box and the error box. Each
// window shows them with its own dialogs. Texts UTF-8.
#pragma once

#include <string>
#include <vector>

#include "app/frontend/case_document.h"

namespace vmk {

// One choice of a dialog's file types: "ケースファイル (*.json)".
struct FileFilter {
  std::string Name;       // "ケースファイル"
  std::string Pattern;    // "*.json"; "*" for every file
  std::string Extension;  // ".json", appended to a name typed without one; empty for "*"
};

// The label of a filter as the dialogs list it: "ケースファイル (*.json)".
std::string FilterLabel(const FileFilter& filter);

struct FileDialog {
  std::string Caption;
  std::vector<FileFilter> Filters;  // the first one chosen at first
  std::string Suggested;            // a path, or a bare name in the current folder
  bool ForSave = false;             // a save dialog (else an open dialog: the file must exist)
};

// What the user chose: the path, empty when cancelled, and the filter that was chosen.
struct FileChoice {
  std::string Path;
  int Filter = 0;
};

// The file to use for a choice: a save dialog's name typed without an extension takes the
// chosen filter's extension, or the first filter's when the chosen one has none.
std::string ChosenPath(const FileDialog& dialog, const FileChoice& choice);

// True when the file's name has an extension (a "." followed by something).
bool HasExtension(const std::string& path);

// The dialogs. The case file's dialogs start at the document's file, or case.json in the
// current folder.
FileDialog OpenCaseDialog(const CaseDocument& doc);
FileDialog SaveCaseDialog(const CaseDocument& doc);
FileDialog MetStatsDialog();     // 気象統計から読み込む
FileDialog SiteDialog();         // サイト濃度分布
FileDialog ProfileExportDialog();  // 距離分布を保存: PNG, SVG, CSV

enum class MessageIcon { Information, Warning, Critical };

// A modal message box with one OK button.
struct MessageText {
  std::string Name;   // the box's object name, for the tests: "FileProblemBox"
  std::string Title;  // "VMK Ver.1"
  std::string Text;
  MessageIcon Icon = MessageIcon::Warning;
};

// A case file or met statistics file that cannot be used, a failed save: "FileProblemBox".
MessageText FileProblemMessage(std::string text);
std::string CannotOpenText(const std::string& path, const std::string& why);  // "%1 を開けません:\n%2"
std::string CaseArrayText(const std::string& path);  // an array of calculations, not one object
std::string CannotSaveText(const std::string& why);  // the old file stays as it was
std::string CannotReadMetText(const std::string& path, const std::string& why);  // "%1 を読み込めません:\n%2"
// A paste refused ("PasteProblemBox"), with the paste plan's problem.
MessageText PasteProblemMessage(std::string problem);
// The profile export failed ("ExportProblemBox"): "保存できませんでした:\n" and why.
MessageText ExportProblemMessage(const std::string& problem);
// The manual (ヘルプ → 説明書, the status line's 説明ﾌｧｲﾙ): its first page, index.html in the
// folder "manual" beside the program, where the build and the installation put it, or in
// `folder` when one is given.
inline constexpr char kManualFolderName[] = "manual";
std::string ManualIndexPath(const std::string& folder = {});
// The manual is not where it should be ("ManualProblemBox").
MessageText ManualMissingMessage(const std::string& indexPath);
// The system could not open the manual's first page (no program for HTML files):
// "ManualProblemBox", with the file to open by hand.
MessageText ManualNotOpenedMessage(const std::string& indexPath);
// ヘルプ → バージョン情報 ("VersionBox"): the program and its version stamp.
MessageText VersionMessage();
// An input/output error that ended a calculation ("ErrorMessageBox", the error icon).
MessageText ErrorMessage(std::string text);

}  // namespace vmk
