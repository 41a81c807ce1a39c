// The panels window TFormClocks: the visible clock. It shows one panel per
// visible record of the panel list: the fixed system-time panel (Panel1
// with Panel3 and Panel6), the fixed date panel (Panel2 with Panel4 and
// Panel5) and a frame with two lines for every zone panel.
#pragma once
#include <windows.h>

#include <string>

#include "base/datetime.h"

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

// The panel list and the panels built from it. SaveClocks leaves a kept
// clocks file (App().kept) as it is.
void LoadClocks();
void SaveClocks();
void ProcessingClocksPanels();
void DeleteOldPanels();
// Applies the bevel settings to the fixed panels, and to the zone panels
// too when `all`.
void Borders(bool all);

// The tick's writes: the system clock's line, and once a minute the date
// line, both hints and the zone panels.
void ShowClockText(const wchar_t* text);
void ShowDate(const std::string& date, const std::string& longDate);
void ProcessingPanelsTimeA(const DateTime& now);
bool PanelsCreated();

}  // namespace hx::ui
