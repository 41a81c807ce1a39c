// Start-up checks shared by the program's windows: the single-instance
// mutexes and the Windows version check.
#pragma once
#include <windows.h>

#include <string>

namespace hx::ui {

// True when this instance may run. A running instance keeps the names of
// this release and of every later release in use.
bool CheckSingleInstance(HWND owner);

// Closes the instance mutex kept open for the life of the process.
void ReleaseInstanceMutex();

// Fills WinVersionText and sets OSNotSupported when the system is older
// than `minimum` ("98", "2k" or "XP"). A system that does not tell its
// version is reported as a failure and runs on as supported.
void CheckOSVersion(const std::string& minimum);

}  // namespace hx::ui
