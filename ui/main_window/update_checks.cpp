#include "ui/main_window/update_checks.h"

#include <windows.h>
#include <shellapi.h>

#include <functional>

#include "core/program_paths.h"
#include "core/time_format.h"
#include "ui/common/guard.h"
#include "ui/info_dialogs/newver_form.h"
#include "ui/main_window/app_state.h"
#include "update/update_check.h"
#include "win32/system.h"

namespace hx::ui {
namespace {

UpdateCheckListener* g_listener = nullptr;

// The update check's requests to the program's windows.
class ProgramUpdateEffects : public UpdateCheckEffects {
 public:
  // Through the shell, as a user's double click would start it; the
  // shell's own error box stays away, the check reports a failed start.
  bool StartChecker() override {
    const std::wstring file = paths::UpdateChecker(App().folder).wstring();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpFile = file.c_str();
    info.nShow = SW_SHOW;
    return ShellExecuteExW(&info) && reinterpret_cast<INT_PTR>(info.hInstApp) > 32;
  }
  void RunPoll(bool running) override {
    if (running) SetTimer(App().mainWindow, kTimerACNV1, 1000, nullptr);
    else KillTimer(App().mainWindow, kTimerACNV1);
  }
  void EnableCheckNow(bool enabled) override {
    if (g_listener) g_listener->CheckNowAllowed(enabled);
  }
  void ShowStatus(const std::string& text) override {
    if (g_listener) g_listener->UpdateStatusChanged(text);
  }
  // One dialog at a time: while the notice shows, the clock's menu brings
  // it forward rather than opening.
  void ShowNewVersionDialog() override {
    bool& dialogOpen = App().placement.MenuDialogOpen;
    const bool wasOpen = dialogOpen;
    dialogOpen = true;
    try {
      RunNewVersionDialog();
    } catch (...) {
      dialogOpen = wasOpen;
      throw;
    }
    dialogOpen = wasOpen;
  }
  void Guarded(const char* code, const std::function<void()>& step) override { Guard(code, step); }
};

UpdateCheck& TheUpdateCheck() {
  static FolderUpdateFiles files(paths::ResourceFolder(App().folder));
  static ProgramUpdateEffects effects;
  static UpdateCheck check(files, effects, App().CheckStatusText);
  return check;
}

}  // namespace

void ListenToUpdateCheck(UpdateCheckListener* listener) { g_listener = listener; }

// Starts the separate update-check program when a check is due. Whatever
// stops the start, "Проверить сейчас" comes back.
void StartUpdateCheck() {
  Guard(kCodeStartUpdateCheck, [] {
    const LocaleNames& locale = App().locale;
    TheUpdateCheck().StartUpdateCheck(App().settings.IntervalAUCheck, win::LocalNow(),
                           PatternSeparator(locale.shortDateFormat, "."), PatternSeparator(locale.longTimeFormat, ":"));
  });
  if (!UpdateCheckRunning() && g_listener) g_listener->CheckNowAllowed(true);
}
void ResetUpdateCheck() { TheUpdateCheck().Reset(); }
bool UpdateCheckRunning() { return TheUpdateCheck().Running(); }
void PollUpdateCheck() { TheUpdateCheck().Poll(); }

}  // namespace hx::ui
