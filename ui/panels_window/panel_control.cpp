#include "ui/panels_window/panel_control.h"

#include <cwchar>

#include "win32/dpi.h"

namespace hx::ui {
namespace {

constexpr wchar_t kClassName[] = L"TPanel";
PanelMouseHandler g_mouseHandler = nullptr;

PanelLook* LookOf(HWND panel) { return reinterpret_cast<PanelLook*>(GetWindowLongPtrW(panel, GWLP_USERDATA)); }

void Paint(HWND panel) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(panel, &ps);
  RECT r;
  GetClientRect(panel, &r);
  wchar_t text[128];
  const int length = GetWindowTextW(panel, text, 128);
  const PanelLook& look = *LookOf(panel);
  DrawPanel(dc, r, look, text, look.drawsText ? length : 0, win::WindowDpi(panel));
  EndPaint(panel, &ps);
}

LRESULT CALLBACK PanelProc(HWND panel, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCREATE: {
      const auto* look = static_cast<const PanelLook*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      SetWindowLongPtrW(panel, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new PanelLook(*look)));
      break;
    }
    case WM_NCDESTROY:
      delete LookOf(panel);
      SetWindowLongPtrW(panel, GWLP_USERDATA, 0);
      break;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills everything
    case WM_PAINT:
      Paint(panel);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      if (g_mouseHandler) g_mouseHandler(panel, msg, wParam, lParam);
      return 0;
  }
  return DefWindowProcW(panel, msg, wParam, lParam);
}

}  // namespace

void RegisterPanelControlClass(HINSTANCE instance) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = PanelProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.lpszClassName = kClassName;
  RegisterClassW(&wc);
}

HWND CreatePanelControl(HWND parent, const PanelRect& rect, const PanelLook& look, const wchar_t* text) {
  return CreateWindowExW(0, kClassName, text, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect.left, rect.top, rect.width,
                         rect.height, parent, nullptr, GetModuleHandleW(nullptr), const_cast<PanelLook*>(&look));
}

PanelLook GetPanelLook(HWND panel) {
  const PanelLook* look = LookOf(panel);
  return look ? *look : PanelLook{};
}

void SetPanelLook(HWND panel, const PanelLook& look) {
  if (PanelLook* current = LookOf(panel)) {
    *current = look;
    InvalidateRect(panel, nullptr, FALSE);
  }
}

void SetPanelBevels(HWND panel, const Bevels& bevels) {
  PanelLook look = GetPanelLook(panel);
  look.bevels = bevels;
  SetPanelLook(panel, look);
}

void SetPanelText(HWND panel, const wchar_t* text) {
  wchar_t current[128];
  GetWindowTextW(panel, current, 128);
  if (std::wcscmp(current, text) == 0) return;
  SetWindowTextW(panel, text);
  InvalidateRect(panel, nullptr, FALSE);
}

void SetPanelFont(HWND panel, HFONT font) {
  PanelLook look = GetPanelLook(panel);
  look.font = font;
  SetPanelLook(panel, look);
}

void SetPanelMouseHandler(PanelMouseHandler handler) { g_mouseHandler = handler; }

namespace {

RECT Deflated(const RECT& r, int by) { return {r.left + by, r.top + by, r.right - by, r.bottom - by}; }

// The bevels, each `widths` rings thick. DrawEdge draws each bevel one
// pixel wide, and the colours of both bevels together are not those of
// each alone, so thicker edges repeat the whole edge: stepping inwards, each
// pass paints the outer bevel's colours one ring further in; then passes
// clipped to the rings inside paint the inner bevel's colours there.
// A lone inner bevel is drawn on the outermost ring, as an outer one.
void DrawBevels(HDC dc, const RECT& rect, UINT flags, const BevelWidths& widths) {
  const int first = widths.outer > 0 ? widths.outer : widths.inner, second = widths.outer > 0 ? widths.inner : 0;
  for (int ring = 0; ring < first; ++ring) {
    RECT r = Deflated(rect, ring);
    DrawEdge(dc, &r, flags, BF_RECT);
  }
  for (int ring = first + 1; ring < first + second; ++ring) {
    const RECT inside = Deflated(rect, ring);
    RECT r = Deflated(rect, ring - 1);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, inside.left, inside.top, inside.right, inside.bottom);
    DrawEdge(dc, &r, flags, BF_RECT);
    RestoreDC(dc, saved);
  }
}

}  // namespace

void DrawPanel(HDC dc, const RECT& rect, const PanelLook& look, const wchar_t* text, int length, int dpi) {
  RECT r = rect;
  HBRUSH brush = CreateSolidBrush(look.background);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  if (const UINT edge = EdgeFlags(look.bevels)) DrawBevels(dc, r, edge, BevelWidthsForDpi(look.bevels, dpi));
  if (length > 0) {
    HGDIOBJ oldFont = SelectObject(dc, look.font ? look.font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, look.text);
    DrawTextW(dc, text, length, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
  }
}

UINT EdgeFlags(const Bevels& b) {
  UINT flags = 0;
  if (b.outer == Bevel::Raised) flags |= BDR_RAISEDOUTER;
  if (b.outer == Bevel::Lowered) flags |= BDR_SUNKENOUTER;
  if (b.inner == Bevel::Raised) flags |= BDR_RAISEDINNER;
  if (b.inner == Bevel::Lowered) flags |= BDR_SUNKENINNER;
  return flags;
}

}  // namespace hx::ui
