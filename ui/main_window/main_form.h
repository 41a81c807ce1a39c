// The invisible main window TFormHoravex: start-up, the clock's tick, the
// system's notices (time, locale, power, session end, a new taskbar) and
// shutdown.
#pragma once
#include <windows.h>

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

}  // namespace hx::ui
