#include "ui/settings_dialog/wpanel_form.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <stdexcept>
#include <string>

#include "core/taskbar_clock.h"
#include "settings/wpanel_choice.h"
#include "ui/main_window/app_state.h"
#include "ui/common/dpi_layout.h"
#include "ui/common/guard.h"
#include "ui/common/modal.h"
#include "win32/shell_windows.h"
#include "win32/text.h"

namespace hx::ui {
namespace {

constexpr wchar_t kClassName[] = L"TFormAddInWPanel";
constexpr int kClientWidth = 319;
constexpr int kClientHeight = 306;
// A tool-window frame with a caption and no title-bar buttons.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
// The explanation's panel and the margins of its text. A font wider or
// taller than Tahoma (a substitute) makes the panel and the window grow so
// that no line is lost.
constexpr int kMemoHeight = 160;
constexpr int kMemoMarginX = 8;
constexpr int kMemoMarginY = 7;

// The edge choices take the identifiers kRadioButton1 + edge number, so
// CheckRadioButton covers them as one range.
enum ControlId {
  kMemo1 = 100,         // the explanation at the top
  kRadioButton1 = 101,  // edge choice: top
  kRadioButton2,        // edge choice: bottom
  kRadioButton3,        // edge choice: left
  kRadioButton4,        // edge choice: right
  kCheckBox1 = 110,     // "Удерживать на панели": keep the window against the edge
  kBitBtn1,             // help
  kButton1 = IDOK,      // "Ок"
  kButtonOk = IDCANCEL, // "Отмена" (the designer's name, despite its text)
};

// The lines end as they do on purpose: the first and seventh keep a blank.
constexpr char kMemoText[] =
    "Панель Horavex.KT можно встроить в одну из \r\n"
    "стандартных Windows-панелей.\r\n"
    "\r\n"
    "Что такое Windows-панель, как её создать и\r\n"
    "настроить подробно описано в справке программы.\r\n"
    "\r\n"
    "Если выбор ниже не активен, значит у вас не \r\n"
    "настроены Windows-панели.\r\n"
    "\r\n"
    "Чтобы отключить встраивание, уберите галочку\r\n"
    "в окне настроек программы.";

struct WPanelForm {
  HWND owner = nullptr;
  HFONT font = nullptr;
  HICON helpIcon = nullptr;
  HWND focus = nullptr;  // the control that had the focus when the dialog lost activation
  bool accepted = false;  // WPanelAccepted
};

HWND AddControl(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, DWORD exStyle, int id, int x,
                int y, int w, int h, HFONT font) {
  HWND c = CreateWindowExW(exStyle, cls, win::Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  if (!c) throw std::runtime_error("cannot create a control of the placement dialog");
  SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

HWND EdgeButton(HWND window, int edge) { return GetDlgItem(window, kRadioButton1 + edge); }

// Keyboard focus reaches the edge choices through one tab stop: the marked
// choice when it can be chosen, else the first one that can.
void FixEdgeTabStop(HWND window) {
  HWND stop = nullptr;
  for (int edge : {kEdgeTop, kEdgeLeft, kEdgeRight, kEdgeBottom}) {
    HWND b = EdgeButton(window, edge);
    if (!IsWindowEnabled(b)) continue;
    if (SendMessageW(b, BM_GETCHECK, 0, 0) == BST_CHECKED) {
      stop = b;
      break;
    }
    if (!stop) stop = b;
  }
  for (int edge = kEdgeTop; edge <= kEdgeRight; ++edge) {
    HWND b = EdgeButton(window, edge);
    const LONG_PTR style = GetWindowLongPtrW(b, GWL_STYLE);
    SetWindowLongPtrW(b, GWL_STYLE, b == stop ? style | WS_TABSTOP : style & ~static_cast<LONG_PTR>(WS_TABSTOP));
  }
}

// Marks exactly one edge choice, disabled ones included (the dialog's
// automatic radio handling skips those).
void MarkEdge(HWND window, int edge) {
  CheckRadioButton(window, kRadioButton1, kRadioButton4, kRadioButton1 + edge);
  FixEdgeTabStop(window);
}

// The height the explanation needs beyond its designed panel, in pixels.
int MemoOverflow(HWND window, HFONT font) {
  const std::wstring text = win::Widen(kMemoText);
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font);
  RECT r{0, 0, kClientWidth - 2 * kMemoMarginX, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_LEFT | DT_TOP | DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return std::max(0, static_cast<int>(r.bottom) + 2 * kMemoMarginY - kMemoHeight);
}

void FormCreate(HWND window, WPanelForm& form) {
  form.font = CreateTahomaPoints(8);
  HFONT f = form.font;
  const int grow = MemoOverflow(window, f);
  if (grow > 0) {
    const RECT r = CenteredWindowRect(kClientWidth, kClientHeight + grow, kStyle, kExStyle);
    SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  const int memoHeight = kMemoHeight + grow;

  // The explanation across the top, on a panel that takes no input, and
  // a rule below it.
  HWND memo = AddControl(window, L"STATIC", kMemoText, SS_OWNERDRAW | SS_NOPREFIX, 0, kMemo1, 0, 0, kClientWidth,
                         memoHeight, f);
  EnableWindow(memo, FALSE);
  AddControl(window, L"STATIC", "", SS_ETCHEDHORZ, 0, 0, 0, memoHeight, kClientWidth, 2, f);

  // The edge choices sit where their edges are; the right one has its
  // mark at the right. Created in reading order, which is the order of the
  // arrow keys.
  int y = memoHeight + 14;
  const DWORD radio = BS_AUTORADIOBUTTON | WS_DISABLED;
  AddControl(window, L"BUTTON", "Верхняя панель", radio | WS_GROUP, 0, kRadioButton1, 110, y, 110, 17, f);
  AddControl(window, L"BUTTON", "Левая панель", radio, 0, kRadioButton3, 12, y + 20, 110, 17, f);
  AddControl(window, L"BUTTON", "Правая панель", radio | BS_LEFTTEXT | BS_RIGHT, 0, kRadioButton4, 197, y + 20, 110,
             17, f);
  AddControl(window, L"BUTTON", "Нижняя панель", radio, 0, kRadioButton2, 110, y + 40, 110, 17, f);
  y += 69;
  AddControl(window, L"BUTTON", "Удерживать на панели", BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 0, kCheckBox1, 12, y,
             200, 17, f);

  y = kClientHeight + grow - 8 - 23;
  // The icon shows; the text names the button for a screen reader.
  HWND help = AddControl(window, L"BUTTON", "Справка", BS_PUSHBUTTON | BS_ICON | WS_TABSTOP | WS_GROUP, 0, kBitBtn1, 8,
                         y, 25, 23, f);
  form.helpIcon = LoadHelpGlyph(window);
  SendMessageW(help, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(form.helpIcon));
  HWND ok = AddControl(window, L"BUTTON", "Ок", BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 0, kButton1, 155, y, 75, 23,
                       f);
  AddControl(window, L"BUTTON", "Отмена", BS_PUSHBUTTON | WS_TABSTOP, 0, kButtonOk, 236, y, 75, 23, f);
  form.focus = ok;

  const ProgramSettings& settings = App().settings;
  win::SystemShellWindows shell;
  const WPanelChoiceView view =
      InitialWPanelChoice(DockedEdges(shell), settings.includeOnWPanel, settings.NumPanel, settings.RetainOnWPanel);
  for (int edge = kEdgeTop; edge <= kEdgeRight; ++edge) EnableWindow(EdgeButton(window, edge), view.enabled[edge]);
  if (view.selected) MarkEdge(window, *view.selected);
  CheckDlgButton(window, kCheckBox1, view.retain ? BST_CHECKED : BST_UNCHECKED);
  FixEdgeTabStop(window);
}

void CloseForm(HWND window, WPanelForm& form) {
  // The owner is enabled again before the dialog goes, so the activation
  // returns to it rather than to another program.
  if (form.owner) EnableWindow(form.owner, TRUE);
  DestroyWindow(window);
}

// "Ок".
void Button1Click(HWND window, WPanelForm& form) {
  EdgeFlags marked{};
  for (int edge = kEdgeTop; edge <= kEdgeRight; ++edge)
    marked[edge] = IsDlgButtonChecked(window, kRadioButton1 + edge) == BST_CHECKED;
  ProgramSettings& settings = App().settings;
  const WPanelDecision decision =
      AcceptWPanelChoice(marked, IsDlgButtonChecked(window, kCheckBox1) == BST_CHECKED, settings.NumPanel);
  if (decision.recreatePanels) App().RecreatePanels = true;
  settings.NumPanel = decision.numPanel;
  form.accepted = true;
  settings.RetainOnWPanel = decision.retainOnWPanel;
  CloseForm(window, form);
}

// "Отмена", Escape and Alt+F4.
void ButtonOkClick(HWND window, WPanelForm& form) {
  form.accepted = false;
  CloseForm(window, form);
}

void DrawMemo(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
  wchar_t text[1024];
  const int length = GetWindowTextW(item.hwndItem, text, static_cast<int>(std::size(text)));
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkMode(dc, TRANSPARENT);
  InflateRect(&r, -ScaledLength(item.hwndItem, kMemoMarginX), -ScaledLength(item.hwndItem, kMemoMarginY));
  DrawTextW(dc, text, length, &r, DT_LEFT | DT_TOP | DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL);
  SelectObject(dc, oldFont);
}

LRESULT CALLBACK WPanelFormProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  WPanelForm* form = FormOfWindow<WPanelForm>(window, msg, lParam);
  switch (msg) {
    case WM_CREATE:
      Guard("1.009 - 004.0", [&] { FormCreate(window, *form); });
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kButton1: Guard("1.009 - 001.0", [&] { Button1Click(window, *form); }); return 0;
        case kButtonOk: Guard("1.009 - 002.0", [&] { ButtonOkClick(window, *form); }); return 0;
        case kRadioButton1:
        case kRadioButton2:
        case kRadioButton3:
        case kRadioButton4:
          if (HIWORD(wParam) == BN_CLICKED) MarkEdge(window, LOWORD(wParam) - kRadioButton1);
          return 0;
        case kBitBtn1: return 0;  // the glyph button has no action
      }
      break;
    case DM_GETDEFID:
      return MAKELRESULT(kButton1, DC_HASDEFID);
    case WM_DRAWITEM:
      if (wParam == kMemo1) {
        DrawMemo(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      // Keep the focus on the dialog's control across activations.
      if (KeepFocusAcrossActivation(window, wParam, form->focus)) return 0;
      break;
    case WM_CLOSE:
      Guard("1.009 - 002.0", [&] { ButtonOkClick(window, *form); });
      return 0;
    case WM_DESTROY:
      if (form->font) DeleteObject(form->font);
      form->font = nullptr;
      if (form->helpIcon) DestroyIcon(form->helpIcon);
      form->helpIcon = nullptr;
      return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

void RegisterFormClass(HINSTANCE instance) {
  WNDCLASSW wc{};
  if (GetClassInfoW(instance, kClassName, &wc)) return;
  wc.lpfnWndProc = WPanelFormProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kClassName;
  if (!RegisterClassW(&wc)) throw std::runtime_error("cannot register the placement dialog's class");
}

}  // namespace

bool RunWPanelDialog(HWND owner) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterFormClass(instance);
  WPanelForm form;
  form.owner = owner;
  const RECT r = CenteredWindowRect(kClientWidth, kClientHeight, kStyle, kExStyle);
  HWND window = CreateWindowExW(kExStyle, kClassName, L"Встраивание в панель Windows...", kStyle, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, owner, nullptr, instance, &form);
  if (!window) throw std::runtime_error("cannot create the placement dialog");
  RunModal(window);
  return form.accepted;
}

}  // namespace hx::ui
