#include "ui/common/dpi_layout.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <vector>

#include "core/dpi.h"
#include "core/monitors.h"
#include "ui/common/modal.h"
#include "win32/dpi.h"
#include "win32/shell_windows.h"

namespace hx::ui {
namespace {

constexpr wchar_t kLayoutProperty[] = L"HxDpiLayout";
constexpr UINT kMsgDpiChanged = 0x02E0;  // WM_DPICHANGED, newer than the headers the program is built for

// A control as the dialog built it, in 96-DPI units.
struct ControlRecord {
  HWND window = nullptr;
  RECT rect{};  // in its parent's client area; a drop-down list's includes its dropped list
  int droppedWidth = 0;  // a drop-down list's list, where it is wider than the field
  HFONT font = nullptr;
  std::vector<int> columns;  // a list view's column widths
};

struct DialogLayout {
  WNDPROC baseProc = nullptr;
  SIZE client{};  // 96-DPI client size
  int dpi = kBaseDpi;
  std::vector<ControlRecord> controls;
  std::map<HFONT, HFONT> fonts;  // a control's 96-DPI font and the same at `dpi`, made here
};

DialogLayout* LayoutOf(HWND dialog) { return static_cast<DialogLayout*>(GetPropW(dialog, kLayoutProperty)); }

bool HasClass(HWND window, const wchar_t* name) {
  wchar_t cls[64] = L"";
  GetClassNameW(window, cls, static_cast<int>(std::size(cls)));
  return lstrcmpiW(cls, name) == 0;
}

// Controls of the program's own classes (pages, panels) hold controls of
// their own; the system's controls (lists, pickers, browsers) place their
// inner windows themselves.
bool HoldsOwnControls(HWND window) {
  return GetClassLongPtrW(window, GCLP_HMODULE) == reinterpret_cast<ULONG_PTR>(GetModuleHandleW(nullptr));
}

ControlRecord Record(HWND control) {
  ControlRecord r;
  r.window = control;
  GetWindowRect(control, &r.rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r.rect), 2);
  if (HasClass(control, WC_COMBOBOXW)) {
    // The window's height is the field's; the height it was given, which
    // the list drops down to, is the dropped rectangle's (the message
    // answers CB_OKAY, which is 0).
    RECT dropped{};
    SendMessageW(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    if (dropped.bottom - dropped.top > r.rect.bottom - r.rect.top)
      r.rect.bottom = r.rect.top + (dropped.bottom - dropped.top);
    const auto width = static_cast<int>(SendMessageW(control, CB_GETDROPPEDWIDTH, 0, 0));
    if (width > r.rect.right - r.rect.left) r.droppedWidth = width;
  }
  if (HasClass(control, WC_LISTVIEWW)) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(control, LVM_GETHEADER, 0, 0));
    const int count = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < count; ++i)
      r.columns.push_back(static_cast<int>(SendMessageW(control, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0)));
  }
  r.font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  return r;
}

// Records the controls under `parent`, parents before their children.
void RecordControls(DialogLayout& layout, HWND parent) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    layout.controls.push_back(Record(child));
    if (HoldsOwnControls(child)) RecordControls(layout, child);
  }
}

// A font height in 96-DPI pixels at `dpi`. The dialogs' fonts are sizes in
// points made into pixels, so the height at another DPI is that size in
// points made into pixels there, as the system sizes its own fonts; other
// heights scale as lengths do.
LONG FontHeightAtDpi(LONG height, int dpi) {
  const int pixels = height < 0 ? -height : height;
  const int points = MulDiv(pixels, 72, kBaseDpi);
  const int scaled = MulDiv(points, kBaseDpi, 72) == pixels ? MulDiv(points, dpi, 72) : ScaleForDpi(pixels, dpi);
  return height < 0 ? -scaled : scaled;
}

// `font` at the layout's DPI: the font itself at 96 DPI, else one made
// here once.
HFONT FontAtDpi(DialogLayout& layout, HFONT font) {
  if (!font || layout.dpi == kBaseDpi) return font;
  auto found = layout.fonts.find(font);
  if (found != layout.fonts.end()) return found->second;
  LOGFONTW description{};
  if (!GetObjectW(font, sizeof description, &description)) return font;
  description.lfHeight = FontHeightAtDpi(description.lfHeight, layout.dpi);
  description.lfWidth = ScaleForDpi(description.lfWidth, layout.dpi);
  HFONT scaled = CreateFontIndirectW(&description);
  if (!scaled) return font;
  layout.fonts.emplace(font, scaled);
  return scaled;
}

void FreeFonts(std::map<HFONT, HFONT>& fonts) {
  for (const auto& entry : fonts) DeleteObject(entry.second);
  fonts.clear();
}

// Both corners scale, so that controls that meet at 96 DPI meet at every DPI.
RECT ScaledRect(const RECT& r, int dpi) {
  return {ScaleForDpi(r.left, dpi), ScaleForDpi(r.top, dpi), ScaleForDpi(r.right, dpi), ScaleForDpi(r.bottom, dpi)};
}

// Scales every control to `dpi`, from the 96-DPI records.
void ApplyDpi(DialogLayout& layout, int dpi) {
  std::map<HFONT, HFONT> oldFonts;
  oldFonts.swap(layout.fonts);
  layout.dpi = dpi;
  for (const ControlRecord& c : layout.controls) {
    if (!IsWindow(c.window)) continue;
    // The font first: a drop-down list's field takes its height from it.
    if (c.font) SendMessageW(c.window, WM_SETFONT, reinterpret_cast<WPARAM>(FontAtDpi(layout, c.font)), FALSE);
    const RECT r = ScaledRect(c.rect, layout.dpi);
    SetWindowPos(c.window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (c.droppedWidth)
      SendMessageW(c.window, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(ScaleForDpi(c.droppedWidth, layout.dpi)), 0);
    for (size_t column = 0; column < c.columns.size(); ++column)
      SendMessageW(c.window, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(ScaleForDpi(c.columns[column], layout.dpi), 0));
  }
  // No control uses the fonts of the former DPI any more.
  FreeFonts(oldFonts);
}

// The window size for the scaled client area, placed around the window's
// present centre and kept on its monitor's work area where it fits.
RECT ScaledWindowRect(HWND dialog, const DialogLayout& layout) {
  RECT r{0, 0, ScaleForDpi(layout.client.cx, layout.dpi), ScaleForDpi(layout.client.cy, layout.dpi)};
  win::AdjustWindowRectForDpi(&r, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)),
                              static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)), layout.dpi);
  const int width = r.right - r.left, height = r.bottom - r.top;
  RECT now{};
  GetWindowRect(dialog, &now);
  int x = (now.left + now.right) / 2 - width / 2, y = (now.top + now.bottom) / 2 - height / 2;
  const ScreenRect window{now.left, now.top, now.right, now.bottom};
  const ScreenRect work = MonitorOf(window, win::SystemShellWindows().DisplayMonitors()).workArea;
  if (work.Width() > 0) {
    x = std::max(work.left, std::min(x, work.right - width));
    y = std::max(work.top, std::min(y, work.bottom - height));
  }
  return {x, y, x + width, y + height};
}

LRESULT CALLBACK ScaledDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  DialogLayout* layout = LayoutOf(dialog);
  const WNDPROC base = layout->baseProc;
  switch (msg) {
    case kMsgDpiChanged: {
      // Moved to a monitor of another DPI: scaled anew from the 96-DPI
      // layout, into the rectangle the system suggests.
      ApplyDpi(*layout, LOWORD(wParam));
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      if (suggested)
        SetWindowPos(dialog, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      InvalidateRect(dialog, nullptr, TRUE);
      return 0;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
      RemovePropW(dialog, kLayoutProperty);
      // The controls are gone: their fonts can go.
      FreeFonts(layout->fonts);
      delete layout;
      break;
  }
  return CallWindowProcW(base, dialog, msg, wParam, lParam);
}

}  // namespace

void ScaleWindowToDpi(HWND dialog) {
  if (!dialog || LayoutOf(dialog)) return;
  auto* layout = new DialogLayout;
  RECT client{};
  GetClientRect(dialog, &client);
  layout->client = {client.right, client.bottom};
  RecordControls(*layout, dialog);
  SetPropW(dialog, kLayoutProperty, layout);
  layout->baseProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ScaledDialogProc)));
  const int dpi = win::WindowDpi(dialog);
  if (dpi == kBaseDpi) return;
  layout->dpi = dpi;
  const RECT r = ScaledWindowRect(dialog, *layout);
  SetWindowPos(dialog, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  ApplyDpi(*layout, dpi);
}

int LayoutDpi(HWND window) {
  HWND dialog = GetAncestor(window, GA_ROOT);
  if (const DialogLayout* layout = LayoutOf(dialog)) return layout->dpi;
  return win::WindowDpi(dialog);
}

int ScaledLength(HWND window, int length) { return ScaleForDpi(length, LayoutDpi(window)); }

HICON LoadProgramIcon(int size) {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, size, size, 0));
}

HICON LoadHelpGlyph(HWND window) {
  const int size = ScaledLength(window, 16);
  return static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(32514), IMAGE_ICON, size, size, 0));  // IDI_QUESTION
}

HFONT CreateTahomaPoints(int points, int weight, bool underline) {
  return CreateTahoma(MulDiv(points, kBaseDpi, 72), weight, underline);
}

}  // namespace hx::ui
