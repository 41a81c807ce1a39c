#include "ui/info_dialogs/info_controls.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <stdexcept>

#include "ui/common/modal.h"
#include "win32/text.h"

namespace hx::ui {
namespace {

constexpr wchar_t kContainerClass[] = L"HxInfoPanel";
constexpr wchar_t kLinkProcProperty[] = L"HxLinkProc";
constexpr wchar_t kLinkHotProperty[] = L"HxLinkHot";

HWND CreateChild(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style, DWORD exStyle, int id,
                 const RECT& r, HFONT font) {
  HWND c = CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
  if (!c) throw std::runtime_error("cannot create a control of an information dialog");
  if (font) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

// The link label's own handling on top of the static control's: the hand
// cursor, and the parent told when the mouse moves over it and leaves it.
LRESULT CALLBACK LinkLabelProc(HWND link, UINT msg, WPARAM wParam, LPARAM lParam) {
  const auto base = reinterpret_cast<WNDPROC>(GetPropW(link, kLinkProcProperty));
  switch (msg) {
    case WM_SETCURSOR:
      SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // the hand
      return TRUE;
    case WM_MOUSEMOVE: {
      TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, link, 0};
      TrackMouseEvent(&track);
      SendMessageW(GetParent(link), kMsgLinkHover, static_cast<WPARAM>(GetDlgCtrlID(link)), 1);
      break;
    }
    case WM_MOUSELEAVE:
      SendMessageW(GetParent(link), kMsgLinkHover, static_cast<WPARAM>(GetDlgCtrlID(link)), 0);
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(link, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
      RemovePropW(link, kLinkProcProperty);
      RemovePropW(link, kLinkHotProperty);
      break;
  }
  return CallWindowProcW(base, link, msg, wParam, lParam);
}

LRESULT CALLBACK ContainerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case kMsgLinkHover:
      return SendMessageW(GetParent(window), msg, wParam, lParam);
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(window, &r);
      HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrW(window, GWLP_USERDATA)));
      FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
      DeleteObject(brush);
      return 1;
    }
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

void RegisterContainerClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSW wc{};
  wc.lpfnWndProc = ContainerProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.lpszClassName = kContainerClass;
  if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw std::runtime_error("cannot register the information panel class");
  registered = true;
}

}  // namespace

int LineHeight(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return metrics.tmHeight + metrics.tmExternalLeading;
}

int TextWidth(HFONT font, const std::wstring& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

HWND CreateLinkLabel(HWND parent, int id, const std::string& text, int x, int y, int height, HFONT font) {
  const std::wstring wide = win::Widen(text);
  HWND link = CreateChild(parent, L"STATIC", wide, SS_LEFT | SS_NOTIFY | SS_NOPREFIX, 0, id,
                          {x, y, x + TextWidth(font, wide) + 2, y + height}, font);
  SetPropW(link, kLinkProcProperty,
           reinterpret_cast<HANDLE>(SetWindowLongPtrW(link, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkLabelProc))));
  return link;
}

void SetLinkHot(HWND link, bool hot) {
  if (!link || (GetPropW(link, kLinkHotProperty) != nullptr) == hot) return;
  if (hot)
    SetPropW(link, kLinkHotProperty, reinterpret_cast<HANDLE>(1));
  else
    RemovePropW(link, kLinkHotProperty);
  InvalidateRect(link, nullptr, TRUE);
}

COLORREF LinkColour(HWND link) { return GetPropW(link, kLinkHotProperty) ? kLinkHotColour : kLinkColour; }

HWND CreateMemo(HWND parent, int id, const std::string& text, const RECT& rect, HFONT font, bool wrap) {
  const DWORD style = ES_MULTILINE | ES_CENTER | ES_READONLY | (wrap ? 0 : ES_AUTOHSCROLL);
  HWND memo = CreateChild(parent, L"EDIT", win::Widen(text), style, 0, id, rect, font);
  // A little air above the first line.
  RECT inner;
  GetClientRect(memo, &inner);
  inner.top += 2;
  SendMessageW(memo, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&inner));
  return memo;
}

void AppendMemoLine(HWND memo, const std::string& line) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(memo)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(memo, text.data(), static_cast<int>(text.size()))));
  if (!text.empty() && text.back() != L'\n') text += L"\r\n";
  text += win::Widen(line);
  SetWindowTextW(memo, text.c_str());
}

HWND CreateContainer(HWND parent, int id, const RECT& rect, COLORREF colour, DWORD exStyle) {
  RegisterContainerClass();
  HWND panel = CreateChild(parent, kContainerClass, L"", WS_CLIPCHILDREN, exStyle, id, rect, nullptr);
  SetWindowLongPtrW(panel, GWLP_USERDATA, static_cast<LONG_PTR>(colour));
  return panel;
}

HWND CreateHints(HWND dialog) {
  HWND hints =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!hints) return nullptr;
  SendMessageW(hints, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(100, 0));
  SendMessageW(hints, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(32767, 0));
  return hints;
}

void AddHint(HWND hints, HWND dialog, HWND control, const wchar_t* text) {
  if (!hints) return;
  TOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = dialog;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = const_cast<wchar_t*>(text);
  SendMessageW(hints, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void OpenAddress(HWND owner, const std::string& address) {
  // The handler of an address may be a shell extension that needs COM.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  ShellExecuteW(owner, nullptr, win::Widen(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace hx::ui
