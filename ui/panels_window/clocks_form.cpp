#include "ui/panels_window/clocks_form.h"

#include <commctrl.h>
#include <windowsx.h>

#include <map>

#include "base/textfile.h"
#include "core/product.h"
#include "core/program_paths.h"
#include "core/taskbar_clock.h"
#include "panels/clocks_file.h"
#include "panels/panel_layout.h"
#include "panels/zone_panels.h"
#include "ui/main_window/app_state.h"
#include "ui/panels_window/clocks_menu.h"
#include "ui/common/guard.h"
#include "ui/main_window/program_settings.h"
#include "ui/common/message_box.h"
#include "ui/common/modal.h"
#include "ui/panels_window/panel_control.h"
#include "ui/panels_window/tray_icon.h"
#include "win32/locale.h"
#include "win32/shell_windows.h"
#include "win32/system.h"
#include "win32/text.h"

namespace hx::ui {
namespace {

constexpr wchar_t kClassName[] = L"TFormClocks";

// The three controls of a zone panel: "Panel_i", "PanelC_i" and "PanelT_i".
struct ZoneControls {
  HWND frame = nullptr;
  HWND caption = nullptr;
  HWND value = nullptr;
};

// The window's controls and resources. Zone panels are kept by their
// record's index in the panel list.
struct ClocksForm {
  HWND window = nullptr;
  HWND Panel10 = nullptr;  // container of every frame
  HWND Panel1 = nullptr, Panel3 = nullptr, Panel6 = nullptr;  // system time
  HWND Panel2 = nullptr, Panel4 = nullptr, Panel5 = nullptr;  // date
  std::map<size_t, ZoneControls> zones;
  HWND tooltip = nullptr;
  HFONT captionFont = nullptr;  // Tahoma 10 pt
  HFONT fixedValueFont = nullptr;  // Tahoma 9 pt
  bool PanelsCreated = false;
  bool FirstRefreshDone = false;
  bool embedded = false;  // made to live on a Windows panel
};

ClocksForm g_form;

COLORREF Colour(int value) { return static_cast<COLORREF>(value) & 0x00FFFFFF; }

ScreenSize ScreenNow() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

int PointsToPixels(int points) {
  HDC screen = GetDC(nullptr);
  const int pixels = MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// Hints: shown after 100 ms and kept while the mouse stays; PlaceHint puts
// each one beside the clock.
HWND CreateHintWindow(HWND owner) {
  HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  SendMessageW(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 100);
  SendMessageW(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 32767);
  SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 400);
  return tip;
}

// A hint about to show goes below the panels window, or above it, never over
// it: placed by the mouse as usual it could cover a panel, and a press there
// would reach the hint instead of the clock. TRUE tells the hint it is placed.
LRESULT PlaceHint(HWND hint) {
  RECT own{}, clock{};
  GetWindowRect(hint, &own);
  GetWindowRect(g_form.window, &clock);
  POINT cursor{};
  GetCursorPos(&cursor);
  const ScreenPoint at = HintPosition({clock.left, clock.top, clock.right, clock.bottom},
                                      {own.right - own.left, own.bottom - own.top}, cursor.x, ScreenNow());
  SetWindowPos(hint, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

TOOLINFOW HintInfo(HWND control, wchar_t* text) {
  TOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = g_form.window;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = text;
  return info;
}

void AddHint(HWND control) {
  wchar_t empty[] = L"";
  TOOLINFOW info = HintInfo(control, empty);
  SendMessageW(g_form.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void SetHint(HWND control, const std::string& hint) {
  std::wstring text = win::Widen(hint);
  TOOLINFOW info = HintInfo(control, text.data());
  SendMessageW(g_form.tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void RemoveHint(HWND control) {
  TOOLINFOW info = HintInfo(control, nullptr);
  SendMessageW(g_form.tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

PanelLook LineLook(int background, int text, HFONT font, bool sunken) {
  return {Colour(background), Colour(text), font, LineBevels(sunken)};
}

PanelLook FrameLook() { return {GetSysColor(COLOR_BTNFACE), 0, nullptr, FrameBevels(App().settings.BorderA)}; }

void CreateFixedPanels() {
  const ProgramSettings& s = App().settings;
  const FixedPanelLook system = FirstStartSystemLook();
  const FixedPanelLook date = FirstStartDateLook();
  const PanelRect frame1{0, 0, kPanelWidth, kPanelHeight}, frame2{kPanelWidth, 0, kPanelWidth, kPanelHeight};
  g_form.Panel10 = CreatePanelControl(g_form.window, {0, 0, 2 * kPanelWidth, kPanelHeight},
                                      {GetSysColor(COLOR_BTNFACE), 0, nullptr, {}}, L"");
  g_form.Panel1 = CreatePanelControl(g_form.Panel10, frame1, FrameLook(), L"");
  g_form.Panel3 = CreatePanelControl(
      g_form.Panel1, kCaptionLineRect,
      LineLook(system.captionBackground, system.captionText, g_form.captionFont, s.BorderC),
      win::Widen(system.name).c_str());
  g_form.Panel6 = CreatePanelControl(
      g_form.Panel1, kValueLineRect,
      LineLook(system.valueBackground, system.valueText, g_form.fixedValueFont, s.BorderT), L"");
  g_form.Panel2 = CreatePanelControl(g_form.Panel10, frame2, FrameLook(), L"");
  g_form.Panel4 = CreatePanelControl(
      g_form.Panel2, kCaptionLineRect, LineLook(date.captionBackground, date.captionText, g_form.captionFont, s.BorderC),
      win::Widen(date.name).c_str());
  g_form.Panel5 = CreatePanelControl(
      g_form.Panel2, kValueLineRect, LineLook(date.valueBackground, date.valueText, g_form.fixedValueFont, s.BorderT),
      L"");
  AddHint(g_form.Panel6);
  AddHint(g_form.Panel5);
}

// The look a fixed panel has now, for the default records.
FixedPanelLook LookOfFixedPanel(HWND caption, HWND value) {
  const PanelLook c = GetPanelLook(caption), v = GetPanelLook(value);
  wchar_t name[128];
  GetWindowTextW(caption, name, 128);
  return {win::Narrow(name), static_cast<int>(c.background), static_cast<int>(v.background),
          static_cast<int>(c.text), static_cast<int>(v.text)};
}

void ApplyFixedRecord(const ClockPanel& record, HWND frame, HWND caption, HWND value, const PanelRect& rect) {
  PanelLook c = GetPanelLook(caption), v = GetPanelLook(value);
  c.background = Colour(record.BGColor1);
  c.text = Colour(record.Color1);
  v.background = Colour(record.BGColor2);
  v.text = Colour(record.Color2);
  SetPanelLook(caption, c);
  SetPanelLook(value, v);
  SetWindowTextW(caption, win::Widen(record.Name).c_str());
  SetWindowPos(frame, nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(frame, record.Visible ? SW_SHOWNA : SW_HIDE);
}

ZoneControls CreateZonePanel(const ClockPanel& record, const PanelRect& rect) {
  const ProgramSettings& s = App().settings;
  ZoneControls z;
  z.frame = CreatePanelControl(g_form.Panel10, rect, FrameLook(), L"");
  z.caption = CreatePanelControl(z.frame, kCaptionLineRect,
                                 LineLook(record.BGColor1, record.Color1, g_form.captionFont, s.BorderC),
                                 win::Widen(record.Name).c_str());
  z.value = CreatePanelControl(z.frame, kValueLineRect,
                               LineLook(record.BGColor2, record.Color2, g_form.captionFont, s.BorderT), L"");
  AddHint(z.value);
  ShowWindow(z.frame, record.Visible ? SW_SHOWNA : SW_HIDE);
  return z;
}

// The window takes exactly the size of its visible panels.
void FitWindowToPanels(int width, int height) {
  SetWindowPos(g_form.Panel10, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(g_form.window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Builds the default two-record list from the fixed panels' look, saves it
// and shows it.
void Nullloading() {
  Guard(kCodeNullloading, [] {
    App().panels = DefaultPanels(LookOfFixedPanel(g_form.Panel3, g_form.Panel6),
                                 LookOfFixedPanel(g_form.Panel4, g_form.Panel5));
    SaveClocks();
    ProcessingClocksPanels();
  });
}

void ClearOldPanels() {
  Guard(kCodeClearOldPanels, [] {
    DeleteOldPanels();
    App().panels.clear();
  });
}

// Adds the notification-area icon.
void AddTrayIcon() {
  Guard("1.012 - 003.0", [] { ui::AddTrayIcon(g_form.window); });
}
// Removes the notification-area icon.
void RemoveTrayIcon() { ui::RemoveTrayIcon(g_form.window); }

// Mouse on any panel: dragging and the menu. The pressed panel keeps the
// mouse until the button is released, so a quick drag cannot lose it.
void PanelMouse(HWND panel, UINT msg, WPARAM, LPARAM lParam) {
  PlacementState& placement = App().placement;
  const ScreenPoint inControl{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      Guard("1.012 - 024.0", [&] {
        // The release must come back here even off the window: it saves.
        SetCapture(panel);
        placement.BeginDrag(msg == WM_LBUTTONDOWN ? MouseButton::Left : MouseButton::Right, inControl);
      });
      break;
    case WM_MOUSEMOVE:
      Guard("1.012 - 025.0", [&] {
        RECT r;
        GetWindowRect(g_form.window, &r);
        const auto to = placement.DragTo({r.left, r.top, r.right, r.bottom}, inControl,
                                         DragRules::From(App().settings, ScreenNow()));
        if (to && (to->x != r.left || to->y != r.top))
          SetWindowPos(g_form.window, nullptr, to->x, to->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      });
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      Guard("1.012 - 026.0", [&] {
        placement.EndDrag();
        if (GetCapture() == panel) ReleaseCapture();
        SaveParametrs();
      });
      if (msg == WM_RBUTTONUP) {
        POINT at{inControl.x, inControl.y};
        ClientToScreen(panel, &at);
        ShowPanelsMenu(g_form.window, at, false, g_form.embedded);
      }
      break;
  }
}

// The tray icon's mouse: a left click toggles between shown and minimised;
// a right press opens the menu with "В левый-верхний угол".
void TrayCallback(HWND window, LPARAM mouse) {
  Guard("1.012 - 013.0", [&] {
    if (mouse == WM_LBUTTONUP) {
      if (App().placement.TrayLeftClick() == TrayClickAction::MinimizeToTray)
        MinimizeToTray(window);
      else
        RestorePanels(window);
    } else if (mouse == WM_RBUTTONDOWN) {
      SetForegroundWindow(window);
      POINT at;
      GetCursorPos(&at);
      ShowPanelsMenu(window, at, true, g_form.embedded);
    }
  });
}

// A second start of the program asks this one to come forward.
void ActivateRunning(HWND window) {
  Guard("1.012 - 002.0", [window] {
    App().placement.Restore();
    ShowWindow(window, SW_SHOWNOACTIVATE);
    MessageBeep(MB_OK);
    BringToFront(window);
    ShowMessageBox(nullptr, "Программа Horavex.KT уже запущена!", "Horavex.KT 1.0.1.2k.ru - Warning...",
                   MB_SYSTEMMODAL, "Warning");
    SetForegroundWindow(App().mainWindow);
  });
}

// The owner of a new panels window: the main window, or while embedding is
// on the last Windows panel at the chosen edge (none when there is none).
HWND ChooseOwnerWindow(bool& embedded) {
  AppState& app = App();
  HWND owner = app.mainWindow;
  embedded = false;
  Guard("1.012 - 010.0", [&] {
    if (!app.settings.includeOnWPanel) return;
    embedded = true;
    owner = nullptr;
    win::SystemShellWindows shell;
    owner = win::ToHwnd(FindWindowsPanel(shell, app.settings.NumPanel));
  });
  return owner;
}

LRESULT CALLBACK ClocksFormProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case product::kMsgActivateRunning:
      ActivateRunning(window);
      return 0;
    case product::kMsgTrayCallback:
      TrayCallback(window, lParam);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      PanelMouse(window, msg, wParam, lParam);
      return 0;
    case WM_NOTIFY:
      if (reinterpret_cast<const NMHDR*>(lParam)->code == TTN_SHOW)
        return PlaceHint(reinterpret_cast<const NMHDR*>(lParam)->hwndFrom);
      break;
    case WM_WINDOWPOSCHANGING: {
      // A locked window keeps its place, whoever moves it.
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      if (!(pos->flags & SWP_NOMOVE)) {
        if (const auto locked = App().placement.LockCorrection({pos->x, pos->y})) {
          pos->x = locked->x;
          pos->y = locked->y;
        }
      }
      break;
    }
    case WM_CLOSE:
      // Alt+F4 or another program's close request ends the program as the
      // menu's "Закрыть" does; while a menu dialog shows, that dialog comes
      // forward instead.
      if (!BringOpenMenuDialogForward()) ClocksCloseCommand();
      return 0;
    case WM_DESTROY:
      Guard("1.012 - 028.0", [] { RemoveTrayIcon(); });
      DeleteObject(g_form.captionFont);
      DeleteObject(g_form.fixedValueFont);
      if (g_form.tooltip) DestroyWindow(g_form.tooltip);
      g_form = ClocksForm{};
      App().clocksWindow = nullptr;
      return 0;
  }
  if (msg != 0 && msg == App().TaskbarCreatedMessage) RetryTrayIcon();
  return DefWindowProcW(window, msg, wParam, lParam);
}

// The catalogue's zone rules the panels follow, read once per zone. A new
// panel list reads them afresh, so a catalogue updated meanwhile is seen.
ZoneRuleCache& PanelZoneRules() {
  static ZoneRuleCache cache(App().registry);
  return cache;
}

}  // namespace

void RegisterClocksFormClass(HINSTANCE instance) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  RegisterPanelControlClass(instance);
  SetPanelMouseHandler(PanelMouse);
  WNDCLASSW wc{};
  wc.lpfnWndProc = ClocksFormProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, L"MAINICON");
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kClassName;
  RegisterClassW(&wc);
}

HWND CreateClocksForm() {
  constexpr DWORD style = WS_POPUP | WS_CLIPCHILDREN;
  AppState& app = App();
  const DWORD exStyle = WS_EX_TOOLWINDOW | (app.settings.StayOnTop ? WS_EX_TOPMOST : 0);
  if (app.mainWindow)
    SetWindowPos(app.mainWindow, app.settings.StayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const RECT r = CenteredWindowRect(2 * kPanelWidth, kPanelHeight, style, exStyle);
  bool embedded = false;
  HWND owner = ChooseOwnerWindow(embedded);
  HWND window = CreateWindowExW(exStyle, kClassName, L"Horavex.KT", style, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window) throw std::runtime_error("cannot create the panels window");
  g_form = ClocksForm{};
  g_form.window = window;
  g_form.embedded = embedded;
  // A window re-created while hidden with its Windows panel starts back in
  // sight; the lock follows its Top.
  if (embedded) {
    if (const auto top = app.placement.ReturnFromHidden())
      SetWindowPos(window, nullptr, r.left, *top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  g_form.captionFont = CreateTahoma(PointsToPixels(10));
  g_form.fixedValueFont = CreateTahoma(PointsToPixels(9));
  g_form.tooltip = CreateHintWindow(window);
  App().clocksWindow = window;
  CreateFixedPanels();

  // Every start rewrites the file in its normal form.
  LoadClocks();
  SaveClocks();
  LoadClocks();

  ShowWindow(window, SW_SHOWNORMAL);
  app.placement.Restore();  // a window made anew is in sight, not in the tray
  SetForegroundWindow(window);
  return window;
}

void LoadClocks() {
  Guard(kCodeLoadClocks, [] {
    ClearOldPanels();
    AppState& app = App();
    const Path file = paths::ClocksFile(app.folder);
    bool unread = false;
    ClocksFileRead read = ReadClocksFile(ReadSettingsText(file, unread));
    // A file that cannot be read, or holds more records than the list
    // takes, is left as it is; the list is then the defaults, or the records
    // it could take.
    SetFileKept(app.kept.clocks, unread || (read.cut && read.state == ClocksFileRead::State::Loaded),
                unread ? kClocksFileUnreadNotice : ClocksFileCutNotice(read.fileRecords));
    switch (read.state) {
      case ClocksFileRead::State::Loaded:
        app.panels = std::move(read.panels);
        ProcessingClocksPanels();
        break;
      case ClocksFileRead::State::UseDefaults:
        Nullloading();
        break;
      case ClocksFileRead::State::CriticalError:
        MessageBeep(MB_OK);
        ShowWarningNotice(kClocksCriticalErrorText);
        RemoveIfPresent(file);
        Nullloading();
        break;
    }
  });
}

// A kept file is left as it is.
void SaveClocks() {
  Guard(kCodeSaveClocks, [] {
    const AppState& app = App();
    if (app.kept.clocks) return;
    WriteTextFileAtomically(paths::ClocksFile(app.folder),
                            WriteClocksFile(app.panels, app.localZone.LocalZoneHours,
                                            win::ShortDateText(win::LocalNow()))
                                .Serialize());
  });
}

void ProcessingClocksPanels() {
  Guard(kCodeProcessingClocksPanels, [] {
    AppState& app = App();
    g_form.PanelsCreated = true;
    PanelZoneRules().Clear();
    const PanelsLayout layout = LayoutPanels(app.panels, app.settings.Vertical);
    for (const PanelPlacement& p : layout.panels) {
      const ClockPanel& record = app.panels[p.index];
      switch (record.SysFlag) {
        case kSystemTimePanel:
          ApplyFixedRecord(record, g_form.Panel1, g_form.Panel3, g_form.Panel6, p.frame);
          break;
        case kDatePanel:
          ApplyFixedRecord(record, g_form.Panel2, g_form.Panel4, g_form.Panel5, p.frame);
          break;
        default:
          g_form.zones[p.index] = CreateZonePanel(record, p.frame);
          break;
      }
    }
    FitWindowToPanels(layout.width, layout.height);
    ShowWindow(g_form.window, SW_SHOWNA);
    app.tick.TimeFormatChanged = true;  // the clock work fills every line, at once
    RequestClockRefresh();
    Borders(false);
  });
}

void DeleteOldPanels() {
  Guard(kCodeDeleteOldPanels, [] {
    if (!g_form.PanelsCreated) return;
    ShowWindow(g_form.window, SW_HIDE);
    for (auto& [index, z] : g_form.zones) {
      RemoveHint(z.value);
      DestroyWindow(z.frame);  // its lines go with it
    }
    g_form.zones.clear();
    g_form.PanelsCreated = false;
  });
}

void Borders(bool all) {
  Guard(kCodeBorders, [all] {
    const ProgramSettings& s = App().settings;
    if (all) {
      for (auto& [index, z] : g_form.zones) {
        SetPanelBevels(z.value, LineBevels(s.BorderT));
        SetPanelBevels(z.caption, LineBevels(s.BorderC));
        SetPanelBevels(z.frame, FrameBevels(s.BorderA));
      }
    }
    for (HWND value : {g_form.Panel5, g_form.Panel6}) SetPanelBevels(value, LineBevels(s.BorderT));
    for (HWND caption : {g_form.Panel3, g_form.Panel4}) SetPanelBevels(caption, LineBevels(s.BorderC));
    for (HWND frame : {g_form.Panel1, g_form.Panel2}) SetPanelBevels(frame, FrameBevels(s.BorderA));
  });
}

void ShowClockText(const wchar_t* text) {
  if (g_form.Panel6) SetPanelText(g_form.Panel6, text);
}

void ShowDate(const std::string& date, const std::string& longDate) {
  if (!g_form.Panel5) return;
  SetPanelText(g_form.Panel5, win::Widen(date).c_str());
  SetHint(g_form.Panel5, longDate);
  SetHint(g_form.Panel6, longDate);
}

void ProcessingPanelsTimeA(const DateTime& now) {
  Guard(kCodeProcessingPanelsTimeA, [&] {
    AppState& app = App();
    const int localOffset = LocalUtcOffset(app.localZone, win::CurrentUtcBias());
    const ZoneRuleLookup rules = [](const std::string& key) { return PanelZoneRules().Find(key); };
    // Each zone's offset is worked out anew from this minute's universal
    // time, so a zone's clock change shows from the minute it happens.
    for (const ZonePanelTime& zone : ComputeZonePanelTimes(app.panels, now, localOffset, app.settings.PmAmFormat,
                                                           app.settings.FormatDate, app.locale, rules)) {
      const auto it = g_form.zones.find(zone.index);
      if (it == g_form.zones.end()) continue;
      SetPanelText(it->second.value, win::Widen(zone.text).c_str());
      SetHint(it->second.value, zone.hint);
    }
    if (!g_form.FirstRefreshDone) {
      g_form.FirstRefreshDone = true;
      AddTrayIcon();
    }
  });
}

bool PanelsCreated() { return g_form.PanelsCreated; }

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
