// The settings dialog TFormSettings: four tabs of program settings and the
// list of clock panels, shown modally and owned by the main window.
#pragma once
#include <windows.h>

#include <string>

namespace hx::ui {

// Opens the dialog and returns when it has closed.
void RunSettingsDialog();

// The open dialog, or nullptr.
HWND SettingsDialogWindow();

// While the dialog is open the update check reports to it: its status bar
// shows `text`, and "Проверить сейчас" is enabled only while no check runs.
// Both do nothing while it is closed.
void ShowCheckStatusInSettings(const std::string& text);
void EnableCheckNowButton(bool enabled);

}  // namespace hx::ui
