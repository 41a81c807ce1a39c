// The invisible main window TFormHoravex: start-up, the program's settings
// and shutdown.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "base/path.h"

namespace hx::ui {

// Registers the program's window classes, creates the main window and runs
// its creation checks. Returns nullptr when this start must end (another
// instance runs, or the system is too old and its notice was closed).
HWND CreateMainForm(HINSTANCE instance);

// Gives the shell back what the program took (the tray clock and the
// notification-area icon); safe to call more than once.
void RestoreShell();

// After the message loop: release the instance and remove an empty
// TempFiles folder.
void FinishProgram();

// Both windows above all others, or in the normal order.
void ApplyStayOnTop(bool onTop);

// Runs the clock work at once, then again at each change of the shown time:
// for a new time format or rebuilt panels, which must not wait for the next
// second (or minute).
void RequestClockRefresh();

// Gives the panels window the opacity of AlphaUsed and AlphaSet.
void ApplyOpacity();

// The update check. StartUpdateCheck runs at most once until
// ResetUpdateCheck clears its latches; UpdateCheckRunning is true while the
// program waits for the checker's result.
void StartUpdateCheck();
void ResetUpdateCheck();
bool UpdateCheckRunning();

// Reads one of the program's settings files: its text, or nothing when it
// does not exist; `unread` tells whether it exists but could not be read.
std::optional<std::string> ReadSettingsText(const Path& file, bool& unread);
// Sets whether one of the settings files is kept (a flag of App().kept):
// nothing writes a kept file. The user is told with `notice` when the file
// becomes kept.
void SetFileKept(bool& kept, bool keep, const std::string& notice);

// Settings file operations; each reports its own failures.
void LoadParametrs();
void LoadParametrsA();
void SaveParametrs();

}  // namespace hx::ui
