// The program-wide state owned by the main window: settings, flags shared
// by the windows, and the handles of the program's own windows.
#pragma once
#include <windows.h>

#include <string>

#include "base/path.h"
#include "core/placement.h"
#include "core/settings.h"
#include "core/time_format.h"
#include "core/zones.h"
#include "panels/clock_panel.h"
#include "win32/registry.h"

namespace hx::ui {

// The main window's timers.
constexpr UINT_PTR kTimerClock = 1;         // at each change of the shown time
constexpr UINT_PTR kTimerACNV1 = 2;         // update-check poll, every second
constexpr UINT_PTR kTimerShellRebuild = 3;  // one-shot, after the taskbar came back
constexpr UINT_PTR kTimerFollow = 4;        // while on a Windows panel: follows it
constexpr UINT_PTR kTimerRefresh = 5;       // one-shot: the clock work at once, when asked

struct AppState {
  Path folder;                   // the program folder
  std::string programFile;       // the program file's full path
  win::SystemRegistry registry;

  ProgramSettings settings;
  PanelList panels;    // the panel list, in display order
  KeptFiles kept;      // settings files not to be written for now
  LocalZone localZone;
  LocaleNames locale;  // the user's month and day names and date pattern

  bool OSNotSupported = false;
  std::string WinVersionText;
  bool FirstPaintDone = false;
  bool SettingsOpen = false;
  bool RecreatePanels = false;
  // Shown or in the tray, the position lock, the drag and the hiding with
  // a Windows panel.
  PlacementState placement;
  bool PanelsRecreated = false;  // the settings dialog re-created the panels window
  ClockTick tick;  // the 50 ms tick's texts; tick.TimeFormatChanged forces the minute work
  std::string CheckStatusText;
  UINT TaskbarCreatedMessage = 0;

  HWND mainWindow = nullptr;    // TFormHoravex
  HWND clocksWindow = nullptr;  // TFormClocks
};

AppState& App();

}  // namespace hx::ui
