// The ShellWindows port on the real shell's windows, found by class name.
#pragma once
#include <windows.h>

#include "core/shell_windows.h"

namespace hx::win {

inline HWND ToHwnd(ShellWindow window) { return reinterpret_cast<HWND>(window); }
inline ShellWindow FromHwnd(HWND window) { return reinterpret_cast<ShellWindow>(window); }

class SystemShellWindows : public ShellWindows {
 public:
  // The notification area of the first top-level "Shell_TrayWnd" that has
  // one. Wine and some desktops keep a bare "Shell_TrayWnd" of their own
  // besides the one that hosts the tray, so the first window of that class
  // is not necessarily the taskbar.
  TrayWindows FindTray() override;
  bool IsVisible(ShellWindow window) override;
  void SetVisible(ShellWindow window, bool visible) override;
  // WM_LBUTTONDOWN then WM_LBUTTONUP, wParam MK_LBUTTON, lParam 1, each sent
  // synchronously; a hung shell is given up on after a few seconds.
  void PressAndRelease(ShellWindow button) override;
  std::vector<DeskToolbar> VisibleDeskToolbars() override;
  ScreenSize Screen() override;
  // From EnumDisplayMonitors and GetMonitorInfoW where user32 has them
  // (Windows NT 4 has not), otherwise the one screen with the work area of
  // SPI_GETWORKAREA.
  Monitors DisplayMonitors() override;
};

// The one-screen answer of systems without the monitor functions.
Monitors MonitorsFromSystemMetrics();

}  // namespace hx::win
