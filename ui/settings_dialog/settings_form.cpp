#include "ui/settings_dialog/settings_form.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <memory>
#include <stdexcept>
#include <string>

#include "core/dpi.h"
#include "core/program_paths.h"
#include "core/taskbar_clock.h"
#include "settings/settings_dialog.h"
#include "ui/common/dpi_layout.h"
#include "ui/common/guard.h"
#include "ui/common/modal.h"
#include "ui/main_window/app_state.h"
#include "ui/main_window/program_settings.h"
#include "ui/main_window/update_checks.h"
#include "ui/panels_window/clocks_form.h"
#include "ui/settings_dialog/settings_appearance_page.h"
#include "ui/settings_dialog/settings_general_page.h"
#include "ui/settings_dialog/settings_page.h"
#include "ui/settings_dialog/settings_panels_look_page.h"
#include "ui/settings_dialog/settings_panels_tab.h"
#include "win32/shell_windows.h"
#include "win32/text.h"

namespace hx::ui {
namespace {

constexpr wchar_t kClassName[] = L"TFormSettings";
constexpr wchar_t kPageClassName[] = L"TFormSettingsPage";
constexpr int kClientWidth = 541;
constexpr int kClientHeight = 273;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr int kPageCount = 4;
constexpr int kMargin = 10;

enum ControlId {
  kPageControl = 100,  // the tab buttons, one per page
  kStatusBar1,         // the update check's status
  kBitBtn1,            // help button (opens the help page)
};

const std::array<const char*, kPageCount> kTabCaptions = {"Основные настройки", "Внешний вид", "Внешний вид панелей",
                                                          "Добавление часовых панелей"};

HWND SettingsDialogWindow();

// The dialog's requests to the program's windows.
class ProgramEffects : public SettingsEffects {
 public:
  void RebuildPanels() override {
    DeleteOldPanels();
    ProcessingClocksPanels();
    // Shown again, the panels window may come up over the dialog.
    if (HWND dialog = SettingsDialogWindow())
      SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  void ApplyOpacity() override { ui::ApplyOpacity(); }
  void SetTrayClockHidden(bool hide, bool nudgeAlways) override {
    win::SystemShellWindows shell;
    ApplyTrayClockVisibility(shell, hide, nudgeAlways ? TrayRefresh::Always : TrayRefresh::OnChange);
  }
  void SaveParametrs() override { ui::SaveParametrs(); }
  void SaveClocks() override { ui::SaveClocks(); }
  void RecreatePanelsWindow() override {
    CloseClocksForm();
    LoadParametrsA();
    CreateClocksForm();
    LoadParametrs();
  }
  ScreenRect PanelsWindow() override {
    RECT r{};
    if (App().clocksWindow) GetWindowRect(App().clocksWindow, &r);
    return {r.left, r.top, r.right, r.bottom};
  }
  // A Windows panel docks at an edge of the primary screen.
  ScreenSize Screen() override { return win::SystemShellWindows().Screen(); }
  void MovePanelsWindow(ScreenPoint to) override {
    if (App().clocksWindow)
      SetWindowPos(App().clocksWindow, nullptr, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void ShowMainWindow() override { ShowWindow(App().mainWindow, SW_SHOWNOACTIVATE); }
};

// While the dialog is open it shows the update check's state: its status
// bar has the status, and "Проверить сейчас" is enabled only while no
// check runs.
class CheckStatusDisplay : public UpdateCheckListener {
 public:
  void UpdateStatusChanged(const std::string& text) override;
  void CheckNowAllowed(bool allowed) override;
};

struct SettingsForm {
  ProgramEffects effects;
  CheckStatusDisplay checkStatus;
  SettingsSession session{{App().settings, App().panels, App().placement, App().SettingsOpen, App().RecreatePanels,
                           App().PanelsRecreated, App().tick.TimeFormatChanged, App().kept},
                          effects};
  SettingsPageContext context{session, effects};  // the fonts and the session, for the pages
  HWND window = nullptr;
  HWND PageControl1 = nullptr;  // the tab buttons
  std::array<HWND, kPageCount> pages{};
  HWND StatusBar1 = nullptr;  // the update check's status
  HWND tooltip = nullptr;
  HWND lastFocus = nullptr;
  HICON helpIcon = nullptr;
  bool closing = false;
  GeneralPage general{context};
  AppearancePage appearance{context};
  PanelsLookPage panelsLook{context};
  PanelsTab panelsTab;
};

SettingsForm* g_form = nullptr;

HWND SettingsDialogWindow() { return g_form ? g_form->window : nullptr; }

void AddHint(HWND control, const wchar_t* text) {
  TOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = g_form->window;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = const_cast<wchar_t*>(text);
  SendMessageW(g_form->tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void CheckStatusDisplay::UpdateStatusChanged(const std::string& text) {
  if (!g_form || !g_form->StatusBar1) return;
  SendMessageW(g_form->StatusBar1, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(win::Widen(text).c_str()));
}

void CheckStatusDisplay::CheckNowAllowed(bool allowed) {
  if (g_form) g_form->general.CheckNowAllowed(allowed);
}

void BitBtn1Click() {
  Guard("1.004 - 012.0", [] {
    ShellExecuteW(g_form->window, nullptr, paths::HelpPage(App().folder).wstring().c_str(), nullptr, nullptr, SW_SHOW);
  });
}

// --- Building the dialog. ---

HWND CreatePage(HWND window, const RECT& area) {
  return CreateWindowExW(WS_EX_CONTROLPARENT, kPageClassName, L"", WS_CHILD | WS_CLIPSIBLINGS, area.left, area.top,
                         area.right - area.left, area.bottom - area.top, window, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
}

void ShowPage(int index) {
  for (int i = 0; i < kPageCount; ++i)
    ShowWindow(g_form->pages[static_cast<size_t>(i)], i == index ? SW_SHOW : SW_HIDE);
}

void CreateControls(HWND window) {
  SettingsForm& f = *g_form;
  SettingsPageContext& c = f.context;
  c.font = CreateTahomaPoints(8);
  c.boldFont = CreateTahomaPoints(8, FW_BOLD);
  // The preview panels take no font from the scaling: theirs is made at
  // the dialog's DPI.
  c.previewFont = CreateTahoma(MulDiv(10, LayoutDpi(window), 72));
  f.tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                              GetModuleHandleW(nullptr), nullptr);

  // Tab order follows creation: the tabs, the pages, help, OK, Cancel.
  f.PageControl1 =
      AddControl(window, WC_TABCONTROLW, "", TCS_BUTTONS | TCS_MULTILINE | WS_CLIPSIBLINGS | WS_TABSTOP | WS_GROUP,
                 kPageControl, kMargin, 8, kClientWidth - 2 * kMargin, 200, c.font);
  for (size_t i = 0; i < kTabCaptions.size(); ++i) {
    std::wstring caption = win::Widen(kTabCaptions[i]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(f.PageControl1, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }

  f.StatusBar1 = AddControl(window, STATUSCLASSNAMEW, "", 0, kStatusBar1, 0, 0, 0, 0, c.font);
  int statusParts[] = {-1};
  SendMessageW(f.StatusBar1, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(statusParts));
  RECT status{};
  GetWindowRect(f.StatusBar1, &status);
  // The bar sizes itself with the system's metrics at the window's DPI;
  // the layout is in 96-DPI units.
  const int statusTop = kClientHeight - MulDiv(status.bottom - status.top, kBaseDpi, LayoutDpi(window));
  const int buttonTop = statusTop - 6 - 25;

  // The tab control keeps just its rows of buttons; the pages lie below
  // them, down to the buttons of the dialog.
  RECT rows{0, 0, kClientWidth - 2 * kMargin, 400};
  TabCtrl_AdjustRect(f.PageControl1, FALSE, &rows);
  const int rowsHeight = rows.top;
  SetWindowPos(f.PageControl1, nullptr, kMargin, 8, kClientWidth - 2 * kMargin, rowsHeight, SWP_NOZORDER);
  const RECT tabs{kMargin, 8 + rowsHeight + 4, kClientWidth - kMargin, buttonTop - 6};
  for (size_t i = 0; i < f.pages.size(); ++i) f.pages[i] = CreatePage(window, tabs);
  const int pageWidth = tabs.right - tabs.left, pageHeight = tabs.bottom - tabs.top;
  f.general.Create(window, f.pages[0], pageWidth);
  f.appearance.Create(window, f.pages[1], pageWidth);
  f.panelsLook.Create(f.pages[2], pageWidth, pageHeight);
  f.panelsTab.Create(window, f.pages[3], c.font, pageHeight);

  // The icon shows; the text names the button for a screen reader.
  HWND help = AddControl(window, L"BUTTON", "Справка", BS_PUSHBUTTON | BS_ICON | WS_TABSTOP | WS_GROUP, kBitBtn1,
                         kMargin, buttonTop, 25, 25, c.font);
  f.helpIcon = LoadHelpGlyph(window);
  SendMessageW(help, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(f.helpIcon));
  constexpr int kButtonWidth = 88;
  HWND ok = AddControl(window, L"BUTTON", "Ok", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK,
                       kClientWidth - kMargin - 2 * kButtonWidth - 6, buttonTop, kButtonWidth, 25, c.font);
  HWND cancel = AddControl(window, L"BUTTON", "Отмена", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL,
                           kClientWidth - kMargin - kButtonWidth, buttonTop, kButtonWidth, 25, c.font);
  AddHint(help, L"Справка");
  AddHint(ok, L"Закрыть окно и сохранить изменения");
  AddHint(cancel, L"Закрыть окно и отменить изменения");
  // Last in the z-order, the status bar stays out of the way of the Tab key.
  SetWindowPos(f.StatusBar1, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Fills the controls from the settings, page by page in a fixed order:
// boxes that change run their handlers, as a click would, and these act on
// the panels window and the tray clock in this order. The embedding box is
// set while LoadingControls keeps it from opening the placement dialog.
void FormCreate(HWND window) {
  SettingsForm& f = *g_form;
  const ProgramSettings& s = App().settings;
  f.session.Open();
  f.context.LoadingControls = true;
  CreateControls(window);
  if (UpdateCheckRunning()) f.general.CheckNowAllowed(false);
  f.checkStatus.UpdateStatusChanged(App().CheckStatusText);
  ListenToUpdateCheck(&f.checkStatus);

  f.appearance.FillOpacity(s);
  TabCtrl_SetCurSel(f.PageControl1, 0);
  TabCtrl_SetCurFocus(f.PageControl1, 0);
  ShowPage(0);
  f.general.Fill(s);
  f.appearance.FillOkChoices(s);
  f.context.LoadingControls = false;
  f.session.ControlsFilled();

  f.appearance.FillFormats(s);
  f.panelsLook.Fill(s);
  f.panelsTab.Fill();
}

// --- Closing. ---

void CloseDialog() {
  SettingsForm& f = *g_form;
  f.closing = true;
  Guard("1.004 - 003.0", [&] { f.session.Close(); });
  DestroyWindow(f.window);
}

void ButtonOkClick() {
  bool done = false;
  Guard("1.004 - 001.0", [&] {
    SettingsChoices c;
    g_form->general.FillChoices(c);
    g_form->appearance.FillChoices(c);
    g_form->panelsLook.FillChoices(c);
    g_form->session.Ok(c);
    done = true;
  });
  if (done) CloseDialog();
}

void ButtonCancelClick() {
  bool done = false;
  Guard("1.004 - 002.0", [&] {
    g_form->session.Cancel();
    RequestClockRefresh();
    done = true;
  });
  if (done) CloseDialog();
}

void OnCommand(int id, int code) {
  SettingsForm& f = *g_form;
  if (f.panelsTab.OnCommand(id, code) || f.general.OnCommand(id, code) || f.appearance.OnCommand(id, code) ||
      f.panelsLook.OnCommand(id, code))
    return;
  switch (id) {
    case IDOK: ButtonOkClick(); return;
    case IDCANCEL: ButtonCancelClick(); return;
    case kBitBtn1: BitBtn1Click(); return;
  }
}

LRESULT OnNotify(const NMHDR& header) {
  if (header.hwndFrom == g_form->PageControl1) {
    HWND tabs = g_form->PageControl1;
    if (header.code == TCN_SELCHANGE) ShowPage(TabCtrl_GetCurSel(tabs));
    // The arrow keys move the focus between the tab buttons; the page
    // follows at once, as on ordinary tabs.
    if (header.code == TCN_FOCUSCHANGE) {
      const int focused = TabCtrl_GetCurFocus(tabs);
      if (focused >= 0 && focused != TabCtrl_GetCurSel(tabs)) {
        TabCtrl_SetCurSel(tabs, focused);
        ShowPage(focused);
      }
    }
    return 0;
  }
  g_form->panelsTab.OnNotify(header);
  return 0;
}

// The pages hand their controls' notifications to the dialog.
LRESULT CALLBACK PageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
      return SendMessageW(GetParent(page), msg, wParam, lParam);
  }
  return DefWindowProcW(page, msg, wParam, lParam);
}

LRESULT CALLBACK SettingsFormProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!g_form) return DefWindowProcW(window, msg, wParam, lParam);
  switch (msg) {
    case WM_CREATE:
      g_form->window = window;
      Guard("1.004 - 005.0", [window] { FormCreate(window); });
      return 0;
    case WM_COMMAND:
      if (!g_form->closing) OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_HSCROLL:
      g_form->appearance.OnScroll(reinterpret_cast<HWND>(lParam));
      return 0;
    case PanelsTab::kMsgSelectionChanged:
      g_form->panelsTab.OnSelectionChanged();
      return 0;
    case DM_GETDEFID:
      return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_ACTIVATE:
      // Like a dialog: the control that had the focus gets it back.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window, focus)) g_form->lastFocus = focus;
      } else {
        HWND focus = g_form->lastFocus;
        if (!focus || !IsWindow(focus) || !IsWindowVisible(focus) || !IsWindowEnabled(focus))
          focus = g_form->PageControl1;
        SetFocus(focus);
      }
      return 0;
    case WM_CLOSE:
      // Alt+F4 and the system's close request take the Cancel path.
      if (!g_form->closing) ButtonCancelClick();
      return 0;
    case WM_DESTROY:
      // Also reached when the program ends with the dialog open (neither
      // OK nor Cancel ran): a tray clock hidden only by the check box must
      // not stay hidden after the program.
      if (!g_form->closing)
        Guard("1.004 - 003.0", [] { g_form->effects.SetTrayClockHidden(App().settings.HideTrayClock, false); });
      ListenToUpdateCheck(nullptr);
      App().SettingsOpen = false;
      return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

void RegisterClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = SettingsFormProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kClassName;
  RegisterClassW(&wc);
  wc.lpfnWndProc = PageProc;
  wc.lpszClassName = kPageClassName;
  RegisterClassW(&wc);
}

}  // namespace

void RunSettingsDialog() {
  if (g_form) {
    SetForegroundWindow(g_form->window);
    return;
  }
  RegisterClasses();
  auto form = std::make_unique<SettingsForm>();
  g_form = form.get();
  const RECT r = CenteredWindowRect(kClientWidth, kClientHeight, kStyle, kExStyle);
  // Above a clock that stays on top of other windows, or it would hide the
  // dialog's middle.
  const DWORD exStyle = kExStyle | (App().settings.StayOnTop ? WS_EX_TOPMOST : 0);
  HWND window = CreateWindowExW(exStyle, kClassName, L"Horavex.KT - Настройки программы...", kStyle, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, App().mainWindow, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (!window) {
    g_form = nullptr;
    App().SettingsOpen = false;
    throw std::runtime_error("cannot create the settings dialog");
  }
  RunModal(window);
  // The panels may have been rebuilt meanwhile: their bevels follow the
  // settings again.
  Borders(true);
  DeleteObject(form->context.font);
  DeleteObject(form->context.boldFont);
  DeleteObject(form->context.previewFont);
  if (form->helpIcon) DestroyIcon(form->helpIcon);
  g_form = nullptr;
}

}  // namespace hx::ui
