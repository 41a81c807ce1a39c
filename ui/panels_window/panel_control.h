// The panels of the clock window: a plain child window that fills itself
// with its background colour, draws its bevels and shows its window text
// centred. Frames and lines of the panels window are such controls.
#pragma once
#include <windows.h>

#include "panels/panel_layout.h"

namespace hx::ui {

struct PanelLook {
  COLORREF background = 0;
  COLORREF text = 0;
  HFONT font = nullptr;  // not owned
  Bevels bevels;
  // A frame keeps its lines' text as its window text for screen readers
  // and draws none itself.
  bool drawsText = true;
};

void RegisterPanelControlClass(HINSTANCE instance);

// The DrawEdge flags of a panel's bevels (0 for a flat panel).
UINT EdgeFlags(const Bevels& bevels);

// Draws a panel of that look filling `rect`: background, bevels as thick
// as `dpi` makes them, and the text centred on one line.
void DrawPanel(HDC dc, const RECT& rect, const PanelLook& look, const wchar_t* text, int length,
               int dpi = kBaseDpi);

// A child panel at `rect` of `parent`, with the given look and text. It
// draws its bevels at its window's DPI.
HWND CreatePanelControl(HWND parent, const PanelRect& rect, const PanelLook& look, const wchar_t* text);

PanelLook GetPanelLook(HWND panel);
void SetPanelLook(HWND panel, const PanelLook& look);
void SetPanelBevels(HWND panel, const Bevels& bevels);
void SetPanelFont(HWND panel, HFONT font);
// Sets the text and repaints, only when the text differs.
void SetPanelText(HWND panel, const wchar_t* text);

// Mouse messages of every panel go to this handler of the window that owns
// the panels, so the window can be dragged and its menu opened from any
// panel. Coordinates stay those of the panel.
using PanelMouseHandler = void (*)(HWND panel, UINT msg, WPARAM wParam, LPARAM lParam);
void SetPanelMouseHandler(PanelMouseHandler handler);

}  // namespace hx::ui
