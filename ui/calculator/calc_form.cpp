#include "ui/calculator/calc_form.h"

#include <commctrl.h>
#include <shellapi.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "calc/time_calc.h"
#include "ui/calculator/calc_controls.h"
#include "ui/main_window/app_state.h"
#include "ui/common/guard.h"
#include "ui/common/modal.h"
#include "ui/settings_dialog/zone_list.h"
#include "win32/system.h"
#include "win32/text.h"
#include "win32/zone_rules.h"

namespace hx::ui {
namespace {

constexpr wchar_t kClassName[] = L"TFormCalcTime";
// A tool window without title-bar buttons.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The panel list can change while the calculator is open; it is looked at
// this often, so that the panel-name lists and the result follow it.
constexpr UINT_PTR kTimerPanelList = 1;
constexpr UINT kPanelListCheckMs = 500;

// The calculator's controls and its state.
struct CalcForm : CalcControls {
  bool CalcReady = false;  // the controls are filled; until then nothing is computed
  bool created = false;
  std::vector<std::string> zones;       // what ComboBox1 and ComboBox2 list
  std::vector<ZoneChoice> zoneChoices;  // their catalogue keys, in the same order
  ZoneRuleCache zoneRules{App().registry};
  PanelList listedPanels;  // the panel list as ComboBox3 and ComboBox4 show it
  HWND lastFocus = nullptr;
};

std::string TextOf(HWND control) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return win::Narrow(text);
}

bool Checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

int Selection(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

// Only the chosen option of a group is a Tab stop; the arrow keys move
// between the options.
void KeepTabStopOnChoice(std::initializer_list<HWND> options) {
  for (HWND option : options) {
    const LONG_PTR style = GetWindowLongPtrW(option, GWL_STYLE);
    const LONG_PTR wanted = Checked(option) ? style | WS_TABSTOP : style & ~static_cast<LONG_PTR>(WS_TABSTOP);
    if (wanted != style) SetWindowLongPtrW(option, GWL_STYLE, wanted);
  }
}

// --- Filling and reading the controls. ---

// The panel-name lists follow the panel list. When it changed while the
// calculator was open (the panels window, built anew, read its file again)
// they are filled anew, and each keeps naming the panel it named, wherever
// that panel stands now; a panel that is gone gives way to the system-time
// panel. At first each shows its first entry.
void FillPanelNames(CalcForm& form) {
  const PanelList& panels = App().panels;
  if (form.CalcReady && panels == form.listedPanels) return;
  const std::vector<std::string> names = PanelEntryNames(panels);
  for (HWND combo : {form.ComboBox3, form.ComboBox4}) {
    const int chosen = form.CalcReady ? FollowPanelEntry(form.listedPanels, Selection(combo), panels)
                                      : names.empty() ? -1 : 0;
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    FillZoneList(combo, names);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
  }
  EnableWindow(form.RadioButton10, !names.empty());
  EnableWindow(form.RadioButton5, !names.empty());
  form.listedPanels = panels;
}

DateTime ChosenDate(HWND picker) {
  SYSTEMTIME st{};
  if (SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID) GetLocalTime(&st);
  return DateTime{st.wYear, st.wMonth, st.wDay, 0, 0, 0, 0, st.wDayOfWeek};
}

CalcSide SideOf(HWND panelOption, HWND panelList, HWND zoneOption, HWND zoneList) {
  if (Checked(panelOption)) return {CalcZoneKind::Panel, Selection(panelList)};
  if (Checked(zoneOption)) return {CalcZoneKind::Standard, Selection(zoneList)};
  return {CalcZoneKind::Local, -1};
}

void Recalculate(CalcForm& form) {
  Guard(kCodeCalcRecalculate, [&] {
    if (!form.CalcReady) return;
    const AppState& app = App();
    FillPanelNames(form);
    const CalcInput input{TextOf(form.LabeledEdit1), TextOf(form.LabeledEdit2), ChosenDate(form.DateEdit1),
                          SideOf(form.RadioButton10, form.ComboBox3, form.RadioButton4, form.ComboBox1),
                          SideOf(form.RadioButton5, form.ComboBox4, form.RadioButton8, form.ComboBox2)};
    const win::SystemZoneRules rules;
    CalcContext context{app.panels, form.zones, rules, app.localZone, app.settings.PmAmFormat,
                        app.settings.FormatDate, app.locale};
    context.zoneChoices = &form.zoneChoices;
    context.zoneRules = [&form](const std::string& key) { return form.zoneRules.Find(key); };
    const std::string result = hx::Recalculate(input, context);
    if (TextOf(form.Edit1) != result) SetWindowTextW(form.Edit1, win::Widen(result).c_str());
  });
}

// The lists of a side are usable only while their option is chosen.
void ShowSourceChoice(CalcForm& form) {
  EnableWindow(form.ComboBox3, Checked(form.RadioButton10));
  EnableWindow(form.ComboBox1, Checked(form.RadioButton4));
  KeepTabStopOnChoice({form.RadioButton9, form.RadioButton10, form.RadioButton4});
}

void ShowTargetChoice(CalcForm& form) {
  EnableWindow(form.ComboBox4, Checked(form.RadioButton5));
  EnableWindow(form.ComboBox2, Checked(form.RadioButton8));
  KeepTabStopOnChoice({form.RadioButton3, form.RadioButton5, form.RadioButton8});
}

void FormCreate(HWND window, CalcForm& form) {
  const AppState& app = App();
  form.CalcReady = false;
  CreateCalcControls(window, form);

  // The zone lists, each showing the local zone.
  form.zones = ListZonesInUserOrder();
  form.zoneChoices = DescribeZones(App().registry, form.zones, win::LocalNow().year);
  const int local = ZoneListIndexOf(form.zones, app.localZone.LocalZoneName);
  for (HWND combo : {form.ComboBox1, form.ComboBox2}) {
    FillZoneList(combo, form.zones);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(local), 0);
  }
  FillPanelNames(form);
  ShowSourceChoice(form);
  ShowTargetChoice(form);

  SendMessageW(form.LabeledEdit1, EM_SETSEL, 0, -1);
  form.lastFocus = form.LabeledEdit1;
  form.created = true;
  form.CalcReady = true;
  SetTimer(window, kTimerPanelList, kPanelListCheckMs, nullptr);
  Recalculate(form);
}

// --- Handlers. ---

void BitBtn1Click() {
  const std::wstring page = App().folder.wstring() + L"\\Help\\index.htm";
  ShellExecuteW(nullptr, nullptr, page.c_str(), nullptr, nullptr, SW_SHOW);
}

void RadioButtonClick(CalcForm& form, int id) {
  const bool source = id == kRadioButton9 || id == kRadioButton10 || id == kRadioButton4;
  if (source) {
    ShowSourceChoice(form);
  } else {
    ShowTargetChoice(form);
  }
  Recalculate(form);
}

const char* RadioButtonCode(int id) {
  switch (id) {
    case kRadioButton9: return kCodeCalcRadioButton9;
    case kRadioButton10: return kCodeCalcRadioButton10;
    case kRadioButton4: return kCodeCalcRadioButton4;
    case kRadioButton3: return kCodeCalcRadioButton3;
    case kRadioButton5: return kCodeCalcRadioButton5;
    default: return kCodeCalcRadioButton8;
  }
}

void OnCommand(HWND window, CalcForm& form, int id, int code) {
  switch (id) {
    case kLabeledEdit1:
    case kLabeledEdit2:
      if (code == EN_CHANGE) Guard(kCodeCalcInputChange, [&] { Recalculate(form); });
      return;
    case kComboBox1:
    case kComboBox2:
    case kComboBox3:
    case kComboBox4:
      if (code == CBN_SELCHANGE) Guard(kCodeCalcInputChange, [&] { Recalculate(form); });
      return;
    case kRadioButton9:
    case kRadioButton10:
    case kRadioButton4:
    case kRadioButton3:
    case kRadioButton5:
    case kRadioButton8:
      if (code == BN_CLICKED) Guard(RadioButtonCode(id), [&] { RadioButtonClick(form, id); });
      return;
    case kBitBtn1:
      if (code == BN_CLICKED) Guard(kCodeCalcHelp, [] { BitBtn1Click(); });
      return;
    case IDOK:
    case IDCANCEL:  // Escape
      if (code == BN_CLICKED) Guard(kCodeCalcButtonOk, [&] { DestroyWindow(window); });
      return;
  }
}

LRESULT CALLBACK CalcFormProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  CalcForm* form = FormOfWindow<CalcForm>(window, msg, lParam);
  switch (msg) {
    case WM_CREATE:
      Guard(kCodeCalcFormCreate, [&] { FormCreate(window, *form); });
      return form->created ? 0 : -1;  // no half-built calculator
    case WM_COMMAND:
      if (form && form->created) OnCommand(window, *form, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (form && form->created && header->idFrom == kDateEdit1 && header->code == DTN_DATETIMECHANGE)
        Guard(kCodeCalcInputChange, [&] { Recalculate(*form); });
      return 0;
    }
    case WM_TIMER:
      if (form && form->created && wParam == kTimerPanelList && App().panels != form->listedPanels)
        Recalculate(*form);
      return 0;
    case WM_CTLCOLORSTATIC: {
      HBRUSH brush = form ? CalcStaticColours(*form, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))
                          : nullptr;
      if (brush) return reinterpret_cast<LRESULT>(brush);
      break;
    }
    case DM_GETDEFID:
      return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_ACTIVATE:
      // The focus leaves with the window and comes back to the same control.
      if (!form) break;
      KeepFocusAcrossActivation(window, wParam, form->lastFocus);
      return 0;
    case WM_CLOSE:  // Alt+F4
      if (form) OnCommand(window, *form, IDCANCEL, BN_CLICKED);
      return 0;
    case WM_DESTROY:
      if (form)
        Guard(kCodeCalcClose, [&] {
          form->CalcReady = false;
          KillTimer(window, kTimerPanelList);
          FreeCalcControls(*form);
        });
      return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

void RegisterCalcFormClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSW wc{};
  wc.lpfnWndProc = CalcFormProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kClassName;
  if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw std::runtime_error("cannot register the time calculator's class");
  registered = true;
}

}  // namespace

void RunTimeCalculator(HWND owner) {
  // The date field is the common controls' date picker.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_DATE_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  RegisterCalcFormClass();
  CalcForm form;
  const SIZE client = CalcClientSize();
  const RECT r = CenteredWindowRect(client.cx, client.cy, kStyle, kExStyle);
  HWND window = CreateWindowExW(kExStyle, kClassName, L"Калькулятор времени...", kStyle, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, owner ? owner : App().mainWindow, nullptr,
                                GetModuleHandleW(nullptr), &form);
  if (!window) return;  // creation failed and was reported
  RunModal(window);
}

}  // namespace hx::ui
