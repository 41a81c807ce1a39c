#include "ui/calculator/calc_controls.h"

#include <commctrl.h>

#include <stdexcept>
#include <string>

#include "calc/time_calc.h"
#include "ui/common/dpi_layout.h"
#include "ui/common/guard.h"
#include "ui/common/modal.h"

namespace hx::ui {
namespace {

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

// The heading bars wear the colour of the clock panels' captions.
constexpr COLORREF kHeadingColour = RGB(166, 202, 240);

// The original window procedure of the time fields, which the key filter
// passes the keys it lets through.
WNDPROC g_editProc = nullptr;

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

}  // namespace

SIZE CalcClientSize() { return {kClientWidth, kClientHeight}; }

void CreateCalcControls(HWND window, CalcControls& c) {
  c.font = CreateTahomaPoints(8);
  c.headingFont = CreateTahomaPoints(8, FW_BOLD);
  c.headingBrush = CreateSolidBrush(kHeadingColour);
  HFONT font = c.font;

  // Creation order is the Tab order and the stacking order: the heading
  // bars and frames come last, beneath the controls they hold.
  AddControl(window, L"STATIC", L" Часы", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX | WS_GROUP, kLabel, kInner,
             kTimeRow, 34, kRowHeight, font);
  c.LabeledEdit1 = AddTimeEdit(window, kLabeledEdit1, kInner + 36, font);
  AddControl(window, L"STATIC", L" Минуты", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, kLabel, kInner + 78, kTimeRow, 48,
             kRowHeight, font);
  c.LabeledEdit2 = AddTimeEdit(window, kLabeledEdit2, kInner + 128, font);
  AddControl(window, L"STATIC", L" Дата", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, kLabel, kInner + 172, kTimeRow, 34,
             kRowHeight, font);
  c.DateEdit1 = AddControl(window, DATETIMEPICK_CLASSW, L"", DTS_SHORTDATEFORMAT | WS_TABSTOP, kDateEdit1,
                           kInner + 208, kTimeRow, 110, kRowHeight, font);
  SYSTEMTIME today{};
  GetLocalTime(&today);
  SendMessageW(c.DateEdit1, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&today));

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
  addSide({&c.RadioButton9, &c.RadioButton10, &c.ComboBox3, &c.RadioButton4, &c.ComboBox1, kRadioButton9,
           kRadioButton10, kComboBox3, kRadioButton4, kComboBox1},
          kSourceOptions);
  addSide({&c.RadioButton3, &c.RadioButton5, &c.ComboBox4, &c.RadioButton8, &c.ComboBox2, kRadioButton3,
           kRadioButton5, kComboBox4, kRadioButton8, kComboBox2},
          kTargetOptions);

  // The result's heading comes just before it: a screen reader names the
  // result by it.
  const auto addHeading = [&](const wchar_t* heading, int top) {
    AddControl(window, L"STATIC", heading, SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX | SS_SUNKEN, kHeading,
               kMargin + kHeadingInset, top + kHeadingTop, kFrameWidth - 2 * kHeadingInset, kHeadingHeight,
               c.headingFont);
  };
  addHeading(L"   Результат       ", kResultTop);
  c.Edit1 = AddControl(window, L"EDIT", L"", ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, kEdit1, kInner,
                       kResultTop + kContentTop, kInnerWidth, kRowHeight, font, WS_EX_CLIENTEDGE);

  // The icon shows; the text names the button for a screen reader.
  HWND help = AddControl(window, L"BUTTON", L"Справка", BS_PUSHBUTTON | BS_ICON | WS_TABSTOP | WS_GROUP, kBitBtn1,
                         kMargin, kButtonsTop, kButtonHeight + 2, kButtonHeight, font);
  c.helpIcon = LoadHelpGlyph(window);
  if (c.helpIcon) SendMessageW(help, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(c.helpIcon));
  AddControl(window, L"BUTTON", L"Закрыть", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK,
             kClientWidth - kMargin - kButtonWidth, kButtonsTop, kButtonWidth, kButtonHeight, font);

  const auto addFrame = [&](const wchar_t* heading, int top, int height) {
    if (heading) addHeading(heading, top);
    AddControl(window, L"BUTTON", L"", BS_GROUPBOX, kFrame, kMargin, top, kFrameWidth, height, font);
  };
  addFrame(L" Исходное время и дата       ", kSourceTop, kSourceHeight);
  addFrame(L" Расчетное время       ", kTargetTop, kTargetHeight);
  addFrame(nullptr, kResultTop, kResultHeight);

  HWND tooltip =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (tooltip) {
    AddHint(tooltip, window, c.LabeledEdit1, L"От 0 до 23");
    AddHint(tooltip, window, c.LabeledEdit2, L"От 0 до 59");
    AddHint(tooltip, window, help, L"Справка");
  }
}

void FreeCalcControls(CalcControls& c) {
  for (HFONT f : {c.font, c.headingFont})
    if (f) DeleteObject(f);
  if (c.headingBrush) DeleteObject(c.headingBrush);
  if (c.helpIcon) DestroyIcon(c.helpIcon);
}

HBRUSH CalcStaticColours(const CalcControls& c, HDC dc, HWND control) {
  const int id = GetDlgCtrlID(control);
  if (id == kHeading && c.headingBrush) {
    SetBkColor(dc, kHeadingColour);
    SetTextColor(dc, RGB(0, 0, 0));
    return c.headingBrush;
  }
  if (id == kEdit1) {  // the result line, menu-coloured
    SetBkColor(dc, GetSysColor(COLOR_MENU));
    SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
    return GetSysColorBrush(COLOR_MENU);
  }
  return nullptr;
}

}  // namespace hx::ui
