#include "ui/settings_dialog/settings_form.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <memory>
#include <utility>

#include "base/files.h"
#include "core/program_paths.h"
#include "core/taskbar_clock.h"
#include "core/time_format.h"
#include "panels/panel_layout.h"
#include "settings/settings_dialog.h"
#include "ui/main_window/app_state.h"
#include "ui/panels_window/clocks_form.h"
#include "ui/common/guard.h"
#include "ui/main_window/program_settings.h"
#include "ui/main_window/update_checks.h"
#include "ui/common/modal.h"
#include "ui/panels_window/panel_control.h"
#include "ui/settings_dialog/settings_panels_tab.h"
#include "ui/settings_dialog/wpanel_form.h"
#include "win32/shell_windows.h"
#include "win32/system.h"
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
  kPageControl = 100,
  kStatusBar1,
  kBitBtn1,
  // "Основные настройки"
  kComboBox1 = 110,
  kCheckBoxACNV,
  kComboBoxACNV,
  kButtonACNV,
  // "Внешний вид"
  kCheckBox2 = 120,
  kCheckBox1,
  kCheckBox4,
  kCheckBox5,
  kCheckBox3,
  kComboBox2,
  kLabeledEdit1,
  kCheckBox10,
  kTrackBar4,
  kLabelAS,
  // "Внешний вид панелей"
  kCheckBox9 = 140,
  kCheckBox11,
  kCheckBox12,
};

const std::array<const char*, kPageCount> kTabCaptions = {"Основные настройки", "Внешний вид", "Внешний вид панелей",
                                                          "Добавление часовых панелей"};
const std::array<const char*, 8> kDateFormatItems = {" dd.MM.yy",   " dd-MM-yy", " dd.MM.yyyy", " dd-MM-yyyy",
                                                     " d.M.yy",     " d-M-yy ",  " yyyy.MM.dd", " yyyy-MM-dd"};
const std::array<const char*, 7> kIntervalItems = {"1", "3", "5", "10", "15", "20", "30"};

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
  ScreenSize Screen() override { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }
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
  HWND window = nullptr;
  HWND PageControl1 = nullptr;
  std::array<HWND, kPageCount> pages{};
  HWND StatusBar1 = nullptr;
  HWND tooltip = nullptr;
  HWND previewFrame = nullptr, previewHeader = nullptr, previewTime = nullptr;
  HWND lastFocus = nullptr;
  HFONT font = nullptr;
  HFONT boldFont = nullptr;
  HFONT previewFont = nullptr;
  bool LoadingControls = false;
  bool closing = false;
  PanelsTab panelsTab;
};

SettingsForm* g_form = nullptr;

HWND SettingsDialogWindow() { return g_form ? g_form->window : nullptr; }

int PointsToPixels(int points) {
  HDC screen = GetDC(nullptr);
  const int pixels = MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return pixels;
}

HWND Control(int id) {
  if (!g_form) return nullptr;
  for (HWND page : g_form->pages)
    if (HWND c = GetDlgItem(page, id)) return c;
  return GetDlgItem(g_form->window, id);
}

bool Checked(int id) { return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

int ComboIndex(int id) { return static_cast<int>(SendMessageW(Control(id), CB_GETCURSEL, 0, 0)); }

void SetComboIndex(int id, int index) { SendMessageW(Control(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void SetText(int id, const std::string& text) { SetWindowTextW(Control(id), win::Widen(text).c_str()); }

HWND AddControl(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int id, int x, int y, int w,
                int h, HFONT font, DWORD exStyle = 0) {
  HWND c = CreateWindowExW(exStyle, cls, win::Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

HWND AddCheckBox(HWND page, const std::string& text, int id, int x, int y, int w, bool checked, bool group = false) {
  HWND c = AddControl(page, L"BUTTON", text, BS_AUTOCHECKBOX | WS_TABSTOP | (group ? WS_GROUP : 0), id, x, y, w, 17,
                      g_form->font);
  SendMessageW(c, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  return c;
}

HWND AddLabel(HWND page, const std::string& text, int x, int y, int w, DWORD style = SS_LEFT, int id = -1) {
  return AddControl(page, L"STATIC", text, style, id, x, y, w, 13, g_form->font);
}

HWND AddDropDown(HWND page, int id, int x, int y, int w, int rows, const char* const* items, size_t count) {
  HWND c = AddControl(page, L"COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, id, x, y, w,
                      200, g_form->font);
  for (size_t i = 0; i < count; ++i)
    SendMessageW(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win::Widen(items[i]).c_str()));
  // The list drops down with room for `rows` items, or for all of them
  // when they are fewer.
  RECT r{};
  GetWindowRect(c, &r);
  const int itemHeight = static_cast<int>(SendMessageW(c, CB_GETITEMHEIGHT, 0, 0));
  const int shown = std::min(rows, static_cast<int>(count));
  SetWindowPos(c, nullptr, 0, 0, w, (r.bottom - r.top) + itemHeight * shown + 2, SWP_NOMOVE | SWP_NOZORDER);
  return c;
}

HWND AddGroupBox(HWND page, const std::string& text, int x, int y, int w, int h) {
  return AddControl(page, L"BUTTON", text, BS_GROUPBOX, -1, x, y, w, h, g_form->font);
}

void AddHint(HWND control, const wchar_t* text) {
  TOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = g_form->window;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = const_cast<wchar_t*>(text);
  SendMessageW(g_form->tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

std::string DateSample() {
  return " " + DateFormat(App().settings.FormatDate, win::LocalNow(), App().locale);
}

// --- Handlers that act at once. ---

void TrackBar4Change() {
  Guard("1.004 - 006.0", [] {
    const int position = static_cast<int>(SendMessageW(Control(kTrackBar4), TBM_GETPOS, 0, 0));
    if (g_form->session.SetAlphaPosition(position)) SetText(kLabelAS, std::to_string(position));
  });
}

void CheckBox10Click() {
  Guard("1.004 - 007.0", [] {
    const bool on = Checked(kCheckBox10);
    g_form->session.SetAlphaUsed(on);
    EnableWindow(Control(kTrackBar4), on);
  });
}

void CheckStatusDisplay::UpdateStatusChanged(const std::string& text) {
  if (!g_form || !g_form->StatusBar1) return;
  SendMessageW(g_form->StatusBar1, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(win::Widen(text).c_str()));
}

void CheckStatusDisplay::CheckNowAllowed(bool allowed) { EnableWindow(Control(kButtonACNV), allowed); }

void ComboBox1Change() {
  Guard("1.004 - 008.0", [] { g_form->session.SetAutoLaunch(ComboIndex(kComboBox1)); });
}

void CheckBoxACNVClick() {
  Guard("1.004 - 010.0", [] { EnableWindow(Control(kComboBoxACNV), Checked(kCheckBoxACNV)); });
}

// "Проверить сейчас": forgets the last check, so the schedule lets a new one
// run at once.
void ButtonACNVClick() {
  Guard("1.004 - 011.0", [] {
    const Path resource = paths::ResourceFolder(App().folder);
    files::Remove(resource / "LastCheck.ini");
    files::Remove(resource / "CheckTrue");
    ResetUpdateCheck();
    HWND button = Control(kButtonACNV);
    if (GetFocus() == button) SendMessageW(g_form->window, WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(button, FALSE);
    StartUpdateCheck();
  });
}

void BitBtn1Click() {
  Guard("1.004 - 012.0", [] {
    ShellExecuteW(g_form->window, nullptr, paths::HelpPage(App().folder).wstring().c_str(), nullptr, nullptr, SW_SHOW);
  });
}

// Only the screen changes; the setting follows on OK.
void CheckBox2Click() {
  Guard("1.004 - 013.0", [] { g_form->effects.SetTrayClockHidden(Checked(kCheckBox2), true); });
}

void SetCheckFromProgram(int id, bool on);

// Ticking "Встроить в панель Windows" asks for the Windows panel; cancelling
// that unticks the box.
void CheckBox5Click() {
  Guard("1.004 - 014.0", [] {
    if (g_form->LoadingControls || !Checked(kCheckBox5)) return;
    const bool accepted = RunWPanelDialog(g_form->window);
    SetCheckFromProgram(kCheckBox5, accepted);
  });
}

void CheckBox1Click() {
  Guard("1.004 - 015.0", [] { g_form->session.SetVertical(Checked(kCheckBox1)); });
}

void CheckBox3Click() {
  Guard("1.004 - 016.0", [] {
    g_form->session.SetPmAmFormat(Checked(kCheckBox3));
    RequestClockRefresh();
  });
}

void ComboBox2Change() {
  Guard("1.004 - 017.0", [] {
    g_form->session.SetFormatDate(ComboIndex(kComboBox2));
    RequestClockRefresh();
    SetText(kLabeledEdit1, DateSample());
  });
}

void CheckBox9Click() {
  Guard("1.004 - 029.0", [] { SetPanelBevels(g_form->previewFrame, FrameBevels(Checked(kCheckBox9))); });
}

void CheckBox11Click() {
  Guard("1.004 - 030.0", [] { SetPanelBevels(g_form->previewHeader, LineBevels(Checked(kCheckBox11))); });
}

void CheckBox12Click() {
  Guard("1.004 - 031.0", [] { SetPanelBevels(g_form->previewTime, LineBevels(Checked(kCheckBox12))); });
}

void RunCheckBoxHandler(int id) {
  switch (id) {
    case kCheckBoxACNV: CheckBoxACNVClick(); break;
    case kCheckBox2: CheckBox2Click(); break;
    case kCheckBox1: CheckBox1Click(); break;
    case kCheckBox5: CheckBox5Click(); break;
    case kCheckBox3: CheckBox3Click(); break;
    case kCheckBox10: CheckBox10Click(); break;
    case kCheckBox9: CheckBox9Click(); break;
    case kCheckBox11: CheckBox11Click(); break;
    case kCheckBox12: CheckBox12Click(); break;
    default: break;
  }
}

// A box set by the program acts as if the user had clicked it, when its
// state changes.
void SetCheckFromProgram(int id, bool on) {
  if (Checked(id) == on) return;
  SendMessageW(Control(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
  RunCheckBoxHandler(id);
}

// --- Building the dialog. ---

HWND CreatePage(HWND window, const RECT& area) {
  return CreateWindowExW(WS_EX_CONTROLPARENT, kPageClassName, L"", WS_CHILD | WS_CLIPSIBLINGS, area.left, area.top,
                         area.right - area.left, area.bottom - area.top, window, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
}

// The width of `text` in the dialog's font.
int TextWidth(const std::string& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, g_form->font);
  const std::wstring wide = win::Widen(text);
  SIZE size{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

// Page layout: controls start at kInset from the page's left edge and end
// kInset before its right edge; group boxes hold theirs kGroupInset in. The
// pages, the tab buttons and the dialog's buttons share the margin kMargin.
constexpr int kInset = 0;
constexpr int kGroupInset = 12;
constexpr int kComboHeight = 21;
constexpr int kRowStep = 22;  // between check boxes

void CreateGeneralPage(HWND page, int width) {
  const int groupWidth = width - 2 * kInset;
  const int x = kInset + kGroupInset;
  AddGroupBox(page, " Автозагрузка при старте:", kInset, 2, groupWidth, 52);
  AddDropDown(page, kComboBox1, x, 22, 240, 3, std::array{"Нет", "Для всех пользователей", "Только для меня"}.data(),
              3);

  AddGroupBox(page, " Проверка наличия обновлений", kInset, 62, groupWidth, 84);
  AddCheckBox(page, "Проверять наличие новой версии при запуске программы", kCheckBoxACNV, x, 82,
              groupWidth - 2 * kGroupInset, true, true);
  const std::string interval = "Минимальный интервал (в сутках):";
  const int labelWidth = TextWidth(interval) + 4;
  AddLabel(page, interval, x, 114, labelWidth);
  AddDropDown(page, kComboBoxACNV, x + labelWidth + 4, 110, 56, 7, kIntervalItems.data(), kIntervalItems.size());
  const int buttonWidth = 150;
  AddControl(page, L"BUTTON", "Проверить сейчас", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, kButtonACNV,
             kInset + groupWidth - kGroupInset - buttonWidth, 108, buttonWidth, 25, g_form->boldFont);
}

// A check box is as wide as its box and text.
int CheckBoxWidth(const std::string& text) { return GetSystemMetrics(SM_CXMENUCHECK) + 6 + TextWidth(text) + 4; }

void CreateAppearancePage(HWND page, int width) {
  AddCheckBox(page, "Скрывать стандартные часы в системном трее, если запущена Horavex.KT", kCheckBox2, kInset + 2,
              4, width - 2 * kInset, false, true);
  const std::array<std::pair<const char*, int>, 4> boxes = {
      std::pair{"Вертикальное раcположение", kCheckBox1}, std::pair{"Запретить выход за границы экрана", kCheckBox4},
      std::pair{"Встроить в панель Windows", kCheckBox5}, std::pair{"PM/AM формат времени", kCheckBox3}};
  int columnWidth = 0;
  for (const auto& box : boxes) columnWidth = std::max(columnWidth, CheckBoxWidth(box.first));
  int y = 30;
  for (const auto& [text, id] : boxes) {
    AddCheckBox(page, text, id, kInset + 2, y, columnWidth, false);
    y += kRowStep;
  }
  columnWidth = std::max(columnWidth + 12, 232);

  const int groupLeft = kInset + columnWidth, groupWidth = width - kInset - groupLeft;
  const int x = groupLeft + kGroupInset, inner = groupWidth - 2 * kGroupInset;
  AddGroupBox(page, " Формат дат", groupLeft, 26, groupWidth, 52);
  const std::string sample = " Образец";
  const int sampleWidth = TextWidth(sample) + 2;
  // The list is as wide as its longest format, the sample takes the rest.
  int formatWidth = 0;
  for (const char* item : kDateFormatItems) formatWidth = std::max(formatWidth, TextWidth(item));
  const int comboWidth = formatWidth + GetSystemMetrics(SM_CXVSCROLL) + 12;
  AddDropDown(page, kComboBox2, x, 46, comboWidth, 30, kDateFormatItems.data(), kDateFormatItems.size());
  AddControl(page, L"EDIT", "", ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, kLabeledEdit1,
             x + comboWidth + 6, 46, inner - sampleWidth - comboWidth - 8, kComboHeight, g_form->font,
             WS_EX_CLIENTEDGE);
  AddLabel(page, sample, x + inner - sampleWidth, 50, sampleWidth);

  AddGroupBox(page, " Прозрачность", groupLeft, 84, groupWidth, 70);
  AddCheckBox(page, "Испо&льзовать прозрачность", kCheckBox10, x, 102, inner, true, true);
  const std::string opacity = "Непрозрачность:";
  const int opacityWidth = TextWidth(opacity) + 2, valueWidth = TextWidth("255") + 4;
  AddLabel(page, opacity, x, 130, opacityWidth);
  AddLabel(page, "255", x + inner - valueWidth, 130, valueWidth, SS_RIGHT, kLabelAS);
  HWND track = AddControl(page, TRACKBAR_CLASSW, "", TBS_HORZ | TBS_TOP | TBS_AUTOTICKS | WS_TABSTOP | WS_GROUP,
                          kTrackBar4, x + opacityWidth, 117, inner - opacityWidth - valueWidth, 28, g_form->font);
  SendMessageW(track, TBM_SETRANGE, FALSE, MAKELPARAM(100, 255));
  SendMessageW(track, TBM_SETTICFREQ, 10, 0);
  SendMessageW(track, TBM_SETLINESIZE, 0, 10);
  SendMessageW(track, TBM_SETPAGESIZE, 0, 50);
  SendMessageW(track, TBM_SETPOS, TRUE, 255);
}

void CreatePanelsLookPage(HWND page, int width, int height) {
  const int columnWidth = 250;
  int y = 8;
  for (const auto& [text, id] : {std::pair{"Рамка - вогнутая", kCheckBox9},
                                 std::pair{"Панель заголовока - вогнутая", kCheckBox11},
                                 std::pair{"Панель времени - вогнутая", kCheckBox12}}) {
    AddCheckBox(page, text, id, kInset + 2, y, columnWidth - 8, true, y == 8);
    y += kRowStep;
  }

  const int groupLeft = kInset + columnWidth, groupWidth = width - kInset - groupLeft;
  const int groupHeight = height - 4;
  AddGroupBox(page, " Предпросмотр", groupLeft, 2, groupWidth, groupHeight);
  const int left = groupLeft + (groupWidth - kPanelWidth) / 2, top = 2 + (groupHeight - kPanelHeight) / 2 + 4;
  const PanelLook frame{GetSysColor(COLOR_BTNFACE), 0, nullptr, FrameBevels(true)};
  g_form->previewFrame = CreatePanelControl(page, {left, top, kPanelWidth, kPanelHeight}, frame, L"");
  const PanelLook line{RGB(255, 255, 255), RGB(0, 0, 0), g_form->previewFont, LineBevels(true)};
  g_form->previewHeader = CreatePanelControl(g_form->previewFrame, kCaptionLineRect, line, L"Время");
  g_form->previewTime = CreatePanelControl(g_form->previewFrame, kValueLineRect, line, L"00 : 00");
  // A picture only: the mouse goes to the page, not to the panels' own
  // handler, which drags the clock.
  EnableWindow(g_form->previewFrame, FALSE);
}

void ShowPage(int index) {
  for (int i = 0; i < kPageCount; ++i)
    ShowWindow(g_form->pages[static_cast<size_t>(i)], i == index ? SW_SHOW : SW_HIDE);
}

void CreateControls(HWND window) {
  SettingsForm& f = *g_form;
  f.font = CreateTahoma(PointsToPixels(8));
  f.boldFont = CreateTahoma(PointsToPixels(8), FW_BOLD);
  f.previewFont = CreateTahoma(PointsToPixels(10));
  f.tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                              GetModuleHandleW(nullptr), nullptr);

  // Tab order follows creation: the tabs, the pages, help, OK, Cancel.
  f.PageControl1 =
      AddControl(window, WC_TABCONTROLW, "", TCS_BUTTONS | TCS_MULTILINE | WS_CLIPSIBLINGS | WS_TABSTOP | WS_GROUP,
                 kPageControl, kMargin, 8, kClientWidth - 2 * kMargin, 200, f.font);
  for (size_t i = 0; i < kTabCaptions.size(); ++i) {
    std::wstring caption = win::Widen(kTabCaptions[i]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(f.PageControl1, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }

  f.StatusBar1 = AddControl(window, STATUSCLASSNAMEW, "", 0, kStatusBar1, 0, 0, 0, 0, f.font);
  int statusParts[] = {-1};
  SendMessageW(f.StatusBar1, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(statusParts));
  RECT status{};
  GetWindowRect(f.StatusBar1, &status);
  const int statusTop = kClientHeight - (status.bottom - status.top);
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
  CreateGeneralPage(f.pages[0], pageWidth);
  CreateAppearancePage(f.pages[1], pageWidth);
  CreatePanelsLookPage(f.pages[2], pageWidth, pageHeight);
  f.panelsTab.Create(window, f.pages[3], f.font, pageHeight);

  HWND help = AddControl(window, L"BUTTON", "", BS_PUSHBUTTON | BS_ICON | WS_TABSTOP | WS_GROUP, kBitBtn1, kMargin,
                         buttonTop, 25, 25, f.font);
  SendMessageW(help, BM_SETIMAGE, IMAGE_ICON,
               reinterpret_cast<LPARAM>(LoadImageW(nullptr, MAKEINTRESOURCEW(32514), IMAGE_ICON, 16, 16, LR_SHARED)));
  constexpr int kButtonWidth = 88;
  HWND ok = AddControl(window, L"BUTTON", "Ok", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK,
                       kClientWidth - kMargin - 2 * kButtonWidth - 6, buttonTop, kButtonWidth, 25, f.font);
  HWND cancel = AddControl(window, L"BUTTON", "Отмена", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL,
                           kClientWidth - kMargin - kButtonWidth, buttonTop, kButtonWidth, 25, f.font);
  AddHint(help, L"Справка");
  AddHint(ok, L"Закрыть окно и сохранить изменения");
  AddHint(cancel, L"Закрыть окно и отменить изменения");
  // Last in the z-order, the status bar stays out of the way of the Tab key.
  SetWindowPos(f.StatusBar1, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Fills the controls from the settings. Boxes that change run their
// handlers, as a click would.
void FormCreate(HWND window) {
  SettingsForm& f = *g_form;
  const ProgramSettings& s = App().settings;
  f.session.Open();
  f.LoadingControls = true;
  CreateControls(window);
  if (UpdateCheckRunning()) EnableWindow(Control(kButtonACNV), FALSE);
  f.checkStatus.UpdateStatusChanged(App().CheckStatusText);
  ListenToUpdateCheck(&f.checkStatus);

  if (s.AlphaUsed == 0) SetCheckFromProgram(kCheckBox10, false);
  SendMessageW(Control(kTrackBar4), TBM_SETPOS, TRUE, s.AlphaSet);
  SetText(kLabelAS, std::to_string(s.AlphaSet));

  SetComboIndex(kComboBox1, s.AutoLaunch);
  TabCtrl_SetCurSel(f.PageControl1, 0);
  TabCtrl_SetCurFocus(f.PageControl1, 0);
  ShowPage(0);

  EnableWindow(Control(kComboBoxACNV), s.AUCheckEnabled);
  SetCheckFromProgram(kCheckBoxACNV, s.AUCheckEnabled);
  SetComboIndex(kComboBoxACNV, s.IntervalAUCheck);

  SetCheckFromProgram(kCheckBox2, s.HideTrayClock);
  SetCheckFromProgram(kCheckBox4, s.BorderScreen);
  SetCheckFromProgram(kCheckBox5, s.includeOnWPanel);
  f.LoadingControls = false;
  f.session.ControlsFilled();

  SetCheckFromProgram(kCheckBox1, s.Vertical);
  SetCheckFromProgram(kCheckBox3, s.PmAmFormat);
  SetComboIndex(kComboBox2, s.FormatDate);
  SetText(kLabeledEdit1, DateSample());

  SetCheckFromProgram(kCheckBox9, s.BorderA);
  SetCheckFromProgram(kCheckBox11, s.BorderC);
  SetCheckFromProgram(kCheckBox12, s.BorderT);

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
    c.AUCheckEnabled = IsWindowEnabled(Control(kComboBoxACNV)) != FALSE;
    c.IntervalAUCheck = ComboIndex(kComboBoxACNV);
    c.HideTrayClock = Checked(kCheckBox2);
    c.BorderScreen = Checked(kCheckBox4);
    c.BorderA = Checked(kCheckBox9);
    c.BorderC = Checked(kCheckBox11);
    c.BorderT = Checked(kCheckBox12);
    c.includeOnWPanel = Checked(kCheckBox5);
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
  if (g_form->panelsTab.OnCommand(id, code)) return;
  switch (id) {
    case IDOK: ButtonOkClick(); return;
    case IDCANCEL: ButtonCancelClick(); return;
    case kBitBtn1: BitBtn1Click(); return;
    case kButtonACNV: ButtonACNVClick(); return;
    case kComboBox1:
      if (code == CBN_SELCHANGE) ComboBox1Change();
      return;
    case kComboBox2:
      if (code == CBN_SELCHANGE) ComboBox2Change();
      return;
    default:
      if (code == BN_CLICKED) RunCheckBoxHandler(id);
      return;
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
      if (reinterpret_cast<HWND>(lParam) == Control(kTrackBar4)) TrackBar4Change();
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
  DeleteObject(form->font);
  DeleteObject(form->boldFont);
  DeleteObject(form->previewFont);
  g_form = nullptr;
}

}  // namespace hx::ui
