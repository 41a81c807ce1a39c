#include "ui/info_dialogs/about_form.h"

#include <windows.h>

#include <iterator>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "base/files.h"
#include "core/product.h"
#include "core/program_paths.h"
#include "info/about_page.h"
#include "ui/main_window/app_state.h"
#include "ui/common/dpi_layout.h"
#include "ui/common/guard.h"
#include "ui/info_dialogs/info_controls.h"
#include "ui/common/modal.h"
#include "ui/info_dialogs/web_view.h"
#include "win32/text.h"

namespace hx::ui {
namespace {

constexpr wchar_t kClassName[] = L"TFormAbout";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

constexpr COLORREF kFormColour = RGB(0xE6, 0xE6, 0xE6);
constexpr COLORREF kStripColour = RGB(0xD2, 0xD2, 0xD2);
constexpr COLORREF kPageColour = RGB(0xFF, 0xFF, 0xFF);
// Neither read from nor written to the browser's cache: the page is always
// the file as it is now.
constexpr long kNavigationFlags = 12;
// A page bigger than this is not the About page.
constexpr size_t kMaxPageBytes = 1 << 20;

const std::string kStripText = "Made in Russia/Ukraine" + std::string(23, ' ') + "The date of issue: 19.05.09";

enum ControlId {
  kPanel1 = 101,  // the page
  kPageText,      // the page as plain text, where no browser shows it
  kPanel2,        // holds the memos
  kMemo1,         // what the program does
  kMemo2,         // the version of Windows it runs on
  kMemo3,         // the systems it is made for
  kLabel3,        // the web site's caption
  kLabelHTTP,     // the web site's link
  kLabel1,        // "E-mail:"
  kLabelEMail,    // the maker's mail link
  kPanel3,        // the strip at the bottom: origin and date of issue
};

// Layout, in client pixels; heights follow the font's line height.
constexpr int kClientWidth = 404;
constexpr int kMargin = 8;
constexpr int kPageHeight = 190;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

struct Layout {
  explicit Layout(int line) {
    memo1 = 3 * line + 4;
    memo2 = line / 2;
    memo3 = 2 * line + 4;
    memosTop = kMargin + kPageHeight + 8;
    memosHeight = 4 + memo1 + memo2 + memo3 + 4;
    linksTop = memosTop + memosHeight + 10;
    linkHeight = line + 2;
    linkGap = line + 6;
    stripTop = linksTop + linkGap + linkHeight + 10;
    stripHeight = line + 8;
    clientHeight = stripTop + stripHeight;
  }
  int memo1, memo2, memo3, memosTop, memosHeight, linksTop, linkHeight, linkGap, stripTop, stripHeight, clientHeight;
};

struct AboutForm {
  HFONT font = CreateTahomaPoints(8);
  HFONT linkFont = CreateTahomaPoints(8, FW_NORMAL, true);
  HBRUSH formBrush = CreateSolidBrush(kFormColour);
  HBRUSH stripBrush = CreateSolidBrush(kStripColour);
  HBRUSH memoBrush = CreateSolidBrush(kSkyBlue);
  HBRUSH pageBrush = CreateSolidBrush(kPageColour);
  bool created = false;
  // The web site's and the maker's mail links, the bottom strip, OK.
  HWND LabelHTTP = nullptr, LabelEMail = nullptr, Panel3 = nullptr, ButtonOk = nullptr;
  std::unique_ptr<WebView> browser;

  AboutForm() = default;
  AboutForm(const AboutForm&) = delete;
  AboutForm& operator=(const AboutForm&) = delete;
  ~AboutForm() {
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(font), static_cast<HGDIOBJ>(linkFont), static_cast<HGDIOBJ>(formBrush),
                      static_cast<HGDIOBJ>(stripBrush), static_cast<HGDIOBJ>(memoBrush),
                      static_cast<HGDIOBJ>(pageBrush)})
      if (o) DeleteObject(o);
  }
};

HWND AddControl(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int id, const RECT& r,
                HFONT font, DWORD exStyle = 0) {
  HWND c = CreateWindowExW(exStyle, cls, win::Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (!c) throw std::runtime_error("cannot create a control of the About dialog");
  SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

// The page's bytes; empty when the file is missing or unreadable.
std::string ReadPage(const Path& file) {
  std::optional<std::string> bytes = files::ReadBytes(file, kMaxPageBytes);
  return bytes ? std::move(*bytes) : std::string();
}

// The edit control's own procedure, which the page text hands on to.
WNDPROC g_editProc = nullptr;

// The page text takes the arrow and page keys to scroll, but leaves Tab,
// Enter and Escape to the dialog: a multi-line edit asks for every key,
// which would keep the keyboard in it.
LRESULT CALLBACK PageTextProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallWindowProcW(g_editProc, window, msg, wParam, lParam);
  return msg == WM_GETDLGCODE ? result & ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB) : result;
}

// The page in the system's browser control; where there is none, its text
// in a plain read-only box (blank when the page cannot be read) that Tab
// reaches, to read and scroll it with keys.
void ShowPage(AboutForm& form, HWND panel) {
  const Path page = paths::AboutPage(App().folder);
  form.browser = WebView::Create(panel);
  if (form.browser && form.browser->Navigate(FileUrl(page.wstring()), kNavigationFlags)) return;
  form.browser.reset();
  RECT area;
  GetClientRect(panel, &area);
  HWND text = AddControl(panel, L"EDIT", MhtmlPlainText(ReadPage(page)),
                         ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, kPageText, area,
                         form.font);
  SendMessageW(text, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(6, 6));
  g_editProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(text, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PageTextProc)));
}

void FormCreate(HWND window, AboutForm& form) {
  const Layout at(LineHeight(form.font));
  const int width = kClientWidth - 2 * kMargin;

  // Tab goes into the page, so that its text can be read and scrolled with
  // keys.
  HWND page = CreateContainer(window, kPanel1, {kMargin, kMargin, kMargin + width, kMargin + kPageHeight}, kPageColour,
                              WS_EX_CLIENTEDGE | WS_EX_CONTROLPARENT);
  ShowPage(form, page);

  // The memos lie on a disabled panel: they are read, never edited.
  HWND memos = CreateContainer(window, kPanel2, {kMargin, at.memosTop, kMargin + width, at.memosTop + at.memosHeight},
                               kSkyBlue);
  EnableWindow(memos, FALSE);
  int y = 4;
  HWND memo1 = CreateMemo(memos, kMemo1, "Программа - отображает время в разных часовых \r\nпоясах.",
                          {0, y, width, y + at.memo1}, form.font, true);
  AppendMemoLine(memo1, "Предназначена для Windows 2000/XP и выше.");
  y += at.memo1;
  CreateMemo(memos, kMemo2, "", {0, y, width, y + at.memo2}, form.font, true);
  y += at.memo2;
  HWND memo3 =
      CreateMemo(memos, kMemo3, "Предназначена для Windows 2000 и выше.", {0, y, width, y + at.memo3}, form.font, true);
  AppendMemoLine(memo3, product::kNameAndVersion);

  const std::wstring webCaption = L"Сайт программы:";
  const int linkLeft = kMargin + 4 + TextWidth(form.font, webCaption) + 6;
  AddControl(window, L"STATIC", win::Narrow(webCaption), SS_LEFT | SS_NOPREFIX, kLabel3,
             {kMargin + 4, at.linksTop, linkLeft, at.linksTop + at.linkHeight}, form.font);
  form.LabelHTTP = CreateLinkLabel(window, kLabelHTTP, product::kWebAddress, linkLeft, at.linksTop, at.linkHeight,
                                   form.linkFont);
  const int mailTop = at.linksTop + at.linkGap;
  AddControl(window, L"STATIC", "E-mail:", SS_LEFT | SS_NOPREFIX, kLabel1,
             {kMargin + 4, mailTop, linkLeft, mailTop + at.linkHeight}, form.font);
  form.LabelEMail = CreateLinkLabel(window, kLabelEMail, product::kSupportAddress, linkLeft, mailTop, at.linkHeight,
                                    form.linkFont);

  const int okTop = at.linksTop + (at.linkGap + at.linkHeight - kButtonHeight) / 2;
  form.ButtonOk = AddControl(window, L"BUTTON", "&Ok", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK,
                             {kClientWidth - kMargin - kButtonWidth, okTop, kClientWidth - kMargin, okTop + kButtonHeight},
                             form.font);

  form.Panel3 = AddControl(window, L"STATIC", kStripText, SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX | SS_NOTIFY,
                           kPanel3, {0, at.stripTop, kClientWidth, at.stripTop + at.stripHeight}, form.font);

  HWND hints = CreateHints(window);
  AddHint(hints, window, form.LabelHTTP, L"Посетите сайт программы для обновлений");
  AddHint(hints, window, form.LabelEMail, L"Напишите автору пожелания и замечания");
  form.created = true;
}

void BothLinksBlue(AboutForm& form) {
  SetLinkHot(form.LabelHTTP, false);
  SetLinkHot(form.LabelEMail, false);
}

// The mouse over a link turns it red; leaving it turns it blue again.
void LinkHover(AboutForm& form, int id, bool over) {
  if (id == kLabelHTTP) {
    if (over) Guard("1.002 - 006.0", [&] { SetLinkHot(form.LabelHTTP, true); });
    else Guard("1.002 - 004.0", [&] { SetLinkHot(form.LabelHTTP, false); });
  } else if (id == kLabelEMail) {
    if (over) Guard("1.002 - 008.0", [&] { SetLinkHot(form.LabelEMail, true); });
    else Guard("1.002 - 004.0", [&] { SetLinkHot(form.LabelEMail, false); });
  }
}

void ButtonOkClick(HWND window) { DestroyWindow(window); }

HBRUSH ControlColours(const AboutForm& form, HDC dc, HWND control) {
  SetTextColor(dc, RGB(0, 0, 0));
  switch (GetDlgCtrlID(control)) {
    case kMemo1:
    case kMemo2:
    case kMemo3:
      SetBkColor(dc, kSkyBlue);
      return form.memoBrush;
    case kLabelHTTP:
    case kLabelEMail:
      SetTextColor(dc, LinkColour(control));
      SetBkColor(dc, kFormColour);
      return form.formBrush;
    case kPanel3:
      SetBkColor(dc, kStripColour);
      return form.stripBrush;
    case kPageText:
      SetBkColor(dc, kPageColour);
      return form.pageBrush;
  }
  SetBkColor(dc, kFormColour);
  return form.formBrush;
}

void OnCommand(HWND window, int id, int code) {
  switch (id) {
    case IDOK:
    case IDCANCEL:
      if (code == BN_CLICKED) Guard("1.002 - 001.0", [&] { ButtonOkClick(window); });
      break;
    case kLabelHTTP:
      if (code == STN_CLICKED) Guard("1.002 - 005.0", [&] { OpenAddress(window, product::kWebAddress); });
      break;
    case kLabelEMail:
      if (code == STN_CLICKED)
        Guard("1.002 - 003.0", [&] { OpenAddress(window, std::string("mailto:") + product::kSupportAddress); });
      break;
  }
}

LRESULT CALLBACK AboutFormProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  AboutForm* form = FormOfWindow<AboutForm>(window, msg, lParam);
  if (!form) return DefWindowProcW(window, msg, wParam, lParam);
  switch (msg) {
    case WM_CREATE:
      Guard("1.002 - 007.0", [&] { FormCreate(window, *form); });
      return form->created ? 0 : -1;  // no half-built dialog
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(window, &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, form->formBrush);
      return 1;
    }
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(
          ControlColours(*form, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_COMMAND:
      if (form->created) OnCommand(window, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case kMsgLinkHover:
      LinkHover(*form, static_cast<int>(wParam), lParam != 0);
      return 0;
    case WM_MOUSEMOVE:
      Guard("1.002 - 004.0", [&] { BothLinksBlue(*form); });
      return 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == form->Panel3) Guard("1.002 - 009.0", [&] { BothLinksBlue(*form); });
      break;
    case DM_GETDEFID:
      return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && form->ButtonOk) SetFocus(form->ButtonOk);
      return 0;
    case WM_CLOSE:  // Alt+F4
      OnCommand(window, IDCANCEL, BN_CLICKED);
      return 0;
    case WM_DESTROY:
      // The browser leaves while its window still exists.
      form->browser.reset();
      return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

void RegisterAboutFormClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSW wc{};
  wc.lpfnWndProc = AboutFormProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.lpszClassName = kClassName;
  if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw std::runtime_error("cannot register the About dialog's class");
  registered = true;
}

}  // namespace

void RunAboutDialog() {
  RegisterAboutFormClass();
  AboutForm form;
  const Layout at(LineHeight(form.font));
  const RECT r = CenteredWindowRect(kClientWidth, at.clientHeight, kStyle, kExStyle);
  HWND window = CreateWindowExW(kExStyle, kClassName, L"О программе...", kStyle, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, App().mainWindow, nullptr, GetModuleHandleW(nullptr), &form);
  if (!window) return;  // creation failed and was reported
  RunModal(window);
}

}  // namespace hx::ui
