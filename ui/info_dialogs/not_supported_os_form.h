// The notice TFormNotSupportedOS for a Windows older than the program
// needs. Shown at start-up instead of the program; closing it ends the run.
#pragma once

namespace hx::ui {

// Shows the notice modally and returns when it has been closed ("&Ok",
// Enter, Escape, Alt+F4 or CloseNotSupportedOSDialog). The caller then ends
// the program.
void RunNotSupportedOSDialog();

// Closes the notice if it shows: the program was asked to end.
void CloseNotSupportedOSDialog();

}  // namespace hx::ui
