// The window's menu bar as data: its menus in order, each entry a command with its caption,
// access key and shortcut, a separator, or the submenu of the recent files. Both windows build
// their menus from this one table and run an entry by its command (frontend.h, Execute).
#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace vmk {

// The commands of the menu bar.
enum class MenuCommand {
  NewCase,         // ファイル → 新規作成
  OpenCase,        // ファイル → 開く...
  SaveCase,        // ファイル → 上書き保存
  SaveCaseAs,      // ファイル → 名前を付けて保存...
  ImportMetStats,  // ファイル → 気象統計から読み込む...
  OpenSite,        // ファイル → サイト濃度分布... (only where the window has a site window)
  EditSite,        // ファイル → サイトの編集... (the same)
  Exit,            // ファイル → 終了
  CopyCells,       // 編集 → コピー
  PasteCells,      // 編集 → 貼り付け
  ShowManual,      // ヘルプ → 説明書 (F1; only where the window can show the manual)
  ShowVersion,     // ヘルプ → バージョン情報
};

enum class MenuItemKind { Command, Separator, RecentFiles };

// One entry of the menu bar (texts UTF-8).
struct MenuItem {
  std::string_view Menu;  // the menu's caption, with its access key: "ファイル(&F)"
  MenuItemKind Kind;
  std::string_view Text = {};      // the entry's caption, with its access key
  std::string_view Shortcut = {};  // portable text ("Ctrl+Shift+S"); empty for none
  MenuCommand Command = MenuCommand::NewCase;  // for a Command entry
  std::string_view Name = {};  // object name of the entry, for the tests
  bool GridOnly = false;       // the shortcut works only while the grid has the focus
};

// Every entry of the menu bar, menu by menu in order.
std::span<const MenuItem> MenuItems();

// The menus' captions in the order of the menu bar.
std::vector<std::string_view> MenuCaptions();

// The entry of a command.
const MenuItem& MenuItemOf(MenuCommand command);

// A shortcut's keys: a letter, a digit or a function key, with Ctrl, Shift and Alt.
struct KeyShortcut {
  bool Ctrl = false;
  bool Shift = false;
  bool Alt = false;
  char Key = 0;      // 'A' to 'Z', '0' to '9'; 0 for a function key
  int Function = 0;  // 1 to 12 for F1 to F12; 0 for a letter or digit
};
// The keys of a portable shortcut text ("Ctrl+Shift+S", "F1"), or nothing for an empty or
// unknown one.
std::optional<KeyShortcut> ParseShortcut(std::string_view text);

}  // namespace vmk
