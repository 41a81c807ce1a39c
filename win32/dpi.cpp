#include "win32/dpi.h"

#include "core/dpi.h"

namespace hx::win {
namespace {

// A user32 function that older systems lack; nullptr there. Looked up once.
template <typename Function>
Function User32Function(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kBaseDpi;
}

}  // namespace

int WindowDpi(HWND window) {
  using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = User32Function<GetDpiForWindowProc>("GetDpiForWindow");
  if (getDpiForWindow && window)
    if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
  return SystemDpi();
}

int SystemMetricForDpi(int index, int dpi) {
  using GetSystemMetricsForDpiProc = int(WINAPI*)(int, UINT);
  static const auto forDpi = User32Function<GetSystemMetricsForDpiProc>("GetSystemMetricsForDpi");
  if (forDpi) return forDpi(index, static_cast<UINT>(dpi));
  const int system = SystemDpi();
  return system == dpi ? GetSystemMetrics(index) : MulDiv(GetSystemMetrics(index), dpi, system);
}

void AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD exStyle, int dpi) {
  using AdjustForDpiProc = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto forDpi = User32Function<AdjustForDpiProc>("AdjustWindowRectExForDpi");
  if (!forDpi || !forDpi(rect, style, FALSE, exStyle, static_cast<UINT>(dpi))) AdjustWindowRectEx(rect, style, FALSE, exStyle);
}

}  // namespace hx::win
