#include "app/frontend/menu_table.h"

#include <algorithm>
#include <stdexcept>

namespace vmk {
namespace {

constexpr std::string_view kFile = "ファイル(&F)";
constexpr std::string_view kEdit = "編集(&E)";
constexpr std::string_view kHelp = "ヘルプ(&H)";

// A new command is one more row here and one more case of Execute. Only `XrpEdit` and the
// calculate button start a calculation; no entry does.
constexpr MenuItem kMenuItems[] = {
    {kFile, MenuItemKind::Command, "新規作成(&N)", "Ctrl+N", MenuCommand::NewCase, "NewCaseAction"},
    {kFile, MenuItemKind::Command, "開く(&O)...", "Ctrl+O", MenuCommand::OpenCase, "OpenCaseAction"},
    {kFile, MenuItemKind::Command, "上書き保存(&S)", "Ctrl+S", MenuCommand::SaveCase, "SaveCaseAction"},
    {kFile, MenuItemKind::Command, "名前を付けて保存(&A)...", "Ctrl+Shift+S", MenuCommand::SaveCaseAs,
     "SaveCaseAsAction"},
    {kFile, MenuItemKind::Separator},
    {kFile, MenuItemKind::Command, "気象統計から読み込む(&M)...", "", MenuCommand::ImportMetStats,
     "ImportMetStatsAction"},
    {kFile, MenuItemKind::Command, "サイト濃度分布(&D)...", "", MenuCommand::OpenSite, "OpenSiteAction"},
    {kFile, MenuItemKind::Command, "サイトの編集(&E)...", "", MenuCommand::EditSite, "EditSiteAction"},
    {kFile, MenuItemKind::Separator},
    {kFile, MenuItemKind::RecentFiles, "最近使ったファイル(&R)", "", MenuCommand::NewCase, "RecentFilesMenu"},
    {kFile, MenuItemKind::Separator},
    {kFile, MenuItemKind::Command, "終了(&X)", "", MenuCommand::Exit, "ExitAction"},
    {kEdit, MenuItemKind::Command, "コピー(&C)", "Ctrl+C", MenuCommand::CopyCells, "CopyCellsAction", true},
    {kEdit, MenuItemKind::Command, "貼り付け(&P)", "Ctrl+V", MenuCommand::PasteCells, "PasteCellsAction", true},
    {kHelp, MenuItemKind::Command, "説明書(&M)", "F1", MenuCommand::ShowManual, "ManualAction"},
    {kHelp, MenuItemKind::Command, "バージョン情報(&A)", "", MenuCommand::ShowVersion, "VersionAction"},
};

}  // namespace

std::span<const MenuItem> MenuItems() { return kMenuItems; }

std::vector<std::string_view> MenuCaptions() {
  std::vector<std::string_view> menus;
  for (const MenuItem& item : kMenuItems) {
    if (std::find(menus.begin(), menus.end(), item.Menu) == menus.end()) menus.push_back(item.Menu);
  }
  return menus;
}

const MenuItem& MenuItemOf(MenuCommand command) {
  for (const MenuItem& item : kMenuItems) {
    if (item.Kind == MenuItemKind::Command && item.Command == command) return item;
  }
  throw std::logic_error("a menu command without its entry");
}

std::optional<KeyShortcut> ParseShortcut(std::string_view text) {
  KeyShortcut keys;
  while (true) {
    const std::size_t plus = text.find('+');
    if (plus == std::string_view::npos) break;
    const std::string_view modifier = text.substr(0, plus);
    if (modifier == "Ctrl") {
      keys.Ctrl = true;
    } else if (modifier == "Shift") {
      keys.Shift = true;
    } else if (modifier == "Alt") {
      keys.Alt = true;
    } else {
      return std::nullopt;
    }
    text.remove_prefix(plus + 1);
  }
  if (text.size() >= 2 && text.size() <= 3 && text[0] == 'F') {
    int n = 0;
    for (const char d : text.substr(1)) {
      if (d < '0' || d > '9') return std::nullopt;
      n = n * 10 + (d - '0');
    }
    if (n < 1 || n > 12 || text[1] == '0') return std::nullopt;
    keys.Function = n;
    return keys;
  }
  if (text.size() != 1) return std::nullopt;
  const char c = text[0];
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
    keys.Key = c;
    return keys;
  }
  return std::nullopt;
}

}  // namespace vmk
