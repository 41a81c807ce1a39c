// Horavex.KT: a floating clock that replaces the taskbar's tray clock.
#include <windows.h>

#include "ui/calculator/calc_form.h"
#include "ui/info_dialogs/about_form.h"
#include "ui/main_window/main_form.h"
#include "ui/panels_window/clocks_menu.h"
#include "ui/settings_dialog/settings_form.h"
#include "win32/system_dll.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  hx::win::RestrictDllSearchToSystemFolder();
  hx::ui::SetPanelsMenuDialogs({hx::ui::RunSettingsDialog, [] { hx::ui::RunTimeCalculator(); }, hx::ui::RunAboutDialog});
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
