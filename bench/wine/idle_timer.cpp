// idle_timer [period-ms]: the least a Win32 GUI program with a timer can
// do. It shows a small window, runs a timer (50 ms unless given) whose
// handler does nothing and otherwise sleeps in its message loop. Its CPU
// time under Wine is a baseline that the clock program's idle CPU time is
// compared with (scripts/bench-idle-cpu.sh).
#include <windows.h>

#include <cstdlib>

namespace {

constexpr wchar_t kClassName[] = L"HxIdleTimer";
constexpr UINT_PTR kTimerId = 1;
UINT g_periodMs = 50;

LRESULT CALLBACK IdleTimerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return SetTimer(window, kTimerId, g_periodMs, nullptr) ? 0 : -1;
    case WM_TIMER:
      return 0;  // the work being measured is the timer itself
    case WM_DESTROY:
      KillTimer(window, kTimerId);
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int show) {
  if (const int period = atoi(arguments); period > 0) g_periodMs = static_cast<UINT>(period);
  WNDCLASSW wc{};
  wc.lpfnWndProc = IdleTimerProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassW(&wc)) return 1;

  // About the size of the clock's panels, near the bottom left corner where
  // it covers none of the clock program's windows.
  const int top = GetSystemMetrics(SM_CYSCREEN) - 120;
  HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"idle timer", WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                40, top, 168, 56, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
