#include "app/frontend/window_texts.h"

#include "app/command/calculation.h"
#include "form/form_layout.h"
#include "platform/files.h"

namespace vmk {
namespace {

const FileFilter kAllFiles{"すべてのファイル", "*", ""};

MessageText Message(std::string name, std::string text, MessageIcon icon) {
  return {std::move(name), std::string(kApplicationTitle), std::move(text), icon};
}

}  // namespace

std::string FilterLabel(const FileFilter& filter) { return filter.Name + " (" + filter.Pattern + ")"; }

bool HasExtension(const std::string& path) {
  const std::string name = FileNameOf(path);
  const std::size_t dot = name.rfind('.');
  return dot != std::string::npos && dot + 1 < name.size();
}

std::string ChosenPath(const FileDialog& dialog, const FileChoice& choice) {
  if (choice.Path.empty() || !dialog.ForSave || HasExtension(choice.Path)) return choice.Path;
  const auto extension = [&](int i) {
    return i >= 0 && i < static_cast<int>(dialog.Filters.size()) ? dialog.Filters[static_cast<std::size_t>(i)].Extension
                                                                 : std::string();
  };
  std::string ext = extension(choice.Filter);
  if (ext.empty()) ext = extension(0);
  return choice.Path + ext;
}

FileDialog OpenCaseDialog(const CaseDocument& doc) {
  FileDialog d = SaveCaseDialog(doc);
  d.Caption = "開く";
  d.ForSave = false;
  return d;
}

FileDialog SaveCaseDialog(const CaseDocument& doc) {
  return {"名前を付けて保存", {{"ケースファイル", "*.json", ".json"}, kAllFiles},
          doc.Path.empty() ? InCurrentFolder("case.json") : doc.Path, true};
}

FileDialog MetStatsDialog() {
  return {"気象統計から読み込む", {{"気象統計ファイル", "*.json", ".json"}, kAllFiles}, InCurrentFolder("met.json"),
          false};
}

FileDialog SiteDialog() {
  return {"サイト濃度分布", {{"サイトファイル", "*.json", ".json"}, kAllFiles}, InCurrentFolder("site.json"), false};
}

FileDialog ProfileExportDialog() {
  return {"距離分布を保存",
          {{"PNG 画像", "*.png", ".png"}, {"SVG 画像", "*.svg", ".svg"}, {"CSV", "*.csv", ".csv"}},
          "profile.png",
          true};
}

MessageText FileProblemMessage(std::string text) {
  return Message("FileProblemBox", std::move(text), MessageIcon::Warning);
}

std::string CannotOpenText(const std::string& path, const std::string& why) {
  return FileNameOf(path) + " を開けません:\n" + why;
}

std::string CaseArrayText(const std::string& path) {
  return CannotOpenText(path,
                        "計算の並び (配列) のケースファイルです。ウィンドウで開けるのは一つのオブジェクトのファイル"
                        "だけです (並びは vmk-calc で計算できます)。");
}

std::string CannotSaveText(const std::string& why) { return "保存できませんでした (前のファイルはそのままです):\n" + why; }

std::string CannotReadMetText(const std::string& path, const std::string& why) {
  return FileNameOf(path) + " を読み込めません:\n" + why;
}

MessageText PasteProblemMessage(std::string problem) {
  return Message("PasteProblemBox", std::move(problem), MessageIcon::Warning);
}

MessageText ExportProblemMessage(const std::string& problem) {
  return Message("ExportProblemBox", "保存できませんでした:\n" + problem, MessageIcon::Warning);
}

std::string ManualIndexPath(const std::string& folder) {
  const std::string dir = folder.empty() ? platform::JoinPath(platform::ProgramFolder(), kManualFolderName) : folder;
  return platform::JoinPath(dir, "index.html");
}

MessageText ManualMissingMessage(const std::string& indexPath) {
  return Message("ManualProblemBox",
                 "説明書が見つかりません:\n" + NativePath(indexPath) +
                     "\n説明書はプログラムと同じフォルダの manual フォルダに置かれます。",
                 MessageIcon::Warning);
}

MessageText ManualNotOpenedMessage(const std::string& indexPath) {
  return Message("ManualProblemBox",
                 "説明書を開けませんでした:\n" + NativePath(indexPath) +
                     "\nこのファイルをブラウザーで開いてください。",
                 MessageIcon::Warning);
}

MessageText VersionMessage() {
  return Message("VersionBox", std::string(kApplicationTitle) + "\nバージョン " + std::string(VersionStamp),
                 MessageIcon::Information);
}

MessageText ErrorMessage(std::string text) {
  return Message("ErrorMessageBox", std::move(text), MessageIcon::Critical);
}

}  // namespace vmk
