#include "app/win32/main_window.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <mutex>

#include "app/win32/dialogs.h"
#include "app/win32/gothic_fonts.h"
#include "app/win32/grid_control.h"
#include "common/cp932.h"
#include "platform/wide_text.h"
#include "plot/gdiplus/gdiplus_painter.h"

namespace vmk::win32 {
namespace {

using platform::Narrow;
using platform::Widen;

constexpr wchar_t kMainClassName[] = L"VmkForm1";
constexpr wchar_t kPageClassName[] = L"VmkPage";
constexpr wchar_t kChartClassName[] = L"VmkProfileChart";

// Each control of the layout has the identifier kControlIdBase + its place in the table.
constexpr int kControlIdBase = 1000;
constexpr int kPageIdBase = 950;
constexpr UINT_PTR kTipTimer = 1;
constexpr UINT kTipMilliseconds = 10000;
constexpr UINT kOpenDroppedFile = WM_APP + 1;
constexpr int kCheckBoxIndicator = 18;  // the box and the gap before the caption
constexpr int kMarkIdBase = 960;        // the labels of the marks, by their place in MarkLabels()

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring FromCp932(const Cp932& text) { return Widen(Cp932ToUtf8(text)); }
Cp932 ToCp932(const std::wstring& text) { return Utf8ToCp932(Narrow(text)); }

COLORREF ColorRefOf(const PlotColor& color) { return RGB(color.R, color.G, color.B); }

void SetFont(HWND control, HFONT font) { SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }

// Pages pass what their controls tell them on to the main window.
LRESULT CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      return SendMessageW(GetAncestor(page, GA_ROOT), message, wParam, lParam);
    default:
      break;
  }
  return DefWindowProcW(page, message, wParam, lParam);
}

// The profile chart: the scene it is given, fitted to the window and drawn by GDI+.
LRESULT CALLBACK ChartProc(HWND chart, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(chart, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams));
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC screen = BeginPaint(chart, &ps);
      RECT client;
      GetClientRect(chart, &client);
      const int width = std::max<int>(client.right, 1);
      const int height = std::max<int>(client.bottom, 1);
      HDC dc = CreateCompatibleDC(screen);
      HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
      HGDIOBJ old = SelectObject(dc, bitmap);
      FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      if (const auto* scene = reinterpret_cast<const PlotScene*>(GetWindowLongPtrW(chart, GWLP_USERDATA))) {
        PaintPlotScene(WindowsDc{dc}, FitScene(*scene, width, height));  // a failure leaves it white
      }
      BitBlt(screen, 0, 0, width, height, dc, 0, 0, SRCCOPY);
      SelectObject(dc, old);
      DeleteObject(bitmap);
      DeleteDC(dc);
      EndPaint(chart, &ps);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(chart, message, wParam, lParam);
}

// The clipboard may be held by another program for a moment.
bool OpenClipboardSoon(HWND owner) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (OpenClipboard(owner)) return true;
    Sleep(10);
  }
  return false;
}

std::string ReadClipboardText(HWND owner) {
  if (!OpenClipboardSoon(owner)) return {};
  std::string text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = Narrow(wide);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// Lines end in CR LF on the Windows clipboard, as other programs expect.
void WriteClipboardText(HWND owner, const std::string& text) {
  std::wstring wide;
  for (const wchar_t c : Widen(text)) {
    if (c == L'\n' && (wide.empty() || wide.back() != L'\r')) wide += L'\r';
    wide += c;
  }
  if (!OpenClipboardSoon(owner)) return;
  EmptyClipboard();
  const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* p = GlobalLock(data)) {
      std::copy(wide.c_str(), wide.c_str() + wide.size() + 1, static_cast<wchar_t*>(p));
      GlobalUnlock(data);
      if (SetClipboardData(CF_UNICODETEXT, data) == nullptr) GlobalFree(data);
    } else {
      GlobalFree(data);
    }
  }
  CloseClipboard();
}

// The layout's controls of one parent with a place in the keyboard order, by that order.
std::vector<const ControlDef*> TabStops(ControlParent parent) {
  std::vector<const ControlDef*> defs;
  for (const ControlDef& def : FormLayout()) {
    if (def.Parent == parent && def.TabOrder >= 0 && def.Kind != ControlKind::TabPage &&
        def.Kind != ControlKind::TabControl && def.Kind != ControlKind::Label) {
      defs.push_back(&def);
    }
  }
  std::stable_sort(defs.begin(), defs.end(),
                   [](const ControlDef* a, const ControlDef* b) { return a->TabOrder < b->TabOrder; });
  return defs;
}

// Puts a new window below its siblings: the keyboard order follows the windows' order.
void ToBottom(HWND window) { SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); }

HACCEL MakeAccelerators(std::vector<ACCEL>& keys) {
  return keys.empty() ? nullptr : CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

}  // namespace

void InitWindowClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);  // the file dialogs use COM
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpfnWndProc = MainWindow::Proc;
    wc.lpszClassName = kMainClassName;
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    RegisterClassExW(&wc);
    wc.hIcon = nullptr;
    wc.lpfnWndProc = PageProc;
    wc.lpszClassName = kPageClassName;
    RegisterClassExW(&wc);
    wc.lpfnWndProc = ChartProc;
    wc.lpszClassName = kChartClassName;
    wc.hbrBackground = nullptr;
    RegisterClassExW(&wc);
    RegisterGridClass();
  });
}

int MenuCommandId(MenuCommand command) {
  const auto items = MenuItems();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].Kind == MenuItemKind::Command && items[i].Command == command) return kMenuIdBase + static_cast<int>(i);
  }
  return 0;
}

MainWindow::MainWindow(bool quitOnClose) : quitOnClose_(quitOnClose) {
  InitWindowClasses();
  wchar_t decimal[8] = L".";
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8) > 0) {
    fe_.Settings.DecimalSep = ToCp932(decimal);  // the report keeps "."
  }
  InstallHooks();  // before the menus: they leave out what the window has no hook for
  HMENU menu = BuildMenus();
  constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  RECT outer{0, 0, kFormClientWidth, kFormClientHeight};
  AdjustWindowRectEx(&outer, style, TRUE, 0);
  CreateWindowExW(0, kMainClassName, Widen(kWindowTitle).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                  outer.right - outer.left, outer.bottom - outer.top, nullptr, menu, GetModuleHandleW(nullptr), this);
  if (hwnd_ == nullptr) return;
  // A menu bar that needs two lines takes its height from the client area: the window grows.
  RECT client;
  GetClientRect(hwnd_, &client);
  if (client.bottom < kFormClientHeight) {
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left,
                 outer.bottom - outer.top + kFormClientHeight - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  BuildControls();
  DragAcceptFiles(hwnd_, TRUE);
  tip_ =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  tool.hwnd = hwnd_;
  tool.uId = 1;
  tool.lpszText = tipText_.data();
  SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 480);  // the tip's lines break where its text does
  SetFont(tip_, ControlFont());
  ShowPage(0);
  ShowAll(fe_);
}

MainWindow::~MainWindow() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  if (windowKeys_ != nullptr) DestroyAcceleratorTable(windowKeys_);
  if (gridKeys_ != nullptr) DestroyAcceleratorTable(gridKeys_);
}

HWND MainWindow::Control(std::string_view name) const {
  const auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

HWND MainWindow::Tabs() const {
  for (const ControlDef& def : FormLayout()) {
    if (def.Kind == ControlKind::TabControl) return Control(def.Name);
  }
  return nullptr;
}

HWND MainWindow::Grid() const { return Control(kGridControlName); }

HWND MainWindow::MarkLabel(std::string_view name) const {
  const auto it = marks_.find(name);
  return it == marks_.end() ? nullptr : it->second;
}

const ControlDef* MainWindow::DefOf(HWND control) const {
  const int index = GetDlgCtrlID(control) - kControlIdBase;
  const auto layout = FormLayout();
  if (index < 0 || index >= static_cast<int>(layout.size())) return nullptr;
  const ControlDef& def = layout[static_cast<std::size_t>(index)];
  return Control(def.Name) == control ? &def : nullptr;
}

// ---------------------------------------------------------------------------------------------
// The hooks: Windows' dialogs and message boxes, and the controls.

void MainWindow::InstallHooks() {
  WindowHooks& h = fe_.Hooks;
  h.AskSave = [this](const SaveQuestion& q) { return AskSaveQuestion(hwnd_, q); };
  h.ChooseFile = [this](const FileDialog& d) { return ChooseFileWithDialog(hwnd_, d); };
  h.ChooseDirection = [this](const DirectionQuestion& q) { return ChooseDirectionWithDialog(hwnd_, q); };
  h.ShowMessage = [this](const MessageText& m) { ShowMessageBox(hwnd_, m); };
  h.ReadWidgets = [this] { ReadWidgets(); };
  h.WriteWidgets = [this] { WriteWidgets(); };
  h.EndEditing = [this] {
    if (HWND grid = Grid()) FinishGridEditing(grid);
  };
  h.SetTitle = [this](const std::string& title) {
    if (hwnd_ != nullptr) SetWindowTextW(hwnd_, Widen(title).c_str());
  };
  h.SetRecentMenu = [this](const std::vector<RecentMenuEntry>& entries) { SetRecentMenu(entries); };
  h.Close = [this] {
    if (hwnd_ != nullptr) SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  };
  h.ShowProfile = [this](const ProfileView& view) { ShowProfile(view); };
  h.ShowRejectedInput = [this](const RejectedInputView& view) { ShowRejectedInput(view); };
  h.ReadClipboard = [this] { return ReadClipboardText(hwnd_); };
  h.WriteClipboard = [this](const std::string& text) { WriteClipboardText(hwnd_, text); };
  h.ReadGridSelection = [this] { return GridSelectionOf(Grid()); };
  h.SelectCells = [this](const GridRange& range) { SelectGridCells(Grid(), range); };
  h.ShowMarks = [this](const WindowMarks& marks) { ShowMarks(marks); };
  h.OpenManual = [this](const std::string& indexPath) { OpenManual(indexPath); };
}

// The manual in the program that opens HTML files; a system without one says where the file is.
void MainWindow::OpenManual(const std::string& indexPath) {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(hwnd_, L"open", Widen(indexPath).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result <= 32) ShowMessageBox(hwnd_, ManualNotOpenedMessage(indexPath));
}

// ---------------------------------------------------------------------------------------------
// The menu bar and its keys, from the menu table.

HMENU MainWindow::BuildMenus() {
  HMENU bar = CreateMenu();
  std::map<std::string_view, HMENU> menus;
  for (const std::string_view caption : MenuCaptions()) {
    menus[caption] = CreatePopupMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menus[caption]), Widen(caption).c_str());
  }
  std::vector<ACCEL> windowKeys;
  std::vector<ACCEL> gridKeys;
  const auto items = MenuItems();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const MenuItem& item = items[i];
    HMENU menu = menus[item.Menu];
    switch (item.Kind) {
      case MenuItemKind::Separator:
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        break;
      case MenuItemKind::RecentFiles:
        recentMenu_ = CreatePopupMenu();
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(recentMenu_), Widen(item.Text).c_str());
        break;
      case MenuItemKind::Command: {
        if (!CommandAvailable(fe_, item.Command)) break;
        const int id = kMenuIdBase + static_cast<int>(i);
        std::string text(item.Text);
        if (!item.Shortcut.empty()) text += "\t" + std::string(item.Shortcut);
        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), Widen(text).c_str());
        if (const auto keys = ParseShortcut(item.Shortcut)) {
          ACCEL accel{};
          accel.fVirt = static_cast<BYTE>(FVIRTKEY | (keys->Ctrl ? FCONTROL : 0) | (keys->Shift ? FSHIFT : 0) |
                                          (keys->Alt ? FALT : 0));
          // The virtual keys of letters and digits are their ASCII codes; F1 to F12 follow one another.
          accel.key = static_cast<WORD>(keys->Function != 0 ? VK_F1 + keys->Function - 1 : keys->Key);
          accel.cmd = static_cast<WORD>(id);
          (item.GridOnly ? gridKeys : windowKeys).push_back(accel);
        }
        break;
      }
    }
  }
  windowKeys_ = MakeAccelerators(windowKeys);
  gridKeys_ = MakeAccelerators(gridKeys);
  return bar;
}

void MainWindow::SetRecentMenu(const std::vector<RecentMenuEntry>& entries) {
  if (recentMenu_ == nullptr) return;
  while (GetMenuItemCount(recentMenu_) > 0) DeleteMenu(recentMenu_, 0, MF_BYPOSITION);
  recentPaths_.clear();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const RecentMenuEntry& entry = entries[i];
    AppendMenuW(recentMenu_, MF_STRING | (entry.Enabled ? 0u : MF_GRAYED), static_cast<UINT_PTR>(kRecentIdBase + i),
                Widen(entry.Text).c_str());
    recentPaths_.push_back(entry.Path);
  }
}

void MainWindow::MenuCommandChosen(int id) {
  const auto items = MenuItems();
  if (id >= kMenuIdBase && id < kMenuIdBase + static_cast<int>(items.size())) {
    const MenuItem& item = items[static_cast<std::size_t>(id - kMenuIdBase)];
    if (item.Kind == MenuItemKind::Command && CommandAvailable(fe_, item.Command)) Execute(fe_, item.Command);
    return;
  }
  const int recent = id - kRecentIdBase;
  if (recent >= 0 && recent < static_cast<int>(recentPaths_.size()) &&
      !recentPaths_[static_cast<std::size_t>(recent)].empty()) {
    const std::string path = recentPaths_[static_cast<std::size_t>(recent)];  // the list changes on the way
    OpenRecentFile(fe_, path);
  }
}

bool MainWindow::PreTranslate(MSG& message) {
  if (hwnd_ == nullptr || (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd))) return false;
  if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) {
    if (gridKeys_ != nullptr && GetFocus() == Grid() && TranslateAcceleratorW(hwnd_, gridKeys_, &message)) return true;
    if (windowKeys_ != nullptr && TranslateAcceleratorW(hwnd_, windowKeys_, &message)) return true;
  }
  return IsDialogMessageW(hwnd_, &message) != FALSE;
}

// ---------------------------------------------------------------------------------------------
// The controls, from the layout table.

HWND MainWindow::MakeControl(const ControlDef& def, HWND parent, int id) {
  const wchar_t* windowClass = L"STATIC";
  DWORD style = WS_CHILD | WS_VISIBLE;
  switch (def.Kind) {
    case ControlKind::Label:
      style |= SS_NOPREFIX | ((def.Flags & kCentered) != 0   ? SS_CENTER
                              : (def.Flags & kWordWrap) != 0 ? SS_LEFT
                                                             : SS_LEFTNOWORDWRAP);
      // Beneath the other controls: a caption wider than its design never hides a field.
      style |= WS_CLIPSIBLINGS;
      break;
    case ControlKind::Edit:
      windowClass = L"EDIT";
      // A flat frame of one pixel: the layout's narrow fields keep room for their texts.
      style |= ES_AUTOHSCROLL | WS_BORDER;
      break;
    case ControlKind::CheckBox:
      windowClass = L"BUTTON";
      style |= BS_AUTOCHECKBOX;
      break;
    case ControlKind::Button:
      windowClass = L"BUTTON";
      style |= BS_PUSHBUTTON;
      break;
    case ControlKind::Grid:
      windowClass = kGridClassName;
      style |= WS_BORDER;
      break;
    case ControlKind::TabControl:
      windowClass = WC_TABCONTROLW;
      style |= WS_CLIPSIBLINGS;
      break;
    case ControlKind::TabPage:
      return nullptr;
  }
  if (def.TabOrder >= 0 && def.Kind != ControlKind::Label) style |= WS_TABSTOP;
  HWND control = CreateWindowExW(0, windowClass, L"", style, def.Left, def.Top, def.Width, def.Height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SetFont(control, def.Kind == ControlKind::Grid ? GridFont() : ControlFont());
  if (def.Kind == ControlKind::Edit) {
    // No margins: the texts begin with a blank, and the narrow fields need every pixel.
    SendMessageW(control, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 0));
    SetWindowSubclass(control, FieldProc, 0, reinterpret_cast<DWORD_PTR>(this));
  }
  controls_.emplace(std::string(def.Name), control);
  return control;
}

void MainWindow::BuildControls() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  const auto layout = FormLayout();
  const auto idOf = [&](const ControlDef& def) { return kControlIdBase + static_cast<int>(&def - layout.data()); };

  // The tab control goes beneath everything: the pages lie over its display area, and the
  // keyboard order runs through the page shown, the bottom bar and then the tabs.
  const ControlDef* tabsDef = nullptr;
  std::vector<const ControlDef*> pageDefs;
  for (const ControlDef& def : layout) {
    if (def.Kind == ControlKind::TabControl) tabsDef = &def;
    if (def.Kind == ControlKind::TabPage) pageDefs.push_back(&def);
  }
  HWND tabs = MakeControl(*tabsDef, hwnd_, idOf(*tabsDef));
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  std::vector<std::wstring> captions;
  for (const ControlDef* def : pageDefs) captions.push_back(Widen(def->Text));
  captions.push_back(Widen(kProfilePageCaption));
  for (std::size_t i = 0; i < captions.size(); ++i) {
    item.pszText = captions[i].data();
    SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  RECT area;
  GetClientRect(tabs, &area);
  SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  MapWindowPoints(tabs, hwnd_, reinterpret_cast<POINT*>(&area), 2);

  const auto makePage = [&](const wchar_t* name, int id) {
    HWND page = CreateWindowExW(WS_EX_CONTROLPARENT, kPageClassName, name, WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                area.left, area.top, area.right - area.left, area.bottom - area.top, hwnd_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    ToBottom(page);
    pages_.push_back(page);
    return page;
  };
  const ControlParent pageParents[] = {ControlParent::SrcDataSheet, ControlParent::MetDataSheet,
                                       ControlParent::CalcCondSheet};
  // Each parent's controls in keyboard order, then its labels beneath them.
  const auto makeControls = [&](ControlParent parent, HWND window) {
    for (const ControlDef* def : TabStops(parent)) ToBottom(MakeControl(*def, window, idOf(*def)));
    for (const ControlDef& def : layout) {
      if (def.Parent == parent && def.Kind == ControlKind::Label) ToBottom(MakeControl(def, window, idOf(def)));
    }
  };
  for (std::size_t i = 0; i < pageDefs.size(); ++i) {
    HWND page = makePage(Widen(pageDefs[i]->Name).c_str(), kPageIdBase + static_cast<int>(i));
    controls_.emplace(std::string(pageDefs[i]->Name), page);
    for (ControlParent parent : pageParents) {
      if (PageName(parent) == pageDefs[i]->Name) makeControls(parent, page);
    }
  }
  BuildProfilePage(makePage(Widen(kProfilePageName).c_str(), kPageIdBase + static_cast<int>(pageDefs.size())));
  makeControls(ControlParent::Window, hwnd_);
  ToBottom(tabs);
  BuildMarkLabels();
}

// The marks' labels: empty and hidden until the frontend shows a mark; beneath the other
// controls, as the layout's labels are.
void MainWindow::BuildMarkLabels() {
  const auto labels = MarkLabels();
  for (std::size_t i = 0; i < labels.size(); ++i) {
    const vmk::MarkLabel& def = labels[i];
    HWND parent = def.Parent == ControlParent::Window ? hwnd_ : Control(PageName(def.Parent));
    HWND label = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_CLIPSIBLINGS | SS_NOPREFIX | SS_LEFTNOWORDWRAP,
                                 def.Left, def.Top, def.Width, def.Height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMarkIdBase + static_cast<int>(i))),
                                 GetModuleHandleW(nullptr), nullptr);
    SetFont(label, ControlFont());
    ToBottom(label);
    marks_.emplace(std::string(def.Name), label);
  }
}

// The notes and the warning in their labels (condensed where a text runs past its label), and
// the result labels greyed while stale: their texts stay as they are.
void MainWindow::ShowMarks(const WindowMarks& marks) {
  const auto show = [this](std::string_view name, const std::string& text) {
    HWND label = MarkLabel(name);
    if (label == nullptr) return;
    const std::wstring wide = Widen(text);
    RECT r;
    GetClientRect(label, &r);
    SetFont(label, FittingControlFont(wide, r.right));
    SetWindowTextW(label, wide.c_str());
    ShowWindow(label, text.empty() ? SW_HIDE : SW_SHOWNA);
  };
  show(kQhStaleLabel.Name, marks.StaleNote);
  show(kConcStaleLabel.Name, marks.StaleNote);
  show(kHoursWarningLabel.Name, marks.HoursWarning);
  if (resultsStale_ != marks.ResultsStale) {
    resultsStale_ = marks.ResultsStale;
    for (const std::string_view name : kResultLabels) {
      if (HWND label = Control(name)) InvalidateRect(label, nullptr, TRUE);
    }
  }
}

// The chart over the page, and under it the line and 保存....
void MainWindow::BuildProfilePage(HWND page) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  RECT r;
  GetClientRect(page, &r);
  constexpr int kMargin = 2;
  constexpr int kBottomMargin = 3;
  constexpr int kButtonHeight = 20;
  constexpr int kSummaryHeight = 14;
  const std::wstring caption = L"保存...";
  const int buttonWidth = std::max(75, TextWidth(ControlFont(), caption) + 24);
  const int bottom = r.bottom - kBottomMargin - kButtonHeight;
  chart_ = CreateWindowExW(0, kChartClassName, L"", WS_CHILD | WS_VISIBLE, kMargin, kMargin, r.right - 2 * kMargin,
                           bottom - kMargin - kMargin, page,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProfileChartId)), instance, &profileScene_);
  export_ = CreateWindowExW(0, L"BUTTON", caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                            r.right - kMargin - buttonWidth, bottom, buttonWidth, kButtonHeight, page,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProfileExportId)), instance, nullptr);
  summary_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOPREFIX | SS_LEFTNOWORDWRAP, kMargin,
                             bottom + (kButtonHeight - kSummaryHeight) / 2, r.right - 3 * kMargin - buttonWidth,
                             kSummaryHeight, page, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProfileSummaryId)),
                             instance, nullptr);
  SetFont(export_, ControlFont());
  SetFont(summary_, ControlFont());
}

int MainWindow::CurrentPage() const { return static_cast<int>(SendMessageW(Tabs(), TCM_GETCURSEL, 0, 0)); }

void MainWindow::ShowPage(int index) {
  if (index < 0 || index >= static_cast<int>(pages_.size())) return;
  HideTip();
  if (CurrentPage() != index) SendMessageW(Tabs(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  HWND focus = GetFocus();
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    if (static_cast<int>(i) == index) continue;
    // The focus leaves a page that is hidden: to the tabs, as a click on them would.
    if (focus != nullptr && (focus == pages_[i] || IsChild(pages_[i], focus))) SetFocus(Tabs());
    ShowWindow(pages_[i], SW_HIDE);
  }
  ShowWindow(pages_[static_cast<std::size_t>(index)], SW_SHOW);
}

// A one-line caption that would run past its design width is condensed until it fits; a label
// not marked fixed size then takes the width of its caption.
void MainWindow::FitCaption(HWND control, const ControlDef& def, const std::wstring& text) {
  const bool checkBox = def.Kind == ControlKind::CheckBox;
  HFONT font = (def.Flags & kWordWrap) != 0 ? ControlFont()
                                            : FittingControlFont(text, def.Width - (checkBox ? kCheckBoxIndicator : 0));
  SetFont(control, font);
  if (def.Kind == ControlKind::Label && (def.Flags & kFixedSize) == 0) {
    SetWindowPos(control, nullptr, 0, 0, TextWidth(font, text) + 1, def.Height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void MainWindow::ReadWidgets() {
  for (const ControlDef& def : FormLayout()) {
    if (!fe_.Form.Has(def.Name)) continue;
    ControlState& st = fe_.Form[def.Name];
    switch (def.Kind) {
      case ControlKind::Edit:
        st.Text = ToCp932(WindowText(Control(def.Name)));
        break;
      case ControlKind::CheckBox:
        st.Checked = SendMessageW(Control(def.Name), BM_GETCHECK, 0, 0) == BST_CHECKED;
        break;
      default:
        break;
    }
  }
  HWND grid = Grid();
  CommitGridEditor(grid);
  for (int row = 0; row < kGridRows; ++row) {
    for (int col = 0; col < kGridCols; ++col) {
      fe_.Form.Grid[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] =
          ToCp932(GridCellText(grid, row, col));
    }
  }
}

void MainWindow::WriteWidgets() {
  writing_ = true;
  for (const ControlDef& def : FormLayout()) {
    if (!fe_.Form.Has(def.Name)) continue;
    const ControlState& st = fe_.Form[def.Name];
    HWND control = Control(def.Name);
    // Compared in code page 932, so that a character the record cannot hold stays as the user
    // typed it until the record itself changes the text.
    const bool textDiffers = ToCp932(WindowText(control)) != st.Text;
    switch (def.Kind) {
      case ControlKind::Edit:
      case ControlKind::Button:
        if (textDiffers) SetWindowTextW(control, FromCp932(st.Text).c_str());
        break;
      case ControlKind::Label:
      case ControlKind::CheckBox:
        if (textDiffers) {
          const std::wstring text = FromCp932(st.Text);
          SetWindowTextW(control, text.c_str());
          FitCaption(control, def, text);
        }
        if (def.Kind == ControlKind::CheckBox) {
          SendMessageW(control, BM_SETCHECK, st.Checked ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        break;
      default:
        break;
    }
    if (def.Kind != ControlKind::TabPage && def.Kind != ControlKind::TabControl &&
        (IsWindowEnabled(control) != FALSE) != st.Enabled) {
      EnableWindow(control, st.Enabled);
    }
    // A new colour shows at the next painting, which WM_CTLCOLOR* asks for.
    auto [shown, added] = shownColors_.emplace(std::string(def.Name), st.Color);
    if (!added && shown->second != st.Color) {
      shown->second = st.Color;
      InvalidateRect(control, nullptr, TRUE);
    }
  }
  HWND grid = Grid();
  for (int row = 0; row < kGridRows; ++row) {
    for (int col = 0; col < kGridCols; ++col) {
      SetGridCellText(grid, row, col,
                      FromCp932(fe_.Form.Grid[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)]));
    }
  }
  writing_ = false;
}

// The background of a control: an edit field's colour of the record (the window colour when it
// has none), a label's (the page's button face when it has none, as if transparent: labels lie
// beneath the other controls), the button face for the rest. The text: the marks' colours for
// their labels, the result labels greyed while stale (else the window text colour), the rest
// as the system draws them.
HBRUSH MainWindow::ControlColors(HDC dc, HWND control) {
  for (const auto& [name, label] : marks_) {
    if (label == control) {
      SetTextColor(dc, ColorRefOf(name == kHoursWarningLabel.Name ? kWarningTextColor : kStaleTextColor));
    }
  }
  const ControlDef* def = DefOf(control);
  if (def != nullptr &&
      std::find(std::begin(kResultLabels), std::end(kResultLabels), def->Name) != std::end(kResultLabels)) {
    SetTextColor(dc, resultsStale_ ? ColorRefOf(kStaleTextColor) : GetSysColor(COLOR_WINDOWTEXT));
  }
  SysColor color = SysColor::None;
  if (def != nullptr && fe_.Form.Has(def->Name)) color = fe_.Form[def->Name].Color;
  const ControlKind kind = def != nullptr ? def->Kind : ControlKind::Label;
  if (color == SysColor::None) color = kind == ControlKind::Edit ? SysColor::Window : SysColor::ButtonFace;
  const int index = static_cast<int>(color);  // the classic system colour numbers
  SetBkColor(dc, GetSysColor(index));
  return GetSysColorBrush(index);
}

bool MainWindow::OpenCaseFile(const std::string& path) { return vmk::OpenCaseFile(fe_, path); }

// ---------------------------------------------------------------------------------------------
// Events.

void MainWindow::Command(WORD id, WORD code, HWND from) {
  if (from == nullptr) {  // a menu entry (code 0) or a shortcut (code 1)
    MenuCommandChosen(id);
    return;
  }
  if (id == kProfileExportId) {
    if (code == BN_CLICKED) ExportProfile(fe_);
    return;
  }
  const ControlDef* def = DefOf(from);
  if (def == nullptr) return;
  const std::string_view name = def->Name;
  switch (def->Kind) {
    case ControlKind::Edit:
      if (code == EN_CHANGE && !writing_) {
        HideTip();
        if (IsNumericField(name)) {
          writing_ = true;
          ConvertEditToHalfWidth(from);
          writing_ = false;
        }
        FieldTyped(fe_, name);
      }
      break;
    case ControlKind::CheckBox:
      if (code == BN_CLICKED) {
        HideTip();
        CheckBoxClicked(fe_, name);
      }
      break;
    case ControlKind::Button:
      if (code == BN_CLICKED) {
        HideTip();
        ButtonClicked(fe_, name);
      }
      break;
    case ControlKind::Grid:
      if (code == kGridCellEdited && !writing_) {
        HideTip();
        CellEdited(fe_);
      }
      break;
    default:
      break;
  }
}

void MainWindow::DropFiles(HDROP drop) {
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  std::vector<std::string> paths;
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
    paths.push_back(Narrow(path));
  }
  DragFinish(drop);
  droppedFile_ = DroppedCaseFile(paths);
  // After the drop has ended: the question and the message boxes are modal, and the program
  // the file came from waits for the drop to finish.
  if (!droppedFile_.empty()) PostMessageW(hwnd_, kOpenDroppedFile, 0, 0);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom == Tabs() && header->code == TCN_SELCHANGE) ShowPage(CurrentPage());
      return 0;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return reinterpret_cast<LRESULT>(ControlColors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_DROPFILES:
      DropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case kOpenDroppedFile: {
      const std::string path = std::move(droppedFile_);
      droppedFile_.clear();
      if (!path.empty()) OpenDroppedFile(fe_, path);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kTipTimer) HideTip();
      return 0;
    case WM_MOVE:
      HideTip();
      break;
    case WM_ACTIVATE:
      // The focus comes back to the control that had it.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd_, focus)) lastFocus_ = focus;
      } else {
        SetFocus(lastFocus_ != nullptr && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_) ? lastFocus_ : Tabs());
      }
      return 0;
    case WM_CLOSE:
      if (MayClose(fe_)) DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      HideTip();
      if (quitOnClose_) PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK MainWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<MainWindow*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->tip_ = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return self->Handle(message, wParam, lParam);
}

// Enter in a field goes to the frontend; where it calculates (`XrpEdit`) the field takes the key
// from the dialog navigation.
LRESULT CALLBACK MainWindow::FieldProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                       DWORD_PTR self) {
  return reinterpret_cast<MainWindow*>(self)->HandleField(edit, message, wParam, lParam);
}

LRESULT MainWindow::HandleField(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  const ControlDef* def = DefOf(edit);
  switch (message) {
    case WM_GETDLGCODE:
      if (wParam == VK_RETURN && def != nullptr && EnterCalculates(def->Name)) {
        return DefSubclassProc(edit, message, wParam, lParam) | DLGC_WANTALLKEYS;
      }
      break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN && def != nullptr) {
        EnterPressed(fe_, def->Name);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == L'\r') return 0;
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(edit, FieldProc, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(edit, message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// The profile page and the rejected input.

void MainWindow::ShowProfile(const ProfileView& view) {
  profileScene_ = view.Scene;
  if (chart_ != nullptr) InvalidateRect(chart_, nullptr, FALSE);
  if (summary_ != nullptr) SetWindowTextW(summary_, Widen(view.Summary).c_str());
  if (export_ != nullptr) EnableWindow(export_, view.HasProfile);
}

// The input gets the focus with its text selected (a cell opens for typing), and the accepted
// range shows beside it, level with its top: below, it would hide the status line or the next
// fields. The status line keeps its message.
void MainWindow::ShowRejectedInput(const RejectedInputView& view) {
  if (!view.Page.empty()) {
    for (std::size_t i = 0; i < pages_.size(); ++i) {
      if (Control(view.Page) == pages_[i]) ShowPage(static_cast<int>(i));
    }
  }
  RECT beside{};
  if (view.Kind == ControlKind::Grid) {
    HWND grid = Grid();
    SetFocus(grid);
    OpenGridEditor(grid, view.Row, view.Col);
    beside = GridCellRect(grid, view.Row, view.Col);
    MapWindowPoints(grid, nullptr, reinterpret_cast<POINT*>(&beside), 2);
  } else {
    HWND field = Control(view.Control);
    if (field == nullptr) return;
    if (view.Focus) {
      SetFocus(field);
      SendMessageW(field, EM_SETSEL, 0, -1);
    }
    GetWindowRect(field, &beside);
  }
  ShowTip(Widen(view.Tip), beside);
}

void MainWindow::ShowTip(const std::wstring& text, const RECT& beside) {
  if (tip_ == nullptr || text.empty()) return;
  constexpr int kGap = 4;
  tipText_ = text;
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = hwnd_;
  tool.uId = 1;
  tool.lpszText = tipText_.data();
  SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(beside.right + kGap, beside.top));
  SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  SetTimer(hwnd_, kTipTimer, kTipMilliseconds, nullptr);
}

void MainWindow::HideTip() {
  if (tip_ == nullptr || hwnd_ == nullptr) return;
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = hwnd_;
  tool.uId = 1;
  SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
  KillTimer(hwnd_, kTipTimer);
}

int RunMessageLoop(MainWindow& window) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (window.PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace vmk::win32
