// The panels window's context menu (PopupMenu1): its items, their captions
// and states for the program's state, and the command each one runs. The
// window layer builds the native menu from this list.
#pragma once
#include <string>
#include <vector>

namespace hx {

// Commands of the menu. The values double as the native menu item ids.
enum class PanelsCommand : int {
  None = 0,  // separators and submenus
  Restore = 101,
  MinimizeToTray,
  StayOnTop,
  LockPosition,
  TopLeftCorner,
  TimeCalculator,
  Settings,
  DateTimeSettings,
  Help,
  About,
  Close,
};

// What the menu shows depends on.
struct PanelsMenuState {
  bool panelsShown = true;    // PanelsShown
  bool stayOnTop = false;     // N13's mark
  bool blockedMove = false;   // N3's mark
  bool fromTrayIcon = false;  // opened by a right click on the tray icon
  bool embedded = false;      // the window was made embedded in a Windows panel
  bool recreated = false;     // the settings dialog re-created the window
};

struct PanelsMenuItem {
  std::string name;     // designer name: N14, N1, ...
  std::string caption;  // empty for separators
  PanelsCommand command = PanelsCommand::None;
  const char* errorCode = nullptr;  // the handler's failure location code
  bool separator = false;
  bool visible = true;
  bool enabled = true;
  bool checkable = false;  // the mark toggles by itself on click
  bool checked = false;
  std::vector<PanelsMenuItem> submenu;
};

// Failure code of the menu-opening handler.
inline constexpr char kPanelsMenuOpenErrorCode[] = "1.012 - 022.0";

// The whole menu, top to bottom, as it is to be shown.
std::vector<PanelsMenuItem> BuildPanelsMenu(const PanelsMenuState& state);

// The item (searching submenus) that runs `command`; nullptr if none.
const PanelsMenuItem* FindMenuItem(const std::vector<PanelsMenuItem>& menu, PanelsCommand command);

}  // namespace hx
