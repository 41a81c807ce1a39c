// The panel editor TFormSign: a panel's caption, its four colours and, for
// a zone panel, its time zone.
#pragma once
#include <windows.h>

#include <cstddef>
#include <optional>

namespace hx::ui {

// Opens the panel editor modally over `owner`. Without `editIndex` it adds a
// zone panel; with it, it edits that record of App().panels. On OK the panel
// list changes, the panels window is rebuilt (DeleteOldPanels, then
// ProcessingClocksPanels) and the result is true; Cancel, Escape and Alt+F4
// change nothing and give false.
bool RunPanelEditor(HWND owner, std::optional<size_t> editIndex);

}  // namespace hx::ui
