#include "win32/shell_windows.h"

#include <cwchar>

#include "win32/system_dll.h"

namespace hx::win {
namespace {

constexpr UINT kShellReplyTimeoutMs = 3000;

HWND NotificationArea() {
  HWND taskbar = nullptr;
  while ((taskbar = FindWindowExW(nullptr, taskbar, L"Shell_TrayWnd", nullptr)) != nullptr) {
    if (HWND area = FindWindowExW(taskbar, nullptr, L"TrayNotifyWnd", nullptr)) return area;
  }
  return nullptr;
}

bool HasClass(HWND window, const wchar_t* name) {
  wchar_t buffer[128];
  const int length = GetClassNameW(window, buffer, 128);
  return length > 0 && std::wcscmp(buffer, name) == 0;
}

void SendToShell(HWND window, UINT message) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, message, MK_LBUTTON, 1, SMTO_NORMAL | SMTO_ABORTIFHUNG, kShellReplyTimeoutMs, &result);
}

ScreenRect FromRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// The monitor functions, looked up in user32 at run time: Windows 98 and
// 2000 brought them, Windows NT 4 lacks them and must still start.
using EnumDisplayMonitorsProc = BOOL(WINAPI*)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);
using GetMonitorInfoProc = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);

struct MonitorFunctions {
  EnumDisplayMonitorsProc enumerate = nullptr;
  GetMonitorInfoProc info = nullptr;
};

MonitorFunctions LoadMonitorFunctions() {
  return {SystemFunction<EnumDisplayMonitorsProc>(L"user32.dll", "EnumDisplayMonitors"),
          SystemFunction<GetMonitorInfoProc>(L"user32.dll", "GetMonitorInfoW")};
}

struct MonitorCollection {
  GetMonitorInfoProc info;
  Monitors monitors;
};

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM param) {
  auto* collection = reinterpret_cast<MonitorCollection*>(param);
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (!collection->info(monitor, &mi)) return TRUE;
  const Monitor m{FromRect(mi.rcMonitor), FromRect(mi.rcWork)};
  if (mi.dwFlags & MONITORINFOF_PRIMARY)
    collection->monitors.insert(collection->monitors.begin(), m);
  else
    collection->monitors.push_back(m);
  return TRUE;
}

}  // namespace

Monitors MonitorsFromSystemMetrics() {
  const ScreenSize screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT work{0, 0, screen.width, screen.height};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) work = {0, 0, screen.width, screen.height};
  return SingleMonitor(screen, FromRect(work));
}

Monitors SystemShellWindows::DisplayMonitors() {
  static const MonitorFunctions functions = LoadMonitorFunctions();
  if (!functions.enumerate || !functions.info) return MonitorsFromSystemMetrics();
  MonitorCollection collection{functions.info, {}};
  functions.enumerate(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&collection));
  if (collection.monitors.empty()) return MonitorsFromSystemMetrics();
  return collection.monitors;
}

TrayWindows SystemShellWindows::FindTray() {
  TrayWindows tray;
  if (HWND area = NotificationArea()) {
    tray.clock = FromHwnd(FindWindowExW(area, nullptr, L"TrayClockWClass", nullptr));
    tray.button = FromHwnd(FindWindowExW(area, nullptr, L"Button", nullptr));
  }
  return tray;
}

bool SystemShellWindows::IsVisible(ShellWindow window) { return IsWindowVisible(ToHwnd(window)) != FALSE; }

void SystemShellWindows::SetVisible(ShellWindow window, bool visible) {
  ShowWindow(ToHwnd(window), visible ? SW_SHOW : SW_HIDE);
}

void SystemShellWindows::PressAndRelease(ShellWindow button) {
  SendToShell(ToHwnd(button), WM_LBUTTONDOWN);
  SendToShell(ToHwnd(button), WM_LBUTTONUP);
}

std::vector<DeskToolbar> SystemShellWindows::VisibleDeskToolbars() {
  std::vector<DeskToolbar> toolbars;
  // A search by class with an empty title (not "any title"), then the walk
  // down the z-order from there.
  for (HWND w = FindWindowW(L"BaseBar", L""); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (!IsWindowVisible(w) || !HasClass(w, L"BaseBar")) continue;
    RECT r;
    if (!GetWindowRect(w, &r)) continue;
    toolbars.push_back({FromHwnd(w), {r.left, r.top, r.right, r.bottom}});
  }
  return toolbars;
}

ScreenSize SystemShellWindows::Screen() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

}  // namespace hx::win
