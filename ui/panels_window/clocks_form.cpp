#include "ui/panels_window/clocks_form.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include "base/textfile.h"
#include "core/product.h"
#include "core/program_paths.h"
#include "core/taskbar_clock.h"
#include "panels/clocks_file.h"
#include "panels/panel_layout.h"
#include "panels/tray_input.h"
#include "ui/main_window/app_state.h"
#include "ui/panels_window/clocks_menu.h"
#include "ui/common/guard.h"
#include "ui/main_window/program_settings.h"
#include "ui/common/message_box.h"
#include "ui/common/dpi_layout.h"
#include "ui/common/modal.h"
#include "ui/panels_window/panel_control.h"
#include "ui/panels_window/tray_icon.h"
#include "win32/dpi.h"
#include "win32/shell_windows.h"
#include "win32/system.h"

namespace hx::ui {
namespace {

constexpr wchar_t kClassName[] = L"TFormClocks";
// Sent by systems with per-monitor DPI when the window reaches a screen of
// another DPI (wParam: the new DPI; lParam: the RECT it suggests).
constexpr UINT kMsgDpiChanged = 0x02E0;

// The window itself; its panels live in clock_panels.
struct ClocksForm {
  HWND window = nullptr;
  bool embedded = false;  // made to live on a Windows panel
  HICON bigIcon = nullptr;    // owned; sized for the window's DPI
  HICON smallIcon = nullptr;  // owned; sized for the window's DPI
};

ClocksForm g_form;

// Builds the default two-record list from the fixed panels' look, saves it
// and shows it.
void Nullloading() {
  Guard(kCodeNullloading, [] {
    App().panels = DefaultPanelsFromFixedPanels();
    SaveClocks();
    ProcessingClocksPanels();
  });
}

void ClearOldPanels() {
  Guard(kCodeClearOldPanels, [] {
    DeleteOldPanels();
    App().panels.clear();
  });
}

// The window's icons, taken from the program's multi-size icon at the
// sizes the system uses at the window's DPI.
void SetWindowIcons(HWND window, int dpi) {
  const HICON big = LoadProgramIcon(win::SystemMetricForDpi(SM_CXICON, dpi));
  const HICON small = LoadProgramIcon(win::SystemMetricForDpi(SM_CXSMICON, dpi));
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  for (HICON old : {g_form.bigIcon, g_form.smallIcon})
    if (old) DestroyIcon(old);
  g_form.bigIcon = big;
  g_form.smallIcon = small;
}

// The window reached a screen of another DPI: panels, fonts and icons are
// made for it, and the window goes where the system suggests, at the size
// its panels now take.
void DpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
  const int dpi = LOWORD(wParam);
  RescalePanels(dpi);
  SetWindowIcons(window, dpi);
  const auto* suggested = reinterpret_cast<const RECT*>(lParam);
  if (suggested)
    SetWindowPos(window, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Removes the notification-area icon.
void RemoveTrayIcon() { ui::RemoveTrayIcon(g_form.window); }

// Mouse on any panel: dragging and the menu. The pressed panel keeps the
// mouse until the button is released, so a quick drag cannot lose it.
void PanelMouse(HWND panel, UINT msg, WPARAM, LPARAM lParam) {
  PlacementState& placement = App().placement;
  const ScreenPoint inControl{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      Guard("1.012 - 024.0", [&] {
        // The release must come back here even off the window: it saves.
        SetCapture(panel);
        placement.BeginDrag(msg == WM_LBUTTONDOWN ? MouseButton::Left : MouseButton::Right, inControl);
      });
      break;
    case WM_MOUSEMOVE:
      Guard("1.012 - 025.0", [&] {
        RECT r;
        GetWindowRect(g_form.window, &r);
        win::SystemShellWindows shell;
        const auto to = placement.DragTo({r.left, r.top, r.right, r.bottom}, inControl,
                                         DragRules::From(App().settings, shell.Screen(), shell.DisplayMonitors()));
        if (to && (to->x != r.left || to->y != r.top))
          SetWindowPos(g_form.window, nullptr, to->x, to->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      });
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      Guard("1.012 - 026.0", [&] {
        placement.EndDrag();
        if (GetCapture() == panel) ReleaseCapture();
        SaveParametrs();
      });
      if (msg == WM_RBUTTONUP) {
        POINT at{inControl.x, inControl.y};
        ClientToScreen(panel, &at);
        ShowPanelsMenu(g_form.window, at, false, g_form.embedded);
      }
      break;
  }
}

// The menu asked for with the keyboard (the menu key or Shift+F10, lParam
// -1) opens below the window's left edge, where the eye already is; one
// asked for at a point opens there.
void KeyboardMenu(HWND window, LPARAM lParam) {
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (lParam == -1) {
    RECT r;
    GetWindowRect(window, &r);
    at = {r.left, r.bottom};
  }
  ShowPanelsMenu(window, at, false, g_form.embedded);
}

TrayEvent TrayEventOf(LPARAM message) {
  switch (message) {
    case WM_LBUTTONUP: return TrayEvent::LeftButtonUp;
    case WM_RBUTTONDOWN: return TrayEvent::RightButtonDown;
    case WM_RBUTTONUP: return TrayEvent::RightButtonUp;
    case NIN_SELECT: return TrayEvent::Select;
    case NIN_KEYSELECT: return TrayEvent::KeySelect;
    case WM_CONTEXTMENU: return TrayEvent::ContextMenu;
    default: return TrayEvent::Other;
  }
}

// The tray icon's mouse and keyboard: a left click, Enter or Space toggles
// between shown and minimised; a right press or the menu key opens the menu
// with "В левый-верхний угол".
void TrayCallback(HWND window, LPARAM message) {
  Guard("1.012 - 013.0", [&] {
    static TrayInput input(GetDoubleClickTime());
    const TrayEvent event = TrayEventOf(message);
    const TrayCommand command = input.Take(event, static_cast<uint32_t>(GetMessageTime()));
    if (command == TrayCommand::Toggle) {
      if (App().placement.TrayLeftClick() == TrayClickAction::MinimizeToTray) {
        MinimizeToTray(window);
      } else {
        RestorePanels(window);
        // Brought back from the keyboard, the window takes the keyboard
        // too, so that the menu key reaches it next.
        if (event != TrayEvent::LeftButtonUp) SetForegroundWindow(window);
      }
    } else if (command == TrayCommand::Menu) {
      SetForegroundWindow(window);
      POINT at;
      GetCursorPos(&at);
      ShowPanelsMenu(window, at, true, g_form.embedded);
    }
  });
}

// A second start of the program asks this one to come forward.
void ActivateRunning(HWND window) {
  Guard("1.012 - 002.0", [window] {
    App().placement.Restore();
    ShowWindow(window, SW_SHOWNOACTIVATE);
    MessageBeep(MB_OK);
    BringToFront(window);
    ShowMessageBox(nullptr, "Программа Horavex.KT уже запущена!", product::kWarningCaption,
                   MB_SYSTEMMODAL, "Warning");
    SetForegroundWindow(App().mainWindow);
  });
}

// The owner of a new panels window: the main window, or while embedding is
// on the last Windows panel at the chosen edge (none when there is none).
HWND ChooseOwnerWindow(bool& embedded) {
  AppState& app = App();
  HWND owner = app.mainWindow;
  embedded = false;
  Guard("1.012 - 010.0", [&] {
    if (!app.settings.includeOnWPanel) return;
    embedded = true;
    owner = nullptr;
    win::SystemShellWindows shell;
    owner = win::ToHwnd(FindWindowsPanel(shell, app.settings.NumPanel));
  });
  return owner;
}

LRESULT CALLBACK ClocksFormProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case product::kMsgActivateRunning:
      ActivateRunning(window);
      return 0;
    case product::kMsgTrayCallback:
      TrayCallback(window, lParam);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      PanelMouse(window, msg, wParam, lParam);
      return 0;
    case WM_CONTEXTMENU:
      // The system's answer to the menu key and Shift+F10 while the window
      // has the keyboard.
      KeyboardMenu(window, lParam);
      return 0;
    case WM_NOTIFY:
      if (reinterpret_cast<const NMHDR*>(lParam)->code == TTN_SHOW)
        return PlaceHint(reinterpret_cast<const NMHDR*>(lParam)->hwndFrom);
      break;
    case WM_WINDOWPOSCHANGING: {
      // A locked window keeps its place, whoever moves it.
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      if (!(pos->flags & SWP_NOMOVE)) {
        if (const auto locked = App().placement.LockCorrection({pos->x, pos->y})) {
          pos->x = locked->x;
          pos->y = locked->y;
        }
      }
      break;
    }
    case kMsgDpiChanged:
      DpiChanged(window, wParam, lParam);
      return 0;
    case WM_CLOSE:
      // Alt+F4 or another program's close request ends the program as the
      // menu's "Закрыть" does; while a menu dialog shows, that dialog comes
      // forward instead.
      if (!BringOpenMenuDialogForward()) ClocksCloseCommand();
      return 0;
    case WM_DESTROY:
      Guard("1.012 - 028.0", [] { RemoveTrayIcon(); });
      ReleasePanels();
      for (HICON icon : {g_form.bigIcon, g_form.smallIcon})
        if (icon) DestroyIcon(icon);
      g_form = ClocksForm{};
      App().clocksWindow = nullptr;
      return 0;
  }
  if (msg != 0 && msg == App().TaskbarCreatedMessage) RetryTrayIcon();
  return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace

void RegisterClocksFormClass(HINSTANCE instance) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  RegisterPanelControlClass(instance);
  SetPanelMouseHandler(PanelMouse);
  WNDCLASSW wc{};
  wc.lpfnWndProc = ClocksFormProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, L"MAINICON");
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kClassName;
  RegisterClassW(&wc);
}

HWND CreateClocksForm() {
  constexpr DWORD style = WS_POPUP | WS_CLIPCHILDREN;
  AppState& app = App();
  const DWORD exStyle = WS_EX_TOOLWINDOW | (app.settings.StayOnTop ? WS_EX_TOPMOST : 0);
  if (app.mainWindow)
    SetWindowPos(app.mainWindow, app.settings.StayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  RECT r = CenteredWindowRect(2 * kPanelWidth, kPanelHeight, style, exStyle);
  bool embedded = false;
  HWND owner = ChooseOwnerWindow(embedded);
  HWND window = CreateWindowExW(exStyle, kClassName, L"Horavex.KT", style, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window) throw std::runtime_error("cannot create the panels window");
  g_form = ClocksForm{};
  g_form.window = window;
  g_form.embedded = embedded;
  // The window learns its DPI once it exists, on the screen it was put on;
  // away from 96 DPI it is centred again at the size its panels take there.
  const int dpi = win::WindowDpi(window);
  SetWindowIcons(window, dpi);
  if (dpi != kBaseDpi) {
    const RECT scaled =
        CenteredWindowRect(ScaleForDpi(2 * kPanelWidth, dpi), ScaleForDpi(kPanelHeight, dpi), style, exStyle);
    SetWindowPos(window, nullptr, scaled.left, scaled.top, scaled.right - scaled.left, scaled.bottom - scaled.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    r = scaled;
  }
  // A window re-created while hidden with its Windows panel starts back in
  // sight; the lock follows its Top.
  if (embedded) {
    if (const auto top = app.placement.ReturnFromHidden())
      SetWindowPos(window, nullptr, r.left, *top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  App().clocksWindow = window;
  CreateFixedPanels(window);

  // Every start rewrites the file in its normal form.
  LoadClocks();
  SaveClocks();
  LoadClocks();

  ShowWindow(window, SW_SHOWNORMAL);
  app.placement.Restore();  // a window made anew is in sight, not in the tray
  SetForegroundWindow(window);
  return window;
}

void LoadClocks() {
  Guard(kCodeLoadClocks, [] {
    ClearOldPanels();
    AppState& app = App();
    const Path file = paths::ClocksFile(app.folder);
    bool unread = false;
    ClocksFileRead read = ReadClocksFile(ReadSettingsText(file, unread));
    // A file that cannot be read, or holds more records than the list
    // takes, is left as it is; the list is then the defaults, or the records
    // it could take.
    SetFileKept(app.kept.clocks, unread || (read.cut && read.state == ClocksFileRead::State::Loaded),
                unread ? kClocksFileUnreadNotice : ClocksFileCutNotice(read.fileRecords));
    switch (read.state) {
      case ClocksFileRead::State::Loaded:
        app.panels = std::move(read.panels);
        ProcessingClocksPanels();
        break;
      case ClocksFileRead::State::UseDefaults:
        Nullloading();
        break;
      case ClocksFileRead::State::CriticalError:
        MessageBeep(MB_OK);
        ShowWarningNotice(kClocksCriticalErrorText);
        RemoveIfPresent(file);
        Nullloading();
        break;
    }
  });
}

// A kept file is left as it is.
void SaveClocks() {
  Guard(kCodeSaveClocks, [] {
    const AppState& app = App();
    if (app.kept.clocks) return;
    WriteTextFileAtomically(paths::ClocksFile(app.folder),
                            WriteClocksFile(app.panels, app.localZone.LocalZoneHours,
                                            win::ShortDateText(win::LocalNow()))
                                .Serialize());
  });
}

void ClocksCloseCommand() {
  Guard("1.012 - 021.0", [] {
    SaveClocks();
    PostQuitMessage(0);
    CloseClocksForm();
  });
}

void CloseClocksForm() {
  if (App().clocksWindow) DestroyWindow(App().clocksWindow);
}

}  // namespace hx::ui
