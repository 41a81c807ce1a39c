// Horavex.KT: a floating clock that replaces the taskbar's tray clock.
#include <windows.h>

#include "ui/main_form.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  HWND main = hx::ui::CreateMainForm(instance);
  if (!main) return 0;  // another instance runs

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  hx::ui::FinishProgram();
  return static_cast<int>(msg.wParam);
}
