// Modal windows made with CreateWindow: the thread's other windows are
// disabled while a modal window runs, and its timers keep ticking.
#pragma once
#include <windows.h>

namespace hx::ui {

// Shows `window` and dispatches messages until it is destroyed. A quit
// request received meanwhile is passed on to the outer message loop.
void RunModal(HWND window);

// Closes every window that RunModal runs, the innermost first, each as its
// close box would (its Cancel path): before the program ends on a request,
// so that only what the user confirmed is saved.
void CloseModalWindows();

// Whether the window RunModal ran last was in the foreground when it
// closed: its user closed it, and the keyboard belongs back where it came
// from. An outer window RunModal runs takes it back by itself.
bool LastModalEndedInFront();

// The innermost window that RunModal runs, or nullptr when none runs.
HWND InnermostModalWindow();

// Keeps a dialog's keyboard focus across activations (WM_ACTIVATE's
// `wParam`): on leaving, remembers in `remembered` the control of `window`
// that has the focus; on coming back, gives it the focus again. True when it
// gave the focus, so that the message needs no default handling.
bool KeepFocusAcrossActivation(HWND window, WPARAM wParam, HWND& remembered);

// A window position that centres a client area of the given size, with the
// window's styles, on the work area of the monitor the clock is on (the
// primary monitor's while there is no clock).
RECT CenteredWindowRect(int clientWidth, int clientHeight, DWORD style, DWORD exStyle);

// The object a window was created with (CreateWindowEx's last argument),
// kept in GWLP_USERDATA from WM_NCCREATE on; nullptr before that. Call it
// first in the window procedure with every message.
template <typename Form>
Form* FormOfWindow(HWND window, UINT msg, LPARAM lParam) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  return reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Tahoma at the given pixel height, as the program's windows use it.
HFONT CreateTahoma(int pixelHeight, int weight = FW_NORMAL, bool underline = false);

}  // namespace hx::ui
