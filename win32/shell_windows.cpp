#include "win32/shell_windows.h"

#include <cwchar>

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

}  // namespace

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
