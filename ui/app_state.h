// The program-wide state owned by the main window: settings, flags shared
// by the windows, and the handles of the program's own windows.
#pragma once
#include <windows.h>

#include <filesystem>
#include <string>

#include "core/settings.h"
#include "win32/registry.h"

namespace hx::ui {

struct AppState {
  std::filesystem::path folder;  // the program folder
  std::string programFile;       // the program file's full path
  win::SystemRegistry registry;

  ProgramSettings settings;
  bool BlockedMove = false;  // "Блокировать перемещение" is checked

  bool OSNotSupported = false;
  std::string WinVersionText;
  bool FirstPaintDone = false;
  bool SettingsOpen = false;
  bool RecreatePanels = false;
  bool TimeFormatChanged = false;
  bool PanelsShown = true;
  int HiddenTop = -1;
  int LockedLeft = 0;
  int LockedTop = 0;
  int DragAnchorX = 200;
  int DragAnchorY = 100;
  std::string LastMinuteText;
  std::string CheckStatusText;
  UINT TaskbarCreatedMessage = 0;

  HWND mainWindow = nullptr;    // TFormHoravex
  HWND clocksWindow = nullptr;  // TFormClocks
};

AppState& App();

}  // namespace hx::ui
