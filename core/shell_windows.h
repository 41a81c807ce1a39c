// The shell's windows as the program sees them: the taskbar's clock and
// button in the notification area, and the desk toolbars ("BaseBar") that
// can be docked at a screen edge. The Win32 adapter finds the real ones;
// tests fake them.
#pragma once
#include <cstdint>
#include <vector>

#include "core/geometry.h"
#include "core/monitors.h"

namespace hx {

// An opaque window handle; 0 means "no window".
using ShellWindow = std::uintptr_t;

// The windows of the notification area; either may be missing (0).
struct TrayWindows {
  ShellWindow clock = 0;   // "TrayClockWClass" under "TrayNotifyWnd"
  ShellWindow button = 0;  // "Button" under "TrayNotifyWnd"
};

// A visible top-level desk toolbar and its screen rectangle.
struct DeskToolbar {
  ShellWindow window = 0;
  ScreenRect rect;
};

class ShellWindows {
 public:
  virtual ~ShellWindows() = default;

  // Looked up afresh on every call; handles are not kept between calls.
  virtual TrayWindows FindTray() = 0;
  virtual bool IsVisible(ShellWindow window) = 0;
  virtual void SetVisible(ShellWindow window, bool visible) = 0;
  // One left-button press and release, sent synchronously.
  virtual void PressAndRelease(ShellWindow button) = 0;
  // The visible top-level "BaseBar" windows in z-order, topmost first,
  // starting at the first one with an empty title.
  virtual std::vector<DeskToolbar> VisibleDeskToolbars() = 0;
  // The primary screen, where the taskbar and the desk toolbars dock.
  virtual ScreenSize Screen() = 0;
  // Every monitor of the desktop, the primary one first. A shell that knows
  // only one screen has that one, its work area the whole screen.
  virtual Monitors DisplayMonitors() { return SingleMonitor(Screen()); }
};

}  // namespace hx
