// The Windows-panel placement dialog TFormAddInWPanel: the edge of the
// screen whose Windows panel takes the panels window, and whether the
// window is kept against that edge.
#pragma once
#include <windows.h>

namespace hx::ui {

// Opens the Windows-panel placement dialog modally over `owner`. "Ок" stores
// the chosen edge in App().settings.NumPanel and RetainOnWPanel, sets
// App().RecreatePanels when the edge changed, and returns true; "Отмена",
// Escape and Alt+F4 return false and change nothing.
bool RunWPanelDialog(HWND owner);

}  // namespace hx::ui
