#include "ui/panels_window/clock_panels.h"

#include <commctrl.h>

#include <map>

#include "core/zone_catalogue.h"
#include "panels/panel_layout.h"
#include "panels/zone_panels.h"
#include "ui/common/guard.h"
#include "ui/common/modal.h"
#include "ui/main_window/app_state.h"
#include "ui/main_window/program_settings.h"
#include "ui/panels_window/panel_control.h"
#include "ui/panels_window/tray_icon.h"
#include "win32/dpi.h"
#include "win32/locale.h"
#include "win32/shell_windows.h"
#include "win32/text.h"

namespace hx::ui {
namespace {

// The three controls of a zone panel.
struct ZoneControls {
  HWND frame = nullptr;    // "Panel_i": the zone panel's frame inside Panel10
  HWND caption = nullptr;  // "PanelC_i": its caption line, the record's Name
  HWND value = nullptr;    // "PanelT_i": its value line, the zone's time, with the zone's date as hint
};

// The panels of the window and what they share. Zone panels are kept by
// their record's index in the panel list.
struct ClockPanels {
  HWND window = nullptr;           // the panels window
  HWND Panel10 = nullptr;          // container of every frame, sized to the visible panels
  HWND Panel1 = nullptr;           // frame of the system-time panel
  HWND Panel3 = nullptr;           // caption line of the system-time panel ("Системное" at first start)
  HWND Panel6 = nullptr;           // value line of the system-time panel: the local time, long date as hint
  HWND Panel2 = nullptr;           // frame of the date panel
  HWND Panel4 = nullptr;           // caption line of the date panel ("Дата" at first start)
  HWND Panel5 = nullptr;           // value line of the date panel: today's date, long date as hint
  std::map<size_t, ZoneControls> zones;
  HWND tooltip = nullptr;          // the hints of Panel6, Panel5 and every zone's value line
  HFONT captionFont = nullptr;     // Tahoma 10 pt, at the window's DPI
  HFONT fixedValueFont = nullptr;  // Tahoma 9 pt, at the window's DPI
  int dpi = kBaseDpi;              // the DPI the panels are laid out and their fonts made for
  PanelMetrics metrics;            // a frame's and its lines' sizes at that DPI
  bool PanelsCreated = false;      // the zone panels exist
  bool FirstRefreshDone = false;   // the zone times were written once since the window was made
};

ClockPanels g_panels;

COLORREF Colour(int value) { return static_cast<COLORREF>(value) & 0x00FFFFFF; }

// The panels' fonts and sizes for `dpi`; the fonts made before are the
// caller's to free.
void UseDpi(int dpi) {
  g_panels.dpi = dpi;
  g_panels.metrics = PanelMetricsForDpi(dpi);
  g_panels.captionFont = CreateTahoma(ScaleForDpi(kCaptionFontHeight, dpi));
  g_panels.fixedValueFont = CreateTahoma(ScaleForDpi(kFixedValueFontHeight, dpi));
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

TOOLINFOW HintInfo(HWND control, wchar_t* text) {
  TOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = g_panels.window;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = text;
  return info;
}

void AddHint(HWND control) {
  wchar_t empty[] = L"";
  TOOLINFOW info = HintInfo(control, empty);
  SendMessageW(g_panels.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void SetHint(HWND control, const std::string& hint) {
  std::wstring text = win::Widen(hint);
  TOOLINFOW info = HintInfo(control, text.data());
  SendMessageW(g_panels.tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void RemoveHint(HWND control) {
  TOOLINFOW info = HintInfo(control, nullptr);
  SendMessageW(g_panels.tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

PanelLook LineLook(int background, int text, HFONT font, bool sunken) {
  return {Colour(background), Colour(text), font, LineBevels(sunken)};
}

PanelLook FrameLook() { return {GetSysColor(COLOR_BTNFACE), 0, nullptr, FrameBevels(App().settings.BorderA), false}; }

// A panel's name for a screen reader, such as "Kathmandu, 07 : 01": its
// caption and its value, kept as the frame's (undrawn) text.
void NameFrame(HWND frame, HWND caption, HWND value) {
  if (!frame) return;
  wchar_t captionText[128], valueText[128];
  GetWindowTextW(caption, captionText, 128);
  GetWindowTextW(value, valueText, 128);
  SetPanelText(frame, (std::wstring(captionText) + L", " + valueText).c_str());
}

// The look a fixed panel has now, for the default records.
FixedPanelLook LookOfFixedPanel(HWND caption, HWND value) {
  const PanelLook c = GetPanelLook(caption), v = GetPanelLook(value);
  wchar_t name[128];
  GetWindowTextW(caption, name, 128);
  return {win::Narrow(name), static_cast<int>(c.background), static_cast<int>(v.background),
          static_cast<int>(c.text), static_cast<int>(v.text)};
}

void MoveControl(HWND control, const PanelRect& r) {
  SetWindowPos(control, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// A frame at `rect` with its lines at their places for the current DPI.
void PlaceFrame(HWND frame, HWND caption, HWND value, const PanelRect& rect) {
  MoveControl(frame, rect);
  MoveControl(caption, g_panels.metrics.caption);
  MoveControl(value, g_panels.metrics.value);
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
  PlaceFrame(frame, caption, value, rect);
  ShowWindow(frame, record.Visible ? SW_SHOWNA : SW_HIDE);
}

ZoneControls CreateZonePanel(const ClockPanel& record, const PanelRect& rect) {
  const ProgramSettings& s = App().settings;
  ZoneControls z;
  z.frame = CreatePanelControl(g_panels.Panel10, rect, FrameLook(), L"");
  z.caption = CreatePanelControl(z.frame, g_panels.metrics.caption,
                                 LineLook(record.BGColor1, record.Color1, g_panels.captionFont, s.BorderC),
                                 win::Widen(record.Name).c_str());
  z.value = CreatePanelControl(z.frame, g_panels.metrics.value,
                               LineLook(record.BGColor2, record.Color2, g_panels.captionFont, s.BorderT), L"");
  AddHint(z.value);
  ShowWindow(z.frame, record.Visible ? SW_SHOWNA : SW_HIDE);
  return z;
}

// The window takes exactly the size of its visible panels.
void FitWindowToPanels(int width, int height) {
  SetWindowPos(g_panels.Panel10, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(g_panels.window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The catalogue's zone rules the panels follow, read once per zone. A new
// panel list reads them afresh, so a catalogue updated meanwhile is seen.
ZoneRuleCache& PanelZoneRules() {
  static ZoneRuleCache cache(App().registry);
  return cache;
}

}  // namespace

void CreateFixedPanels(HWND window) {
  g_panels = ClockPanels{};
  g_panels.window = window;
  UseDpi(win::WindowDpi(window));
  g_panels.tooltip = CreateHintWindow(window);
  const ProgramSettings& s = App().settings;
  const FixedPanelLook system = FirstStartSystemLook();
  const FixedPanelLook date = FirstStartDateLook();
  const PanelMetrics& m = g_panels.metrics;
  const PanelRect frame1{0, 0, m.width, m.height}, frame2{m.width, 0, m.width, m.height};
  g_panels.Panel10 = CreatePanelControl(window, {0, 0, 2 * m.width, m.height},
                                        {GetSysColor(COLOR_BTNFACE), 0, nullptr, {}}, L"");
  g_panels.Panel1 = CreatePanelControl(g_panels.Panel10, frame1, FrameLook(), L"");
  g_panels.Panel3 = CreatePanelControl(
      g_panels.Panel1, m.caption,
      LineLook(system.captionBackground, system.captionText, g_panels.captionFont, s.BorderC),
      win::Widen(system.name).c_str());
  g_panels.Panel6 = CreatePanelControl(
      g_panels.Panel1, m.value,
      LineLook(system.valueBackground, system.valueText, g_panels.fixedValueFont, s.BorderT), L"");
  g_panels.Panel2 = CreatePanelControl(g_panels.Panel10, frame2, FrameLook(), L"");
  g_panels.Panel4 = CreatePanelControl(
      g_panels.Panel2, m.caption,
      LineLook(date.captionBackground, date.captionText, g_panels.captionFont, s.BorderC),
      win::Widen(date.name).c_str());
  g_panels.Panel5 = CreatePanelControl(
      g_panels.Panel2, m.value,
      LineLook(date.valueBackground, date.valueText, g_panels.fixedValueFont, s.BorderT), L"");
  AddHint(g_panels.Panel6);
  AddHint(g_panels.Panel5);
}

void ReleasePanels() {
  DeleteObject(g_panels.captionFont);
  DeleteObject(g_panels.fixedValueFont);
  if (g_panels.tooltip) DestroyWindow(g_panels.tooltip);
  g_panels = ClockPanels{};
}

// A hint goes below the panels window, or above it, never over it: placed
// by the mouse as usual it could cover a panel, and a press there would
// reach the hint instead of the clock.
LRESULT PlaceHint(HWND hint) {
  RECT own{}, clock{};
  GetWindowRect(hint, &own);
  GetWindowRect(g_panels.window, &clock);
  POINT cursor{};
  GetCursorPos(&cursor);
  const ScreenRect clockRect{clock.left, clock.top, clock.right, clock.bottom};
  const ScreenRect monitor = MonitorOf(clockRect, win::SystemShellWindows().DisplayMonitors()).rect;
  const ScreenPoint at =
      HintPosition(clockRect, {own.right - own.left, own.bottom - own.top}, cursor.x, monitor);
  SetWindowPos(hint, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

PanelList DefaultPanelsFromFixedPanels() {
  return DefaultPanels(LookOfFixedPanel(g_panels.Panel3, g_panels.Panel6),
                       LookOfFixedPanel(g_panels.Panel4, g_panels.Panel5));
}

void ProcessingClocksPanels() {
  Guard(kCodeProcessingClocksPanels, [] {
    AppState& app = App();
    g_panels.PanelsCreated = true;
    PanelZoneRules().Clear();
    const PanelsLayout layout = LayoutPanels(app.panels, app.settings.Vertical, g_panels.dpi);
    for (const PanelPlacement& p : layout.panels) {
      const ClockPanel& record = app.panels[p.index];
      switch (record.SysFlag) {
        case kSystemTimePanel:
          ApplyFixedRecord(record, g_panels.Panel1, g_panels.Panel3, g_panels.Panel6, p.frame);
          break;
        case kDatePanel:
          ApplyFixedRecord(record, g_panels.Panel2, g_panels.Panel4, g_panels.Panel5, p.frame);
          break;
        default:
          g_panels.zones[p.index] = CreateZonePanel(record, p.frame);
          break;
      }
    }
    FitWindowToPanels(layout.width, layout.height);
    ShowWindow(g_panels.window, SW_SHOWNA);
    app.tick.TimeFormatChanged = true;  // the clock work fills every line, at once
    RequestClockRefresh();
    Borders(false);
  });
}

void RescalePanels(int dpi) {
  Guard(kCodeProcessingClocksPanels, [dpi] {
    if (!g_panels.window || dpi <= 0 || dpi == g_panels.dpi) return;
    const HFONT oldCaptionFont = g_panels.captionFont, oldValueFont = g_panels.fixedValueFont;
    UseDpi(dpi);
    for (HWND line : {g_panels.Panel3, g_panels.Panel4}) SetPanelFont(line, g_panels.captionFont);
    for (HWND line : {g_panels.Panel5, g_panels.Panel6}) SetPanelFont(line, g_panels.fixedValueFont);
    for (auto& [index, z] : g_panels.zones) {
      SetPanelFont(z.caption, g_panels.captionFont);
      SetPanelFont(z.value, g_panels.captionFont);
    }
    DeleteObject(oldCaptionFont);
    DeleteObject(oldValueFont);

    const PanelMetrics& m = g_panels.metrics;
    if (!g_panels.PanelsCreated) {
      // Only the fixed panels, side by side, as the window is first made.
      PlaceFrame(g_panels.Panel1, g_panels.Panel3, g_panels.Panel6, {0, 0, m.width, m.height});
      PlaceFrame(g_panels.Panel2, g_panels.Panel4, g_panels.Panel5, {m.width, 0, m.width, m.height});
      FitWindowToPanels(2 * m.width, m.height);
      return;
    }
    const AppState& app = App();
    const PanelsLayout layout = LayoutPanels(app.panels, app.settings.Vertical, dpi);
    for (const PanelPlacement& p : layout.panels) {
      if (p.sysFlag == kSystemTimePanel) {
        PlaceFrame(g_panels.Panel1, g_panels.Panel3, g_panels.Panel6, p.frame);
      } else if (p.sysFlag == kDatePanel) {
        PlaceFrame(g_panels.Panel2, g_panels.Panel4, g_panels.Panel5, p.frame);
      } else if (const auto it = g_panels.zones.find(p.index); it != g_panels.zones.end()) {
        PlaceFrame(it->second.frame, it->second.caption, it->second.value, p.frame);
      }
    }
    FitWindowToPanels(layout.width, layout.height);
  });
}

void DeleteOldPanels() {
  Guard(kCodeDeleteOldPanels, [] {
    if (!g_panels.PanelsCreated) return;
    ShowWindow(g_panels.window, SW_HIDE);
    for (auto& [index, z] : g_panels.zones) {
      RemoveHint(z.value);
      DestroyWindow(z.frame);  // its lines go with it
    }
    g_panels.zones.clear();
    g_panels.PanelsCreated = false;
  });
}

void Borders(bool all) {
  Guard(kCodeBorders, [all] {
    const ProgramSettings& s = App().settings;
    if (all) {
      for (auto& [index, z] : g_panels.zones) {
        SetPanelBevels(z.value, LineBevels(s.BorderT));
        SetPanelBevels(z.caption, LineBevels(s.BorderC));
        SetPanelBevels(z.frame, FrameBevels(s.BorderA));
      }
    }
    for (HWND value : {g_panels.Panel5, g_panels.Panel6}) SetPanelBevels(value, LineBevels(s.BorderT));
    for (HWND caption : {g_panels.Panel3, g_panels.Panel4}) SetPanelBevels(caption, LineBevels(s.BorderC));
    for (HWND frame : {g_panels.Panel1, g_panels.Panel2}) SetPanelBevels(frame, FrameBevels(s.BorderA));
  });
}

void ShowClockText(const wchar_t* text) {
  if (!g_panels.Panel6) return;
  SetPanelText(g_panels.Panel6, text);
  NameFrame(g_panels.Panel1, g_panels.Panel3, g_panels.Panel6);
}

void ShowDate(const std::string& date, const std::string& longDate) {
  if (!g_panels.Panel5) return;
  SetPanelText(g_panels.Panel5, win::Widen(date).c_str());
  NameFrame(g_panels.Panel2, g_panels.Panel4, g_panels.Panel5);
  SetHint(g_panels.Panel5, longDate);
  SetHint(g_panels.Panel6, longDate);
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
      const auto it = g_panels.zones.find(zone.index);
      if (it == g_panels.zones.end()) continue;
      SetPanelText(it->second.value, win::Widen(zone.text).c_str());
      NameFrame(it->second.frame, it->second.caption, it->second.value);
      SetHint(it->second.value, zone.hint);
    }
    // The first refresh of a new window adds its notification-area icon.
    if (!g_panels.FirstRefreshDone) {
      g_panels.FirstRefreshDone = true;
      Guard("1.012 - 003.0", [] { AddTrayIcon(g_panels.window); });
    }
  });
}

bool PanelsCreated() { return g_panels.PanelsCreated; }

}  // namespace hx::ui
