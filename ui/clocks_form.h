// The panels window TFormClocks: the visible clock.
#pragma once
#include <windows.h>

namespace hx::ui {

void RegisterClocksFormClass(HINSTANCE instance);

// Creates the panels window, shown and in front.
HWND CreateClocksForm();

// The menu's close command: saves the panel file, ends the application and
// closes the panels window.
void ClocksCloseCommand();

// Closes the panels window (its close handler removes the notification-area
// icon).
void CloseClocksForm();

}  // namespace hx::ui
