#include "app/frontend/case_document.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "form/form_layout.h"
#include "platform/files.h"

namespace vmk {

std::string WindowTitle(const CaseDocument& doc) {
  std::string title(kWindowTitle);
  if (!doc.Path.empty()) title += " - " + FileNameOf(doc.Path);
  if (doc.Edited) title += " *";
  return title;
}

void NoteOpenedOrSaved(CaseDocument& doc, const std::string& absolutePath) {
  doc.Path = absolutePath;
  doc.Edited = false;
  ForgetRecentFile(doc, absolutePath);
  doc.Recent.insert(doc.Recent.begin(), absolutePath);
  if (doc.Recent.size() > static_cast<std::size_t>(kMaxRecentFiles)) doc.Recent.resize(kMaxRecentFiles);
}

void NoteNewCase(CaseDocument& doc) {
  doc.Path.clear();
  doc.Edited = false;
}

bool NoteEdit(CaseDocument& doc) {
  if (doc.Edited) return false;
  doc.Edited = true;
  return true;
}

void ForgetRecentFile(CaseDocument& doc, const std::string& path) {
  doc.Recent.erase(std::remove(doc.Recent.begin(), doc.Recent.end(), path), doc.Recent.end());
}

std::vector<RecentMenuEntry> RecentMenu(const CaseDocument& doc) {
  if (doc.Recent.empty()) return {{"(なし)", "", false}};
  std::vector<RecentMenuEntry> entries;
  for (std::size_t i = 0; i < doc.Recent.size(); ++i) {
    std::string text = "&" + std::to_string(i + 1) + " ";
    for (const char c : NativePath(doc.Recent[i])) {
      text += c;
      if (c == '&') text += '&';
    }
    entries.push_back({std::move(text), doc.Recent[i], true});
  }
  return entries;
}

SaveQuestion SaveQuestionFor(const CaseDocument& doc) {
  SaveQuestion q;
  q.Name = "SaveQuestionBox";
  q.Title = std::string(kApplicationTitle);
  q.Text = "保存しますか?";
  q.Informative = doc.Path.empty() ? "保存していない変更があります。"
                                   : FileNameOf(doc.Path) + " に保存していない変更があります。";
  q.Buttons = {{SaveAnswer::Save, "はい"}, {SaveAnswer::Discard, "いいえ"}, {SaveAnswer::Cancel, "キャンセル"}};
  return q;
}

std::string FileNameOf(const std::string& path) {
  return platform::PathToUtf8(platform::PathFromUtf8(path).filename());
}

std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(platform::PathFromUtf8(path), ec);
  if (ec) return path;
  return platform::PathToUtf8(absolute.lexically_normal());
}

std::string NativePath(const std::string& path) {
  std::string native = path;
  if (platform::kWindows) std::replace(native.begin(), native.end(), '/', '\\');
  return native;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(platform::PathFromUtf8(path), ec);
}

std::string InCurrentFolder(const std::string& name) {
  std::error_code ec;
  const std::filesystem::path here = std::filesystem::current_path(ec);
  if (ec) return name;
  return platform::JoinPath(platform::PathToUtf8(here), name);
}

}  // namespace vmk
