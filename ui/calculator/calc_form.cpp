#include "ui/calculator/calc_form.h"

#include <commctrl.h>
#include <shellapi.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "calc/time_calc.h"
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

enum ControlId {
  kLabeledEdit1 = 101,
  kLabeledEdit2,
  kDateEdit1,
  kRadioButton9,
  kRadioButton10,
  kRadioButton4,
  kComboBox3,
  kComboBox1,
  kRadioButton3,
  kRadioButton5,
  kRadioButton8,
  kComboBox4,
  kComboBox2,
  kEdit1,
  kBitBtn1,
  kHeading,  // the three heading bars
  kLabel,
  kFrame,
};

// Layout, in client pixels: three frames, each with its heading bar, one
// over the other, and the buttons below.
constexpr int kClientWidth = 400;
constexpr int kMargin = 8;
constexpr int kFrameWidth = kClientWidth - 2 * kMargin;
constexpr int kHeadingInset = 8;      // heading bar from the frame's sides
constexpr int kHeadingTop = 14;       // from the frame's top
constexpr int kHeadingHeight = 18;
constexpr int kContentTop = kHeadingTop + kHeadingHeight + 8;
constexpr int kInner = kMargin + 12;  // left edge of a frame's contents
constexpr int kInnerWidth = kClientWidth - 2 * kInner;
constexpr int kListIndent = 18;       // a list under its option
constexpr int kRowHeight = 21;
constexpr int kOptionHeight = 17;
constexpr int kFrameGap = 6;

constexpr int kSourceTop = 6;
constexpr int kTimeRow = kSourceTop + kContentTop;
constexpr int kSourceOptions = kTimeRow + kRowHeight + 9;
constexpr int kOptionsHeight = 2 * 20 + kRowHeight + 7 + 20 + kRowHeight;  // three options, two lists
constexpr int kSourceHeight = kSourceOptions + kOptionsHeight + 10 - kSourceTop;
constexpr int kTargetTop = kSourceTop + kSourceHeight + kFrameGap;
constexpr int kTargetOptions = kTargetTop + kContentTop;
constexpr int kTargetHeight = kContentTop + kOptionsHeight + 10;
constexpr int kResultTop = kTargetTop + kTargetHeight + kFrameGap;
constexpr int kResultHeight = kContentTop + kRowHeight + 10;
constexpr int kButtonsTop = kResultTop + kResultHeight + 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kClientHeight = kButtonsTop + kButtonHeight + kMargin;

// The panel list can change while the calculator is open; it is looked at
// this often, so that the panel-name lists and the result follow it.
constexpr UINT_PTR kTimerPanelList = 1;
constexpr UINT kPanelListCheckMs = 500;

// The heading bars wear the colour of the clock panels' captions.
constexpr COLORREF kHeadingColour = RGB(166, 202, 240);

struct CalcForm {
  bool CalcReady = false;  // the controls are filled; until then nothing is computed
  bool created = false;
  std::vector<std::string> zones;       // what ComboBox1 and ComboBox2 list
  std::vector<ZoneChoice> zoneChoices;  // their catalogue keys, in the same order
  ZoneRuleCache zoneRules{App().registry};
  PanelList listedPanels;  // the panel list as ComboBox3 and ComboBox4 show it
  HWND LabeledEdit1 = nullptr, LabeledEdit2 = nullptr, DateEdit1 = nullptr;
  HWND RadioButton9 = nullptr, RadioButton10 = nullptr, RadioButton4 = nullptr;
  HWND ComboBox3 = nullptr, ComboBox1 = nullptr;
  HWND RadioButton3 = nullptr, RadioButton5 = nullptr, RadioButton8 = nullptr;
  HWND ComboBox4 = nullptr, ComboBox2 = nullptr;
  HWND Edit1 = nullptr;
  HWND lastFocus = nullptr;
  HFONT font = nullptr;  // Tahoma 8 pt
  HFONT headingFont = nullptr;
  HBRUSH headingBrush = nullptr;
  HICON helpIcon = nullptr;
};

// The original window procedure of the time fields, which the key filter
// passes the keys it lets through.
WNDPROC g_editProc = nullptr;

int PointsToPixels(int points) {
  HDC screen = GetDC(nullptr);
  const int pixels = MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return pixels;
}

std::string TextOf(HWND control) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return win::Narrow(text);
}

HWND AddControl(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style, int id, int x, int y, int w,
                int h, HFONT font, DWORD exStyle = 0) {
  HWND c =
      CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, x, y, w, h, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (!c) throw std::runtime_error("cannot create a control of the time calculator");
  SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

void AddHint(HWND tooltip, HWND window, HWND control, const wchar_t* text) {
  TOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = window;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = const_cast<wchar_t*>(text);
  SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
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

// --- The key filter of the hour and minute fields. ---

LRESULT CALLBACK TimeEditProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_GETDLGCODE: {
      // Enter reaches the field instead of pressing the default button.
      LRESULT code = CallWindowProcW(g_editProc, edit, msg, wParam, lParam);
      const auto* key = reinterpret_cast<const MSG*>(lParam);
      if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_KEYDOWN:
      // The edit would hand Enter on to the default button; its character
      // moves the focus instead.
      if (wParam == VK_RETURN) return 0;
      break;
    case WM_CHAR: {
      bool pass = false;
      Guard(kCodeCalcKeyPress, [&] {
        switch (FilterTimeKey(static_cast<unsigned>(wParam))) {
          case TimeKeyAction::Edit:
            pass = true;
            break;
          case TimeKeyAction::NextControl: {
            // As Tab does: the next control, its text selected.
            HWND next = GetNextDlgTabItem(GetParent(edit), edit, FALSE);
            SetFocus(next);
            if (next && (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
              SendMessageW(next, EM_SETSEL, 0, -1);
            break;
          }
          case TimeKeyAction::Refuse:
            MessageBeep(MB_OK);
            break;
        }
      });
      if (!pass) return 0;
      break;
    }
  }
  return CallWindowProcW(g_editProc, edit, msg, wParam, lParam);
}

HWND AddTimeEdit(HWND window, int id, int x, HFONT font) {
  HWND edit = AddControl(window, L"EDIT", L"00", ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP, id, x, kTimeRow, 30,
                         kRowHeight, font, WS_EX_CLIENTEDGE);
  SendMessageW(edit, EM_LIMITTEXT, 2, 0);
  const auto previous =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TimeEditProc)));
  if (!g_editProc) g_editProc = previous;
  return edit;
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
  form.font = CreateTahoma(PointsToPixels(8));
  form.headingFont = CreateTahoma(PointsToPixels(8), FW_BOLD);
  form.headingBrush = CreateSolidBrush(kHeadingColour);
  HFONT font = form.font;

  // Creation order is the Tab order and the stacking order: the heading
  // bars and frames come last, beneath the controls they hold.
  AddControl(window, L"STATIC", L" Часы", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX | WS_GROUP, kLabel, kInner,
             kTimeRow, 34, kRowHeight, font);
  form.LabeledEdit1 = AddTimeEdit(window, kLabeledEdit1, kInner + 36, font);
  AddControl(window, L"STATIC", L" Минуты", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, kLabel, kInner + 78, kTimeRow, 48,
             kRowHeight, font);
  form.LabeledEdit2 = AddTimeEdit(window, kLabeledEdit2, kInner + 128, font);
  AddControl(window, L"STATIC", L" Дата", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, kLabel, kInner + 172, kTimeRow, 34,
             kRowHeight, font);
  form.DateEdit1 = AddControl(window, DATETIMEPICK_CLASSW, L"", DTS_SHORTDATEFORMAT | WS_TABSTOP, kDateEdit1,
                              kInner + 208, kTimeRow, 110, kRowHeight, font);
  SYSTEMTIME today{};
  GetLocalTime(&today);
  SendMessageW(form.DateEdit1, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&today));

  // One side's options, with each list under its option.
  struct Side {
    HWND *local, *panelOption, *panelList, *zoneOption, *zoneList;
    int localId, panelOptionId, panelListId, zoneOptionId, zoneListId;
  };
  const auto addSide = [&](const Side& s, int top) {
    const int width = kInnerWidth, listLeft = kInner + kListIndent, listWidth = kInnerWidth - kListIndent;
    *s.local = AddControl(window, L"BUTTON", L"Местное время (системное)",
                          BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, s.localId, kInner, top, width, kOptionHeight,
                          font);
    *s.panelOption = AddControl(window, L"BUTTON", L"Из заданных часовых поясов", BS_AUTORADIOBUTTON,
                                s.panelOptionId, kInner, top + 20, width, kOptionHeight, font);
    const int zoneOptionTop = top + 40 + kRowHeight + 7;
    *s.zoneOption = AddControl(window, L"BUTTON", L"Из стандартных часовых поясов", BS_AUTORADIOBUTTON,
                               s.zoneOptionId, kInner, zoneOptionTop, width, kOptionHeight, font);
    *s.panelList = AddControl(window, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                              s.panelListId, listLeft, top + 40, listWidth, 200, font);
    *s.zoneList = AddControl(window, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, s.zoneListId,
                             listLeft, zoneOptionTop + 20, listWidth, 200, font);
    SendMessageW(*s.local, BM_SETCHECK, BST_CHECKED, 0);
  };
  addSide({&form.RadioButton9, &form.RadioButton10, &form.ComboBox3, &form.RadioButton4, &form.ComboBox1,
           kRadioButton9, kRadioButton10, kComboBox3, kRadioButton4, kComboBox1},
          kSourceOptions);
  addSide({&form.RadioButton3, &form.RadioButton5, &form.ComboBox4, &form.RadioButton8, &form.ComboBox2,
           kRadioButton3, kRadioButton5, kComboBox4, kRadioButton8, kComboBox2},
          kTargetOptions);

  form.Edit1 = AddControl(window, L"EDIT", L"", ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, kEdit1, kInner,
                          kResultTop + kContentTop, kInnerWidth, kRowHeight, font, WS_EX_CLIENTEDGE);

  HWND help = AddControl(window, L"BUTTON", L"", BS_PUSHBUTTON | BS_ICON | WS_TABSTOP | WS_GROUP, kBitBtn1, kMargin,
                         kButtonsTop, kButtonHeight + 2, kButtonHeight, font);
  form.helpIcon = static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(32514), IMAGE_ICON, 16, 16, 0));
  if (form.helpIcon) SendMessageW(help, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(form.helpIcon));
  AddControl(window, L"BUTTON", L"Закрыть", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK,
             kClientWidth - kMargin - kButtonWidth, kButtonsTop, kButtonWidth, kButtonHeight, font);

  const auto addFrame = [&](const wchar_t* heading, int top, int height) {
    AddControl(window, L"STATIC", heading, SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX | SS_SUNKEN, kHeading,
               kMargin + kHeadingInset, top + kHeadingTop, kFrameWidth - 2 * kHeadingInset, kHeadingHeight,
               form.headingFont);
    AddControl(window, L"BUTTON", L"", BS_GROUPBOX, kFrame, kMargin, top, kFrameWidth, height, font);
  };
  addFrame(L" Исходное время и дата       ", kSourceTop, kSourceHeight);
  addFrame(L" Расчетное время       ", kTargetTop, kTargetHeight);
  addFrame(L"   Результат       ", kResultTop, kResultHeight);

  HWND tooltip =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (tooltip) {
    AddHint(tooltip, window, form.LabeledEdit1, L"От 0 до 23");
    AddHint(tooltip, window, form.LabeledEdit2, L"От 0 до 59");
    AddHint(tooltip, window, help, L"Справка");
  }

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
      auto* dc = reinterpret_cast<HDC>(wParam);
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      if (form && id == kHeading && form->headingBrush) {
        SetBkColor(dc, kHeadingColour);
        SetTextColor(dc, RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(form->headingBrush);
      }
      if (id == kEdit1) {  // the result line, menu-coloured
        SetBkColor(dc, GetSysColor(COLOR_MENU));
        SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_MENU));
      }
      break;
    }
    case DM_GETDEFID:
      return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_ACTIVATE:
      // The focus leaves with the window and comes back to the same control.
      if (!form) break;
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window, focus)) form->lastFocus = focus;
      } else if (form->lastFocus && IsWindow(form->lastFocus)) {
        SetFocus(form->lastFocus);
      }
      return 0;
    case WM_CLOSE:  // Alt+F4
      if (form) OnCommand(window, *form, IDCANCEL, BN_CLICKED);
      return 0;
    case WM_DESTROY:
      if (form)
        Guard(kCodeCalcClose, [&] {
          form->CalcReady = false;
          KillTimer(window, kTimerPanelList);
          for (HFONT f : {form->font, form->headingFont})
            if (f) DeleteObject(f);
          if (form->headingBrush) DeleteObject(form->headingBrush);
          if (form->helpIcon) DestroyIcon(form->helpIcon);
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
  const RECT r = CenteredWindowRect(kClientWidth, kClientHeight, kStyle, kExStyle);
  HWND window = CreateWindowExW(kExStyle, kClassName, L"Калькулятор времени...", kStyle, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, owner ? owner : App().mainWindow, nullptr,
                                GetModuleHandleW(nullptr), &form);
  if (!window) return;  // creation failed and was reported
  RunModal(window);
}

}  // namespace hx::ui
