// The desktop as a set of monitors, and where windows go on it: the border
// rule across several monitors, a saved position that lies on no monitor,
// and dialogs centred on the clock's monitor. With one monitor each rule
// gives the same place as the single-screen rules in placement.h.
#pragma once
#include <vector>

#include "core/geometry.h"

namespace hx {

// One monitor in virtual-screen coordinates (a monitor left of or above the
// primary one has negative coordinates). The work area leaves out what the
// taskbar and other desk bars reserve.
struct Monitor {
  ScreenRect rect;
  ScreenRect workArea;
  friend bool operator==(const Monitor&, const Monitor&) = default;
};

// The primary monitor comes first.
using Monitors = std::vector<Monitor>;

// One monitor of `screen` size at the origin, its work area `workArea`.
Monitors SingleMonitor(ScreenSize screen, ScreenRect workArea);
inline Monitors SingleMonitor(ScreenSize screen) {
  return SingleMonitor(screen, {0, 0, screen.width, screen.height});
}

bool Intersects(const ScreenRect& a, const ScreenRect& b);

// The monitor a window is on: the one it covers most, or the nearest one
// when it lies on none. An empty list gives an empty monitor.
Monitor MonitorOf(const ScreenRect& window, const Monitors& monitors);

// The border rule: a window at `window` moved to `position` stays on the
// monitor it is on, except across an edge that a neighbouring monitor
// continues alongside the window's new place; so only the outer edges of the
// desktop stop it. The monitor's whole rectangle counts, taskbar included:
// the clock is meant to sit where the tray clock was.
ScreenPoint ClampToDesktop(const ScreenRect& window, ScreenPoint position, const Monitors& monitors);

// Whether a window at `position` has its top edge on some monitor; a top
// edge above every monitor would hide the window's top.
bool TopEdgeOnMonitor(ScreenPoint position, ScreenSize window, const Monitors& monitors);

// A window that lies on no monitor (the monitor it was saved on is gone)
// comes back onto the nearest one, wholly inside its work area (its top
// left corner first, should it be larger); on a monitor it stays.
ScreenPoint OntoNearestMonitor(ScreenPoint position, ScreenSize window, const Monitors& monitors);

// A dialog of `dialog` size centred on the work area of the monitor the
// clock `clock` is on; without a clock, on the primary monitor's.
ScreenPoint CentredOnClockMonitor(const ScreenRect* clock, ScreenSize dialog, const Monitors& monitors);

}  // namespace hx
