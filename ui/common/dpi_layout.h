// Dialogs at the DPI of their window. Every dialog is built in units of a
// 96-DPI screen (positions, sizes and fonts); before it shows, the layout
// is scaled to the window's DPI in one go, and scaled again from the same
// 96-DPI layout when the window moves to a monitor with another DPI.
#pragma once
#include <windows.h>

namespace hx::ui {

// Remembers the 96-DPI layout of `dialog`'s controls (their rectangles in
// their parents, the dropped-down height of drop-down lists, list column
// widths, fonts) and its client size, then, when the window's DPI is not
// 96, gives every control its scaled rectangle and a font scaled from its
// own, and resizes the client area around the window's centre. At 96 DPI
// nothing changes. Afterwards the dialog follows WM_DPICHANGED. Fonts
// made here are freed with the dialog. A second call does nothing.
void ScaleWindowToDpi(HWND dialog);

// `length` 96-DPI units at the DPI of `window`'s dialog, for what a dialog
// draws or loads itself (icons, drawn margins).
int ScaledLength(HWND window, int length);

// The DPI the layout of `window`'s dialog is scaled to (the window's DPI
// until it is scaled).
int LayoutDpi(HWND window);

// The program's own icon at `size` pixels, from its multi-size icon.
HICON LoadProgramIcon(int size);
// The system's question mark, the help buttons' glyph, at 16 units of the
// DPI of `window`'s dialog.
HICON LoadHelpGlyph(HWND window);

// Tahoma at `points` on a 96-DPI screen, the unit the dialogs' fonts are
// made in; the dialog's scaling scales it with the rest.
HFONT CreateTahomaPoints(int points, int weight = FW_NORMAL, bool underline = false);

}  // namespace hx::ui
