#include "ui/main_window/program_settings.h"

#include "base/errors.h"
#include "base/textfile.h"
#include "core/autolaunch.h"
#include "core/program_paths.h"
#include "core/settings.h"
#include "core/taskbar_clock.h"
#include "ui/common/guard.h"
#include "ui/common/message_box.h"
#include "ui/main_window/app_state.h"
#include "win32/shell_windows.h"
#include "win32/system.h"

namespace hx::ui {
namespace {

std::string Today() { return win::ShortDateText(win::LocalNow()); }

PanelsGeometry CurrentPanelsGeometry() {
  PanelsGeometry g;
  RECT r{};
  if (App().clocksWindow) GetWindowRect(App().clocksWindow, &r);
  g.left = r.left;
  g.top = r.top;
  g.width = r.right - r.left;
  g.height = r.bottom - r.top;
  win::SystemShellWindows shell;
  const ScreenSize screen = shell.Screen();
  g.screenWidth = screen.width;
  g.screenHeight = screen.height;
  g.monitors = shell.DisplayMonitors();
  return g;
}

void MovePanelsWindow(int left, int top) {
  if (App().clocksWindow)
    SetWindowPos(App().clocksWindow, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::optional<IniDocument> ReadSettingsFile() {
  AppState& app = App();
  bool unread = false;
  const auto text = ReadSettingsText(paths::SettingsFile(app.folder), unread);
  SetFileKept(app.kept.settings, unread, kSettingsFileUnreadNotice);
  if (!text) return std::nullopt;
  return IniDocument::Parse(*text);
}

// A kept file is left as it is.
void WriteSettingsFile(const IniDocument& doc) {
  if (App().kept.settings) return;
  WriteTextFileAtomically(paths::SettingsFile(App().folder), doc.Serialize());
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

std::optional<std::string> ReadSettingsText(const Path& file, bool& unread) {
  unread = false;
  try {
    return ReadTextFile(file);
  } catch (const FileError&) {
    unread = true;
    return std::nullopt;
  }
}

void SetFileKept(bool& kept, bool keep, const std::string& notice) {
  const bool becomesKept = keep && !kept;
  kept = keep;
  if (!becomesKept) return;
  MessageBeep(MB_OK);
  ShowWarningNotice(notice);
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
    // The lock takes its place before the window moves: a locked window
    // refuses every other place.
    app.placement.BlockedMove = out.blockedMove;
    if (out.blockedMove) {
      app.placement.LockedLeft = out.lockedLeft;
      app.placement.LockedTop = out.lockedTop;
    }
    ApplyTrayClockVisibility(app.settings.HideTrayClock);
    MovePanelsWindow(out.left, out.top);
    app.placement.DragAnchorX = out.dragAnchorX;
    app.placement.DragAnchorY = out.dragAnchorY;
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

void ApplyStayOnTop(bool onTop) {
  for (HWND window : {App().mainWindow, App().clocksWindow})
    if (window)
      SetWindowPos(window, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

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

void ApplyTrayClockVisibility(bool hide) {
  win::SystemShellWindows shell;
  hx::ApplyTrayClockVisibility(shell, hide);
}

// A timer of its own, not the clock timer brought forward: under Wine a
// clock timer that was armed anew while an earlier one had just fallen due
// kept its old time when it was brought forward again, and the request
// waited for the next minute.
void RequestClockRefresh() {
  if (App().mainWindow) SetTimer(App().mainWindow, kTimerRefresh, USER_TIMER_MINIMUM, nullptr);
}

}  // namespace hx::ui
