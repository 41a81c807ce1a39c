#include "ui/info_dialogs/not_supported_os_form.h"

#include <windows.h>

#include <stdexcept>
#include <string>

#include "core/product.h"
#include "ui/main_window/app_state.h"
#include "ui/common/dpi_layout.h"
#include "ui/common/guard.h"
#include "ui/info_dialogs/info_controls.h"
#include "ui/common/modal.h"
#include "win32/text.h"

namespace hx::ui {
namespace {

constexpr wchar_t kClassName[] = L"TFormNotSupportedOS";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr COLORREF kYellow = RGB(255, 255, 0);

enum ControlId {
  kPanel1 = 101,  // holds the memos
  kMemo1,         // "not compatible with your Windows"
  kMemo3,         // the systems the program is made for
  kMemo2,         // the version of Windows found
  kLabel3,        // the web site's caption
  kLabelHTTP,     // the web site's link
};

// Layout, in client pixels; heights follow the font's line height.
constexpr int kClientWidth = 400;
constexpr int kMargin = 12;
constexpr int kIconSize = 48;
constexpr int kTextLeft = kMargin + kIconSize + 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

struct Layout {
  explicit Layout(int line) {
    memo1 = 2 * line + 6;
    memo3 = 2 * line + 6;
    memo2 = line + 6;
    memosHeight = memo1 + 6 + memo3 + 6 + memo2;
    linksTop = kMargin + memosHeight + 12;
    linkHeight = line + 2;
    buttonTop = linksTop + linkHeight + 12;
    clientHeight = buttonTop + kButtonHeight + kMargin;
  }
  int memo1, memo3, memo2, memosHeight, linksTop, linkHeight, buttonTop, clientHeight;
};

struct NotSupportedOSForm {
  HFONT font = CreateTahomaPoints(8);
  HFONT boldFont = CreateTahomaPoints(8, FW_BOLD);
  HFONT linkFont = CreateTahomaPoints(8, FW_NORMAL, true);
  HBRUSH yellowBrush = CreateSolidBrush(kYellow);
  HBRUSH skyBrush = CreateSolidBrush(kSkyBlue);
  HICON icon = nullptr;  // at the window's DPI
  HICON smallIcon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"NOTICEICON", IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  bool created = false;
  // The version of Windows found, the web site's link, OK.
  HWND Memo2 = nullptr, LabelHTTP = nullptr, ButtonOk = nullptr;

  NotSupportedOSForm() = default;
  NotSupportedOSForm(const NotSupportedOSForm&) = delete;
  NotSupportedOSForm& operator=(const NotSupportedOSForm&) = delete;
  ~NotSupportedOSForm() {
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(font), static_cast<HGDIOBJ>(boldFont), static_cast<HGDIOBJ>(linkFont),
                      static_cast<HGDIOBJ>(yellowBrush), static_cast<HGDIOBJ>(skyBrush)})
      if (o) DeleteObject(o);
    for (HICON i : {icon, smallIcon})
      if (i) DestroyIcon(i);
  }
};

HWND g_window = nullptr;  // the notice while it shows

HWND AddControl(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int id, const RECT& r,
                HFONT font) {
  HWND c = CreateWindowExW(0, cls, win::Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (!c) throw std::runtime_error("cannot create a control of the unsupported-system notice");
  SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

void FormCreate(HWND window, NotSupportedOSForm& form) {
  const int iconSize = ScaledLength(window, kIconSize);
  form.icon =
      static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"NOTICEICON", IMAGE_ICON, iconSize, iconSize, 0));
  const Layout at(LineHeight(form.font));
  const int width = kClientWidth - kTextLeft - kMargin;

  // The memos lie on a disabled panel: they are read, never edited.
  HWND memos = CreateContainer(window, kPanel1, {kTextLeft, kMargin, kTextLeft + width, kMargin + at.memosHeight},
                               GetSysColor(COLOR_BTNFACE));
  EnableWindow(memos, FALSE);
  int y = 0;
  CreateMemo(memos, kMemo1, "Программа не совместима с вашей Windows!\r\nThe program is not combined with your OS!",
             {0, y, width, y + at.memo1}, form.boldFont, false);
  y += at.memo1 + 6;
  CreateMemo(memos, kMemo3, "Предназначена для Windows 2000 и выше.\r\nFor Windows 2000 and high.",
             {0, y, width, y + at.memo3}, form.font, false);
  y += at.memo3 + 6;
  form.Memo2 = CreateMemo(memos, kMemo2, "", {0, y, width, y + at.memo2}, form.font, false);

  const std::wstring webCaption = L"Сайт программы:";
  const int linkLeft = kTextLeft + TextWidth(form.font, webCaption) + 6;
  AddControl(window, L"STATIC", win::Narrow(webCaption), SS_LEFT | SS_NOPREFIX, kLabel3,
             {kTextLeft, at.linksTop, linkLeft, at.linksTop + at.linkHeight}, form.font);
  form.LabelHTTP =
      CreateLinkLabel(window, kLabelHTTP, product::kWebAddress, linkLeft, at.linksTop, at.linkHeight, form.linkFont);

  form.ButtonOk = AddControl(window, L"BUTTON", "&Ok", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK,
                             {kClientWidth - kMargin - kButtonWidth, at.buttonTop, kClientWidth - kMargin,
                              at.buttonTop + kButtonHeight},
                             form.font);

  HWND hints = CreateHints(window);
  AddHint(hints, window, form.LabelHTTP, L"Посетите сайт программы для обновлений");
  if (form.icon) SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(form.icon));
  if (form.smallIcon) SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(form.smallIcon));
  form.created = true;
}

// "&Ok" (and every other way of closing the notice) ends the program: the
// notice goes, and the start-up that waits for it ends the run.
void ButtonOkClick(HWND window) { DestroyWindow(window); }

HBRUSH ControlColours(const NotSupportedOSForm& form, HDC dc, HWND control) {
  SetTextColor(dc, RGB(0, 0, 0));
  switch (GetDlgCtrlID(control)) {
    case kMemo1:
      SetBkColor(dc, kYellow);
      return form.yellowBrush;
    case kMemo2:
    case kMemo3:
      SetBkColor(dc, kSkyBlue);
      return form.skyBrush;
    case kLabelHTTP:
      SetTextColor(dc, LinkColour(control));
      break;
  }
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

LRESULT CALLBACK NotSupportedOSFormProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  NotSupportedOSForm* form = FormOfWindow<NotSupportedOSForm>(window, msg, lParam);
  if (!form) return DefWindowProcW(window, msg, wParam, lParam);
  switch (msg) {
    case WM_CREATE:
      Guard("1.003 - 000.0", [&] { FormCreate(window, *form); });
      return form->created ? 0 : -1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      if (form->icon) {
        const int at = ScaledLength(window, kMargin), size = ScaledLength(window, kIconSize);
        DrawIconEx(dc, at, at, form->icon, size, size, 0, nullptr, DI_NORMAL);
      }
      EndPaint(window, &ps);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(
          ControlColours(*form, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_COMMAND:
      if (!form->created) return 0;
      if ((LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) && HIWORD(wParam) == BN_CLICKED)
        Guard("1.003 - 001.0", [&] { ButtonOkClick(window); });
      else if (LOWORD(wParam) == kLabelHTTP && HIWORD(wParam) == STN_CLICKED)
        Guard("1.003 - 002.0", [&] { OpenAddress(window, product::kWebAddress); });
      return 0;
    case kMsgLinkHover:
      if (lParam) Guard("1.003 - 003.0", [&] { SetLinkHot(form->LabelHTTP, true); });
      else Guard("1.003 - 004.0", [&] { SetLinkHot(form->LabelHTTP, false); });
      return 0;
    case WM_MOUSEMOVE:
      Guard("1.003 - 004.0", [&] { SetLinkHot(form->LabelHTTP, false); });
      return 0;
    case DM_GETDEFID:
      return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && form->ButtonOk) SetFocus(form->ButtonOk);
      return 0;
    case WM_CLOSE:  // Alt+F4
      Guard("1.003 - 001.0", [&] { ButtonOkClick(window); });
      return 0;
    case WM_DESTROY:
      g_window = nullptr;
      return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

void RegisterNotSupportedOSFormClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSW wc{};
  wc.lpfnWndProc = NotSupportedOSFormProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kClassName;
  if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw std::runtime_error("cannot register the unsupported-system notice's class");
  registered = true;
}

}  // namespace

void RunNotSupportedOSDialog() {
  RegisterNotSupportedOSFormClass();
  NotSupportedOSForm form;
  const Layout at(LineHeight(form.font));
  const RECT r = CenteredWindowRect(kClientWidth, at.clientHeight, kStyle, kExStyle);
  HWND window = CreateWindowExW(kExStyle, kClassName, L"Fatal error...", kStyle, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, App().mainWindow, nullptr, GetModuleHandleW(nullptr), &form);
  if (!window) return;  // creation failed and was reported
  g_window = window;
  SetWindowTextW(form.Memo2, win::Widen(product::kNameAndVersion).c_str());
  MessageBeep(MB_ICONHAND);
  RunModal(window);
}

void CloseNotSupportedOSDialog() {
  if (g_window) DestroyWindow(g_window);
}

}  // namespace hx::ui
