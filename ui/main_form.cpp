#include "ui/main_form.h"

#include <shellapi.h>

#include <filesystem>
#include <optional>

#include "base/textfile.h"
#include "core/autolaunch.h"
#include "core/patch_registration.h"
#include "core/product.h"
#include "core/program_paths.h"
#include "core/taskbar_clock.h"
#include "ui/app_state.h"
#include "ui/clocks_form.h"
#include "ui/error_form.h"
#include "ui/guard.h"
#include "ui/message_box.h"
#include "ui/newver_form.h"
#include "ui/settings_form.h"
#include "ui/universal_procedure.h"
#include "update/update_check.h"
#include "win32/locale.h"
#include "win32/shell_windows.h"
#include "win32/system.h"
#include "win32/text.h"

namespace hx::ui {
namespace fs = std::filesystem;
namespace {

constexpr wchar_t kClassName[] = L"TFormHoravex";
constexpr UINT_PTR kTimer1 = 1;           // the 50 ms tick
constexpr UINT_PTR kTimerACNV1 = 2;       // update-check poll, every second
constexpr UINT_PTR kTimerShellRebuild = 3;  // one-shot, after the taskbar came back
constexpr UINT kTickMs = 50;
constexpr UINT kMsgStartSequence = WM_APP + 1;  // posted once, when the message loop starts
constexpr int kOffScreen = -32000;

std::string Today() { return win::ShortDateText(win::LocalNow()); }

// --- Calls into the windows and subsystems built on top of this one. ---

// Shows or hides the system tray clock.
void ApplyTrayClockVisibility(bool hide) {
  win::SystemShellWindows shell;
  hx::ApplyTrayClockVisibility(shell, hide);
}

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
  void EnableCheckNow(bool enabled) override { EnableCheckNowButton(enabled); }
  void ShowStatus(const std::string& text) override { ShowCheckStatusInSettings(text); }
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

// A locked panels window moved by anyone goes back at once.
void HoldLockedPosition() {
  const AppState& app = App();
  if (!app.clocksWindow) return;
  RECT r;
  GetWindowRect(app.clocksWindow, &r);
  if (const auto locked = app.placement.LockCorrection({r.left, r.top}))
    SetWindowPos(app.clocksWindow, nullptr, locked->x, locked->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Timer1Timer() {
  Guard(kCodeTimer1Timer, [] {
    HoldLockedPosition();
    ProcessingPanelsTime();
    if (App().settings.includeOnWPanel) FollowWindowsPanel();
  });
}

}  // namespace

// An opaque panels window is an ordinary window: a layered one costs more to
// draw, and some window systems lose its content.
void ApplyOpacity() {
  HWND clocks = App().clocksWindow;
  if (!clocks) return;
  const int alpha = App().settings.EffectiveAlpha();
  const LONG_PTR exStyle = GetWindowLongPtrW(clocks, GWL_EXSTYLE);
  if (alpha >= 255) {
    if (exStyle & WS_EX_LAYERED) SetWindowLongPtrW(clocks, GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
    return;
  }
  if (!(exStyle & WS_EX_LAYERED)) SetWindowLongPtrW(clocks, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
  SetLayeredWindowAttributes(clocks, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

// Starts the separate update-check program when a check is due. Whatever
// stops the start, "Проверить сейчас" comes back.
void StartUpdateCheck() {
  Guard(kCodeStartUpdateCheck, [] {
    const LocaleNames& locale = App().locale;
    TheUpdateCheck().StartUpdateCheck(App().settings.IntervalAUCheck, win::LocalNow(),
                           PatternSeparator(locale.shortDateFormat, "."), PatternSeparator(locale.longTimeFormat, ":"));
  });
  if (!UpdateCheckRunning()) EnableCheckNowButton(true);
}
void ResetUpdateCheck() { TheUpdateCheck().Reset(); }
bool UpdateCheckRunning() { return TheUpdateCheck().Running(); }

namespace {

PanelsGeometry CurrentPanelsGeometry() {
  PanelsGeometry g;
  RECT r{};
  if (App().clocksWindow) GetWindowRect(App().clocksWindow, &r);
  g.left = r.left;
  g.top = r.top;
  g.width = r.right - r.left;
  g.height = r.bottom - r.top;
  g.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  g.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  return g;
}

void MovePanelsWindow(int left, int top) {
  if (App().clocksWindow)
    SetWindowPos(App().clocksWindow, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::optional<IniDocument> ReadSettingsFile() {
  const auto text = ReadTextFile(paths::SettingsFile(App().folder));
  if (!text) return std::nullopt;
  return IniDocument::Parse(*text);
}

void WriteSettingsFile(const IniDocument& doc) {
  WriteTextFileAtomically(paths::SettingsFile(App().folder), doc.Serialize());
}

// Copies an INI file of an older release from the program folder into
// Settings, replacing any copy there, and removes the original.
void MoveToSettingsFolder(const char* name) {
  Guard("1.001 - 014.1", [&] {
    const fs::path from = App().folder / name;
    CopyFileReplacing(from, paths::SettingsFolder(App().folder) / name);
    fs::remove(from);
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
  fs::create_directories(paths::SettingsFolder(app.folder));
  for (const char* name : {"HXClocks.ini", "HXSettings.ini"})
    if (fs::exists(app.folder / name)) MoveToSettingsFolder(name);
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
  ProcessingPanelsTime();
  SetTimer(app.mainWindow, kTimer1, kTickMs, nullptr);
  // Last: a pending new-version notice is modal, and the clock ticks on
  // behind it.
  if (app.settings.AUCheckEnabled) StartUpdateCheck();
}

// The close request of the uninstaller: tell every top-level window, then
// close as the menu's close command does.
void CloseRequest() {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(HWND_BROADCAST, product::kMsgClosingBroadcast, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  ClocksCloseCommand();
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

void TimerACNV1Timer() { TheUpdateCheck().Poll(); }

void FormClose() {
  Guard("1.001 - 015.0", [] {
    KillTimer(App().mainWindow, kTimer1);
    RestoreShell();
  });
}

LRESULT HandleMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kMsgStartSequence:
      Guard("1.001 - 017.0", FormPaint);
      return 0;
    case WM_TIMER:
      switch (wParam) {
        case kTimer1: Timer1Timer(); return 0;
        case kTimerACNV1: Guard("1.001 - 016.0", TimerACNV1Timer); return 0;
        case kTimerShellRebuild: Guard("1.001 - 007.0", RebuildAfterTaskbarCreated); return 0;
      }
      break;
    case product::kMsgCloseRequest:
      Guard("1.001 - 000.0", CloseRequest);
      return 0;
    case WM_CLOSE:
      FormClose();
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  if (msg != 0 && msg == App().TaskbarCreatedMessage) {
    Guard("1.001 - 007.0", TaskbarCreated);
    return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

LRESULT CALLBACK MainFormProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  // On an unsupported system every message takes the default path.
  if (App().OSNotSupported) return DefWindowProcW(window, msg, wParam, lParam);
  LRESULT result = 0;
  Guard("1.001 - 007.0", [&] { result = HandleMessage(window, msg, wParam, lParam); });
  return result;
}

void ShowAutoLaunchWarning() { ShowSystemWarning(kAutoLaunchFallbackNotice, "Предупреждение..."); }

// Brings the Run value in line with AutoLaunch; reports only a failure of
// the fallback too.
void ApplyAutoLaunchSetting() {
  Guard("1.001 - 008.0", [] {
    AppState& app = App();
    const AutoLaunchOutcome out = ApplyAutoLaunch(app.registry, app.settings.AutoLaunch, app.programFile);
    app.settings.AutoLaunch = out.autoLaunch;
    if (out.warnUser) ShowAutoLaunchWarning();
  });
}

}  // namespace

void ApplyStayOnTop(bool onTop) {
  for (HWND window : {App().mainWindow, App().clocksWindow})
    if (window)
      SetWindowPos(window, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

AppState& App() {
  static AppState state;
  return state;
}

void LoadParametrs() {
  Guard("1.001 - 009.0", [] {
    AppState& app = App();
    app.placement.DragAnchorX = 200;
    app.placement.DragAnchorY = 100;
    auto doc = ReadSettingsFile();
    if (!doc) {
      ApplyMissingFileDefaults(app.settings);
      ApplyOpacity();
      return;
    }
    const FullLoadOutcome out = LoadAllSettings(*doc, app.settings, CurrentPanelsGeometry(), Today());

    ApplyStayOnTop(app.settings.StayOnTop);
    app.placement.BlockedMove = out.blockedMove;
    ApplyTrayClockVisibility(app.settings.HideTrayClock);
    MovePanelsWindow(out.left, out.top);
    app.placement.DragAnchorX = out.dragAnchorX;
    app.placement.DragAnchorY = out.dragAnchorY;
    if (out.blockedMove) {
      app.placement.LockedLeft = out.lockedLeft;
      app.placement.LockedTop = out.lockedTop;
    }
    ApplyOpacity();

    if (out.documentChanged) WriteSettingsFile(*doc);
    if (out.repairCount > 0) {
      MessageBeep(MB_OK);
      ShowWarningNotice(FullLoadRepairNotice(out.repairCount));
    }
    ApplyAutoLaunchSetting();
  });
}

void LoadParametrsA() {
  Guard("1.001 - 010.0", [] {
    auto doc = ReadSettingsFile();
    if (!doc) return;
    const AppearanceLoadOutcome out = LoadAppearanceSettings(*doc, App().settings, Today());
    if (out.documentChanged) WriteSettingsFile(*doc);
    if (out.repairCount > 0) {
      MessageBeep(MB_OK);
      ShowWarningNotice(AppearanceLoadRepairNotice(out.repairCount));
    }
  });
}

void SaveParametrs() {
  Guard("1.001 - 011.0", [] {
    AppState& app = App();
    const PanelsGeometry g = CurrentPanelsGeometry();
    const ScreenPoint saved = app.placement.SavedPosition({g.left, g.top});
    WriteSettingsFile(SaveAllSettings(app.settings, app.placement.BlockedMove, saved.x, saved.y, Today()));
    ApplyAutoLaunchSetting();
  });
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
  if (!mayRun) {
    DestroyWindow(window);
    app.mainWindow = nullptr;
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
  KillTimer(App().mainWindow, kTimer1);
  RestoreShell();
  ReleaseInstanceMutex();
  std::error_code ec;
  fs::remove(paths::TempFolder(App().folder), ec);  // only an empty folder goes
}

}  // namespace hx::ui
