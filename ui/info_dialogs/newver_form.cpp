#include "ui/info_dialogs/newver_form.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "base/textfile.h"
#include "core/product.h"
#include "core/program_paths.h"
#include "ui/main_window/app_state.h"
#include "ui/common/dpi_layout.h"
#include "ui/common/guard.h"
#include "ui/common/modal.h"
#include "update/update_check.h"
#include "update/version_notice.h"
#include "win32/text.h"

namespace hx::ui {
namespace {

constexpr wchar_t kClassName[] = L"TFormNewVerExists";
constexpr int kClientWidth = 448;
constexpr int kClientHeight = 310;
// A tool-window frame with only the close button, above other windows.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_TOPMOST;
constexpr int kMargin = 12;
constexpr int kIconSize = 48;
constexpr UINT_PTR kHoverTimer = 1;  // notices the mouse leaving the link

enum ControlId {
  kLabel1 = 101,  // the heading: a new version is out
  kLabeledEdit1,  // the new version's number
  kLabeledEdit2,  // its date
  kMemo1,         // its list of changes
  kLabel4,        // the link to its web page
  kButton2,       // "Напомнить при следующем запуске": remind me at the next start
  kButton1 = IDOK,
};

constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr COLORREF kLinkHoverColour = RGB(255, 0, 0);

struct NewVerForm {
  HWND owner = nullptr;
  HFONT font = nullptr;
  HFONT titleFont = nullptr;
  HFONT linkFont = nullptr;
  HICON icon = nullptr;
  HWND link = nullptr;
  HWND focus = nullptr;  // the control that had the focus when the dialog lost activation
  bool linkHot = false;  // the mouse is over the link
};

HWND AddControl(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, DWORD exStyle, int id, int x,
                int y, int w, int h, HFONT font) {
  HWND c = CreateWindowExW(exStyle, cls, win::Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  if (!c) throw std::runtime_error("cannot create a control of the new-version dialog");
  SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

int TextWidth(HWND window, HFONT font, const std::string& text) {
  const std::wstring wide = win::Widen(text);
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return size.cx;
}

void SetText(HWND window, int id, const std::string& text) {
  SetWindowTextW(GetDlgItem(window, id), win::Widen(text).c_str());
}

std::string TextOf(HWND control) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return win::Narrow(text);
}

void CreateControls(HWND window, NewVerForm& form) {
  form.font = CreateTahomaPoints(8);
  form.titleFont = CreateTahomaPoints(10);
  form.linkFont = CreateTahomaPoints(8, FW_NORMAL, true);
  form.icon = LoadProgramIcon(ScaledLength(window, kIconSize));
  HFONT f = form.font;
  const int left = kMargin + kIconSize + kMargin, right = kClientWidth - kMargin;

  AddControl(window, L"STATIC", "Вышла новая версия программы Horavex.KT", SS_CENTER | SS_NOPREFIX, 0, kLabel1, left,
             16, right - left, 20, form.titleFont);

  // Version and date in one row beside the icon, each edit after its label.
  const std::string versionLabel = "Версия: ", dateLabel = " Дата обновления: ";
  const int versionWidth = TextWidth(window, f, versionLabel) + 2, dateWidth = TextWidth(window, f, dateLabel) + 2;
  constexpr int kRowTop = 40, kEditHeight = 21;
  const int editWidth = (right - left - versionWidth - dateWidth - 8) / 2;
  int x = left;
  AddControl(window, L"STATIC", versionLabel, SS_LEFT | SS_NOPREFIX, 0, -1, x, kRowTop + 4, versionWidth, 14, f);
  x += versionWidth;
  AddControl(window, L"EDIT", "", ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE,
             kLabeledEdit1, x, kRowTop, editWidth, kEditHeight, f);
  x += editWidth + 8;
  AddControl(window, L"STATIC", dateLabel, SS_LEFT | SS_NOPREFIX, 0, -1, x, kRowTop + 4, dateWidth, 14, f);
  x += dateWidth;
  AddControl(window, L"EDIT", "", ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE,
             kLabeledEdit2, x, kRowTop, right - x, kEditHeight, f);

  AddControl(window, L"STATIC", "Изменения в новой версии:", SS_LEFT | SS_NOPREFIX, 0, -1, kMargin, 76,
             right - kMargin, 14, f);
  AddControl(window, L"EDIT", "",
             ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE,
             kMemo1, kMargin, 92, right - kMargin, 132, f);

  AddControl(window, L"STATIC", "Открыть страницу программы в браузере:", SS_LEFT | SS_NOPREFIX, 0, -1, kMargin, 232,
             right - kMargin, 14, f);
  // The link is a button drawn as a link, so that Tab reaches it and Space
  // or Enter opens it.
  form.link = AddControl(window, L"BUTTON", product::kWebPage, BS_OWNERDRAW | WS_TABSTOP | WS_GROUP, 0, kLabel4,
                         kMargin - 2, 247, right - kMargin + 4, 18, form.linkFont);

  constexpr int kButtonTop = kClientHeight - 9 - 25, kOkWidth = 88;
  const int remindWidth = TextWidth(window, f, "Напомнить при следующем запуске") + 28;
  AddControl(window, L"BUTTON", "Напомнить при следующем запуске", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 0, kButton2,
             right - kOkWidth - 6 - remindWidth, kButtonTop, remindWidth, 25, f);
  form.focus = AddControl(window, L"BUTTON", "Ok", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, kButton1, right - kOkWidth,
                          kButtonTop, kOkWidth, 25, f);
}

// The fields from CheckNVTrue.txt; without the file (or with one too large
// to be the checker's) they keep their design-time texts. The link shows
// the address it opens: the file's when it is a page of the program's
// site, else the program's own page.
void FormCreate(HWND window, NewVerForm& form) {
  CreateControls(window, form);
  const auto text = FolderUpdateFiles(paths::ResourceFolder(App().folder)).ReadText(UpdateFile::CheckNVTrue);
  if (!text) return;
  const NewVersionNotice notice = ParseNewVersionNotice(*text);
  SetText(window, kLabeledEdit1, notice.version);
  SetText(window, kLabeledEdit2, notice.date);
  SetText(window, kLabel4, LinkTarget(notice.page, product::kWebPage));
  SetText(window, kMemo1, notice.changes);
}

void CloseForm(HWND window, NewVerForm& form) {
  // The owner is enabled before the dialog goes, so the activation returns
  // to it rather than to another program.
  if (form.owner) EnableWindow(form.owner, TRUE);
  DestroyWindow(window);
}

void Label4Click(HWND window, NewVerForm& form) {
  const std::string target = LinkTarget(TextOf(form.link), product::kWebPage);
  ShellExecuteW(window, nullptr, win::Widen(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void SetLinkHot(HWND window, NewVerForm& form, bool hot) {
  if (form.linkHot == hot) return;
  form.linkHot = hot;
  InvalidateRect(form.link, nullptr, FALSE);
  if (hot) SetTimer(window, kHoverTimer, 100, nullptr);
  else KillTimer(window, kHoverTimer);
}

// "Ok": the notice is acknowledged. When CheckTrue cannot be written the
// failure is reported and the dialog stays.
void Button1Click(HWND window, NewVerForm& form) {
  WriteTextFileAtomically(paths::ResourceFolder(App().folder) / UpdateFileName(UpdateFile::CheckTrue), "");
  CloseForm(window, form);
}

void DrawLink(const DRAWITEMSTRUCT& item, const NewVerForm& form) {
  HDC dc = item.hDC;
  FillRect(dc, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  // The button's font: the link font at the dialog's DPI.
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, form.linkHot ? kLinkHoverColour : kLinkColour);
  RECT r = item.rcItem;
  InflateRect(&r, -ScaledLength(item.hwndItem, 2), -ScaledLength(item.hwndItem, 1));
  // A long address loses the end of its path, never a part of its host.
  const std::wstring text = win::Widen(ShortenedLink(TextOf(item.hwndItem), [&](std::string_view shown) {
    const std::wstring wide = win::Widen(shown);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size.cx <= r.right - r.left;
  }));
  constexpr UINT kFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, kFormat);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = r;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &focus, kFormat | DT_CALCRECT);
    focus.right = std::min(focus.right, r.right);
    focus.top = r.top;
    focus.bottom = r.bottom;
    InflateRect(&focus, 1, 0);
    DrawFocusRect(dc, &focus);
  }
  SelectObject(dc, oldFont);
}

LRESULT CALLBACK NewVerFormProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  NewVerForm* form = FormOfWindow<NewVerForm>(window, msg, lParam);
  switch (msg) {
    case WM_CREATE:
      Guard("1.007 - 006.0", [&] { FormCreate(window, *form); });
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kButton1: Guard("1.007 - 004.0", [&] { Button1Click(window, *form); }); return 0;
        case kButton2:
        case IDCANCEL: Guard("1.007 - 005.0", [&] { CloseForm(window, *form); }); return 0;
        case kLabel4:
          if (HIWORD(wParam) == BN_CLICKED) Guard("1.007 - 001.0", [&] { Label4Click(window, *form); });
          return 0;
      }
      break;
    case DM_GETDEFID:
      // Enter opens the link while it has the focus, and is "Ok" elsewhere.
      return MAKELRESULT(GetFocus() == form->link ? kLabel4 : kButton1, DC_HASDEFID);
    case WM_NEXTDLGCTL: {
      // The change list's Tab key asks for the next control.
      HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                 : GetNextDlgTabItem(window, GetFocus(), wParam != 0);
      if (next) SetFocus(next);
      return 0;
    }
    case WM_SETCURSOR:
      // Every mouse move over the dialog or its controls: the link turns
      // red under the mouse and blue again away from it.
      if (reinterpret_cast<HWND>(wParam) == form->link) {
        Guard("1.007 - 002.0", [&] { SetLinkHot(window, *form, true); });
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
        return TRUE;
      }
      Guard("1.007 - 003.0", [&] { SetLinkHot(window, *form, false); });
      break;
    case WM_TIMER:
      if (wParam == kHoverTimer) {
        POINT cursor{};
        GetCursorPos(&cursor);
        if (WindowFromPoint(cursor) != form->link) Guard("1.007 - 003.0", [&] { SetLinkHot(window, *form, false); });
        return 0;
      }
      break;
    case WM_DRAWITEM:
      if (wParam == kLabel4) {
        DrawLink(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), *form);
        return TRUE;
      }
      break;
    case WM_CTLCOLORSTATIC:
      // The change list reads as a page of text, on the window colour.
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kMemo1) {
        SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      if (form && form->icon) {
        const int at = ScaledLength(window, kMargin), size = ScaledLength(window, kIconSize);
        DrawIconEx(dc, at, at, form->icon, size, size, 0, nullptr, DI_NORMAL);
      }
      EndPaint(window, &ps);
      return 0;
    }
    case WM_ACTIVATE:
      // The focus stays on the dialog's control across activations.
      if (KeepFocusAcrossActivation(window, wParam, form->focus)) return 0;
      break;
    case WM_CLOSE:
      Guard("1.007 - 005.0", [&] { CloseForm(window, *form); });
      return 0;
    case WM_DESTROY:
      KillTimer(window, kHoverTimer);
      for (HFONT font : {form->font, form->titleFont, form->linkFont})
        if (font) DeleteObject(font);
      if (form->icon) DestroyIcon(form->icon);
      *form = NewVerForm{};
      return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

void RegisterFormClass(HINSTANCE instance) {
  WNDCLASSW wc{};
  if (GetClassInfoW(instance, kClassName, &wc)) return;
  wc.lpfnWndProc = NewVerFormProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kClassName;
  if (!RegisterClassW(&wc)) throw std::runtime_error("cannot register the new-version dialog's class");
}

}  // namespace

void RunNewVersionDialog() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterFormClass(instance);
  NewVerForm form;
  // Over the open dialog (the settings dialog, when the check was asked
  // for there), so the activation goes back to it.
  form.owner = InnermostModalWindow() ? InnermostModalWindow() : App().mainWindow;
  const RECT r = CenteredWindowRect(kClientWidth, kClientHeight, kStyle, kExStyle);
  HWND window = CreateWindowExW(kExStyle, kClassName, L"Horavex.KT", kStyle, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, form.owner, nullptr, instance, &form);
  if (!window) throw std::runtime_error("cannot create the new-version dialog");
  RunModal(window);
}

}  // namespace hx::ui
