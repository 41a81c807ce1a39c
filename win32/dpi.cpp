#include "win32/dpi.h"

#include "core/dpi.h"
#include "win32/system_dll.h"

namespace hx::win {
namespace {

// The system's DPI stays what it was when the process started, so it is
// asked once: panels ask for their DPI at every paint.
int SystemDpi() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    const int logPixels = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return logPixels > 0 ? logPixels : kBaseDpi;
  }();
  return dpi;
}

}  // namespace

int WindowDpi(HWND window) {
  using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = SystemFunction<GetDpiForWindowProc>(L"user32.dll", "GetDpiForWindow");
  if (getDpiForWindow && window)
    if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
  return SystemDpi();
}

int SystemMetricForDpi(int index, int dpi) {
  using GetSystemMetricsForDpiProc = int(WINAPI*)(int, UINT);
  static const auto forDpi = SystemFunction<GetSystemMetricsForDpiProc>(L"user32.dll", "GetSystemMetricsForDpi");
  if (forDpi) return forDpi(index, static_cast<UINT>(dpi));
  const int system = SystemDpi();
  return system == dpi ? GetSystemMetrics(index) : MulDiv(GetSystemMetrics(index), dpi, system);
}

void AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD exStyle, int dpi) {
  using AdjustForDpiProc = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto forDpi = SystemFunction<AdjustForDpiProc>(L"user32.dll", "AdjustWindowRectExForDpi");
  if (!forDpi || !forDpi(rect, style, FALSE, exStyle, static_cast<UINT>(dpi))) AdjustWindowRectEx(rect, style, FALSE, exStyle);
}

}  // namespace hx::win
