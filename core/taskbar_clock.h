// The panels window in place of the system's clock: hiding the tray clock,
// finding the Windows panel (a desk toolbar docked at a screen edge) and
// following it while it slides out of sight and back.
#pragma once
#include <array>
#include <optional>
#include <vector>

#include "core/geometry.h"
#include "core/placement.h"
#include "core/shell_windows.h"

namespace hx {

// When the notification area is nudged after the clock's visibility is set.
enum class TrayRefresh {
  OnChange,  // only when the clock actually appeared or vanished
  Always,    // every time (the settings dialog's check box)
};

// Hides (hide true) or shows the tray clock, then nudges the notification
// area's button with two press-and-release pairs so the shell lays the area
// out again. Missing windows are skipped. Returns whether the clock's
// visibility changed.
bool ApplyTrayClockVisibility(ShellWindows& shell, bool hide, TrayRefresh refresh = TrayRefresh::OnChange);

// The edge a toolbar rectangle is docked at, or nothing when it touches
// neither the top nor the left screen border.
std::optional<int> ToolbarEdge(const ScreenRect& rect, ScreenSize screen);

// Whether a toolbar docked at `edge` has slid out of sight (auto-hide).
bool IsOutOfSight(const ScreenRect& rect, ScreenSize screen, int edge);

// The toolbars docked at `edge`, in the order given (z-order).
std::vector<DeskToolbar> WindowsPanelsAt(const std::vector<DeskToolbar>& toolbars, ScreenSize screen, int edge);

// The Windows panel at `edge` that owns the embedded panels window: the last
// match in z-order, or 0 when there is none.
ShellWindow FindWindowsPanel(ShellWindows& shell, int edge);

// Which of the four edges have a Windows panel, indexed by edge number.
std::array<bool, 4> DockedEdges(ShellWindows& shell);

// What one tick of following the Windows panel changes.
struct FollowOutcome {
  std::optional<int> top;                  // new Top of the panels window; Left stays
  std::optional<bool> mainWindowVisible;   // new visibility of the main window
};

// One tick while embedded: for every Windows panel at `numPanel` in z-order,
// hides the panels window above the screen when the panel slid away, and
// brings it back when it returned; with no panel left the window comes back.
// `panelsWindow` is the window's rectangle now. Updates HiddenTop and
// LockedTop in `state`.
FollowOutcome FollowWindowsPanel(const std::vector<DeskToolbar>& toolbars, ScreenSize screen, int numPanel,
                                 ScreenRect panelsWindow, PlacementState& state);
FollowOutcome FollowWindowsPanel(ShellWindows& shell, int numPanel, ScreenRect panelsWindow, PlacementState& state);

// The re-creation of the panels window after the shell restarted
// ("TaskbarCreated"). The new window is built after a delay that the window
// layer runs as a one-shot timer, so the program keeps running meanwhile.
inline constexpr unsigned kTaskbarRecreateDelayMs = 5000;

class TaskbarRecreation {
 public:
  // "TaskbarCreated" arrived. Returns true when the panels window is to be
  // closed now; false when a re-creation already waits (the caller restarts
  // the timer either way).
  bool Begin() {
    const bool first = !pending_;
    pending_ = true;
    return first;
  }
  // While true there is no panels window: the tick must leave it alone.
  bool Pending() const { return pending_; }
  // The timer fired. Returns true once per Begin: build the new panels
  // window and read the settings again (which hides the tray clock anew).
  bool Finish() {
    const bool was = pending_;
    pending_ = false;
    return was;
  }

 private:
  bool pending_ = false;
};

}  // namespace hx
