#include "ui/panels_window/tray_icon.h"

#include <shellapi.h>

#include <cwchar>

#include "core/product.h"

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

void Add() {
  NOTIFYICONDATAW data = Record(g_tray.window);
  g_tray.shown = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

}  // namespace

void AddTrayIcon(HWND window) {
  if (g_tray.shown && g_tray.window != window) RemoveTrayIcon(g_tray.window);
  if (!g_tray.icon)
    g_tray.icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
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
