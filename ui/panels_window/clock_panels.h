// The content of the panels window TFormClocks: inside the container
// Panel10, the fixed system-time panel (Panel1 with Panel3 and Panel6), the
// fixed date panel (Panel2 with Panel4 and Panel5) and a frame with two lines
// for every zone panel; their bevels, their hints, and the times and dates
// they show.
#pragma once
#include <windows.h>

#include <string>

#include "base/datetime.h"
#include "panels/clock_panel.h"

namespace hx::ui {

// Makes the fixed panels in `window`, the panels window just created, with
// their fonts and the window's hints; the zone panels come with
// ProcessingClocksPanels.
void CreateFixedPanels(HWND window);
// The panels window is being destroyed: frees the fonts and the hints'
// window and forgets every panel.
void ReleasePanels();

// A hint of the panels window about to show (TTN_SHOW): puts it beside the
// clock and returns TRUE, which tells the hint it is placed.
LRESULT PlaceHint(HWND hint);

// The two-record list of a missing or unusable clocks file, taken from the
// fixed panels' current captions and colours.
PanelList DefaultPanelsFromFixedPanels();

// The panel list applied to the window: fixed panels updated, zone panels
// created, all placed, and the window sized to them.
void ProcessingClocksPanels();
// The window moved to a screen of another DPI: the panels are laid out and
// their fonts made anew for `dpi`, and the window takes their new size.
void RescalePanels(int dpi);
// Destroys the zone panels; callers that remove or move records call it
// before they change the list.
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
