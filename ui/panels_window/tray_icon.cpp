#include "ui/panels_window/tray_icon.h"

#include <shellapi.h>

#include <shlwapi.h>

#include <cwchar>

#include "core/product.h"
#include "ui/common/dpi_layout.h"
#include "win32/dpi.h"
#include "win32/system_dll.h"

namespace hx::ui {
namespace {

constexpr UINT kTrayIconId = 1;

struct TrayIcon {
  HWND window = nullptr;  // the window the icon belongs to; nullptr: none wanted
  HICON icon = nullptr;
  bool shown = false;     // the shell took it
};

TrayIcon g_tray;

// The first-version record: window, id, message, icon and a 64-character
// tip, the layout every shell since Windows 95 understands.
NOTIFYICONDATAW Record(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V1_SIZE;
  data.hWnd = window;
  data.uID = kTrayIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = product::kMsgTrayCallback;
  data.hIcon = g_tray.icon;
  std::wcsncpy(data.szTip, L"Horavex.KT", 63);
  return data;
}

// Whether the shell speaks version 3 of the icon protocol (shell32 5.0,
// Windows 2000 and later). Older shells know only the mouse messages.
bool ShellTakesVersion3() {
  using DllGetVersionProc = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
  const auto getVersion = win::SystemFunction<DllGetVersionProc>(L"shell32.dll", "DllGetVersion");
  DLLVERSIONINFO info{};
  info.cbSize = sizeof info;
  return getVersion && SUCCEEDED(getVersion(&info)) && info.dwMajorVersion >= 5;
}

// Version 3 makes the shell tell of the keyboard too: Enter or Space on
// the icon (NIN_KEYSELECT, NIN_SELECT) and the menu key (WM_CONTEXTMENU).
// The mouse messages stay as they were.
void SetVersion3() {
  if (!ShellTakesVersion3()) return;
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V2_SIZE;
  data.hWnd = g_tray.window;
  data.uID = kTrayIconId;
  data.uVersion = NOTIFYICON_VERSION;
  Shell_NotifyIconW(NIM_SETVERSION, &data);
}

void Add() {
  NOTIFYICONDATAW data = Record(g_tray.window);
  g_tray.shown = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
  if (g_tray.shown) SetVersion3();
}

}  // namespace

void AddTrayIcon(HWND window) {
  if (g_tray.shown && g_tray.window != window) RemoveTrayIcon(g_tray.window);
  // At the small-icon size of the system's DPI, the DPI the taskbar is
  // drawn at, which stays the same while the program runs.
  if (!g_tray.icon) g_tray.icon = LoadProgramIcon(win::SystemMetricForDpi(SM_CXSMICON, win::WindowDpi(nullptr)));
  g_tray.window = window;
  Add();
}

void RemoveTrayIcon(HWND window) {
  if (!window || window != g_tray.window) return;
  if (g_tray.shown) {
    NOTIFYICONDATAW data = Record(window);
    Shell_NotifyIconW(NIM_DELETE, &data);
  }
  g_tray.window = nullptr;
  g_tray.shown = false;
}

void RetryTrayIcon() {
  if (!g_tray.window || !IsWindow(g_tray.window)) return;
  // A restarted shell has forgotten every icon; one that merely took its
  // time still knows ours.
  if (g_tray.shown) {
    NOTIFYICONDATAW data = Record(g_tray.window);
    if (Shell_NotifyIconW(NIM_MODIFY, &data)) return;
  }
  Add();
}

bool TrayIconShown() { return g_tray.shown; }

}  // namespace hx::ui
