// A dialog's layout across DPI changes: scaled each time from the layout it
// was built with, so that going back to 96 DPI gives back every pixel and
// the dialog's own fonts.
#include <gtest/gtest.h>
#include <windows.h>

#include "ui/common/dpi_layout.h"

namespace hx::ui {
namespace {

constexpr wchar_t kClass[] = L"HxDpiLayoutTestWindow";
constexpr UINT kDpiChanged = 0x02E0;

// A control's rectangle in its parent's client area.
RECT InParent(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

int DroppedHeight(HWND combo) {
  RECT r{};
  SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&r));
  return r.bottom - r.top;
}

LONG FontHeight(HWND control) {
  LOGFONTW f{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof f, &f);
  return f.lfHeight;
}

void ExpectRect(const RECT& r, int left, int top, int right, int bottom, const char* what) {
  EXPECT_EQ(r.left, left) << what;
  EXPECT_EQ(r.top, top) << what;
  EXPECT_EQ(r.right, right) << what;
  EXPECT_EQ(r.bottom, bottom) << what;
}

HWND Child(HWND parent, const wchar_t* cls, DWORD style, int x, int y, int w, int h, HFONT font) {
  HWND c = CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  if (font) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

TEST(DpiLayoutTest, DpiChangesScaleFromTheBuiltLayoutAndComeBackExactly) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClass;
  RegisterClassW(&wc);
  HWND dialog = CreateWindowExW(0, kClass, L"", WS_POPUP | WS_CAPTION, 50, 50, 300, 250, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(dialog, nullptr);
  HFONT font = CreateTahomaPoints(8);
  HWND button = Child(dialog, L"BUTTON", BS_PUSHBUTTON, 10, 10, 75, 23, font);
  HWND page = Child(dialog, kClass, 0, 0, 40, 201, 100, nullptr);  // a page of the program's own class
  HWND label = Child(page, L"STATIC", SS_LEFT, 5, 5, 121, 13, font);
  HWND combo = Child(dialog, L"COMBOBOX", CBS_DROPDOWNLIST, 10, 150, 101, 200, font);

  const int dropped = DroppedHeight(combo);
  ScaleWindowToDpi(dialog);  // this test's DPI is 96: nothing moves
  ExpectRect(InParent(button), 10, 10, 85, 33, "button at 96 DPI");

  RECT suggested{200, 100, 900, 700};
  SendMessageW(dialog, kDpiChanged, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
  RECT moved{};
  GetWindowRect(dialog, &moved);
  ExpectRect(moved, 200, 100, 900, 700, "the dialog takes the suggested rectangle");
  ExpectRect(InParent(button), 20, 20, 170, 66, "button at 192 DPI");
  ExpectRect(InParent(label), 10, 10, 252, 36, "a page's control at 192 DPI");
  EXPECT_EQ(InParent(combo).right - InParent(combo).left, 202);
  // Wine's list drops by the given height less the field's, Windows' by
  // the given height: twice the field higher at most.
  EXPECT_GE(DroppedHeight(combo), 2 * dropped - (InParent(combo).bottom - InParent(combo).top));
  EXPECT_EQ(FontHeight(button), -21) << "8 pt at 192 DPI";
  EXPECT_EQ(ScaledLength(button, 48), 96);

  // Through an odd scale and back: no rounding is left over.
  SendMessageW(dialog, kDpiChanged, MAKEWPARAM(120, 120), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(FontHeight(label), -13) << "8 pt at 120 DPI";
  SendMessageW(dialog, kDpiChanged, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
  ExpectRect(InParent(button), 10, 10, 85, 33, "button back at 96 DPI");
  ExpectRect(InParent(label), 5, 5, 126, 18, "a page's control back at 96 DPI");
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)), font) << "the dialog's own font again";

  DestroyWindow(dialog);
  DeleteObject(font);
}

}  // namespace
}  // namespace hx::ui
