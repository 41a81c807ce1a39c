#include "ui/panels_window/clocks_menu.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "core/panels_menu.h"
#include "ui/main_window/app_state.h"
#include "ui/common/guard.h"
#include "ui/common/modal.h"
#include "ui/main_window/program_settings.h"
#include "ui/panels_window/tray_icon.h"
#include "win32/text.h"

namespace hx::ui {
namespace {

PanelsMenuDialogs g_dialogs;

// The window a person answers now while a menu dialog shows: modal windows
// leave only the innermost dialog (or its message box) enabled.
BOOL CALLBACK FindAnsweringWindow(HWND window, LPARAM param) {
  const AppState& app = App();
  if (window == app.mainWindow || window == app.clocksWindow || !IsWindowVisible(window) || !IsWindowEnabled(window))
    return TRUE;
  wchar_t cls[64] = L"";
  GetClassNameW(window, cls, 64);
  if (lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0 || lstrcmpW(cls, L"#32768") == 0) return TRUE;
  *reinterpret_cast<HWND*>(param) = window;
  return FALSE;
}

void BringAnsweringWindowToFront() {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindAnsweringWindow, reinterpret_cast<LPARAM>(&dialog));
  if (!dialog) dialog = InnermostModalWindow();
  if (!dialog) return;
  BringToFront(dialog);
  SetForegroundWindow(dialog);
}

HMENU BuildNativeMenu(const std::vector<PanelsMenuItem>& items) {
  HMENU menu = CreatePopupMenu();
  for (const PanelsMenuItem& item : items) {
    if (!item.visible) continue;
    if (item.separator) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING;
    if (!item.enabled) flags |= MF_GRAYED;
    if (item.checked) flags |= MF_CHECKED;
    UINT_PTR id = static_cast<UINT_PTR>(item.command);
    if (!item.submenu.empty()) {
      flags |= MF_POPUP;
      id = reinterpret_cast<UINT_PTR>(BuildNativeMenu(item.submenu));
    }
    AppendMenuW(menu, flags, id, win::Widen(item.caption).c_str());
  }
  return menu;
}

RECT WindowRectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

// Runs a dialog of the menu; while it shows, the window stays out of the
// tray.
// A dialog closed by its user hands the keyboard back to the clock, so that
// the menu key works again at once.
void GiveKeyboardBackToPanels() {
  HWND panels = App().clocksWindow;
  if (panels && IsWindowVisible(panels) && LastModalEndedInFront()) SetForegroundWindow(panels);
}

void RunMenuDialog(void (*dialog)()) {
  if (!dialog) return;
  PlacementState& placement = App().placement;
  placement.MenuDialogOpen = true;
  try {
    dialog();
  } catch (...) {
    placement.MenuDialogOpen = false;
    throw;
  }
  placement.MenuDialogOpen = false;
  GiveKeyboardBackToPanels();
}

void OpenWithShell(const std::wstring& file, int show) {
  ShellExecuteW(nullptr, nullptr, file.c_str(), nullptr, nullptr, show);
}

// `checked` is the item's mark after the click.
void RunCommand(HWND window, PanelsCommand command, bool checked) {
  AppState& app = App();
  PlacementState& placement = app.placement;
  switch (command) {
    case PanelsCommand::Restore:
      RestorePanels(window);
      break;
    case PanelsCommand::MinimizeToTray:
      MinimizeToTray(window);
      break;
    case PanelsCommand::StayOnTop:
      app.settings.StayOnTop = checked;
      ApplyStayOnTop(checked);
      RemoveTrayIcon(window);
      AddTrayIcon(window);
      break;
    case PanelsCommand::LockPosition: {
      const RECT r = WindowRectOf(window);
      placement.SetLocked(checked, {r.left, r.top});
      break;
    }
    case PanelsCommand::TopLeftCorner: {
      const ScreenPoint p = placement.MoveToTopLeft();
      SetWindowPos(window, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      SaveParametrs();
      if (GetCapture() == window || IsChild(window, GetCapture())) ReleaseCapture();
      ShowWindow(window, SW_SHOWNOACTIVATE);
      MessageBeep(MB_OK);
      BringToFront(window);
      break;
    }
    case PanelsCommand::TimeCalculator:
      RunMenuDialog(g_dialogs.timeCalculator);
      break;
    case PanelsCommand::Settings:
      RunMenuDialog(g_dialogs.settings);
      break;
    case PanelsCommand::DateTimeSettings:
      OpenWithShell(L"timedate.cpl", SW_HIDE);
      break;
    case PanelsCommand::Help:
      OpenWithShell(app.folder.wstring() + L"\\Help\\index.htm", SW_SHOW);
      break;
    case PanelsCommand::About:
      RunMenuDialog(g_dialogs.about);
      break;
    case PanelsCommand::Close:
      SendMessageW(window, WM_CLOSE, 0, 0);  // the panels window's close command
      break;
    case PanelsCommand::None:
      break;
  }
}

}  // namespace

void SetPanelsMenuDialogs(const PanelsMenuDialogs& dialogs) { g_dialogs = dialogs; }

void ShowPanelsMenu(HWND window, POINT at, bool fromTrayIcon, bool embedded) {
  // One dialog at a time, and the program is not closed under it: the menu
  // stays shut and the open dialog comes forward instead.
  if (BringOpenMenuDialogForward()) return;
  std::vector<PanelsMenuItem> items;
  HMENU menu = nullptr;
  Guard(kPanelsMenuOpenErrorCode, [&] {
    const AppState& app = App();
    PanelsMenuState state;
    state.panelsShown = app.placement.PanelsShown;
    state.stayOnTop = app.settings.StayOnTop;
    state.blockedMove = app.placement.BlockedMove;
    state.fromTrayIcon = fromTrayIcon;
    state.embedded = embedded;
    state.recreated = app.PanelsRecreated;
    items = BuildPanelsMenu(state);
    menu = BuildNativeMenu(items);
  });
  if (!menu) return;
  // The menu closes when the user clicks elsewhere only if its window is
  // in the foreground.
  SetForegroundWindow(window);
  const int chosen =
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window, nullptr);
  DestroyMenu(menu);
  PostMessageW(window, WM_NULL, 0, 0);
  if (chosen <= 0) return;
  const auto command = static_cast<PanelsCommand>(chosen);
  const PanelsMenuItem* item = FindMenuItem(items, command);
  if (!item || !item->enabled) return;
  const bool checked = item->checkable ? !item->checked : item->checked;
  Guard(item->errorCode, [&] { RunCommand(window, command, checked); });
}

void MinimizeToTray(HWND window) {
  if (App().placement.MinimizeToTray()) ShowWindow(window, SW_HIDE);
}

void RestorePanels(HWND window) {
  App().placement.Restore();
  ShowWindow(window, SW_SHOWNOACTIVATE);
  BringToFront(window);
}

bool BringOpenMenuDialogForward() {
  if (!App().placement.MenuDialogOpen) return false;
  BringAnsweringWindowToFront();
  return true;
}

void BringToFront(HWND window) {
  if (!window) return;
  const RECT r = WindowRectOf(window);
  HWND foreground = GetForegroundWindow();
  const DWORD self = GetCurrentThreadId();
  const DWORD other = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
  if (foreground && other == self) return;
  // Joining the foreground thread's input lets this window take the top
  // even though another program is active.
  const bool attached = other && AttachThreadInput(self, other, TRUE);
  SetWindowPos(window, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_FRAMECHANGED);
  if (attached) AttachThreadInput(self, other, FALSE);
}

}  // namespace hx::ui
