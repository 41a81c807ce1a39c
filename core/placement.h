// Where the panels window may go: dragging with the mouse, the screen-border
// clamp, keeping the window against a Windows panel's edge, the position
// lock, and the shown / minimised-to-tray state.
#pragma once
#include <optional>
#include <utility>

#include "core/geometry.h"
#include "core/monitors.h"
#include "core/settings.h"

namespace hx {

// Edges of a Windows panel as NumPanel numbers them.
enum WindowsPanelEdge : int { kEdgeTop = 0, kEdgeBottom = 1, kEdgeLeft = 2, kEdgeRight = 3 };

enum class MouseButton { Left, Right, Middle };

// What limits a drag.
struct DragRules {
  ScreenSize screen;
  bool borderScreen = true;     // stay inside the screen
  bool embedded = false;        // includeOnWPanel Enabled
  bool retainOnWPanel = true;   // glue to the panel's edge while embedded
  int numPanel = kEdgeTop;
  // The desktop the border rule keeps the window on; none means the one
  // screen of `screen` size. A Windows panel's edge is always the screen's.
  Monitors monitors;

  static DragRules From(const ProgramSettings& settings, ScreenSize screen, Monitors monitors = {}) {
    return {screen,          settings.BorderScreen, settings.includeOnWPanel, settings.RetainOnWPanel,
            settings.NumPanel, std::move(monitors)};
  }
};

// Keeps a window of `window` size wholly on the screen; a window larger than
// the screen ends at the right or bottom border.
ScreenPoint ClampToScreen(ScreenPoint position, ScreenSize window, ScreenSize screen);

// Moves one coordinate so the window touches edge `numPanel`; any other
// value leaves the position as it is.
ScreenPoint PutAgainstEdge(ScreenPoint position, ScreenSize window, ScreenSize screen, int numPanel);

// Where a hint of `hint` size goes for the mouse at `cursorX` over the panels
// window `window`: just below the window, or just above it where `area` (the
// monitor the clock is on) has no room below, so that it never covers the
// clock; across, it starts at the mouse. It always stays within `area`.
ScreenPoint HintPosition(ScreenRect window, ScreenSize hint, int cursorX, ScreenRect area);

enum class TrayClickAction { MinimizeToTray, Restore };

// The placement values shared by the panels window, the main tick and the
// settings dialog. One instance lives for the whole run.
struct PlacementState {
  bool PanelsShown = true;      // false while minimised to the tray
  bool MenuDialogOpen = false;  // a dialog opened from the panels menu shows
  bool BlockedMove = false;     // "Блокировать перемещение" is checked
  int LockedLeft = 0;
  int LockedTop = 0;
  int HiddenTop = -1;           // Top before hiding with a Windows panel; -1 none
  bool Dragging = false;
  int DragAnchorX = 200;        // mouse position inside the pressed control
  int DragAnchorY = 100;

  // Mouse button down at `inControl` (coordinates inside the pressed
  // control). Only the left button starts a drag, and only while unlocked.
  bool BeginDrag(MouseButton button, ScreenPoint inControl);
  // Mouse move inside the same control: the window's new position, or
  // nothing when no drag runs.
  std::optional<ScreenPoint> DragTo(ScreenRect window, ScreenPoint inControl, const DragRules& rules) const;
  // Any button up. The caller saves the settings in every case.
  void EndDrag() { Dragging = false; }

  // The lock item's new check state; turning it on locks the current spot.
  void SetLocked(bool on, ScreenPoint window);
  // Where the tick must put the window so the lock holds, if it moved.
  std::optional<ScreenPoint> LockCorrection(ScreenPoint window) const;
  // The position the settings file gets.
  ScreenPoint SavedPosition(ScreenPoint window) const;

  // "В левый-верхний угол": shown, at 0,0, locked there too, no drag.
  // The caller moves the window, saves, restores and brings it to front.
  ScreenPoint MoveToTopLeft();

  // Returns true when the panels window is to be minimised; while a menu
  // dialog is open it stays. The caller hides the application window always.
  bool MinimizeToTray();
  void Restore() { PanelsShown = true; }
  // The tray icon's left click toggles.
  TrayClickAction TrayLeftClick() const {
    return PanelsShown ? TrayClickAction::MinimizeToTray : TrayClickAction::Restore;
  }

  // Ends hiding with an auto-hidden Windows panel: the Top to move the panels
  // window back to (the lock follows it), or nothing when it was not hidden.
  std::optional<int> ReturnFromHidden();
};

}  // namespace hx
