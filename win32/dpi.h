// The DPI a window is drawn at. Systems with per-monitor DPI give each
// window its monitor's DPI; older ones give the system's DPI to all
// windows (96 where the user never changed it).
#pragma once
#include <windows.h>

namespace hx::win {

// The window's DPI: GetDpiForWindow where user32 has it (Windows 10 1607
// and later), otherwise the screen's LOGPIXELSY.
int WindowDpi(HWND window);

// GetSystemMetrics at `dpi`: GetSystemMetricsForDpi where user32 has it,
// otherwise the metric at the system's DPI scaled to `dpi`.
int SystemMetricForDpi(int index, int dpi);

// AdjustWindowRectEx at `dpi`, through AdjustWindowRectExForDpi where
// user32 has it.
void AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD exStyle, int dpi);

}  // namespace hx::win
