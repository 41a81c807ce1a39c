// The panels window's context menu PopupMenu1 and its commands, and the
// window operations they share with the tray icon: minimise to the tray,
// restore and bring to front.
#pragma once
#include <windows.h>

namespace hx::ui {

// The dialogs the menu opens. The program's entry point gives them, so that
// the panels window needs none of the dialogs' code.
struct PanelsMenuDialogs {
  void (*settings)() = nullptr;        // "Настройки программы..."
  void (*timeCalculator)() = nullptr;  // the time calculator
  void (*about)() = nullptr;           // "О программе..."
};
void SetPanelsMenuDialogs(const PanelsMenuDialogs& dialogs);

// Opens the menu at screen point `at` and runs the chosen command.
// `fromTrayIcon` adds "В левый-верхний угол"; `embedded` (the window lives
// on a Windows panel) disables the items that would move it off it.
void ShowPanelsMenu(HWND window, POINT at, bool fromTrayIcon, bool embedded);

// "Свернуть в трей": hides the panels window, unless a dialog opened from
// the menu is showing.
void MinimizeToTray(HWND window);
// "Восстановить": shows the panels window again, in front.
void RestorePanels(HWND window);
// Puts `window` in front of the other windows of its band (topmost or not),
// also when another program has the foreground; no other window's topmost
// state changes.
void BringToFront(HWND window);
// While a dialog opened from the menu shows, brings it (or the message box
// it shows) forward and returns true; otherwise false.
bool BringOpenMenuDialogForward();

}  // namespace hx::ui
