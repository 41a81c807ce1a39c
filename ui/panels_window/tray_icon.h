// The panels window's icon in the taskbar's notification area.
#pragma once
#include <windows.h>

namespace hx::ui {

// Adds the icon for `window` (id 1, callback message 1026, tip
// "Horavex.KT"). When the shell is not there to take it, the icon is kept
// as wanted and added by RetryTrayIcon once the taskbar appears.
void AddTrayIcon(HWND window);

// Removes the icon of `window`, if any; it is no longer wanted.
void RemoveTrayIcon(HWND window);

// The taskbar was (re-)created: adds the icon again when it is wanted and
// the shell does not hold it (it was not ready, or it restarted).
void RetryTrayIcon();

// Whether the shell holds the icon now.
bool TrayIconShown();

}  // namespace hx::ui
