#include "ui/main_window/main_form.h"

#include <shellapi.h>

#include <optional>

#include "base/errors.h"
#include "base/files.h"
#include "base/textfile.h"
#include "core/autolaunch.h"
#include "core/patch_registration.h"
#include "core/product.h"
#include "core/program_paths.h"
#include "core/taskbar_clock.h"
#include "ui/main_window/app_state.h"
#include "ui/panels_window/clocks_form.h"
#include "ui/common/error_form.h"
#include "ui/common/guard.h"
#include "ui/common/message_box.h"
#include "ui/common/modal.h"
#include "ui/info_dialogs/not_supported_os_form.h"
#include "ui/main_window/program_settings.h"
#include "ui/main_window/universal_procedure.h"
#include "ui/main_window/update_checks.h"
#include "update/update_check.h"
#include "win32/locale.h"
#include "win32/shell_windows.h"
#include "win32/system.h"
#include "win32/text.h"

namespace hx::ui {
namespace {

constexpr wchar_t kClassName[] = L"TFormHoravex";
constexpr UINT kFollowMs = 50;
constexpr UINT kMsgStartSequence = WM_APP + 1;  // posted once, when the message loop starts
constexpr int kOffScreen = -32000;

TaskbarRecreation g_taskbarRecreation;

// Keeps the panels window with an auto-hiding Windows panel: its Top
// follows the panel, and the (transparent) main window hides with it.
void FollowWindowsPanel() {
  AppState& app = App();
  if (!app.clocksWindow || g_taskbarRecreation.Pending()) return;
  RECT r;
  GetWindowRect(app.clocksWindow, &r);
  win::SystemShellWindows shell;
  const FollowOutcome out =
      hx::FollowWindowsPanel(shell, app.settings.NumPanel, {r.left, r.top, r.right, r.bottom}, app.placement);
  if (out.top)
    SetWindowPos(app.clocksWindow, nullptr, r.left, *out.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (out.mainWindowVisible) ShowWindow(app.mainWindow, *out.mainWindowVisible ? SW_SHOWNOACTIVATE : SW_HIDE);
}

// Finds the local time zone; on failure the zone stays as it was.
void DetectLocalZone() {
  Guard(kCodeDetectLocalZone, [] { hx::DetectLocalZone(App().registry, win::PlatformZone(), App().localZone); });
}

// The clock work of one tick: the system clock's line whenever its text
// changes, and once a minute (or when asked) the local zone, the date and
// the zone panels.
void ProcessingPanelsTime() {
  Guard(kCodeProcessingPanelsTime, [] {
    AppState& app = App();
    const DateTime now = win::LocalNow();
    const ClockTick::Step step = app.tick.Advance(now, app.settings.PmAmFormat);
    if (step.clockTextChanged) ShowClockText(app.tick.ClockTextW());
    if (!step.minuteWorkDue) return;
    DetectLocalZone();
    ShowDate(DateFormat(app.settings.FormatDate, now, app.locale), LongDateText(now, app.locale));
    if (PanelsCreated()) ProcessingPanelsTimeA(now);
    app.tick.MinuteWorkDone(win::LocalNow());
  });
}

// A locked window refuses every move (see the panels window's
// WM_WINDOWPOSCHANGING); this puts it back should the lock itself have been
// moved under it, as restoring older settings can.
void HoldLockedPosition() {
  const AppState& app = App();
  if (!app.clocksWindow) return;
  RECT r;
  GetWindowRect(app.clocksWindow, &r);
  if (const auto locked = app.placement.LockCorrection({r.left, r.top}))
    SetWindowPos(app.clocksWindow, nullptr, locked->x, locked->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Following a Windows panel that may hide needs polling its place; only a
// window embedded in one pays for that.
void SyncFollowTimer() {
  static bool following = false;
  const bool wanted = App().settings.includeOnWPanel;
  if (wanted == following) return;
  following = wanted;
  if (wanted)
    SetTimer(App().mainWindow, kTimerFollow, kFollowMs, nullptr);
  else
    KillTimer(App().mainWindow, kTimerFollow);
}

// The program wakes only when the shown time changes: the clock timer is
// armed for the next second (or minute) each time it fires. A timer that
// comes early finds nothing changed and is armed again for the rest.
void ArmClockTimer() {
  const int delay = MillisecondsToNextShownChange(win::LocalNow(), App().settings.PmAmFormat);
  SetTimer(App().mainWindow, kTimerClock, static_cast<UINT>(delay), nullptr);
}

unsigned g_timerWakeUps = 0;  // WM_TIMER messages handled, for measurements

// Answered with g_timerWakeUps: how often the program woke, for the idle
// benchmark.
UINT WakeUpCountMessage() {
  static const UINT message = RegisterWindowMessageW(L"Horavex.KT.TimerWakeUps");
  return message;
}

void ClockTimer() {
  Guard(kCodeTimer1Timer, [] {
    HoldLockedPosition();
    ProcessingPanelsTime();
    SyncFollowTimer();
  });
  ArmClockTimer();
}

// The time, the zone or the locale changed under the program, or the
// machine woke up: every line is written anew at once.
void RefreshEverything() {
  App().tick.TimeFormatChanged = true;
  RequestClockRefresh();
}

// Copies an INI file of an older release from the program folder into
// Settings, replacing any copy there, and removes the original.
void MoveToSettingsFolder(const char* name) {
  Guard("1.001 - 014.1", [&] {
    const Path from = App().folder / name;
    CopyFileReplacing(from, paths::SettingsFolder(App().folder) / name);
    RemoveIfPresent(from);
  });
}

void FormCreate() {
  AppState& app = App();
  app.settings.BorderA = app.settings.BorderC = app.settings.BorderT = true;
  app.placement.PanelsShown = true;
  app.SettingsOpen = app.FirstPaintDone = app.RecreatePanels = false;
  app.tick = ClockTick();
  app.OSNotSupported = false;
  app.placement.HiddenTop = -1;
  app.locale = win::UserLocaleNames();

  CheckOSVersion("2k");
  if (app.OSNotSupported) {
    // The notice comes before anything of the program is shown, written or
    // registered; once it is closed the program ends.
    RunNotSupportedOSDialog();
    return;
  }
  CreateFolders(paths::SettingsFolder(app.folder));
  for (const char* name : {"HXClocks.ini", "HXSettings.ini"})
    if (files::Exists(app.folder / name)) MoveToSettingsFolder(name);
  if (!app.OSNotSupported) {
    app.TaskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
    app.CheckStatusText = kCheckStatusNoNews;
  }
  DetectLocalZone();
  Guard("1.008 - 000.0",
        [&] { RegisterPatch(app.registry, false, product::kName, product::kVersion, app.programFile); });
}

// The start sequence, once, when the message loop starts.
void FormPaint() {
  AppState& app = App();
  if (app.FirstPaintDone) return;
  app.FirstPaintDone = true;
  LoadParametrsA();
  CreateClocksForm();
  LoadParametrs();
  ClockTimer();
  // Last: a pending new-version notice is modal, and the clock ticks on
  // behind it.
  if (app.settings.AUCheckEnabled) StartUpdateCheck();
}

// The close request of the uninstaller: tell every top-level window, close
// the open dialogs as Cancel does, then close as the menu's close command
// does, which saves what the user confirmed.
void CloseRequest() {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(HWND_BROADCAST, product::kMsgClosingBroadcast, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  CloseModalWindows();
  ClocksCloseCommand();
}

// The session ends: the process may be ended as soon as this returns, so
// the open dialogs close as Cancel does, the panel list is saved and the
// shell gets back what the program took, here.
void SessionEnd() {
  CloseModalWindows();
  ClocksCloseCommand();
  FinishProgram();
}

// The taskbar was re-created (the shell restarted): the panels window is
// rebuilt once the new taskbar has settled, without freezing the clock.
void TaskbarCreated() {
  if (g_taskbarRecreation.Begin()) {
    CloseClocksForm();
    LoadParametrsA();
  }
  SetTimer(App().mainWindow, kTimerShellRebuild, kTaskbarRecreateDelayMs, nullptr);
}

void RebuildAfterTaskbarCreated() {
  KillTimer(App().mainWindow, kTimerShellRebuild);
  if (!g_taskbarRecreation.Finish()) return;
  CreateClocksForm();
  LoadParametrs();
}

void TimerACNV1Timer() { PollUpdateCheck(); }

void FormClose() {
  Guard("1.001 - 015.0", [] {
    KillTimer(App().mainWindow, kTimerClock);
    KillTimer(App().mainWindow, kTimerRefresh);
    RestoreShell();
  });
}

LRESULT HandleMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kMsgStartSequence:
      Guard("1.001 - 017.0", FormPaint);
      return 0;
    case WM_TIMER:
      ++g_timerWakeUps;
      switch (wParam) {
        case kTimerClock: ClockTimer(); return 0;
        case kTimerRefresh:
          KillTimer(window, kTimerRefresh);
          ClockTimer();
          return 0;
        case kTimerFollow: Guard(kCodeTimer1Timer, FollowWindowsPanel); return 0;
        case kTimerACNV1: Guard("1.001 - 016.0", TimerACNV1Timer); return 0;
        case kTimerShellRebuild: Guard("1.001 - 007.0", RebuildAfterTaskbarCreated); return 0;
      }
      break;
    case product::kMsgCloseRequest:
      Guard("1.001 - 000.0", CloseRequest);
      return 0;
    case WM_ENDSESSION:
      if (wParam) Guard("1.001 - 000.0", SessionEnd);
      return 0;
    case WM_TIMECHANGE:
      RefreshEverything();
      return 0;
    case WM_SETTINGCHANGE:
      // Month and weekday names follow a change of the user's locale.
      if (lParam && lstrcmpiW(reinterpret_cast<const wchar_t*>(lParam), L"intl") == 0)
        App().locale = win::UserLocaleNames();
      RefreshEverything();
      return 0;
    case WM_POWERBROADCAST:
      if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) RefreshEverything();
      return TRUE;
    case WM_CLOSE:
      FormClose();
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  if (msg == WakeUpCountMessage()) return g_timerWakeUps;
  if (msg != 0 && msg == App().TaskbarCreatedMessage) {
    Guard("1.001 - 007.0", TaskbarCreated);
    return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

LRESULT CALLBACK MainFormProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  // On an unsupported system the program is only its notice: every message
  // takes the default path, and a close request closes the notice.
  if (App().OSNotSupported) {
    if (msg == product::kMsgCloseRequest) {
      CloseNotSupportedOSDialog();
      return 0;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
  }
  LRESULT result = 0;
  Guard("1.001 - 007.0", [&] { result = HandleMessage(window, msg, wParam, lParam); });
  return result;
}

}  // namespace

AppState& App() {
  static AppState state;
  return state;
}

HWND CreateMainForm(HINSTANCE instance) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = MainFormProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, L"MAINICON");
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.lpszClassName = kClassName;
  RegisterClassW(&wc);
  RegisterClocksFormClass(instance);
  RegisterErrorFormClass(instance);

  AppState& app = App();
  app.folder = win::ProgramFolder();
  app.programFile = win::Narrow(win::ProgramFile().wstring());

  // Fully transparent, never in the taskbar, never in the way of the mouse.
  HWND window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT, kClassName, L"Horavex.KT",
                                WS_POPUP, kOffScreen, kOffScreen, 142, 123, nullptr, nullptr, instance, nullptr);
  if (!window) return nullptr;
  SetLayeredWindowAttributes(window, 0, 0, LWA_ALPHA);
  app.mainWindow = window;

  bool mayRun = false;
  Guard("1.001 - 014.0", [&] {
    if (!CheckSingleInstance(window)) return;
    mayRun = true;
    FormCreate();
  });
  if (!mayRun || app.OSNotSupported) {
    DestroyWindow(window);
    app.mainWindow = nullptr;
    ReleaseInstanceMutex();
    return nullptr;
  }
  // Shown, as the owner of the panels window must be, but off the screen:
  // where no compositor blends a transparent window (as under Wine) it would
  // show as a black patch. The start sequence runs as the first message of
  // the loop.
  ShowWindow(window, SW_SHOWNOACTIVATE);
  PostMessageW(window, kMsgStartSequence, 0, 0);
  return window;
}

void RestoreShell() {
  if (App().settings.HideTrayClock) ApplyTrayClockVisibility(false);
  CloseClocksForm();
}

void FinishProgram() {
  KillTimer(App().mainWindow, kTimerClock);
  KillTimer(App().mainWindow, kTimerRefresh);
  RestoreShell();
  ReleaseInstanceMutex();
  files::Remove(paths::TempFolder(App().folder));  // only an empty folder goes
}

}  // namespace hx::ui
