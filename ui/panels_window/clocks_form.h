// The panels window TFormClocks: the visible clock, a borderless window
// that shows one panel per visible record of the panel list. The window,
// its mouse, its tray icon and the clocks file are here; the panels inside
// it are in clock_panels.
#pragma once
#include <windows.h>

// The panels' operations (ProcessingClocksPanels, DeleteOldPanels, Borders,
// the tick's writes) come with the window.
#include "ui/panels_window/clock_panels.h"

namespace hx::ui {

void RegisterClocksFormClass(HINSTANCE instance);

// Creates the panels window with its panels from the clocks file, shown and
// in front.
HWND CreateClocksForm();

// The menu's close command: saves the panel file, ends the application and
// closes the panels window.
void ClocksCloseCommand();

// Closes the panels window (its close handler removes the notification-area
// icon).
void CloseClocksForm();

// The panel list and its file: LoadClocks reads it and builds the panels,
// SaveClocks writes it and leaves a kept clocks file (App().kept) as it is.
void LoadClocks();
void SaveClocks();

}  // namespace hx::ui
