#include "ui/common/modal.h"

#include <vector>

#include "core/monitors.h"
#include "ui/common/dpi_layout.h"
#include "ui/main_window/app_state.h"
#include "win32/shell_windows.h"

namespace hx::ui {
namespace {

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM param) {
  auto* windows = reinterpret_cast<std::vector<HWND>*>(param);
  if (IsWindowEnabled(window)) windows->push_back(window);
  return TRUE;
}

// The windows RunModal runs, the innermost last.
std::vector<HWND> g_modalWindows;
bool g_lastEndedInFront = false;

}  // namespace

void RunModal(HWND window) {
  g_modalWindows.push_back(window);
  std::vector<HWND> disabled;
  EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
  for (HWND w : disabled)
    if (w != window) EnableWindow(w, FALSE);

  // Built in 96-DPI units, the window takes its DPI before it shows.
  ScaleWindowToDpi(window);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  bool quit = false;
  int exitCode = 0;
  MSG msg;
  bool inFront = false;
  while (IsWindow(window)) {
    inFront = GetForegroundWindow() == window;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      quit = true;
      exitCode = static_cast<int>(msg.wParam);
      DestroyWindow(window);
      break;
    }
    if (got < 0) break;
    if (IsDialogMessageW(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  for (HWND w : disabled)
    if (IsWindow(w) && w != window) EnableWindow(w, TRUE);
  g_modalWindows.pop_back();
  // The system hands the foreground on while the window closes, when this
  // program's other windows are still disabled, so it goes to another
  // program. A window closed by its user gives the keyboard back to the
  // window it came from.
  g_lastEndedInFront = inFront;
  if (inFront && !g_modalWindows.empty() && IsWindow(g_modalWindows.back()))
    SetForegroundWindow(g_modalWindows.back());
  if (quit) PostQuitMessage(exitCode);
}

bool LastModalEndedInFront() { return g_lastEndedInFront; }

HWND InnermostModalWindow() { return g_modalWindows.empty() ? nullptr : g_modalWindows.back(); }

void CloseModalWindows() {
  const std::vector<HWND> open = g_modalWindows;
  for (auto w = open.rbegin(); w != open.rend(); ++w)
    if (IsWindow(*w)) SendMessageW(*w, WM_CLOSE, 0, 0);
}

bool KeepFocusAcrossActivation(HWND window, WPARAM wParam, HWND& remembered) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focused = GetFocus();
    if (focused && IsChild(window, focused)) remembered = focused;
    return false;
  }
  if (!remembered || !IsWindow(remembered)) return false;
  SetFocus(remembered);
  return true;
}

RECT CenteredWindowRect(int clientWidth, int clientHeight, DWORD style, DWORD exStyle) {
  RECT r{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  const int w = r.right - r.left, h = r.bottom - r.top;
  // On the monitor where the clock is; before there is a clock, on the
  // primary one.
  RECT clock{};
  const bool hasClock = App().clocksWindow && GetWindowRect(App().clocksWindow, &clock);
  const ScreenRect clockRect{clock.left, clock.top, clock.right, clock.bottom};
  const ScreenPoint at =
      CentredOnClockMonitor(hasClock ? &clockRect : nullptr, {w, h}, win::SystemShellWindows().DisplayMonitors());
  return {at.x, at.y, at.x + w, at.y + h};
}

HFONT CreateTahoma(int pixelHeight, int weight, bool underline) {
  return CreateFontW(-pixelHeight, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
}

}  // namespace hx::ui
