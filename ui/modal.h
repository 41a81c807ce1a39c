// Modal windows made with CreateWindow: the thread's other windows are
// disabled while a modal window runs, and its timers keep ticking.
#pragma once
#include <windows.h>

namespace hx::ui {

// Shows `window` and dispatches messages until it is destroyed. A quit
// request received meanwhile is passed on to the outer message loop.
void RunModal(HWND window);

// A window position that centres a client area of the given size, with the
// window's styles, on the primary screen.
RECT CenteredWindowRect(int clientWidth, int clientHeight, DWORD style, DWORD exStyle);

// Tahoma at the given pixel height, as the program's windows use it.
HFONT CreateTahoma(int pixelHeight, int weight = FW_NORMAL, bool underline = false);

}  // namespace hx::ui
